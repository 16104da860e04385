// Text conversion goes through the platform, which reports every character that code page 932
// cannot hold; on a refusal the text is converted again character by character so that the
// output stops before the offending character.
#include "SysUtils.h"

#include "PlatformFiles.h"
#include "PlatformText.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>

namespace {

// Maps ASCII letters in [From, To] by Delta, stepping over the second byte of double-byte
// characters, which may lie in the ASCII letter range.
AnsiString MapAsciiLetters(const AnsiString& Text, char From, char To, int Delta) {
    AnsiString Result = Text;
    for (std::size_t I = 0; I < Result.size(); ++I) {
        if (IsLeadByte(Result[I]))
            ++I;
        else if (Result[I] >= From && Result[I] <= To)
            Result[I] = static_cast<char>(Result[I] + Delta);
    }
    return Result;
}

bool IsHighSurrogate(char16_t C) {
    return C >= 0xD800 && C <= 0xDBFF;
}
bool IsLowSurrogate(char16_t C) {
    return C >= 0xDC00 && C <= 0xDFFF;
}

// Slow path after a failed whole-text conversion: converts character by character so that Out
// keeps what comes before the first character the code page cannot hold.
void EncodePrefix(std::u16string_view Text, AnsiString& Out) {
    std::size_t I = 0;
    while (I < Text.size()) {
        std::size_t Length = 1;
        if (IsHighSurrogate(Text[I])) {
            if (I + 1 >= Text.size() || !IsLowSurrogate(Text[I + 1]))
                return;
            Length = 2;
        } else if (IsLowSurrogate(Text[I])) {
            return;
        }
        AnsiString Char;
        if (!Platform::ScreenToAnsi(Text.substr(I, Length), Char))
            return;
        Out += Char;
        I += Length;
    }
}

// Length in bytes of the longest well-formed UTF-8 prefix (no overlong forms, no surrogates,
// nothing above U+10FFFF).
std::size_t ValidUtf8Prefix(std::string_view Text) {
    std::size_t I = 0;
    while (I < Text.size()) {
        const auto B = static_cast<unsigned char>(Text[I]);
        std::size_t Length;
        char32_t Min;
        char32_t Code;
        if (B < 0x80) {
            ++I;
            continue;
        }
        if ((B & 0xE0) == 0xC0) {
            Length = 2, Min = 0x80, Code = B & 0x1F;
        } else if ((B & 0xF0) == 0xE0) {
            Length = 3, Min = 0x800, Code = B & 0x0F;
        } else if ((B & 0xF8) == 0xF0) {
            Length = 4, Min = 0x10000, Code = B & 0x07;
        } else {
            return I;
        }
        if (I + Length > Text.size())
            return I;
        for (std::size_t K = 1; K < Length; ++K) {
            const auto C = static_cast<unsigned char>(Text[I + K]);
            if ((C & 0xC0) != 0x80)
                return I;
            Code = (Code << 6) | (C & 0x3F);
        }
        if (Code < Min || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF))
            return I;
        I += Length;
    }
    return I;
}

} // namespace

bool IsLeadByte(char C) {
    const auto B = static_cast<unsigned char>(C);
    return (B >= 0x81 && B <= 0x9F) || (B >= 0xE0 && B <= 0xFC);
}

bool EndsInsideCharacter(std::string_view Ansi) {
    std::size_t I = 0;
    while (I < Ansi.size())
        I += IsLeadByte(Ansi[I]) ? 2 : 1;
    return I > Ansi.size();
}

AnsiString operator""_sj(const char* Text, std::size_t Length) {
    AnsiString Out;
    if (!Utf8ToAnsi(std::string_view(Text, Length), Out))
        throw EConvertError(Out + " の後にコードページ 932 で表せない文字があります"_sj);
    return Out;
}

bool Utf16ToAnsi(std::u16string_view Utf16, AnsiString& Out) {
    if (Platform::ScreenToAnsi(Utf16, Out))
        return true;
    Out.clear();
    EncodePrefix(Utf16, Out);
    return false;
}

