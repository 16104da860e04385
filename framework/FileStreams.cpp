// File streams, the safe file stream and whole-file reading.
#include "FileStreams.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
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

// ---- TFileStream

namespace {

#ifdef _WIN32
using TStat = struct _stat64;
int NativeOpen(const AnsiString& FileName, int Flags, bool DenyWrite) {
    const std::wstring Name = QString::fromStdString(AnsiToUtf8(FileName)).toStdWString();
    int Handle = -1;
    errno = _wsopen_s(&Handle, Name.c_str(), Flags | _O_BINARY | _O_NOINHERIT,
                      DenyWrite ? _SH_DENYWR : _SH_DENYNO, _S_IREAD | _S_IWRITE);
    return Handle;
}
int NativeStat(int Handle, TStat& Info) {
    return _fstat64(Handle, &Info);
}
long long NativeRead(int Handle, void* Buffer, std::size_t Count) {
    return _read(Handle, Buffer, static_cast<unsigned>(std::min<std::size_t>(Count, 1u << 30)));
}
long long NativeWrite(int Handle, const void* Buffer, std::size_t Count) {
    return _write(Handle, Buffer, static_cast<unsigned>(std::min<std::size_t>(Count, 1u << 30)));
}
int NativeSync(int Handle) {
    return _commit(Handle);
}
int NativeClose(int Handle) {
    return _close(Handle);
}
bool IsRegular(const TStat& Info) {
    return (Info.st_mode & _S_IFMT) == _S_IFREG;
}
bool IsFolder(const TStat& Info) {
    return (Info.st_mode & _S_IFMT) == _S_IFDIR;
}
constexpr int NewFileFlags = _O_WRONLY | _O_CREAT | _O_EXCL;
constexpr int CreateFlags = _O_WRONLY | _O_CREAT | _O_TRUNC;
constexpr int ReadFlags = _O_RDONLY;
constexpr int WriteFlags = _O_WRONLY;
constexpr int ReadWriteFlags = _O_RDWR;
#else
using TStat = struct stat;
// Non-blocking while opening, so that a pipe without a partner cannot stall the program.
int NativeOpen(const AnsiString& FileName, int Flags, bool) {
    const QByteArray Name = QFile::encodeName(QString::fromStdString(AnsiToUtf8(FileName)));
    int Handle;
    do
        Handle = ::open(Name.constData(), Flags | O_CLOEXEC | O_NONBLOCK, 0666);
    while (Handle < 0 && errno == EINTR);
    if (Handle >= 0)
        ::fcntl(Handle, F_SETFL, ::fcntl(Handle, F_GETFL) & ~O_NONBLOCK);
    return Handle;
}
int NativeStat(int Handle, TStat& Info) {
    return ::fstat(Handle, &Info);
}
long long NativeRead(int Handle, void* Buffer, std::size_t Count) {
    ssize_t Got;
    do
        Got = ::read(Handle, Buffer, Count);
    while (Got < 0 && errno == EINTR);
    return Got;
}
long long NativeWrite(int Handle, const void* Buffer, std::size_t Count) {
    ssize_t Put;
    do
        Put = ::write(Handle, Buffer, Count);
    while (Put < 0 && errno == EINTR);
    return Put;
}
int NativeSync(int Handle) {
    return ::fsync(Handle);
}
int NativeClose(int Handle) {
    return ::close(Handle);
}
bool IsRegular(const TStat& Info) {
    return S_ISREG(Info.st_mode);
}
bool IsFolder(const TStat& Info) {
    return S_ISDIR(Info.st_mode);
}
// O_EXCL with O_CREAT never follows a symbolic link planted at the name.
constexpr int NewFileFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
constexpr int CreateFlags = O_WRONLY | O_CREAT | O_TRUNC;
constexpr int ReadFlags = O_RDONLY;
constexpr int WriteFlags = O_WRONLY;
constexpr int ReadWriteFlags = O_RDWR;
#endif

// Runs a platform call unless a test has made it fail; either way errno tells why it failed.
template <class F> auto FileCall(TFileOp Op, F Call) -> decltype(Call()) {
    if (const int Fault = InjectedFileFault(Op)) {
        errno = Fault;
        return -1;
    }
    return Call();
}

// Why a file could not be opened (or created), in the words of this program where it can tell.
AnsiString OpenFailure(const AnsiString& FileName, int Error, bool Create) {
    if (Error == EISDIR || (Error != ENOENT && DirectoryExists(FileName)))
        return "フォルダーです"_sj;
    if (Error == ENOENT)
        return Create ? "フォルダーが見つかりません"_sj : "ファイルが見つかりません"_sj;
    return SysErrorMessage(Error);
}

} // namespace

