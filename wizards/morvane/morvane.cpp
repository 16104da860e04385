// The costing-data import wizard.
#include "CtrlsReg.h"
#include "Forms.h"
#include "umorvane.h"

int main() {
    return RunProgram([] {
        RegisterControlClasses();
        Application->Initialize();
        Application->SetTitle(MorvaneTitle());
        Tfmorvane* fmorvane = nullptr;
        Application->CreateForm(fmorvane);
        Application->Run();
    });
}
