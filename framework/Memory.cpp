#include "Memory.h"

#include "PlatformFiles.h"

#include <algorithm>
#include <new>

namespace {

// A block below a large page is given a whole one; a larger block ends in small pages rather
// than waste most of a large one.
std::size_t MappedSize(std::size_t Size) {
    return std::max(Size, Platform::LargePageBytes);
}

} // namespace

void RaiseTooLarge() {
    throw std::bad_array_new_length();
}

void* VirtualAlloc(std::size_t Size) {
    return Platform::AllocatePages(Size);
}

void VirtualFree(void* Block, std::size_t Size) {
    if (Block)
        Platform::FreePages(Block, Size);
}

void AdviseLargePages(void* Block, std::size_t Size) {
    Platform::AdviseLargePages(Block, Size);
}

void KeepFreedMemory() {
    Platform::KeepFreedHeap();
}

void* AllocateBlock(std::size_t Size) {
    return Size < LargeBlockBytes ? ::operator new(Size) : VirtualAlloc(MappedSize(Size));
}

void ReleaseBlock(void* Block, std::size_t Size) {
    if (Size < LargeBlockBytes)
        ::operator delete(Block);
    else
        VirtualFree(Block, MappedSize(Size));
}
