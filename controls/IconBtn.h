// The icon button: a push button that shows only an icon, framed by the panel's two bevels in
// one of six styles; bsIELike is flat and rises under the pointer. Operated with the left mouse
// button, Space (click on release) or Enter (click at once).
#pragma once

#include "ExtCtrls.h"

#include <memory>
#include <vector>

// The unit's style names share names with the layer's enumerations, hence the namespace.
namespace IconBtn {

enum TButtonStyle { bsNone, bsLowered, bsRaised, bsFrame, bsGroove, bsIELike };
const std::vector<const char*>& ButtonStyleNames();

class TIconButton : public TCustomPanel {
public:
    explicit TIconButton(TComponent* AOwner);
    ~TIconButton() override;
    const char* ClassName() const override { return "TIconButton"; }

    static constexpr TButtonStyle DefaultButtonStyle = bsFrame;
    static constexpr bool DefaultColorChange = true;
    static constexpr TColor DefaultInColor = clActiveCaption;
    static constexpr TColor DefaultOutColor = clBtnFace;
    static constexpr int InitWidth = 36;
    static constexpr int InitHeight = 36;
    static constexpr int IconSize = 32;

    TButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TButtonStyle Value);
    bool ColorChange() const { return FColorChange; }
    void SetColorChange(bool Value) { FColorChange = Value; }
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(const TIcon* Value);
    TColor InColor() const { return FInColor; }
    void SetInColor(TColor Value) { FInColor = Value; }
    TColor OutColor() const { return FOutColor; }
    void SetOutColor(TColor Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);

    void Loaded() override;

    // The button's own hover events, with the shift state and the pointer in client coordinates.
    TMouseMoveEvent OnMouseEnter;
    TMouseMoveEvent OnMouseLeave;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(unsigned short& Key, TShiftState Shift) override;
    void KeyUp(unsigned short& Key, TShiftState Shift) override;
    void MouseEnter() override;
    void MouseLeave() override;
    virtual void MouseEnter(TShiftState Shift, int X, int Y);
    virtual void MouseLeave(TShiftState Shift, int X, int Y);

private:
    void SetPushed(bool Down);
    void ApplyColor(TColor Value);
    bool PointerInside() const;
    TPoint PointerPos() const;
    // The constructor sets the style and OutColor through their setters, from these.
    TButtonStyle FButtonStyle = bsNone;
    bool FColorChange = DefaultColorChange;
    std::unique_ptr<TIcon> FIcon;
    TColor FInColor = DefaultInColor;
    TColor FOutColor = clBlack;
    bool FStretch = false;
    bool FSpaceHeld = false;
};

// The unit's classes and published properties, for the form files; RegisterControlClasses
// calls it once.
void RegisterIconBtn();

} // namespace IconBtn

using IconBtn::RegisterIconBtn;
using IconBtn::TIconButton;
