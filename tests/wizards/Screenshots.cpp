// Takes the README's screenshots: starts a wizard as its program does in the sample's folder,
// saves the open dialog with its preview showing the sample (when the shot asks for it),
// answers the dialog with the sample, maps every field in order and saves the window, as the
// user sees it, once with the first field offered and once with the filled grid. With SUFFIX
// (for a run at another scale factor: QT_SCALE_FACTOR=2 ... -2x) only the filled grid is saved,
// as <program>-grid<SUFFIX>.png.
// Usage: screenshots morvane|pellisk SAMPLE OUTDIR [SUFFIX]
#include "TempDir.h"
#include "WizardDriver.h"
#include "umorvane.h"
#include "upellisk.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

using namespace WizardDriver;

constexpr int MaxWaits = 3000; // 30 s for the dialog to be answered and the sample to load

struct TShot {
    const char* Program;
    bool Dialog;                      // whether the open dialog is saved too
    std::vector<const char*> Targets; // the target buttons of the sample's fields, in order
};

const TShot Shots[] = {
    {"morvane",
     true,
     {"Button1", "Button2", "Button3", "Button8", "Button4", "Button14", "Button7", "Button6",
      "Button5", "Button12", "Button13", "Button9"}},
    {"pellisk",
     false,
     {"Button1", "Button2", "Button3", "Button8", "Button5", "Button7", "Button6", "Button4",
      "Button14", "Button15", "Button16", "Button12", "Button13", "Button17", "Button18",
      "Button19", "Button20", "Button9"}},
};

bool Save(const std::unique_ptr<TBitmap>& Image, const std::string& Path) {
    const bool Ok = Image && WriteFile(Path, Image->SaveToBytes());
    std::fprintf(stderr, "%s %s\n", Ok ? "wrote" : "could not write", Path.c_str());
    return Ok;
}

// Runs once the file is loaded and the form shows.
bool Shoot(TCustomForm* Form, const TShot& Shot, const std::string& OutDir,
           const std::string& Suffix) {
    auto Press = [Form](const char* Name) { Click(ComponentByName<TControl>(Form, Name)); };
    // An empty path takes the picture without keeping it, so that every run goes through the
    // same steps.
    auto SaveForm = [Form](const std::string& Path) {
        TestSupport::ProcessEvents();
        const std::unique_ptr<TBitmap> Image = TestSupport::WindowImage(Form);
        return Path.empty() || Save(Image, Path);
    };
    Press("Button21");
    bool Ok = SaveForm(Suffix.empty() ? OutDir + "/" + Shot.Program + "-mapping.png" : "");
    for (const char* Target : Shot.Targets)
        Press(Target);
    Ok &= SaveForm(OutDir + "/" + Shot.Program + "-grid" + Suffix + ".png");
    return Ok;
}

// Ticks the preview box, selects the sample, waits for its text and saves the dialog; then
// confirms the sample as the user would.
void ShootDialog(TCustomForm* Form, const TShot& Shot, const std::string& Sample,
                 const std::string& OutDir, bool& Ok) {
    AnswerOpenDialog(Sample, [=, &Ok] {
        auto* Dialog = ComponentByName<TTextOpenDialog>(Form, "TextOpenDialog1");
        TCheckBox* Box = TPreviewParts::CheckBox(Dialog);
        TestSupport::Click(Box, mbLeft, {5, Box->Height() / 2});
        Ok = TestDriver::SelectInOpenDialog(Sample) && TestSupport::WaitUntil([Dialog] {
                 return !TPreviewParts::Memo(Dialog)->Lines()->Text().empty();
             });
        TestSupport::ProcessEvents();
        Ok = Ok && Save(TestDriver::OpenDialogImage(), OutDir + "/" + Shot.Program + "-dialog.png");
    });
}

template <class TForm>
int Run(const TShot& Shot, AnsiString Title, const std::string& Sample, const std::string& OutDir,
        const std::string& Suffix) {
    Application->SetTitle(Title);
    TForm* Form = nullptr;
    Application->CreateForm(Form);
    const std::filesystem::path Path = std::filesystem::absolute(Sample);
    // The dialog opens where the program was started: beside the samples, as tools/run.sh does.
    std::filesystem::current_path(Path.parent_path());
    struct TState {
        bool DialogOk = true;
        bool Ok = false;
        bool Done = false;
        int Waits = 0;
    };
    auto State = std::make_shared<TState>();
    if (Shot.Dialog && Suffix.empty())
        ShootDialog(Form, Shot, Path.string(), OutDir, State->DialogOk);
    else
        AnswerOpenDialog(Path.string());
    // The form shows its dialog from its show handler: wait until that has run and the file is in.
    constexpr int PollMs = 10;
    TestDriver::Repeat(PollMs, [State, Form, &Shot, OutDir, Suffix] {
        if (State->Done)
            return;
        const bool Loaded = !TestDriver::ModalWindowShown() && Form->SourceLines() &&
                            Form->SourceLines()->Count() > 0;
        if (!Loaded && ++State->Waits < MaxWaits)
            return;
        State->Done = true;
        State->Ok = Loaded && State->DialogOk && Shoot(Form, Shot, OutDir, Suffix);
        if (TestDriver::ModalWindowShown())
            TestDriver::CloseModalWindow();
        Form->Close();
    });
    Application->Run();
    return State->Ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: screenshots morvane|pellisk SAMPLE OUTDIR [SUFFIX]\n");
        return 2;
    }
    const std::string Program = argv[1], Sample = argv[2], Suffix = argc == 5 ? argv[4] : "";
    const std::string OutDir = std::filesystem::absolute(argv[3]).string();
    // Offscreen, as the tests run: the application is the test platform's.
    TestSupport::Start(argc, argv);
    int Result = 2;
    const int Failed = RunProgram([&] {
        RegisterMorvaneClasses();
        RegisterPelliskClasses();
        Application->Initialize();
        if (Program == Shots[0].Program)
            Result = Run<Tfmorvane>(Shots[0], MorvaneTitle(), Sample, OutDir, Suffix);
        else if (Program == Shots[1].Program)
            Result = Run<Tfpellisk>(Shots[1], PelliskTitle(), Sample, OutDir, Suffix);
        else
            std::fprintf(stderr, "unknown program %s\n", argv[1]);
    });
    return Failed ? Failed : Result;
}
