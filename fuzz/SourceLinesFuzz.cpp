// The source-line loader on any bytes: code page 932, or text behind a UTF-8 or UTF-16
// byte-order mark. Bytes it cannot take must raise one of the system's exceptions; a loaded
// line never holds a line break. Most inputs are fed from memory, which is where every
// decision is made; a few go through a file so that reading stays covered at full speed.
#include "SourceLines.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace {

// One scratch file a process, so that fuzzers running side by side do not share it.
std::string ScratchName;
constexpr std::size_t ThroughFileEvery = 64;

void RemoveScratch() {
    std::remove(ScratchName.c_str());
}

void WriteScratch(const std::uint8_t* Data, std::size_t Size) {
    std::FILE* F = std::fopen(ScratchName.c_str(), "wb");
    if (!F || std::fwrite(Data, 1, Size, F) != Size || std::fclose(F) != 0)
        std::abort();
}

void Load(TStringList& Lines, const std::uint8_t* Data, std::size_t Size) {
    if (Size % ThroughFileEvery == 0) {
        WriteScratch(Data, Size);
        LoadSourceLines(&Lines, ScratchName);
    } else {
        LoadSourceText(&Lines, TTextBytes(reinterpret_cast<const char*>(Data), Size), "fuzz");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ScratchName = (std::filesystem::temp_directory_path() /
                   ("quovant-fuzz-" + std::to_string(std::random_device()())))
                      .string();
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TStringList Lines;
    try {
        Load(Lines, Data, Size);
    } catch (const Exception&) {
        return 0;
    }
    for (int I = 0; I < Lines.Count(); ++I)
        if (Lines.View(I).find_first_of("\r\n") != std::string_view::npos)
            std::abort();
    return 0;
}
