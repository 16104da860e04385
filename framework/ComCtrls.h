// Common controls: the status bar.
#pragma once

#include "Controls.h"

// A bar along the bottom of a form that shows one simple text, with a size grip at its right
// end when the form can be resized.
class TStatusBar : public TCustomControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    const char* ClassName() const override { return "TStatusBar"; }

    static constexpr TAlign DefaultAlign = alBottom;
    static constexpr bool DefaultSimplePanel = false;
    static constexpr bool DefaultSizeGrip = true;
    static constexpr TColor DefaultColor = clBtnFace;
    static constexpr int InitHeight = 19;

    // Whether the bar shows SimpleText (the platform's simple mode) rather than its panels.
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const AnsiString& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const AnsiString& Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    // Whether the grip is drawn: wanted, and the bar stands on a window that can be resized.
    bool SizeGripShown() const;

protected:
    void Paint() override;

private:
    void PaintSizeGrip();
    bool FSimplePanel = DefaultSimplePanel;
    AnsiString FSimpleText;
    bool FSizeGrip = DefaultSizeGrip;
};

// The unit's classes and published properties, for the form files; RegisterFrameworkClasses
// calls it once.
void RegisterComCtrls();
