// Dragging one control onto another: the modes, states and events of a drag, and the object
// that stands for what is dragged. The drag itself runs in DragDrop.cpp; TControl carries the
// properties and events.
#pragma once

#include "Classes.h"

#include <vector>

class TControl;
using TCursor = int;

enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
const std::vector<const char*>& DragModeNames();

// Moving the pointer this far from the press, across or down, with the button held starts an
// automatic drag; a shorter movement leaves the press a click.
constexpr int DefaultDragThreshold = 5;

// What is being dragged. A drag of a control stands for the control itself; an OnStartDrag
// handler may hand over an object of its own instead, which then is the Source the targets
// see. The layer frees it when the drag has ended.
class TDragObject : public TObject {
public:
    const char* ClassName() const override { return "TDragObject"; }
    // The cursor over a point of a target, X and Y in its client coordinates.
    virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
};

using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TDragOverEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y,
                                          TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
// Target is the control that took the drop, null when the drag was cancelled (X and Y are 0).
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
