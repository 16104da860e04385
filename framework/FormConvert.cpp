#include "FormConvert.h"

#include "FormChars.h"
#include "FormImage.h"
#include "PlatformText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <locale>
#include <sstream>
#include <vector>

namespace {

bool IsControl(char32_t C) {
    return C < 0x20 || C == 0x7F;
}

bool IsHalfWidthKana(unsigned char B) {
    return B >= 0xA1 && B <= 0xDF;
}

// A name of the text form: identifiers joined by dots (Font.Name).
bool IsName(std::string_view Name) {
    bool Start = true;
    for (const char C : Name) {
        if (C == '.' && !Start)
            Start = true;
        else if (Start ? IsNameStart(C) : IsNameChar(C))
            Start = false;
        else
            return false;
    }
    return !Start;
}

// What the platform decodes a byte sequence to that is no character.
constexpr char16_t ReplacementChar = 0xFFFD;

// Double-byte pairs of code page 932 that decode to one character, decoded once.
bool IsDoubleByteChar(unsigned char Lead, unsigned char Trail) {
    static const std::vector<bool> Valid = [] {
        std::vector<bool> Table(0x10000);
        for (unsigned L = 0x81; L <= 0xFC; ++L) {
            if (!IsLeadByte(static_cast<char>(L)))
                continue;
            for (unsigned T = 0x40; T <= 0xFC; ++T) {
                const char Pair[] = {static_cast<char>(L), static_cast<char>(T)};
                const std::u16string Text = Platform::AnsiToScreen(std::string_view(Pair, 2));
                Table[L << 8 | T] = Text.size() == 1 && Text[0] != ReplacementChar;
            }
        }
        return Table;
    }();
    return Valid[static_cast<unsigned>(Lead) << 8 | Trail];
}

// Whether the bytes are one character as 8-bit strings are written: printable ASCII, a
// half-width katakana, or a double-byte character.
bool IsAnsiChar(std::string_view Bytes) {
    const auto B = static_cast<unsigned char>(Bytes[0]);
    if (Bytes.size() == 1)
        return (B < 0x80 && !IsControl(B)) || IsHalfWidthKana(B);
    return Bytes.size() == 2 && IsDoubleByteChar(B, static_cast<unsigned char>(Bytes[1]));
}

// The code page 932 bytes of one character, when the code page holds it exactly.
bool AnsiChar(char32_t Code, std::string& Bytes) {
    const std::u16string Char = CharText(Code);
    return Platform::ScreenToAnsi(Char, Bytes) && IsAnsiChar(Bytes) &&
           Platform::AnsiToScreen(Bytes) == Char;
}

// Builds a quoted string of the text form piece by piece: runs of characters in quotes,
// everything else as #n.
class TQuoted {
public:
    void Chars(std::string_view Bytes) {
        if (!FOpen)
            FOut += '\'';
        FOpen = true;
        for (const char C : Bytes)
            FOut += C == '\'' ? std::string("''") : std::string(1, C);
    }
    void Code(char32_t Value) {
        if (FOpen)
            FOut += '\'';
        FOpen = false;
        FOut += '#' + std::to_string(Value);
    }
    std::string Text() {
        if (FOut.empty())
            return "''";
        if (FOpen)
            FOut += '\'';
        FOpen = false;
        return FOut;
    }

private:
    std::string FOut;
    bool FOpen = false;
};

// 8-bit strings are Shift-JIS bytes; a byte that starts no character becomes its number.
std::string QuoteAnsi(std::string_view Bytes) {
    TQuoted Out;
    for (std::size_t I = 0; I < Bytes.size(); ++I) {
        const auto B = static_cast<unsigned char>(Bytes[I]);
        if (IsControl(B))
            Out.Code(B);
        else if (B < 0x80 || IsHalfWidthKana(B))
            Out.Chars(Bytes.substr(I, 1));
        else if (I + 1 < Bytes.size() && IsLeadByte(static_cast<char>(B)) &&
                 IsDoubleByteChar(B, static_cast<unsigned char>(Bytes[I + 1])))
            Out.Chars(Bytes.substr(I++, 2));
        else
            Out.Code(B);
    }
    return Out.Text();
}

std::string QuoteUnicode(const std::u32string& Text) {
    TQuoted Out;
    std::string Bytes;
    for (const char32_t C : Text) {
        if (IsControl(C))
            Out.Code(C);
        else if (C < 0x80)
            Out.Chars(std::string(1, static_cast<char>(C)));
        else if (AnsiChar(C, Bytes))
            Out.Chars(Bytes);
        else
            Out.Code(C);
    }
    return Out.Text();
}

// Code points of UTF-16 units; a unit of a broken surrogate pair stands for itself.
std::u32string FromUtf16(const std::u16string& Units) {
    std::u32string Out;
    for (std::size_t I = 0; I < Units.size(); ++I) {
        const char32_t U = Units[I];
        if (U >= 0xD800 && U < 0xDC00 && I + 1 < Units.size() && Units[I + 1] >= 0xDC00 &&
            Units[I + 1] < 0xE000)
            Out += 0x10000 + ((U - 0xD800) << 10) + (Units[++I] - 0xDC00);
        else
            Out += U;
    }
    return Out;
}

std::u32string FromUtf8(std::string_view Bytes) {
    return FromUtf16(Platform::Utf8ToScreen(Bytes));
}

template <class T> std::string FloatText(T Value) {
    if (std::isnan(Value))
        return "NAN";
    if (std::isinf(Value))
        return Value < 0 ? "-INF" : "INF";
    char Buffer[64];
    const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
    std::string Text(Buffer, Result.ptr);
    if (Text.find_first_of(".e") == std::string::npos)
        Text += ".0";
    return Text;
}

std::string CurrencyText(std::int64_t Value) {
    const bool Negative = Value < 0;
    const std::uint64_t Abs =
        Negative ? 0 - static_cast<std::uint64_t>(Value) : static_cast<std::uint64_t>(Value);
    std::string Fraction = std::to_string(Abs % CurrencyScale);
    Fraction.insert(0, 4 - Fraction.size(), '0');
    while (Fraction.size() > 1 && Fraction.back() == '0')
        Fraction.pop_back();
    return (Negative ? "-" : "") + std::to_string(Abs / CurrencyScale) + "." + Fraction;
}

// The 10-byte x87 extended format: 64-bit mantissa with explicit integer bit, 15-bit
// exponent, sign.
long double ExtendedValue(std::uint64_t Mantissa, unsigned SignExponent) {
    const unsigned Exponent = SignExponent & ExtendedMaxExponent;
    long double Value;
    if (Exponent == ExtendedMaxExponent)
        Value = (Mantissa << 1) == 0 ? std::numeric_limits<long double>::infinity()
                                     : std::numeric_limits<long double>::quiet_NaN();
    else
        Value = std::ldexp(static_cast<long double>(Mantissa),
                           std::max(1, static_cast<int>(Exponent)) - ExtendedBias -
                               (ExtendedMantissaBits - 1));
    return (SignExponent & 0x8000) ? -Value : Value;
}

// ---------------------------------------------------------------------------------------------
// Binary to text

class TBinaryReader {
public:
    TBinaryReader(std::string_view Data, std::size_t Offset) : FData(Data), FOffset(Offset) {}

