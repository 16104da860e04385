#include "FormReader.h"

#include "FormChars.h"
#include "TypInfo.h"

#include <QFile>
#include <QString>

#include <algorithm>

namespace {

enum class TTokenKind { Ident, Integer, String, Symbol, Binary, End };

struct TToken {
    TTokenKind Kind = TTokenKind::End;
    std::string Text; // identifier, symbol, UTF-8 string or binary bytes
    std::int64_t Value = 0;
    int Line = 0;
};

[[noreturn]] void Fail(int Line, const AnsiString& Message) {
    throw EReadError("フォームファイルの "_sj + IntToStr(Line) + " 行目: "_sj + Message);
}

bool IsIdentStart(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_';
}
bool IsIdentChar(char C) {
    return IsIdentStart(C) || IsDigit(C);
}

AnsiString TooLargeMessage() {
    return "数値が大きすぎます"_sj;
}
AnsiString InvalidCharCodeMessage() {
    return "文字コードが正しくありません"_sj;
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

// Splits the form text into tokens. Adjacent string pieces ('...', #nnn, joined directly or
// with + across lines) become one String token; { hex } becomes one Binary token.
class TLexer {
public:
    explicit TLexer(std::string_view Text) : FText(Text) {
        if (FText.substr(0, 3) == "\xEF\xBB\xBF")
            FPos = 3;
    }

    std::vector<TToken> Tokens() {
        std::vector<TToken> Result;
        for (;;) {
            SkipBlanks();
            TToken Token;
            Token.Line = FLine;
            if (AtEnd()) {
                Result.push_back(Token);
                return Result;
            }
            const char C = Peek();
            if (IsIdentStart(C))
                ReadIdent(Token);
            else if (IsDigit(C) || C == '$' || C == '-')
                ReadInteger(Token);
            else if (C == '\'' || C == '#')
                ReadString(Token);
            else if (C == '{')
                ReadBinary(Token);
            else if (std::string_view("=:[](),<>").find(C) != std::string_view::npos)
                Token.Kind = TTokenKind::Symbol, Token.Text = std::string(1, C), ++FPos;
            else
                Fail(FLine, "不正な文字があります"_sj);
            Result.push_back(std::move(Token));
        }
    }

private:
    bool AtEnd() const { return FPos >= FText.size(); }
    char Peek() const { return AtEnd() ? '\0' : FText[FPos]; }

    void SkipBlanks() {
        while (!AtEnd() && static_cast<unsigned char>(Peek()) <= ' ') {
            if (Peek() == '\n' || (Peek() == '\r' && FText.substr(FPos, 2) != "\r\n"))
                ++FLine;
            ++FPos;
        }
    }

    void ReadIdent(TToken& Token) {
        const std::size_t Start = FPos;
        while (IsIdentChar(Peek()) ||
               (Peek() == '.' && FPos + 1 < FText.size() && IsIdentStart(FText[FPos + 1])))
            ++FPos;
        Token.Kind = TTokenKind::Ident;
        Token.Text = FText.substr(Start, FPos - Start);
    }

    // Reads the digits of Base at the current position into Value, failing with the message of
    // TooLarge once it passes Max; false when there is no digit.
    bool ReadDigits(int Base, std::uint64_t Max, AnsiString (*TooLarge)(), std::uint64_t& Value) {
        const std::size_t Start = FPos;
        for (int D; !AtEnd() && (D = HexDigit(Peek())) >= 0 && D < Base; ++FPos) {
            Value = Value * static_cast<unsigned>(Base) + static_cast<unsigned>(D);
            if (Value > Max)
                Fail(FLine, TooLarge());
        }
        return FPos != Start;
    }

    void ReadInteger(TToken& Token) {
        const bool Negative = Peek() == '-';
        if (Negative)
            ++FPos;
        const bool Hex = Peek() == '$';
        if (Hex)
            ++FPos;
        std::uint64_t Digits = 0;
        if (!ReadDigits(Hex ? 16 : 10, 0xFFFFFFFF, TooLargeMessage, Digits) ||
            IsIdentChar(Peek()) || Peek() == '.')
            Fail(FLine, "数値が正しくありません"_sj);
        auto Value = static_cast<std::int64_t>(Digits);
        Token.Kind = TTokenKind::Integer;
        // $FFFFFFFF is the 32-bit pattern the platform writes for -1.
        if (Hex && Value > 0x7FFFFFFF)
            Value -= 0x100000000LL;
        Token.Value = Negative ? -Value : Value;
    }

    void ReadQuoted(std::string& Out) {
        ++FPos;
        for (;;) {
            if (AtEnd() || Peek() == '\r' || Peek() == '\n')
                Fail(FLine, "文字列が閉じていません"_sj);
            if (Peek() == '\'') {
                if (FText.substr(FPos, 2) != "''") {
                    ++FPos;
                    return;
                }
                ++FPos;
            }
            Out += FText[FPos++];
        }
    }

    void ReadCharCode(std::string& Out) {
        ++FPos;
        const bool Hex = Peek() == '$';
        if (Hex)
            ++FPos;
        std::uint64_t Code = 0;
        if (!ReadDigits(Hex ? 16 : 10, 0x10FFFF, InvalidCharCodeMessage, Code))
            Fail(FLine, InvalidCharCodeMessage());
        AppendUtf8(Out, static_cast<std::uint32_t>(Code));
    }

    // After a piece: another piece follows directly, or after a + possibly on the next line.
    bool NextPiece() {
        if (Peek() == '\'' || Peek() == '#')
            return true;
        const std::size_t SavedPos = FPos;
        const int SavedLine = FLine;
        SkipBlanks();
        if (Peek() == '+') {
            ++FPos;
            SkipBlanks();
            if (Peek() == '\'' || Peek() == '#')
                return true;
            Fail(FLine, "+ の後に文字列がありません"_sj);
        }
        FPos = SavedPos;
        FLine = SavedLine;
        return false;
    }

    void ReadString(TToken& Token) {
        Token.Kind = TTokenKind::String;
        do {
            if (Peek() == '\'')
                ReadQuoted(Token.Text);
            else
                ReadCharCode(Token.Text);
        } while (NextPiece());
    }

    void ReadBinary(TToken& Token) {
        ++FPos;
        Token.Kind = TTokenKind::Binary;
        int High = -1;
        for (;;) {
            SkipBlanks();
            if (AtEnd())
                Fail(FLine, "バイナリデータが閉じていません"_sj);
            if (Peek() == '}')
                break;
            const int D = HexDigit(Peek());
            if (D < 0)
                Fail(FLine, "バイナリデータが正しくありません"_sj);
            ++FPos;
            if (High < 0) {
                High = D;
            } else {
                Token.Text += static_cast<char>(High * 16 + D);
                High = -1;
            }
        }
        if (High >= 0)
            Fail(FLine, "バイナリデータの桁数が奇数です"_sj);
        ++FPos;
    }

    std::string_view FText;
    std::size_t FPos = 0;
    int FLine = 1;
};

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
        : FRoot(Root), FTokens(TLexer(Text).Tokens()) {}

    void Read() {
        FRoot->BeginLoading();
        try {
            ReadRoot();
            if (Peek().Kind != TTokenKind::End)
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
    const TToken& Peek() const { return FTokens[FPos]; }
    const TToken& Next() { return FTokens[Peek().Kind == TTokenKind::End ? FPos : FPos++]; }

    bool PeekIdent(const char* Word) const {
        return Peek().Kind == TTokenKind::Ident && SameText(Peek().Text, Word);
    }
    bool PeekSymbol(char Symbol) const {
        return Peek().Kind == TTokenKind::Symbol && Peek().Text[0] == Symbol;
    }

    const TToken& ExpectIdent(const AnsiString& What) {
        if (Peek().Kind != TTokenKind::Ident)
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
    std::pair<AnsiString, TToken> ReadHeader() {
        const TToken First = ExpectIdent("クラス名"_sj);
        if (!PeekSymbol(':'))
            return {AnsiString(), First};
        Next();
        return {First.Text, ExpectIdent("クラス名"_sj)};
    }

    void ReadRoot() {
        ExpectWord("object");
        const auto Header = ReadHeader();
        const AnsiString& Name = Header.first;
        const TToken& Class = Header.second;
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
        const TToken& Class = Header.second;
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
        const TToken& Name = ExpectIdent("プロパティ名"_sj);
        ExpectSymbol('=');
        const TTarget Target = Resolve(Obj, Name.Text, Name.Line);
        ReadValue(Target, Holder, Path + Name.Text, Name.Line);
    }

    // Follows a dotted name through owned sub-objects; "Items.Strings" names the list Items.
    TTarget Resolve(TPersistent* Obj, const AnsiString& Name, int Line) {
        std::size_t Start = 0;
        for (;;) {
            const std::size_t Dot = Name.find('.', Start);
            const AnsiString Part = Name.substr(Start, Dot - Start);
            const TPropInfo* Prop = ClassInfoOf(Obj, Line).FindProp(Part);
            if (!Prop)
                Fail(Line, "プロパティ "_sj + Name + " がありません"_sj);
            if (Dot == AnsiString::npos)
                return {Obj, Prop};
            if (Prop->Kind == TTypeKind::Strings && SameText(Name.substr(Dot + 1), "Strings"))
                return {Obj, Prop};
            if (Prop->Kind != TTypeKind::Class)
                Fail(Line, "プロパティ "_sj + Name + " がありません"_sj);
            TPersistent* Sub = Prop->GetObj(Obj);
            if (!Sub)
                Fail(Line, "プロパティ "_sj + Name + " がありません"_sj);
            Obj = Sub;
            Start = Dot + 1;
        }
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
            if (Peek().Kind != TTokenKind::Binary)
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
        if (Peek().Kind == TTokenKind::Integer) {
            Value = Next().Value;
        } else if (Peek().Kind == TTokenKind::Ident && T.Prop->Idents) {
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
        if (Peek().Kind != TTokenKind::Ident)
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
        if (Peek().Kind != TTokenKind::String)
            BadValue(PropName, Line);
        return ToAnsi(Next().Text, PropName, Line);
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
            if (Peek().Kind == TTokenKind::Integer)
                Lines.push_back(IntToStr(Next().Value));
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
        if (Peek().Kind != TTokenKind::Ident)
            BadValue(PropName, Line);
        const AnsiString Name = Next().Text;
        if (SameText(Name, "nil"))
            return Guard(Line, PropName, [&] { T.Prop->SetRef(T.Obj, nullptr); });
        FFixups.push_back({T.Obj, T.Prop, PropName, Name, Line});
    }

    void ReadMethod(const TTarget& T, TComponent* Holder, const AnsiString& PropName, int Line) {
        if (Peek().Kind != TTokenKind::Ident)
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
    std::vector<TToken> FTokens;
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
    QFile Resource(QStringLiteral(":/forms/") + QString::fromStdString(AnsiToUtf8(ResourceName)));
    if (!Resource.open(QIODevice::ReadOnly))
        throw EReadError("フォームリソース "_sj + ResourceName + " が見つかりません"_sj);
    const QByteArray Text = Resource.readAll();
    ReadComponentText(Root,
                      std::string_view(Text.constData(), static_cast<std::size_t>(Text.size())));
}
