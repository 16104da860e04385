// End-to-end: the unit-price wizard driven as a user would, with cell edits and the row
// commands of the grid's menu; and the row commands on their own.
#include "FileStreams.h"
#include "FormConvert.h"
#include "FormWriter.h"
#include "Menus.h"
#include "TempDir.h"
#include "TestData.h"
#include "WinApi.h"
#include "WizardDriver.h"
#include "upellisk.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

using namespace WizardDriver;

class PelliskTest : public testing::Test {
protected:
    PelliskTest() { SetProgramDirForTesting(Dir.Path()); }
    ~PelliskTest() override { delete Form; }

    void OpenSource(const std::string& Bytes) { Open(Dir.Write("source.CSV", Bytes)); }
    void Open(const AnsiString& Path) {
        AnswerOpenDialog(Path);
        Form = new Tfpellisk(nullptr);
        Form->Show();
    }
    void Press(const char* Name) { Click(ComponentByName<TControl>(Form, Name)); }
    // Start, then the first Fields targets in the order of the hand-off file.
    void MapAll(std::size_t Fields = 18) {
        Press("Button21");
        const char* const Targets[] = {"Button1",  "Button2",  "Button3",  "Button8",  "Button5",
                                       "Button7",  "Button6",  "Button4",  "Button14", "Button15",
                                       "Button16", "Button12", "Button13", "Button17", "Button18",
                                       "Button19", "Button20", "Button9"};
        for (std::size_t I = 0; I < Fields; ++I)
            Press(Targets[I]);
    }
    TStrColGrid* Grid() const { return ComponentByName<TStrColGrid>(Form, "StrColGrid1"); }
    TPoint CellCenter(int Col, int Row) const {
        const TRect R = Grid()->CellRect(Col, Row);
        return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    }
    void ClickCell(int Col, int Row, TShiftState Keys = {}) {
        TestSupport::Click(Grid(), mbLeft, CellCenter(Col, Row), Keys);
    }
    // Opens the cell's in-place editor, empties it, lets Enter put the text in and commits
    // with Enter.
    void EditCell(int Col, int Row, const std::function<void(TWinControl*)>& Enter) {
        ClickCell(Col, Row);
        TestSupport::PressKey(Grid(), VK_F2);
        TWinControl* Editor = Grid()->InplaceEditor();
        TestSupport::PressKey(Editor, 'A', TShiftState{ssCtrl});
        TestSupport::PressKey(Editor, VK_DELETE);
        Enter(Editor);
        TestSupport::PressKey(Editor, VK_RETURN);
    }
    // ASCII is typed; Japanese text arrives from the input method as a committed string.
    void TypeIntoCell(int Col, int Row, const AnsiString& Text) {
        EditCell(Col, Row, [&Text](TWinControl* Editor) {
            if (std::all_of(Text.begin(), Text.end(), [](char C) { return (C & 0x80) == 0; }))
                TestSupport::Type(Editor, Text);
            else
                TestSupport::Commit(Editor, Text);
        });
    }
    void TypeIntoCell(int Col, int Row, const std::u16string& Text) {
        EditCell(Col, Row, [&Text](TWinControl* Editor) { TestSupport::Commit(Editor, Text); });
    }
    // Opens the grid's menu over a cell and chooses the item of that caption.
    void Command(int Row, const AnsiString& Caption) {
        TestSupport::ContextMenu(Grid(), CellCenter(1, Row));
        TPlatformWidget* Menu = ComponentByName<TPopupMenu>(Form, "PopupMenu1")->ShownMenu();
        ASSERT_NE(Menu, nullptr);
        const std::vector<AnsiString> Items = TestSupport::MenuItems(Menu);
        const auto Found = std::find(Items.begin(), Items.end(), Caption);
        ASSERT_NE(Found, Items.end()) << "no menu item " << AnsiToUtf8(Caption);
        TestSupport::ChooseMenuItem(Menu, static_cast<int>(Found - Items.begin()));
        TestSupport::ProcessEvents();
    }
    std::string HandOff() const { return Dir.Read("csv_inport.tmp"); }
    bool Exists(const char* Name) const { return Dir.Exists(Name); }
    void Put(const char* Name) const { Dir.Write(Name, "old"); }
    bool Closed() const { return !TestSupport::IsShown(Form); }

