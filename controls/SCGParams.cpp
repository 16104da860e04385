#include "SCGParams.h"

#include "SCGInit.h"
#include "SCGPool.h"
#include "StrCGrid.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

// Texts in code page 932, converted once.
const AnsiString& DefaultParamName() {
    static const AnsiString Text = "パラメータ"_sj;
    return Text;
}
const AnsiString& MsgColBelowZero() {
    static const AnsiString Text = ".Col の値が 0 を下まわりました"_sj;
    return Text;
}
const AnsiString& MsgRowBelowZero() {
    static const AnsiString Text = ".Row の値が 0 を下まわりました"_sj;
    return Text;
}
const AnsiString& MsgRangeInvalid() {
    static const AnsiString Text = "範囲が不正です"_sj;
    return Text;
}
const AnsiString& MsgFontWidthOutOfRange() {
    static const AnsiString Text = ".FontWidth の値が範囲を超えました"_sj;
    return Text;
}

} // namespace

const std::vector<const char*>& SCGCellCaptionTypeNames() {
    static const std::vector<const char*> Names{"ctCaption", "ctCellText", "ctHeader",
                                                "ctFooter",  "ctTop",      "ctBottom"};
    return Names;
}

// ---- TSCGCellParams::TCellLookup

// Single-cell items chained by row, each chain in descending column order; the chains of 16
// consecutive rows share one slot of an open-addressing table, so that filling or painting a
// run of rows stays within a few cache lines however many items the grid has. Range items are
// in a short list. A lookup takes the covering item of highest position.
class TSCGCellParams::TCellLookup {
public:
    TSCGCellParam* Find(int ACol, int ARow) const {
        TSCGCellParam* Best = nullptr;
        const auto Take = [&](TSCGCellParam* Item) {
            if (!Best || Item->Index() > Best->Index())
                Best = Item;
        };
        if (const TBlock* Block = BlockOf(ARow))
            for (TSCGCellParam* Item = Block->Heads[Line(ARow)]; Item && Item->FCol >= ACol;
                 Item = Item->FNextInRow)
                if (Item->FCol == ACol)
                    Take(Item);
        for (TSCGCellParam* Item : FRanges)
            if (Item->Covers(ACol, ARow))
                Take(Item);
        return Best;
    }

    // Makes room for one more item, so that Insert never allocates.
    void Reserve() {
        FRanges.reserve(FRanges.size() + 1);
        if ((FBlockCount + 1) * 2 > FSlots.size())
            Rehash(std::max<std::size_t>(MinSlots, FSlots.size() * 2));
    }

    void Insert(TSCGCellParam* Item) {
        if (Item->RangeEnabled()) {
            FRanges.push_back(Item);
            return;
        }
        Reserve();
        const unsigned Number = BlockNumber(Item->FRow);
        std::size_t I = Home(Number);
        while (FSlots[I].Used && FSlots[I].Number != Number)
            I = Next(I);
        TBlock& Block = FSlots[I];
        if (!Block.Used) {
            Block.Number = Number;
            ++FBlockCount;
        }
        TSCGCellParam** Link = &Block.Heads[Line(Item->FRow)];
        Block.Used += !*Link;
        while (*Link && (*Link)->FCol > Item->FCol)
            Link = &(*Link)->FNextInRow;
        Item->FNextInRow = *Link;
        *Link = Item;
    }

    void Remove(TSCGCellParam* Item) {
        if (Item->RangeEnabled()) {
            FRanges.erase(std::find(FRanges.begin(), FRanges.end(), Item));
            return;
        }
        const unsigned Number = BlockNumber(Item->FRow);
        std::size_t I = Home(Number);
        while (FSlots[I].Number != Number || !FSlots[I].Used)
            I = Next(I);
        TBlock& Block = FSlots[I];
        TSCGCellParam** Link = &Block.Heads[Line(Item->FRow)];
        while (*Link != Item)
            Link = &(*Link)->FNextInRow;
        *Link = Item->FNextInRow;
        Item->FNextInRow = nullptr;
        Block.Used -= !Block.Heads[Line(Item->FRow)];
        if (!Block.Used)
            EraseSlot(I);
    }

private:
    static constexpr unsigned RowsPerBlock = 16;
    static constexpr std::size_t MinSlots = 4;
    struct TBlock {
        unsigned Number = 0;
        unsigned Used = 0; // rows with items; none: the slot is free
        TSCGCellParam* Heads[RowsPerBlock] = {};
    };

