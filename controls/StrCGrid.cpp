#include "StrCGrid.h"

#include "WinApi.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>

namespace {

// Initial values, which are also the declared defaults of the form files. Qualified, since
// the framework's classes declare members of the same names.
namespace Init {
constexpr TAlignment Alignment = taLeftJustify;
constexpr TTextLayout Layout = tlTop;
constexpr TSCGCellCaptionType CaptionType = ctCellText;
constexpr TImeMode ImeMode = imDontCare;
constexpr TColor CellColor = clWindow;
constexpr TColor FontColor = clWindowText;
constexpr int FontWidth = 1;
constexpr bool Enabled = false; // every switch named ...Enabled
constexpr bool FocusDraw = true;
constexpr TColor FocusCellColor = clHighlight;
constexpr TColor FocusCellFontColor = clHighlightText;
constexpr bool CellDivide = true;
constexpr bool DefaultDrawing = false; // the grid paints its cells itself
constexpr TGridOptions GridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine,
                                   goRangeSelect};
} // namespace Init

// Cell painting.
constexpr int TextMargin = 2;       // between the cell edge and its text
constexpr int BottomTextMargin = 1; // between the bottom edge and bottom-aligned text
constexpr int GreyDistance = 24;    // below it a colour and its inverse look alike
constexpr char LineBreak = '\r';
constexpr TColor SeparatorColor = clSilver;
constexpr TColor FixedSeparatorColor = clBtnHighlight;
constexpr TColor FixedSeparatorShadowColor = clBtnShadow;
constexpr TColor FrameLightColor = clBtnHighlight;
constexpr TColor FrameShadowColor = clGray;

