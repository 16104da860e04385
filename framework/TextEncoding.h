// The encodings of the text files the programs read: code page 932, or UTF-8 and UTF-16 told
// by their byte-order mark, or UTF-8 without one; and their text in code page 932.
#pragma once

#include "SysUtils.h"

#include <string>
#include <string_view>

enum TTextEncoding { teAnsi, teUtf8, teUtf16LE, teUtf16BE };

// The encoding of text that starts with Text, and the length of its byte-order mark (0 without
// one). Unmarked text is code page 932 whenever it reads as such, and UTF-8 only when it does
// not but is valid UTF-8. With Head, Text is only the start of the text and may end inside a
// character.
TTextEncoding TextEncoding(std::string_view Text, std::size_t& MarkSize, bool Head = false);

// Text without a character that its end cuts short, in Encoding: a lead byte of code page 932,
// part of a UTF-8 sequence, an odd byte or the first half of a surrogate pair of UTF-16.
std::string_view WithoutCutCharacter(std::string_view Text, TTextEncoding Encoding);

// The UTF-16 code units of Bytes (an even number of them) in the byte order of Encoding.
std::u16string Utf16Units(std::string_view Bytes, TTextEncoding Encoding);

// Text in Encoding (without its mark) as code page 932 for showing: what the code page lacks
// and invalid sequences become "?"; code page 932 text stays as it is.
AnsiString ShownAsAnsi(std::string_view Text, TTextEncoding Encoding);
