// Graphics on Qt: system colours from the toolkit's palette, fonts as Qt resolves them, a canvas
// bound to a Qt image, text metrics against Qt's, and a canvas on an image of a high-density
// screen.
#include "Graphics.h"
#include "WinApi.h"
#include "qt/DeviceImages.h"
#include "qt/QtHost.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPalette>
#include <gtest/gtest.h>

#include <functional>

namespace {

using DeviceImages::Misplaced;
using DeviceImages::MixedBlocks;

std::uint32_t PaletteRGB(QPalette::ColorGroup Group, QPalette::ColorRole Role) {
    const QColor C = QGuiApplication::palette().color(Group, Role);
    return RGB(C.red(), C.green(), C.blue());
}

// A white bitmap with a 12-pixel Gothic font in black on its canvas.
class TextQt : public testing::Test {
protected:
    TextQt() : B(200, 80), C(B.Canvas()) {
        C->Font()->SetName("ＭＳ ゴシック"_sj);
        C->Font()->SetHeight(-12);
        C->Font()->SetColor(clBlack);
    }
    // The bounding box of the pixels that are not white.
    TRect Ink() const {
        TRect R{B.Width(), B.Height(), 0, 0};
        for (int Y = 0; Y < B.Height(); ++Y)
            for (int X = 0; X < B.Width(); ++X)
                if (C->Pixel(X, Y) != clWhite) {
                    R.Left = std::min(R.Left, X);
                    R.Top = std::min(R.Top, Y);
                    R.Right = std::max(R.Right, X + 1);
                    R.Bottom = std::max(R.Bottom, Y + 1);
                }
        return R;
    }
    TBitmap B;
    TCanvas* C;
};

// Fills, frames, rectangles, lines of every kind of one-pixel pen, hatches, bands as the
// gradients paint them, a set pixel and a copied area: what must keep its logical pixels at any
// ratio. (The copy copies device pixels as they are, so its source and destination lie alike on
// the device pixels at every ratio below: at multiples of 4.)
void PaintShapes(TCanvas& C) {
    C.Brush()->SetColor(clRed);
    C.FillRect(Rect(3, 4, 17, 11));
    C.Brush()->SetColor(clBlue);
    C.FrameRect(Rect(20, 2, 31, 9));
    C.Pen()->SetColor(clBlack);
    C.Brush()->SetColor(clYellow);
    C.Rectangle(33, 3, 45, 12);
    C.Pen()->SetWidth(3);
    C.Rectangle(46, 2, 58, 14);
    C.Pen()->SetWidth(1);
    C.Pen()->SetStyle(psClear);
    C.Rectangle(5, 13, 12, 17);
    C.Pen()->SetStyle(psSolid);
    C.Pen()->SetColor(clGreen);
    C.MoveTo(2, 20);
    C.LineTo(30, 20);
    C.LineTo(30, 35);
    C.LineTo(5, 27);
    C.Pen()->SetStyle(psDot);
    C.LineTo(5, 34);
    C.Pen()->SetStyle(psSolid);
    C.Pen()->SetMode(pmNot);
    C.MoveTo(1, 7);
    C.LineTo(19, 7);
    C.Pen()->SetMode(pmCopy);
    C.Brush()->SetStyle(bsCross);
    C.Brush()->SetColor(clNavy);
    C.FillRect(Rect(35, 17, 57, 30));
    C.Brush()->SetStyle(bsSolid);
    for (int Band = 0; Band < 16; ++Band) {
        C.Brush()->SetColor(static_cast<TColor>(RGB(Band * 16, 255 - Band * 16, 128)));
        C.FillRect(Rect(MulDiv(Band, 61, 16), 36, MulDiv(Band + 1, 61, 16), 40));
    }
    C.SetPixel(55, 33, clLime);
    C.CopyRect(Rect(40, 32, 50, 36), &C, Rect(4, 4, 14, 8));
}

QImage Painted(const TDeviceMap& Map, const std::function<void(TCanvas&)>& Paint) {
    QImage Image(Map.Size({61, 40}), QImage::Format_RGB32);
    Image.fill(Qt::white);
    TCanvas Canvas;
    TGraphicsAccess::BeginPaint(Canvas, Image, {}, Map);
    Paint(Canvas);
    TGraphicsAccess::EndPaint(Canvas);
    return Image;
}

void Put(QByteArray& Out, int Value, int Bytes) {
    for (int I = 0; I < Bytes; ++I)
        Out.append(char(Value >> 8 * I & 0xFF));
}

// An icon file of two pictures: red at 32 x 32 (first), blue at 64 x 64 as PNG.
std::string TwoSizeIcon() {
    QImage Small(32, 32, QImage::Format_ARGB32), Large(64, 64, QImage::Format_ARGB32);
    Small.fill(Qt::red);
    Large.fill(Qt::blue);
    QByteArray Single, Png;
    QBuffer SingleBuffer(&Single), PngBuffer(&Png);
    SingleBuffer.open(QIODevice::WriteOnly);
    PngBuffer.open(QIODevice::WriteOnly);
    QImageWriter(&SingleBuffer, "ico").write(Small);
    Large.save(&PngBuffer, "png");
    const QByteArray SmallData = Single.mid(22);
    QByteArray File;
    Put(File, 0, 2);
    Put(File, 1, 2);
    Put(File, 2, 2);
    File.append(Single.mid(6, 8));
    Put(File, static_cast<int>(SmallData.size()), 4);
    Put(File, 38, 4);
    Put(File, 64, 1);
    Put(File, 64, 1);
    Put(File, 0, 2);
    Put(File, 1, 2);
    Put(File, 32, 2);
    Put(File, static_cast<int>(Png.size()), 4);
    Put(File, 38 + static_cast<int>(SmallData.size()), 4);
    return (File + SmallData + Png).toStdString();
}

} // namespace

