#include "Win32Host.h"

#include "Win32Files.h"
#include "Win32Subclass.h"
#include "Win32Text.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace {

// The subclass of a native window that the layer attached to its control.
constexpr UINT_PTR AttachSubclassId = 0x51A7;

std::unordered_map<HWND, TControlLink*>& Links() {
    static std::unordered_map<HWND, TControlLink*> Map;
    return Map;
}

std::unordered_map<HWND, TReflectHandler>& ReflectHandlers() {
    static std::unordered_map<HWND, TReflectHandler> Map;
    return Map;
}

bool IsSizingAnswer(int Hit) {
    return Hit >= HTLEFT && Hit <= HTBOTTOMRIGHT;
}

bool IsDragAnswer(int Hit) {
    return Hit == HTCAPTION || IsSizingAnswer(Hit);
}

// Dragging an edge shrinks a window no further, so that its edges stay within reach.
constexpr int MinDragSize = 16;
// The area a window without a parent may be dragged in.
constexpr int Unbounded = 1 << 24;

TRect DragArea(const TWinControl* Window) {
    if (const TWinControl* Parent = Window->Parent())
        return Parent->ClientRect();
    return Rect(-Unbounded, -Unbounded, Unbounded, Unbounded);
}

// The bounds of a window whose part Hit has been dragged by Delta from Start: the caption
// moves the whole window, an edge or corner moves only its own sides; all stay within Area.
TRect DraggedBounds(int Hit, const TRect& Start, TPoint Delta, const TRect& Area) {
    if (Hit == HTCAPTION) {
        const int Left =
            std::max(Area.Left, std::min(Start.Left + Delta.X, Area.Right - Start.Width()));
        const int Top =
            std::max(Area.Top, std::min(Start.Top + Delta.Y, Area.Bottom - Start.Height()));
        return Bounds(Left, Top, Start.Width(), Start.Height());
    }
    TRect R = Start;
    if (Hit == HTLEFT || Hit == HTTOPLEFT || Hit == HTBOTTOMLEFT)
        R.Left = std::max(Area.Left, std::min(Start.Left + Delta.X, Start.Right - MinDragSize));
    if (Hit == HTRIGHT || Hit == HTTOPRIGHT || Hit == HTBOTTOMRIGHT)
        R.Right = std::min(Area.Right, std::max(Start.Right + Delta.X, Start.Left + MinDragSize));
    if (Hit == HTTOP || Hit == HTTOPLEFT || Hit == HTTOPRIGHT)
        R.Top = std::max(Area.Top, std::min(Start.Top + Delta.Y, Start.Bottom - MinDragSize));
    if (Hit == HTBOTTOM || Hit == HTBOTTOMLEFT || Hit == HTBOTTOMRIGHT)
        R.Bottom = std::min(Area.Bottom, std::max(Start.Bottom + Delta.Y, Start.Top + MinDragSize));
    return R;
}

TPoint ScreenPointOf(HWND Window, LPARAM LParam) {
    POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
    ::ClientToScreen(Window, &P);
    return {P.x, P.y};
}

bool IsMouseMessage(UINT Msg) {
    return Msg >= WM_MOUSEMOVE && Msg <= WM_MBUTTONDBLCLK;
}

TMouseButton ButtonOfMessage(UINT Msg) {
    switch (Msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

bool IsButtonDown(UINT Msg) {
    return Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN;
}

bool IsButtonUp(UINT Msg) {
    return Msg == WM_LBUTTONUP || Msg == WM_RBUTTONUP || Msg == WM_MBUTTONUP;
}

constexpr WPARAM AnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

// A focus change between two windows of one top-level window is the user's; one that comes
// with the activation of a window is not, as on the layer's other platforms.
bool IsUserFocusChange(HWND Window, HWND Other) {
    return Other && ::GetAncestor(Window, GA_ROOT) == ::GetAncestor(Other, GA_ROOT);
}

// The child window a parent's notification names.
HWND NotifyingChild(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return reinterpret_cast<HWND>(LParam);
    case WM_NOTIFY:
        return reinterpret_cast<const NMHDR*>(LParam)->hwndFrom;
    case WM_DRAWITEM:
        return reinterpret_cast<const DRAWITEMSTRUCT*>(LParam)->hwndItem;
    default:
        (void)WParam;
        return nullptr;
    }
}

} // namespace

