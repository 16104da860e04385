// The platform's popup menus on Win32 menus: shown from the message loop with TrackPopupMenuEx,
// the chosen item's handler run once the menu's loop has returned.
#include "Win32Host.h"
#include "Win32Text.h"

#include <unordered_map>
#include <vector>

namespace {

HMENU M(TPlatformWidget* Menu) {
    return Hmenu(Menu);
}

struct TMenuItem {
    HMENU Menu;
    std::function<void()> OnClick;
};

// The handlers of the items by command id; an item of a destroyed menu has none.
std::unordered_map<UINT, TMenuItem>& Items() {
    static std::unordered_map<UINT, TMenuItem> Map;
    return Map;
}

// Command ids run from 1; 0 means no choice to TrackPopupMenuEx.
UINT NewItemId() {
    static UINT Last = 0;
    constexpr UINT MaxId = 0xEFFF;
    do
        Last = Last % MaxId + 1;
    while (Items().count(Last));
    return Last;
}

struct TShown {
    HMENU Menu = nullptr;
    TPoint Position;
    bool InLoop = false;   // the system's menu loop runs
    bool Captured = false; // a copy of a native control's own menu, freed when it closes
};

TShown& Shown() {
    static TShown Record;
    return Record;
}

bool& Held() {
    static bool Hold = false;
    return Hold;
}

void RunItem(UINT Id) {
    const auto It = Items().find(Id);
    if (It == Items().end())
        return;
    const std::function<void()> OnClick = It->second.OnClick;
    SafeCall(OnClick);
}

// The menu's loop waits for the user; the item chosen runs once it has returned.
void Track(HMENU Menu) {
    if (Shown().Menu != Menu || Held())
        return;
    HWND Owner = ::GetActiveWindow();
    if (!Owner)
        Owner = ParkingWindow();
    Shown().InLoop = true;
    const TPoint At = Shown().Position;
    const auto Id = static_cast<UINT>(::TrackPopupMenuEx(
        Menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, At.X, At.Y, Owner, nullptr));
    if (Shown().Menu == Menu)
        Shown() = {};
    if (Id != 0)
        RunItem(Id);
}

void ForgetItems(HMENU Menu) {
    const int Count = ::GetMenuItemCount(Menu);
    for (int I = 0; I < Count; ++I) {
        if (HMENU Sub = ::GetSubMenu(Menu, I))
            ForgetItems(Sub);
        else if (const UINT Id = ::GetMenuItemID(Menu, I); Id != 0 && Id != UINT(-1))
            Items().erase(Id);
    }
}

// Whether Menu is Shown or one of its submenus.
bool Contains(HMENU Menu, HMENU Shown) {
    if (Menu == Shown)
        return true;
    const int Count = ::GetMenuItemCount(Menu);
    for (int I = 0; I < Count; ++I)
        if (HMENU Sub = ::GetSubMenu(Menu, I); Sub && Contains(Sub, Shown))
            return true;
    return false;
}

} // namespace

namespace {

// The menu window of this thread's menu loop, if one is open.
HMENU LoopMenu() {
    for (HWND W = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr); W;
         W = ::FindWindowExW(nullptr, W, L"#32768", nullptr))
        if (::IsWindowVisible(W) &&
            ::GetWindowThreadProcessId(W, nullptr) == ::GetCurrentThreadId())
            return reinterpret_cast<HMENU>(::SendMessageW(W, MN_GETHMENU, 0, 0));
    return nullptr;
}

// Sees the messages of every menu loop, also of those a native control opens without telling
// its owner (an edit's own menu).
LRESULT CALLBACK MenuLoopFilter(int Code, WPARAM WParam, LPARAM LParam) {
    if (Code == MSGF_MENU) {
        HWND Owner = ::GetCapture();
        CaptureLoopMenu(Owner ? Owner : ::GetFocus());
    }
    return ::CallNextHookEx(nullptr, Code, WParam, LParam);
}

} // namespace

void CaptureLoopMenu(HWND Owner) {
    if (!Held())
        return;
    if (HMENU Menu = LoopMenu())
        CaptureNativeMenu(Owner, Menu);
}

void HoldPopupMenus(bool Hold) {
    static HHOOK Filter = nullptr;
    Held() = Hold;
    if (Hold && !Filter)
        Filter = ::SetWindowsHookExW(WH_MSGFILTER, MenuLoopFilter, nullptr, ::GetCurrentThreadId());
}

