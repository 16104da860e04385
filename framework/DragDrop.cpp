#include "DragDrop.h"

#include "Controls.h"
#include "DragInput.h"
#include "QtHost.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include <cstdlib>
#include <utility>

namespace {

// The layer's own stand-in for a dragged control: targets see the control itself.
class TDragControlObject : public TDragObject {
public:
    explicit TDragControlObject(TControl* AControl) : Control(AControl) {}
    const char* ClassName() const override { return "TDragControlObject"; }
    TCursor GetDragCursor(bool Accepted, int, int) override {
        return Accepted ? Control->DragCursor() : crNoDrop;
    }
    TControl* Control;
};

// Sees the program's input while a drag runs, before the controls do.
class TDragFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
};

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

} // namespace

const std::vector<const char*>& DragModeNames() {
    static const std::vector<const char*> Names{"dmManual", "dmAutomatic"};
    return Names;
}

TCursor TDragObject::GetDragCursor(bool Accepted, int, int) {
    return Accepted ? crDrag : crNoDrop;
}

// The one drag of the program: pending from BeginDrag until the pointer has moved far enough,
// then active until the drop or the cancel. While active the source's window holds the mouse,
// so that every movement and the release reach the program wherever the pointer is, and the
// cursor over the whole program says whether the control under the pointer takes the drop.
// The program's input is taken before it reaches any control, so that a handler may free the
// source without pulling the ground from under the source's own input handling.
class TDragManager {
public:
    static TDragManager& Instance() {
        static TDragManager Manager;
        return Manager;
    }
    TControl* Source() const { return FSource; }
    void Begin(TControl* Source, bool Immediate, int Threshold);
    bool Move(const QPoint& Global);
    bool Release(const QPoint& Global, TMouseButton Button, TShiftState Shift);
    void Finish(bool Drop);
    bool PlatformEvent(QEvent* Event);
    void Forget(TControl* Control);
    // Ends the drag without a word to the controls.
    void Abandon() { Reset(); }

private:
    void Start();
    void Over(const QPoint& Global);
    bool Ask(TControl* Target, const QPoint& Global, TDragState State);
    void ShowCursor(const QPoint& Global);
    TObject* SourceObject(TControl* Source) const;
    void Reset();
    static TControl* FindTarget(const QPoint& Global);

    TControl* FSource = nullptr;
    bool FActive = false;
    QPoint FStart;
    QPoint FPos;
    int FThreshold = DefaultDragThreshold;
    std::unique_ptr<TDragObject> FObject;
    TControl* FTarget = nullptr;
    bool FAccepted = false;
    bool FCursorShown = false;
    QPointer<QWidget> FGrabber;
    QPointer<TDragFilter> FFilter;
    // The controls of a drag that is being finished, forgotten when they go.
    TControl* FEndingSource = nullptr;
    TControl* FEndingTarget = nullptr;
    TControl* FReleasing = nullptr;
};

// Only what reaches a widget counts: the platform's window passes every event on to one.
bool TDragFilter::eventFilter(QObject* Watched, QEvent* Event) {
    if (!Watched->isWidgetType())
        return false;
    TDragManager& Manager = TDragManager::Instance();
    try {
        return Manager.PlatformEvent(Event);
    } catch (const std::exception& E) {
        // The report must not find the mouse held by the drag.
        Manager.Abandon();
        ReportException(E);
        return true;
    }
}

bool TDragManager::PlatformEvent(QEvent* Event) {
    switch (Event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(Event)->key() != Qt::Key_Escape)
            return false;
        Finish(false);
        return true;
    case QEvent::MouseMove:
        return Move(static_cast<QMouseEvent*>(Event)->globalPosition().toPoint());
    case QEvent::MouseButtonRelease: {
        const auto* E = static_cast<QMouseEvent*>(Event);
        return Release(E->globalPosition().toPoint(), ButtonOf(E->button()),
                       ShiftStateOf(E->modifiers(), E->buttons()));
    }
    default:
        return false;
    }
}

