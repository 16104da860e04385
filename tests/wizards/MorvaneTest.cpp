// End-to-end: the costing-data wizard driven as a user would, from the open dialog to the
// hand-off file.
#include "FormConvert.h"
#include "FormWriter.h"
#include "TempDir.h"
#include "TestData.h"
#include "WinApi.h"
#include "WizardDriver.h"
#include "umorvane.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace WizardDriver;

class MorvaneTest : public testing::Test {
protected:
    MorvaneTest() { SetProgramDirForTesting(Dir.Path()); }
    ~MorvaneTest() override { delete Form; }

    std::string WriteSource(const std::string& Bytes) { return Dir.Write("source.CSV", Bytes); }
    // Starts the wizard and answers its open dialog with Path (cancels when empty).
    void Open(const AnsiString& Path) {
        AnswerOpenDialog(Path);
        Form = new Tfmorvane(nullptr);
        Form->Show();
    }
    void OpenSource(const std::string& Bytes) { Open(WriteSource(Bytes)); }
    void Press(const char* Name) { Click(ComponentByName<TControl>(Form, Name)); }
    void ChooseSeparator(int Index) {
        TPlatformWidget* Button =
            ComponentByName<TRadioGroup>(Form, "Separater_Char")->Button(Index);
        ASSERT_NE(Button, nullptr);
        TestSupport::ClickWindow(Button);
    }
    // Presses the target buttons in order (by name), after Start.
    void Map(std::initializer_list<const char*> Buttons) {
        Press("Button21");
        for (const char* B : Buttons)
            Press(B);
    }
    std::string HandOffPath() const { return Dir.FilePath("csv_inport.tmp"); }
    bool HandOffExists() const { return Dir.Exists("csv_inport.tmp"); }
    std::string HandOff() const { return Dir.Read("csv_inport.tmp"); }
    void PutOldHandOff() const { Dir.Write("csv_inport.tmp", "old"); }
    bool Closed() const { return !TestSupport::IsShown(Form); }
    TStrColGrid* Grid() const { return ComponentByName<TStrColGrid>(Form, "StrColGrid1"); }
    TListBox* List() const { return ComponentByName<TListBox>(Form, "ListBox1"); }
    std::vector<AnsiString> ListItems() const {
        std::vector<AnsiString> Items;
        for (int I = 0; I < List()->Items()->Count(); ++I)
            Items.push_back(List()->Items()->Get(I));
        return Items;
    }

    TTempDir Dir;
    Tfmorvane* Form = nullptr;
};

using Items = std::vector<AnsiString>;

TEST_F(MorvaneTest, MapsFieldsAndWritesTheHandOffFileByteForByte) {
    OpenSource("ボルト,M10,本,100,30,\r\nナット,M10,個,200,12,\r\n"_sj);
    Map({"Button1", "Button2", "Button3", "Button4", "Button6"});
    EXPECT_FALSE(ComponentByName<TControl>(Form, "Panel6")->Visible());
    EXPECT_TRUE(ComponentByName<TControl>(Form, "Panel7")->Visible());
    EXPECT_EQ(ComponentByName<TControl>(Form, "Panel7")->Top(), 64);
    Press("IconButton3");
    EXPECT_EQ(HandOff(), "ボルト;M10;本;0;100;0;0;30;0;0;0;0;;\r\n"
                         "ナット;M10;個;0;200;0;0;12;0;0;0;0;;\r\n"_sj);
    EXPECT_TRUE(Closed());
}

TEST_F(MorvaneTest, TextAfterTheLastSeparatorIsAFieldAndShortLinesShowEmptyItems) {
    OpenSource("a,b,c\r\nx\r\ny,z\r\n");
    Press("Button21");
    EXPECT_EQ(ListItems(), (Items{"a", "x", "y"}));
    Press("Button1");
    EXPECT_EQ(ListItems(), (Items{"b", "", "z"}));
    Press("Button2");
    EXPECT_EQ(ListItems(), (Items{"c", "", ""}));
    Press("Button3");
    EXPECT_TRUE(ComponentByName<TControl>(Form, "Panel7")->Visible());
    Press("IconButton3");
    EXPECT_EQ(HandOff(), "a;b;c;0;0;0;0;0;0;0;0;0;;\r\n"
                         "x;;;0;0;0;0;0;0;0;0;0;;\r\n"
                         "y;z;;0;0;0;0;0;0;0;0;0;;\r\n");
}

