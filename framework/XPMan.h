// The framework's visual-style component: a form that carries one has the themed look.
#pragma once

#include "Classes.h"

class TXPManifest : public TComponent {
public:
    explicit TXPManifest(TComponent* AOwner);
    ~TXPManifest() override;
    const char* ClassName() const override { return "TXPManifest"; }
};
