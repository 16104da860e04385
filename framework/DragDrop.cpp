#include "DragDrop.h"

#include "Controls.h"
#include "DragInput.h"
#include "PlatformWindows.h"

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
    bool Move(TPoint Global);
    bool Release(TPoint Global, TMouseButton Button, TShiftState Shift);
    void Finish(bool Drop);
    bool PlatformInput(const Platform::TInput& Input);
    void Forget(TControl* Control);
    // Ends the drag without a word to the controls.
    void Abandon() { Reset(); }

private:
    void Start();
    void Over(TPoint Global);
    bool Ask(TControl* Target, TPoint Global, TDragState State);
    void ShowCursor(TPoint Global);
    TObject* SourceObject(TControl* Source) const;
    void Reset();

    TControl* FSource = nullptr;
    bool FActive = false;
    TPoint FStart;
    TPoint FPos;
    int FThreshold = DefaultDragThreshold;
    std::unique_ptr<TDragObject> FObject;
    TControl* FTarget = nullptr;
    bool FAccepted = false;
    bool FCursorShown = false;
    bool FCaptured = false;
    // The controls of a drag that is being finished, forgotten when they go.
    TControl* FEndingSource = nullptr;
    TControl* FEndingTarget = nullptr;
    TControl* FReleasing = nullptr;
};

// The program's input reaches the drag before any control.
bool TDragManager::PlatformInput(const Platform::TInput& Input) {
    try {
        switch (Input.Kind) {
        case Platform::TInput::EscapeKey:
            Finish(false);
            return true;
        case Platform::TInput::PointerMove:
            return Move(Input.Screen);
        default:
            return Release(Input.Screen, Input.Button, Input.Shift);
        }
    } catch (const std::exception& E) {
        // The report must not find the mouse held by the drag.
        Abandon();
        ReportException(E);
        return true;
    }
}

void TDragManager::Begin(TControl* Source, bool Immediate, int Threshold) {
    if (FSource)
        return;
    FSource = Source;
    FActive = false;
    FThreshold = Threshold < 0 ? DefaultDragThreshold : Threshold;
    FStart = FPos = Platform::PointerPosition();
    Platform::SetInputHook(
        [](const Platform::TInput& Input) { return Instance().PlatformInput(Input); });
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
    FCaptured = Platform::SetCapture(FSource->Widget());
    Platform::PushOverrideCursor(crNoDrop);
    FCursorShown = true;
    Over(FPos);
}

bool TDragManager::Move(TPoint Global) {
    FPos = Global;
    if (!FActive) {
        if (std::abs(Global.X - FStart.X) < FThreshold &&
            std::abs(Global.Y - FStart.Y) < FThreshold)
            return false;
        Start();
        return true;
    }
    Over(Global);
    return true;
}

// A release ends the drag where the last movement left it. The source still hears its button
// go up, as after any press, but the drop was no click, and a drag that a handler began
// meanwhile waits for a release of its own.
bool TDragManager::Release(TPoint Global, TMouseButton Button, TShiftState Shift) {
    if (!FActive) {
        Reset();
        return false;
    }
    FReleasing = FSource;
    Finish(true);
    if (TControl* Source = std::exchange(FReleasing, nullptr)) {
        Source->FClicked = false;
        const TPoint P = Source->ScreenToClient(Global);
        Source->MouseUp(Button, Shift, P.X, P.Y);
    }
    return true;
}

TObject* TDragManager::SourceObject(TControl* Source) const {
    if (dynamic_cast<TDragControlObject*>(FObject.get()))
        return Source;
    return FObject.get();
}

bool TDragManager::Ask(TControl* Target, TPoint Global, TDragState State) {
    const TPoint P = Target->ScreenToClient(Global);
    bool Accept = false;
    Target->DragOver(SourceObject(FSource), P.X, P.Y, State, Accept);
    return Accept;
}

// The control under the pointer hears of the drag entering, moving over and leaving it; a
// handler may end the drag or free a control on the way.
void TDragManager::Over(TPoint Global) {
    TControl* Target = Platform::ControlAt(Global);
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

void TDragManager::ShowCursor(TPoint Global) {
    const TPoint P = FTarget ? FTarget->ScreenToClient(Global) : Global;
    Platform::ChangeOverrideCursor(FObject->GetDragCursor(FAccepted, P.X, P.Y));
}

// The drag is over before the handlers run, so that they may start another one. The target
// hears the drag leave, then of the drop when it took it; the source hears where it went.
void TDragManager::Finish(bool Drop) {
    if (!FActive) {
        Reset();
        return;
    }
    const bool Accepted = Drop && FTarget && FAccepted;
    const TPoint Global = FPos;
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
        P = FEndingTarget->ScreenToClient(Global);
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
    if (FCaptured)
        Platform::ReleaseCapture();
    FCaptured = false;
    if (FCursorShown)
        Platform::PopOverrideCursor();
    FCursorShown = false;
    Platform::RemoveInputHook();
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
    return Manager.Move(Global);
}

bool DragMouseUp(TControl* Receiver, TMouseButton Button, TShiftState Shift, int X, int Y) {
    TDragManager& Manager = TDragManager::Instance();
    if (!Manager.Source())
        return false;
    const TPoint Global = Receiver->ClientToScreen({X, Y});
    return Manager.Release(Global, Button, Shift);
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
