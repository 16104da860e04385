// The framework grids: the string grid's cell store and its row and column lists, geometry and
// scrolling, selection, keyboard and mouse, posted clicks, what painting visits, the in-place
// editor, and the published properties.
#include "Grids.h"
#include "EditMenu.h"
#include "FormReader.h"
#include "FormWriter.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "TypInfo.h"
#include "WinApi.h"

#include <gtest/gtest.h>

#include <map>

namespace {

constexpr int CellW = TCustomGrid::DefaultDefaultColWidth;
constexpr int CellH = TCustomGrid::DefaultDefaultRowHeight;
constexpr int Pitch = CellW + 1; // a cell and the line after it
constexpr int RowPitch = CellH + 1;

// A string grid that records what painting and selection asked of it.
class TProbeGrid : public TStringGrid {
public:
    using TStringGrid::TStringGrid;
    int Drawn = 0;
    std::map<std::pair<int, int>, TGridDrawState> States;
    std::vector<TGridCoord> Asked;
    TGridCoord Refused{-1, -1};
    using TCustomGrid::GridFocused;
    TGridDrawState State(int ACol, int ARow) { return States[{ACol, ARow}]; }
    bool Drew(int ACol, int ARow) const { return States.count({ACol, ARow}) != 0; }

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
        ++Drawn;
        States[{ACol, ARow}] = AState;
        TStringGrid::DrawCell(ACol, ARow, ARect, AState);
    }
    bool SelectCell(int ACol, int ARow) override {
        Asked.push_back({ACol, ARow});
        return TGridCoord{ACol, ARow} != Refused && TStringGrid::SelectCell(ACol, ARow);
    }
};

std::unique_ptr<TProbeGrid> MakeGrid(int Cols, int Rows, int Width = 400, int Height = 300) {
    auto Grid = std::make_unique<TProbeGrid>(nullptr);
    Grid->SetColCount(Cols);
    Grid->SetRowCount(Rows);
    Grid->SetScrollBars(ssNone);
    Grid->SetBounds(0, 0, Width, Height);
    return Grid;
}

void Settle() {
    TestSupport::ProcessEvents();
    TestSupport::ProcessEvents();
}

// Shows the grid as a window of its own and gives it the input focus.
void ShowFocused(TCustomGrid& Grid) {
    TestSupport::ShowAndWait(&Grid);
    TestSupport::Activate(&Grid);
    Grid.SetFocus();
    Settle();
}

void Key(TCustomGrid& Grid, unsigned short K, TShiftState Shift = {}) {
    TestSupport::KeyDown(&Grid, K, Shift);
}

TGridCoord Current(const TCustomGrid& Grid) {
    return {Grid.Col(), Grid.Row()};
}

// Catches what goes to the application's error report while it lives.
class TErrorReport {
public:
    TErrorReport() {
        SetExceptionHandler([this](const std::exception& E) { Messages.push_back(E.what()); });
    }
    ~TErrorReport() { SetExceptionHandler({}); }
    std::vector<AnsiString> Messages;
};

bool Contains(const AnsiString& Text, const AnsiString& Part) {
    return Text.find(Part) != AnsiString::npos;
}

} // namespace

// ---- Cell store

TEST(StringGridStore, CellsHoldingNothingReadEmptyInsideAndOutsideTheGrid) {
    auto Grid = MakeGrid(5, 5);
    Grid->SetCells(2, 2, "x");
    EXPECT_EQ(Grid->Cells(1, 1), "");
    EXPECT_EQ(Grid->Cells(3, 2), "");
    EXPECT_EQ(Grid->Cells(2, 2), "x");
    EXPECT_EQ(Grid->Cells(-1, 0), "");
    EXPECT_EQ(Grid->Cells(0, 1000), "");
}

TEST(StringGridStore, WritesJustPastTheLastColumnAndRowAreKeptAndShowWhenTheGridGrows) {
    auto Grid = MakeGrid(13, 50);
    Grid->SetCells(13, 1, "past column");
    Grid->SetCells(4, 50, "past row");
    EXPECT_EQ(Grid->Cells(13, 1), "past column");
    EXPECT_EQ(Grid->Cells(4, 50), "past row");
    Grid->SetRowCount(51);
    EXPECT_EQ(Grid->Cells(4, 50), "past row");
}

TEST(StringGridStore, WritesFurtherOutOrNegativeRaiseAndStoreNothing) {
    auto Grid = MakeGrid(5, 5);
    EXPECT_THROW(Grid->SetCells(6, 1, "x"), ERangeError);
    EXPECT_THROW(Grid->SetCells(1, 6, "x"), ERangeError);
    EXPECT_THROW(Grid->SetCells(-1, 1, "x"), ERangeError);
    Grid->SetRowCount(7);
    EXPECT_EQ(Grid->Cells(1, 6), "");
}

TEST(StringGridStore, ShrinkingDropsTheTextsCutOffSoRowsAndColumnsAddedLaterAreEmpty) {
    auto Grid = MakeGrid(5, 5);
    Grid->SetCells(0, 4, "*");
    Grid->SetCells(2, 4, "last row");
    Grid->SetCells(0, 5, "past");
    Grid->SetCells(4, 1, "last column");
    Grid->SetCells(1, 3, "kept");
    Grid->SetRowCount(4);
    Grid->SetColCount(4);
    EXPECT_EQ(Grid->Cells(1, 3), "kept");
    Grid->SetRowCount(6);
    Grid->SetColCount(5);
    EXPECT_EQ(Grid->Cells(0, 4), "");
    EXPECT_EQ(Grid->Cells(2, 4), "");
    EXPECT_EQ(Grid->Cells(0, 5), "");
    EXPECT_EQ(Grid->Cells(4, 1), "");
    EXPECT_EQ(Grid->Cells(1, 3), "kept");
}

