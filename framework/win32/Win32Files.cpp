// Files of the Win32 back end: handles of the wide-character API, errno from the system's error
// codes, a byte-range lock that marks a running writer's temporary file, the end guard of that
// file on console and session ends, and resources compiled into the program.
#include "Win32Api.h"

#include "Win32Files.h"
#include "Win32Text.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <mutex>

using Platform::TFileHandle;
using Platform::TOpenMode;

namespace {

// The converters and the file calls take sizes as DWORD: larger requests go in parts.
constexpr DWORD MaxTransfer = DWORD(1) << 30;
constexpr wchar_t Delimiter = L'\\';

HANDLE Native(TFileHandle File) {
    return reinterpret_cast<HANDLE>(File);
}

TFileHandle FromNative(HANDLE File) {
    return File == INVALID_HANDLE_VALUE ? Platform::NoFile : reinterpret_cast<TFileHandle>(File);
}

void SetErrnoFromLastError() {
    errno = ErrnoOfWin32Error(GetLastError());
}

DWORD AccessOf(TOpenMode Mode) {
    switch (Mode) {
    case TOpenMode::Read:
        return GENERIC_READ;
    case TOpenMode::ReadWrite:
        return GENERIC_READ | GENERIC_WRITE;
    default:
        return GENERIC_WRITE;
    }
}

DWORD DispositionOf(TOpenMode Mode) {
    switch (Mode) {
    case TOpenMode::Create:
        return CREATE_ALWAYS;
    case TOpenMode::CreateNew:
        return CREATE_NEW;
    default:
        return OPEN_EXISTING;
    }
}

// Others may always read, and rename or remove the name (so the end guard can remove a file
// its own writer still holds open); writing is theirs unless DenyWrite.
DWORD ShareOf(bool DenyWrite) {
    return FILE_SHARE_READ | FILE_SHARE_DELETE | (DenyWrite ? 0 : FILE_SHARE_WRITE);
}

// What a name is, a link followed; false when it does not exist.
bool AttributesOf(const std::string& Name, DWORD& Attributes) {
    const std::wstring Wide = WideOf(Name);
    Attributes = GetFileAttributesW(Wide.c_str());
    if (Attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (!(Attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return true;
    const HANDLE File = CreateFileW(Wide.c_str(), 0, ShareOf(false), nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION Info{};
    const bool Known = GetFileInformationByHandle(File, &Info);
    CloseHandle(File);
    Attributes = Info.dwFileAttributes;
    return Known;
}

// The lock a running writer holds lies far beyond any data, so it bars no read or write.
constexpr DWORD HoldOffsetHigh = 0x7FFFFFFF;
constexpr DWORD HoldOffsetLow = 0xFFFFFFF0;

// The guarded name lives in a fixed buffer: the console handler runs on a thread of its own.
std::mutex GuardLock;
wchar_t GuardedName[32768];
bool Guarding = false;

void RemoveGuarded() {
    const std::lock_guard<std::mutex> Hold(GuardLock);
    if (Guarding)
        DeleteFileW(GuardedName);
}

// Returns FALSE so the next handler, in the end the system's, ends the program as it would have.
BOOL WINAPI OnConsoleEnd(DWORD) {
    RemoveGuarded();
    return FALSE;
}

std::wstring UpperCase(std::wstring Text) {
    if (!Text.empty())
        CharUpperBuffW(Text.data(), static_cast<DWORD>(Text.size()));
    return Text;
}

} // namespace

int ErrnoOfWin32Error(DWORD Error) {
    switch (Error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_NETWORK_ACCESS_DENIED:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_PIPE_BUSY:
        return EBUSY;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
        return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_FILE_TOO_LARGE:
        return EFBIG;
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
        return ENODEV;
    default:
        return EIO;
    }
}

// ---- Files

// CREATE_NEW fails on any name that exists, a link included; the handle is not inheritable.
TFileHandle Platform::OpenFileHandle(const std::string& FileName, TOpenMode Mode, bool DenyWrite) {
    const DWORD Flags =
        FILE_ATTRIBUTE_NORMAL | (Mode == TOpenMode::CreateNew ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE File = CreateFileW(WideOf(FileName).c_str(), AccessOf(Mode), ShareOf(DenyWrite),
                                    nullptr, DispositionOf(Mode), Flags, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        SetErrnoFromLastError();
    return FromNative(File);
}

// A pipe whose writer has gone reads as its end.
long long Platform::ReadFromFile(TFileHandle File, void* Buffer, std::size_t Count) {
    DWORD Got = 0;
    if (ReadFile(Native(File), Buffer,
                 static_cast<DWORD>(std::min<std::size_t>(Count, MaxTransfer)), &Got, nullptr))
        return Got;
    const DWORD Error = GetLastError();
    if (Error == ERROR_BROKEN_PIPE || Error == ERROR_HANDLE_EOF)
        return 0;
    errno = ErrnoOfWin32Error(Error);
    return -1;
}

long long Platform::WriteToFile(TFileHandle File, const void* Buffer, std::size_t Count) {
    DWORD Put = 0;
    if (WriteFile(Native(File), Buffer,
                  static_cast<DWORD>(std::min<std::size_t>(Count, MaxTransfer)), &Put, nullptr))
        return Put;
    SetErrnoFromLastError();
    return -1;
}

bool Platform::SyncFile(TFileHandle File) {
    if (FlushFileBuffers(Native(File)))
        return true;
    SetErrnoFromLastError();
    return false;
}

bool Platform::CloseFileHandle(TFileHandle File) {
    if (CloseHandle(Native(File)))
        return true;
    SetErrnoFromLastError();
    return false;
}

// Only a disk file has a size and attributes; a pipe or a device is neither file nor folder.
bool Platform::FileInfo(TFileHandle File, TFileInfo& Info) {
    Info = {};
    const DWORD Type = GetFileType(Native(File));
    if (Type == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR)
        return false;
    if (Type != FILE_TYPE_DISK)
        return true;
    BY_HANDLE_FILE_INFORMATION Attributes{};
    if (!GetFileInformationByHandle(Native(File), &Attributes))
        return false;
    Info.Folder = Attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    Info.Regular = !Info.Folder && !(Attributes.dwFileAttributes & FILE_ATTRIBUTE_DEVICE);
    Info.Size = static_cast<std::int64_t>(std::uint64_t(Attributes.nFileSizeHigh) << 32 |
                                          Attributes.nFileSizeLow);
    return true;
}

// ---- Names

char Platform::PathDelimiter() {
    return static_cast<char>(Delimiter);
}

bool Platform::IsFile(const std::string& Name) {
    DWORD Attributes = 0;
    return AttributesOf(Name, Attributes) &&
           !(Attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

bool Platform::IsFolder(const std::string& Name) {
    DWORD Attributes = 0;
    return AttributesOf(Name, Attributes) && (Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Platform::RemoveFile(const std::string& Name) {
    if (DeleteFileW(WideOf(Name).c_str()))
        return true;
    SetErrnoFromLastError();
    return false;
}

bool Platform::RenameReplacing(const std::string& OldName, const std::string& NewName) {
    if (MoveFileExW(WideOf(OldName).c_str(), WideOf(NewName).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    SetErrnoFromLastError();
    return false;
}

// A name the code page cannot hold is left out: it could not be opened by the name returned.
std::vector<std::string> Platform::FilesEndingWith(const std::string& Folder,
                                                   std::string_view Suffix) {
    std::wstring Pattern = WideOf(Folder);
    if (!Pattern.empty() && Pattern.back() != Delimiter && Pattern.back() != L'/')
        Pattern += Delimiter;
    Pattern += L'*';
    std::vector<std::string> Names;
    WIN32_FIND_DATAW Found{};
    const HANDLE Search = FindFirstFileExW(Pattern.c_str(), FindExInfoBasic, &Found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (Search == INVALID_HANDLE_VALUE)
        return Names;
    do {
        if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        std::string Name;
        const std::wstring_view Wide(Found.cFileName);
        if (ScreenToAnsi(std::u16string(Wide.begin(), Wide.end()), Name) && Name.ends_with(Suffix))
            Names.push_back(std::move(Name));
    } while (FindNextFileW(Search, &Found));
    FindClose(Search);
    return Names;
}

std::string Platform::ProgramFolder() {
    std::wstring Path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD Length =
            GetModuleFileNameW(nullptr, Path.data(), static_cast<DWORD>(Path.size()));
        if (Length < Path.size()) {
            Path.resize(Length);
            break;
        }
        Path.resize(Path.size() * 2);
    }
    return AnsiOf(Path.substr(0, std::min(Path.rfind(Delimiter), Path.size())));
}

// ---- Temporary files

bool HoldAsWriter(HANDLE File) {
    OVERLAPPED At{};
    At.Offset = HoldOffsetLow;
    At.OffsetHigh = HoldOffsetHigh;
    return LockFileEx(File, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &At);
}

// The system drops the lock when the handle closes or the process ends, however it ends.
void Platform::HoldFile(TFileHandle File) {
    HoldAsWriter(Native(File));
}

// A link is never taken for an abandoned file.
bool Platform::IsAbandoned(const std::string& Name) {
    const HANDLE File = CreateFileW(WideOf(Name).c_str(), GENERIC_READ, ShareOf(false), nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION Info{};
    const bool Free =
        GetFileType(File) == FILE_TYPE_DISK && GetFileInformationByHandle(File, &Info) &&
        !(Info.dwFileAttributes &
          (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT)) &&
        HoldAsWriter(File);
    CloseHandle(File);
    return Free;
}

bool Platform::GuardAgainstEnd(const std::string& Name) {
    const std::wstring Wide = WideOf(Name);
    {
        const std::lock_guard<std::mutex> Hold(GuardLock);
        if (Guarding || Wide.size() >= std::size(GuardedName))
            return false;
        Wide.copy(GuardedName, Wide.size());
        GuardedName[Wide.size()] = L'\0';
        Guarding = true;
    }
    SetConsoleCtrlHandler(OnConsoleEnd, TRUE);
    return true;
}

void Platform::ReleaseEndGuard() {
    SetConsoleCtrlHandler(OnConsoleEnd, FALSE);
    const std::lock_guard<std::mutex> Hold(GuardLock);
    Guarding = false;
}

// The writer's own handle stays open: the name goes now, the file when the process ends.
void EndSessionCleanup() {
    RemoveGuarded();
}

// ---- Standard streams and arguments

// The C runtime's text mode would turn each line end into CR LF.
void Platform::BinaryStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

// The arguments main receives are in the ANSI code page; the wide command line holds them all.
std::vector<std::string> Platform::ProgramArguments(int, char**) {
    int Count = 0;
    LPWSTR* Wide = CommandLineToArgvW(GetCommandLineW(), &Count);
    std::vector<std::string> Arguments;
    for (int I = 1; Wide && I < Count; ++I)
        Arguments.push_back(AnsiOf(Wide[I]));
    LocalFree(Wide);
    return Arguments;
}

// ---- Resources

// A resource's type is its kind and its name the file's name, both as the resource compiler
// stores them: in upper case.
bool Platform::ReadResource(std::string_view Kind, const std::string& Name, std::string& Bytes) {
    const HMODULE Program = GetModuleHandleW(nullptr);
    const HRSRC Found =
        FindResourceW(Program, UpperCase(WideOf(Name)).c_str(), UpperCase(WideOf(Kind)).c_str());
    const HGLOBAL Loaded = Found ? LoadResource(Program, Found) : nullptr;
    const void* Data = Loaded ? LockResource(Loaded) : nullptr;
    if (!Data)
        return false;
    Bytes.assign(static_cast<const char*>(Data), SizeofResource(Program, Found));
    return true;
}
