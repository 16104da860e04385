// Win32 glue of the platform layer, for the Win32 back end and its tests: the windows that host
// self-painted controls and forms, the link that forwards a window's input to its control,
// notifications reflected to the native controls that sent them, and the conversions of input
// and cursors between the layer's types and Win32's.
#pragma once

#include "Win32Api.h"
#include "Win32Graphics.h"
#include "Win32Handles.h"

#include <functional>

class TControlLink;

// What the layer's platform side reaches of a control: its window, the link that forwards the
// window's input, and the entry points of the platform's events.
class TControlAccess {
public:
    // The control's window, created on first use.
    static HWND Window(const TControl* Control) { return Hwnd(Control->Widget()); }
    static TControlLink*& Link(TControl* Control) { return Control->FLink; }
    // The window went: the control creates a new one when it next needs one.
    static void ForgetWidget(TControl* Control) { Control->FWidget = nullptr; }
    static bool OpaquePaint(const TControl* Control) { return Control->OpaquePaint(); }
    static void ApplyCursor(TControl* Control) { Control->ApplyCursor(); }
    static TCursor Cursor(const TControl* Control) { return Control->FCursor; }

    // Paints Area of the control into Image through its canvas.
    static void Paint(TControl* Control, TPlatformImage& Image, const TRect& Area);
    static void MouseDown(TControl* Control, TMouseButton Button, TShiftState Shift, int X, int Y) {
        Control->DispatchMouseDown(Button, Shift, X, Y);
    }
    static void MouseUp(TControl* Control, TMouseButton Button, TShiftState Shift, int X, int Y) {
        Control->DispatchMouseUp(Button, Shift, X, Y);
    }
    static void MouseMove(TControl* Control, TShiftState Shift, int X, int Y) {
        Control->DispatchMouseMove(Shift, X, Y);
    }
    static void DblClick(TControl* Control, TMouseButton Button, TShiftState Shift, int X, int Y) {
        Control->DispatchDblClick(Button, Shift, X, Y);
    }
    static void MouseEnter(TControl* Control) { Control->DispatchMouseEnter(); }
    static void MouseLeave(TControl* Control) { Control->DispatchMouseLeave(); }
    static void Resize(TControl* Control, int Width, int Height) {
        Control->DispatchResize(Width, Height);
    }
    static void Move(TControl* Control, int Left, int Top) { Control->DispatchMove(Left, Top); }
    static void ContextMenu(TControl* Control, int X, int Y) { Control->DispatchContextMenu(X, Y); }
    static void Wheel(TControl* Control, int Delta, TShiftState Shift) {
        Control->DispatchWheel(Delta, Shift);
    }
    static void KeyDown(TWinControl* Control, unsigned short& Key, TShiftState Shift) {
        Control->DispatchKeyDown(Key, Shift);
    }
    static void KeyUp(TWinControl* Control, unsigned short& Key, TShiftState Shift) {
        Control->DispatchKeyUp(Key, Shift);
    }
    static void KeyPress(TWinControl* Control, AnsiString& Key) { Control->DispatchKeyPress(Key); }
    static void Enter(TWinControl* Control) { Control->DispatchEnter(); }
    static void Exit(TWinControl* Control) { Control->DispatchExit(); }
    static int HitTest(TWinControl* Control, TPoint Screen) {
        return Control->DispatchHitTest(Screen);
    }
};

// The control a window of the program stands for (a host window, or a native one the layer
// attached); nullptr for any other window.
TControl* ControlOf(HWND Window);

// A hidden top-level window that holds the child windows the layer creates before it gives
// them a parent: native controls are created as its WS_CHILD, then SetParent moves them.
HWND ParkingWindow();

// Notifications that a native control sends its parent (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR...,
// WM_DRAWITEM, WM_HSCROLL / WM_VSCROLL) are handed to the handler set for that control; when it
// returns true, Result is the parent's answer. An empty handler removes it.
using TReflectHandler = std::function<bool(UINT Msg, WPARAM, LPARAM, LRESULT& Result)>;
void SetReflectHandler(HWND Child, TReflectHandler Handler);
// Hands a parent's message to the handler of the child it names; false when there is none.
bool ReflectToChild(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result);

// Callbacks run from a window procedure go through SafeCall (Classes.h): an exception reaches
// the layer's error report instead of crossing Win32.

// What an HCURSOR of the layer holds; the handle is shared, never destroyed.
class TCursorImage {
public:
    explicit TCursorImage(HCURSOR ACursor) : Cursor(ACursor) {}
    HCURSOR Cursor;
};

// The cursor of a crXXX shape or of one the application registered.
HCURSOR CursorOf(TCursor Cursor);
// The cursor shown over every window while an override cursor is pushed; null when none is.
HCURSOR OverrideCursor();

// The keys and buttons held now, as the layer counts them.
TShiftState CurrentShiftState();
// The layer's virtual key of a Win32 one: the same numbers (the layer took Win32's).
unsigned short LayerKeyOf(WPARAM VirtualKey);

// The record of the popup menu the program shows, for the test support: TrackPopupMenu runs
// its own loop, from which the test support reads and answers it.
struct TShownMenu {
    HMENU Menu = nullptr;
    TPoint Position;
    HWND Owner = nullptr;
};
// The menu open now (Menu null when none is).
const TShownMenu& ShownPopupMenu();
// Runs the choice of the item with command Id of a menu shown now: ends the menu's loop, and
// its handler runs before this returns.
void ChoosePopupItem(UINT Id);
// The command id the menu gives the item at Index (every item counted, separators too); 0 for
// a separator or a submenu.
UINT PopupItemId(HMENU Menu, int Index);
// Called for each popup menu shown, from within its loop, once it is on the screen.
void SetMenuShownHook(std::function<void()> Hook);
