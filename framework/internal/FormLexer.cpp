#include "FormLexer.h"

#include "FormChars.h"

namespace {

// The digits of a number in one base: their value, their count, and whether the value
// passed 64 bits.
struct TDigits {
    std::uint64_t Value = 0;
    std::size_t Count = 0;
    bool Overflow = false;
};

class TFormLexer {
public:
    TFormLexer(std::string_view Text, const TFormSyntax& Syntax) : FText(Text), FSyntax(Syntax) {}

    std::vector<TFormToken> Tokens(std::size_t MaxTokens) {
        std::vector<TFormToken> Result;
        for (;;) {
            SkipBlanks();
            TFormToken Token;
            Token.Line = FLine;
            if (AtEnd() || Result.size() == MaxTokens) {
                Result.push_back(std::move(Token));
                return Result;
            }
            const char C = Peek();
            if (IsNameStart(C))
                ReadName(Token);
            else if (IsDigit(C) || C == '-' || C == '$')
                ReadNumber(Token);
            else if (C == '\'' || C == '#')
                ReadString(Token);
            else if (C == '{')
                ReadBinary(Token);
            else if (std::string_view("=:[](),<>").find(C) != std::string_view::npos)
                Token.Kind = TFormTokenKind::Symbol, Token.Text = std::string(1, C), ++FPos;
            else
                Fault("不正な文字があります"_sj);
            Result.push_back(std::move(Token));
        }
    }

private:
    [[noreturn]] void Fault(const AnsiString& Reason) const {
        FormFault(FSyntax.Source, FLine, Reason);
    }

    bool AtEnd() const { return FPos >= FText.size(); }
    char Peek(std::size_t Ahead = 0) const {
        return FPos + Ahead < FText.size() ? FText[FPos + Ahead] : '\0';
    }

    void SkipBlanks() {
        while (!AtEnd() && static_cast<unsigned char>(Peek()) <= ' ') {
            if (Peek() == '\n' || (Peek() == '\r' && Peek(1) != '\n'))
                ++FLine;
            ++FPos;
        }
    }

    void ReadName(TFormToken& Token) {
        const std::size_t Start = FPos;
        while (IsNameChar(Peek()) || (Peek() == '.' && IsNameStart(Peek(1))))
            ++FPos;
        Token.Kind = TFormTokenKind::Name;
        Token.Text = FText.substr(Start, FPos - Start);
        ReadNonFinite(Token);
    }

    // INF and NAN, with the suffix of their type, are floats that are not numbers.
    static void ReadNonFinite(TFormToken& Token) {
        const std::string_view Word = Token.Text;
        const char Suffix = Word.size() == 4 ? Word[3] : 0;
        if ((Word.size() != 3 && Word.size() != 4) ||
            (Word.size() == 4 && Suffix != 's' && Suffix != 'c' && Suffix != 'd') ||
            (Word.substr(0, 3) != "INF" && Word.substr(0, 3) != "NAN"))
            return;
        Token.NonFinite = true;
        Token.Suffix = Suffix;
    }

    TDigits ReadDigits(bool Hex) {
        const unsigned Base = Hex ? 16 : 10;
        TDigits Digits;
        for (int D; (D = HexDigit(Peek())) >= 0 && D < static_cast<int>(Base); ++FPos) {
            const std::uint64_t Shifted = Digits.Value * Base;
            Digits.Overflow = Digits.Overflow || Shifted / Base != Digits.Value ||
                              Shifted + static_cast<unsigned>(D) < Shifted;
            Digits.Value = Shifted + static_cast<unsigned>(D);
            ++Digits.Count;
        }
        return Digits;
    }

    void ReadNumber(TFormToken& Token) {
        if (FSyntax.Floats && Peek() == '-' && Peek(1) == 'I')
            return ReadNegativeInfinity(Token);
        const std::size_t Start = FPos;
        Token.Negative = Peek() == '-';
        FPos += Token.Negative ? 1 : 0;
        Token.Hex = Peek() == '$';
        FPos += Token.Hex ? 1 : 0;
        const TDigits Digits = ReadDigits(Token.Hex);
        if (!FSyntax.Floats && (Digits.Overflow || Digits.Value > Int32Pattern))
            Fault("数値が大きすぎます"_sj);
        if (Digits.Count == 0)
            Fault("数値が正しくありません"_sj);
        Token.Magnitude = Digits.Value;
        Token.Overflow = Digits.Overflow;
        const bool Float = FSyntax.Floats && !Token.Hex && ReadFloatParts();
        Token.Text = FText.substr(Start, FPos - Start);
        const bool Suffixed = FSyntax.Floats && !Token.Hex && ReadSuffix(Token);
        if (IsNameChar(Peek()) || Peek() == '.')
            Fault("数値が正しくありません"_sj);
        Token.Kind = Float || Suffixed ? TFormTokenKind::Float : TFormTokenKind::Integer;
    }

