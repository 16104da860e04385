// The standard controls: list box, radio group, check box, button, memo, label, panel, bevel
// and status bar. Logic first, then pixels.
#include "StdCtrls.h"
#include "ComCtrls.h"
#include "EditMenu.h"
#include "ExtCtrls.h"
#include "Fixtures.h"
#include "FormReader.h"
#include "FormWriter.h"
#include "TestSupport.h"
#include "TypInfo.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class StdCtrlsTest : public TReportingTest {};

[[maybe_unused]] const bool FormRegistered = [] {
    TPublish<TStdTestForm>("TStdTestForm", "TComponent");
    return true;
}();

// ---------------------------------------------------------------------------------------------
// List box

TEST_F(StdCtrlsTest, ListBoxItemsOutsideTheListRaiseListErrors) {
    TListBox List(nullptr);
    List.Items()->Add("a");
    EXPECT_THROW(List.Items()->Get(1), EListError);
    EXPECT_THROW(List.Items()->Insert(3, "x"), EListError);
    EXPECT_THROW(List.Items()->Delete(-1), EListError);
    EXPECT_EQ(List.Items()->Count(), 1);
}

// ---------------------------------------------------------------------------------------------
// Radio group

// ---------------------------------------------------------------------------------------------
// Check box and button

TEST_F(StdCtrlsTest, CheckBoxClicksWhenCodeChangesItsState) {
    TCheckBox Box(nullptr);
    std::vector<bool> Seen;
    Box.OnClick = [&](TObject*) { Seen.push_back(Box.Checked()); };
    Box.SetChecked(true);
    Box.SetChecked(true);
    Box.SetChecked(false);
    EXPECT_EQ(Seen, (std::vector<bool>{true, false}));
}

TEST_F(StdCtrlsTest, CheckBoxClicksWhenTheUserTogglesIt) {
    TCheckBox Box(nullptr);
    Box.SetBounds(0, 0, 100, 20);
    int Clicks = 0;
    Box.OnClick = [&](TObject*) { ++Clicks; };
    TestSupport::Click(&Box, mbLeft, {8, 10});
    EXPECT_TRUE(Box.Checked());
    EXPECT_EQ(Box.State(), cbChecked);
    EXPECT_EQ(Clicks, 1);
}

TEST_F(StdCtrlsTest, ButtonClickRunsOnClickAndReportsItsErrors) {
    TButton Button(nullptr);
    Button.SetCaption("スタート"_sj);
    Button.SetBounds(0, 0, 100, 30);
    EXPECT_EQ(TestSupport::WindowText(&Button), "スタート"_sj);
    int Clicks = 0;
    Button.OnClick = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &Button);
        if (++Clicks == 2)
            throw std::runtime_error("second click failed");
    };
    TestSupport::Click(&Button, mbLeft, {50, 15});
    EXPECT_NO_THROW(TestSupport::Click(&Button, mbLeft, {50, 15}));
    EXPECT_EQ(Clicks, 2);
    ASSERT_EQ(Reported.size(), 1u);
    EXPECT_EQ(Reported[0], "second click failed");
}

// ---------------------------------------------------------------------------------------------
// Memo

TEST_F(StdCtrlsTest, MemoShowsBytesThatDoNotDecodeAsReplacementCharacters) {
    TMemo Memo(nullptr);
    // The last line ends inside a double-byte character, as a cut preview may.
    Memo.Lines()->SetText("ボルト"_sj + "\r\n\xff"
                                        "A\r\nab\x83");
    EXPECT_EQ(TestSupport::ShownText(&Memo), u"ボルト\n\uFFFDA\nab\uFFFD");
    EXPECT_EQ(Memo.Lines()->Get(1), "\xff"
                                    "A");
    EXPECT_EQ(Memo.Lines()->Get(2), "ab\x83");
}

// A memo without a popup menu of its own offers the toolkit's edit menu, in Japanese.
TEST_F(StdCtrlsTest, MemoEditMenuIsJapanese) {
    TMemo Memo(nullptr);
    TestSupport::ShowAndWait(&Memo);
    EXPECT_TRUE(IsJapaneseEditMenu(EditMenuItems(&Memo, {5, 5})));
}

TEST_F(StdCtrlsTest, MemoEditsReencodeOnlyTheLinesTheUserChanged) {
    TMemo Memo(nullptr);
    Memo.Lines()->Add("ボルト"_sj);
    Memo.Lines()->Add("\xff"
                      "A");
    TestSupport::PressKey(&Memo, VK_HOME, {ssCtrl});
    TestSupport::Type(&Memo, "六角"_sj);
    ASSERT_EQ(Memo.Lines()->Count(), 2);
    EXPECT_EQ(Memo.Lines()->Get(0), "六角ボルト"_sj);
    EXPECT_EQ(Memo.Lines()->Get(1), "\xff"
                                    "A");
    TestSupport::PressKey(&Memo, 'A', {ssCtrl});
    TestSupport::PressKey(&Memo, VK_DELETE);
    EXPECT_EQ(Memo.Lines()->Count(), 0);
}