bool Utf8ToAnsi(std::string_view Utf8, AnsiString& Out) {
    const std::size_t Valid = ValidUtf8Prefix(Utf8);
    const bool Converted = Utf16ToAnsi(Platform::Utf8ToScreen(Utf8.substr(0, Valid)), Out);
    return Converted && Valid == Utf8.size();
}

bool IsValidUtf8(std::string_view Text) {
    return ValidUtf8Prefix(Text) == Text.size();
}

bool IsValidAnsi(std::string_view Text) {
    static const auto Trails = [] {
        std::array<bool, 256> T{};
        for (int B = 0x40; B <= 0xFC; ++B)
            T[B] = B != 0x7F;
        return T;
    }();
    constexpr std::uint64_t HighBits = 0x8080808080808080u;
    const auto* P = reinterpret_cast<const unsigned char*>(Text.data());
    const auto* const End = P + Text.size();
    while (P < End) {
        // Runs of ASCII, which make most of a file, are passed over eight bytes at a time.
        std::uint64_t Word;
        while (End - P >= 8 && (std::memcpy(&Word, P, 8), (Word & HighBits) == 0))
            P += 8;
        if (P == End)
            break;
        if (!IsLeadByte(static_cast<char>(*P++)))
            continue;
        if (P == End || !Trails[*P])
            return false;
        ++P;
    }
    return true;
}

std::string AnsiToUtf8(std::string_view Ansi) {
    return Platform::ScreenToUtf8(Platform::AnsiToScreen(Ansi));
}

AnsiString IntToStr(long long Value) {
    return std::to_string(Value);
}

int StrToInt(const AnsiString& Text) {
    const char* First = Text.data();
    const char* Last = First + Text.size();
    while (First != Last && *First == ' ')
        ++First;
    const bool Negative = First != Last && *First == '-';
    if (First != Last && (*First == '-' || *First == '+'))
        ++First;
    int Base = 10;
    if (First != Last && *First == '$')
        Base = 16, ++First;
    long long Value = 0;
    const auto [End, Error] = std::from_chars(First, Last, Value, Base);
    if (Negative)
        Value = -Value;
    if (First == Last || Error != std::errc() || End != Last ||
        (First != Last && (*First == '-' || *First == '+')) || Value < INT_MIN || Value > INT_MAX)
        throw EConvertError("'"_sj + Text + "' は有効な整数値ではありません"_sj);
    return static_cast<int>(Value);
}

AnsiString UpperCase(const AnsiString& Text) {
    return MapAsciiLetters(Text, 'a', 'z', 'A' - 'a');
}

AnsiString LowerCase(const AnsiString& Text) {
    return MapAsciiLetters(Text, 'A', 'Z', 'a' - 'A');
}

bool SameText(std::string_view A, std::string_view B) {
    if (A.size() != B.size())
        return false;
    const auto Upper = [](char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 32) : C; };
    for (std::size_t I = 0; I < A.size(); ++I) {
        if (IsLeadByte(A[I])) {
            if (A[I] != B[I] || (I + 1 < A.size() && A[I + 1] != B[I + 1]))
                return false;
            ++I;
        } else if (Upper(A[I]) != Upper(B[I])) {
            return false;
        }
    }
    return true;
}

AnsiString Trim(const AnsiString& Text) {
    const auto Blank = [](char C) { return static_cast<unsigned char>(C) <= ' '; };
    std::size_t First = 0;
    std::size_t Last = Text.size();
    while (First < Last && Blank(Text[First]))
        ++First;
    while (Last > First && Blank(Text[Last - 1]))
        --Last;
    return Text.substr(First, Last - First);
}

const char PathDelim = Platform::PathDelimiter();

bool FileExists(const AnsiString& FileName) {
    return Platform::IsFile(FileName);
}

bool DirectoryExists(const AnsiString& Name) {
    return Platform::IsFolder(Name);
}

bool DeleteFile(const AnsiString& FileName) {
    if (const int Fault = InjectedFileFault(TFileOp::Delete)) {
        errno = Fault;
        return false;
    }
    if (Platform::IsFolder(FileName)) {
        errno = EISDIR;
        return false;
    }
    return Platform::RemoveFile(FileName);
}

