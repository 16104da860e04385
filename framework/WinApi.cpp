#include "WinApi.h"

#include "QtHost.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

#include <algorithm>

namespace {

constexpr short KeyDown = static_cast<short>(0x8000);
constexpr BYTE KeyStateDown = 0x80;
constexpr int KeyStateCount = 256;
constexpr std::intptr_t ShellSuccess = 42;
const char* const OpenVerb = "open";
// The shell takes an address that starts with the web host name for a web address.
const QString WebHostPrefix = "www.";
const QString WebScheme = "http://";

TShellOpener& ShellOpener() {
    static TShellOpener Opener;
    return Opener;
}

bool OpenAddress(const QUrl& Target) {
    if (ShellOpener())
        return ShellOpener()(QtText::Encode(Target.toString()));
    return QDesktopServices::openUrl(Target);
}

AnsiString& ProgramDirOverride() {
    static AnsiString Dir;
    return Dir;
}

bool IsAddress(const QString& Text) {
    const QUrl Url(Text);
    return Url.isValid() && Url.scheme().size() > 1 && !QFileInfo(Text).isAbsolute();
}

QUrl ShellTarget(const AnsiString& File, const AnsiString& Directory) {
    const QString Name = QtText::Decode(File);
    if (IsAddress(Name))
        return QUrl(Name);
    if (Name.startsWith(WebHostPrefix, Qt::CaseInsensitive))
        return QUrl(WebScheme + Name);
    QFileInfo Info(Name);
    if (Info.isRelative() && !Directory.empty())
        Info.setFile(QDir(QtText::Decode(Directory)), Name);
    return Info.exists() ? QUrl::fromLocalFile(Info.absoluteFilePath()) : QUrl();
}

} // namespace

bool GetCursorPos(TPoint& P) {
    const QPoint Pos = QCursor::pos();
    P = {Pos.x(), Pos.y()};
    return true;
}

short GetKeyState(int VirtKey) {
    const Qt::MouseButtons Buttons = QGuiApplication::mouseButtons();
    const Qt::KeyboardModifiers Modifiers = QGuiApplication::queryKeyboardModifiers();
    bool Down = false;
    switch (VirtKey) {
    case VK_LBUTTON:
        Down = Buttons & Qt::LeftButton;
        break;
    case VK_RBUTTON:
        Down = Buttons & Qt::RightButton;
        break;
    case VK_MBUTTON:
        Down = Buttons & Qt::MiddleButton;
        break;
    case VK_SHIFT:
        Down = Modifiers & Qt::ShiftModifier;
        break;
    case VK_CONTROL:
        Down = Modifiers & Qt::ControlModifier;
        break;
    case VK_MENU:
        Down = Modifiers & Qt::AltModifier;
        break;
    default:
        break;
    }
    return Down ? KeyDown : 0;
}

bool GetKeyboardState(BYTE* KeyState) {
    std::fill(KeyState, KeyState + KeyStateCount, BYTE(0));
    for (int Key : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_SHIFT, VK_CONTROL, VK_MENU})
        if (GetKeyState(Key) < 0)
            KeyState[Key] = KeyStateDown;
    return true;
}

std::uint32_t GetNearestColor(const TCanvas*, TColor Color) {
    return ColorToRGB(Color);
}

bool DrawIconEx(TCanvas* Canvas, int X, int Y, const TIcon* Icon, int Width, int Height, unsigned) {
    if (!Canvas || !Icon || Icon->Empty())
        return false;
    Canvas->StretchDraw(
        Bounds(X, Y, Width ? Width : Icon->Width(), Height ? Height : Icon->Height()), Icon);
    return true;
}

bool PostMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!Window)
        return false;
    QCoreApplication::postEvent(TControlAccess::Widget(Window),
                                new TPostedMessage(Msg, WParam, LParam));
    return true;
}

LRESULT SendMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!Window)
        return 0;
    if (Msg == WM_NCHITTEST)
        return TControlAccess::HitTest(Window, {GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
    if (Msg == WM_SETREDRAW)
        Window->SetRedraw(WParam != 0);
    else
        Window->DispatchMessage(Msg, WParam, LParam);
    return 0;
}

std::intptr_t ShellExecute(HWND, const AnsiString& Operation, const AnsiString& File,
                           const AnsiString&, const AnsiString& Directory, int) {
    if (!Operation.empty() && LowerCase(Operation) != OpenVerb)
        return SE_ERR_NOASSOC;
    const QUrl Target = ShellTarget(File, Directory);
    if (Target.isEmpty())
        return SE_ERR_FNF;
    return OpenAddress(Target) ? ShellSuccess : SE_ERR_NOASSOC;
}

void SetShellOpener(TShellOpener Opener) {
    ShellOpener() = std::move(Opener);
}

AnsiString GetProgramDir() {
    if (!ProgramDirOverride().empty())
        return ProgramDirOverride();
    return QtText::Encode(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

AnsiString ProgramFilePath(const AnsiString& Name) {
    return GetProgramDir() + PathDelim + Name;
}

void SetProgramDirForTesting(const AnsiString& Dir) {
    ProgramDirOverride() = Dir;
}

HCURSOR LoadCursor(HINSTANCE, const AnsiString& Name) {
    QCursor Cursor;
    return LoadResourceCursor(Name, Cursor) ? std::make_shared<TCursorImage>(Cursor) : nullptr;
}
