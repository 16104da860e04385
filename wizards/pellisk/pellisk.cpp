// The unit-price import wizard.
#include "Forms.h"
#include "upellisk.h"

int main() {
    Application->Initialize();
    Application->SetTitle(PelliskTitle());
    Tfpellisk* fpellisk = nullptr;
    Application->CreateForm(fpellisk);
    Application->Run();
    return 0;
}