    static unsigned BlockNumber(int ARow) { return unsigned(ARow) / RowsPerBlock; }
    static unsigned Line(int ARow) { return unsigned(ARow) % RowsPerBlock; }
    std::size_t Home(unsigned Number) const {
        std::uint32_t H = Number;
        H ^= H >> 16;
        H *= 0x7feb352dU;
        H ^= H >> 15;
        H *= 0x846ca68bU;
        H ^= H >> 16;
        return H & (FSlots.size() - 1);
    }
    std::size_t Next(std::size_t I) const { return (I + 1) & (FSlots.size() - 1); }

    const TBlock* BlockOf(int ARow) const {
        if (FSlots.empty())
            return nullptr;
        const unsigned Number = BlockNumber(ARow);
        for (std::size_t I = Home(Number); FSlots[I].Used; I = Next(I))
            if (FSlots[I].Number == Number)
                return &FSlots[I];
        return nullptr;
    }

    // Backward shift: move up every later slot of the run that may live in the hole.
    void EraseSlot(std::size_t Hole) {
        for (std::size_t I = Next(Hole); FSlots[I].Used; I = Next(I)) {
            const std::size_t H = Home(FSlots[I].Number);
            const bool Stays = Hole <= I ? (Hole < H && H <= I) : (Hole < H || H <= I);
            if (!Stays) {
                FSlots[Hole] = FSlots[I];
                Hole = I;
            }
        }
        FSlots[Hole] = {};
        --FBlockCount;
    }

    void Rehash(std::size_t Size) {
        std::vector<TBlock> Old(Size);
        Old.swap(FSlots);
        for (const TBlock& Block : Old) {
            if (!Block.Used)
                continue;
            std::size_t I = Home(Block.Number);
            while (FSlots[I].Used)
                I = Next(I);
            FSlots[I] = Block;
        }
    }

    std::vector<TBlock> FSlots;
    std::size_t FBlockCount = 0; // slots in use
    std::vector<TSCGCellParam*> FRanges;
};

// ---- TSCGCellParam

struct TSCGCellParam::TExtra {
    struct TValues {
        AnsiString Caption;
        AnsiString FontName;
        AnsiString Name;
        int Tag = 0;
        TSCGParamsCellChangedEvent OnEnterCell;
        TSCGParamsCellChangedEvent OnExitCell;
        TSCGParamsColChangedEvent OnEnterCol;
        TSCGParamsColChangedEvent OnExitCol;
        TSCGParamsRowChangedEvent OnEnterRow;
        TSCGParamsRowChangedEvent OnExitRow;
        TSCGOutCellTextEvent OnOutCellText;
        TSCGDrawTextOneLineEvent OnDrawTextOneLine;
        TSCGDrawCellEvent OnDrawCell;
    };
    TValues Values;
    std::unique_ptr<TBrush> Brush;
};

// Takes an item out of the cell lookup while its cell or range changes, and files it again
// afterwards, also when the change is refused. Nested guards leave the work to the outermost.
class TSCGCellParam::TLookupGuard {
public:
    explicit TLookupGuard(TSCGCellParam& Item) : FItem(Item), FRefile(Item.FInLookup) {
        if (FRefile)
            Item.Params()->Unfile(&Item);
    }
    ~TLookupGuard() {
        if (FRefile)
            FItem.Params()->File(&FItem);
    }
    TLookupGuard(const TLookupGuard&) = delete;
    TLookupGuard& operator=(const TLookupGuard&) = delete;

private:
    TSCGCellParam& FItem;
    bool FRefile;
};

