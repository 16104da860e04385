#include "Forms.h"

#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FormReader.h"
#include "Grids.h"
#include "Menus.h"
#include "PlatformWindows.h"
#include "StdCtrls.h"
#include "Themes.h"
#include "XPMan.h"

#include <iostream>

namespace {

// Frame sizes of the platform's classic window metrics: border on each side, caption bar.
constexpr int SizingBorder = 4;
constexpr int FixedBorder = 3;
constexpr int CaptionHeight = 19;
constexpr int ToolCaptionHeight = 15;

TApplication& ApplicationInstance() {
    static TApplication Instance;
    return Instance;
}

TScreen& ScreenInstance() {
    static TScreen Instance;
    return Instance;
}

} // namespace

TApplication* Application = &ApplicationInstance();
TScreen* Screen = &ScreenInstance();

const std::vector<const char*>& PositionNames() {
    static const std::vector<const char*> Names{
        "poDesigned",     "poDefault",       "poDefaultPosOnly", "poDefaultSizeOnly",
        "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"};
    return Names;
}

// ---- TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle({csAcceptsControls});
    SetVisible(false);
    SetColor(DefaultColor);
    SetParentFont(false);
}

TCustomForm::~TCustomForm() {
    if (OnDestroy)
        SafeCall([this] { OnDestroy(this); });
}

void TCustomForm::ReadForm(const AnsiString& ResourceName) {
    ReadComponentRes(this, ResourceName);
}

void TCustomForm::DoCreate() {
    if (OnCreate)
        SafeCall([this] { OnCreate(this); });
}

void TCustomForm::DoShow() {
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose)
        OnClose(this, Action);
}

TPlatformWidget* TCustomForm::CreateWidget() {
    TPlatformWidget* W = Platform::CreateFormWindow(this, [this] { Close(); });
    Platform::SetWindowText(W, Caption());
    Platform::SetWindowBounds(W, Rect(0, 0, ClientWidth(), ClientHeight()));
    Platform::SetWindowBorder(W, FBorderStyle);
    return W;
}

TPoint TCustomForm::FrameExtent() const {
    switch (FBorderStyle) {
    case bsNone:
        return {};
    case bsSingle:
    case bsDialog:
        return {2 * FixedBorder, 2 * FixedBorder + CaptionHeight};
    case bsToolWindow:
        return {2 * FixedBorder, 2 * FixedBorder + ToolCaptionHeight};
    case bsSizeToolWin:
        return {2 * SizingBorder, 2 * SizingBorder + ToolCaptionHeight};
    default:
        return {2 * SizingBorder, 2 * SizingBorder + CaptionHeight};
    }
}

void TCustomForm::TextChanged() {
    if (HandleAllocated())
        Platform::SetWindowText(Widget(), Caption());
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (Value == FBorderStyle)
        return;
    const int OldClientWidth = ClientWidth(), OldClientHeight = ClientHeight();
    FBorderStyle = Value;
    ApplyBorderStyle();
    SetBounds(Left(), Top(), OldClientWidth + FrameExtent().X, OldClientHeight + FrameExtent().Y);
}

void TCustomForm::ApplyBorderStyle() {
    if (HandleAllocated())
        Platform::SetWindowBorder(Widget(), FBorderStyle);
}

void TCustomForm::SetVisible(bool Value) {
    if (Value == Visible())
        return;
    TWinControl::SetVisible(Value);
    if (!Value) {
        if (HandleAllocated())
            Platform::SetWindowVisible(Widget(), false);
        return;
    }
    if (!FShown) {
        FShown = true;
        SafeCall([this] { DoShow(); });
        if (!Visible())
            return;
        PlaceOnScreen();
    }
    Platform::SetWindowVisible(Widget(), true);
    Platform::ActivateWindow(Widget());
}

void TCustomForm::PlaceOnScreen() {
    TRect Area = Platform::ScreenWorkArea();
    const TCustomForm* Main = Application->MainForm();
    if ((FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) && Main && Main != this)
        Area = Main->BoundsRect();
    else if (FPosition != poScreenCenter && FPosition != poDesktopCenter &&
             FPosition != poMainFormCenter && FPosition != poOwnerFormCenter)
        return;
    SetBounds(Area.Left + (Area.Width() - Width()) / 2, Area.Top + (Area.Height() - Height()) / 2,
              Width(), Height());
}

void TCustomForm::Close() {
    TCloseAction Action = caHide;
    DoClose(Action);
    if (Action == caNone)
        return;
    if (Application->MainForm() == this) {
        Application->Terminate();
        Hide();
        return;
    }
    switch (Action) {
    case caMinimize:
        Platform::MinimizeWindow(Widget());
        break;
    case caFree:
        Hide();
        Release();
        break;
    default:
        Hide();
        break;
    }
}

void TCustomForm::Release() {
    Platform::PostCall(Widget(), [this] { delete this; });
}

void TCustomForm::GetChildren(const std::function<void(TComponent*)>& Proc,
                              TComponent* Root) const {
    TWinControl::GetChildren(Proc, Root);
    if (Root != this)
        return;
    for (int I = 0; I < ComponentCount(); ++I)
        if (!Components(I)->GetParentComponent())
            Proc(Components(I));
}

// ---- TApplication

TApplication::TApplication() : TComponent(nullptr) {
    SetExceptionHandler([](const std::exception& E) { Application->HandleException(E); });
    SetHelpHandler([](const TControl* Control) {
        if (Control->HelpType() == htKeyword)
            Application->HelpKeyword(Control->HelpKeyword());
        else
            Application->HelpContext(Control->HelpContext());
    });
    // Forms are widgets and cursors hold images: both must go before the platform's
    // application object does.
    Platform::AtApplicationEnd([] {
        Application->FreeForms();
        Screen->ReleaseCursors();
    });
}

