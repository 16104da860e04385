// The link label: a label that points with a hand, turns HotColor under the pointer and
// PushedColor while pressed, and, when Executable, hands its caption to the desktop to open
// as soon as a mouse button goes down on it.
#pragma once

#include "StdCtrls.h"

class TURLLabel : public TLabel {
public:
    explicit TURLLabel(TComponent* AOwner);
    const char* ClassName() const override { return "TURLLabel"; }

    // The screen's cursor number of the hand that every link label registers.
    static constexpr TCursor crHandCursor = 32761;
    static constexpr TCursor DefaultCursor = crHandCursor;
    static constexpr bool DefaultHotTrack = true;
    static constexpr TColor DefaultHotColor = clAqua;
    static constexpr TColor DefaultPushedColor = clRed;

    bool Executable() const { return FExecutable; }
    void SetExecutable(bool Value) { FExecutable = Value; }
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    TColor HotColor() const { return FHotColor; }
    void SetHotColor(TColor Value);
    TColor PushedColor() const { return FPushedColor; }
    void SetPushedColor(TColor Value);

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    void ShowColor(TColor Value);
    bool FExecutable = false;
    bool FHotTrack = DefaultHotTrack;
    TColor FHotColor = DefaultHotColor;
    TColor FPushedColor = DefaultPushedColor;
    // The text colour the label had when the pointer last entered it.
    TColor FSavedColor = clBlack;
};

// The unit's classes and published properties, for the form files; RegisterControlClasses
// calls it once.
void RegisterURLLabel();
