// Fuzz entry: binary form images converted to text, and that text converted back and forth.
#include "FormConvert.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Input(reinterpret_cast<const char*>(Data), Size);
    AnsiString Text;
    try {
        Text = ObjectBinaryToText(Input);
    } catch (const Exception&) {
        return 0;
    }
    // What the conversion writes reads back. A byte that starts no character is written as its
    // number and read back as that code point, so the text settles after one more pass.
    try {
        const AnsiString Again = ObjectBinaryToText(ObjectTextToBinary(Text));
        if (ObjectBinaryToText(ObjectTextToBinary(Again)) != Again)
            __builtin_trap();
    } catch (const Exception&) {
        __builtin_trap();
    }
    return 0;
}