TEST(StringGridStore, JapaneseBytesComeBackUnchanged) {
    auto Grid = MakeGrid(3, 3);
    const AnsiString Name = "ボルト　表"_sj; // an ideographic space; 表 has 0x5C as second byte
    Grid->SetCells(1, 1, Name);
    EXPECT_EQ(Grid->Cells(1, 1), Name);
    EXPECT_EQ(Grid->Rows(1)->Get(1), Name);
}

// ---- Row and column lists

TEST(StringGridRows, ARowListHasColCountEntriesThatReadAndWriteTheCells) {
    auto Grid = MakeGrid(4, 3);
    TStrings* Row = Grid->Rows(2);
    EXPECT_EQ(Row->Count(), 4);
    Row->Put(3, "d");
    EXPECT_EQ(Grid->Cells(3, 2), "d");
    Grid->SetCells(1, 2, "b");
    EXPECT_EQ(Row->Get(1), "b");
    EXPECT_THROW(Row->Get(4), EListError);
    Grid->SetColCount(6);
    EXPECT_EQ(Row->Count(), 6);
}

TEST(StringGridRows, ListsOfDifferentRowsStayDistinctAndValid) {
    auto Grid = MakeGrid(3, 5);
    TStrings* First = Grid->Rows(1);
    TStrings* Second = Grid->Rows(2);
    for (int I = 3; I < 5; ++I)
        Grid->Rows(I);
    EXPECT_NE(First, Second);
    EXPECT_EQ(Grid->Rows(1), First);
    First->Put(0, "one");
    EXPECT_EQ(Grid->Cells(0, 1), "one");
    EXPECT_EQ(Grid->Cells(0, 2), "");
}

TEST(StringGridRows, ClearEmptiesEveryCellOfTheRowMarkerIncluded) {
    auto Grid = MakeGrid(4, 3);
    for (int C = 0; C < 4; ++C)
        Grid->SetCells(C, 1, "v" + IntToStr(C));
    Grid->SetCells(1, 2, "other row");
    Grid->Rows(1)->Clear();
    for (int C = 0; C < 4; ++C)
        EXPECT_EQ(Grid->Cells(C, 1), "") << C;
    EXPECT_EQ(Grid->Cells(1, 2), "other row");
    EXPECT_EQ(Grid->Rows(1)->Count(), 4);
}

TEST(StringGridRows, AssignCopiesAnotherRowAndEmptiesWhatTheSourceDoesNotHold) {
    auto Grid = MakeGrid(4, 4);
    Grid->SetCells(0, 1, "*");
    Grid->SetCells(1, 1, "name");
    for (int C = 0; C < 4; ++C)
        Grid->SetCells(C, 2, "old" + IntToStr(C));
    Grid->Rows(2)->Assign(Grid->Rows(1));
    EXPECT_EQ(Grid->Cells(0, 2), "*");
    EXPECT_EQ(Grid->Cells(1, 2), "name");
    EXPECT_EQ(Grid->Cells(2, 2), "");
    EXPECT_EQ(Grid->Cells(3, 2), "");
    Grid->Rows(1)->Assign(Grid->Rows(3)); // a row that never held anything
    EXPECT_EQ(Grid->Cells(0, 1), "");
    EXPECT_EQ(Grid->Cells(1, 1), "");
}

TEST(StringGridRows, RowsCopiedFromOneAnotherChangeIndependently) {
    auto Grid = MakeGrid(4, 5);
    Grid->SetCells(1, 1, "name");
    Grid->SetCells(3, 1, "last");
    Grid->Rows(2)->Assign(Grid->Rows(1));
    Grid->Rows(3)->Assign(Grid->Rows(1));
    Grid->SetCells(1, 2, "edited");
    Grid->Rows(3)->Clear();
    EXPECT_EQ(Grid->Cells(1, 1), "name");
    EXPECT_EQ(Grid->Cells(1, 2), "edited");
    EXPECT_EQ(Grid->Cells(3, 2), "last");
    EXPECT_EQ(Grid->Cells(1, 3), "");
    Grid->SetCells(1, 1, "renamed");
    EXPECT_EQ(Grid->Cells(1, 2), "edited");
    Grid->Rows(4)->Assign(Grid->Rows(1));
    Grid->SetColCount(3);
    Grid->SetColCount(4);
    EXPECT_EQ(Grid->Cells(3, 1), "");
    EXPECT_EQ(Grid->Cells(3, 4), "");
    EXPECT_EQ(Grid->Cells(1, 4), "renamed");
}

TEST(StringGridRows, AssignFromAStringListFillsTheRowFromColumnZero) {
    auto Grid = MakeGrid(3, 3);
    Grid->SetCells(2, 1, "old");
    TStringList List;
    List.Add("a");
    List.Add("b");
    Grid->Rows(1)->Assign(&List);
    EXPECT_EQ(Grid->Cells(0, 1), "a");
    EXPECT_EQ(Grid->Cells(1, 1), "b");
    EXPECT_EQ(Grid->Cells(2, 1), "");
}

TEST(StringGridRows, ShiftingRowsUpDeletesARowWithoutAGapAndSavedRowsSwapBack) {
    auto Grid = MakeGrid(3, 6);
    for (int R = 1; R < 6; ++R) {
        Grid->SetCells(0, R, "*");
        Grid->SetCells(1, R, "row" + IntToStr(R));
    }
    for (int R = 3; R < 6; ++R)
        Grid->Rows(R - 1)->Assign(Grid->Rows(R));
    Grid->SetRowCount(5);
    EXPECT_EQ(Grid->Cells(1, 1), "row1");
    EXPECT_EQ(Grid->Cells(1, 2), "row3");
    EXPECT_EQ(Grid->Cells(1, 4), "row5");
    Grid->SetRowCount(6);
    EXPECT_EQ(Grid->Cells(0, 5), "") << "the dropped last row must not come back";

    TStringList Saved;
    Saved.Assign(Grid->Rows(1));
    Grid->Rows(1)->Assign(Grid->Rows(2));
    Grid->Rows(2)->Assign(&Saved);
    EXPECT_EQ(Grid->Cells(1, 1), "row3");
    EXPECT_EQ(Grid->Cells(1, 2), "row1");
}

