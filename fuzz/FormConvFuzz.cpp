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
    // What the conversion writes reads back. A wide string of Latin-1 characters comes back as
    // an 8-bit string whose bytes may join into other characters, so the text settles after one
    // more pass.
    try {
        const AnsiString Again = ObjectBinaryToText(ObjectTextToBinary(Text));
        if (ObjectBinaryToText(ObjectTextToBinary(Again)) != Again)
            __builtin_trap();
    } catch (const Exception&) {
        __builtin_trap();
    }
    return 0;
}
