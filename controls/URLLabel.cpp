#include "URLLabel.h"

#include "Forms.h"
#include "TypInfo.h"

namespace {

const char* const HandCursorName = "HANDPOINT";
const char* const OpenVerb = "OPEN";

} // namespace

TURLLabel::TURLLabel(TComponent* AOwner) : TLabel(AOwner) {
    Screen->SetCursors(crHandCursor, LoadCursor(HInstance, HandCursorName));
    SetCursor(crHandCursor);
}

void TURLLabel::SetHotTrack(bool Value) {
    Change(FHotTrack, Value);
}

void TURLLabel::SetHotColor(TColor Value) {
    Change(FHotColor, Value);
}

void TURLLabel::SetPushedColor(TColor Value) {
    Change(FPushedColor, Value);
}

void TURLLabel::ShowColor(TColor Value) {
    Font()->SetColor(Value);
    Invalidate();
}

void TURLLabel::MouseEnter() {
    TLabel::MouseEnter();
    if (!FHotTrack)
        return;
    FSavedColor = Font()->Color();
    ShowColor(FHotColor);
}

void TURLLabel::MouseLeave() {
    TLabel::MouseLeave();
    if (FHotTrack)
        ShowColor(FSavedColor);
}

// Any button opens the link, once per press and before the button is let go; the desktop's
// answer is not examined.
void TURLLabel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TLabel::MouseDown(Button, Shift, X, Y);
    if (FHotTrack)
        ShowColor(FPushedColor);
    if (FExecutable)
        ShellExecute(Parent(), OpenVerb, Caption(), "", "", SW_SHOW);
}

void TURLLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TLabel::MouseUp(Button, Shift, X, Y);
    if (!FHotTrack)
        return;
    TPoint Pointer;
    GetCursorPos(Pointer);
    ShowColor(PtInRect(ClientRect(), ScreenToClient(Pointer)) ? FHotColor : FSavedColor);
}

void RegisterURLLabel() {
    TPublish<TURLLabel>("TURLLabel", "TLabel")
        .Creatable()
        .Publish("Cursor")
        .Default(TURLLabel::DefaultCursor)
        .Bool("Executable", &TURLLabel::Executable, &TURLLabel::SetExecutable)
        .Bool("HotTrack", &TURLLabel::HotTrack, &TURLLabel::SetHotTrack, TURLLabel::DefaultHotTrack)
        .Int("HotColor", &TURLLabel::HotColor, &TURLLabel::SetHotColor, TURLLabel::DefaultHotColor,
             &ColorIdents())
        .Int("PushedColor", &TURLLabel::PushedColor, &TURLLabel::SetPushedColor,
             TURLLabel::DefaultPushedColor, &ColorIdents());
}
