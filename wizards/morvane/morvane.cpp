// The costing-data import wizard.
#include "Forms.h"
#include "umorvane.h"

int main() {
    return RunProgram([] {
        RegisterMorvaneClasses();
        Application->Initialize();
        Application->SetTitle(MorvaneTitle());
        Tfmorvane* fmorvane = nullptr;
        Application->CreateForm(fmorvane);
        Application->Run();
    });
}
