// UTF-16 text for tests that feed the converters: the code units of well-formed UTF-8.
#pragma once

#include <string>
#include <string_view>

inline std::u16string Utf16Units(std::string_view Utf8) {
    std::u16string Units;
    for (std::size_t I = 0; I < Utf8.size();) {
        const auto Lead = static_cast<unsigned char>(Utf8[I]);
        const int Length = Lead < 0x80 ? 1 : Lead < 0xE0 ? 2 : Lead < 0xF0 ? 3 : 4;
        char32_t Code = Length == 1 ? Lead : Lead & (0x7F >> Length);
        for (int K = 1; K < Length; ++K)
            Code = (Code << 6) | (static_cast<unsigned char>(Utf8[I + K]) & 0x3F);
        I += static_cast<std::size_t>(Length);
        if (Code < 0x10000) {
            Units += static_cast<char16_t>(Code);
        } else {
            Units += static_cast<char16_t>(0xD800 + ((Code - 0x10000) >> 10));
            Units += static_cast<char16_t>(0xDC00 + ((Code - 0x10000) & 0x3FF));
        }
    }
    return Units;
}

// The bytes of UTF-8 text as UTF-16 with a byte-order mark.
inline std::string Utf16Bytes(std::string_view Utf8, bool BigEndian) {
    std::string Bytes = BigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t C : Utf16Units(Utf8)) {
        const char High = static_cast<char>(C >> 8);
        const char Low = static_cast<char>(C & 0xFF);
        Bytes += BigEndian ? std::string{High, Low} : std::string{Low, High};
    }
    return Bytes;
}
