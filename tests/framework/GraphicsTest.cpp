// Colours, fonts, brushes, bitmaps and pictures (logic), and the canvas's painting rules
// (pixel suites, named ...Pixels).
#include "Graphics.h"
#include "TypInfo.h"
#include "WinApi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>

namespace {

// A pixel as 0xAARRGGBB.
using TPixelAt = std::function<std::uint32_t(int X, int Y)>;

void PutLE(std::string& Out, std::uint32_t Value, int Bytes) {
    for (int I = 0; I < Bytes; ++I)
        Out += static_cast<char>((Value >> (8 * I)) & 0xFF);
}

// The header of a 32-bit uncompressed image; an icon counts the rows of its mask as well.
std::string InfoHeader(int W, int H, int Rows) {
    std::string Out;
    PutLE(Out, 40, 4);
    PutLE(Out, W, 4);
    PutLE(Out, Rows, 4);
    PutLE(Out, 1, 2);
    PutLE(Out, 32, 2);
    PutLE(Out, 0, 4);
    PutLE(Out, W * H * 4, 4);
    Out.append(16, '\0'); // resolutions and colour counts
    return Out;
}

// Rows bottom-up, each pixel blue, green, red, alpha.
std::string PixelRows(int W, int H, const TPixelAt& Pixel) {
    std::string Out;
    for (int Y = H - 1; Y >= 0; --Y)
        for (int X = 0; X < W; ++X)
            PutLE(Out, Pixel(X, Y), 4);
    return Out;
}

std::string BmpFile(int W, int H, const TPixelAt& Pixel) {
    const std::string Image = InfoHeader(W, H, H) + PixelRows(W, H, Pixel);
    std::string Out = "BM";
    PutLE(Out, static_cast<std::uint32_t>(14 + Image.size()), 4);
    PutLE(Out, 0, 4);
    PutLE(Out, 14 + 40, 4);
    return Out + Image;
}

// One image of at most 255 by 255 pixels; the alpha of the pixels decides what shows.
std::string IcoFile(int W, int H, const TPixelAt& Pixel) {
    const int MaskRow = (W + 31) / 32 * 4;
    const std::string Image =
        InfoHeader(W, H, 2 * H) + PixelRows(W, H, Pixel) + std::string(MaskRow * H, '\0');
    std::string Out;
    PutLE(Out, 0, 2);
    PutLE(Out, 1, 2);
    PutLE(Out, 1, 2);
    PutLE(Out, W, 1);
    PutLE(Out, H, 1);
    PutLE(Out, 0, 2);
    PutLE(Out, 1, 2);
    PutLE(Out, 32, 2);
    PutLE(Out, static_cast<std::uint32_t>(Image.size()), 4);
    PutLE(Out, 6 + 16, 4);
    return Out + Image;
}

TPixelAt Solid(std::uint32_t Argb) {
    return [Argb](int, int) { return Argb; };
}

constexpr std::uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF;

// The platform's bitmap data: a 32-bit little-endian size, then the BMP file.
std::string SizedBitmapData(const std::string& Bmp) {
    std::string Data(4, '\0');
    for (int I = 0; I < 4; ++I)
        Data[I] = static_cast<char>((Bmp.size() >> (8 * I)) & 0xFF);
    return Data + Bmp;
}

} // namespace

// ---- Colours

TEST(ColorTest, PlainColoursPassThroughAndAnUnknownSystemColourIsBlack) {
    EXPECT_EQ(ColorToRGB(12615808), 12615808u);
    EXPECT_EQ(ColorToRGB(clNone), static_cast<std::uint32_t>(clNone));
    EXPECT_EQ(ColorToRGB(SysColor(200)), 0u) << "an unknown system colour is black";
}

