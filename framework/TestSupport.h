// What tests and benchmarks need of the platform beyond the layer's own interface: an
// application without a screen, input as the user gives it, and what the screen shows of a
// control. Each back end provides it in a library of its own that the programs do not link.
// Points are in the named control's client coordinates unless said otherwise.
#pragma once

#include "Controls.h"
#include "SysUtils.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TBitmap;
class TCustomForm;

namespace TestSupport {

// The application: headless, the toolkit speaking Japanese whatever the user's locale. Call
// once, first thing in main; it lives until the process ends.
void Start(int& Argc, char** Argv);
// Handles the events waiting now: repaints, posted messages, timers that are due.
void ProcessEvents();
// Runs Task once from the event loop, after the events waiting now.
void RunLater(std::function<void()> Task);
// Handles events until Done holds or Milliseconds pass; whether Done held.
bool WaitUntil(const std::function<bool()>& Done, int Milliseconds = 5000);

// Windows
// The part of the screen that windows may take (without task bars), in screen coordinates.
TRect WorkArea();
// Creates the control's window now; the layer otherwise creates it when first needed.
void EnsureWindow(TControl* Control);
// Shows the control's top-level window and waits until the screen shows it; false after a
// timeout.
bool ShowAndWait(TControl* Control);
// Shows the control's top-level window and returns at once, before the screen has it.
void ShowWindow(TControl* Control);
// Whether the user can resize the form's window (false: its size is fixed).
bool Resizable(const TCustomForm* Form);
// Whether the control's top-level window is the active one.
bool IsActiveWindow(const TControl* Control);
// Whether the control's window is shown (it and all its parents visible).
bool IsShown(const TControl* Control);
// Closes the control's top-level window as its title bar's close button does.
void CloseWindow(TControl* Control);
// The text the platform shows for the control's window: a form's title, a button's caption.
AnsiString WindowText(const TControl* Control);
// The same text as the screen shows it: a byte that does not decode shows as U+FFFD, lines of
// an edit break at LF.
std::u16string ShownText(const TControl* Control);
// The control's window as the platform places it, in its parent's client coordinates.
TRect WindowBounds(const TControl* Control);
// The control that has the keyboard focus (the platform's notion); nullptr when none does.
TControl* FocusedControl();
// The control whose window lies under At in Window's client coordinates (Window itself when
// no child's does); nullptr outside it.
TControl* ControlAt(TWinControl* Window, TPoint At);
// Makes the control's top-level window the active one, as a click on its title bar does.
void Activate(TControl* Control);
// Whether a check box shows its check mark.
bool ShowsChecked(const TControl* CheckBox);

// Runs Task each time the list box's window takes its items anew (the layer hands a changed
// list over in one go), for as long as the window lives.
void OnItemsShown(TControl* ListBox, std::function<void()> Task);

// The caret's place in an edit control's text, in characters; -1 for a control that is no
// edit.
int EditCaret(const TWinControl* Edit);

// Pictures
// Paints Area of the control's window at once, as the platform does for an area it was told
// to repaint.
void PaintNow(TControl* Control, const TRect& Area);
// Area of the control painted through its canvas alone (no native children, no parent
// beneath), on a bitmap of Area's size.
std::unique_ptr<TBitmap> PaintArea(TControl* Control, const TRect& Area);
// The control's window as the screen shows it, native children included.
std::unique_ptr<TBitmap> WindowImage(const TControl* Control);

// Mouse input delivered to the control's window; Shift adds keys and buttons held.
void MouseDown(TControl* Control, TMouseButton Button, TPoint At, TShiftState Shift = {});
void MouseUp(TControl* Control, TMouseButton Button, TPoint At, TShiftState Shift = {});
void MouseMove(TControl* Control, TPoint At, TShiftState Shift = {});
// Down and up at the same point.
void Click(TControl* Control, TMouseButton Button, TPoint At, TShiftState Shift = {});
// The second press of a double click, which the platform reports as a double click (follow
// it with MouseUp).
void DoubleClick(TControl* Control, TMouseButton Button, TPoint At, TShiftState Shift = {});
// Delta in the platform's wheel units (120 a notch; positive turns away from the user).
void Wheel(TControl* Control, int Delta, TShiftState Shift = {}, TPoint At = {});
// The request for a context menu, as the right button or the menu key gives it; whether the
// control's window took it.
bool ContextMenu(TControl* Control, TPoint At);
// A left click in the middle of a platform window that is no control of its own (the item
// buttons of a radio group).
void ClickWindow(TPlatformWidget* Window);

// Pointer input through the system: the pointer moves over the top-level window of Window
// (At in Window's client coordinates) and the system delivers enter, leave, move, press and
// release to whatever lies under it, as for a real mouse.
void PointerTo(TWinControl* Window, TPoint At);
void PointerDown(TWinControl* Window, TPoint At, TMouseButton Button = mbLeft);
void PointerUp(TWinControl* Window, TPoint At, TMouseButton Button = mbLeft);
// Puts the system's pointer at At on the screen, before any window is there to take input.
void PointerToScreen(TPoint At);

// Keyboard input delivered to the control's window, Key a virtual key (VK_...).
// KeyDown and KeyUp carry no character; PressKey presses and releases the key and types the
// character it stands for, if any (VK_RETURN types CR).
void KeyDown(TWinControl* Control, unsigned short Key, TShiftState Shift = {});
void KeyUp(TWinControl* Control, unsigned short Key, TShiftState Shift = {});
void PressKey(TWinControl* Control, unsigned short Key, TShiftState Shift = {});
// Keyboard input to the top-level window of Window, which hands it to its focused control.
void PressKeyInWindow(TWinControl* Window, unsigned short Key, TShiftState Shift = {});
// Each character of Text typed as one key (a double-byte character as one).
void Type(TWinControl* Control, const AnsiString& Text);
// Characters the code page cannot hold, typed as screen text.
void Type(TWinControl* Control, const std::u16string& Text);
// The input method: Preedit shown while composing; Commit hands over the finished text.
void Compose(TWinControl* Control, const AnsiString& Preedit);
void Commit(TWinControl* Control, const AnsiString& Text);
// Screen text that the code page may not hold, handed over by the input method.
void Commit(TWinControl* Control, const std::u16string& Text);
// Whether the input method takes the keys typed into the control.
bool InputMethodOn(const TWinControl* Control);

// What the pointer shows over the control: a built-in shape (crArrow, crHandPoint...), or
// crDefault for a cursor of the application's own (read it with CursorHotSpot/CursorImage).
TCursor CursorShape(const TControl* Control);
TPoint CursorHotSpot(const TControl* Control);
std::unique_ptr<TBitmap> CursorImage(const TControl* Control);
// The cursor the program shows over all its windows for the time being (a drag's, a wait's):
// a built-in shape as above; crDefault when there is none and each window shows its own (or
// when it is one of the application's own).
TCursor ProgramCursor();
// The tool tip the control shows.
AnsiString HintText(const TControl* Control);

// Popup menus, whoever opened them (a TPopupMenu, an edit's own menu). Index counts every
// item shown, separators included.
// The popup menu open now; nullptr when none is.
TPlatformWidget* ShownMenu();
// The items' texts as shown ("-" for a separator), a shortcut after a tab.
std::vector<AnsiString> MenuItems(TPlatformWidget* Menu);
bool MenuItemEnabled(TPlatformWidget* Menu, int Index);
bool MenuItemChecked(TPlatformWidget* Menu, int Index);
// The submenu an item opens; nullptr for a plain item.
TPlatformWidget* Submenu(TPlatformWidget* Menu, int Index);
// Where the menu opened, in screen coordinates.
TPoint MenuPosition(TPlatformWidget* Menu);
// Chooses an item as a click on it does; its handler runs before this returns.
void ChooseMenuItem(TPlatformWidget* Menu, int Index);
void CloseMenu(TPlatformWidget* Menu);

} // namespace TestSupport
