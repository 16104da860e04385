#include "StdCtrls.h"

#include "PlatformControls.h"
#include "PlatformWindows.h"
#include "TypInfo.h"

namespace {

AnsiString ListIndexError() {
    return "リストのインデックスが範囲を超えています ("_sj;
}

[[noreturn]] void RaiseListIndex(int Index) {
    throw EListError(ListIndexError() + IntToStr(Index) + ")");
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle({csSetCaption});
    SetParentColor(DefaultParentColor);
    SetBounds(Left(), Top(), InitWidth, InitHeight);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    Change(FAlignment, Value);
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    Change(FLayout, Value);
}

void TCustomLabel::SetAutoSize(bool Value) {
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetTransparent(bool Value) {
    Change(FTransparent, Value);
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value)
        return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::TextChanged() {
    TGraphicControl::TextChanged();
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
    Invalidate();
}

unsigned TCustomLabel::DrawFlags() const {
    static constexpr unsigned AlignFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    unsigned Flags = AlignFlags[FAlignment];
    if (FWordWrap)
        Flags |= DT_WORDBREAK;
    if (!FShowAccelChar)
        Flags |= DT_NOPREFIX;
    return Flags;
}

// Measuring an empty caption (or a lone access-key mark) measures a space, so that an auto-sized
// label keeps the height of a line.
void TCustomLabel::DrawCaption(TCanvas* ACanvas, TRect& R, unsigned Flags) const {
    AnsiString Text = Caption();
    if ((Flags & DT_CALCRECT) && (Text.empty() || (FShowAccelChar && Text == "&")))
        Text += ' ';
    ACanvas->SetFont(Font());
    ACanvas->Brush()->SetStyle(bsClear);
    if (Enabled() || (Flags & DT_CALCRECT)) {
        ACanvas->DrawText(Text, R, Flags);
        return;
    }
    TRect Embossed = Rect(R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1);
    ACanvas->Font()->SetColor(clBtnHighlight);
    ACanvas->DrawText(Text, Embossed, Flags);
    ACanvas->Font()->SetColor(clBtnShadow);
    ACanvas->DrawText(Text, R, Flags);
}

void TCustomLabel::Paint() {
    TCanvas* C = Canvas();
    if (!FTransparent) {
        C->Brush()->SetColor(Color());
        C->Brush()->SetStyle(bsSolid);
        C->FillRect(ClientRect());
    }
    TRect R = ClientRect();
    const unsigned Flags = DrawFlags();
    if (FLayout != tlTop) {
        TRect Measured = R;
        DrawCaption(C, Measured, Flags | DT_CALCRECT);
        int Offset = R.Bottom - Measured.Bottom;
        if (FLayout == tlCenter)
            Offset /= 2;
        R.Top += Offset;
        R.Bottom += Offset;
    }
    DrawCaption(C, R, Flags);
}

void TCustomLabel::AdjustBounds() {
    if (!FAutoSize || ComponentState().Contains(csLoading))
        return;
    TBitmap Measure(1, 1);
    TRect R = ClientRect();
    DrawCaption(Measure.Canvas(), R, DrawFlags() | DT_CALCRECT);
    int X = Left();
    if (FAlignment == taRightJustify)
        X += Width() - R.Right;
    SetBounds(X, Top(), R.Right, R.Bottom);
}

// ---------------------------------------------------------------------------------------------
// TButton

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle({csSetCaption});
    SetTabStop(DefaultTabStop);
    SetBounds(Left(), Top(), InitWidth, InitHeight);
}

TPlatformWidget* TButton::CreateWidget() {
    FButton = Platform::CreateButton(Caption(), [this] { SafeCall([this] { Click(); }); });
    Platform::SetButtonDefault(FButton, FDefault);
    return FButton;
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    if (FButton)
        Platform::SetButtonDefault(FButton, Value);
}

void TButton::TextChanged() {
    TWinControl::TextChanged();
    if (FButton)
        Platform::SetWindowText(FButton, Caption());
}

// ---------------------------------------------------------------------------------------------
// TCheckBox

const std::vector<const char*>& CheckBoxStateNames() {
    static const std::vector<const char*> Names{"cbUnchecked", "cbChecked", "cbGrayed"};
    return Names;
}

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle({csSetCaption});
    SetColor(InitColor);
    SetTabStop(DefaultTabStop);
    SetBounds(Left(), Top(), InitWidth, InitHeight);
}