TEST_F(StdCtrlsTest, MemoReadOnlyAndLinesSetBeforeTheWindowExists) {
    TMemo Memo(nullptr);
    Memo.SetReadOnly(true);
    Memo.Lines()->Add("x");
    EXPECT_EQ(TestSupport::ShownText(&Memo), u"x");
    TestSupport::Type(&Memo, "y");
    TestSupport::PressKey(&Memo, VK_BACK);
    EXPECT_EQ(TestSupport::ShownText(&Memo), u"x") << "the user cannot change it";
    EXPECT_EQ(Memo.Lines()->Get(0), "x");
}

// ---------------------------------------------------------------------------------------------
// Label and panel sizes

TEST_F(StdCtrlsTest, AutoSizedLabelTakesTheSizeOfItsCaption) {
    TLabel Label(nullptr);
    Label.SetCaption("Quovant");
    TBitmap Measure(1, 1);
    Measure.Canvas()->SetFont(Label.Font());
    EXPECT_EQ(Label.Width(), Measure.Canvas()->TextWidth("Quovant"));
    EXPECT_EQ(Label.Height(), Measure.Canvas()->TextHeight("Quovant"));
    Label.SetCaption("");
    EXPECT_EQ(Label.Height(), Measure.Canvas()->TextHeight(" "));
}

TEST_F(StdCtrlsTest, AutoSizedRightAlignedLabelKeepsItsRightEdge) {
    TLabel Label(nullptr);
    Label.SetAlignment(taRightJustify);
    Label.SetCaption("ab");
    Label.SetLeft(200 - Label.Width());
    Label.SetCaption("a much longer caption");
    EXPECT_EQ(Label.Left() + Label.Width(), 200);
}

TEST_F(StdCtrlsTest, LabelWithoutAutoSizeKeepsItsBounds) {
    TLabel Label(nullptr);
    Label.SetAutoSize(false);
    Label.SetBounds(5, 6, 249, 17);
    Label.SetCaption("a caption far longer than the label is wide, and more");
    EXPECT_EQ(Label.BoundsRect(), Bounds(5, 6, 249, 17));
}

TEST_F(StdCtrlsTest, PanelClientAreaForAlignedChildrenLiesInsideBorderAndBevels) {
    TPanel Panel(nullptr);
    Panel.SetBounds(0, 0, 100, 80);
    Panel.SetBevelInner(bvLowered);
    Panel.SetBevelWidth(2);
    Panel.SetBorderWidth(3);
    TPanel Child(nullptr);
    Child.SetParent(&Panel);
    Child.SetAlign(alClient);
    EXPECT_EQ(Child.BoundsRect(), Rect(7, 7, 93, 73));
    Panel.SetBevelInner(bvNone);
    EXPECT_EQ(Child.BoundsRect(), Rect(5, 5, 95, 75));
}

TEST_F(StdCtrlsTest, StatusBarSitsAtTheBottomByDefault) {
    TStatusBar Bar(nullptr);
    EXPECT_EQ(Bar.Align(), alBottom);
    EXPECT_EQ(Bar.Height(), TStatusBar::InitHeight);
}

// ---------------------------------------------------------------------------------------------
// Form files