// Texts in code page 932, converted once.
const AnsiString& DefaultParamName() {
    static const AnsiString Text = "パラメータ"_sj;
    return Text;
}
const AnsiString& DefaultFontName() {
    static const AnsiString Text = "フォント"_sj;
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
const AnsiString& MsgFontNameEmpty() {
    static const AnsiString Text = "フォント名は空にできません"_sj;
    return Text;
}
const AnsiString& MsgFontNameUsed() {
    static const AnsiString Text = "このフォント名はすでに使用されています"_sj;
    return Text;
}
const AnsiString& MsgFontNotRegistered() {
    static const AnsiString Text =
        "CellParams で指定されたフォント名が Fonts に登録されていません"_sj;
    return Text;
}
const AnsiString& MsgCellOutOfGrid() {
    static const AnsiString Text = "ｾﾙ位置がｸﾞﾘｯﾄﾞの範囲を超えました。"_sj;
    return Text;
}

const AnsiString& EmptyString() {
    static const AnsiString Text;
    return Text;
}

// Calls a handler through a copy, so that a handler that replaces itself stays alive.
template <class F, class... A> void Fire(const F& Handler, A&&... Args) {
    if (!Handler)
        return;
    const F Call = Handler;
    Call(std::forward<A>(Args)...);
}

// Whether ComposeText gives the cell's text as it is, so that painting need not copy it.
bool ComposesToCell(TSCGCellCaptionType Type, const AnsiString& Caption, const AnsiString& Cell) {
    switch (Type) {
    case ctCaption:
    case ctHeader:
    case ctFooter:
        return Caption.empty();
    case ctCellText:
        return Caption.empty() || !Cell.empty();
    case ctTop:
    case ctBottom:
        break;
    }
    return false;
}

// No character of the code page is longer than two bytes or narrower than a pixel: a line
// Width pixels wide shows at most this many bytes, with a few to spare for the edge.
std::size_t BytesShown(int Width) {
    constexpr std::size_t Spare = 16;
    return 2 * static_cast<std::size_t>(std::max(Width, 0)) + Spare;
}

// The first character that starts at or after Pos: counted from just after the last byte
// before Pos that can only be a character of its own (one below every trail byte), or else
// from the line's start.
std::size_t CharStartFrom(std::string_view Line, std::size_t Pos) {
    constexpr unsigned char FirstTrailByte = 0x40;
    std::size_t At = Pos;
    while (At > 0 && static_cast<unsigned char>(Line[At - 1]) >= FirstTrailByte)
        --At;
    while (At < Pos)
        At += IsLeadByte(Line[At]) ? 2 : 1;
    return At;
}

// The part of a line that a cell can show: all of a line that fits, else at most MaxBytes
// from its start, end or middle as the alignment places it, without splitting a character.
std::string_view ShownPart(std::string_view Line, TAlignment Alignment, std::size_t MaxBytes) {
    if (Line.size() <= MaxBytes)
        return Line;
    const std::size_t Hidden = Line.size() - MaxBytes;
    const std::size_t First = Alignment == taLeftJustify    ? 0
                              : Alignment == taRightJustify ? CharStartFrom(Line, Hidden)
                                                            : CharStartFrom(Line, Hidden / 2);
    std::size_t End = First;
    while (End < Line.size()) {
        const std::size_t Next = End + (IsLeadByte(Line[End]) ? 2 : 1);
        if (Next - First > MaxBytes)
            break;
        End = Next;
    }
    return Line.substr(First, End - First);
}

// The lines of a cell text as TStrings::SetText splits them, as views; always one at least.
void SplitCellLines(std::string_view Text, std::vector<std::string_view>& Lines) {
    Lines.clear();
    const std::size_t End = std::min(Text.find('\0'), Text.size());
    std::size_t Pos = 0;
    while (Pos < End) {
        std::size_t Break = Pos;
        while (Break < End && Text[Break] != '\r' && Text[Break] != '\n')
            ++Break;
        Lines.push_back(Text.substr(Pos, Break - Pos));
        Pos = Break;
        if (Pos < End && Text[Pos] == '\r')
            ++Pos;
        if (Pos < End && Text[Pos] == '\n')
            ++Pos;
    }
    if (Lines.empty())
        Lines.emplace_back();
}

AnsiString ComposeText(TSCGCellCaptionType Type, const AnsiString& Caption,
                       const AnsiString& Cell) {
    switch (Type) {
    case ctCaption:
        return Caption.empty() ? Cell : Caption;
    case ctCellText:
        return Cell.empty() ? Caption : Cell;
    case ctHeader:
        return Caption + Cell;
    case ctFooter:
        return Cell + Caption;
    case ctTop:
        // A second break keeps the caption on the upper of two lines.
        return Caption + LineBreak + Cell + (Cell.empty() ? AnsiString(1, LineBreak) : "");
    case ctBottom:
        return Cell + LineBreak + Caption;
    }
    return Cell;
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

namespace {

// Parameters are made and dropped by the hundred thousand when a grid grows or goes: they
// come from large blocks with a free list, and the blocks go back when the last item does.
class TParamPool {
public:
    static TParamPool& Instance() {
        // Never destroyed: parameters of grids that outlive static objects still return here.
        static TParamPool* Pool = new TParamPool;
        return *Pool;
    }

    void* Allocate() {
        void* Item = nullptr;
        if (FFree) {
            Item = FFree;
            FFree = FFree->Next;
        } else {
            if (FUsedInLast == ItemsPerBlock) {
                FBlocks.reserve(FBlocks.size() + 1);
                FBlocks.push_back(static_cast<TCell*>(VirtualAlloc(BlockBytes)));
                FUsedInLast = 0;
            }
            Item = &FBlocks.back()[FUsedInLast++];
        }
        ++FLive;
        return Item;
    }

    void Release(void* Item) {
        auto* Cell = static_cast<TFreeCell*>(Item);
        Cell->Next = FFree;
        FFree = Cell;
        if (--FLive == 0) {
            for (TCell* Block : FBlocks)
                VirtualFree(Block, BlockBytes);
            FBlocks.clear();
            FFree = nullptr;
            FUsedInLast = ItemsPerBlock;
        }
    }

private:
    static constexpr std::size_t BlockBytes = std::size_t(2) << 20;
    struct TFreeCell {
        TFreeCell* Next;
    };
    struct TCell {
        alignas(TSCGCellParam) unsigned char Bytes[sizeof(TSCGCellParam)];
    };
    static constexpr std::size_t ItemsPerBlock = BlockBytes / sizeof(TCell);
    std::vector<TCell*> FBlocks;
    TFreeCell* FFree = nullptr;
    std::size_t FUsedInLast = ItemsPerBlock;
    std::size_t FLive = 0;
};

} // namespace

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
    : TCollectionItem(ACollection), FCellColor(Init::CellColor), FFontColor(Init::FontColor),
      FFontWidth(Init::FontWidth), FOptions(ACollection->Grid()->Options()),
      FNameNumber(ACollection->Count()), FAlignment(Init::Alignment), FLayout(Init::Layout),
      FCaptionType(Init::CaptionType), FImeMode(Init::ImeMode), FCellColorEnabled(Init::Enabled),
      FFontColorEnabled(Init::Enabled), FBrushEnabled(Init::Enabled),
      FImeModeEnabled(Init::Enabled), FOptionsEnabled(Init::Enabled), FRangeEnabled(Init::Enabled),
      FNameSet(false), FInLookup(false) {
    if (ACollection->FFileNewItems)
        ACollection->File(this);
}

TSCGCellParam::TSCGCellParam(TSCGCellParams* ACollection, TDetached)
    : TCollectionItem(ACollection, TDetached{}), FCellColor(Init::CellColor),
      FFontColor(Init::FontColor), FFontWidth(Init::FontWidth), FOptions(), FNameNumber(0),
      FAlignment(Init::Alignment), FLayout(Init::Layout), FCaptionType(Init::CaptionType),
      FImeMode(Init::ImeMode), FCellColorEnabled(true), FFontColorEnabled(true),
      FBrushEnabled(Init::Enabled), FImeModeEnabled(Init::Enabled), FOptionsEnabled(Init::Enabled),
      FRangeEnabled(Init::Enabled), FNameSet(false), FInLookup(false) {}

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

// ---- TSCGCellFont

TSCGCellFont::TSCGCellFont(TCollection* ACollection)
    : TCollectionItem(ACollection), FGrid(static_cast<TSCGCellFonts*>(ACollection)->Grid()),
      FFont(std::make_unique<TFont>()) {
    FFont->Assign(FGrid->Font());
    FFont->OnChange = [this](TObject*) { Changed(false); };
    FName = DefaultFontName() + IntToStr(ACollection->Count());
}

TSCGCellFont::~TSCGCellFont() {
    FFont.reset();
    // While the grid is destroyed its parameters may already be gone.
    if (!FGrid->ComponentState().Contains(csDestroying))
        RetargetReferences(FName, EmptyString());
}

bool TSCGCellFont::Loading() const {
    return FGrid->ComponentState().Contains(csLoading);
}

void TSCGCellFont::RetargetReferences(const AnsiString& From, const AnsiString& To) {
    // Compact records name no font.
    FGrid->CellParams()->ForEachWhole([&](TCollectionItem* Item) {
        auto* Param = static_cast<TSCGCellParam*>(Item);
        if (Param->FontName() == From)
            Param->SetFontName(To);
    });
}

AnsiString TSCGCellFont::GetDisplayName() const {
    return FName + "( " + FFont->Name() + ", " + IntToStr(FFont->Size()) + " )";
}

void TSCGCellFont::Assign(const TPersistent* Source) {
    const auto* Other = dynamic_cast<const TSCGCellFont*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    FFont->Assign(Other->FFont.get());
    FName = Other->FName;
}

void TSCGCellFont::SetName(const AnsiString& Value) {
    if (Value.empty())
        throw Exception(MsgFontNameEmpty());
    if (Loading()) {
        FName = Value;
        return;
    }
    const auto* Fonts = static_cast<const TSCGCellFonts*>(Collection());
    if (Fonts && Fonts->Find(Value) >= 0)
        throw Exception(MsgFontNameUsed());
    // The references follow once the new name can be looked up.
    const AnsiString OldName = std::exchange(FName, Value);
    RetargetReferences(OldName, Value);
}

// ---- TSCGCellFonts

TSCGCellFonts::TSCGCellFonts(TStrColGrid* AGrid)
    : TCollection([](TCollection* C) { return new TSCGCellFont(C); }), FGrid(AGrid) {}

TSCGCellFont* TSCGCellFonts::Add() {
    return static_cast<TSCGCellFont*>(TCollection::Add());
}

TSCGCellFont* TSCGCellFonts::Items(int Index) const {
    return static_cast<TSCGCellFont*>(TCollection::Items(Index));
}

TPersistent* TSCGCellFonts::GetOwner() const {
    return FGrid;
}

int TSCGCellFonts::Find(const AnsiString& AName) const {
    for (int I = 0; I < Count(); ++I)
        if (Items(I)->Name() == AName)
            return I;
    return -1;
}

int TSCGCellFonts::IndexOfName(const AnsiString& AName) const {
    const int Index = Find(AName);
    if (Index < 0)
        throw Exception(MsgFontNotRegistered());
    return Index;
}

void TSCGCellFonts::AssignTo(TPersistent* Dest) const {
    if (auto* Fonts = dynamic_cast<TSCGCellFonts*>(Dest))
        Fonts->Assign(this);
    else
        TCollection::AssignTo(Dest);
}

// ---- TStrColGrid

TStrColGrid::TStrColGrid(TComponent* AOwner)
    : TStringGrid(AOwner), FCellParams(std::make_unique<TSCGCellParams>(this)),
      FFonts(std::make_unique<TSCGCellFonts>(this)), FAlignment(Init::Alignment),
      FFixedAlignment(Init::Alignment), FFixedLayout(Init::Layout), FFocusDraw(Init::FocusDraw),
      FFocusCellColor(Init::FocusCellColor), FFocusCellFontColor(Init::FocusCellFontColor),
      FFocusCellFontColorEnabled(Init::Enabled), FCellDivide(Init::CellDivide),
      FLayout(Init::Layout), FOptions(Init::GridOptions) {
    SetDefaultDrawing(Init::DefaultDrawing);
    TCustomGrid::SetOptions(FOptions);
    SetDoubleBuffered(true);
}

TStrColGrid::~TStrColGrid() {
    SetDestroying();
    FCellParams.reset();
    FFonts.reset();
}

void TStrColGrid::Loaded() {
    TStringGrid::Loaded();
    Canvas()->SetFont(Font());
    FLastCol = Col();
    FLastRow = Row();
    SelectCell(Col(), Row());
    Invalidate();
}

void TStrColGrid::SetFocusCellColor(TColor Value) {
    FFocusCellColor = Value;
    Repaint();
}

void TStrColGrid::SetFocusCellFontColor(TColor Value) {
    FFocusCellFontColor = Value;
    Repaint();
}

void TStrColGrid::SetFocusCellFontColorEnabled(bool Value) {
    FFocusCellFontColorEnabled = Value;
    Repaint();
}

void TStrColGrid::SetImeMode(TImeMode Value) {
    TStringGrid::SetImeMode(Value);
    if (Designing())
        return;
    ::SetImeMode(Handle(), Value);
    if (TInplaceEdit* Editor = InplaceEditor())
        ::SetImeMode(Editor->Handle(), Value);
}

void TStrColGrid::SetOptions(TGridOptions Value) {
    FOptions = Value;
    TCustomGrid::SetOptions(Value);
}

bool TStrColGrid::IsFixedPosition(int ACol, int ARow) const {
    return ACol < FixedCols() || ARow < FixedRows();
}

TFont* TStrColGrid::ParamFont(const TSCGCellParam* AParam) const {
    if (AParam && !AParam->FontName().empty())
        return FFonts->Items(FFonts->IndexOfName(AParam->FontName()))->Font();
    return Font();
}

TGridOptions TStrColGrid::CellOptions(const TSCGCellParam* AParam, TGridOptions AOtherwise) const {
    return AParam && AParam->OptionsEnabled() ? AParam->Options() : AOtherwise;
}

TSCGCellParam* TStrColGrid::GetCellParam(int ACol, int ARow, bool ACreate) {
    TSCGCellParam* Param = FCellParams->Find(ACol, ARow);
    if (Param || !ACreate)
        return Param;
    Param = FCellParams->AddUnfiled();
    try {
        Param->SetupForCell(ACol, ARow, Font()->Color(),
                            IsFixedPosition(ACol, ARow) ? FixedColor() : Color());
        FCellParams->File(Param);
    } catch (...) {
        // A cell that cannot be addressed leaves no half-made parameter behind.
        delete Param;
        throw;
    }
    return Param;
}

void TStrColGrid::CheckCellRange(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0 || ACol > ColCount() || ARow > RowCount())
        throw ERangeError(MsgCellOutOfGrid());
}

void TStrColGrid::SetCellAlignment(int ACol, int ARow, int AColMax, int ARowMax,
                                   TAlignment AAlignment) {
    if (ACol > AColMax || ARow > ARowMax)
        return;
    int Done = 0;
    // Cells that no parameter covers yet become records at once, unless some are out of the
    // grid (the message comes from the first such cell) or fixed (they take another colour).
    if (ACol >= FixedCols() && ARow >= FixedRows() && AColMax <= ColCount() &&
        ARowMax <= RowCount()) {
        const TSCGCellStyle Style{AAlignment, Font()->Color(), Color(), FOptions};
        Done = FCellParams->AddRecordRows(ACol, ARow, AColMax, ARowMax, Style);
    }
    const int Width = AColMax - ACol + 1;
    for (std::int64_t K = Done; K < std::int64_t(Width) * (ARowMax - ARow + 1); ++K)
        SetCellAlignment(ACol + int(K % Width), ARow + int(K / Width), AAlignment);
}

void TStrColGrid::SetCellAlignment(int ACol, int ARow, TAlignment AAlignment) {
    CheckCellRange(ACol, ARow);
    const TSCGCellParams::TFound Found = FCellParams->Lookup(ACol, ARow);
    if (Found.Record >= 0 && FCellParams->RecordStyle(Found).Alignment == AAlignment) {
        FCellParams->Changed(); // what setting the alignment it has would report
        return;
    }
    const TSCGCellStyle Style{AAlignment, Font()->Color(),
                              IsFixedPosition(ACol, ARow) ? FixedColor() : Color(), FOptions};
    if (Found.Item || Found.Record >= 0 || !FCellParams->AddRecord(ACol, ARow, Style))
        GetCellParam(ACol, ARow, true)->SetAlignment(AAlignment);
}

void TStrColGrid::Paint() {
    Fire(BeforeDraw, this);
    TStringGrid::Paint();
}

void TStrColGrid::DoEnter() {
    TStringGrid::DoEnter();
    SelectCell(Col(), Row());
}

TInplaceEdit* TStrColGrid::CreateEditor() {
    TInplaceEdit* Editor = TStringGrid::CreateEditor();
    const TSCGCellParam* Param = GetCellParam(Col(), Row(), false);
    Editor->SetFont(ParamFont(Param));
    Editor->SetImeMode(Param ? Param->ImeMode() : ImeMode());
    return Editor;
}

bool TStrColGrid::SelectCell(int ACol, int ARow) {
    const bool Result = TStringGrid::SelectCell(ACol, ARow);
    if (Designing())
        return Result;
    TSCGCellParam* NewParam = GetCellParam(ACol, ARow, false);
    TSCGCellParam* OldParam = GetCellParam(FLastCol, FLastRow, false);
    ApplyEditorSettings(NewParam);
    TCustomGrid::SetOptions(CellOptions(NewParam, FOptions));
    if (ACol == FLastCol && ARow == FLastRow)
        return Result;
    if (!FireSelectionEvents(OldParam, NewParam, ACol, ARow))
        return false;
    FLastCol = ACol;
    FLastRow = ARow;
    return Result;
}

void TStrColGrid::ApplyEditorSettings(const TSCGCellParam* AParam) {
    TInplaceEdit* Editor = InplaceEditor();
    if (!Editor)
        return;
    Editor->SetFont(ParamFont(AParam));
    ::SetImeMode(Editor->Handle(),
                 AParam && AParam->ImeModeEnabled() ? AParam->ImeMode() : ImeMode());
}

bool TStrColGrid::FireSelectionEvents(TSCGCellParam* AOld, TSCGCellParam* ANew, int ACol,
                                      int ARow) {
    const int OldCol = FLastCol;
    const int OldRow = FLastRow;
    const bool ColMoves = ACol != OldCol;
    const bool RowMoves = ARow != OldRow;
    try {
        if (AOld) {
            Fire(AOld->OnExitCell(), AOld, this, OldCol, OldRow, ACol, ARow);
            if (ColMoves)
                Fire(AOld->OnExitCol(), AOld, this, OldCol, ACol);
            if (RowMoves)
                Fire(AOld->OnExitRow(), AOld, this, OldRow, ARow);
        }
        if (ANew) {
            Fire(ANew->OnEnterCell(), ANew, this, OldCol, OldRow, ACol, ARow);
            if (ColMoves)
                Fire(ANew->OnEnterCol(), ANew, this, OldCol, ACol);
            if (RowMoves)
                Fire(ANew->OnEnterRow(), ANew, this, OldRow, ARow);
        }
        Fire(OnCellChanged, this, OldCol, OldRow, ACol, ARow);
        if (ColMoves)
            Fire(OnColChanged, this, OldCol, ACol);
        if (RowMoves)
            Fire(OnRowChanged, this, OldRow, ARow);
    } catch (...) {
        // A handler that raises refuses the move, silently.
        return false;
    }
    return true;
}

// ---- TStrColGrid: cell painting

void TStrColGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (DefaultDrawing()) {
        TStringGrid::DrawCell(ACol, ARow, ARect, AState);
        if (Designing() && AState.Contains(gdFixed))
            DrawFixedFrame(ARect);
        return;
    }
    // Painting sees a compact record through a stand-in and leaves it compact.
    auto* Param = const_cast<TSCGCellParam*>(FCellParams->Peek(ACol, ARow));
    const TGridOptions Options = CellOptions(Param, FOptions);
    DrawCellBackground(ACol, ARow, AState, Param, false);
    const bool FocusFill = ApplyFocusColors(Param, AState);
    SaveCanvas();
    const TCellText Text = ComposeCellText(Param, ACol, ARow, ARect, AState);
    if (FocusFill)
        Canvas()->FillRect(ARect);
    if (FCellDivide)
        DrawDividedText(Text, Param, ACol, ARow, ARect, AState, Options);
    else
        DrawWrappedText(Text.Text(), ARect);
    Fire(OnDrawCell, this, ACol, ARow, ARect, AState);
    if (Param)
        Fire(Param->OnDrawCell(), Param, this, ACol, ARow, ARect, AState);
    if (Focused())
        DrawFocus(Param, ACol, ARow, ARect, AState, Options);
    if (AState.Contains(gdFixed))
        DrawFixedFrame(ARect);
}

