#include "HandOffWriter.h"

#include <QDir>
#include <QTemporaryDir>
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
    AnsiString Path() const { return (Dir.path() + "/csv_inport.tmp").toStdString(); }
    static std::string Read(const AnsiString& Name) {
        std::ifstream In(Name, std::ios::binary);
        std::stringstream S;
        S << In.rdbuf();
        return S.str();
    }
    void Mark(int Row) { Grid.SetCells(0, Row, "*"); }
    QTemporaryDir Dir;
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

TEST_F(HandOffWriterTest, FailureKeepsTheOlderFileAndLeavesNoTemporaryFile) {
    std::ofstream(Path(), std::ios::binary) << "old";
    QDir(Dir.path()).mkdir("csv_inport.tmp.part"); // nothing can be created there
    Mark(1);
    EXPECT_THROW(WriteHandOff(&Grid, CostingLayout, Path()), EInOutError);
    EXPECT_EQ(Read(Path()), "old");
}

TEST_F(HandOffWriterTest, AFolderWhereTheFileMustGoIsAnErrorAndLeavesNothingBehind) {
    QDir(Dir.path()).mkdir("csv_inport.tmp");
    Mark(1);
    EXPECT_THROW(WriteHandOff(&Grid, CostingLayout, Path()), EInOutError);
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files).size(), 0);
}

} // namespace
