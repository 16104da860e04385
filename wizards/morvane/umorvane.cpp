#include "umorvane.h"

namespace {
// Columns 1..12 hold the items; column 13 is the always-empty 13th field of the hand-off file.
constexpr TWizardLayout CostingWizard{CostingLayout, 13, -1, false};
} // namespace

AnsiString MorvaneTitle() {
    return "クォヴァントCSVエディタ-積算データ編 -"_sj;
}

Tfmorvane::Tfmorvane(TComponent* AOwner) : TWizardForm(AOwner, CostingWizard) {
    PublishMethod("Button11Click", TNotifyEvent([this](TObject* S) { Button11Click(S); }));
    LoadForm("umorvane.dfm");
}

void Tfmorvane::DialogCancelled() {
    DeleteProgramFile(HandOffFileName);
}

void Tfmorvane::Button11Click(TObject*) {
    DeleteProgramFile(HandOffFileName);
    Close();
}

// ---- Published properties

void RegisterMorvaneClasses() {
    RegisterOnce([] {
        RegisterWizardForm();
        TPublish<Tfmorvane>("Tfmorvane", "TWizardForm");
    });
}
