// The column string grid's cell painting, checked pixel by pixel on snapshots: backgrounds,
// selection colours, caption composition, line boxes and separators, text placement, the
// dotted focus frame and the fixed-cell frame.
#include "StrCGrid.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int ColWidth = 80;
constexpr int RowHeight = 19;
constexpr TColor Back = clWhite;
constexpr TColor Ink = clBlue;
constexpr TColor Fixed = clAqua;
const TColor FormFixedColor = 12615808; // red 128, green 128, blue 192

class TProbeGrid : public TStrColGrid {
public:
    using TStrColGrid::TStrColGrid;
    void SetDesigningForTest() { SetDesigning(true); }
};

// A grid on a shown window, so that it can take the input focus.
struct TShownGrid {
    std::unique_ptr<TWinControl> Window;
    TProbeGrid* Grid;
    TProbeGrid* operator->() const { return Grid; }
    TProbeGrid& operator*() const { return *Grid; }
};

TShownGrid MakeGrid() {
    auto Window = std::make_unique<TWinControl>(nullptr);
    Window->SetBounds(0, 0, 4 * (ColWidth + 1) + 20, 4 * (RowHeight + 1) + 120);
    auto* Grid = new TProbeGrid(Window.get());
    Grid->SetParent(Window.get());
    Grid->SetColCount(4);
    Grid->SetRowCount(4);
    Grid->SetDefaultColWidth(ColWidth);
    Grid->SetDefaultRowHeight(RowHeight);
    Grid->SetScrollBars(ssNone);
    Grid->SetBounds(0, 0, 4 * (ColWidth + 1) + 8, 4 * (RowHeight + 1) + 100);
    Grid->SetColor(Back);
    Grid->SetFixedColor(Fixed);
    Grid->Font()->SetName("IPAGothic");
    Grid->Font()->SetHeight(-13);
    Grid->Font()->SetColor(Ink);
    // The current cell is selected, and keeps the selection colour without the focus too.
    Grid->SetCol(3);
    Grid->SetRow(3);
    TestSupport::ShowWindow(Window.get());
    return {std::move(Window), Grid};
}

// Gives the grid the input focus, as the user's click would.
void Focus(TStrColGrid& Grid) {
    Grid.SetFocus();
    TestSupport::ProcessEvents();
    ASSERT_TRUE(Grid.Focused());
}

TSCGCellParam* AddParam(TStrColGrid& Grid, int Col, int Row) {
    TSCGCellParam* P = Grid.CellParams()->Add();
    P->SetCol(Col);
    P->SetRow(Row);
    return P;
}

std::uint32_t RGBOf(TColor Color) {
    return ColorToRGB(Color);
}

// Pixels of a snapshot.
class TShot {
public:
    explicit TShot(TStrColGrid& Grid) : FBitmap(Grid.Snapshot()) {}
    std::uint32_t At(int X, int Y) const {
        return static_cast<std::uint32_t>(FBitmap->Canvas()->Pixel(X, Y)) & 0xFFFFFF;
    }
    // The smallest rectangle (right and bottom exclusive) holding every pixel of Area that
    // differs from Background; empty when there is none.
    TRect Ink(const TRect& Area, TColor Background) const {
        TRect Box{Area.Right, Area.Bottom, Area.Left, Area.Top};
        for (int Y = Area.Top; Y < Area.Bottom; ++Y)
            for (int X = Area.Left; X < Area.Right; ++X)
                if (At(X, Y) != RGBOf(Background)) {
                    Box.Left = std::min(Box.Left, X);
                    Box.Top = std::min(Box.Top, Y);
                    Box.Right = std::max(Box.Right, X + 1);
                    Box.Bottom = std::max(Box.Bottom, Y + 1);
                }
        return Box.Left < Box.Right ? Box : TRect{};
    }
    bool Has(const TRect& Area, TColor Color) const {
        for (int Y = Area.Top; Y < Area.Bottom; ++Y)
            for (int X = Area.Left; X < Area.Right; ++X)
                if (At(X, Y) == RGBOf(Color))
                    return true;
        return false;
    }

private:
    std::unique_ptr<TBitmap> FBitmap;
};

// How a line of text drawn at (0, 0) in the font inks: where its ink starts relative to the
// drawing point, and its extent as the canvas measures it.
struct TTextProbe {
    TPoint InkOffset;
    TRect InkBox;
    int Width = 0;
    int Height = 0;
};

TTextProbe ProbeText(const TFont* Font, const AnsiString& Text) {
    constexpr int Origin = 20;
    TBitmap Bitmap(300, 100);
    TCanvas* C = Bitmap.Canvas();
    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, 300, 100));
    C->Brush()->SetStyle(bsClear);
    C->SetFont(Font);
    C->Font()->SetColor(clBlack);
    C->TextOut(Origin, Origin, Text);
    TTextProbe Probe;
    Probe.Width = C->TextWidth(Text);
    Probe.Height = C->TextHeight(Text);
    TRect Box{300, 100, 0, 0};
    for (int Y = 0; Y < 100; ++Y)
        for (int X = 0; X < 300; ++X)
            if ((C->Pixel(X, Y) & 0xFFFFFF) != 0xFFFFFF) {
                Box.Left = std::min(Box.Left, X);
                Box.Top = std::min(Box.Top, Y);
                Box.Right = std::max(Box.Right, X + 1);
                Box.Bottom = std::max(Box.Bottom, Y + 1);
            }
    Probe.InkOffset = {Box.Left - Origin, Box.Top - Origin};
    Probe.InkBox = Box;
    return Probe;
}

