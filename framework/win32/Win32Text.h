// Code page 932 bytes to and from the wide strings of the Win32 API, where the back end meets
// it. Included only by the back end's files.
#pragma once

#include "PlatformText.h"
#include "SysUtils.h"

#include <string>
#include <string_view>

// Bytes that do not decode become U+FFFD; nothing is dropped.
inline std::wstring WideOf(std::string_view Ansi) {
    const std::u16string Text = Platform::AnsiToScreen(Ansi);
    return std::wstring(Text.begin(), Text.end());
}

// A character code page 932 lacks becomes "?".
inline AnsiString AnsiOf(std::wstring_view Wide) {
    std::string Out;
    Platform::ScreenToAnsi(std::u16string(Wide.begin(), Wide.end()), Out);
    return AnsiString(Out);
}