void* TSCGCellParam::operator new(std::size_t Size) {
    return Size == sizeof(TSCGCellParam) ? TParamPool::Instance().Allocate() : ::operator new(Size);
}

void TSCGCellParam::operator delete(void* Item, std::size_t Size) {
    if (Size == sizeof(TSCGCellParam))
        TParamPool::Instance().Release(Item);
    else
        ::operator delete(Item);
}

TSCGCellParam::TSCGCellParam(TSCGCellParams* ACollection)
    : TCollectionItem(ACollection), FCellColor(InitCellColor), FFontColor(InitFontColor),
      FFontWidth(InitFontWidth), FOptions(ACollection->Grid()->Options()),
      FNameNumber(ACollection->Count()), FAlignment(DefaultAlignment), FLayout(DefaultLayout),
      FCaptionType(DefaultCaptionType), FImeMode(DefaultImeMode),
      FCellColorEnabled(DefaultCellColorEnabled), FFontColorEnabled(DefaultFontColorEnabled),
      FBrushEnabled(DefaultBrushEnabled), FImeModeEnabled(InitImeModeEnabled),
      FOptionsEnabled(DefaultOptionsEnabled), FRangeEnabled(DefaultRangeEnabled), FNameSet(false),
      FInLookup(false) {
    if (ACollection->FFileNewItems)
        ACollection->File(this);
}

TSCGCellParam::TSCGCellParam(TSCGCellParams* ACollection, TDetached)
    : TCollectionItem(ACollection, TDetached{}), FCellColor(InitCellColor),
      FFontColor(InitFontColor), FFontWidth(InitFontWidth), FOptions(), FNameNumber(0),
      FAlignment(DefaultAlignment), FLayout(DefaultLayout), FCaptionType(DefaultCaptionType),
      FImeMode(DefaultImeMode), FCellColorEnabled(true), FFontColorEnabled(true),
      FBrushEnabled(DefaultBrushEnabled), FImeModeEnabled(InitImeModeEnabled),
      FOptionsEnabled(DefaultOptionsEnabled), FRangeEnabled(DefaultRangeEnabled), FNameSet(false),
      FInLookup(false) {}

TSCGCellParam::~TSCGCellParam() {
    if (FInLookup && Collection())
        Params()->Unfile(this);
}

TSCGCellParams* TSCGCellParam::Params() const {
    return static_cast<TSCGCellParams*>(Collection());
}

TStrColGrid* TSCGCellParam::Grid() const {
    return Params()->Grid();
}

bool TSCGCellParam::Loading() const {
    return Grid()->ComponentState().Contains(csLoading);
}

TSCGCellParam::TExtra& TSCGCellParam::Extra() const {
    if (!FExtra)
        FExtra = std::make_unique<TExtra>();
    return *FExtra;
}

bool TSCGCellParam::Covers(int ACol, int ARow) const {
    if (FRangeEnabled)
        return FCol <= ACol && ACol <= FColMax && FRow <= ARow && ARow <= FRowMax;
    return FCol == ACol && FRow == ARow;
}

AnsiString TSCGCellParam::GetDisplayName() const {
    char Corners[64];
    std::snprintf(Corners, sizeof Corners, " (%3d,%3d)-(%3d,%3d)", FCol, FRow, FColMax, FRowMax);
    return Name() + Corners;
}

