// The layer's test support on Win32: input sent as the messages the system sends, pictures
// printed from the windows, popup menus answered through the record of the one shown.
#include "Win32Host.h"
#include "Win32Subclass.h"
#include "Win32Text.h"

#include <chrono>
#include <string_view>
#include <unordered_set>

namespace {

HWND WindowOf(const TControl* Control) {
    return TControlAccess::Window(Control);
}

HWND TopOf(const TControl* Control) {
    return ::GetAncestor(WindowOf(Control), GA_ROOT);
}

WPARAM FlagsOf(TShiftState Shift) {
    WPARAM Flags = 0;
    if (Shift.Contains(ssLeft))
        Flags |= MK_LBUTTON;
    if (Shift.Contains(ssRight))
        Flags |= MK_RBUTTON;
    if (Shift.Contains(ssMiddle))
        Flags |= MK_MBUTTON;
    if (Shift.Contains(ssShift))
        Flags |= MK_SHIFT;
    if (Shift.Contains(ssCtrl))
        Flags |= MK_CONTROL;
    return Flags;
}

TShiftStateItem ButtonState(TMouseButton Button) {
    return Button == mbRight ? ssRight : Button == mbMiddle ? ssMiddle : ssLeft;
}

// The keys and buttons of Shift are down, as GetKeyState reports them, while Send runs.
template <class F> void WithShift(TShiftState Shift, F&& Send) {
    BYTE Saved[256];
    ::GetKeyboardState(Saved);
    BYTE State[256];
    std::copy(std::begin(Saved), std::end(Saved), std::begin(State));
    const auto Set = [&](int Key, bool Down) { State[Key] = Down ? 0x80 : 0; };
    Set(VK_SHIFT, Shift.Contains(ssShift));
    Set(VK_CONTROL, Shift.Contains(ssCtrl));
    Set(VK_MENU, Shift.Contains(ssAlt));
    Set(VK_LBUTTON, Shift.Contains(ssLeft));
    Set(VK_RBUTTON, Shift.Contains(ssRight));
    Set(VK_MBUTTON, Shift.Contains(ssMiddle));
    ::SetKeyboardState(State);
    Send();
    ::SetKeyboardState(Saved);
}

UINT DownMessage(TMouseButton Button) {
    return Button == mbRight    ? WM_RBUTTONDOWN
           : Button == mbMiddle ? WM_MBUTTONDOWN
                                : WM_LBUTTONDOWN;
}

UINT UpMessage(TMouseButton Button) {
    return Button == mbRight ? WM_RBUTTONUP : Button == mbMiddle ? WM_MBUTTONUP : WM_LBUTTONUP;
}

UINT DoubleMessage(TMouseButton Button) {
    return Button == mbRight    ? WM_RBUTTONDBLCLK
           : Button == mbMiddle ? WM_MBUTTONDBLCLK
                                : WM_LBUTTONDBLCLK;
}

// Shift holds the buttons that are down once the message has happened.
void SendMouse(TControl* Control, UINT Msg, TPoint At, TShiftState Shift) {
    WithShift(Shift, [&] {
        ::SendMessageW(WindowOf(Control), Msg, FlagsOf(Shift), MAKELPARAM(At.X, At.Y));
    });
}

// The character a key types: a letter (capital with Shift), a digit, a blank or one of the
// control characters of Backspace, Tab, Return and Escape; none with Ctrl or Alt held.
wchar_t CharOf(unsigned short Key, TShiftState Shift) {
    if (Shift.Contains(ssCtrl) || Shift.Contains(ssAlt))
        return 0;
    if (Key >= 'A' && Key <= 'Z')
        return static_cast<wchar_t>(Shift.Contains(ssShift) ? Key : Key - 'A' + 'a');
    if ((Key >= '0' && Key <= '9') || Key == VK_SPACE || Key == VK_BACK || Key == VK_TAB ||
        Key == VK_RETURN || Key == VK_ESCAPE)
        return static_cast<wchar_t>(Key);
    return 0;
}

constexpr LPARAM KeyUpFlags = static_cast<LPARAM>(0xC0000001u);
constexpr LPARAM AltFlag = 1 << 29;

void SendKey(HWND Target, bool Up, unsigned short Key, TShiftState Shift) {
    const bool Alt = Shift.Contains(ssAlt);
    const UINT Msg = Alt ? (Up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (Up ? WM_KEYUP : WM_KEYDOWN);
    const LPARAM Flags = (Up ? KeyUpFlags : 1) | (Alt ? AltFlag : 0);
    WithShift(Shift, [&] { ::SendMessageW(Target, Msg, Key, Flags); });
}

// Alt and a letter or digit type a system character, which a dialog's own loop offers to
// IsDialogMessage (its access keys) before the focused window sees it.
void SendSysChar(HWND Target, wchar_t Char) {
    MSG Message{};
    Message.hwnd = Target;
    Message.message = WM_SYSCHAR;
    Message.wParam = Char;
    Message.lParam = 1 | AltFlag;
    HWND Top = ::GetAncestor(Target, GA_ROOT);
    wchar_t Class[16] = {};
    ::GetClassNameW(Top, Class, 16);
    if (std::wstring_view(Class) == L"#32770" && ::IsDialogMessageW(Top, &Message))
        return;
    ::SendMessageW(Target, WM_SYSCHAR, Message.wParam, Message.lParam);
}

void PressKeyIn(HWND Target, unsigned short Key, TShiftState Shift) {
    SendKey(Target, false, Key, Shift);
    const bool AltOnly = Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl);
    const bool LetterOrDigit = (Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9');
    if (const wchar_t Char = CharOf(Key, Shift))
        WithShift(Shift, [&] { ::SendMessageW(Target, WM_CHAR, Char, 1); });
    else if (AltOnly && LetterOrDigit)
        WithShift(Shift, [&] { SendSysChar(Target, CharOf(Key, Shift - TShiftState{ssAlt})); });
    SendKey(Target, true, Key, Shift);
}

// One character as typed: a key of the keyboard for ASCII, the character alone otherwise.
void TypeChar(HWND Target, const std::wstring& Char) {
    if (Char.size() == 1 && Char[0] < 0x80) {
        const SHORT Scan = ::VkKeyScanW(Char[0]);
        const auto Key = static_cast<unsigned short>(Scan & 0xFF);
        const TShiftState Shift = (Scan & 0x100) ? TShiftState{ssShift} : TShiftState{};
        if (Scan != -1) {
            SendKey(Target, false, Key, Shift);
            WithShift(Shift, [&] { ::SendMessageW(Target, WM_CHAR, Char[0], 1); });
            SendKey(Target, true, Key, Shift);
            return;
        }
    }
    for (wchar_t Unit : Char)
        ::SendMessageW(Target, WM_CHAR, Unit, 1);
}

void TypeWide(HWND Target, const std::wstring& Text) {
    for (std::size_t I = 0; I < Text.size(); ++I) {
        const std::size_t Length =
            Text[I] >= 0xD800 && Text[I] <= 0xDBFF && I + 1 < Text.size() ? 2 : 1;
        TypeChar(Target, Text.substr(I, Length));
        I += Length - 1;
    }
}

std::unordered_set<HWND>& Composing() {
    static std::unordered_set<HWND> Windows;
    return Windows;
}

void CommitWide(HWND Target, const std::wstring& Text) {
    if (!Composing().count(Target))
        ::SendMessageW(Target, WM_IME_STARTCOMPOSITION, 0, 0);
    Composing().erase(Target);
    for (wchar_t Unit : Text)
        ::SendMessageW(Target, WM_IME_CHAR, Unit, 1);
    ::SendMessageW(Target, WM_IME_ENDCOMPOSITION, 0, 0);
}

std::wstring ClassOf(HWND Window) {
    wchar_t Name[64] = {};
    ::GetClassNameW(Window, Name, 64);
    return Name;
}

bool IsClass(HWND Window, const wchar_t* Name) {
    return ::lstrcmpiW(ClassOf(Window).c_str(), Name) == 0;
}

std::wstring TextOf(HWND Window) {
    std::wstring Text(static_cast<std::size_t>(::GetWindowTextLengthW(Window)) + 1, L'\0');
    Text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(Window, Text.data(), static_cast<int>(Text.size()))));
    return Text;
}

