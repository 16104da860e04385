#include "IconBtn.h"

#include "TypInfo.h"
#include "WinApi.h"

namespace IconBtn {

namespace {

struct TBevels {
    TPanelBevel Inner;
    TPanelBevel Outer;
};

// The panel's two bevels for each style, in the order of TButtonStyle.
constexpr TBevels StyleBevels[] = {
    {bvNone, bvNone},      // bsNone
    {bvNone, bvLowered},   // bsLowered
    {bvRaised, bvNone},    // bsRaised
    {bvLowered, bvRaised}, // bsFrame
    {bvRaised, bvLowered}, // bsGroove
    {bvNone, bvNone},      // bsIELike
};

constexpr std::pair<unsigned short, TShiftStateItem> ShiftKeys[] = {
    {VK_SHIFT, ssShift},  {VK_MENU, ssAlt},      {VK_CONTROL, ssCtrl},
    {VK_LBUTTON, ssLeft}, {VK_RBUTTON, ssRight}, {VK_MBUTTON, ssMiddle},
};

constexpr int KeyStateCount = 256;
constexpr BYTE KeyStateDown = 0x80;

TShiftState KeyboardShiftState() {
    BYTE Keys[KeyStateCount];
    GetKeyboardState(Keys);
    TShiftState Shift;
    for (const auto& [Key, Item] : ShiftKeys)
        if (Keys[Key] & KeyStateDown)
            Shift.Include(Item);
    return Shift;
}

} // namespace

const std::vector<const char*>& ButtonStyleNames() {
    static const std::vector<const char*> Names{"bsNone",  "bsLowered", "bsRaised",
                                                "bsFrame", "bsGroove",  "bsIELike"};
    return Names;
}

TIconButton::TIconButton(TComponent* AOwner)
    : TCustomPanel(AOwner), FIcon(std::make_unique<TIcon>()) {
    SetControlStyle(ControlStyle() - TControlStyle{csAcceptsControls, csSetCaption});
    // Under visual styles the face shows the parent, as the framework has it for panels.
    SetParentBackground(true);
    SetButtonStyle(DefaultButtonStyle);
    SetCtl3D(true);
    SetOutColor(DefaultOutColor);
    SetBounds(Left(), Top(), InitWidth, InitHeight);
}

TIconButton::~TIconButton() = default;

void TIconButton::SetButtonStyle(TButtonStyle Value) {
    if (Value == FButtonStyle)
        return;
    SetBevelInner(StyleBevels[Value].Inner);
    SetBevelOuter(StyleBevels[Value].Outer);
    FButtonStyle = Value;
}

void TIconButton::SetIcon(const TIcon* Value) {
    if (Value == FIcon.get())
        return;
    FIcon->Assign(Value);
    Invalidate();
}

void TIconButton::SetOutColor(TColor Value) {
    if (Value == FOutColor)
        return;
    FOutColor = Value;
    if (ComponentState().Contains(csDesigning))
        ApplyColor(Value);
    Invalidate();
}

void TIconButton::SetStretch(bool Value) {
    if (Value == FStretch)
        return;
    FStretch = Value;
    Invalidate();
}

void TIconButton::Loaded() {
    TCustomPanel::Loaded();
    SetColor(FOutColor);
}

void TIconButton::ApplyColor(TColor Value) {
    if (Color() == Value)
        return;
    SetColor(Value);
    Invalidate();
}

TPoint TIconButton::PointerPos() const {
    TPoint P;
    GetCursorPos(P);
    return ScreenToClient(P);
}

bool TIconButton::PointerInside() const {
    return PtInRect(ClientRect(), PointerPos());
}

// Only one bevel changes; a flat button shows the raised hover frame again when the pointer is
// still over it.
void TIconButton::SetPushed(bool Down) {
    switch (FButtonStyle) {
    case bsNone:
        SetBevelOuter(Down ? bvLowered : bvNone);
        break;
    case bsLowered:
        SetBevelInner(Down ? bvLowered : bvNone);
        break;
    case bsRaised:
        SetBevelOuter(Down ? bvLowered : bvRaised);
        break;
    case bsFrame:
        SetBevelOuter(Down ? bvNone : bvRaised);
        break;
    case bsGroove:
        SetBevelInner(Down ? bvNone : bvRaised);
        break;
    case bsIELike:
        SetBevelOuter(Down ? bvLowered : (PointerInside() ? bvRaised : bvNone));
        break;
    }
}

void TIconButton::MouseEnter() {
    TCustomPanel::MouseEnter();
    const TPoint P = PointerPos();
    MouseEnter(KeyboardShiftState(), P.X, P.Y);
}

void TIconButton::MouseLeave() {
    TCustomPanel::MouseLeave();
    const TPoint P = PointerPos();
    MouseLeave(KeyboardShiftState(), P.X, P.Y);
}

void TIconButton::MouseEnter(TShiftState Shift, int X, int Y) {
    if (OnMouseEnter)
        OnMouseEnter(this, Shift, X, Y);
    if (FButtonStyle == bsIELike)
        SetBevelOuter(GetKeyState(VK_LBUTTON) < 0 ? bvLowered : bvRaised);
    if (FColorChange)
        ApplyColor(FInColor);
}

void TIconButton::MouseLeave(TShiftState Shift, int X, int Y) {
    if (OnMouseLeave)
        OnMouseLeave(this, Shift, X, Y);
    if (FButtonStyle == bsIELike)
        SetBevelOuter(bvNone);
    if (FColorChange)
        ApplyColor(FOutColor);
}

void TIconButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        if (CanFocus())
            SetFocus();
        SetPushed(true);
    }
    TCustomPanel::MouseDown(Button, Shift, X, Y);
}

void TIconButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft)
        SetPushed(false);
    TCustomPanel::MouseUp(Button, Shift, X, Y);
}

void TIconButton::KeyDown(unsigned short& Key, TShiftState Shift) {
    TCustomPanel::KeyDown(Key, Shift);
    if (!Enabled())
        return;
    switch (Key) {
    case VK_SPACE:
        FSpaceHeld = true;
        SetPushed(true);
        break;
    case VK_RETURN:
        SetPushed(true);
        Click();
        SetPushed(false);
        break;
    default:
        if (FSpaceHeld) {
            FSpaceHeld = false;
            SetPushed(false);
        }
        break;
    }
}

void TIconButton::KeyUp(unsigned short& Key, TShiftState Shift) {
    TCustomPanel::KeyUp(Key, Shift);
    if (!FSpaceHeld || Key != VK_SPACE)
        return;
    FSpaceHeld = false;
    Click();
    SetPushed(false);
}

// Without Stretch the icon is 32 x 32 and centred; with it, it fills the face inside the bevels
// that are set at this moment.
void TIconButton::Paint() {
    TCustomPanel::Paint();
    if (FIcon->Empty())
        return;
    if (!FStretch) {
        DrawIconEx(Canvas(), Width() / 2 - IconSize / 2, Height() / 2 - IconSize / 2, FIcon.get(),
                   IconSize, IconSize, DI_NORMAL);
        return;
    }
    const int Bevels = (BevelOuter() != bvNone) + (BevelInner() != bvNone);
    const int W = Width() - 2 * Bevels, H = Height() - 2 * Bevels;
    if (W > 0 && H > 0)
        DrawIconEx(Canvas(), Bevels, Bevels, FIcon.get(), W, H, DI_NORMAL);
}

void RegisterIconBtn() {
    TPublish<TIconButton>("TIconButton", "TCustomPanel")
        .Creatable()
        .Enum("ButtonStyle", &TIconButton::ButtonStyle, &TIconButton::SetButtonStyle,
              ButtonStyleNames(), std::optional(TIconButton::DefaultButtonStyle))
        .Bool("ColorChange", &TIconButton::ColorChange, &TIconButton::SetColorChange,
              TIconButton::DefaultColorChange)
        .Object("Icon", TTypeKind::Class, &TIconButton::Icon)
        .Int("InColor", &TIconButton::InColor, &TIconButton::SetInColor,
             TIconButton::DefaultInColor, &ColorIdents())
        .Int("OutColor", &TIconButton::OutColor, &TIconButton::SetOutColor,
             TIconButton::DefaultOutColor, &ColorIdents())
        .Bool("Stretch", &TIconButton::Stretch, &TIconButton::SetStretch)
        .Publish({"Align",      "DragCursor",     "DragMode",  "Enabled",    "HelpContext",
                  "Hint",       "ParentShowHint", "PopupMenu", "ShowHint",   "TabOrder",
                  "TabStop",    "Visible",        "OnClick",   "OnDblClick", "OnDragDrop",
                  "OnDragOver", "OnEndDrag",      "OnEnter",   "OnExit",     "OnMouseDown"})
        .Event("OnMouseEnter", &TIconButton::OnMouseEnter)
        .Event("OnMouseLeave", &TIconButton::OnMouseLeave)
        .Publish({"OnMouseMove", "OnMouseUp", "OnResize", "OnStartDrag"});
}

} // namespace IconBtn
