#include "QtHost.h"

#include "PlatformFiles.h"
#include "PlatformWindows.h"
#include "QtText.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QTranslator>
#include <QWheelEvent>

#include <map>
#include <memory>
#include <unordered_map>

namespace {

std::unordered_map<const QObject*, TControl*>& Links() {
    static std::unordered_map<const QObject*, TControl*> Map;
    return Map;
}

TMouseButton ButtonOf(Qt::MouseButton Button, bool& Known) {
    Known = true;
    switch (Button) {
    case Qt::LeftButton:
        return mbLeft;
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        Known = false;
        return mbLeft;
    }
}

bool IsUserFocusChange(const QFocusEvent* E) {
    return E->reason() != Qt::ActiveWindowFocusReason && E->reason() != Qt::PopupFocusReason;
}

// ---- Moving and resizing windows by their hit-test answers

// Dragging an edge shrinks a window no further, so that its edges stay within reach.
constexpr int MinDragSize = 16;
// The area a window without a parent may be dragged in.
constexpr int Unbounded = 1 << 24;

bool IsSizingAnswer(int Hit) {
    return Hit >= HTLEFT && Hit <= HTBOTTOMRIGHT;
}

bool IsDragAnswer(int Hit) {
    return Hit == HTCAPTION || IsSizingAnswer(Hit);
}

Qt::CursorShape SizingCursor(int Hit) {
    switch (Hit) {
    case HTLEFT:
    case HTRIGHT:
        return Qt::SizeHorCursor;
    case HTTOP:
    case HTBOTTOM:
        return Qt::SizeVerCursor;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return Qt::SizeFDiagCursor;
    default:
        return Qt::SizeBDiagCursor;
    }
}

TRect DragArea(const TWinControl* Window) {
    if (const TWinControl* Parent = Window->Parent())
        return Parent->ClientRect();
    return Rect(-Unbounded, -Unbounded, Unbounded, Unbounded);
}

// The bounds of a window whose part Hit has been dragged by Delta from Start: the caption
// moves the whole window, an edge or corner moves only its own sides; all stay within Area.
TRect DraggedBounds(int Hit, const TRect& Start, QPoint Delta, const TRect& Area) {
    if (Hit == HTCAPTION) {
        const int Left =
            std::max(Area.Left, std::min(Start.Left + Delta.x(), Area.Right - Start.Width()));
        const int Top =
            std::max(Area.Top, std::min(Start.Top + Delta.y(), Area.Bottom - Start.Height()));
        return Bounds(Left, Top, Start.Width(), Start.Height());
    }
    TRect R = Start;
    if (Hit == HTLEFT || Hit == HTTOPLEFT || Hit == HTBOTTOMLEFT)
        R.Left = std::max(Area.Left, std::min(Start.Left + Delta.x(), Start.Right - MinDragSize));
    if (Hit == HTRIGHT || Hit == HTTOPRIGHT || Hit == HTBOTTOMRIGHT)
        R.Right = std::min(Area.Right, std::max(Start.Right + Delta.x(), Start.Left + MinDragSize));
    if (Hit == HTTOP || Hit == HTTOPLEFT || Hit == HTTOPRIGHT)
        R.Top = std::max(Area.Top, std::min(Start.Top + Delta.y(), Start.Bottom - MinDragSize));
    if (Hit == HTBOTTOM || Hit == HTBOTTOMLEFT || Hit == HTBOTTOMRIGHT)
        R.Bottom =
            std::min(Area.Bottom, std::max(Start.Bottom + Delta.y(), Start.Top + MinDragSize));
    return R;
}

} // namespace