// The point the text was drawn at, from where its ink lies in the snapshot.
TPoint DrawnAt(const TShot& Shot, const TRect& Area, TColor Background, const TTextProbe& Probe) {
    const TRect Box = Shot.Ink(Area, Background);
    return {Box.Left - Probe.InkOffset.X, Box.Top - Probe.InkOffset.Y};
}

const AnsiString& Block() {
    static const AnsiString Text = "■■"_sj; // solid glyphs: their ink has the exact text colour
    return Text;
}

} // namespace

// ---- Backgrounds and text placement

TEST(StrColGridPaint, BodyCellWithoutParameterIsWindowColouredWithTextAtTwoTwo) {
    auto Grid = MakeGrid();
    Grid->SetCells(1, 1, Block());
    const TRect R = Grid->CellRect(1, 1);
    TShot Shot(*Grid);
    EXPECT_EQ(Shot.At(R.Right - 1, R.Bottom - 1), RGBOf(Back));
    const TTextProbe Probe = ProbeText(Grid->Font(), Block());
    EXPECT_EQ(DrawnAt(Shot, R, Back, Probe), (TPoint{R.Left + 2, R.Top + 2}));
    EXPECT_TRUE(Shot.Has(R, Ink));
}

TEST(StrColGridPaint, FixedCellWithoutParameterUsesTheFixedPlacementAndColour) {
    auto Grid = MakeGrid();
    Grid->SetCtl3D(false);
    Grid->SetFixedAlignment(taRightJustify);
    Grid->SetFixedLayout(tlBottom);
    Grid->SetAlignment(taCenter); // for body cells only
    Grid->SetCells(0, 2, Block());
    const TRect R = Grid->CellRect(0, 2);
    TShot Shot(*Grid);
    EXPECT_EQ(Shot.At(R.Left, R.Top), RGBOf(Fixed));
    const TTextProbe Probe = ProbeText(Grid->Font(), Block());
    EXPECT_EQ(DrawnAt(Shot, R, Fixed, Probe),
              (TPoint{R.Right - Probe.Width - 2, R.Bottom - Probe.Height - 1}));
}

TEST(StrColGridPaint, BodyCellWithoutParameterUsesTheGridAlignmentAndLayout) {
    auto Grid = MakeGrid();
    Grid->SetAlignment(taCenter);
    Grid->SetLayout(tlCenter);
    Grid->SetCells(2, 1, Block());
    const TRect R = Grid->CellRect(2, 1);
    TShot Shot(*Grid);
    const TTextProbe Probe = ProbeText(Grid->Font(), Block());
    EXPECT_EQ(DrawnAt(Shot, R, Back, Probe), (TPoint{R.Left + (R.Width() - Probe.Width) / 2,
                                                     R.Top + (R.Height() - Probe.Height) / 2 + 1}));
}

struct TPlacementCase {
    TAlignment Alignment;
    TTextLayout Layout;
};

class StrColGridPlacement : public testing::TestWithParam<TPlacementCase> {};

TEST_P(StrColGridPlacement, ParameterAlignmentAndLayoutPlaceTheLine) {
    const TPlacementCase Case = GetParam();
    auto Grid = MakeGrid();
    TSCGCellParam* P = AddParam(*Grid, 1, 2);
    P->SetAlignment(Case.Alignment);
    P->SetLayout(Case.Layout);
    Grid->SetCells(1, 2, Block());
    const TRect R = Grid->CellRect(1, 2);
    TShot Shot(*Grid);
    const TTextProbe Probe = ProbeText(Grid->Font(), Block());
    const int X = Case.Alignment == taLeftJustify    ? R.Left + 2
                  : Case.Alignment == taRightJustify ? R.Right - Probe.Width - 2
                                                     : R.Left + (R.Width() - Probe.Width) / 2;
    const int Y = Case.Layout == tlTop      ? R.Top + 2
                  : Case.Layout == tlBottom ? R.Bottom - Probe.Height - 1
                                            : R.Top + (R.Height() - Probe.Height) / 2 + 1;
    EXPECT_EQ(DrawnAt(Shot, R, Back, Probe), (TPoint{X, Y}));
}

INSTANTIATE_TEST_SUITE_P(
    AllCombinations, StrColGridPlacement,
    testing::Values(TPlacementCase{taLeftJustify, tlTop}, TPlacementCase{taRightJustify, tlTop},
                    TPlacementCase{taCenter, tlTop}, TPlacementCase{taLeftJustify, tlCenter},
                    TPlacementCase{taRightJustify, tlBottom}, TPlacementCase{taCenter, tlBottom}));