bool RenameFile(const AnsiString& OldName, const AnsiString& NewName) {
    if (const int Fault = InjectedFileFault(TFileOp::Rename)) {
        errno = Fault;
        return false;
    }
    return Platform::RenameReplacing(OldName, NewName);
}

namespace {

bool IsDelimiter(char C) {
    return C == '/' || C == PathDelim || (PathDelim == '\\' && C == ':');
}

// Position just after the last path delimiter. The scan steps over double-byte characters,
// whose second byte may equal a backslash.
std::size_t NameStart(const AnsiString& FileName) {
    std::size_t Start = 0;
    for (std::size_t I = 0; I < FileName.size(); ++I) {
        if (IsLeadByte(FileName[I]))
            ++I;
        else if (IsDelimiter(FileName[I]))
            Start = I + 1;
    }
    return Start;
}

} // namespace

AnsiString ExtractFilePath(const AnsiString& FileName) {
    return FileName.substr(0, NameStart(FileName));
}

AnsiString ExtractFileDir(const AnsiString& FileName) {
    std::size_t End = NameStart(FileName);
    // The delimiter of a root ("/", "C:\\") stays.
    if (End > 1 && !IsDelimiter(FileName[End - 2]) && FileName[End - 2] != ':')
        --End;
    return FileName.substr(0, End);
}

AnsiString ExtractFileName(const AnsiString& FileName) {
    return FileName.substr(NameStart(FileName));
}

AnsiString ExtractFileExt(const AnsiString& FileName) {
    const std::size_t Start = NameStart(FileName);
    const std::size_t Dot = FileName.rfind('.');
    return Dot == AnsiString::npos || Dot < Start ? AnsiString() : FileName.substr(Dot);
}

AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension) {
    return FileName.substr(0, FileName.size() - ExtractFileExt(FileName).size()) + Extension;
}

AnsiString SysErrorMessage(int Code) {
    static const std::pair<int, AnsiString> Reasons[] = {
        {ENOENT, "ファイルが見つかりません"_sj},
        {EACCES, "アクセスが拒否されました"_sj},
        {EPERM, "この操作は許可されていません"_sj},
        {ENOSPC, "ディスクの空き容量が足りません"_sj},
#ifdef EDQUOT
        {EDQUOT, "ディスクの使用量の上限を超えました"_sj},
#endif
        {EROFS, "読み取り専用のドライブです"_sj},
        {EISDIR, "フォルダーです"_sj},
        {ENOTDIR, "パスの途中にフォルダーでないものがあります"_sj},
        {EEXIST, "同じ名前のファイルが既にあります"_sj},
        {EBUSY, "ファイルが使用中です"_sj},
        {EMFILE, "開いているファイルが多すぎます"_sj},
        {ENFILE, "開いているファイルが多すぎます"_sj},
        {ENAMETOOLONG, "ファイル名が長すぎます"_sj},
        {EFBIG, "ファイルが大きすぎます"_sj},
        {EIO, "入出力エラーが発生しました"_sj},
        {EINVAL, "引数が正しくありません"_sj},
        {ENXIO, "デバイスが見つかりません"_sj},
        {ENODEV, "デバイスが見つかりません"_sj},
        {EXDEV, "別のドライブへは移動できません"_sj},
#ifdef ELOOP
        {ELOOP, "シンボリックリンクをたどれません"_sj},
#endif
        {ENOMEM, "メモリが足りません"_sj},
    };
    for (const auto& [Number, Reason] : Reasons)
        if (Number == Code)
            return Reason;
    return "システムエラー (コード "_sj + IntToStr(Code) + ")";
}

namespace {

std::function<int(TFileOp)>& FileFault() {
    static std::function<int(TFileOp)> Fault;
    return Fault;
}

} // namespace

void SetFileFault(std::function<int(TFileOp)> Fault) {
    FileFault() = std::move(Fault);
}

int InjectedFileFault(TFileOp Op) {
    const auto& Fault = FileFault();
    return Fault ? Fault(Op) : 0;
}
