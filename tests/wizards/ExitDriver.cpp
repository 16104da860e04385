// Plays the user inside a program that the exit test starts: answers the open dialog and
// message boxes and clicks through the scenario the test names in the environment. Linked
// only into the test's builds of the programs, beside their own entry.
#include "Forms.h"
#include "ProbeForms.h"
#include "TestDriver.h"
#include "WinApi.h"
#include "WizardDriver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

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

AnsiString Variable(const char* Name) {
    const char* Value = std::getenv(Name);
    return Value ? Value : "";
}

const TScenario* FindScenario(const AnsiString& Name) {
    for (const TScenario& S : Scenarios)
        if (Name == S.Name)
            return &S;
    return nullptr;
}

void Say(const char* What, const AnsiString& Text) {
    std::printf("%s: %s\n", What, AnsiToUtf8(Text).c_str());
    std::fflush(stdout);
}

// Says what each message box reads and closes it, for as long as the program runs.
void AnswerMessageBoxes() {
    TestDriver::AnswerMessageBox([](const AnsiString& Text) {
        Say("message", Text);
        AnswerMessageBoxes();
    });
}

// A step waits a tick after any modal window: the tick that sees a window gone may come before
// the call that ran it has returned.
void Tick(const TScenario& S, std::size_t& Step, bool& Settled) {
    TCustomForm* Form = Application->MainForm();
    if (TestDriver::ModalWindowShown() || !Form || !Form->Visible()) {
        Settled = false;
        return;
    }
    if (!std::exchange(Settled, true) || Step >= S.Steps.size())
        return;
    const char* Name = S.Steps[Step++];
    if (std::strcmp(Name, CloseBox) == 0)
        WizardDriver::PressCloseBox(Form);
    else
        WizardDriver::Click(ComponentByName<TControl>(Form, Name));
}

void StartDriver() {
    const TScenario* S = FindScenario(Variable("QUOVANT_PROBE_SCENARIO"));
    if (!S) {
        std::fprintf(stderr, "unknown QUOVANT_PROBE_SCENARIO\n");
        std::exit(2);
    }
    SetProgramDirForTesting(Variable("QUOVANT_PROBE_DIR"));
    if (std::strcmp(S->Name, "form-fails") == 0)
        DropProbeForms();
    // Ended from outside in the middle of writing the hand-off file.
    if (std::strcmp(S->Name, "killed") == 0)
        SetFileFault([](TFileOp Op) {
            if (Op == TFileOp::Write)
                TestDriver::RequestEnd();
            return 0;
        });
    // The dialog says what its accept button reads before it is answered.
    TestDriver::AnswerOpenDialog(S->ConfirmDialog ? Variable("QUOVANT_PROBE_SOURCE") : "",
                                 [] { Say("dialog", TestDriver::OpenDialogConfirmText()); });
    AnswerMessageBoxes();
    constexpr int TickMs = 5;
    TestDriver::Repeat(
        TickMs, [S, Step = std::size_t(0), Settled = false]() mutable { Tick(*S, Step, Settled); });
}

const TestDriver::TAtStart Start(StartDriver);

} // namespace