TEST_F(MorvaneTest, TheSeparatorChosenDecidesTheFields) {
    OpenSource("a\tb;c\r\n");
    ChooseSeparator(1);
    Press("Button21");
    EXPECT_EQ(ListItems(), (Items{"a"}));
    ChooseSeparator(3);
    Press("Button10");
    EXPECT_EQ(ListItems(), (Items{"c"})) << "a new separator counts from the next step on";
    Press("Button9");
    Press("IconButton3");
    EXPECT_EQ(HandOff(), ";;;0;0;0;0;0;0;0;0;c;;\r\n");
}

TEST_F(MorvaneTest, StartAgainSkipsTheFieldOnShow) {
    OpenSource("1,2,3\r\n");
    Press("Button21");
    Press("Button21");
    EXPECT_EQ(ListItems(), (Items{"2"}));
    EXPECT_EQ(Form->FieldCursor(), 3);
}

TEST_F(MorvaneTest, ATargetBeforeStartShowsTheGridAtOnce) {
    OpenSource("1,2\r\n");
    Press("Button1");
    EXPECT_TRUE(ComponentByName<TControl>(Form, "Panel7")->Visible());
    Press("IconButton3");
    EXPECT_EQ(HandOff(), "");
}

TEST_F(MorvaneTest, OnlySkippedFieldsGiveAnEmptyHandOffFile) {
    PutOldHandOff();
    OpenSource("1,2\r\n3,4\r\n");
    Map({"Button10", "Button10"});
    Press("IconButton3");
    EXPECT_EQ(HandOff(), "");
}

TEST_F(MorvaneTest, ExecuteDuringMappingWritesWhatIsMappedSoFar) {
    OpenSource("名,1\r\n"_sj);
    Map({"Button1"});
    EXPECT_TRUE(ComponentByName<TControl>(Form, "Panel6")->Visible());
    Press("IconButton3");
    EXPECT_EQ(HandOff(), "名;;;0;0;0;0;0;0;0;0;0;;\r\n"_sj);
}

TEST_F(MorvaneTest, GridGrowsPastFiftyRowsWithRightAlignedNumbers) {
    std::string Many;
    for (int I = 1; I <= 60; ++I)
        Many += std::to_string(I) + ",\r\n";
    OpenSource(Many);
    Map({"Button8"});
    EXPECT_EQ(Grid()->RowCount(), 61);
    EXPECT_EQ(Grid()->Cells(4, 60), "60");
    EXPECT_EQ(Grid()->Cells(0, 60), "*");
    for (int Row : {1, 50, 55, 60})
        for (int Col = 4; Col <= 12; ++Col) {
            TSCGCellParam* P = Grid()->GetCellParam(Col, Row, false);
            ASSERT_NE(P, nullptr) << Col << "," << Row;
            EXPECT_EQ(P->Alignment(), taRightJustify);
        }
    EXPECT_EQ(Grid()->GetCellParam(1, 60, false), nullptr);
}

TEST_F(MorvaneTest, ShortFilesKeepFiftyRows) {
    OpenSource("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");
    Map({"Button1"});
    EXPECT_EQ(Grid()->RowCount(), 50);
    EXPECT_EQ(Grid()->Cells(0, 11), "");
}

TEST_F(MorvaneTest, CancellingTheDialogDeletesTheHandOffFileAndCloses) {
    PutOldHandOff();
    Open("");
    EXPECT_TRUE(Closed());
    EXPECT_FALSE(HandOffExists());
    EXPECT_EQ(Form->SourceLines(), nullptr) << "closing releases the source lines";
}

TEST_F(MorvaneTest, BothCancelCommandsDeleteTheHandOffFile) {
    for (const char* Cancel : {"Button11", "IconButton1"}) {
        PutOldHandOff();
        OpenSource("1,2\r\n");
        Press(Cancel);
        EXPECT_TRUE(Closed()) << Cancel;
        EXPECT_FALSE(HandOffExists()) << Cancel;
        delete Form;
        Form = nullptr;
    }
}

