#include "ExtCtrls.h"

#include "PlatformControls.h"
#include "PlatformWindows.h"
#include "Themes.h"
#include "TypInfo.h"

#include <algorithm>

void Frame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width) {
    TBrush* Brush = Canvas->Brush();
    Brush->SetStyle(bsSolid);
    for (int I = 0; I < Width && R.Width() > 0 && R.Height() > 0; ++I) {
        Brush->SetColor(TopColor);
        Canvas->FillRect(Rect(R.Left, R.Top, R.Right - 1, R.Top + 1));
        Canvas->FillRect(Rect(R.Left, R.Top, R.Left + 1, R.Bottom - 1));
        Brush->SetColor(BottomColor);
        Canvas->FillRect(Rect(R.Right - 1, R.Top, R.Right, R.Bottom));
        Canvas->FillRect(Rect(R.Left, R.Bottom - 1, R.Right, R.Bottom));
        R = Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
    }
}

// ---------------------------------------------------------------------------------------------
// TCustomPanel

namespace {

// A single border is the platform's sunken 3D edge, two pixels wide.
constexpr int SingleBorderWidth = 2;

} // namespace

const std::vector<const char*>& PanelBevelNames() {
    static const std::vector<const char*> Names{"bvNone", "bvLowered", "bvRaised", "bvSpace"};
    return Names;
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle({csAcceptsControls, csSetCaption});
    SetColor(DefaultColor);
    SetParentColor(DefaultParentColor);
    SetBounds(Left(), Top(), InitWidth, InitHeight);
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    Change(FAlignment, Value);
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
    if (FBevelInner == Value)
        return;
    FBevelInner = Value;
    FrameChanged();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
    if (FBevelOuter == Value)
        return;
    FBevelOuter = Value;
    FrameChanged();
}

void TCustomPanel::SetBevelWidth(int Value) {
    if (Value < 1 || FBevelWidth == Value)
        return;
    FBevelWidth = Value;
    FrameChanged();
}

void TCustomPanel::SetBorderWidth(int Value) {
    if (Value < 0 || FBorderWidth == Value)
        return;
    FBorderWidth = Value;
    FrameChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    FrameChanged();
}

void TCustomPanel::SetParentBackground(bool Value) {
    if (FParentBackground == Value)
        return;
    FParentBackground = Value;
    if (HandleAllocated())
        Platform::SetWindowOpaque(Widget(), OpaquePaint());
    Invalidate();
}

bool TCustomPanel::OpaquePaint() const {
    return !FParentBackground || !ThemeServices()->ThemesEnabled();
}

void TCustomPanel::TextChanged() {
    TCustomControl::TextChanged();
    Invalidate();
}

void TCustomPanel::FrameChanged() {
    Realign();
    Invalidate();
}

int TCustomPanel::FrameSize() const {
    int Size = FBorderWidth;
    if (FBorderStyle == bsSingle)
        Size += SingleBorderWidth;
    if (FBevelOuter != bvNone)
        Size += FBevelWidth;
    if (FBevelInner != bvNone)
        Size += FBevelWidth;
    return Size;
}

TRect TCustomPanel::AlignArea() const {
    const int Size = FrameSize();
    const TRect R = ClientRect();
    return Rect(R.Left + Size, R.Top + Size, std::max(R.Left + Size, R.Right - Size),
                std::max(R.Top + Size, R.Bottom - Size));
}

void TCustomPanel::Paint() {
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    if (FBorderStyle == bsSingle) {
        Frame3D(C, R, clBtnShadow, clBtnHighlight, 1);
        Frame3D(C, R, cl3DDkShadow, cl3DLight, 1);
    }
    PaintBevel(R, FBevelOuter);
    Frame3D(C, R, Color(), Color(), FBorderWidth);
    PaintBevel(R, FBevelInner);
    if (OpaquePaint()) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(R);
    }
    PaintCaption(R);
}

void TCustomPanel::PaintBevel(TRect& R, TPanelBevel Bevel) {
    if (Bevel == bvNone)
        return;
    TColor TopColor = Bevel == bvLowered ? clBtnShadow : clBtnHighlight;
    TColor BottomColor = Bevel == bvLowered ? clBtnHighlight : clBtnShadow;
    if (Bevel == bvSpace)
        TopColor = BottomColor = Color();
    Frame3D(Canvas(), R, TopColor, BottomColor, FBevelWidth);
}

// One line of caption, centred vertically in the area inside the bevels.
void TCustomPanel::PaintCaption(const TRect& R) {
    if (Caption().empty())
        return;
    static constexpr unsigned AlignFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    TCanvas* C = Canvas();
    C->SetFont(Font());
    C->Brush()->SetStyle(bsClear);
    const int TextHeight = C->TextHeight("W");
    TRect Line = R;
    Line.Top = (R.Top + R.Bottom - TextHeight) / 2;
    Line.Bottom = Line.Top + TextHeight;
    C->DrawText(Caption(), Line, DT_SINGLELINE | DT_VCENTER | AlignFlags[FAlignment]);
}

