#include "XPMan.h"

#include "Themes.h"
#include "TypInfo.h"

TXPManifest::TXPManifest(TComponent* AOwner) : TComponent(AOwner) {
    ThemeServices()->AddSelector();
}

TXPManifest::~TXPManifest() {
    ThemeServices()->RemoveSelector();
}

void RegisterXPMan() {
    TPublish<TXPManifest>("TXPManifest", "TComponent").Creatable();
}