// Ending as if the old file were gone would hand the previous import to the host as new.
TEST_F(MorvaneTest, ACancelThatCannotDeleteTheHandOffFileSaysWhyAndTheFormStaysOpen) {
    for (const char* Cancel : {"Button11", "IconButton1"}) {
        PutOldHandOff();
        OpenSource("1,2\r\n");
        SetFileFault([](TFileOp Op) { return Op == TFileOp::Delete ? EACCES : 0; });
        AnsiString Message;
        AnswerMessageBox(&Message);
        Press(Cancel);
        SetFileFault({});
        EXPECT_NE(Message.find(HandOffPath()), Message.npos) << AnsiToUtf8(Message);
        EXPECT_NE(Message.find("アクセスが拒否されました"_sj), Message.npos);
        EXPECT_FALSE(Closed()) << Cancel;
        EXPECT_EQ(HandOff(), "old");
        Press(Cancel);
        EXPECT_TRUE(Closed()) << Cancel;
        EXPECT_FALSE(HandOffExists()) << Cancel;
        delete Form;
        Form = nullptr;
    }
}

TEST_F(MorvaneTest, TheCloseBoxLeavesTheHandOffFileAlone) {
    PutOldHandOff();
    OpenSource("1,2\r\n");
    PressCloseBox(Form);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(HandOff(), "old");
    EXPECT_EQ(Form->SourceLines(), nullptr);
}

TEST_F(MorvaneTest, AnEmptyFileClosesAtOnceWithoutMessage) {
    PutOldHandOff();
    OpenSource("");
    EXPECT_TRUE(Closed());
    EXPECT_EQ(HandOff(), "old");
}

TEST_F(MorvaneTest, AFileThatIsNoTextIsReportedAndTheFormStaysOpenWithNothingLoaded) {
    AnsiString Message;
    AnswerMessageBox(&Message);
    OpenSource(std::string("a,b\r\n\0\x01\x02", 8));
    EXPECT_NE(Message.find("source.CSV"), Message.npos) << AnsiToUtf8(Message);
    EXPECT_FALSE(Closed());
    EXPECT_EQ(Form->SourceLines()->Count(), 0);
    EXPECT_EQ(Form->FieldCursor(), 0);
    Press("Button21");
    EXPECT_EQ(List()->Items()->Count(), 0);
}

// A pipe would block the program before any window shows, a device would fill the memory.
TEST_F(MorvaneTest, APipeOrDeviceIsRefusedAtOnceAndTheFormStaysOpen) {
    std::vector<std::string> Paths;
    if (const std::string Fifo = Dir.FilePath("fifo.csv"); TestDriver::MakePipe(Fifo))
        Paths.push_back(Fifo);
    if (!TestDriver::EndlessDevice().empty())
        Paths.push_back(TestDriver::EndlessDevice());
    if (Paths.empty())
        GTEST_SKIP() << "no pipe in a folder and no endless device on this system";
    for (const std::string& Path : Paths) {
        AnsiString Message;
        AnswerMessageBox(&Message);
        Open(Path);
        EXPECT_NE(Message.find(Path), Message.npos) << AnsiToUtf8(Message);
        EXPECT_NE(Message.find("通常のファイルではありません"_sj), Message.npos);
        EXPECT_FALSE(Closed());
        EXPECT_EQ(Form->SourceLines()->Count(), 0);
        delete Form;
        Form = nullptr;
    }
}

TEST_F(MorvaneTest, AHandOffFileThatCannotBeWrittenIsReportedAndNothingIsLost) {
    Dir.MakeFolder("csv_inport.tmp");
    OpenSource("1,2\r\n");
    Map({"Button1", "Button2"});
    AnsiString Message;
    AnswerMessageBox(&Message);
    Press("IconButton3");
    EXPECT_FALSE(Message.empty());
    EXPECT_FALSE(Closed());
    EXPECT_TRUE(std::filesystem::is_directory(HandOffPath()));
    EXPECT_EQ(Dir.Files(), std::vector<std::string>{"source.CSV"});
    EXPECT_EQ(Grid()->Cells(4, 1), "0") << "the zeros of the rows handled stay in the grid";
}

