#include "Grids.h"

#include "GridParts.h"
#include "WinApi.h"

#include <algorithm>
#include <optional>

namespace {

constexpr TColor FixedLineColor = cl3DDkShadow;
constexpr TColor LineColor = clSilver;
constexpr TColor SelectedColor = clHighlight;
constexpr TColor SelectedTextColor = clHighlightText;

bool Intersects(const TRect& A, const TRect& B) {
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

} // namespace

const std::vector<const char*>& GridOptionNames() {
    static const std::vector<const char*> Names{
        "goFixedVertLine", "goFixedHorzLine",     "goVertLine",     "goHorzLine",
        "goRangeSelect",   "goDrawFocusSelected", "goRowSizing",    "goColSizing",
        "goRowMoving",     "goColMoving",         "goEditing",      "goTabs",
        "goRowSelect",     "goAlwaysShowEditor",  "goThumbTracking"};
    return Names;
}

const std::vector<const char*>& ScrollStyleNames() {
    static const std::vector<const char*> Names{"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
    return Names;
}

// ---- ColWidths and RowHeights as lists

// The sizes of one axis as a string list of decimal numbers, for form files. Add fills the
// size after the last one filled since Clear, which gives every size its default back.
class TCustomGrid::TSizeList : public TStrings {
public:
    TSizeList(TCustomGrid* AGrid, bool AColumns) : FGrid(AGrid), FColumns(AColumns) {}
    int Count() const override { return FColumns ? FGrid->ColCount() : FGrid->RowCount(); }
    AnsiString Get(int Index) const override {
        return IntToStr(FColumns ? FGrid->ColWidths(Index) : FGrid->RowHeights(Index));
    }
    void Put(int Index, const AnsiString& S) override { SetSize(Index, StrToInt(Trim(S))); }
    void Insert(int Index, const AnsiString& S) override {
        if (Index != Count())
            throw EListError("グリッドの幅と高さの一覧には挿入できません"_sj);
        SetSize(FNext, StrToInt(Trim(S)));
        ++FNext;
    }
    void Delete(int) override {
        throw EListError("グリッドの幅と高さの一覧からは削除できません"_sj);
    }
    void Clear() override {
        FNext = 0;
        if (FColumns)
            FGrid->SetDefaultColWidth(FGrid->DefaultColWidth());
        else
            FGrid->SetDefaultRowHeight(FGrid->DefaultRowHeight());
    }
    bool AllDefault() const {
        const int Default = FColumns ? FGrid->DefaultColWidth() : FGrid->DefaultRowHeight();
        for (int I = 0; I < Count(); ++I)
            if ((FColumns ? FGrid->ColWidths(I) : FGrid->RowHeights(I)) != Default)
                return false;
        return true;
    }

private:
    void SetSize(int Index, int Value) {
        if (FColumns)
            FGrid->SetColWidths(Index, Value);
        else
            FGrid->SetRowHeights(Index, Value);
    }
    TCustomGrid* FGrid;
    bool FColumns;
    int FNext = 0;
};

// ---- TCustomGrid

TCustomGrid::TCustomGrid(TComponent* AOwner)
    : TCustomControl(AOwner), FColWidthList(std::make_unique<TSizeList>(this, true)),
      FRowHeightList(std::make_unique<TSizeList>(this, false)),
      FPlatform(std::make_unique<TPlatform>()) {
    SetTabStop(true);
}

TCustomGrid::~TCustomGrid() {
    // The editor and the scroll bars call back into the grid: they go before it does.
    FPlatform->Handover.reset();
    FPlatform->Bars.reset();
    if (FInplaceEdit)
        FInplaceEdit->FGrid = nullptr;
    delete FInplaceEdit;
}

TCustomGrid::TAxis TCustomGrid::HorzAxis() const {
    return {FColWidths, FDefaultColWidth, FColCount, FFixedCols,
            FTopLeft.X, ClientWidth(),    ColLine()};
}

TCustomGrid::TAxis TCustomGrid::VertAxis() const {
    return {FRowHeights, FDefaultRowHeight, FRowCount, FFixedRows,
            FTopLeft.Y,  ClientHeight(),    RowLine()};
}

int TCustomGrid::ColLine() const {
    return FOptions.Contains(goVertLine) || FOptions.Contains(goFixedVertLine) ? FGridLineWidth : 0;
}

int TCustomGrid::RowLine() const {
    return FOptions.Contains(goHorzLine) || FOptions.Contains(goFixedHorzLine) ? FGridLineWidth : 0;
}

void TCustomGrid::SetColCount(int Value) {
    ChangeSize(Value, FRowCount);
}

void TCustomGrid::SetRowCount(int Value) {
    ChangeSize(FColCount, Value);
}

// Every grid keeps a column and a row, and at least one of each that scrolls.
void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
    NewColCount = std::max(NewColCount, 1);
    NewRowCount = std::max(NewRowCount, 1);
    if (NewColCount == FColCount && NewRowCount == FRowCount)
        return;
    FFixedCols = std::min(FFixedCols, NewColCount - 1);
    FFixedRows = std::min(FFixedRows, NewRowCount - 1);
    const int OldColCount = FColCount;
    const int OldRowCount = FRowCount;
    FColCount = NewColCount;
    FRowCount = NewRowCount;
    if (!FColWidths.empty())
        FColWidths.resize(FColCount, FDefaultColWidth);
    if (!FRowHeights.empty())
        FRowHeights.resize(FRowCount, FDefaultRowHeight);
    if (FEditorMode && (FEditCell.X >= FColCount || FEditCell.Y >= FRowCount))
        HideEditor();
    SizeChanged(OldColCount, OldRowCount);
    UpdateScrollBars();
    PlaceEditor();
    Invalidate();
}

void TCustomGrid::SetFixedCols(int Value) {
    SetFixed(FFixedCols, FColCount, Value, "固定列の数は列の数より小さくしてください"_sj);
}

void TCustomGrid::SetFixedRows(int Value) {
    SetFixed(FFixedRows, FRowCount, Value, "固定行の数は行の数より小さくしてください"_sj);
}

// Fixed columns or rows leave at least one that scrolls.
void TCustomGrid::SetFixed(int& Fixed, int Count, int Value, const AnsiString& Refusal) {
    if (Value < 0 || Value >= Count)
        throw ERangeError(Refusal);
    if (Value == Fixed)
        return;
    Fixed = Value;
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
    SetDefaultSize(FColWidths, FDefaultColWidth, Value);
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
    SetDefaultSize(FRowHeights, FDefaultRowHeight, Value);
}

void TCustomGrid::SetDefaultSize(std::vector<int>& Sizes, int& Default, int Value) {
    Default = std::max(Value, 0);
    Sizes.clear();
    SizesChanged();
}

void TCustomGrid::SizesChanged() {
    UpdateScrollBars();
    PlaceEditor();
    Invalidate();
}

void TCustomGrid::CheckIndex(int Index, int Count) {
    if (Index < 0 || Index >= Count)
        throw ERangeError("グリッドのインデックス "_sj + IntToStr(Index) + " は範囲外です"_sj);
}

int TCustomGrid::ColWidths(int Index) const {
    return SizeOf(HorzAxis(), Index);
}

void TCustomGrid::SetColWidths(int Index, int Value) {
    SetSize(FColWidths, HorzAxis(), Index, Value);
}

int TCustomGrid::RowHeights(int Index) const {
    return SizeOf(VertAxis(), Index);
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
    SetSize(FRowHeights, VertAxis(), Index, Value);
}

int TCustomGrid::SizeOf(const TAxis& Axis, int Index) {
    CheckIndex(Index, Axis.Count);
    return Axis.Size(Index);
}

// Sizes is the store Axis reads: it stays empty until one size differs from the default.
void TCustomGrid::SetSize(std::vector<int>& Sizes, const TAxis& Axis, int Index, int Value) {
    Value = std::max(Value, 0);
    if (Value == SizeOf(Axis, Index))
        return;
    if (Sizes.empty())
        Sizes.assign(Axis.Count, Axis.DefaultSize);
    Sizes[Index] = Value;
    SizesChanged();
}

TStrings* TCustomGrid::ColWidthsList() const {
    return FColWidthList.get();
}

TStrings* TCustomGrid::RowHeightsList() const {
    return FRowHeightList.get();
}

void TCustomGrid::SetGridLineWidth(int Value) {
    Value = std::max(Value, 0);
    if (Value == FGridLineWidth)
        return;
    FGridLineWidth = Value;
    SizesChanged();
}

void TCustomGrid::SetOptions(TGridOptions Value) {
    if (Value == FOptions)
        return;
    FOptions = Value;
    if (FEditorMode && !CanEditShow() && CommitEditor())
        HideEditor();
    UpdateInputMethod();
    SizesChanged();
    if (!FMoving && !FEditorMode && FOptions.Contains(goAlwaysShowEditor) && GridFocused())
        ShowEditor();
}

void TCustomGrid::SetFixedColor(TColor Value) {
    if (Value == FFixedColor)
        return;
    FFixedColor = Value;
    Invalidate();
}

void TCustomGrid::SetDefaultDrawing(bool Value) {
    if (Value == FDefaultDrawing)
        return;
    FDefaultDrawing = Value;
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    UpdateScrollBars();
    Invalidate();
}

// ---- Current cell, selection, scrolling

void TCustomGrid::SetCol(int Value) {
    FocusCell(Value, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int Value) {
    FocusCell(FCurrent.X, Value, true);
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    CheckIndex(ACol, FColCount);
    CheckIndex(ARow, FRowCount);
    MoveCurrent(ACol, ARow, MoveAnchor);
}

TGridRect TCustomGrid::Selection() const {
    TGridRect R{std::min(FAnchor.X, FCurrent.X), std::min(FAnchor.Y, FCurrent.Y),
                std::max(FAnchor.X, FCurrent.X), std::max(FAnchor.Y, FCurrent.Y)};
    if (FOptions.Contains(goRowSelect)) {
        R.Left = FFixedCols;
        R.Right = FColCount - 1;
    }
    return R;
}

TGridCoord TCustomGrid::ClampToBody(TGridCoord Cell) const {
    return {std::clamp(Cell.X, FFixedCols, FColCount - 1),
            std::clamp(Cell.Y, FFixedRows, FRowCount - 1)};
}

void TCustomGrid::SetSelection(const TGridRect& Value) {
    if (FEditorMode) {
        if (!CommitEditor())
            return;
        HideEditor();
    }
    const TGridRect Old = Selection();
    FAnchor = ClampToBody({Value.Left, Value.Top});
    FCurrent = ClampToBody({Value.Right, Value.Bottom});
    const TGridRect New = Selection();
    const bool ColumnInView = New.Left <= HorzAxis().LastVisible() && New.Right >= FTopLeft.X;
    ScrollToCurrent(!ColumnInView);
    SelectionMoved(Old);
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor) {
    const TGridCoord Target = ClampToBody({ACol, ARow});
    if (!FOptions.Contains(goRangeSelect))
        MoveAnchor = true;
    if (Target != FCurrent) {
        if (FEditorMode && !CommitEditor())
            return;
        bool Allowed;
        {
            TFlagScope Moving(FMoving);
            Allowed = SelectCell(Target.X, Target.Y);
        }
        if (!Allowed)
            return;
        if (FEditorMode)
            HideEditor();
    }
    const TGridRect Old = Selection();
    FCurrent = Target;
    if (MoveAnchor)
        FAnchor = Target;
    ScrollToCurrent();
    SelectionMoved(Old);
    if (FOptions.Contains(goAlwaysShowEditor) && !FEditorMode && GridFocused())
        ShowEditor();
}

void TCustomGrid::SelectionMoved(const TGridRect& OldSelection) {
    if (OldSelection == Selection())
        return;
    InvalidateGridRect(OldSelection);
    InvalidateGridRect(Selection());
}

void TCustomGrid::ClampPositions() {
    FCurrent = ClampToBody(FCurrent);
    FAnchor = ClampToBody(FAnchor);
    FTopLeft.X = std::clamp(FTopLeft.X, FFixedCols, std::max(FFixedCols, HorzAxis().MaxFirst()));
    FTopLeft.Y = std::clamp(FTopLeft.Y, FFixedRows, std::max(FFixedRows, VertAxis().MaxFirst()));
}

void TCustomGrid::SetTopLeft(TGridCoord Value) {
    if (Value == FTopLeft)
        return;
    FTopLeft = Value;
    ClampPositions();
    LayoutScrollBars();
    PlaceEditor();
    Invalidate();
}

void TCustomGrid::SetTopRow(int Value) {
    SetTopLeft({FTopLeft.X, Value});
}

void TCustomGrid::SetLeftCol(int Value) {
    SetTopLeft({Value, FTopLeft.Y});
}

int TCustomGrid::VisibleColCount() const {
    return HorzAxis().FullFrom(FTopLeft.X);
}

int TCustomGrid::VisibleRowCount() const {
    return VertAxis().FullFrom(FTopLeft.Y);
}

namespace {

// The first scrolled index that shows Index wholly, moving as little as possible from First.
int ScrollFirstFor(int Index, int First, int Fixed, int Full, int Showing) {
    if (Index < Fixed)
        return First;
    if (Index < First)
        return Index;
    if (Index >= First + Full)
        return Showing;
    return First;
}

} // namespace

void TCustomGrid::ScrollToCurrent(bool Columns) {
    const TAxis H = HorzAxis();
    const TAxis V = VertAxis();
    const int Left = Columns ? ScrollFirstFor(FCurrent.X, FTopLeft.X, FFixedCols,
                                              H.FullFrom(FTopLeft.X), H.FirstShowing(FCurrent.X))
                             : FTopLeft.X;
    SetTopLeft({Left, ScrollFirstFor(FCurrent.Y, FTopLeft.Y, FFixedRows, V.FullFrom(FTopLeft.Y),
                                     V.FirstShowing(FCurrent.Y))});
}

// ---- Painting

void TCustomGrid::Paint() {
    TCanvas* C = Canvas();
    const TRect Area = Canvas()->ClipRect();
    const TAxis H = HorzAxis();
    const TAxis V = VertAxis();
    const TGridRect Sel = Selection();
    const bool Focus = GridFocused();
    C->SetFont(Font());
    V.ForEachVisible([&](int Row, int Top) {
        if (Top >= Area.Bottom || Top + V.Size(Row) <= Area.Top)
            return;
        H.ForEachVisible([&](int Col, int Left) {
            const TRect R{Left, Top, Left + H.Size(Col), Top + V.Size(Row)};
            if (!Intersects(R, Area))
                return;
            TGridDrawState State;
            if (Col < FFixedCols || Row < FFixedRows)
                State.Include(gdFixed);
            else if (Col >= Sel.Left && Col <= Sel.Right && Row >= Sel.Top && Row <= Sel.Bottom)
                State.Include(gdSelected);
            if (Focus && Col == FCurrent.X && Row == FCurrent.Y)
                State.Include(gdFocused);
            if (FDefaultDrawing)
                FillDefaultBackground(R, State);
            DrawCell(Col, Row, R, State);
            if (FDefaultDrawing && State.Contains(gdFocused) && !FOptions.Contains(goRowSelect))
                DrawDefaultFocus(R);
        });
    });
    PaintLines(Area);
}

bool TCustomGrid::ShowsSelectedColors(TGridDrawState State) const {
    if (!State.Contains(gdSelected))
        return false;
    return !State.Contains(gdFocused) || FOptions.Contains(goDrawFocusSelected) ||
           FOptions.Contains(goRowSelect);
}

void TCustomGrid::FillDefaultBackground(const TRect& R, TGridDrawState State) {
    TCanvas* C = Canvas();
    TColor Back = Color();
    TColor Text = Font()->Color();
    if (State.Contains(gdFixed)) {
        Back = FFixedColor;
    } else if (ShowsSelectedColors(State)) {
        Back = SelectedColor;
        Text = SelectedTextColor;
    }
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Back);
    C->Font()->SetColor(Text);
    C->FillRect(R);
}

void TCustomGrid::DrawDefaultFocus(const TRect& R) {
    TCanvas* C = Canvas();
    const TBrushStyle Brush = C->Brush()->Style();
    C->Brush()->SetStyle(bsClear);
    C->Pen()->SetStyle(psDot);
    C->Pen()->SetColor(C->Font()->Color());
    C->Rectangle(R);
    C->Pen()->SetStyle(psSolid);
    C->Brush()->SetStyle(Brush);
}

// The line after each cell. Where the options leave a line out, its place takes the colour of
// the cells around it. Fixed lines are those next to fixed cells.
void TCustomGrid::PaintLines(const TRect& Area) {
    const TAxis H = HorzAxis();
    const TAxis V = VertAxis();
    if (H.Line == 0 && V.Line == 0)
        return;
    const int FixedW = H.FixedExtent();
    const int FixedH = V.FixedExtent();
    int Right = 0;
    int Bottom = 0;
    H.ForEachVisible([&](int I, int Pos) { Right = Pos + H.Size(I) + H.Line; });
    V.ForEachVisible([&](int I, int Pos) { Bottom = Pos + V.Size(I) + V.Line; });
    struct TSegment {
        TRect R;
        bool Fixed;
        bool Drawn;
    };
    std::vector<TSegment> Segments;
    const bool FixedVert = FOptions.Contains(goFixedVertLine);
    const bool FixedHorz = FOptions.Contains(goFixedHorzLine);
    if (H.Line > 0)
        H.ForEachVisible([&](int I, int Pos) {
            const int X = Pos + H.Size(I);
            const bool FixedCol = I < FFixedCols;
            Segments.push_back({{X, 0, X + H.Line, FixedH}, true, FixedVert});
            Segments.push_back({{X, FixedH, X + H.Line, Bottom},
                                FixedCol,
                                FixedCol ? FixedVert : FOptions.Contains(goVertLine)});
        });
    if (V.Line > 0)
        V.ForEachVisible([&](int I, int Pos) {
            const int Y = Pos + V.Size(I);
            const bool FixedRow = I < FFixedRows;
            Segments.push_back({{0, Y, FixedW, Y + V.Line}, true, FixedHorz});
            Segments.push_back({{FixedW, Y, Right, Y + V.Line},
                                FixedRow,
                                FixedRow ? FixedHorz : FOptions.Contains(goHorzLine)});
        });
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsSolid);
    // Left-out lines first, so that drawn lines that cross them stay whole.
    for (const bool Drawn : {false, true})
        for (const TSegment& S : Segments) {
            if (S.Drawn != Drawn || !Intersects(S.R, Area))
                continue;
            C->Brush()->SetColor(Drawn ? (S.Fixed ? FixedLineColor : LineColor)
                                       : (S.Fixed ? FFixedColor : Color()));
            C->FillRect(S.R);
        }
}

void TCustomGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TCustomGrid::SelectCell(int ACol, int ARow) {
    bool CanSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, CanSelect);
    return CanSelect;
}

bool TCustomGrid::GridFocused() const {
    return Focused() || (FInplaceEdit && FInplaceEdit->Focused());
}

// ---- Mouse

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FClickInCell = false;
    if (Button == mbLeft) {
        if (!FEditorMode && CanFocus() && !Focused())
            SetFocus();
        const TGridCoord Cell = MouseCoord(X, Y);
        if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows) {
            FClickInCell = true;
            MoveCurrent(Cell.X, Cell.Y, !Shift.Contains(ssShift));
            FSelecting = FOptions.Contains(goRangeSelect);
        }
        if (FEditorMode)
            FInplaceEdit->SetFocus(); // a click that left the edit open
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    if (FSelecting && Shift.Contains(ssLeft)) {
        const TAxis H = HorzAxis();
        const TAxis V = VertAxis();
        // Past the last cell the drag keeps to the last one that is visible.
        const int Col = X < 0 ? -1 : (H.At(X) < 0 ? H.LastVisible() : H.At(X));
        const int Row = Y < 0 ? -1 : (V.At(Y) < 0 ? V.LastVisible() : V.At(Y));
        if (Col >= 0 && Row >= 0)
            MoveCurrent(Col, Row, false);
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft)
        FSelecting = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::DblClick() {
    if (FClickInCell && CanEditShow())
        ShowEditor();
    TCustomControl::DblClick();
}

