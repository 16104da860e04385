// Graphics on Qt: system colours from the toolkit's palette, fonts as Qt resolves them, a canvas
// bound to a Qt image, and text metrics against Qt's.
#include "Graphics.h"
#include "WinApi.h"
#include "qt/QtHost.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

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
