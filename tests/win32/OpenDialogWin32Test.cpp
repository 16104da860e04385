// What only the system's open dialog has: the program's child template holding the preview, the
// places bar switched by ShowPlacesBar, and the preview following a selection in its file list.
#include "Win32Host.h"

#include "TempDir.h"
#include "TestDriver.h"
#include "TextDlgs.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class TProbe : public TTextOpenDialog {
public:
    using TTextOpenDialog::ExtraPanel;
    using TTextOpenDialog::PreviewCheckBox;
    using TTextOpenDialog::PreviewMemo;
    using TTextOpenDialog::TTextOpenDialog;
};

// The lowest edge of the dialog's file-type list and Cancel button, the standard controls
// nearest the template area.
LONG LowestStandardControl(HWND Dialog) {
    LONG Lowest = 0;
    for (const int Id : {cmb1, IDCANCEL}) {
        RECT R{};
        GetWindowRect(GetDlgItem(Dialog, Id), &R);
        Lowest = std::max(Lowest, R.bottom);
    }
    return Lowest;
}

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

// The check box and the memo stand on the panel, the panel on the template area, the area in
// the child dialog made from the template, from 10 pixels above the lower edge of its control
// 1119 (stc32) down, clear of the standard controls above it.
TEST_F(OpenDialogWin32Test, ThePreviewStandsInTheChildTemplateBelowTheStandardControls) {
    HWND StandardArea = nullptr, Template = nullptr, BoxPanel = nullptr, MemoPanel = nullptr;
    HWND PanelHolder = nullptr;
    RECT Standard{}, Panel{};
    LONG Lowest = 0;
    Run([&] {
        Template = FindWindowExW(Shown(), nullptr, L"#32770", nullptr);
        StandardArea = GetDlgItem(Template, stc32);
        BoxPanel = GetParent(TControlAccess::Window(Dialog.PreviewCheckBox()));
        MemoPanel = GetParent(TControlAccess::Window(Dialog.PreviewMemo()));
        PanelHolder = GetParent(GetParent(BoxPanel));
        GetWindowRect(StandardArea, &Standard);
        GetWindowRect(BoxPanel, &Panel);
        Lowest = LowestStandardControl(Shown());
    });
    ASSERT_NE(StandardArea, nullptr) << "the template ENHDLG1 was not used";
    EXPECT_EQ(BoxPanel, MemoPanel);
    EXPECT_EQ(PanelHolder, Template);
    EXPECT_EQ(Panel.top, Standard.bottom - 10);
    EXPECT_GT(Panel.bottom - Panel.top, 100);
    EXPECT_GT(Lowest, 0);
    EXPECT_LE(Lowest, Panel.top);
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
