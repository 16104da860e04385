#include "TextEncoding.h"

#include "PlatformText.h"

#include <algorithm>

namespace {

struct TMark {
    std::string_view Bytes;
    TTextEncoding Encoding;
};

constexpr TMark Marks[] = {
    {"\xEF\xBB\xBF", teUtf8}, {"\xFF\xFE", teUtf16LE}, {"\xFE\xFF", teUtf16BE}};

std::size_t Utf8SequenceLength(unsigned char Lead) {
    return Lead >= 0xF0 ? 4 : Lead >= 0xE0 ? 3 : Lead >= 0xC0 ? 2 : 1;
}

std::string_view WithoutCutUtf8(std::string_view Text) {
    for (std::size_t Back = 1; Back <= std::min<std::size_t>(3, Text.size()); ++Back) {
        const auto B = static_cast<unsigned char>(Text[Text.size() - Back]);
        if (B < 0x80)
            break;
        if (B >= 0xC0)
            return Utf8SequenceLength(B) > Back ? Text.substr(0, Text.size() - Back) : Text;
    }
    return Text;
}

std::string_view WithoutCutUtf16(std::string_view Text, TTextEncoding Encoding) {
    Text = Text.substr(0, Text.size() & ~std::size_t(1));
    if (Text.empty())
        return Text;
    const char High = Text[Text.size() - (Encoding == teUtf16BE ? 2 : 1)];
    const bool FirstHalf = (static_cast<unsigned char>(High) & 0xFC) == 0xD8;
    return FirstHalf ? Text.substr(0, Text.size() - 2) : Text;
}

std::u16string ScreenText(std::string_view Text, TTextEncoding Encoding) {
    if (Encoding == teUtf8)
        return Platform::Utf8ToScreen(Text);
    return Utf16Units(Text.substr(0, Text.size() & ~std::size_t(1)), Encoding);
}

} // namespace

TTextEncoding TextEncoding(std::string_view Text, std::size_t& MarkSize, bool Head) {
    for (const TMark& Mark : Marks) {
        if (Text.starts_with(Mark.Bytes)) {
            MarkSize = Mark.Bytes.size();
            return Mark.Encoding;
        }
    }
    MarkSize = 0;
    const std::string_view Utf8 = Head ? WithoutCutCharacter(Text, teUtf8) : Text;
    return !IsValidAnsi(Text) && IsValidUtf8(Utf8) ? teUtf8 : teAnsi;
}

std::string_view WithoutCutCharacter(std::string_view Text, TTextEncoding Encoding) {
    switch (Encoding) {
    case teAnsi:
        return EndsInsideCharacter(Text) ? Text.substr(0, Text.size() - 1) : Text;
    case teUtf8:
        return WithoutCutUtf8(Text);
    case teUtf16LE:
    case teUtf16BE:
        return WithoutCutUtf16(Text, Encoding);
    }
    return Text;
}

std::u16string Utf16Units(std::string_view Bytes, TTextEncoding Encoding) {
    const bool BigEndian = Encoding == teUtf16BE;
    std::u16string Units(Bytes.size() / 2, u'\0');
    for (std::size_t I = 0; I < Units.size(); ++I) {
        const auto Hi = static_cast<unsigned char>(Bytes[2 * I + (BigEndian ? 0 : 1)]);
        const auto Lo = static_cast<unsigned char>(Bytes[2 * I + (BigEndian ? 1 : 0)]);
        Units[I] = static_cast<char16_t>(Hi << 8 | Lo);
    }
    return Units;
}

AnsiString ShownAsAnsi(std::string_view Text, TTextEncoding Encoding) {
    if (Encoding == teAnsi)
        return AnsiString(Text);
    AnsiString Shown;
    Platform::ScreenToAnsi(ScreenText(Text, Encoding), Shown);
    return Shown;
}
