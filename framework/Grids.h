// Grids: a table of cells painted by the grid itself, with fixed rows and columns, selection,
// scrolling, keyboard and mouse, and an in-place editor; the string grid stores cell texts.
#pragma once

#include "Controls.h"

#include <vector>

enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TSet<TGridOption>;
const std::vector<const char*>& GridOptionNames();

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
const std::vector<const char*>& ScrollStyleNames();

struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

// Columns Left..Right and rows Top..Bottom, all inclusive.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect,
                                          TGridDrawState State)>;
using TSetEditEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const AnsiString& Value)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;

class TCustomGrid;

// The line editor that the grid lays over the current cell. The text is shown as Unicode and
// handed back in code page 932.
class TInplaceEdit : public TWinControl {
public:
    explicit TInplaceEdit(TComponent* AOwner);
    const char* ClassName() const override { return "TInplaceEdit"; }
    TCustomGrid* Grid() const { return FGrid; }
    // EConvertError when the text holds characters that code page 932 cannot hold.
    AnsiString EditText() const;
    // False, with Value holding what converted before the first such character.
    bool TryEditText(AnsiString& Value) const;
    void SetEditText(const AnsiString& Value);
    void SelectAll();
    // Whether the user changed the text since SetEditText.
    bool Modified() const;

protected:
    TPlatformWidget* CreateWidget() override;

private:
    friend class TCustomGrid;
    void SetModified(bool Value);
    // Types Value at the caret, as the user would.
    void InsertText(const AnsiString& Value);
    TCustomGrid* FGrid = nullptr;
};

// ColWidths and RowHeights are published as lists of integers, one per column (row), written
// in form files as ColWidths = (10 180 150). Reading a list fills the sizes from the first
// column (row) on and gives the ones it does not reach the default size; a list longer than
// the grid raises ERangeError.
class TCustomGrid : public TCustomControl {
public:
    static constexpr int DefaultColCount = 5;
    static constexpr int DefaultRowCount = 5;
    static constexpr int DefaultFixedCols = 1;
    static constexpr int DefaultFixedRows = 1;
    static constexpr int DefaultDefaultColWidth = 64;
    static constexpr int DefaultDefaultRowHeight = 24;
    static constexpr int DefaultGridLineWidth = 1;
    static constexpr TGridOptions DefaultOptions{goFixedVertLine, goFixedHorzLine, goVertLine,
                                                 goHorzLine, goRangeSelect};
    static constexpr TColor DefaultFixedColor = clBtnFace;
    static constexpr bool DefaultDefaultDrawing = true;
    static constexpr TScrollStyle DefaultScrollBars = ssBoth;

    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;
    const char* ClassName() const override { return "TCustomGrid"; }

    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    // Setting a default size gives every column (row) that size.
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    TStrings* ColWidthsList() const;
    TStrings* RowHeightsList() const;
    // Whether every column (Columns) or row has the default size.
    bool SizesAtDefault(bool Columns) const;
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    // The options in force.
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);

    int Col() const { return FCurrent.X; }
    void SetCol(int Value);
    int Row() const { return FCurrent.Y; }
    void SetRow(int Value);
    // Setting makes its top-left the anchor and its bottom-right the current cell; SelectCell
    // is not asked. The view scrolls to the current row, and sideways only when no column of
    // the selection is in view, so that selecting whole rows does not move the view.
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Value);
    int TopRow() const { return FTopLeft.Y; }
    void SetTopRow(int Value);
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int Value);
    // Non-fixed columns (rows) wholly visible from LeftCol (TopRow) on.
    int VisibleColCount() const;
    int VisibleRowCount() const;

    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }

    // The cell's rectangle in client coordinates, right and bottom exclusive, the grid line
    // after it left out; a partly visible cell gives its whole rectangle, a hidden cell an
    // empty one.
    TRect CellRect(int ACol, int ARow) const;
    // The cell under the point, the line after a cell counting as the cell; -1 outside.
    TGridCoord MouseCoord(int X, int Y) const;
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    void InvalidateCell(int ACol, int ARow);
    void InvalidateRow(int ARow);
    void InvalidateGrid() { Invalidate(); }

    int ClientWidth() const override;
    int ClientHeight() const override;

    TSelectCellEvent OnSelectCell;
    TDrawCellEvent OnDrawCell;
    TSetEditEvent OnSetEditText;
    TGetEditEvent OnGetEditText;

    // WM_LBUTTONDOWN and WM_LBUTTONUP act as a left click at the point in LParam.
    void DispatchMessage(unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) override;

