// The cell parameters of the column string grid: settings for a cell or a rectangle of cells,
// and the collection of them with its lookup from a cell to the parameter that governs it.
#pragma once

#include "Grids.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class TStrColGrid;
class TSCGCellParam;

enum TSCGCellCaptionType { ctCaption, ctCellText, ctHeader, ctFooter, ctTop, ctBottom };
const std::vector<const char*>& SCGCellCaptionTypeNames();

using TSCGParamsCellChangedEvent = std::function<void(
    TObject* Sender, TStrColGrid* AGrid, int AOldCol, int AOldRow, int ANewCol, int ANewRow)>;
using TSCGParamsColChangedEvent =
    std::function<void(TObject* Sender, TStrColGrid* AGrid, int AOldCol, int ANewCol)>;
using TSCGParamsRowChangedEvent =
    std::function<void(TObject* Sender, TStrColGrid* AGrid, int AOldRow, int ANewRow)>;
using TSCGOutCellTextEvent =
    std::function<void(TObject* Sender, TStrColGrid* AGrid, const TRect& ARect, int ACol, int ARow,
                       const AnsiString& ACaption, AnsiString& AValue, bool& ADoCanvasReset)>;
using TSCGDrawTextOneLineEvent =
    std::function<void(TObject* Sender, TStrColGrid* AGrid, const TRect& ARect, int ACol, int ARow,
                       int AIndex, TGridDrawState AState, AnsiString& AText, TAlignment& AAlignment,
                       TTextLayout& ALayout, bool& AInnerHorzLine)>;
using TSCGDrawCellEvent = std::function<void(TObject* Sender, TStrColGrid* AGrid, int Col, int Row,
                                             const TRect& Rect, TGridDrawState State)>;

class TSCGCellParams;

// Display and behaviour settings for one cell or, with RangeEnabled, a rectangle of cells.
// Grids create one per aligned cell, so the item is kept small: the brush, the events and the
// rarely used strings live in an extra block allocated on first use, the default name is
// computed from its number, and items come from a pool rather than one allocation each.
class TSCGCellParam : public TCollectionItem {
public:
    explicit TSCGCellParam(TSCGCellParams* ACollection);
    ~TSCGCellParam() override;
    static void* operator new(std::size_t Size);
    static void operator delete(void* Item, std::size_t Size);
    const char* ClassName() const override { return "TSCGCellParam"; }

