// The standard controls on the system's BUTTON, LISTBOX and EDIT windows: push button, check
// box, radio button, group box, owner-data list box and memo.
#include "Win32Api.h"

#include "Win32Host.h"
#include "Win32Subclass.h"
#include "Win32Text.h"

#include <algorithm>
#include <vector>

namespace {

constexpr UINT_PTR StateSubclass = 0x57435354; // "WCST"

// What a native control keeps beside its window: it lives as long as the window and answers
// the notices that its parent reflects to it.
class TNative {
public:
    virtual ~TNative() = default;
    // A notice of the control reflected by its parent; true when answered with Result.
    virtual bool Reflected(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam,
                           LRESULT& Result) = 0;
    // A message to the control's own window before the window acts on it.
    virtual bool Own(HWND, UINT, WPARAM, LPARAM, LRESULT&) { return false; }
};

LRESULT CALLBACK NativeProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR,
                            DWORD_PTR Data) {
    auto* Native = reinterpret_cast<TNative*>(Data);
    LRESULT Result = 0;
    if (Native->Own(Window, Msg, WParam, LParam, Result))
        return Result;
    if (Msg != WM_NCDESTROY)
        return DefSubclass(Window, Msg, WParam, LParam);
    RemoveSubclass(Window, NativeProc, StateSubclass);
    SetReflectHandler(Window, {});
    delete Native;
    return DefSubclass(Window, Msg, WParam, LParam);
}

// Gives Window its Native, which goes with the window.
HWND Keep(HWND Window, TNative* Native) {
    SetSubclass(Window, NativeProc, StateSubclass, reinterpret_cast<DWORD_PTR>(Native));
    SetReflectHandler(Window,
                      [Window, Native](UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
                          return Native->Reflected(Window, Msg, WParam, LParam, Result);
                      });
    return Window;
}

template <class T> T* NativeOf(TPlatformWidget* Widget) {
    DWORD_PTR Data = 0;
    SubclassData(Hwnd(Widget), NativeProc, StateSubclass, Data);
    return static_cast<T*>(reinterpret_cast<TNative*>(Data));
}

