// The unit-price import wizard.
#include "Forms.h"
#include "upellisk.h"

int main() {
    return RunProgram([] {
        RegisterPelliskClasses();
        Application->Initialize();
        Application->SetTitle(PelliskTitle());
        Tfpellisk* fpellisk = nullptr;
        Application->CreateForm(fpellisk);
        Application->Run();
    });
}
