// The platform's windows on Qt widgets: host windows, bounds, visibility, focus, painting.
#include "PlatformWindows.h"

#include "QtHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QInputMethod>
#include <QPainter>

namespace {

QWidget* W(TPlatformWidget* Window) {
    return QtWidget(Window);
}

// The window of a form: its close box asks the form to close instead of closing.
class TFormWidget : public THostWidget {
public:
    TFormWidget(TControl* AForm, std::function<void()> OnCloseRequest)
        : THostWidget(AForm), FOnCloseRequest(std::move(OnCloseRequest)) {}

protected:
    void closeEvent(QCloseEvent* Event) override {
        Event->ignore();
        SafeCall(FOnCloseRequest);
    }

private:
    std::function<void()> FOnCloseRequest;
};

Qt::WindowFlags WindowFlagsOf(TFormBorderStyle Style) {
    const Qt::WindowFlags Framed = Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    switch (Style) {
    case bsNone:
        return Qt::Window | Qt::FramelessWindowHint;
    case bsSingle:
        return Qt::Window | Framed | Qt::WindowMinMaxButtonsHint;
    case bsDialog:
        return Qt::Dialog | Framed;
    case bsToolWindow:
    case bsSizeToolWin:
        return Qt::Tool | Framed;
    default:
        return Qt::Window;
    }
}

bool IsFixedSize(TFormBorderStyle Style) {
    return Style != bsSizeable && Style != bsSizeToolWin;
}

bool IsFixedSize(const QWidget* Widget) {
    return Widget->minimumSize() == Widget->maximumSize();
}

} // namespace

void TControlAccess::Paint(TControl* Control, QImage& Image, const TRect& Area,
                           const TDeviceMap& Device) {
    {
        QPainter P(&Image);
        P.setCompositionMode(QPainter::CompositionMode_Source);
        P.fillRect(Device.Rect(Area),
                   Control->OpaquePaint() ? ToQColor(Control->FColor) : QColor(Qt::transparent));
    }
    struct TEndPaint {
        TCanvas& Canvas;
        ~TEndPaint() { TGraphicsAccess::EndPaint(Canvas); }
    } End{*Control->FCanvas};
    TGraphicsAccess::BeginPaint(End.Canvas, Image, {}, Device);
    Control->FCanvas->SetClipRect(Area);
    Control->Paint();
}

