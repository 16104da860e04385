// formconv: shows a form file as text, or writes the binary form of a text form file.
#include "FileStreams.h"
#include "FormConvert.h"
#include "PlatformFiles.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 2;
constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

const char* const Usage =
    "usage: formconv [--cp932] FILE\n"
    "       formconv --binary FILE OUT\n"
    "       formconv --help\n"
    "\n"
    "formconv FILE prints the text form of a form file: a binary form file (with or without\n"
    "its resource header) converted, a text form file unchanged; a file that is neither is\n"
    "refused. The converted text is UTF-8, as the form files of the programs are; with --cp932\n"
    "it is code page 932 (Shift-JIS), as the open dialog's preview shows it. Strings of 8-bit\n"
    "bytes that are no Shift-JIS characters show those bytes as #n, and convert back to them.\n"
    "\n"
    "formconv --binary FILE OUT writes the binary form, with its resource header, of the text\n"
    "form file FILE (UTF-8 or code page 932) to OUT. OUT is replaced only when all went well.\n"
    "\n"
    "Exit status: 0 on success, 2 on any failure, with the reason on standard error.\n";

int Fail(const AnsiString& File, const AnsiString& Message) {
    std::cerr << "formconv: " << AnsiToUtf8(File) << ": " << AnsiToUtf8(Message) << '\n';
    return ExitFailed;
}

int PrintText(const AnsiString& File, bool CodePage) {
    const std::string Bytes = ReadFileBytes(File);
    std::string Text;
    try {
        const AnsiString Converted = ObjectBinaryToText(Bytes);
        Text = CodePage ? Converted : AnsiToUtf8(Converted);
    } catch (const EInvalidImage&) {
        CheckFormText(Bytes);
        Text = Bytes;
    }
    std::cout.write(Text.data(), static_cast<std::streamsize>(Text.size()));
    std::cout.flush();
    return std::cout ? ExitOk : Fail(File, "標準出力に書き込めません"_sj);
}

// Text form files of the programs are UTF-8; older ones are code page 932.
AnsiString FormTextOf(std::string_view Bytes) {
    if (Bytes.substr(0, Utf8Mark.size()) == Utf8Mark)
        Bytes.remove_prefix(Utf8Mark.size());
    if (!IsValidUtf8(Bytes))
        return AnsiString(Bytes);
    AnsiString Text;
    if (!Utf8ToAnsi(Bytes, Text))
        throw EConvertError("コードページ 932 で表せない文字があります"_sj);
    return Text;
}

// Written as the hand-off file is: whole or not at all, OUT untouched on any failure or kill.
int WriteBinary(const AnsiString& File, const AnsiString& Out) {
    const std::string Image = ObjectTextToResource(FormTextOf(ReadFileBytes(File)));
    TSafeFileStream Stream(Out);
    Stream.Write(Image);
    Stream.Commit();
    return ExitOk;
}

int Run(const std::vector<std::string>& Args) {
    const std::size_t Count = Args.size();
    const std::string_view First = Count > 0 ? std::string_view(Args[0]) : "";
    if (Count == 1 && First == "--help") {
        std::cout << Usage;
        return ExitOk;
    }
    AnsiString File;
    try {
        if (Count == 3 && First == "--binary") {
            File = Args[1];
            return WriteBinary(File, Args[2]);
        }
        if (Count == 2 && First == "--cp932") {
            File = Args[1];
            return PrintText(File, true);
        }
        if (Count == 1 && !First.starts_with("--")) {
            File = Args[0];
            return PrintText(File, false);
        }
    } catch (const Exception& E) {
        return Fail(File, E.Message());
    }
    std::cerr << Usage;
    return ExitFailed;
}

} // namespace

// Names on the command line become the layer's code page 932 names.
int main(int Argc, char** Argv) {
    Platform::BinaryStandardStreams();
    return Run(Platform::ProgramArguments(Argc, Argv));
}
