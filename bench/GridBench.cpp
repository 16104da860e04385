// The string grid at the size of a large import: 100,000 rows of 19 columns. Prints wall times
// of filling, of deleting row 1 by shifting every row up through Rows, of painting compared
// with a 50-row grid, and of writing cells out of view, and the memory the cells take.
//
//   grid_bench [rows]
#include "Forms.h"
#include "Grids.h"
#include "Stopwatch.h"
#include "TestDriver.h"
#include "TestSupport.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int Cols = 19;
constexpr int PaintRounds = 50;

std::unique_ptr<TStringGrid> MakeGrid(int Rows) {
    auto Grid = std::make_unique<TStringGrid>(nullptr);
    Grid->SetColCount(Cols);
    Grid->SetRowCount(Rows);
    Grid->SetBounds(0, 0, 921, 540);
    TestSupport::ShowAndWait(Grid.get());
    return Grid;
}

// Every cell of a mapped row, as the wizards fill them: a marker, names, units and numbers.
void Fill(TStringGrid& Grid) {
    const AnsiString Name = "異形棒鋼"_sj;
    for (int R = 1; R < Grid.RowCount(); ++R) {
        Grid.SetCells(0, R, "*");
        Grid.SetCells(1, R, Name + " No." + std::to_string(R));
        Grid.SetCells(2, R, "D" + std::to_string(R % 41));
        Grid.SetCells(3, R, "t");
        for (int C = 4; C < Cols; ++C)
            Grid.SetCells(C, R, std::to_string((R * 7 + C * 131) % 100000));
    }
}

double PaintMs(TStringGrid& Grid) {
    const TStopwatch Timer;
    for (int I = 0; I < PaintRounds; ++I)
        Grid.Snapshot();
    return Timer.Ms() / PaintRounds;
}

} // namespace

int main(int argc, char** argv) {
    TestSupport::Start(argc, argv);
    RegisterFrameworkClasses();
    const int Rows = argc > 1 ? std::atoi(argv[1]) : 100000;

    {
        // The wizards add one row per source line past the first 50.
        auto Growing = MakeGrid(50);
        const TStopwatch Timer;
        while (Growing->RowCount() < Rows)
            Growing->SetRowCount(Growing->RowCount() + 1);
        std::printf("grow from 50 to %d rows one at a time: %.1f ms\n", Rows, Timer.Ms());
    }

    const long Before = TestDriver::PeakResidentKB();
    auto Large = MakeGrid(Rows);
    TStopwatch Timer;
    Fill(*Large);
    std::printf("fill %d x %d cells: %.1f ms, peak memory +%ld MB\n", Rows, Cols, Timer.Ms(),
                (TestDriver::PeakResidentKB() - Before) / 1024);

    // Twice: the first time creates the row lists, the second finds them.
    for (int Round = 0; Round < 2; ++Round) {
        Timer.Restart();
        for (int R = 2; R < Large->RowCount(); ++R)
            Large->Rows(R - 1)->Assign(Large->Rows(R));
        Large->SetRowCount(Large->RowCount() - 1);
        std::printf("delete row 1 by shifting %d rows up: %.1f ms\n", Large->RowCount() - 1,
                    Timer.Ms());
    }

    Timer.Restart();
    for (int R = 1000; R < Large->RowCount(); ++R)
        Large->SetCells(5, R, "0");
    TestSupport::ProcessEvents();
    std::printf("write %d cells out of view: %.1f ms\n", Large->RowCount() - 1000, Timer.Ms());

    auto Small = MakeGrid(50);
    Fill(*Small);
    std::printf("paint: 50 rows %.2f ms, %d rows %.2f ms\n", PaintMs(*Small), Rows,
                PaintMs(*Large));
    Large->SetTopRow(Rows / 2);
    std::printf("paint scrolled to row %d: %.2f ms\n", Rows / 2, PaintMs(*Large));
    return 0;
}
