// The tokens of the text form of form files, for the layer's two readers of it: the form
// reader and the conversion to the binary form.
#pragma once

#include "SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TFormTokenKind { Name, Integer, Float, String, Symbol, Binary, End };

// A piece of a string: the quoted bytes as the text has them, or one #n character.
struct TFormStringPiece {
    std::string Bytes;
    char32_t Code = 0;
    bool IsCode = false;
};

struct TFormToken {
    TFormTokenKind Kind = TFormTokenKind::End;
    std::string Text; // name, symbol, number text without suffix, binary bytes
    // Of an integer: its sign, whether it is written in hex, and the value of its digits;
    // Overflow when they do not fit in 64 bits.
    bool Negative = false;
    bool Hex = false;
    std::uint64_t Magnitude = 0;
    bool Overflow = false;
    char Suffix = 0; // of a float: 's', 'c', 'd' or none
    // A name that reads as INF or NAN (with a suffix): a float where a value stands, a name
    // where a name does (an object may well be called INF).
    bool NonFinite = false;
    // Adjacent pieces ('...', #nnn, joined directly or with + across lines) form one string.
    std::vector<TFormStringPiece> Pieces;
    int Line = 1;
};

// What sets the two readers' texts apart.
struct TFormSyntax {
    AnsiString Source; // names the text in messages
    // Numbers may be floats (fraction, exponent, type suffix, INF, NAN); integers then run to
    // 64 bits and their reader judges their size. Otherwise integers are 32-bit, and a larger
    // one is refused where it stands.
    bool Floats = false;
};

// The syntax of form files, as the form reader reads them.
const TFormSyntax& FormFileSyntax();

// The EReadError of a fault in line Line of the text Source names.
[[noreturn]] void FormFault(const AnsiString& Source, int Line, const AnsiString& Reason);

// The tokens of Text, at most MaxTokens of them, followed by one of kind End; EReadError at the
// first fault.
std::vector<TFormToken> FormTokens(std::string_view Text, const TFormSyntax& Syntax,
                                   std::size_t MaxTokens = SIZE_MAX);