void TStrColGrid::DrawCellBackground(int ACol, int ARow, TGridDrawState AState,
                                     TSCGCellParam* AParam, bool AFocusFill) {
    const TRect Box = CellRect(ACol, ARow);
    TCanvas* C = Canvas();
    C->SetFont(ParamFont(AParam));
    if (!AParam && AState.Contains(gdFixed)) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(FixedColor());
        C->FillRect(Box);
    } else {
        if (AFocusFill && !IsFixedPosition(ACol, ARow)) {
            ApplyFocusColors(AParam, AState);
            C->FillRect(Box);
        } else {
            FillCellColor(AParam, AState, Box);
        }
        if (AParam && AParam->BrushEnabled()) {
            C->SetBrush(AParam->Brush());
            C->Pen()->SetWidth(0);
            C->Pen()->SetStyle(psClear);
            C->Rectangle(Box.Left, Box.Top, Box.Right + 1, Box.Bottom + 1);
        }
    }
    // Ready for text over the background, and for lines in the background's colour.
    C->Brush()->SetStyle(bsClear);
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(C->Brush()->Color());
    C->Pen()->SetMode(pmCopy);
}

void TStrColGrid::FillCellColor(const TSCGCellParam* AParam, TGridDrawState AState,
                                const TRect& ABox) {
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsSolid);
    if (!AParam) {
        C->Brush()->SetColor(Color());
        C->FillRect(ABox);
        C->Font()->SetColor(Font()->Color());
        return;
    }
    if (AParam->CellColorEnabled())
        C->Brush()->SetColor(AParam->CellColor());
    else
        C->Brush()->SetColor(AState.Contains(gdFixed) ? FixedColor() : Color());
    C->FillRect(ABox);
    if (AParam->FontColorEnabled())
        C->Font()->SetColor(AParam->FontColor());
}