// ---------------------------------------------------------------------------------------------
// TBevel

const std::vector<const char*>& BevelShapeNames() {
    static const std::vector<const char*> Names{
        "bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"};
    return Names;
}

const std::vector<const char*>& BevelStyleNames() {
    static const std::vector<const char*> Names{"bsLowered", "bsRaised"};
    return Names;
}

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(Left(), Top(), InitWidth, InitHeight);
}

void TBevel::SetShape(TBevelShape Value) {
    Change(FShape, Value);
}

void TBevel::SetStyle(TBevelStyle Value) {
    Change(FStyle, Value);
}

void TBevel::PaintLine(int X, int Y, int AWidth, int AHeight, TColor Color) {
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(Color);
    Canvas()->FillRect(Bounds(X, Y, AWidth, AHeight));
}

// Lowered shapes are shadow first and highlight second; raised ones the other way round.
void TBevel::Paint() {
    const TColor First = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor Second = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    const int W = Width();
    const int H = Height();
    switch (FShape) {
    case bsBox: {
        TRect R = ClientRect();
        Frame3D(Canvas(), R, First, Second, 1);
        break;
    }
    case bsFrame: {
        TRect Inner = Rect(1, 1, W, H);
        Frame3D(Canvas(), Inner, Second, Second, 1);
        TRect Outer = Rect(0, 0, W - 1, H - 1);
        Frame3D(Canvas(), Outer, First, First, 1);
        break;
    }
    case bsTopLine:
        PaintLine(0, 0, W, 1, First);
        PaintLine(0, 1, W, 1, Second);
        break;
    case bsBottomLine:
        PaintLine(0, H - 2, W, 1, First);
        PaintLine(0, H - 1, W, 1, Second);
        break;
    case bsLeftLine:
        PaintLine(0, 0, 1, H, First);
        PaintLine(1, 0, 1, H, Second);
        break;
    case bsRightLine:
        PaintLine(W - 2, 0, 1, H, First);
        PaintLine(W - 1, 0, 1, H, Second);
        break;
    case bsSpacer:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// TCustomRadioGroup

namespace {

// Space around the buttons inside the group's frame, as the platform lays them out.
constexpr int ButtonsLeft = 8;
constexpr int ButtonsHorzMargin = 10;
constexpr int ButtonsBottomMargin = 5;

} // namespace

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
    // Its buttons are its items, not controls of the form file.
    SetControlStyle(ControlStyle() - TControlStyle{csAcceptsControls});
    SetTabStop(DefaultTabStop);
    FItems->OnChange = [this](TObject*) { BuildButtons(); };
}

TCustomRadioGroup::~TCustomRadioGroup() {
    FItems->OnChange = nullptr;
}

TPlatformWidget* TCustomRadioGroup::Button(int Index) const {
    return Index >= 0 && Index < static_cast<int>(FButtons.size()) ? FButtons[Index] : nullptr;
}

void TCustomRadioGroup::SetItemIndex(int Value) {
    if (ComponentState().Contains(csLoading)) {
        FItemIndex = Value;
        return;
    }
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    if (FItemIndex == Value)
        return;
    FItemIndex = Value;
    ShowItemIndex();
    Click();
}

void TCustomRadioGroup::SetColumns(int Value) {
    Value = std::clamp(Value, 1, MaxColumns);
    if (FColumns == Value)
        return;
    FColumns = Value;
    ArrangeButtons();
}

void TCustomRadioGroup::Loaded() {
    TCustomGroupBox::Loaded();
    BuildButtons();
}

void TCustomRadioGroup::Resize() {
    TCustomGroupBox::Resize();
    ArrangeButtons();
}

void TCustomRadioGroup::FontChanged() {
    TCustomGroupBox::FontChanged();
    ArrangeButtons();
}

void TCustomRadioGroup::BuildButtons() {
    if (ComponentState().Contains(csLoading))
        return;
    Widget();
    for (TPlatformWidget* Old : FButtons)
        Platform::DestroyWindow(Old);
    FButtons.clear();
    for (int I = 0; I < FItems->Count(); ++I)
        FButtons.push_back(Platform::CreateRadioButton(GroupBox(), AnsiString(FItems->View(I)),
                                                       [this, I] { UserChecked(I); }));
    if (FItemIndex >= FItems->Count())
        FItemIndex = -1;
    ArrangeButtons();
    ShowItemIndex();
}

// Columns are filled top to bottom; the rows share the height below the caption, and what is
// left over is split above and below them.
void TCustomRadioGroup::ArrangeButtons() {
    const int Count = static_cast<int>(FButtons.size());
    if (Count == 0)
        return;
    TBitmap Measure(1, 1);
    Measure.Canvas()->SetFont(Font());
    const int FontHeight = Measure.Canvas()->TextHeight("0");
    const int PerColumn = (Count + FColumns - 1) / FColumns;
    const int ButtonWidth = std::max(0, (Width() - ButtonsHorzMargin) / FColumns);
    const int Free = std::max(0, Height() - FontHeight - ButtonsBottomMargin);
    const int ButtonHeight = Free / PerColumn;
    const int TopMargin = FontHeight + 1 + (Free % PerColumn) / 2;
    for (int I = 0; I < Count; ++I)
        Platform::SetWindowBounds(FButtons[I], Bounds((I / PerColumn) * ButtonWidth + ButtonsLeft,
                                                      (I % PerColumn) * ButtonHeight + TopMargin,
                                                      ButtonWidth, ButtonHeight));
}

void TCustomRadioGroup::ShowItemIndex() {
    FShowingIndex = true;
    for (int I = 0; I < static_cast<int>(FButtons.size()); ++I)
        Platform::SetRadioChecked(FButtons[I], I == FItemIndex);
    FShowingIndex = false;
}

void TCustomRadioGroup::UserChecked(int Index) {
    if (FShowingIndex || FItemIndex == Index)
        return;
    FItemIndex = Index;
    SafeCall([this] { Click(); });
}

// ---------------------------------------------------------------------------------------------
// Registration

namespace {

void RegisterPanel() {
    TPublish<TCustomPanel>("TCustomPanel", "TCustomControl")
        .Held()
        .Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, AlignmentNames(),
              std::optional(TCustomPanel::DefaultAlignment))
        .Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner,
              PanelBevelNames(), std::optional(TCustomPanel::DefaultBevelInner))
        .Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter,
              PanelBevelNames(), std::optional(TCustomPanel::DefaultBevelOuter))
        .Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth,
             TCustomPanel::DefaultBevelWidth)
        .Int("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth,
             TCustomPanel::DefaultBorderWidth)
        .Enum("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle,
              BorderStyleNames(), std::optional(TCustomPanel::DefaultBorderStyle))
        .Bool("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint,
              TCustomPanel::DefaultFullRepaint);
    TPublish<TPanel>("TPanel", "TCustomPanel")
        .Creatable()
        .Publish({"Align", "Alignment", "BevelInner", "BevelOuter", "BevelWidth", "BorderWidth",
                  "BorderStyle", "Caption"})
        .Publish("Color")
        .Default(TPanel::DefaultColor)
        .Publish({"Ctl3D",      "DragCursor",  "DragMode",    "Enabled",        "FullRepaint",
                  "Font",       "ParentColor", "ParentFont",  "ParentShowHint", "PopupMenu",
                  "ShowHint",   "TabOrder",    "TabStop",     "Visible",        "OnClick",
                  "OnDblClick", "OnDragDrop",  "OnDragOver",  "OnEndDrag",      "OnEnter",
                  "OnExit",     "OnMouseDown", "OnMouseMove", "OnMouseUp",      "OnResize",
                  "OnStartDrag"});
}