void TSCGCellParam::Assign(const TPersistent* Source) {
    const auto* Other = dynamic_cast<const TSCGCellParam*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    if (Other == this)
        return;
    {
        TLookupGuard Guard(*this);
        FCol = Other->FCol;
        FRow = Other->FRow;
        FColMax = Other->FColMax;
        FRowMax = Other->FRowMax;
        FRangeEnabled = Other->FRangeEnabled;
    }
    FCellColor = Other->FCellColor;
    FFontColor = Other->FFontColor;
    FFontWidth = Other->FFontWidth;
    FOptions = Other->FOptions;
    FNameNumber = Other->FNameNumber;
    FAlignment = Other->FAlignment;
    FLayout = Other->FLayout;
    FCaptionType = Other->FCaptionType;
    FImeMode = Other->FImeMode;
    FCellColorEnabled = Other->FCellColorEnabled;
    FFontColorEnabled = Other->FFontColorEnabled;
    FBrushEnabled = Other->FBrushEnabled;
    FImeModeEnabled = Other->FImeModeEnabled;
    FOptionsEnabled = Other->FOptionsEnabled;
    FNameSet = Other->FNameSet;
    if (Other->FExtra)
        Extra().Values = Other->FExtra->Values;
    else if (FExtra)
        FExtra->Values = TExtra::TValues();
    const bool OtherHasBrush = Other->FExtra && Other->FExtra->Brush;
    if (OtherHasBrush || (FExtra && FExtra->Brush)) {
        static const TBrush DefaultBrush;
        Brush()->Assign(OtherHasBrush ? Other->FExtra->Brush.get() : &DefaultBrush);
    } else {
        Notify(); // what copying two default brushes would report
    }
}

void TSCGCellParam::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Notify();
}

const AnsiString& TSCGCellParam::Caption() const {
    return FExtra ? FExtra->Values.Caption : EmptyString();
}

void TSCGCellParam::SetCaption(const AnsiString& Value) {
    if (FExtra || !Value.empty())
        Extra().Values.Caption = Value;
    Notify();
}

void TSCGCellParam::SetCaptionType(TSCGCellCaptionType Value) {
    FCaptionType = Value;
    Notify();
}

void TSCGCellParam::SetCellColor(TColor Value) {
    FCellColor = Value;
    Notify();
}

void TSCGCellParam::SetCellColorEnabled(bool Value) {
    FCellColorEnabled = Value;
    Notify();
}

void TSCGCellParam::SetCol(int Value) {
    CheckNotNegative(Value, MsgColBelowZero());
    TLookupGuard Guard(*this);
    const int Old = FCol;
    FCol = Value;
    try {
        SetColMax(FColMax);
    } catch (...) {
        FCol = Old;
        throw;
    }
}

void TSCGCellParam::SetRow(int Value) {
    CheckNotNegative(Value, MsgRowBelowZero());
    TLookupGuard Guard(*this);
    const int Old = FRow;
    FRow = Value;
    try {
        SetRowMax(FRowMax);
    } catch (...) {
        FRow = Old;
        throw;
    }
}

void TSCGCellParam::SetColMax(int Value) {
    const int Old = FColMax;
    FColMax = Value;
    try {
        SetRangeEnabled(FRangeEnabled);
    } catch (...) {
        FColMax = Old;
        throw;
    }
}

void TSCGCellParam::SetRowMax(int Value) {
    const int Old = FRowMax;
    FRowMax = Value;
    try {
        SetRangeEnabled(FRangeEnabled);
    } catch (...) {
        FRowMax = Old;
        throw;
    }
}

void TSCGCellParam::SetRangeEnabled(bool Value) {
    if (Value && !Loading() && (FCol > FColMax || FRow > FRowMax))
        throw ERangeError(MsgRangeInvalid());
    if (Value != FRangeEnabled) {
        TLookupGuard Guard(*this);
        FRangeEnabled = Value;
    }
    Notify();
}

TBrush* TSCGCellParam::Brush() const {
    TExtra& E = Extra();
    if (!E.Brush) {
        E.Brush = std::make_unique<TBrush>();
        auto* Self = const_cast<TSCGCellParam*>(this);
        E.Brush->OnChange = [Self](TObject*) { Self->Notify(); };
    }
    return E.Brush.get();
}

void TSCGCellParam::SetBrush(const TBrush* Value) {
    Brush()->Assign(Value);
}

void TSCGCellParam::SetBrushEnabled(bool Value) {
    FBrushEnabled = Value;
    Notify();
}