bool TStrColGrid::ApplyFocusColors(const TSCGCellParam* AParam, TGridDrawState AState) {
    const TGridOptions Options = CellOptions(AParam, TCustomGrid::Options());
    if (!Focused() && !FFocusDraw)
        return false;
    if (!AState.Contains(gdSelected))
        return false;
    if (AState.Contains(gdFocused) && !Options.Contains(goDrawFocusSelected) &&
        !Options.Contains(goRowSelect))
        return false;
    TCanvas* C = Canvas();
    C->Brush()->SetColor(FFocusCellColor);
    if (FFocusCellFontColorEnabled)
        C->Font()->SetColor(FFocusCellFontColor);
    else if (AParam && AParam->FontColorEnabled())
        C->Font()->SetColor(AParam->FontColor());
    return true;
}

TStrColGrid::TCellText TStrColGrid::ComposeCellText(const TSCGCellParam* AParam, int ACol, int ARow,
                                                    const TRect& ARect, TGridDrawState AState) {
    // The cell's text is drawn where it is unless a caption or a handler makes another: a cell
    // may hold megabytes.
    TCellText Result;
    const AnsiString& Cell = Cells(ACol, ARow);
    Result.Cell = Cell;
    if (AParam) {
        Result.Width = AParam->FontWidth();
        Result.Alignment = AParam->Alignment();
        Result.Layout = AParam->Layout();
        const AnsiString& Caption = AParam->Caption();
        if (AParam->OnOutCellText() || !ComposesToCell(AParam->CaptionType(), Caption, Cell)) {
            Result.IsComposed = true;
            Result.Composed = ComposeText(AParam->CaptionType(), Caption, Cell);
            OutCellText(AParam->OnOutCellText(), const_cast<TSCGCellParam*>(AParam), ARect, ACol,
                        ARow, Caption, Result.Composed);
        }
    } else {
        const bool Fixed = AState.Contains(gdFixed);
        Result.Alignment = Fixed ? FFixedAlignment : FAlignment;
        Result.Layout = Fixed ? FFixedLayout : FLayout;
        if (OnOutCellText) {
            Result.IsComposed = true;
            Result.Composed = Cell;
            OutCellText(OnOutCellText, this, ARect, ACol, ARow, Caption(), Result.Composed);
        }
    }
    return Result;
}