struct TFileStream::TImpl {
    int Handle = -1;
    bool Writing = false;
};

TFileStream::TFileStream(const AnsiString& FileName, unsigned Mode, const AnsiString& ShownName)
    : FImpl(std::make_unique<TImpl>()), FFileName(ShownName.empty() ? FileName : ShownName) {
    const bool CreateNew = (Mode & fmCreateNew) == fmCreateNew;
    const bool Create = CreateNew || (Mode & fmCreate) == fmCreate;
    const unsigned Access = Mode & 3;
    const int Flags = CreateNew               ? NewFileFlags
                      : Create                ? CreateFlags
                      : Access == fmOpenRead  ? ReadFlags
                      : Access == fmOpenWrite ? WriteFlags
                                              : ReadWriteFlags;
    FImpl->Writing = Create || Access != fmOpenRead;
    const int Handle = FileCall(
        TFileOp::Open, [&] { return NativeOpen(FileName, Flags, (Mode & fmShareDenyWrite) != 0); });
    if (Handle < 0) {
        const AnsiString Reason = OpenFailure(FileName, errno, Create);
        if (Create)
            throw EFOpenError("ファイル \""_sj + FFileName + "\" を作成できません: "_sj + Reason);
        throw EFOpenError("ファイル \""_sj + FFileName + "\" を開けません: "_sj + Reason);
    }
    FImpl->Handle = Handle;
    if (!Create)
        CheckRegularFile();
}

// Only a regular file is read: a folder, a pipe or a device is refused before any read,
// since reading one may never end.
void TFileStream::CheckRegularFile() {
    TStat Info{};
    if (NativeStat(FImpl->Handle, Info) == 0 && IsRegular(Info))
        return;
    const AnsiString Reason =
        IsFolder(Info) ? "フォルダーです"_sj : "通常のファイルではありません"_sj;
    NativeClose(FImpl->Handle);
    FImpl->Handle = -1;
    throw EFOpenError("ファイル \""_sj + FFileName + "\" を開けません: "_sj + Reason);
}

TFileStream::TFileStream(int Handle, const AnsiString& ShownName)
    : FImpl(std::make_unique<TImpl>()), FFileName(ShownName) {
    FImpl->Handle = Handle;
    FImpl->Writing = true;
}

TFileStream::~TFileStream() {
    if (FImpl->Handle >= 0)
        NativeClose(FImpl->Handle);
}

std::int64_t TFileStream::Size() const {
    TStat Info{};
    return NativeStat(FImpl->Handle, Info) == 0 ? static_cast<std::int64_t>(Info.st_size) : 0;
}

std::size_t TFileStream::Read(void* Buffer, std::size_t Count) {
    const long long Got =
        FileCall(TFileOp::Read, [&] { return NativeRead(FImpl->Handle, Buffer, Count); });
    if (Got < 0)
        throw EReadError("ファイル \""_sj + FFileName + "\" を読み込めません: "_sj +
                         SysErrorMessage(errno));
    return static_cast<std::size_t>(Got);
}

