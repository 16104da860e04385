#include "QtTestSupport.h"
#include "TestSupport.h"

#include "Forms.h"
#include "Graphics.h"
#include "QtGraphics.h"
#include "QtHandles.h"
#include "QtHost.h"
#include "QtText.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

#include <map>

namespace {

QWidget* WidgetOf(const TControl* Control) {
    return TControlAccess::Widget(Control);
}

QWidget* WindowOf(const TControl* Control) {
    return WidgetOf(Control)->window();
}

Qt::KeyboardModifiers ModifiersOf(TShiftState Shift) {
    Qt::KeyboardModifiers Modifiers;
    if (Shift.Contains(ssShift))
        Modifiers |= Qt::ShiftModifier;
    if (Shift.Contains(ssCtrl))
        Modifiers |= Qt::ControlModifier;
    if (Shift.Contains(ssAlt))
        Modifiers |= Qt::AltModifier;
    return Modifiers;
}

Qt::MouseButton QtButton(TMouseButton Button) {
    switch (Button) {
    case mbRight:
        return Qt::RightButton;
    case mbMiddle:
        return Qt::MiddleButton;
    default:
        return Qt::LeftButton;
    }
}

Qt::MouseButtons ButtonsOf(TShiftState Shift) {
    Qt::MouseButtons Buttons;
    if (Shift.Contains(ssLeft))
        Buttons |= Qt::LeftButton;
    if (Shift.Contains(ssRight))
        Buttons |= Qt::RightButton;
    if (Shift.Contains(ssMiddle))
        Buttons |= Qt::MiddleButton;
    return Buttons;
}

QPoint ToQPoint(TPoint P) {
    return {P.X, P.Y};
}

TShiftStateItem ButtonState(TMouseButton Button) {
    return Button == mbRight ? ssRight : Button == mbMiddle ? ssMiddle : ssLeft;
}

// Delivered as the system delivers input, so the toolkit treats it as the user's.
void Send(QWidget* Target, QEvent& Event) {
    QSpontaneKeyEvent::setSpontaneous(&Event);
    QApplication::instance()->notify(Target, &Event);
}

// Shift holds the buttons that are down once the event has happened.
void SendMouse(TControl* Control, QEvent::Type Type, TMouseButton Button, TPoint At,
               TShiftState Shift) {
    QWidget* W = WidgetOf(Control);
    QMouseEvent Event(Type, ToQPoint(At), W->mapToGlobal(ToQPoint(At)), QtButton(Button),
                      ButtonsOf(Shift), ModifiersOf(Shift));
    Send(W, Event);
}

// The Qt key the layer reads as Key: the inverse of its own key mapping, so the two cannot
// drift apart.
int QtKeyOf(unsigned short Key) {
    static const std::map<unsigned short, int> Keys = [] {
        std::map<unsigned short, int> Found;
        const auto Add = [&](int First, int Last) {
            for (int QtKey = First; QtKey <= Last; ++QtKey)
                if (const unsigned short Virtual = VirtualKeyOf(QtKey, Qt::NoModifier))
                    Found.emplace(Virtual, QtKey);
        };
        Add(Qt::Key_Space, Qt::Key_AsciiTilde);
        Add(Qt::Key_Escape, Qt::Key_F35);
        return Found;
    }();
    const auto It = Keys.find(Key);
    return It == Keys.end() ? 0 : It->second;
}

// The character a key types: a letter (capital with Shift), a digit, a blank or one of the
// control characters of Backspace, Tab, Return and Escape; none with Ctrl or Alt held.
QString TextOf(unsigned short Key, TShiftState Shift) {
    if (Shift.Contains(ssCtrl) || Shift.Contains(ssAlt))
        return {};
    if (Key >= 'A' && Key <= 'Z')
        return QChar(Shift.Contains(ssShift) ? Key : Key - 'A' + 'a');
    if ((Key >= '0' && Key <= '9') || Key == VK_SPACE)
        return QChar(Key);
    switch (Key) {
    case VK_BACK:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
        return QChar(Key);
    default:
        return {};
    }
}

void SendKey(QWidget* Target, QEvent::Type Type, unsigned short Key, TShiftState Shift) {
    QKeyEvent Event(Type, QtKeyOf(Key), ModifiersOf(Shift));
    QApplication::sendEvent(Target, &Event);
}

void SendText(QWidget* Target, const QString& Text) {
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const qsizetype Length = Text[I].isHighSurrogate() && I + 1 < Text.size() ? 2 : 1;
        const QString One = Text.mid(I, Length);
        I += Length - 1;
        if (One[0].unicode() < 0x80) {
            QTest::keyClick(Target, One[0].toLatin1());
            continue;
        }
        QKeyEvent Down(QEvent::KeyPress, 0, Qt::NoModifier, One);
        QApplication::sendEvent(Target, &Down);
        QKeyEvent Up(QEvent::KeyRelease, 0, Qt::NoModifier, One);
        QApplication::sendEvent(Target, &Up);
    }
}