void TStrColGrid::OutCellText(const TSCGOutCellTextEvent& AHandler, TObject* ASender,
                              const TRect& ARect, int ACol, int ARow, const AnsiString& ACaption,
                              AnsiString& AText) {
    if (!AHandler)
        return;
    bool DoCanvasReset = true;
    Fire(AHandler, ASender, this, ARect, ACol, ARow, ACaption, AText, DoCanvasReset);
    // Reset undoes what the handler did to the canvas; otherwise its canvas becomes the saved one.
    if (DoCanvasReset)
        RestoreCanvas();
    else
        SaveCanvas();
}

void TStrColGrid::DrawDividedText(const TCellText& AText, const TSCGCellParam* AParam, int ACol,
                                  int ARow, const TRect& ARect, TGridDrawState AState,
                                  TGridOptions AOptions) {
    SplitCellLines(AText.Text(), FLines);
    const int Count = static_cast<int>(FLines.size());
    const int Height = ARect.Height() / Count;
    for (int I = 0; I < Count; ++I) {
        const int Bottom = I == Count - 1 ? ARect.Bottom : ARect.Top + Height * (I + 1);
        const TRect LineRect{ARect.Left, ARect.Top + Height * I, ARect.Right, Bottom};
        DrawTextLine(AText, AParam, ACol, ARow, ARect, LineRect, I, AState, AOptions);
    }
}

