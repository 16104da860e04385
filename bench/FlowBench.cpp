// The whole wizard flow on a generated 100,000-line file, headless: load, Start, one click
// per field, Execute. Prints wall times and the peak resident memory of the process.
//
//   flow_bench morvane|pellisk [lines]
//   flow_bench long      a file whose first field is 50 MB
#include "WinApi.h"
#include "WizardDriver.h"
#include "umorvane.h"
#include "upellisk.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>
#include <type_traits>

namespace {

constexpr int FieldsPerLine = 18;

// Costing-like lines: Japanese names and specifications, units, numbers.
void WriteSource(const std::string& Path, int Lines) {
    static const char* const Names[] = {"異形棒鋼",   "普通コンクリート", "型枠合板", "ボルト",
                                        "防水シート", "配管用炭素鋼鋼管", "照明器具", "石膏ボード"};
    static const char* const Units[] = {"本", "m2", "m3", "台", "式", "t"};
    std::ofstream Out(Path, std::ios::binary);
    for (int I = 0; I < Lines; ++I) {
        AnsiString Line = AnsiString(Names[I % 8]) + " 第" + std::to_string(I) + "号," + "規格" +
                          std::to_string(I % 97) + "-" + std::to_string(I % 13) + "," +
                          Units[I % 6];
        for (int F = 3; F < FieldsPerLine; ++F)
            Line += "," + std::to_string((I * 7 + F * 131) % 100000) + "." + std::to_string(F);
        AnsiString Sjis;
        Utf8ToAnsi(Line, Sjis);
        Out << Sjis << "\r\n";
    }
}

// One line whose first field is 50 MB of Japanese text, then a short line: the list box and
// the grid must not lay out the whole field.
void WriteLongFieldSource(const std::string& Path, int) {
    constexpr std::size_t FieldBytes = 50u << 20;
    std::ofstream Out(Path, std::ios::binary);
    std::string Field;
    Field.reserve(FieldBytes);
    while (Field.size() < FieldBytes)
        Field += "\x83\x41"; // ア
    Out << Field << ",b,\r\nx,y,\r\n";
}

long PeakMegabytes() {
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    return Usage.ru_maxrss / 1024;
}

// Delete, insert and move down on row 1 of the whole grid, each through its menu handler.
void TimeRowCommands(Tfpellisk* F) {
    auto* Grid = ComponentByName<TStrColGrid>(F, "StrColGrid1");
    const std::pair<const char*, void (Tfpellisk::*)(TObject*)> Commands[] = {
        {"delete", &Tfpellisk::N3Click},
        {"insert", &Tfpellisk::N8Click},
        {"move down", &Tfpellisk::N5Click}};
    constexpr int PaintRounds = 20;
    QElapsedTimer Paint;
    Paint.start();
    for (int I = 0; I < PaintRounds; ++I)
        Grid->Snapshot();
    std::printf("  paint the whole visible grid (%d x %d pixels, %d parameters): %.1f ms\n",
                Grid->Width(), Grid->Height(), Grid->CellParams()->Count(),
                Paint.nsecsElapsed() / 1e6 / PaintRounds);
    std::printf("  row commands on row 1 of %d rows:", Grid->RowCount() - 1);
    for (const auto& [Name, Command] : Commands) {
        Grid->SetSelection({1, 1, 1, 1});
        QElapsedTimer Timer;
        Timer.start();
        (F->*Command)(nullptr);
        std::printf(" %s %lld ms", Name, Timer.elapsed());
    }
    std::printf("\n");
}

template <class Form>
int Run(const char* Name, int Lines, std::vector<int> Targets,
        void (*Write)(const std::string&, int) = WriteSource) {
    QTemporaryDir Dir;
    const std::string Source = (Dir.path() + "/source.csv").toStdString();
    Write(Source, Lines);
    SetProgramDirForTesting(Dir.path().toStdString());

    QElapsedTimer Total, Step;
    Total.start();
    WizardDriver::AnswerFileDialog(QString::fromStdString(Source));
    Step.start();
    auto* F = new Form(nullptr);
    F->Show();
    const qint64 LoadMs = Step.elapsed();
    Step.restart();
    WizardDriver::Click(ComponentByName<TControl>(F, "Button21"));
    const qint64 StartMs = Step.elapsed();
    qint64 MaxClick = 0;
    std::string Clicks;
    for (int Tag : Targets) {
        TControl* Button = nullptr;
        for (int I = 0; I < F->ComponentCount(); ++I) {
            auto* C = dynamic_cast<TControl*>(F->Components(I));
            if (C && C->Tag() == Tag && C->Name().rfind("Button", 0) == 0 &&
                C->Name() != "Button21" && C->Name() != "Button11") {
                Button = C;
                break;
            }
        }
        Step.restart();
        WizardDriver::Click(Button);
        QApplication::processEvents();
        MaxClick = std::max(MaxClick, Step.elapsed());
        Clicks += " " + std::to_string(Step.elapsed());
    }
    Step.restart();
    WizardDriver::Click(ComponentByName<TControl>(F, "IconButton3"));
    const qint64 ExecuteMs = Step.elapsed();
    const qint64 TotalMs = Total.elapsed();
    std::printf(
        "%s: %d lines x up to %d fields\n  load %lld ms, start %lld ms, slowest click %lld ms, "
        "execute %lld ms\n  clicks (ms):%s\n  whole flow %lld ms, peak resident %ld MB\n",
        Name, Lines, FieldsPerLine, LoadMs, StartMs, MaxClick, ExecuteMs, Clicks.c_str(), TotalMs,
        PeakMegabytes());
    if constexpr (std::is_same_v<Form, Tfpellisk>)
        TimeRowCommands(F);
    delete F;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
    const std::string Which = argc > 1 ? argv[1] : "morvane";
    const int Lines = argc > 2 ? std::atoi(argv[2]) : 100000;
    if (Which == "long")
        return Run<Tfmorvane>("morvane, a 50 MB field", 2, {1, 2}, WriteLongFieldSource);
    if (Which == "pellisk") {
        std::vector<int> Targets;
        for (int T = 1; T <= 18; ++T)
            Targets.push_back(T);
        return Run<Tfpellisk>("pellisk", Lines, Targets);
    }
    // 13 targets, the rest of the 18 fields skipped with "該当なし" (tag 0).
    return Run<Tfmorvane>("morvane", Lines,
                          {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 0, 0, 0, 0, 0});
}
