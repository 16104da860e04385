// Fuzz entry: the open dialog's preview of a file's bytes, as a plain file and as a form file.
#include "TextDlgs.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

// The input as the stream of a file that hands out its bytes in pieces.
class TInputStream : public TStream {
public:
    explicit TInputStream(std::string_view Bytes) : FBytes(Bytes) {}
    std::int64_t Size() const override { return static_cast<std::int64_t>(FBytes.size()); }
    std::size_t Read(void* Buffer, std::size_t Count) override {
        const std::size_t Given = std::min({Count, FBytes.size() - FPos, PieceSize});
        std::memcpy(Buffer, FBytes.data() + FPos, Given);
        FPos += Given;
        return Given;
    }

private:
    static constexpr std::size_t PieceSize = 300;
    std::string_view FBytes;
    std::size_t FPos = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Input(reinterpret_cast<const char*>(Data), Size);
    TInputStream Stream(Input);
    const AnsiString Plain = ReadPreview(Stream);
    if (Plain != Input.substr(0, TTextOpenDialog::PreviewLimit))
        __builtin_trap();
    // A converted start is code page 932 throughout; anything else is shown unchanged.
    const AnsiString Shown = PreviewText(Plain);
    if (Shown != Plain && !IsValidAnsi(Shown))
        __builtin_trap();
    AnsiString Form;
    try {
        Form = FormFilePreview(Input);
    } catch (const Exception&) {
    }
    if (Form.size() > TTextOpenDialog::PreviewLimit)
        __builtin_trap();
    // The memo takes the bytes as its lines.
    TStringList Lines;
    Lines.SetText(Shown);
    Lines.SetText(Form);
    return 0;
}
