#include "Controls.h"

#include "DragInput.h"
#include "Menus.h"
#include "PlatformWindows.h"
#include "WinTypes.h"

#include <algorithm>

namespace {

AnsiString CannotFocusMessage() {
    return "使用不可または非表示のウィンドウにはフォーカスを設定できません"_sj;
}

// Where an aligned control of each kind goes in the platform's layout order; among controls
// of one kind, the one nearer the edge it is aligned to comes first.
int AlignKey(const TControl* C) {
    switch (C->Align()) {
    case alTop:
        return C->Top();
    case alBottom:
        return -(C->Top() + C->Height());
    case alLeft:
        return C->Left();
    case alRight:
        return -(C->Left() + C->Width());
    default:
        return 0;
    }
}

} // namespace

// ---- TControl

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FFont(std::make_unique<TFont>()), FCanvas(std::make_unique<TCanvas>()) {
    FFont->OnChange = [this](TObject*) { FontChangedInternal(); };
}

TControl::~TControl() {
    DragControlDestroyed(this);
    if (FParent)
        FParent->RemoveControl(this);
    if (FWidget)
        Platform::DestroyWindow(FWidget);
}

TPlatformWidget* TControl::Widget() const {
    if (!FWidget)
        const_cast<TControl*>(this)->CreateHandle();
    return FWidget;
}

TPlatformWidget* TControl::CreateWidget() {
    return Platform::CreateHostWindow(this);
}

void TControl::CreateHandle() {
    FWidget = CreateWidget();
    Platform::AttachWindow(FWidget, this);
    Platform::SetWindowEnabled(FWidget, FEnabled);
    Platform::SetWindowFont(FWidget, *FFont);
    ApplyCursor();
    ApplyHint();
    auto* Win = dynamic_cast<TWinControl*>(this);
    if (Win)
        Win->ApplyWindowState();
    if (FParent)
        FParent->Widget();
    PlaceWidget();
    if (!Win)
        return;
    for (TControl* Child : Win->FControls) {
        if (Child->FWidget)
            Child->PlaceWidget();
        else
            Child->Widget();
    }
}

// Puts the widget into its parent's widget, at the control's bounds and visibility.
void TControl::PlaceWidget() {
    TPlatformWidget* ParentWidget = FParent ? FParent->FWidget : nullptr;
    Platform::SetParentWindow(FWidget, ParentWidget);
    ApplyBounds();
    if (ParentWidget)
        Platform::SetWindowVisible(FWidget, FVisible);
}

// A window's Left and Top place its client area, since the size of the frame around it is
// known only once it is shown; a fixed-size window (a dialog) stays fixed at its new size.
void TControl::ApplyBounds() {
    if (!FWidget)
        return;
    const TPoint Frame = FrameExtent();
    Platform::SetWindowBounds(FWidget, Bounds(FLeft, FTop, std::max(FWidth - Frame.X, 0),
                                              std::max(FHeight - Frame.Y, 0)));
}

void TControl::ApplyCursor() {
    if (FWidget)
        Platform::SetWindowCursor(FWidget, FCursor);
}

void TControl::ApplyHint() {
    if (FWidget)
        Platform::SetWindowHint(FWidget, FShowHint ? FHint : AnsiString());
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent)
        return;
    if (FParent)
        FParent->RemoveControl(this);
    FParent = AParent;
    if (AParent)
        AParent->InsertControl(this);
    // A widget waits outside any window until its new parent has one.
    if (AParent && AParent->FWidget && FWidget)
        PlaceWidget();
    else if (AParent && AParent->FWidget)
        Widget();
    else if (FWidget)
        Platform::SetParentWindow(FWidget, nullptr);
    if (!AParent)
        return;
    ParentFontChanged();
    ParentColorChanged();
    ParentShowHintChanged();
    if (FAlign != alNone)
        AParent->Realign();
}

