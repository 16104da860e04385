#include "Forms.h"

#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FormReader.h"
#include "Grids.h"
#include "Menus.h"
#include "QtHost.h"
#include "StdCtrls.h"
#include "Themes.h"
#include "XPMan.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QScreen>
#include <iostream>

namespace {

// Frame sizes of the platform's classic window metrics: border on each side, caption bar.
constexpr int SizingBorder = 4;
constexpr int FixedBorder = 3;
constexpr int CaptionHeight = 19;
constexpr int ToolCaptionHeight = 15;

bool IsFixedSize(TFormBorderStyle Style) {
    return Style != bsSizeable && Style != bsSizeToolWin;
}

Qt::WindowFlags WindowFlagsOf(TFormBorderStyle Style) {
    const Qt::WindowFlags Framed = Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    switch (Style) {
    case bsNone:
        return Qt::Window | Qt::FramelessWindowHint;
    case bsSingle:
        return Qt::Window | Framed | Qt::WindowMinMaxButtonsHint;
    case bsDialog:
        return Qt::Dialog | Framed;
    case bsToolWindow:
    case bsSizeToolWin:
        return Qt::Tool | Framed;
    default:
        return Qt::Window;
    }
}

QRect ScreenArea() {
    const QScreen* S = QGuiApplication::primaryScreen();
    return S ? S->availableGeometry() : QRect();
}

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

// The window of a form: its close box closes the form the way Close does.
class TFormWidget : public THostWidget {
public:
    explicit TFormWidget(TCustomForm* AForm) : THostWidget(AForm), FForm(AForm) {}

protected:
    void closeEvent(QCloseEvent* Event) override {
        Event->ignore();
        TCustomForm::SafeCall([this] { FForm->Close(); });
    }

private:
    TCustomForm* FForm;
};

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
    auto* W = new TFormWidget(this);
    W->setWindowTitle(QtText::Decode(Caption()));
    W->setWindowFlags(WindowFlagsOf(FBorderStyle));
    if (IsFixedSize(FBorderStyle))
        W->setFixedSize(ClientWidth(), ClientHeight());
    return PlatformWidget(W);
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
        TControlAccess::Widget(this)->setWindowTitle(QtText::Decode(Caption()));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (Value == FBorderStyle)
        return;
    const int OldClientWidth = ClientWidth(), OldClientHeight = ClientHeight();
    FBorderStyle = Value;
    ApplyBorderStyle();
    SetBounds(Left(), Top(), OldClientWidth + FrameExtent().X, OldClientHeight + FrameExtent().Y);
}

