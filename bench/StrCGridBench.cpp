// The column string grid with the parameters of a large unit-price import: growing a 50-row
// grid to 100,000 rows as the wizards do (one row at a time, 14 right-aligned cells each),
// then the cost of a parameter lookup with 10 parameters and with all of them. Prints wall
// times and nanoseconds a lookup.
//
//   scg_bench [rows]
#include "StrCGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sys/resource.h>

namespace {

constexpr int Cols = 19;
constexpr int FirstNumeric = 4;
constexpr int LastNumeric = 17;
constexpr int Lookups = 2000000;

long PeakMegabytes() {
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    return Usage.ru_maxrss / 1024;
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

// Nanoseconds a lookup of random cells of the grid's rows, found or not.
double LookupNs(TStrColGrid& Grid) {
    std::mt19937 Random(7);
    std::vector<std::pair<int, int>> Cells(4096);
    for (auto& [C, R] : Cells)
        R = int(Random() % unsigned(Grid.RowCount())), C = int(Random() % Cols);
    QElapsedTimer Timer;
    Timer.start();
    std::size_t Found = 0;
    for (int I = 0; I < Lookups; ++I) {
        const auto& [C, R] = Cells[I & 4095];
        Found += Grid.GetCellParam(C, R, false) != nullptr;
    }
    const double Ns = double(Timer.nsecsElapsed()) / Lookups;
    return Found ? Ns : -1;
}

// As LookupNs, but every lookup a different cell spread over the whole grid, so that none is
// in the processor's cache.
double ScatteredLookupNs(TStrColGrid& Grid) {
    std::mt19937 Random(11);
    QElapsedTimer Timer;
    Timer.start();
    std::size_t Found = 0;
    for (int I = 0; I < Lookups; ++I)
        Found += Grid.GetCellParam(int(Random() % Cols), int(Random() % unsigned(Grid.RowCount())),
                                   false) != nullptr;
    const double Ns = double(Timer.nsecsElapsed()) / Lookups;
    return Found ? Ns : -1;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
    const int Rows = argc > 1 ? std::atoi(argv[1]) : 100000;

    auto Small = MakeGrid();
    std::printf("lookup with %d parameters: %.1f ns (scattered %.1f ns)\n",
                Small->CellParams()->Count(), LookupNs(*Small), ScatteredLookupNs(*Small));

    auto Large = MakeGrid();
    QElapsedTimer Timer;
    Timer.start();
    Grow(*Large, Rows);
    std::printf("grow from 50 to %d rows with %d parameters: %.1f ms, peak resident %ld MB\n",
                Rows, Large->CellParams()->Count(), Timer.nsecsElapsed() / 1e6, PeakMegabytes());
    std::printf("lookup with %d parameters: %.1f ns (scattered %.1f ns)\n",
                Large->CellParams()->Count(), LookupNs(*Large), ScatteredLookupNs(*Large));

    Timer.restart();
    Large.reset();
    std::printf("destroy the grown grid: %.1f ms\n", Timer.nsecsElapsed() / 1e6);
    return 0;
}