void TControl::SetParentComponent(TComponent* Value) {
    const auto* Holder = dynamic_cast<const TControl*>(Value);
    if (Holder && !Holder->FControlStyle.Contains(csAcceptsControls))
        throw EComponentError(Name() + " を "_sj + Holder->Name() + " の中に置けません: "_sj +
                              Holder->ClassName() + " は子コントロールを持てません"_sj);
    if (auto* Win = dynamic_cast<TWinControl*>(Value))
        SetParent(Win);
}

// Naming a control in code carries a caption that still shows the old name along, as a
// designer would; a form file's names leave the captions it sets alone.
void TControl::SetName(const AnsiString& Value) {
    const bool Loading = ComponentState().Contains(csLoading) ||
                         (Owner() && Owner()->ComponentState().Contains(csLoading));
    const bool ChangeText = FControlStyle.Contains(csSetCaption) && !Loading && Name() == FCaption;
    TComponent::SetName(Value);
    if (ChangeText)
        SetCaption(Value);
}

TComponent* TControl::GetParentComponent() const {
    return FParent;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    const bool Moved = ALeft != FLeft || ATop != FTop;
    const bool Resized = AWidth != FWidth || AHeight != FHeight;
    if (!Moved && !Resized)
        return;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    ApplyBounds();
    if (FParent && FAlign != alNone)
        FParent->Realign();
    if (Resized)
        Resize();
    if (auto* Win = dynamic_cast<TWinControl*>(this); Win && Moved)
        Win->DispatchMessage(WM_MOVE, 0, MAKELPARAM(FLeft, FTop));
}

void TControl::SetClientWidth(int Value) {
    SetWidth(Value + FWidth - ClientWidth());
}

void TControl::SetClientHeight(int Value) {
    SetHeight(Value + FHeight - ClientHeight());
}

TPoint TControl::ClientToScreen(TPoint P) const {
    return Platform::ClientToScreen(Widget(), P);
}

TPoint TControl::ScreenToClient(TPoint P) const {
    return Platform::ScreenToClient(Widget(), P);
}

void TControl::SetAlign(TAlign Value) {
    if (Value == FAlign)
        return;
    FAlign = Value;
    if (FParent)
        FParent->Realign();
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    if (FWidget && FParent)
        Platform::SetWindowVisible(FWidget, Value);
    VisibleChanged();
    if (FParent && FAlign != alNone)
        FParent->Realign();
}

void TControl::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    if (FWidget)
        Platform::SetWindowEnabled(FWidget, Value);
    EnabledChanged();
}

void TControl::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    FParentColor = false;
    ColorChanged();
}

void TControl::SetParentColor(bool Value) {
    if (Value == FParentColor)
        return;
    FParentColor = Value;
    ParentColorChanged();
}

void TControl::SetParentFont(bool Value) {
    if (Value == FParentFont)
        return;
    FParentFont = Value;
    ParentFontChanged();
}

void TControl::SetCursor(TCursor Value) {
    if (Value == FCursor)
        return;
    FCursor = Value;
    ApplyCursor();
}

void TControl::SetCaption(const AnsiString& Value) {
    if (Value == FCaption)
        return;
    FCaption = Value;
    TextChanged();
}

void TControl::SetHint(const AnsiString& Value) {
    FHint = Value;
    ApplyHint();
}

void TControl::SetShowHint(bool Value) {
    FParentShowHint = false;
    if (Value == FShowHint)
        return;
    FShowHint = Value;
    ShowHintChanged();
}

void TControl::SetParentShowHint(bool Value) {
    if (Value == FParentShowHint)
        return;
    FParentShowHint = Value;
    ParentShowHintChanged();
}

void TControl::ShowHintChanged() {
    ApplyHint();
    if (auto* Win = dynamic_cast<TWinControl*>(this))
        for (TControl* Child : Win->FControls)
            Child->ParentShowHintChanged();
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    FPopupMenu = Value;
}

TPopupMenu* TControl::GetPopupMenu() const {
    for (const TControl* C = this; C; C = C->FParent)
        if (C->FPopupMenu)
            return C->FPopupMenu;
    return nullptr;
}