    TTempDir Dir;
    Tfpellisk* Form = nullptr;
};

const std::string Line18 = "名,型,単,1,2,3,4,5,6,7,8,9,10,11,12,13,14,備\r\n";

TEST_F(PelliskTest, EighteenTargetsAndTheFiveIncidentalButtonsTopToBottom) {
    OpenSource("名,型,単,1,2,3,4,5,6,7,8,9,10,11,12,13,14,備\r\n"_sj);
    MapAll();
    for (int Col = 13; Col <= 17; ++Col)
        EXPECT_EQ(Grid()->Cells(Col, 1), std::to_string(Col - 3)) << Col;
    Press("IconButton3");
    EXPECT_EQ(HandOff(), "名;型;単;1;2;3;4;5;6;7;8;9;10;11;12;13;14;備;\r\n"_sj);
    EXPECT_TRUE(Closed());
}

TEST_F(PelliskTest, EmptyRemarksStayEmptyAndEmptyNumbersBecomeZero) {
    OpenSource("a,\r\n");
    Press("Button21");
    Press("Button1");
    Press("IconButton3");
    EXPECT_EQ(HandOff(), "a;;;0;0;0;0;0;0;0;0;0;0;0;0;0;0;;\r\n");
}

TEST_F(PelliskTest, GrownRowsAreRightAlignedAndHaveNoRemarksParameter) {
    std::string Many;
    for (int I = 1; I <= 55; ++I)
        Many += std::to_string(I) + ",\r\n";
    OpenSource(Many);
    Press("Button21");
    Press("Button8");
    EXPECT_EQ(Grid()->RowCount(), 56);
    for (int Row : {1, 50, 51, 55})
        for (int Col = 4; Col <= 17; ++Col)
            EXPECT_EQ(Grid()->GetCellParam(Col, Row, false)->Alignment(), taRightJustify);
    EXPECT_EQ(Grid()->GetCellParam(18, 50, false)->Alignment(), taLeftJustify);
    EXPECT_EQ(Grid()->GetCellParam(18, 51, false), nullptr);
}

TEST_F(PelliskTest, CancelPaths) {
    Put("csv_inport.tmp");
    Open("");
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(Exists("csv_inport.tmp")) << "cancelling the dialog only closes";
    delete Form;

    Put("csvtemp.csv");
    OpenSource("1\r\n");
    Press("Button11");
    EXPECT_TRUE(Closed());
    EXPECT_FALSE(Exists("csvtemp.csv"));
    EXPECT_TRUE(Exists("csv_inport.tmp"));
    delete Form;

    OpenSource("1\r\n");
    Press("IconButton1");
    EXPECT_TRUE(Closed());
    EXPECT_FALSE(Exists("csv_inport.tmp"));
}

TEST_F(PelliskTest, ACancelThatCannotDeleteItsFileSaysWhyAndTheFormStaysOpen) {
    const std::pair<const char*, const char*> Cancels[] = {{"Button11", "csvtemp.csv"},
                                                           {"IconButton1", "csv_inport.tmp"}};
    for (const auto& [Cancel, File] : Cancels) {
        Put(File);
        OpenSource("1\r\n");
        SetFileFault([](TFileOp Op) { return Op == TFileOp::Delete ? EBUSY : 0; });
        AnsiString Message;
        AnswerMessageBox(&Message);
        Press(Cancel);
        SetFileFault({});
        EXPECT_NE(Message.find(Dir.FilePath(File)), Message.npos) << AnsiToUtf8(Message);
        EXPECT_NE(Message.find("ファイルが使用中です"_sj), Message.npos);
        EXPECT_FALSE(Closed()) << Cancel;
        EXPECT_TRUE(Exists(File));
        delete Form;
        Form = nullptr;
    }
}