TEST(ColorQt, SystemColoursComeFromThePalette) {
    EXPECT_EQ(ColorToRGB(clBtnFace), PaletteRGB(QPalette::Active, QPalette::Button));
    EXPECT_EQ(ColorToRGB(clWindow), PaletteRGB(QPalette::Active, QPalette::Base));
    EXPECT_EQ(ColorToRGB(clWindowText), PaletteRGB(QPalette::Active, QPalette::Text));
    EXPECT_EQ(ColorToRGB(clHighlight), PaletteRGB(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(ColorToRGB(clHighlightText), PaletteRGB(QPalette::Active, QPalette::HighlightedText));
    EXPECT_EQ(ColorToRGB(clBtnShadow), PaletteRGB(QPalette::Active, QPalette::Dark));
    EXPECT_EQ(ColorToRGB(clBtnHighlight), PaletteRGB(QPalette::Active, QPalette::Light));
    EXPECT_EQ(ColorToRGB(clGrayText), PaletteRGB(QPalette::Disabled, QPalette::Text));
    EXPECT_EQ(ColorToRGB(clBtnText), PaletteRGB(QPalette::Active, QPalette::ButtonText));
    EXPECT_EQ(ColorToRGB(cl3DDkShadow), PaletteRGB(QPalette::Active, QPalette::Shadow));
    EXPECT_EQ(ColorToRGB(cl3DLight), PaletteRGB(QPalette::Active, QPalette::Midlight));
    EXPECT_EQ(ColorToRGB(clInfoBk), PaletteRGB(QPalette::Active, QPalette::ToolTipBase));
    EXPECT_EQ(ColorToRGB(clInfoText), PaletteRGB(QPalette::Active, QPalette::ToolTipText));
}

TEST(FontTest, JapaneseSystemFontsAreShownInTheInstalledIpaFonts) {
    const std::pair<const char*, const char*> Cases[] = {
        {"ＭＳ Ｐゴシック", "IPAPGothic"},
        {"ＭＳ ゴシック", "IPAGothic"},
        {"ＭＳ Ｐ明朝", "IPAPMincho"},
        {"ＭＳ 明朝", "IPAMincho"},
    };
    for (const auto& [Name, Installed] : Cases) {
        AnsiString Ansi;
        ASSERT_TRUE(Utf8ToAnsi(Name, Ansi));
        TFont Font;
        Font.SetName(Ansi);
        EXPECT_EQ(QFontInfo(ToQFont(Font)).family(), Installed) << Name;
    }
}

TEST(FontTest, UnknownAndWesternNamesResolveToAnInstalledFont) {
    for (const char* Name : {"MS Sans Serif", "No Such Font Anywhere"}) {
        TFont Font;
        Font.SetName(Name);
        const QString Family = QFontInfo(ToQFont(Font)).family();
        EXPECT_TRUE(QFontDatabase::hasFamily(Family)) << Name << " -> " << Family.toStdString();
    }
}

TEST(FontTest, NegativeHeightIsThePixelSizeAndPositiveHeightTheCellHeight) {
    TFont Font;
    Font.SetName("ＭＳ Ｐゴシック"_sj);
    Font.SetHeight(-16);
    EXPECT_EQ(QFontInfo(ToQFont(Font)).pixelSize(), 16);
    Font.SetHeight(20);
    const QFontMetrics M(ToQFont(Font));
    EXPECT_NEAR(M.ascent() + M.descent(), 20, 1);
    EXPECT_LT(QFontInfo(ToQFont(Font)).pixelSize(), 20) << "the cell includes the leading";
    EXPECT_EQ(ToQFont(Font).styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
}

TEST(CanvasQt, AnOffsetMovesTheOriginOfEveryOperation) {
    QImage Image(20, 20, QImage::Format_RGB32);
    Image.fill(Qt::white);
    TCanvas Canvas;
    TGraphicsAccess::BeginPaint(Canvas, Image, {5, 7});
    Canvas.Brush()->SetColor(clRed);
    Canvas.FillRect(Rect(0, 0, 2, 2));
    EXPECT_EQ(Canvas.Pixel(0, 0), clRed);
    EXPECT_EQ(Canvas.ClipRect(), Rect(-5, -7, 15, 13));
    TGraphicsAccess::EndPaint(Canvas);
    EXPECT_EQ(QColor(Image.pixel(5, 7)), QColor(Qt::red));
    EXPECT_EQ(QColor(Image.pixel(4, 7)), QColor(Qt::white));
    EXPECT_FALSE(Canvas.Painting());
    Canvas.FillRect(Rect(0, 0, 2, 2));
}

TEST_F(TextQt, HeightIsAscentPlusDescent) {
    const QFontMetrics M(ToQFont(*C->Font()));
    EXPECT_EQ(C->TextHeight("A"), M.ascent() + M.descent());
}

TEST_F(TextQt, BaselineAlignmentPutsTheAscentAboveThePoint) {
    const int W = C->TextWidth("Ab"), H = C->TextHeight("Ab");
    const int Ascent = QFontMetrics(ToQFont(*C->Font())).ascent();
    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, 200, 80));
    C->Brush()->SetColor(clYellow);
    C->SetTextAlign(TA_LEFT | TA_BASELINE);
    C->TextOut(100, 30, "Ab");
    EXPECT_EQ(Ink(), Bounds(100, 30 - Ascent, W, H));
}

TEST(CanvasRatioQt, FillsAndLinesCoverTheDevicePixelsOfTheirLogicalPixels) {
    const QImage Logical = Painted({}, PaintShapes);
    for (const TDeviceMap& Map :
         {TDeviceMap{2, {}}, TDeviceMap{1.5, {}}, TDeviceMap{1.25, {0.25, -0.5}}}) {
        EXPECT_EQ(Misplaced(Logical, Painted(Map, PaintShapes), Map), "") << Map.Ratio;
    }
}

TEST(CanvasRatioQt, TheCanvasKeepsLogicalCoordinates) {
    Painted({1.5, {}}, [](TCanvas& C) {
        EXPECT_EQ(C.ClipRect(), Rect(0, 0, 61, 40));
        C.SetClipRect(Rect(10, 10, 20, 20));
        C.SetPixel(9, 10, clRed);
        C.SetPixel(19, 19, clRed);
        EXPECT_EQ(C.Pixel(9, 10), clWhite);
        EXPECT_EQ(C.Pixel(19, 19), clRed);
        EXPECT_EQ(C.Pixel(61, 0), clNone);
    });
}

// The font engine draws the glyphs at the device size: at ratio 2 they are not doubled pixels,
// and they stay within the doubled cell and the doubled clip.
TEST_F(TextQt, TextAtRatioTwoIsDrawnAtTheDeviceSize) {
    const int Height = C->TextHeight("A");
    const int Width = C->TextWidth("異形棒鋼 SD295A"_sj);
    const QImage Image = Painted({2, {}}, [](TCanvas& D) {
        D.Font()->SetName("ＭＳ ゴシック"_sj);
        D.Font()->SetHeight(-12);
        D.TextOut(2, 2, "異形棒鋼 SD295A"_sj);
        D.Brush()->SetStyle(bsClear);
        D.TextRect(Rect(2, 20, 30, 30), 2, 20, "異形棒鋼 SD295A"_sj);
    });
    const QRect Cell(4, 4, 2 * Width, 2 * Height);
    EXPECT_GT(MixedBlocks(Image, Cell), 20);
    QRect Ink;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (QColor(Image.pixel(X, Y)) != QColor(Qt::white))
                Ink |= QRect(X, Y, 1, 1);
    EXPECT_TRUE(Cell.united(QRect(4, 40, 56, 20)).contains(Ink))
        << Ink.x() << "," << Ink.y() << " " << Ink.width() << "x" << Ink.height();
    EXPECT_GT(Ink.right(), 2 * 30 - 8) << "the clipped text reaches the doubled clip's edge";
}

// Until the icon is painted on: then only its own picture shows what it holds.
TEST(CanvasRatioQt, AnIconIsDrawnFromItsLargerPictureWhereTheDeviceHasMorePixels) {
    TIcon Icon;
    Icon.LoadFromBytes(TwoSizeIcon());
    EXPECT_EQ(Icon.Width(), 32);
    const auto Shown = [&Icon](double Ratio) {
        const QImage Image = Painted({Ratio, {}}, [&Icon](TCanvas& C) { C.Draw(4, 4, &Icon); });
        return QColor(Image.pixel(TDeviceMap{Ratio, {}}.X(20), TDeviceMap{Ratio, {}}.Y(20)));
    };
    EXPECT_EQ(Shown(1), QColor(Qt::red));
    EXPECT_EQ(Shown(2), QColor(Qt::blue));
    Icon.Canvas()->Brush()->SetColor(clLime);
    Icon.Canvas()->FillRect(Rect(0, 0, 32, 32));
    EXPECT_EQ(Shown(2), QColor(Qt::green));
}
