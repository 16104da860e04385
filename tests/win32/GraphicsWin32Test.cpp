// Graphics on GDI: fonts as GDI makes them, the system's colours, a canvas bound to an image at
// an offset, images with alpha under GDI's painting, and GDI's pens and brushes.
#include "Win32Api.h"
#include "Win32Graphics.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEXTMETRICW MetricsOf(const AnsiString& Name, int Height, bool Bold = false) {
    TFont Font;
    Font.SetName(Name);
    Font.SetHeight(Height);
    Font.SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
    Font.SetCharset(SHIFTJIS_CHARSET);
    return Platform::NewFont(Font.Desc())->Metrics;
}

// The lengths of the alternating painted and unpainted runs along row Y, from X = 0.
std::vector<int> Runs(TCanvas& C, int Y, int Width) {
    std::vector<int> Result;
    bool Painted = true;
    for (int X = 0; X < Width; ++X) {
        if ((C.Pixel(X, Y) != clWhite) != Painted) {
            Result.push_back(0);
            Painted = !Painted;
        }
        if (Result.empty())
            Result.push_back(0);
        ++Result.back();
    }
    return Result;
}

} // namespace

TEST(FontWin32, HeightsWeightAndCharsetReachGdiAndTextIsNotAntialiased) {
    const TEXTMETRICW Char = MetricsOf("ＭＳ Ｐゴシック"_sj, -16);
    EXPECT_EQ(Char.tmHeight - Char.tmInternalLeading, 16) << "negative: the character height";
    EXPECT_NEAR(MetricsOf("ＭＳ Ｐゴシック"_sj, 20).tmHeight, 20, 1) << "positive: the cell height";
    const TEXTMETRICW Bold = MetricsOf("ＭＳ 明朝"_sj, -12, true);
    EXPECT_EQ(Bold.tmWeight, FW_BOLD);
    EXPECT_EQ(Bold.tmCharSet, SHIFTJIS_CHARSET);

    TFont Font;
    Font.SetName("ＭＳ ゴシック"_sj);
    Font.SetHeight(-12);
    const HFONT Handle = FontHandle(Font);
    EXPECT_EQ(FontHandle(Font), Handle) << "made once";
    LOGFONTW Log{};
    ASSERT_NE(GetObjectW(Handle, sizeof(Log), &Log), 0);
    EXPECT_EQ(Log.lfHeight, -12);
    EXPECT_EQ(Log.lfQuality, NONANTIALIASED_QUALITY);

    TBitmap B(120, 20);
    B.Canvas()->SetFont(&Font);
    B.Canvas()->Font()->SetColor(clBlack);
    B.Canvas()->TextOut(2, 2, "漢字かなＡＢab"_sj);
    int Black = 0;
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X) {
            const TColor P = B.Canvas()->Pixel(X, Y);
            ASSERT_TRUE(P == clBlack || P == clWhite) << X << "," << Y;
            Black += P == clBlack;
        }
    EXPECT_GT(Black, 50);
}

TEST(ColorWin32, SystemColoursAreTheSystemsOwn) {
    const std::pair<TColor, int> Cases[] = {{clBtnFace, COLOR_BTNFACE},
                                            {clWindow, COLOR_WINDOW},
                                            {clWindowText, COLOR_WINDOWTEXT},
                                            {clHighlight, COLOR_HIGHLIGHT},
                                            {clGrayText, COLOR_GRAYTEXT}};
    for (const auto& [Color, Index] : Cases)
        EXPECT_EQ(ToColorRef(Color), GetSysColor(Index)) << Index;
}

TEST(CanvasWin32, AnOffsetMovesEveryOperationAndTheImagesDcStaysPlain) {
    const Platform::TImagePtr Image = Platform::NewImage();
    Platform::ResizeImage(*Image, 20, 20);
    TCanvas Canvas;
    TGraphicsAccess::BeginPaint(Canvas, *Image, {5, 7});
    Canvas.SetClipRect(Rect(0, 0, 3, 3));
    Canvas.Brush()->SetColor(clRed);
    Canvas.FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(Canvas.Pixel(2, 2), clRed);
    EXPECT_EQ(Canvas.Pixel(3, 3), clWhite);
    Canvas.ResetClip();
    EXPECT_EQ(Canvas.ClipRect(), Rect(-5, -7, 15, 13));
    TGraphicsAccess::EndPaint(Canvas);
    EXPECT_FALSE(Canvas.Painting());

    RECT Box{};
    GetClipBox(Image->Dc, &Box);
    EXPECT_EQ(Rect(Box.left, Box.top, Box.right, Box.bottom), Rect(0, 0, 20, 20));
    EXPECT_EQ(GetPixel(Image->Dc, 5, 7), RGB(255, 0, 0)) << "no origin is left on the DC";
    EXPECT_EQ(GetPixel(Image->Dc, 8, 10), RGB(255, 255, 255));
}

