// Win32 glue of the platform layer, for the Win32 back end and its tests: the windows that host
// self-painted controls and forms, the link that forwards a window's input to its control,
// notifications reflected to the native controls that sent them, and the conversions of input
// and cursors between the layer's types and Win32's.
#pragma once

#include "Win32Api.h"
#include "Win32Graphics.h"
#include "Win32Handles.h"
#include "internal/ControlDispatch.h"

#include <functional>
#include <vector>

// What the layer's platform side reaches of a control: what every back end does, and its
// window and painting in Win32's types.
class TControlAccess : public TControlDispatch {
public:
    // The control's window, created on first use.
    static HWND Window(const TControl* Control) { return Hwnd(Control->Widget()); }
    // Paints Area of the control into Image through its canvas.
    static void Paint(TControl* Control, TPlatformImage& Image, const TRect& Area);
    // Paints Area of the control (its client coordinates) over what Image holds, the canvas
    // origin at Offset of Image.
    static void PaintOver(TControl* Control, TPlatformImage& Image, const TRect& Area,
                          TPoint Offset);
};

// Forwards the messages of a control's window to the control: all of a host window's, and an
// attached native window's input, focus, size and posted messages before its own procedure
// sees them. It lives as long as the window.
class TControlLink {
public:
    TControlLink(TControl* AControl, bool AHost);
    ~TControlLink();
    TControlLink(const TControlLink&) = delete;
    TControlLink& operator=(const TControlLink&) = delete;

    TControl* Control() const { return FControl; }
    HWND Window() const { return FWindow; }
    bool Host() const { return FHost; }
    void SetWindow(HWND AWindow);
    // The control lets go: the window's messages no longer reach it.
    void Detach();
    // Handles Msg for the control; false passes it on to the window's own procedure.
    bool Handle(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result);

    std::function<void()> OnCloseRequest; // set for a form's window
    bool Opaque = true;
    TCursor Cursor = crDefault;
    int CursorHit = HTCLIENT; // the hit-test answer under the pointer, for its cursor
    TPlatformImage Cache;

private:
    bool Mouse(UINT Msg, WPARAM WParam, LPARAM LParam);
    bool Forward(UINT Msg, WPARAM WParam, LPARAM LParam);
    bool Drag(WPARAM WParam, LPARAM LParam);
    int HitTest(TPoint Screen);
    TWinControl* SurfaceWindow() const;
    bool Key(UINT Msg, WPARAM WParam);
    bool Char(WPARAM WParam, LPARAM LParam);
    bool ImeChar(WPARAM WParam);
    bool Focus(UINT Msg, WPARAM WParam);
    bool ContextMenu(LPARAM LParam);
    bool SetCursor(WPARAM WParam, LPARAM LParam);
    bool Wheel(WPARAM WParam);
    bool NcHitTest(LPARAM LParam, LRESULT& Result);
    void Paint();
    void PrintClient(HDC Dc);
    void Render(const TRect& Area);

    TControl* FControl;
    HWND FWindow = nullptr;
    bool FHost;
    bool FInside = false;     // the pointer is over the window (enter reported)
    bool FOwnCapture = false; // the window captured the pointer on a button press
    bool FResending = false;  // a changed character goes on to the window's procedure
    bool FTabMoved = false;   // Tab moved the focus: its character goes nowhere
    struct TDrag {
        TWinControl* Window = nullptr;
        int Hit = HTNOWHERE;
        TPoint Start;
        TRect Bounds;
    } FDrag;
};

// The link of a window of the program; nullptr for any other window.
TControlLink* LinkOf(HWND Window);

// The host windows that are children of Parent and leave their face to it. Found among the
// links: listing a window's children is a round trip to Wine's server for each.
std::vector<HWND> TransparentChildren(HWND Parent);

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

// A new hidden host window for Control: a form's top-level window when OnCloseRequest is set,
// else a child of the parking window.
HWND CreateHost(TControl* Control, std::function<void()> OnCloseRequest);
// Links a native window to Control (a subclass of it).
void AttachNative(HWND Window, TControl* Control);