TPlatformWidget* TCheckBox::CreateWidget() {
    FCheckBox = Platform::CreateCheckBox(
        Caption(), FAllowGrayed, static_cast<Platform::TCheckState>(FState),
        [this](Platform::TCheckState Value) { UserChanged(static_cast<TCheckBoxState>(Value)); });
    return FCheckBox;
}

void TCheckBox::SetState(TCheckBoxState Value) {
    if (FState == Value)
        return;
    FState = Value;
    ShowState();
    if (!ComponentState().Contains(csLoading))
        Click();
}

void TCheckBox::SetAllowGrayed(bool Value) {
    FAllowGrayed = Value;
    if (FCheckBox)
        Platform::SetCheckBoxAllowGrayed(FCheckBox, Value);
}

void TCheckBox::TextChanged() {
    TWinControl::TextChanged();
    if (FCheckBox)
        Platform::SetWindowText(FCheckBox, Caption());
}

void TCheckBox::ShowState() {
    if (FCheckBox)
        Platform::SetCheckBoxState(FCheckBox, static_cast<Platform::TCheckState>(FState));
}

void TCheckBox::UserChanged(TCheckBoxState Value) {
    if (FState == Value)
        return;
    FState = Value;
    SafeCall([this] { Click(); });
}

// ---------------------------------------------------------------------------------------------
// TListBoxStrings

void TListBoxStrings::CheckIndex(int Index, int Limit) const {
    if (Index < 0 || Index >= Limit)
        RaiseListIndex(Index);
}

AnsiString TListBoxStrings::Get(int Index) const {
    CheckIndex(Index, Count());
    return AnsiString(FItems.View(Index));
}

void TListBoxStrings::Put(int Index, const AnsiString& S) {
    CheckIndex(Index, Count());
    FItems.Owned()[Index] = S;
    FListBox->ItemsChanged();
}

void TListBoxStrings::Insert(int Index, const AnsiString& S) {
    CheckIndex(Index, Count() + 1);
    std::vector<AnsiString>& Items = FItems.Owned();
    Items.insert(Items.begin() + Index, S);
    FListBox->ItemsChanged();
}

int TListBoxStrings::Add(AnsiString&& S) {
    FItems.Owned().push_back(std::move(S));
    FListBox->ItemsChanged();
    return Count() - 1;
}

void TListBoxStrings::Share(TSharedText Text, TStringViews Views) {
    FItems.Share(std::move(Text), std::move(Views));
    FListBox->ItemsChanged();
}

void TListBoxStrings::Delete(int Index) {
    CheckIndex(Index, Count());
    std::vector<AnsiString>& Items = FItems.Owned();
    Items.erase(Items.begin() + Index);
    FListBox->ItemsChanged();
}

void TListBoxStrings::Clear() {
    FItems.Clear();
    FListBox->ItemsChanged();
}

void TListBoxStrings::SetUpdateState(bool Updating) {
    if (!Updating)
        FListBox->FlushItems();
}

// ---------------------------------------------------------------------------------------------
// TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TListBoxStrings>(this)) {
    SetTabStop(DefaultTabStop);
    SetBounds(Left(), Top(), InitWidth, InitHeight);
}

TCustomListBox::~TCustomListBox() = default;

TPlatformWidget* TCustomListBox::CreateWidget() {
    FView = Platform::CreateListBox(
        Count(), FItemHeight,
        [this](int Index) -> std::optional<std::string_view> {
            if (Index >= Count())
                return std::nullopt;
            return FItems->View(Index);
        },
        [this](int Index) { UserSelected(Index); });
    ShowItemIndex();
    return FView;
}

void TCustomListBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= Count())
        Value = -1;
    FItemIndex = Value;
    FlushItems();
    ShowItemIndex();
}

void TCustomListBox::SetItemHeight(int Value) {
    if (Value <= 0 || FItemHeight == Value)
        return;
    FItemHeight = Value;
    if (FView)
        Platform::SetListBoxItemHeight(FView, Value);
    ShowItemIndex();
}

// A change outside an update marks the rows stale and asks the event loop for one reload, so
// that filling the list item by item costs no more than filling it inside an update.
void TCustomListBox::ItemsChanged() {
    FItemsStale = true;
    if (!FView || FFlushPending || FItems->UpdateCount() > 0)
        return;
    FFlushPending = true;
    Platform::PostCall(FView, [this] {
        FFlushPending = false;
        FlushItems();
    });
}

void TCustomListBox::FlushItems() {
    if (!FItemsStale || !FView)
        return;
    FItemsStale = false;
    Platform::SetListBoxCount(FView, Count());
    if (FItemIndex >= Count())
        FItemIndex = -1;
    ShowItemIndex();
}

