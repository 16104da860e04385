// TDrawGrid and TStringGrid: the grids that draw through an event and that hold strings.
#include "Grids.h"

#include <algorithm>
#include <deque>
#include <utility>

namespace {

constexpr int TextIndent = 2; // default drawing: text offset from the cell's top-left corner

} // namespace

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