void TControl::Notification(TComponent* AComponent, bool Removing) {
    TComponent::Notification(AComponent, Removing);
    if (Removing && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
}

void TControl::Invalidate() {
    if (FWidget)
        Platform::InvalidateWindow(FWidget);
}

void TControl::Update() {
    if (FWidget)
        Platform::UpdateWindow(FWidget);
}

void TControl::Repaint() {
    if (FWidget)
        Platform::RepaintWindow(FWidget);
}

void TControl::BringToFront() {
    if (FParent) {
        auto& Siblings = FParent->FControls;
        Siblings.erase(std::find(Siblings.begin(), Siblings.end(), this));
        Siblings.push_back(this);
    }
    if (FWidget)
        Platform::BringWindowToFront(FWidget);
}

std::unique_ptr<TBitmap> TControl::Snapshot() {
    auto Result = std::make_unique<TBitmap>();
    Platform::RenderWindow(Widget(), FColor, !OpaquePaint() && FParent, *Result);
    return Result;
}

// The platform clicks a control that paints itself when the left button goes up inside it
// after going down on it; controls on ready-made widgets click through the widget's signal.
void TControl::DispatchMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft)
        FClicked = FWidget && Platform::IsHostWindow(FWidget);
    MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && FDragMode == dmAutomatic && !Dragging())
        BeginDrag(false);
}

void TControl::DispatchMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (DragMouseUp(this, Button, Shift, X, Y))
        return;
    if (Button == mbLeft && FClicked) {
        FClicked = false;
        if (PtInRect(ClientRect(), {X, Y}))
            Click();
    }
    MouseUp(Button, Shift, X, Y);
}

void TControl::DispatchMouseMove(TShiftState Shift, int X, int Y) {
    if (DragMouseMove(this, X, Y))
        return;
    MouseMove(Shift, X, Y);
}

void TControl::DispatchDblClick(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft)
        DblClick();
    MouseDown(Button, Shift, X, Y);
}

void TControl::DispatchMouseEnter() {
    MouseEnter();
}

void TControl::DispatchMouseLeave() {
    MouseLeave();
}

void TControl::DispatchResize(int AWidth, int AHeight) {
    const TPoint Frame = FrameExtent();
    AWidth += Frame.X;
    AHeight += Frame.Y;
    if (AWidth == FWidth && AHeight == FHeight)
        return;
    FWidth = AWidth;
    FHeight = AHeight;
    Resize();
}

void TControl::DispatchMove(int ALeft, int ATop) {
    if (ALeft == FLeft && ATop == FTop)
        return;
    FLeft = ALeft;
    FTop = ATop;
    if (auto* Win = dynamic_cast<TWinControl*>(this))
        Win->DispatchMessage(WM_MOVE, 0, MAKELPARAM(FLeft, FTop));
}

// The menu shows for the control that holds it, as the platform passes the request on to
// the parent when the control has no menu of its own.
void TControl::DispatchContextMenu(int X, int Y) {
    TControl* Holder = this;
    while (Holder && !Holder->FPopupMenu)
        Holder = Holder->FParent;
    if (!Holder)
        return;
    const TPoint Screen = ClientToScreen({X, Y});
    Holder->FPopupMenu->SetPopupComponent(Holder);
    Holder->FPopupMenu->Popup(Screen.X, Screen.Y);
}