TEST(StrColGridPaint, CentredLineWiderThanTheCellStartsLeftOfItAndIsClipped) {
    auto Grid = MakeGrid();
    AddParam(*Grid, 2, 1)->SetAlignment(taCenter);
    const AnsiString Wide = "■■■■■■■■■■■■"_sj;
    Grid->SetCells(2, 1, Wide);
    const TRect R = Grid->CellRect(2, 1);
    const TTextProbe Probe = ProbeText(Grid->Font(), Wide);
    ASSERT_GT(Probe.Width, R.Width());
    TShot Shot(*Grid);
    const TRect Box = Shot.Ink(R, Back);
    const int Advance = Probe.Width / 12; // the ink may start at most one glyph in
    EXPECT_LT(Box.Left, R.Left + Advance);
    EXPECT_GT(Box.Right, R.Right - Advance);
    const TRect Left = Grid->CellRect(1, 1);
    EXPECT_FALSE(Shot.Has(Rect(Left.Left, R.Top, R.Left, R.Bottom), Ink));
    EXPECT_FALSE(Shot.Has(Rect(R.Right, R.Top, R.Right + ColWidth, R.Bottom), Ink));
}

TEST(StrColGridPaint, FormCaptionCellShowsACentredWhiteCaptionOnTheFixedColour) {
    auto Grid = MakeGrid();
    Grid->SetFixedColor(FormFixedColor);
    Grid->SetCtl3D(false);
    Grid->Font()->SetName("ＭＳ Ｐゴシック"_sj);
    Grid->Font()->SetHeight(-13);
    Grid->Font()->SetColor(clWindowText);
    TSCGCellParam* P = AddParam(*Grid, 2, 0);
    P->SetCaption("単位"_sj);
    P->SetAlignment(taCenter);
    P->SetFontColor(clWhite);
    P->SetFontColorEnabled(true);
    const TRect R = Grid->CellRect(2, 0);
    TShot Shot(*Grid);
    EXPECT_EQ(Shot.At(R.Left, R.Top), RGBOf(FormFixedColor)); // no raised frame
    EXPECT_EQ(Shot.At(R.Right - 1, R.Bottom - 1), RGBOf(FormFixedColor));
    const TTextProbe Probe = ProbeText(Grid->Font(), "単位"_sj);
    EXPECT_EQ(DrawnAt(Shot, R, FormFixedColor, Probe),
              (TPoint{R.Left + (R.Width() - Probe.Width) / 2, R.Top + 2}));
    EXPECT_TRUE(Shot.Has(R, clWhite));
    EXPECT_FALSE(Shot.Has(R, clBlack));
}

TEST(StrColGridPaint, ParameterColoursAndBrushPaintTheBackground) {
    auto Grid = MakeGrid();
    TSCGCellParam* Coloured = AddParam(*Grid, 1, 1);
    Coloured->SetCellColor(clYellow);
    Coloured->SetCellColorEnabled(true);
    Coloured->SetFontColor(clRed);
    Coloured->SetFontColorEnabled(true);
    Grid->SetCells(1, 1, Block());
    TSCGCellParam* Plain = AddParam(*Grid, 2, 1);
    Plain->SetCellColor(clYellow); // not enabled: the grid's colour stays
    Plain->SetFontColor(clRed);
    Grid->SetCells(2, 1, Block());
    TSCGCellParam* Brushed = AddParam(*Grid, 3, 1);
    Brushed->Brush()->SetColor(clLime);
    Brushed->SetBrushEnabled(true);
    TShot Shot(*Grid);
    const TRect A = Grid->CellRect(1, 1);
    EXPECT_EQ(Shot.At(A.Right - 1, A.Bottom - 1), RGBOf(clYellow));
    EXPECT_TRUE(Shot.Has(A, clRed));
    const TRect B = Grid->CellRect(2, 1);
    EXPECT_EQ(Shot.At(B.Right - 1, B.Bottom - 1), RGBOf(Back));
    EXPECT_TRUE(Shot.Has(B, Ink));
    EXPECT_FALSE(Shot.Has(B, clRed));
    const TRect C = Grid->CellRect(3, 1);
    EXPECT_EQ(Shot.At(C.Left, C.Top), RGBOf(clLime));
    EXPECT_EQ(Shot.At(C.Right - 1, C.Bottom - 1), RGBOf(clLime));
}

// ---- Caption composition and lines

namespace {

struct TCaptionCase {
    TSCGCellCaptionType Type;
    const char* Caption;
    const char* Cell;
    std::vector<std::string> Lines;
};

std::vector<std::string> DrawnLines(TStrColGrid& Grid) {
    std::vector<std::string> Lines;
    Grid.OnDrawTextOneLine = [&](TObject*, TStrColGrid*, const TRect&, int ACol, int ARow, int,
                                 TGridDrawState, AnsiString& AText, TAlignment&, TTextLayout&,
                                 bool&) {
        if (ACol == 1 && ARow == 1)
            Lines.push_back(AText);
    };
    TShot Shot(Grid);
    Grid.OnDrawTextOneLine = nullptr;
    return Lines;
}

} // namespace

class StrColGridCaption : public testing::TestWithParam<TCaptionCase> {};

