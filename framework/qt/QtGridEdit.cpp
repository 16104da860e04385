// The grid's in-place editor on a line edit, and the hand-over of input method compositions
// from the grid's window to it.
#include "PlatformControls.h"

#include "QtHost.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

namespace {

// The platform's key for a Qt key event; Backtab is Tab with Shift.
unsigned short KeyOf(const QKeyEvent& Event, TShiftState& Shift) {
    Shift = ShiftStateOf(Event.modifiers(), Qt::NoButton);
    if (Event.key() == Qt::Key_Backtab) {
        Shift.Include(ssShift);
        return VK_TAB;
    }
    return VirtualKeyOf(Event.key(), Event.modifiers());
}

// Hands the editing keys to the owner before the line edit sees them, and tells it when the
// editor loses the focus.
class TGridLineEdit : public QLineEdit {
public:
    explicit TGridLineEdit(Platform::TInplaceEditEvents AEvents) : FEvents(std::move(AEvents)) {
        setFrame(false);
    }

protected:
    // Keys are taken here rather than in keyPressEvent, which Tab never reaches: the widget
    // turns it into a focus move first.
    bool event(QEvent* Event) override {
        if (Event->type() == QEvent::KeyPress && OwnerTakesKey(*static_cast<QKeyEvent*>(Event)))
            return true;
        return QLineEdit::event(Event);
    }
    void focusOutEvent(QFocusEvent* Event) override {
        QLineEdit::focusOutEvent(Event);
        FEvents.OnFocusLost(QApplication::focusWidget() == parentWidget());
    }

private:
    bool OwnerTakesKey(const QKeyEvent& Event) {
        TShiftState Shift;
        const unsigned short Key = KeyOf(Event, Shift);
        return Key != 0 && FEvents.OnKey(Key, Shift);
    }
    Platform::TInplaceEditEvents FEvents;
};

QLineEdit* LineEdit(TPlatformWidget* Edit) {
    return QtWidget<QLineEdit>(Edit);
}

// Passes the input method events of a window to the editor its owner names.
class TCompositionFilter : public QObject, public Platform::TCompositionHandover {
public:
    TCompositionFilter(QWidget* AWindow, std::function<TPlatformWidget*(bool)> AEditor,
                       std::function<void()> ACommitted)
        : FWindow(AWindow), FEditor(std::move(AEditor)), FCommitted(std::move(ACommitted)) {
        FWindow->installEventFilter(this);
    }
    ~TCompositionFilter() override {
        if (FWindow)
            FWindow->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Watched != FWindow)
            return false;
        switch (Event->type()) {
        case QEvent::InputMethod:
            return Compose(static_cast<QInputMethodEvent*>(Event));
        case QEvent::InputMethodQuery:
            return Query(static_cast<QInputMethodQueryEvent*>(Event));
        default:
            return false;
        }
    }

private:
    bool Compose(QInputMethodEvent* Input) {
        TPlatformWidget* Edit = FEditor(true);
        if (!Edit)
            return false;
        QCoreApplication::sendEvent(QtWidget(Edit), Input);
        if (Input->preeditString().isEmpty())
            FCommitted();
        return true;
    }
    // The editor answers, with its rectangles in the window's coordinates.
    bool Query(QInputMethodQueryEvent* Query) {
        TPlatformWidget* Edit = FEditor(false);
        if (!Edit)
            return false;
        QWidget* Widget = QtWidget(Edit);
        QCoreApplication::sendEvent(Widget, Query);
        for (const Qt::InputMethodQuery Q : {Qt::ImCursorRectangle, Qt::ImAnchorRectangle})
            if (Query->queries() & Q)
                Query->setValue(Q, Query->value(Q).toRect().translated(Widget->pos()));
        return true;
    }
    QPointer<QWidget> FWindow;
    std::function<TPlatformWidget*(bool)> FEditor;
    std::function<void()> FCommitted;
};

} // namespace

namespace Platform {

TPlatformWidget* CreateInplaceEdit(TInplaceEditEvents Events) {
    return PlatformWidget(new TGridLineEdit(std::move(Events)));
}

bool GetEditText(TPlatformWidget* Edit, AnsiString& Text) {
    return QtText::Encode(LineEdit(Edit)->text(), Text);
}

void SetEditText(TPlatformWidget* Edit, const AnsiString& Text) {
    LineEdit(Edit)->setText(QtText::Decode(Text));
}

void InsertEditText(TPlatformWidget* Edit, const AnsiString& Text) {
    LineEdit(Edit)->insert(QtText::Decode(Text));
}

void SelectAllEditText(TPlatformWidget* Edit) {
    LineEdit(Edit)->selectAll();
}

bool EditModified(TPlatformWidget* Edit) {
    return LineEdit(Edit)->isModified();
}

void SetEditModified(TPlatformWidget* Edit, bool Modified) {
    LineEdit(Edit)->setModified(Modified);
}

std::unique_ptr<TCompositionHandover>
HandOverComposition(TPlatformWidget* Window, std::function<TPlatformWidget*(bool Open)> Editor,
                    std::function<void()> Committed) {
    return std::make_unique<TCompositionFilter>(QtWidget(Window), std::move(Editor),
                                                std::move(Committed));
}

} // namespace Platform
