// The visual-style component: a form that carries one has the themed look of the standard
// controls. One per form, and only on a form.
#pragma once

#include "Classes.h"

class TWinXP : public TComponent {
public:
    // Raises Exception when AOwner is not a form or already owns one.
    explicit TWinXP(TComponent* AOwner);
    ~TWinXP() override;
    const char* ClassName() const override { return "TWinXP"; }
};

// The unit's classes and published properties, for the form files; RegisterControlClasses
// calls it once.
void RegisterWinXP();