TEST_P(StrColGridCaption, CaptionTypeComposesTheLines) {
    const TCaptionCase Case = GetParam();
    auto Grid = MakeGrid();
    TSCGCellParam* P = AddParam(*Grid, 1, 1);
    P->SetCaptionType(Case.Type);
    P->SetCaption(Case.Caption);
    Grid->SetCells(1, 1, Case.Cell);
    EXPECT_EQ(DrawnLines(*Grid), Case.Lines);
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, StrColGridCaption,
    testing::Values(
        TCaptionCase{ctCaption, "C", "S", {"C"}}, TCaptionCase{ctCaption, "", "S", {"S"}},
        TCaptionCase{ctCellText, "C", "S", {"S"}}, TCaptionCase{ctCellText, "C", "", {"C"}},
        TCaptionCase{ctCellText, "", "", {""}}, TCaptionCase{ctHeader, "C", "S", {"CS"}},
        TCaptionCase{ctFooter, "C", "S", {"SC"}}, TCaptionCase{ctTop, "C", "S", {"C", "S"}},
        TCaptionCase{ctTop, "C", "", {"C", ""}}, TCaptionCase{ctBottom, "C", "S", {"S", "C"}},
        TCaptionCase{ctBottom, "C", "", {"", "C"}},
        TCaptionCase{ctCellText, "", "a\r\nb\nc\r", {"a", "b", "c"}}));

TEST(StrColGridPaint, TextStartingWithANulBytePaintsAsOneEmptyLine) {
    auto Grid = MakeGrid();
    Grid->SetCells(1, 1, AnsiString("\0abc", 4)); // line splitting stops at the NUL byte
    EXPECT_EQ(DrawnLines(*Grid), (std::vector<std::string>{""}));
}

TEST(StrColGridPaint, CaptionStaysOnItsOwnHalfWhenTheCellIsEmpty) {
    for (const TSCGCellCaptionType Type : {ctTop, ctBottom}) {
        auto Grid = MakeGrid();
        Grid->SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine});
        TSCGCellParam* P = AddParam(*Grid, 1, 1);
        P->SetCaptionType(Type);
        P->SetCaption(Block());
        const TRect R = Grid->CellRect(1, 1);
        const TRect Upper = Rect(R.Left, R.Top, R.Right, R.Top + 9);
        const TRect Lower = Rect(R.Left, R.Top + 9, R.Right, R.Bottom);
        TShot Shot(*Grid);
        EXPECT_EQ(Shot.Has(Upper, Ink), Type == ctTop);
        EXPECT_EQ(Shot.Has(Lower, Ink), Type == ctBottom);
    }
}

TEST(StrColGridPaint, LinesShareTheCellHeightAndTheLastTakesTheRemainder) {
    auto Grid = MakeGrid();
    std::vector<TRect> Boxes;
    Grid->OnDrawTextOneLine = [&](TObject*, TStrColGrid*, const TRect& ARect, int ACol, int ARow,
                                  int, TGridDrawState, AnsiString&, TAlignment&, TTextLayout&,
                                  bool&) {
        if (ACol == 1 && ARow == 1)
            Boxes.push_back(ARect);
    };
    Grid->SetCells(1, 1, "a\rb");
    const TRect R = Grid->CellRect(1, 1);
    ASSERT_EQ(R.Height(), RowHeight);
    { TShot Shot(*Grid); }
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Boxes[0], Rect(R.Left, R.Top, R.Right, R.Top + 9));
    EXPECT_EQ(Boxes[1], Rect(R.Left, R.Top + 9, R.Right, R.Bottom));
    Boxes.clear();
    Grid->SetCells(1, 1, "a\rb\rc");
    { TShot Shot(*Grid); }
    ASSERT_EQ(Boxes.size(), 3u);
    EXPECT_EQ(Boxes[1].Height(), 6);
    EXPECT_EQ(Boxes[2].Height(), 7);
}

TEST(StrColGridPaint, LineHandlersRunGridFirstAndMayChangeTextAndPlacement) {
    auto Grid = MakeGrid();
    TSCGCellParam* P = AddParam(*Grid, 1, 1);
    std::vector<std::string> Calls;
    Grid->OnDrawTextOneLine = [&](TObject* Sender, TStrColGrid* AGrid, const TRect&, int ACol,
                                  int ARow, int AIndex, TGridDrawState, AnsiString& AText,
                                  TAlignment& AAlignment, TTextLayout&, bool&) {
        if (Sender == AGrid && ACol == 1 && ARow == 1) {
            Calls.push_back("grid " + std::to_string(AIndex) + " " + AText);
            AText = "x";
            AAlignment = taCenter;
        }
    };
    P->SetOnDrawTextOneLine([&](TObject* Sender, TStrColGrid*, const TRect&, int, int, int AIndex,
                                TGridDrawState, AnsiString& AText, TAlignment& AAlignment,
                                TTextLayout&, bool&) {
        if (Sender == P)
            Calls.push_back("param " + std::to_string(AIndex) + " " + AText +
                            (AAlignment == taCenter ? " centred" : ""));
        AText = Block();
        AAlignment = taRightJustify;
    });
    Grid->SetCells(1, 1, "q");
    const TRect R = Grid->CellRect(1, 1);
    TShot Shot(*Grid);
    EXPECT_EQ(Calls, (std::vector<std::string>{"grid 0 q", "param 0 x centred"}));
    const TTextProbe Probe = ProbeText(Grid->Font(), Block());
    EXPECT_EQ(DrawnAt(Shot, R, Back, Probe).X, R.Right - Probe.Width - 2);
}