HMENU ShownPopupMenu(TPoint* Position) {
    if (Position)
        *Position = Shown().Position;
    return Shown().Menu;
}

void ClosePopupMenu(HMENU Menu) {
    if (!Menu || !Contains(Menu, Shown().Menu))
        return;
    if (Shown().InLoop)
        ::EndMenu();
    if (Shown().Captured) {
        ForgetItems(Shown().Menu);
        ::DestroyMenu(Shown().Menu);
    }
    Shown() = {};
}

// A native control's own menu (an edit's) opens in a loop of the system's. While menus are held
// it is copied into the record at once, its loop ended, and a choice sends the command the item
// stands for to the control, as the control does when the item is clicked.
bool CaptureNativeMenu(HWND Owner, HMENU Menu) {
    if (!Held() || Contains(Menu, Shown().Menu))
        return false;
    HMENU Copy = ::CreatePopupMenu();
    const int Count = ::GetMenuItemCount(Menu);
    for (int I = 0; I < Count; ++I) {
        wchar_t Text[256] = {};
        MENUITEMINFOW Item{};
        Item.cbSize = sizeof(Item);
        Item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        Item.dwTypeData = Text;
        Item.cch = 255;
        ::GetMenuItemInfoW(Menu, static_cast<UINT>(I), TRUE, &Item);
        if (Item.fType & MFT_SEPARATOR) {
            ::AppendMenuW(Copy, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const UINT Command = Item.wID, Id = NewItemId();
        Items()[Id] = {Copy, [Owner, Command] {
                           ::SendMessageW(Owner, Command, 0, Command == EM_SETSEL ? -1 : 0);
                       }};
        ::AppendMenuW(Copy, MF_STRING | (Item.fState & MFS_GRAYED ? MF_GRAYED : MF_ENABLED), Id,
                      Text);
    }
    ClosePopupMenu(Shown().Menu);
    POINT At{};
    ::GetCursorPos(&At);
    Shown() = {Copy, {At.x, At.y}, false, true};
    ::EndMenu();
    return true;
}

void ChoosePopupItem(HMENU Menu, int Index) {
    const UINT Id = ::GetMenuItemID(Menu, Index);
    ClosePopupMenu(Shown().Menu);
    if (Id != 0 && Id != UINT(-1) && (::GetMenuState(Menu, Index, MF_BYPOSITION) & MF_GRAYED) == 0)
        RunItem(Id);
}

namespace Platform {

TPlatformWidget* CreatePopupMenu() {
    return PlatformWidget(::CreatePopupMenu());
}

void AppendMenuItem(TPlatformWidget* Menu, const AnsiString& Caption, bool Enabled,
                    std::function<void()> OnClick) {
    const UINT Id = NewItemId();
    Items()[Id] = {M(Menu), std::move(OnClick)};
    ::AppendMenuW(M(Menu), MF_STRING | (Enabled ? MF_ENABLED : MF_GRAYED), Id,
                  WideOf(Caption).c_str());
}

void AppendMenuSeparator(TPlatformWidget* Menu) {
    ::AppendMenuW(M(Menu), MF_SEPARATOR, 0, nullptr);
}

TPlatformWidget* AppendSubmenu(TPlatformWidget* Menu, const AnsiString& Caption, bool Enabled) {
    HMENU Sub = ::CreatePopupMenu();
    ::AppendMenuW(M(Menu), MF_POPUP | (Enabled ? MF_ENABLED : MF_GRAYED),
                  reinterpret_cast<UINT_PTR>(Sub), WideOf(Caption).c_str());
    return PlatformWidget(Sub);
}

void TrackPopupMenu(TPlatformWidget* Menu, int X, int Y) {
    HMENU Popup = M(Menu);
    if (Shown().Menu && Shown().Menu != Popup)
        ClosePopupMenu(Shown().Menu);
    Shown() = {Popup, {X, Y}, false, false};
    PostCall(PlatformWidget(ParkingWindow()), [Popup] { Track(Popup); });
}

bool MenuShown(TPlatformWidget* Menu) {
    return Shown().Menu && Shown().Menu == M(Menu);
}

// A handler may free the menu while its loop is still running, so the menu goes later, and its
// items no longer run.
void DestroyMenu(TPlatformWidget* Menu) {
    HMENU Popup = M(Menu);
    ClosePopupMenu(Popup);
    ForgetItems(Popup);
    PostCall(PlatformWidget(ParkingWindow()), [Popup] { ::DestroyMenu(Popup); });
}

} // namespace Platform