// A UTF-8 file without a mark goes through as if it had been converted to Shift-JIS first.
TEST_F(PelliskTest, TheUtf8PriceListGivesTheHandOffFileOfItsShiftJisConversion) {
    SKIP_WITHOUT_TESTDATA("/csv/mhlw_price_20250716.csv");
    const std::string Utf8 = ReadFileBytes(QUOVANT_TESTDATA "/csv/mhlw_price_20250716.csv");
    AnsiString Sjis;
    ASSERT_TRUE(Utf8ToAnsi(Utf8, Sjis));
    constexpr std::size_t Fields = 14;
    OpenSource(Sjis);
    MapAll(Fields);
    Press("IconButton3");
    const std::string Expected = HandOff();
    delete Form;
    Open(QUOVANT_TESTDATA "/csv/mhlw_price_20250716.csv");
    MapAll(Fields);
    EXPECT_EQ(Grid()->Cells(3, 2), "ブロモバレリル尿素"_sj);
    Press("IconButton3");
    EXPECT_EQ(std::count(Expected.begin(), Expected.end(), '\n'), 12435);
    EXPECT_TRUE(HandOff() == Expected);
}

TEST_F(PelliskTest, CellEditsReachTheHandOffFile) {
    OpenSource("ボルト,100\r\n"_sj);
    Press("Button21");
    Press("Button1");
    Press("Button5");
    TypeIntoCell(2, 1, "M10 亜鉛"_sj);
    TypeIntoCell(5, 1, "abc");
    EXPECT_EQ(Grid()->Cells(2, 1), "M10 亜鉛"_sj);
    Press("IconButton3");
    EXPECT_EQ(HandOff(), "ボルト;M10 亜鉛;;0;abc;0;0;0;0;0;0;0;0;0;0;0;0;;\r\n"_sj);
}

TEST_F(PelliskTest, TextShiftJisCannotHoldIsRefusedAndTheCellKeepsItsText) {
    OpenSource("ボルト\r\n"_sj);
    Press("Button21");
    Press("Button1");
    AnsiString Message;
    AnswerMessageBox(&Message);
    TypeIntoCell(1, 1, u"ボルト😀");
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return !Message.empty(); }));
    EXPECT_EQ(Grid()->Cells(1, 1), "ボルト"_sj);
}

TEST_F(PelliskTest, TypingIntoAnUnmarkedRowMarksIt) {
    OpenSource("a\r\n");
    Press("Button21");
    Press("Button1");
    TypeIntoCell(1, 5, "typed");
    EXPECT_EQ(Grid()->Cells(0, 5), "*");
    Press("IconButton3");
    EXPECT_EQ(HandOff(), "a;;;0;0;0;0;0;0;0;0;0;0;0;0;0;0;;\r\n"
                         "typed;;;0;0;0;0;0;0;0;0;0;0;0;0;0;0;;\r\n");
}