TControlLink::TControlLink(TControl* AControl, bool AHost) : FControl(AControl), FHost(AHost) {
    TControlAccess::Link(AControl) = this;
}

TControlLink::~TControlLink() {
    Links().erase(FWindow);
    if (FControl && TControlAccess::Link(FControl) == this) {
        TControlAccess::Link(FControl) = nullptr;
        TControlAccess::ForgetWidget(FControl);
    }
}

void TControlLink::SetWindow(HWND AWindow) {
    FWindow = AWindow;
    Links()[AWindow] = this;
}

void TControlLink::Detach() {
    if (FControl && TControlAccess::Link(FControl) == this)
        TControlAccess::Link(FControl) = nullptr;
    FControl = nullptr;
}

TControlLink* LinkOf(HWND Window) {
    const auto It = Links().find(Window);
    return It == Links().end() ? nullptr : It->second;
}

std::vector<HWND> TransparentChildren(HWND Parent) {
    std::vector<HWND> Children;
    for (const auto& [Window, Link] : Links())
        if (Link->Host() && !Link->Opaque && ::GetAncestor(Window, GA_PARENT) == Parent)
            Children.push_back(Window);
    return Children;
}

TControl* ControlOf(HWND Window) {
    const TControlLink* Link = LinkOf(Window);
    return Link ? Link->Control() : nullptr;
}

void SetReflectHandler(HWND Child, TReflectHandler Handler) {
    if (Handler)
        ReflectHandlers()[Child] = std::move(Handler);
    else
        ReflectHandlers().erase(Child);
}

namespace {

bool IsColorMessage(UINT Msg) {
    return Msg == WM_CTLCOLORSTATIC || Msg == WM_CTLCOLOREDIT || Msg == WM_CTLCOLORLISTBOX ||
           Msg == WM_CTLCOLORBTN;
}

HBRUSH BrushOf(COLORREF Color) {
    static std::unordered_map<COLORREF, HBRUSH> Brushes;
    HBRUSH& Brush = Brushes[Color];
    if (!Brush)
        Brush = ::CreateSolidBrush(Color);
    return Brush;
}

// A native control shows its control's colour and font colour.
bool AnswerColor(HWND Child, WPARAM WParam, LRESULT& Result) {
    TControl* Control = ControlOf(Child);
    if (!Control)
        return false;
    auto* Dc = reinterpret_cast<HDC>(WParam);
    const COLORREF Back = ToColorRef(Control->Color());
    ::SetTextColor(Dc, ToColorRef(Control->Font()->Color()));
    ::SetBkColor(Dc, Back);
    Result = reinterpret_cast<LRESULT>(BrushOf(Back));
    return true;
}

} // namespace

bool ReflectToChild(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
    HWND Child = NotifyingChild(Msg, WParam, LParam);
    if (!Child)
        return false;
    const auto It = ReflectHandlers().find(Child);
    if (It != ReflectHandlers().end()) {
        // The handler may remove itself while it runs.
        const TReflectHandler Handler = It->second;
        bool Handled = false;
        SafeCall([&] { Handled = Handler(Msg, WParam, LParam, Result); });
        if (Handled)
            return true;
    }
    return IsColorMessage(Msg) && AnswerColor(Child, WParam, Result);
}