TEST(StringGridRows, ListsKeepTheirLengthAndRefuseInsertAddAndDelete) {
    auto Grid = MakeGrid(3, 3);
    EXPECT_THROW(Grid->Rows(1)->Add("x"), EListError);
    EXPECT_THROW(Grid->Rows(1)->Delete(0), EListError);
    EXPECT_THROW(Grid->Cols(1)->Insert(0, "x"), EListError);
    EXPECT_THROW(Grid->Rows(5), ERangeError);
    EXPECT_EQ(Grid->Rows(1)->Count(), 3);
}

TEST(StringGridRows, AColumnListHasRowCountEntries) {
    auto Grid = MakeGrid(3, 4);
    Grid->SetCells(2, 3, "c");
    TStrings* Col = Grid->Cols(2);
    EXPECT_EQ(Col->Count(), 4);
    EXPECT_EQ(Col->Get(3), "c");
    Col->Put(1, "d");
    EXPECT_EQ(Grid->Cells(2, 1), "d");
    Col->Clear();
    EXPECT_EQ(Grid->Cells(2, 3), "");
}

// ---- Geometry and scrolling

TEST(GridGeometry, CellRectsFollowWidthsHeightsAndLinesInClientCoordinates) {
    auto Grid = MakeGrid(5, 5);
    Grid->SetColWidths(0, 10);
    Grid->SetRowHeights(1, 30);
    EXPECT_EQ(Grid->CellRect(0, 0), Rect(0, 0, 10, CellH));
    EXPECT_EQ(Grid->CellRect(1, 1), Rect(11, RowPitch, 11 + CellW, RowPitch + 30));
    EXPECT_EQ(Grid->CellRect(2, 2),
              Rect(11 + Pitch, RowPitch + 31, 11 + Pitch + CellW, RowPitch + 31 + CellH));
    Grid->SetGridLineWidth(0);
    EXPECT_EQ(Grid->CellRect(1, 1).Left, 10);
}

TEST(GridGeometry, CellsPastTheClientAreaOrOutsideTheGridHaveEmptyRects) {
    auto Grid = MakeGrid(20, 20, 200, 100);
    EXPECT_EQ(Grid->CellRect(3, 1).Left, 3 * Pitch) << "partly visible: its whole rectangle";
    EXPECT_EQ(Grid->CellRect(4, 1), TRect{});
    EXPECT_EQ(Grid->CellRect(1, 4), TRect{});
    EXPECT_EQ(Grid->CellRect(20, 1), TRect{});
    EXPECT_EQ(Grid->CellRect(-1, 1), TRect{});
}

TEST(GridGeometry, ScrollingKeepsFixedCellsInPlaceAndHidesTheCellsScrolledPast) {
    auto Grid = MakeGrid(20, 100, 300, 200);
    Grid->SetTopRow(10);
    Grid->SetLeftCol(5);
    EXPECT_EQ(Grid->CellRect(0, 0), Rect(0, 0, CellW, CellH));
    EXPECT_EQ(Grid->CellRect(0, 10), Rect(0, RowPitch, CellW, RowPitch + CellH));
    EXPECT_EQ(Grid->CellRect(5, 0), Rect(Pitch, 0, Pitch + CellW, CellH));
    EXPECT_EQ(Grid->CellRect(6, 11),
              Rect(2 * Pitch, 2 * RowPitch, 2 * Pitch + CellW, 2 * RowPitch + CellH));
    EXPECT_EQ(Grid->CellRect(4, 9), TRect{});
}

TEST(GridGeometry, TopRowAndLeftColStayWhereTheLastCellsStillFillTheView) {
    auto Grid = MakeGrid(5, 100, 5 * Pitch, 10 * RowPitch);
    Grid->SetTopRow(1000);
    EXPECT_EQ(Grid->TopRow(), 91) << "rows 91..99 fill the nine rows below the fixed one";
    Grid->SetTopRow(-3);
    EXPECT_EQ(Grid->TopRow(), 1);
    Grid->SetLeftCol(3);
    EXPECT_EQ(Grid->LeftCol(), 1) << "every column fits";
    EXPECT_EQ(Grid->VisibleRowCount(), 9);
    EXPECT_EQ(Grid->VisibleColCount(), 4);
}

TEST(GridGeometry, MouseCoordCountsTheLineAfterACellAsTheCellAndGivesMinusOneOutside) {
    auto Grid = MakeGrid(3, 3, 400, 300);
    EXPECT_EQ(Grid->MouseCoord(0, 0), (TGridCoord{0, 0}));
    EXPECT_EQ(Grid->MouseCoord(CellW, CellH), (TGridCoord{0, 0}));
    EXPECT_EQ(Grid->MouseCoord(Pitch, RowPitch), (TGridCoord{1, 1}));
    EXPECT_EQ(Grid->MouseCoord(3 * Pitch + 5, 10), (TGridCoord{-1, -1}));
    EXPECT_EQ(Grid->MouseCoord(10, 3 * RowPitch + 5), (TGridCoord{-1, -1}));
    Grid->SetRowCount(50);
    Grid->SetTopRow(20);
    int C = 0;
    int R = 0;
    Grid->MouseToCell(Pitch + 1, RowPitch + 1, C, R);
    EXPECT_EQ(C, 1);
    EXPECT_EQ(R, 20);
}