protected:
    void DispatchWheel(int Delta, TShiftState Shift) override;
    // Asked before the current cell moves to (ACol, ARow); false refuses the move.
    virtual bool SelectCell(int ACol, int ARow);
    // Paints one cell; the grid lines are painted by Paint around it.
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    // Called once, when the editor is first needed; the editor's parent is the grid.
    virtual TInplaceEdit* CreateEditor();
    virtual AnsiString GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const AnsiString& Value);
    // Whether the current cell may be edited in place now.
    virtual bool CanEditShow() const;
    virtual void SizeChanged(int /*OldColCount*/, int /*OldRowCount*/) {}
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void KeyDown(unsigned short& Key, TShiftState Shift) override;
    void KeyPress(AnsiString& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    // Moves the current cell (after SelectCell agrees); MoveAnchor false extends the selection.
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    // Commits the editor's text through SetEditText. Text that code page 932 cannot hold, or
    // that SetEditText refuses by raising, goes to the application's error report, the cell
    // keeps its text and the result is false.
    bool CommitEditor();
    // Closes the editor without committing.
    void HideEditor();
    // Opens the editor on the current cell with its text, caret at the end.
    void ShowEditor();
    // Whether the grid or its editor has the input focus.
    bool GridFocused() const;

private:
    class TAxis;
    class TSizeList;
    struct TPlatform;
    friend class TInplaceEdit;
    static void CheckIndex(int Index, int Count);
    TAxis HorzAxis() const;
    TAxis VertAxis() const;
    int ColLine() const;
    int RowLine() const;
    void ChangeSize(int NewColCount, int NewRowCount);
    void SetFixed(int& Fixed, int Count, int Value, const AnsiString& Refusal);
    void SetDefaultSize(std::vector<int>& Sizes, int& Default, int Value);
    static int SizeOf(const TAxis& Axis, int Index);
    void SetSize(std::vector<int>& Sizes, const TAxis& Axis, int Index, int Value);
    void SizesChanged();
    TGridCoord ClampToBody(TGridCoord Cell) const;
    void ClampPositions();
    void SetTopLeft(TGridCoord Value);
    void ScrollToCurrent(bool Columns = true);
    void MoveCurrent(int ACol, int ARow, bool MoveAnchor);
    void SelectionMoved(const TGridRect& OldSelection);
    TRect BoxRect(const TGridRect& R) const;
    void InvalidateRect(const TRect& R);
    void InvalidateGridRect(const TGridRect& R);
    void EnsurePlatform();
    void UpdateScrollBars();
    void LayoutScrollBars();
    void UpdateInputMethod();
    bool ShowsSelectedColors(TGridDrawState State) const;
    void FillDefaultBackground(const TRect& R, TGridDrawState State);
    void DrawDefaultFocus(const TRect& R);
    void PaintLines(const TRect& Area);
    bool NavigationKey(unsigned short Key, TShiftState Shift);
    TInplaceEdit* Editor();
    void OpenEditor(const AnsiString& Text, bool Typed, bool Focus);
    void PlaceEditor();
    void StoreEditorText();
    void CancelEditor();
    bool EditorKey(unsigned short Key, TShiftState Shift);
    void EditorFocusLost(bool ToGrid);
    TPlatformWidget* ComposingEditor(bool Open);
    int FColCount = DefaultColCount;
    int FRowCount = DefaultRowCount;
    int FFixedCols = DefaultFixedCols;
    int FFixedRows = DefaultFixedRows;
    int FDefaultColWidth = DefaultDefaultColWidth;
    int FDefaultRowHeight = DefaultDefaultRowHeight;
    std::vector<int> FColWidths;  // empty while every column has the default width
    std::vector<int> FRowHeights; // empty while every row has the default height
    int FGridLineWidth = DefaultGridLineWidth;
    TGridOptions FOptions = DefaultOptions;
    TColor FFixedColor = DefaultFixedColor;
    bool FDefaultDrawing = DefaultDefaultDrawing;
    TScrollStyle FScrollBars = DefaultScrollBars;
    TGridCoord FCurrent{DefaultFixedCols, DefaultFixedRows};
    TGridCoord FAnchor{DefaultFixedCols, DefaultFixedRows};
    TGridCoord FTopLeft{DefaultFixedCols, DefaultFixedRows};
    bool FEditorMode = false;
    TGridCoord FEditCell;
    bool FCommitting = false;
    bool FSelecting = false;
    bool FClickInCell = false;
    bool FMoving = false; // SelectCell is deciding on a move
    TInplaceEdit* FInplaceEdit = nullptr;
    std::unique_ptr<TSizeList> FColWidthList;
    std::unique_ptr<TSizeList> FRowHeightList;
    std::unique_ptr<TPlatform> FPlatform;
};