TEST_F(StdCtrlsTest, ControlsSurviveAWriteAndReadRoundTrip) {
    const char* Text = R"(object Form: TStdTestForm
  object Panel6: TPanel
    Left = 120
    Width = 769
    BevelInner = bvLowered
    BevelOuter = bvNone
    BorderWidth = 2
    Caption = 'パネル'
    Color = clWhite
    object Label1: TLabel
      Alignment = taCenter
      AutoSize = False
      Caption = 'クォヴァント'
      Layout = tlCenter
      Transparent = True
    end
    object ListBox1: TListBox
      Cursor = crHandPoint
      ItemHeight = 16
      Items.Strings = (
        'a'
        'b')
    end
    object GroupBox2: TGroupBox
      Caption = '表示'
      object Button21: TButton
        Caption = 'スタート'
        Default = True
        ModalResult = 1
      end
      object CheckBox1: TCheckBox
        Caption = 'プレビュー(&P)'
        State = cbChecked
      end
    end
    object Memo1: TMemo
      Lines.Strings = (
        'line')
      ReadOnly = True
      ScrollBars = ssVertical
    end
    object Bevel1: TBevel
      Shape = bsFrame
      Style = bsRaised
    end
    object RadioGroup1: TRadioGroup
      Columns = 2
      ItemIndex = 0
      Items.Strings = (
        'x'
        'y')
    end
  end
  object StatusBar1: TStatusBar
    SimplePanel = True
    SimpleText = '準備'
  end
end
)";
    TStdTestForm Form(nullptr);
    ReadComponentText(&Form, Text);
    auto* Panel = ComponentByName<TPanel>(&Form, "Panel6");
    EXPECT_EQ(Panel->BevelInner(), bvLowered);
    EXPECT_EQ(Panel->BevelOuter(), bvNone);
    EXPECT_EQ(ComponentByName<TLabel>(&Form, "Label1")->Parent(), Panel);
    EXPECT_EQ(ComponentByName<TListBox>(&Form, "ListBox1")->Items()->Count(), 2);
    EXPECT_TRUE(ComponentByName<TCheckBox>(&Form, "CheckBox1")->Checked());
    EXPECT_EQ(ComponentByName<TBevel>(&Form, "Bevel1")->Shape(), bsFrame);
    EXPECT_EQ(ComponentByName<TStatusBar>(&Form, "StatusBar1")->SimpleText(), "準備"_sj);

    const std::string Written = WriteComponentText(&Form);
    TStdTestForm Again(nullptr);
    ReadComponentText(&Again, Written);
    EXPECT_EQ(WriteComponentText(&Again), Written);
}

// ---------------------------------------------------------------------------------------------
// Pixels

class PaintTest : public testing::Test {
protected:
    static std::uint32_t Rgb(TColor Color) { return ColorToRGB(Color); }
    static std::uint32_t Pixel(TBitmap& Image, int X, int Y) {
        return static_cast<std::uint32_t>(Image.Canvas()->Pixel(X, Y));
    }
    // Columns (or rows) that hold any pixel other than Background.
    struct TInk {
        int Left = -1, Top = -1, Right = -1, Bottom = -1;
    };
    static TInk InkOf(TBitmap& Image, std::uint32_t Background) {
        TInk Ink;
        for (int Y = 0; Y < Image.Height(); ++Y)
            for (int X = 0; X < Image.Width(); ++X)
                if (Pixel(Image, X, Y) != Background) {
                    Ink.Left = Ink.Left < 0 ? X : std::min(Ink.Left, X);
                    Ink.Top = Ink.Top < 0 ? Y : Ink.Top;
                    Ink.Right = std::max(Ink.Right, X);
                    Ink.Bottom = Y;
                }
        return Ink;
    }
    void SetUp() override {
        ASSERT_NE(Rgb(clBtnHighlight), Rgb(clBtnShadow));
        ASSERT_NE(Rgb(clBtnFace), Rgb(clBtnShadow));
        ASSERT_NE(Rgb(clBtnFace), Rgb(clBtnHighlight));
    }
};

