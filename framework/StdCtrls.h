// Standard controls: label, button, check box, list box, group box and memo.
#pragma once

#include "Controls.h"
#include "Grids.h" // TScrollStyle

#include <vector>

// A caption painted on its parent's surface.
class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);
    const char* ClassName() const override { return "TCustomLabel"; }

    static constexpr TAlignment DefaultAlignment = taLeftJustify;
    static constexpr TTextLayout DefaultLayout = tlTop;
    static constexpr bool DefaultAutoSize = true;
    static constexpr bool DefaultTransparent = false;
    static constexpr bool DefaultWordWrap = false;
    static constexpr bool DefaultShowAccelChar = true;
    static constexpr bool DefaultParentColor = true;
    static constexpr int InitWidth = 65;
    static constexpr int InitHeight = 17;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    // Sizes the label to its caption; a right-aligned label keeps its right edge.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Whether "&" marks the access key (drawn underlined) instead of showing itself.
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);

    void Loaded() override;

protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void AdjustBounds();

private:
    unsigned DrawFlags() const;
    void DrawCaption(TCanvas* ACanvas, TRect& R, unsigned Flags) const;
    TAlignment FAlignment = DefaultAlignment;
    TTextLayout FLayout = DefaultLayout;
    bool FAutoSize = DefaultAutoSize;
    bool FTransparent = DefaultTransparent;
    bool FWordWrap = DefaultWordWrap;
    bool FShowAccelChar = DefaultShowAccelChar;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
    const char* ClassName() const override { return "TLabel"; }
};

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                       mrYes = 6, mrNo = 7;

// A push button of the platform.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);
    const char* ClassName() const override { return "TButton"; }

    static constexpr bool DefaultTabStop = true;
    static constexpr bool DefaultDefault = false;
    static constexpr bool DefaultCancel = false;
    static constexpr TModalResult DefaultModalResult = mrNone;
    static constexpr int InitWidth = 75;
    static constexpr int InitHeight = 25;

    // The button that Enter presses.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // The button that Escape presses.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

protected:
    TPlatformWidget* CreateWidget() override;
    void TextChanged() override;

private:
    TPlatformWidget* FButton = nullptr;
    bool FDefault = DefaultDefault;
    bool FCancel = DefaultCancel;
    TModalResult FModalResult = DefaultModalResult;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
const std::vector<const char*>& CheckBoxStateNames();

// A check box of the platform. OnClick runs whenever the state changes, by the user or by code.
class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    const char* ClassName() const override { return "TCheckBox"; }

    static constexpr bool DefaultTabStop = true;
    static constexpr TCheckBoxState DefaultState = cbUnchecked;
    static constexpr bool DefaultAllowGrayed = false;
    static constexpr int InitWidth = 97;
    static constexpr int InitHeight = 17;
    // The face it stands on, as a push button's; the system paints its background in it.
    static constexpr TColor InitColor = clBtnFace;

    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value);

protected:
    TPlatformWidget* CreateWidget() override;
    void TextChanged() override;

private:
    void UserChanged(TCheckBoxState Value);
    void ShowState();
    TPlatformWidget* FCheckBox = nullptr;
    TCheckBoxState FState = DefaultState;
    bool FAllowGrayed = DefaultAllowGrayed;
};

class TCustomListBox;

// The items of a list box: changes reach the list box, which shows them coalesced.
class TListBoxStrings : public TStrings {
public:
    explicit TListBoxStrings(TCustomListBox* AListBox) : FListBox(AListBox) {}
    const char* ClassName() const override { return "TListBoxStrings"; }
    int Count() const override { return FItems.Count(); }
    AnsiString Get(int Index) const override;
    std::string_view View(int Index) const { return FItems.View(Index); }
    using TStrings::Add;
    // Adds S at the end without copying its text.
    int Add(AnsiString&& S);
    // Replaces the items by views into Text: a list of a million items without a copy of each.
    void Share(TSharedText Text, TStringViews Views);
    void Put(int Index, const AnsiString& S) override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    void CheckIndex(int Index, int Limit) const;
    TCustomListBox* FListBox;
    TStringStore FItems;
};

// A list of byte strings shown in a list view that decodes only the rows on screen. Changes
// made outside BeginUpdate/EndUpdate of Items are gathered and shown once from the event loop;
// EndUpdate shows them at once.
class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;
    const char* ClassName() const override { return "TCustomListBox"; }

    static constexpr bool DefaultTabStop = true;
    static constexpr int DefaultItemHeight = 13;
    static constexpr int InitWidth = 121;
    static constexpr int InitHeight = 97;

    TListBoxStrings* Items() const { return FItems.get(); }
    void SetItems(const TStrings* Value) { FItems->Assign(Value); }
    // -1 when no item is selected; a value outside the items selects nothing.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    int Count() const { return FItems->Count(); }
    void Clear() { FItems->Clear(); }

protected:
    TPlatformWidget* CreateWidget() override;

private:
    friend class TListBoxStrings;
    void ItemsChanged();
    void FlushItems();
    void ShowItemIndex();
    void UserSelected(int Row);
    std::unique_ptr<TListBoxStrings> FItems;
    TPlatformWidget* FView = nullptr;
    bool FItemsStale = false;
    bool FFlushPending = false;
    int FItemIndex = -1;
    int FItemHeight = DefaultItemHeight;
};

class TListBox : public TCustomListBox {
public:
    using TCustomListBox::TCustomListBox;
    const char* ClassName() const override { return "TListBox"; }
};

// A framed box with a caption that holds other controls.
class TCustomGroupBox : public TWinControl {
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    const char* ClassName() const override { return "TCustomGroupBox"; }

    static constexpr int InitWidth = 185;
    static constexpr int InitHeight = 105;

protected:
    TPlatformWidget* CreateWidget() override;
    void TextChanged() override;
    TRect AlignArea() const override;
    // The platform's box that the group's own widgets (radio buttons) go on.
    TPlatformWidget* GroupBox() const { return FGroupBox; }

private:
    TPlatformWidget* FGroupBox = nullptr;
};

class TGroupBox : public TCustomGroupBox {
public:
    using TCustomGroupBox::TCustomGroupBox;
    const char* ClassName() const override { return "TGroupBox"; }
};

// A multi-line text editor. Lines hold code page 932 bytes; bytes that do not decode are shown
// as replacement characters and kept unchanged until the user edits their line.
class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;
    const char* ClassName() const override { return "TMemo"; }

    static constexpr bool DefaultTabStop = true;
    static constexpr bool DefaultReadOnly = false;
    static constexpr bool DefaultWordWrap = true;
    static constexpr TScrollStyle DefaultScrollBars = ssNone;
    static constexpr int InitWidth = 185;
    static constexpr int InitHeight = 89;

    TStrings* Lines() const { return FLines.get(); }
    void SetLines(const TStrings* Value) { FLines->Assign(Value); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    void Clear() { FLines->Clear(); }

protected:
    TPlatformWidget* CreateWidget() override;

private:
    void ShowLines();
    void UserEdited();
    void ApplyOptions();
    std::unique_ptr<TStringList> FLines;
    TPlatformWidget* FEdit = nullptr;
    bool FEditing = false;
    bool FReadOnly = DefaultReadOnly;
    bool FWordWrap = DefaultWordWrap;
    TScrollStyle FScrollBars = DefaultScrollBars;
};

// The unit's classes and published properties, for the form files; RegisterFrameworkClasses
// calls it once.
void RegisterStdCtrls();
