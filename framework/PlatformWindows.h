// The platform's windows, input and application, as the controls, menus, drag and drop and
// forms use them. A window is a TPlatformWidget handle; coordinates are pixels, a child's
// relative to its parent's client area, a top-level window's and "screen" points relative to
// the screen. Text is code page 932 bytes. The back end hands a window's paints, input,
// hit-test queries, size and focus changes to its control (the control's Dispatch... entry
// points), each through the error report.
#pragma once

#include "Graphics.h"
#include "WinTypes.h"

#include <functional>

class TControl;
class TCursorImage;
using TCursor = int;

namespace Platform {

// ---- Windows

// A new hidden window without parent for Control, which paints it: each paint goes through
// the control's canvas, and the window's input, focus, size and posted messages reach the
// control. The control owns it (DestroyWindow).
TPlatformWidget* CreateHostWindow(TControl* Control);
// A new hidden top-level window for Form like CreateHostWindow's; the close box calls
// OnCloseRequest instead of closing it.
TPlatformWidget* CreateFormWindow(TControl* Form, std::function<void()> OnCloseRequest);
// Whether Window was made by CreateHostWindow or CreateFormWindow (the control paints it).
bool IsHostWindow(TPlatformWidget* Window);
// Whether the control paints every pixel of its host window; while it does not, the parent is
// painted beneath it. A change repaints the window.
void SetWindowOpaque(TPlatformWidget* Window, bool Opaque);
// SetWindowOpaque for every host window as its control paints now (after a change of visual
// style).
void RefreshControlOpacity();
// Makes Window, created by a control for itself, report its input, focus, size and posted
// messages to Control, as a host window does.
void AttachWindow(TPlatformWidget* Window, TControl* Control);
// Stops Window's reports to its control and destroys it with its child windows.
void DestroyWindow(TPlatformWidget* Window);

// Puts Window into Parent's client area, or makes it a top-level window (Parent null); does
// nothing when Parent already holds it.
void SetParentWindow(TPlatformWidget* Window, TPlatformWidget* Parent);
// Moves and sizes the client area of Window; a top-level window of fixed size (the user cannot
// resize it) stays fixed at the new size.
void SetWindowBounds(TPlatformWidget* Window, const TRect& Bounds);
void SetWindowVisible(TPlatformWidget* Window, bool Visible);
// Whether Window and every window it lies in are visible.
bool WindowShown(TPlatformWidget* Window);
void SetWindowEnabled(TPlatformWidget* Window, bool Enabled);
// The caption of a top-level window, push button, check box or group box.
void SetWindowText(TPlatformWidget* Window, const AnsiString& Text);
// The font of the text that the platform draws in Window.
void SetWindowFont(TPlatformWidget* Window, const TFont& Font);
// The frame, caption bar and buttons of a top-level window for Style. A fixed style fixes the
// window at its current size; a sizeable one lets the user resize it. A shown window stays
// shown.
void SetWindowBorder(TPlatformWidget* Window, TFormBorderStyle Style);
// Whether the user can resize the top-level window.
bool WindowResizable(TPlatformWidget* Window);
void MinimizeWindow(TPlatformWidget* Window);
// Brings the top-level window of Window to the front and makes it the active window.
void ActivateWindow(TPlatformWidget* Window);
// Puts Window above its siblings.
void BringWindowToFront(TPlatformWidget* Window);
// The tooltip shown while the pointer rests on Window; empty for none.
void SetWindowHint(TPlatformWidget* Window, const AnsiString& Hint);
// Paints into a new image of Window's size as the screen shows it (in its pixels, more than the
// window's on a high-density screen): its background Color, then over it Window's parent where
// Window lies (OverParent) or Window, child windows included. Result gets it.
void RenderWindow(TPlatformWidget* Window, TColor Color, bool OverParent, TBitmap& Result);

// ---- Painting

// Asks for a repaint of Window from the message loop.
void InvalidateWindow(TPlatformWidget* Window);
// Asks for a repaint of R, in Window's client coordinates (InvalidateRect).
void InvalidateWindowRect(TPlatformWidget* Window, const TRect& R);
// Paints at once what waits to be painted in Window's top-level window.
void UpdateWindow(TPlatformWidget* Window);
// Paints the whole Window at once.
void RepaintWindow(TPlatformWidget* Window);
// WM_SETREDRAW: while off, nothing of Window is repainted.
void SetWindowRedraw(TPlatformWidget* Window, bool Redraw);

// ---- Focus and keyboard

bool WindowFocused(TPlatformWidget* Window);
// Activates Window's top-level window and gives Window the focus.
void FocusWindow(TPlatformWidget* Window);
// Whether Tab reaches Window. A host window takes the focus by Tab only; a window that a
// control made for itself keeps its own behaviour on clicks.
void SetWindowTabStop(TPlatformWidget* Window, bool TabStop);
// Tab moves the focus from First on to Second.
void SetTabOrder(TPlatformWidget* First, TPlatformWidget* Second);
// The input method of Window: off for imDisable, imClose and the alphanumeric modes, else on,
// asking for the kind of input the mode names where the platform has it.
void SetImeMode(TPlatformWidget* Window, TImeMode Mode);

// ---- Pointer

// The cursor shown over Window (crDefault: the platform's own for the window).
void SetWindowCursor(TPlatformWidget* Window, TCursor Cursor);
// Screen points and Window's client points.
TPoint ClientToScreen(TPlatformWidget* Window, TPoint P);
TPoint ScreenToClient(TPlatformWidget* Window, TPoint P);
// The pointer's position on the screen.
TPoint PointerPosition();
// The answer of Window's control to the platform's hit-test query (WM_NCHITTEST) for a point
// of the screen: one of the HT... values.
int WindowHitTest(TPlatformWidget* Window, TPoint Screen);
// The enabled control at a point of the screen: the control of the innermost of the program's
// windows there, or its nearest enabled parent; null outside the program's windows.
TControl* ControlAt(TPoint Screen);
// Window gets all pointer input until ReleaseCapture; false, and nothing captured, while it is
// not shown.
bool SetCapture(TPlatformWidget* Window);
// Ends the capture, when the captured window still exists.
void ReleaseCapture();
// A cursor over every window of the program, ahead of their own, until the matching
// PopOverrideCursor; these nest. ChangeOverrideCursor replaces the innermost.
void PushOverrideCursor(TCursor Cursor);
void ChangeOverrideCursor(TCursor Cursor);
void PopOverrideCursor();
// The screen's cursor table: Cursor is the shape of cursor Index from now on, until
// UnregisterCursor.
void RegisterCursor(TCursor Index, const TCursorImage& Cursor);
void UnregisterCursor(TCursor Index);

// The program's input, seen before any window gets it (a drag watches it): pointer movement,
// the release of a button, the Escape key. Points are screen points. The hook answers whether
// it took the input, which then reaches no window.
struct TInput {
    enum TKind { PointerMove, ButtonUp, EscapeKey } Kind;
    TPoint Screen;
    TMouseButton Button;
    TShiftState Shift;
};
void SetInputHook(std::function<bool(const TInput&)> Hook);
void RemoveInputHook();

// ---- Messages and menus

// Queues a message for the control of Window; it reaches TWinControl::DispatchMessage from the
// message loop.
void PostMessage(TPlatformWidget* Window, UINT Msg, WPARAM WParam, LPARAM LParam);
// Runs Call from the message loop once the current handlers have returned, unless Window has
// been destroyed by then.
void PostCall(TPlatformWidget* Window, std::function<void()> Call);

// A popup menu, built item by item and then shown; DestroyMenu frees it with its submenus.
TPlatformWidget* CreatePopupMenu();
// OnClick runs (through the error report) when the user chooses the item.
void AppendMenuItem(TPlatformWidget* Menu, const AnsiString& Caption, bool Enabled,
                    std::function<void()> OnClick);
void AppendMenuSeparator(TPlatformWidget* Menu);
// A submenu, owned by Menu.
TPlatformWidget* AppendSubmenu(TPlatformWidget* Menu, const AnsiString& Caption, bool Enabled);
// Shows Menu at a point of the screen; the choice arrives from the message loop, after this
// has returned.
void TrackPopupMenu(TPlatformWidget* Menu, int X, int Y);
bool MenuShown(TPlatformWidget* Menu);
// Hides Menu and frees it once the loop is back; its items run no more clicks.
void DestroyMenu(TPlatformWidget* Menu);

// ---- The application

// Creates the platform's application object unless there is one, with the toolkit's own
// texts in Japanese (see UseJapaneseToolkit); closing the last window does not end it.
void StartApplication();
bool ApplicationStarted();
// Frees the application object that StartApplication created, after running the routines of
// AtApplicationEnd.
void EndApplication();
// Runs Routine before the platform's application object goes, however it goes.
void AtApplicationEnd(std::function<void()> Routine);
// Runs the message loop until QuitMessageLoop.
void RunMessageLoop();
void QuitMessageLoop();
// Handles the messages that are waiting, then returns.
void ProcessMessages();
// A modal message box; Flags and result as MessageBox's (MB_..., ID...). An empty caption
// shows the program's name.
int MessageBox(const AnsiString& Text, const AnsiString& Caption, unsigned Flags);
// The part of the primary screen that windows may take (without task bars).
TRect ScreenWorkArea();

} // namespace Platform