void PrintWindowInto(HWND Window, HDC Dc, TPoint Offset) {
    RECT Client;
    ::GetClientRect(Window, &Client);
    const int Saved = ::SaveDC(Dc);
    POINT Old;
    ::OffsetViewportOrgEx(Dc, Offset.X, Offset.Y, &Old);
    ::IntersectClipRect(Dc, 0, 0, Client.right, Client.bottom);
    ::SendMessageW(Window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Dc),
                   PRF_CLIENT | PRF_ERASEBKGND);
    std::vector<HWND> Children;
    for (HWND Child = ::GetWindow(Window, GW_CHILD); Child; Child = ::GetWindow(Child, GW_HWNDNEXT))
        Children.push_back(Child);
    // The lowest child first, so that the upper ones cover it.
    for (auto It = Children.rbegin(); It != Children.rend(); ++It) {
        if (!(::GetWindowLongPtrW(*It, GWL_STYLE) & WS_VISIBLE))
            continue;
        RECT Frame;
        ::GetWindowRect(*It, &Frame);
        ::MapWindowPoints(HWND_DESKTOP, Window, reinterpret_cast<POINT*>(&Frame), 2);
        POINT Origin{0, 0};
        ::MapWindowPoints(*It, Window, &Origin, 1);
        if (Origin.x != Frame.left || Origin.y != Frame.top) {
            const int Inner = ::SaveDC(Dc);
            ::OffsetViewportOrgEx(Dc, Frame.left, Frame.top, nullptr);
            ::SendMessageW(*It, WM_PRINT, reinterpret_cast<WPARAM>(Dc), PRF_NONCLIENT);
            ::RestoreDC(Dc, Inner);
        }
        PrintWindowInto(*It, Dc, {Origin.x, Origin.y});
    }
    ::RestoreDC(Dc, Saved);
}

int& OwnPlacementDepth() {
    static int Depth = 0;
    return Depth;
}

TOwnPlacement::TOwnPlacement() {
    ++OwnPlacementDepth();
}

TOwnPlacement::~TOwnPlacement() {
    --OwnPlacementDepth();
}

// ---- Painting

// Runs a paint, reporting an exception later from the message loop: a modal error report inside
// a paint would paint again while the canvas is busy.
void SafePaint(const std::function<void()>& Paint) {
    try {
        Paint();
    } catch (const std::exception& E) {
        auto Failure = std::make_shared<Exception>(E.what());
        Platform::PostCall(PlatformWidget(ParkingWindow()),
                           [Failure] { ReportException(*Failure); });
    }
}

namespace {

struct TCanvasBinding {
    TCanvas& Canvas;
    ~TCanvasBinding() { TGraphicsAccess::EndPaint(Canvas); }
};

void FillImage(TPlatformImage& Image, const TRect& Area, COLORREF Color) {
    HBRUSH Brush = ::CreateSolidBrush(Color);
    RECT R{Area.Left, Area.Top, Area.Right, Area.Bottom};
    ::FillRect(Image.Dc, &R, Brush);
    ::DeleteObject(Brush);
    ImageChanged(Image);
}

} // namespace

void TControlAccess::Paint(TControl* Control, TPlatformImage& Image, const TRect& Area) {
    if (Control->OpaquePaint()) {
        FillImage(Image, Area, ToColorRef(Control->FColor));
    } else {
        for (int Y = std::max(Area.Top, 0); Y < std::min(Area.Bottom, Image.Height); ++Y)
            for (int X = std::max(Area.Left, 0); X < std::min(Area.Right, Image.Width); ++X)
                Image.Bits[Y * Image.Width + X] = 0;
        ImageChanged(Image);
    }
    PaintOver(Control, Image, Area, {});
}

void TControlAccess::PaintOver(TControl* Control, TPlatformImage& Image, const TRect& Area,
                               TPoint Offset) {
    TCanvasBinding Binding{*Control->FCanvas};
    TGraphicsAccess::BeginPaint(Binding.Canvas, Image, Offset);
    Binding.Canvas.SetClipRect(Area);
    Control->Paint();
}

