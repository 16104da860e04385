// Takes the README's screenshots: starts a wizard as its program does, answers the open dialog
// with a sample file, maps every field in order and saves the window, as the user sees it, once
// with the first field offered and once with the filled grid.
// Usage: screenshots morvane|pellisk SAMPLE OUTDIR
#include "CtrlsReg.h"
#include "WizardDriver.h"
#include "internal/QtHost.h"
#include "umorvane.h"
#include "upellisk.h"

#include <QDir>
#include <QTimer>
#include <cstdio>
#include <vector>

namespace {

using namespace WizardDriver;

constexpr int MaxWaits = 3000; // 30 s for the dialog to be answered and the sample to load

struct TShot {
    const char* Program;
    std::vector<const char*> Targets; // the target buttons of the sample's fields, in order
};

const TShot Shots[] = {
    {"morvane",
     {"Button1", "Button2", "Button3", "Button8", "Button4", "Button14", "Button7", "Button6",
      "Button5", "Button12", "Button13", "Button9"}},
    {"pellisk",
     {"Button1", "Button2", "Button3", "Button8", "Button5", "Button7", "Button6", "Button4",
      "Button14", "Button15", "Button16", "Button12", "Button13", "Button17", "Button18",
      "Button19", "Button20", "Button9"}},
};

bool Save(TCustomForm* Form, const QString& Path) {
    QApplication::processEvents();
    const bool Ok = TControlAccess::Widget(Form)->grab().save(Path, "png");
    std::fprintf(stderr, "%s %s\n", Ok ? "wrote" : "could not write", qPrintable(Path));
    return Ok;
}

// Runs once the file is loaded and the form shows.
bool Shoot(TCustomForm* Form, const TShot& Shot, const QString& OutDir) {
    auto Press = [Form](const char* Name) { Click(ComponentByName<TControl>(Form, Name)); };
    Press("Button21");
    bool Ok = Save(Form, OutDir + "/" + Shot.Program + "-mapping.png");
    for (const char* Target : Shot.Targets)
        Press(Target);
    Ok &= Save(Form, OutDir + "/" + Shot.Program + "-grid.png");
    return Ok;
}

template <class TForm>
int Run(const TShot& Shot, AnsiString Title, const QString& Sample, const QString& OutDir) {
    Application->SetTitle(Title);
    TForm* Form = nullptr;
    Application->CreateForm(Form);
    AnswerFileDialog(QDir().absoluteFilePath(Sample));
    bool Ok = false;
    // The form shows its dialog from its show handler: wait until that has run and the file is in.
    QTimer Poll;
    Poll.setInterval(10);
    int Waits = 0;
    QObject::connect(&Poll, &QTimer::timeout, [&] {
        const bool Loaded = !QApplication::activeModalWidget() && Form->SourceLines() &&
                            Form->SourceLines()->Count() > 0;
        if (!Loaded && ++Waits < MaxWaits)
            return;
        Poll.stop();
        Ok = Loaded && Shoot(Form, Shot, OutDir);
        if (QWidget* Modal = QApplication::activeModalWidget())
            Modal->close();
        Form->Close();
    });
    Poll.start();
    Application->Run();
    return Ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: screenshots morvane|pellisk SAMPLE OUTDIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString Program = argv[1], Sample = argv[2], OutDir = argv[3];
    int Result = 2;
    const int Failed = RunProgram([&] {
        RegisterControlClasses();
        Application->Initialize();
        if (Program == Shots[0].Program)
            Result = Run<Tfmorvane>(Shots[0], MorvaneTitle(), Sample, OutDir);
        else if (Program == Shots[1].Program)
            Result = Run<Tfpellisk>(Shots[1], PelliskTitle(), Sample, OutDir);
        else
            std::fprintf(stderr, "unknown program %s\n", argv[1]);
    });
    return Failed ? Failed : Result;
}
