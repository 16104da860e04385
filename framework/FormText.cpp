// Form conversion, text to binary: the text form read into a binary form image.
#include "FormConvert.h"

#include "FormImage.h"
#include "FormLexer.h"
#include "PlatformText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <locale>
#include <sstream>
#include <type_traits>
#include <utility>
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

const TFormSyntax& Syntax() {
    static const TFormSyntax FormText{"フォームテキスト"_sj, true};
    return FormText;
}

[[noreturn]] void TextFault(int Line, const AnsiString& Reason) {
    FormFault(Syntax().Source, Line, Reason);
}

class TTextParser {
public:
    explicit TTextParser(std::string_view Text) : FTokens(FormTokens(Text, Syntax())) {}

    std::string Convert() {
        FOut = FormImageSignature;
        if (!IsObjectStart())
            TextFault(Peek().Line, "object がありません"_sj);
        ReadObject(0);
        if (Peek().Kind != TFormTokenKind::End)
            TextFault(Peek().Line, "end の後に余分なテキストがあります"_sj);
        return FOut;
    }

    const std::string& RootClass() const { return FRootClass; }

private:
    const TFormToken& Peek(std::size_t Ahead = 0) const {
        return FTokens[std::min(FPos + Ahead, FTokens.size() - 1)];
    }
    const TFormToken& Next() {
        const TFormToken& Token = Peek();
        if (Token.Kind != TFormTokenKind::End)
            ++FPos;
        return Token;
    }

    bool PeekName(const char* Word, std::size_t Ahead = 0) const {
        return Peek(Ahead).Kind == TFormTokenKind::Name && SameText(Peek(Ahead).Text, Word);
    }
    bool PeekSymbol(char Symbol, std::size_t Ahead = 0) const {
        return Peek(Ahead).Kind == TFormTokenKind::Symbol && Peek(Ahead).Text[0] == Symbol;
    }

    void ExpectSymbol(char Symbol) {
        if (!PeekSymbol(Symbol))
            TextFault(Peek().Line, AnsiString(1, Symbol) + " がありません"_sj);
        Next();
    }

    const std::string& ExpectName() {
        if (Peek().Kind != TFormTokenKind::Name)
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
        if (Peek().Kind != TFormTokenKind::Integer)
            TextFault(Line, "整数がありません"_sj);
        const TFormToken& Token = Next();
        const std::uint64_t Magnitude = Token.Magnitude;
        constexpr auto Int64Max =
            static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
        if (Token.Overflow || (Token.Negative && Magnitude > Int64Max + 1))
            TextFault(Line, "数値が大きすぎます"_sj);
        // $FFFFFFFF is the 32-bit pattern of -1.
        if (Token.Hex && !Token.Negative && Token.Text.size() <= 9 && Magnitude > 0x7FFFFFFF)
            return IntegerBytes(static_cast<std::int32_t>(static_cast<std::uint32_t>(Magnitude)));
        if (!Token.Negative && Magnitude > Int64Max) {
            std::string Out(1, static_cast<char>(vaQWord));
            PutLE(Out, Magnitude, 8);
            return Out;
        }
        return IntegerBytes(Token.Negative ? static_cast<std::int64_t>(0 - Magnitude)
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

    template <class T> T ParseFloat(const TFormToken& Token) {
        T Value{};
        const char* End = Token.Text.data() + Token.Text.size();
        const auto Result = std::from_chars(Token.Text.data(), End, Value);
        const bool Read = Result.ec == std::errc() && Result.ptr == End;
        // Some libraries refuse subnormal values here, and mingw-w64's reads a long double only
        // to a double's precision; the stream reads both (but no INF or NAN).
        if (Read && (!std::is_same_v<T, long double> || !std::isfinite(Value)))
            return Value;
        std::istringstream Stream(Token.Text);
        Stream.imbue(std::locale::classic());
        if ((Read || Result.ec == std::errc::result_out_of_range) && (Stream >> Value) &&
            Stream.eof())
            return Value;
        TextFault(Token.Line, "数値が正しくありません"_sj);
    }

    // Exact for the decimal text the conversion writes; other forms go through a float.
    std::int64_t CurrencyValue(const TFormToken& Token) {
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
        TFormToken Token = Next();
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

    // A string whose #n are all bytes is an 8-bit string, and each #n the byte it names: bytes
    // that are no Shift-JIS character come back as they were. One larger #n makes the string
    // wide, and each #n a code point.
    void ReadString() {
        const TFormToken& Token = Next();
        bool Narrow = true;
        for (const TFormStringPiece& Piece : Token.Pieces)
            Narrow = Narrow && (!Piece.IsCode || Piece.Code <= 0xFF);
        if (Narrow) {
            std::string Bytes;
            for (const TFormStringPiece& Piece : Token.Pieces)
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
        std::u16string Text;
        for (const TFormStringPiece& Piece : Token.Pieces) {
            if (!Piece.IsCode)
                Text += Platform::AnsiToScreen(Piece.Bytes);
            else
                Text += CharText(Piece.Code);
        }
        FOut += static_cast<char>(vaWString);
        PutLE(FOut, static_cast<std::uint64_t>(Text.size()), 4);
        for (const char16_t Unit : Text)
            PutLE(FOut, Unit, 2);
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
        const TFormToken& Token = Peek();
        switch (Token.Kind) {
        case TFormTokenKind::Integer:
            FOut += IntegerImage(Token.Line);
            return;
        case TFormTokenKind::Float:
            return ReadFloat();
        case TFormTokenKind::String:
            return ReadString();
        case TFormTokenKind::Name:
            return Token.NonFinite ? ReadFloat() : ReadNameValue();
        case TFormTokenKind::Binary:
            FOut += static_cast<char>(vaBinary);
            PutLE(FOut, Token.Text.size(), 4);
            FOut += Next().Text;
            return;
        case TFormTokenKind::Symbol:
            if (PeekSymbol('['))
                return ReadSet();
            if (PeekSymbol('('))
                return ReadList(Depth);
            if (PeekSymbol('<'))
                return ReadCollection(Depth);
            break;
        case TFormTokenKind::End:
            break;
        }
        TextFault(Token.Line, "値がありません"_sj);
    }

    std::vector<TFormToken> FTokens;
    std::size_t FPos = 0;
    std::string FOut;
    std::string FRootClass;
};

} // namespace

void CheckFormText(std::string_view Text) {
    constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
    constexpr std::size_t HeaderTokens = 4; // object Name : TClass
    if (Text.starts_with(Utf8Mark))
        Text.remove_prefix(Utf8Mark.size());
    const std::vector<TFormToken> Tokens = FormTokens(Text, FormFileSyntax(), HeaderTokens);
    const auto At = [&](std::size_t I) -> const TFormToken& {
        return Tokens[std::min(I, Tokens.size() - 1)];
    };
    const auto IsName = [&](std::size_t I) { return At(I).Kind == TFormTokenKind::Name; };
    const auto Fail = [&](std::size_t I, const AnsiString& Reason) {
        FormFault(FormFileSyntax().Source, At(I).Line, Reason);
    };
    const std::string& Kind = At(0).Text;
    if (!IsName(0) ||
        !(SameText(Kind, "object") || SameText(Kind, "inherited") || SameText(Kind, "inline")))
        Fail(0, "object がありません"_sj);
    if (!IsName(1))
        Fail(1, "クラス名がありません"_sj);
    if (At(2).Kind == TFormTokenKind::Symbol && At(2).Text == ":" && !IsName(3))
        Fail(3, "クラス名がありません"_sj);
}

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
