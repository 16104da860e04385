// The gradient box: band sizes and colours with their rounding, the rest of the box, and the
// setters' change notices, checked pixel by pixel on snapshots.
#include "GradBox.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr TColor TitleEnd = 10652814; // red 142, green 140, blue 162

class TProbeBox : public TGradBox {
public:
    using TGradBox::TGradBox;
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        TGradBox::Paint();
    }
};

// A box on a window, so that its snapshot shows it over its parent's surface.
struct TBoxOnWindow {
    std::unique_ptr<TWinControl> Window = std::make_unique<TWinControl>(nullptr);
    TProbeBox* Box = new TProbeBox(Window.get());
    TBoxOnWindow(int W, int H, TGradDirection Direction, int Step, TColor Start, TColor End) {
        Window->SetBounds(0, 0, W, H);
        Box->SetParent(Window.get());
        Box->SetBounds(0, 0, W, H);
        Box->SetDirection(Direction);
        Box->SetGradStep(static_cast<std::uint8_t>(Step));
        Box->SetStartColor(Start);
        Box->SetEndColor(End);
    }
    // The colours along the axis of the bands, checked to be uniform across it.
    std::vector<TColor> Colours() const {
        const auto Shot = Box->Snapshot();
        const TCanvas* C = Shot->Canvas();
        const bool Stacked = Box->Direction() == gdVertical;
        const int Extent = Stacked ? Box->Height() : Box->Width();
        const int Across = Stacked ? Box->Width() : Box->Height();
        std::vector<TColor> Result;
        for (int P = 0; P < Extent; ++P) {
            Result.push_back(Stacked ? C->Pixel(0, P) : C->Pixel(P, 0));
            const TColor Far = Stacked ? C->Pixel(Across - 1, P) : C->Pixel(P, Across - 1);
            EXPECT_EQ(Far, Result.back()) << "at " << P;
        }
        return Result;
    }
};

TColor Grey(int Value) {
    return static_cast<TColor>(RGB(Value, Value, Value));
}

} // namespace

// 696 / 129 = 5.395 gives bands of 5: 130 bands up to x = 649, band 129 exactly the end
// colour, and the end colour again from x = 650 to the edge.
TEST(GradBoxPaint, TheTitleStripEndsInTheEndColourAfterItsBands) {
    TBoxOnWindow Strip(696, 35, gdHorizontal, 128, clWhite, TitleEnd);
    const std::vector<TColor> C = Strip.Colours();
    for (int X = 0; X < 650; ++X)
        ASSERT_EQ(C[X], C[X - X % 5]) << X;
    EXPECT_EQ(C[0], clWhite);
    EXPECT_EQ(C[5], static_cast<TColor>(RGB(254, 254, 254)));
    EXPECT_EQ(C[640], static_cast<TColor>(RGB(143, 141, 163)));
    for (int X = 645; X < 696; ++X)
        ASSERT_EQ(C[X], TitleEnd) << X;
}

TEST(GradBoxPaint, ABoxThatTheBandsOvershootEndsInTheLastVisibleBand) {
    TBoxOnWindow Box(645, 10, gdHorizontal, 128, clWhite, TitleEnd);
    const std::vector<TColor> C = Box.Colours();
    EXPECT_EQ(C[644], static_cast<TColor>(RGB(143, 141, 163)));
    EXPECT_EQ(std::count(C.begin(), C.end(), TitleEnd), 0);
}

// 35 / 129 rounds to 0, so the bands are one pixel: the first 35 of 130 colours.
TEST(GradBoxPaint, AShortBoxShowsOnePixelBandsAndNeverTheEndColour) {
    TBoxOnWindow Box(20, 35, gdVertical, 128, clBlack, clWhite);
    const std::vector<TColor> C = Box.Colours();
    EXPECT_EQ(C[0], clBlack);
    EXPECT_EQ(C[1], Grey(2));   // 1.977
    EXPECT_EQ(C[34], Grey(67)); // 67.21
    for (int Y = 1; Y < 35; ++Y)
        EXPECT_NE(C[Y], C[Y - 1]) << Y;
}

// Band sizes and channel steps round halves to the even neighbour: with one step (N = 2) a
// 5-pixel box has bands of 2 and shows the end colour in its last pixel, a 7-pixel box bands
// of 4; the middle band of 0 → 253 is 126, of 0 → 3 is 2.
TEST(GradBoxPaint, BandSizesAndStepsRoundHalvesToEven) {
    const TColor End = static_cast<TColor>(RGB(253, 1, 3));
    const TColor Middle = static_cast<TColor>(RGB(126, 0, 2));
    const std::pair<int, std::vector<TColor>> Cases[] = {
        {5, {clBlack, clBlack, Middle, Middle, End}},
        {7, {clBlack, clBlack, clBlack, clBlack, Middle, Middle, Middle}},
        {6, {clBlack, clBlack, clBlack, Middle, Middle, Middle}},
    };
    for (const auto& [Extent, Expected] : Cases)
        EXPECT_EQ(TBoxOnWindow(Extent, 3, gdHorizontal, 1, clBlack, End).Colours(), Expected)
            << Extent;
}

TEST(GradBoxPaint, NoStepsOrEqualColoursGiveAPlainBox) {
    for (const auto& [Step, End] : {std::pair{0, clWhite}, std::pair{128, clRed}}) {
        TBoxOnWindow Box(40, 30, gdVertical, Step, clRed, End);
        const std::vector<TColor> C = Box.Colours();
        EXPECT_EQ(std::count(C.begin(), C.end(), clRed), 30) << "step " << Step;
    }
}

// Colours and steps notify and invalidate even when unchanged; the direction only on a change.
TEST(GradBoxChange, SettersNotifyAndInvalidateAndOnlyTheDirectionCompares) {
    TBoxOnWindow Box(50, 20, gdVertical, 128, clWhite, clBlack);
    TestSupport::ShowWindow(Box.Window.get());
    TestSupport::ProcessEvents();
    int Changes = 0;
    Box.Box->OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Box.Box);
        ++Changes;
    };
    const auto Notices = [&](const std::function<void()>& Set) {
        Changes = 0;
        Box.Box->Paints = 0;
        Set();
        EXPECT_EQ(Box.Box->Paints, 0) << "deferred";
        TestSupport::ProcessEvents();
        return std::pair{Changes, Box.Box->Paints > 0 ? 1 : 0};
    };
    TGradBox* B = Box.Box;
    EXPECT_EQ(Notices([B] { B->SetStartColor(clWhite); }), std::pair(1, 1));
    EXPECT_EQ(Notices([B] { B->SetEndColor(clBlack); }), std::pair(1, 1));
    EXPECT_EQ(Notices([B] { B->SetGradStep(128); }), std::pair(1, 1));
    EXPECT_EQ(Notices([B] { B->SetDirection(gdVertical); }), std::pair(0, 0));
    EXPECT_EQ(Notices([B] { B->SetDirection(gdHorizontal); }), std::pair(1, 1));
    EXPECT_EQ(Notices([B] { B->SetGradColor(7, clRed); }), std::pair(1, 1));
    EXPECT_EQ(B->EndColor(), clRed) << "any index but 1 is the end colour";
}
