#include "FormWriter.h"

#include "TypInfo.h"

namespace {

constexpr int IndentStep = 2;
constexpr std::size_t HexBytesPerLine = 32;

[[noreturn]] void Fail(const AnsiString& Message) {
    throw EWriteError(Message);
}

// A string value in quotes: printable text as UTF-8, control characters as #nn.
std::string Quote(const AnsiString& Value, const AnsiString& PropName) {
    if (Value.empty())
        return "''";
    const std::string Utf8 = AnsiToUtf8(Value);
    AnsiString Back;
    if (!Utf8ToAnsi(Utf8, Back) || Back != Value)
        Fail("プロパティ "_sj + PropName +
             " の文字列にコードページ 932 の文字として正しくないバイトがあります"_sj);
    std::string Out;
    bool Quoted = false;
    for (const char C : Utf8) {
        const auto B = static_cast<unsigned char>(C);
        if (B < ' ' || B == 0x7F) {
            if (Quoted)
                Out += '\'';
            Quoted = false;
            Out += '#' + std::to_string(B);
            continue;
        }
        if (!Quoted)
            Out += '\'';
        Quoted = true;
        Out += C == '\'' ? std::string("''") : std::string(1, C);
    }
    if (Quoted)
        Out += '\'';
    return Out;
}

std::string HexLine(const std::string& Bytes, std::size_t From, std::size_t Count) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string Out;
    for (std::size_t I = From; I < From + Count; ++I) {
        const auto B = static_cast<unsigned char>(Bytes[I]);
        Out += Digits[B >> 4];
        Out += Digits[B & 15];
    }
    return Out;
}

class TFormWriter {
public:
    explicit TFormWriter(const TComponent* Root) : FRoot(Root) {}

    std::string Write() {
        WriteComponent(FRoot, 0);
        return FOut;
    }

private:
    void Line(int Indent, const std::string& Text) {
        FOut.append(static_cast<std::size_t>(Indent), ' ');
        FOut += Text;
        FOut += '\n';
    }

    // Appends to the line written last (the closing ">" or ")" of a list).
    void CloseLast(char Symbol) { FOut.insert(FOut.size() - 1, 1, Symbol); }

    void WriteComponent(const TComponent* Component, int Indent) {
        const AnsiString& Name = Component->Name();
        Line(Indent, "object " + (Name.empty() ? "" : Name + ": ") + Component->ClassName());
        WriteProps(Component, Component, "", "", Indent + IndentStep);
        Component->GetChildren(
            [&](TComponent* Child) { WriteComponent(Child, Indent + IndentStep); },
            const_cast<TComponent*>(FRoot));
        Line(Indent, "end");
    }

    // Holder records the handler names of events; Path leads from it to Obj for those names,
    // Prefix is the dotted name of Obj as a sub-object ("Font.").
    void WriteProps(const TPersistent* Obj, const TComponent* Holder, const AnsiString& Path,
                    const AnsiString& Prefix, int Indent) {
        const TClassInfo* Info = FindClassInfo(Obj->ClassName());
        if (!Info)
            Fail("クラス "_sj + Obj->ClassName() + " が登録されていません"_sj);
        for (const TPropInfo* Prop : Info->AllProps())
            if (!Prop->Stored || Prop->Stored(Obj))
                WriteProp(Obj, *Prop, Holder, Path, Prefix + Prop->Name, Indent);
    }

    void WriteProp(const TPersistent* Obj, const TPropInfo& Prop, const TComponent* Holder,
                   const AnsiString& Path, const AnsiString& Name, int Indent) {
        auto* Mutable = const_cast<TPersistent*>(Obj);
        switch (Prop.Kind) {
        case TTypeKind::Integer:
        case TTypeKind::Enumeration:
        case TTypeKind::Set:
            return WriteOrdinal(Obj, Prop, Name, Indent);
        case TTypeKind::String:
            if (const AnsiString Value = Prop.GetStr(Obj); !Value.empty())
                Line(Indent, Name + " = " + Quote(Value, Name));
            return;
        case TTypeKind::Class:
            if (const TPersistent* Sub = Prop.GetObj(Mutable))
                WriteProps(Sub, Holder, Path, Name + ".", Indent);
            return;
        case TTypeKind::Collection:
            return WriteCollection(dynamic_cast<const TCollection*>(Prop.GetObj(Mutable)), Holder,
                                   Path, Name, Indent);
        case TTypeKind::Strings:
            return WriteStrings(dynamic_cast<const TStrings*>(Prop.GetObj(Mutable)), Prop, Name,
                                Indent);
        case TTypeKind::Component:
            if (const TComponent* Ref = Prop.GetRef(Obj); Ref && !Ref->Name().empty())
                Line(Indent, Name + " = " + Ref->Name());
            return;
        case TTypeKind::Method: {
            const auto& Names = Holder->EventNames();
            if (const auto It = Names.find(Path + Name); It != Names.end())
                Line(Indent, Name + " = " + It->second);
            return;
        }
        case TTypeKind::Binary:
            return WriteBinary(Prop.GetBin(Obj), Name, Indent);
        }
    }

