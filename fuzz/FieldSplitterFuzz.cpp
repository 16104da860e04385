// The field splitter on any line: the first byte picks the separator (one of the four the
// user can choose, or two bytes of the input), the rest is the line. The fields put back
// together with the separator must give the line again.
#include "FieldSplitter.h"

#include <cstdlib>

namespace {

AnsiString ChooseSeparator(const std::uint8_t*& Data, std::size_t& Size) {
    const int Choice = *Data % 5;
    ++Data;
    --Size;
    if (Choice < 4 || Size < 2)
        return SeparatorFor(Choice % 4);
    AnsiString Separator(reinterpret_cast<const char*>(Data), 2);
    Data += 2;
    Size -= 2;
    return Separator;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0)
        return 0;
    const AnsiString Separator = ChooseSeparator(Data, Size);
    const AnsiString Line(reinterpret_cast<const char*>(Data), Size);
    const int Count = CountFields(Line, Separator);
    AnsiString Joined;
    for (int N = 1; N <= Count; ++N)
        Joined += (N > 1 ? Separator : AnsiString()) + ExtractField(Line, Separator, N);
    if (Joined != Line && Joined + Separator != Line)
        std::abort();
    if (!ExtractField(Line, Separator, Count + 1).empty())
        std::abort();
    return 0;
}
