// Grids: a table of cells painted by the grid itself, with fixed rows and columns, selection,
// scrolling, keyboard and mouse, and an in-place editor; the string grid stores cell texts.
#pragma once

#include "Controls.h"

#include <vector>

enum TGridOption {
    goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect,
    goDrawFocusSelected, goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing,
    goTabs, goRowSelect, goAlwaysShowEditor, goThumbTracking
};
using TGridOptions = TSet<TGridOption>;
const std::vector<const char*>& GridOptionNames();

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

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

using TSelectCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect,
                                          TGridDrawState State)>;
using TSetEditEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const AnsiString& Value)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;

class TCustomGrid;

// The line editor that the grid lays over the current cell. Typed text is kept in code page
// 932; text the code page cannot hold is refused when the edit is committed.
class TInplaceEdit : public TWinControl {
public:
    explicit TInplaceEdit(TComponent* AOwner);
    const char* ClassName() const override { return "TInplaceEdit"; }
    TCustomGrid* Grid() const { return FGrid; }
    AnsiString EditText() const;
    void SetEditText(const AnsiString& Value);
    void SelectAll();
    void SetImeMode(TImeMode Value) override;

protected:
    QWidget* CreateWidget() override;
    void FontChanged() override;

private:
    friend class TCustomGrid;
    TCustomGrid* FGrid = nullptr;
};

class TCustomGrid : public TCustomControl {
public:
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
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    // The options in force.
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);

    int Col() const { return FCurrent.X; }
    void SetCol(int Value);
    int Row() const { return FCurrent.Y; }
    void SetRow(int Value);
    // Setting makes its top-left the anchor and its bottom-right the current cell.
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Value);
    int TopRow() const { return FTopLeft.Y; }
    void SetTopRow(int Value);
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int Value);
    int VisibleColCount() const;
    int VisibleRowCount() const;

    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }

    // The cell's rectangle in client coordinates; empty when the cell is not visible.
    TRect CellRect(int ACol, int ARow) const;
    TGridCoord MouseCoord(int X, int Y) const;
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    void InvalidateCell(int ACol, int ARow);
    void InvalidateRow(int ARow);
    void InvalidateGrid() { Invalidate(); }

    TSelectCellEvent OnSelectCell;
    TDrawCellEvent OnDrawCell;
    TSetEditEvent OnSetEditText;
    TGetEditEvent OnGetEditText;

    void DispatchWheel(int Delta, TShiftState Shift) override;
    void DispatchMessage(unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) override;

protected:
    // Asked before the current cell moves to (ACol, ARow); false refuses the move.
    virtual bool SelectCell(int ACol, int ARow);
    // Paints one cell; the grid lines are painted by Paint around it.
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    virtual TInplaceEdit* CreateEditor();
    virtual AnsiString GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const AnsiString& Value);
    virtual bool CanEditShow() const;
    virtual void SizeChanged(int /*OldColCount*/, int /*OldRowCount*/) {}
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void KeyDown(unsigned short& Key, TShiftState Shift) override;
    void KeyPress(AnsiString& Key) override;
    void DoExit() override;
    void Resize() override;
    // Moves the current cell (after SelectCell agrees); MoveAnchor false extends the selection.
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    // Commits the editor's text through SetEditText; false when the text was refused.
    bool CommitEditor();
    void HideEditor();
    void ShowEditor();

private:
    struct TScrollState;
    void ClampPositions();
    void UpdateScrollBars();
    void ScrollToCurrent();
    void PlaceEditor();
    void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
    int ColumnAt(int X) const;
    int RowAt(int Y) const;
    int FColCount = 5;
    int FRowCount = 5;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    std::vector<int> FColWidths;
    std::vector<int> FRowHeights; // empty while every row has the default height
    int FGridLineWidth = 1;
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine,
                          goRangeSelect};
    TColor FFixedColor = clBtnFace;
    bool FDefaultDrawing = true;
    TScrollStyle FScrollBars = ssBoth;
    TGridCoord FCurrent{1, 1};
    TGridCoord FAnchor{1, 1};
    TGridCoord FTopLeft{1, 1};
    bool FEditorMode = false;
    bool FSelecting = false;
    TInplaceEdit* FInplaceEdit = nullptr;
    std::unique_ptr<TScrollState> FScroll;
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

    // Reads of cells that hold nothing give ""; writes just past the last column or row are
    // stored. When RowCount shrinks, the texts of the rows cut off are dropped.
    const AnsiString& Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const AnsiString& Value);
    // The row's texts as a string list of ColCount entries: Clear empties every cell of the
    // row, Assign copies another row's texts into it.
    TStrings* Rows(int Index);
    TStrings* Cols(int Index);

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    AnsiString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
    void SizeChanged(int OldColCount, int OldRowCount) override;

private:
    class TStringGridStrings;
    std::vector<std::vector<AnsiString>> FCells; // by row, then column
    std::unique_ptr<TStringGridStrings> FRowStrings[2];
    std::unique_ptr<TStringGridStrings> FColStrings;
    int FNextRowStrings = 0;
};
