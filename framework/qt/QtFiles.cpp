// Files of the Linux back end: POSIX descriptors, names through Qt's file name encoding, the
// end guard of temporary files on the terminating signals, and resources compiled in with Qt.
#include "PlatformFiles.h"

#include "QtText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

using Platform::TFileHandle;
using Platform::TOpenMode;

namespace {

QString QtName(const std::string& FileName) {
    return QtText::Decode(FileName);
}

// The back end's handles are file descriptors.
int Descriptor(TFileHandle File) {
    return static_cast<int>(File);
}

#ifdef _WIN32
using TStat = struct _stat64;

int Flags(TOpenMode Mode) {
    switch (Mode) {
    case TOpenMode::Read:
        return _O_RDONLY;
    case TOpenMode::Write:
        return _O_WRONLY;
    case TOpenMode::ReadWrite:
        return _O_RDWR;
    case TOpenMode::Create:
        return _O_WRONLY | _O_CREAT | _O_TRUNC;
    case TOpenMode::CreateNew:
        return _O_WRONLY | _O_CREAT | _O_EXCL;
    }
    return _O_RDONLY;
}

int NativeStat(int Handle, TStat& Info) {
    return _fstat64(Handle, &Info);
}
bool IsRegularStat(const TStat& Info) {
    return (Info.st_mode & _S_IFMT) == _S_IFREG;
}
bool IsFolderStat(const TStat& Info) {
    return (Info.st_mode & _S_IFMT) == _S_IFDIR;
}

extern "C" __declspec(dllimport) int __stdcall MoveFileExW(const wchar_t* Existing,
                                                           const wchar_t* New, unsigned long Flags);
extern "C" __declspec(dllimport) unsigned long __stdcall GetLastError();
constexpr unsigned long MoveReplaceExisting = 0x1;
constexpr unsigned long MoveWriteThrough = 0x8;

int ErrnoOfWindowsError(unsigned long Error) {
    switch (Error) {
    case 2: // ERROR_FILE_NOT_FOUND
    case 3: // ERROR_PATH_NOT_FOUND
        return ENOENT;
    case 5: // ERROR_ACCESS_DENIED
        return EACCES;
    case 32: // ERROR_SHARING_VIOLATION
        return EBUSY;
    case 39:  // ERROR_HANDLE_DISK_FULL
    case 112: // ERROR_DISK_FULL
        return ENOSPC;
    case 17: // ERROR_NOT_SAME_DEVICE
        return EXDEV;
    default:
        return EIO;
    }
}
#else
using TStat = struct stat;

// O_EXCL with O_CREAT never follows a symbolic link planted at the name.
int Flags(TOpenMode Mode) {
    switch (Mode) {
    case TOpenMode::Read:
        return O_RDONLY;
    case TOpenMode::Write:
        return O_WRONLY;
    case TOpenMode::ReadWrite:
        return O_RDWR;
    case TOpenMode::Create:
        return O_WRONLY | O_CREAT | O_TRUNC;
    case TOpenMode::CreateNew:
        return O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
    }
    return O_RDONLY;
}

int NativeStat(int Handle, TStat& Info) {
    return ::fstat(Handle, &Info);
}
bool IsRegularStat(const TStat& Info) {
    return S_ISREG(Info.st_mode);
}
bool IsFolderStat(const TStat& Info) {
    return S_ISDIR(Info.st_mode);
}
#endif

} // namespace

// ---- Files

#ifdef _WIN32
TFileHandle Platform::OpenFileHandle(const std::string& FileName, TOpenMode Mode, bool DenyWrite) {
    const std::wstring Name = QtName(FileName).toStdWString();
    int Handle = -1;
    errno = _wsopen_s(&Handle, Name.c_str(), Flags(Mode) | _O_BINARY | _O_NOINHERIT,
                      DenyWrite ? _SH_DENYWR : _SH_DENYNO, _S_IREAD | _S_IWRITE);
    return Handle < 0 ? NoFile : Handle;
}

long long Platform::ReadFromFile(TFileHandle File, void* Buffer, std::size_t Count) {
    return _read(Descriptor(File), Buffer,
                 static_cast<unsigned>(std::min<std::size_t>(Count, 1u << 30)));
}

