// The column string grid: a string grid with per-cell parameters, named fonts, its own cell
// painting, per-cell options and input method modes, and cell, column and row change events.
#pragma once

#include "SCGParams.h"

#include <memory>
#include <vector>

using TSCGCellChangedEvent =
    std::function<void(TObject* Sender, int AOldCol, int AOldRow, int ANewCol, int ANewRow)>;
using TSCGColChangedEvent = std::function<void(TObject* Sender, int AOldCol, int ANewCol)>;
using TSCGRowChangedEvent = std::function<void(TObject* Sender, int AOldRow, int ANewRow)>;

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

    static constexpr TAlignment DefaultAlignment = taLeftJustify;
    static constexpr TAlignment DefaultFixedAlignment = taLeftJustify;
    static constexpr TTextLayout DefaultFixedLayout = tlTop;
    static constexpr bool DefaultFocusDraw = true;
    static constexpr TColor DefaultFocusCellColor = clHighlight;
    static constexpr TColor DefaultFocusCellFontColor = clHighlightText;
    static constexpr bool DefaultFocusCellFontColorEnabled = false;
    static constexpr TImeMode DefaultImeMode = imDontCare;
    static constexpr bool DefaultCellDivide = true;
    static constexpr TTextLayout InitLayout = tlTop;
    static constexpr TGridOptions InitOptions{goFixedVertLine, goFixedHorzLine, goVertLine,
                                              goHorzLine, goRangeSelect};
    // The grid paints its cells itself.
    static constexpr bool InitDefaultDrawing = false;
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

// The unit's classes and published properties, for the form files; RegisterControlClasses
// calls it once.
void RegisterStrCGrid();
