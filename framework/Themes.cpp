#include "Themes.h"

#include "PlatformSystem.h"
#include "PlatformWindows.h"

TThemeServices* ThemeServices() {
    static TThemeServices Services;
    return &Services;
}

void TThemeServices::AddSelector() {
    if (++FSelectors == 1)
        ThemesChanged();
}

void TThemeServices::RemoveSelector() {
    if (--FSelectors == 0)
        ThemesChanged();
}

// Controls that leave their face to the parent under visual styles change their opacity.
void TThemeServices::ThemesChanged() const {
    ApplyStyle();
    Platform::RefreshControlOpacity();
}

void TThemeServices::ApplyStyle() const {
    Platform::UseThemedStyle(ThemesEnabled());
}
