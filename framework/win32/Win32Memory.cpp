// Memory pages of the Win32 back end: committed pages of the system, large pages where the
// process may lock them.
#include "Win32Api.h"

#include <new>

namespace {

constexpr std::size_t LargePage = Platform::LargePageBytes;
constexpr int AlignAttempts = 8;

// Large pages need the right to lock memory, which few accounts have: a hint, tried once.
void* LargePages(std::size_t Size) {
    const SIZE_T Minimum = GetLargePageMinimum();
    if (Minimum == 0 || Size < Minimum || Size % Minimum != 0)
        return nullptr;
    return ::VirtualAlloc(nullptr, Size, MEM_COMMIT | MEM_RESERVE | MEM_LARGE_PAGES,
                          PAGE_READWRITE);
}

// The system places blocks on 64 KiB boundaries: a range one large page longer is reserved to
// learn where an aligned block fits, then freed and the block taken there. Another thread may
// take the place in between, hence the attempts.
void* AlignedPages(std::size_t Size) {
    for (int Attempt = 0; Attempt < AlignAttempts; ++Attempt) {
        void* Range = ::VirtualAlloc(nullptr, Size + LargePage, MEM_RESERVE, PAGE_NOACCESS);
        if (!Range)
            return nullptr;
        const auto Address = reinterpret_cast<std::uintptr_t>(Range);
        void* Start = reinterpret_cast<void*>((Address + LargePage - 1) / LargePage * LargePage);
        ::VirtualFree(Range, 0, MEM_RELEASE);
        if (void* Block = ::VirtualAlloc(Start, Size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
            return Block;
    }
    return nullptr;
}

} // namespace

// Committed pages are zeroed by the system.
void* Platform::AllocatePages(std::size_t Size) {
    void* Block = LargePages(Size);
    if (!Block)
        Block = Size >= LargePage
                    ? AlignedPages(Size)
                    : ::VirtualAlloc(nullptr, Size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!Block)
        throw std::bad_alloc();
    return Block;
}

void Platform::FreePages(void* Block, std::size_t) {
    ::VirtualFree(Block, 0, MEM_RELEASE);
}

// The system cannot turn pages already committed into large ones.
void Platform::AdviseLargePages(void*, std::size_t) {}

// The system's heap keeps freed blocks for the next allocations by itself and has no threshold
// to raise.
void Platform::KeepFreedHeap() {}
