// Both wizard forms as loaded from their form files: the themed look, the icon buttons and
// command captions of the bottom bar, the link labels that open their addresses, and the one
// hand cursor of links, lists and target buttons.
#include "BoxLabl.h"
#include "IconBtn.h"
#include "TempDir.h"
#include "Themes.h"
#include "URLLabel.h"
#include "WinApi.h"
#include "WizardDriver.h"
#include "umorvane.h"
#include "upellisk.h"

#include <gtest/gtest.h>

namespace {

using namespace WizardDriver;

constexpr TColor BarColor = 7099731;

struct TFormCase {
    const char* Name;
    std::function<TCustomForm*()> Create;
    BoxLabl::TBorderStyle CaptionBorder;
    TColor HelpColor;
};

class FormLookTest : public testing::TestWithParam<TFormCase> {
protected:
    void SetUp() override {
        SetProgramDirForTesting(Dir.Path());
        SetShellOpener([this](const AnsiString& Address) {
            Opened.push_back(Address);
            return true;
        });
        AnswerOpenDialog(Dir.Write("source.CSV", "a,b,\r\n"));
        Form = GetParam().Create();
        Form->Show();
    }
    void TearDown() override {
        delete Form;
        SetShellOpener(nullptr);
        SetProgramDirForTesting("");
    }
    template <class T> T* Get(const char* Name) const { return ComponentByName<T>(Form, Name); }

    TTempDir Dir;
    TCustomForm* Form = nullptr;
    std::vector<AnsiString> Opened;
};

TEST_P(FormLookTest, IconButtonsAreFlatWithTheirIconsAndTheBarShowsThem) {
    EXPECT_TRUE(ThemeServices()->ThemesEnabled());
    for (const char* Name :
         {"IconButton2", "IconButton7", "IconButton4", "IconButton3", "IconButton1"}) {
        auto* Button = Get<TIconButton>(Name);
        EXPECT_EQ(Button->ButtonStyle(), IconBtn::bsIELike) << Name;
        EXPECT_FALSE(Button->Stretch()) << Name;
        EXPECT_EQ(Button->InColor(), Button->OutColor()) << Name;
        EXPECT_EQ(Button->Icon()->Width(), 32) << Name;
        EXPECT_EQ(Button->BevelOuter(), bvNone) << Name;
    }
    // The Execute icon's centre is drawn over the bar.
    auto* Execute = Get<TIconButton>("IconButton3");
    auto Bar = Get<TControl>("GradPan2")->Snapshot();
    const TColor Centre =
        Bar->Canvas()->Pixel(Execute->Left() + Execute->Width() / 2, Execute->Top() + 10);
    EXPECT_NE(static_cast<std::uint32_t>(Centre), ColorToRGB(BarColor));
}

TEST_P(FormLookTest, CommandCaptionsAreWhiteTextOnDarkBoxes) {
    const std::pair<const char*, AnsiString> Captions[] = {
        {"BoxLabel1", "HELP"}, {"BoxLabel20", "実　行"_sj}, {"BoxLabel21", "キャンセル"_sj}};
    for (const auto& [Name, Caption] : Captions) {
        auto* Label = Get<TBoxLabel>(Name);
        EXPECT_EQ(Label->Caption(), Caption) << Name;
        EXPECT_EQ(Label->BevelInner(), BoxLabl::bvNone) << Name;
        EXPECT_EQ(Label->BevelOuter(), BoxLabl::bvNone) << Name;
        EXPECT_EQ(Label->TextBorder(), 2) << Name;
        EXPECT_EQ(Label->BorderStyle(), GetParam().CaptionBorder) << Name;
        EXPECT_EQ(Label->Font()->Color(), clWhite) << Name;
        EXPECT_EQ(Label->Font()->Height(), -12) << Name;
        const std::uint32_t Back = ColorToRGB(Label->Color());
        EXPECT_LT(GetRValue(Back) + GetGValue(Back) + GetBValue(Back), 3 * 200) << Name;
        auto Image = Label->Snapshot();
        int White = 0;
        for (int Y = 0; Y < Image->Height(); ++Y)
            for (int X = 0; X < Image->Width(); ++X)
                White += static_cast<std::uint32_t>(Image->Canvas()->Pixel(X, Y)) == 0xFFFFFF;
        EXPECT_GT(White, 10) << Name;
    }
    EXPECT_EQ(Get<TBoxLabel>("BoxLabel1")->Color(), GetParam().HelpColor);
}

TEST_P(FormLookTest, LinkLabelsOpenTheirAddressesOnPress) {
    for (const char* Name : {"URLLabel3", "URLLabel4"}) {
        auto* Link = Get<TURLLabel>(Name);
        EXPECT_TRUE(Link->Executable()) << Name;
        EXPECT_TRUE(Link->Font()->Style().Contains(fsUnderline)) << Name;
        TestSupport::MouseDown(Link, mbLeft, {5, 5});
        TestSupport::MouseUp(Link, mbLeft, {5, 5});
        ASSERT_FALSE(Opened.empty()) << Name;
        EXPECT_EQ(Opened.back(), Link->Caption()) << Name;
    }
    EXPECT_EQ(Opened[0].rfind("https://", 0), 0u);
    EXPECT_EQ(Opened[1].rfind("mailto:", 0), 0u);
}

TEST_P(FormLookTest, LinksListAndTargetButtonsShowTheSameHand) {
    const auto Hand = TestSupport::CursorImage(Get<TControl>("URLLabel3"));
    ASSERT_TRUE(Hand && Hand->Width() > 0);
    for (const char* Name : {"ListBox1", "Button1", "URLLabel4"}) {
        const TPoint HotSpot = TestSupport::CursorHotSpot(Get<TControl>(Name));
        EXPECT_EQ((std::pair{HotSpot.X, HotSpot.Y}), (std::pair{7, 1})) << Name;
        const auto Image = TestSupport::CursorImage(Get<TControl>(Name));
        ASSERT_TRUE(Image) << Name;
        EXPECT_EQ(Image->SaveToBytes(), Hand->SaveToBytes()) << Name;
    }
}

INSTANTIATE_TEST_SUITE_P(BothForms, FormLookTest,
                         testing::Values(TFormCase{"morvane", [] { return new Tfmorvane(nullptr); },
                                                   BoxLabl::bsNone, BarColor},
                                         TFormCase{"pellisk", [] { return new Tfpellisk(nullptr); },
                                                   BoxLabl::bsSingle, 12615680}),
                         [](const testing::TestParamInfo<TFormCase>& Info) {
                             return std::string(Info.param.Name);
                         });

} // namespace
