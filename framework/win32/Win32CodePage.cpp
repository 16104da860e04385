// Text conversion of the Win32 back end: code page 932 and UTF-8 through the system's converters.
// The converter refuses a whole text for one bad byte and gives one "?" per surrogate, so
// invalid bytes and characters the code page lacks are found here, one character each.
#include "Win32Api.h"

#include <algorithm>
#include <bitset>

namespace {

constexpr UINT CodePage932 = 932;
constexpr char16_t Replacement = 0xFFFD;
constexpr char Unmapped = '?';
// The converters take lengths as int: longer texts go in runs of at most this many units.
constexpr std::size_t MaxRun = std::size_t(1) << 28;

bool IsTrailByte(unsigned char B) {
    return (B >= 0x40 && B <= 0x7E) || (B >= 0x80 && B <= 0xFC);
}

bool IsSurrogate(char16_t C) {
    return C >= 0xD800 && C <= 0xDFFF;
}

// Appends the decoding of Bytes, which the caller knows to decode.
void AppendDecoded(UINT CodePage, DWORD Flags, std::string_view Bytes, std::u16string& Out) {
    if (Bytes.empty())
        return;
    const int Length = static_cast<int>(Bytes.size());
    const std::size_t Start = Out.size();
    Out.resize(Start + Bytes.size());
    const int Made = MultiByteToWideChar(CodePage, Flags, Bytes.data(), Length,
                                         reinterpret_cast<wchar_t*>(Out.data() + Start), Length);
    Out.resize(Start + static_cast<std::size_t>(std::max(Made, 0)));
}

bool DecodesAlone(std::string_view Bytes) {
    wchar_t Char[2];
    return MultiByteToWideChar(CodePage932, MB_ERR_INVALID_CHARS, Bytes.data(),
                               static_cast<int>(Bytes.size()), Char, 2) == 1;
}

// Which single bytes and which double-byte codes the system's code page decodes, asked once.
class TValidCodes {
public:
    TValidCodes() {
        for (unsigned Code = 0; Code < 0x100; ++Code) {
            const char Byte = static_cast<char>(Code);
            if (IsLeadByte(Byte))
                AskPairs(Byte);
            else
                FValid[Code] = DecodesAlone(std::string_view(&Byte, 1));
        }
    }
    bool Valid(unsigned Code) const { return FValid[Code]; }

private:
    void AskPairs(char Lead) {
        for (unsigned Trail = 0; Trail < 0x100; ++Trail) {
            if (!IsTrailByte(static_cast<unsigned char>(Trail)))
                continue;
            const char Pair[] = {Lead, static_cast<char>(Trail)};
            FValid[static_cast<unsigned char>(Lead) << 8 | Trail] =
                DecodesAlone(std::string_view(Pair, 2));
        }
    }
    std::bitset<0x10000> FValid;
};

const TValidCodes& ValidCodes() {
    static const TValidCodes Codes;
    return Codes;
}

// The length of the character at Ansi[I], and whether it decodes. A lead byte whose next byte
// cannot follow it stands alone, so the next byte is not lost with it.
std::size_t CharacterAt(std::string_view Ansi, std::size_t I, bool& Valid) {
    const auto First = static_cast<unsigned char>(Ansi[I]);
    if (!IsLeadByte(Ansi[I])) {
        Valid = ValidCodes().Valid(First);
        return 1;
    }
    if (I + 1 == Ansi.size() || !IsTrailByte(static_cast<unsigned char>(Ansi[I + 1]))) {
        Valid = false;
        return 1;
    }
    Valid = ValidCodes().Valid(First << 8 | static_cast<unsigned char>(Ansi[I + 1]));
    return 2;
}

// Appends the bytes of Text, "?" for each character the code page lacks; false when one was.
bool AppendEncoded(std::u16string_view Text, std::string& Out) {
    if (Text.empty())
        return true;
    const auto* Wide = reinterpret_cast<const wchar_t*>(Text.data());
    const int Length = static_cast<int>(Text.size());
    const std::size_t Start = Out.size();
    Out.resize(Start + 2 * Text.size());
    BOOL UsedDefault = FALSE;
    const int Made = WideCharToMultiByte(CodePage932, WC_NO_BEST_FIT_CHARS, Wide, Length,
                                         Out.data() + Start, 2 * Length, &Unmapped, &UsedDefault);
    if (Made > 0 && !UsedDefault) {
        Out.resize(Start + static_cast<std::size_t>(Made));
        return true;
    }
    Out.resize(Start);
    if (Text.size() == 1) {
        Out += Unmapped;
        return false;
    }
    // Halves until the characters the code page lacks stand alone.
    const std::size_t Half = Text.size() / 2;
    const bool Head = AppendEncoded(Text.substr(0, Half), Out);
    return AppendEncoded(Text.substr(Half), Out) && Head;
}

// The end of a run of at most MaxRun bytes of UTF-8 from Start, not inside a sequence.
std::size_t Utf8RunEnd(std::string_view Utf8, std::size_t Start) {
    std::size_t End = Start + std::min(MaxRun, Utf8.size() - Start);
    for (int Back = 0; Back < 3 && End < Utf8.size() && End > Start &&
                       (static_cast<unsigned char>(Utf8[End]) & 0xC0) == 0x80;
         ++Back)
        --End;
    return End;
}

} // namespace