namespace {

// Paints what lies beneath Window's Area (Window's client coordinates) into Image: the
// parent's control, itself over its own parent while it is not opaque; a native parent
// prints its client area; beneath a top-level window lies the system's face.
void PaintBeneath(HWND Window, TPlatformImage& Image, const TRect& Area, TPoint Offset) {
    HWND Parent = ::GetParent(Window);
    if (!Parent || !(::GetWindowLongPtrW(Window, GWL_STYLE) & WS_CHILD)) {
        const TRect OnImage =
            Bounds(Offset.X + Area.Left, Offset.Y + Area.Top, Area.Width(), Area.Height());
        FillImage(Image, OnImage, ::GetSysColor(COLOR_BTNFACE));
        return;
    }
    RECT Place;
    ::GetWindowRect(Window, &Place);
    ::MapWindowPoints(HWND_DESKTOP, Parent, reinterpret_cast<POINT*>(&Place), 2);
    const TPoint ParentOffset{Offset.X - Place.left, Offset.Y - Place.top};
    const TRect ParentArea =
        Bounds(Area.Left + Place.left, Area.Top + Place.top, Area.Width(), Area.Height());
    TControl* Control = ControlOf(Parent);
    const TControlLink* Link = Control ? TControlAccess::Link(Control) : nullptr;
    if (!Link || !Link->Host()) {
        POINT Old;
        ::SetViewportOrgEx(Image.Dc, ParentOffset.X, ParentOffset.Y, &Old);
        ::SendMessageW(Parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Image.Dc),
                       PRF_CLIENT | PRF_ERASEBKGND);
        ::SetViewportOrgEx(Image.Dc, Old.x, Old.y, nullptr);
        ImageChanged(Image);
        return;
    }
    if (Link->Opaque) {
        const TRect OnImage =
            Bounds(Offset.X + Area.Left, Offset.Y + Area.Top, Area.Width(), Area.Height());
        FillImage(Image, OnImage, ToColorRef(Control->Color()));
    } else {
        PaintBeneath(Parent, Image, ParentArea, ParentOffset);
    }
    SafePaint([&] { TControlAccess::PaintOver(Control, Image, ParentArea, ParentOffset); });
}

} // namespace

void TControlLink::Paint() {
    PAINTSTRUCT Ps;
    HDC Dc = ::BeginPaint(FWindow, &Ps);
    RECT Client;
    ::GetClientRect(FWindow, &Client);
    if (Cache.Width != Client.right || Cache.Height != Client.bottom)
        Platform::ResizeImage(Cache, Client.right, Client.bottom);
    const RECT& R = Ps.rcPaint;
    if (Cache.Dc && FControl && R.right > R.left && R.bottom > R.top) {
        const TRect Area(R.left, R.top, R.right, R.bottom);
        SafePaint([&] {
            if (Opaque) {
                TControlAccess::Paint(FControl, Cache, Area);
                return;
            }
            PaintBeneath(FWindow, Cache, Area, {});
            TControlAccess::PaintOver(FControl, Cache, Area, {});
        });
        ::BitBlt(Dc, R.left, R.top, R.right - R.left, R.bottom - R.top, Cache.Dc, R.left, R.top,
                 SRCCOPY);
    }
    ::EndPaint(FWindow, &Ps);
}

// The whole client area into a device context of the caller's (WM_PRINTCLIENT).
void TControlLink::PrintClient(HDC Dc) {
    RECT Client;
    ::GetClientRect(FWindow, &Client);
    if (Cache.Width != Client.right || Cache.Height != Client.bottom)
        Platform::ResizeImage(Cache, Client.right, Client.bottom);
    if (!Cache.Dc || !FControl)
        return;
    const TRect Area(0, 0, Client.right, Client.bottom);
    SafePaint([&] {
        if (!Opaque)
            PaintBeneath(FWindow, Cache, Area, {});
        if (Opaque)
            TControlAccess::Paint(FControl, Cache, Area);
        else
            TControlAccess::PaintOver(FControl, Cache, Area, {});
    });
    ::BitBlt(Dc, 0, 0, Client.right, Client.bottom, Cache.Dc, 0, 0, SRCCOPY);
}

// ---- Input

TWinControl* TControlLink::SurfaceWindow() const {
    auto* Window = dynamic_cast<TWinControl*>(FControl);
    return Window ? Window : FControl->Parent();
}