const AnsiString& TSCGCellParam::FontName() const {
    return FExtra ? FExtra->Values.FontName : EmptyString();
}

void TSCGCellParam::SetFontName(const AnsiString& Value) {
    // A name that no font has is dropped without a message.
    const bool Known = Value.empty() || Loading() || Grid()->Fonts()->Find(Value) >= 0;
    if (FExtra || (Known && !Value.empty()))
        Extra().Values.FontName = Known ? Value : AnsiString();
    Notify();
}

void TSCGCellParam::CheckNotNegative(int Value, const AnsiString& Message) const {
    if (Value < 0)
        throw ERangeError(GetDisplayName() + Message);
}

// What the caption, colour, switch and cell setters would do one by one for a new item that is
// not yet filed, with one notice: grids create these by the hundred thousand.
void TSCGCellParam::SetupForCell(int ACol, int ARow, TColor AFontColor, TColor ACellColor) {
    if (FExtra)
        FExtra->Values.Caption.clear();
    FFontColor = AFontColor;
    FCellColor = ACellColor;
    FCellColorEnabled = true;
    FFontColorEnabled = true;
    CheckNotNegative(ACol, MsgColBelowZero());
    FCol = ACol;
    CheckNotNegative(ARow, MsgRowBelowZero());
    FRow = ARow;
    Notify();
}

void TSCGCellParam::SetFontColor(TColor Value) {
    FFontColor = Value;
    Notify();
}

void TSCGCellParam::SetFontColorEnabled(bool Value) {
    FFontColorEnabled = Value;
    Notify();
}

void TSCGCellParam::SetFontWidth(int Value) {
    CheckNotNegative(Value, MsgFontWidthOutOfRange());
    FFontWidth = Value;
    Notify();
}

void TSCGCellParam::SetLayout(TTextLayout Value) {
    FLayout = Value;
    Notify();
}

AnsiString TSCGCellParam::Name() const {
    if (FNameSet)
        return FExtra->Values.Name;
    return DefaultParamName() + IntToStr(FNameNumber);
}

void TSCGCellParam::SetName(const AnsiString& Value) {
    Extra().Values.Name = Value;
    FNameSet = true;
}

void TSCGCellParam::SetOptions(TGridOptions Value) {
    FOptions = Value;
    Notify();
}

void TSCGCellParam::SetOptionsEnabled(bool Value) {
    FOptionsEnabled = Value;
    Notify();
}

int TSCGCellParam::Tag() const {
    return FExtra ? FExtra->Values.Tag : 0;
}

void TSCGCellParam::SetTag(int Value) {
    if (FExtra || Value != 0)
        Extra().Values.Tag = Value;
}

#define SCG_PARAM_EVENT(TYPE, NAME)                                                                \
    const TYPE& TSCGCellParam::NAME() const {                                                      \
        static const TYPE None;                                                                    \
        return FExtra ? FExtra->Values.NAME : None;                                                \
    }                                                                                              \
    void TSCGCellParam::Set##NAME(const TYPE& Value) {                                             \
        if (FExtra || Value)                                                                       \
            Extra().Values.NAME = Value;                                                           \
    }

SCG_PARAM_EVENT(TSCGParamsCellChangedEvent, OnEnterCell)
SCG_PARAM_EVENT(TSCGParamsCellChangedEvent, OnExitCell)
SCG_PARAM_EVENT(TSCGParamsColChangedEvent, OnEnterCol)
SCG_PARAM_EVENT(TSCGParamsColChangedEvent, OnExitCol)
SCG_PARAM_EVENT(TSCGParamsRowChangedEvent, OnEnterRow)
SCG_PARAM_EVENT(TSCGParamsRowChangedEvent, OnExitRow)
SCG_PARAM_EVENT(TSCGOutCellTextEvent, OnOutCellText)
SCG_PARAM_EVENT(TSCGDrawTextOneLineEvent, OnDrawTextOneLine)
SCG_PARAM_EVENT(TSCGDrawCellEvent, OnDrawCell)

