// The grid's geometry: where columns, rows and cells lie in the client area.
#include "Grids.h"

#include "GridParts.h"
#include "PlatformWindows.h"

#include <algorithm>

// ---- Geometry

TRect TCustomGrid::CellRect(int ACol, int ARow) const {
    const TAxis H = HorzAxis();
    const TAxis V = VertAxis();
    const int Left = H.Start(ACol);
    const int Top = V.Start(ARow);
    if (Left < 0 || Top < 0)
        return {};
    return {Left, Top, Left + H.Size(ACol), Top + V.Size(ARow)};
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
    const TGridCoord Cell{HorzAxis().At(X), VertAxis().At(Y)};
    if (Cell.X < 0 || Cell.Y < 0)
        return {-1, -1};
    return Cell;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    const TGridCoord Cell = MouseCoord(X, Y);
    ACol = Cell.X;
    ARow = Cell.Y;
}

// The pixels of the visible part of the cells R covers, grid lines after them included.
TRect TCustomGrid::BoxRect(const TGridRect& R) const {
    TRect Box{ClientWidth(), ClientHeight(), 0, 0};
    const auto Span = [](const TAxis& A, int From, int To, int& Low, int& High) {
        A.ForEachVisible([&](int I, int Pos) {
            if (I >= From && I <= To) {
                Low = std::min(Low, Pos);
                High = std::max(High, Pos + A.Size(I) + A.Line);
            }
        });
    };
    Span(HorzAxis(), R.Left, R.Right, Box.Left, Box.Right);
    Span(VertAxis(), R.Top, R.Bottom, Box.Top, Box.Bottom);
    return Box;
}

void TCustomGrid::InvalidateRect(const TRect& R) {
    if (R.Left >= R.Right || R.Top >= R.Bottom || !Redraw())
        return;
    Platform::InvalidateWindowRect(Widget(), R);
}

void TCustomGrid::InvalidateGridRect(const TGridRect& R) {
    InvalidateRect(BoxRect(R));
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) {
    // The row first: most writes of a large grid go to rows out of view.
    const TAxis V = VertAxis();
    const int Top = V.Start(ARow);
    if (Top < 0)
        return;
    const TAxis H = HorzAxis();
    const int Left = H.Start(ACol);
    if (Left >= 0)
        InvalidateRect({Left, Top, Left + H.Size(ACol) + H.Line, Top + V.Size(ARow) + V.Line});
}

void TCustomGrid::InvalidateRow(int ARow) {
    if (VertAxis().Start(ARow) < 0)
        return;
    InvalidateGridRect({0, ARow, FColCount - 1, ARow});
}

int TCustomGrid::ClientWidth() const {
    return std::max(0, Width() - (FPlatform->VertShown ? FPlatform->Extent : 0));
}

int TCustomGrid::ClientHeight() const {
    return std::max(0, Height() - (FPlatform->HorzShown ? FPlatform->Extent : 0));
}