void TStrColGrid::DrawTextLine(const TCellText& AText, const TSCGCellParam* AParam, int ACol,
                               int ARow, const TRect& ACellRect, const TRect& ALineRect, int AIndex,
                               TGridDrawState AState, TGridOptions AOptions) {
    // Without a handler that may want the whole line, only what the cell can show is taken.
    const std::string_view Whole = FLines[std::size_t(AIndex)];
    AnsiString Line(LinesHandled(AParam)
                        ? Whole
                        : ShownPart(Whole, AText.Alignment, BytesShown(ACellRect.Width())));
    TAlignment Alignment = AText.Alignment;
    TTextLayout Layout = AText.Layout;
    bool InnerLine = AOptions.Contains(goHorzLine);
    if (OnDrawTextOneLine) {
        RestoreCanvas();
        Fire(OnDrawTextOneLine, this, this, ALineRect, ACol, ARow, AIndex, AState, Line, Alignment,
             Layout, InnerLine);
    }
    if (AParam && AParam->OnDrawTextOneLine()) {
        RestoreCanvas();
        Fire(AParam->OnDrawTextOneLine(), const_cast<TSCGCellParam*>(AParam), this, ALineRect, ACol,
             ARow, AIndex, AState, Line, Alignment, Layout, InnerLine);
    }
    TCanvas* C = Canvas();
    // Left-aligned text needs no width; measuring a long text would stall the paint.
    const int X = LineX(Alignment, ACellRect, Alignment == taLeftJustify ? 0 : C->TextWidth(Line));
    const int Y = LineY(Layout, ALineRect, C->TextHeight(Line));
    const TBrushStyle BrushStyle = C->Brush()->Style();
    C->Brush()->SetStyle(bsClear);
    for (int K = 0; K < AText.Width; ++K) // each pass one pixel further right: a bolder face
        C->TextRect(ALineRect, X + K, Y, Line);
    C->Brush()->SetStyle(BrushStyle);
    if (InnerLine)
        DrawLineSeparators(ALineRect, AIndex, static_cast<int>(FLines.size()), AState);
}

int TStrColGrid::LineX(TAlignment AAlignment, const TRect& ACellRect, int ATextWidth) {
    switch (AAlignment) {
    case taRightJustify:
        return ACellRect.Right - ATextWidth - TextMargin;
    case taCenter:
        return ACellRect.Left + (ACellRect.Width() - ATextWidth) / 2;
    case taLeftJustify:
        break;
    }
    return ACellRect.Left + TextMargin;
}

int TStrColGrid::LineY(TTextLayout ALayout, const TRect& ALineRect, int ATextHeight) {
    switch (ALayout) {
    case tlCenter:
        return ALineRect.Top + (ALineRect.Height() - ATextHeight) / 2 + 1;
    case tlBottom:
        return ALineRect.Bottom - ATextHeight - BottomTextMargin;
    case tlTop:
        break;
    }
    return ALineRect.Top + TextMargin;
}

void TStrColGrid::DrawLineSeparators(const TRect& ALineRect, int AIndex, int ACount,
                                     TGridDrawState AState) {
    TCanvas* C = Canvas();
    const bool Fixed = AState.Contains(gdFixed);
    C->Pen()->SetWidth(1);
    C->Pen()->SetStyle(psSolid);
    if (AIndex > 0) {
        C->Pen()->SetColor(Fixed && Ctl3D() ? FixedSeparatorColor : SeparatorColor);
        C->MoveTo(ALineRect.Left, ALineRect.Top);
        C->LineTo(ALineRect.Right, ALineRect.Top);
    }
    if (AIndex < ACount - 1 && Fixed) {
        C->Pen()->SetColor(FixedSeparatorShadowColor);
        C->MoveTo(ALineRect.Left, ALineRect.Bottom - 1);
        C->LineTo(ALineRect.Right, ALineRect.Bottom - 1);
    }
}

bool TStrColGrid::LinesHandled(const TSCGCellParam* AParam) const {
    return OnDrawTextOneLine || (AParam && AParam->OnDrawTextOneLine());
}

// Wrapped lines start at the text's start, and a cell shows no more characters than it has
// pixels: the text beyond is left out before it is copied.
void TStrColGrid::DrawWrappedText(std::string_view AText, const TRect& ARect) {
    TRect Box{ARect.Left + TextMargin, ARect.Top + TextMargin, ARect.Right - TextMargin,
              ARect.Bottom - TextMargin};
    const std::size_t MaxBytes = BytesShown(Box.Width() * std::max(Box.Height(), 1));
    Canvas()->DrawText(AnsiString(ShownPart(AText, taLeftJustify, MaxBytes)), Box, DT_WORDBREAK);
}