TEST(StrColGridPaint, SeparatorsFollowHorzLineAndTheFixedLook) {
    auto Grid = MakeGrid();
    Grid->SetCells(1, 1, "a\rb");
    Grid->SetCells(0, 1, "a\rb");
    const TRect Body = Grid->CellRect(1, 1);
    const TRect Side = Grid->CellRect(0, 1);
    const int X = Body.Right - 3;
    const int SideX = Side.Right - 5;
    {
        Grid->SetCtl3D(true);
        TShot Shot(*Grid);
        EXPECT_EQ(Shot.At(X, Body.Top + 9), RGBOf(clSilver));
        EXPECT_EQ(Shot.At(Body.Right - 1, Body.Top + 9), RGBOf(clSilver));
        EXPECT_EQ(Shot.At(X, Body.Top + 8), RGBOf(Back));
        EXPECT_EQ(Shot.At(SideX, Side.Top + 8), RGBOf(clBtnShadow));
        EXPECT_EQ(Shot.At(SideX, Side.Top + 9), RGBOf(clBtnHighlight));
    }
    {
        Grid->SetCtl3D(false);
        TShot Shot(*Grid);
        EXPECT_EQ(Shot.At(SideX, Side.Top + 8), RGBOf(clBtnShadow));
        EXPECT_EQ(Shot.At(SideX, Side.Top + 9), RGBOf(clSilver));
    }
    {
        Grid->SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine});
        TShot Shot(*Grid);
        EXPECT_EQ(Shot.At(X, Body.Top + 9), RGBOf(Back));
        EXPECT_EQ(Shot.At(SideX, Side.Top + 8), RGBOf(Fixed));
    }
}

TEST(StrColGridPaint, CellOptionsDecideTheSeparatorsOfTheirCells) {
    auto Grid = MakeGrid();
    TSCGCellParam* P = AddParam(*Grid, 1, 1);
    P->SetOptions(TGridOptions{goVertLine});
    P->SetOptionsEnabled(true);
    Grid->SetCells(1, 1, "a\rb");
    Grid->SetCells(2, 1, "a\rb");
    const TRect With = Grid->CellRect(1, 1);
    const TRect Without = Grid->CellRect(2, 1);
    TShot Shot(*Grid);
    EXPECT_EQ(Shot.At(With.Right - 3, With.Top + 9), RGBOf(Back));
    EXPECT_EQ(Shot.At(Without.Right - 3, Without.Top + 9), RGBOf(clSilver));
}

TEST(StrColGridPaint, FontWidthRepeatsEachLineOnePixelFurtherRight) {
    auto Grid = MakeGrid();
    TSCGCellParam* Bold = AddParam(*Grid, 1, 1);
    Bold->SetFontWidth(2);
    Grid->SetCells(1, 1, Block());
    TSCGCellParam* None = AddParam(*Grid, 2, 1);
    None->SetFontWidth(0);
    Grid->SetCells(2, 1, Block() + "\r" + Block());
    TShot Shot(*Grid);
    const TTextProbe Probe = ProbeText(Grid->Font(), Block());
    const TRect R = Grid->CellRect(1, 1);
    const TRect Box = Shot.Ink(R, Back);
    EXPECT_EQ(Box.Left, R.Left + 2 + Probe.InkOffset.X);
    EXPECT_EQ(Box.Width(), Probe.InkBox.Width() + 1);
    const TRect Empty = Grid->CellRect(2, 1);
    EXPECT_FALSE(Shot.Has(Empty, Ink));
    EXPECT_EQ(Shot.At(Empty.Right - 3, Empty.Top + 9), RGBOf(clSilver));
}

TEST(StrColGridPaint, WithoutCellDivideTextWrapsFromTheTopLeftIgnoringAlignment) {
    auto Grid = MakeGrid();
    Grid->SetCellDivide(false);
    Grid->SetDefaultRowHeight(40);
    TSCGCellParam* P = AddParam(*Grid, 1, 1);
    P->SetAlignment(taRightJustify);
    P->SetLayout(tlBottom);
    Grid->SetCells(1, 1, "■\r■"_sj);
    const TRect R = Grid->CellRect(1, 1);
    TShot Shot(*Grid);
    const TTextProbe Probe = ProbeText(Grid->Font(), "■"_sj);
    const TRect Box = Shot.Ink(R, Back);
    EXPECT_EQ(Box.Left, R.Left + 2 + Probe.InkOffset.X);
    EXPECT_EQ(Box.Top, R.Top + 2 + Probe.InkOffset.Y);
    EXPECT_GE(Box.Height(), 2 * Probe.InkBox.Height()); // two lines, one above the other
    EXPECT_LE(Box.Width(), Probe.InkBox.Width());
}

// ---- Canvas reset around the text handlers