// The cursor shape whose handle Cursor is; crDefault for a cursor of the application's own.
TCursor ShapeOf(HCURSOR Cursor) {
    if (!Cursor)
        return crNone;
    // crArrow before crDefault: both show the arrow, and the arrow is what a test asks for.
    for (TCursor C = crArrow; C >= crSizeAll; --C)
        if (CursorOf(C) == Cursor)
            return C;
    return crDefault;
}

// The cursor of a sizing answer of the hit-test query.
TCursor SizingCursor(int Hit) {
    switch (Hit) {
    case HTLEFT:
    case HTRIGHT:
        return crSizeWE;
    case HTTOP:
    case HTBOTTOM:
        return crSizeNS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return crSizeNWSE;
    default:
        return crSizeNESW;
    }
}

HCURSOR ShownCursor(const TControl* Control) {
    HWND W = WindowOf(Control);
    const TControlLink* Link = LinkOf(W);
    if (Link && Link->CursorHit >= HTLEFT && Link->CursorHit <= HTBOTTOMRIGHT)
        return CursorOf(SizingCursor(Link->CursorHit));
    if (Link && Link->Cursor != crDefault)
        return CursorOf(Link->Cursor);
    return reinterpret_cast<HCURSOR>(::GetClassLongPtrW(W, GCLP_HCURSOR));
}

