// Qt glue of the platform layer, for the Qt back end and the tests: input and cursor
// conversions between the layer's types and Qt's, the widget that hosts a self-painted
// control, and the link that forwards a widget's input to its control.
#pragma once

#include "Controls.h"
#include "QtGraphics.h"
#include "QtHandles.h"
#include "QtText.h"
#include "internal/ControlDispatch.h"

#include <QCursor>
#include <QEvent>
#include <QImage>
#include <QWidget>

class TControlLink;

// What the layer's platform side reaches of a control: what every back end does, and its
// widget and painting in Qt's types.
class TControlAccess : public TControlDispatch {
public:
    // The control's widget, created on first use.
    static QWidget* Widget(const TControl* Control) { return QtWidget(Control->Widget()); }
    // Paints Area (logical) of the control into Image through its canvas; Device maps it onto
    // Image's pixels.
    static void Paint(TControl* Control, QImage& Image, const TRect& Area,
                      const TDeviceMap& Device = {});
};

TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons);
// The platform's virtual key of a Qt key; 0 for keys it has none for.
unsigned short VirtualKeyOf(int QtKey, Qt::KeyboardModifiers Modifiers);

// Cursors: the built-in crXXX shapes and the ones the application registered (Screen).
QCursor CursorOf(TCursor Cursor);
// The cursor file compiled into the program as ":/cursors/<Name>.cur", with its hot spot;
// false when there is none or it is not a cursor.
bool LoadResourceCursor(const AnsiString& Name, QCursor& Cursor);
void RegisterCursor(TCursor Index, const QCursor& Cursor);
void UnregisterCursor(TCursor Index);

// What an HCURSOR holds.
class TCursorImage {
public:
    explicit TCursorImage(const QCursor& ACursor) : Cursor(ACursor) {}
    QCursor Cursor;
};

// A message posted to a windowed control (PostMessage), delivered from the event queue.
class TPostedMessage : public QEvent {
public:
    TPostedMessage(unsigned AMsg, std::uintptr_t AWParam, std::intptr_t ALParam);
    static QEvent::Type EventType();
    unsigned Msg;
    std::uintptr_t WParam;
    std::intptr_t LParam;
};

// The control a widget (or the viewport or focus proxy of a control's widget) stands for.
TControl* ControlOf(const QObject* Object);

// Makes Widget the window of Control: its input, focus, size and posted messages reach the
// control from now on. The layer calls it for every widget that CreateWidget returns, so a
// control built on a ready-made Qt widget gets the same forwarding as a self-painted one.
void AttachControl(QWidget* Widget, TControl* Control);
// Stops forwarding before the control lets go of its widget.
void DetachControl(TControl* Control);

// The window of a control that paints itself: each paint goes through the control's canvas
// into a cached image of the widget's size in device pixels at the ratio of the screen the
// widget is on now, which is then shown.
class THostWidget : public QWidget {
public:
    explicit THostWidget(TControl* AControl);
    TControl* Control() const { return FControl; }
    // A control that turns transparent (a panel leaving its face to its parent) needs its
    // parent painted beneath it; call when OpaquePaint may have changed.
    void RefreshOpacity();

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    TControl* FControl;
    QImage FCache;
    TDeviceMap FCacheMap;
};

// Runs a paint, reporting an exception later from the event loop: a modal error report inside
// a paint would paint again while the painter is busy.
void SafePaint(const std::function<void()>& Paint);

// The toolkit's own texts (file dialog, message box buttons, edit menus) and the dates, sizes
// and file types it shows in Japanese, whatever the user's locale, as on the systems the
// programs serve. Call once the application object exists; without the toolkit's translation
// files its texts stay English, silently.
void UseJapaneseToolkit();