TEST(CanvasWin32, PaintingOnAnImageWithAlphaMakesOnlyThePaintedPixelsOpaque) {
    TBitmap Icon(4, 1);
    TPlatformImage& Image = TGraphicsAccess::Image(Icon);
    Image.HasAlpha = true;
    const std::uint32_t HalfBlue = 0x80000080u, Clear = 0;
    std::fill_n(Image.Bits, 4, Clear);
    Image.Bits[1] = HalfBlue;
    Icon.Canvas()->Brush()->SetColor(clRed);
    Icon.Canvas()->FillRect(Rect(0, 0, 1, 1));
    Icon.Canvas()->Pen()->SetColor(clLime);
    Icon.Canvas()->MoveTo(3, 0);
    Icon.Canvas()->LineTo(4, 0);
    EXPECT_EQ(Image.Bits[0], 0xFFFF0000u);
    EXPECT_EQ(Image.Bits[1], HalfBlue) << "untouched pixels keep their alpha";
    EXPECT_EQ(Image.Bits[2], Clear);
    EXPECT_EQ(Image.Bits[3], 0xFF00FF00u);

    TBitmap Reread;
    Reread.LoadFromBytes(Icon.SaveToBytes());
    TBitmap Target(4, 1);
    Target.Canvas()->Brush()->SetColor(clYellow);
    Target.Canvas()->FillRect(Rect(0, 0, 4, 1));
    Target.Canvas()->Draw(0, 0, &Reread);
    EXPECT_EQ(Target.Canvas()->Pixel(0, 0), clRed);
    EXPECT_EQ(Target.Canvas()->Pixel(1, 0), RGB(127, 127, 128)) << "half blue over yellow";
    EXPECT_EQ(Target.Canvas()->Pixel(2, 0), clYellow);
    EXPECT_EQ(Target.Canvas()->Pixel(3, 0), clLime);
}

TEST(CanvasWin32, DashesRestartWithEachLinePatternsTileFromTheOriginAndHatchesKeepTheirGaps) {
    TBitmap B(40, 40);
    TCanvas& C = *B.Canvas();
    // A line of 10 pixels, then one of 30 whose pattern starts afresh.
    const std::pair<TPenStyle, std::vector<int>> Dashes[] = {
        {psDash, {28, 6, 6}},
        {psDot, {3, 3, 3, 1, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3}},
        {psDashDot, {9, 1, 9, 6, 3, 6, 6}},
        {psDashDotDot, {9, 1, 9, 3, 3, 3, 3, 3, 6}},
    };
    int Y = 0;
    for (const auto& [Style, Expected] : Dashes) {
        C.Pen()->SetStyle(Style);
        C.MoveTo(0, Y);
        C.LineTo(10, Y);
        C.LineTo(40, Y);
        EXPECT_EQ(Runs(C, Y, 40), Expected) << Style;
        Y += 2;
    }

    TBitmap Pattern(2, 2);
    Pattern.Canvas()->SetPixel(0, 0, clRed);
    C.Brush()->SetBitmap(&Pattern);
    const Platform::TImagePtr Image = Platform::NewImage();
    Platform::ResizeImage(*Image, 8, 8);
    TCanvas Shifted;
    TGraphicsAccess::BeginPaint(Shifted, *Image, {1, 1});
    Shifted.SetBrush(C.Brush());
    Shifted.FillRect(Rect(0, 0, 4, 4));
    EXPECT_EQ(Shifted.Pixel(0, 0), clRed);
    EXPECT_EQ(Shifted.Pixel(1, 0), clWhite);
    EXPECT_EQ(Shifted.Pixel(2, 2), clRed);
    TGraphicsAccess::EndPaint(Shifted);

    C.Brush()->SetBitmap(nullptr);
    C.Brush()->SetColor(clBlue);
    C.Brush()->SetStyle(bsCross);
    C.FillRect(Rect(10, 10, 26, 26));
    int Blue = 0, White = 0;
    for (int PY = 10; PY < 26; ++PY)
        for (int PX = 10; PX < 26; ++PX) {
            Blue += C.Pixel(PX, PY) == clBlue;
            White += C.Pixel(PX, PY) == clWhite;
        }
    EXPECT_EQ(Blue + White, 16 * 16);
    EXPECT_EQ(Blue, 2 * 2 * 16 - 4) << "two lines each way in 8 pixels";
}

TEST(CanvasWin32, CopiesReadTheSourceAtItsOriginAndEllipsesKeepInsideTheirRectangle) {
    const Platform::TImagePtr Image = Platform::NewImage();
    Platform::ResizeImage(*Image, 10, 10);
    TCanvas Source;
    TGraphicsAccess::BeginPaint(Source, *Image, {2, 3});
    Source.SetPixel(0, 0, clRed);
    TBitmap Dest(10, 10);
    Dest.Canvas()->CopyRect(Rect(5, 5, 7, 6), &Source, Rect(0, 0, 1, 1));
    EXPECT_EQ(Dest.Canvas()->Pixel(5, 5), clRed);
    EXPECT_EQ(Dest.Canvas()->Pixel(6, 5), clRed) << "stretched";
    TCanvas Shifted;
    TGraphicsAccess::BeginPaint(Shifted, TGraphicsAccess::Image(Dest), {1, 1});
    Shifted.CopyRect(Rect(0, 0, 1, 1), &Source, Rect(0, 0, 1, 1));
    EXPECT_EQ(Dest.Canvas()->Pixel(1, 1), clRed);
    TGraphicsAccess::EndPaint(Shifted);
    TGraphicsAccess::EndPaint(Source);

    TBitmap B(20, 20);
    TCanvas& C = *B.Canvas();
    C.Brush()->SetColor(clRed);
    C.Ellipse(2, 2, 12, 8);
    TRect Ink{20, 20, 0, 0};
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 20; ++X)
            if (C.Pixel(X, Y) != clWhite)
                Ink = Rect(std::min(Ink.Left, X), std::min(Ink.Top, Y), std::max(Ink.Right, X + 1),
                           std::max(Ink.Bottom, Y + 1));
    EXPECT_EQ(Ink, Rect(2, 2, 12, 8));
    EXPECT_EQ(C.Pixel(7, 5), clRed);
    EXPECT_EQ(C.Pixel(2, 2), clWhite) << "the corner lies outside";
}
