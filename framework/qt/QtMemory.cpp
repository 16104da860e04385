// Memory pages of the Linux back end: anonymous mappings, with transparent large pages asked for.
#include "PlatformFiles.h"

#include <cstdint>
#include <cstring>
#include <new>

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif
#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#define QUOVANT_HAS_MMAP 1
#endif

namespace {
constexpr std::size_t LargePage = Platform::LargePageBytes;
} // namespace

#ifdef QUOVANT_HAS_MMAP

void* Platform::AllocatePages(std::size_t Size) {
    // Large pages need aligned ranges: map more, keep the aligned part.
    const std::size_t Slack = Size >= LargePage ? LargePage : 0;
    void* Raw =
        mmap(nullptr, Size + Slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (Raw == MAP_FAILED)
        throw std::bad_alloc();
    auto* Start = static_cast<char*>(Raw);
    if (Slack) {
        const auto Address = reinterpret_cast<std::uintptr_t>(Raw);
        Start += (LargePage - Address % LargePage) % LargePage;
        if (Start != Raw)
            munmap(Raw, static_cast<std::size_t>(Start - static_cast<char*>(Raw)));
        const std::size_t Tail = static_cast<char*>(Raw) + Size + Slack - (Start + Size);
        if (Tail)
            munmap(Start + Size, Tail);
    }
#ifdef MADV_HUGEPAGE
    madvise(Start, Size, MADV_HUGEPAGE); // a hint: without large pages the block still works
#endif
    return Start;
}

void Platform::FreePages(void* Block, std::size_t Size) {
    munmap(Block, Size);
}

void Platform::AdviseLargePages([[maybe_unused]] void* Block, [[maybe_unused]] std::size_t Size) {
#ifdef MADV_HUGEPAGE
    const auto Start = reinterpret_cast<std::uintptr_t>(Block);
    const std::uintptr_t First = (Start + LargePage - 1) / LargePage * LargePage;
    const std::uintptr_t Last = (Start + Size) / LargePage * LargePage;
    if (First < Last)
        madvise(reinterpret_cast<void*>(First), Last - First, MADV_HUGEPAGE);
#endif
}

#else

// Without page mappings: zeroed blocks of the heap, aligned as large pages would be.
void* Platform::AllocatePages(std::size_t Size) {
    void* Block = ::operator new(Size, std::align_val_t(LargePage));
    std::memset(Block, 0, Size);
    return Block;
}

void Platform::FreePages(void* Block, std::size_t) {
    ::operator delete(Block, std::align_val_t(LargePage));
}

void Platform::AdviseLargePages(void*, std::size_t) {}

#endif

void Platform::KeepFreedHeap() {
#if defined(M_MMAP_THRESHOLD) && defined(M_TRIM_THRESHOLD)
    constexpr int MappedFrom = 32 << 20;
    constexpr int KeptUpTo = 256 << 20;
    mallopt(M_MMAP_THRESHOLD, MappedFrom);
    mallopt(M_TRIM_THRESHOLD, KeptUpTo);
#endif
}