    static constexpr TAlignment DefaultAlignment = taLeftJustify;
    static constexpr TSCGCellCaptionType DefaultCaptionType = ctCellText;
    static constexpr bool DefaultCellColorEnabled = false;
    static constexpr bool DefaultBrushEnabled = false;
    static constexpr bool DefaultFontColorEnabled = false;
    static constexpr TImeMode DefaultImeMode = imDontCare;
    static constexpr TTextLayout DefaultLayout = tlTop;
    static constexpr bool DefaultOptionsEnabled = false;
    static constexpr bool DefaultRangeEnabled = false;
    static constexpr TColor InitCellColor = clWindow;
    static constexpr TColor InitFontColor = clWindowText;
    static constexpr int InitFontWidth = 1;
    static constexpr bool InitImeModeEnabled = false;
    void Assign(const TPersistent* Source) override;
    AnsiString GetDisplayName() const override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    const AnsiString& Caption() const;
    void SetCaption(const AnsiString& Value);
    TSCGCellCaptionType CaptionType() const { return FCaptionType; }
    void SetCaptionType(TSCGCellCaptionType Value);
    TColor CellColor() const { return FCellColor; }
    void SetCellColor(TColor Value);
    bool CellColorEnabled() const { return FCellColorEnabled; }
    void SetCellColorEnabled(bool Value);
    int Col() const { return FCol; }
    void SetCol(int Value);
    int ColMax() const { return FColMax; }
    void SetColMax(int Value);
    // Created on first access; until then the item behaves as if it had a default brush.
    TBrush* Brush() const;
    void SetBrush(const TBrush* Value);
    bool BrushEnabled() const { return FBrushEnabled; }
    void SetBrushEnabled(bool Value);
    const AnsiString& FontName() const;
    void SetFontName(const AnsiString& Value);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value);
    bool FontColorEnabled() const { return FFontColorEnabled; }
    void SetFontColorEnabled(bool Value);
    int FontWidth() const { return FFontWidth; }
    void SetFontWidth(int Value);
    TImeMode ImeMode() const { return FImeMode; }
    void SetImeMode(TImeMode Value) { FImeMode = Value; }
    bool ImeModeEnabled() const { return FImeModeEnabled; }
    void SetImeModeEnabled(bool Value) { FImeModeEnabled = Value; }
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    AnsiString Name() const;
    void SetName(const AnsiString& Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    bool OptionsEnabled() const { return FOptionsEnabled; }
    void SetOptionsEnabled(bool Value);
    bool RangeEnabled() const { return FRangeEnabled; }
    void SetRangeEnabled(bool Value);
    int Row() const { return FRow; }
    void SetRow(int Value);
    int RowMax() const { return FRowMax; }
    void SetRowMax(int Value);
    int Tag() const;
    void SetTag(int Value);

    const TSCGParamsCellChangedEvent& OnEnterCell() const;
    void SetOnEnterCell(const TSCGParamsCellChangedEvent& Value);
    const TSCGParamsCellChangedEvent& OnExitCell() const;
    void SetOnExitCell(const TSCGParamsCellChangedEvent& Value);
    const TSCGParamsColChangedEvent& OnEnterCol() const;
    void SetOnEnterCol(const TSCGParamsColChangedEvent& Value);
    const TSCGParamsColChangedEvent& OnExitCol() const;
    void SetOnExitCol(const TSCGParamsColChangedEvent& Value);
    const TSCGParamsRowChangedEvent& OnEnterRow() const;
    void SetOnEnterRow(const TSCGParamsRowChangedEvent& Value);
    const TSCGParamsRowChangedEvent& OnExitRow() const;
    void SetOnExitRow(const TSCGParamsRowChangedEvent& Value);
    const TSCGOutCellTextEvent& OnOutCellText() const;
    void SetOnOutCellText(const TSCGOutCellTextEvent& Value);
    const TSCGDrawTextOneLineEvent& OnDrawTextOneLine() const;
    void SetOnDrawTextOneLine(const TSCGDrawTextOneLineEvent& Value);
    const TSCGDrawCellEvent& OnDrawCell() const;
    void SetOnDrawCell(const TSCGDrawCellEvent& Value);

    TSCGCellParams* Params() const;
    TStrColGrid* Grid() const;
    // Whether the item covers the cell (a range with inclusive bounds, or its single cell).
    bool Covers(int ACol, int ARow) const;

private:
    friend class TSCGCellParams;
    friend class TStrColGrid;
    struct TExtra;
    class TLookupGuard;
    // A stand-in that shows a compact record to painting, outside the collection's items.
    TSCGCellParam(TSCGCellParams* ACollection, TDetached);
    TExtra& Extra() const;
    bool Loading() const;
    void SetupForCell(int ACol, int ARow, TColor AFontColor, TColor ACellColor);
    void CheckNotNegative(int Value, const AnsiString& Message) const;
    void Notify() { Changed(false); }

    mutable std::unique_ptr<TExtra> FExtra;
    TSCGCellParam* FNextInRow = nullptr; // the collection's cell lookup chains a row's items
    int FCol = 0;
    int FRow = 0;
    int FColMax = 0;
    int FRowMax = 0;
    TColor FCellColor;
    TColor FFontColor;
    int FFontWidth;
    TGridOptions FOptions;
    int FNameNumber; // the default name is built from it until Name is set
    TAlignment FAlignment : 2;
    TTextLayout FLayout : 2;
    TSCGCellCaptionType FCaptionType : 3;
    TImeMode FImeMode : 4;
    bool FCellColorEnabled : 1;
    bool FFontColorEnabled : 1;
    bool FBrushEnabled : 1;
    bool FImeModeEnabled : 1;
    bool FOptionsEnabled : 1;
    bool FRangeEnabled : 1;
    bool FNameSet : 1;
    bool FInLookup : 1; // filed in the collection's cell lookup
};

