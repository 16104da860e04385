// The box label: frame rings, text placement against a reference drawn with the same canvas
// rules, the disabled emboss, the access-key mark, the text limit and which setters repaint.
#include "BoxLabl.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace BoxLabl;

namespace {

std::uint32_t Rgb(TColor Color) {
    return ColorToRGB(Color);
}

std::uint32_t Pixel(TBitmap& Image, int X, int Y) {
    return static_cast<std::uint32_t>(Image.Canvas()->Pixel(X, Y));
}

bool SameImage(TBitmap& A, TBitmap& B) {
    if (A.Width() != B.Width() || A.Height() != B.Height())
        return false;
    for (int Y = 0; Y < A.Height(); ++Y)
        for (int X = 0; X < A.Width(); ++X)
            if (Pixel(A, X, Y) != Pixel(B, X, Y))
                return false;
    return true;
}

// A label with white 12-pixel text on navy, as the forms' command captions.
void Style(TBoxLabel& Label, int W, int H, const AnsiString& Caption) {
    Label.SetBounds(0, 0, W, H);
    Label.SetColor(clNavy);
    Label.Font()->SetColor(clWhite);
    Label.Font()->SetHeight(-12);
    Label.SetCaption(Caption);
}

// What the label should show: its background, a frame drawn by Frame, and Text drawn into the
// rectangle that Place computes from the measured text size.
std::unique_ptr<TBitmap> Reference(const TBoxLabel& Label, const AnsiString& Text,
                                   const std::function<TRect(int W, int H)>& Place, unsigned Flags,
                                   const std::function<void(TCanvas*)>& Frame = nullptr) {
    auto Image = std::make_unique<TBitmap>(Label.Width(), Label.Height());
    TCanvas* C = Image->Canvas();
    C->Brush()->SetColor(Label.Color());
    C->FillRect(Rect(0, 0, Label.Width(), Label.Height()));
    if (Frame)
        Frame(C);
    C->SetFont(Label.Font());
    TRect Size = Rect(0, 0, Label.Width(), Label.Height());
    C->DrawText(Text, Size, DT_CALCRECT);
    TRect R = Place(Size.Width(), Size.Height());
    C->Brush()->SetColor(Label.Color());
    C->DrawText(Text, R, Flags);
    return Image;
}

void BlackBorder(TCanvas* C, int W, int H) {
    C->Brush()->SetColor(clBlack);
    C->FrameRect(Rect(0, 0, W, H));
}

TEST(BoxLabelTest, NewLabelHasItsInitialValues) {
    TBoxLabel Label(nullptr);
    EXPECT_EQ(Label.Width(), 70);
    EXPECT_EQ(Label.Height(), 20);
    EXPECT_EQ(Label.Color(), clBtnFace);
    EXPECT_EQ(Label.Alignment(), taCenter);
    EXPECT_EQ(Label.HorizontalAlign(), haCenter);
    EXPECT_EQ(Label.TextBorder(), 2);
    EXPECT_EQ(Label.BorderStyle(), BoxLabl::bsNone);
    EXPECT_EQ(Label.BevelInner(), bvLowered);
    EXPECT_EQ(Label.BevelOuter(), bvRaised);
    EXPECT_EQ(Label.BevelWidth(), 1);
    EXPECT_EQ(Label.Caption(), "");
    // The unit's own order, not the layer's.
    EXPECT_EQ(static_cast<int>(bvRaised), 0);
    EXPECT_EQ(static_cast<int>(BoxLabl::bvNone), 1);
    EXPECT_EQ(static_cast<int>(BoxLabl::bsSingle), 0);
}

TEST(BoxLabelTest, HalvesRoundToTheEvenNeighbour) {
    const std::pair<int, int> Cases[] = {{3, 2}, {2, 1},  {1, 0},   {5, 2},   {7, 4},
                                         {0, 0}, {-1, 0}, {-3, -2}, {-5, -2}, {-4, -2}};
    for (const auto& [N, Half] : Cases)
        EXPECT_EQ(HalfToEven(N), Half) << N;
}

TEST(BoxLabelTest, DefaultFrameIsARaisedRingAroundALoweredRing) {
    TBoxLabel Label(nullptr);
    Label.SetColor(clYellow);
    auto Image = Label.Snapshot();
    const std::uint32_t White = Rgb(clWhite), Shadow = Rgb(clBtnShadow);
    struct TProbe {
        int X, Y;
        std::uint32_t Color;
    };
    const TProbe Probes[] = {
        {0, 0, White},         {68, 0, White},          {0, 19, White},  {69, 0, Shadow},
        {69, 19, Shadow},      {1, 19, Shadow},         {1, 1, Shadow},  {67, 1, Shadow},
        {1, 18, Shadow},       {68, 1, White},          {68, 18, White}, {2, 18, White},
        {2, 2, Rgb(clYellow)}, {67, 17, Rgb(clYellow)},
    };
    for (const TProbe& P : Probes)
        EXPECT_EQ(Pixel(*Image, P.X, P.Y), P.Color) << P.X << "," << P.Y;
}

TEST(BoxLabelTest, TextIsPlacedInsideTheFrameByBothAlignments) {
    TBoxLabel Label(nullptr);
    Style(Label, 80, 20, "III");
    const int W = 80, H = 20;
    auto Centred = [&](int Inset) {
        return [=](int, int TH) {
            const int Top = HalfToEven(H - TH);
            return Rect(Inset, Top, W - Inset, Top + TH);
        };
    };
    // Plain: no frame, the caption centred in the whole label.
    Label.SetBevelOuter(BoxLabl::bvNone);
    Label.SetBevelInner(BoxLabl::bvNone);
    EXPECT_TRUE(SameImage(*Label.Snapshot(), *Reference(Label, "III", Centred(0), DT_CENTER)));
    // Single border: inset 1, left text from x = 2, right text ending at W - 3.
    Label.SetBorderStyle(BoxLabl::bsSingle);
    auto Border = [&](TCanvas* C) { BlackBorder(C, W, H); };
    Label.SetAlignment(taLeftJustify);
    Label.SetHorizontalAlign(haTop);
    EXPECT_TRUE(
        SameImage(*Label.Snapshot(),
                  *Reference(
                      Label, "III", [](int TW, int TH) { return Rect(2, 1, 2 + TW, 1 + TH); },
                      DT_LEFT, Border)));
    Label.SetAlignment(taRightJustify);
    Label.SetHorizontalAlign(haBottom);
    EXPECT_TRUE(
        SameImage(*Label.Snapshot(),
                  *Reference(
                      Label, "III",
                      [&](int TW, int TH) { return Rect(W - 3 - TW, H - 1 - TH, W - 3, H - 1); },
                      DT_RIGHT, Border)));
}

TEST(BoxLabelTest, CentredTextOfOddSlackMovesToTheEvenRow) {
    TBoxLabel Label(nullptr);
    Style(Label, 60, 15, "ABC");
    Label.SetBevelOuter(BoxLabl::bvNone);
    Label.SetBevelInner(BoxLabl::bvNone);
    auto Image = Label.Snapshot();
    auto Expected = Reference(
        Label, "ABC",
        [](int, int TH) { return Rect(0, HalfToEven(15 - TH), 60, HalfToEven(15 - TH) + TH); },
        DT_CENTER);
    EXPECT_TRUE(SameImage(*Image, *Expected));
}

TEST(BoxLabelTest, TallCaptionIsCutInsideTheFrame) {
    TBoxLabel Label(nullptr);
    Style(Label, 70, 20, "W\r\nW\r\nW\r\nW");
    Label.SetHorizontalAlign(haTop);
    auto Image = Label.Snapshot();
    for (int X = 2; X < 68; ++X) {
        EXPECT_EQ(Pixel(*Image, X, 18), Rgb(clWhite)) << X; // inner bevel's bottom, untouched
        EXPECT_EQ(Pixel(*Image, X, 19), Rgb(clBtnShadow)) << X;
    }
}

TEST(BoxLabelTest, DisabledTextIsGreyOverAWhiteCopyOneDownRight) {
    TBoxLabel Label(nullptr);
    Style(Label, 80, 20, "HELP");
    Label.Font()->SetColor(clBlack);
    Label.SetAlignment(taLeftJustify);
    Label.SetEnabled(false);
    auto Image = Label.Snapshot();
    const std::uint32_t Grey = RGB(128, 128, 128), White = Rgb(clWhite);
    int GreyCount = 0, WhiteCount = 0, LastGreyX = 0;
    for (int Y = 2; Y < 18; ++Y)
        for (int X = 2; X < 68; ++X)
            if (Pixel(*Image, X, Y) == Grey)
                LastGreyX = std::max(LastGreyX, X);
    for (int Y = 2; Y < 18; ++Y)
        for (int X = 2; X < 68; ++X) {
            const std::uint32_t P = Pixel(*Image, X, Y);
            EXPECT_NE(P, Rgb(clBlack));
            WhiteCount += P == White;
            if (P != Grey)
                continue;
            ++GreyCount;
            // The copy keeps the text's right edge: a glyph touching it has no copy there.
            if (X == LastGreyX)
                continue;
            const std::uint32_t Below = Pixel(*Image, X + 1, Y + 1);
            EXPECT_TRUE(Below == White || Below == Grey) << X << "," << Y;
        }
    EXPECT_GT(GreyCount, 10);
    EXPECT_GT(WhiteCount, 5);
    Label.SetEnabled(true);
    EXPECT_FALSE(SameImage(*Image, *Label.Snapshot()));
}

TEST(BoxLabelTest, AmpersandUnderlinesTheNextCharacterAndDoubledShowsOne) {
    TBoxLabel Label(nullptr);
    Style(Label, 80, 20, "A&&B");
    Label.SetBevelOuter(BoxLabl::bvNone);
    Label.SetBevelInner(BoxLabl::bvNone);
    auto Centred = [](int, int TH) { return Rect(0, HalfToEven(20 - TH), 80, 20); };
    EXPECT_TRUE(
        SameImage(*Label.Snapshot(), *Reference(Label, "A&B", Centred, DT_CENTER | DT_NOPREFIX)));
    Label.SetCaption("&AB");
    auto Marked = Label.Snapshot();
    auto Plain = Reference(Label, "AB", Centred, DT_CENTER);
    int Differing = 0, Rows = 0;
    for (int Y = 0; Y < 20; ++Y) {
        bool RowDiffers = false;
        for (int X = 0; X < 80; ++X)
            if (Pixel(*Marked, X, Y) != Pixel(*Plain, X, Y)) {
                ++Differing;
                RowDiffers = true;
            }
        Rows += RowDiffers;
    }
    EXPECT_GT(Differing, 2);
    EXPECT_GE(Rows, 1); // a line under the A only
    EXPECT_LE(Rows, 2);
}

TEST(BoxLabelTest, AtMost255BytesAreDrawnAndNoHalfCharacter) {
    TBoxLabel Label(nullptr);
    Style(Label, 120, 20, "");
    Label.SetAlignment(taRightJustify);
    auto Shown = [&](const AnsiString& Caption) {
        Label.SetCaption(Caption);
        return Label.Snapshot();
    };
    EXPECT_TRUE(
        SameImage(*Shown(AnsiString(254, 'i') + "xyz"), *Shown(AnsiString(254, 'i') + "x")));
    EXPECT_TRUE(SameImage(*Shown(AnsiString(254, 'i') + "あ"_sj), *Shown(AnsiString(254, 'i'))));
}

// Counts paints of a label on a shown window.
class TCountingLabel : public TBoxLabel {
public:
    using TBoxLabel::TBoxLabel;
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        TBoxLabel::Paint();
    }
};