void TDragManager::Begin(TControl* Source, bool Immediate, int Threshold) {
    if (FSource)
        return;
    FSource = Source;
    FActive = false;
    FThreshold = Threshold < 0 ? DefaultDragThreshold : Threshold;
    FStart = FPos = QCursor::pos();
    if (!FFilter)
        FFilter = new TDragFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(FFilter);
    if (Immediate)
        Start();
}

// OnStartDrag runs once the drag really starts, so that a press that stays a click raises
// no drag events at all.
void TDragManager::Start() {
    TDragObject* Given = nullptr;
    try {
        FSource->DoStartDrag(Given);
    } catch (...) {
        delete Given;
        Reset();
        throw;
    }
    if (!FSource) {
        delete Given;
        return;
    }
    FObject.reset(Given ? Given : new TDragControlObject(FSource));
    FActive = true;
    QWidget* W = TControlAccess::Widget(FSource);
    if (W->isVisible()) {
        W->grabMouse();
        FGrabber = W;
    }
    QApplication::setOverrideCursor(CursorOf(crNoDrop));
    FCursorShown = true;
    Over(FPos);
}

bool TDragManager::Move(const QPoint& Global) {
    FPos = Global;
    if (!FActive) {
        if (std::abs(Global.x() - FStart.x()) < FThreshold &&
            std::abs(Global.y() - FStart.y()) < FThreshold)
            return false;
        Start();
        return true;
    }
    Over(Global);
    return true;
}

// A release ends the drag where the last movement left it. The source still hears its button
// go up, as after any press, but the drop was no click.
bool TDragManager::Release(const QPoint& Global, TMouseButton Button, TShiftState Shift) {
    if (!FActive) {
        Reset();
        return false;
    }
    FReleasing = FSource;
    Finish(true);
    if (TControl* Source = std::exchange(FReleasing, nullptr)) {
        Source->FClicked = false;
        const TPoint P = Source->ScreenToClient({Global.x(), Global.y()});
        Source->DispatchMouseUp(Button, Shift, P.X, P.Y);
    }
    return true;
}

TControl* TDragManager::FindTarget(const QPoint& Global) {
    for (QWidget* W = QApplication::widgetAt(Global); W; W = W->parentWidget()) {
        TControl* Control = ControlOf(W);
        while (Control && !Control->Enabled())
            Control = Control->Parent();
        if (Control)
            return Control;
    }
    return nullptr;
}

TObject* TDragManager::SourceObject(TControl* Source) const {
    if (dynamic_cast<TDragControlObject*>(FObject.get()))
        return Source;
    return FObject.get();
}

bool TDragManager::Ask(TControl* Target, const QPoint& Global, TDragState State) {
    const TPoint P = Target->ScreenToClient({Global.x(), Global.y()});
    bool Accept = false;
    Target->DragOver(SourceObject(FSource), P.X, P.Y, State, Accept);
    return Accept;
}

// The control under the pointer hears of the drag entering, moving over and leaving it; a
// handler may end the drag or free a control on the way.
void TDragManager::Over(const QPoint& Global) {
    TControl* Target = FindTarget(Global);
    TDragState State = dsDragMove;
    if (Target != FTarget) {
        TControl* Old = FTarget;
        FTarget = nullptr;
        FAccepted = false;
        if (Old)
            Ask(Old, Global, dsDragLeave);
        if (!FActive)
            return;
        FTarget = Target;
        State = dsDragEnter;
    }
    if (Target) {
        const bool Accepted = Ask(Target, Global, State);
        if (FTarget == Target)
            FAccepted = Accepted;
    }
    if (FActive)
        ShowCursor(Global);
}

void TDragManager::ShowCursor(const QPoint& Global) {
    TPoint P{Global.x(), Global.y()};
    if (FTarget)
        P = FTarget->ScreenToClient(P);
    QApplication::changeOverrideCursor(CursorOf(FObject->GetDragCursor(FAccepted, P.X, P.Y)));
}