TEST(ColorTest, ColourNamesOfFormFilesAreUniqueAndIncludeTheSystemColours) {
    const TIdentTable& Idents = ColorIdents();
    std::map<std::string, std::int64_t> ByName;
    for (const auto& [Name, Value] : Idents)
        EXPECT_TRUE(ByName.emplace(Name, Value).second) << Name;
    EXPECT_EQ(ByName.at("clBtnFace"), clBtnFace);
    EXPECT_EQ(ByName.at("clBtnFace"), static_cast<std::int32_t>(0xFF00000F));
    EXPECT_EQ(ByName.at("clWhite"), 0xFFFFFF);
    EXPECT_EQ(ByName.at("clInfoBk"), clInfoBk);
    EXPECT_EQ(ByName.at("cl3DDkShadow"), clBtnHighlight + 1);
}

// ---- Fonts, brushes, pens

TEST(FontTest, SizeIsPointsAtNinetySixDotsPerInch) {
    TFont Font;
    Font.SetSize(9);
    EXPECT_EQ(Font.Height(), -12);
    Font.SetHeight(-11);
    EXPECT_EQ(Font.Size(), 8);
    Font.SetHeight(-16);
    EXPECT_EQ(Font.Size(), 12);
}

TEST(FontTest, ChangesAreNotifiedAndAssignCopiesEveryAttribute) {
    TFont Font;
    int Changes = 0;
    Font.OnChange = [&](TObject*) { ++Changes; };
    Font.SetColor(Font.Color());
    EXPECT_EQ(Changes, 0) << "the same colour is no change";
    Font.SetColor(clRed);
    Font.SetHeight(-12);
    Font.SetStyle({fsBold, fsUnderline});
    EXPECT_EQ(Changes, 3);
    TFont Copy;
    Copy.SetName("ＭＳ 明朝"_sj);
    Copy.SetCharset(SHIFTJIS_CHARSET);
    Font.Assign(&Copy);
    EXPECT_EQ(Changes, 4);
    EXPECT_EQ(Font.Name(), Copy.Name());
    EXPECT_EQ(Font.Color(), Copy.Color());
    EXPECT_EQ(Font.Height(), Copy.Height());
    EXPECT_EQ(Font.Style(), Copy.Style());
    EXPECT_EQ(Font.Charset(), SHIFTJIS_CHARSET);
    TPen Pen;
    EXPECT_THROW(Font.Assign(&Pen), EConvertError);
}

TEST(BrushTest, AColourMakesAClearBrushSolidAndAssignCopiesThePattern) {
    TBrush Brush;
    Brush.SetStyle(bsClear);
    Brush.SetColor(clRed);
    EXPECT_EQ(Brush.Style(), bsSolid);
    Brush.SetStyle(bsCross);
    Brush.SetColor(clBlue);
    EXPECT_EQ(Brush.Style(), bsCross) << "only a clear brush turns solid";
    TBitmap Pattern(8, 8);
    Brush.SetBitmap(&Pattern);
    TBrush Copy;
    Copy.Assign(&Brush);
    ASSERT_NE(Copy.Bitmap(), nullptr);
    EXPECT_NE(Copy.Bitmap(), Brush.Bitmap()) << "the copy owns its pattern";
    EXPECT_EQ(Copy.Bitmap()->Width(), 8);
    EXPECT_EQ(Copy.Color(), clBlue);
}

TEST(GraphicsRegistryTest, FontBrushAndPenPublishWhatFormFilesWrite) {
    const TClassInfo* Font = FindClassInfo("TFont");
    ASSERT_NE(Font, nullptr);
    for (const char* Name : {"Charset", "Color", "Height", "Name", "Style", "Size"})
        EXPECT_NE(Font->FindProp(Name), nullptr) << Name;
    TFont Sample;
    EXPECT_FALSE(Font->FindProp("Size")->Stored(&Sample)) << "Height carries the size";
    const TPropInfo* Charset = Font->FindProp("Charset");
    ASSERT_NE(Charset->Idents, nullptr);
    bool Found = false;
    for (const auto& [Name, Value] : *Charset->Idents)
        Found |= std::string(Name) == "SHIFTJIS_CHARSET" && Value == SHIFTJIS_CHARSET;
    EXPECT_TRUE(Found);
    Font->FindProp("Style")->SetOrd(&Sample, TFontStyles{fsItalic}.Bits());
    EXPECT_TRUE(Sample.Style().Contains(fsItalic));

    const TClassInfo* Pen = FindClassInfo("TPen");
    ASSERT_NE(Pen, nullptr);
    EXPECT_EQ(Pen->FindProp("Width")->Default, TPen::DefaultWidth);
    EXPECT_EQ(Pen->FindProp("Mode")->Default, pmCopy);
    const TClassInfo* Brush = FindClassInfo("TBrush");
    ASSERT_NE(Brush, nullptr);
    EXPECT_EQ(Brush->FindProp("Color")->Default, clWhite);
}

