// The icon button on a shown window, driven by the platform's pointer and keys: frame styles and
// their press looks, hover frame and colours, clicks by mouse, Space and Enter, and the icon's
// placement checked on snapshots.
#include "IconBtn.h"
#include "TestSupport.h"

#include "FormReader.h"
#include "Forms.h"
#include "XPMan.h"

#include <gtest/gtest.h>

using namespace IconBtn;

namespace {

constexpr TColor IconInk = clRed;

std::unique_ptr<TIcon> SolidIcon(int Size) {
    auto Icon = std::make_unique<TIcon>(Size, Size);
    Icon->Canvas()->Brush()->SetColor(IconInk);
    Icon->Canvas()->FillRect(Rect(0, 0, Size, Size));
    return Icon;
}

std::uint32_t Pixel(TBitmap& Image, int X, int Y) {
    return static_cast<std::uint32_t>(Image.Canvas()->Pixel(X, Y));
}

class IconButtonTest : public testing::Test {
protected:
    void SetUp() override {
        Window.SetBounds(100, 100, 120, 80);
        TestSupport::PointerToScreen({5, 5}); // far from where the window shows
        Window.SetColor(clYellow);
        Button = new TIconButton(&Window);
        Button->SetParent(&Window);
        Button->SetBounds(20, 20, 36, 36);
        Button->SetButtonStyle(bsIELike);
        Button->OnClick = [this](TObject*) { ++Clicks; };
        ASSERT_TRUE(TestSupport::ShowAndWait(&Window));
        MoveTo(2, 2);
    }
    // The pointer, in the window's coordinates: the platform reports enter and leave.
    void MoveTo(int X, int Y) {
        Pointer = {X, Y};
        TestSupport::PointerTo(&Window, Pointer);
        TestSupport::ProcessEvents();
    }
    void Press() { TestSupport::PointerDown(&Window, Pointer); }
    void Release() { TestSupport::PointerUp(&Window, Pointer); }
    void Key(unsigned short Key, bool Down) {
        Down ? TestSupport::KeyDown(Button, Key) : TestSupport::KeyUp(Button, Key);
    }
    TPanelBevel Outer() const { return Button->BevelOuter(); }
    TWinControl Window{nullptr};
    TIconButton* Button = nullptr;
    TPoint Pointer;
    int Clicks = 0;
};

TEST(IconButtonDefaults, NewButtonIsAFramed36PixelSquareWithoutCaption) {
    TIconButton Button(nullptr);
    EXPECT_EQ(Button.Width(), 36);
    EXPECT_EQ(Button.Height(), 36);
    EXPECT_EQ(Button.ButtonStyle(), IconBtn::bsFrame);
    EXPECT_EQ(Button.BevelInner(), bvLowered);
    EXPECT_EQ(Button.BevelOuter(), bvRaised);
    EXPECT_TRUE(Button.ColorChange());
    EXPECT_EQ(Button.InColor(), clActiveCaption);
    EXPECT_EQ(Button.OutColor(), clBtnFace);
    EXPECT_TRUE(Button.Icon()->Empty());
    EXPECT_TRUE(Button.Caption().empty());
    // A new OutColor shows at once only in a designer.
    Button.SetOutColor(clLime);
    EXPECT_EQ(Button.Color(), clBtnFace);
    Button.SetDesigning(true);
    Button.SetOutColor(clRed);
    EXPECT_EQ(Button.Color(), clRed);
}

TEST(IconButtonDefaults, ItTakesNoChildrenAndNoCaptionFromItsName) {
    TForm Form(nullptr);
    auto* Panel = new TPanel(&Form);
    auto* Button = new TIconButton(&Form);
    Panel->SetName("Panel1");
    Button->SetName("IconButton1");
    EXPECT_EQ(Panel->Caption(), "Panel1") << "a panel named in code shows its name";
    EXPECT_TRUE(Button->Caption().empty());

    const char* const Text = "object Form1: TForm\n"
                             "  object Panel1: TPanel\n"
                             "    object IconButton1: TIconButton\n"
                             "      Left = 8\n"
                             "      object Button1: TButton\n"
                             "        Caption = 'OK'\n"
                             "      end\n"
                             "    end\n"
                             "  end\n"
                             "end\n";
    TForm Target(nullptr);
    try {
        ReadComponentText(&Target, Text);
        FAIL() << "read";
    } catch (const EReadError& E) {
        EXPECT_EQ(E.Message(),
                  "フォームファイルの 5 行目: Button1 を IconButton1 の中に置けません: "
                  "TIconButton は子コントロールを持てません"_sj);
    }
    EXPECT_EQ(Target.ComponentCount(), 0) << "nothing half-built remains";
    EXPECT_EQ(Target.ControlCount(), 0);
}

// Per style: the bevels it sets, those a press shows, those a cancelled press leaves.
TEST(IconButtonDefaults, EachStyleSetsItsBevelsAndChangesOneOnPress) {
    struct TRow {
        TButtonStyle Style;
        TPanelBevel Inner, Outer, PressedInner, PressedOuter, ReleasedInner, ReleasedOuter;
    };
    const TRow Rows[] = {
        {IconBtn::bsNone, bvNone, bvNone, bvNone, bvLowered, bvNone, bvNone},
        {IconBtn::bsLowered, bvNone, bvLowered, bvLowered, bvLowered, bvNone, bvLowered},
        {IconBtn::bsRaised, bvRaised, bvNone, bvRaised, bvLowered, bvRaised, bvRaised},
        {IconBtn::bsFrame, bvLowered, bvRaised, bvLowered, bvNone, bvLowered, bvRaised},
        {IconBtn::bsGroove, bvRaised, bvLowered, bvNone, bvLowered, bvRaised, bvLowered},
        {bsIELike, bvNone, bvNone, bvNone, bvLowered, bvNone, bvNone},
    };
    TestSupport::PointerToScreen({500, 500}); // away from the buttons
    for (const TRow& R : Rows) {
        TIconButton Button(nullptr);
        Button.SetButtonStyle(bsIELike);
        Button.SetButtonStyle(IconBtn::bsNone);
        Button.SetButtonStyle(R.Style);
        EXPECT_EQ(Button.BevelInner(), R.Inner) << R.Style;
        EXPECT_EQ(Button.BevelOuter(), R.Outer) << R.Style;
        TestSupport::KeyDown(&Button, VK_SPACE);
        EXPECT_EQ(Button.BevelInner(), R.PressedInner) << R.Style;
        EXPECT_EQ(Button.BevelOuter(), R.PressedOuter) << R.Style;
        TestSupport::KeyDown(&Button, 'A');
        EXPECT_EQ(Button.BevelInner(), R.ReleasedInner) << R.Style;
        EXPECT_EQ(Button.BevelOuter(), R.ReleasedOuter) << R.Style;
    }
}

TEST_F(IconButtonTest, FlatButtonRisesUnderThePointerAndSameStyleChangesNothing) {
    EXPECT_EQ(Outer(), bvNone);
    MoveTo(30, 30);
    EXPECT_EQ(Outer(), bvRaised);
    Button->SetButtonStyle(bsIELike);
    EXPECT_EQ(Outer(), bvRaised);
    MoveTo(100, 70);
    EXPECT_EQ(Outer(), bvNone);
}

TEST_F(IconButtonTest, ReleaseInsideClicksAndStaysRaisedReleaseOutsideGoesFlat) {
    MoveTo(30, 30);
    Press();
    EXPECT_EQ(Outer(), bvLowered);
    EXPECT_TRUE(Button->Focused() || !TestSupport::IsActiveWindow(&Window));
    Release();
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Outer(), bvRaised);
    Press();
    MoveTo(100, 70);
    Release();
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Outer(), bvNone);
}

