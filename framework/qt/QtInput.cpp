// The platform's pointer and input on Qt: cursors, screen points, capture, the program-wide
// input hook, posted messages.
#include "PlatformWindows.h"

#include "QtHost.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

namespace {

QWidget* W(TPlatformWidget* Window) {
    return QtWidget(Window);
}

TPoint FromQPoint(const QPoint& P) {
    return {P.x(), P.y()};
}

TMouseButton ButtonOf(Qt::MouseButton Button) {
    switch (Button) {
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

// Sees the program's input before the widgets do, for the hook.
class TInputFilter : public QObject {
public:
    using QObject::QObject;
    std::function<bool(const Platform::TInput&)> Hook;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
};

// Only what reaches a widget counts: the platform's window passes every event on to one.
bool TInputFilter::eventFilter(QObject* Watched, QEvent* Event) {
    if (!Watched->isWidgetType() || !Hook)
        return false;
    // The hook may set another hook while it runs.
    const auto Run = Hook;
    switch (Event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(Event)->key() != Qt::Key_Escape)
            return false;
        return Run({Platform::TInput::EscapeKey, {}, mbLeft, {}});
    case QEvent::MouseMove: {
        const QPoint Global = static_cast<QMouseEvent*>(Event)->globalPosition().toPoint();
        return Run({Platform::TInput::PointerMove, FromQPoint(Global), mbLeft, {}});
    }
    case QEvent::MouseButtonRelease: {
        const auto* E = static_cast<QMouseEvent*>(Event);
        return Run({Platform::TInput::ButtonUp, FromQPoint(E->globalPosition().toPoint()),
                    ButtonOf(E->button()), ShiftStateOf(E->modifiers(), E->buttons())});
    }
    default:
        return false;
    }
}

QPointer<TInputFilter>& Filter() {
    static QPointer<TInputFilter> Instance;
    return Instance;
}

QPointer<QWidget>& Grabber() {
    static QPointer<QWidget> Instance;
    return Instance;
}

} // namespace

namespace Platform {

void SetWindowCursor(TPlatformWidget* Window, TCursor Cursor) {
    if (Cursor == crDefault)
        W(Window)->unsetCursor();
    else
        W(Window)->setCursor(CursorOf(Cursor));
}

TPoint ClientToScreen(TPlatformWidget* Window, TPoint P) {
    return FromQPoint(W(Window)->mapToGlobal(QPoint(P.X, P.Y)));
}

TPoint ScreenToClient(TPlatformWidget* Window, TPoint P) {
    return FromQPoint(W(Window)->mapFromGlobal(QPoint(P.X, P.Y)));
}

TPoint PointerPosition() {
    return FromQPoint(QCursor::pos());
}

int WindowHitTest(TPlatformWidget* Window, TPoint Screen) {
    auto* Control = dynamic_cast<TWinControl*>(ControlOf(W(Window)));
    return Control ? TControlAccess::HitTest(Control, Screen) : HTNOWHERE;
}

TControl* ControlAt(TPoint Screen) {
    for (QWidget* Widget = QApplication::widgetAt(Screen.X, Screen.Y); Widget;
         Widget = Widget->parentWidget()) {
        TControl* Control = ControlOf(Widget);
        while (Control && !Control->Enabled())
            Control = Control->Parent();
        if (Control)
            return Control;
    }
    return nullptr;
}

bool SetCapture(TPlatformWidget* Window) {
    if (!W(Window)->isVisible())
        return false;
    W(Window)->grabMouse();
    Grabber() = W(Window);
    return true;
}

void ReleaseCapture() {
    if (Grabber())
        Grabber()->releaseMouse();
    Grabber() = nullptr;
}

void PushOverrideCursor(TCursor Cursor) {
    QApplication::setOverrideCursor(CursorOf(Cursor));
}

void ChangeOverrideCursor(TCursor Cursor) {
    QApplication::changeOverrideCursor(CursorOf(Cursor));
}

void PopOverrideCursor() {
    QApplication::restoreOverrideCursor();
}

void RegisterCursor(TCursor Index, const TCursorImage& Cursor) {
    ::RegisterCursor(Index, Cursor.Cursor);
}

void UnregisterCursor(TCursor Index) {
    ::UnregisterCursor(Index);
}

void SetInputHook(std::function<bool(const TInput&)> Hook) {
    if (!Filter())
        Filter() = new TInputFilter(QCoreApplication::instance());
    Filter()->Hook = std::move(Hook);
    QCoreApplication::instance()->installEventFilter(Filter());
}

void RemoveInputHook() {
    if (Filter())
        QCoreApplication::instance()->removeEventFilter(Filter());
}

void PostMessage(TPlatformWidget* Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    QCoreApplication::postEvent(W(Window), new TPostedMessage(Msg, WParam, LParam));
}

void PostCall(TPlatformWidget* Window, std::function<void()> Call) {
    QMetaObject::invokeMethod(W(Window), std::move(Call), Qt::QueuedConnection);
}

} // namespace Platform