// ---- Bitmaps and pictures

TEST(BitmapTest, ResizingKeepsThePixelsThatStillFitAndFillsTheRestWhite) {
    TBitmap B(4, 4);
    B.Canvas()->SetPixel(1, 1, clRed);
    B.SetSize(8, 2);
    EXPECT_EQ(B.Width(), 8);
    EXPECT_EQ(B.Height(), 2);
    EXPECT_EQ(B.Canvas()->Pixel(1, 1), clRed) << "the canvas follows the resized image";
    EXPECT_EQ(B.Canvas()->Pixel(7, 0), clWhite);
    B.SetSize(0, 0);
    EXPECT_TRUE(B.Empty());
}

TEST(BitmapTest, BadImageDataRaisesAndLeavesTheBitmapAsItWas) {
    TBitmap B(3, 3);
    B.Canvas()->SetPixel(0, 0, clBlue);
    EXPECT_THROW(B.LoadFromBytes("not an image at all"), EInvalidImage);
    EXPECT_THROW(B.LoadFromBytes(""), EInvalidImage);
    EXPECT_THROW(B.LoadFromResource("no-such-image.png"), EInvalidImage);
    EXPECT_EQ(B.Width(), 3);
    EXPECT_EQ(B.Canvas()->Pixel(0, 0), clBlue);
}

TEST(BitmapTest, FormDataKeepsTheBytesReadUntilTheImageChanges) {
    const std::string Bmp = BmpFile(2, 3, Solid(Red));
    TBitmap B;
    B.SetData(SizedBitmapData(Bmp));
    EXPECT_EQ(B.Width(), 2);
    EXPECT_EQ(B.Canvas()->Pixel(1, 2), clRed);
    EXPECT_EQ(B.Data(), SizedBitmapData(Bmp)) << "an unchanged image goes out as it came in";
    B.Canvas()->SetPixel(0, 0, clLime);
    TBitmap Reread;
    Reread.SetData(B.Data());
    EXPECT_EQ(Reread.Canvas()->Pixel(0, 0), clLime) << "a changed image is written anew";
    EXPECT_EQ(Reread.Canvas()->Pixel(1, 1), clRed);
}

TEST(BitmapTest, IconsKeepTheirTransparency) {
    TBitmap B;
    B.LoadFromBytes(IcoFile(4, 4, [](int X, int Y) { return X == 1 && Y == 1 ? Blue : 0u; }));
    TBitmap Target(4, 4);
    Target.Canvas()->Brush()->SetColor(clYellow);
    Target.Canvas()->FillRect(Rect(0, 0, 4, 4));
    Target.Canvas()->Draw(0, 0, &B);
    EXPECT_EQ(Target.Canvas()->Pixel(1, 1), clBlue);
    EXPECT_EQ(Target.Canvas()->Pixel(2, 2), clYellow);
}