long long Platform::WriteToFile(TFileHandle File, const void* Buffer, std::size_t Count) {
    return _write(Descriptor(File), Buffer,
                  static_cast<unsigned>(std::min<std::size_t>(Count, 1u << 30)));
}

bool Platform::SyncFile(TFileHandle File) {
    return _commit(Descriptor(File)) == 0;
}

bool Platform::CloseFileHandle(TFileHandle File) {
    return _close(Descriptor(File)) == 0;
}
#else
// Non-blocking while opening, so that a pipe without a partner cannot stall the program.
TFileHandle Platform::OpenFileHandle(const std::string& FileName, TOpenMode Mode, bool) {
    const QByteArray Name = QFile::encodeName(QtName(FileName));
    int Handle;
    do
        Handle = ::open(Name.constData(), Flags(Mode) | O_CLOEXEC | O_NONBLOCK, 0666);
    while (Handle < 0 && errno == EINTR);
    if (Handle < 0)
        return NoFile;
    ::fcntl(Handle, F_SETFL, ::fcntl(Handle, F_GETFL) & ~O_NONBLOCK);
    return Handle;
}

long long Platform::ReadFromFile(TFileHandle File, void* Buffer, std::size_t Count) {
    ssize_t Got;
    do
        Got = ::read(Descriptor(File), Buffer, Count);
    while (Got < 0 && errno == EINTR);
    return Got;
}

long long Platform::WriteToFile(TFileHandle File, const void* Buffer, std::size_t Count) {
    ssize_t Put;
    do
        Put = ::write(Descriptor(File), Buffer, Count);
    while (Put < 0 && errno == EINTR);
    return Put;
}

bool Platform::SyncFile(TFileHandle File) {
    return ::fsync(Descriptor(File)) == 0;
}

bool Platform::CloseFileHandle(TFileHandle File) {
    return ::close(Descriptor(File)) == 0;
}
#endif

bool Platform::FileInfo(TFileHandle File, TFileInfo& Info) {
    TStat Stat{};
    if (NativeStat(Descriptor(File), Stat) != 0)
        return false;
    Info.Regular = IsRegularStat(Stat);
    Info.Folder = IsFolderStat(Stat);
    Info.Size = static_cast<std::int64_t>(Stat.st_size);
    return true;
}

// ---- Names

char Platform::PathDelimiter() {
    return static_cast<char>(QDir::separator().toLatin1());
}

bool Platform::IsFile(const std::string& Name) {
    return QFileInfo(QtName(Name)).isFile();
}

bool Platform::IsFolder(const std::string& Name) {
    return QFileInfo(QtName(Name)).isDir();
}

#ifdef _WIN32
bool Platform::RemoveFile(const std::string& Name) {
    return _wremove(QtName(Name).toStdWString().c_str()) == 0;
}

// std::rename refuses an existing target here; MoveFileEx replaces it in one step.
bool Platform::RenameReplacing(const std::string& OldName, const std::string& NewName) {
    if (MoveFileExW(QtName(OldName).toStdWString().c_str(), QtName(NewName).toStdWString().c_str(),
                    MoveReplaceExisting | MoveWriteThrough))
        return true;
    errno = ErrnoOfWindowsError(GetLastError());
    return false;
}
#else
bool Platform::RemoveFile(const std::string& Name) {
    return ::unlink(QFile::encodeName(QtName(Name)).constData()) == 0;
}

// The folder is synced after the rename so that the new name survives a power loss.
bool Platform::RenameReplacing(const std::string& OldName, const std::string& NewName) {
    const QString New = QtName(NewName);
    if (std::rename(QFile::encodeName(QtName(OldName)).constData(),
                    QFile::encodeName(New).constData()) != 0)
        return false;
    const QByteArray Folder = QFile::encodeName(QFileInfo(New).absolutePath());
    if (const int Handle = ::open(Folder.constData(), O_RDONLY | O_CLOEXEC); Handle >= 0) {
        ::fsync(Handle);
        ::close(Handle);
    }
    return true;
}
#endif

std::vector<std::string> Platform::FilesEndingWith(const std::string& Folder,
                                                   std::string_view Suffix) {
    const QString Pattern = "*" + QtText::Decode(Suffix);
    std::vector<std::string> Names;
    for (const QString& Name :
         QDir(QtName(Folder))
             .entryList({Pattern}, QDir::Files | QDir::Hidden | QDir::CaseSensitive))
        Names.push_back(QtText::Encode(Name));
    return Names;
}

