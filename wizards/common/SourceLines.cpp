#include "SourceLines.h"

#include "FileStreams.h"
#include "TextEncoding.h"

#include <algorithm>
#include <string_view>

const std::size_t MaxSourceBytes = std::size_t(256) << 20;

namespace {

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

std::u16string ToUnits(std::string_view Bytes, TTextEncoding Encoding, const AnsiString& FileName) {
    if (Bytes.size() % 2 != 0)
        throw EConvertError(OddUtf16Message(FileName));
    return Utf16Units(Bytes, Encoding);
}

// The lines of a file: views into one text, the file's bytes or their conversion.
struct TSourceText {
    TSharedText Text;
    TStringViews Lines;
};

TSourceText ViewLines(TSharedText Text, std::string_view Body, const AnsiString& FileName) {
    TSourceText Result{std::move(Text), {}};
    ForEachLine(StripTrailingNuls(Body, FileName),
                [&](std::string_view Line) { Result.Lines.push_back(Line); });
    return Result;
}

template <class Char, class Convert>
TSourceText ConvertedLines(std::basic_string_view<Char> Text, const AnsiString& FileName,
                           Convert ToAnsi) {
    TTextBytes Converted;
    std::vector<std::size_t> Ends;
    AnsiString Line;
    ForEachLine(StripTrailingNuls(Text, FileName), [&](std::basic_string_view<Char> Units) {
        if (!ToAnsi(Units, Line))
            throw EConvertError(BadCharMessage(FileName, static_cast<int>(Ends.size()) + 1));
        Ends.push_back(Converted.append(Line).size());
    });
    TSourceText Result{std::make_shared<const TTextBytes>(std::move(Converted)), {}};
    const std::string_view All(*Result.Text);
    Result.Lines.reserve(Ends.size());
    for (std::size_t I = 0, Start = 0; I < Ends.size(); Start = Ends[I++])
        Result.Lines.push_back(All.substr(Start, Ends[I] - Start));
    return Result;
}

TSourceText ReadLines(TSharedText Bytes, const AnsiString& FileName) {
    const std::string_view Text(*Bytes);
    std::size_t MarkSize = 0;
    const TTextEncoding Encoding = TextEncoding(Text, MarkSize);
    const std::string_view Body = Text.substr(MarkSize);
    switch (Encoding) {
    case teAnsi:
        return ViewLines(std::move(Bytes), Body, FileName);
    case teUtf8:
        return ConvertedLines(Body, FileName, Utf8ToAnsi);
    case teUtf16LE:
    case teUtf16BE:
        break;
    }
    const std::u16string Units = ToUnits(Body, Encoding, FileName);
    return ConvertedLines(std::u16string_view(Units), FileName, Utf16ToAnsi);
}

} // namespace

void LoadSourceLines(TStrings* Lines, const AnsiString& FileName) {
    LoadSourceText(Lines, ReadFileText(FileName, MaxSourceBytes), FileName);
}

void LoadSourceText(TStrings* Lines, TTextBytes Bytes, const AnsiString& FileName) {
    TSourceText Loaded = ReadLines(std::make_shared<const TTextBytes>(std::move(Bytes)), FileName);
    Lines->BeginUpdate();
    Lines->Clear();
    if (auto* List = dynamic_cast<TStringList*>(Lines)) {
        List->Share(std::move(Loaded.Text), std::move(Loaded.Lines));
    } else {
        for (const std::string_view Line : Loaded.Lines)
            Lines->Add(AnsiString(Line));
    }
    Lines->EndUpdate();
}
