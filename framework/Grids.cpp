#include "Grids.h"

#include "QtHost.h"
#include "WinApi.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <deque>
#include <optional>
#include <utility>

namespace {

constexpr TColor FixedLineColor = cl3DDkShadow;
constexpr TColor LineColor = clSilver;
constexpr TColor SelectedColor = clHighlight;
constexpr TColor SelectedTextColor = clHighlightText;
constexpr int TextIndent = 2; // default drawing: text offset from the cell's top-left corner
constexpr int WheelNotch = 120;
constexpr int WheelRows = 3;

// The platform's key for a Qt key event; Backtab is Tab with Shift.
unsigned short KeyOf(const QKeyEvent& Event, TShiftState& Shift) {
    Shift = ShiftStateOf(Event.modifiers(), Qt::NoButton);
    if (Event.key() == Qt::Key_Backtab) {
        Shift.Include(ssShift);
        return VK_TAB;
    }
    return VirtualKeyOf(Event.key(), Event.modifiers());
}

bool Intersects(const TRect& A, const TRect& B) {
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

AnsiString RefusedTextMessage(TGridCoord Cell) {
    return "セル (列 "_sj + IntToStr(Cell.X) + ", 行 "_sj + IntToStr(Cell.Y) +
           ") に入力された文字の中に、シフトJISで表せない文字があります。"
           "その文字を除いてから確定してください。"_sj;
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

// ---- The line editor

// Hands the editing keys to the grid before the line edit sees them, and tells the grid when
// the editor loses the focus.
class TGridLineEdit : public QLineEdit {
public:
    explicit TGridLineEdit(TInplaceEdit* AEdit) : FEdit(AEdit) { setFrame(false); }

protected:
    // Keys are taken here rather than in keyPressEvent, which Tab never reaches: the widget
    // turns it into a focus move first.
    bool event(QEvent* Event) override {
        if (Event->type() == QEvent::KeyPress && GridTakesKey(*static_cast<QKeyEvent*>(Event)))
            return true;
        return QLineEdit::event(Event);
    }
    void focusOutEvent(QFocusEvent* Event) override {
        QLineEdit::focusOutEvent(Event);
        if (Grid())
            Grid()->EditorFocusLost();
    }

private:
    TCustomGrid* Grid() const { return FEdit->Grid(); }
    bool GridTakesKey(const QKeyEvent& Event) {
        TShiftState Shift;
        const unsigned short Key = KeyOf(Event, Shift);
        return Grid() && Key != 0 && Grid()->EditorKey(Key, Shift);
    }
    TInplaceEdit* FEdit;
};

TInplaceEdit::TInplaceEdit(TComponent* AOwner)
    : TWinControl(AOwner), FGrid(dynamic_cast<TCustomGrid*>(AOwner)) {}

QWidget* TInplaceEdit::CreateWidget() {
    return new TGridLineEdit(this);
}

AnsiString TInplaceEdit::EditText() const {
    AnsiString Value;
    if (!TryEditText(Value))
        throw EConvertError("入力された文字の中に、シフトJISで表せない文字があります。"_sj);
    return Value;
}

bool TInplaceEdit::TryEditText(AnsiString& Value) const {
    return FromQString(static_cast<QLineEdit*>(Widget())->text(), Value);
}

void TInplaceEdit::SetEditText(const AnsiString& Value) {
    static_cast<QLineEdit*>(Widget())->setText(ToQString(Value));
}

void TInplaceEdit::SelectAll() {
    static_cast<QLineEdit*>(Widget())->selectAll();
}

bool TInplaceEdit::Modified() const {
    return static_cast<QLineEdit*>(Widget())->isModified();
}

void TInplaceEdit::SetModified(bool Value) {
    static_cast<QLineEdit*>(Widget())->setModified(Value);
}

// ---- Geometry along one axis

// The columns (or rows) of the grid as they lie along one axis of the client area: the fixed
// ones from 0, then the scrolled ones from First. Every walk stops at the end of the client
// area, so its cost depends on what is visible, not on the number of columns or rows.
class TCustomGrid::TAxis {
public:
    const std::vector<int>& Sizes; // empty: every one has DefaultSize
    int DefaultSize;
    int Count;
    int Fixed;
    int First;
    int Extent;
    int Line;

    int Size(int I) const { return Sizes.empty() ? DefaultSize : Sizes[I]; }

    int FixedExtent() const {
        int Pos = 0;
        for (int I = 0; I < Fixed; ++I)
            Pos += Size(I) + Line;
        return Pos;
    }

    // Calls Fn(index, start) for every fixed and every visible scrolled one.
    template <class F> void ForEachVisible(F Fn) const {
        int Pos = 0;
        for (int I = 0; I < Fixed; ++I) {
            Fn(I, Pos);
            Pos += Size(I) + Line;
        }
        for (int I = First; I < Count && Pos < Extent; ++I) {
            Fn(I, Pos);
            Pos += Size(I) + Line;
        }
    }

    // Whether I is scrolled out or lies past the client area, known without a walk: with lines
    // every one takes at least a pixel.
    bool SurelyHidden(int I) const {
        return I < 0 || I >= Count ||
               (I >= Fixed && (I < First || (Line > 0 && I - First >= Extent)));
    }

    // Start of I, or -1 when it is scrolled out or lies past the client area.
    int Start(int I) const {
        if (SurelyHidden(I))
            return -1;
        int Found = -1;
        ForEachVisible([&](int J, int Pos) {
            if (J == I)
                Found = Pos;
        });
        return Found;
    }

    // The one whose cell or following line covers Pos, or -1.
    int At(int Pos) const {
        int Found = -1;
        if (Pos < 0 || Pos >= Extent)
            return Found;
        ForEachVisible([&](int I, int Start) {
            if (Pos >= Start && Pos < Start + Size(I) + Line)
                Found = I;
        });
        return Found;
    }

    int LastVisible() const {
        int Last = First - 1;
        ForEachVisible([&](int I, int) { Last = std::max(Last, I); });
        return Last;
    }

    // How many wholly visible ones follow from F on.
    int FullFrom(int F) const {
        const int Avail = Extent - FixedExtent();
        int Pos = 0;
        int N = 0;
        for (int I = F; I < Count && Pos + Size(I) <= Avail; ++I, ++N)
            Pos += Size(I) + Line;
        return N;
    }

    // The smallest First with which I is wholly visible (I itself when it cannot be).
    int FirstShowing(int I) const {
        const int Avail = Extent - FixedExtent();
        int F = I;
        int Used = Size(I);
        while (F - 1 >= Fixed && Used + Size(F - 1) + Line <= Avail) {
            --F;
            Used += Size(F) + Line;
        }
        return F;
    }

    int MaxFirst() const { return FirstShowing(Count - 1); }
};

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

// ---- Platform parts: scroll bars and the input method hand-over

// Passes the input method events of the grid's window to the grid.
class TGridEventFilter : public QObject {
public:
    explicit TGridEventFilter(TCustomGrid* AGrid) : FGrid(AGrid) {}

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        return FGrid->PlatformEvent(Watched, Event);
    }

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

// ---- TCustomGrid

namespace {

// Clears a flag when the scope ends, also by an exception.
class TFlagScope {
public:
    explicit TFlagScope(bool& AFlag) : FFlag(AFlag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};

} // namespace

TCustomGrid::TCustomGrid(TComponent* AOwner)
    : TCustomControl(AOwner), FColWidths(DefColCount, DefColWidth),
      FColWidthList(std::make_unique<TSizeList>(this, true)),
      FRowHeightList(std::make_unique<TSizeList>(this, false)),
      FPlatform(std::make_unique<TPlatform>(this)) {
    SetTabStop(true);
}

TCustomGrid::~TCustomGrid() {
    // The editor and the scroll bars call back into the grid: they go before it does.
    if (FPlatform->Host)
        FPlatform->Host->removeEventFilter(&FPlatform->Filter);
    delete FPlatform->Vert;
    delete FPlatform->Horz;
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
    Value = std::max(Value, 1);
    if (Value == FColCount)
        return;
    FFixedCols = std::min(FFixedCols, Value - 1);
    ChangeSize(Value, FRowCount);
}

void TCustomGrid::SetRowCount(int Value) {
    Value = std::max(Value, 1);
    if (Value == FRowCount)
        return;
    FFixedRows = std::min(FFixedRows, Value - 1);
    ChangeSize(FColCount, Value);
}

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
    const int OldColCount = FColCount;
    const int OldRowCount = FRowCount;
    FColCount = NewColCount;
    FRowCount = NewRowCount;
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
    if (Value < 0 || Value >= FColCount)
        throw ERangeError("固定列の数は列の数より小さくしてください"_sj);
    if (Value == FFixedCols)
        return;
    FFixedCols = Value;
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetFixedRows(int Value) {
    if (Value < 0 || Value >= FRowCount)
        throw ERangeError("固定行の数は行の数より小さくしてください"_sj);
    if (Value == FFixedRows)
        return;
    FFixedRows = Value;
    UpdateScrollBars();
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
    FDefaultColWidth = std::max(Value, 0);
    std::fill(FColWidths.begin(), FColWidths.end(), FDefaultColWidth);
    SizesChanged();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
    FDefaultRowHeight = std::max(Value, 0);
    FRowHeights.clear();
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
    CheckIndex(Index, FColCount);
    return FColWidths[Index];
}

void TCustomGrid::SetColWidths(int Index, int Value) {
    CheckIndex(Index, FColCount);
    Value = std::max(Value, 0);
    if (Value == FColWidths[Index])
        return;
    FColWidths[Index] = Value;
    SizesChanged();
}

int TCustomGrid::RowHeights(int Index) const {
    CheckIndex(Index, FRowCount);
    return FRowHeights.empty() ? FDefaultRowHeight : FRowHeights[Index];
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
    CheckIndex(Index, FRowCount);
    Value = std::max(Value, 0);
    if (Value == RowHeights(Index))
        return;
    if (FRowHeights.empty())
        FRowHeights.assign(FRowCount, FDefaultRowHeight);
    FRowHeights[Index] = Value;
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
    Widget()->update(R.Left, R.Top, R.Width(), R.Height());
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

// ---- Scroll bars

void TCustomGrid::EnsurePlatform() {
    TPlatform& P = *FPlatform;
    if (P.Host)
        return;
    P.Host = Widget();
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
    TShiftState Shift;
    if (WParam & MK_SHIFT)
        Shift.Include(ssShift);
    if (WParam & MK_CONTROL)
        Shift.Include(ssCtrl);
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
        static_cast<QLineEdit*>(FInplaceEdit->Widget())->insert(ToQString(Key));
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

// ---- In-place editor

bool TCustomGrid::CanEditShow() const {
    return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) &&
           !ComponentState().Contains(csDesigning) && FCurrent.X >= FFixedCols &&
           FCurrent.Y >= FFixedRows;
}

TInplaceEdit* TCustomGrid::CreateEditor() {
    auto* Editor = new TInplaceEdit(this);
    Editor->SetVisible(false);
    Editor->SetParent(this); // with ParentFont, the editor follows the grid's font
    return Editor;
}

TInplaceEdit* TCustomGrid::Editor() {
    if (!FInplaceEdit) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->FGrid = this;
    }
    return FInplaceEdit;
}

AnsiString TCustomGrid::GetEditText(int ACol, int ARow) {
    AnsiString Value;
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, Value);
    return Value;
}

void TCustomGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
    if (OnSetEditText)
        OnSetEditText(this, ACol, ARow, Value);
}

void TCustomGrid::SetEditorMode(bool Value) {
    if (Value)
        ShowEditor();
    else if (CommitEditor())
        HideEditor();
}

void TCustomGrid::ShowEditor() {
    if (!CanEditShow())
        return;
    if (FEditorMode)
        Editor()->SetFocus();
    else
        OpenEditor(GetEditText(FCurrent.X, FCurrent.Y), false, true);
}

void TCustomGrid::OpenEditor(const AnsiString& Text, bool Typed, bool Focus) {
    TInplaceEdit* E = Editor();
    FEditCell = FCurrent;
    FEditorMode = true;
    E->SetEditText(Text);
    E->SetModified(Typed);
    PlaceEditor();
    if (Focus)
        E->SetFocus();
}

void TCustomGrid::PlaceEditor() {
    if (!FEditorMode)
        return;
    const TRect R = CellRect(FEditCell.X, FEditCell.Y);
    if (R.Right > R.Left) {
        FInplaceEdit->SetBounds(R.Left, R.Top, R.Width(), R.Height());
        FInplaceEdit->Show();
    } else if (CommitEditor()) {
        HideEditor(); // scrolled out of view
    }
}

void TCustomGrid::HideEditor() {
    if (!FEditorMode)
        return;
    FEditorMode = false;
    // The grid takes the focus first, so that hiding the editor passes it on to no other
    // control.
    if (FInplaceEdit->Focused() && CanFocus())
        SetFocus();
    FInplaceEdit->Hide();
}

bool TCustomGrid::CommitEditor() {
    if (!FEditorMode || !FInplaceEdit->Modified())
        return true;
    if (FCommitting)
        return false;
    TFlagScope Committing(FCommitting);
    bool Stored = false;
    SafeCall([&] {
        StoreEditorText();
        Stored = true;
    });
    return Stored;
}

void TCustomGrid::StoreEditorText() {
    AnsiString Value;
    if (!FInplaceEdit->TryEditText(Value))
        throw EConvertError(RefusedTextMessage(FEditCell));
    SetEditText(FEditCell.X, FEditCell.Y, Value);
    FInplaceEdit->SetModified(false);
}

void TCustomGrid::CancelEditor() {
    if (!FOptions.Contains(goAlwaysShowEditor)) {
        HideEditor();
        return;
    }
    FInplaceEdit->SetEditText(GetEditText(FEditCell.X, FEditCell.Y));
    FInplaceEdit->SetModified(false);
}

bool TCustomGrid::EditorKey(unsigned short Key, TShiftState Shift) {
    switch (Key) {
    case VK_RETURN:
        SafeCall([&] {
            if (CommitEditor() && !FOptions.Contains(goAlwaysShowEditor))
                HideEditor();
        });
        return true;
    case VK_ESCAPE:
        SafeCall([&] { CancelEditor(); });
        return true;
    case VK_TAB:
        if (!FOptions.Contains(goTabs))
            return false;
        break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        break;
    default:
        return false;
    }
    SafeCall([&] { DispatchKeyDown(Key, Shift); });
    return true;
}

void TCustomGrid::EditorFocusLost() {
    if (!FEditorMode || FCommitting || QApplication::focusWidget() == Widget())
        return;
    InvalidateGridRect(Selection());
    if (CommitEditor() && !FOptions.Contains(goAlwaysShowEditor))
        HideEditor();
}

// An input method may compose on the grid only where typing opens the editor.
void TCustomGrid::UpdateInputMethod() {
    if (!FPlatform->Host)
        return;
    if (CanEditShow())
        ::SetImeMode(this, ImeMode());
    else
        FPlatform->Host->setAttribute(Qt::WA_InputMethodEnabled, false);
}

// The grid window has the focus while an input method composes the first characters of an
// edit: the composition goes on in the editor, which takes the focus once it is committed, so
// that no composition is cut off by a change of focus.
bool TCustomGrid::PlatformEvent(QObject* Watched, QEvent* Event) {
    if (Watched != FPlatform->Host)
        return false;
    switch (Event->type()) {
    case QEvent::InputMethod: {
        if (!FEditorMode && !CanEditShow())
            return false;
        auto* Input = static_cast<QInputMethodEvent*>(Event);
        SafeCall([&] {
            if (!FEditorMode)
                OpenEditor({}, true, false);
            QCoreApplication::sendEvent(FInplaceEdit->Widget(), Input);
            if (Input->preeditString().isEmpty())
                FInplaceEdit->SetFocus();
        });
        return true;
    }
    case QEvent::InputMethodQuery: {
        if (!FEditorMode)
            return false;
        auto* Query = static_cast<QInputMethodQueryEvent*>(Event);
        QWidget* Edit = FInplaceEdit->Widget();
        QCoreApplication::sendEvent(Edit, Query);
        for (const Qt::InputMethodQuery Q : {Qt::ImCursorRectangle, Qt::ImAnchorRectangle})
            if (Query->queries() & Q)
                Query->setValue(Q, Query->value(Q).toRect().translated(Edit->pos()));
        return true;
    }
    default:
        return false;
    }
}

// ---- TDrawGrid, TStringGrid

TDrawGrid::TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

namespace {
const AnsiString EmptyCell;
}

// A row or a column of a string grid seen as a list of fixed length.
class TStringGrid::TStringGridStrings : public TStrings {
public:
    TStringGridStrings(TStringGrid* AGrid, int AIndex, bool ARow)
        : FGrid(AGrid), FIndex(AIndex), FRow(ARow) {}
    int Count() const override { return FRow ? FGrid->ColCount() : FGrid->RowCount(); }
    AnsiString Get(int Index) const override {
        CheckItem(Index);
        return FRow ? FGrid->Cells(Index, FIndex) : FGrid->Cells(FIndex, Index);
    }
    void Put(int Index, const AnsiString& S) override {
        CheckItem(Index);
        if (FRow)
            FGrid->SetCells(Index, FIndex, S);
        else
            FGrid->SetCells(FIndex, Index, S);
    }
    void Insert(int, const AnsiString&) override {
        throw EListError("グリッドの行と列には挿入できません"_sj);
    }
    void Delete(int) override { throw EListError("グリッドの行と列からは削除できません"_sj); }
    void Clear() override {
        if (FRow)
            FGrid->ClearRow(FIndex);
        else
            for (int I = 0; I < Count(); ++I)
                Put(I, EmptyCell);
    }
    void Assign(const TPersistent* Source) override {
        const auto* Other = dynamic_cast<const TStringGridStrings*>(Source);
        if (Other && Other->FGrid == FGrid && Other->FRow && FRow) {
            FGrid->CopyRow(Other->FIndex, FIndex);
            return;
        }
        const auto* Strings = dynamic_cast<const TStrings*>(Source);
        if (!Strings || Strings == this) {
            TStrings::Assign(Source);
            return;
        }
        for (int I = 0; I < Count(); ++I)
            Put(I, I < Strings->Count() ? Strings->Get(I) : EmptyCell);
    }

private:
    void CheckItem(int Index) const {
        if (Index < 0 || Index >= Count())
            throw EListError("リストのインデックス "_sj + IntToStr(Index) + " は範囲外です"_sj);
    }
    TStringGrid* FGrid;
    int FIndex;
    bool FRow;
};

TStringGrid::TStringGrid(TComponent* AOwner)
    : TDrawGrid(AOwner), FViews(std::make_unique<TViews>()) {}

TStringGrid::~TStringGrid() = default;

const AnsiString& TStringGrid::Cells(int ACol, int ARow) const {
    if (ARow < 0 || ACol < 0 || ARow >= static_cast<int>(FRowSlots.size()) ||
        ACol >= static_cast<int>(FColumns.size()))
        return EmptyCell;
    const int Slot = FRowSlots[std::size_t(ARow)];
    const TColumn& Column = FColumns[std::size_t(ACol)];
    return Slot != NoSlot && Slot < static_cast<int>(Column.size()) ? Column[std::size_t(Slot)]
                                                                    : EmptyCell;
}

void TStringGrid::CheckWrite(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0 || ACol > ColCount() || ARow > RowCount())
        throw ERangeError("セル位置 (列 "_sj + IntToStr(ACol) + ", 行 "_sj + IntToStr(ARow) +
                          ") はグリッドの範囲外です"_sj);
}

int TStringGrid::NewSlot() {
    if (!FFreeSlots.empty()) {
        const int Slot = FFreeSlots.back();
        FFreeSlots.pop_back();
        return Slot;
    }
    FSlotUsers.push_back(0);
    return static_cast<int>(FSlotUsers.size()) - 1;
}

// The row's slot for writing, no longer shared with another row.
int TStringGrid::WritableSlot(int ARow) {
    if (ARow >= static_cast<int>(FRowSlots.size())) {
        // Rows are written top down as a grid fills: room for all of them at once.
        const std::size_t Rows = std::max(std::size_t(RowCount()), std::size_t(ARow)) + 1;
        FRowSlots.reserve(Rows);
        FSlotUsers.reserve(Rows);
        FRowSlots.resize(std::size_t(ARow) + 1, NoSlot);
    }
    const int Shared = FRowSlots[std::size_t(ARow)];
    if (Shared != NoSlot && FSlotUsers[std::size_t(Shared)] == 1)
        return Shared;
    const int Slot = NewSlot();
    FSlotUsers[std::size_t(Slot)] = 1;
    FRowSlots[std::size_t(ARow)] = Slot;
    if (Shared == NoSlot)
        return Slot;
    --FSlotUsers[std::size_t(Shared)];
    for (TColumn& Column : FColumns)
        if (Shared < static_cast<int>(Column.size())) {
            if (Slot >= static_cast<int>(Column.size()))
                Column.resize(std::size_t(Slot) + 1);
            Column[std::size_t(Slot)] = Column[std::size_t(Shared)];
        }
    return Slot;
}

namespace {

// A text of megabytes is given large pages before it is written: each small page costs a fault.
void AssignCellText(AnsiString& Cell, std::string_view Value) {
    if (Value.size() < LargeBlockBytes) {
        Cell.assign(Value);
        return;
    }
    AnsiString Text;
    Text.reserve(Value.size());
    AdviseLargePages(Text.data(), Text.capacity());
    Text.assign(Value);
    Cell.swap(Text);
}

} // namespace

void TStringGrid::SetCells(int ACol, int ARow, std::string_view Value) {
    CheckWrite(ACol, ARow);
    if (Cells(ACol, ARow) == Value)
        return;
    const std::size_t Slot = std::size_t(WritableSlot(ARow));
    if (ACol >= static_cast<int>(FColumns.size()))
        FColumns.resize(std::size_t(ACol) + 1);
    TColumn& Column = FColumns[std::size_t(ACol)];
    if (Slot >= Column.size()) {
        // A column is filled top down: room for every slot there is at once.
        if (Slot >= Column.capacity())
            Column.reserve(std::max(Slot + 1, FSlotUsers.capacity()));
        Column.resize(Slot + 1);
    }
    AssignCellText(Column[Slot], Value);
    InvalidateCell(ACol, ARow);
}

// Unmaps the row; a slot that no row maps to any more gives up its texts and is reused.
void TStringGrid::ReleaseRow(int ARow) {
    if (ARow >= static_cast<int>(FRowSlots.size()))
        return;
    const int Slot = std::exchange(FRowSlots[std::size_t(ARow)], NoSlot);
    if (Slot == NoSlot || --FSlotUsers[std::size_t(Slot)] > 0)
        return;
    for (TColumn& Column : FColumns)
        if (Slot < static_cast<int>(Column.size()))
            AnsiString().swap(Column[std::size_t(Slot)]);
    FFreeSlots.push_back(Slot);
}

void TStringGrid::ClearRow(int ARow) {
    CheckWrite(0, ARow);
    if (ARow >= static_cast<int>(FRowSlots.size()) || FRowSlots[std::size_t(ARow)] == NoSlot)
        return;
    ReleaseRow(ARow);
    InvalidateRow(ARow);
}

// The target shares the source's texts until either is written, so shifting every row of a
// large grid copies no strings.
void TStringGrid::CopyRow(int From, int To) {
    CheckWrite(0, To);
    if (From == To)
        return;
    if (From < 0 || From >= static_cast<int>(FRowSlots.size()) ||
        FRowSlots[std::size_t(From)] == NoSlot) {
        ClearRow(To);
        return;
    }
    if (To >= static_cast<int>(FRowSlots.size()))
        FRowSlots.resize(std::size_t(To) + 1, NoSlot);
    const int Slot = FRowSlots[std::size_t(From)];
    ++FSlotUsers[std::size_t(Slot)];
    ReleaseRow(To);
    FRowSlots[std::size_t(To)] = Slot;
    InvalidateRow(To);
}

// The lists handed out so far, by index. A deque keeps them in place as it grows and holds
// them in blocks, so that the lists of every row of a large grid cost few allocations.
struct TStringGrid::TViews {
    std::deque<TStringGridStrings> Rows;
    std::deque<TStringGridStrings> Cols;
};

TStrings* TStringGrid::View(bool IsRow, int Index) {
    if (Index < 0 || Index > (IsRow ? RowCount() : ColCount()))
        throw ERangeError("グリッドのインデックス "_sj + IntToStr(Index) + " は範囲外です"_sj);
    std::deque<TStringGridStrings>& Views = IsRow ? FViews->Rows : FViews->Cols;
    while (static_cast<int>(Views.size()) <= Index)
        Views.emplace_back(this, static_cast<int>(Views.size()), IsRow);
    return &Views[Index];
}

TStrings* TStringGrid::Rows(int Index) {
    return View(true, Index);
}

TStrings* TStringGrid::Cols(int Index) {
    return View(false, Index);
}

void TStringGrid::SizeChanged(int OldColCount, int OldRowCount) {
    for (int R = static_cast<int>(FRowSlots.size()) - 1; R >= RowCount(); --R)
        ReleaseRow(R);
    if (RowCount() < static_cast<int>(FRowSlots.size()))
        FRowSlots.resize(std::size_t(RowCount()));
    if (ColCount() < OldColCount && ColCount() < static_cast<int>(FColumns.size()))
        FColumns.resize(std::size_t(ColCount()));
    TDrawGrid::SizeChanged(OldColCount, OldRowCount);
}

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (DefaultDrawing())
        Canvas()->TextRect(ARect, ARect.Left + TextIndent, ARect.Top + TextIndent,
                           Cells(ACol, ARow));
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

AnsiString TStringGrid::GetEditText(int ACol, int ARow) {
    AnsiString Value = Cells(ACol, ARow);
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, Value);
    return Value;
}

void TStringGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
    SetCells(ACol, ARow, Value);
    TDrawGrid::SetEditText(ACol, ARow, Value);
}

// ---- Published properties

namespace {

bool RegisterGrids() {
    TPublish<TCustomGrid>("TCustomGrid", "TCustomControl")
        .Int("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount,
             TCustomGrid::DefColCount)
        .Int("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount,
             TCustomGrid::DefRowCount)
        .Int("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols,
             TCustomGrid::DefFixedCols)
        .Int("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows,
             TCustomGrid::DefFixedRows)
        .Int("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth,
             TCustomGrid::DefColWidth)
        .Int("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight,
             TCustomGrid::DefRowHeight)
        .Bool("DefaultDrawing", &TCustomGrid::DefaultDrawing, &TCustomGrid::SetDefaultDrawing,
              TCustomGrid::DefDefaultDrawing)
        .Int("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor,
             TCustomGrid::DefFixedColor, &ColorIdents())
        .Int("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth,
             TCustomGrid::DefGridLineWidth)
        .Set("Options", &TCustomGrid::Options, &TCustomGrid::SetOptions, GridOptionNames(),
             std::optional<TGridOptions>(TCustomGrid::DefOptions))
        .Enum("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars,
              ScrollStyleNames(), std::optional<TScrollStyle>(TCustomGrid::DefScrollBars))
        .Object("ColWidths", TTypeKind::Strings, &TCustomGrid::ColWidthsList)
        .Integers()
        .StoredIf([](const TCustomGrid* G) { return !G->SizesAtDefault(true); })
        .Object("RowHeights", TTypeKind::Strings, &TCustomGrid::RowHeightsList)
        .Integers()
        .StoredIf([](const TCustomGrid* G) { return !G->SizesAtDefault(false); })
        .Event("OnSelectCell", &TCustomGrid::OnSelectCell)
        .Event("OnDrawCell", &TCustomGrid::OnDrawCell)
        .Event("OnSetEditText", &TCustomGrid::OnSetEditText)
        .Event("OnGetEditText", &TCustomGrid::OnGetEditText);
    TPublish<TDrawGrid>("TDrawGrid", "TCustomGrid").Creatable();
    TPublish<TStringGrid>("TStringGrid", "TDrawGrid").Creatable();
    return true;
}

[[maybe_unused]] const bool Registered = RegisterGrids();

} // namespace

bool TCustomGrid::SizesAtDefault(bool Columns) const {
    return (Columns ? FColWidthList : FRowHeightList)->AllDefault();
}