TEST(StrColGridPaint, OutCellTextResetUndoesCanvasChangesUnlessTheHandlerKeepsThem) {
    for (const bool Reset : {true, false}) {
        auto Grid = MakeGrid();
        AnsiString Caption;
        Grid->OnOutCellText = [&](TObject* Sender, TStrColGrid* AGrid, const TRect&, int ACol,
                                  int ARow, const AnsiString& ACaption, AnsiString& AValue,
                                  bool& ADoCanvasReset) {
            if (ACol != 1 || ARow != 1 || Sender != AGrid)
                return;
            Caption = ACaption;
            AGrid->Canvas()->Font()->SetColor(clRed);
            AValue += "\r" + Block();
            ADoCanvasReset = Reset;
        };
        Grid->SetCaption("grid");
        Grid->SetCells(1, 1, Block());
        TShot Shot(*Grid);
        const TRect R = Grid->CellRect(1, 1);
        const TRect Upper = Rect(R.Left, R.Top, R.Right, R.Top + 9);
        const TRect Lower = Rect(R.Left, R.Top + 10, R.Right, R.Bottom);
        EXPECT_EQ(Caption, "grid");
        EXPECT_EQ(Shot.Has(Upper, clRed), !Reset) << "reset " << Reset;
        EXPECT_EQ(Shot.Has(Lower, clRed), !Reset) << "reset " << Reset;
        EXPECT_EQ(Shot.Has(Upper, Ink), Reset) << "reset " << Reset;
    }
}

TEST(StrColGridPaint, ParameterOutCellTextGetsTheCaptionAndTheComposedText) {
    auto Grid = MakeGrid();
    TSCGCellParam* P = AddParam(*Grid, 1, 1);
    P->SetCaption("cap");
    P->SetCaptionType(ctHeader);
    std::vector<std::string> Seen;
    bool GridCalled = false;
    Grid->OnOutCellText = [&](TObject*, TStrColGrid*, const TRect&, int ACol, int ARow,
                              const AnsiString&, AnsiString&,
                              bool&) { GridCalled = GridCalled || (ACol == 1 && ARow == 1); };
    P->SetOnOutCellText([&](TObject* Sender, TStrColGrid*, const TRect& ARect, int, int,
                            const AnsiString& ACaption, AnsiString& AValue, bool&) {
        Seen = {Sender == P ? "param" : "?", ACaption, AValue,
                ARect == Grid->CellRect(1, 1) ? "rect" : "?"};
    });
    Grid->SetCells(1, 1, "txt");
    TShot Shot(*Grid);
    EXPECT_EQ(Seen, (std::vector<std::string>{"param", "cap", "captxt", "rect"}));
    EXPECT_FALSE(GridCalled);
}

TEST(StrColGridPaint, CellEventsFollowTheTextInOrder) {
    auto Grid = MakeGrid();
    TSCGCellParam* P = AddParam(*Grid, 1, 1);
    std::vector<std::string> Calls;
    const auto Record = [&](const char* What, int ACol, int ARow) {
        if (ACol == 1 && ARow == 1)
            Calls.push_back(What);
    };
    P->SetOnOutCellText([&](TObject*, TStrColGrid*, const TRect&, int C, int R, const AnsiString&,
                            AnsiString&, bool&) { Record("out", C, R); });
    Grid->OnDrawTextOneLine = [&](TObject*, TStrColGrid*, const TRect&, int C, int R, int,
                                  TGridDrawState, AnsiString&, TAlignment&, TTextLayout&,
                                  bool&) { Record("grid line", C, R); };
    P->SetOnDrawTextOneLine([&](TObject*, TStrColGrid*, const TRect&, int C, int R, int,
                                TGridDrawState, AnsiString&, TAlignment&, TTextLayout&,
                                bool&) { Record("param line", C, R); });
    Grid->OnDrawCell = [&](TObject*, int C, int R, const TRect&, TGridDrawState) {
        Record("grid cell", C, R);
    };
    P->SetOnDrawCell([&](TObject*, TStrColGrid*, int C, int R, const TRect&, TGridDrawState) {
        Record("param cell", C, R);
    });
    int Before = 0;
    Grid->BeforeDraw = [&](TObject* Sender) { Before += Sender == Grid.Grid; };
    TShot Shot(*Grid);
    EXPECT_EQ(Before, 1);
    EXPECT_EQ(Calls, (std::vector<std::string>{"out", "grid line", "param line", "grid cell",
                                               "param cell"}));
}

// ---- Fixed frame

TEST(StrColGridPaint, FixedCellsGetARaisedFrameOnlyWithCtl3D) {
    auto Grid = MakeGrid();
    const TRect R = Grid->CellRect(1, 0);
    {
        Grid->SetCtl3D(true);
        TShot Shot(*Grid);
        EXPECT_EQ(Shot.At(R.Left + 5, R.Top), RGBOf(clBtnHighlight));
        EXPECT_EQ(Shot.At(R.Left, R.Top + 5), RGBOf(clBtnHighlight));
        EXPECT_EQ(Shot.At(R.Left + 5, R.Bottom - 1), RGBOf(clGray));
        EXPECT_EQ(Shot.At(R.Right - 1, R.Top + 5), RGBOf(clGray));
    }
    {
        Grid->SetCtl3D(false);
        TShot Shot(*Grid);
        EXPECT_EQ(Shot.At(R.Left + 5, R.Top), RGBOf(Fixed));
        EXPECT_EQ(Shot.At(R.Right - 1, R.Top + 5), RGBOf(Fixed));
    }
}

// ---- Selection colour and focus frame

