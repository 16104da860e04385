// Form conversion, text to binary: the text form read into a binary form image.
#include "FormConvert.h"

#include "FormChars.h"
#include "FormImage.h"
#include "QtText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <locale>
#include <sstream>
#include <vector>

namespace {

void PutLE(std::string& Out, std::uint64_t Value, int Bytes) {
    for (int I = 0; I < Bytes; ++I)
        Out += static_cast<char>((Value >> (8 * I)) & 0xFF);
}

void PutExtended(std::string& Out, long double Value) {
    std::uint64_t Mantissa = 0;
    unsigned SignExponent = std::signbit(Value) ? 0x8000 : 0;
    Value = std::fabs(Value);
    if (std::isnan(Value)) {
        SignExponent |= ExtendedMaxExponent;
        Mantissa = 0xC000000000000000ULL;
    } else if (std::isinf(Value)) {
        SignExponent |= ExtendedMaxExponent;
        Mantissa = 0x8000000000000000ULL;
    } else if (Value != 0) {
        int Exponent = 0;
        const long double Fraction = std::frexp(Value, &Exponent);
        const int Biased = Exponent - 1 + ExtendedBias;
        if (Biased <= 0) {
            Mantissa = static_cast<std::uint64_t>(
                std::ldexp(Value, ExtendedBias - 1 + ExtendedMantissaBits - 1));
        } else if (Biased >= static_cast<int>(ExtendedMaxExponent)) {
            SignExponent |= ExtendedMaxExponent;
            Mantissa = 0x8000000000000000ULL;
        } else {
            Mantissa = static_cast<std::uint64_t>(std::ldexp(Fraction, ExtendedMantissaBits));
            SignExponent |= static_cast<unsigned>(Biased);
        }
    }
    PutLE(Out, Mantissa, 8);
    PutLE(Out, SignExponent, 2);
}

// ---------------------------------------------------------------------------------------------
// Text to binary

enum class TKind { Name, Integer, Float, String, Symbol, Binary, End };

struct TPiece {
    std::string Bytes; // quoted code page 932 bytes, or empty for a #n piece
    char32_t Code = 0;
    bool IsCode = false;
};

struct TToken {
    TKind Kind = TKind::End;
    std::string Text; // name, symbol, number text without suffix, binary bytes
    char Suffix = 0;  // of a float: 's', 'c', 'd' or none
    // A name that reads as INF or NAN (with a suffix): a float where a value stands, a name
    // where a name does (an object may well be called INF).
    bool NonFinite = false;
    std::vector<TPiece> Pieces;
    int Line = 1;
};

[[noreturn]] void TextFault(int Line, const AnsiString& Reason) {
    throw EReadError("フォームテキストの "_sj + IntToStr(Line) + " 行目: "_sj + Reason);
}

class TTextLexer {
public:
    explicit TTextLexer(std::string_view Text) : FText(Text) {}