TEST_F(PaintTest, RaisedPanelBevelIsLightAboveAndLeftDarkBelowAndRight) {
    TPanel Panel(nullptr);
    Panel.SetBounds(0, 0, 50, 30);
    auto Image = Panel.Snapshot();
    EXPECT_EQ(Pixel(*Image, 0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(Pixel(*Image, 48, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(Pixel(*Image, 0, 28), Rgb(clBtnHighlight));
    EXPECT_EQ(Pixel(*Image, 49, 0), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(*Image, 0, 29), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(*Image, 49, 29), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(*Image, 1, 1), Rgb(clBtnFace));
    EXPECT_EQ(Pixel(*Image, 25, 15), Rgb(clBtnFace));
}

TEST_F(PaintTest, LoweredInnerBevelLiesInsideTheBorderWidth) {
    TPanel Panel(nullptr);
    Panel.SetBounds(0, 0, 50, 30);
    Panel.SetBevelOuter(bvNone);
    Panel.SetBevelInner(bvLowered);
    Panel.SetBevelWidth(2);
    Panel.SetBorderWidth(2);
    Panel.SetColor(clWhite);
    auto Image = Panel.Snapshot();
    EXPECT_EQ(Pixel(*Image, 0, 0), Rgb(clWhite));
    EXPECT_EQ(Pixel(*Image, 1, 1), Rgb(clWhite));
    EXPECT_EQ(Pixel(*Image, 2, 2), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(*Image, 3, 3), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(*Image, 47, 27), Rgb(clBtnHighlight));
    EXPECT_EQ(Pixel(*Image, 46, 26), Rgb(clBtnHighlight));
    EXPECT_EQ(Pixel(*Image, 4, 4), Rgb(clWhite));
}

TEST_F(PaintTest, PanelWithoutBevelIsItsColourAndCentresItsCaption) {
    TPanel Panel(nullptr);
    Panel.SetBounds(0, 0, 200, 40);
    Panel.SetBevelOuter(bvNone);
    Panel.SetColor(clWhite);
    Panel.Font()->SetColor(clBlack);
    Panel.SetCaption("Version2");
    auto Image = Panel.Snapshot();
    const TInk Ink = InkOf(*Image, Rgb(clWhite));
    ASSERT_GE(Ink.Left, 0);
    EXPECT_NEAR((Ink.Left + Ink.Right) / 2, 100, 3);
    EXPECT_NEAR((Ink.Top + Ink.Bottom) / 2, 20, 4);
}

TEST_F(PaintTest, LabelAlignmentAndLayoutPlaceTheCaption) {
    TLabel Label(nullptr);
    Label.SetAutoSize(false);
    Label.SetBounds(0, 0, 200, 40);
    Label.SetColor(clWhite);
    Label.Font()->SetColor(clBlack);
    Label.SetCaption("III");
    auto InkFor = [&](TAlignment Alignment, TTextLayout Layout) {
        Label.SetAlignment(Alignment);
        Label.SetLayout(Layout);
        auto Image = Label.Snapshot();
        return InkOf(*Image, Rgb(clWhite));
    };
    const TInk Left = InkFor(taLeftJustify, tlTop);
    EXPECT_LT(Left.Left, 5);
    EXPECT_LT(Left.Top, 8);
    const TInk Right = InkFor(taRightJustify, tlBottom);
    EXPECT_GT(Right.Right, 194);
    EXPECT_GT(Right.Bottom, 32);
    const TInk Centre = InkFor(taCenter, tlCenter);
    EXPECT_NEAR((Centre.Left + Centre.Right) / 2, 100, 3);
    EXPECT_NEAR((Centre.Top + Centre.Bottom) / 2, 20, 4);
}

TEST_F(PaintTest, LabelDrawsTheAccessKeyMarkOnlyWhenAskedTo) {
    TLabel Label(nullptr);
    Label.SetColor(clWhite);
    Label.Font()->SetColor(clBlack);
    Label.SetCaption("&&&&");
    Label.SetAutoSize(false);
    Label.SetWidth(100);
    auto Prefixed = Label.Snapshot();
    const TInk Two = InkOf(*Prefixed, Rgb(clWhite));
    Label.SetShowAccelChar(false);
    auto Plain = Label.Snapshot();
    const TInk Four = InkOf(*Plain, Rgb(clWhite));
    EXPECT_GT(Four.Right - Four.Left, (Two.Right - Two.Left) * 3 / 2);
}

TEST_F(PaintTest, OpaqueLabelFillsItsColourAndTransparentLabelDoesNot) {
    TLabel Label(nullptr);
    Label.SetAutoSize(false);
    Label.SetBounds(0, 0, 20, 10);
    Label.SetColor(clRed);
    auto Opaque = Label.Snapshot();
    EXPECT_EQ(Pixel(*Opaque, 10, 5), Rgb(clRed));
    Label.SetTransparent(true);
    auto Clear = Label.Snapshot();
    EXPECT_NE(Pixel(*Clear, 10, 5), Rgb(clRed));
}

TEST_F(PaintTest, BevelShapesUseShadowThenHighlight) {
    TBevel Bevel(nullptr);
    Bevel.SetBounds(0, 0, 40, 30);
    auto Box = Bevel.Snapshot();
    EXPECT_EQ(Pixel(*Box, 0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(*Box, 39, 29), Rgb(clBtnHighlight));

    Bevel.SetShape(bsFrame);
    auto Frame = Bevel.Snapshot();
    EXPECT_EQ(Pixel(*Frame, 0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(*Frame, 1, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(Pixel(*Frame, 38, 28), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(*Frame, 39, 29), Rgb(clBtnHighlight));

    Bevel.SetShape(bsTopLine);
    Bevel.SetStyle(bsRaised);
    auto Line = Bevel.Snapshot();
    EXPECT_EQ(Pixel(*Line, 20, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(Pixel(*Line, 20, 1), Rgb(clBtnShadow));
    EXPECT_NE(Pixel(*Line, 20, 15), Rgb(clBtnShadow));
}

TEST_F(PaintTest, StatusBarShowsItsSimpleTextOnlyInSimpleMode) {
    TStatusBar Bar(nullptr);
    Bar.SetBounds(0, 0, 200, 19);
    Bar.SetSizeGrip(false);
    Bar.Font()->SetColor(clBlack);
    Bar.SetSimpleText("Ready");
    auto Panels = Bar.Snapshot();
    EXPECT_LT(InkOf(*Panels, Rgb(clBtnFace)).Left, 0);
    Bar.SetSimplePanel(true);
    auto Simple = Bar.Snapshot();
    EXPECT_GE(InkOf(*Simple, Rgb(clBtnFace)).Left, 0);
}

} // namespace