TEST(StrColGridPaint, FocusedGridFillsSelectedCellsButNotTheCurrentOne) {
    auto Grid = MakeGrid();
    Grid->SetFocusCellColor(clYellow);
    Grid->SetSelection({1, 1, 2, 1}); // current cell (2, 1)
    Focus(*Grid);
    const TRect Selected = Grid->CellRect(1, 1);
    const TRect Current = Grid->CellRect(2, 1);
    {
        TShot Shot(*Grid);
        EXPECT_EQ(Shot.At(Selected.Left + 5, Selected.Top + 5), RGBOf(clYellow));
        EXPECT_EQ(Shot.At(Current.Left + 5, Current.Top + 5), RGBOf(Back));
    }
    Grid->SetOptions(Grid->Options() + TGridOptions{goDrawFocusSelected});
    {
        TShot Shot(*Grid);
        EXPECT_EQ(Shot.At(Current.Left + 5, Current.Top + 5), RGBOf(clYellow));
    }
}

TEST(StrColGridPaint, FocusCellFontColorColoursTheSelectedTextWhenEnabled) {
    auto Grid = MakeGrid();
    Grid->SetFocusCellColor(clYellow);
    Grid->SetFocusCellFontColor(clRed);
    Grid->SetCells(1, 1, Block());
    Grid->SetSelection({1, 1, 2, 1});
    Focus(*Grid);
    const TRect R = Grid->CellRect(1, 1);
    {
        TShot Shot(*Grid);
        EXPECT_TRUE(Shot.Has(R, Ink));
    }
    Grid->SetFocusCellFontColorEnabled(true);
    {
        TShot Shot(*Grid);
        EXPECT_TRUE(Shot.Has(R, clRed));
        EXPECT_FALSE(Shot.Has(R, Ink));
    }
}

TEST(StrColGridPaint, WithoutFocusSelectedCellsKeepTheColourOnlyWithFocusDraw) {
    auto Grid = MakeGrid();
    Grid->SetFocusCellColor(clYellow);
    Grid->SetSelection({1, 1, 2, 2});
    const TRect R = Grid->CellRect(1, 1);
    {
        TShot Shot(*Grid);
        EXPECT_EQ(Shot.At(R.Left + 5, R.Top + 5), RGBOf(clYellow));
    }
    Grid->SetFocusDraw(false);
    {
        TShot Shot(*Grid);
        EXPECT_EQ(Shot.At(R.Left + 5, R.Top + 5), RGBOf(Back));
    }
}

TEST(StrColGridPaint, FocusFrameInvertsEverySecondBorderPixel) {
    auto Grid = MakeGrid();
    Grid->SetCol(1);
    Grid->SetRow(2);
    Focus(*Grid);
    const TRect R = Grid->CellRect(1, 2);
    TShot Shot(*Grid);
    const std::uint32_t Inverted = ~RGBOf(Back) & 0xFFFFFF;
    EXPECT_EQ(Shot.At(R.Left, R.Top), Inverted);
    EXPECT_EQ(Shot.At(R.Left + 1, R.Top), RGBOf(Back));
    EXPECT_EQ(Shot.At(R.Left + 2, R.Top), Inverted);
    EXPECT_EQ(Shot.At(R.Left + 2, R.Bottom - 1), Inverted);
    EXPECT_EQ(Shot.At(R.Left, R.Top + 2), Inverted);
    EXPECT_EQ(Shot.At(R.Left, R.Top + 3), RGBOf(Back));
    EXPECT_EQ(Shot.At(R.Right - 1, R.Top + 2), Inverted);
    EXPECT_EQ(Shot.At(R.Left + 3, R.Top + 3), RGBOf(Back));
    // Nothing on the neighbours, and no frame on fixed cells.
    const TRect Next = Grid->CellRect(2, 2);
    EXPECT_EQ(Shot.At(Next.Left, Next.Top), RGBOf(Back));
}

TEST(StrColGridPaint, FocusFrameTurnsMiddleGreyWhite) {
    auto Grid = MakeGrid();
    Grid->SetColor(clGray);
    Grid->SetCol(1);
    Grid->SetRow(1);
    Focus(*Grid);
    const TRect R = Grid->CellRect(1, 1);
    TShot Shot(*Grid);
    EXPECT_EQ(Shot.At(R.Left + 2, R.Top), 0xFFFFFFu);
    EXPECT_EQ(Shot.At(R.Left + 1, R.Top), RGBOf(clGray));
}

TEST(StrColGridPaint, RowSelectFrameRunsAlongTheRowClosedAtBothEnds) {
    auto Grid = MakeGrid();
    Grid->SetFocusCellColor(clYellow);
    Grid->SetOptions(Grid->Options() + TGridOptions{goRowSelect});
    Grid->SetCol(2);
    Grid->SetRow(1);
    const TRect First = Grid->CellRect(1, 1);
    {
        TShot Unfocused(*Grid); // the frame needs the input focus
        EXPECT_EQ(Unfocused.At(First.Left, First.Top + 2), RGBOf(clYellow));
    }
    Focus(*Grid);
    TShot Shot(*Grid);
    const std::uint32_t Inverted = ~RGBOf(clYellow) & 0xFFFFFF;
    const TRect Middle = Grid->CellRect(2, 1);
    const TRect Last = Grid->CellRect(3, 1);
    EXPECT_EQ(Shot.At(First.Left, First.Top + 2), Inverted);
    EXPECT_EQ(Shot.At(First.Right - 1, First.Top + 2), RGBOf(clYellow));
    EXPECT_EQ(Shot.At(Middle.Left, Middle.Top + 2), RGBOf(clYellow));
    EXPECT_EQ(Shot.At(Middle.Left + 2, Middle.Top), Inverted);
    EXPECT_EQ(Shot.At(Middle.Left + 2, Middle.Bottom - 1), Inverted);
    EXPECT_EQ(Shot.At(Last.Left, Last.Top + 2), RGBOf(clYellow));
    EXPECT_EQ(Shot.At(Last.Right - 1, Last.Top + 2), Inverted);
    const TRect Other = Grid->CellRect(2, 2);
    EXPECT_EQ(Shot.At(Other.Left + 2, Other.Top), RGBOf(Back));
}

