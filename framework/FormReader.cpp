#include "FormReader.h"

#include "FormLexer.h"
#include "PlatformFiles.h"
#include "TypInfo.h"

#include <algorithm>

namespace {

[[noreturn]] void Fail(int Line, const AnsiString& Message) {
    FormFault(FormFileSyntax().Source, Line, Message);
}

std::string_view WithoutBom(std::string_view Text) {
    return Text.starts_with("\xEF\xBB\xBF") ? Text.substr(3) : Text;
}

// Of an integer token; $FFFFFFFF is the 32-bit pattern the platform writes for -1.
std::int64_t IntegerValue(const TFormToken& Token) {
    auto Value = static_cast<std::int64_t>(Token.Magnitude);
    if (Token.Hex && Value > 0x7FFFFFFF)
        Value -= 0x100000000LL;
    return Token.Negative ? -Value : Value;
}

void AppendUtf8(std::string& Out, std::uint32_t Code) {
    if (Code < 0x80) {
        Out += static_cast<char>(Code);
    } else if (Code < 0x800) {
        Out += static_cast<char>(0xC0 | (Code >> 6));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
        Out += static_cast<char>(0xE0 | (Code >> 12));
        Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (Code >> 18));
        Out += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    }
}

// Of a string token: the file is UTF-8, so its quoted bytes are, and #n characters join them
// as UTF-8.
std::string Utf8Text(const TFormToken& Token) {
    std::string Text;
    for (const TFormStringPiece& Piece : Token.Pieces) {
        if (Piece.IsCode)
            AppendUtf8(Text, static_cast<std::uint32_t>(Piece.Code));
        else
            Text += Piece.Bytes;
    }
    return Text;
}

struct TTarget {
    TPersistent* Obj = nullptr;
    const TPropInfo* Prop = nullptr;
};

struct TFixup {
    TPersistent* Obj;
    const TPropInfo* Prop;
    AnsiString PropName;
    AnsiString ComponentName;
    int Line;
};

// Objects nest no deeper than this; a deeper file is refused before the reader's recursion can
// exhaust the stack.
constexpr int MaxNesting = 100;

class TFormParser {
public:
    TFormParser(TComponent* Root, std::string_view Text)
        : FRoot(Root), FTokens(FormTokens(WithoutBom(Text), FormFileSyntax())) {}

    void Read() {
        FRoot->BeginLoading();
        try {
            ReadRoot();
            if (Peek().Kind != TFormTokenKind::End)
                Fail(Peek().Line, "end の後に余分なテキストがあります"_sj);
            ResolveReferences();
            FRoot->EndLoading();
            for (TComponent* C : FCreated)
                C->EndLoading();
            FRoot->Loaded();
            for (TComponent* C : FCreated)
                C->Loaded();
        } catch (...) {
            FRoot->EndLoading();
            FreeCreated();
            throw;
        }
    }

private:
    const TFormToken& Peek() const { return FTokens[FPos]; }
    const TFormToken& Next() { return FTokens[Peek().Kind == TFormTokenKind::End ? FPos : FPos++]; }

    bool PeekIdent(const char* Word) const {
        return Peek().Kind == TFormTokenKind::Name && SameText(Peek().Text, Word);
    }
    bool PeekSymbol(char Symbol) const {
        return Peek().Kind == TFormTokenKind::Symbol && Peek().Text[0] == Symbol;
    }

    const TFormToken& ExpectIdent(const AnsiString& What) {
        if (Peek().Kind != TFormTokenKind::Name)
            Fail(Peek().Line, What + "がありません"_sj);
        return Next();
    }
    void ExpectWord(const char* Word) {
        if (!PeekIdent(Word))
            Fail(Peek().Line, AnsiString(Word) + " がありません"_sj);
        Next();
    }
    void ExpectSymbol(char Symbol) {
        if (!PeekSymbol(Symbol))
            Fail(Peek().Line, AnsiString(1, Symbol) + " がありません"_sj);
        Next();
    }

    // Runs a step that sets a value and reports its failure as a reading error of the property.
    template <class F> static void Guard(int Line, const AnsiString& PropName, F Step) {
        try {
            Step();
        } catch (const EReadError&) {
            throw;
        } catch (const Exception& E) {
            Fail(Line, "プロパティ "_sj + PropName + ": "_sj + E.Message());
        } catch (const std::exception& E) {
            Fail(Line, "プロパティ "_sj + PropName + ": "_sj + E.what());
        }
    }