// Forwards the events of a control's widget (and of its viewport and focus proxy) to the
// control; it lives as a child of the widget and unhooks the control when the widget goes.
class TControlLink : public QObject {
public:
    TControlLink(TControl* AControl, QWidget* AWidget);
    ~TControlLink() override;
    void Watch(QWidget* Widget);
    // The control lets go: its widget's input is no longer forwarded, and the widget and
    // its watched children no longer stand for it.
    void Detach();
    static void DetachFrom(TControl* Control) {
        if (TControlAccess::Link(Control))
            TControlAccess::Link(Control)->Detach();
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    bool Mouse(QWidget* Source, QMouseEvent* E);
    bool Forward(QWidget* Source, QMouseEvent* E);
    TWinControl* SurfaceWindow() const;
    int HitTest(TWinControl* Window, const QPoint& Global);
    void ShowHitCursor(int Hit);
    bool Drag(QMouseEvent* E);
    bool Key(QWidget* Source, QKeyEvent* E);
    bool InputMethod(QInputMethodEvent* E);
    bool ContextMenu(QWidget* Source, QContextMenuEvent* E);
    bool OwnsKeyEvent(QWidget* Source) const;
    QPoint ToControl(QWidget* Source, QPoint P) const { return Source->mapTo(FWidget, P); }
    TControl* FControl;
    QWidget* FWidget;
    bool FHost;
    bool FResending = false;
    std::vector<QWidget*> FWatched;
    int FCursorHit = HTCLIENT;
    // A window being moved or resized by the mouse, since the press on one of its drag answers.
    struct TDrag {
        TWinControl* Window = nullptr;
        int Hit = HTNOWHERE;
        QPoint Start;
        TRect Bounds;
    } FDrag;
};

// ---- Conversions

TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons) {
    TShiftState Shift;
    if (Modifiers & Qt::ShiftModifier)
        Shift.Include(ssShift);
    if (Modifiers & Qt::AltModifier)
        Shift.Include(ssAlt);
    if (Modifiers & Qt::ControlModifier)
        Shift.Include(ssCtrl);
    if (Buttons & Qt::LeftButton)
        Shift.Include(ssLeft);
    if (Buttons & Qt::RightButton)
        Shift.Include(ssRight);
    if (Buttons & Qt::MiddleButton)
        Shift.Include(ssMiddle);
    return Shift;
}

unsigned short VirtualKeyOf(int QtKey, Qt::KeyboardModifiers Modifiers) {
    constexpr unsigned short VK_F1 = 0x70, VK_NUMPAD0 = 0x60;
    if (QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z)
        return static_cast<unsigned short>('A' + (QtKey - Qt::Key_A));
    if (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9)
        return static_cast<unsigned short>(Modifiers & Qt::KeypadModifier
                                               ? VK_NUMPAD0 + (QtKey - Qt::Key_0)
                                               : '0' + (QtKey - Qt::Key_0));
    if (QtKey >= Qt::Key_F1 && QtKey <= Qt::Key_F24)
        return static_cast<unsigned short>(VK_F1 + (QtKey - Qt::Key_F1));
    static const std::unordered_map<int, unsigned short> Keys{
        {Qt::Key_Backspace, VK_BACK},  {Qt::Key_Tab, VK_TAB},       {Qt::Key_Backtab, VK_TAB},
        {Qt::Key_Return, VK_RETURN},   {Qt::Key_Enter, VK_RETURN},  {Qt::Key_Shift, VK_SHIFT},
        {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},      {Qt::Key_Escape, VK_ESCAPE},
        {Qt::Key_Space, VK_SPACE},     {Qt::Key_PageUp, VK_PRIOR},  {Qt::Key_PageDown, VK_NEXT},
        {Qt::Key_End, VK_END},         {Qt::Key_Home, VK_HOME},     {Qt::Key_Left, VK_LEFT},
        {Qt::Key_Up, VK_UP},           {Qt::Key_Right, VK_RIGHT},   {Qt::Key_Down, VK_DOWN},
        {Qt::Key_Insert, VK_INSERT},   {Qt::Key_Delete, VK_DELETE},
    };
    const auto It = Keys.find(QtKey);
    return It == Keys.end() ? 0 : It->second;
}

namespace {

std::map<TCursor, QCursor>& RegisteredCursors() {
    static std::map<TCursor, QCursor> Cursors;
    return Cursors;
}

} // namespace