void TControl::DispatchWheel(int, TShiftState) {}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseEnter() {
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::MouseLeave() {
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TControl::Resize() {
    if (OnResize)
        OnResize(this);
}

void TControl::FontChangedInternal() {
    if (!FChangingParentFont)
        FParentFont = false;
    FontChanged();
}

void TControl::FontChanged() {
    if (FWidget)
        Platform::SetWindowFont(FWidget, *FFont);
    Invalidate();
}

void TControl::ColorChanged() {
    Invalidate();
}

void TControl::TextChanged() {
    Invalidate();
}

void TControl::ParentFontChanged() {
    if (!FParentFont || !FParent)
        return;
    FChangingParentFont = true;
    FFont->Assign(FParent->Font());
    FChangingParentFont = false;
}

void TControl::ParentShowHintChanged() {
    if (!FParentShowHint || !FParent || FShowHint == FParent->FShowHint)
        return;
    FShowHint = FParent->FShowHint;
    ShowHintChanged();
}

void TControl::ParentColorChanged() {
    if (!FParentColor || !FParent || FColor == FParent->FColor)
        return;
    FColor = FParent->FColor;
    ColorChanged();
}

void TControl::EnabledChanged() {
    Invalidate();
}

void TControl::VisibleChanged() {}

void TControl::SafeCall(const std::function<void()>& Handler) {
    ::SafeCall(Handler);
}

// ---- TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

// The platform frees a windowed control's children with it, whoever owns them.
TWinControl::~TWinControl() {
    SetDestroying();
    while (!FControls.empty())
        delete FControls.back();
}

void TWinControl::InsertControl(TControl* Control) {
    FControls.push_back(Control);
    auto* Win = dynamic_cast<TWinControl*>(Control);
    if (!Win)
        return;
    const auto Size = static_cast<int>(FTabList.size());
    const int At = Win->FTabOrder >= 0 && Win->FTabOrder <= Size ? Win->FTabOrder : Size;
    FTabList.insert(FTabList.begin() + At, Win);
    RenumberTabs();
}

void TWinControl::RemoveControl(TControl* Control) {
    FControls.erase(std::find(FControls.begin(), FControls.end(), Control));
    const auto Tab = std::find(FTabList.begin(), FTabList.end(), Control);
    if (Tab != FTabList.end()) {
        FTabList.erase(Tab);
        RenumberTabs();
    }
    if (Control->FAlign != alNone && !ComponentState().Contains(csDestroying))
        Realign();
}

void TWinControl::RenumberTabs() {
    for (std::size_t I = 0; I < FTabList.size(); ++I) {
        FTabList[I]->FTabOrder = static_cast<int>(I);
        if (I > 0 && FTabList[I - 1]->FWidget && FTabList[I]->FWidget)
            Platform::SetTabOrder(FTabList[I - 1]->FWidget, FTabList[I]->FWidget);
    }
}

void TWinControl::SetTabOrder(int Value) {
    if (!FParent) {
        FTabOrder = Value;
        return;
    }
    auto& List = FParent->FTabList;
    List.erase(std::find(List.begin(), List.end(), this));
    const int At = std::clamp(Value, 0, static_cast<int>(List.size()));
    List.insert(List.begin() + At, this);
    FParent->RenumberTabs();
}

void TWinControl::SetTabStop(bool Value) {
    if (Value == FTabStop)
        return;
    FTabStop = Value;
    ApplyFocusPolicy();
}

void TWinControl::ApplyFocusPolicy() {
    if (FWidget)
        Platform::SetWindowTabStop(FWidget, FTabStop);
}

void TWinControl::ApplyWindowState() {
    ApplyFocusPolicy();
    if (Platform::IsHostWindow(FWidget) || FImeMode != DefaultImeMode)
        Platform::SetImeMode(FWidget, FImeMode);
    if (!FRedraw)
        Platform::SetWindowRedraw(FWidget, false);
    RenumberTabs();
}

void TWinControl::SetCtl3D(bool Value) {
    if (Value == FCtl3D)
        return;
    FCtl3D = Value;
    Invalidate();
}

void TWinControl::SetImeMode(TImeMode Value) {
    FImeMode = Value;
    if (FWidget)
        Platform::SetImeMode(FWidget, Value);
}

void TWinControl::SetRedraw(bool Value) {
    FRedraw = Value;
    if (FWidget)
        Platform::SetWindowRedraw(FWidget, Value);
}

bool TWinControl::Focused() const {
    return FWidget && Platform::WindowFocused(FWidget);
}

bool TWinControl::CanFocus() const {
    const TControl* Top = this;
    for (const TControl* C = this; C; C = C->FParent) {
        if (!C->FVisible || !C->FEnabled)
            return false;
        Top = C;
    }
    return Top->FWidget && Platform::WindowShown(Top->FWidget);
}

void TWinControl::SetFocus() {
    if (!CanFocus())
        throw Exception(CannotFocusMessage());
    Platform::FocusWindow(Widget());
}

void TWinControl::DispatchKeyDown(unsigned short& Key, TShiftState Shift) {
    KeyDown(Key, Shift);
    if (Key == VK_F1)
        ShowHelp(this);
}

void TWinControl::DispatchKeyUp(unsigned short& Key, TShiftState Shift) {
    KeyUp(Key, Shift);
}

void TWinControl::DispatchKeyPress(AnsiString& Key) {
    KeyPress(Key);
}

void TWinControl::DispatchEnter() {
    DoEnter();
}

void TWinControl::DispatchExit() {
    DoExit();
}

void TWinControl::DispatchMessage(unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    const TShiftState Shift = ShiftStateOfFlags(WParam);
    const int X = GET_X_LPARAM(LParam), Y = GET_Y_LPARAM(LParam);
    switch (Msg) {
    case WM_LBUTTONDOWN:
        DispatchMouseDown(mbLeft, Shift, X, Y);
        break;
    case WM_LBUTTONUP:
        DispatchMouseUp(mbLeft, Shift, X, Y);
        break;
    case WM_LBUTTONDBLCLK:
        DispatchDblClick(mbLeft, Shift + TShiftState{ssDouble}, X, Y);
        break;
    case WM_RBUTTONDOWN:
        DispatchMouseDown(mbRight, Shift, X, Y);
        break;
    case WM_RBUTTONUP:
        DispatchMouseUp(mbRight, Shift, X, Y);
        break;
    case WM_MOUSEMOVE:
        DispatchMouseMove(Shift, X, Y);
        break;
    case WM_SETREDRAW:
        SetRedraw(WParam != 0);
        break;
    default:
        break;
    }
}

void TWinControl::DoEnter() {
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit)
        OnExit(this);
}

void TWinControl::KeyDown(unsigned short& Key, TShiftState Shift) {
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(unsigned short& Key, TShiftState Shift) {
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(AnsiString& Key) {
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::Resize() {
    Realign();
    TControl::Resize();
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* Child : FControls)
        Child->ParentFontChanged();
}

void TWinControl::ColorChanged() {
    TControl::ColorChanged();
    for (TControl* Child : FControls)
        Child->ParentColorChanged();
}

void TWinControl::Realign() {
    if (FAlignLevel > 0 || ComponentState().Contains(csLoading))
        return;
    ++FAlignLevel;
    TRect Area = AlignArea();
    for (TAlign Kind : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> Aligned;
        for (TControl* C : FControls)
            if (C->FAlign == Kind && C->FVisible)
                Aligned.push_back(C);
        std::stable_sort(Aligned.begin(), Aligned.end(), [](const TControl* A, const TControl* B) {
            return AlignKey(A) < AlignKey(B);
        });
        for (TControl* C : Aligned) {
            switch (Kind) {
            case alTop:
                C->SetBounds(Area.Left, Area.Top, Area.Width(), C->FHeight);
                Area.Top += C->FHeight;
                break;
            case alBottom:
                C->SetBounds(Area.Left, Area.Bottom - C->FHeight, Area.Width(), C->FHeight);
                Area.Bottom -= C->FHeight;
                break;
            case alLeft:
                C->SetBounds(Area.Left, Area.Top, C->FWidth, Area.Height());
                Area.Left += C->FWidth;
                break;
            case alRight:
                C->SetBounds(Area.Right - C->FWidth, Area.Top, C->FWidth, Area.Height());
                Area.Right -= C->FWidth;
                break;
            default:
                C->SetBounds(Area.Left, Area.Top, Area.Width(), Area.Height());
                break;
            }
        }
    }
    --FAlignLevel;
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& Proc,
                              TComponent* Root) const {
    for (TControl* C : FControls)
        if (C->Owner() == Root)
            Proc(C);
}

void TWinControl::Loaded() {
    TControl::Loaded();
    Realign();
}

void SetImeMode(HWND Window, TImeMode Mode) {
    Platform::SetImeMode(Window->Widget(), Mode);
}

// ---- TGraphicControl, TCustomControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}