TEST(GridGeometry, ScrollBarsAppearOnlyWhenCellsOverflowAndNarrowTheClientArea) {
    auto Grid = MakeGrid(3, 3, 400, 300);
    Grid->SetScrollBars(ssBoth);
    EXPECT_EQ(Grid->ClientWidth(), 400);
    EXPECT_EQ(Grid->ClientHeight(), 300);
    Grid->SetRowCount(100);
    EXPECT_LT(Grid->ClientWidth(), 400);
    EXPECT_EQ(Grid->ClientHeight(), 300);
    Grid->SetScrollBars(ssHorizontal);
    EXPECT_EQ(Grid->ClientWidth(), 400);
}

// ---- Selection

TEST(GridSelection, SettingTheSelectionMakesTopLeftTheAnchorAndBottomRightTheCurrentCell) {
    auto Grid = MakeGrid(19, 50);
    Grid->SetSelection({1, 7, 18, 7});
    EXPECT_EQ(Current(*Grid), (TGridCoord{18, 7}));
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 7, 18, 7}));
    EXPECT_TRUE(Grid->Asked.empty()) << "setting the selection does not ask SelectCell";
    Key(*Grid, VK_DOWN, {ssShift});
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 7, 18, 8})) << "the anchor stayed top-left";
}

TEST(GridSelection, SelectionIsClampedToTheBodyAndItsRowsScrolledIntoView) {
    auto Grid = MakeGrid(5, 100, 400, 10 * RowPitch);
    Grid->SetSelection({0, 0, 9, 80});
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 4, 80}));
    EXPECT_LE(Grid->TopRow(), 80);
    EXPECT_GE(Grid->TopRow() + Grid->VisibleRowCount(), 81);
}

TEST(GridSelection, SelectingWholeRowsKeepsTheColumnsInViewAndFarColumnsScrollIn) {
    auto Grid = MakeGrid(19, 50, 6 * Pitch, 300);
    Grid->SetSelection({1, 7, 18, 7});
    EXPECT_EQ(Grid->LeftCol(), 1);
    EXPECT_GT(Grid->CellRect(1, 7).Right, 0);
    Grid->SetSelection({15, 7, 18, 7});
    EXPECT_GT(Grid->CellRect(18, 7).Right, 0);
}

TEST(GridSelection, ChangingTheCurrentCellAsksSelectCellAndARefusalLeavesTheCell) {
    auto Grid = MakeGrid(5, 5);
    Grid->Refused = {3, 3};
    Grid->SetRow(3);
    EXPECT_EQ(Current(*Grid), (TGridCoord{1, 3}));
    Grid->SetCol(3);
    EXPECT_EQ(Current(*Grid), (TGridCoord{1, 3}));
    ASSERT_EQ(Grid->Asked.size(), 2u);
    EXPECT_EQ(Grid->Asked[1], (TGridCoord{3, 3}));
    int Events = 0;
    Grid->OnSelectCell = [&](TObject*, int, int, bool& CanSelect) {
        ++Events;
        CanSelect = false;
    };
    Grid->SetCol(2);
    EXPECT_EQ(Events, 1);
    EXPECT_EQ(Current(*Grid), (TGridCoord{1, 3}));
    EXPECT_THROW(Grid->SetRow(5), ERangeError);
}

TEST(GridSelection, ShrinkingTheGridClampsTheCurrentCellAndTheSelection) {
    auto Grid = MakeGrid(10, 50);
    Grid->SetSelection({2, 30, 8, 45});
    Grid->SetRowCount(20);
    Grid->SetColCount(5);
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 19, 4, 19}));
    EXPECT_EQ(Current(*Grid), (TGridCoord{4, 19}));
}

TEST(GridSelection, RowSelectSpansEveryBodyColumnOfTheSelectedRows) {
    auto Grid = MakeGrid(6, 10);
    Grid->SetOptions(Grid->Options() + TGridOptions{goRowSelect});
    Grid->SetSelection({3, 2, 3, 4});
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 2, 5, 4}));
}

// ---- Keyboard

TEST(GridKeyboard, ArrowsMoveOneCellAndStopAtTheBodyEdges) {
    auto Grid = MakeGrid(4, 4);
    Key(*Grid, VK_RIGHT);
    Key(*Grid, VK_DOWN);
    EXPECT_EQ(Current(*Grid), (TGridCoord{2, 2}));
    for (int I = 0; I < 5; ++I) {
        Key(*Grid, VK_LEFT);
        Key(*Grid, VK_UP);
    }
    EXPECT_EQ(Current(*Grid), (TGridCoord{1, 1})) << "never into the fixed cells";
    for (int I = 0; I < 5; ++I) {
        Key(*Grid, VK_RIGHT);
        Key(*Grid, VK_DOWN);
    }
    EXPECT_EQ(Current(*Grid), (TGridCoord{3, 3}));
}

TEST(GridKeyboard, ShiftArrowsExtendOnlyWithRangeSelect) {
    auto Grid = MakeGrid(6, 6);
    Key(*Grid, VK_RIGHT, {ssShift});
    Key(*Grid, VK_DOWN, {ssShift});
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 2, 2}));
    Key(*Grid, VK_DOWN);
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 3, 2, 3}));
    Grid->SetOptions(Grid->Options() - TGridOptions{goRangeSelect});
    Key(*Grid, VK_DOWN, {ssShift});
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 4, 2, 4}));
}