namespace {

// A cursor file is an icon file of type 2 whose directory entries hold the hot spot where an
// icon holds its planes and bit count.
constexpr int CursorTypeOffset = 2, HotSpotOffset = 10;
constexpr char IconType = 1;

int ReadLittleEndian16(const QByteArray& Bytes, int At) {
    return static_cast<unsigned char>(Bytes[At]) | static_cast<unsigned char>(Bytes[At + 1]) << 8;
}

} // namespace

bool LoadResourceCursor(const AnsiString& Name, QCursor& Cursor) {
    std::string Data;
    if (!Platform::ReadResource("cursors", Name + ".cur", Data))
        return false;
    QByteArray Bytes(Data.data(), static_cast<qsizetype>(Data.size()));
    if (Bytes.size() <= HotSpotOffset + 4)
        return false;
    const int HotX = ReadLittleEndian16(Bytes, HotSpotOffset);
    const int HotY = ReadLittleEndian16(Bytes, HotSpotOffset + 2);
    Bytes[CursorTypeOffset] = IconType;
    QImage Image;
    if (!Image.loadFromData(Bytes, "ICO"))
        return false;
    Cursor = QCursor(QPixmap::fromImage(Image), HotX, HotY);
    return true;
}

// The program's own hand cursor, when it carries one, is the hand of every control, so that
// links, lists and buttons point alike.
const char* const HandPointName = "HANDPOINT";

QCursor CursorOf(TCursor Cursor) {
    static const std::map<TCursor, Qt::CursorShape> Shapes{
        {crDefault, Qt::ArrowCursor},
        {crNone, Qt::BlankCursor},
        {crArrow, Qt::ArrowCursor},
        {crCross, Qt::CrossCursor},
        {crIBeam, Qt::IBeamCursor},
        {crSizeNESW, Qt::SizeBDiagCursor},
        {crSizeNS, Qt::SizeVerCursor},
        {crSizeNWSE, Qt::SizeFDiagCursor},
        {crSizeWE, Qt::SizeHorCursor},
        {crUpArrow, Qt::UpArrowCursor},
        {crHourGlass, Qt::WaitCursor},
        {crDrag, Qt::DragCopyCursor},
        {crNoDrop, Qt::ForbiddenCursor},
        {crHSplit, Qt::SplitHCursor},
        {crVSplit, Qt::SplitVCursor},
        {crMultiDrag, Qt::DragCopyCursor},
        {crSQLWait, Qt::WaitCursor},
        {crNo, Qt::ForbiddenCursor},
        {crAppStart, Qt::BusyCursor},
        {crHelp, Qt::WhatsThisCursor},
        {crHandPoint, Qt::PointingHandCursor},
        {crSizeAll, Qt::SizeAllCursor},
    };
    const auto Registered = RegisteredCursors().find(Cursor);
    if (Registered != RegisteredCursors().end())
        return Registered->second;
    QCursor Hand;
    if (Cursor == crHandPoint && LoadResourceCursor(HandPointName, Hand))
        return Hand;
    const auto Shape = Shapes.find(Cursor);
    return QCursor(Shape == Shapes.end() ? Qt::ArrowCursor : Shape->second);
}

void RegisterCursor(TCursor Index, const QCursor& Cursor) {
    RegisteredCursors()[Index] = Cursor;
}

void UnregisterCursor(TCursor Index) {
    RegisteredCursors().erase(Index);
}

// ---- Posted messages

TPostedMessage::TPostedMessage(unsigned AMsg, std::uintptr_t AWParam, std::intptr_t ALParam)
    : QEvent(EventType()), Msg(AMsg), WParam(AWParam), LParam(ALParam) {}

QEvent::Type TPostedMessage::EventType() {
    static const auto Type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return Type;
}

// ---- Linking widgets to controls

TControl* ControlOf(const QObject* Object) {
    const auto It = Links().find(Object);
    return It == Links().end() ? nullptr : It->second;
}

