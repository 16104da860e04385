// The column string grid with the parameters of a large unit-price import: growing a 50-row
// grid to 100,000 rows as the wizards do (one row at a time, 14 right-aligned cells each),
// then the cost of a parameter lookup with 19 parameters and with all of them, for the cells of
// a screen (as painting looks them up) and for cells scattered over the grid, where the cost is
// that of reaching memory no cache holds. Prints wall times and nanoseconds a lookup.
//
//   scg_bench [rows]
#include "CtrlsReg.h"
#include "Stopwatch.h"
#include "StrCGrid.h"
#include "TestDriver.h"
#include "TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

constexpr int Cols = 19;
constexpr int FirstNumeric = 4;
constexpr int LastNumeric = 17;
constexpr int Lookups = 2000000;

long PeakMegabytes() {
    return TestDriver::PeakResidentKB() / 1024;
}

std::unique_ptr<TStrColGrid> MakeGrid() {
    auto Grid = std::make_unique<TStrColGrid>(nullptr);
    Grid->SetColCount(Cols);
    Grid->SetRowCount(50);
    for (int C = 0; C < Cols; ++C)
        Grid->SetCellAlignment(C, 0, taCenter);
    return Grid;
}

void Grow(TStrColGrid& Grid, int Rows) {
    while (Grid.RowCount() < Rows) {
        Grid.SetRowCount(Grid.RowCount() + 1);
        for (int C = FirstNumeric; C <= LastNumeric; ++C)
            Grid.SetCellAlignment(C, Grid.RowCount(), taRightJustify);
    }
}

// Nanoseconds a lookup of every cell of a screen of 30 rows, as painting looks them up: the
// same screen again and again (repainting), or a screen anywhere in the grid each time.
double LookupNs(TStrColGrid& Grid, bool SameScreen) {
    constexpr int ScreenRows = 30;
    std::mt19937 Random(7);
    const TStopwatch Timer;
    std::size_t Found = 0;
    int Done = 0;
    while (Done < Lookups) {
        const int Top =
            SameScreen ? 0 : int(Random() % unsigned(std::max(1, Grid.RowCount() - ScreenRows)));
        for (int R = Top; R < Top + ScreenRows; ++R)
            for (int C = 0; C < Cols; ++C, ++Done)
                Found += Grid.GetCellParam(C, R, false) != nullptr;
    }
    const double Ns = Timer.Ns() / Done;
    return Found ? Ns : -1;
}

// As LookupNs, but every lookup a different cell spread over the whole grid, so that none is
// in the processor's cache.
double ScatteredLookupNs(TStrColGrid& Grid) {
    std::mt19937 Random(11);
    const TStopwatch Timer;
    std::size_t Found = 0;
    for (int I = 0; I < Lookups; ++I)
        Found += Grid.GetCellParam(int(Random() % Cols), int(Random() % unsigned(Grid.RowCount())),
                                   false) != nullptr;
    const double Ns = Timer.Ns() / Lookups;
    return Found ? Ns : -1;
}

void PrintLookups(TStrColGrid& Grid) {
    std::printf("lookup with %d parameters: %.1f ns the same screen, %.1f ns screens anywhere, "
                "%.1f ns scattered cells\n",
                Grid.CellParams()->Count(), LookupNs(Grid, true), LookupNs(Grid, false),
                ScatteredLookupNs(Grid));
}

} // namespace

int main(int argc, char** argv) {
    TestSupport::Start(argc, argv);
    RegisterControlClasses();
    const int Rows = argc > 1 ? std::atoi(argv[1]) : 100000;

    auto Small = MakeGrid();
    PrintLookups(*Small);

    auto Large = MakeGrid();
    TStopwatch Timer;
    Grow(*Large, Rows);
    std::printf("grow from 50 to %d rows with %d parameters: %.1f ms, peak resident %ld MB\n", Rows,
                Large->CellParams()->Count(), Timer.Ms(), PeakMegabytes());
    PrintLookups(*Large);

    Timer.Restart();
    Large.reset();
    std::printf("destroy the grown grid: %.1f ms\n", Timer.Ms());
    return 0;
}