void TStrColGrid::DrawFocus(const TSCGCellParam* AParam, int ACol, int ARow, const TRect& ARect,
                            TGridDrawState AState, TGridOptions AOptions) {
    if (!AOptions.Contains(goRowSelect)) {
        if (AState.Contains(gdFocused))
            DrawFocusFrame(ACol, ARow, ARect, true, true);
        return;
    }
    if (ARow != Row())
        return;
    int First = FixedCols();
    int Last = ColCount() - 1;
    if (AParam && AParam->OptionsEnabled()) {
        First = AParam->Col();
        Last = AParam->ColMax();
    }
    DrawFocusFrame(ACol, ARow, ARect, ACol == First, ACol != First && ACol == Last);
}

void TStrColGrid::DrawFocusFrame(int ACol, int ARow, const TRect& ARect, bool ALeftEdge,
                                 bool ARightEdge) {
    if (IsFixedPosition(ACol, ARow))
        return;
    Canvas()->Pen()->SetStyle(psSolid);
    Canvas()->Brush()->SetStyle(bsSolid);
    const int Right = ARect.Right - 1;
    const int Bottom = ARect.Bottom - 1;
    for (int K = 0; K <= (Right - ARect.Left) / 2; ++K) {
        InvertPixel(ARect.Left + 2 * K, ARect.Top);
        InvertPixel(ARect.Left + 2 * K, Bottom);
    }
    for (int J = 1; J <= (Bottom - ARect.Top - 1) / 2; ++J) {
        if (ALeftEdge)
            InvertPixel(ARect.Left, ARect.Top + 2 * J);
        if (ARightEdge)
            InvertPixel(Right, ARect.Top + 2 * J);
    }
}

void TStrColGrid::InvertPixel(int X, int Y) {
    const TColor Old = Canvas()->Pixel(X, Y);
    if (Old == clNone)
        return;
    const std::uint32_t OldRGB = std::uint32_t(Old) & 0xFFFFFF;
    std::uint32_t NewRGB = ~OldRGB & 0xFFFFFF;
    const int Distance = std::abs(GetRValue(OldRGB) - GetRValue(NewRGB)) +
                         std::abs(GetGValue(OldRGB) - GetGValue(NewRGB)) +
                         std::abs(GetBValue(OldRGB) - GetBValue(NewRGB));
    // A middle grey would stay grey: take white or black instead.
    if (Distance < GreyDistance)
        NewRGB =
            OldRGB <= std::uint32_t(clSilver) ? std::uint32_t(clWhite) : std::uint32_t(clBlack);
    Canvas()->SetPixel(X, Y, TColor(NewRGB));
}

void TStrColGrid::DrawFixedFrame(const TRect& ARect) {
    if (!Ctl3D())
        return;
    TCanvas* C = Canvas();
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetMode(pmCopy);
    C->Pen()->SetColor(FrameLightColor);
    C->MoveTo(ARect.Right - 1, ARect.Top);
    C->LineTo(ARect.Left, ARect.Top);
    C->LineTo(ARect.Left, ARect.Bottom - 1);
    C->Pen()->SetColor(FrameShadowColor);
    C->LineTo(ARect.Right - 1, ARect.Bottom - 1);
    C->LineTo(ARect.Right - 1, ARect.Top);
}

void TStrColGrid::SaveCanvas() {
    FSavedBrush.Assign(Canvas()->Brush());
    FSavedPen.Assign(Canvas()->Pen());
    FSavedFont.Assign(Canvas()->Font());
}

void TStrColGrid::RestoreCanvas() {
    Canvas()->SetBrush(&FSavedBrush);
    Canvas()->SetPen(&FSavedPen);
    Canvas()->SetFont(&FSavedFont);
}

// ---- Form file registration