// The drag is over before the handlers run, so that they may start another one. The target
// hears the drag leave, then of the drop when it took it; the source hears where it went.
void TDragManager::Finish(bool Drop) {
    if (!FActive) {
        Reset();
        return;
    }
    const bool Accepted = Drop && FTarget && FAccepted;
    const QPoint Global = FPos;
    const std::unique_ptr<TDragObject> Object = std::move(FObject);
    const bool OwnObject = dynamic_cast<TDragControlObject*>(Object.get()) != nullptr;
    FEndingSource = FSource;
    FEndingTarget = FTarget;
    Reset();
    auto Source = [&]() -> TObject* {
        return OwnObject ? static_cast<TObject*>(FEndingSource) : Object.get();
    };
    TPoint P;
    if (FEndingTarget) {
        P = FEndingTarget->ScreenToClient({Global.x(), Global.y()});
        TControl::SafeCall([&] {
            bool Ignored = false;
            FEndingTarget->DragOver(Source(), P.X, P.Y, dsDragLeave, Ignored);
        });
    }
    if (Accepted && FEndingTarget)
        TControl::SafeCall([&] { FEndingTarget->DragDrop(Source(), P.X, P.Y); });
    if (FEndingSource)
        TControl::SafeCall([&] {
            if (Accepted && FEndingTarget)
                FEndingSource->DoEndDrag(FEndingTarget, P.X, P.Y);
            else
                FEndingSource->DoEndDrag(nullptr, 0, 0);
        });
    FEndingSource = FEndingTarget = nullptr;
}

void TDragManager::Reset() {
    if (FGrabber)
        FGrabber->releaseMouse();
    FGrabber = nullptr;
    if (FCursorShown)
        QApplication::restoreOverrideCursor();
    FCursorShown = false;
    if (FFilter)
        QCoreApplication::instance()->removeEventFilter(FFilter);
    FSource = nullptr;
    FActive = false;
    FTarget = nullptr;
    FAccepted = false;
    FObject.reset();
}

void TDragManager::Forget(TControl* Control) {
    if (Control == FReleasing)
        FReleasing = nullptr;
    if (Control == FEndingSource)
        FEndingSource = nullptr;
    if (Control == FEndingTarget)
        FEndingTarget = nullptr;
    if (Control == FSource) {
        Reset();
        return;
    }
    if (Control == FTarget) {
        FTarget = nullptr;
        FAccepted = false;
        ShowCursor(FPos);
    }
}

bool DragMouseMove(TControl* Receiver, int X, int Y) {
    TDragManager& Manager = TDragManager::Instance();
    if (!Manager.Source())
        return false;
    const TPoint Global = Receiver->ClientToScreen({X, Y});
    return Manager.Move({Global.X, Global.Y});
}

bool DragMouseUp(TControl* Receiver, TMouseButton Button, TShiftState Shift, int X, int Y) {
    TDragManager& Manager = TDragManager::Instance();
    if (!Manager.Source())
        return false;
    const TPoint Global = Receiver->ClientToScreen({X, Y});
    return Manager.Release({Global.X, Global.Y}, Button, Shift);
}

void DragControlDestroyed(TControl* Control) {
    TDragManager::Instance().Forget(Control);
}

// ---- TControl's part

void TControl::BeginDrag(bool Immediate, int Threshold) {
    TDragManager::Instance().Begin(this, Immediate, Threshold);
}

void TControl::EndDrag(bool Drop) {
    if (Dragging())
        TDragManager::Instance().Finish(Drop);
}

bool TControl::Dragging() const {
    return TDragManager::Instance().Source() == this;
}

void TControl::DoStartDrag(TDragObject*& DragObject) {
    if (OnStartDrag)
        OnStartDrag(this, DragObject);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = static_cast<bool>(OnDragOver);
    if (OnDragOver)
        OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop)
        OnDragDrop(this, Source, X, Y);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag)
        OnEndDrag(this, Target, X, Y);
}