    // Puts a child where the file nests it; a parent that takes no such child refuses it.
    static void Place(int Line, TComponent* Child, TComponent* Parent) {
        try {
            Child->SetParentComponent(Parent);
        } catch (const std::exception& E) {
            Fail(Line, E.what());
        }
    }

    static const TClassInfo& ClassInfoOf(const TPersistent* Obj, int Line) {
        const TClassInfo* Info = FindClassInfo(Obj->ClassName());
        if (!Info)
            Fail(Line, "クラス "_sj + Obj->ClassName() + " が登録されていません"_sj);
        return *Info;
    }

    // "Name: TClass", or "TClass" alone for an object without a name.
    std::pair<AnsiString, TFormToken> ReadHeader() {
        const TFormToken First = ExpectIdent("クラス名"_sj);
        if (!PeekSymbol(':'))
            return {AnsiString(), First};
        Next();
        return {First.Text, ExpectIdent("クラス名"_sj)};
    }

    void ReadRoot() {
        ExpectWord("object");
        const auto Header = ReadHeader();
        const AnsiString& Name = Header.first;
        const TFormToken& Class = Header.second;
        if (!SameText(Class.Text, FRoot->ClassName()))
            Fail(Class.Line, "クラス "_sj + Class.Text + " はルートのクラス "_sj +
                                 FRoot->ClassName() + " と一致しません"_sj);
        ClassInfoOf(FRoot, Class.Line);
        Guard(Class.Line, "Name", [&] { FRoot->SetName(Name); });
        ReadBody(FRoot);
    }

    void ReadBody(TComponent* Component) {
        while (!PeekIdent("end")) {
            if (PeekIdent("object"))
                ReadChild(Component);
            else
                ReadProperty(Component, Component, "");
        }
        Next();
    }

    void ReadChild(TComponent* Parent) {
        if (++FDepth > MaxNesting)
            Fail(Peek().Line,
                 "オブジェクトの入れ子が深すぎます（上限 "_sj + IntToStr(MaxNesting) + " 段）"_sj);
        Next();
        const auto Header = ReadHeader();
        const AnsiString& Name = Header.first;
        const TFormToken& Class = Header.second;
        const TClassInfo* Info = FindClassInfo(Class.Text);
        if (!Info || !Info->Create)
            Fail(Class.Line, "クラス "_sj + Class.Text + " が見つかりません"_sj);
        TComponent* Component = nullptr;
        Guard(Class.Line, "Name", [&] { Component = Info->Create(FRoot); });
        FCreated.push_back(Component);
        Component->BeginLoading();
        Guard(Class.Line, "Name", [&] { Component->SetName(Name); });
        Place(Class.Line, Component, Parent);
        ReadBody(Component);
        --FDepth;
    }

    // Holder is the component that records the names of bound event handlers; Path leads
    // from it to Obj ("" for the component itself, "CellParams[0]." for a collection item).
    void ReadProperty(TPersistent* Obj, TComponent* Holder, const AnsiString& Path) {
        const TFormToken& Name = ExpectIdent("プロパティ名"_sj);
        ExpectSymbol('=');
        const TTarget Target = Resolve(Obj, Name.Text, Name.Line);
        ReadValue(Target, Holder, Path + Name.Text, Name.Line);
    }

    // Follows a dotted name through owned sub-objects; "Items.Strings" names the list Items.
    TTarget Resolve(TPersistent* Obj, const AnsiString& Name, int Line) {
        const AnsiString ClassName = Obj->ClassName();
        std::size_t Start = 0;
        for (;;) {
            const std::size_t Dot = Name.find('.', Start);
            const AnsiString Part = Name.substr(Start, Dot - Start);
            const TPropInfo* Prop = ClassInfoOf(Obj, Line).FindProp(Part);
            if (!Prop)
                Missing(Line, ClassName, Name);
            if (Dot == AnsiString::npos)
                return {Obj, Prop};
            if (Prop->Kind == TTypeKind::Strings && SameText(Name.substr(Dot + 1), "Strings"))
                return {Obj, Prop};
            if (Prop->Kind != TTypeKind::Class)
                Missing(Line, ClassName, Name);
            TPersistent* Sub = Prop->GetObj(Obj);
            if (!Sub)
                Missing(Line, ClassName, Name);
            Obj = Sub;
            Start = Dot + 1;
        }
    }

