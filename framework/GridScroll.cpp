// The grid's scroll bars and the mouse wheel.
#include "Grids.h"

#include "GridParts.h"
#include "QtGrid.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int WheelNotch = 120;
constexpr int WheelRows = 3;

} // namespace

// ---- Scroll bars

void TCustomGrid::EnsurePlatform() {
    TPlatform& P = *FPlatform;
    if (P.Host)
        return;
    P.Host = TControlAccess::Widget(this);
    P.Host->installEventFilter(&P.Filter);
    P.Extent = P.Host->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const auto MakeBar = [&](Qt::Orientation Orientation) {
        auto* Bar = new QScrollBar(Orientation, P.Host);
        Bar->setFocusPolicy(Qt::NoFocus);
        Bar->hide();
        QObject::connect(Bar, &QScrollBar::valueChanged, Bar, [this, Orientation](int Value) {
            SafeCall([&] {
                if (Orientation == Qt::Vertical)
                    SetTopRow(Value);
                else
                    SetLeftCol(Value);
            });
        });
        return Bar;
    };
    P.Vert = MakeBar(Qt::Vertical);
    P.Horz = MakeBar(Qt::Horizontal);
    UpdateInputMethod();
}

void TCustomGrid::UpdateScrollBars() {
    EnsurePlatform();
    TPlatform& P = *FPlatform;
    const bool CanVert = FScrollBars == ssVertical || FScrollBars == ssBoth;
    const bool CanHorz = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    P.VertShown = P.HorzShown = false;
    if (Width() > 0 && Height() > 0) {
        // Each bar takes room from the other direction, so decide twice.
        for (int Pass = 0; Pass < 2; ++Pass) {
            P.VertShown = CanVert && VertAxis().MaxFirst() > FFixedRows;
            P.HorzShown = CanHorz && HorzAxis().MaxFirst() > FFixedCols;
        }
    }
    ClampPositions();
    LayoutScrollBars();
}

void TCustomGrid::LayoutScrollBars() {
    TPlatform& P = *FPlatform;
    if (!P.Host)
        return;
    const auto Layout = [](QScrollBar* Bar, std::optional<TPlatform::TBarState>& Applied,
                           const TPlatform::TBarState& Wanted, int Value) {
        const QSignalBlocker Block(Bar);
        if (Applied != Wanted) {
            Applied = Wanted;
            Bar->setVisible(Wanted.Shown);
            if (!Wanted.Shown)
                return;
            const TRect& R = Wanted.Bounds;
            Bar->setGeometry(R.Left, R.Top, R.Width(), R.Height());
            Bar->setTracking(Wanted.Tracking);
            Bar->setRange(Wanted.Min, Wanted.Max);
            Bar->setPageStep(Wanted.Page);
        }
        // The user moves the bar too, so its position is compared with the bar itself.
        if (Wanted.Shown && Bar->value() != Value)
            Bar->setValue(Value);
    };
    const int W = ClientWidth();
    const int H = ClientHeight();
    const bool Tracking = FOptions.Contains(goThumbTracking);
    const auto State = [&](bool Shown, int Min, int Max, int Page, const TRect& R) {
        return Shown ? TPlatform::TBarState{true, R, Tracking, Min, Max, std::max(1, Page)}
                     : TPlatform::TBarState{};
    };
    Layout(P.Vert, P.VertState,
           State(P.VertShown, FFixedRows, VertAxis().MaxFirst(), VisibleRowCount(),
                 {W, 0, W + P.Extent, H}),
           FTopLeft.Y);
    Layout(P.Horz, P.HorzState,
           State(P.HorzShown, FFixedCols, HorzAxis().MaxFirst(), VisibleColCount(),
                 {0, H, W, H + P.Extent}),
           FTopLeft.X);
}

void TCustomGrid::Resize() {
    TCustomControl::Resize();
    UpdateScrollBars();
    PlaceEditor();
}

void TCustomGrid::DispatchWheel(int Delta, TShiftState Shift) {
    int Steps = Delta / WheelNotch;
    if (Steps == 0 && Delta != 0)
        Steps = Delta > 0 ? 1 : -1;
    if (Shift.Contains(ssShift))
        SetLeftCol(FTopLeft.X - Steps);
    else
        SetTopRow(FTopLeft.Y - Steps * WheelRows);
}
