#include "SourceLines.h"

#include <string_view>

const std::size_t MaxSourceBytes = std::size_t(256) << 20;

namespace {

enum class TSourceEncoding { Bytes, Utf8, Utf16LE, Utf16BE };

struct TBom {
    std::string_view Mark;
    TSourceEncoding Encoding;
};

const TBom Boms[] = {{"\xEF\xBB\xBF", TSourceEncoding::Utf8},
                     {"\xFF\xFE", TSourceEncoding::Utf16LE},
                     {"\xFE\xFF", TSourceEncoding::Utf16BE}};

AnsiString NotTextMessage(const AnsiString& FileName) {
    return "ファイル \""_sj + FileName +
           "\" はテキストファイルではありません（データの途中に NUL バイトがあります）"_sj;
}

AnsiString OddUtf16Message(const AnsiString& FileName) {
    return "ファイル \""_sj + FileName +
           "\" は UTF-16 のテキストとして読めません（バイト数が奇数で、最後の文字が欠けています）"_sj;
}

AnsiString BadCharMessage(const AnsiString& FileName, int Line) {
    return "ファイル \""_sj + FileName + "\" の "_sj + IntToStr(Line) +
           " 行目に、シフトJISで表せない文字か不正な文字があります"_sj;
}

// Text of code units (bytes or UTF-16 units) with the NUL rule applied: trailing NULs are
// dropped, a NUL followed by anything else makes the file binary.
template <class Char>
std::basic_string_view<Char> StripTrailingNuls(std::basic_string_view<Char> Text,
                                               const AnsiString& FileName) {
    const std::size_t FirstNul = Text.find(Char(0));
    if (FirstNul == Text.npos)
        return Text;
    if (Text.find_first_not_of(Char(0), FirstNul) != Text.npos)
        throw EConvertError(NotTextMessage(FileName));
    return Text.substr(0, FirstNul);
}

// Calls Take for every line: a line ends at CR, LF or CR LF, and a final break adds none.
template <class Char, class F> void SplitLines(std::basic_string_view<Char> Text, F Take) {
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        std::size_t End = Pos;
        while (End < Text.size() && Text[End] != Char('\r') && Text[End] != Char('\n'))
            ++End;
        Take(Text.substr(Pos, End - Pos));
        Pos = End;
        if (Pos < Text.size() && Text[Pos] == Char('\r'))
            ++Pos;
        if (Pos < Text.size() && Text[Pos] == Char('\n'))
            ++Pos;
    }
}

std::u16string ToUnits(std::string_view Bytes, bool BigEndian, const AnsiString& FileName) {
    if (Bytes.size() % 2 != 0)
        throw EConvertError(OddUtf16Message(FileName));
    std::u16string Units(Bytes.size() / 2, u'\0');
    for (std::size_t I = 0; I < Units.size(); ++I) {
        const auto Hi = static_cast<unsigned char>(Bytes[2 * I + (BigEndian ? 0 : 1)]);
        const auto Lo = static_cast<unsigned char>(Bytes[2 * I + (BigEndian ? 1 : 0)]);
        Units[I] = static_cast<char16_t>(Hi << 8 | Lo);
    }
    return Units;
}

template <class Char, class Convert>
std::vector<AnsiString> ConvertedLines(std::basic_string_view<Char> Text,
                                       const AnsiString& FileName, Convert ToAnsi) {
    std::vector<AnsiString> Result;
    SplitLines(StripTrailingNuls(Text, FileName), [&](std::basic_string_view<Char> Line) {
        AnsiString Converted;
        if (!ToAnsi(Line, Converted))
            throw EConvertError(BadCharMessage(FileName, static_cast<int>(Result.size()) + 1));
        Result.push_back(std::move(Converted));
    });
    return Result;
}

std::vector<AnsiString> ReadLines(const std::string& Bytes, const AnsiString& FileName) {
    const std::string_view Text(Bytes);
    for (const TBom& Bom : Boms) {
        if (!Text.starts_with(Bom.Mark))
            continue;
        const std::string_view Body = Text.substr(Bom.Mark.size());
        if (Bom.Encoding == TSourceEncoding::Utf8)
            return ConvertedLines(Body, FileName, Utf8ToAnsi);
        const std::u16string Units =
            ToUnits(Body, Bom.Encoding == TSourceEncoding::Utf16BE, FileName);
        return ConvertedLines(std::u16string_view(Units), FileName, Utf16ToAnsi);
    }
    // Without a mark the file is code page 932 whenever it reads as such; only a file that
    // does not, but is UTF-8, is converted.
    if (!IsValidAnsi(Text) && IsValidUtf8(Text))
        return ConvertedLines(Text, FileName, Utf8ToAnsi);
    return ConvertedLines(Text, FileName, [](std::string_view Line, AnsiString& Out) {
        Out.assign(Line);
        return true;
    });
}

} // namespace

void LoadSourceLines(TStrings* Lines, const AnsiString& FileName) {
    std::vector<AnsiString> Loaded = ReadLines(ReadFileBytes(FileName, MaxSourceBytes), FileName);
    Lines->BeginUpdate();
    Lines->Clear();
    if (auto* List = dynamic_cast<TStringList*>(Lines)) {
        List->Reserve(static_cast<int>(Loaded.size()));
        for (AnsiString& Line : Loaded)
            List->Append(std::move(Line));
    } else {
        for (const AnsiString& Line : Loaded)
            Lines->Add(Line);
    }
    Lines->EndUpdate();
}