void TFileStream::Write(const void* Buffer, std::size_t Count) {
    const auto* Bytes = static_cast<const char*>(Buffer);
    while (Count > 0) {
        const long long Put =
            FileCall(TFileOp::Write, [&] { return NativeWrite(FImpl->Handle, Bytes, Count); });
        if (Put <= 0)
            RaiseWriteError(Put < 0 ? errno : ENOSPC);
        Bytes += Put;
        Count -= static_cast<std::size_t>(Put);
    }
}

void TFileStream::FlushBuffers() {
    if (FileCall(TFileOp::Sync, [&] { return NativeSync(FImpl->Handle); }) != 0)
        RaiseWriteError(errno);
}

void TFileStream::Close() {
    const int Handle = FImpl->Handle;
    if (Handle < 0)
        return;
    FImpl->Handle = -1;
    // The handle is released even when the call reports an error, so it is never closed twice.
    if (FileCall(TFileOp::Close, [&] { return NativeClose(Handle); }) != 0 && FImpl->Writing)
        RaiseWriteError(errno);
}

void TFileStream::RaiseWriteError(int Error) const {
    throw EWriteError("ファイル \""_sj + FFileName + "\" に書き込めません: "_sj +
                      SysErrorMessage(Error));
}

// ---- TSafeFileStream

