// Memory pages of the Win32 back end: committed pages of the system, large pages where the
// process may lock them.
#include "Win32Api.h"

#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

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

// The system hands freed blocks back at once, so each new block is paged in again, a fault
// for every 4 KiB without large pages. Freed blocks are kept for the next ones instead, up to
// a bound, as the Linux heap keeps what it frees.
constexpr std::size_t KeptUpTo = std::size_t(256) << 20;
constexpr std::size_t KeptBlocks = 16;

struct TPages {
    std::mutex Lock;
    std::vector<std::pair<void*, std::size_t>> Kept; // oldest first
    std::size_t KeptBytes = 0;
    std::unordered_map<void*, std::size_t> Sizes; // of each block handed out
};

TPages& Pages() {
    static TPages P;
    return P;
}

// The smallest kept block that Size fills at least half of, taken out of the kept ones.
std::pair<void*, std::size_t> TakeKept(TPages& P, std::size_t Size) {
    auto Best = P.Kept.end();
    for (auto It = P.Kept.begin(); It != P.Kept.end(); ++It)
        if (It->second >= Size && It->second / 2 <= Size &&
            (Best == P.Kept.end() || It->second < Best->second))
            Best = It;
    if (Best == P.Kept.end())
        return {nullptr, 0};
    const auto Found = *Best;
    P.Kept.erase(Best);
    P.KeptBytes -= Found.second;
    return Found;
}

void* NewPages(std::size_t Size) {
    void* Block = LargePages(Size);
    if (!Block)
        Block = Size >= LargePage
                    ? AlignedPages(Size)
                    : ::VirtualAlloc(nullptr, Size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!Block)
        throw std::bad_alloc();
    return Block;
}

} // namespace

// New pages are zeroed by the system, kept ones here.
void* Platform::AllocatePages(std::size_t Size) {
    TPages& P = Pages();
    const std::lock_guard<std::mutex> Hold(P.Lock);
    auto [Block, BlockSize] = TakeKept(P, Size);
    if (Block) {
        std::memset(Block, 0, Size);
    } else {
        Block = NewPages(Size);
        BlockSize = Size;
    }
    P.Sizes[Block] = BlockSize;
    return Block;
}

void Platform::FreePages(void* Block, std::size_t) {
    TPages& P = Pages();
    const std::lock_guard<std::mutex> Hold(P.Lock);
    const auto Handed = P.Sizes.find(Block);
    const std::size_t Size = Handed == P.Sizes.end() ? KeptUpTo + 1 : Handed->second;
    if (Handed != P.Sizes.end())
        P.Sizes.erase(Handed);
    if (Size > KeptUpTo) {
        ::VirtualFree(Block, 0, MEM_RELEASE);
        return;
    }
    while (!P.Kept.empty() && (P.KeptBytes + Size > KeptUpTo || P.Kept.size() >= KeptBlocks)) {
        ::VirtualFree(P.Kept.front().first, 0, MEM_RELEASE);
        P.KeptBytes -= P.Kept.front().second;
        P.Kept.erase(P.Kept.begin());
    }
    P.Kept.emplace_back(Block, Size);
    P.KeptBytes += Size;
}

// The system cannot turn pages already committed into large ones.
void Platform::AdviseLargePages(void*, std::size_t) {}

// The system's heap has no threshold to raise; the layer's large blocks come from
// AllocatePages, which keeps them.
void Platform::KeepFreedHeap() {}