TEST_F(IconButtonTest, SpaceClicksOnReleaseUnlessAnotherKeyCancelsIt) {
    Key(VK_SPACE, true);
    EXPECT_EQ(Outer(), bvLowered);
    Key(VK_SPACE, false);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Outer(), bvNone);
    Key(VK_SPACE, true);
    Key('X', true);
    Key(VK_SPACE, false);
    EXPECT_EQ(Clicks, 1);
}

TEST_F(IconButtonTest, EnterClicksOncePerKeyDownAndDisabledButtonIgnoresKeys) {
    for (int I = 0; I < 3; ++I)
        Key(VK_RETURN, true);
    EXPECT_EQ(Clicks, 3);
    EXPECT_EQ(Outer(), bvNone);
    Button->SetEnabled(false);
    Key(VK_RETURN, true);
    Key(VK_SPACE, true);
    Key(VK_SPACE, false);
    EXPECT_EQ(Clicks, 3);
    EXPECT_EQ(Outer(), bvNone);
}

TEST_F(IconButtonTest, HoverRaisesItsEventsAndAppliesTheColours) {
    std::vector<std::tuple<bool, int, int>> Seen;
    Button->OnMouseEnter = [&](TObject*, TShiftState, int X, int Y) {
        Seen.emplace_back(true, X, Y);
    };
    Button->OnMouseLeave = [&](TObject*, TShiftState, int X, int Y) {
        Seen.emplace_back(false, X, Y);
    };
    Button->SetInColor(clBlack);
    Button->SetOutColor(clLime);
    Button->Loaded();
    EXPECT_EQ(Button->Color(), clLime);
    MoveTo(30, 31);
    EXPECT_EQ(Button->Color(), clBlack);
    MoveTo(100, 70);
    EXPECT_EQ(Button->Color(), clLime);
    ASSERT_EQ(Seen.size(), 2u);
    EXPECT_EQ(Seen[0], std::make_tuple(true, 10, 11));
    EXPECT_EQ(Seen[1], std::make_tuple(false, 80, 50));
    Button->SetColorChange(false);
    MoveTo(30, 30);
    EXPECT_EQ(Button->Color(), clLime);
}

