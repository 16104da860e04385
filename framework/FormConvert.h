// Conversion between the binary form format of the component framework and its text form.
//
// The text side is code page 932 text: strings hold their characters as Shift-JIS bytes inside
// quotes, so that a Japanese reader sees Japanese, and everything else as #n: in an 8-bit string
// the byte, in a wide string the Unicode code point. A string whose #n are all below 256 reads
// back as an 8-bit string, as the component framework reads it, so 8-bit strings keep their
// bytes whatever their code page; a wide string whose only characters outside code page 932 lie
// below 256 comes back as an 8-bit string of those Latin-1 bytes. The form reader reads the text
// once it is converted to UTF-8 (AnsiToUtf8); it takes only strings that are code page 932 text
// and refuses the others.
#pragma once

#include "SysUtils.h"

#include <string>
#include <string_view>

// The signature that starts every form image.
inline constexpr std::string_view FormImageSignature = "TPF0";

// Whether the data starts like a form image: with the resource header or the signature.
bool IsFormImage(std::string_view Data);

// Converts a form image, with or without the 16-bit resource header in front, into its text
// form. Data that starts with neither raises EInvalidImage; a truncated or corrupt image raises
// EReadError saying at which byte reading stopped.
AnsiString ObjectBinaryToText(std::string_view Image);

// Raises EReadError, in the form reader's words, unless Text starts as a text form does: after
// blanks and an optional UTF-8 byte-order mark, object, inherited or inline, then the object's
// name, a colon and its class, or the class alone.
void CheckFormText(std::string_view Text);

// Converts text in the text form format into a form image starting with the signature.
// EReadError names the line of the first fault.
std::string ObjectTextToBinary(std::string_view Text);

// The same, wrapped in the resource header that form files on disk carry, under the upper-case
// class name of the root object.
std::string ObjectTextToResource(std::string_view Text);
