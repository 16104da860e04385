// Extra controls: the bevelled panel, the bevel and the radio group.
#pragma once

#include "StdCtrls.h"

#include <vector>

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
const std::vector<const char*>& PanelBevelNames();

// Draws a 3D frame of Width pixels inside R and shrinks R by it: the top and left edges in
// TopColor, the right and bottom edges (with the two corners they meet) in BottomColor.
void Frame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width);

// A container that paints its own bevels and a centred caption; aligned children share the
// area inside the border and the bevels.
class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);
    const char* ClassName() const override { return "TCustomPanel"; }

    static constexpr TAlignment DefaultAlignment = taCenter;
    static constexpr TPanelBevel DefaultBevelInner = bvNone;
    static constexpr TPanelBevel DefaultBevelOuter = bvRaised;
    static constexpr int DefaultBevelWidth = 1;
    static constexpr int DefaultBorderWidth = 0;
    static constexpr TBorderStyle DefaultBorderStyle = bsNone;
    static constexpr bool DefaultFullRepaint = true;
    static constexpr bool DefaultParentColor = false;
    static constexpr TColor DefaultColor = clBtnFace;
    static constexpr int InitWidth = 185;
    static constexpr int InitHeight = 41;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value);
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }
    // While visual styles are active, a panel in parent-background mode leaves its face to
    // the parent's background.
    bool ParentBackground() const { return FParentBackground; }
    void SetParentBackground(bool Value);

protected:
    void Paint() override;
    bool OpaquePaint() const override;
    void TextChanged() override;
    TRect AlignArea() const override;

private:
    int FrameSize() const;
    void FrameChanged();
    void PaintBevel(TRect& R, TPanelBevel Bevel);
    void PaintCaption(const TRect& R);
    TAlignment FAlignment = DefaultAlignment;
    TPanelBevel FBevelInner = DefaultBevelInner;
    TPanelBevel FBevelOuter = DefaultBevelOuter;
    int FBevelWidth = DefaultBevelWidth;
    int FBorderWidth = DefaultBorderWidth;
    TBorderStyle FBorderStyle = DefaultBorderStyle;
    bool FFullRepaint = DefaultFullRepaint;
    bool FParentBackground = false;
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;
    const char* ClassName() const override { return "TPanel"; }
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };
const std::vector<const char*>& BevelShapeNames();
const std::vector<const char*>& BevelStyleNames();

// A box, frame or line in the 3D colours, painted on the parent's surface.
class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    const char* ClassName() const override { return "TBevel"; }

    static constexpr TBevelShape DefaultShape = bsBox;
    static constexpr TBevelStyle DefaultStyle = bsLowered;
    static constexpr int InitWidth = 50;
    static constexpr int InitHeight = 50;

    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    void PaintLine(int X, int Y, int AWidth, int AHeight, TColor Color);
    TBevelShape FShape = DefaultShape;
    TBevelStyle FStyle = DefaultStyle;
};

// A group box with one radio button per item, laid out in columns that are filled top to
// bottom. OnClick runs whenever ItemIndex changes, by the user or by code.
class TCustomRadioGroup : public TCustomGroupBox {
public:
    explicit TCustomRadioGroup(TComponent* AOwner);
    ~TCustomRadioGroup() override;
    const char* ClassName() const override { return "TCustomRadioGroup"; }

    static constexpr bool DefaultTabStop = true;
    static constexpr int DefaultItemIndex = -1;
    static constexpr int DefaultColumns = 1;
    static constexpr int MaxColumns = 16;

    // Changing the items rebuilds the buttons, once per update.
    TStrings* Items() const { return FItems.get(); }
    void SetItems(const TStrings* Value) { FItems->Assign(Value); }
    // -1 when no button is checked; a value outside the items checks none.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);

    // The platform's button of an item, for tests that press it as a user would.
    TPlatformWidget* Button(int Index) const;
    void Loaded() override;

protected:
    void Resize() override;
    void FontChanged() override;

private:
    void BuildButtons();
    void ArrangeButtons();
    void ShowItemIndex();
    void UserChecked(int Index);
    std::unique_ptr<TStringList> FItems;
    std::vector<TPlatformWidget*> FButtons;
    int FItemIndex = DefaultItemIndex;
    int FColumns = DefaultColumns;
    bool FShowingIndex = false;
};

class TRadioGroup : public TCustomRadioGroup {
public:
    using TCustomRadioGroup::TCustomRadioGroup;
    const char* ClassName() const override { return "TRadioGroup"; }
};

// The unit's classes and published properties, for the form files; RegisterFrameworkClasses
// calls it once.
void RegisterExtCtrls();