TEST(PictureTest, DataOfThePlatformNamesTheGraphicClassAndIsKeptForWriting) {
    const std::string Bmp = BmpFile(5, 4, Solid(Blue));
    const std::string Data = std::string("\x07TBitmap", 8) + SizedBitmapData(Bmp);
    TPicture Picture;
    int Changes = 0;
    Picture.OnChange = [&](TObject*) { ++Changes; };
    Picture.SetData(Data);
    ASSERT_NE(Picture.Graphic(), nullptr);
    EXPECT_EQ(Picture.Graphic()->Width(), 5);
    EXPECT_EQ(Picture.Bitmap()->Canvas()->Pixel(4, 3), clBlue);
    EXPECT_GT(Changes, 0);
    EXPECT_EQ(Picture.Data(), Data);
    const std::string Ico = IcoFile(16, 16, Solid(Green));
    Picture.SetData(std::string("\x05TIcon", 6) + Ico);
    EXPECT_EQ(Picture.Bitmap()->Canvas()->Pixel(8, 8), clLime);
    TPicture Copy;
    Copy.Assign(&Picture);
    EXPECT_EQ(Copy.Data(), Picture.Data());
    Picture.SetData("");
    EXPECT_EQ(Picture.Graphic(), nullptr);
    EXPECT_EQ(Picture.Data(), "");
    EXPECT_THROW(Picture.SetData("\x07TBitmapgarbage"), EInvalidImage);
}

// ---- Canvas painting (pixels)

namespace {

class CanvasPixels : public testing::Test {
protected:
    CanvasPixels() : B(40, 40), C(B.Canvas()) {}
    int Count(const TRect& R, TColor Color) const {
        int N = 0;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                N += C->Pixel(X, Y) == Color;
        return N;
    }
    int CountNot(const TRect& R, TColor Color) const {
        return R.Width() * R.Height() - Count(R, Color);
    }
    TBitmap B;
    TCanvas* C;
};

} // namespace

TEST_F(CanvasPixels, FillRectCoversLeftAndTopButNotRightAndBottomAndDrawsNoOutline) {
    C->Pen()->SetColor(clBlack);
    C->Brush()->SetColor(clRed);
    C->FillRect(Rect(5, 6, 10, 12));
    EXPECT_EQ(Count(Rect(5, 6, 10, 12), clRed), 30);
    EXPECT_EQ(Count(Rect(0, 0, 40, 40), clRed), 30);
    C->Brush()->SetStyle(bsClear);
    C->FillRect(Rect(20, 20, 30, 30));
    EXPECT_EQ(Count(Rect(20, 20, 30, 30), clWhite), 100) << "a clear brush fills nothing";
}

TEST_F(CanvasPixels, FrameRectIsOnePixelOfBrushInsideTheRectangle) {
    C->Brush()->SetColor(clBlue);
    C->FrameRect(Rect(2, 2, 8, 6));
    EXPECT_EQ(Count(Rect(0, 0, 40, 40), clBlue), 2 * 6 + 2 * 2);
    EXPECT_EQ(C->Pixel(7, 5), clBlue);
    EXPECT_EQ(C->Pixel(8, 5), clWhite);
    EXPECT_EQ(C->Pixel(4, 4), clWhite);
}

TEST_F(CanvasPixels, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
    C->Pen()->SetColor(clBlack);
    C->Brush()->SetColor(clYellow);
    C->Rectangle(0, 0, 49, 49);
    C->Rectangle(2, 3, 7, 9);
    EXPECT_EQ(C->Pixel(2, 3), clBlack);
    EXPECT_EQ(C->Pixel(6, 8), clBlack);
    EXPECT_EQ(C->Pixel(7, 8), clYellow) << "right edge excluded";
    EXPECT_EQ(C->Pixel(6, 9), clYellow) << "bottom edge excluded";
    EXPECT_EQ(Count(Rect(3, 4, 6, 8), clYellow), 12);
    EXPECT_EQ(Count(Rect(2, 3, 7, 9), clBlack), 2 * 5 + 2 * 4);
}

TEST_F(CanvasPixels, RectangleWithAClearPenLosesItsLastRowAndColumn) {
    C->Pen()->SetStyle(psClear);
    C->Brush()->SetColor(clRed);
    C->Rectangle(10, 10, 15, 14);
    EXPECT_EQ(Count(Rect(0, 0, 40, 40), clRed), 4 * 3);
    EXPECT_EQ(C->Pixel(13, 12), clRed);
    EXPECT_EQ(C->Pixel(14, 12), clWhite);
    EXPECT_EQ(C->Pixel(13, 13), clWhite);
}