void TCustomGrid::DispatchMessage(unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    if (Msg != WM_LBUTTONDOWN && Msg != WM_LBUTTONUP) {
        TCustomControl::DispatchMessage(Msg, WParam, LParam);
        return;
    }
    const int X = GET_X_LPARAM(LParam);
    const int Y = GET_Y_LPARAM(LParam);
    // The grid takes the keys from the flags; the button is the message's own.
    const TShiftState Shift = ShiftStateOfFlags(WParam) * TShiftState{ssShift, ssCtrl};
    if (Msg == WM_LBUTTONDOWN)
        DispatchMouseDown(mbLeft, Shift + TShiftState{ssLeft}, X, Y);
    else
        DispatchMouseUp(mbLeft, Shift, X, Y);
}

// ---- Keyboard

void TCustomGrid::KeyDown(unsigned short& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    if (NavigationKey(Key, Shift)) {
        Key = 0;
    } else if ((Key == VK_F2 || Key == VK_RETURN) && CanEditShow()) {
        ShowEditor();
        Key = 0;
    }
}

bool TCustomGrid::NavigationKey(unsigned short Key, TShiftState Shift) {
    const bool Ctrl = Shift.Contains(ssCtrl);
    const bool RowSelect = FOptions.Contains(goRowSelect);
    const int Page = std::max(1, VisibleRowCount());
    bool Extend = Shift.Contains(ssShift);
    int C = FCurrent.X;
    int R = FCurrent.Y;
    switch (Key) {
    case VK_UP:
        --R;
        break;
    case VK_DOWN:
        ++R;
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (RowSelect) {
            SetLeftCol(FTopLeft.X + (Key == VK_LEFT ? -1 : 1));
            return true;
        }
        C += Key == VK_LEFT ? -1 : 1;
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        const int Step = Key == VK_PRIOR ? -Page : Page;
        R += Step;
        SetTopRow(FTopLeft.Y + Step);
        break;
    }
    case VK_HOME:
    case VK_END: {
        const bool Home = Key == VK_HOME;
        if (Ctrl || RowSelect)
            R = Home ? FFixedRows : FRowCount - 1;
        if (Ctrl || !RowSelect)
            C = Home ? FFixedCols : FColCount - 1;
        break;
    }
    case VK_TAB:
        if (!FOptions.Contains(goTabs))
            return false;
        Extend = false;
        if (Shift.Contains(ssShift)) {
            if (--C < FFixedCols && R > FFixedRows) {
                C = FColCount - 1;
                --R;
            }
        } else if (++C >= FColCount && R < FRowCount - 1) {
            C = FFixedCols;
            ++R;
        }
        break;
    default:
        return false;
    }
    MoveCurrent(C, R, !Extend);
    return true;
}