TEST(GridKeyboard, PagesHomeEndAndCtrlHomeEndReachTheirCellsAndScrollThemIntoView) {
    auto Grid = MakeGrid(10, 1000, 5 * Pitch, 11 * RowPitch);
    Key(*Grid, VK_NEXT);
    EXPECT_EQ(Grid->Row(), 11);
    EXPECT_EQ(Grid->TopRow(), 11);
    Key(*Grid, VK_PRIOR);
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_EQ(Grid->TopRow(), 1);
    Key(*Grid, VK_END);
    EXPECT_EQ(Current(*Grid), (TGridCoord{9, 1}));
    EXPECT_EQ(Grid->LeftCol(), 6);
    Key(*Grid, VK_HOME);
    EXPECT_EQ(Current(*Grid), (TGridCoord{1, 1}));
    Key(*Grid, VK_END, {ssCtrl});
    EXPECT_EQ(Current(*Grid), (TGridCoord{9, 999}));
    EXPECT_EQ(Grid->TopRow(), 990);
    Key(*Grid, VK_HOME, {ssCtrl});
    EXPECT_EQ(Current(*Grid), (TGridCoord{1, 1}));
    EXPECT_EQ(Grid->TopRow(), 1);
}

TEST(GridKeyboard, TabMovesAlongTheRowAndWrapsOnlyWithGoTabs) {
    auto Grid = MakeGrid(3, 4);
    Key(*Grid, VK_TAB);
    EXPECT_EQ(Current(*Grid), (TGridCoord{1, 1}));
    Grid->SetOptions(Grid->Options() + TGridOptions{goTabs});
    Key(*Grid, VK_TAB);
    Key(*Grid, VK_TAB);
    EXPECT_EQ(Current(*Grid), (TGridCoord{1, 2}));
    Key(*Grid, VK_TAB, {ssShift});
    EXPECT_EQ(Current(*Grid), (TGridCoord{2, 1}));
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 1, 2, 1})) << "Shift+Tab does not extend";
}

TEST(GridKeyboard, EveryKeyMoveAsksSelectCellAndARefusedCellStopsTheMove) {
    auto Grid = MakeGrid(5, 5);
    Grid->Refused = {1, 2};
    Key(*Grid, VK_DOWN);
    EXPECT_EQ(Current(*Grid), (TGridCoord{1, 1}));
    Key(*Grid, VK_END, {ssCtrl});
    EXPECT_EQ(Current(*Grid), (TGridCoord{4, 4}));
    EXPECT_EQ(Grid->Asked, (std::vector<TGridCoord>{{1, 2}, {4, 4}}));
}

TEST(GridKeyboard, OnKeyDownSeesTheKeyFirstAndCanSwallowIt) {
    auto Grid = MakeGrid(5, 5);
    Grid->OnKeyDown = [](TObject*, unsigned short& K, TShiftState) {
        if (K == VK_DOWN)
            K = 0;
    };
    Key(*Grid, VK_DOWN);
    Key(*Grid, VK_RIGHT);
    EXPECT_EQ(Current(*Grid), (TGridCoord{2, 1}));
}

// ---- Mouse

TEST(GridMouse, AClickSelectsTheCellAndAClickInAFixedCellChangesNothing) {
    auto Grid = MakeGrid(5, 5);
    Grid->SetSelection({1, 1, 2, 2});
    TestSupport::MouseDown(Grid.get(), mbLeft, {3 * Pitch + 3, 3 * RowPitch + 3});
    TestSupport::MouseUp(Grid.get(), mbLeft, {3 * Pitch + 3, 3 * RowPitch + 3});
    EXPECT_EQ(Grid->Selection(), (TGridRect{3, 3, 3, 3}));
    TestSupport::MouseDown(Grid.get(), mbLeft, {5, 5});
    TestSupport::MouseDown(Grid.get(), mbLeft, {2 * Pitch, 5});
    TestSupport::MouseDown(Grid.get(), mbLeft, {5, 2 * RowPitch});
    EXPECT_EQ(Grid->Selection(), (TGridRect{3, 3, 3, 3}));
}

TEST(GridMouse, DragAndShiftClickExtendTheSelectionWithRangeSelect) {
    auto Grid = MakeGrid(6, 6);
    TestSupport::MouseDown(Grid.get(), mbLeft, {Pitch + 3, RowPitch + 3});
    TestSupport::MouseMove(Grid.get(), {3 * Pitch + 3, 2 * RowPitch + 3}, {ssLeft});
    TestSupport::MouseUp(Grid.get(), mbLeft, {3 * Pitch + 3, 2 * RowPitch + 3});
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 3, 2}));
    TestSupport::MouseMove(Grid.get(), {5 * Pitch + 3, 5 * RowPitch + 3});
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 3, 2})) << "no drag after the button is up";
    TestSupport::MouseDown(Grid.get(), mbLeft, {4 * Pitch + 3, 4 * RowPitch + 3}, {ssShift});
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 4, 4}));
}

TEST(GridMouse, ARefusedClickLeavesTheCurrentCell) {
    auto Grid = MakeGrid(5, 5);
    Grid->Refused = {2, 2};
    TestSupport::MouseDown(Grid.get(), mbLeft, {2 * Pitch + 3, 2 * RowPitch + 3});
    EXPECT_EQ(Current(*Grid), (TGridCoord{1, 1}));
    EXPECT_EQ(Grid->Asked, (std::vector<TGridCoord>{{2, 2}}));
}

TEST(GridMouse, TheWheelScrollsRowsAndWithShiftColumns) {
    auto Grid = MakeGrid(30, 100, 300, 200);
    TestSupport::Wheel(Grid.get(), -120);
    EXPECT_EQ(Grid->TopRow(), 4);
    TestSupport::Wheel(Grid.get(), 120);
    EXPECT_EQ(Grid->TopRow(), 1);
    TestSupport::Wheel(Grid.get(), -240, {ssShift});
    EXPECT_EQ(Grid->LeftCol(), 3);
    EXPECT_EQ(Current(*Grid), (TGridCoord{1, 1})) << "scrolling does not move the current cell";
}

