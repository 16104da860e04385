// Visual styles: the themed look of the standard controls. The programs keep the classic look
// unless a form carries a component that selects the themed one, the desktop's current style.
#pragma once

class TThemeServices {
public:
    // True while at least one style component exists.
    bool ThemesEnabled() const { return FSelectors > 0; }
    // A style component announces itself on creation and withdraws when it goes.
    void AddSelector();
    void RemoveSelector();
    // Gives the application's standard controls the look that ThemesEnabled names.
    void ApplyStyle() const;

private:
    void ThemesChanged() const;
    int FSelectors = 0;
};

TThemeServices* ThemeServices();
