#include "StrCGrid.h"

#include "SCGInit.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

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
const AnsiString& DefaultFontName() {
    static const AnsiString Text = "フォント"_sj;
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
    ForEachLine(Text.substr(0, Text.find('\0')),
                [&](std::string_view Line) { Lines.push_back(Line); });
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
      FFonts(std::make_unique<TSCGCellFonts>(this)), FAlignment(DefaultAlignment),
      FFixedAlignment(DefaultFixedAlignment), FFixedLayout(DefaultFixedLayout),
      FFocusDraw(DefaultFocusDraw), FFocusCellColor(DefaultFocusCellColor),
      FFocusCellFontColor(DefaultFocusCellFontColor),
      FFocusCellFontColorEnabled(DefaultFocusCellFontColorEnabled), FCellDivide(DefaultCellDivide),
      FLayout(InitLayout), FOptions(InitOptions) {
    SetDefaultDrawing(InitDefaultDrawing);
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

void RegisterStrCGrid() {
    TPublish<TSCGCellParam>("TSCGCellParam", "TCollectionItem")
        .Enum("Alignment", &TSCGCellParam::Alignment, &TSCGCellParam::SetAlignment,
              AlignmentNames(), std::optional(TSCGCellParam::DefaultAlignment))
        .Str("Caption", &TSCGCellParam::Caption, &TSCGCellParam::SetCaption)
        .StoredIf([](const TSCGCellParam* P) { return !P->Caption().empty(); })
        .Enum("CaptionType", &TSCGCellParam::CaptionType, &TSCGCellParam::SetCaptionType,
              SCGCellCaptionTypeNames(), std::optional(TSCGCellParam::DefaultCaptionType))
        .Int("CellColor", &TSCGCellParam::CellColor, &TSCGCellParam::SetCellColor, std::nullopt,
             &ColorIdents())
        .Bool("CellColorEnabled", &TSCGCellParam::CellColorEnabled,
              &TSCGCellParam::SetCellColorEnabled, TSCGCellParam::DefaultCellColorEnabled)
        .Int("Col", &TSCGCellParam::Col, &TSCGCellParam::SetCol)
        .Int("ColMax", &TSCGCellParam::ColMax, &TSCGCellParam::SetColMax)
        .Object("Brush", TTypeKind::Class, &TSCGCellParam::Brush)
        .Bool("BrushEnabled", &TSCGCellParam::BrushEnabled, &TSCGCellParam::SetBrushEnabled,
              TSCGCellParam::DefaultBrushEnabled)
        .Str("FontName", &TSCGCellParam::FontName, &TSCGCellParam::SetFontName)
        .StoredIf([](const TSCGCellParam* P) { return !P->FontName().empty(); })
        .Int("FontColor", &TSCGCellParam::FontColor, &TSCGCellParam::SetFontColor, std::nullopt,
             &ColorIdents())
        .Bool("FontColorEnabled", &TSCGCellParam::FontColorEnabled,
              &TSCGCellParam::SetFontColorEnabled, TSCGCellParam::DefaultFontColorEnabled)
        .Int("FontWidth", &TSCGCellParam::FontWidth, &TSCGCellParam::SetFontWidth)
        .Enum("ImeMode", &TSCGCellParam::ImeMode, &TSCGCellParam::SetImeMode, ImeModeNames(),
              std::optional(TSCGCellParam::DefaultImeMode))
        .Bool("ImeModeEnabled", &TSCGCellParam::ImeModeEnabled, &TSCGCellParam::SetImeModeEnabled)
        .Enum("Layout", &TSCGCellParam::Layout, &TSCGCellParam::SetLayout, TextLayoutNames(),
              std::optional(TSCGCellParam::DefaultLayout))
        .Str("Name", &TSCGCellParam::Name, &TSCGCellParam::SetName)
        .StoredIf([](const TSCGCellParam* P) { return !P->Name().empty(); })
        .Set("Options", &TSCGCellParam::Options, &TSCGCellParam::SetOptions, GridOptionNames())
        .Bool("OptionsEnabled", &TSCGCellParam::OptionsEnabled, &TSCGCellParam::SetOptionsEnabled,
              TSCGCellParam::DefaultOptionsEnabled)
        .Bool("RangeEnabled", &TSCGCellParam::RangeEnabled, &TSCGCellParam::SetRangeEnabled,
              TSCGCellParam::DefaultRangeEnabled)
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
              std::optional(TStrColGrid::DefaultAlignment))
        .Enum("FixedAlignment", &TStrColGrid::FixedAlignment, &TStrColGrid::SetFixedAlignment,
              AlignmentNames(), std::optional(TStrColGrid::DefaultFixedAlignment))
        .Enum("FixedLayout", &TStrColGrid::FixedLayout, &TStrColGrid::SetFixedLayout,
              TextLayoutNames(), std::optional(TStrColGrid::DefaultFixedLayout))
        .Bool("FocusDraw", &TStrColGrid::FocusDraw, &TStrColGrid::SetFocusDraw,
              TStrColGrid::DefaultFocusDraw)
        .Int("FocusCellColor", &TStrColGrid::FocusCellColor, &TStrColGrid::SetFocusCellColor,
             TStrColGrid::DefaultFocusCellColor, &ColorIdents())
        .Int("FocusCellFontColor", &TStrColGrid::FocusCellFontColor,
             &TStrColGrid::SetFocusCellFontColor, TStrColGrid::DefaultFocusCellFontColor,
             &ColorIdents())
        .Bool("FocusCellFontColorEnabled", &TStrColGrid::FocusCellFontColorEnabled,
              &TStrColGrid::SetFocusCellFontColorEnabled,
              TStrColGrid::DefaultFocusCellFontColorEnabled)
        .Enum<TImeMode, TImeMode>("ImeMode", &TStrColGrid::ImeMode, &TStrColGrid::SetImeMode,
                                  ImeModeNames(), TStrColGrid::DefaultImeMode)
        .Bool("CellDivide", &TStrColGrid::CellDivide, &TStrColGrid::SetCellDivide,
              TStrColGrid::DefaultCellDivide)
        .Enum("Layout", &TStrColGrid::Layout, &TStrColGrid::SetLayout, TextLayoutNames())
        .Set("Options", &TStrColGrid::Options, &TStrColGrid::SetOptions, GridOptionNames())
        .Event("OnCellChanged", &TStrColGrid::OnCellChanged)
        .Event("OnColChanged", &TStrColGrid::OnColChanged)
        .Event("OnRowChanged", &TStrColGrid::OnRowChanged)
        .Event("OnOutCellText", &TStrColGrid::OnOutCellText)
        .Event("OnDrawTextOneLine", &TStrColGrid::OnDrawTextOneLine)
        .Event("BeforeDraw", &TStrColGrid::BeforeDraw);
}