std::string Platform::ProgramFolder() {
    return QtText::Encode(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

// ---- Temporary files

#ifdef _WIN32
// A file open in a running writer cannot be deleted here, so every one left may go.
void Platform::HoldFile(TFileHandle) {}

bool Platform::IsAbandoned(const std::string&) {
    return true;
}

// Console close and end-session messages come with the Win32 back end; until then nothing is
// guarded here.
bool Platform::GuardAgainstEnd(const std::string&) {
    return false;
}

void Platform::ReleaseEndGuard() {}
#else
// A running writer holds a lock on its temporary file; the system drops it when the writer
// ends, however it ends.
void Platform::HoldFile(TFileHandle File) {
    ::flock(Descriptor(File), LOCK_EX | LOCK_NB);
}

bool Platform::IsAbandoned(const std::string& Name) {
    const int Handle = ::open(QFile::encodeName(QtName(Name)).constData(),
                              O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (Handle < 0)
        return false;
    TStat Info{};
    const bool Free = NativeStat(Handle, Info) == 0 && IsRegularStat(Info) &&
                      ::flock(Handle, LOCK_EX | LOCK_NB) == 0;
    ::close(Handle);
    return Free;
}

namespace {

constexpr int EndSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction SavedEndActions[std::size(EndSignals)];
// Prepared before the write begins: the signal handler may only call unlink with it.
char GuardedName[PATH_MAX];
volatile std::sig_atomic_t Guarding = 0;

void RemoveGuardedAndEnd(int Signal) {
    if (Guarding)
        ::unlink(GuardedName);
    for (std::size_t I = 0; I < std::size(EndSignals); ++I)
        if (EndSignals[I] == Signal)
            ::sigaction(Signal, &SavedEndActions[I], nullptr);
    // Delivered again when the handler returns, now with the action the program had before.
    ::raise(Signal);
}

bool IsIgnored(const struct sigaction& Action) {
    return !(Action.sa_flags & SA_SIGINFO) && Action.sa_handler == SIG_IGN;
}

} // namespace

// A signal the program ignores ends nothing and is left alone.
bool Platform::GuardAgainstEnd(const std::string& Name) {
    const QByteArray Native = QFile::encodeName(QtName(Name));
    if (Guarding || static_cast<std::size_t>(Native.size()) >= sizeof GuardedName)
        return false;
    std::memcpy(GuardedName, Native.constData(), static_cast<std::size_t>(Native.size()) + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    Guarding = 1;
    struct sigaction Action {};
    Action.sa_handler = RemoveGuardedAndEnd;
    sigemptyset(&Action.sa_mask);
    for (std::size_t I = 0; I < std::size(EndSignals); ++I) {
        ::sigaction(EndSignals[I], nullptr, &SavedEndActions[I]);
        if (!IsIgnored(SavedEndActions[I]))
            ::sigaction(EndSignals[I], &Action, nullptr);
    }
    return true;
}

void Platform::ReleaseEndGuard() {
    for (std::size_t I = 0; I < std::size(EndSignals); ++I)
        ::sigaction(EndSignals[I], &SavedEndActions[I], nullptr);
    Guarding = 0;
}
#endif

// ---- Standard streams and arguments

// Standard streams on Linux take bytes unchanged.
void Platform::BinaryStandardStreams() {}

// Arguments come in the locale's encoding, UTF-8; one that is no UTF-8 is taken as it is.
std::vector<std::string> Platform::ProgramArguments(int Argc, char** Argv) {
    std::vector<std::string> Arguments;
    for (int I = 1; I < Argc; ++I) {
        AnsiString Name;
        Arguments.push_back(Utf8ToAnsi(Argv[I], Name) ? Name : AnsiString(Argv[I]));
    }
    return Arguments;
}

// ---- Resources

bool Platform::ReadResource(std::string_view Kind, const std::string& Name, std::string& Bytes) {
    QFile Resource(":/" + QtText::Decode(Kind) + "/" + QtName(Name));
    if (!Resource.open(QIODevice::ReadOnly))
        return false;
    const QByteArray Data = Resource.readAll();
    Bytes.assign(Data.constData(), static_cast<std::size_t>(Data.size()));
    return true;
}