    std::vector<TToken> Tokens() {
        std::vector<TToken> Result;
        for (;;) {
            SkipBlanks();
            TToken Token;
            Token.Line = FLine;
            if (AtEnd()) {
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
                Token.Kind = TKind::Symbol, Token.Text = std::string(1, C), ++FPos;
            else
                TextFault(FLine, "不正な文字があります"_sj);
            Result.push_back(std::move(Token));
        }
    }

private:
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

    void ReadName(TToken& Token) {
        const std::size_t Start = FPos;
        while (IsNameChar(Peek()) || (Peek() == '.' && IsNameStart(Peek(1))))
            ++FPos;
        Token.Kind = TKind::Name;
        Token.Text = FText.substr(Start, FPos - Start);
        ReadNonFinite(Token);
    }

    // INF and NAN, with the suffix of their type, are floats that are not numbers.
    static void ReadNonFinite(TToken& Token) {
        const std::string_view Word = Token.Text;
        const char Suffix = Word.size() == 4 ? Word[3] : 0;
        if ((Word.size() != 3 && Word.size() != 4) ||
            (Word.size() == 4 && Suffix != 's' && Suffix != 'c' && Suffix != 'd') ||
            (Word.substr(0, 3) != "INF" && Word.substr(0, 3) != "NAN"))
            return;
        Token.NonFinite = true;
        Token.Suffix = Suffix;
    }

    void ReadDigits(bool Hex) {
        while (Hex ? HexDigit(Peek()) >= 0 : IsDigit(Peek()))
            ++FPos;
    }

    void ReadNumber(TToken& Token) {
        const std::size_t Start = FPos;
        if (Peek() == '-' && Peek(1) == 'I') {
            ++FPos;
            ReadName(Token);
            if (!Token.NonFinite || !Token.Text.starts_with("INF"))
                TextFault(FLine, "数値が正しくありません"_sj);
            Token.Kind = TKind::Float;
            Token.NonFinite = false;
            Token.Text = "-INF";
            return;
        }
        if (Peek() == '-')
            ++FPos;
        const bool Hex = Peek() == '$';
        FPos += Hex ? 1 : 0;
        const std::size_t DigitsStart = FPos;
        ReadDigits(Hex);
        if (FPos == DigitsStart)
            TextFault(FLine, "数値が正しくありません"_sj);
        bool Float = false;
        if (!Hex && Peek() == '.' && IsDigit(Peek(1))) {
            ++FPos;
            ReadDigits(false);
            Float = true;
        }
        if (!Hex && (Peek() == 'e' || Peek() == 'E') &&
            (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
            FPos += 2;
            ReadDigits(false);
            Float = true;
        }
        Token.Text = FText.substr(Start, FPos - Start);
        if (!Hex && (Peek() == 's' || Peek() == 'c' || Peek() == 'd') && !IsNameChar(Peek(1))) {
            Token.Suffix = Peek();
            ++FPos;
            Float = true;
        }
        if (IsNameChar(Peek()) || Peek() == '.')
            TextFault(FLine, "数値が正しくありません"_sj);
        Token.Kind = Float ? TKind::Float : TKind::Integer;
    }

    void ReadQuoted(TToken& Token) {
        TPiece Piece;
        ++FPos;
        for (;;) {
            if (AtEnd() || Peek() == '\r' || Peek() == '\n')
                TextFault(FLine, "文字列が閉じていません"_sj);
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

    void ReadCode(TToken& Token) {
        ++FPos;
        const bool Hex = Peek() == '$';
        FPos += Hex ? 1 : 0;
        std::uint64_t Code = 0;
        const std::size_t Start = FPos;
        for (int D; (D = HexDigit(Peek())) >= 0 && D < (Hex ? 16 : 10); ++FPos) {
            Code = Code * (Hex ? 16 : 10) + static_cast<unsigned>(D);
            if (Code > MaxCodePoint)
                TextFault(FLine, "文字コードが正しくありません"_sj);
        }
        if (FPos == Start)
            TextFault(FLine, "文字コードが正しくありません"_sj);
        Token.Pieces.push_back({"", static_cast<char32_t>(Code), true});
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
            TextFault(FLine, "+ の後に文字列がありません"_sj);
        }
        FPos = SavedPos;
        FLine = SavedLine;
        return false;
    }

    void ReadString(TToken& Token) {
        Token.Kind = TKind::String;
        do {
            if (Peek() == '\'')
                ReadQuoted(Token);
            else
                ReadCode(Token);
        } while (NextPiece());
    }

    void ReadBinary(TToken& Token) {
        ++FPos;
        Token.Kind = TKind::Binary;
        int High = -1;
        for (;;) {
            SkipBlanks();
            if (AtEnd())
                TextFault(FLine, "バイナリデータが閉じていません"_sj);
            if (Peek() == '}')
                break;
            const int D = HexDigit(Peek());
            if (D < 0)
                TextFault(FLine, "バイナリデータが正しくありません"_sj);
            ++FPos;
            if (High < 0) {
                High = D;
            } else {
                Token.Text += static_cast<char>(High * 16 + D);
                High = -1;
            }
        }
        if (High >= 0)
            TextFault(FLine, "バイナリデータの桁数が奇数です"_sj);
        ++FPos;
    }

    std::string_view FText;
    std::size_t FPos = 0;
    int FLine = 1;
};

class TTextParser {
public:
    explicit TTextParser(std::string_view Text) : FTokens(TTextLexer(Text).Tokens()) {}

    std::string Convert() {
        FOut = FormImageSignature;
        if (!IsObjectStart())
            TextFault(Peek().Line, "object がありません"_sj);
        ReadObject(0);
        if (Peek().Kind != TKind::End)
            TextFault(Peek().Line, "end の後に余分なテキストがあります"_sj);
        return FOut;
    }

    const std::string& RootClass() const { return FRootClass; }

private:
    const TToken& Peek(std::size_t Ahead = 0) const {
        return FTokens[std::min(FPos + Ahead, FTokens.size() - 1)];
    }
    const TToken& Next() {
        const TToken& Token = Peek();
        if (Token.Kind != TKind::End)
            ++FPos;
        return Token;
    }

    bool PeekName(const char* Word, std::size_t Ahead = 0) const {
        return Peek(Ahead).Kind == TKind::Name && SameText(Peek(Ahead).Text, Word);
    }
    bool PeekSymbol(char Symbol, std::size_t Ahead = 0) const {
        return Peek(Ahead).Kind == TKind::Symbol && Peek(Ahead).Text[0] == Symbol;
    }

    void ExpectSymbol(char Symbol) {
        if (!PeekSymbol(Symbol))
            TextFault(Peek().Line, AnsiString(1, Symbol) + " がありません"_sj);
        Next();
    }

    const std::string& ExpectName() {
        if (Peek().Kind != TKind::Name)
            TextFault(Peek().Line, "名前がありません"_sj);
        return Next().Text;
    }

    void CheckDepth(int Depth) const {
        if (Depth > MaxDepth)
            TextFault(Peek().Line, "入れ子が深すぎます"_sj);
    }

    // "end", unless it names a property.
    bool IsEnd() const { return PeekName("end") && !PeekSymbol('=', 1); }

    bool IsObjectStart() const {
        return (PeekName("object") || PeekName("inherited") || PeekName("inline")) &&
               !PeekSymbol('=', 1);
    }

    void ShortString(std::string_view Text, int Line) {
        if (Text.size() > ShortStringMax)
            TextFault(Line, "名前が長すぎます"_sj);
        FOut += static_cast<char>(Text.size());
        FOut += Text;
    }

    void ReadObject(int Depth) {
        CheckDepth(Depth);
        const int Line = Peek().Line;
        const std::string Kind = Next().Text;
        std::string Name = ExpectName();
        std::string ClassName;
        if (PeekSymbol(':')) {
            Next();
            ClassName = ExpectName();
        } else {
            ClassName = std::exchange(Name, std::string());
        }
        unsigned Flags = SameText(Kind, "inherited") ? ffInherited
                         : SameText(Kind, "inline")  ? ffInline
                                                     : 0;
        std::string Position;
        if (PeekSymbol('[')) {
            Next();
            Position = Int32Image(Peek().Line);
            ExpectSymbol(']');
            Flags |= ffChildPos;
        }
        if (Flags != 0)
            FOut += static_cast<char>(FlagsPrefix | Flags);
        FOut += Position;
        ShortString(ClassName, Line);
        ShortString(Name, Line);
        if (Depth == 0)
            FRootClass = ClassName;
        while (!IsObjectStart() && !IsEnd())
            ReadProperty(Depth + 1);
        FOut += '\0';
        while (IsObjectStart())
            ReadObject(Depth + 1);
        if (!IsEnd())
            TextFault(Peek().Line, "end がありません"_sj);
        Next();
        FOut += '\0';
    }

    void ReadProperty(int Depth) {
        const int Line = Peek().Line;
        ShortString(ExpectName(), Line);
        ExpectSymbol('=');
        ReadValue(Depth);
    }

    // Positions and indexes are 32-bit values.
    std::string Int32Image(int Line) {
        std::string Image = IntegerImage(Line);
        if (Image[0] != static_cast<char>(vaInt8) && Image[0] != static_cast<char>(vaInt16) &&
            Image[0] != static_cast<char>(vaInt32))
            TextFault(Line, "数値が大きすぎます"_sj);
        return Image;
    }

    // The integer token next as a value of the smallest type that holds it.
    std::string IntegerImage(int Line) {
        if (Peek().Kind != TKind::Integer)
            TextFault(Line, "整数がありません"_sj);
        const std::string& Text = Next().Text;
        const bool Negative = Text[0] == '-';
        const bool Hex = Text[Negative ? 1 : 0] == '$';
        const char* First = Text.data() + (Negative ? 1 : 0) + (Hex ? 1 : 0);
        std::uint64_t Magnitude = 0;
        const auto Result =
            std::from_chars(First, Text.data() + Text.size(), Magnitude, Hex ? 16 : 10);
        if (Result.ec != std::errc())
            TextFault(Line, "数値が大きすぎます"_sj);
        // $FFFFFFFF is the 32-bit pattern of -1.
        if (Hex && !Negative && Text.size() <= 9 && Magnitude > 0x7FFFFFFF)
            return IntegerBytes(static_cast<std::int32_t>(static_cast<std::uint32_t>(Magnitude)));
        if (!Negative &&
            Magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            std::string Out(1, static_cast<char>(vaQWord));
            PutLE(Out, Magnitude, 8);
            return Out;
        }
        if (Negative &&
            Magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1)
            TextFault(Line, "数値が大きすぎます"_sj);
        return IntegerBytes(Negative ? static_cast<std::int64_t>(0 - Magnitude)
                                     : static_cast<std::int64_t>(Magnitude));
    }

    static std::string IntegerBytes(std::int64_t Value) {
        std::string Out;
        const auto Put = [&](TValueType Type, int Bytes) {
            Out += static_cast<char>(Type);
            PutLE(Out, static_cast<std::uint64_t>(Value), Bytes);
        };
        if (Value >= std::numeric_limits<std::int8_t>::min() &&
            Value <= std::numeric_limits<std::int8_t>::max())
            Put(vaInt8, 1);
        else if (Value >= std::numeric_limits<std::int16_t>::min() &&
                 Value <= std::numeric_limits<std::int16_t>::max())
            Put(vaInt16, 2);
        else if (Value >= std::numeric_limits<std::int32_t>::min() &&
                 Value <= std::numeric_limits<std::int32_t>::max())
            Put(vaInt32, 4);
        else
            Put(vaInt64, 8);
        return Out;
    }

    template <class T> T ParseFloat(const TToken& Token) {
        T Value{};
        const char* End = Token.Text.data() + Token.Text.size();
        const auto Result = std::from_chars(Token.Text.data(), End, Value);
        if (Result.ec == std::errc() && Result.ptr == End)
            return Value;
        // Some libraries refuse subnormal values here; the stream reads them.
        std::istringstream Stream(Token.Text);
        Stream.imbue(std::locale::classic());
        if (Result.ec == std::errc::result_out_of_range && (Stream >> Value) && Stream.eof())
            return Value;
        TextFault(Token.Line, "数値が正しくありません"_sj);
    }

    // Exact for the decimal text the conversion writes; other forms go through a float.
    std::int64_t CurrencyValue(const TToken& Token) {
        const std::string& Text = Token.Text;
        const bool Negative = Text[0] == '-';
        const std::size_t Dot = Text.find('.');
        const std::size_t Digits = Dot == std::string::npos ? Text.size() : Dot;
        std::uint64_t Whole = 0;
        std::uint64_t Fraction = 0;
        const char* First = Text.data() + (Negative ? 1 : 0);
        const bool Plain = Text.find_first_of("eEIN") == std::string::npos &&
                           std::from_chars(First, Text.data() + Digits, Whole).ec == std::errc() &&
                           (Dot == std::string::npos || Text.size() - Dot - 1 <= 4);
        if (Plain) {
            std::string Digits4 = Dot == std::string::npos ? "" : Text.substr(Dot + 1);
            Digits4.resize(4, '0');
            std::from_chars(Digits4.data(), Digits4.data() + Digits4.size(), Fraction);
            const std::uint64_t Limit =
                static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) +
                (Negative ? 1 : 0);
            if (Whole <= (Limit - Fraction) / CurrencyScale) {
                const std::uint64_t Magnitude = Whole * CurrencyScale + Fraction;
                return Negative ? static_cast<std::int64_t>(0 - Magnitude)
                                : static_cast<std::int64_t>(Magnitude);
            }
            TextFault(Token.Line, "数値が大きすぎます"_sj);
        }
        const long double Scaled = ParseFloat<long double>(Token) * CurrencyScale;
        if (!(std::fabs(Scaled) < 0x1p63L))
            TextFault(Token.Line, "数値が大きすぎます"_sj);
        return std::llround(Scaled);
    }

    void ReadFloat() {
        TToken Token = Next();
        if (Token.NonFinite)
            Token.Text.resize(3);
        switch (Token.Suffix) {
        case 's':
            FOut += static_cast<char>(vaSingle);
            PutLE(FOut, std::bit_cast<std::uint32_t>(ParseFloat<float>(Token)), 4);
            return;
        case 'd':
            FOut += static_cast<char>(vaDate);
            PutLE(FOut, std::bit_cast<std::uint64_t>(ParseFloat<double>(Token)), 8);
            return;
        case 'c':
            FOut += static_cast<char>(vaCurrency);
            PutLE(FOut, static_cast<std::uint64_t>(CurrencyValue(Token)), 8);
            return;
        default:
            FOut += static_cast<char>(vaExtended);
            PutExtended(FOut, ParseFloat<long double>(Token));
        }
    }

    void ReadString() {
        const TToken& Token = Next();
        bool Narrow = true;
        for (const TPiece& Piece : Token.Pieces)
            Narrow = Narrow && (!Piece.IsCode || Piece.Code < 0x80);
        if (Narrow) {
            std::string Bytes;
            for (const TPiece& Piece : Token.Pieces)
                Bytes += Piece.IsCode ? std::string(1, static_cast<char>(Piece.Code)) : Piece.Bytes;
            if (Bytes.size() <= ShortStringMax) {
                FOut += static_cast<char>(vaString);
                FOut += static_cast<char>(Bytes.size());
            } else {
                FOut += static_cast<char>(vaLString);
                PutLE(FOut, Bytes.size(), 4);
            }
            FOut += Bytes;
            return;
        }
        QString Text;
        for (const TPiece& Piece : Token.Pieces) {
            if (!Piece.IsCode)
                Text += QtText::Decode(Piece.Bytes);
            else
                Text += CharText(Piece.Code);
        }
        FOut += static_cast<char>(vaWString);
        PutLE(FOut, static_cast<std::uint64_t>(Text.size()), 4);
        for (const QChar Unit : Text)
            PutLE(FOut, Unit.unicode(), 2);
    }

    void ReadNameValue() {
        const std::string& Name = Next().Text;
        if (Name == "False")
            FOut += static_cast<char>(vaFalse);
        else if (Name == "True")
            FOut += static_cast<char>(vaTrue);
        else if (Name == "nil")
            FOut += static_cast<char>(vaNil);
        else if (Name == "Null")
            FOut += static_cast<char>(vaNull);
        else
            FOut += static_cast<char>(vaIdent), ShortString(Name, Peek().Line);
    }

    void ReadSet() {
        Next();
        FOut += static_cast<char>(vaSet);
        for (bool First = true; !PeekSymbol(']'); First = false) {
            if (!First)
                ExpectSymbol(',');
            const int Line = Peek().Line;
            ShortString(ExpectName(), Line);
        }
        Next();
        FOut += '\0';
    }

    void ReadList(int Depth) {
        Next();
        FOut += static_cast<char>(vaList);
        while (!PeekSymbol(')')) {
            // Null is the byte that ends a list; inside one it cannot be told apart.
            if (PeekName("Null"))
                TextFault(Peek().Line, "リストの中に Null は書けません"_sj);
            ReadValue(Depth + 1);
        }
        Next();
        FOut += '\0';
    }

    void ReadCollection(int Depth) {
        Next();
        FOut += static_cast<char>(vaCollection);
        while (!PeekSymbol('>')) {
            if (!PeekName("item"))
                TextFault(Peek().Line, "item がありません"_sj);
            Next();
            if (PeekSymbol('[')) {
                Next();
                FOut += Int32Image(Peek().Line);
                ExpectSymbol(']');
            }
            FOut += static_cast<char>(vaList);
            while (!IsEnd())
                ReadProperty(Depth + 1);
            Next();
            FOut += '\0';
        }
        Next();
        FOut += '\0';
    }

    void ReadValue(int Depth) {
        CheckDepth(Depth);
        const TToken& Token = Peek();
        switch (Token.Kind) {
        case TKind::Integer:
            FOut += IntegerImage(Token.Line);
            return;
        case TKind::Float:
            return ReadFloat();
        case TKind::String:
            return ReadString();
        case TKind::Name:
            return Token.NonFinite ? ReadFloat() : ReadNameValue();
        case TKind::Binary:
            FOut += static_cast<char>(vaBinary);
            PutLE(FOut, Token.Text.size(), 4);
            FOut += Next().Text;
            return;
        case TKind::Symbol:
            if (PeekSymbol('['))
                return ReadSet();
            if (PeekSymbol('('))
                return ReadList(Depth);
            if (PeekSymbol('<'))
                return ReadCollection(Depth);
            break;
        case TKind::End:
            break;
        }
        TextFault(Token.Line, "値がありません"_sj);
    }

    std::vector<TToken> FTokens;
    std::size_t FPos = 0;
    std::string FOut;
    std::string FRootClass;
};

} // namespace

std::string ObjectTextToBinary(std::string_view Text) {
    return TTextParser(Text).Convert();
}

std::string ObjectTextToResource(std::string_view Text) {
    TTextParser Parser(Text);
    const std::string Image = Parser.Convert();
    std::string Out(ResourceMark);
    Out += UpperCase(Parser.RootClass());
    Out += '\0';
    Out += ResourceFlags;
    PutLE(Out, Image.size(), 4);
    return Out + Image;
}