TEST(GridMouse, PostedClicksAreHandledAfterThePostingCodeHasReturned) {
    auto Grid = MakeGrid(5, 5);
    Grid->SetSelection({1, 2, 4, 2});
    ASSERT_TRUE(
        PostMessage(Grid.get(), WM_LBUTTONDOWN, 0, MAKELPARAM(3 * Pitch + 2, 3 * RowPitch + 2)));
    ASSERT_TRUE(
        PostMessage(Grid.get(), WM_LBUTTONUP, 0, MAKELPARAM(3 * Pitch + 2, 3 * RowPitch + 2)));
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 2, 4, 2}));
    Settle();
    EXPECT_EQ(Grid->Selection(), (TGridRect{3, 3, 3, 3}));
    PostMessage(Grid.get(), WM_LBUTTONDOWN, 0, 0);
    PostMessage(Grid.get(), WM_LBUTTONUP, 0, 0);
    Settle();
    EXPECT_EQ(Grid->Selection(), (TGridRect{3, 3, 3, 3})) << "(0, 0) lies in the fixed corner";
}

// ---- What painting visits

TEST(GridPainting, OnlyVisibleCellsAreDrawnHoweverManyRowsTheGridHas) {
    auto Small = MakeGrid(19, 50, 600, 410);
    auto Large = MakeGrid(19, 100000, 600, 410);
    Small->Snapshot();
    Large->Snapshot();
    const int VisibleCols = 600 / Pitch + 1; // the last one partly
    const int VisibleRows = 410 / RowPitch + 1;
    EXPECT_EQ(Small->Drawn, VisibleCols * VisibleRows);
    EXPECT_EQ(Large->Drawn, Small->Drawn);
    Large->Drawn = 0;
    Large->States.clear();
    Large->SetTopRow(90000);
    Large->Snapshot();
    EXPECT_EQ(Large->Drawn, VisibleCols * VisibleRows);
    EXPECT_TRUE(Large->Drew(3, 90005));
    EXPECT_TRUE(Large->Drew(3, 0));
    EXPECT_FALSE(Large->Drew(3, 5));
}

TEST(GridPainting, DrawStatesMarkFixedSelectedAndTheFocusedCurrentCell) {
    auto Grid = MakeGrid(5, 5);
    ShowFocused(*Grid);
    ASSERT_TRUE(Grid->GridFocused());
    Grid->SetSelection({1, 1, 2, 2});
    Grid->Snapshot();
    EXPECT_EQ(Grid->State(0, 1), TGridDrawState{gdFixed});
    EXPECT_EQ(Grid->State(1, 0), TGridDrawState{gdFixed});
    EXPECT_EQ(Grid->State(1, 1), TGridDrawState{gdSelected});
    EXPECT_EQ(Grid->State(2, 2), (TGridDrawState{gdSelected, gdFocused}));
    EXPECT_EQ(Grid->State(3, 2), TGridDrawState{});

    Grid->SetOptions(Grid->Options() + TGridOptions{goRowSelect});
    Grid->Snapshot();
    EXPECT_EQ(Grid->State(4, 1), TGridDrawState{gdSelected});
    EXPECT_EQ(Grid->State(4, 3), TGridDrawState{});
}

TEST(GridPainting, WithoutTheFocusNoCellIsDrawnFocused) {
    auto Grid = MakeGrid(5, 5);
    Grid->Snapshot();
    EXPECT_EQ(Grid->State(1, 1), TGridDrawState{gdSelected});
}

TEST(GridPainting, ARepaintDrawsOnlyTheCellsOfTheAreaToRepaint) {
    auto Grid = MakeGrid(10, 100000, 600, 400);
    TestSupport::ShowAndWait(Grid.get());
    Settle();
    Grid->Drawn = 0;
    Grid->States.clear();
    TestSupport::PaintNow(Grid.get(), Grid->CellRect(3, 4));
    EXPECT_EQ(Grid->Drawn, 1);
    EXPECT_TRUE(Grid->Drew(3, 4));
}

TEST(GridPainting, WritingCellsOutOfViewRepaintsNothingAndAVisibleWriteOnlyItsCell) {
    auto Grid = MakeGrid(19, 100000, 600, 400);
    TestSupport::ShowAndWait(Grid.get());
    Settle();
    Grid->Drawn = 0;
    for (int R = 1000; R < 100000; ++R)
        Grid->SetCells(1, R, "x");
    Settle();
    EXPECT_EQ(Grid->Drawn, 0);
    Grid->SetCells(2, 3, "visible");
    Settle();
    EXPECT_EQ(Grid->Drawn, 1);
}

TEST(GridPainting, NothingIsRepaintedWhileRedrawIsOff) {
    auto Grid = MakeGrid(5, 50);
    TestSupport::ShowAndWait(Grid.get());
    Settle();
    Grid->Drawn = 0;
    SendMessage(Grid.get(), WM_SETREDRAW, 0, 0);
    Grid->SetCells(1, 1, "a");
    Grid->SetRowCount(60);
    Settle();
    EXPECT_EQ(Grid->Drawn, 0);
    SendMessage(Grid.get(), WM_SETREDRAW, 1, 0);
    Grid->Refresh();
    EXPECT_GT(Grid->Drawn, 0);
}

// ---- In-place editor

namespace {

std::unique_ptr<TProbeGrid> MakeEditableGrid() {
    auto Grid = MakeGrid(5, 5);
    Grid->SetOptions(Grid->Options() + TGridOptions{goEditing});
    ShowFocused(*Grid);
    return Grid;
}

TInplaceEdit* Editor(TCustomGrid& Grid) {
    return Grid.InplaceEditor();
}

// Types the text into the editor, one key a character.
void Type(TCustomGrid& Grid, const AnsiString& Text) {
    TestSupport::Type(Editor(Grid), Text);
}

void EditorKey(TCustomGrid& Grid, unsigned short K) {
    TestSupport::PressKey(Editor(Grid), K);
}

} // namespace

