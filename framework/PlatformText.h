// The platform's text conversion: code page 932 bytes to and from the screen's UTF-16 text,
// and UTF-8 to and from UTF-16. Every conversion of the layer goes through these.
#pragma once

#include <string>
#include <string_view>

namespace Platform {

// Code page 932 bytes as UTF-16. Every byte sequence that does not decode, a double-byte
// character cut short at the end included, becomes U+FFFD; nothing is dropped.
std::u16string AnsiToScreen(std::string_view Ansi);

// Out becomes Text in code page 932. A character the code page cannot hold exactly (an unpaired
// surrogate included) becomes "?" in Out, and the result is then false.
bool ScreenToAnsi(std::u16string_view Text, std::string& Out);

// UTF-8 bytes as UTF-16; each invalid sequence becomes U+FFFD.
std::u16string Utf8ToScreen(std::string_view Utf8);

// UTF-16 as UTF-8; an unpaired surrogate does not survive.
std::string ScreenToUtf8(std::u16string_view Text);

} // namespace Platform