TEST_F(PelliskTest, RowCommandsThroughTheMenu) {
    OpenSource("ボルト\r\nナット\r\n座金\r\n"_sj);
    Press("Button21");
    Press("Button1");
    ClickCell(1, 1);
    Command(1, "右へ移動(子アイテムにする→ツリ－単価用)"_sj);
    Command(1, "右へ移動(子アイテムにする→ツリ－単価用)"_sj);
    EXPECT_EQ(Grid()->Cells(1, 1), "      ボルト"_sj);
    Command(1, "左へ移動(親アイテムにする→ツリ－単価用)"_sj);
    EXPECT_EQ(Grid()->Cells(1, 1), "ボルト"_sj);

    Command(1, "下へ移動"_sj);
    EXPECT_EQ(Grid()->Cells(1, 2), "ボルト"_sj);
    EXPECT_EQ(Grid()->Selection().Top, 2) << "the selection follows the moved row";
    Command(2, "下へ移動"_sj);
    EXPECT_EQ(Grid()->Cells(1, 3), "ボルト"_sj);
    Command(3, "上へ移動"_sj);
    EXPECT_EQ(Grid()->Cells(1, 2), "ボルト"_sj);

    ClickCell(1, 1);
    ASSERT_EQ(Grid()->Selection().Top, 1);
    Command(1, "割　込"_sj);
    EXPECT_EQ(Grid()->Cells(1, 1), "");
    EXPECT_EQ(Grid()->Cells(1, 2), "ナット"_sj);
    ClickCell(1, 2); // a right click leaves the selection where it is
    Command(2, "削　除"_sj);
    const int Rows = Grid()->RowCount();
    Command(1, "1行追加"_sj);
    EXPECT_EQ(Grid()->RowCount(), Rows + 1);
    EXPECT_EQ(Grid()->Cells(0, Rows), "");

    Press("IconButton3");
    EXPECT_EQ(HandOff(), "ボルト;;;0;0;0;0;0;0;0;0;0;0;0;0;0;0;;\r\n"
                         "座金;;;0;0;0;0;0;0;0;0;0;0;0;0;0;0;;\r\n"_sj)
        << "the inserted row has no marker and is skipped, not the end";
}

TEST_F(PelliskTest, CommandsActOnTheTopRowOfTheSelection) {
    OpenSource("a\r\nb\r\nc\r\nd\r\n");
    Press("Button21");
    Press("Button1");
    ClickCell(1, 1);
    ClickCell(2, 3, TShiftState{ssShift});
    ASSERT_EQ(Grid()->Selection().Bottom, 3);
    Command(1, "右へ移動(子アイテムにする→ツリ－単価用)"_sj);
    EXPECT_EQ(Grid()->Cells(1, 1), "   a");
    EXPECT_EQ(Grid()->Cells(1, 2), "b");
    Command(1, "削　除"_sj);
    EXPECT_EQ(Grid()->Cells(1, 1), "b");
    EXPECT_EQ(Grid()->Cells(1, 2), "c");
}

TEST_F(PelliskTest, SwapGridRowStopsAtTheEdgesAndUndoesItself) {
    OpenSource("a,1\r\nb,2\r\n");
    Press("Button21");
    Press("Button1");
    Press("Button8");
    const int Last = Grid()->RowCount() - 1;
    ClickCell(1, 1);
    Form->SwapGridRow(1, TSwapDirection::Up);
    EXPECT_EQ(Grid()->Cells(1, 1), "a");
    Grid()->SetSelection({1, Last, 1, Last});
    Form->SwapGridRow(Last, TSwapDirection::Down);
    EXPECT_EQ(Grid()->Selection().Top, Last) << "the selection stays";

    // Selecting the last row scrolled the grid: row 2 must be in view to be clicked.
    Grid()->SetTopRow(1);
    ClickCell(1, 2);
    ASSERT_EQ(Grid()->Selection().Top, 2);
    Form->SwapGridRow(2, TSwapDirection::Down);
    EXPECT_EQ(Grid()->Cells(0, 3), "*") << "the marker moves down with the row";
    EXPECT_EQ(Grid()->Cells(0, 2), "");
    TestSupport::ProcessEvents(); // the posted click lands in the fixed corner
    EXPECT_EQ(Grid()->Selection(), (TGridRect{1, 3, 18, 3}));
    Form->SwapGridRow(3, TSwapDirection::Up);
    EXPECT_EQ(Grid()->Cells(0, 2), "*");
    EXPECT_EQ(Grid()->Cells(4, 2), "2");
    EXPECT_EQ(Grid()->Selection().Top, 2);
}