// While one lives, the size and place changes of windows are the layer's own and are not
// reported back to their controls, which know them.
struct TOwnPlacement {
    TOwnPlacement();
    ~TOwnPlacement();
    TOwnPlacement(const TOwnPlacement&) = delete;
    TOwnPlacement& operator=(const TOwnPlacement&) = delete;
};
int& OwnPlacementDepth();

// Runs a paint, reporting an exception from the message loop later.
void SafePaint(const std::function<void()>& Paint);

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
// The cursor shown over every window while an override cursor is pushed; false when none is.
bool OverrideCursorShape(TCursor& Shape);

// The keys and buttons held now, as the layer counts them.
TShiftState CurrentShiftState();
// The layer's virtual key of a Win32 one: the same numbers (the layer took Win32's).
unsigned short LayerKeyOf(WPARAM VirtualKey);

// Popup menus for the test support. While held, a menu is recorded as shown without entering
// the system's menu loop, which would wait for a user; tests answer it through the record.
void HoldPopupMenus(bool Hold);
// The popup menu shown now (nullptr when none is) and where it opened.
HMENU ShownPopupMenu(TPoint* Position = nullptr);
// Chooses the item at Index of Menu as a click does: the menu closes, then the item's handler
// runs.
void ChoosePopupItem(HMENU Menu, int Index);
void ClosePopupMenu(HMENU Menu);
// Takes the menu a native control opens in the system's loop into the record while menus are
// held (WM_INITMENUPOPUP of its owner); false when it is left to the system.
bool CaptureNativeMenu(HWND Owner, HMENU Menu);
// The same for the menu of the loop that runs now, if any: a loop that waits with no message
// to filter says so by WM_ENTERIDLE to its owner.
void CaptureLoopMenu(HWND Owner);

// ---- Shared by the back end's window, input and application files

// Hands input to the program's input hook first (Win32Input.cpp); true when the hook took it.
bool RunInputHook(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
// Tab and Shift+Tab move the focus along the tab order (Win32Windows.cpp); false when no other
// window takes it.
bool MoveFocusByTab(HWND From, bool Backward);
bool IsRadioButton(HWND Window);
// The radio buttons among Radio's siblings, Radio included, in the system's order.
std::vector<HWND> RadioGroup(HWND Radio);
// Enter in a window that does not take it itself presses the focused push button, else the
// default button of its top-level window; false when there is none.
bool PressDefaultButton(HWND From);
// Alt and a letter press the button whose caption marks that letter as its access key, anywhere
// in From's top-level window; false when none does.
bool PressMnemonic(HWND From, wchar_t Char);
// Remembers the window with the focus in its top-level window, which gives it back when it is
// activated again.
void RememberFocus(HWND Window);
bool RestoreFocus(HWND TopLevel);
// The window with the focus is kept between its changes (under Wine, GetFocus is a round trip
// to the server, and grids ask for every cell they paint); a window of ours that gains or loses
// the focus, or goes, makes it asked again.
void ForgetFocus();
// Whether the input method takes the keys typed into Window, as SetImeMode left it: on for a
// native window, off for a host window, until set.
bool ImeOn(HWND Window);
void SetImeOn(HWND Window, bool On);
// The tooltip text of Window; empty for none.
AnsiString WindowHint(HWND Window);
// Prints Window with its child windows into Dc, its client origin at Offset of Dc.
void PrintWindowInto(HWND Window, HDC Dc, TPoint Offset);
// Forgets what the back end kept about a window that goes.
void ForgetWindow(HWND Window);
// The application of the test support, which lives as long as the process: EndApplication
// leaves it alone.
void StartTestApplication();
// Runs a message or call that Platform::PostMessage / PostCall queued (Win32Application.cpp);
// false for any other message.
bool RunPosted(UINT Msg);
