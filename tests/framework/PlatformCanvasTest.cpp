// The platform's canvas interface on its own, in the layer's terms only: what every back end
// must keep that the canvas's pixel suites do not reach.
#include "PlatformCanvas.h"
#include "Graphics.h"

#include <gtest/gtest.h>

namespace {

constexpr Platform::TRGB White = 0xFFFFFF, Red = 0x0000FF, Blue = 0xFF0000;

struct TTarget {
    explicit TTarget(int Width, int Height) {
        Platform::ResizeImage(*Image, Width, Height);
        Platform::BindImage(*Canvas, Image.get());
    }
    Platform::TImagePtr Image = Platform::NewImage();
    Platform::TCanvasPtr Canvas = Platform::NewCanvas();
};

} // namespace

TEST(PlatformCanvasTest, ImageVersionChangesWithThePixelsOnlyAndCopiesAreIndependent) {
    TTarget T(4, 4);
    const std::int64_t Fresh = Platform::ImageVersion(*T.Image);
    EXPECT_EQ(Platform::Pixel(*T.Canvas, 1, 1), White);
    EXPECT_EQ(Platform::ClipBox(*T.Canvas), Rect(0, 0, 4, 4));
    EXPECT_EQ(Platform::ImageVersion(*T.Image), Fresh) << "reading changes nothing";

    TTarget Copy(1, 1);
    Platform::CopyImage(*Copy.Image, *T.Image);
    EXPECT_EQ(Platform::ImageVersion(*Copy.Image), Fresh) << "a copy has the same pixels";
    Platform::SetPixel(*Copy.Canvas, 1, 1, Red);
    EXPECT_EQ(Platform::Pixel(*Copy.Canvas, 1, 1), Red) << "the canvas follows the copied image";
    EXPECT_EQ(Platform::Pixel(*T.Canvas, 1, 1), White);
    EXPECT_EQ(Platform::ImageVersion(*T.Image), Fresh);

    std::int64_t Last = Fresh;
    const auto Changed = [&] {
        const std::int64_t Now = Platform::ImageVersion(*T.Image);
        return std::exchange(Last, Now) != Now;
    };
    Platform::FillRect(*T.Canvas, Rect(0, 0, 2, 2), {Blue});
    EXPECT_TRUE(Changed()) << "painting";
    Platform::SetPixel(*T.Canvas, 3, 3, Red);
    EXPECT_TRUE(Changed()) << "a pixel";
    Platform::ResizeImage(*T.Image, 5, 5);
    EXPECT_TRUE(Changed()) << "resizing";
    ASSERT_TRUE(Platform::LoadImage(*T.Image, Platform::SaveImagePng(*Copy.Image)));
    EXPECT_TRUE(Changed()) << "loading";
    EXPECT_EQ(Platform::Pixel(*T.Canvas, 1, 1), Red);
}

TEST(PlatformCanvasTest, AnUnboundTargetMeasuresButPaintsNothingAndBindingDropsTheClip) {
    Platform::TCanvasPtr Canvas = Platform::NewCanvas();
    const Platform::TFontPtr Font = Platform::NewFont({"ＭＳ ゴシック"_sj, -12});
    Platform::SelectFont(*Canvas, *Font);
    const AnsiString Text = "あa"_sj;
    EXPECT_GT(Platform::TextWidth(*Canvas, Text), 0);
    EXPECT_EQ(Platform::TextOut(*Canvas, 0, 0, Text, {}), Platform::TextWidth(*Canvas, Text));
    EXPECT_FALSE(Platform::HasImage(*Canvas));
    EXPECT_EQ(Platform::ClipBox(*Canvas), TRect{});
    EXPECT_EQ(Platform::Pixel(*Canvas, 0, 0), std::nullopt);
    Platform::FillRect(*Canvas, Rect(0, 0, 5, 5), {Red});

    TTarget T(10, 8);
    Platform::SetClipRect(*T.Canvas, Rect(5, -3, 20, 4));
    EXPECT_EQ(Platform::ClipBox(*T.Canvas), Rect(5, 0, 10, 4));
    Platform::SetPixel(*T.Canvas, 2, 2, Red);
    EXPECT_EQ(Platform::Pixel(*T.Canvas, 2, 2), White) << "outside the clip";
    Platform::BindImage(*T.Canvas, T.Image.get());
    EXPECT_EQ(Platform::ClipBox(*T.Canvas), Rect(0, 0, 10, 8));
}

TEST(PlatformCanvasTest, LinesLeaveTheirEndOutUnlessThePenIsWide) {
    using Platform::TPenKind;
    using Platform::TRop2;
    struct TCase {
        int Width;
        TPenKind Kind;
        TRop2 Rop;
        bool Start, End;
    };
    const TCase Cases[] = {
        {0, TPenKind::Solid, TRop2::Copy, true, false},
        {1, TPenKind::Solid, TRop2::Copy, true, false},
        {1, TPenKind::Dot, TRop2::Copy, true, false},
        {3, TPenKind::Solid, TRop2::Copy, true, true},
        {1, TPenKind::Null, TRop2::Copy, false, false},
        {3, TPenKind::Solid, TRop2::Nop, false, false},
    };
    for (const TCase& C : Cases) {
        TTarget T(20, 20);
        Platform::Line(*T.Canvas, {4, 10}, {15, 10}, {Red, C.Width, C.Kind, C.Rop});
        EXPECT_EQ(Platform::Pixel(*T.Canvas, 4, 10) == Red, C.Start) << C.Width << int(C.Kind);
        EXPECT_EQ(Platform::Pixel(*T.Canvas, 15, 10) == Red, C.End) << C.Width << int(C.Kind);
    }
}