TControlLink::TControlLink(TControl* AControl, QWidget* AWidget)
    : QObject(AWidget), FControl(AControl), FWidget(AWidget),
      FHost(dynamic_cast<THostWidget*>(AWidget) != nullptr) {
    TControlAccess::Link(AControl) = this;
    Watch(AWidget);
    if (auto* Area = qobject_cast<QAbstractScrollArea*>(AWidget))
        Watch(Area->viewport());
    if (AWidget->focusProxy())
        Watch(AWidget->focusProxy());
}

TControlLink::~TControlLink() {
    for (QWidget* W : FWatched)
        Links().erase(W);
    if (FControl && TControlAccess::Link(FControl) == this) {
        TControlAccess::Link(FControl) = nullptr;
        TControlAccess::ForgetWidget(FControl);
    }
}

void TControlLink::Watch(QWidget* Widget) {
    Widget->installEventFilter(this);
    Widget->setMouseTracking(true);
    Widget->setAttribute(Qt::WA_NoMousePropagation);
    Links()[Widget] = FControl;
    FWatched.push_back(Widget);
}

void TControlLink::Detach() {
    for (QWidget* W : FWatched)
        Links().erase(W);
    FWatched.clear();
    TControlAccess::Link(FControl) = nullptr;
    FControl = nullptr;
}

void AttachControl(QWidget* Widget, TControl* Control) {
    new TControlLink(Control, Widget);
}

void DetachControl(TControl* Control) {
    TControlLink::DetachFrom(Control);
}

bool TControlLink::eventFilter(QObject* Watched, QEvent* Event) {
    if (!FControl)
        return false;
    auto* Source = static_cast<QWidget*>(Watched);
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return Mouse(Source, static_cast<QMouseEvent*>(Event));
    case QEvent::Enter:
        if (Source == FWidget)
            SafeCall([&] { TControlAccess::MouseEnter(FControl); });
        return false;
    case QEvent::Leave:
        if (Source == FWidget)
            SafeCall([&] { TControlAccess::MouseLeave(FControl); });
        return false;
    case QEvent::Wheel: {
        auto* E = static_cast<QWheelEvent*>(Event);
        SafeCall([&] {
            TControlAccess::Wheel(FControl, E->angleDelta().y(),
                                  ShiftStateOf(E->modifiers(), E->buttons()));
        });
        return FHost;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return Key(Source, static_cast<QKeyEvent*>(Event));
    case QEvent::InputMethod:
        return InputMethod(static_cast<QInputMethodEvent*>(Event));
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        auto* Win = dynamic_cast<TWinControl*>(FControl);
        auto* E = static_cast<QFocusEvent*>(Event);
        if (Win && IsUserFocusChange(E))
            SafeCall(
                [&] { E->gotFocus() ? TControlAccess::Enter(Win) : TControlAccess::Exit(Win); });
        return false;
    }
    case QEvent::ContextMenu:
        return ContextMenu(Source, static_cast<QContextMenuEvent*>(Event));
    case QEvent::Resize:
        if (Source == FWidget)
            SafeCall(
                [&] { TControlAccess::Resize(FControl, FWidget->width(), FWidget->height()); });
        return false;
    case QEvent::Move:
        if (Source == FWidget)
            SafeCall([&] {
                TControlAccess::Move(FControl, FWidget->geometry().x(), FWidget->geometry().y());
            });
        return false;
    default:
        break;
    }
    if (Event->type() != TPostedMessage::EventType())
        return false;
    auto* Message = static_cast<TPostedMessage*>(Event);
    if (auto* Win = dynamic_cast<TWinControl*>(FControl))
        SafeCall([&] { Win->DispatchMessage(Message->Msg, Message->WParam, Message->LParam); });
    return true;
}

// A windowless control lies on its parent's surface, so the parent answers for it.
TWinControl* TControlLink::SurfaceWindow() const {
    auto* Window = dynamic_cast<TWinControl*>(FControl);
    return Window ? Window : FControl->Parent();
}

int TControlLink::HitTest(TWinControl* Window, const QPoint& Global) {
    int Hit = HTCLIENT;
    if (Window)
        SafeCall([&] { Hit = TControlAccess::HitTest(Window, {Global.x(), Global.y()}); });
    return Hit;
}