int TControlLink::HitTest(TPoint Screen) {
    int Hit = HTCLIENT;
    if (TWinControl* Window = SurfaceWindow())
        SafeCall([&] { Hit = TControlAccess::HitTest(Window, Screen); });
    return Hit;
}

bool TControlLink::Drag(WPARAM WParam, LPARAM LParam) {
    const TPoint Screen = ScreenPointOf(FWindow, LParam);
    const TPoint Delta{Screen.X - FDrag.Start.X, Screen.Y - FDrag.Start.Y};
    const TRect R = DraggedBounds(FDrag.Hit, FDrag.Bounds, Delta, DragArea(FDrag.Window));
    TWinControl* Window = FDrag.Window;
    if (!(WParam & MK_LBUTTON)) {
        FDrag = {};
        if (::GetCapture() == FWindow)
            ::ReleaseCapture();
    }
    SafeCall([&] { Window->SetBounds(R.Left, R.Top, R.Width(), R.Height()); });
    return true;
}

bool TControlLink::Mouse(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (FDrag.Window)
        return Drag(WParam, LParam);
    if (Msg == WM_MOUSEMOVE && !FInside) {
        FInside = true;
        TRACKMOUSEEVENT Track{sizeof(Track), TME_LEAVE, FWindow, 0};
        ::TrackMouseEvent(&Track);
        SafeCall([&] { TControlAccess::MouseEnter(FControl); });
        if (!FControl)
            return FHost;
    }
    const TPoint Screen = ScreenPointOf(FWindow, LParam);
    const int Hit = HitTest(Screen);
    CursorHit = Hit;
    if (Hit == HTCLIENT)
        return Forward(Msg, WParam, LParam);
    if (IsDragAnswer(Hit) && Msg == WM_LBUTTONDOWN) {
        TWinControl* Window = SurfaceWindow();
        FDrag = {Window, Hit, Screen, Window->BoundsRect()};
        ::SetCapture(FWindow);
    }
    return true;
}

bool TControlLink::Forward(UINT Msg, WPARAM WParam, LPARAM LParam) {
    const int X = GET_X_LPARAM(LParam), Y = GET_Y_LPARAM(LParam);
    TShiftState Shift = ShiftStateOfFlags(WParam);
    if (CurrentShiftState().Contains(ssAlt))
        Shift.Include(ssAlt);
    if (Msg == WM_MOUSEMOVE) {
        SafeCall([&] { TControlAccess::MouseMove(FControl, Shift, X, Y); });
        return FHost;
    }
    const TMouseButton Button = ButtonOfMessage(Msg);
    if (FHost && IsButtonDown(Msg) && !::GetCapture()) {
        ::SetCapture(FWindow);
        FOwnCapture = true;
    }
    TControl* Control = FControl;
    SafeCall([&] {
        if (IsButtonDown(Msg)) {
            TControlAccess::MouseDown(Control, Button, Shift, X, Y);
        } else if (IsButtonUp(Msg)) {
            TControlAccess::MouseUp(Control, Button, Shift, X, Y);
        } else {
            Shift.Include(ssDouble);
            TControlAccess::DblClick(Control, Button, Shift, X, Y);
        }
    });
    if (IsButtonUp(Msg) && FOwnCapture && !(WParam & AnyButton)) {
        FOwnCapture = false;
        if (::GetCapture() == FWindow)
            ::ReleaseCapture();
    }
    // The right button's release goes on, so that the system asks for a context menu.
    return FHost && Msg != WM_RBUTTONUP;
}