std::u16string Platform::AnsiToScreen(std::string_view Ansi) {
    std::u16string Out;
    Out.reserve(Ansi.size());
    std::size_t RunStart = 0;
    for (std::size_t I = 0; I < Ansi.size();) {
        bool Valid = false;
        const std::size_t Length = CharacterAt(Ansi, I, Valid);
        if (!Valid || I - RunStart >= MaxRun) {
            AppendDecoded(CodePage932, MB_ERR_INVALID_CHARS, Ansi.substr(RunStart, I - RunStart),
                          Out);
            RunStart = I;
        }
        if (!Valid) {
            Out += Replacement;
            RunStart = I + Length;
        }
        I += Length;
    }
    AppendDecoded(CodePage932, MB_ERR_INVALID_CHARS, Ansi.substr(RunStart), Out);
    return Out;
}

// Surrogates are dealt with here: the code page holds no character outside the basic plane.
bool Platform::ScreenToAnsi(std::u16string_view Text, std::string& Out) {
    Out.clear();
    Out.reserve(Text.size());
    bool Exact = true;
    std::size_t RunStart = 0;
    for (std::size_t I = 0; I < Text.size();) {
        if (!IsSurrogate(Text[I]) && I - RunStart < MaxRun) {
            ++I;
            continue;
        }
        Exact = AppendEncoded(Text.substr(RunStart, I - RunStart), Out) && Exact;
        if (IsSurrogate(Text[I])) {
            const bool Pair = Text[I] <= 0xDBFF && I + 1 < Text.size() && Text[I + 1] >= 0xDC00 &&
                              Text[I + 1] <= 0xDFFF;
            Out += Unmapped;
            Exact = false;
            I += Pair ? 2 : 1;
        }
        RunStart = I;
    }
    return AppendEncoded(Text.substr(RunStart), Out) && Exact;
}

std::u16string Platform::Utf8ToScreen(std::string_view Utf8) {
    std::u16string Out;
    Out.reserve(Utf8.size());
    for (std::size_t Start = 0; Start < Utf8.size();) {
        const std::size_t End = Utf8RunEnd(Utf8, Start);
        AppendDecoded(CP_UTF8, 0, Utf8.substr(Start, End - Start), Out);
        Start = End;
    }
    return Out;
}

std::string Platform::ScreenToUtf8(std::u16string_view Text) {
    std::string Out;
    for (std::size_t Start = 0; Start < Text.size();) {
        std::size_t End = Start + std::min(MaxRun, Text.size() - Start);
        if (End < Text.size() && End > Start && Text[End - 1] >= 0xD800 && Text[End - 1] <= 0xDBFF)
            --End;
        const auto* Wide = reinterpret_cast<const wchar_t*>(Text.data() + Start);
        const int Length = static_cast<int>(End - Start);
        const std::size_t At = Out.size();
        Out.resize(At + 3 * static_cast<std::size_t>(Length));
        const int Made = WideCharToMultiByte(CP_UTF8, 0, Wide, Length, Out.data() + At, 3 * Length,
                                             nullptr, nullptr);
        Out.resize(At + static_cast<std::size_t>(std::max(Made, 0)));
        Start = End;
    }
    return Out;
}
