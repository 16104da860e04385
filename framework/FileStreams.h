// File streams: files read and written through the platform, a file written whole or not at
// all, and whole files read at once.
#pragma once

#include "Classes.h"
#include "PlatformFiles.h"

#include <cstdint>
#include <memory>
#include <string>

enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmShareDenyWrite = 0x0020,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
    // Creates a file that must not exist yet; a symbolic link at the name is not followed.
    fmCreateNew = 0x1FF00
};

// A sequence of bytes read from its current position.
class TStream : public TObject {
public:
    const char* ClassName() const override { return "TStream"; }
    virtual std::int64_t Size() const = 0;
    // Reads up to Count bytes; returns how many arrived (0 at the end).
    virtual std::size_t Read(void* Buffer, std::size_t Count) = 0;
};

// A file opened for reading, or created (truncated) for writing. Every failure raises: EFOpenError
// when the file cannot be opened or created (or, for reading, is not a regular file), EReadError
// and EWriteError when a transfer fails (a full disk included), FlushBuffers when the data cannot
// be brought to the disk, and Close when closing reports an error. The destructor closes
// silently. Writes are not buffered.
class TFileStream : public TStream {
public:
    // ShownName, when given, is the name that messages give for the file.
    TFileStream(const AnsiString& FileName, unsigned Mode, const AnsiString& ShownName = {});
    ~TFileStream() override;
    const char* ClassName() const override { return "TFileStream"; }
    std::int64_t Size() const override;
    std::size_t Read(void* Buffer, std::size_t Count) override;
    void Write(const void* Buffer, std::size_t Count);
    void Write(const AnsiString& Bytes) { Write(Bytes.data(), Bytes.size()); }
    // Waits until the data written so far is on the disk.
    void FlushBuffers();
    void Close();

private:
    friend class TSafeFileStream;
    TFileStream(Platform::TFileHandle Handle, const AnsiString& ShownName);
    void CheckRegularFile();
    [[noreturn]] void RaiseWriteError(int Error) const;

    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
    AnsiString FFileName; // as messages give it
};

// A file written under a new, unique name beside FileName and put in its place by Commit,
// whole or not at all: the data is on the disk before the rename, a symbolic link planted at
// the temporary name is never followed, and messages name FileName. Without a successful
// Commit the temporary file is removed and FileName stays as it was, also when the program is
// ended from outside while the file is written (on POSIX: SIGTERM, SIGINT, SIGHUP). Temporary
// files of FileName that no running writer holds, left by a run that was killed outright or
// lost its power, are removed first.
class TSafeFileStream : public TObject {
public:
    explicit TSafeFileStream(const AnsiString& FileName);
    ~TSafeFileStream() override;
    void Write(const AnsiString& Bytes) { FStream->Write(Bytes); }
    void Commit();

private:
    void Unguard();
    AnsiString FFileName;
    AnsiString FTempName;
    std::unique_ptr<TFileStream> FStream;
    bool FCommitted = false;
    bool FGuarded = false; // the temporary file is removed if the program is ended from outside
};

// Deletes the file; an absent file is no error. EInOutError names the file and the reason when
// it cannot be deleted.
void EraseFile(const AnsiString& FileName);

// The whole file; EFOpenError when it cannot be opened or is not a regular file, EReadError
// when reading fails or the file holds more than MaxSize bytes.
std::string ReadFileBytes(const AnsiString& FileName, std::size_t MaxSize = SIZE_MAX);
// As ReadFileBytes, in large pages: for a file of many megabytes whose bytes are kept.
TTextBytes ReadFileText(const AnsiString& FileName, std::size_t MaxSize);
