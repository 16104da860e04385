// Drives a wizard form as a user would: clicks its controls through the platform's mouse
// events; the open dialog and message boxes it runs are answered through the test driver.
#pragma once

#include "Forms.h"
#include "TestDriver.h"
#include "TestSupport.h"
#include "TextDlgs.h"

namespace WizardDriver {

using TestDriver::AnswerMessageBox;
using TestDriver::AnswerOpenDialog;

// A left click in the middle of the control.
inline void Click(TControl* Control) {
    TestSupport::Click(Control, mbLeft, {(Control->Width() - 1) / 2, (Control->Height() - 1) / 2});
}

// The form's close box in its title bar.
inline void PressCloseBox(TCustomForm* Form) {
    TestSupport::CloseWindow(Form);
}

// The preview check box and memo of the wizard's open dialog, which the dialog keeps for its
// descendants: reached through member pointers taken in a descendant.
class TPreviewParts : public TTextOpenDialog {
public:
    static TCheckBox* CheckBox(const TTextOpenDialog* Dialog) {
        return (Dialog->*&TPreviewParts::PreviewCheckBox)();
    }
    static TMemo* Memo(const TTextOpenDialog* Dialog) {
        return (Dialog->*&TPreviewParts::PreviewMemo)();
    }
};

} // namespace WizardDriver
