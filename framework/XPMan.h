// The framework's visual-style component: a form that carries one has the themed look.
#pragma once

#include "Classes.h"

class TXPManifest : public TComponent {
public:
    explicit TXPManifest(TComponent* AOwner);
    ~TXPManifest() override;
    const char* ClassName() const override { return "TXPManifest"; }
};

// The unit's classes and published properties, for the form files; RegisterFrameworkClasses
// calls it once.
void RegisterXPMan();