// The row commands on a bare grid.
class GridRowsTest : public testing::Test {
protected:
    GridRowsTest() {
        Grid.SetColCount(3);
        Grid.SetRowCount(5);
        for (int R = 1; R < 5; ++R)
            for (int C = 0; C < 3; ++C)
                Grid.SetCells(C, R, std::string(1, char('a' + R - 1)) + std::to_string(C));
    }
    std::string Column1() const {
        std::string S;
        for (int R = 1; R < Grid.RowCount(); ++R)
            S += (Grid.Cells(1, R).empty() ? "-" : Grid.Cells(1, R)) + " ";
        return S;
    }
    TStringGrid Grid{nullptr};
};

TEST_F(GridRowsTest, DeleteShiftsRowsUpAndDropsTheLast) {
    DeleteGridRows(&Grid, 2, 2);
    EXPECT_EQ(Column1(), "a1 c1 d1 ");
    EXPECT_EQ(Grid.Cells(0, 2), "c0") << "the marker moves with its row";
    DeleteGridRows(&Grid, 3, 1);
    EXPECT_EQ(Grid.RowCount(), 2);
    EXPECT_EQ(Column1(), "- ") << "a block covering every row empties the first";
    Grid.SetRowCount(3);
    EXPECT_EQ(Grid.Cells(1, 2), "") << "a row added after a delete is empty";
}

TEST_F(GridRowsTest, DeleteOnTheOnlyRowEmptiesIt) {
    Grid.SetRowCount(2);
    DeleteGridRows(&Grid, 1, 1);
    EXPECT_EQ(Grid.RowCount(), 2);
    EXPECT_EQ(Grid.Cells(0, 1), "");
    EXPECT_EQ(Grid.Cells(1, 1), "");
}

TEST_F(GridRowsTest, DeleteClampsToTheGridAndNeverTouchesTheFixedRow) {
    Grid.SetCells(1, 0, "caption");
    DeleteGridRows(&Grid, 9, 12);
    EXPECT_EQ(Grid.RowCount(), 5);
    DeleteGridRows(&Grid, 0, 1);
    EXPECT_EQ(Grid.Cells(1, 0), "caption");
    EXPECT_EQ(Column1(), "b1 c1 d1 ");
    DeleteGridRows(&Grid, 3, 20);
    EXPECT_EQ(Column1(), "b1 c1 ");
}

TEST_F(GridRowsTest, InsertPlacesEmptyRowsAndShiftsTheRestDown) {
    InsertGridRows(&Grid, 2, 2);
    EXPECT_EQ(Column1(), "a1 - - b1 c1 d1 ");
    EXPECT_EQ(Grid.Cells(0, 2), "");
    InsertGridRows(&Grid, 1, 0);
    InsertGridRows(&Grid, -1, 1);
    EXPECT_EQ(Grid.RowCount(), 7);
}

// The form file itself, and the form as the layer writes it, survive the binary format.
TEST(PelliskForm, TheFormSurvivesTheBinaryFormat) {
    const std::string File = ReadFile(QUOVANT_PELLISK_FORM);
    ASSERT_FALSE(File.empty());
    AnsiString Stored;
    ASSERT_TRUE(Utf8ToAnsi(File, Stored));
    const std::string StoredImage = ObjectTextToResource(Stored);
    EXPECT_EQ(ObjectTextToResource(ObjectBinaryToText(StoredImage)), StoredImage);

    Tfpellisk Loaded(nullptr);
    const std::string Written = WriteComponentText(&Loaded);
    AnsiString Text;
    ASSERT_TRUE(Utf8ToAnsi(Written, Text));
    EXPECT_EQ(AnsiToUtf8(ObjectBinaryToText(ObjectTextToResource(Text))), Written);
    auto* Dialog = ComponentByName<TTextOpenDialog>(&Loaded, "TextOpenDialog1");
    EXPECT_EQ(Dialog->Filter(), "CSVファイル|*.CSV"_sj);
    EXPECT_EQ(Dialog->Title(), "CSVファイルを指定して下さい"_sj);
    EXPECT_FALSE(Dialog->AutoExtChange());
    EXPECT_TRUE(Dialog->ShowPlacesBar());
    EXPECT_FALSE(Dialog->Preview());
}

} // namespace