    // A fraction and an exponent after the whole digits, either or both; false for neither.
    bool ReadFloatParts() {
        bool Float = false;
        if (Peek() == '.' && IsDigit(Peek(1))) {
            ++FPos;
            ReadDigits(false);
            Float = true;
        }
        if ((Peek() == 'e' || Peek() == 'E') &&
            (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
            FPos += 2;
            ReadDigits(false);
            Float = true;
        }
        return Float;
    }

    bool ReadSuffix(TFormToken& Token) {
        if ((Peek() != 's' && Peek() != 'c' && Peek() != 'd') || IsNameChar(Peek(1)))
            return false;
        Token.Suffix = Peek();
        ++FPos;
        return true;
    }

    void ReadNegativeInfinity(TFormToken& Token) {
        ++FPos;
        ReadName(Token);
        if (!Token.NonFinite || !Token.Text.starts_with("INF"))
            Fault("数値が正しくありません"_sj);
        Token.Kind = TFormTokenKind::Float;
        Token.NonFinite = false;
        Token.Text = "-INF";
    }

    void ReadQuoted(TFormToken& Token) {
        TFormStringPiece Piece;
        ++FPos;
        for (;;) {
            if (AtEnd() || Peek() == '\r' || Peek() == '\n')
                Fault("文字列が閉じていません"_sj);
            if (Peek() == '\'') {
                if (Peek(1) != '\'')
                    break;
                ++FPos;
            }
            Piece.Bytes += FText[FPos++];
        }
        ++FPos;
        Token.Pieces.push_back(std::move(Piece));
    }

    void ReadCode(TFormToken& Token) {
        ++FPos;
        const bool Hex = Peek() == '$';
        FPos += Hex ? 1 : 0;
        const TDigits Code = ReadDigits(Hex);
        if (Code.Count == 0 || Code.Overflow || Code.Value > MaxCodePoint)
            Fault("文字コードが正しくありません"_sj);
        Token.Pieces.push_back({"", static_cast<char32_t>(Code.Value), true});
    }

    // Pieces join directly or with + across blanks and lines.
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
            Fault("+ の後に文字列がありません"_sj);
        }
        FPos = SavedPos;
        FLine = SavedLine;
        return false;
    }

    void ReadString(TFormToken& Token) {
        Token.Kind = TFormTokenKind::String;
        do {
            if (Peek() == '\'')
                ReadQuoted(Token);
            else
                ReadCode(Token);
        } while (NextPiece());
    }

    void ReadBinary(TFormToken& Token) {
        ++FPos;
        Token.Kind = TFormTokenKind::Binary;
        int High = -1;
        for (;;) {
            SkipBlanks();
            if (AtEnd())
                Fault("バイナリデータが閉じていません"_sj);
            if (Peek() == '}')
                break;
            const int D = HexDigit(Peek());
            if (D < 0)
                Fault("バイナリデータが正しくありません"_sj);
            ++FPos;
            if (High < 0) {
                High = D;
            } else {
                Token.Text += static_cast<char>(High * 16 + D);
                High = -1;
            }
        }
        if (High >= 0)
            Fault("バイナリデータの桁数が奇数です"_sj);
        ++FPos;
    }

    // The largest integer of a 32-bit syntax: $FFFFFFFF, the pattern the platform writes for -1.
    static constexpr std::uint64_t Int32Pattern = 0xFFFFFFFF;

    std::string_view FText;
    const TFormSyntax& FSyntax;
    std::size_t FPos = 0;
    int FLine = 1;
};

} // namespace

const TFormSyntax& FormFileSyntax() {
    static const TFormSyntax FormFile{"フォームファイル"_sj, false};
    return FormFile;
}

void FormFault(const AnsiString& Source, int Line, const AnsiString& Reason) {
    throw EReadError(Source + "の "_sj + IntToStr(Line) + " 行目: "_sj + Reason);
}

std::vector<TFormToken> FormTokens(std::string_view Text, const TFormSyntax& Syntax,
                                   std::size_t MaxTokens) {
    return TFormLexer(Text, Syntax).Tokens(MaxTokens);
}