TEST_F(IconButtonTest, HoverAndPressLooksAreLightAndDarkFrames) {
    const std::uint32_t Light = ColorToRGB(clBtnHighlight), Dark = ColorToRGB(clBtnShadow);
    const std::uint32_t Face = ColorToRGB(Button->Color());
    auto Corners = [&] {
        auto Image = Button->Snapshot();
        return std::make_pair(Pixel(*Image, 0, 0), Pixel(*Image, 35, 35));
    };
    EXPECT_EQ(Corners(), std::make_pair(Face, Face));
    MoveTo(30, 30);
    EXPECT_EQ(Corners(), std::make_pair(Light, Dark));
    Press();
    EXPECT_EQ(Corners(), std::make_pair(Dark, Light));
    Release();
}

TEST_F(IconButtonTest, IconIsCentredAt32PixelsOrStretchedInsideTheBevels) {
    auto Small = SolidIcon(16);
    Button->SetIcon(Small.get());
    const std::uint32_t Ink = ColorToRGB(IconInk);
    auto Image = Button->Snapshot();
    EXPECT_EQ(Pixel(*Image, 2, 2), Ink);
    EXPECT_EQ(Pixel(*Image, 33, 33), Ink);
    EXPECT_NE(Pixel(*Image, 1, 1), Ink);
    EXPECT_NE(Pixel(*Image, 34, 34), Ink);
    Button->SetStretch(true);
    Image = Button->Snapshot();
    EXPECT_EQ(Pixel(*Image, 0, 0), Ink);
    EXPECT_EQ(Pixel(*Image, 35, 35), Ink);
    MoveTo(30, 30);
    Image = Button->Snapshot();
    EXPECT_NE(Pixel(*Image, 0, 0), Ink);
    EXPECT_EQ(Pixel(*Image, 1, 1), Ink);
    EXPECT_EQ(Pixel(*Image, 34, 34), Ink);
    EXPECT_NE(Pixel(*Image, 35, 35), Ink);
    // Narrower than the icon: its left part lies outside and is cut.
    Button->SetStretch(false);
    Button->SetWidth(20);
    Image = Button->Snapshot();
    EXPECT_EQ(Pixel(*Image, 1, 18), Ink);
    EXPECT_EQ(Pixel(*Image, 18, 18), Ink);
}

TEST_F(IconButtonTest, UnderVisualStylesTheParentShowsThroughTheFace) {
    Button->SetOutColor(clLime);
    Button->Loaded();
    EXPECT_EQ(Pixel(*Button->Snapshot(), 18, 18), ColorToRGB(clLime));
    TXPManifest Manifest(nullptr);
    EXPECT_EQ(Pixel(*Button->Snapshot(), 18, 18), ColorToRGB(clYellow));
}

} // namespace