// A hidden child of the parking window until the layer gives it its parent.
HWND NewChild(const wchar_t* Class, DWORD Style, const AnsiString& Text,
              HWND Parent = ParkingWindow(), DWORD ExStyle = 0) {
    return CreateWindowExW(ExStyle, Class, WideOf(Text).c_str(), WS_CHILD | WS_CLIPSIBLINGS | Style,
                           0, 0, 0, 0, Parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// A list box or a memo stands in the sunken edge of the system's style, as the layer's
// single border asks.
HWND NewFramedChild(const wchar_t* Class, DWORD Style) {
    return NewChild(Class, Style, {}, ParkingWindow(), WS_EX_CLIENTEDGE);
}

bool IsCommand(UINT Msg, WPARAM WParam, WORD Code) {
    return Msg == WM_COMMAND && HIWORD(WParam) == Code;
}

// ---- Buttons

class TButtonNative : public TNative {
public:
    explicit TButtonNative(std::function<void()> AOnClick) : FOnClick(std::move(AOnClick)) {}
    bool Reflected(HWND, UINT Msg, WPARAM WParam, LPARAM, LRESULT& Result) override {
        if (!IsCommand(Msg, WParam, BN_CLICKED))
            return false;
        FOnClick();
        Result = 0;
        return true;
    }

private:
    std::function<void()> FOnClick;
};

class TCheckBoxNative : public TNative {
public:
    explicit TCheckBoxNative(std::function<void(Platform::TCheckState)> AOnUserChange)
        : FOnUserChange(std::move(AOnUserChange)) {}
    bool Reflected(HWND Window, UINT Msg, WPARAM WParam, LPARAM, LRESULT& Result) override {
        if (!IsCommand(Msg, WParam, BN_CLICKED))
            return false;
        const auto State = SendMessageW(Window, BM_GETCHECK, 0, 0);
        FOnUserChange(State == BST_CHECKED         ? Platform::TCheckState::Checked
                      : State == BST_INDETERMINATE ? Platform::TCheckState::Grayed
                                                   : Platform::TCheckState::Unchecked);
        Result = 0;
        return true;
    }

private:
    std::function<void(Platform::TCheckState)> FOnUserChange;
};

DWORD CheckBoxStyle(bool AllowGrayed) {
    return AllowGrayed ? BS_AUTO3STATE : BS_AUTOCHECKBOX;
}

// The buttons of a radio group are children of the group box, whose window would keep the
// notices of its children to itself.
class TGroupBoxNative : public TNative {
public:
    // The box shows its parent's face around and inside its frame, as on the layer's other
    // platforms, whatever colour the control keeps.
    bool Reflected(HWND Window, UINT Msg, WPARAM WParam, LPARAM, LRESULT& Result) override {
        if (Msg != WM_CTLCOLORSTATIC && Msg != WM_CTLCOLORBTN)
            return false;
        auto* Dc = reinterpret_cast<HDC>(WParam);
        const COLORREF Face = ParentFace(Window);
        if (const TControl* Box = ControlOf(Window))
            ::SetTextColor(Dc, ToColorRef(Box->Font()->Color()));
        ::SetBkColor(Dc, Face);
        ::SetDCBrushColor(Dc, Face);
        Result = reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
        return true;
    }
    bool Own(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) override {
        switch (Msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
            return ReflectToChild(Msg, WParam, LParam, Result);
        case WM_SETFONT:
            PassFont(Window, WParam);
            return false;
        case WM_ERASEBKGND:
            Fill(Window, reinterpret_cast<HDC>(WParam));
            Result = 1;
            return true;
        case WM_PRINTCLIENT:
            if (LParam & PRF_ERASEBKGND)
                Fill(Window, reinterpret_cast<HDC>(WParam));
            return false;
        default:
            return false;
        }
    }

private:
    static COLORREF ParentFace(HWND Window) {
        const TControl* Box = ControlOf(Window);
        return Box && Box->Parent() ? ToColorRef(Box->Parent()->Color())
                                    : ::GetSysColor(COLOR_BTNFACE);
    }
    // The system's group box draws its frame and caption only and leaves the rest unpainted.
    static void Fill(HWND Window, HDC Dc) {
        RECT Client;
        GetClientRect(Window, &Client);
        const COLORREF Old = ::SetDCBrushColor(Dc, ParentFace(Window));
        FillRect(Dc, &Client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        ::SetDCBrushColor(Dc, Old);
    }
    // Radio buttons take the box's font, as the layer's own children take it from the layer.
    static void PassFont(HWND Window, WPARAM Font) {
        for (HWND Child = GetWindow(Window, GW_CHILD); Child; Child = GetWindow(Child, GW_HWNDNEXT))
            if (!ControlOf(Child))
                SendMessageW(Child, WM_SETFONT, Font, TRUE);
    }
};

class TRadioNative : public TNative {
public:
    explicit TRadioNative(std::function<void()> AOnChecked) : FOnChecked(std::move(AOnChecked)) {}
    bool Reflected(HWND Window, UINT Msg, WPARAM WParam, LPARAM, LRESULT& Result) override {
        if (!IsCommand(Msg, WParam, BN_CLICKED))
            return false;
        if (SendMessageW(Window, BM_GETCHECK, 0, 0) == BST_CHECKED)
            FOnChecked();
        Result = 0;
        return true;
    }
    // Tab leaves the group; the arrows check the next or previous button of the group, as in a
    // dialog.
    bool Own(HWND Window, UINT Msg, WPARAM WParam, LPARAM, LRESULT& Result) override {
        const TShiftState Shift = CurrentShiftState();
        if (Shift.Contains(ssCtrl) || Shift.Contains(ssAlt))
            return false;
        if (Msg == WM_CHAR && WParam == L'\t')
            return Handled(Result);
        if (Msg != WM_KEYDOWN)
            return false;
        if (WParam == VK_TAB) {
            MoveFocusByTab(Window, Shift.Contains(ssShift));
            return Handled(Result);
        }
        const bool Forward = WParam == VK_DOWN || WParam == VK_RIGHT;
        if (!Forward && WParam != VK_UP && WParam != VK_LEFT)
            return false;
        if (const HWND Next = Neighbour(Window, Forward)) {
            SetFocus(Next);
            SendMessageW(Next, BM_CLICK, 0, 0);
        }
        return Handled(Result);
    }

private:
    static bool Handled(LRESULT& Result) {
        Result = 0;
        return true;
    }
    // The next or previous radio button among the window's siblings, going round.
    static HWND Neighbour(HWND Window, bool Forward) {
        std::vector<HWND> Group = RadioGroup(Window);
        std::erase_if(Group, [Window](HWND C) { return C != Window && !IsWindowEnabled(C); });
        const auto Here = std::find(Group.begin(), Group.end(), Window);
        if (Group.size() < 2 || Here == Group.end())
            return nullptr;
        const std::size_t At = static_cast<std::size_t>(Here - Group.begin());
        return Group[(At + (Forward ? 1 : Group.size() - 1)) % Group.size()];
    }

    std::function<void()> FOnChecked;
};

// ---- List box

// The height of a line of the list box's font.
int FontLineHeight(HWND Window) {
    const HDC Dc = GetDC(Window);
    const auto Font = reinterpret_cast<HFONT>(SendMessageW(Window, WM_GETFONT, 0, 0));
    const HGDIOBJ Old = SelectObject(Dc, Font ? Font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW Metrics{};
    GetTextMetricsW(Dc, &Metrics);
    SelectObject(Dc, Old);
    ReleaseDC(Window, Dc);
    return Metrics.tmHeight;
}

class TListBoxNative : public TNative {
public:
    TListBoxNative(int AItemHeight, Platform::TListItemText AItemText,
                   std::function<void(int)> AOnUserSelect)
        : ItemHeight(AItemHeight), FItemText(std::move(AItemText)),
          FOnUserSelect(std::move(AOnUserSelect)) {}

    bool Reflected(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) override {
        if (IsCommand(Msg, WParam, LBN_SELCHANGE)) {
            FOnUserSelect(static_cast<int>(SendMessageW(Window, LB_GETCURSEL, 0, 0)));
            Result = 0;
            return true;
        }
        if (Msg != WM_DRAWITEM)
            return false;
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(LParam));
        Result = TRUE;
        return true;
    }
    bool Own(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) override {
        if (Msg != WM_SETFONT)
            return false;
        Result = DefSubclass(Window, Msg, WParam, LParam);
        ApplyItemHeight(Window);
        return true;
    }
    // Rows are never lower than a line of the font.
    void ApplyItemHeight(HWND Window) const {
        const int Height = std::clamp(std::max(ItemHeight, FontLineHeight(Window)), 1, 255);
        SendMessageW(Window, LB_SETITEMHEIGHT, 0, Height);
        InvalidateRect(Window, nullptr, TRUE);
    }
    int ItemHeight;

private:
    void Draw(const DRAWITEMSTRUCT& Item) const {
        const bool Selected = (Item.itemState & ODS_SELECTED) != 0;
        if (Item.itemID != static_cast<UINT>(-1)) {
            FillBackground(Item, Selected);
            SetBkMode(Item.hDC, TRANSPARENT);
            if (Selected)
                SetTextColor(Item.hDC, GetSysColor(COLOR_HIGHLIGHTTEXT));
            if (const std::optional<std::string_view> Text =
                    FItemText(static_cast<int>(Item.itemID)))
                DrawItemText(Item, *Text);
        }
        if (Item.itemState & ODS_FOCUS)
            DrawFocusRect(Item.hDC, &Item.rcItem);
    }
    // The list box's own colours, as its parent gives them.
    static void FillBackground(const DRAWITEMSTRUCT& Item, bool Selected) {
        HBRUSH Brush = GetSysColorBrush(COLOR_HIGHLIGHT);
        if (!Selected) {
            Brush = reinterpret_cast<HBRUSH>(SendMessageW(
                GetParent(Item.hwndItem), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(Item.hDC),
                reinterpret_cast<LPARAM>(Item.hwndItem)));
            if (!Brush) {
                Brush = GetSysColorBrush(COLOR_WINDOW);
                SetTextColor(Item.hDC, GetSysColor(COLOR_WINDOWTEXT));
            }
        }
        FillRect(Item.hDC, &Item.rcItem, Brush);
    }
    // A long item is cut to what the row can show: laying out all of it on every paint would
    // stall the window. Every byte takes at least a pixel.
    static void DrawItemText(const DRAWITEMSTRUCT& Item, std::string_view Text) {
        const auto Shown = static_cast<std::size_t>(Item.rcItem.right - Item.rcItem.left) + 2;
        const std::wstring Wide = WideOf(Text.substr(0, std::min(Text.size(), Shown)));
        RECT Area = Item.rcItem;
        Area.left += 2;
        DrawTextW(Item.hDC, Wide.c_str(), static_cast<int>(Wide.size()), &Area,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP);
    }
    Platform::TListItemText FItemText;
    std::function<void(int)> FOnUserSelect;
};

// ---- Memo

class TMemoNative : public TNative {
public:
    explicit TMemoNative(std::function<void()> AOnUserEdit) : FOnUserEdit(std::move(AOnUserEdit)) {}
    bool Reflected(HWND, UINT Msg, WPARAM WParam, LPARAM, LRESULT& Result) override {
        if (!IsCommand(Msg, WParam, EN_CHANGE))
            return false;
        if (!Showing)
            FOnUserEdit();
        Result = 0;
        return true;
    }
    // The edit control selects all with Ctrl+A only in some versions.
    bool Own(HWND Window, UINT Msg, WPARAM WParam, LPARAM, LRESULT& Result) override {
        if (Msg != WM_KEYDOWN || WParam != 'A' || GetKeyState(VK_CONTROL) >= 0)
            return false;
        SendMessageW(Window, EM_SETSEL, 0, -1);
        Result = 0;
        return true;
    }
    bool Showing = false;

private:
    std::function<void()> FOnUserEdit;
};

constexpr DWORD MemoStyle = ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_TABSTOP;

std::wstring WindowTextOf(HWND Window) {
    std::wstring Text(static_cast<std::size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
    Text.resize(static_cast<std::size_t>(
        GetWindowTextW(Window, Text.data(), static_cast<int>(Text.size()))));
    return Text;
}

// Sets or clears Bits of the window's style; true when the style changed.
bool ChangeStyle(HWND Window, DWORD Bits, bool On) {
    const auto Old = static_cast<DWORD>(GetWindowLongPtrW(Window, GWL_STYLE));
    const DWORD New = On ? Old | Bits : Old & ~Bits;
    if (New == Old)
        return false;
    SetWindowLongPtrW(Window, GWL_STYLE, static_cast<LONG_PTR>(New));
    return true;
}

} // namespace

namespace Platform {

// ---- Buttons

TPlatformWidget* CreateButton(const AnsiString& Caption, std::function<void()> OnClick) {
    return PlatformWidget(Keep(NewChild(WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, Caption),
                               new TButtonNative(std::move(OnClick))));
}

void SetButtonDefault(TPlatformWidget* Button, bool Default) {
    SendMessageW(Hwnd(Button), BM_SETSTYLE, Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

TPlatformWidget* CreateCheckBox(const AnsiString& Caption, bool AllowGrayed, TCheckState State,
                                std::function<void(TCheckState)> OnUserChange) {
    const HWND Box = Keep(NewChild(WC_BUTTONW, CheckBoxStyle(AllowGrayed) | WS_TABSTOP, Caption),
                          new TCheckBoxNative(std::move(OnUserChange)));
    SetCheckBoxState(PlatformWidget(Box), State);
    return PlatformWidget(Box);
}

void SetCheckBoxAllowGrayed(TPlatformWidget* CheckBox, bool AllowGrayed) {
    SendMessageW(Hwnd(CheckBox), BM_SETSTYLE, CheckBoxStyle(AllowGrayed), TRUE);
}

void SetCheckBoxState(TPlatformWidget* CheckBox, TCheckState State) {
    SendMessageW(Hwnd(CheckBox), BM_SETCHECK, static_cast<WPARAM>(State), 0);
}

TPlatformWidget* CreateGroupBox(const AnsiString& Caption) {
    return PlatformWidget(
        Keep(NewChild(WC_BUTTONW, BS_GROUPBOX | WS_CLIPCHILDREN, Caption), new TGroupBoxNative));
}

// An automatic radio button unchecks the others of its parent when the user checks it.
TPlatformWidget* CreateRadioButton(TPlatformWidget* Parent, const AnsiString& Caption,
                                   std::function<void()> OnChecked) {
    const HWND Button = Keep(
        NewChild(WC_BUTTONW, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_VISIBLE, Caption, Hwnd(Parent)),
        new TRadioNative(std::move(OnChecked)));
    SendMessageW(Button, WM_SETFONT, SendMessageW(Hwnd(Parent), WM_GETFONT, 0, 0), FALSE);
    return PlatformWidget(Button);
}

void SetRadioChecked(TPlatformWidget* Button, bool Checked) {
    SendMessageW(Hwnd(Button), BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// ---- List box

TPlatformWidget* CreateListBox(int Count, int ItemHeight, TListItemText ItemText,
                               std::function<void(int Index)> OnUserSelect) {
    auto* Native = new TListBoxNative(ItemHeight, std::move(ItemText), std::move(OnUserSelect));
    const HWND List = Keep(NewFramedChild(WC_LISTBOXW, LBS_NODATA | LBS_OWNERDRAWFIXED |
                                                           LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                                                           WS_VSCROLL | WS_TABSTOP),
                           Native);
    Native->ApplyItemHeight(List);
    SetListBoxCount(PlatformWidget(List), Count);
    return PlatformWidget(List);
}

void SetListBoxCount(TPlatformWidget* ListBox, int Count) {
    const HWND List = Hwnd(ListBox);
    SendMessageW(List, LB_SETCOUNT, static_cast<WPARAM>(std::max(0, Count)), 0);
    SendMessageW(List, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    InvalidateRect(List, nullptr, TRUE);
}

void SetListBoxItemHeight(TPlatformWidget* ListBox, int ItemHeight) {
    auto* Native = NativeOf<TListBoxNative>(ListBox);
    Native->ItemHeight = ItemHeight;
    Native->ApplyItemHeight(Hwnd(ListBox));
}

void SetListBoxItemIndex(TPlatformWidget* ListBox, int Index) {
    SendMessageW(Hwnd(ListBox), LB_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

// ---- Memo

TPlatformWidget* CreateMemo(std::function<void()> OnUserEdit) {
    return PlatformWidget(
        Keep(NewFramedChild(WC_EDITW, MemoStyle), new TMemoNative(std::move(OnUserEdit))));
}

// The edit control takes its wrapping from the style it was created with: it wraps, as a memo
// does unless told otherwise, and keeps doing so.
void SetMemoOptions(TPlatformWidget* Memo, bool ReadOnly, bool, bool HorzScrollBar,
                    bool VertScrollBar) {
    const HWND Edit = Hwnd(Memo);
    SendMessageW(Edit, EM_SETREADONLY, ReadOnly, 0);
    bool Changed = ChangeStyle(Edit, WS_HSCROLL, HorzScrollBar);
    Changed = ChangeStyle(Edit, WS_VSCROLL, VertScrollBar) || Changed;
    if (Changed)
        SetWindowPos(Edit, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void SetMemoLines(TPlatformWidget* Memo, const TStringList& Lines) {
    std::wstring Text;
    for (int I = 0; I < Lines.Count(); ++I) {
        if (I > 0)
            Text += L"\r\n";
        Text += WideOf(Lines.View(I));
    }
    auto* Native = NativeOf<TMemoNative>(Memo);
    Native->Showing = true;
    SetWindowTextW(Hwnd(Memo), Text.c_str());
    Native->Showing = false;
}

void GetMemoLines(TPlatformWidget* Memo, const TStringList& Shown, TStringList& Lines) {
    Lines.Clear();
    const std::wstring Text = WindowTextOf(Hwnd(Memo));
    if (Text.empty())
        return;
    std::size_t Start = 0;
    for (int Index = 0;; ++Index) {
        const std::size_t End = Text.find(L"\r\n", Start);
        const std::wstring_view Line =
            std::wstring_view(Text).substr(Start, End == std::wstring::npos ? End : End - Start);
        const bool Unchanged = Index < Shown.Count() && WideOf(Shown.View(Index)) == Line;
        Lines.Append(Unchanged ? AnsiString(Shown.View(Index)) : AnsiOf(Line));
        if (End == std::wstring::npos)
            return;
        Start = End + 2;
    }
}

} // namespace Platform