// A bitmap of Width x Height whose image Paint fills through its device context.
template <class F> std::unique_ptr<TBitmap> Picture(int Width, int Height, F&& Paint) {
    auto Result = std::make_unique<TBitmap>(Width, Height);
    TPlatformImage& Image = TGraphicsAccess::Image(*Result);
    if (Image.Dc) {
        Paint(Image.Dc);
        ImageChanged(Image);
    }
    return Result;
}

POINT ScreenPoint(HWND Window, TPoint At) {
    POINT P{At.X, At.Y};
    ::ClientToScreen(Window, &P);
    return P;
}

// Real input through the system, as a mouse gives it. Presses are stamped a double-click time
// apart, so that a test's presses never make a double click unasked, as on the layer's other
// platforms.
DWORD PressTime() {
    static DWORD Last = 0;
    Last = std::max<DWORD>(::GetTickCount(), Last + ::GetDoubleClickTime() + 1);
    return Last;
}

void SendPointer(DWORD Flags, POINT At) {
    const int Width = ::GetSystemMetrics(SM_CXSCREEN), Height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT In{};
    In.type = INPUT_MOUSE;
    In.mi.dx = static_cast<LONG>((At.x * 65535 + Width / 2) / std::max(Width - 1, 1));
    In.mi.dy = static_cast<LONG>((At.y * 65535 + Height / 2) / std::max(Height - 1, 1));
    In.mi.dwFlags = Flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    if (Flags)
        In.mi.time = PressTime();
    ::SendInput(1, &In, sizeof(In));
}

DWORD PressFlag(TMouseButton Button, bool Up) {
    switch (Button) {
    case mbRight:
        return Up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
    case mbMiddle:
        return Up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN;
    default:
        return Up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    }
}

int ButtonKey(TMouseButton Button) {
    return Button == mbRight ? VK_RBUTTON : Button == mbMiddle ? VK_MBUTTON : VK_LBUTTON;
}

HMENU MenuOf(TPlatformWidget* Menu) {
    return Hmenu(Menu);
}

constexpr UINT_PTR ItemsShownSubclassId = 0x57575453;

LRESULT CALLBACK ItemsShownProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR Id,
                                DWORD_PTR Data) {
    auto* Task = reinterpret_cast<std::function<void()>*>(Data);
    if (Msg == WM_NCDESTROY) {
        RemoveSubclass(Window, ItemsShownProc, Id);
        delete Task;
        return DefSubclass(Window, Msg, WParam, LParam);
    }
    const LRESULT Result = DefSubclass(Window, Msg, WParam, LParam);
    if (Msg == LB_SETCOUNT || Msg == LB_RESETCONTENT)
        (*Task)();
    return Result;
}