void SendInputMethod(QWidget* Target, const QString& Preedit, const QString& Commit) {
    QInputMethodEvent Event(Preedit, {});
    if (!Commit.isEmpty())
        Event.setCommitString(Commit);
    QApplication::sendEvent(Target, &Event);
}

// A window's point as the system sees it: in the top-level window's coordinates.
QPoint InTopLevel(TWinControl* Window, TPoint At) {
    QWidget* W = WidgetOf(Window);
    return W->mapTo(W->window(), ToQPoint(At));
}

QMenu* MenuOf(TPlatformWidget* Menu) {
    return QtWidget<QMenu>(Menu);
}

QAction* ActionOf(TPlatformWidget* Menu, int Index) {
    return MenuOf(Menu)->actions().at(Index);
}

QString ScreenTextOf(const TControl* Control) {
    QWidget* W = WidgetOf(Control);
    if (W->isWindow() && !W->windowTitle().isEmpty())
        return W->windowTitle();
    for (const char* Property : {"text", "plainText", "title"}) {
        const QVariant Text = W->property(Property);
        if (Text.isValid())
            return Text.toString();
    }
    return W->windowTitle();
}

TCursor ShapeOf(Qt::CursorShape Shape) {
    // crArrow before crDefault: both show the arrow, and the arrow is what a test asks for.
    for (TCursor C = crArrow; C >= crSizeAll; --C)
        if (CursorOf(C).shape() == Shape)
            return C;
    return Shape == Qt::BlankCursor ? crNone : crDefault;
}

} // namespace