    void WriteOrdinal(const TPersistent* Obj, const TPropInfo& Prop, const AnsiString& Name,
                      int Indent) {
        const std::int64_t Value = Prop.GetOrd(Obj);
        if (Prop.Default && *Prop.Default == Value)
            return;
        Line(Indent, Name + " = " + OrdinalText(Prop, Value, Name));
    }

    static std::string EnumName(const TPropInfo& Prop, std::int64_t Ordinal,
                                const AnsiString& Name) {
        if (Ordinal < 0 || Ordinal >= static_cast<std::int64_t>(Prop.EnumNames->size()))
            Fail("プロパティ "_sj + Name + " の値 "_sj + IntToStr(Ordinal) +
                 " に名前がありません"_sj);
        return (*Prop.EnumNames)[static_cast<std::size_t>(Ordinal)];
    }

    static std::string OrdinalText(const TPropInfo& Prop, std::int64_t Value,
                                   const AnsiString& Name) {
        if (Prop.Kind == TTypeKind::Enumeration)
            return EnumName(Prop, Value, Name);
        if (Prop.Kind == TTypeKind::Set) {
            std::string Out;
            for (int Bit = 0; Bit < 32; ++Bit)
                if (Value & (std::int64_t(1) << Bit))
                    Out += (Out.empty() ? "" : ", ") + EnumName(Prop, Bit, Name);
            return "[" + Out + "]";
        }
        if (Prop.Idents)
            for (const auto& [Ident, IdentValue] : *Prop.Idents)
                if (IdentValue == Value)
                    return Ident;
        return std::to_string(Value);
    }

    void WriteCollection(const TCollection* Items, const TComponent* Holder, const AnsiString& Path,
                         const AnsiString& Name, int Indent) {
        if (!Items)
            return;
        if (Items->Count() == 0)
            return Line(Indent, Name + " = <>");
        Line(Indent, Name + " = <");
        for (int I = 0; I < Items->Count(); ++I) {
            Line(Indent + IndentStep, "item");
            WriteProps(Items->Items(I), Holder, Path + Name + "[" + std::to_string(I) + "].", "",
                       Indent + 2 * IndentStep);
            Line(Indent + IndentStep, "end");
        }
        CloseLast('>');
    }

    void WriteStrings(const TStrings* List, const TPropInfo& Prop, const AnsiString& Name,
                      int Indent) {
        if (!List || List->Count() == 0)
            return;
        Line(Indent, Prop.IntegerList ? Name + " = (" : Name + ".Strings = (");
        for (int I = 0; I < List->Count(); ++I)
            Line(Indent + IndentStep,
                 Prop.IntegerList ? IntegerText(List->Get(I), Name) : Quote(List->Get(I), Name));
        CloseLast(')');
    }

    static std::string IntegerText(const AnsiString& Text, const AnsiString& Name) {
        try {
            return std::to_string(StrToInt(Text));
        } catch (const EConvertError& E) {
            Fail("プロパティ "_sj + Name + ": "_sj + E.Message());
        }
    }

    void WriteBinary(const std::string& Bytes, const AnsiString& Name, int Indent) {
        if (Bytes.empty())
            return;
        Line(Indent, Name + " = {");
        for (std::size_t I = 0; I < Bytes.size(); I += HexBytesPerLine)
            Line(Indent + IndentStep,
                 HexLine(Bytes, I, std::min(HexBytesPerLine, Bytes.size() - I)));
        CloseLast('}');
    }

    const TComponent* FRoot;
    std::string FOut;
};

} // namespace

std::string WriteComponentText(const TComponent* Root) {
    return TFormWriter(Root).Write();
}