void RegisterBevel() {
    TPublish<TBevel>("TBevel", "TGraphicControl")
        .Creatable()
        .Publish({"Align", "ParentShowHint"})
        .Enum("Shape", &TBevel::Shape, &TBevel::SetShape, BevelShapeNames(),
              std::optional(TBevel::DefaultShape))
        .Publish("ShowHint")
        .Enum("Style", &TBevel::Style, &TBevel::SetStyle, BevelStyleNames(),
              std::optional(TBevel::DefaultStyle))
        .Publish("Visible");
}

void RegisterRadioGroup() {
    TPublish<TCustomRadioGroup>("TCustomRadioGroup", "TCustomGroupBox")
        .Held()
        .Int("Columns", &TCustomRadioGroup::Columns, &TCustomRadioGroup::SetColumns,
             TCustomRadioGroup::DefaultColumns)
        .Int("ItemIndex", &TCustomRadioGroup::ItemIndex, &TCustomRadioGroup::SetItemIndex,
             TCustomRadioGroup::DefaultItemIndex)
        .Object("Items", TTypeKind::Strings, &TCustomRadioGroup::Items);
    TPublish<TRadioGroup>("TRadioGroup", "TCustomRadioGroup")
        .Creatable()
        .Publish({"Align", "Caption", "Color", "Columns", "Ctl3D", "DragCursor", "DragMode",
                  "Enabled", "Font", "ItemIndex", "Items", "ParentColor", "ParentFont",
                  "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder"})
        .Publish("TabStop")
        .Default(TRadioGroup::DefaultTabStop)
        .Publish({"Visible", "OnClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter",
                  "OnExit", "OnStartDrag"});
}

} // namespace

void RegisterExtCtrls() {
    RegisterPanel();
    RegisterBevel();
    RegisterRadioGroup();
}