TEST_F(CanvasPixels, LineToLeavesOutItsEndPointAndMovesThePen) {
    C->Pen()->SetColor(clBlack);
    C->MoveTo(0, 0);
    C->LineTo(10, 0);
    EXPECT_EQ(Count(Rect(0, 0, 40, 1), clBlack), 10);
    EXPECT_EQ(C->Pixel(10, 0), clWhite);
    EXPECT_EQ(C->PenPos(), (TPoint{10, 0}));
    C->LineTo(10, 5);
    EXPECT_EQ(C->Pixel(10, 0), clBlack) << "the next line starts where the last one ended";
    EXPECT_EQ(C->Pixel(10, 5), clWhite);
    C->MoveTo(20, 20);
    C->LineTo(25, 25);
    EXPECT_EQ(Count(Rect(20, 20, 26, 26), clBlack), 5);
    EXPECT_EQ(C->Pixel(24, 24), clBlack);
    EXPECT_EQ(C->Pixel(25, 25), clWhite);
    C->MoveTo(30, 30);
    C->LineTo(30, 30);
    EXPECT_EQ(C->Pixel(30, 30), clWhite) << "a line of length 0 draws nothing";
}

TEST_F(CanvasPixels, PenModesInvertXorAndCopy) {
    C->Brush()->SetColor(clRed);
    C->FillRect(Rect(0, 0, 40, 2));
    C->Pen()->SetMode(pmNot);
    C->MoveTo(0, 0);
    C->LineTo(5, 0);
    EXPECT_EQ(C->Pixel(0, 0), clAqua) << "not red is cyan";
    EXPECT_EQ(C->Pixel(5, 0), clRed);
    C->Pen()->SetMode(pmXor);
    C->Pen()->SetColor(clWhite);
    C->MoveTo(0, 1);
    C->LineTo(5, 1);
    EXPECT_EQ(C->Pixel(2, 1), clAqua);
    C->MoveTo(0, 1);
    C->LineTo(5, 1);
    EXPECT_EQ(C->Pixel(2, 1), clRed) << "xor twice restores";
    C->Pen()->SetMode(pmNop);
    C->MoveTo(0, 1);
    C->LineTo(5, 1);
    EXPECT_EQ(C->Pixel(2, 1), clRed);
}

TEST_F(CanvasPixels, AnXorRectangleTogglesEveryOutlinePixelOnce) {
    C->Pen()->SetMode(pmXor);
    C->Pen()->SetColor(clWhite);
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(5, 5, 10, 10);
    EXPECT_EQ(Count(Rect(5, 5, 10, 10), clBlack), 16) << "corners are not toggled twice";
    EXPECT_EQ(Count(Rect(6, 6, 9, 9), clWhite), 9);
}

TEST_F(CanvasPixels, StyledAndClearPens) {
    C->Pen()->SetStyle(psDot);
    C->MoveTo(0, 0);
    C->LineTo(30, 0);
    const int Dotted = Count(Rect(0, 0, 30, 1), clBlack);
    EXPECT_GT(Dotted, 0);
    EXPECT_LT(Dotted, 30);
    C->Pen()->SetStyle(psClear);
    C->MoveTo(0, 5);
    C->LineTo(30, 5);
    EXPECT_EQ(Count(Rect(0, 5, 30, 6), clBlack), 0);
    EXPECT_EQ(C->PenPos(), (TPoint{30, 5}));
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetWidth(3);
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(10, 10, 20, 20);
    EXPECT_EQ(C->Pixel(12, 15), clBlack) << "a wide pen paints inside the frame";
    EXPECT_EQ(C->Pixel(13, 15), clWhite);
    EXPECT_EQ(C->Pixel(20, 15), clWhite);
}

TEST_F(CanvasPixels, PixelsAreBgrValuesAndOutsideTheImageNone) {
    C->SetPixel(3, 4, RGB(1, 2, 3));
    EXPECT_EQ(C->Pixel(3, 4), 0x030201);
    C->SetPixel(3, 5, clBtnFace);
    EXPECT_EQ(static_cast<std::uint32_t>(C->Pixel(3, 5)), ColorToRGB(clBtnFace));
    EXPECT_EQ(C->Pixel(-1, 0), clNone);
    EXPECT_EQ(C->Pixel(40, 0), clNone);
    C->SetPixel(40, 40, clRed);
}

