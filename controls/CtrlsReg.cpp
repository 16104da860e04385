#include "CtrlsReg.h"

#include "BoxLabl.h"
#include "Forms.h"
#include "GradBox.h"
#include "Gradpan.h"
#include "IconBtn.h"
#include "StrCGrid.h"
#include "TextDlgs.h"
#include "URLLabel.h"
#include "WinXP.h"

void RegisterControlClasses() {
    RegisterOnce([] {
        RegisterFrameworkClasses();
        RegisterBoxLabl();
        RegisterGradBox();
        RegisterGradpan();
        RegisterIconBtn();
        RegisterStrCGrid();
        RegisterTextDlgs();
        RegisterURLLabel();
        RegisterWinXP();
    });
}
