// The platform's files, folders, compiled-in resources and memory pages. File names are code page
// 932 paths; the back end converts them to the platform's names. A call that fails leaves the
// platform's reason in errno, as an errno value (ENOENT, EACCES, ENOSPC, ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

// ---- Files

// An open file: a descriptor or a handle of the platform.
using TFileHandle = std::intptr_t;
constexpr TFileHandle NoFile = -1;

enum class TOpenMode {
    Read,      // an existing file, for reading
    Write,     // an existing file, for writing
    ReadWrite, // an existing file, for both
    Create,    // created, or truncated when it exists, for writing
    CreateNew  // created for writing; fails with EEXIST when the name exists, even as a link
};

// Opens FileName; NoFile on failure. DenyWrite keeps other programs from writing the file while
// it is open, where the platform can. Opening never waits for a partner (a pipe), and the
// handle is not inherited by programs the process starts.
TFileHandle OpenFileHandle(const std::string& FileName, TOpenMode Mode, bool DenyWrite);
// Reads up to Count bytes at the current position: the number read, 0 at the end, -1 on failure.
long long ReadFromFile(TFileHandle File, void* Buffer, std::size_t Count);
// Writes up to Count bytes: the number written (possibly fewer), -1 on failure.
long long WriteToFile(TFileHandle File, const void* Buffer, std::size_t Count);
// Brings the data written so far to the disk.
bool SyncFile(TFileHandle File);
// Releases the handle, also when the result is false.
bool CloseFileHandle(TFileHandle File);

struct TFileInfo {
    bool Regular = false; // a file, not a folder, a pipe or a device
    bool Folder = false;
    std::int64_t Size = 0; // in bytes
};
// What File is; false when the platform cannot tell.
bool FileInfo(TFileHandle File, TFileInfo& Info);

// ---- Names

// The separator of folder names in a path.
char PathDelimiter();
// Whether Name is an existing file (a link followed), not a folder.
bool IsFile(const std::string& Name);
// Whether Name is an existing folder (a link followed).
bool IsFolder(const std::string& Name);
// Removes the file Name (a link itself, not its target).
bool RemoveFile(const std::string& Name);
// Gives the file OldName the name NewName, replacing a file of that name in one step; once it
// returns, the new name survives a power loss.
bool RenameReplacing(const std::string& OldName, const std::string& NewName);
// The names, without their folder, of the files in Folder (hidden ones too, no folders) whose
// names end with Suffix; none when Folder cannot be read.
std::vector<std::string> FilesEndingWith(const std::string& Folder, std::string_view Suffix);
// The folder of the running program, without a closing separator.
std::string ProgramFolder();

// ---- Temporary files

// Marks File as in use by this process until the handle is closed or the process ends, however
// it ends.
void HoldFile(TFileHandle File);
// Whether Name is a regular file that no running process holds (HoldFile).
bool IsAbandoned(const std::string& Name);
// Removes Name should the program be ended from outside (a terminating signal, the end of the
// session) before ReleaseEndGuard; the program then ends as it would have. One file at a time:
// false, guarding nothing, while another is guarded or where the platform offers no guard.
bool GuardAgainstEnd(const std::string& Name);
void ReleaseEndGuard();

// ---- Standard streams and arguments

// Makes standard output and standard error take bytes unchanged, without line-end translation.
void BinaryStandardStreams();
// The program's arguments after its name, as code page 932 text; Argc and Argv are main's.
std::vector<std::string> ProgramArguments(int Argc, char** Argv);

// ---- Resources

// The bytes of the resource Name of the kind Kind ("forms", "cursors", ...) compiled into the
// program; false when it has none.
bool ReadResource(std::string_view Kind, const std::string& Name, std::string& Bytes);

// ---- Memory pages

// Large pages have this size, and a block of at least this size starts on its boundary.
constexpr std::size_t LargePageBytes = std::size_t(2) << 20;
// Size bytes of zeroed, writable memory in whole pages, backed by large pages where the platform
// offers them. Raises std::bad_alloc when there is none. FreePages takes the block and Size.
void* AllocatePages(std::size_t Size);
void FreePages(void* Block, std::size_t Size);
// Asks for large pages for the whole large pages within a block not yet written; a hint.
void AdviseLargePages(void* Block, std::size_t Size);
// Keeps memory that the heap frees for the next allocations rather than returning it.
void KeepFreedHeap();

} // namespace Platform
