// What every back end reaches of a control, whatever its windows: the link that forwards a
// window's input, and the entry points of the platform's events. A back end's TControlAccess
// adds the control's window and painting in its own types.
#pragma once

#include "Controls.h"

class TControlLink;

class TControlDispatch {
public:
    static TControlLink*& Link(TControl* Control) { return Control->FLink; }
    // The window went: the control creates a new one when it next needs one.
    static void ForgetWidget(TControl* Control) { Control->FWidget = nullptr; }
    static bool OpaquePaint(const TControl* Control) { return Control->OpaquePaint(); }
    static void ApplyCursor(TControl* Control) { Control->ApplyCursor(); }
    static TCursor Cursor(const TControl* Control) { return Control->FCursor; }

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
