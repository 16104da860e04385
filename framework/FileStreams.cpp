// File streams, the safe file stream and whole-file reading.
#include "FileStreams.h"

#include "PlatformFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <type_traits>

// ---- TFileStream

namespace {

using Platform::TOpenMode;

// Runs a platform call unless a test has made it fail; either way errno tells why it failed.
template <class F> auto FileCall(TFileOp Op, F Call) -> decltype(Call()) {
    using TResult = decltype(Call());
    if (const int Fault = InjectedFileFault(Op)) {
        errno = Fault;
        if constexpr (std::is_same_v<TResult, bool>)
            return false;
        else
            return TResult(-1);
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
    Platform::TFileHandle Handle = Platform::NoFile;
    bool Writing = false;
};

TFileStream::TFileStream(const AnsiString& FileName, unsigned Mode, const AnsiString& ShownName)
    : FImpl(std::make_unique<TImpl>()), FFileName(ShownName.empty() ? FileName : ShownName) {
    const bool CreateNew = (Mode & fmCreateNew) == fmCreateNew;
    const bool Create = CreateNew || (Mode & fmCreate) == fmCreate;
    const unsigned Access = Mode & 3;
    const TOpenMode OpenMode = CreateNew               ? TOpenMode::CreateNew
                               : Create                ? TOpenMode::Create
                               : Access == fmOpenRead  ? TOpenMode::Read
                               : Access == fmOpenWrite ? TOpenMode::Write
                                                       : TOpenMode::ReadWrite;
    FImpl->Writing = Create || Access != fmOpenRead;
    const Platform::TFileHandle Handle = FileCall(TFileOp::Open, [&] {
        return Platform::OpenFileHandle(FileName, OpenMode, (Mode & fmShareDenyWrite) != 0);
    });
    if (Handle == Platform::NoFile) {
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
    Platform::TFileInfo Info;
    if (Platform::FileInfo(FImpl->Handle, Info) && Info.Regular)
        return;
    const AnsiString Reason = Info.Folder ? "フォルダーです"_sj : "通常のファイルではありません"_sj;
    Platform::CloseFileHandle(FImpl->Handle);
    FImpl->Handle = Platform::NoFile;
    throw EFOpenError("ファイル \""_sj + FFileName + "\" を開けません: "_sj + Reason);
}

TFileStream::TFileStream(Platform::TFileHandle Handle, const AnsiString& ShownName)
    : FImpl(std::make_unique<TImpl>()), FFileName(ShownName) {
    FImpl->Handle = Handle;
    FImpl->Writing = true;
}

TFileStream::~TFileStream() {
    if (FImpl->Handle != Platform::NoFile)
        Platform::CloseFileHandle(FImpl->Handle);
}

std::int64_t TFileStream::Size() const {
    Platform::TFileInfo Info;
    return Platform::FileInfo(FImpl->Handle, Info) ? Info.Size : 0;
}

std::size_t TFileStream::Read(void* Buffer, std::size_t Count) {
    const long long Got = FileCall(
        TFileOp::Read, [&] { return Platform::ReadFromFile(FImpl->Handle, Buffer, Count); });
    if (Got < 0)
        throw EReadError("ファイル \""_sj + FFileName + "\" を読み込めません: "_sj +
                         SysErrorMessage(errno));
    return static_cast<std::size_t>(Got);
}

void TFileStream::Write(const void* Buffer, std::size_t Count) {
    const auto* Bytes = static_cast<const char*>(Buffer);
    while (Count > 0) {
        const long long Put = FileCall(
            TFileOp::Write, [&] { return Platform::WriteToFile(FImpl->Handle, Bytes, Count); });
        if (Put <= 0)
            RaiseWriteError(Put < 0 ? errno : ENOSPC);
        Bytes += Put;
        Count -= static_cast<std::size_t>(Put);
    }
}

void TFileStream::FlushBuffers() {
    if (!FileCall(TFileOp::Sync, [&] { return Platform::SyncFile(FImpl->Handle); }))
        RaiseWriteError(errno);
}

void TFileStream::Close() {
    const Platform::TFileHandle Handle = FImpl->Handle;
    if (Handle == Platform::NoFile)
        return;
    FImpl->Handle = Platform::NoFile;
    // The handle is released even when closing fails, or a test makes it fail, so it is never
    // closed twice and never stays open.
    const bool Closed = Platform::CloseFileHandle(Handle);
    if (!FileCall(TFileOp::Close, [&] { return Closed; }) && FImpl->Writing)
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

AnsiString TempName(const AnsiString& FileName) {
    static std::random_device Random;
    char Suffix[24];
    std::snprintf(Suffix, sizeof Suffix, ".%0*x%s", TempTagDigits, Random(), TempExt);
    return FileName + Suffix;
}

// Whether Name is Base followed by a suffix that TempName makes.
bool IsTempNameOf(const AnsiString& Name, const AnsiString& Base) {
    const std::size_t TagStart = Base.size() + 1;
    if (Name.size() != TagStart + TempTagDigits + std::strlen(TempExt) ||
        !Name.starts_with(Base + '.') || !Name.ends_with(TempExt))
        return false;
    return std::all_of(Name.begin() + TagStart, Name.begin() + TagStart + TempTagDigits,
                       [](char C) { return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'f'); });
}

// Temporary files of FileName that no running writer holds: a run killed outright or a power
// loss left them. Only names that TempName makes are touched.
void RemoveAbandonedTemps(const AnsiString& FileName) {
    const AnsiString Base = ExtractFileName(FileName);
    const AnsiString Folder = ExtractFilePath(FileName);
    for (const AnsiString& Name : Platform::FilesEndingWith(Folder, TempExt))
        if (IsTempNameOf(Name, Base) && Platform::IsAbandoned(Folder + Name))
            Platform::RemoveFile(Folder + Name);
}

} // namespace

TSafeFileStream::TSafeFileStream(const AnsiString& FileName) : FFileName(FileName) {
    RemoveAbandonedTemps(FileName);
    for (int Attempt = 1;; ++Attempt) {
        FTempName = TempName(FileName);
        const Platform::TFileHandle Handle = FileCall(TFileOp::Open, [&] {
            return Platform::OpenFileHandle(FTempName, TOpenMode::CreateNew, false);
        });
        if (Handle != Platform::NoFile) {
            Platform::HoldFile(Handle);
            FStream.reset(new TFileStream(Handle, FileName));
            FGuarded = Platform::GuardAgainstEnd(FTempName);
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
        Platform::ReleaseEndGuard();
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