bool TControlLink::Key(UINT Msg, WPARAM WParam) {
    auto* Win = dynamic_cast<TWinControl*>(FControl);
    if (!Win)
        return false;
    unsigned short VirtualKey = LayerKeyOf(WParam);
    const TShiftState Shift = CurrentShiftState();
    const bool Up = Msg == WM_KEYUP || Msg == WM_SYSKEYUP;
    SafeCall([&] {
        if (Up)
            TControlAccess::KeyUp(Win, VirtualKey, Shift);
        else
            TControlAccess::KeyDown(Win, VirtualKey, Shift);
    });
    if (VirtualKey == 0)
        return true;
    if (!Up && WParam == VK_TAB && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt) &&
        MoveFocusByTab(FWindow, Shift.Contains(ssShift))) {
        FTabMoved = true;
        return true;
    }
    if (!Up && WParam == VK_RETURN && !FHost && PressDefaultButton(FWindow))
        return true;
    // System keys (Alt+F4, the menu key) keep their meaning.
    return FHost && Msg != WM_SYSKEYDOWN && Msg != WM_SYSKEYUP;
}

// A character typed: its code page 932 bytes go to KeyPress, which may change or swallow it.
bool TControlLink::Char(WPARAM WParam, LPARAM LParam) {
    auto* Win = dynamic_cast<TWinControl*>(FControl);
    if (!Win || FResending)
        return false;
    const auto Unit = static_cast<wchar_t>(WParam);
    // Code page 932 holds no character beyond the 16-bit range: a native window takes it as it
    // is, a host window never sees it.
    if (Unit >= 0xD800 && Unit <= 0xDFFF)
        return FHost;
    if (Unit == L'\t' && std::exchange(FTabMoved, false))
        return true;
    const std::wstring Wide(1, Unit);
    AnsiString Typed = AnsiOf(Wide);
    if (WideOf(Typed) != Wide)
        return FHost;
    const AnsiString Original = Typed;
    SafeCall([&] { TControlAccess::KeyPress(Win, Typed); });
    if (FHost || Typed == Original)
        return FHost;
    FResending = true;
    for (wchar_t Changed : WideOf(Typed))
        ::SendMessageW(FWindow, WM_CHAR, Changed, LParam);
    FResending = false;
    return true;
}

// The input method's finished text arrives a character at a time; one the code page lacks is
// dropped.
bool TControlLink::ImeChar(WPARAM WParam) {
    auto* Win = dynamic_cast<TWinControl*>(FControl);
    if (!Win || !FHost)
        return false;
    const std::wstring Wide(1, static_cast<wchar_t>(WParam));
    AnsiString Typed = AnsiOf(Wide);
    if (WideOf(Typed) == Wide)
        SafeCall([&] { TControlAccess::KeyPress(Win, Typed); });
    return true;
}

bool TControlLink::Focus(UINT Msg, WPARAM WParam) {
    ForgetFocus();
    auto* Win = dynamic_cast<TWinControl*>(FControl);
    if (Win && IsUserFocusChange(FWindow, reinterpret_cast<HWND>(WParam)))
        SafeCall([&] {
            if (Msg == WM_SETFOCUS)
                TControlAccess::Enter(Win);
            else
                TControlAccess::Exit(Win);
        });
    if (Msg == WM_SETFOCUS)
        RememberFocus(FWindow);
    return false;
}

