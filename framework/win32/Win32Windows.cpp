// The platform's windows on Win32: host windows, bounds, visibility, focus, tab order, hints,
// painting.
#include "Win32Host.h"
#include "Win32Text.h"

#include <algorithm>
#include <climits>
#include <cwctype>
#include <optional>
#include <unordered_map>
#include <vector>

namespace {

HWND H(TPlatformWidget* Window) {
    return Hwnd(Window);
}

bool IsTopLevel(HWND Window) {
    return !(::GetWindowLongPtrW(Window, GWL_STYLE) & WS_CHILD);
}

struct TFrameStyle {
    DWORD Style;
    DWORD ExStyle;
};

TFrameStyle FrameStyleOf(TFormBorderStyle Border) {
    constexpr DWORD Framed = WS_CAPTION | WS_SYSMENU;
    switch (Border) {
    case bsNone:
        return {WS_POPUP, 0};
    case bsSingle:
        return {WS_OVERLAPPED | Framed | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0};
    case bsDialog:
        return {WS_POPUP | Framed, WS_EX_DLGMODALFRAME};
    case bsToolWindow:
        return {WS_POPUP | Framed, WS_EX_TOOLWINDOW};
    case bsSizeToolWin:
        return {WS_POPUP | Framed | WS_THICKFRAME, WS_EX_TOOLWINDOW};
    default:
        return {WS_OVERLAPPEDWINDOW, 0};
    }
}

constexpr DWORD FrameStyleMask = WS_POPUP | WS_OVERLAPPEDWINDOW;
constexpr DWORD FrameExStyleMask = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW;

// The window rectangle whose client area is Client, for the window's styles now.
RECT WindowRectOf(HWND Window, const TRect& Client) {
    RECT R{Client.Left, Client.Top, Client.Right, Client.Bottom};
    if (IsTopLevel(Window))
        ::AdjustWindowRectEx(&R, static_cast<DWORD>(::GetWindowLongPtrW(Window, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongPtrW(Window, GWL_EXSTYLE)));
    return R;
}

// The client area of a top-level window on the screen; of a child, in its parent's client area.
TRect ClientBounds(HWND Window) {
    RECT Client;
    ::GetClientRect(Window, &Client);
    ::MapWindowPoints(Window, IsTopLevel(Window) ? HWND_DESKTOP : ::GetParent(Window),
                      reinterpret_cast<POINT*>(&Client), 2);
    return TRect(Client.left, Client.top, Client.right, Client.bottom);
}

void Place(HWND Window, const TRect& Client, UINT Flags) {
    const TOwnPlacement Own;
    const RECT R = WindowRectOf(Window, Client);
    ::SetWindowPos(Window, nullptr, R.left, R.top, R.right - R.left, R.bottom - R.top,
                   Flags | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Tab order and focus

struct TTabStops {
    std::unordered_map<HWND, bool> Stops;
    std::unordered_map<HWND, HWND> LastFocus; // of each top-level window
};

TTabStops& Tabs() {
    static TTabStops Stops;
    return Stops;
}

bool TakesTab(HWND Window) {
    const auto It = Tabs().Stops.find(Window);
    const bool Stop =
        It == Tabs().Stops.end() ? !LinkOf(Window) || !LinkOf(Window)->Host() : It->second;
    return Stop && ::IsWindowVisible(Window) && ::IsWindowEnabled(Window);
}

std::unordered_map<HWND, AnsiString>& Hints() {
    static std::unordered_map<HWND, AnsiString> Map;
    return Map;
}

HWND ToolTip() {
    static HWND Tip = [] {
        HWND W = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, ParkingWindow(),
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(W, TTM_SETMAXTIPWIDTH, 0, 600);
        return W;
    }();
    return Tip;
}

TOOLINFOW ToolOf(HWND Window) {
    TOOLINFOW Tool{};
    Tool.cbSize = sizeof(Tool);
    Tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    Tool.hwnd = ::GetParent(Window) ? ::GetParent(Window) : Window;
    Tool.uId = reinterpret_cast<UINT_PTR>(Window);
    return Tool;
}

void InvalidateTransparentChildren(HWND Window) {
    for (const HWND Child : TransparentChildren(Window)) {
        ::InvalidateRect(Child, nullptr, FALSE);
        InvalidateTransparentChildren(Child);
    }
}

} // namespace

bool IsRadioButton(HWND Window) {
    return ::SendMessageW(Window, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON;
}

std::vector<HWND> RadioGroup(HWND Radio) {
    std::vector<HWND> Group;
    for (HWND C = ::GetWindow(::GetParent(Radio), GW_CHILD); C; C = ::GetWindow(C, GW_HWNDNEXT))
        if (IsRadioButton(C))
            Group.push_back(C);
    return Group;
}

namespace {

bool IsChecked(HWND Window) {
    return ::SendMessageW(Window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Where a window stands in its parent's tab order: a control by its TabOrder, a window that
// is not a control after them.
int TabPlace(HWND Window) {
    const auto* Control = dynamic_cast<const TWinControl*>(ControlOf(Window));
    return Control ? Control->TabOrder() : INT_MAX;
}

// Tab visits the windows of a top-level window depth first: each parent's children in their
// tab order, those that are not controls after them in the system's order, each child
// followed by its own children.
void AddTabOrder(HWND Parent, std::vector<HWND>& Order) {
    std::vector<std::pair<int, HWND>> Children;
    for (HWND C = ::GetWindow(Parent, GW_CHILD); C; C = ::GetWindow(C, GW_HWNDNEXT))
        Children.emplace_back(TabPlace(C), C);
    std::stable_sort(Children.begin(), Children.end(),
                     [](const auto& A, const auto& B) { return A.first < B.first; });
    for (const auto& Child : Children) {
        Order.push_back(Child.second);
        AddTabOrder(Child.second, Order);
    }
}

bool EnabledUpTo(HWND Window, HWND Top) {
    for (HWND W = Window; W && W != Top; W = ::GetParent(W))
        if (!::IsWindowEnabled(W))
            return false;
    return true;
}

// A group of radio buttons is one stop: its checked button, or its first when none is.
bool GroupStop(HWND Radio, HWND From) {
    const std::vector<HWND> Group = RadioGroup(Radio);
    if (From != Radio && std::find(Group.begin(), Group.end(), From) != Group.end())
        return false;
    if (IsChecked(Radio))
        return true;
    return std::none_of(Group.begin(), Group.end(), IsChecked) && Group.front() == Radio;
}

// Group boxes and labels never take the focus, as in a dialog.
bool TabStopFor(HWND Window, HWND From, HWND Top) {
    return Window != From && TakesTab(Window) && EnabledUpTo(Window, Top) &&
           !(::SendMessageW(Window, WM_GETDLGCODE, 0, 0) & DLGC_STATIC) &&
           (!IsRadioButton(Window) || GroupStop(Window, From));
}

} // namespace

// Tab walks the whole window, across parents, as the user expects of a form. A system window
// inside a control that is no control itself steps from that control's place.
bool MoveFocusByTab(HWND From, bool Backward) {
    const HWND Top = ::GetAncestor(From, GA_ROOT);
    HWND Start = From;
    while (Start != Top && !ControlOf(Start) && !IsRadioButton(Start))
        Start = ::GetParent(Start);
    std::vector<HWND> Order;
    AddTabOrder(Top, Order);
    const auto Count = static_cast<std::ptrdiff_t>(Order.size());
    if (Count == 0)
        return false;
    const auto Here = std::find(Order.begin(), Order.end(), Start);
    // From the top-level window itself, forward starts at the first window, backward at the last.
    const std::ptrdiff_t At = Here != Order.end() ? Here - Order.begin() : Backward ? Count : -1;
    for (std::ptrdiff_t Offset = 1; Offset <= Count; ++Offset) {
        const std::ptrdiff_t I = ((Backward ? At - Offset : At + Offset) % Count + Count) % Count;
        const HWND Next = Order[static_cast<std::size_t>(I)];
        if (TabStopFor(Next, Start, Top)) {
            ::SetFocus(Next);
            return true;
        }
    }
    return false;
}

namespace {

HWND FindDefaultButton(HWND Parent) {
    for (HWND Child = ::GetWindow(Parent, GW_CHILD); Child;
         Child = ::GetWindow(Child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(Child) || !::IsWindowEnabled(Child))
            continue;
        if (::SendMessageW(Child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
            return Child;
        if (HWND Inner = FindDefaultButton(Child))
            return Inner;
    }
    return nullptr;
}

} // namespace

bool PressDefaultButton(HWND From) {
    const auto Code = ::SendMessageW(From, WM_GETDLGCODE, VK_RETURN, 0);
    if (Code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))
        return false;
    HWND Button = Code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)
                      ? From
                      : FindDefaultButton(::GetAncestor(From, GA_ROOT));
    if (!Button)
        return false;
    ::SendMessageW(Button, BM_CLICK, 0, 0);
    return true;
}

namespace {

// Whether Text marks Char as its access key ("&P" for p); "&&" is a plain ampersand.
bool MarksKey(const std::wstring& Text, wchar_t Char) {
    for (std::size_t I = 0; I + 1 < Text.size(); ++I)
        if (Text[I] == L'&') {
            if (Text[I + 1] != L'&')
                return std::towupper(Text[I + 1]) == std::towupper(Char);
            ++I;
        }
    return false;
}

HWND FindMnemonicButton(HWND Parent, wchar_t Char) {
    for (HWND Child = ::GetWindow(Parent, GW_CHILD); Child;
         Child = ::GetWindow(Child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(Child) || !::IsWindowEnabled(Child))
            continue;
        if (::SendMessageW(Child, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) {
            wchar_t Text[256] = {};
            ::GetWindowTextW(Child, Text, 256);
            if (MarksKey(Text, Char))
                return Child;
        }
        if (HWND Inner = FindMnemonicButton(Child, Char))
            return Inner;
    }
    return nullptr;
}

} // namespace

bool PressMnemonic(HWND From, wchar_t Char) {
    HWND Button = FindMnemonicButton(::GetAncestor(From, GA_ROOT), Char);
    if (!Button)
        return false;
    ::SendMessageW(Button, BM_CLICK, 0, 0);
    return true;
}

namespace {

std::optional<HWND>& KnownFocus() {
    static std::optional<HWND> Focus;
    return Focus;
}

} // namespace

void ForgetFocus() {
    KnownFocus().reset();
}

void RememberFocus(HWND Window) {
    Tabs().LastFocus[::GetAncestor(Window, GA_ROOT)] = Window;
}

bool RestoreFocus(HWND TopLevel) {
    const auto It = Tabs().LastFocus.find(TopLevel);
    if (It == Tabs().LastFocus.end() || !::IsWindow(It->second) || It->second == TopLevel ||
        ::GetAncestor(It->second, GA_ROOT) != TopLevel)
        return false;
    ::SetFocus(It->second);
    return true;
}

namespace {

std::unordered_map<HWND, bool>& ImeStates() {
    static std::unordered_map<HWND, bool> Map;
    return Map;
}

} // namespace

bool ImeOn(HWND Window) {
    const auto It = ImeStates().find(Window);
    if (It != ImeStates().end())
        return It->second;
    const TControlLink* Link = LinkOf(Window);
    return !Link || !Link->Host();
}

void SetImeOn(HWND Window, bool On) {
    ImeStates()[Window] = On;
}

AnsiString WindowHint(HWND Window) {
    const auto It = Hints().find(Window);
    return It == Hints().end() ? AnsiString() : It->second;
}

void ForgetWindow(HWND Window) {
    ImeStates().erase(Window);
    SetReflectHandler(Window, {});
    auto& T = Tabs();
    T.Stops.erase(Window);
    T.LastFocus.erase(Window);
    if (Hints().erase(Window)) {
        TOOLINFOW Tool = ToolOf(Window);
        ::SendMessageW(ToolTip(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&Tool));
    }
}

namespace Platform {

// ---- Windows

TPlatformWidget* CreateHostWindow(TControl* Control) {
    return PlatformWidget(CreateHost(Control, {}));
}

TPlatformWidget* CreateFormWindow(TControl* Form, std::function<void()> OnCloseRequest) {
    return PlatformWidget(CreateHost(Form, std::move(OnCloseRequest)));
}

bool IsHostWindow(TPlatformWidget* Window) {
    const TControlLink* Link = LinkOf(H(Window));
    return Link && Link->Host();
}

void SetWindowOpaque(TPlatformWidget* Window, bool Opaque) {
    TControlLink* Link = LinkOf(H(Window));
    if (!Link || Link->Opaque == Opaque)
        return;
    Link->Opaque = Opaque;
    ::InvalidateRect(H(Window), nullptr, FALSE);
}

void RefreshControlOpacity() {
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND Top, LPARAM) -> BOOL {
            const auto Refresh = [](HWND W, LPARAM) -> BOOL {
                TControlLink* Link = LinkOf(W);
                if (Link && Link->Host() && Link->Control())
                    SetWindowOpaque(PlatformWidget(W),
                                    TControlAccess::OpaquePaint(Link->Control()));
                return TRUE;
            };
            Refresh(Top, 0);
            ::EnumChildWindows(Top, Refresh, 0);
            return TRUE;
        },
        0);
}

void AttachWindow(TPlatformWidget* Window, TControl* Control) {
    AttachNative(H(Window), Control);
}

void DestroyWindow(TPlatformWidget* Window) {
    if (TControlLink* Link = LinkOf(H(Window)))
        Link->Detach();
    ::DestroyWindow(H(Window));
    ForgetFocus();
}

// A window without parent is a top-level popup; with one, a child.
void SetParentWindow(TPlatformWidget* Window, TPlatformWidget* Parent) {
    HWND W = H(Window);
    HWND NewParent = Parent ? H(Parent) : nullptr;
    const bool Child = !IsTopLevel(W);
    if (Child && ::GetParent(W) == NewParent)
        return;
    if (!Child && !NewParent)
        return;
    const TOwnPlacement Own;
    const TRect Client = ClientBounds(W);
    auto Style = static_cast<DWORD>(::GetWindowLongPtrW(W, GWL_STYLE));
    if (NewParent) {
        Style = (Style & ~WS_POPUP) | WS_CHILD;
        ::SetWindowLongPtrW(W, GWL_STYLE, Style);
        ::SetParent(W, NewParent);
    } else {
        // The parking window stays its owner, so a native control's notifications still
        // reach a window that reflects them.
        Style = (Style & ~WS_CHILD) | WS_POPUP;
        ::SetParent(W, nullptr);
        ::SetWindowLongPtrW(W, GWL_STYLE, Style);
        ::SetWindowLongPtrW(W, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ParkingWindow()));
    }
    Place(W, Client, SWP_FRAMECHANGED);
}

// Under Wine a move costs a score of round trips to its server, and the layer places every
// control again as a form loads and aligns: only real changes reach the system.
void SetWindowBounds(TPlatformWidget* Window, const TRect& Bounds) {
    if (ClientBounds(H(Window)) != Bounds)
        Place(H(Window), Bounds, 0);
}

// A window that the layer gave no parent is a top-level window once it is shown.
void SetWindowVisible(TPlatformWidget* Window, bool Visible) {
    HWND W = H(Window);
    if (Visible && ::GetParent(W) == ParkingWindow() &&
        (::GetWindowLongPtrW(W, GWL_STYLE) & WS_CHILD))
        SetParentWindow(Window, nullptr);
    if (Visible)
        ::ShowWindow(W, IsTopLevel(W) ? SW_SHOW : SW_SHOWNA);
    else
        ::ShowWindow(W, SW_HIDE);
}

bool WindowShown(TPlatformWidget* Window) {
    return ::IsWindowVisible(H(Window));
}

void SetWindowEnabled(TPlatformWidget* Window, bool Enabled) {
    ::EnableWindow(H(Window), Enabled);
}

void SetWindowText(TPlatformWidget* Window, const AnsiString& Text) {
    ::SetWindowTextW(H(Window), WideOf(Text).c_str());
}

void SetWindowFont(TPlatformWidget* Window, const TFont& Font) {
    ::SendMessageW(H(Window), WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(Font)), TRUE);
}

// The client area keeps its place and size; a shown window stays shown.
void SetWindowBorder(TPlatformWidget* Window, TFormBorderStyle Border) {
    HWND W = H(Window);
    if (!IsTopLevel(W))
        return;
    const TOwnPlacement Own;
    const TRect Client = ClientBounds(W);
    const TFrameStyle Frame = FrameStyleOf(Border);
    const auto Style = static_cast<DWORD>(::GetWindowLongPtrW(W, GWL_STYLE));
    const auto ExStyle = static_cast<DWORD>(::GetWindowLongPtrW(W, GWL_EXSTYLE));
    ::SetWindowLongPtrW(W, GWL_STYLE, (Style & ~FrameStyleMask) | Frame.Style);
    ::SetWindowLongPtrW(W, GWL_EXSTYLE, (ExStyle & ~FrameExStyleMask) | Frame.ExStyle);
    Place(W, Client, SWP_FRAMECHANGED);
}

bool WindowResizable(TPlatformWidget* Window) {
    return (::GetWindowLongPtrW(H(Window), GWL_STYLE) & WS_THICKFRAME) != 0;
}

void MinimizeWindow(TPlatformWidget* Window) {
    ::ShowWindow(H(Window), SW_MINIMIZE);
}

void ActivateWindow(TPlatformWidget* Window) {
    HWND Top = ::GetAncestor(H(Window), GA_ROOT);
    ::SetForegroundWindow(Top);
    ::SetActiveWindow(Top);
    ::BringWindowToTop(Top);
}

void BringWindowToFront(TPlatformWidget* Window) {
    ::SetWindowPos(H(Window), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SetWindowHint(TPlatformWidget* Window, const AnsiString& Hint) {
    HWND W = H(Window);
    TOOLINFOW Tool = ToolOf(W);
    const bool Had = Hints().erase(W) > 0;
    if (Had)
        ::SendMessageW(ToolTip(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&Tool));
    if (Hint.empty())
        return;
    Hints()[W] = Hint;
    std::wstring Text = WideOf(Hint);
    Tool.lpszText = Text.data();
    ::SendMessageW(ToolTip(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&Tool));
}

void RenderWindow(TPlatformWidget* Window, TColor Color, bool OverParent, TBitmap& Result) {
    HWND W = H(Window);
    RECT Client;
    ::GetClientRect(W, &Client);
    TPlatformImage& Image = TGraphicsAccess::Image(Result);
    Platform::ResizeImage(Image, Client.right, Client.bottom);
    if (!Image.Dc)
        return;
    HBRUSH Brush = ::CreateSolidBrush(ToColorRef(Color));
    ::FillRect(Image.Dc, &Client, Brush);
    ::DeleteObject(Brush);
    if (OverParent && ::GetParent(W)) {
        POINT Origin{0, 0};
        ::MapWindowPoints(W, ::GetParent(W), &Origin, 1);
        PrintWindowInto(::GetParent(W), Image.Dc, {-Origin.x, -Origin.y});
    } else {
        PrintWindowInto(W, Image.Dc, {0, 0});
    }
    ImageChanged(Image);
}

// ---- Painting

void InvalidateWindow(TPlatformWidget* Window) {
    ::InvalidateRect(H(Window), nullptr, FALSE);
    InvalidateTransparentChildren(H(Window));
}

void InvalidateWindowRect(TPlatformWidget* Window, const TRect& R) {
    const RECT Area{R.Left, R.Top, R.Right, R.Bottom};
    ::InvalidateRect(H(Window), &Area, FALSE);
    InvalidateTransparentChildren(H(Window));
}

void UpdateWindow(TPlatformWidget* Window) {
    ::RedrawWindow(::GetAncestor(H(Window), GA_ROOT), nullptr, nullptr,
                   RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void RepaintWindow(TPlatformWidget* Window) {
    ::RedrawWindow(H(Window), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void SetWindowRedraw(TPlatformWidget* Window, bool Redraw) {
    ::SendMessageW(H(Window), WM_SETREDRAW, Redraw, 0);
    if (Redraw)
        ::RedrawWindow(H(Window), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
}

// ---- Focus and keyboard

bool WindowFocused(TPlatformWidget* Window) {
    if (!KnownFocus())
        KnownFocus() = ::GetFocus();
    return *KnownFocus() == H(Window);
}

void FocusWindow(TPlatformWidget* Window) {
    HWND Top = ::GetAncestor(H(Window), GA_ROOT);
    if (::GetActiveWindow() != Top)
        ActivateWindow(Window);
    ::SetFocus(H(Window));
    ForgetFocus();
}

void SetWindowTabStop(TPlatformWidget* Window, bool TabStop) {
    Tabs().Stops[H(Window)] = TabStop;
}

// Tab reads the controls' tab order when it is pressed; there is no chain of windows to keep.
void SetTabOrder(TPlatformWidget*, TPlatformWidget*) {}

void SetImeMode(TPlatformWidget* Window, TImeMode Mode) {
    HWND W = H(Window);
    const bool Off = Mode == imDisable || Mode == imClose || Mode == imSAlpha || Mode == imAlpha;
    SetImeOn(W, !Off);
    if (Mode == imDisable) {
        ::ImmAssociateContextEx(W, nullptr, 0);
        return;
    }
    ::ImmAssociateContextEx(W, nullptr, IACE_DEFAULT);
    HIMC Context = ::ImmGetContext(W);
    if (!Context)
        return;
    ::ImmSetOpenStatus(Context, !Off);
    DWORD Conversion = 0, Sentence = 0;
    ::ImmGetConversionStatus(Context, &Conversion, &Sentence);
    if (Mode == imHira)
        Conversion = IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
    else if (Mode == imKata)
        Conversion = IME_CMODE_NATIVE | IME_CMODE_KATAKANA | IME_CMODE_FULLSHAPE;
    else if (Mode == imSKata)
        Conversion = IME_CMODE_NATIVE | IME_CMODE_KATAKANA;
    else if (Mode == imSAlpha)
        Conversion = IME_CMODE_ALPHANUMERIC;
    else if (Mode == imAlpha)
        Conversion = IME_CMODE_ALPHANUMERIC | IME_CMODE_FULLSHAPE;
    ::ImmSetConversionStatus(Context, Conversion, Sentence);
    ::ImmReleaseContext(W, Context);
}

} // namespace Platform