#undef SCG_PARAM_EVENT

// ---- TSCGCellParams::TRun

// Records made one after another for the cells of a rectangle, row by row from its top left
// corner: record K is the cell (Col0 + K % Width, Row0 + K / Width). The first row sets the
// width; names count on from the first record within a row and by RowStride from row to row,
// so that records of other runs made in between keep their own names.
struct TSCGCellParams::TRun {
    TSCGCellStyle Style;
    int Col0;
    int Row0;
    int FirstName;
    int Width = 1;
    int RowStride = 0; // fixed by the first record of the second row
    int Length = 1;
    int Live = 1; // records not yet made whole or deleted
    std::vector<bool> Gone{false};

    bool Open() const { return Length == Width && RowStride == 0; }
    int ColOf(int K) const { return Col0 + K % Width; }
    int RowOf(int K) const { return Row0 + K / Width; }
    int NameOf(int K) const { return FirstName + K / Width * RowStride + K % Width; }

    // The live record of a cell, or -1.
    int RecordAt(int ACol, int ARow) const {
        if (ACol < Col0 || ACol - Col0 >= Width || ARow < Row0)
            return -1;
        const std::int64_t K = std::int64_t(ARow - Row0) * Width + (ACol - Col0);
        return K < Length && !Gone[std::size_t(K)] ? int(K) : -1;
    }

    // Takes the next record when the cell and name continue the run.
    bool Extend(int ACol, int ARow, int AName, const TSCGCellStyle& AStyle) {
        if (!(AStyle == Style) || Length == std::numeric_limits<int>::max())
            return false;
        if (Open() && ARow == Row0 && ACol - Col0 == Width && AName - FirstName == Width) {
            ++Width;
        } else if (Open() && ARow - Row0 == 1 && ACol == Col0 && AName - FirstName >= Width) {
            RowStride = AName - FirstName;
        } else if (Open() || ACol != ColOf(Length) || ARow != RowOf(Length) ||
                   AName != NameOf(Length)) {
            return false;
        }
        ++Length;
        ++Live;
        Gone.push_back(false);
        return true;
    }
};

// ---- TSCGCellParams

TSCGCellParams::TSCGCellParams(TStrColGrid* AGrid)
    : TCollection(
          [](TCollection* C) { return new TSCGCellParam(static_cast<TSCGCellParams*>(C)); }),
      FGrid(AGrid), FLookup(std::make_unique<TCellLookup>()) {}

TSCGCellParams::~TSCGCellParams() {
    // The lookup is dropped whole rather than item by item.
    ForEachWhole(
        [](TCollectionItem* Item) { static_cast<TSCGCellParam*>(Item)->FInLookup = false; });
    FLookup = std::make_unique<TCellLookup>();
    Clear();
}

TSCGCellParam* TSCGCellParams::Add() {
    return static_cast<TSCGCellParam*>(TCollection::Add());
}

TSCGCellParam* TSCGCellParams::AddUnfiled() {
    FFileNewItems = false;
    try {
        TSCGCellParam* Item = Add();
        FFileNewItems = true;
        return Item;
    } catch (...) {
        FFileNewItems = true;
        throw;
    }
}

TSCGCellParam* TSCGCellParams::Items(int Index) const {
    return static_cast<TSCGCellParam*>(TCollection::Items(Index));
}

TPersistent* TSCGCellParams::GetOwner() const {
    return FGrid;
}

TSCGCellParam* TSCGCellParams::Find(int ACol, int ARow) const {
    const TFound Found = Lookup(ACol, ARow);
    if (Found.Item || Found.Record < 0)
        return Found.Item;
    return const_cast<TSCGCellParams*>(this)->MakeWholeFound(Found);
}