    AnsiString Convert() {
        if (FData.substr(0, FormImageSignature.size()) != FormImageSignature)
            Corrupt("TPF0 がありません"_sj);
        FPos = FormImageSignature.size();
        ReadObject(0, 0);
        FOut += '\n';
        return FOut;
    }

private:
    [[noreturn]] void Corrupt(const AnsiString& Reason) const {
        throw EReadError("バイナリ形式のフォームが壊れています: オフセット "_sj +
                         IntToStr(static_cast<long long>(FOffset + FPos)) +
                         " で読み込みを中止しました ("_sj + Reason + ")");
    }

    void Need(std::uint64_t Count) const {
        if (FData.size() - FPos < Count)
            Corrupt("データが途中で終わっています"_sj);
    }

    unsigned char Peek() const {
        Need(1);
        return static_cast<unsigned char>(FData[FPos]);
    }

    unsigned char Byte() {
        const unsigned char B = Peek();
        ++FPos;
        return B;
    }

    std::uint64_t Unsigned(int Bytes) {
        Need(static_cast<std::uint64_t>(Bytes));
        std::uint64_t Value = 0;
        for (int I = 0; I < Bytes; ++I)
            Value |= static_cast<std::uint64_t>(static_cast<unsigned char>(FData[FPos++]))
                     << (8 * I);
        return Value;
    }

    template <class T> T Signed() { return static_cast<T>(Unsigned(sizeof(T))); }

