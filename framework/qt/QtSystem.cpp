// Input state, cursors, window messages, the shell and visual styles of the Qt back end.
#include "PlatformSystem.h"

#include "QtHost.h"
#include "WinApi.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QUrl>

namespace {

// The shell takes an address that starts with the web host name for a web address.
const QString WebHostPrefix = "www.";
const QString WebScheme = "http://";
const char* const ClassicStyle = "Windows";

bool IsAddress(const QString& Text) {
    const QUrl Url(Text);
    return Url.isValid() && Url.scheme().size() > 1 && !QFileInfo(Text).isAbsolute();
}

QUrl ShellTarget(std::string_view File, std::string_view Directory) {
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

bool HasApplication() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

// The style the toolkit chose for this desktop, before the programs chose one of their own.
const QString& DesktopStyle() {
    static const QString Name = QApplication::style()->name();
    return Name;
}

} // namespace

bool Platform::IsKeyDown(int VirtKey) {
    const Qt::MouseButtons Buttons = QGuiApplication::mouseButtons();
    const Qt::KeyboardModifiers Modifiers = QGuiApplication::queryKeyboardModifiers();
    switch (VirtKey) {
    case VK_LBUTTON:
        return Buttons & Qt::LeftButton;
    case VK_RBUTTON:
        return Buttons & Qt::RightButton;
    case VK_MBUTTON:
        return Buttons & Qt::MiddleButton;
    case VK_SHIFT:
        return Modifiers & Qt::ShiftModifier;
    case VK_CONTROL:
        return Modifiers & Qt::ControlModifier;
    case VK_MENU:
        return Modifiers & Qt::AltModifier;
    default:
        return false;
    }
}

std::shared_ptr<const TCursorImage> Platform::LoadResourceCursor(const std::string& Name) {
    QCursor Cursor;
    return ::LoadResourceCursor(Name, Cursor) ? std::make_shared<TCursorImage>(Cursor) : nullptr;
}

std::u16string Platform::ShellAddress(std::string_view File, std::string_view Directory) {
    return ShellTarget(File, Directory).toString().toStdU16String();
}

bool Platform::ShellOpen(std::u16string_view Address) {
    return QDesktopServices::openUrl(QUrl(QString::fromUtf16(Address.data(), Address.size())));
}

void Platform::UseThemedStyle(bool Themed) {
    if (!HasApplication())
        return;
    const QString& Desktop = DesktopStyle();
    const QString Wanted = Themed ? Desktop : QString(ClassicStyle);
    if (QApplication::style()->name().compare(Wanted, Qt::CaseInsensitive) == 0)
        return;
    if (QStyle* Style = QStyleFactory::create(Wanted))
        QApplication::setStyle(Style);
}
