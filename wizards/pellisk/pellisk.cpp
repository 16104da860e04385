// The unit-price import wizard.
#include "CtrlsReg.h"
#include "Forms.h"
#include "upellisk.h"

int main() {
    return RunProgram([] {
        RegisterControlClasses();
        Application->Initialize();
        Application->SetTitle(PelliskTitle());
        Tfpellisk* fpellisk = nullptr;
        Application->CreateForm(fpellisk);
        Application->Run();
    });
}