    std::string_view Bytes(std::uint64_t Count) {
        Need(Count);
        const std::string_view Result = FData.substr(FPos, static_cast<std::size_t>(Count));
        FPos += static_cast<std::size_t>(Count);
        return Result;
    }

    std::string_view Name(bool MayBeEmpty) {
        const std::size_t Start = FPos;
        const std::string_view Result = Bytes(Byte());
        if (!(MayBeEmpty && Result.empty()) && !IsName(Result)) {
            FPos = Start;
            Corrupt("名前が正しくありません"_sj);
        }
        return Result;
    }

    void NewLine(int Indent) {
        FOut += '\n';
        FOut.append(static_cast<std::size_t>(Indent), ' ');
    }

    void CheckDepth(int Depth) const {
        if (Depth > MaxDepth)
            Corrupt("入れ子が深すぎます"_sj);
    }

    std::int64_t Integer() {
        switch (Byte()) {
        case vaInt8:
            return Signed<std::int8_t>();
        case vaInt16:
            return Signed<std::int16_t>();
        case vaInt32:
            return Signed<std::int32_t>();
        default:
            --FPos;
            Corrupt("整数がありません"_sj);
        }
    }

    void ReadObject(int Indent, int Depth) {
        CheckDepth(Depth);
        unsigned Flags = 0;
        std::string Position;
        if ((Peek() & FlagsPrefix) == FlagsPrefix) {
            Flags = Byte() & 0x0F;
            if (Flags & ffChildPos)
                Position = " [" + std::to_string(Integer()) + "]";
        }
        const std::string_view ClassName = Name(false);
        const std::string_view ObjectName = Name(true);
        if (Depth > 0)
            NewLine(Indent);
        FOut += (Flags & ffInherited) ? "inherited " : (Flags & ffInline) ? "inline " : "object ";
        if (!ObjectName.empty())
            FOut.append(ObjectName).append(": ");
        FOut.append(ClassName).append(Position);
        while (Peek() != 0)
            ReadProperty(Indent + IndentStep, Depth + 1);
        ++FPos;
        while (Peek() != 0)
            ReadObject(Indent + IndentStep, Depth + 1);
        ++FPos;
        NewLine(Indent);
        FOut += "end";
    }

    void ReadProperty(int Indent, int Depth) {
        NewLine(Indent);
        FOut.append(Name(false)).append(" = ");
        ReadValue(Indent, Depth);
    }

    void ReadValue(int Indent, int Depth) {
        CheckDepth(Depth);
        const unsigned char Type = Byte();
        switch (Type) {
        case vaNull:
            FOut += "Null";
            return;
        case vaNil:
            FOut += "nil";
            return;
        case vaFalse:
            FOut += "False";
            return;
        case vaTrue:
            FOut += "True";
            return;
        case vaInt8:
            FOut += std::to_string(Signed<std::int8_t>());
            return;
        case vaInt16:
            FOut += std::to_string(Signed<std::int16_t>());
            return;
        case vaInt32:
            FOut += std::to_string(Signed<std::int32_t>());
            return;
        case vaInt64:
            FOut += std::to_string(Signed<std::int64_t>());
            return;
        case vaQWord:
            FOut += std::to_string(Unsigned(8));
            return;
        case vaExtended: {
            const std::uint64_t Mantissa = Unsigned(8);
            FOut += FloatText(ExtendedValue(Mantissa, static_cast<unsigned>(Unsigned(2))));
            return;
        }
        case vaSingle:
            FOut += FloatText(std::bit_cast<float>(Signed<std::uint32_t>())) + "s";
            return;
        case vaCurrency:
            FOut += CurrencyText(Signed<std::int64_t>()) + "c";
            return;
        case vaDate:
            FOut += FloatText(std::bit_cast<double>(Unsigned(8))) + "d";
            return;
        case vaString:
            FOut += QuoteAnsi(Bytes(Byte()));
            return;
        case vaLString:
            FOut += QuoteAnsi(Bytes(Unsigned(4)));
            return;
        case vaWString:
        case vaUString:
            return ReadWideString();
        case vaUTF8String:
            FOut += QuoteUnicode(FromUtf8(Bytes(Unsigned(4))));
            return;
        case vaIdent:
            FOut.append(Name(false));
            return;
        case vaSet:
            return ReadSet();
        case vaList:
            return ReadList(Indent, Depth);
        case vaCollection:
            return ReadCollection(Indent, Depth);
        case vaBinary:
            return ReadBinary(Indent);
        default:
            --FPos;
            Corrupt("値の種類 "_sj + std::to_string(Type) + " は不明です"_sj);
        }
    }

