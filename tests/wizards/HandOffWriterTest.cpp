#include "HandOffWriter.h"
#include "TempDir.h"
#include "TestDriver.h"

#include <cerrno>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

class HandOffWriterTest : public testing::Test {
protected:
    HandOffWriterTest() {
        Grid.SetColCount(13);
        Grid.SetRowCount(6);
    }
    AnsiString Path() const { return Dir.FilePath("csv_inport.tmp"); }
    static std::string Read(const AnsiString& Name) {
        std::ifstream In(Name, std::ios::binary);
        std::stringstream S;
        S << In.rdbuf();
        return S.str();
    }
    void Mark(int Row) { Grid.SetCells(0, Row, "*"); }
    TTempDir Dir;
    TStringGrid Grid{nullptr};
};

TEST_F(HandOffWriterTest, CostingRowBecomesThirteenFieldsWithZerosForEmptyNumbers) {
    Mark(1);
    Grid.SetCells(1, 1, "ボルト"_sj);
    Grid.SetCells(2, 1, "M10");
    Grid.SetCells(3, 1, "本"_sj);
    Grid.SetCells(5, 1, "100");
    Grid.SetCells(8, 1, "30");
    WriteHandOff(&Grid, CostingLayout, Path());
    EXPECT_EQ(Read(Path()), "ボルト;M10;本;0;100;0;0;30;0;0;0;0;;\r\n"_sj);
    EXPECT_EQ(Grid.Cells(4, 1), "0") << "zeros are stored back into the grid";
    EXPECT_EQ(Grid.Cells(13, 1), "");
}

TEST_F(HandOffWriterTest, EmptyMarkedRowsOfBothLayouts) {
    Mark(1);
    WriteHandOff(&Grid, CostingLayout, Path());
    EXPECT_EQ(Read(Path()), ";;;0;0;0;0;0;0;0;0;0;;\r\n");

    Grid.SetColCount(19);
    Grid.Rows(1)->Clear();
    Mark(1);
    WriteHandOff(&Grid, UnitPriceLayout, Path());
    EXPECT_EQ(Read(Path()), ";;;0;0;0;0;0;0;0;0;0;0;0;0;0;0;;\r\n");
}

TEST_F(HandOffWriterTest, RowsWithoutMarkerAreSkippedNotTheEnd) {
    Mark(1);
    Grid.SetCells(1, 1, "a");
    Grid.SetCells(1, 2, "unmarked");
    Mark(3);
    Grid.SetCells(1, 3, "c;d");
    Mark(5);
    Grid.SetCells(1, 5, "last");
    WriteHandOff(&Grid, CostingLayout, Path());
    EXPECT_EQ(Read(Path()), "a;;;0;0;0;0;0;0;0;0;0;;\r\n"
                            "c;d;;;0;0;0;0;0;0;0;0;0;;\r\n"
                            "last;;;0;0;0;0;0;0;0;0;0;;\r\n");
    EXPECT_EQ(Grid.Cells(4, 2), "") << "an unmarked row is not touched";
}

TEST_F(HandOffWriterTest, TextCellsHoldingOnlySpacesAreNotEmpty) {
    Mark(1);
    Grid.SetCells(4, 1, " ");
    WriteHandOff(&Grid, CostingLayout, Path());
    EXPECT_EQ(Read(Path()), ";;; ;0;0;0;0;0;0;0;0;;\r\n");
}

TEST_F(HandOffWriterTest, NothingMarkedReplacesAnOlderFileByAnEmptyOne) {
    std::ofstream(Path(), std::ios::binary) << "old";
    WriteHandOff(&Grid, CostingLayout, Path());
    EXPECT_EQ(Read(Path()), "");
}

// Each step of the write fails in turn as the platform would make it fail.
TEST_F(HandOffWriterTest, AFailingStepKeepsTheOlderFileAndLeavesNoTemporaryFile) {
    const struct {
        TFileOp Op;
        int Error;
        AnsiString Reason;
    } Cases[] = {{TFileOp::Open, EACCES, "アクセスが拒否されました"_sj},
                 {TFileOp::Write, ENOSPC, "ディスクの空き容量が足りません"_sj},
                 {TFileOp::Sync, EIO, "入出力エラーが発生しました"_sj},
                 {TFileOp::Close, EIO, "入出力エラーが発生しました"_sj},
                 {TFileOp::Rename, EACCES, "アクセスが拒否されました"_sj}};
    const std::string Old("old\r\n\0\x81", 7);
    std::ofstream(Path(), std::ios::binary) << Old;
    Mark(1);
    for (const auto& Case : Cases) {
        SetFileFault([&](TFileOp Op) { return Op == Case.Op ? Case.Error : 0; });
        AnsiString Message;
        try {
            WriteHandOff(&Grid, CostingLayout, Path());
        } catch (const EInOutError& E) {
            Message = E.Message();
        }
        SetFileFault({});
        const auto Step = static_cast<int>(Case.Op);
        EXPECT_EQ(Message.find(".part"), AnsiString::npos) << Step;
        EXPECT_NE(Message.find("\"" + Path() + "\""), AnsiString::npos) << Step;
        EXPECT_TRUE(Message.ends_with(": " + Case.Reason)) << Step;
        EXPECT_EQ(Read(Path()), Old) << Step;
        EXPECT_EQ(Dir.Files().size(), 1) << Step;
    }
}

// A killed run leaves its temporary file; the next write removes it, but not one that a running
// writer holds, nor any other name.
TEST_F(HandOffWriterTest, TheNextWriteRemovesTemporaryFilesThatKilledRunsLeft) {
    std::vector<std::string> Kept = {"csv_inport.tmp.89abcdef.part", "csv_inport.tmp.0123ABCD.part",
                                     "csv_inport.tmp.0123abc.part",
                                     "csv_inport.tmp.0123abcd.part.x", "other.tmp.0123abcd.part"};
    for (const std::string& Name : Kept)
        Dir.Write(Name, "x");
    Dir.Write("csv_inport.tmp.0123abcd.part", "x");
    {
        const TestDriver::THeldFile Running(Dir.FilePath(Kept[0]));
        ASSERT_TRUE(Running.Held());
        Mark(1);
        WriteHandOff(&Grid, CostingLayout, Path());
    }
    Kept.push_back("csv_inport.tmp");
    std::sort(Kept.begin(), Kept.end());
    EXPECT_EQ(Dir.Files(), Kept);
}

TEST_F(HandOffWriterTest, AFolderWhereTheFileMustGoIsAnErrorAndLeavesNothingBehind) {
    Dir.MakeFolder("csv_inport.tmp");
    Mark(1);
    EXPECT_THROW(WriteHandOff(&Grid, CostingLayout, Path()), EInOutError);
    EXPECT_EQ(Dir.Files().size(), 0);
}

} // namespace