namespace {

const bool Registered = [] {
    TPublish<TSCGCellParam>("TSCGCellParam", "TCollectionItem")
        .Enum("Alignment", &TSCGCellParam::Alignment, &TSCGCellParam::SetAlignment,
              AlignmentNames(), std::optional(Init::Alignment))
        .Str("Caption", &TSCGCellParam::Caption, &TSCGCellParam::SetCaption)
        .StoredIf([](const TSCGCellParam* P) { return !P->Caption().empty(); })
        .Enum("CaptionType", &TSCGCellParam::CaptionType, &TSCGCellParam::SetCaptionType,
              SCGCellCaptionTypeNames(), std::optional(Init::CaptionType))
        .Int("CellColor", &TSCGCellParam::CellColor, &TSCGCellParam::SetCellColor, std::nullopt,
             &ColorIdents())
        .Bool("CellColorEnabled", &TSCGCellParam::CellColorEnabled,
              &TSCGCellParam::SetCellColorEnabled, Init::Enabled)
        .Int("Col", &TSCGCellParam::Col, &TSCGCellParam::SetCol)
        .Int("ColMax", &TSCGCellParam::ColMax, &TSCGCellParam::SetColMax)
        .Object("Brush", TTypeKind::Class, &TSCGCellParam::Brush)
        .Bool("BrushEnabled", &TSCGCellParam::BrushEnabled, &TSCGCellParam::SetBrushEnabled,
              Init::Enabled)
        .Str("FontName", &TSCGCellParam::FontName, &TSCGCellParam::SetFontName)
        .StoredIf([](const TSCGCellParam* P) { return !P->FontName().empty(); })
        .Int("FontColor", &TSCGCellParam::FontColor, &TSCGCellParam::SetFontColor, std::nullopt,
             &ColorIdents())
        .Bool("FontColorEnabled", &TSCGCellParam::FontColorEnabled,
              &TSCGCellParam::SetFontColorEnabled, Init::Enabled)
        .Int("FontWidth", &TSCGCellParam::FontWidth, &TSCGCellParam::SetFontWidth)
        .Enum("ImeMode", &TSCGCellParam::ImeMode, &TSCGCellParam::SetImeMode, ImeModeNames(),
              std::optional(Init::ImeMode))
        .Bool("ImeModeEnabled", &TSCGCellParam::ImeModeEnabled, &TSCGCellParam::SetImeModeEnabled)
        .Enum("Layout", &TSCGCellParam::Layout, &TSCGCellParam::SetLayout, TextLayoutNames(),
              std::optional(Init::Layout))
        .Str("Name", &TSCGCellParam::Name, &TSCGCellParam::SetName)
        .StoredIf([](const TSCGCellParam* P) { return !P->Name().empty(); })
        .Set("Options", &TSCGCellParam::Options, &TSCGCellParam::SetOptions, GridOptionNames())
        .Bool("OptionsEnabled", &TSCGCellParam::OptionsEnabled, &TSCGCellParam::SetOptionsEnabled,
              Init::Enabled)
        .Bool("RangeEnabled", &TSCGCellParam::RangeEnabled, &TSCGCellParam::SetRangeEnabled,
              Init::Enabled)
        .Int("Row", &TSCGCellParam::Row, &TSCGCellParam::SetRow)
        .Int("RowMax", &TSCGCellParam::RowMax, &TSCGCellParam::SetRowMax)
        .Int("Tag", &TSCGCellParam::Tag, &TSCGCellParam::SetTag)
        .Event("OnEnterCell", &TSCGCellParam::SetOnEnterCell)
        .Event("OnExitCell", &TSCGCellParam::SetOnExitCell)
        .Event("OnEnterCol", &TSCGCellParam::SetOnEnterCol)
        .Event("OnExitCol", &TSCGCellParam::SetOnExitCol)
        .Event("OnEnterRow", &TSCGCellParam::SetOnEnterRow)
        .Event("OnExitRow", &TSCGCellParam::SetOnExitRow)
        .Event("OnOutCellText", &TSCGCellParam::SetOnOutCellText)
        .Event("OnDrawTextOneLine", &TSCGCellParam::SetOnDrawTextOneLine)
        .Event("OnDrawCell", &TSCGCellParam::SetOnDrawCell);
    TPublish<TSCGCellParams>("TSCGCellParams", "TCollection");
    TPublish<TSCGCellFont>("TSCGCellFont", "TCollectionItem")
        .Object("Font", TTypeKind::Class, &TSCGCellFont::Font)
        .Str("Name", &TSCGCellFont::Name, &TSCGCellFont::SetName)
        .StoredIf([](const TSCGCellFont* F) { return !F->Name().empty(); });
    TPublish<TSCGCellFonts>("TSCGCellFonts", "TCollection");
    TPublish<TStrColGrid>("TStrColGrid", "TStringGrid")
        .Creatable()
        .Object("CellParams", TTypeKind::Collection, &TStrColGrid::CellParams)
        .Object("Fonts", TTypeKind::Collection, &TStrColGrid::Fonts)
        .Enum("Alignment", &TStrColGrid::Alignment, &TStrColGrid::SetAlignment, AlignmentNames(),
              std::optional(Init::Alignment))
        .Enum("FixedAlignment", &TStrColGrid::FixedAlignment, &TStrColGrid::SetFixedAlignment,
              AlignmentNames(), std::optional(Init::Alignment))
        .Enum("FixedLayout", &TStrColGrid::FixedLayout, &TStrColGrid::SetFixedLayout,
              TextLayoutNames(), std::optional(Init::Layout))
        .Bool("FocusDraw", &TStrColGrid::FocusDraw, &TStrColGrid::SetFocusDraw, Init::FocusDraw)
        .Int("FocusCellColor", &TStrColGrid::FocusCellColor, &TStrColGrid::SetFocusCellColor,
             Init::FocusCellColor, &ColorIdents())
        .Int("FocusCellFontColor", &TStrColGrid::FocusCellFontColor,
             &TStrColGrid::SetFocusCellFontColor, Init::FocusCellFontColor, &ColorIdents())
        .Bool("FocusCellFontColorEnabled", &TStrColGrid::FocusCellFontColorEnabled,
              &TStrColGrid::SetFocusCellFontColorEnabled, Init::Enabled)
        .Enum<TImeMode, TImeMode>("ImeMode", &TStrColGrid::ImeMode, &TStrColGrid::SetImeMode,
                                  ImeModeNames(), Init::ImeMode)
        .Bool("CellDivide", &TStrColGrid::CellDivide, &TStrColGrid::SetCellDivide, Init::CellDivide)
        .Enum("Layout", &TStrColGrid::Layout, &TStrColGrid::SetLayout, TextLayoutNames())
        .Set("Options", &TStrColGrid::Options, &TStrColGrid::SetOptions, GridOptionNames())
        .Event("OnCellChanged", &TStrColGrid::OnCellChanged)
        .Event("OnColChanged", &TStrColGrid::OnColChanged)
        .Event("OnRowChanged", &TStrColGrid::OnRowChanged)
        .Event("OnOutCellText", &TStrColGrid::OnOutCellText)
        .Event("OnDrawTextOneLine", &TStrColGrid::OnDrawTextOneLine)
        .Event("BeforeDraw", &TStrColGrid::BeforeDraw);
    return true;
}();

} // namespace
