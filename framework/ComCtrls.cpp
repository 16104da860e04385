#include "ComCtrls.h"

#include "PlatformWindows.h"
#include "TypInfo.h"

namespace {

// The grip is three diagonal ridges, each a highlight line and two shadow lines, in a square
// at the bar's lower right corner.
constexpr int GripSize = 12;
constexpr int GripRidges = 3;
constexpr int GripRidgeSpacing = 4;
// Text starts this far from the bar's left edge.
constexpr int TextIndent = 2;

} // namespace

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(DefaultColor);
    SetAlign(DefaultAlign);
    SetHeight(InitHeight);
}

void TStatusBar::SetSimplePanel(bool Value) {
    Change(FSimplePanel, Value);
}

void TStatusBar::SetSimpleText(const AnsiString& Value) {
    Change(FSimpleText, Value);
}

void TStatusBar::SetSizeGrip(bool Value) {
    Change(FSizeGrip, Value);
}

bool TStatusBar::SizeGripShown() const {
    if (!FSizeGrip || !Parent() || Parent()->Parent())
        return false;
    return Platform::WindowResizable(Parent()->Widget());
}

void TStatusBar::Paint() {
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(ClientRect());
    if (FSimplePanel && !FSimpleText.empty()) {
        C->SetFont(Font());
        C->Brush()->SetStyle(bsClear);
        TRect R = ClientRect();
        R.Left += TextIndent;
        C->DrawText(FSimpleText, R, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (SizeGripShown())
        PaintSizeGrip();
}

void TStatusBar::PaintSizeGrip() {
    TCanvas* C = Canvas();
    const int Right = Width();
    const int Bottom = Height();
    for (int Ridge = 0; Ridge < GripRidges; ++Ridge) {
        const int Offset = GripSize - Ridge * GripRidgeSpacing;
        const TColor Colors[] = {clBtnHighlight, clBtnShadow, clBtnShadow};
        for (int Line = 0; Line < 3; ++Line) {
            C->Pen()->SetColor(Colors[Line]);
            C->MoveTo(Right - Offset + Line, Bottom);
            C->LineTo(Right, Bottom - Offset + Line);
        }
    }
}

void RegisterComCtrls() {
    TPublish<TStatusBar>("TStatusBar", "TCustomControl")
        .Creatable()
        .Publish("Align")
        .Default(TStatusBar::DefaultAlign)
        .Publish("Color")
        .Default(TStatusBar::DefaultColor)
        .Publish({"DragCursor", "DragMode", "Enabled", "Font", "ParentColor", "ParentFont",
                  "ParentShowHint", "PopupMenu", "ShowHint"})
        .Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel,
              TStatusBar::DefaultSimplePanel)
        .Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText)
        .Bool("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip,
              TStatusBar::DefaultSizeGrip)
        .Publish({"Visible", "OnClick", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag",
                  "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize", "OnStartDrag"});
}