TEST_F(CanvasPixels, ClipRectangleRestrictsEveryOperation) {
    C->SetClipRect(Rect(10, 10, 20, 20));
    EXPECT_EQ(C->ClipRect(), Rect(10, 10, 20, 20));
    C->Brush()->SetColor(clRed);
    C->FillRect(Rect(0, 0, 40, 40));
    C->SetPixel(5, 5, clRed);
    C->MoveTo(0, 30);
    C->LineTo(40, 30);
    EXPECT_EQ(Count(Rect(0, 0, 40, 40), clRed), 100);
    EXPECT_EQ(Count(Rect(0, 0, 40, 40), clBlack), 0);
    C->ResetClip();
    EXPECT_EQ(C->ClipRect(), Rect(0, 0, 40, 40));
    C->SetPixel(5, 5, clRed);
    EXPECT_EQ(C->Pixel(5, 5), clRed);
}

TEST_F(CanvasPixels, CopyDrawAndStretchDraw) {
    C->Brush()->SetColor(clRed);
    C->FillRect(Rect(0, 0, 2, 2));
    C->CopyRect(Rect(10, 10, 12, 12), C, Rect(0, 0, 2, 2));
    EXPECT_EQ(Count(Rect(10, 10, 12, 12), clRed), 4);
    C->CopyRect(Rect(1, 1, 3, 3), C, Rect(0, 0, 2, 2));
    EXPECT_EQ(C->Pixel(2, 2), clRed) << "an overlapping copy reads the source before writing";
    TBitmap Small(2, 1);
    Small.Canvas()->SetPixel(0, 0, clBlue);
    Small.Canvas()->SetPixel(1, 0, clLime);
    C->Draw(20, 20, &Small);
    EXPECT_EQ(C->Pixel(20, 20), clBlue);
    EXPECT_EQ(C->Pixel(21, 20), clLime);
    C->StretchDraw(Rect(30, 30, 34, 32), &Small);
    EXPECT_EQ(Count(Rect(30, 30, 32, 32), clBlue), 4);
    EXPECT_EQ(Count(Rect(32, 30, 34, 32), clLime), 4);
    EXPECT_EQ(C->Pixel(34, 30), clWhite);
}

namespace {

class TextPixels : public CanvasPixels {
protected:
    TextPixels() {
        B.SetSize(200, 80);
        C->Font()->SetName("ＭＳ ゴシック"_sj);
        C->Font()->SetHeight(-12);
        C->Font()->SetColor(clBlack);
    }
    // The bounding box of the pixels that are not white.
    TRect Ink(const TRect& Within) const {
        TRect R{Within.Right, Within.Bottom, Within.Left, Within.Top};
        for (int Y = Within.Top; Y < Within.Bottom; ++Y)
            for (int X = Within.Left; X < Within.Right; ++X)
                if (C->Pixel(X, Y) != clWhite) {
                    R.Left = std::min(R.Left, X);
                    R.Top = std::min(R.Top, Y);
                    R.Right = std::max(R.Right, X + 1);
                    R.Bottom = std::max(R.Bottom, Y + 1);
                }
        return R;
    }
    TRect Whole() const { return Rect(0, 0, B.Width(), B.Height()); }
};

} // namespace

TEST_F(TextPixels, WidthsAddUp) {
    EXPECT_EQ(C->TextWidth("ab"), C->TextWidth("a") + C->TextWidth("b"));
    EXPECT_EQ(C->TextWidth("あ"_sj), 12) << "a full-width character of a 12-pixel font";
    EXPECT_EQ(C->TextWidth(""), 0);
}