// Changing the flags of a shown window hides it, so it is shown again.
void TCustomForm::ApplyBorderStyle() {
    if (!HandleAllocated())
        return;
    QWidget* W = TControlAccess::Widget(this);
    const bool WasVisible = W->isVisible();
    W->setWindowFlags(WindowFlagsOf(FBorderStyle));
    if (IsFixedSize(FBorderStyle)) {
        W->setFixedSize(W->size());
    } else {
        W->setMinimumSize(0, 0);
        W->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    if (WasVisible)
        W->show();
}

void TCustomForm::SetVisible(bool Value) {
    if (Value == Visible())
        return;
    TWinControl::SetVisible(Value);
    if (!Value) {
        if (HandleAllocated())
            TControlAccess::Widget(this)->hide();
        return;
    }
    if (!FShown) {
        FShown = true;
        SafeCall([this] { DoShow(); });
        if (!Visible())
            return;
        PlaceOnScreen();
    }
    QWidget* W = TControlAccess::Widget(this);
    W->show();
    W->raise();
    W->activateWindow();
}

void TCustomForm::PlaceOnScreen() {
    QRect Area = ScreenArea();
    const TCustomForm* Main = Application->MainForm();
    if ((FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) && Main && Main != this)
        Area = ToQRect(Main->BoundsRect());
    else if (FPosition != poScreenCenter && FPosition != poDesktopCenter &&
             FPosition != poMainFormCenter && FPosition != poOwnerFormCenter)
        return;
    SetBounds(Area.x() + (Area.width() - Width()) / 2, Area.y() + (Area.height() - Height()) / 2,
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
        TControlAccess::Widget(this)->showMinimized();
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
    QMetaObject::invokeMethod(
        TControlAccess::Widget(this), [this] { delete this; }, Qt::QueuedConnection);
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

// The platform's side of the application: its application object when Initialize created it,
// and the message loop while Run runs.
struct TApplication::TPlatform {
    std::unique_ptr<QApplication> Application;
    QEventLoop* Loop = nullptr;
};

TApplication::TApplication() : TComponent(nullptr), FPlatform(std::make_unique<TPlatform>()) {
    SetExceptionHandler([](const std::exception& E) { Application->HandleException(E); });
    SetHelpHandler([](const TControl* Control) {
        if (Control->HelpType() == htKeyword)
            Application->HelpKeyword(Control->HelpKeyword());
        else
            Application->HelpContext(Control->HelpContext());
    });
    // Forms are widgets and cursors hold images: both must go before the platform's
    // application object does.
    qAddPostRoutine([] {
        Application->FreeForms();
        Screen->ReleaseCursors();
    });
}

TApplication::~TApplication() {
    FreeForms();
    FPlatform->Application.reset();
}

void TApplication::Finalize() {
    FreeForms();
    Screen->ReleaseCursors();
    FPlatform->Application.reset();
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
    if (!QCoreApplication::instance()) {
        static int Argc = 1;
        static char Name[] = "quovant";
        static char* Argv[] = {Name, nullptr};
        FPlatform->Application = std::make_unique<QApplication>(Argc, Argv);
    }
    QGuiApplication::setQuitOnLastWindowClosed(false);
    UseJapaneseToolkit();
    ThemeServices()->ApplyStyle();
}

void TApplication::Run() {
    if (!FMainForm)
        return;
    if (!FTerminated)
        FMainForm->Show();
    if (FTerminated)
        return;
    QEventLoop Loop;
    FPlatform->Loop = &Loop;
    Loop.exec();
    FPlatform->Loop = nullptr;
}

void TApplication::Terminate() {
    FTerminated = true;
    if (FPlatform->Loop)
        FPlatform->Loop->quit();
}

void TApplication::ProcessMessages() {
    QCoreApplication::processEvents();
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
    constexpr unsigned ButtonMask = 0x0F, IconMask = 0xF0;
    QMessageBox::StandardButtons Buttons = QMessageBox::Ok;
    switch (Flags & ButtonMask) {
    case MB_OKCANCEL:
        Buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MB_YESNOCANCEL:
        Buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case MB_YESNO:
        Buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    default:
        break;
    }
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    switch (Flags & IconMask) {
    case MB_ICONERROR:
        Icon = QMessageBox::Critical;
        break;
    case MB_ICONQUESTION:
        Icon = QMessageBox::Question;
        break;
    case MB_ICONWARNING:
        Icon = QMessageBox::Warning;
        break;
    case MB_ICONINFORMATION:
        Icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    const QString Title =
        Caption.empty() ? QCoreApplication::applicationName() : QtText::Decode(Caption);
    QMessageBox Box(Icon, Title, QtText::Decode(Text), Buttons);
    switch (Box.exec()) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
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
        if (QCoreApplication::instance())
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
        RegisterCursor(Index, Cursor->Cursor);
    } else {
        FCursors.erase(Index);
        UnregisterCursor(Index);
    }
}

void TScreen::SetCursor(TCursor Value) {
    if (Value == FCursor)
        return;
    if (FCursor != crDefault)
        QApplication::restoreOverrideCursor();
    FCursor = Value;
    if (FCursor != crDefault)
        QApplication::setOverrideCursor(CursorOf(FCursor));
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
        UnregisterCursor(Index);
    FCursors.clear();
}

int TScreen::Width() const {
    return ScreenArea().width();
}

int TScreen::Height() const {
    return ScreenArea().height();
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
