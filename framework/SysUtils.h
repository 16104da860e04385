// Byte strings, exceptions and text conversion shared by every layer.
//
// Text inside the programs is bytes in code page 932. Source files are UTF-8, so literals that
// hold Japanese text are written with the _sj suffix, which converts them once when evaluated.
#pragma once

#include "Memory.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

using AnsiString = std::string;
// Bytes of many megabytes (a loaded file), in large pages.
using TTextBytes = std::basic_string<char, std::char_traits<char>, TLargeAllocator<char>>;

// UTF-8 source text to code page 932. Throws EConvertError for text the code page cannot hold.
AnsiString operator""_sj(const char* Text, std::size_t Length);

class Exception : public std::exception {
public:
    explicit Exception(AnsiString Msg) : FMessage(std::move(Msg)) {}
    const AnsiString& Message() const { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    AnsiString FMessage;
};

class ERangeError : public Exception {
    using Exception::Exception;
};
class EConvertError : public Exception {
    using Exception::Exception;
};
class EInOutError : public Exception {
    using Exception::Exception;
};
class EFOpenError : public EInOutError {
    using EInOutError::EInOutError;
};
class EReadError : public EInOutError {
    using EInOutError::EInOutError;
};
class EWriteError : public EInOutError {
    using EInOutError::EInOutError;
};
class EInvalidImage : public Exception {
    using Exception::Exception;
};
class EComponentError : public Exception {
    using Exception::Exception;
};
class EListError : public Exception {
    using Exception::Exception;
};

// Text conversion between code page 932 and Unicode encodings. Each returns false when the
// input holds a sequence the target cannot represent (or an invalid sequence), leaving Out
// with what was converted before it.
bool Utf8ToAnsi(std::string_view Utf8, AnsiString& Out);
bool Utf16ToAnsi(std::u16string_view Utf16, AnsiString& Out);
std::string AnsiToUtf8(std::string_view Ansi);
// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values above
// U+10FFFF).
bool IsValidUtf8(std::string_view Text);
// Whether the bytes form whole code page 932 characters: single bytes, or a lead byte followed
// by a byte that may follow it.
bool IsValidAnsi(std::string_view Text);

// Whether C is the first byte of a double-byte character of code page 932.
bool IsLeadByte(char C);
// Whether the text ends with the first byte of a double-byte character.
bool EndsInsideCharacter(std::string_view Ansi);

AnsiString IntToStr(long long Value);
// Converts decimal text (or $ and hex digits); throws EConvertError naming the text otherwise.
int StrToInt(const AnsiString& Text);
// ASCII letters only, as the platform does; the second byte of a double-byte character is left
// alone even where it equals an ASCII letter (ア is 0x83 0x41).
AnsiString UpperCase(const AnsiString& Text);
AnsiString LowerCase(const AnsiString& Text);
// Equal but for the case of ASCII letters, by the same rule.
bool SameText(std::string_view A, std::string_view B);
// Removes leading and trailing bytes of value 32 or less.
AnsiString Trim(const AnsiString& Text);

// Files. Names are code page 932 paths, converted to the platform's file names by the layer.
extern const char PathDelim;
bool FileExists(const AnsiString& FileName); // a file, not a folder
bool DirectoryExists(const AnsiString& Name);
// False when absent or not removable, with errno telling why (EISDIR for a folder).
bool DeleteFile(const AnsiString& FileName);
bool RenameFile(const AnsiString& OldName, const AnsiString& NewName); // replaces NewName
AnsiString ExtractFilePath(const AnsiString& FileName);                // with the closing delimiter
AnsiString ExtractFileDir(const AnsiString& FileName);                 // without it
AnsiString ExtractFileName(const AnsiString& FileName);
AnsiString ExtractFileExt(const AnsiString& FileName); // from the last dot, dot included
// The name with its extension (from the last dot of the name part) replaced by Extension.
AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension);

// The reason for a platform error number, in Japanese whatever the platform's language.
AnsiString SysErrorMessage(int Code);

// Test hook: every file call of the layer asks Fault first; a non-zero answer is the error
// number with which the call then fails, as if the platform had refused it. An empty function
// lifts the hook.
enum class TFileOp { Open, Read, Write, Sync, Close, Rename, Delete };
void SetFileFault(std::function<int(TFileOp)> Fault);
int InjectedFileFault(TFileOp Op);

// Calls Take for every line of Text: a line ends at CR, LF or CR LF, and a break at the very
// end starts no further line. The next CR and the next LF are each searched for once, so that
// a text of one kind of break is not scanned again for the other at every line.
template <class Char, class F> void ForEachLine(std::basic_string_view<Char> Text, F Take) {
    std::size_t Pos = 0;
    std::size_t NextCr = Text.find(Char('\r'));
    std::size_t NextLf = Text.find(Char('\n'));
    while (Pos < Text.size()) {
        if (NextCr < Pos)
            NextCr = Text.find(Char('\r'), Pos);
        if (NextLf < Pos)
            NextLf = Text.find(Char('\n'), Pos);
        const std::size_t End = std::min({NextCr, NextLf, Text.size()});
        Take(Text.substr(Pos, End - Pos));
        Pos = End;
        if (Pos < Text.size() && Text[Pos] == Char('\r'))
            ++Pos;
        if (Pos < Text.size() && Text[Pos] == Char('\n'))
            ++Pos;
    }
}