void TControlLink::ShowHitCursor(int Hit) {
    if (Hit == FCursorHit)
        return;
    FCursorHit = Hit;
    if (IsSizingAnswer(Hit))
        FWidget->setCursor(SizingCursor(Hit));
    else
        TControlAccess::ApplyCursor(FControl);
}

bool TControlLink::Drag(QMouseEvent* E) {
    const QPoint Delta = E->globalPosition().toPoint() - FDrag.Start;
    const TRect R = DraggedBounds(FDrag.Hit, FDrag.Bounds, Delta, DragArea(FDrag.Window));
    SafeCall([&] { FDrag.Window->SetBounds(R.Left, R.Top, R.Width(), R.Height()); });
    if (!(E->buttons() & Qt::LeftButton))
        FDrag = {};
    return true;
}

bool TControlLink::Mouse(QWidget* Source, QMouseEvent* E) {
    if (FDrag.Window)
        return Drag(E);
    TWinControl* Window = SurfaceWindow();
    const QPoint Global = E->globalPosition().toPoint();
    const int Hit = HitTest(Window, Global);
    ShowHitCursor(Hit);
    if (Hit == HTCLIENT)
        return Forward(Source, E);
    if (IsDragAnswer(Hit) && E->type() == QEvent::MouseButtonPress && E->button() == Qt::LeftButton)
        FDrag = {Window, Hit, Global, Window->BoundsRect()};
    return true;
}

bool TControlLink::Forward(QWidget* Source, QMouseEvent* E) {
    const QPoint P = ToControl(Source, E->position().toPoint());
    TShiftState Shift = ShiftStateOf(E->modifiers(), E->buttons());
    if (E->type() == QEvent::MouseMove) {
        SafeCall([&] { TControlAccess::MouseMove(FControl, Shift, P.x(), P.y()); });
        return FHost;
    }
    bool Known = false;
    const TMouseButton Button = ButtonOf(E->button(), Known);
    if (!Known)
        return false;
    SafeCall([&] {
        if (E->type() == QEvent::MouseButtonPress) {
            TControlAccess::MouseDown(FControl, Button, Shift, P.x(), P.y());
        } else if (E->type() == QEvent::MouseButtonRelease) {
            TControlAccess::MouseUp(FControl, Button, Shift, P.x(), P.y());
        } else {
            Shift.Include(ssDouble);
            TControlAccess::DblClick(FControl, Button, Shift, P.x(), P.y());
        }
    });
    return FHost;
}

// A key event that a child widget ignored travels on to its parents; only the widget with
// the focus (or one that is sent a key while the focus lies outside it) handles it.
bool TControlLink::OwnsKeyEvent(QWidget* Source) const {
    QWidget* Focus = QApplication::focusWidget();
    return !Focus || Focus == Source || !Source->isAncestorOf(Focus);
}

bool TControlLink::Key(QWidget* Source, QKeyEvent* E) {
    auto* Win = dynamic_cast<TWinControl*>(FControl);
    if (!Win || FResending || !OwnsKeyEvent(Source))
        return false;
    // A held key repeats its key-down only; the key goes up once, when it is let go.
    if (E->type() == QEvent::KeyRelease && E->isAutoRepeat())
        return FHost;
    unsigned short VirtualKey = VirtualKeyOf(E->key(), E->modifiers());
    const TShiftState Shift = ShiftStateOf(E->modifiers(), QGuiApplication::mouseButtons());
    bool Swallowed = false;
    if (VirtualKey != 0) {
        SafeCall([&] {
            if (E->type() == QEvent::KeyRelease)
                TControlAccess::KeyUp(Win, VirtualKey, Shift);
            else
                TControlAccess::KeyDown(Win, VirtualKey, Shift);
        });
        Swallowed = VirtualKey == 0;
    }
    if (E->type() == QEvent::KeyRelease)
        return FHost || Swallowed;
    AnsiString Typed;
    if (E->text().isEmpty() || !QtText::Encode(E->text(), Typed) || Typed.empty())
        return FHost || Swallowed;
    const AnsiString Original = Typed;
    SafeCall([&] { TControlAccess::KeyPress(Win, Typed); });
    if (FHost || Typed == Original)
        return FHost || Swallowed;
    if (!Typed.empty() && !Swallowed) {
        QKeyEvent Changed(E->type(), E->key(), E->modifiers(), QtText::Decode(Typed),
                          E->isAutoRepeat());
        FResending = true;
        QCoreApplication::sendEvent(Source, &Changed);
        FResending = false;
    }
    return true;
}

