// What only the system's open dialog has: the program's child template holding the preview, the
// places bar switched by ShowPlacesBar, and the preview following a selection in its file list.
#include "Win32Host.h"

#include "TempDir.h"
#include "TestDriver.h"
#include "TextDlgs.h"

#include <gtest/gtest.h>

namespace {

class TProbe : public TTextOpenDialog {
public:
    using TTextOpenDialog::ExtraPanel;
    using TTextOpenDialog::PreviewCheckBox;
    using TTextOpenDialog::PreviewMemo;
    using TTextOpenDialog::TTextOpenDialog;
};

class OpenDialogWin32Test : public testing::Test {
protected:
    void SetUp() override {
        Dialog.SetInitialDir(Dir.Path());
        Dialog.SetFilter("CSVファイル|*.CSV"_sj);
    }
    HWND Shown() const { return Hwnd(Dialog.DialogWidget()); }
    // Runs the dialog; Inside acts while it is shown, then it is cancelled.
    void Run(const std::function<void()>& Inside) {
        TestDriver::AnswerOpenDialog("", Inside);
        Dialog.Execute();
    }

    TTempDir Dir;
    TProbe Dialog{nullptr};
};

TEST_F(OpenDialogWin32Test, ThePreviewStandsInTheChildTemplateBelowTheStandardControls) {
    HWND Template = nullptr, CheckBoxParent = nullptr, MemoParent = nullptr;
    RECT Standard{}, PanelArea{};
    Run([&] {
        const HWND Dialog = Shown();
        Template = FindWindowExW(Dialog, nullptr, L"#32770", nullptr);
        CheckBoxParent =
            GetAncestor(TControlAccess::Window(this->Dialog.PreviewCheckBox()), GA_PARENT);
        MemoParent = GetAncestor(TControlAccess::Window(this->Dialog.PreviewMemo()), GA_PARENT);
        GetWindowRect(GetDlgItem(Template, stc32), &Standard);
        GetWindowRect(TControlAccess::Window(this->Dialog.ExtraPanel()), &PanelArea);
    });
    ASSERT_NE(Template, nullptr);
    ASSERT_NE(GetDlgItem(Template, stc32), nullptr) << "the template ENHDLG1 was not used";
    const HWND Panel = GetAncestor(CheckBoxParent, GA_PARENT);
    EXPECT_EQ(CheckBoxParent, MemoParent) << "check box and memo share the extra panel";
    EXPECT_EQ(GetAncestor(Panel, GA_PARENT), Template);
    EXPECT_EQ(PanelArea.top, Standard.bottom);
    EXPECT_GT(PanelArea.bottom - PanelArea.top, 100);
}

TEST_F(OpenDialogWin32Test, ThePlacesBarShowsOnlyWhenAskedFor) {
    for (const bool Places : {true, false}) {
        Dialog.SetShowPlacesBar(Places);
        bool Shown = false;
        Run([&] {
            const HWND Bar = GetDlgItem(this->Shown(), ctl1);
            wchar_t Class[32] = {};
            GetClassNameW(Bar, Class, 32);
            Shown = Bar && IsWindowVisible(Bar) && std::wstring_view(Class) == TOOLBARCLASSNAMEW;
        });
        EXPECT_EQ(Shown, Places);
    }
}

TEST_F(OpenDialogWin32Test, ThePreviewFollowsTheFileSelectedInTheList) {
    const AnsiString First = Dir.FilePath("a.csv"), Second = Dir.FilePath("b.csv");
    ASSERT_TRUE(WriteFile(First, "1,ボルト\r\n"_sj));
    ASSERT_TRUE(WriteFile(Second, "2,ナット\r\n"_sj));
    Dialog.SetPreview(true);
    AnsiString AfterFirst, AfterSecond;
    Run([&] {
        ASSERT_TRUE(TestDriver::SelectInOpenDialog(First));
        AfterFirst = Dialog.PreviewMemo()->Lines()->Get(0);
        ASSERT_TRUE(TestDriver::SelectInOpenDialog(Second));
        AfterSecond = Dialog.PreviewMemo()->Lines()->Get(0);
    });
    EXPECT_EQ(AfterFirst, "1,ボルト"_sj);
    EXPECT_EQ(AfterSecond, "2,ナット"_sj);
}

} // namespace
