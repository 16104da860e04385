// Takes the README's screenshots: starts a wizard as its program does in the sample's folder,
// saves the open dialog with its preview showing the sample (when the shot asks for it),
// answers the dialog with the sample, maps every field in order and saves the window, as the
// user sees it, once with the first field offered and once with the filled grid.
// Usage: screenshots morvane|pellisk SAMPLE OUTDIR
#include "WizardDriver.h"
#include "internal/QtHost.h"
#include "umorvane.h"
#include "upellisk.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>
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

bool Save(QWidget* Window, const QString& Path) {
    QApplication::processEvents();
    const bool Ok = Window->grab().save(Path, "png");
    std::fprintf(stderr, "%s %s\n", Ok ? "wrote" : "could not write", qPrintable(Path));
    return Ok;
}

// Runs once the file is loaded and the form shows.
bool Shoot(TCustomForm* Form, const TShot& Shot, const QString& OutDir) {
    auto Press = [Form](const char* Name) { Click(ComponentByName<TControl>(Form, Name)); };
    Press("Button21");
    QWidget* Window = TControlAccess::Widget(Form);
    bool Ok = Save(Window, OutDir + "/" + Shot.Program + "-mapping.png");
    for (const char* Target : Shot.Targets)
        Press(Target);
    Ok &= Save(Window, OutDir + "/" + Shot.Program + "-grid.png");
    return Ok;
}

// The item named Name once the list holds it and has sorted itself; an invalid index before.
QModelIndex SortedItem(const QAbstractItemView* List, const QString& Name) {
    const QAbstractItemModel* Model = List->model();
    QModelIndex Found;
    QString Before;
    for (int Row = 0; Row < Model->rowCount(List->rootIndex()); ++Row) {
        const QModelIndex Item = Model->index(Row, 0, List->rootIndex());
        const QString Text = Item.data().toString();
        if (Text.compare(Before, Qt::CaseInsensitive) < 0)
            return {};
        if (Text == Name)
            Found = Item;
        Before = Text;
    }
    return Found;
}

// Ticks the preview box, selects the sample, waits for its text and saves the dialog; then
// confirms the sample as the user would.
void ShootDialog(const TShot& Shot, const QString& Sample, const QString& OutDir, bool& Ok) {
    WhenModal<QFileDialog>([=, &Ok](QFileDialog* Dialog) {
        auto* Box = Dialog->findChild<QCheckBox*>();
        const auto* Memo = Dialog->findChild<QPlainTextEdit*>();
        auto* List = Dialog->findChild<QAbstractItemView*>("treeView");
        // The folder is read and sorted in the background: click the sample once that is done.
        QModelIndex Item;
        Ok = Box && Memo && List && QTest::qWaitFor([&] {
                 Item = SortedItem(List, QFileInfo(Sample).fileName());
                 return Item.isValid();
             });
        if (Ok) {
            QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(5, Box->height() / 2));
            QTest::mouseClick(List->viewport(), Qt::LeftButton, {},
                              List->visualRect(Item).center());
            Ok = QTest::qWaitFor([Memo] { return !Memo->toPlainText().isEmpty(); });
        }
        Ok = Ok && Save(Dialog, OutDir + "/" + Shot.Program + "-dialog.png");
        auto* Edit = Dialog->findChild<QLineEdit*>("fileNameEdit");
        Edit->setText(Sample);
        QTest::keyClick(Edit, Qt::Key_Return);
    });
}

template <class TForm>
int Run(const TShot& Shot, AnsiString Title, const QString& Sample, const QString& OutDir) {
    Application->SetTitle(Title);
    TForm* Form = nullptr;
    Application->CreateForm(Form);
    const QString Path = QDir().absoluteFilePath(Sample);
    // The dialog opens where the program was started: beside the samples, as tools/run.sh does.
    QDir::setCurrent(QFileInfo(Path).absolutePath());
    bool DialogOk = true;
    if (Shot.Dialog)
        ShootDialog(Shot, Path, OutDir, DialogOk);
    else
        AnswerFileDialog(Path);
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
        Ok = Loaded && DialogOk && Shoot(Form, Shot, OutDir);
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
    const QString Program = argv[1], Sample = argv[2];
    const QString OutDir = QDir().absoluteFilePath(argv[3]);
    int Result = 2;
    const int Failed = RunProgram([&] {
        RegisterMorvaneClasses();
        RegisterPelliskClasses();
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
