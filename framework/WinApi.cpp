#include "WinApi.h"

#include "QtHost.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <cstdlib>

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
        return ShellOpener()(FromQString(Target.toString()));
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
    const QString Name = ToQString(File);
    if (IsAddress(Name))
        return QUrl(Name);
    if (Name.startsWith(WebHostPrefix, Qt::CaseInsensitive))
        return QUrl(WebScheme + Name);
    QFileInfo Info(Name);
    if (Info.isRelative() && !Directory.empty())
        Info.setFile(QDir(ToQString(Directory)), Name);
    return Info.exists() ? QUrl::fromLocalFile(Info.absoluteFilePath()) : QUrl();
}

} // namespace

int MulDiv(int Number, int Numerator, int Denominator) {
    if (Denominator == 0)
        return -1;
    const long long Product = static_cast<long long>(Number) * Numerator;
    long long Quotient = Product / Denominator;
    const long long Remainder = Product % Denominator;
    if (2 * std::llabs(Remainder) >= std::llabs(static_cast<long long>(Denominator)))
        Quotient += (Product < 0) != (Denominator < 0) ? -1 : 1;
    if (Quotient > INT_MAX || Quotient < INT_MIN)
        return -1;
    return static_cast<int>(Quotient);
}

void InflateRect(TRect& R, int DX, int DY) {
    R.Left -= DX;
    R.Top -= DY;
    R.Right += DX;
    R.Bottom += DY;
}

bool PtInRect(const TRect& R, TPoint P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

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
    QCoreApplication::postEvent(Window->Widget(), new TPostedMessage(Msg, WParam, LParam));
    return true;
}

LRESULT SendMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!Window)
        return 0;
    if (Msg == WM_NCHITTEST)
        return Window->DispatchHitTest({GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
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
    return FromQString(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

AnsiString ProgramFilePath(const AnsiString& Name) {
    return GetProgramDir() + PathDelim + Name;
}

void SetProgramDirForTesting(const AnsiString& Dir) {
    ProgramDirOverride() = Dir;
}

namespace {

// A cursor file is an icon file of type 2 whose directory entries hold the hot spot where an
// icon holds its planes and bit count.
constexpr int CursorTypeOffset = 2, HotSpotOffset = 10;
constexpr char IconType = 1;

int ReadLittleEndian16(const QByteArray& Bytes, int At) {
    return static_cast<unsigned char>(Bytes[At]) | static_cast<unsigned char>(Bytes[At + 1]) << 8;
}

} // namespace

HCURSOR LoadCursor(HINSTANCE, const AnsiString& Name) {
    QFile File(":/cursors/" + ToQString(Name) + ".cur");
    if (!File.open(QIODevice::ReadOnly))
        return nullptr;
    QByteArray Bytes = File.readAll();
    if (Bytes.size() <= HotSpotOffset + 4)
        return nullptr;
    const int HotX = ReadLittleEndian16(Bytes, HotSpotOffset);
    const int HotY = ReadLittleEndian16(Bytes, HotSpotOffset + 2);
    Bytes[CursorTypeOffset] = IconType;
    QImage Image;
    if (!Image.loadFromData(Bytes, "ICO"))
        return nullptr;
    return std::make_shared<TCursorImage>(QCursor(QPixmap::fromImage(Image), HotX, HotY));
}