// Shows the top-level window of Control, which a window without parent becomes.
HWND ShowTop(TControl* Control) {
    HWND W = WindowOf(Control);
    while ((::GetWindowLongPtrW(W, GWL_STYLE) & WS_CHILD) && ::GetParent(W) != ParkingWindow())
        W = ::GetParent(W);
    Platform::SetWindowVisible(PlatformWidget(W), true);
    return W;
}

} // namespace

namespace TestSupport {

void Start(int& Argc, char** Argv) {
    (void)Argc;
    (void)Argv;
    StartTestApplication();
    HoldPopupMenus(true);
}

void ProcessEvents() {
    Platform::ProcessMessages();
}

void RunLater(std::function<void()> Task) {
    Platform::PostCall(PlatformWidget(ParkingWindow()), std::move(Task));
}

bool WaitUntil(const std::function<bool()>& Done, int Milliseconds) {
    const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(Milliseconds);
    for (;;) {
        Platform::ProcessMessages();
        if (Done())
            return true;
        if (std::chrono::steady_clock::now() >= End)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

TRect WorkArea() {
    return Platform::ScreenWorkArea();
}

void EnsureWindow(TControl* Control) {
    WindowOf(Control);
}

bool ShowAndWait(TControl* Control) {
    HWND Top = ShowTop(Control);
    ::UpdateWindow(Top);
    return WaitUntil([Top] { return ::IsWindowVisible(Top) != FALSE; });
}

void ShowWindow(TControl* Control) {
    ShowTop(Control);
}

bool Resizable(const TCustomForm* Form) {
    return (::GetWindowLongPtrW(WindowOf(Form), GWL_STYLE) & WS_THICKFRAME) != 0;
}

bool IsActiveWindow(const TControl* Control) {
    return ::GetActiveWindow() == TopOf(Control);
}

bool IsShown(const TControl* Control) {
    return ::IsWindowVisible(WindowOf(Control)) != FALSE;
}

void CloseWindow(TControl* Control) {
    ::SendMessageW(TopOf(Control), WM_CLOSE, 0, 0);
}

AnsiString WindowText(const TControl* Control) {
    return AnsiOf(TextOf(WindowOf(Control)));
}

std::u16string ShownText(const TControl* Control) {
    HWND W = WindowOf(Control);
    std::wstring Text = TextOf(W);
    if (IsClass(W, L"Edit")) {
        std::wstring Lines;
        for (std::size_t I = 0; I < Text.size(); ++I)
            if (!(Text[I] == L'\r' && I + 1 < Text.size() && Text[I + 1] == L'\n'))
                Lines.push_back(Text[I]);
        Text = Lines;
    }
    return std::u16string(Text.begin(), Text.end());
}

TRect WindowBounds(const TControl* Control) {
    HWND W = WindowOf(Control);
    RECT Client;
    ::GetClientRect(W, &Client);
    const bool Child = ::GetWindowLongPtrW(W, GWL_STYLE) & WS_CHILD;
    RECT Frame;
    ::GetWindowRect(W, &Frame);
    if (Child) {
        ::MapWindowPoints(HWND_DESKTOP, ::GetParent(W), reinterpret_cast<POINT*>(&Frame), 2);
        return TRect(Frame.left, Frame.top, Frame.right, Frame.bottom);
    }
    ::MapWindowPoints(W, HWND_DESKTOP, reinterpret_cast<POINT*>(&Client), 2);
    return TRect(Client.left, Client.top, Client.right, Client.bottom);
}

TControl* FocusedControl() {
    for (HWND W = ::GetFocus(); W; W = ::GetParent(W))
        if (TControl* C = ::ControlOf(W))
            return C;
    return nullptr;
}

TControl* ControlAt(TWinControl* Window, TPoint At) {
    HWND W = WindowOf(Window);
    RECT Client;
    ::GetClientRect(W, &Client);
    if (!::PtInRect(&Client, {At.X, At.Y}))
        return nullptr;
    HWND Found = W;
    POINT P{At.X, At.Y};
    for (;;) {
        HWND Child = ::ChildWindowFromPointEx(Found, P, CWP_SKIPINVISIBLE);
        if (!Child || Child == Found)
            break;
        ::MapWindowPoints(Found, Child, &P, 1);
        Found = Child;
    }
    for (; Found && Found != W; Found = ::GetParent(Found))
        if (TControl* C = ::ControlOf(Found))
            return C;
    return Window;
}

void Activate(TControl* Control) {
    HWND Top = TopOf(Control);
    ::SetForegroundWindow(Top);
    ::SetActiveWindow(Top);
}

bool ShowsChecked(const TControl* CheckBox) {
    HWND W = WindowOf(CheckBox);
    if (!IsClass(W, L"Button"))
        W = ::FindWindowExW(W, nullptr, L"Button", nullptr);
    return W && ::SendMessageW(W, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void OnItemsShown(TControl* ListBox, std::function<void()> Task) {
    static UINT_PTR NextId = ItemsShownSubclassId;
    SetSubclass(WindowOf(ListBox), ItemsShownProc, NextId++,
                        reinterpret_cast<DWORD_PTR>(new std::function<void()>(std::move(Task))));
}

int EditCaret(const TWinControl* Edit) {
    HWND W = WindowOf(Edit);
    if (!IsClass(W, L"Edit"))
        return -1;
    DWORD Start = 0, End = 0;
    ::SendMessageW(W, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    return static_cast<int>(End);
}

void PaintNow(TControl* Control, const TRect& Area) {
    const RECT R{Area.Left, Area.Top, Area.Right, Area.Bottom};
    ::RedrawWindow(WindowOf(Control), &R, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

std::unique_ptr<TBitmap> PaintArea(TControl* Control, const TRect& Area) {
    Platform::TImagePtr Whole = Platform::NewImage();
    Platform::ResizeImage(*Whole, Area.Right, Area.Bottom);
    TControlAccess::Paint(Control, *Whole, Area);
    // What stays transparent shows black, as an opaque copy of the picture does elsewhere.
    for (int Y = Area.Top; Y < Area.Bottom; ++Y)
        for (int X = Area.Left; X < Area.Right; ++X) {
            std::uint32_t& Pixel = Whole->Bits[Y * Whole->Width + X];
            if (Whole->HasAlpha && (Pixel >> 24) == 0)
                Pixel = 0;
        }
    return Picture(Area.Width(), Area.Height(), [&](HDC Dc) {
        ::BitBlt(Dc, 0, 0, Area.Width(), Area.Height(), Whole->Dc, Area.Left, Area.Top, SRCCOPY);
    });
}

// A shown window is taken from the screen: the system's own controls do not all print
// themselves as they draw (a themed group box prints part of its frame, a list box only its
// items), and the screen is what the user sees.
std::unique_ptr<TBitmap> WindowImage(const TControl* Control) {
    HWND W = WindowOf(Control);
    RECT Client;
    ::GetClientRect(W, &Client);
    if (!::IsWindowVisible(W))
        return Picture(Client.right, Client.bottom,
                       [&](HDC Dc) { PrintWindowInto(W, Dc, {0, 0}); });
    ::RedrawWindow(W, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const POINT Origin = ScreenPoint(W, {0, 0});
    const HDC Screen = ::GetDC(nullptr);
    auto Image = Picture(Client.right, Client.bottom, [&](HDC Dc) {
        ::BitBlt(Dc, 0, 0, Client.right, Client.bottom, Screen, Origin.x, Origin.y, SRCCOPY);
    });
    ::ReleaseDC(nullptr, Screen);
    return Image;
}

void MouseDown(TControl* Control, TMouseButton Button, TPoint At, TShiftState Shift) {
    SendMouse(Control, DownMessage(Button), At, Shift + TShiftState{ButtonState(Button)});
}

void MouseUp(TControl* Control, TMouseButton Button, TPoint At, TShiftState Shift) {
    SendMouse(Control, UpMessage(Button), At, Shift - TShiftState{ButtonState(Button)});
}

void MouseMove(TControl* Control, TPoint At, TShiftState Shift) {
    SendMouse(Control, WM_MOUSEMOVE, At, Shift);
}

void Click(TControl* Control, TMouseButton Button, TPoint At, TShiftState Shift) {
    MouseDown(Control, Button, At, Shift);
    MouseUp(Control, Button, At, Shift);
}

void DoubleClick(TControl* Control, TMouseButton Button, TPoint At, TShiftState Shift) {
    SendMouse(Control, DoubleMessage(Button), At, Shift + TShiftState{ButtonState(Button)});
}

void Wheel(TControl* Control, int Delta, TShiftState Shift, TPoint At) {
    HWND W = WindowOf(Control);
    const POINT P = ScreenPoint(W, At);
    WithShift(Shift, [&] {
        ::SendMessageW(W, WM_MOUSEWHEEL, MAKEWPARAM(FlagsOf(Shift), Delta), MAKELPARAM(P.x, P.y));
    });
}

bool ContextMenu(TControl* Control, TPoint At) {
    HWND W = WindowOf(Control);
    const POINT P = ScreenPoint(W, At);
    return ::SendMessageW(W, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(W), MAKELPARAM(P.x, P.y)) ==
           1;
}

void ClickWindow(TPlatformWidget* Window) {
    HWND W = Hwnd(Window);
    if (IsClass(W, L"Button")) {
        ::SendMessageW(W, BM_CLICK, 0, 0);
        return;
    }
    RECT Client;
    ::GetClientRect(W, &Client);
    const LPARAM Middle = MAKELPARAM(Client.right / 2, Client.bottom / 2);
    ::SendMessageW(W, WM_LBUTTONDOWN, MK_LBUTTON, Middle);
    ::SendMessageW(W, WM_LBUTTONUP, 0, Middle);
}

void PointerTo(TWinControl* Window, TPoint At) {
    const POINT P = ScreenPoint(WindowOf(Window), At);
    SendPointer(0, P);
    WaitUntil(
        [P] {
            POINT Now;
            return ::GetCursorPos(&Now) && Now.x == P.x && Now.y == P.y;
        },
        1000);
    Platform::ProcessMessages();
}

void PointerDown(TWinControl* Window, TPoint At, TMouseButton Button) {
    PointerTo(Window, At);
    SendPointer(PressFlag(Button, false), ScreenPoint(WindowOf(Window), At));
    WaitUntil([Button] { return ::GetKeyState(ButtonKey(Button)) < 0; }, 1000);
}

void PointerUp(TWinControl* Window, TPoint At, TMouseButton Button) {
    PointerTo(Window, At);
    SendPointer(PressFlag(Button, true), ScreenPoint(WindowOf(Window), At));
    WaitUntil([Button] { return ::GetKeyState(ButtonKey(Button)) >= 0; }, 1000);
    Platform::ProcessMessages();
}

void PointerToScreen(TPoint At) {
    ::SetCursorPos(At.X, At.Y);
    SendPointer(0, {At.X, At.Y});
}

void KeyDown(TWinControl* Control, unsigned short Key, TShiftState Shift) {
    SendKey(WindowOf(Control), false, Key, Shift);
}

void KeyUp(TWinControl* Control, unsigned short Key, TShiftState Shift) {
    SendKey(WindowOf(Control), true, Key, Shift);
}

void PressKey(TWinControl* Control, unsigned short Key, TShiftState Shift) {
    PressKeyIn(WindowOf(Control), Key, Shift);
}

void PressKeyInWindow(TWinControl* Window, unsigned short Key, TShiftState Shift) {
    HWND Top = TopOf(Window);
    HWND Focus = ::GetFocus();
    PressKeyIn(Focus && ::GetAncestor(Focus, GA_ROOT) == Top ? Focus : Top, Key, Shift);
}

void Type(TWinControl* Control, const AnsiString& Text) {
    TypeWide(WindowOf(Control), WideOf(Text));
}

void Type(TWinControl* Control, const std::u16string& Text) {
    TypeWide(WindowOf(Control), std::wstring(Text.begin(), Text.end()));
}

void Compose(TWinControl* Control, const AnsiString& Preedit) {
    (void)Preedit;
    HWND W = WindowOf(Control);
    if (Composing().insert(W).second)
        ::SendMessageW(W, WM_IME_STARTCOMPOSITION, 0, 0);
}

void Commit(TWinControl* Control, const AnsiString& Text) {
    CommitWide(WindowOf(Control), WideOf(Text));
}

void Commit(TWinControl* Control, const std::u16string& Text) {
    CommitWide(WindowOf(Control), std::wstring(Text.begin(), Text.end()));
}

bool InputMethodOn(const TWinControl* Control) {
    return ImeOn(WindowOf(Control));
}

TCursor CursorShape(const TControl* Control) {
    return ShapeOf(ShownCursor(Control));
}

TPoint CursorHotSpot(const TControl* Control) {
    ICONINFO Info{};
    if (!::GetIconInfo(ShownCursor(Control), &Info))
        return {};
    if (Info.hbmColor)
        ::DeleteObject(Info.hbmColor);
    if (Info.hbmMask)
        ::DeleteObject(Info.hbmMask);
    return {static_cast<int>(Info.xHotspot), static_cast<int>(Info.yHotspot)};
}

std::unique_ptr<TBitmap> CursorImage(const TControl* Control) {
    HCURSOR Cursor = ShownCursor(Control);
    ICONINFO Info{};
    if (!::GetIconInfo(Cursor, &Info))
        return std::make_unique<TBitmap>();
    BITMAP Mask{};
    ::GetObjectW(Info.hbmMask, sizeof(Mask), &Mask);
    const int Width = Mask.bmWidth;
    const int Height = Info.hbmColor ? Mask.bmHeight : Mask.bmHeight / 2;
    if (Info.hbmColor)
        ::DeleteObject(Info.hbmColor);
    ::DeleteObject(Info.hbmMask);
    return Picture(Width, Height, [&](HDC Dc) {
        ::DrawIconEx(Dc, 0, 0, Cursor, Width, Height, 0, nullptr, DI_NORMAL);
    });
}

TCursor ProgramCursor() {
    TCursor Shape = crDefault;
    return OverrideCursorShape(Shape) ? ShapeOf(CursorOf(Shape)) : crDefault;
}

AnsiString HintText(const TControl* Control) {
    return WindowHint(WindowOf(Control));
}

TPlatformWidget* ShownMenu() {
    return PlatformWidget(ShownPopupMenu());
}

std::vector<AnsiString> MenuItems(TPlatformWidget* Menu) {
    std::vector<AnsiString> Items;
    const int Count = ::GetMenuItemCount(MenuOf(Menu));
    for (int I = 0; I < Count; ++I) {
        wchar_t Text[256] = {};
        MENUITEMINFOW Item{};
        Item.cbSize = sizeof(Item);
        Item.fMask = MIIM_FTYPE | MIIM_STRING;
        Item.dwTypeData = Text;
        Item.cch = 255;
        ::GetMenuItemInfoW(MenuOf(Menu), static_cast<UINT>(I), TRUE, &Item);
        Items.push_back(Item.fType & MFT_SEPARATOR ? AnsiString("-") : AnsiOf(Text));
    }
    return Items;
}

bool MenuItemEnabled(TPlatformWidget* Menu, int Index) {
    return !(::GetMenuState(MenuOf(Menu), static_cast<UINT>(Index), MF_BYPOSITION) &
             (MF_GRAYED | MF_DISABLED));
}

bool MenuItemChecked(TPlatformWidget* Menu, int Index) {
    return (::GetMenuState(MenuOf(Menu), static_cast<UINT>(Index), MF_BYPOSITION) & MF_CHECKED) !=
           0;
}

TPlatformWidget* Submenu(TPlatformWidget* Menu, int Index) {
    return PlatformWidget(::GetSubMenu(MenuOf(Menu), Index));
}

TPoint MenuPosition(TPlatformWidget* Menu) {
    TPoint Position;
    return ShownPopupMenu(&Position) == MenuOf(Menu) ? Position : TPoint{};
}

void ChooseMenuItem(TPlatformWidget* Menu, int Index) {
    ChoosePopupItem(MenuOf(Menu), Index);
}

void CloseMenu(TPlatformWidget* Menu) {
    ClosePopupMenu(MenuOf(Menu));
}

} // namespace TestSupport