TEST(BoxLabelTest, SettersRepaintOnlyOnChangeAndStoredOnlyValuesNever) {
    TWinControl Window(nullptr);
    Window.SetBounds(0, 0, 100, 40);
    auto* Label = new TCountingLabel(&Window);
    Label->SetParent(&Window);
    Label->SetCaption("HELP");
    TestSupport::ShowWindow(&Window);
    TestSupport::ProcessEvents();
    ASSERT_GT(Label->Paints, 0);
    const std::pair<const char*, std::function<void()>> Same[] = {
        {"Alignment", [&] { Label->SetAlignment(taCenter); }},
        {"HorizontalAlign", [&] { Label->SetHorizontalAlign(haCenter); }},
        {"TextBorder", [&] { Label->SetTextBorder(2); }},
        {"WordWrap", [&] { Label->SetWordWrap(false); }},
        {"BorderStyle", [&] { Label->SetBorderStyle(BoxLabl::bsNone); }},
        {"BevelInner", [&] { Label->SetBevelInner(bvLowered); }},
        {"BevelOuter", [&] { Label->SetBevelOuter(bvRaised); }},
        {"BevelWidth", [&] { Label->SetBevelWidth(1); }},
        {"Decimals", [&] { Label->SetDecimals(3); }},
        {"FormatString", [&] { Label->SetFormatString("#,##0"); }},
    };
    for (const auto& [Name, Set] : Same) {
        const int Before = Label->Paints;
        Set();
        TestSupport::ProcessEvents();
        EXPECT_EQ(Label->Paints, Before) << Name;
    }
    const auto Image = Label->Snapshot();
    const int Before = Label->Paints;
    Label->SetTextBorder(5);
    TestSupport::ProcessEvents();
    EXPECT_GT(Label->Paints, Before);
    EXPECT_TRUE(SameImage(*Image, *Label->Snapshot()));
    const int BeforeWrap = Label->Paints;
    Label->SetWordWrap(true);
    TestSupport::ProcessEvents();
    EXPECT_GT(Label->Paints, BeforeWrap);
}

} // namespace
