// Checks of the decorative faces that both wizard forms share: the banner along the left edge
// and the bar along the bottom.
#pragma once

#include "Gradpan.h"

#include <gtest/gtest.h>

namespace FaceChecks {

constexpr TColor Dark = 7099731; // red 83, green 85, blue 108

inline TColor Channels(TColor From, TColor To, int Entry) {
    const auto Channel = [Entry](int A, int B) {
        return static_cast<int>(A + Entry * (B - A) / 100.0);
    };
    return static_cast<TColor>(RGB(Channel(GetRValue(From), GetRValue(To)),
                                   Channel(GetGValue(From), GetGValue(To)),
                                   Channel(GetBValue(From), GetBValue(To))));
}

} // namespace FaceChecks

// The banner runs from the dark colour at its edges towards its light colour in the middle,
// with its white caption at the bottom; the bottom bar is dark between its buttons.
inline void ExpectBannerAndBottomBar(TComponent* Form, int BannerWidth) {
    using namespace FaceChecks;
    auto* Banner = ComponentByName<TGradPan>(Form, "LT1");
    ASSERT_NE(Banner, nullptr);
    EXPECT_EQ(Banner->TextRotation(), TrDown);
    EXPECT_EQ(Banner->VertAlign(), VlBottom);
    const auto Shot = Banner->Snapshot();
    const TCanvas* C = Shot->Canvas();
    const int W = Shot->Width(), H = Shot->Height();
    ASSERT_EQ(W, BannerWidth);
    EXPECT_EQ(C->Pixel(0, 0), Channels(Dark, Banner->ColorEnd(), 1));
    EXPECT_EQ(C->Pixel(0, H - 1), Dark);
    EXPECT_EQ(C->Pixel(0, (H + 1) / 2 - 1), Channels(Dark, Banner->ColorEnd(), 99));
    int Top = H, Bottom = 0;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            if (C->Pixel(X, Y) == clWhite) {
                Top = std::min(Top, Y);
                Bottom = std::max(Bottom, Y);
            }
    EXPECT_GT(Top, H / 2) << "the caption stands in the lower half";
    EXPECT_LE(Bottom, H - 3);
    EXPECT_GE(Bottom, H - 8) << "and ends at the bottom";

    auto* Bar = ComponentByName<TGradPan>(Form, "GradPan2");
    ASSERT_NE(Bar, nullptr);
    const auto BarShot = Bar->Snapshot();
    for (int Y = 0; Y < BarShot->Height(); ++Y)
        for (int X = 50; X < 620; ++X)
            ASSERT_EQ(BarShot->Canvas()->Pixel(X, Y), Dark) << X << "," << Y;
}