namespace {

constexpr int MaxTempAttempts = 100;
constexpr int TempTagDigits = 8;
const char* const TempExt = ".part";

QString QtName(const AnsiString& FileName) {
    return QString::fromStdString(AnsiToUtf8(FileName));
}

AnsiString TempName(const AnsiString& FileName) {
    char Suffix[24];
    std::snprintf(Suffix, sizeof Suffix, ".%0*x%s", TempTagDigits,
                  QRandomGenerator::global()->generate(), TempExt);
    return FileName + Suffix;
}

// Whether Name is Base followed by a suffix that TempName makes.
bool IsTempNameOf(const QString& Name, const QString& Base) {
    const qsizetype TagStart = Base.size() + 1;
    if (Name.size() != TagStart + TempTagDigits + qsizetype(std::strlen(TempExt)) ||
        !Name.startsWith(Base + '.') || !Name.endsWith(TempExt))
        return false;
    for (const QChar C : Name.mid(TagStart, TempTagDigits))
        if (!((C >= '0' && C <= '9') || (C >= 'a' && C <= 'f')))
            return false;
    return true;
}

#ifdef _WIN32
// A file open in a running writer cannot be deleted here, so every one left may go.
void HoldWhileWriting(int) {}
bool IsAbandoned(const QString&) {
    return true;
}

// Console close and end-session messages come with the Win32 back end; until then nothing is
// guarded here.
bool GuardAgainstEnd(const QString&) {
    return false;
}
void ReleaseEndGuard() {}
#else
// A running writer holds a lock on its temporary file; the system drops it when the writer
// ends, however it ends.
void HoldWhileWriting(int Handle) {
    ::flock(Handle, LOCK_EX | LOCK_NB);
}

bool IsAbandoned(const QString& Name) {
    const int Handle =
        ::open(QFile::encodeName(Name).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (Handle < 0)
        return false;
    TStat Info{};
    const bool Free =
        NativeStat(Handle, Info) == 0 && IsRegular(Info) && ::flock(Handle, LOCK_EX | LOCK_NB) == 0;
    ::close(Handle);
    return Free;
}

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

// One file at a time; a signal the program ignores ends nothing and is left alone.
bool GuardAgainstEnd(const QString& Name) {
    const QByteArray Native = QFile::encodeName(Name);
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

void ReleaseEndGuard() {
    for (std::size_t I = 0; I < std::size(EndSignals); ++I)
        ::sigaction(EndSignals[I], &SavedEndActions[I], nullptr);
    Guarding = 0;
}
#endif

// Temporary files of FileName that no running writer holds: a run killed outright or a power
// loss left them. Only names that TempName makes are touched.
void RemoveAbandonedTemps(const AnsiString& FileName) {
    const QString Base = QtName(ExtractFileName(FileName));
    const QDir Folder(QtName(ExtractFilePath(FileName)));
    for (const QString& Name :
         Folder.entryList({QString("*") + TempExt}, QDir::Files | QDir::Hidden))
        if (IsTempNameOf(Name, Base) && IsAbandoned(Folder.filePath(Name)))
            QFile::remove(Folder.filePath(Name));
}

} // namespace

TSafeFileStream::TSafeFileStream(const AnsiString& FileName) : FFileName(FileName) {
    RemoveAbandonedTemps(FileName);
    for (int Attempt = 1;; ++Attempt) {
        FTempName = TempName(FileName);
        const int Handle =
            FileCall(TFileOp::Open, [&] { return NativeOpen(FTempName, NewFileFlags, false); });
        if (Handle >= 0) {
            HoldWhileWriting(Handle);
            FStream.reset(new TFileStream(Handle, FileName));
            FGuarded = GuardAgainstEnd(QtName(FTempName));
            return;
        }
        if (errno != EEXIST || Attempt == MaxTempAttempts)
            throw EFOpenError("ファイル \""_sj + FileName + "\" を作成できません: "_sj +
                              OpenFailure(FTempName, errno, true));
    }
}

TSafeFileStream::~TSafeFileStream() {
    if (!FCommitted) {
        FStream.reset();
        DeleteFile(FTempName);
    }
    Unguard();
}

void TSafeFileStream::Unguard() {
    if (FGuarded)
        ReleaseEndGuard();
    FGuarded = false;
}

void TSafeFileStream::Commit() {
    FStream->FlushBuffers();
    FStream->Close();
    if (!RenameFile(FTempName, FFileName))
        FStream->RaiseWriteError(errno);
    FCommitted = true;
    Unguard();
}

void EraseFile(const AnsiString& FileName) {
    if (DeleteFile(FileName))
        return;
    const int Error = errno;
    if (Error != ENOENT)
        throw EInOutError("ファイル \""_sj + FileName + "\" を削除できません: "_sj +
                          SysErrorMessage(Error));
}

namespace {

AnsiString TooLargeMessage(const AnsiString& FileName, std::size_t MaxSize) {
    return "ファイル \""_sj + FileName + "\" は大きすぎて読み込めません（上限 "_sj +
           IntToStr(static_cast<long long>(MaxSize >> 20)) + " MB）"_sj;
}

template <class Bytes> Bytes ReadWholeFile(const AnsiString& FileName, std::size_t MaxSize) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    const auto Size = static_cast<std::uint64_t>(std::max<std::int64_t>(Stream.Size(), 0));
    if (Size > MaxSize)
        throw EReadError(TooLargeMessage(FileName, MaxSize));
    // Read in place up to the size found; the file may shrink or grow while it is read, so the
    // limit is kept on what arrives.
    Bytes Result(static_cast<std::size_t>(Size), '\0');
    std::size_t Got = 0;
    while (Got < Result.size())
        if (const std::size_t Count = Stream.Read(Result.data() + Got, Result.size() - Got))
            Got += Count;
        else
            Result.resize(Got);
    char Buffer[65536];
    while (const std::size_t Count = Stream.Read(Buffer, sizeof Buffer)) {
        if (Count > MaxSize - Result.size())
            throw EReadError(TooLargeMessage(FileName, MaxSize));
        Result.append(Buffer, Count);
    }
    return Result;
}

} // namespace

std::string ReadFileBytes(const AnsiString& FileName, std::size_t MaxSize) {
    return ReadWholeFile<std::string>(FileName, MaxSize);
}

TTextBytes ReadFileText(const AnsiString& FileName, std::size_t MaxSize) {
    return ReadWholeFile<TTextBytes>(FileName, MaxSize);
}