void TCustomGrid::KeyPress(AnsiString& Key) {
    TCustomControl::KeyPress(Key);
    if (Key.empty() || static_cast<unsigned char>(Key[0]) < 0x20 || Key[0] == 0x7F)
        return;
    if (FEditorMode) {
        // The editor is open but the grid has the focus: the key goes on in the editor.
        FInplaceEdit->SetFocus();
        FInplaceEdit->InsertText(Key);
    } else if (CanEditShow()) {
        OpenEditor(Key, true, true);
    } else {
        return;
    }
    Key.clear();
}

// ---- Focus

void TCustomGrid::DoEnter() {
    TCustomControl::DoEnter();
    UpdateInputMethod();
    InvalidateGridRect(Selection());
    if (FOptions.Contains(goAlwaysShowEditor) && !FEditorMode && CanEditShow())
        ShowEditor();
}

void TCustomGrid::DoExit() {
    TCustomControl::DoExit();
    InvalidateGridRect(Selection());
    if (FInplaceEdit && FInplaceEdit->Focused())
        return;
    if (FEditorMode && CommitEditor() && !FOptions.Contains(goAlwaysShowEditor))
        HideEditor();
}

// ---- Published properties

void RegisterGrids() {
    TPublish<TCustomGrid>("TCustomGrid", "TCustomControl")
        .Object("ColWidths", TTypeKind::Strings, &TCustomGrid::ColWidthsList)
        .Integers()
        .Defined()
        .StoredIf([](const TCustomGrid* G) { return !G->SizesAtDefault(true); })
        .Object("RowHeights", TTypeKind::Strings, &TCustomGrid::RowHeightsList)
        .Integers()
        .Defined()
        .StoredIf([](const TCustomGrid* G) { return !G->SizesAtDefault(false); })
        .Held()
        .Int("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount,
             TCustomGrid::DefaultColCount)
        .Int("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth,
             TCustomGrid::DefaultDefaultColWidth)
        .Int("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight,
             TCustomGrid::DefaultDefaultRowHeight)
        .Bool("DefaultDrawing", &TCustomGrid::DefaultDrawing, &TCustomGrid::SetDefaultDrawing,
              TCustomGrid::DefaultDefaultDrawing)
        .Int("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor,
             TCustomGrid::DefaultFixedColor, &ColorIdents())
        .Int("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols,
             TCustomGrid::DefaultFixedCols)
        .Int("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount,
             TCustomGrid::DefaultRowCount)
        .Int("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows,
             TCustomGrid::DefaultFixedRows)
        .Int("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth,
             TCustomGrid::DefaultGridLineWidth)
        .Set("Options", &TCustomGrid::Options, &TCustomGrid::SetOptions, GridOptionNames(),
             std::optional<TGridOptions>(TCustomGrid::DefaultOptions))
        .Enum("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars,
              ScrollStyleNames(), std::optional<TScrollStyle>(TCustomGrid::DefaultScrollBars))
        .Event("OnDrawCell", &TCustomGrid::OnDrawCell)
        .Event("OnGetEditText", &TCustomGrid::OnGetEditText)
        .Event("OnSelectCell", &TCustomGrid::OnSelectCell)
        .Event("OnSetEditText", &TCustomGrid::OnSetEditText);
    TPublish<TDrawGrid>("TDrawGrid", "TCustomGrid")
        .Creatable()
        .Publish({"Align",          "Color",           "ColCount",
                  "Ctl3D",          "DefaultColWidth", "DefaultRowHeight",
                  "DefaultDrawing", "DragCursor",      "DragMode",
                  "Enabled",        "FixedColor",      "FixedCols",
                  "RowCount",       "FixedRows",       "Font",
                  "GridLineWidth",  "Options",         "ParentColor",
                  "ParentFont",     "ParentShowHint",  "PopupMenu",
                  "ScrollBars",     "ShowHint",        "TabOrder",
                  "Visible",        "OnClick",         "OnDblClick",
                  "OnDragDrop",     "OnDragOver",      "OnDrawCell",
                  "OnEndDrag",      "OnEnter",         "OnExit",
                  "OnGetEditText",  "OnKeyDown",       "OnKeyPress",
                  "OnKeyUp",        "OnMouseDown",     "OnMouseMove",
                  "OnMouseUp",      "OnSelectCell",    "OnSetEditText",
                  "OnStartDrag"});
    TPublish<TStringGrid>("TStringGrid", "TDrawGrid").Creatable();
}

bool TCustomGrid::SizesAtDefault(bool Columns) const {
    return (Columns ? FColWidthList : FRowHeightList)->AllDefault();
}