    // Names the class of the object or item, not of a sub-object that a dotted name reaches.
    [[noreturn]] static void Missing(int Line, const AnsiString& ClassName,
                                     const AnsiString& Name) {
        Fail(Line, "クラス "_sj + ClassName + " にプロパティ "_sj + Name + " がありません"_sj);
    }

    [[noreturn]] void BadValue(const AnsiString& PropName, int Line) {
        Fail(Line, "プロパティ "_sj + PropName + " の値が正しくありません"_sj);
    }

    void ReadValue(const TTarget& T, TComponent* Holder, const AnsiString& PropName, int Line) {
        switch (T.Prop->Kind) {
        case TTypeKind::Integer:
            return ReadInteger(T, PropName, Line);
        case TTypeKind::Enumeration: {
            const std::int64_t Ord = EnumOrdinal(*T.Prop, PropName, Line);
            return Guard(Line, PropName, [&] { T.Prop->SetOrd(T.Obj, Ord); });
        }
        case TTypeKind::Set:
            return ReadSet(T, PropName, Line);
        case TTypeKind::String: {
            const AnsiString Value = ReadText(PropName, Line);
            return Guard(Line, PropName, [&] { T.Prop->SetStr(T.Obj, Value); });
        }
        case TTypeKind::Collection:
            return ReadCollection(T, Holder, PropName, Line);
        case TTypeKind::Strings:
            return ReadStrings(T, PropName, Line);
        case TTypeKind::Component:
            return ReadReference(T, PropName, Line);
        case TTypeKind::Method:
            return ReadMethod(T, Holder, PropName, Line);
        case TTypeKind::Binary: {
            if (Peek().Kind != TFormTokenKind::Binary)
                BadValue(PropName, Line);
            const std::string Bytes = Next().Text;
            return Guard(Line, PropName, [&] { T.Prop->SetBin(T.Obj, Bytes); });
        }
        case TTypeKind::Class:
            break;
        }
        BadValue(PropName, Line);
    }

    void ReadInteger(const TTarget& T, const AnsiString& PropName, int Line) {
        std::int64_t Value = 0;
        if (Peek().Kind == TFormTokenKind::Integer) {
            Value = IntegerValue(Next());
        } else if (Peek().Kind == TFormTokenKind::Name && T.Prop->Idents) {
            const AnsiString& Ident = Next().Text;
            const auto& Idents = *T.Prop->Idents;
            const auto It = std::find_if(Idents.begin(), Idents.end(),
                                         [&](const auto& I) { return SameText(I.first, Ident); });
            if (It == Idents.end())
                BadValue(PropName, Line);
            Value = It->second;
        } else {
            BadValue(PropName, Line);
        }
        Guard(Line, PropName, [&] { T.Prop->SetOrd(T.Obj, Value); });
    }

    std::int64_t EnumOrdinal(const TPropInfo& Prop, const AnsiString& PropName, int Line) {
        if (Peek().Kind != TFormTokenKind::Name)
            BadValue(PropName, Line);
        const AnsiString& Ident = Next().Text;
        const auto& Names = *Prop.EnumNames;
        const auto It = std::find_if(Names.begin(), Names.end(),
                                     [&](const char* N) { return SameText(N, Ident); });
        if (It == Names.end())
            BadValue(PropName, Line);
        return It - Names.begin();
    }

    void ReadSet(const TTarget& T, const AnsiString& PropName, int Line) {
        ExpectSymbol('[');
        std::int64_t Bits = 0;
        for (bool First = true; !PeekSymbol(']'); First = false) {
            if (!First)
                ExpectSymbol(',');
            Bits |= std::int64_t(1) << EnumOrdinal(*T.Prop, PropName, Line);
        }
        Next();
        Guard(Line, PropName, [&] { T.Prop->SetOrd(T.Obj, Bits); });
    }

    AnsiString ToAnsi(const std::string& Utf8, const AnsiString& PropName, int Line) {
        AnsiString Value;
        if (!Utf8ToAnsi(Utf8, Value))
            Fail(Line, "プロパティ "_sj + PropName +
                           " の文字列にはコードページ 932 で表せない文字があります"_sj);
        return Value;
    }

    AnsiString ReadText(const AnsiString& PropName, int Line) {
        if (Peek().Kind != TFormTokenKind::String)
            BadValue(PropName, Line);
        return ToAnsi(Utf8Text(Next()), PropName, Line);
    }

