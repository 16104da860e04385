#include "WinXP.h"

#include "Forms.h"
#include "Themes.h"
#include "TypInfo.h"

namespace {

const char* const MsgParentNotForm = "Control parent must be a form!";
const char* const MsgOnlyOne = "Only one instance of TWinXP allowed on form";

int CountOn(const TComponent* Owner) {
    int Count = 0;
    for (int I = 0; I < Owner->ComponentCount(); ++I)
        Count += dynamic_cast<const TWinXP*>(Owner->Components(I)) != nullptr;
    return Count;
}

} // namespace

TWinXP::TWinXP(TComponent* AOwner) : TComponent(AOwner) {
    if (!dynamic_cast<TCustomForm*>(AOwner))
        throw Exception(MsgParentNotForm);
    if (CountOn(AOwner) > 1)
        throw Exception(MsgOnlyOne);
    ThemeServices()->AddSelector();
}

TWinXP::~TWinXP() {
    ThemeServices()->RemoveSelector();
}

void RegisterWinXP() {
    TPublish<TWinXP>("TWinXP", "TComponent").Creatable();
}