TSCGCellParams::TFound TSCGCellParams::Lookup(int ACol, int ARow) const {
    constexpr int NotPlaced = -2; // a record whose position has not been sought
    TFound Best;
    Best.Item = FLookup->Find(ACol, ARow);
    int BestIndex = Best.Item ? Best.Item->Index() : -1;
    for (const auto& [Key, Run] : FRuns) {
        const int Record = Run->RecordAt(ACol, ARow);
        if (Record < 0)
            continue;
        // Positions of records are sought only when two parameters cover the cell.
        if (!Best.Item && Best.Record < 0) {
            Best = {nullptr, Key, Record};
            BestIndex = NotPlaced;
            continue;
        }
        if (BestIndex == NotPlaced)
            BestIndex = RecordPosition(Best.Key, Best.Record);
        const int Position = RecordPosition(Key, Record);
        if (Position > BestIndex) {
            Best = {nullptr, Key, Record};
            BestIndex = Position;
        }
    }
    return Best;
}

const TSCGCellParam* TSCGCellParams::Peek(int ACol, int ARow) const {
    const TFound Found = Lookup(ACol, ARow);
    if (Found.Item || Found.Record < 0)
        return Found.Item;
    if (!FStandIn)
        FStandIn.reset(
            new TSCGCellParam(const_cast<TSCGCellParams*>(this), TCollectionItem::TDetached{}));
    const TRun& Run = *FRuns.at(Found.Key);
    TSCGCellParam& P = *FStandIn;
    P.FCol = Run.ColOf(Found.Record);
    P.FRow = Run.RowOf(Found.Record);
    P.FNameNumber = Run.NameOf(Found.Record);
    P.FAlignment = Run.Style.Alignment;
    P.FFontColor = Run.Style.FontColor;
    P.FCellColor = Run.Style.CellColor;
    P.FOptions = Run.Style.Options;
    return &P;
}

const TSCGCellStyle& TSCGCellParams::RecordStyle(const TFound& AFound) const {
    return FRuns.at(AFound.Key)->Style;
}

TSCGCellParam* TSCGCellParams::MakeWholeFound(const TFound& AFound) {
    return Items(RecordPosition(AFound.Key, AFound.Record));
}

bool TSCGCellParams::AddRecord(int ACol, int ARow, const TSCGCellStyle& AStyle) {
    const int Record = TakeRecord(ACol, ARow, Count() + 1, AStyle);
    if (Record < 0)
        return false;
    AddRecords(FLastKey, Record, 1);
    return true;
}

int TSCGCellParams::TakeRecord(int ACol, int ARow, int AName, const TSCGCellStyle& AStyle) {
    constexpr std::size_t MaxRuns = 64; // every lookup looks at each run
    TRun* Taker = nullptr;
    const auto Last = FRuns.find(FLastKey);
    if (Last != FRuns.end() && Last->second->Extend(ACol, ARow, AName, AStyle)) {
        Taker = Last->second.get();
    } else {
        for (auto& [Key, Run] : FRuns)
            if (Key != FLastKey && Run->Extend(ACol, ARow, AName, AStyle)) {
                Taker = Run.get();
                FLastKey = Key;
                break;
            }
    }
    if (!Taker) {
        if (FRuns.size() >= MaxRuns || FNextKey == std::numeric_limits<std::uint32_t>::max())
            return -1;
        FLastKey = FNextKey++;
        FRuns.emplace(FLastKey, std::make_unique<TRun>(TRun{AStyle, ACol, ARow, AName}));
        Taker = FRuns.at(FLastKey).get();
    }
    return Taker->Length - 1;
}

bool TSCGCellParams::Touches(int ACol, int ARow, int AColMax, int ARowMax) const {
    const auto Meets = [&](int Col, int Row, int ColMax, int RowMax) {
        return Col <= AColMax && ACol <= ColMax && Row <= ARowMax && ARow <= RowMax;
    };
    bool Met = false;
    ForEachWhole([&](TCollectionItem* Item) {
        const auto* P = static_cast<const TSCGCellParam*>(Item);
        Met = Met || (P->RangeEnabled() ? Meets(P->Col(), P->Row(), P->ColMax(), P->RowMax())
                                        : Meets(P->Col(), P->Row(), P->Col(), P->Row()));
    });
    for (const auto& [Key, Run] : FRuns)
        Met = Met ||
              Meets(Run->Col0, Run->Row0, Run->Col0 + Run->Width - 1, Run->RowOf(Run->Length - 1));
    return Met;
}