bool TControlLink::ContextMenu(LPARAM LParam) {
    POINT Screen{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
    if (LParam == -1) {
        Screen = {0, 0};
        ::ClientToScreen(FWindow, &Screen);
    }
    if (HitTest({Screen.x, Screen.y}) != HTCLIENT)
        return true;
    if (!FControl->GetPopupMenu())
        return false;
    POINT Client = Screen;
    ::ScreenToClient(FWindow, &Client);
    SafeCall([&] { TControlAccess::ContextMenu(FControl, Client.x, Client.y); });
    return true;
}

bool TControlLink::SetCursor(WPARAM WParam, LPARAM LParam) {
    if (reinterpret_cast<HWND>(WParam) != FWindow || LOWORD(LParam) != HTCLIENT)
        return false;
    TCursor Shape = Cursor;
    if (!OverrideCursorShape(Shape) && Shape == crDefault)
        return false;
    ::SetCursor(CursorOf(Shape));
    return true;
}

bool TControlLink::Wheel(WPARAM WParam) {
    TShiftState Shift = ShiftStateOfFlags(GET_KEYSTATE_WPARAM(WParam));
    if (CurrentShiftState().Contains(ssAlt))
        Shift.Include(ssAlt);
    SafeCall([&] { TControlAccess::Wheel(FControl, GET_WHEEL_DELTA_WPARAM(WParam), Shift); });
    return FHost;
}

// Inside the client area the control answers; its frame is the system's.
bool TControlLink::NcHitTest(LPARAM LParam, LRESULT& Result) {
    const TPoint Screen{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
    RECT Client;
    ::GetClientRect(FWindow, &Client);
    POINT P{Screen.X, Screen.Y};
    ::ScreenToClient(FWindow, &P);
    if (!::PtInRect(&Client, P))
        return false;
    Result = HitTest(Screen);
    return true;
}

bool TControlLink::Handle(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
    Result = 0;

    if (RunInputHook(FWindow, Msg, WParam, LParam))
        return true;
    if (FHost && ReflectToChild(Msg, WParam, LParam, Result))
        return true;
    if (!FControl)
        return false;
    if (IsMouseMessage(Msg))
        return Mouse(Msg, WParam, LParam);
    switch (Msg) {
    case WM_PAINT:
        if (!FHost)
            return false;
        Paint();
        return true;
    case WM_PRINTCLIENT:
        if (!FHost)
            return false;
        PrintClient(reinterpret_cast<HDC>(WParam));
        return true;
    case WM_ERASEBKGND:
        Result = 1;
        return FHost;
    case WM_NCHITTEST:
        return FHost && NcHitTest(LParam, Result);
    case WM_MOUSELEAVE:
        FInside = false;
        SafeCall([&] { TControlAccess::MouseLeave(FControl); });
        return FHost;
    case WM_MOUSEWHEEL:
        return Wheel(WParam);
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(LParam) != FWindow) {
            FOwnCapture = false;
            FDrag = {};
        }
        return false;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        return Key(Msg, WParam);
    case WM_CHAR:
        return Char(WParam, LParam);
    case WM_SYSCHAR:
        // Bit 29: Alt is held.
        return (LParam & (1 << 29)) && PressMnemonic(FWindow, static_cast<wchar_t>(WParam));
    case WM_IME_CHAR:
        return ImeChar(WParam);
    case WM_GETDLGCODE:
        Result = DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        return FHost;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return Focus(Msg, WParam);
    case WM_SIZE:
        if (!FControl->HandleAllocated() || OwnPlacementDepth() > 0 || WParam == SIZE_MINIMIZED)
            return false;
        SafeCall(
            [&] { TControlAccess::Resize(FControl, GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)); });
        return false;
    case WM_MOVE:
        if (!FControl->HandleAllocated() || OwnPlacementDepth() > 0)
            return false;
        SafeCall(
            [&] { TControlAccess::Move(FControl, GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)); });
        return false;
    case WM_CONTEXTMENU:
        // 1 tells the test support that the window took the request.
        Result = 1;
        return ContextMenu(LParam);
    case WM_SETCURSOR:
        if (SetCursor(WParam, LParam)) {
            Result = TRUE;
            return true;
        }
        return false;
    case WM_CLOSE:
        if (!OnCloseRequest)
            return false;
        SafeCall(OnCloseRequest);
        return true;
    case WM_ACTIVATE:
        if (!OnCloseRequest || LOWORD(WParam) == WA_INACTIVE)
            return false;
        return RestoreFocus(FWindow);
    case WM_INITMENUPOPUP:
        if (!FHost)
            CaptureNativeMenu(FWindow, reinterpret_cast<HMENU>(WParam));
        return false;
    case WM_ENTERIDLE:
        if (WParam == MSGF_MENU)
            CaptureLoopMenu(FWindow);
        return false;
    case WM_ENDSESSION:
        if (WParam)
            EndSessionCleanup();
        return false;
    default:
        return false;
    }
}

// ---- Window procedures and classes

