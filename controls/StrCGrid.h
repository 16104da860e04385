// The column string grid: a string grid with per-cell parameters, named fonts, its own cell
// painting, per-cell options and input method modes, and cell, column and row change events.
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

using TSCGCellChangedEvent =
    std::function<void(TObject* Sender, int AOldCol, int AOldRow, int ANewCol, int ANewRow)>;
using TSCGColChangedEvent = std::function<void(TObject* Sender, int AOldCol, int ANewCol)>;
using TSCGRowChangedEvent = std::function<void(TObject* Sender, int AOldRow, int ANewRow)>;

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

// A named font that cell parameters refer to through their FontName.
class TSCGCellFont : public TCollectionItem {
public:
    explicit TSCGCellFont(TCollection* ACollection);
    ~TSCGCellFont() override;
    const char* ClassName() const override { return "TSCGCellFont"; }
    void Assign(const TPersistent* Source) override;
    AnsiString GetDisplayName() const override;

    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value);

    TStrColGrid* Grid() const { return FGrid; }

private:
    bool Loading() const;
    // Points the parameters that use font From to font To (empty: the grid's font).
    void RetargetReferences(const AnsiString& From, const AnsiString& To);
    TStrColGrid* FGrid;
    std::unique_ptr<TFont> FFont;
    AnsiString FName;
};

class TSCGCellFonts : public TCollection {
public:
    explicit TSCGCellFonts(TStrColGrid* AGrid);
    const char* ClassName() const override { return "TSCGCellFonts"; }

    TSCGCellFont* Add();
    TSCGCellFont* Items(int Index) const;
    TStrColGrid* Grid() const { return FGrid; }
    TPersistent* GetOwner() const override;
    // Position of the first font with exactly this name; raises when there is none.
    int IndexOfName(const AnsiString& AName) const;
    // As IndexOfName, but -1 when there is none.
    int Find(const AnsiString& AName) const;

protected:
    void AssignTo(TPersistent* Dest) const override;

private:
    TStrColGrid* FGrid;
};

class TStrColGrid : public TStringGrid {
public:
    explicit TStrColGrid(TComponent* AOwner);
    ~TStrColGrid() override;
    const char* ClassName() const override { return "TStrColGrid"; }
    void Loaded() override;

    TSCGCellParams* CellParams() const { return FCellParams.get(); }
    TSCGCellFonts* Fonts() const { return FFonts.get(); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; }
    TAlignment FixedAlignment() const { return FFixedAlignment; }
    void SetFixedAlignment(TAlignment Value) { FFixedAlignment = Value; }
    TTextLayout FixedLayout() const { return FFixedLayout; }
    void SetFixedLayout(TTextLayout Value) { FFixedLayout = Value; }
    bool FocusDraw() const { return FFocusDraw; }
    void SetFocusDraw(bool Value) { FFocusDraw = Value; }
    TColor FocusCellColor() const { return FFocusCellColor; }
    void SetFocusCellColor(TColor Value);
    TColor FocusCellFontColor() const { return FFocusCellFontColor; }
    void SetFocusCellFontColor(TColor Value);
    bool FocusCellFontColorEnabled() const { return FFocusCellFontColorEnabled; }
    void SetFocusCellFontColorEnabled(bool Value);
    void SetImeMode(TImeMode Value) override;
    bool CellDivide() const { return FCellDivide; }
    void SetCellDivide(bool Value) { FCellDivide = Value; }
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value) { FLayout = Value; }
    // The grid's own options; the options in force are TCustomGrid::Options().
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);

    TSCGCellChangedEvent OnCellChanged;
    TSCGColChangedEvent OnColChanged;
    TSCGRowChangedEvent OnRowChanged;
    TSCGOutCellTextEvent OnOutCellText;
    TSCGDrawTextOneLineEvent OnDrawTextOneLine;
    TNotifyEvent BeforeDraw;

    TSCGCellParam* GetCellParam(int ACol, int ARow, bool ACreate);
    void CheckCellRange(int ACol, int ARow) const;
    void SetCellAlignment(int ACol, int ARow, TAlignment AAlignment);
    // The cells of a rectangle, row by row, as SetCellAlignment one cell at a time.
    void SetCellAlignment(int ACol, int ARow, int AColMax, int ARowMax, TAlignment AAlignment);

