// The platform's application on Qt: the application object, the message loop, message boxes
// and the screen.
#include "PlatformWindows.h"

#include "Forms.h"
#include "QtHost.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QScreen>

namespace {

// The application object that StartApplication made; tests may bring their own.
QApplication* CreatedApplication = nullptr;
// The message loop while RunMessageLoop runs.
QEventLoop* RunningLoop = nullptr;

QMessageBox::StandardButtons ButtonsOf(unsigned Flags) {
    constexpr unsigned ButtonMask = 0x0F;
    switch (Flags & ButtonMask) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(unsigned Flags) {
    constexpr unsigned IconMask = 0xF0;
    switch (Flags & IconMask) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

namespace Platform {

void StartApplication() {
    if (!QCoreApplication::instance()) {
        static int Argc = 1;
        static char Name[] = "quovant";
        static char* Argv[] = {Name, nullptr};
        CreatedApplication = new QApplication(Argc, Argv);
    }
    QGuiApplication::setQuitOnLastWindowClosed(false);
    UseJapaneseToolkit();
}

bool ApplicationStarted() {
    return QCoreApplication::instance() != nullptr;
}

void EndApplication() {
    delete std::exchange(CreatedApplication, nullptr);
}

void AtApplicationEnd(std::function<void()> Routine) {
    static std::vector<std::function<void()>> Routines;
    if (Routines.empty())
        qAddPostRoutine([] {
            for (const auto& R : Routines)
                R();
        });
    Routines.push_back(std::move(Routine));
}

void RunMessageLoop() {
    QEventLoop Loop;
    RunningLoop = &Loop;
    Loop.exec();
    RunningLoop = nullptr;
}

void QuitMessageLoop() {
    if (RunningLoop)
        RunningLoop->quit();
}

void ProcessMessages() {
    QCoreApplication::processEvents();
}

int MessageBox(const AnsiString& Text, const AnsiString& Caption, unsigned Flags) {
    const QString Title =
        Caption.empty() ? QCoreApplication::applicationName() : QtText::Decode(Caption);
    QMessageBox Box(IconOf(Flags), Title, QtText::Decode(Text), ButtonsOf(Flags));
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

TRect ScreenWorkArea() {
    const QScreen* S = QGuiApplication::primaryScreen();
    return FromQRect(S ? S->availableGeometry() : QRect());
}

} // namespace Platform