bool TControlLink::InputMethod(QInputMethodEvent* E) {
    auto* Win = dynamic_cast<TWinControl*>(FControl);
    if (!Win || !FHost || E->commitString().isEmpty())
        return false;
    const QString Text = E->commitString();
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const qsizetype Length = Text[I].isHighSurrogate() && I + 1 < Text.size() ? 2 : 1;
        AnsiString Typed;
        if (QtText::Encode(Text.mid(I, Length), Typed))
            SafeCall([&] { TControlAccess::KeyPress(Win, Typed); });
        I += Length - 1;
    }
    return true;
}

bool TControlLink::ContextMenu(QWidget* Source, QContextMenuEvent* E) {
    if (HitTest(SurfaceWindow(), E->globalPos()) != HTCLIENT)
        return true;
    if (!FControl->GetPopupMenu())
        return false;
    const QPoint P = ToControl(Source, E->pos());
    SafeCall([&] { TControlAccess::ContextMenu(FControl, P.x(), P.y()); });
    return true;
}

// ---- The host widget

THostWidget::THostWidget(TControl* AControl) : FControl(AControl) {
    setAttribute(Qt::WA_OpaquePaintEvent, TControlAccess::OpaquePaint(AControl));
}

void THostWidget::RefreshOpacity() {
    Platform::SetWindowOpaque(PlatformWidget(this), TControlAccess::OpaquePaint(FControl));
}

// Painted at the ratio of the surface painted on: the screen's backing store, which follows the
// window to another screen, or the image a render or grab paints into.
void THostWidget::paintEvent(QPaintEvent* Event) {
    QPainter P(this);
    if (!P.isActive())
        return;
    const double Ratio = P.paintEngine()->paintDevice()->devicePixelRatioF();
    const QTransform& ToDevice = P.deviceTransform();
    const TDeviceMap Map = TDeviceMap::At(Ratio, {ToDevice.dx(), ToDevice.dy()});
    if (FCache.size() != Map.Size(size()) || FCacheMap != Map) {
        FCache = QImage(Map.Size(size()), QImage::Format_ARGB32_Premultiplied);
        FCacheMap = Map;
    }
    if (FCache.isNull())
        return;
    const TRect Area = FromQRect(Event->rect());
    SafePaint([&] { TControlAccess::Paint(FControl, FCache, Area, Map); });
    // Placed so that the painter maps each cached pixel onto one device pixel.
    const QRect Source = Map.Rect(Area);
    const QPointF Phase = Map.Phase;
    P.drawImage(QRectF((Source.x() - Phase.x()) / Ratio, (Source.y() - Phase.y()) / Ratio,
                       Source.width() / Ratio, Source.height() / Ratio),
                FCache, Source);
}

void SafePaint(const std::function<void()>& Paint) {
    try {
        Paint();
    } catch (const std::exception& E) {
        auto Failure = std::make_shared<Exception>(E.what());
        QTimer::singleShot(0, [Failure] { ReportException(*Failure); });
    }
}

void UseJapaneseToolkit() {
    static const QString Name = QStringLiteral("quovant-toolkit-ja");
    QCoreApplication* App = QCoreApplication::instance();
    const QLocale Japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(Japanese);
    if (App->findChild<QTranslator*>(Name, Qt::FindDirectChildrenOnly))
        return;
    auto* Toolkit = new QTranslator(App);
    Toolkit->setObjectName(Name);
    if (Toolkit->load(Japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(Toolkit);
    else
        delete Toolkit;
}