int TSCGCellParams::AddRecordRows(int ACol, int ARow, int AColMax, int ARowMax,
                                  const TSCGCellStyle& AStyle) {
    if (Touches(ACol, ARow, AColMax, ARowMax))
        return 0;
    // Records of one run are filed in one go; names count on from the collection's count.
    int Done = 0;
    int Pending = 0;
    int PendingFirst = 0;
    std::uint32_t PendingKey = 0;
    const auto Flush = [&] {
        AddRecords(PendingKey, PendingFirst, Pending);
        Pending = 0;
    };
    for (int R = ARow; R <= ARowMax; ++R)
        for (int C = ACol; C <= AColMax; ++C, ++Done) {
            const int Record = TakeRecord(C, R, Count() + Pending + 1, AStyle);
            if (Record < 0) {
                Flush();
                return Done;
            }
            if (Pending > 0 && (FLastKey != PendingKey || Record != PendingFirst + Pending))
                Flush();
            if (Pending == 0) {
                PendingKey = FLastKey;
                PendingFirst = Record;
            }
            ++Pending;
        }
    Flush();
    return Done;
}

TCollectionItem* TSCGCellParams::MakeWhole(std::uint32_t Key, int Record) {
    const TRun& Run = *FRuns.at(Key);
    const TSCGCellStyle Style = Run.Style;
    const int Col = Run.ColOf(Record);
    const int Row = Run.RowOf(Record);
    const int Name = Run.NameOf(Record);
    // The item takes the record's place, which may drop the last record of the run.
    TSCGCellParam* Item = AddUnfiled();
    Item->FCol = Col;
    Item->FRow = Row;
    Item->FNameNumber = Name;
    Item->FAlignment = Style.Alignment;
    Item->FFontColor = Style.FontColor;
    Item->FCellColor = Style.CellColor;
    Item->FOptions = Style.Options;
    Item->FCellColorEnabled = true;
    Item->FFontColorEnabled = true;
    File(Item);
    return Item;
}

void TSCGCellParams::DropRecords(std::uint32_t Key, int First, int Count) {
    const auto It = FRuns.find(Key);
    if (It == FRuns.end())
        return;
    TRun& Run = *It->second;
    for (int K = First; K < First + Count; ++K)
        if (!Run.Gone[std::size_t(K)]) {
            Run.Gone[std::size_t(K)] = true;
            --Run.Live;
        }
    if (Run.Live == 0)
        FRuns.erase(It);
}

void TSCGCellParams::File(TSCGCellParam* Item) {
    FLookup->Insert(Item);
    Item->FInLookup = true;
}

void TSCGCellParams::Unfile(TSCGCellParam* Item) {
    FLookup->Reserve();
    FLookup->Remove(Item);
    Item->FInLookup = false;
}

void TSCGCellParams::AssignTo(TPersistent* Dest) const {
    if (auto* Params = dynamic_cast<TSCGCellParams*>(Dest))
        Params->Assign(this);
    else
        TCollection::AssignTo(Dest);
}

void TSCGCellParams::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    const TComponentState State = FGrid->ComponentState();
    if (State.Contains(csDesigning) && !State.Contains(csDestroying))
        FGrid->Repaint();
}

void TSCGCellParams::Notify(TCollectionItem* Item, TCollectionNotification Action) {
    // An added item files itself once constructed; a leaving one is still whole here.
    if (Action != cnAdded) {
        auto* Param = static_cast<TSCGCellParam*>(Item);
        if (Param->FInLookup)
            Unfile(Param);
    }
    TCollection::Notify(Item, Action);
}