void TCustomListBox::ShowItemIndex() {
    if (FView)
        Platform::SetListBoxItemIndex(FView, FItemIndex);
}

void TCustomListBox::UserSelected(int Row) {
    if (Row == FItemIndex)
        return;
    FItemIndex = Row;
    SafeCall([this] { Click(); });
}

// ---------------------------------------------------------------------------------------------
// TCustomGroupBox

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle({csAcceptsControls, csSetCaption});
    SetBounds(Left(), Top(), InitWidth, InitHeight);
}

TPlatformWidget* TCustomGroupBox::CreateWidget() {
    FGroupBox = Platform::CreateGroupBox(Caption());
    return FGroupBox;
}

void TCustomGroupBox::TextChanged() {
    TWinControl::TextChanged();
    if (FGroupBox)
        Platform::SetWindowText(FGroupBox, Caption());
}

// Aligned children stay below the caption and inside the frame.
TRect TCustomGroupBox::AlignArea() const {
    constexpr int FrameWidth = 2;
    TBitmap Measure(1, 1);
    Measure.Canvas()->SetFont(Font());
    TRect R = ClientRect();
    R.Top += Measure.Canvas()->TextHeight("0");
    R.Left += FrameWidth;
    R.Right -= FrameWidth;
    R.Bottom -= FrameWidth;
    return R;
}

// ---------------------------------------------------------------------------------------------
// TMemo

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner), FLines(std::make_unique<TStringList>()) {
    FLines->OnChange = [this](TObject*) { ShowLines(); };
    SetTabStop(DefaultTabStop);
    SetBounds(Left(), Top(), InitWidth, InitHeight);
}

TMemo::~TMemo() = default;

TPlatformWidget* TMemo::CreateWidget() {
    FEdit = Platform::CreateMemo([this] { UserEdited(); });
    ApplyOptions();
    ShowLines();
    return FEdit;
}

void TMemo::SetReadOnly(bool Value) {
    FReadOnly = Value;
    ApplyOptions();
}

void TMemo::SetWordWrap(bool Value) {
    FWordWrap = Value;
    ApplyOptions();
}

void TMemo::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    ApplyOptions();
}

// A horizontal scroll bar turns wrapping off, as the platform's edit control does.
void TMemo::ApplyOptions() {
    if (!FEdit)
        return;
    const bool Horizontal = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    const bool Vertical = FScrollBars == ssVertical || FScrollBars == ssBoth;
    Platform::SetMemoOptions(FEdit, FReadOnly, FWordWrap && !Horizontal, Horizontal, Vertical);
}

void TMemo::ShowLines() {
    if (FEdit && !FEditing)
        Platform::SetMemoLines(FEdit, *FLines);
}

// Lines the user left as they were keep their bytes, also those that did not decode.
void TMemo::UserEdited() {
    TStringList Edited;
    Platform::GetMemoLines(FEdit, *FLines, Edited);
    FEditing = true;
    FLines->Assign(&Edited);
    FEditing = false;
}

// ---------------------------------------------------------------------------------------------
// Registration

namespace {

void RegisterLabel() {
    TPublish<TCustomLabel>("TCustomLabel", "TGraphicControl")
        .Held()
        .Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, AlignmentNames(),
              std::optional(TCustomLabel::DefaultAlignment))
        .Bool("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize,
              TCustomLabel::DefaultAutoSize)
        .Bool("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar,
              TCustomLabel::DefaultShowAccelChar)
        .Bool("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent,
              TCustomLabel::DefaultTransparent)
        .Enum("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, TextLayoutNames(),
              std::optional(TCustomLabel::DefaultLayout))
        .Bool("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap,
              TCustomLabel::DefaultWordWrap);
    TPublish<TLabel>("TLabel", "TCustomLabel")
        .Creatable()
        .Publish({"Align", "Alignment", "AutoSize", "Caption"})
        .Publish("Color")
        .Default(std::nullopt)
        .Publish({"DragCursor", "DragMode", "Enabled", "Font"})
        .Publish("ParentColor")
        .Default(TLabel::DefaultParentColor)
        .Publish({"ParentFont",  "ParentShowHint", "PopupMenu",    "ShowAccelChar", "ShowHint",
                  "Transparent", "Layout",         "Visible",      "WordWrap",      "OnClick",
                  "OnDblClick",  "OnDragDrop",     "OnDragOver",   "OnEndDrag",     "OnMouseDown",
                  "OnMouseMove", "OnMouseUp",      "OnMouseEnter", "OnMouseLeave",  "OnStartDrag"});
}

