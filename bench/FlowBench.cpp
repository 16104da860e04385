// The whole wizard flow, headless: load, Start, one click per field, Execute. Prints one line
// per step, "<step>: <ms> ms", in wall time and then in CPU time of the process, and at the end
// "peak resident: <MB> MB".
//
//   flow_bench morvane|pellisk FILE    the flow on a file (comma-separated)
//   flow_bench morvane|pellisk LINES   the flow on a generated file of LINES lines (100000)
//   flow_bench generate LINES FILE     writes the generated file, for bench/compare.sh
//   flow_bench long                    morvane on a file whose first field is 50 MB
#include "Stopwatch.h"
#include "TempDir.h"
#include "WinApi.h"
#include "WizardDriver.h"
#include "umorvane.h"
#include "upellisk.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <type_traits>

namespace {

constexpr int FieldsPerLine = 18;
constexpr int DefaultLines = 100000;
constexpr int PaintRounds = 20;

// Costing-like lines: Japanese names and sizes, units, numbers.
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
void WriteLongFieldSource(const std::string& Path) {
    constexpr std::size_t FieldBytes = 50u << 20;
    std::ofstream Out(Path, std::ios::binary);
    std::string Field;
    Field.reserve(FieldBytes);
    while (Field.size() < FieldBytes)
        Field += "\x83\x41"; // ア
    Out << Field << ",b,\r\nx,y,\r\n";
}

long PeakMegabytes() {
    return TestDriver::PeakResidentKB() / 1024;
}

double CpuMs() {
    return TestDriver::ProcessCpuMs();
}

// Wall and CPU time of one step, and the list of steps in the order printed.
class TSteps {
public:
    void Start() {
        FWall.Restart();
        FCpu = CpuMs();
    }
    void Stop(const std::string& Name) { Record(Name, FWall.Ms(), CpuMs() - FCpu); }
    void Record(const std::string& Name, double Wall, double Cpu) {
        FSteps.push_back({Name, Wall, Cpu});
    }
    void Print() const {
        for (const auto& S : FSteps)
            std::printf("%s: %.1f ms\n", S.Name.c_str(), S.Wall);
        for (const auto& S : FSteps)
            std::printf("%s cpu: %.1f ms\n", S.Name.c_str(), S.Cpu);
    }

private:
    struct TStep {
        std::string Name;
        double Wall;
        double Cpu;
    };
    std::vector<TStep> FSteps;
    TStopwatch FWall;
    double FCpu = 0;
};

// The target button of a tag (0: the skip button), as the user finds it on the form.
TControl* TargetButton(TForm* F, int Tag) {
    for (int I = 0; I < F->ComponentCount(); ++I) {
        auto* C = dynamic_cast<TControl*>(F->Components(I));
        if (C && C->Tag() == Tag && C->Name().rfind("Button", 0) == 0 && C->Name() != "Button21" &&
            C->Name() != "Button11")
            return C;
    }
    return nullptr;
}

// Painting the visible grid, then delete, insert and move down on row 1 of the whole grid,
// each through its menu handler.
void TimeGridCommands(Tfpellisk* F, TSteps& Steps) {
    auto* Grid = ComponentByName<TStrColGrid>(F, "StrColGrid1");
    Steps.Start();
    for (int I = 0; I < PaintRounds; ++I)
        Grid->Snapshot();
    Steps.Stop("paint full screen x" + std::to_string(PaintRounds));
    const std::pair<const char*, void (Tfpellisk::*)(TObject*)> Commands[] = {
        {"row command delete", &Tfpellisk::N3Click},
        {"row command insert", &Tfpellisk::N8Click},
        {"row command move down", &Tfpellisk::N5Click}};
    for (const auto& [Name, Command] : Commands) {
        Grid->SetSelection({1, 1, 1, 1});
        Steps.Start();
        (F->*Command)(nullptr);
        Steps.Stop(Name);
    }
}

// Clicks, for field N, the target N when the program has one, otherwise the skip button.
template <class Form> int Run(const std::string& Source, int LastTarget) {
    TTempDir Dir;
    SetProgramDirForTesting(Dir.Path());
    TSteps Steps;
    const double TotalCpu = CpuMs();
    const TStopwatch Total;
    WizardDriver::AnswerOpenDialog(Source);
    Steps.Start();
    auto* F = new Form(nullptr);
    F->Show();
    Steps.Stop("load");
    Steps.Start();
    WizardDriver::Click(ComponentByName<TControl>(F, "Button21"));
    Steps.Stop("start");
    double SlowestWall = 0, SlowestCpu = 0;
    const int Fields = F->FieldCount();
    for (int Field = 1; Field <= Fields; ++Field) {
        Steps.Start();
        const TStopwatch Wall;
        const double Cpu = CpuMs();
        WizardDriver::Click(TargetButton(F, Field <= LastTarget ? Field : 0));
        TestSupport::ProcessEvents();
        if (Field == 1) {
            Steps.Stop("first target click");
        } else {
            SlowestWall = std::max(SlowestWall, Wall.Ms());
            SlowestCpu = std::max(SlowestCpu, CpuMs() - Cpu);
        }
    }
    Steps.Record("slowest later click", SlowestWall, SlowestCpu);
    Steps.Start();
    WizardDriver::Click(ComponentByName<TControl>(F, "IconButton3"));
    Steps.Stop("execute");
    Steps.Record("whole flow", Total.Ms(), CpuMs() - TotalCpu);
    if constexpr (std::is_same_v<Form, Tfpellisk>)
        TimeGridCommands(F, Steps);
    std::printf("fields: %d\n", Fields);
    Steps.Print();
    std::printf("peak resident: %ld MB\n", PeakMegabytes());
    delete F;
    return 0;
}

bool IsNumber(const std::string& Text) {
    return !Text.empty() && Text.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

int main(int argc, char** argv) {
    RegisterMorvaneClasses();
    RegisterPelliskClasses();
    const std::string Which = argc > 1 ? argv[1] : "morvane";
    const std::string Input = argc > 2 ? argv[2] : std::to_string(DefaultLines);
    if (Which == "generate") {
        if (argc < 4 || !IsNumber(Input)) {
            std::fprintf(stderr, "usage: flow_bench generate LINES FILE\n");
            return 2;
        }
        WriteSource(argv[3], std::stoi(Input));
        return 0;
    }
    if (Which != "morvane" && Which != "pellisk" && Which != "long") {
        std::fprintf(stderr, "usage: flow_bench morvane|pellisk [FILE|LINES] | long\n");
        return 2;
    }
    TestSupport::Start(argc, argv);
    Application->Initialize(); // as the programs start
    const TTempDir SourceDir;
    std::string Source = Input;
    if (Which == "long") {
        Source = SourceDir.FilePath("long.csv");
        WriteLongFieldSource(Source);
    } else if (IsNumber(Input)) {
        Source = SourceDir.FilePath("source.csv");
        WriteSource(Source, std::stoi(Input));
    }
    std::printf("%s: %s\n", Which.c_str(), Source.c_str());
    // Targets 1..18 in pellisk; 1..12 in morvane, whose further fields are skipped.
    // A failure names itself instead of ending the run with the runtime's bare abort.
    try {
        return Which == "pellisk" ? Run<Tfpellisk>(Source, 18) : Run<Tfmorvane>(Source, 12);
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "flow_bench: %s\n", Error.what());
        return 1;
    }
}
