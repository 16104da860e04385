// The open dialog as a component of form files, and run as the user answers it.
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FormReader.h"
#include "FormWriter.h"
#include "ProbeDialog.h"
#include "TempDir.h"
#include "TestDriver.h"
#include "TestSupport.h"
#include "TypInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

TEST(DialogsTest, OpenDialogSurvivesAWriteAndReadRoundTrip) {
    class TDialogForm : public TComponent {
    public:
        using TComponent::TComponent;
        const char* ClassName() const override { return "TDialogForm"; }
        void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*) const override {
            for (int I = 0; I < ComponentCount(); ++I)
                Proc(Components(I));
        }
    };
    TPublish<TDialogForm>("TDialogForm", "TComponent");
    const char* Text = R"(object Form: TDialogForm
  object TextOpenDialog1: TOpenDialog
    DefaultExt = 'CSV'
    Filter = 'CSVファイル|*.CSV'
    FilterIndex = 2
    Options = [ofHideReadOnly, ofFileMustExist, ofEnableSizing]
    Title = 'CSVファイルを指定して下さい'
  end
end
)";
    TDialogForm Form(nullptr);
    ReadComponentText(&Form, Text);
    auto* Loaded = ComponentByName<TOpenDialog>(&Form, "TextOpenDialog1");
    EXPECT_EQ(Loaded->Title(), "CSVファイルを指定して下さい"_sj);
    EXPECT_TRUE(Loaded->Options().Contains(ofFileMustExist));
    EXPECT_EQ(Loaded->FilterIndex(), 2);
    const std::string Written = WriteComponentText(&Form);
    TDialogForm Again(nullptr);
    ReadComponentText(&Again, Written);
    EXPECT_EQ(WriteComponentText(&Again), Written);
    EXPECT_EQ(ComponentByName<TOpenDialog>(&Again, "TextOpenDialog1")->Filter(),
              "CSVファイル|*.CSV"_sj);

    TOpenDialog Fresh(nullptr);
    EXPECT_EQ(Fresh.Options(), (TOpenOptions{ofHideReadOnly, ofEnableSizing}));
    EXPECT_EQ(Fresh.FilterIndex(), 1);
}

class OpenDialogRun : public testing::Test {
protected:
    void SetUp() override {
        for (const char* Name : {"a.csv", "B.CSV", "c.txt"})
            ASSERT_TRUE(WriteFile(Dir.FilePath(Name), ""));
        Dialog.SetInitialDir(Dir.Path());
        Dialog.SetFilter("CSVファイル|*.CSV"_sj);
        SetExceptionHandler([this](const std::exception& E) { Reported.push_back(E.what()); });
    }
    void TearDown() override { SetExceptionHandler(nullptr); }
    AnsiString In(const char* Name) const { return Dir.Path() + PathDelim + Name; }

    TTempDir Dir;
    TProbeDialog Dialog{nullptr};
    std::vector<std::string> Reported;
};

TEST_F(OpenDialogRun, ATypedNameBecomesTheFullPathAndCancellingKeepsTheOldOne) {
    TestDriver::AnswerOpenDialog("a.csv");
    ASSERT_TRUE(Dialog.Execute());
    EXPECT_EQ(Dialog.FileName(), In("a.csv"));
    ASSERT_EQ(Dialog.Files()->Count(), 1);
    EXPECT_EQ(Dialog.Files()->Get(0), In("a.csv"));

    Dialog.SetFileName("before.csv");
    TestDriver::AnswerOpenDialog("", [] { TestDriver::TypeInOpenDialog("B.CSV"); });
    EXPECT_FALSE(Dialog.Execute());
    EXPECT_EQ(Dialog.FileName(), "before.csv");
}

TEST_F(OpenDialogRun, TheSelectionHookSeesTheSelectedPathAndItsErrorsAreReported) {
    bool Selected = false;
    TestDriver::AnswerOpenDialog("",
                                 [&] { Selected = TestDriver::SelectInOpenDialog(In("B.CSV")); });
    EXPECT_FALSE(Dialog.Execute());
    ASSERT_TRUE(Selected);
    EXPECT_EQ(Dialog.SelectionSeen, In("B.CSV"));
    EXPECT_TRUE(Reported.empty());

    Dialog.OnSelectionChange = [](TObject*) { throw std::runtime_error("preview failed"); };
    TestDriver::AnswerOpenDialog("B.CSV",
                                 [&] { Selected = TestDriver::SelectInOpenDialog(In("B.CSV")); });
    EXPECT_TRUE(Dialog.Execute()) << "the dialog goes on after the error";
    ASSERT_TRUE(Selected);
    EXPECT_EQ(Dialog.FileName(), In("B.CSV"));
    ASSERT_FALSE(Reported.empty());
    EXPECT_EQ(Reported[0], "preview failed");
}

TEST_F(OpenDialogRun, TheTemplateAreaLivesWhileTheDialogShowsAndOnlyWhenWanted) {
    TestDriver::AnswerOpenDialog("");
    Dialog.Execute();
    EXPECT_EQ(Dialog.Events, (std::vector<std::string>{"show", "close"}));

    Dialog.Events.clear();
    Dialog.Template = true;
    Dialog.OnShow = [&](TObject*) { Dialog.Events.push_back("OnShow"); };
    Dialog.OnClose = [&](TObject*) { Dialog.Events.push_back("OnClose"); };
    std::vector<std::string> EventsWhileShown;
    bool PanelShown = false;
    TestDriver::AnswerOpenDialog("", [&] {
        EventsWhileShown = Dialog.Events;
        PanelShown = Dialog.Extra && TestSupport::IsShown(Dialog.Extra);
    });
    EXPECT_FALSE(Dialog.Execute());
    EXPECT_EQ(EventsWhileShown, (std::vector<std::string>{"show with area", "OnShow"}));
    EXPECT_EQ(Dialog.Events,
              (std::vector<std::string>{"show with area", "OnShow", "close with area", "OnClose"}));
    EXPECT_TRUE(PanelShown);
    EXPECT_EQ(Dialog.TemplateArea(), nullptr);
}

TEST_F(OpenDialogRun, TheFileNameFieldCanBeReadAndWrittenWhileShown) {
    AnsiString Shown, Read;
    TestDriver::AnswerOpenDialog("", [&] {
        Dialog.SetFileNameFieldText("データ.csv"_sj);
        Shown = TestDriver::OpenDialogNameText();
        TestDriver::TypeInOpenDialog("単価.txt"_sj);
        Read = Dialog.FileNameFieldText();
    });
    Dialog.Execute();
    EXPECT_EQ(Shown, "データ.csv"_sj);
    EXPECT_EQ(Read, "単価.txt"_sj);
    EXPECT_EQ(Dialog.FileNameFieldText(), "");
}

TEST_F(OpenDialogRun, ANameOutsideTheCodePageIsRefusedWithAMessage) {
    const std::u16string Korean = u"\uD55C\uAD6D.csv";
    ASSERT_TRUE(std::ofstream(std::filesystem::path(Dir.Path()) / Korean));
    AnsiString Message;
    bool StillOpen = false;
    TestDriver::AnswerOpenDialog("", [&] {
        TestDriver::AnswerMessageBox(&Message);
        TestDriver::TypeInOpenDialog(Korean);
        TestDriver::ConfirmOpenDialog();
        StillOpen = TestDriver::ModalWindowShown();
    });
    EXPECT_FALSE(Dialog.Execute());
    EXPECT_FALSE(Message.empty());
    EXPECT_TRUE(StillOpen);
}

} // namespace
