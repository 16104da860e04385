// The grid's scroll bars and the mouse wheel.
#include "Grids.h"

#include "GridParts.h"

#include <algorithm>

namespace {

constexpr int WheelNotch = 120;
constexpr int WheelRows = 3;

} // namespace

// ---- Scroll bars

void TCustomGrid::EnsurePlatform() {
    TPlatform& P = *FPlatform;
    if (P.Attached())
        return;
    P.Bars = Platform::CreateScrollBars(Widget(), [this](Platform::TScrollBarKind Kind, int Value) {
        SafeCall([&] {
            if (Kind == Platform::TScrollBarKind::Vertical)
                SetTopRow(Value);
            else
                SetLeftCol(Value);
        });
    });
    P.Extent = P.Bars->Extent();
    P.VertState.reset();
    P.HorzState.reset();
    P.Handover = Platform::HandOverComposition(
        Widget(), [this](bool Open) { return ComposingEditor(Open); },
        [this] { SafeCall([this] { FInplaceEdit->SetFocus(); }); });
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
    if (!P.Attached())
        return;
    using Platform::TScrollBarInfo;
    using Platform::TScrollBarKind;
    const auto Layout = [&](TScrollBarKind Kind, std::optional<TScrollBarInfo>& Applied,
                            const TScrollBarInfo& Wanted, int Value) {
        if (Applied != Wanted) {
            Applied = Wanted;
            P.Bars->SetInfo(Kind, Wanted);
        }
        // The user moves the bar too, so its position is compared with the bar itself.
        if (Wanted.Visible && P.Bars->Position(Kind) != Value)
            P.Bars->SetPosition(Kind, Value);
    };
    const int W = ClientWidth();
    const int H = ClientHeight();
    const bool Tracking = FOptions.Contains(goThumbTracking);
    const auto State = [&](bool Shown, int Min, int Max, int Page, const TRect& R) {
        return Shown ? TScrollBarInfo{true, R, Tracking, Min, Max, std::max(1, Page)}
                     : TScrollBarInfo{};
    };
    Layout(TScrollBarKind::Vertical, P.VertState,
           State(P.VertShown, FFixedRows, VertAxis().MaxFirst(), VisibleRowCount(),
                 {W, 0, W + P.Extent, H}),
           FTopLeft.Y);
    Layout(TScrollBarKind::Horizontal, P.HorzState,
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