protected:
    void Paint() override;
    TInplaceEdit* CreateEditor() override;
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    void DoEnter() override;

    virtual void DrawCellBackground(int ACol, int ARow, TGridDrawState AState,
                                    TSCGCellParam* AParam, bool AFocusFill);
    bool ApplyFocusColors(const TSCGCellParam* AParam, TGridDrawState AState);
    void DrawFocusFrame(int ACol, int ARow, const TRect& ARect, bool ALeftEdge, bool ARightEdge);
    void InvertPixel(int X, int Y);
    void DrawFixedFrame(const TRect& ARect);
    void SaveCanvas();
    void RestoreCanvas();

private:
    // What DrawCell draws in a cell: the cell's own text, or one composed from it and a caption
    // or by a handler, and how its lines are placed.
    struct TCellText {
        std::string_view Cell;
        AnsiString Composed;
        bool IsComposed = false;
        std::string_view Text() const { return IsComposed ? std::string_view(Composed) : Cell; }
        int Width = 1;
        TAlignment Alignment = taLeftJustify;
        TTextLayout Layout = tlTop;
    };

    bool Designing() const { return ComponentState().Contains(csDesigning); }
    bool IsFixedPosition(int ACol, int ARow) const;
    // The font of the parameter's FontName, or the grid's font.
    TFont* ParamFont(const TSCGCellParam* AParam) const;
    TGridOptions CellOptions(const TSCGCellParam* AParam, TGridOptions AOtherwise) const;
    void ApplyEditorSettings(const TSCGCellParam* AParam);
    bool FireSelectionEvents(TSCGCellParam* AOld, TSCGCellParam* ANew, int ACol, int ARow);

    void FillCellColor(const TSCGCellParam* AParam, TGridDrawState AState, const TRect& ABox);
    TCellText ComposeCellText(const TSCGCellParam* AParam, int ACol, int ARow, const TRect& ARect,
                              TGridDrawState AState);
    void OutCellText(const TSCGOutCellTextEvent& AHandler, TObject* ASender, const TRect& ARect,
                     int ACol, int ARow, const AnsiString& ACaption, AnsiString& AText);
    void DrawDividedText(const TCellText& AText, const TSCGCellParam* AParam, int ACol, int ARow,
                         const TRect& ARect, TGridDrawState AState, TGridOptions AOptions);
    void DrawTextLine(const TCellText& AText, const TSCGCellParam* AParam, int ACol, int ARow,
                      const TRect& ACellRect, const TRect& ALineRect, int AIndex,
                      TGridDrawState AState, TGridOptions AOptions);
    static int LineX(TAlignment AAlignment, const TRect& ACellRect, int ATextWidth);
    static int LineY(TTextLayout ALayout, const TRect& ALineRect, int ATextHeight);
    void DrawLineSeparators(const TRect& ALineRect, int AIndex, int ACount, TGridDrawState AState);
    void DrawWrappedText(std::string_view AText, const TRect& ARect);
    // Whether a handler may read or change a line before it is drawn.
    bool LinesHandled(const TSCGCellParam* AParam) const;
    void DrawFocus(const TSCGCellParam* AParam, int ACol, int ARow, const TRect& ARect,
                   TGridDrawState AState, TGridOptions AOptions);

    std::unique_ptr<TSCGCellParams> FCellParams;
    std::unique_ptr<TSCGCellFonts> FFonts;
    TAlignment FAlignment;
    TAlignment FFixedAlignment;
    TTextLayout FFixedLayout;
    bool FFocusDraw;
    TColor FFocusCellColor;
    TColor FFocusCellFontColor;
    bool FFocusCellFontColorEnabled;
    bool FCellDivide;
    TTextLayout FLayout;
    TGridOptions FOptions;
    int FLastCol = 0;
    int FLastRow = 0;
    // Cell painting: the canvas state saved around event handlers, and the cell's text lines.
    TBrush FSavedBrush;
    TPen FSavedPen;
    TFont FSavedFont;
    std::vector<std::string_view> FLines;
};