TEST_F(TextPixels, ASolidBrushBacksTheTextCellAndAClearBrushLeavesTheBackground) {
    C->Brush()->SetColor(clYellow);
    C->TextOut(10, 5, "Hi");
    const TRect Cell = Bounds(10, 5, C->TextWidth("Hi"), C->TextHeight("Hi"));
    EXPECT_EQ(Ink(Whole()), Cell);
    EXPECT_GT(Count(Cell, clBlack), 0);
    EXPECT_EQ(Count(Cell, clBlack) + Count(Cell, clYellow), Cell.Width() * Cell.Height());
    EXPECT_EQ(C->PenPos(), (TPoint{10 + Cell.Width(), 5}));

    C->Brush()->SetStyle(bsClear);
    C->TextOut(10, 40, "Hi");
    const TRect Clear = Bounds(10, 40, Cell.Width(), Cell.Height());
    EXPECT_EQ(Count(Clear, clYellow), 0);
    EXPECT_EQ(Count(Clear, clBlack), Count(Cell, clBlack)) << "the same glyphs";
}

TEST_F(TextPixels, SetBkModeMakesTextTransparentUntilTheBrushChanges) {
    C->Brush()->SetColor(clYellow);
    EXPECT_EQ(C->SetBkMode(TRANSPARENT), OPAQUE);
    C->TextOut(0, 0, "x");
    EXPECT_EQ(Count(Whole(), clYellow), 0);
    C->Brush()->SetColor(clYellow);
    C->TextOut(0, 40, "x");
    EXPECT_GT(Count(Whole(), clYellow), 0) << "choosing a brush again makes it opaque";
}

TEST_F(TextPixels, AlignmentChoosesTheReferencePoint) {
    C->Brush()->SetColor(clYellow);
    const int W = C->TextWidth("Ab"), H = C->TextHeight("Ab");
    const std::pair<unsigned, TRect> Cases[] = {
        {TA_LEFT | TA_TOP, Bounds(100, 30, W, H)},
        {TA_RIGHT | TA_TOP, Bounds(100 - W, 30, W, H)},
        {TA_CENTER | TA_TOP, Bounds(100 - W / 2, 30, W, H)},
        {TA_LEFT | TA_BOTTOM, Bounds(100, 30 - H, W, H)},
    };
    for (const auto& [Align, Expected] : Cases) {
        C->Brush()->SetColor(clWhite);
        C->FillRect(Whole());
        C->Brush()->SetColor(clYellow);
        C->SetTextAlign(Align);
        C->TextOut(100, 30, "Ab");
        EXPECT_EQ(Ink(Whole()), Expected) << "align " << Align;
    }
}

TEST_F(TextPixels, TextRectFillsItsRectangleAndClipsTheText) {
    C->Brush()->SetColor(clYellow);
    C->TextRect(Rect(10, 10, 20, 30), 5, 12, "WWWW");
    EXPECT_EQ(Ink(Whole()), Rect(10, 10, 20, 30));
    EXPECT_EQ(Count(Rect(10, 10, 20, 30), clWhite), 0);
    C->Brush()->SetStyle(bsClear);
    C->TextRect(Rect(50, 10, 60, 30), 45, 12, "WWWW");
    EXPECT_EQ(Count(Rect(50, 10, 60, 30), clYellow), 0);
    const TRect Drawn = Ink(Rect(40, 0, 100, 40));
    EXPECT_GE(Drawn.Left, 50);
    EXPECT_LE(Drawn.Right, 60);
    EXPECT_GT(Count(Rect(50, 10, 60, 30), clBlack), 0);
}

TEST_F(TextPixels, DrawTextWrapsAtSpacesAndBetweenDoubleByteCharacters) {
    const int Line = C->TextHeight("A");
    TRect R = Rect(0, 0, C->TextWidth("aaa bbb") - 1, 0);
    EXPECT_EQ(C->DrawText("aaa bbb", R, DT_WORDBREAK | DT_CALCRECT), 2 * Line);
    EXPECT_EQ(R.Bottom, 2 * Line);
    EXPECT_EQ(R.Right, C->TextWidth("bbb"));
    EXPECT_EQ(Count(Whole(), clWhite), 200 * 80) << "measuring draws nothing";

    R = Rect(0, 0, 2 * 12, 0);
    EXPECT_EQ(C->DrawText("あいうえお"_sj, R, DT_WORDBREAK | DT_CALCRECT), 3 * Line);
    R = Rect(0, 0, 5, 0);
    EXPECT_EQ(C->DrawText("abcdefgh", R, DT_WORDBREAK | DT_CALCRECT), Line)
        << "a word wider than the line stays whole";
    EXPECT_EQ(R.Right, C->TextWidth("abcdefgh"));
    R = Rect(0, 0, 200, 0);
    EXPECT_EQ(C->DrawText("one\r\ntwo\rthree\nfour", R, DT_CALCRECT), 4 * Line);
    EXPECT_EQ(C->DrawText("one\r\n", R, DT_CALCRECT), Line) << "a final break adds no line";
    EXPECT_EQ(C->DrawText("a\r\nb", R, DT_CALCRECT | DT_SINGLELINE), Line);
    EXPECT_EQ(C->DrawText("", R, DT_CALCRECT), 0);
}

