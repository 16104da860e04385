#include "XPMan.h"

#include "Themes.h"
#include "TypInfo.h"

TXPManifest::TXPManifest(TComponent* AOwner) : TComponent(AOwner) {
    ThemeServices()->AddSelector();
}

TXPManifest::~TXPManifest() {
    ThemeServices()->RemoveSelector();
}

namespace {

[[maybe_unused]] const bool Registered = [] {
    TPublish<TXPManifest>("TXPManifest", "TComponent").Creatable();
    return true;
}();

} // namespace