    void ReadCollection(const TTarget& T, TComponent* Holder, const AnsiString& PropName,
                        int Line) {
        ExpectSymbol('<');
        auto* Items = dynamic_cast<TCollection*>(T.Prop->GetObj(T.Obj));
        if (!Items)
            BadValue(PropName, Line);
        Items->BeginUpdate();
        try {
            Guard(Line, PropName, [&] { Items->Clear(); });
            while (!PeekSymbol('>')) {
                ExpectWord("item");
                TCollectionItem* Item = nullptr;
                Guard(Line, PropName, [&] { Item = Items->Add(); });
                const AnsiString ItemPath = PropName + "[" + IntToStr(Item->Index()) + "].";
                while (!PeekIdent("end"))
                    ReadProperty(Item, Holder, ItemPath);
                Next();
            }
            Next();
        } catch (...) {
            Items->EndUpdate();
            throw;
        }
        Guard(Line, PropName, [&] { Items->EndUpdate(); });
    }

    void ReadStrings(const TTarget& T, const AnsiString& PropName, int Line) {
        ExpectSymbol('(');
        std::vector<AnsiString> Lines;
        while (!PeekSymbol(')')) {
            if (Peek().Kind == TFormTokenKind::Integer)
                Lines.push_back(IntToStr(IntegerValue(Next())));
            else
                Lines.push_back(ReadText(PropName, Peek().Line));
        }
        Next();
        auto* List = dynamic_cast<TStrings*>(T.Prop->GetObj(T.Obj));
        if (!List)
            BadValue(PropName, Line);
        Guard(Line, PropName, [&] {
            List->BeginUpdate();
            try {
                List->Clear();
                for (const AnsiString& S : Lines)
                    List->Add(S);
            } catch (...) {
                List->EndUpdate();
                throw;
            }
            List->EndUpdate();
        });
    }

    void ReadReference(const TTarget& T, const AnsiString& PropName, int Line) {
        if (Peek().Kind != TFormTokenKind::Name)
            BadValue(PropName, Line);
        const AnsiString Name = Next().Text;
        if (SameText(Name, "nil"))
            return Guard(Line, PropName, [&] { T.Prop->SetRef(T.Obj, nullptr); });
        FFixups.push_back({T.Obj, T.Prop, PropName, Name, Line});
    }

    void ReadMethod(const TTarget& T, TComponent* Holder, const AnsiString& PropName, int Line) {
        if (Peek().Kind != TFormTokenKind::Name)
            BadValue(PropName, Line);
        const AnsiString Name = Next().Text;
        const std::any* Method = FRoot->FindMethod(Name);
        if (!Method)
            Fail(Line, "プロパティ "_sj + PropName + ": メソッド "_sj + Name + " がありません"_sj);
        Guard(Line, PropName, [&] { T.Prop->SetMethod(T.Obj, *Method); });
        Holder->EventNames()[PropName] = Name;
    }

    void ResolveReferences() {
        for (const TFixup& F : FFixups) {
            TComponent* Found = SameText(F.ComponentName, FRoot->Name())
                                    ? FRoot
                                    : FRoot->FindComponent(F.ComponentName);
            if (!Found)
                Fail(F.Line, "プロパティ "_sj + F.PropName + ": コンポーネント "_sj +
                                 F.ComponentName + " がありません"_sj);
            Guard(F.Line, F.PropName, [&] { F.Prop->SetRef(F.Obj, Found); });
        }
    }

    // Frees what this reading created, innermost first. A component may already have gone
    // with one freed before it, so only those the root still owns are freed.
    void FreeCreated() {
        for (auto It = FCreated.rbegin(); It != FCreated.rend(); ++It) {
            bool Owned = false;
            for (int I = 0; I < FRoot->ComponentCount() && !Owned; ++I)
                Owned = FRoot->Components(I) == *It;
            if (Owned)
                delete *It;
        }
        FCreated.clear();
    }

    TComponent* FRoot;
    std::vector<TFormToken> FTokens;
    std::size_t FPos = 0;
    int FDepth = 0;
    std::vector<TComponent*> FCreated;
    std::vector<TFixup> FFixups;
};

} // namespace

void ReadComponentText(TComponent* Root, std::string_view Text) {
    TFormParser(Root, Text).Read();
}

void ReadComponentRes(TComponent* Root, const AnsiString& ResourceName) {
    std::string Text;
    if (!Platform::ReadResource("forms", ResourceName, Text))
        throw EReadError("フォームリソース "_sj + ResourceName + " が見つかりません"_sj);
    ReadComponentText(Root, Text);
}