TEST(GridEditor, F2OpensTheEditorOnTheCellTextAndEnterCommitsThroughSetEditText) {
    auto Grid = MakeEditableGrid();
    Grid->SetCells(1, 1, "ボルト"_sj);
    std::vector<AnsiString> Set;
    Grid->OnSetEditText = [&](TObject*, int C, int R, const AnsiString& V) {
        Set.push_back(IntToStr(C) + "," + IntToStr(R) + "," + V);
    };
    Key(*Grid, VK_F2);
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Editor(*Grid)->EditText(), "ボルト"_sj);
    EXPECT_EQ(TestSupport::EditCaret(Editor(*Grid)), 3);
    EXPECT_EQ(TestSupport::FocusedControl(), Editor(*Grid));
    Type(*Grid, "M8");
    EditorKey(*Grid, VK_RETURN);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Cells(1, 1), "ボルトM8"_sj);
    EXPECT_EQ(Set, (std::vector<AnsiString>{"1,1,"_sj + "ボルトM8"_sj}));
    EXPECT_TRUE(Grid->Focused()) << "the grid has the focus back";
}

// The editor offers the toolkit's edit menu, in Japanese.
TEST(GridEditor, ItsEditMenuIsJapanese) {
    auto Grid = MakeEditableGrid();
    Key(*Grid, VK_F2);
    ASSERT_TRUE(TestSupport::IsShown(Editor(*Grid)));
    EXPECT_TRUE(IsJapaneseEditMenu(EditMenuItems(Editor(*Grid), {2, 2})));
}

TEST(GridEditor, TypingOpensTheEditorWithTheTypedCharacterReplacingTheText) {
    auto Grid = MakeEditableGrid();
    Grid->SetCells(1, 1, "old");
    TestSupport::Type(Grid.get(), "あ"_sj);
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Editor(*Grid)->EditText(), "あ"_sj);
    EditorKey(*Grid, VK_RETURN);
    EXPECT_EQ(Grid->Cells(1, 1), "あ"_sj);
}

TEST(GridEditor, AnInputMethodCompositionStartsTheEditAndItsResultLandsInTheCell) {
    auto Grid = MakeEditableGrid();
    TestSupport::Compose(Grid.get(), "かんじ"_sj);
    ASSERT_TRUE(Grid->EditorMode());
    TestSupport::Commit(Grid.get(), "漢字"_sj);
    EXPECT_EQ(Editor(*Grid)->EditText(), "漢字"_sj);
    Settle();
    EXPECT_EQ(TestSupport::FocusedControl(), Editor(*Grid));
    EditorKey(*Grid, VK_RETURN);
    EXPECT_EQ(Grid->Cells(1, 1), "漢字"_sj);
}

TEST(GridEditor, EscapeCancelsAndTheCellKeepsItsText) {
    auto Grid = MakeEditableGrid();
    Grid->SetCells(1, 1, "keep");
    Key(*Grid, VK_RETURN);
    ASSERT_TRUE(Grid->EditorMode());
    Type(*Grid, "xyz");
    EditorKey(*Grid, VK_ESCAPE);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Cells(1, 1), "keep");
}

TEST(GridEditor, MovingTheCurrentCellOrLosingTheFocusCommits) {
    auto Grid = MakeEditableGrid();
    TestSupport::Type(Grid.get(), "a");
    EditorKey(*Grid, VK_DOWN);
    EXPECT_EQ(Grid->Cells(1, 1), "a");
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_FALSE(Grid->EditorMode());

    TestSupport::Type(Grid.get(), "b");
    TestSupport::MouseDown(Grid.get(), mbLeft, {3 * Pitch + 2, 3 * RowPitch + 2});
    EXPECT_EQ(Grid->Cells(1, 2), "b");

    TestSupport::Type(Grid.get(), "c");
    TMemo Other(nullptr);
    TestSupport::ShowAndWait(&Other);
    TestSupport::Activate(&Other);
    Settle();
    EXPECT_EQ(Grid->Cells(3, 3), "c");
    EXPECT_FALSE(Grid->EditorMode());
}

TEST(GridEditor, ScrollingTheEditedCellOutOfViewCommitsAndClosesTheEditor) {
    auto Grid = MakeEditableGrid();
    Grid->SetRowCount(100);
    TestSupport::Type(Grid.get(), "z");
    TestSupport::Wheel(Grid.get(), -120);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Cells(1, 1), "z");
}

TEST(GridEditor, TextTheCodePageCannotHoldIsRefusedWithAJapaneseErrorAndTheCellKeepsItsText) {
    auto Grid = MakeEditableGrid();
    Grid->SetCells(2, 3, "old");
    Grid->SetSelection({2, 3, 2, 3});
    TErrorReport Report;
    Key(*Grid, VK_F2);
    TestSupport::Type(Editor(*Grid), std::u16string(u"\uD55C"));
    EditorKey(*Grid, VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 3), "old");
    ASSERT_EQ(Report.Messages.size(), 1u);
    EXPECT_TRUE(Contains(Report.Messages[0], "列 "_sj + "2"));
    EXPECT_TRUE(Contains(Report.Messages[0], "行 "_sj + "3"));
    EXPECT_TRUE(Contains(Report.Messages[0], "シフトJIS"_sj));
    EXPECT_TRUE(Grid->EditorMode()) << "the typed text stays for the user to correct";

    EditorKey(*Grid, VK_DOWN);
    EXPECT_EQ(Grid->Row(), 3) << "the refused text holds the current cell";
    EXPECT_EQ(Report.Messages.size(), 2u);
    EditorKey(*Grid, VK_ESCAPE);
    EXPECT_EQ(Grid->Cells(2, 3), "old");
}