class TDrawGrid : public TCustomGrid {
public:
    explicit TDrawGrid(TComponent* AOwner);
    const char* ClassName() const override { return "TDrawGrid"; }
};

class TStringGrid : public TDrawGrid {
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;
    const char* ClassName() const override { return "TStringGrid"; }

    // Reads of cells that hold nothing (or lie outside the store) give "". Writes reach every
    // cell up to one past the last column and one past the last row; further out they raise
    // ERangeError. When RowCount (ColCount) shrinks, the texts of the rows (columns) cut off
    // are dropped, so a row added later is empty.
    const AnsiString& Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, std::string_view Value);
    // The row's texts as a string list of ColCount entries: Get and Put read and write cells,
    // Clear empties every cell of the row, Assign copies another list's texts into it (cells
    // beyond the source's count are emptied). The list keeps its length: Insert, Add and
    // Delete raise EListError. Index runs to one past the last row, as for Cells; a list stays
    // valid for the life of the grid.
    TStrings* Rows(int Index);
    // The column's texts as a string list of RowCount entries, as Rows.
    TStrings* Cols(int Index);

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    AnsiString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
    void SizeChanged(int OldColCount, int OldRowCount) override;

private:
    class TStringGridStrings;
    friend class TStringGridStrings;
    struct TViews;
    TStrings* View(bool IsRow, int Index);
    void CheckWrite(int ACol, int ARow) const;
    int WritableSlot(int ARow);
    int NewSlot();
    void ReleaseRow(int ARow);
    void CopyRow(int From, int To);
    void ClearRow(int ARow);
    // Texts are kept column by column, so that filling a column touches only that column's
    // memory. Each row written maps to a slot, the same index in every column; rows copied
    // from one another share their slot until one of them is written.
    static constexpr int NoSlot = -1;
    using TSlots = std::vector<int, TLargeAllocator<int>>;
    using TColumn = std::vector<AnsiString, TLargeAllocator<AnsiString>>;
    TSlots FRowSlots;  // by row, up to the last row written
    TSlots FSlotUsers; // by slot: the rows that map to it; none: the slot is free
    std::vector<int> FFreeSlots;
    std::vector<TColumn> FColumns; // by column: the texts by slot
    std::unique_ptr<TViews> FViews;
};

// The unit's classes and published properties, for the form files; RegisterFrameworkClasses
// calls it once.
void RegisterGrids();