TEST(StrColGridPaint, RowSelectFrameOfAParameterSpansItsOwnColumns) {
    auto Grid = MakeGrid();
    Grid->SetFocusCellColor(clYellow);
    TSCGCellParam* P = Grid->CellParams()->Add();
    P->SetColMax(2);
    P->SetRowMax(3);
    P->SetCol(2);
    P->SetRow(1);
    P->SetRangeEnabled(true);
    P->SetOptions(Grid->Options() + TGridOptions{goRowSelect});
    P->SetOptionsEnabled(true);
    Grid->SetCol(2);
    Grid->SetRow(1);
    Focus(*Grid);
    TShot Shot(*Grid);
    const TRect R = Grid->CellRect(2, 1);
    const std::uint32_t Background = Shot.At(R.Left + 5, R.Top + 5);
    EXPECT_NE(Shot.At(R.Left, R.Top + 2), Background); // first = last: the left edge only
    EXPECT_EQ(Shot.At(R.Right - 1, R.Top + 2), Background);
}

TEST(StrColGridPaint, DefaultDrawingLeavesCellsToTheFrameworkButFramesFixedOnesInTheDesigner) {
    auto Grid = MakeGrid();
    Grid->SetDefaultDrawing(true);
    TSCGCellParam* P = AddParam(*Grid, 1, 1);
    P->SetCellColor(clRed);
    P->SetCellColorEnabled(true);
    const TRect Body = Grid->CellRect(1, 1);
    const TRect Caption = Grid->CellRect(1, 0);
    {
        TShot Shot(*Grid);
        EXPECT_FALSE(Shot.Has(Body, clRed));
        EXPECT_EQ(Shot.At(Caption.Right - 1, Caption.Top + 5), RGBOf(Fixed));
    }
    Grid->SetDesigningForTest();
    {
        TShot Shot(*Grid);
        EXPECT_EQ(Shot.At(Caption.Right - 1, Caption.Top + 5), RGBOf(clGray));
    }
}

// ---- Repaints

TEST(StrColGridPaint, ParameterChangesRepaintOnlyInTheDesigner) {
    auto Grid = MakeGrid();
    TSCGCellParam* P = AddParam(*Grid, 1, 1);
    int Paints = 0;
    Grid->BeforeDraw = [&](TObject*) { ++Paints; };
    TestSupport::ProcessEvents();
    Paints = 0;
    P->SetCellColor(clRed);
    EXPECT_EQ(Paints, 0);
    Grid->SetAlignment(taCenter);
    Grid->SetCellDivide(false);
    EXPECT_EQ(Paints, 0);
    Grid->SetFocusCellColor(clRed);
    EXPECT_GE(Paints, 1);
    Paints = 0;
    Grid->SetDesigningForTest();
    P->SetCellColor(clBlue);
    EXPECT_GE(Paints, 1);
}

// A line far longer than its cell looks the same whether the grid draws only the part the cell
// can show or, for a line handler, the whole line: its start when left-aligned, its end when
// right-aligned, with or without single-byte characters to count from.
TEST(StrColGridPaint, ALongLineShowsWhatTheWholeLineWouldShow) {
    const AnsiString DoubleBytes = [] {
        AnsiString T;
        for (int I = 0; I < 3000; ++I)
            T += "\x83\x41";           // ア, whose second byte is 'A'
        return T + "\x96\x96\x94\xf6"; // 末尾
    }();
    const AnsiString Mixed = [] {
        AnsiString T;
        for (int I = 0; I < 2000; ++I)
            T += I % 7 ? "\x83\x41" : "1,";
        return T;
    }();
    const TRect Cell = Rect(ColWidth + 1, RowHeight + 1, 2 * (ColWidth + 1), 2 * (RowHeight + 1));
    for (const AnsiString& Text : {DoubleBytes, Mixed})
        for (const TAlignment Alignment : {taLeftJustify, taRightJustify}) {
            TShownGrid Grid = MakeGrid();
            Grid->SetAlignment(Alignment);
            Grid->SetCells(1, 1, Text);
            const TShot Cut(*Grid);
            Grid->OnDrawTextOneLine = [](TObject*, TStrColGrid*, const TRect&, int, int, int,
                                         TGridDrawState, AnsiString&, TAlignment&, TTextLayout&,
                                         bool&) {};
            const TShot Whole(*Grid);
            for (int Y = Cell.Top; Y < Cell.Bottom; ++Y)
                for (int X = Cell.Left; X < Cell.Right; ++X)
                    ASSERT_EQ(Cut.At(X, Y), Whole.At(X, Y))
                        << "alignment " << Alignment << " at " << X << "," << Y;
        }
}