void RegisterButton() {
    TPublish<TButton>("TButton", "TWinControl")
        .Creatable()
        .Bool("Cancel", &TButton::Cancel, &TButton::SetCancel, TButton::DefaultCancel)
        .Publish("Caption")
        .Bool("Default", &TButton::Default, &TButton::SetDefault, TButton::DefaultDefault)
        .Publish({"DragCursor", "DragMode", "Enabled", "Font"})
        .Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult,
             TButton::DefaultModalResult)
        .Publish({"ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder"})
        .Publish("TabStop")
        .Default(TButton::DefaultTabStop)
        .Publish({"Visible", "OnClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter",
                  "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove",
                  "OnMouseUp", "OnStartDrag"});
}

void RegisterCheckBox() {
    TPublish<TCheckBox>("TCheckBox", "TWinControl")
        .Creatable()
        .Bool("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed,
              TCheckBox::DefaultAllowGrayed)
        .Publish("Caption")
        .Publish("Color")
        .Default(std::nullopt)
        .Publish({"Ctl3D", "DragCursor", "DragMode", "Enabled", "Font", "ParentColor", "ParentFont",
                  "ParentShowHint", "PopupMenu", "ShowHint"})
        .Enum("State", &TCheckBox::State, &TCheckBox::SetState, CheckBoxStateNames(),
              std::optional(TCheckBox::DefaultState))
        .Publish("TabOrder")
        .Publish("TabStop")
        .Default(TCheckBox::DefaultTabStop)
        .Publish({"Visible", "OnClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter",
                  "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove",
                  "OnMouseUp", "OnStartDrag"});
}

void RegisterListBox() {
    TPublish<TCustomListBox>("TCustomListBox", "TWinControl")
        .Held()
        .Int("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight,
             TCustomListBox::DefaultItemHeight)
        .Object("Items", TTypeKind::Strings, &TCustomListBox::Items);
    TPublish<TListBox>("TListBox", "TCustomListBox")
        .Creatable()
        .Publish({"Align", "Color", "Ctl3D", "DragCursor", "DragMode", "Enabled", "Font", "ImeMode",
                  "ItemHeight", "Items", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu",
                  "ShowHint", "TabOrder"})
        .Publish("TabStop")
        .Default(TListBox::DefaultTabStop)
        .Publish({"Visible", "OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag",
                  "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown",
                  "OnMouseMove", "OnMouseUp", "OnStartDrag"});
}

void RegisterGroupBox() {
    TPublish<TCustomGroupBox>("TCustomGroupBox", "TWinControl");
    TPublish<TGroupBox>("TGroupBox", "TCustomGroupBox")
        .Creatable()
        .Publish({"Align",          "Caption",    "Color",      "Ctl3D",       "DragCursor",
                  "DragMode",       "Enabled",    "Font",       "ParentColor", "ParentFont",
                  "ParentShowHint", "PopupMenu",  "ShowHint",   "TabOrder",    "TabStop",
                  "Visible",        "OnClick",    "OnDblClick", "OnDragDrop",  "OnDragOver",
                  "OnEndDrag",      "OnEnter",    "OnExit",     "OnMouseDown", "OnMouseMove",
                  "OnMouseUp",      "OnStartDrag"});
}

void RegisterMemo() {
    TPublish<TMemo>("TMemo", "TWinControl")
        .Creatable()
        .Publish(
            {"Align", "Color", "Ctl3D", "DragCursor", "DragMode", "Enabled", "Font", "ImeMode"})
        .Object<TStrings>("Lines", TTypeKind::Strings, &TMemo::Lines)
        .Publish({"ParentColor", "ParentFont", "ParentShowHint", "PopupMenu"})
        .Bool("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly, TMemo::DefaultReadOnly)
        .Enum("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars, ScrollStyleNames(),
              std::optional(TMemo::DefaultScrollBars))
        .Publish({"ShowHint", "TabOrder"})
        .Publish("TabStop")
        .Default(TMemo::DefaultTabStop)
        .Publish("Visible")
        .Bool("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap, TMemo::DefaultWordWrap)
        .Publish({"OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter",
                  "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove",
                  "OnMouseUp", "OnStartDrag"});
}

} // namespace

void RegisterStdCtrls() {
    RegisterLabel();
    RegisterButton();
    RegisterCheckBox();
    RegisterListBox();
    RegisterGroupBox();
    RegisterMemo();
}