TEST_F(MorvaneTest, AUtf8FileIsImportedAsShiftJis) {
    OpenSource("\xEF\xBB\xBF㈱髙橋,本\n");
    Map({"Button1", "Button3"});
    Press("IconButton3");
    EXPECT_EQ(HandOff(), "㈱髙橋;;本;0;0;0;0;0;0;0;0;0;;\r\n"_sj);
}

TEST_F(MorvaneTest, AUtf8FileWithoutMarkIsImportedAsShiftJis) {
    OpenSource("ボルト,本\n異形棒鋼,t\n");
    Map({"Button1", "Button3"});
    Press("IconButton3");
    EXPECT_EQ(HandOff(),
              "ボルト;;本;0;0;0;0;0;0;0;0;0;;\r\n異形棒鋼;;t;0;0;0;0;0;0;0;0;0;;\r\n"_sj);
}

TEST_F(MorvaneTest, ARealHolidayListGoesThroughWhole) {
    SKIP_WITHOUT_TESTDATA("/csv/syukujitsu.csv");
    Open(QUOVANT_TESTDATA "/csv/syukujitsu.csv");
    Map({"Button1", "Button2"});
    EXPECT_EQ(Grid()->RowCount(), 1069);
    Press("IconButton3");
    const std::string Out = HandOff();
    EXPECT_EQ(std::count(Out.begin(), Out.end(), '\n'), 1068);
    EXPECT_EQ(Out.substr(0, Out.find("\r\n")),
              "国民の祝日・休日月日;国民の祝日・休日名称;;0;0;0;0;0;0;0;0;0;;"_sj);
}

// The dialog of the form previews the file the user points at before it is opened.
TEST_F(MorvaneTest, TheOpenDialogPreviewsTheFirst1024BytesOfTheSelectedFile) {
    std::string Bytes;
    while (Bytes.size() < 1500)
        Bytes += "ボルト,M10,本,100,30,,\r\n"_sj; // 1024 falls between single bytes
    const std::string Source = WriteSource(Bytes);
    AnsiString Preview;
    AnswerOpenDialog(Source, [&] {
        auto* Dialog = ComponentByName<TTextOpenDialog>(Form, "TextOpenDialog1");
        TestSupport::Click(TPreviewParts::CheckBox(Dialog), mbLeft, {5, 5});
        ASSERT_TRUE(TestDriver::SelectInOpenDialog(Source));
        Preview = TPreviewParts::Memo(Dialog)->Lines()->Text();
    });
    Form = new Tfmorvane(nullptr);
    Form->Show();
    TStringList Expected;
    Expected.SetText(Bytes.substr(0, 1024));
    EXPECT_EQ(Preview, Expected.Text());
    EXPECT_EQ(Form->SourceLines()->Count(), std::count(Bytes.begin(), Bytes.end(), '\n'));
}

// The form as the layer writes it goes through the binary format and comes back the same.
TEST_F(MorvaneTest, TheFormSurvivesTheBinaryFormat) {
    Tfmorvane Loaded(nullptr);
    const std::string Written = WriteComponentText(&Loaded);
    AnsiString Text;
    ASSERT_TRUE(Utf8ToAnsi(Written, Text));
    const std::string Image = ObjectTextToResource(Text);
    const AnsiString Back = ObjectBinaryToText(Image);
    EXPECT_EQ(AnsiToUtf8(Back), Written);
    EXPECT_EQ(ObjectTextToResource(Back), Image);
    auto* Dialog = ComponentByName<TTextOpenDialog>(&Loaded, "TextOpenDialog1");
    EXPECT_FALSE(Dialog->AutoExtChange());
    EXPECT_TRUE(Dialog->ShowPlacesBar());
    EXPECT_FALSE(Dialog->Preview());
    EXPECT_NE(
        Written.find("    AutoExtChange = False\n    ShowPlacesBar = True\n    Preview = False\n"),
        std::string::npos);
}

} // namespace
