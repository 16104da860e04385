// The costing-data import wizard's form.
#pragma once

#include "WizardForm.h"

class Tfmorvane : public TWizardForm {
public:
    explicit Tfmorvane(TComponent* AOwner);
    const char* ClassName() const override { return "Tfmorvane"; }

    void Button11Click(TObject* Sender);

protected:
    void DialogCancelled() override;
};

// The application title.
AnsiString MorvaneTitle();

// Registers the form's class and every class under it, once: what a program that reads the
// form file calls first.
void RegisterMorvaneClasses();
