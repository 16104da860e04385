// The binary form image as both directions of the form conversion see it, for the layer's own
// .cpp files only: value types, header bytes and limits.
#pragma once

#include "FormConvert.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum TValueType : unsigned char {
    vaNull,
    vaList,
    vaInt8,
    vaInt16,
    vaInt32,
    vaExtended,
    vaString,
    vaIdent,
    vaFalse,
    vaTrue,
    vaBinary,
    vaSet,
    vaLString,
    vaNil,
    vaCollection,
    vaSingle,
    vaCurrency,
    vaDate,
    vaWString,
    vaInt64,
    vaUTF8String,
    vaUString,
    vaQWord
};

constexpr std::string_view ResourceMark("\xFF\x0A\x00", 3);
constexpr std::string_view ResourceFlags("\x30\x10", 2);
constexpr unsigned char FlagsPrefix = 0xF0;
enum : unsigned char { ffInherited = 1, ffChildPos = 2, ffInline = 4 };
// Deeper nesting of objects or values than any form has; bounds the recursion on bad input.
constexpr int MaxDepth = 100;
constexpr int IndentStep = 2;
constexpr std::size_t HexBytesPerLine = 32;
constexpr std::int64_t CurrencyScale = 10000;
constexpr std::size_t ShortStringMax = 255;
constexpr int ExtendedBias = 16383;
constexpr int ExtendedMantissaBits = 64;
constexpr unsigned ExtendedMaxExponent = 0x7FFF;

// One code point as UTF-16; a surrogate stands for itself. (Decoding UTF-32 would take a
// byte-order mark for one and drop it.)
std::u16string CharText(char32_t Code);