TEST_F(TextPixels, DrawTextUnderlinesTheAccessKeyAndShowsADoubledAmpersandOnce) {
    TRect R = Rect(0, 0, 200, 80);
    EXPECT_EQ(C->DrawText("a&&b", R, DT_CALCRECT), C->TextHeight("a"));
    EXPECT_EQ(R.Right, C->TextWidth("a&b"));
    R = Rect(0, 0, 200, 80);
    C->DrawText("&&", R, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(R.Right, C->TextWidth("&&"));

    R = Rect(0, 0, 200, 40);
    C->Brush()->SetStyle(bsClear);
    C->DrawText("-&-", R, DT_LEFT);
    R = Rect(0, 40, 200, 80);
    C->DrawText("--", R, DT_LEFT);
    const TRect Plain = Ink(Rect(0, 40, 200, 80));
    const int Dash = C->TextWidth("-");
    const TRect Underline = Ink(Rect(0, Plain.Bottom - 40, 200, 40));
    EXPECT_EQ(Underline.Left, Dash) << "only the second dash is underlined";
    EXPECT_EQ(Underline.Right, 2 * Dash);
}

TEST_F(TextPixels, DrawTextAlignsAndClipsToItsRectangle) {
    C->Brush()->SetColor(clYellow);
    const int W = C->TextWidth("Ab"), H = C->TextHeight("Ab");
    TRect R = Rect(10, 10, 110, 50);
    C->DrawText("Ab", R, DT_RIGHT);
    EXPECT_EQ(Ink(Whole()), Bounds(110 - W, 10, W, H));
    C->Brush()->SetColor(clWhite);
    C->FillRect(Whole());
    C->Brush()->SetColor(clYellow);
    EXPECT_EQ(C->DrawText("Ab", R, DT_CENTER | DT_VCENTER | DT_SINGLELINE), (40 - H) / 2 + H);
    EXPECT_EQ(Ink(Whole()), Bounds(10 + (100 - W) / 2, 10 + (40 - H) / 2, W, H));
    C->Brush()->SetColor(clWhite);
    C->FillRect(Whole());
    C->Brush()->SetColor(clYellow);
    R = Rect(10, 10, 15, 50);
    C->DrawText("Ab", R, DT_LEFT);
    EXPECT_EQ(Ink(Whole()), Rect(10, 10, 15, 10 + H));
    C->DrawText("Ab", R, DT_LEFT | DT_NOCLIP);
    EXPECT_EQ(Ink(Whole()), Rect(10, 10, 10 + W, 10 + H));
}

TEST_F(TextPixels, RotatedTextTurnsCounterClockwiseAroundItsReferencePoint) {
    C->Brush()->SetColor(clYellow);
    const int W = C->TextWidth("Ab"), H = C->TextHeight("Ab");
    C->TextOutRotated(40, 70, 900, "Ab");
    EXPECT_EQ(Ink(Whole()), Rect(40, 70 - W, 40 + H, 70));
    C->Brush()->SetColor(clWhite);
    C->FillRect(Whole());
    C->Brush()->SetColor(clYellow);
    C->TextOutRotated(40, 10, 2700, "Ab");
    EXPECT_EQ(Ink(Whole()), Rect(40 - H, 10, 40, 10 + W));
}
