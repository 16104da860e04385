#include "SCGPool.h"

TParamPool& TParamPool::Instance() {
    // Never destroyed: parameters of grids that outlive static objects still return here.
    static TParamPool* Pool = new TParamPool;
    return *Pool;
}

void* TParamPool::Allocate() {
    void* Item = nullptr;
    if (FFree) {
        Item = FFree;
        FFree = FFree->Next;
    } else {
        if (FUsedInLast == ItemsPerBlock) {
            FBlocks.reserve(FBlocks.size() + 1);
            FBlocks.push_back(static_cast<TCell*>(VirtualAlloc(BlockBytes)));
            FUsedInLast = 0;
        }
        Item = &FBlocks.back()[FUsedInLast++];
    }
    ++FLive;
    return Item;
}

void TParamPool::Release(void* Item) {
    auto* Cell = static_cast<TFreeCell*>(Item);
    Cell->Next = FFree;
    FFree = Cell;
    if (--FLive == 0) {
        for (TCell* Block : FBlocks)
            VirtualFree(Block, BlockBytes);
        FBlocks.clear();
        FFree = nullptr;
        FUsedInLast = ItemsPerBlock;
    }
}