namespace Platform {

// ---- Windows

TPlatformWidget* CreateHostWindow(TControl* Control) {
    return PlatformWidget(new THostWidget(Control));
}

TPlatformWidget* CreateFormWindow(TControl* Form, std::function<void()> OnCloseRequest) {
    return PlatformWidget(new TFormWidget(Form, std::move(OnCloseRequest)));
}

bool IsHostWindow(TPlatformWidget* Window) {
    return dynamic_cast<THostWidget*>(W(Window)) != nullptr;
}

void SetWindowOpaque(TPlatformWidget* Window, bool Opaque) {
    QWidget* Widget = W(Window);
    if (Widget->testAttribute(Qt::WA_OpaquePaintEvent) == Opaque)
        return;
    Widget->setAttribute(Qt::WA_OpaquePaintEvent, Opaque);
    Widget->update();
}

void RefreshControlOpacity() {
    for (QWidget* Widget : QApplication::allWidgets())
        if (auto* Host = dynamic_cast<THostWidget*>(Widget))
            Host->RefreshOpacity();
}

void AttachWindow(TPlatformWidget* Window, TControl* Control) {
    AttachControl(W(Window), Control);
}

void DestroyWindow(TPlatformWidget* Window) {
    if (TControl* Control = ControlOf(W(Window)))
        DetachControl(Control);
    delete W(Window);
}

void SetParentWindow(TPlatformWidget* Window, TPlatformWidget* Parent) {
    if (W(Window)->parentWidget() != W(Parent))
        W(Window)->setParent(W(Parent));
}

void SetWindowBounds(TPlatformWidget* Window, const TRect& Bounds) {
    QWidget* Widget = W(Window);
    if (Widget->isWindow() && IsFixedSize(Widget))
        Widget->setFixedSize(Bounds.Width(), Bounds.Height());
    Widget->setGeometry(ToQRect(Bounds));
}

void SetWindowVisible(TPlatformWidget* Window, bool Visible) {
    W(Window)->setVisible(Visible);
}

bool WindowShown(TPlatformWidget* Window) {
    return W(Window)->isVisible();
}

void SetWindowEnabled(TPlatformWidget* Window, bool Enabled) {
    W(Window)->setEnabled(Enabled);
}

// Buttons and group boxes show their text themselves, other windows in their caption bar.
void SetWindowText(TPlatformWidget* Window, const AnsiString& Text) {
    const QString Caption = QtText::Decode(Text);
    QWidget* Widget = W(Window);
    if (auto* Button = qobject_cast<QAbstractButton*>(Widget))
        Button->setText(Caption);
    else if (auto* Box = qobject_cast<QGroupBox*>(Widget))
        Box->setTitle(Caption);
    else
        Widget->setWindowTitle(Caption);
}

void SetWindowFont(TPlatformWidget* Window, const TFont& Font) {
    W(Window)->setFont(ToQFont(Font));
}

// Changing the flags of a shown window hides it, so it is shown again.
void SetWindowBorder(TPlatformWidget* Window, TFormBorderStyle Style) {
    QWidget* Widget = W(Window);
    const bool WasVisible = Widget->isVisible();
    Widget->setWindowFlags(WindowFlagsOf(Style));
    if (IsFixedSize(Style)) {
        Widget->setFixedSize(Widget->size());
    } else {
        Widget->setMinimumSize(0, 0);
        Widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    if (WasVisible)
        Widget->show();
}

bool WindowResizable(TPlatformWidget* Window) {
    return !IsFixedSize(W(Window));
}

void MinimizeWindow(TPlatformWidget* Window) {
    W(Window)->showMinimized();
}

void ActivateWindow(TPlatformWidget* Window) {
    W(Window)->raise();
    W(Window)->activateWindow();
}

void BringWindowToFront(TPlatformWidget* Window) {
    W(Window)->raise();
}

void SetWindowHint(TPlatformWidget* Window, const AnsiString& Hint) {
    W(Window)->setToolTip(QtText::Decode(Hint));
}

void RenderWindow(TPlatformWidget* Window, TColor Color, bool OverParent, TBitmap& Result) {
    QWidget* Widget = W(Window);
    const double Ratio = Widget->devicePixelRatioF();
    QImage Image(TDeviceMap{Ratio, {}}.Size(Widget->size()), QImage::Format_ARGB32_Premultiplied);
    Image.setDevicePixelRatio(Ratio);
    Image.fill(ToQColor(Color));
    constexpr auto Flags = QWidget::DrawWindowBackground | QWidget::DrawChildren;
    if (OverParent)
        Widget->parentWidget()->render(&Image, QPoint(), QRegion(Widget->geometry()), Flags);
    else
        Widget->render(&Image, QPoint(), QRegion(), Flags);
    Image.setDevicePixelRatio(1);
    TGraphicsAccess::Image(Result) = Image.convertToFormat(QImage::Format_RGB32);
}

// ---- Painting

void InvalidateWindow(TPlatformWidget* Window) {
    W(Window)->update();
}

void InvalidateWindowRect(TPlatformWidget* Window, const TRect& R) {
    W(Window)->update(R.Left, R.Top, R.Width(), R.Height());
}

void UpdateWindow(TPlatformWidget* Window) {
    QCoreApplication::sendPostedEvents(W(Window)->window(), QEvent::UpdateRequest);
}

void RepaintWindow(TPlatformWidget* Window) {
    W(Window)->repaint();
}

void SetWindowRedraw(TPlatformWidget* Window, bool Redraw) {
    W(Window)->setUpdatesEnabled(Redraw);
}

// ---- Focus and keyboard

bool WindowFocused(TPlatformWidget* Window) {
    return W(Window)->hasFocus();
}

void FocusWindow(TPlatformWidget* Window) {
    W(Window)->window()->activateWindow();
    W(Window)->setFocus(Qt::OtherFocusReason);
}

void SetWindowTabStop(TPlatformWidget* Window, bool TabStop) {
    QWidget* Widget = W(Window);
    if (IsHostWindow(Window)) {
        Widget->setFocusPolicy(TabStop ? Qt::TabFocus : Qt::NoFocus);
        return;
    }
    const int Policy = Widget->focusPolicy();
    Widget->setFocusPolicy(
        static_cast<Qt::FocusPolicy>(TabStop ? Policy | Qt::TabFocus : Policy & ~Qt::TabFocus));
}

void SetTabOrder(TPlatformWidget* First, TPlatformWidget* Second) {
    QWidget::setTabOrder(W(First), W(Second));
}

void SetImeMode(TPlatformWidget* Window, TImeMode Mode) {
    QWidget* Widget = W(Window);
    const bool Off = Mode == imDisable || Mode == imClose || Mode == imSAlpha || Mode == imAlpha;
    Qt::InputMethodHints Hints = Qt::ImhNone;
    if (Mode == imSAlpha || Mode == imAlpha)
        Hints = Qt::ImhPreferLatin | Qt::ImhNoPredictiveText;
    else if (Mode == imHira || Mode == imKata || Mode == imSKata)
        Hints = Qt::ImhPreferLowercase;
    Widget->setAttribute(Qt::WA_InputMethodEnabled, !Off);
    Widget->setInputMethodHints(Hints);
    if (Widget->hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

} // namespace Platform
