// Memory in whole pages, for blocks that grow large: a loaded file, a million list items, a
// column of cells, pools of cell parameters.
#pragma once

#include <cstddef>

// Memory in whole pages for allocators of their own, zeroed, backed by large pages where the
// platform offers them, so that filling hundreds of megabytes takes few page faults. Raises
// std::bad_alloc when there is none; VirtualFree takes the block and the size it was given.
void* VirtualAlloc(std::size_t Size);
void VirtualFree(void* Block, std::size_t Size);

// Lets the memory that one step frees serve the next rather than go back to the platform, where
// every page would be faulted in anew; the programs call it once, at start.
void KeepFreedMemory();

// Asks for large pages for the whole large pages within a block not yet written; a hint that
// changes nothing where the platform has none.
void AdviseLargePages(void* Block, std::size_t Size);

// Blocks of LargeBlockBytes and more come from VirtualAlloc, rounded up to whole large pages;
// smaller ones from the heap. ReleaseBlock takes the size AllocateBlock was given.
constexpr std::size_t LargeBlockBytes = std::size_t(1) << 20;
void* AllocateBlock(std::size_t Size);
void ReleaseBlock(void* Block, std::size_t Size);

// An allocator for containers that may hold millions of elements.
template <class T> struct TLargeAllocator {
    using value_type = T;
    TLargeAllocator() = default;
    template <class U> TLargeAllocator(const TLargeAllocator<U>&) {}
    T* allocate(std::size_t Count) { return static_cast<T*>(AllocateBlock(Bytes(Count))); }
    void deallocate(T* Block, std::size_t Count) { ReleaseBlock(Block, Bytes(Count)); }
    template <class U> bool operator==(const TLargeAllocator<U>&) const { return true; }

private:
    static std::size_t Bytes(std::size_t Count);
};

void RaiseTooLarge();

template <class T> std::size_t TLargeAllocator<T>::Bytes(std::size_t Count) {
    if (Count > static_cast<std::size_t>(-1) / sizeof(T))
        RaiseTooLarge();
    return Count * sizeof(T);
}