namespace TestSupport {

std::unique_ptr<TBitmap> Grab(QWidget* Widget) {
    const QImage Grabbed = Widget->grab().toImage();
    auto Image = std::make_unique<TBitmap>(Grabbed.width(), Grabbed.height());
    TGraphicsAccess::Image(*Image) = Grabbed.convertToFormat(
        Grabbed.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return Image;
}

void Start(int& Argc, char** Argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The user's locale says nothing about the language: the toolkit speaks Japanese anyway.
    qputenv("LC_ALL", "C.UTF-8");
    new QApplication(Argc, Argv); // lives as long as the process
    UseJapaneseToolkit();
}

void ProcessEvents() {
    QApplication::processEvents();
}

void RunLater(std::function<void()> Task) {
    QTimer::singleShot(0, qApp, std::move(Task));
}

bool WaitUntil(const std::function<bool()>& Done, int Milliseconds) {
    return QTest::qWaitFor(Done, Milliseconds);
}

TRect WorkArea() {
    return FromQRect(QGuiApplication::primaryScreen()->availableGeometry());
}

void EnsureWindow(TControl* Control) {
    WidgetOf(Control);
}

bool ShowAndWait(TControl* Control) {
    QWidget* Window = WindowOf(Control);
    Window->show();
    return QTest::qWaitForWindowExposed(Window);
}

bool IsShown(const TControl* Control) {
    return WidgetOf(Control)->isVisible();
}

void CloseWindow(TControl* Control) {
    WindowOf(Control)->close();
}

AnsiString WindowText(const TControl* Control) {
    return QtText::Encode(ScreenTextOf(Control));
}

std::u16string ShownText(const TControl* Control) {
    return ScreenTextOf(Control).toStdU16String();
}

TRect WindowBounds(const TControl* Control) {
    return FromQRect(WidgetOf(Control)->geometry());
}

TControl* FocusedControl() {
    for (QWidget* W = QApplication::focusWidget(); W; W = W->parentWidget())
        if (TControl* C = ControlOf(W))
            return C;
    return nullptr;
}

TControl* ControlAt(TWinControl* Window, TPoint At) {
    QWidget* W = WidgetOf(Window);
    if (!W->rect().contains(ToQPoint(At)))
        return nullptr;
    for (QWidget* Child = W->childAt(ToQPoint(At)); Child; Child = Child->parentWidget())
        if (TControl* C = ControlOf(Child))
            return C;
    return Window;
}

void Activate(TControl* Control) {
    QWidget* Window = WindowOf(Control);
    QApplication::setActiveWindow(Window);
    Window->activateWindow();
}

void OnItemsShown(TControl* ListBox, std::function<void()> Task) {
    const QAbstractItemModel* Model = static_cast<QListView*>(WidgetOf(ListBox))->model();
    QObject::connect(Model, &QAbstractItemModel::modelReset, Model, std::move(Task));
}

int EditCaret(const TWinControl* Edit) {
    QWidget* W = WidgetOf(Edit);
    if (auto* Line = qobject_cast<QLineEdit*>(W))
        return Line->cursorPosition();
    if (auto* Text = qobject_cast<QPlainTextEdit*>(W))
        return Text->textCursor().position();
    return -1;
}

void PaintNow(TControl* Control, const TRect& Area) {
    WidgetOf(Control)->repaint(ToQRect(Area));
}

std::unique_ptr<TBitmap> PaintArea(TControl* Control, const TRect& Area) {
    auto Result = std::make_unique<TBitmap>(Area.Width(), Area.Height());
    QImage& Image = TGraphicsAccess::Image(*Result);
    QImage Whole(Area.Right, Area.Bottom, QImage::Format_ARGB32_Premultiplied);
    Whole.fill(Qt::transparent);
    TControlAccess::Paint(Control, Whole, Area);
    Image = Whole.copy(ToQRect(Area)).convertToFormat(QImage::Format_RGB32);
    return Result;
}

void MouseDown(TControl* Control, TMouseButton Button, TPoint At, TShiftState Shift) {
    SendMouse(Control, QEvent::MouseButtonPress, Button, At,
              Shift + TShiftState{ButtonState(Button)});
}

void MouseUp(TControl* Control, TMouseButton Button, TPoint At, TShiftState Shift) {
    SendMouse(Control, QEvent::MouseButtonRelease, Button, At,
              Shift - TShiftState{ButtonState(Button)});
}

void MouseMove(TControl* Control, TPoint At, TShiftState Shift) {
    QWidget* W = WidgetOf(Control);
    QMouseEvent Event(QEvent::MouseMove, ToQPoint(At), W->mapToGlobal(ToQPoint(At)), Qt::NoButton,
                      ButtonsOf(Shift), ModifiersOf(Shift));
    Send(W, Event);
}

void Click(TControl* Control, TMouseButton Button, TPoint At, TShiftState Shift) {
    MouseDown(Control, Button, At, Shift);
    MouseUp(Control, Button, At, Shift);
}

void DoubleClick(TControl* Control, TMouseButton Button, TPoint At, TShiftState Shift) {
    SendMouse(Control, QEvent::MouseButtonDblClick, Button, At,
              Shift + TShiftState{ButtonState(Button)});
}

void Wheel(TControl* Control, int Delta, TShiftState Shift, TPoint At) {
    QWidget* W = WidgetOf(Control);
    QWheelEvent Event(ToQPoint(At), W->mapToGlobal(ToQPoint(At)), QPoint(), QPoint(0, Delta),
                      ButtonsOf(Shift), ModifiersOf(Shift), Qt::NoScrollPhase, false);
    QApplication::sendEvent(W, &Event);
}

bool ContextMenu(TControl* Control, TPoint At) {
    QWidget* W = WidgetOf(Control);
    QWidget* Receiver = W;
    if (auto* Area = qobject_cast<QAbstractScrollArea*>(W))
        Receiver = Area->viewport();
    QContextMenuEvent Event(QContextMenuEvent::Mouse, Receiver->mapFrom(W, ToQPoint(At)),
                            W->mapToGlobal(ToQPoint(At)));
    QApplication::sendEvent(Receiver, &Event);
    return Event.isAccepted();
}

void PointerTo(TWinControl* Window, TPoint At) {
    QWidget* Top = WindowOf(Window);
    const QPoint P = InTopLevel(Window, At);
    QCursor::setPos(Top->mapToGlobal(P));
    QTest::mouseMove(Top->windowHandle(), P);
    QApplication::processEvents();
}

void PointerDown(TWinControl* Window, TPoint At, TMouseButton Button) {
    PointerTo(Window, At);
    QTest::mousePress(WindowOf(Window)->windowHandle(), QtButton(Button), {},
                      InTopLevel(Window, At));
}

void PointerUp(TWinControl* Window, TPoint At, TMouseButton Button) {
    PointerTo(Window, At);
    QTest::mouseRelease(WindowOf(Window)->windowHandle(), QtButton(Button), {},
                        InTopLevel(Window, At));
    QApplication::processEvents();
}

void KeyDown(TWinControl* Control, unsigned short Key, TShiftState Shift) {
    SendKey(WidgetOf(Control), QEvent::KeyPress, Key, Shift);
}

void KeyUp(TWinControl* Control, unsigned short Key, TShiftState Shift) {
    SendKey(WidgetOf(Control), QEvent::KeyRelease, Key, Shift);
}

void PressKey(TWinControl* Control, unsigned short Key, TShiftState Shift) {
    QWidget* W = WidgetOf(Control);
    const QString Text = TextOf(Key, Shift);
    QKeyEvent Down(QEvent::KeyPress, QtKeyOf(Key), ModifiersOf(Shift), Text);
    QApplication::sendEvent(W, &Down);
    QKeyEvent Up(QEvent::KeyRelease, QtKeyOf(Key), ModifiersOf(Shift), Text);
    QApplication::sendEvent(W, &Up);
}

void PressKeyInWindow(TWinControl* Window, unsigned short Key, TShiftState Shift) {
    QWindow* Target = WindowOf(Window)->windowHandle();
    const QString Text = TextOf(Key, Shift);
    QTest::sendKeyEvent(QTest::Press, Target, static_cast<Qt::Key>(QtKeyOf(Key)), Text,
                        ModifiersOf(Shift));
    QTest::sendKeyEvent(QTest::Release, Target, static_cast<Qt::Key>(QtKeyOf(Key)), Text,
                        ModifiersOf(Shift));
}

void Type(TWinControl* Control, const AnsiString& Text) {
    SendText(WidgetOf(Control), QtText::Decode(Text));
}

void Type(TWinControl* Control, const std::u16string& Text) {
    SendText(WidgetOf(Control), QString::fromStdU16String(Text));
}

void Compose(TWinControl* Control, const AnsiString& Preedit) {
    SendInputMethod(WidgetOf(Control), QtText::Decode(Preedit), {});
}

void Commit(TWinControl* Control, const AnsiString& Text) {
    SendInputMethod(WidgetOf(Control), {}, QtText::Decode(Text));
}

TCursor CursorShape(const TControl* Control) {
    return ShapeOf(WidgetOf(Control)->cursor().shape());
}

TPoint CursorHotSpot(const TControl* Control) {
    const QPoint P = WidgetOf(Control)->cursor().hotSpot();
    return {P.x(), P.y()};
}

std::unique_ptr<TBitmap> CursorImage(const TControl* Control) {
    auto Result = std::make_unique<TBitmap>();
    TGraphicsAccess::Image(*Result) = WidgetOf(Control)->cursor().pixmap().toImage();
    return Result;
}

TCursor ProgramCursor() {
    const QCursor* Cursor = QApplication::overrideCursor();
    return Cursor ? ShapeOf(Cursor->shape()) : crDefault;
}

AnsiString HintText(const TControl* Control) {
    return QtText::Encode(WidgetOf(Control)->toolTip());
}

TPlatformWidget* ShownMenu() {
    return PlatformWidget(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
}

std::vector<AnsiString> MenuItems(TPlatformWidget* Menu) {
    std::vector<AnsiString> Items;
    for (const QAction* Item : MenuOf(Menu)->actions())
        Items.push_back(Item->isSeparator() ? AnsiString("-") : QtText::Encode(Item->text()));
    return Items;
}

bool MenuItemEnabled(TPlatformWidget* Menu, int Index) {
    return ActionOf(Menu, Index)->isEnabled();
}

bool MenuItemChecked(TPlatformWidget* Menu, int Index) {
    return ActionOf(Menu, Index)->isChecked();
}

TPlatformWidget* Submenu(TPlatformWidget* Menu, int Index) {
    return PlatformWidget(ActionOf(Menu, Index)->menu());
}

TPoint MenuPosition(TPlatformWidget* Menu) {
    const QPoint P = MenuOf(Menu)->pos();
    return {P.x(), P.y()};
}

void ChooseMenuItem(TPlatformWidget* Menu, int Index) {
    ActionOf(Menu, Index)->trigger();
}

void CloseMenu(TPlatformWidget* Menu) {
    MenuOf(Menu)->close();
}

void ClickWindow(TPlatformWidget* Window) {
    QTest::mouseClick(QtWidget(Window), Qt::LeftButton);
}

bool Resizable(const TCustomForm* Form) {
    const QWidget* Window = WidgetOf(Form);
    return Window->minimumSize() != Window->maximumSize();
}

void ShowWindow(TControl* Control) {
    WidgetOf(Control)->window()->show();
}

void PointerToScreen(TPoint At) {
    QCursor::setPos(At.X, At.Y);
}

std::unique_ptr<TBitmap> WindowImage(const TControl* Control) {
    return Grab(WidgetOf(Control));
}

bool ShowsChecked(const TControl* CheckBox) {
    QWidget* Window = WidgetOf(CheckBox);
    const auto* Box = qobject_cast<QAbstractButton*>(Window);
    if (!Box)
        Box = Window->findChild<QAbstractButton*>();
    return Box && Box->isChecked();
}

bool IsActiveWindow(const TControl* Control) {
    return WidgetOf(Control)->isActiveWindow();
}

bool InputMethodOn(const TWinControl* Control) {
    return WidgetOf(Control)->testAttribute(Qt::WA_InputMethodEnabled);
}

void Commit(TWinControl* Control, const std::u16string& Text) {
    SendInputMethod(WidgetOf(Control), {}, QString::fromStdU16String(Text));
}

} // namespace TestSupport
