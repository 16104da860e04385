// Plays the user inside a program that the exit test starts: answers the open dialog and
// message boxes and clicks through the scenario the test names in the environment. Linked
// only into the test's builds of the programs, beside their own entry.
#include "Forms.h"
#include "WinApi.h"
#include "WizardDriver.h"
#include "internal/QtHost.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstring>

// Takes away the form file compiled into the program, so that creating its form fails.
#define QUOVANT_DROP_FORMS(Name) Q_CLEANUP_RESOURCE(Name)
static void DropForms() {
    QUOVANT_DROP_FORMS(QUOVANT_PROBE_FORMS);
}

namespace {

const char* const CloseBox = "close box";

struct TScenario {
    const char* Name;
    bool ConfirmDialog; // false cancels the open dialog
    std::vector<const char*> Steps;
};

const TScenario Scenarios[] = {
    {"execute", true, {"Button21", "Button1", "IconButton3"}},
    {"mapping-cancel", true, {"Button11"}},
    {"bottom-cancel", true, {"IconButton1"}},
    {"close-box", true, {CloseBox}},
    {"dialog-cancel", false, {}},
    {"empty-file", true, {}},
    {"form-fails", true, {}},
    {"killed", true, {"Button21", "Button1", "IconButton3"}},
};

const TScenario* FindScenario(const QByteArray& Name) {
    for (const TScenario& S : Scenarios)
        if (Name == S.Name)
            return &S;
    return nullptr;
}

// Says what the dialog's accept button reads, then answers the dialog.
void AnswerDialog(QFileDialog* Dialog, const TScenario& S) {
    const auto* Buttons = Dialog->findChild<QDialogButtonBox*>("buttonBox");
    std::printf("dialog: %s\n",
                Buttons->button(QDialogButtonBox::Open)->text().toUtf8().constData());
    std::fflush(stdout);
    if (!S.ConfirmDialog) {
        Dialog->reject();
        return;
    }
    auto* Edit = Dialog->findChild<QLineEdit*>("fileNameEdit");
    Edit->setText(QString::fromLocal8Bit(qgetenv("QUOVANT_PROBE_SOURCE")));
    QTest::keyClick(Edit, Qt::Key_Return);
}

void Tick(const TScenario& S, std::size_t& Step) {
    QWidget* Modal = QApplication::activeModalWidget();
    if (auto* Dialog = qobject_cast<QFileDialog*>(Modal)) {
        AnswerDialog(Dialog, S);
        return;
    }
    if (auto* Box = qobject_cast<QMessageBox*>(Modal)) {
        std::printf("message: %s\n", Box->text().toUtf8().constData());
        std::fflush(stdout);
        Box->accept();
        return;
    }
    TCustomForm* Form = Application->MainForm();
    if (Modal || !Form || !Form->Visible() || Step >= S.Steps.size())
        return;
    const char* Name = S.Steps[Step++];
    if (std::strcmp(Name, CloseBox) == 0)
        TControlAccess::Widget(Form)->close();
    else
        WizardDriver::Click(ComponentByName<TControl>(Form, Name));
}

void StartDriver() {
    const TScenario* S = FindScenario(qgetenv("QUOVANT_PROBE_SCENARIO"));
    if (!S) {
        std::fprintf(stderr, "unknown QUOVANT_PROBE_SCENARIO\n");
        std::exit(2);
    }
    SetProgramDirForTesting(qgetenv("QUOVANT_PROBE_DIR").toStdString());
    if (std::strcmp(S->Name, "form-fails") == 0)
        DropForms();
    // Ended from outside in the middle of writing the hand-off file.
    if (std::strcmp(S->Name, "killed") == 0)
        SetFileFault([](TFileOp Op) { return Op == TFileOp::Write ? std::raise(SIGTERM) : 0; });
    auto* Poll = new QTimer(QCoreApplication::instance());
    Poll->setInterval(5);
    QObject::connect(Poll, &QTimer::timeout,
                     [S, Step = std::size_t(0)]() mutable { Tick(*S, Step); });
    Poll->start();
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartDriver)
