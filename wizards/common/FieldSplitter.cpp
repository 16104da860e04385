#include "FieldSplitter.h"

#include <array>

namespace {

const std::array<const char*, 4> Separators{",", "\t", " ", ";"};
constexpr std::size_t NoField = std::string_view::npos;

// Fields are a few bytes long: a plain scan for a one-byte separator beats calling the C
// library's search for each of them, which on some runtimes goes byte by byte anyway.
std::size_t FindSeparator(std::string_view Line, std::string_view Separator, std::size_t From) {
    if (Separator.size() != 1)
        return Line.find(Separator, From);
    for (std::size_t I = From; I < Line.size(); ++I)
        if (Line[I] == Separator[0])
            return I;
    return NoField;
}

// The field that starts at Start (none: NoField), and Start moved to where the next one does.
std::string_view TakeField(std::string_view Line, std::string_view Separator, std::size_t& Start) {
    if (Start == NoField)
        return {};
    const std::size_t End = FindSeparator(Line, Separator, Start);
    const std::string_view Field = Line.substr(Start, End == NoField ? NoField : End - Start);
    Start = End == NoField ? NoField : End + Separator.size();
    return Field;
}

std::size_t FieldStart(std::string_view Line, std::string_view Separator, int N) {
    std::size_t Start = 0;
    for (int Field = 1; Field < N && Start != NoField; ++Field)
        TakeField(Line, Separator, Start);
    return Start;
}

} // namespace

AnsiString SeparatorFor(int ItemIndex) {
    if (ItemIndex < 0 || ItemIndex >= static_cast<int>(Separators.size()))
        return {};
    return Separators[ItemIndex];
}

AnsiString ExtractField(std::string_view Line, std::string_view Separator, int N) {
    if (Separator.empty() || N < 1)
        return {};
    std::size_t Start = FieldStart(Line, Separator, N);
    return AnsiString(TakeField(Line, Separator, Start));
}

int CountFields(std::string_view Line, std::string_view Separator) {
    if (Separator.empty())
        return 0;
    int Count = 0;
    std::size_t Start = 0;
    for (std::size_t P; (P = FindSeparator(Line, Separator, Start)) != NoField;
         Start = P + Separator.size())
        ++Count;
    return Start < Line.size() ? Count + 1 : Count;
}

TStringViews TFieldWalker::Fields(const TStringList& Lines, std::string_view Separator, int N) {
    const auto Count = static_cast<std::size_t>(Lines.Count());
    TStringViews Result(Count);
    if (Separator.empty() || N < 1)
        return Result;
    if (N != FNextField || Separator != FSeparator || FStarts.size() != Count) {
        FStarts.resize(Count);
        for (std::size_t I = 0; I < Count; ++I)
            FStarts[I] = FieldStart(Lines.View(static_cast<int>(I)), Separator, N);
        FSeparator = Separator;
    }
    for (std::size_t I = 0; I < Count; ++I)
        Result[I] = TakeField(Lines.View(static_cast<int>(I)), Separator, FStarts[I]);
    FNextField = N + 1;
    return Result;
}

void TFieldWalker::Reset() {
    FStarts = {};
    FNextField = 0;
}
