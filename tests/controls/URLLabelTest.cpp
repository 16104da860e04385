// The link label on a shown window, driven by the platform's pointer: its colour states, what
// it hands to the desktop (through the layer's opener, so nothing is launched) and its hand.
#include "URLLabel.h"

#include "Forms.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

const AnsiString Web = "https://quovant.example.jp/";

class URLLabelTest : public testing::Test {
protected:
    void SetUp() override {
        SetShellOpener([this](const AnsiString& Address) {
            Opened.push_back(Address);
            return OpenerWorks;
        });
        SetExceptionHandler([this](const std::exception& E) { Reported.push_back(E.what()); });
        Window.SetBounds(100, 100, 240, 60);
        TestSupport::PointerToScreen({5, 5}); // far from where the window shows
        Label = new TURLLabel(&Window);
        Label->SetParent(&Window);
        Label->SetAutoSize(false);
        Label->SetBounds(10, 10, 200, 13);
        Label->SetCaption(Web);
        Label->SetExecutable(true);
        Label->Font()->SetColor(clWhite);
        ASSERT_TRUE(TestSupport::ShowAndWait(&Window));
        MoveTo(2, 40);
    }
    void TearDown() override {
        SetShellOpener(nullptr);
        SetExceptionHandler(nullptr);
    }
    void MoveTo(int X, int Y) {
        Pointer = {X, Y};
        TestSupport::PointerTo(&Window, Pointer);
        TestSupport::ProcessEvents();
    }
    void Press(TMouseButton Button = mbLeft) { TestSupport::PointerDown(&Window, Pointer, Button); }
    void Release(TMouseButton Button = mbLeft) {
        TestSupport::PointerUp(&Window, Pointer, Button);
        TestSupport::ProcessEvents();
    }
    TColor Ink() const { return Label->Font()->Color(); }
    TWinControl Window{nullptr};
    TURLLabel* Label = nullptr;
    TPoint Pointer;
    std::vector<AnsiString> Opened;
    std::vector<std::string> Reported;
    bool OpenerWorks = true;
};

TEST_F(URLLabelTest, TextTurnsHotUnderThePointerPushedOnPressAndBack) {
    MoveTo(50, 15);
    EXPECT_EQ(Ink(), clAqua);
    Press();
    EXPECT_EQ(Ink(), clRed);
    EXPECT_EQ(Opened, std::vector<AnsiString>{Web});
    Release();
    EXPECT_EQ(Ink(), clAqua);
    MoveTo(2, 40);
    EXPECT_EQ(Ink(), clWhite);
    // Pressed, dragged out and let go: normal again, and nothing more opened.
    MoveTo(50, 15);
    Press();
    MoveTo(2, 40);
    Release();
    EXPECT_EQ(Ink(), clWhite);
    EXPECT_EQ(Opened.size(), 2u);
}

TEST_F(URLLabelTest, EveryButtonOpensTheLinkOncePerPress) {
    MoveTo(50, 15);
    for (TMouseButton Button : {mbRight, mbMiddle, mbLeft}) {
        const std::size_t Before = Opened.size();
        Press(Button);
        EXPECT_EQ(Ink(), clRed) << Button;
        EXPECT_EQ(Opened.size(), Before + 1) << Button;
        Release(Button);
        EXPECT_EQ(Opened.size(), Before + 1) << Button;
    }
}

TEST_F(URLLabelTest, WithoutHotTrackTheColourStaysAndTheLinkStillOpens) {
    Label->SetHotTrack(false);
    MoveTo(50, 15);
    Press();
    Release();
    MoveTo(2, 40);
    EXPECT_EQ(Ink(), clWhite);
    EXPECT_EQ(Opened.size(), 1u);
}

TEST_F(URLLabelTest, NotExecutableOnlyRecolours) {
    Label->SetExecutable(false);
    MoveTo(50, 15);
    Press();
    EXPECT_EQ(Ink(), clRed);
    Release();
    EXPECT_TRUE(Opened.empty());
}

TEST_F(URLLabelTest, MouseDownHandlerRunsBeforeTheLaunchAndAFailingOpenIsSilent) {
    std::size_t OpenedBeforeHandler = 99;
    Label->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        OpenedBeforeHandler = Opened.size();
    };
    OpenerWorks = false;
    Label->SetCaption("mailto:support@quovant.example.jp");
    MoveTo(50, 15);
    Press();
    Release();
    EXPECT_EQ(OpenedBeforeHandler, 0u);
    EXPECT_EQ(Opened, std::vector<AnsiString>{"mailto:support@quovant.example.jp"});
    EXPECT_TRUE(Reported.empty());
    EXPECT_EQ(Ink(), clAqua);
}

TEST_F(URLLabelTest, EveryLabelRegistersTheHandAndCrHandPointShowsItToo) {
    EXPECT_EQ(Label->Cursor(), TURLLabel::crHandCursor);
    const HCURSOR First = Screen->Cursors(TURLLabel::crHandCursor);
    ASSERT_NE(First, nullptr);
    const auto Hand = TestSupport::CursorImage(Label);
    ASSERT_TRUE(Hand);
    EXPECT_EQ((std::pair{Hand->Width(), Hand->Height()}), (std::pair{32, 32}));
    EXPECT_EQ(TestSupport::CursorHotSpot(Label), (TPoint{7, 1}));
    TURLLabel Second(nullptr);
    EXPECT_NE(Screen->Cursors(TURLLabel::crHandCursor), First);
    EXPECT_EQ(TestSupport::CursorHotSpot(Label), (TPoint{7, 1}));
    TLabel Plain(nullptr);
    Plain.SetCursor(crHandPoint);
    EXPECT_EQ(TestSupport::CursorHotSpot(&Plain), (TPoint{7, 1}));
    const auto PlainHand = TestSupport::CursorImage(&Plain);
    ASSERT_TRUE(PlainHand);
    EXPECT_EQ(PlainHand->SaveToBytes(), Hand->SaveToBytes());
}

} // namespace
