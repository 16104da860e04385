#include "Win32Subclass.h"

#include <unordered_map>
#include <vector>

namespace {

struct TEntry {
    SUBCLASSPROC Proc;
    UINT_PTR Id;
    DWORD_PTR Data;
    bool Removed;
};

// Entries are appended and called from the last down, so indices held by calls in progress stay
// good; removed entries are skipped and swept out when no call is in progress.
struct TChain {
    WNDPROC Original = nullptr;
    std::vector<TEntry> Entries;
    std::ptrdiff_t Next = -1; // the entry DefSubclass calls, inside a call
    int Depth = 0;
};

std::unordered_map<HWND, TChain*>& Chains() {
    static std::unordered_map<HWND, TChain*> Map;
    return Map;
}

TChain* ChainOf(HWND Window) {
    const auto It = Chains().find(Window);
    return It == Chains().end() ? nullptr : It->second;
}

TEntry* Find(TChain* Chain, SUBCLASSPROC Proc, UINT_PTR Id) {
    for (TEntry& E : Chain->Entries)
        if (!E.Removed && E.Proc == Proc && E.Id == Id)
            return &E;
    return nullptr;
}

LRESULT CallFrom(HWND Window, TChain* Chain, std::ptrdiff_t Index, UINT Msg, WPARAM WParam,
                 LPARAM LParam) {
    while (Index >= 0 && Chain->Entries[static_cast<std::size_t>(Index)].Removed)
        --Index;
    if (Index < 0)
        return CallWindowProcW(Chain->Original, Window, Msg, WParam, LParam);
    const TEntry E = Chain->Entries[static_cast<std::size_t>(Index)];
    const std::ptrdiff_t Saved = Chain->Next;
    Chain->Next = Index - 1;
    const LRESULT Result = E.Proc(Window, Msg, WParam, LParam, E.Id, E.Data);
    Chain->Next = Saved;
    return Result;
}

// Once no call is in progress: sweeps removed entries, and an empty chain, or the chain of a
// window being destroyed, gives the window its own procedure back.
void Settle(HWND Window, TChain* Chain, bool Destroyed) {
    std::erase_if(Chain->Entries, [](const TEntry& E) { return E.Removed; });
    if (!Chain->Entries.empty() && !Destroyed)
        return;
    SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Chain->Original));
    Chains().erase(Window);
    delete Chain;
}

LRESULT CALLBACK ChainProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TChain* Chain = ChainOf(Window);
    if (!Chain)
        return DefWindowProcW(Window, Msg, WParam, LParam);
    ++Chain->Depth;
    const auto Last = static_cast<std::ptrdiff_t>(Chain->Entries.size()) - 1;
    const LRESULT Result = CallFrom(Window, Chain, Last, Msg, WParam, LParam);
    if (--Chain->Depth == 0)
        Settle(Window, Chain, Msg == WM_NCDESTROY);
    return Result;
}

} // namespace

bool SetSubclass(HWND Window, SUBCLASSPROC Proc, UINT_PTR Id, DWORD_PTR Data) {
    TChain* Chain = ChainOf(Window);
    if (!Chain) {
        if (!IsWindow(Window))
            return false;
        Chain = Chains()[Window] = new TChain;
        Chain->Original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChainProc)));
    }
    if (TEntry* E = Find(Chain, Proc, Id))
        E->Data = Data;
    else
        Chain->Entries.push_back({Proc, Id, Data, false});
    return true;
}

bool RemoveSubclass(HWND Window, SUBCLASSPROC Proc, UINT_PTR Id) {
    TChain* Chain = ChainOf(Window);
    TEntry* E = Chain ? Find(Chain, Proc, Id) : nullptr;
    if (!E)
        return false;
    E->Removed = true;
    if (Chain->Depth == 0)
        Settle(Window, Chain, false);
    return true;
}

LRESULT DefSubclass(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TChain* Chain = ChainOf(Window);
    if (!Chain || Chain->Depth == 0)
        return DefWindowProcW(Window, Msg, WParam, LParam);
    return CallFrom(Window, Chain, Chain->Next, Msg, WParam, LParam);
}

bool SubclassData(HWND Window, SUBCLASSPROC Proc, UINT_PTR Id, DWORD_PTR& Data) {
    TChain* Chain = ChainOf(Window);
    const TEntry* E = Chain ? Find(Chain, Proc, Id) : nullptr;
    if (E)
        Data = E->Data;
    return E != nullptr;
}