TEST(GridEditor, AnEditorLeftUnchangedWritesNothingBack) {
    auto Grid = MakeEditableGrid();
    const AnsiString Odd = "\x81"; // a lone lead byte: no character of the code page
    Grid->SetCells(1, 1, Odd);
    int Sets = 0;
    Grid->OnSetEditText = [&](TObject*, int, int, const AnsiString&) { ++Sets; };
    Key(*Grid, VK_F2);
    EditorKey(*Grid, VK_RETURN);
    EXPECT_EQ(Grid->Cells(1, 1), Odd);
    EXPECT_EQ(Sets, 0);
}

TEST(GridEditor, WithoutGoEditingOrInAFixedCellNoEditorOpens) {
    auto Grid = MakeGrid(5, 5);
    ShowFocused(*Grid);
    TestSupport::Type(Grid.get(), "x");
    Key(*Grid, VK_F2);
    EXPECT_FALSE(Grid->EditorMode());
    Grid->SetOptions(Grid->Options() + TGridOptions{goEditing, goRowSelect});
    Key(*Grid, VK_F2);
    EXPECT_FALSE(Grid->EditorMode()) << "row selection edits nothing";
}

TEST(GridEditor, ADoubleClickOnACellOpensTheEditorAndGetEditTextMayChangeItsText) {
    auto Grid = MakeEditableGrid();
    Grid->SetCells(2, 2, "1200");
    Grid->OnGetEditText = [](TObject*, int, int, AnsiString& V) { V = "[" + V + "]"; };
    TestSupport::MouseDown(Grid.get(), mbLeft, {2 * Pitch + 2, 2 * RowPitch + 2});
    TestSupport::DoubleClick(Grid.get(), mbLeft, {2 * Pitch + 2, 2 * RowPitch + 2});
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Editor(*Grid)->EditText(), "[1200]");
    EXPECT_EQ(TestSupport::WindowBounds(Editor(*Grid)), Grid->CellRect(2, 2));
}

TEST(GridEditor, TheEditorTakesTheGridFontAndFollowsItsChanges) {
    auto Grid = MakeEditableGrid();
    Grid->Font()->SetHeight(-20);
    Key(*Grid, VK_F2);
    ASSERT_NE(Grid->InplaceEditor(), nullptr);
    EXPECT_EQ(Grid->InplaceEditor()->Font()->Height(), -20);
    Grid->Font()->SetHeight(-16);
    EXPECT_EQ(Grid->InplaceEditor()->Font()->Height(), -16);
}

// ---- Published properties

TEST(GridProperties, DeclaredDefaultsMatchTheConstructor) {
    const TClassInfo* Info = FindClassInfo("TStringGrid");
    ASSERT_NE(Info, nullptr);
    ASSERT_TRUE(Info->Create);
    TStringGrid Grid(nullptr);
    for (const char* Name :
         {"ColCount", "RowCount", "FixedCols", "FixedRows", "DefaultColWidth", "DefaultRowHeight",
          "DefaultDrawing", "FixedColor", "GridLineWidth", "Options", "ScrollBars"}) {
        const TPropInfo* Prop = Info->FindProp(Name);
        ASSERT_NE(Prop, nullptr) << Name;
        ASSERT_TRUE(Prop->Default.has_value()) << Name;
        EXPECT_EQ(*Prop->Default, Prop->GetOrd(&Grid)) << Name;
    }
    EXPECT_EQ(*Info->FindProp("FixedColor")->Default, clBtnFace);
    EXPECT_EQ(*Info->FindProp("ColCount")->Default, 5);
    EXPECT_EQ(*Info->FindProp("DefaultRowHeight")->Default, 24);
    for (const char* Name : {"OnSelectCell", "OnDrawCell", "OnSetEditText", "OnGetEditText"})
        EXPECT_NE(Info->FindProp(Name), nullptr) << Name;
}

TEST(GridProperties, SizesAndOptionsSurviveASaveAndLoad) {
    TStringGrid Grid(nullptr);
    Grid.SetName("Grid1");
    Grid.SetColCount(4);
    Grid.SetDefaultColWidth(11);
    Grid.SetColWidths(0, 10);
    Grid.SetColWidths(2, 150);
    Grid.SetRowHeights(3, 40);
    Grid.SetOptions(Grid.Options() + TGridOptions{goEditing});
    const std::string Text = WriteComponentText(&Grid);
    EXPECT_NE(Text.find("ColWidths = ("), std::string::npos) << Text;

    TStringGrid Loaded(nullptr);
    ReadComponentText(&Loaded, Text);
    EXPECT_EQ(Loaded.ColCount(), 4);
    EXPECT_EQ(Loaded.ColWidths(0), 10);
    EXPECT_EQ(Loaded.ColWidths(1), 11);
    EXPECT_EQ(Loaded.ColWidths(2), 150);
    EXPECT_EQ(Loaded.RowHeights(3), 40);
    EXPECT_EQ(Loaded.RowHeights(2), 24);
    EXPECT_TRUE(Loaded.Options().Contains(goEditing));
}

TEST(GridProperties, AWidthListLongerThanTheGridIsRefused) {
    TStringGrid Grid(nullptr);
    Grid.SetName("Grid1");
    EXPECT_THROW(ReadComponentText(&Grid, "object Grid1: TStringGrid\n"
                                          "  ColCount = 2\n"
                                          "  FixedCols = 0\n"
                                          "  ColWidths = (10 20 30)\n"
                                          "end\n"),
                 Exception);
}

TEST(GridProperties, UnchangedSizesAreNotWritten) {
    TStringGrid Grid(nullptr);
    Grid.SetName("Grid1");
    Grid.SetDefaultColWidth(30);
    const std::string Text = WriteComponentText(&Grid);
    EXPECT_EQ(Text.find("ColWidths"), std::string::npos) << Text;
    EXPECT_EQ(Text.find("RowHeights"), std::string::npos) << Text;
}
