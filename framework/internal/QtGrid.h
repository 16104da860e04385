// Qt glue of the grid, for the grid's sources only: its scroll bars and the hand-over of the
// input method events of its window.
#pragma once

#include "Grids.h"
#include "QtHost.h"

#include <QPointer>
#include <QScrollBar>

#include <optional>

// Passes the input method events of the grid's window to the grid.
class TGridEventFilter : public QObject {
public:
    explicit TGridEventFilter(TCustomGrid* AGrid) : FGrid(AGrid) {}

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    TCustomGrid* FGrid;
};

struct TCustomGrid::TPlatform {
    explicit TPlatform(TCustomGrid* Grid) : Filter(Grid) {}
    TGridEventFilter Filter;
    QPointer<QWidget> Host;
    QPointer<QScrollBar> Vert;
    QPointer<QScrollBar> Horz;
    int Extent = 0;
    bool VertShown = false;
    bool HorzShown = false;
    // What each bar was last given: a grid that grows a row at a time leaves most of it alone.
    struct TBarState {
        bool Shown = false;
        TRect Bounds;
        bool Tracking = false;
        int Min = 0;
        int Max = 0;
        int Page = 0;
        bool operator==(const TBarState&) const = default;
    };
    std::optional<TBarState> VertState;
    std::optional<TBarState> HorzState;
};