namespace {

const wchar_t* const HostClass = L"QuovantHost";
const wchar_t* const FormClass = L"QuovantForm";
const wchar_t* const ParkingClass = L"QuovantParking";

LRESULT CALLBACK HostProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_NCCREATE) {
        auto* Create = reinterpret_cast<const CREATESTRUCTW*>(LParam);
        static_cast<TControlLink*>(Create->lpCreateParams)->SetWindow(Window);
    }
    TControlLink* Link = LinkOf(Window);
    if (Msg == WM_NCDESTROY) {
        ForgetWindow(Window);
        delete Link;
        return ::DefWindowProcW(Window, Msg, WParam, LParam);
    }
    LRESULT Result = 0;
    if (Link && Link->Handle(Msg, WParam, LParam, Result))
        return Result;
    return ::DefWindowProcW(Window, Msg, WParam, LParam);
}

LRESULT CALLBACK AttachedProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR Id,
                              DWORD_PTR Data) {
    auto* Link = reinterpret_cast<TControlLink*>(Data);
    if (Msg == WM_NCDESTROY) {
        RemoveSubclass(Window, AttachedProc, Id);
        ForgetWindow(Window);
        delete Link;
        return DefSubclass(Window, Msg, WParam, LParam);
    }
    LRESULT Result = 0;
    if (Link->Handle(Msg, WParam, LParam, Result))
        return Result;
    return DefSubclass(Window, Msg, WParam, LParam);
}

LRESULT CALLBACK ParkingProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    LRESULT Result = 0;
    if (ReflectToChild(Msg, WParam, LParam, Result))
        return Result;
    if (RunPosted(Msg))
        return 0;
    if (Msg == WM_ENDSESSION && WParam)
        EndSessionCleanup();
    return ::DefWindowProcW(Window, Msg, WParam, LParam);
}

void RegisterClass(const wchar_t* Name, WNDPROC Proc, UINT Style) {
    WNDCLASSEXW Class{};
    Class.cbSize = sizeof(Class);
    Class.style = Style;
    Class.lpfnWndProc = Proc;
    Class.hInstance = ::GetModuleHandleW(nullptr);
    Class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    Class.hIcon = ::LoadIconW(Class.hInstance, MAKEINTRESOURCEW(1));
    Class.lpszClassName = Name;
    ::RegisterClassExW(&Class);
}

void RegisterClasses() {
    static const bool Done = [] {
        RegisterClass(HostClass, HostProc, CS_DBLCLKS);
        RegisterClass(FormClass, HostProc, CS_DBLCLKS);
        RegisterClass(ParkingClass, ParkingProc, 0);
        return true;
    }();
    (void)Done;
}

} // namespace

HWND ParkingWindow() {
    static HWND Window = [] {
        RegisterClasses();
        return ::CreateWindowExW(0, ParkingClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    }();
    return Window;
}

HWND CreateHost(TControl* Control, std::function<void()> OnCloseRequest) {
    RegisterClasses();
    const bool Form = static_cast<bool>(OnCloseRequest);
    auto Link = std::make_unique<TControlLink>(Control, true);
    Link->OnCloseRequest = std::move(OnCloseRequest);
    Link->Opaque = TControlAccess::OpaquePaint(Control);
    const DWORD Style =
        Form ? WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN : WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    HWND Window = ::CreateWindowExW(0, Form ? FormClass : HostClass, L"", Style, 0, 0, 0, 0,
                                    Form ? nullptr : ParkingWindow(), nullptr,
                                    ::GetModuleHandleW(nullptr), Link.get());
    if (!Window) {
        Link->Detach();
        throw Exception("ウィンドウを作成できません。"_sj);
    }
    return Link.release()->Window();
}

void AttachNative(HWND Window, TControl* Control) {
    // A host window is linked from its creation.
    if (LinkOf(Window))
        return;
    auto* Link = new TControlLink(Control, false);
    Link->SetWindow(Window);
    SetSubclass(Window, AttachedProc, AttachSubclassId, reinterpret_cast<DWORD_PTR>(Link));
}
