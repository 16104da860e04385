// An open dialog that records what its hooks see while it runs, and may put a panel on its
// template area: shared by the layer's dialog tests and those of its back ends.
#pragma once

#include "Dialogs.h"
#include "ExtCtrls.h"

#include <string>
#include <vector>

class TProbeDialog : public TOpenDialog {
public:
    using TOpenDialog::StandardControlsRect;
    using TOpenDialog::TemplateArea;
    using TOpenDialog::TOpenDialog;

    bool Template = false;
    std::vector<std::string> Events;
    AnsiString SelectionSeen;
    int FilterIndexSeen = 0;
    TPanel* Extra = nullptr;

protected:
    bool WantsTemplate() const override { return Template; }
    void DoShow() override {
        Events.push_back(TemplateArea() ? "show with area" : "show");
        if (TemplateArea()) {
            Extra = new TPanel(this);
            Extra->SetParent(TemplateArea());
            Extra->SetBounds(0, 0, TemplateArea()->Width(), TemplateArea()->Height());
        }
        TOpenDialog::DoShow();
    }
    void DoClose() override {
        Events.push_back(TemplateArea() ? "close with area" : "close");
        delete Extra;
        Extra = nullptr;
        TOpenDialog::DoClose();
    }
    void DoSelectionChange() override {
        SelectionSeen = FileName();
        TOpenDialog::DoSelectionChange();
    }
    void DoFilterChange() override {
        Events.push_back("filter");
        FilterIndexSeen = FilterIndex();
        TOpenDialog::DoFilterChange();
    }
};
