// The platform's pointer and input on Win32: cursors, screen points, capture, the program-wide
// input hook, keys and buttons as the layer counts them.
#include "Win32Host.h"

#include <map>
#include <vector>

namespace {

HWND H(TPlatformWidget* Window) {
    return Hwnd(Window);
}

std::map<TCursor, HCURSOR>& RegisteredCursors() {
    static std::map<TCursor, HCURSOR> Cursors;
    return Cursors;
}

std::vector<TCursor>& OverrideCursors() {
    static std::vector<TCursor> Stack;
    return Stack;
}

std::function<bool(const Platform::TInput&)>& InputHook() {
    static std::function<bool(const Platform::TInput&)> Hook;
    return Hook;
}

HWND& CapturedWindow() {
    static HWND Window = nullptr;
    return Window;
}

// The program's own hand cursor, when it carries one, is the hand of every control, so that
// links, lists and buttons point alike.
const char* const HandPointName = "HANDPOINT";

HCURSOR SystemCursor(TCursor Cursor) {
    static const std::map<TCursor, const wchar_t*> Shapes{
        {crDefault, IDC_ARROW},
        {crArrow, IDC_ARROW},
        {crCross, IDC_CROSS},
        {crIBeam, IDC_IBEAM},
        {crSizeNESW, IDC_SIZENESW},
        {crSizeNS, IDC_SIZENS},
        {crSizeNWSE, IDC_SIZENWSE},
        {crSizeWE, IDC_SIZEWE},
        {crUpArrow, IDC_UPARROW},
        {crHourGlass, IDC_WAIT},
        {crDrag, IDC_ARROW},
        {crNoDrop, IDC_NO},
        {crHSplit, IDC_SIZEWE},
        {crVSplit, IDC_SIZENS},
        {crMultiDrag, IDC_ARROW},
        {crSQLWait, IDC_WAIT},
        {crNo, IDC_NO},
        {crAppStart, IDC_APPSTARTING},
        {crHelp, IDC_HELP},
        {crHandPoint, IDC_HAND},
        {crSizeAll, IDC_SIZEALL},
    };
    const auto Shape = Shapes.find(Cursor);
    return ::LoadCursorW(nullptr, Shape == Shapes.end() ? IDC_ARROW : Shape->second);
}

// Shows the cursor that belongs under the pointer now, as the system does when it moves.
void RefreshCursor() {
    POINT P;
    if (!::GetCursorPos(&P))
        return;
    HWND Window = ::GetCapture();
    if (!Window)
        Window = ::WindowFromPoint(P);
    if (!Window || ::GetWindowThreadProcessId(Window, nullptr) != ::GetCurrentThreadId())
        return;
    const auto Hit = ::SendMessageW(Window, WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y));
    ::SendMessageW(Window, WM_SETCURSOR, reinterpret_cast<WPARAM>(Window),
                   MAKELPARAM(Hit, WM_MOUSEMOVE));
}

void ShowOverride() {
    if (OverrideCursors().empty())
        RefreshCursor();
    else
        ::SetCursor(CursorOf(OverrideCursors().back()));
}

TMouseButton ButtonOfUp(UINT Msg) {
    return Msg == WM_RBUTTONUP ? mbRight : Msg == WM_MBUTTONUP ? mbMiddle : mbLeft;
}

bool IsOwnWindow(HWND Window) {
    DWORD Process = 0;
    ::GetWindowThreadProcessId(Window, &Process);
    return Process == ::GetCurrentProcessId();
}

} // namespace

HCURSOR CursorOf(TCursor Cursor) {
    const auto Registered = RegisteredCursors().find(Cursor);
    if (Registered != RegisteredCursors().end())
        return Registered->second;
    if (Cursor == crNone)
        return nullptr;
    if (Cursor == crHandPoint) {
        static const std::shared_ptr<const TCursorImage> Hand =
            Platform::LoadResourceCursor(HandPointName);
        if (Hand)
            return Hand->Cursor;
    }
    return SystemCursor(Cursor);
}

bool OverrideCursorShape(TCursor& Shape) {
    if (OverrideCursors().empty())
        return false;
    Shape = OverrideCursors().back();
    return true;
}

TShiftState CurrentShiftState() {
    TShiftState Shift;
    const auto Down = [](int Key) { return ::GetKeyState(Key) < 0; };
    if (Down(VK_SHIFT))
        Shift.Include(ssShift);
    if (Down(VK_MENU))
        Shift.Include(ssAlt);
    if (Down(VK_CONTROL))
        Shift.Include(ssCtrl);
    if (Down(VK_LBUTTON))
        Shift.Include(ssLeft);
    if (Down(VK_RBUTTON))
        Shift.Include(ssRight);
    if (Down(VK_MBUTTON))
        Shift.Include(ssMiddle);
    return Shift;
}