TApplication::~TApplication() {
    FreeForms();
    Platform::EndApplication();
}

void TApplication::Finalize() {
    FreeForms();
    Screen->ReleaseCursors();
    Platform::EndApplication();
}

void TApplication::FreeForms() {
    while (ComponentCount() > 0)
        delete Components(ComponentCount() - 1);
    FMainForm = nullptr;
}

void TApplication::Notification(TComponent* AComponent, bool Removing) {
    TComponent::Notification(AComponent, Removing);
    if (Removing && AComponent == FMainForm)
        FMainForm = nullptr;
}

void TApplication::Initialize() {
    KeepFreedMemory();
    RegisterFrameworkClasses();
    Platform::StartApplication();
    ThemeServices()->ApplyStyle();
}

void TApplication::Run() {
    if (!FMainForm)
        return;
    if (!FTerminated)
        FMainForm->Show();
    if (FTerminated)
        return;
    FRunning = true;
    Platform::RunMessageLoop();
    FRunning = false;
}

void TApplication::Terminate() {
    FTerminated = true;
    if (FRunning)
        Platform::QuitMessageLoop();
}

void TApplication::ProcessMessages() {
    Platform::ProcessMessages();
}

void TApplication::HandleException(const std::exception& E) {
    if (OnException)
        OnException(this, E);
    else
        ShowException(E);
}

void TApplication::ShowException(const std::exception& E) {
    MessageBox(E.what(), FTitle, MB_OK | MB_ICONERROR);
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, unsigned Flags) {
    return Platform::MessageBox(Text, Caption, Flags);
}

bool TApplication::HelpKeyword(const AnsiString& Keyword) {
    return OnHelp && OnHelp(htKeyword, Keyword, 0);
}

bool TApplication::HelpContext(int Context) {
    return OnHelp && OnHelp(htContext, AnsiString(), Context);
}

int RunProgram(const std::function<void()>& Block) {
    int ExitCode = 0;
    try {
        Block();
    } catch (const std::exception& E) {
        ExitCode = 1;
        if (Platform::ApplicationStarted())
            Application->ShowException(E);
        else
            std::cerr << AnsiToUtf8(E.what()) << '\n';
    }
    Application->Finalize();
    return ExitCode;
}

// ---- TScreen

HCURSOR TScreen::Cursors(int Index) const {
    const auto It = FCursors.find(Index);
    return It == FCursors.end() ? nullptr : It->second;
}

void TScreen::SetCursors(int Index, HCURSOR Cursor) {
    if (Cursor) {
        FCursors[Index] = Cursor;
        Platform::RegisterCursor(Index, *Cursor);
    } else {
        FCursors.erase(Index);
        Platform::UnregisterCursor(Index);
    }
}

void TScreen::SetCursor(TCursor Value) {
    if (Value == FCursor)
        return;
    if (FCursor != crDefault)
        Platform::PopOverrideCursor();
    FCursor = Value;
    if (FCursor != crDefault)
        Platform::PushOverrideCursor(FCursor);
}

TBusyCursor::TBusyCursor() : FSaved(Screen->Cursor()) {
    Screen->SetCursor(crHourGlass);
}

TBusyCursor::~TBusyCursor() {
    Screen->SetCursor(FSaved);
}

void TScreen::ReleaseCursors() {
    SetCursor(crDefault);
    for (const auto& [Index, Cursor] : FCursors)
        Platform::UnregisterCursor(Index);
    FCursors.clear();
}

int TScreen::Width() const {
    return Platform::ScreenWorkArea().Width();
}

int TScreen::Height() const {
    return Platform::ScreenWorkArea().Height();
}

// ---- Published properties

void RegisterForms() {
    TPublish<TForm>("TForm", "TWinControl")
        .Creatable()
        .template Int<int, int>("Width", &TForm::Width, &TForm::SetWidth)
        .StoredIf([](const TForm*) { return false; })
        .template Int<int, int>("Height", &TForm::Height, &TForm::SetHeight)
        .StoredIf([](const TForm*) { return false; })
        .Publish("Align")
        .template Enum<TFormBorderStyle, TFormBorderStyle>(
            "BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle, BorderStyleNames(),
            std::optional(TForm::DefaultBorderStyle))
        .Publish("Caption")
        .template Int<int, int>("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight)
        .template Int<int, int>("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth)
        .Publish("Color")
        .Default(TForm::DefaultColor)
        .Publish({"Ctl3D", "DragMode", "Enabled"})
        .Publish("ParentFont")
        .Default(false)
        .Publish({"Font", "PopupMenu"})
        .template Enum<TPosition, TPosition>("Position", &TForm::Position, &TForm::SetPosition,
                                             PositionNames(), std::optional(TForm::DefaultPosition))
        .Publish("ShowHint")
        .Publish("Visible")
        .Default(false)
        .Publish("OnClick")
        .template Event<TCloseEvent>("OnClose", &TForm::OnClose)
        .template Event<TNotifyEvent>("OnCreate", &TForm::OnCreate)
        .Publish("OnDblClick")
        .template Event<TNotifyEvent>("OnDestroy", &TForm::OnDestroy)
        .Publish({"OnDragDrop", "OnDragOver", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown",
                  "OnMouseMove", "OnMouseUp", "OnResize"})
        .template Event<TNotifyEvent>("OnShow", &TForm::OnShow);
}

void RegisterFrameworkClasses() {
    RegisterOnce([] {
        RegisterBaseClasses();
        RegisterGraphics();
        RegisterMenus();
        RegisterControls();
        RegisterGrids();
        RegisterComCtrls();
        RegisterDialogs();
        RegisterXPMan();
        RegisterStdCtrls();
        RegisterExtCtrls();
        RegisterForms();
    });
}
