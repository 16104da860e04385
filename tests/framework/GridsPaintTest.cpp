// Pixels of the framework grid: grid lines, default cell drawing, and scrolling under fixed
// rows.
#include "Grids.h"

#include <gtest/gtest.h>

namespace {

constexpr int CellW = TCustomGrid::DefaultDefaultColWidth;
constexpr int CellH = TCustomGrid::DefaultDefaultRowHeight;

std::unique_ptr<TStringGrid> MakeGrid(int Cols = 4, int Rows = 4) {
    auto Grid = std::make_unique<TStringGrid>(nullptr);
    Grid->SetColCount(Cols);
    Grid->SetRowCount(Rows);
    Grid->SetScrollBars(ssNone);
    Grid->SetBounds(0, 0, 300, 200);
    return Grid;
}

std::uint32_t At(TBitmap& Image, int X, int Y) {
    return static_cast<std::uint32_t>(Image.Canvas()->Pixel(X, Y));
}

// System colours come from the running style, so they are looked up once the application runs.
std::uint32_t Dark() {
    return ColorToRGB(cl3DDkShadow);
}
std::uint32_t Silver() {
    return ColorToRGB(clSilver);
}
std::uint32_t Window() {
    return ColorToRGB(clWindow);
}
std::uint32_t Face() {
    return ColorToRGB(clBtnFace);
}

// The line right of column 0 is at x = CellW, the one right of column 1 at 2 * CellW + 1; the
// line below row 0 at y = CellH, below row 1 at 2 * CellH + 1.
constexpr int VLine0 = CellW;
constexpr int VLine1 = 2 * CellW + 1;
constexpr int HLine0 = CellH;
constexpr int HLine1 = 2 * CellH + 1;

} // namespace

TEST(GridPixels, FixedLinesAreDarkAndBodyLinesSilverOnePixelAfterEachCell) {
    auto Grid = MakeGrid();
    auto Image = Grid->Snapshot();
    EXPECT_EQ(At(*Image, VLine0, 5), Dark());
    EXPECT_EQ(At(*Image, VLine0, HLine0 + 5), Dark()) << "fixed column beside a body row";
    EXPECT_EQ(At(*Image, VLine1, 5), Dark()) << "between caption cells";
    EXPECT_EQ(At(*Image, VLine1, HLine0 + 5), Silver());
    EXPECT_EQ(At(*Image, 5, HLine0), Dark());
    EXPECT_EQ(At(*Image, VLine0 + 5, HLine0), Dark()) << "below the caption row";
    EXPECT_EQ(At(*Image, VLine0 + 5, HLine1), Silver());
    EXPECT_EQ(At(*Image, 5, HLine1), Dark()) << "between marker cells";
    EXPECT_EQ(At(*Image, VLine1 - 1, HLine1 + 5), Window()) << "lines are one pixel wide";
    EXPECT_EQ(At(*Image, VLine1 + 1, HLine1 + 5), Window());
}

TEST(GridPixels, LeftOutLinesTakeTheColourOfTheCellsAround) {
    auto Grid = MakeGrid();
    Grid->SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine});
    auto Image = Grid->Snapshot();
    EXPECT_EQ(At(*Image, VLine1, HLine0 + 5), Window());
    EXPECT_EQ(At(*Image, VLine0 + 5, HLine1), Window());
    EXPECT_EQ(At(*Image, VLine0, HLine0 + 5), Dark());
    Grid->SetOptions(TGridOptions{goVertLine, goHorzLine});
    Image = Grid->Snapshot();
    EXPECT_EQ(At(*Image, VLine0, 5), Face());
    EXPECT_EQ(At(*Image, VLine1, HLine0 + 5), Silver());
}

TEST(GridPixels, WithoutLineWidthCellsTouch) {
    auto Grid = MakeGrid();
    Grid->SetGridLineWidth(0);
    auto Image = Grid->Snapshot();
    EXPECT_EQ(At(*Image, CellW, 5), Face()) << "column 1 of the caption row starts at x = CellW";
    EXPECT_EQ(At(*Image, 2 * CellW, CellH + 5), Window());
}

TEST(GridPixels, DefaultDrawingFillsFixedSelectedAndPlainCellsAndDrawsTextTwoPixelsIn) {
    auto Grid = MakeGrid();
    Grid->SetFixedColor(clYellow);
    Grid->SetSelection({1, 1, 2, 1});
    Grid->SetCells(1, 2, "WWW");
    Grid->Font()->SetColor(clBlack);
    auto Image = Grid->Snapshot();
    EXPECT_EQ(At(*Image, 5, 5), ColorToRGB(clYellow));
    EXPECT_EQ(At(*Image, VLine0 + 5, HLine0 + 5), ColorToRGB(clHighlight))
        << "a selected cell that is not the current one";
    EXPECT_EQ(At(*Image, VLine1 + 5, HLine0 + 5), ColorToRGB(clHighlight))
        << "without the focus the current cell is drawn as selected too";
    const int Left = VLine0 + 1;
    const int Top = HLine1 + 1;
    bool Ink = false;
    for (int Y = Top; Y < Top + CellH; ++Y) {
        EXPECT_EQ(At(*Image, Left, Y), Window());
        EXPECT_EQ(At(*Image, Left + 1, Y), Window());
        for (int X = Left + 2; X < Left + CellW; ++X)
            Ink = Ink || At(*Image, X, Y) == ColorToRGB(clBlack);
    }
    EXPECT_TRUE(Ink);
    for (int X = Left; X < Left + CellW; ++X)
        EXPECT_EQ(At(*Image, X, Top + 1), Window()) << "nothing above top + 2";
}

TEST(GridPixels, ScrolledRowsPassUnderTheFixedRowAndItsLine) {
    auto Grid = MakeGrid(4, 100);
    Grid->SetFixedColor(clYellow);
    auto Before = Grid->Snapshot();
    Grid->SetTopRow(50);
    auto After = Grid->Snapshot();
    for (int X = 0; X < 300; X += 7)
        for (int Y = 0; Y <= HLine0; ++Y)
            ASSERT_EQ(At(*Before, X, Y), At(*After, X, Y)) << X << "," << Y;
    EXPECT_EQ(At(*After, VLine0 + 5, HLine1), Silver());
}