// What a parameter made for one cell by SetCellAlignment holds beyond its cell and name.
struct TSCGCellStyle {
    TAlignment Alignment;
    TColor FontColor;
    TColor CellColor;
    TGridOptions Options;
    bool operator==(const TSCGCellStyle&) const = default;
};

// The cell parameters of one grid, with a lookup from a cell to the parameter that governs it.
// Parameters made by SetCellAlignment are kept as compact records, in runs that follow the
// order in which a grid's cells are aligned, until an item is asked for by its position or
// changed in another way; they count, keep their positions and are found as whole items are.
class TSCGCellParams : public TCollection {
public:
    explicit TSCGCellParams(TStrColGrid* AGrid);
    ~TSCGCellParams() override;
    const char* ClassName() const override { return "TSCGCellParams"; }

    TSCGCellParam* Add();
    TSCGCellParam* Items(int Index) const;
    TStrColGrid* Grid() const { return FGrid; }
    TPersistent* GetOwner() const override;
    // The item at the highest position that covers the cell, or none.
    TSCGCellParam* Find(int ACol, int ARow) const;

protected:
    void AssignTo(TPersistent* Dest) const override;
    void Update(TCollectionItem* Item) override;
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
    TCollectionItem* MakeWhole(std::uint32_t Key, int Record) override;
    void DropRecords(std::uint32_t Key, int First, int Count) override;

private:
    friend class TSCGCellParam;
    friend class TSCGCellFont;
    friend class TStrColGrid;
    class TCellLookup;
    struct TRun;
    // The governing parameter of a cell: a whole item, or a record of a run.
    struct TFound {
        TSCGCellParam* Item = nullptr;
        std::uint32_t Key = 0;
        int Record = -1;
    };
    TFound Lookup(int ACol, int ARow) const;
    // As Find, but a record is shown through a stand-in rather than made whole.
    const TSCGCellParam* Peek(int ACol, int ARow) const;
    // A parameter for a cell that none covers, as a record when a run can take it.
    bool AddRecord(int ACol, int ARow, const TSCGCellStyle& AStyle);
    // The record that a run takes for the cell and name (a new run if none can), or -1.
    int TakeRecord(int ACol, int ARow, int AName, const TSCGCellStyle& AStyle);
    // Whether any item or run may cover a cell of the rectangle.
    bool Touches(int ACol, int ARow, int AColMax, int ARowMax) const;
    // Records for the cells of a rectangle, row by row, when nothing covers any of them;
    // gives the number of cells done, from the first.
    int AddRecordRows(int ACol, int ARow, int AColMax, int ARowMax, const TSCGCellStyle& AStyle);
    const TSCGCellStyle& RecordStyle(const TFound& AFound) const;
    TSCGCellParam* MakeWholeFound(const TFound& AFound);
    // An item that files itself only when File is called, once its cell is set.
    TSCGCellParam* AddUnfiled();
    void File(TSCGCellParam* Item);
    void Unfile(TSCGCellParam* Item);
    TStrColGrid* FGrid;
    std::unique_ptr<TCellLookup> FLookup;
    std::map<std::uint32_t, std::unique_ptr<TRun>> FRuns;
    std::uint32_t FNextKey = 0;
    std::uint32_t FLastKey = 0; // the run that took the last record
    mutable std::unique_ptr<TSCGCellParam> FStandIn;
    bool FFileNewItems = true;
};
