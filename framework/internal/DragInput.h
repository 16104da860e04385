// The drag's part of the controls' input dispatch, run in DragDrop.cpp.
#pragma once

#include "Controls.h"

// Pointer movement and button release in Receiver's client coordinates while a drag runs;
// true when the drag took the event, which the receiver then must not touch (a handler of the
// drop may have freed it).
bool DragMouseMove(TControl* Receiver, int X, int Y);
bool DragMouseUp(TControl* Receiver, TMouseButton Button, TShiftState Shift, int X, int Y);
// A control that goes takes no further part in the drag; its own drag is cancelled.
void DragControlDestroyed(TControl* Control);
