// Characters of the text form of form files, for the layer's readers of it.
#pragma once

// The largest code point a #n character may name.
constexpr char32_t MaxCodePoint = 0x10FFFF;

inline bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

// The value of a hexadecimal digit; -1 for any other character.
inline int HexDigit(char C) {
    if (IsDigit(C))
        return C - '0';
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    return -1;
}

inline bool IsNameChar(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || IsDigit(C) || C == '_';
}

inline bool IsNameStart(char C) {
    return IsNameChar(C) && !IsDigit(C);
}
