// Where cell parameters live: large blocks of the platform's page memory.
#pragma once

#include "SCGParams.h"

#include <vector>

// Parameters are made and dropped by the hundred thousand when a grid grows or goes: they
// come from large blocks with a free list, and the blocks go back when the last item does.
class TParamPool {
public:
    static TParamPool& Instance();
    void* Allocate();
    void Release(void* Item);

private:
    static constexpr std::size_t BlockBytes = std::size_t(2) << 20;
    struct TFreeCell {
        TFreeCell* Next;
    };
    struct TCell {
        alignas(TSCGCellParam) unsigned char Bytes[sizeof(TSCGCellParam)];
    };
    static constexpr std::size_t ItemsPerBlock = BlockBytes / sizeof(TCell);
    std::vector<TCell*> FBlocks;
    TFreeCell* FFree = nullptr;
    std::size_t FUsedInLast = ItemsPerBlock;
    std::size_t FLive = 0;
};
