#include "FieldSplitter.h"

#include <array>

namespace {
const std::array<const char*, 4> Separators{",", "\t", " ", ";"};
}

AnsiString SeparatorFor(int ItemIndex) {
    if (ItemIndex < 0 || ItemIndex >= static_cast<int>(Separators.size()))
        return {};
    return Separators[ItemIndex];
}

AnsiString ExtractField(const AnsiString& Line, const AnsiString& Separator, int N) {
    if (Separator.empty() || N < 1)
        return {};
    if (Separator.size() == 1) {
        // The usual case, one byte: a plain walk beats a search call per field.
        const char Sep = Separator[0];
        const std::size_t Size = Line.size();
        std::size_t Start = 0;
        for (int Field = 1; Field < N; ++Field) {
            while (Start < Size && Line[Start] != Sep)
                ++Start;
            if (Start == Size)
                return {};
            ++Start;
        }
        std::size_t End = Start;
        while (End < Size && Line[End] != Sep)
            ++End;
        return Line.substr(Start, End - Start);
    }
    std::size_t Start = 0;
    for (int I = 1; I < N; ++I) {
        const std::size_t P = Line.find(Separator, Start);
        if (P == AnsiString::npos)
            return {};
        Start = P + Separator.size();
    }
    const std::size_t End = Line.find(Separator, Start);
    return Line.substr(Start, End == AnsiString::npos ? AnsiString::npos : End - Start);
}

int CountFields(const AnsiString& Line, const AnsiString& Separator) {
    if (Separator.empty())
        return 0;
    int Count = 0;
    std::size_t Start = 0;
    for (std::size_t P; (P = Line.find(Separator, Start)) != AnsiString::npos;
         Start = P + Separator.size())
        ++Count;
    return Start < Line.size() ? Count + 1 : Count;
}