    void ReadWideString() {
        const std::uint64_t Count = Unsigned(4);
        const std::string_view Raw = Bytes(Count * 2);
        std::u16string Units(static_cast<std::size_t>(Count), u'\0');
        for (std::size_t I = 0; I < Units.size(); ++I)
            Units[I] = static_cast<char16_t>(static_cast<unsigned char>(Raw[2 * I]) |
                                             static_cast<unsigned char>(Raw[2 * I + 1]) << 8);
        FOut += QuoteUnicode(FromUtf16(Units));
    }

    void ReadSet() {
        FOut += '[';
        for (bool First = true;; First = false) {
            const std::string_view Element = Name(true);
            if (Element.empty())
                break;
            if (!First)
                FOut += ", ";
            FOut.append(Element);
        }
        FOut += ']';
    }

    void ReadList(int Indent, int Depth) {
        FOut += '(';
        while (Peek() != vaNull) {
            NewLine(Indent + IndentStep);
            ReadValue(Indent + IndentStep, Depth + 1);
        }
        ++FPos;
        FOut += ')';
    }

    void ReadCollection(int Indent, int Depth) {
        FOut += '<';
        while (Peek() != vaNull) {
            NewLine(Indent + IndentStep);
            FOut += "item";
            if (Peek() == vaInt8 || Peek() == vaInt16 || Peek() == vaInt32)
                FOut += " [" + std::to_string(Integer()) + "]";
            if (Byte() != vaList) {
                --FPos;
                Corrupt("コレクションの項目が正しくありません"_sj);
            }
            while (Peek() != 0)
                ReadProperty(Indent + 2 * IndentStep, Depth + 1);
            ++FPos;
            NewLine(Indent + IndentStep);
            FOut += "end";
        }
        ++FPos;
        FOut += '>';
    }

    void ReadBinary(int Indent) {
        static constexpr char Digits[] = "0123456789ABCDEF";
        const std::string_view Data = Bytes(Unsigned(4));
        FOut += '{';
        for (std::size_t I = 0; I < Data.size(); ++I) {
            if (I % HexBytesPerLine == 0)
                NewLine(Indent + IndentStep);
            const auto B = static_cast<unsigned char>(Data[I]);
            FOut += Digits[B >> 4];
            FOut += Digits[B & 15];
        }
        FOut += '}';
    }

    std::string_view FData;
    std::size_t FOffset;
    std::size_t FPos = 0;
    std::string FOut;
};

} // namespace

bool IsFormImage(std::string_view Data) {
    return Data.starts_with(FormImageSignature) || Data.starts_with(ResourceMark);
}

// One code point as UTF-16; a surrogate stands for itself. (Decoding UTF-32 would take a
// byte-order mark for one and drop it.)
std::u16string CharText(char32_t Code) {
    if (Code < 0x10000)
        return std::u16string(1, static_cast<char16_t>(Code));
    const char32_t Offset = Code - 0x10000;
    return {static_cast<char16_t>(0xD800 + (Offset >> 10)),
            static_cast<char16_t>(0xDC00 + (Offset & 0x3FF))};
}

AnsiString ObjectBinaryToText(std::string_view Image) {
    if (Image.starts_with(FormImageSignature))
        return TBinaryReader(Image, 0).Convert();
    if (!Image.starts_with(ResourceMark))
        throw EInvalidImage("バイナリ形式のフォームではありません"_sj);
    const std::size_t NameEnd = Image.find('\0', ResourceMark.size());
    const std::size_t Payload = NameEnd + 1 + ResourceFlags.size() + 4;
    if (NameEnd == std::string_view::npos || Image.size() < Payload)
        throw EReadError(
            "バイナリ形式のフォームが壊れています: リソースヘッダーが途中で終わっています"_sj);
    std::uint32_t Size = 0;
    for (int I = 0; I < 4; ++I)
        Size |= static_cast<std::uint32_t>(static_cast<unsigned char>(Image[Payload - 4 + I]))
                << (8 * I);
    if (Image.size() - Payload < Size)
        throw EReadError("バイナリ形式のフォームが壊れています: リソースの大きさ "_sj +
                         std::to_string(Size) + " バイトに対してデータが足りません"_sj);
    return TBinaryReader(Image.substr(Payload, Size), Payload).Convert();
}