unsigned short LayerKeyOf(WPARAM VirtualKey) {
    return static_cast<unsigned short>(VirtualKey & 0xFFFF);
}

bool RunInputHook(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!InputHook())
        return false;
    // The hook may set another hook while it runs.
    const auto Run = InputHook();
    switch (Msg) {
    case WM_KEYDOWN:
        return WParam == VK_ESCAPE && Run({Platform::TInput::EscapeKey, {}, mbLeft, {}});
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        ::ClientToScreen(Window, &P);
        if (Msg == WM_MOUSEMOVE)
            return Run({Platform::TInput::PointerMove, {P.x, P.y}, mbLeft, {}});
        TShiftState Shift = ShiftStateOfFlags(WParam);
        if (CurrentShiftState().Contains(ssAlt))
            Shift.Include(ssAlt);
        return Run({Platform::TInput::ButtonUp, {P.x, P.y}, ButtonOfUp(Msg), Shift});
    }
    default:
        return false;
    }
}

namespace Platform {

void SetWindowCursor(TPlatformWidget* Window, TCursor Cursor) {
    TControlLink* Link = LinkOf(H(Window));
    if (!Link || Link->Cursor == Cursor)
        return;
    Link->Cursor = Cursor;
    POINT P;
    if (::GetCursorPos(&P) && ::WindowFromPoint(P) == H(Window))
        RefreshCursor();
}

TPoint ClientToScreen(TPlatformWidget* Window, TPoint P) {
    POINT Q{P.X, P.Y};
    ::ClientToScreen(H(Window), &Q);
    return {Q.x, Q.y};
}

TPoint ScreenToClient(TPlatformWidget* Window, TPoint P) {
    POINT Q{P.X, P.Y};
    ::ScreenToClient(H(Window), &Q);
    return {Q.x, Q.y};
}

TPoint PointerPosition() {
    POINT P{};
    ::GetCursorPos(&P);
    return {P.x, P.y};
}

int WindowHitTest(TPlatformWidget* Window, TPoint Screen) {
    auto* Control = dynamic_cast<TWinControl*>(ControlOf(H(Window)));
    return Control ? TControlAccess::HitTest(Control, Screen) : HTNOWHERE;
}

TControl* ControlAt(TPoint Screen) {
    HWND Window = ::WindowFromPoint({Screen.X, Screen.Y});
    if (!Window || !IsOwnWindow(Window))
        return nullptr;
    // WindowFromPoint passes over disabled windows, which still stand for their controls.
    for (;;) {
        POINT P{Screen.X, Screen.Y};
        ::ScreenToClient(Window, &P);
        HWND Child = ::ChildWindowFromPointEx(Window, P, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!Child || Child == Window)
            break;
        Window = Child;
    }
    for (; Window; Window = ::GetParent(Window)) {
        TControl* Control = ControlOf(Window);
        while (Control && !Control->Enabled())
            Control = Control->Parent();
        if (Control)
            return Control;
    }
    return nullptr;
}

bool SetCapture(TPlatformWidget* Window) {
    if (!::IsWindowVisible(H(Window)))
        return false;
    ::SetCapture(H(Window));
    CapturedWindow() = H(Window);
    return true;
}

void ReleaseCapture() {
    if (CapturedWindow() && ::GetCapture() == CapturedWindow())
        ::ReleaseCapture();
    CapturedWindow() = nullptr;
}

void PushOverrideCursor(TCursor Cursor) {
    OverrideCursors().push_back(Cursor);
    ShowOverride();
}

void ChangeOverrideCursor(TCursor Cursor) {
    if (OverrideCursors().empty())
        return;
    OverrideCursors().back() = Cursor;
    ShowOverride();
}

void PopOverrideCursor() {
    if (OverrideCursors().empty())
        return;
    OverrideCursors().pop_back();
    ShowOverride();
}

void RegisterCursor(TCursor Index, const TCursorImage& Cursor) {
    RegisteredCursors()[Index] = Cursor.Cursor;
}

void UnregisterCursor(TCursor Index) {
    RegisteredCursors().erase(Index);
}

void SetInputHook(std::function<bool(const TInput&)> Hook) {
    InputHook() = std::move(Hook);
}

void RemoveInputHook() {
    InputHook() = nullptr;
}

} // namespace Platform
