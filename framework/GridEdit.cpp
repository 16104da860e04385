// The grid's in-place editor and the input method hand-over.
#include "Grids.h"

#include "GridParts.h"
#include "QtGrid.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

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

AnsiString RefusedTextMessage(TGridCoord Cell) {
    return "セル (列 "_sj + IntToStr(Cell.X) + ", 行 "_sj + IntToStr(Cell.Y) +
           ") に入力された文字の中に、シフトJISで表せない文字があります。"
           "その文字を除いてから確定してください。"_sj;
}

} // namespace

// ---- The line editor

// Hands the editing keys to the grid before the line edit sees them, and tells the grid when
// the editor loses the focus.
class TGridLineEdit : public QLineEdit {
public:
    explicit TGridLineEdit(TInplaceEdit* AEdit) : FEdit(AEdit) { setFrame(false); }

protected:
    // Keys are taken here rather than in keyPressEvent, which Tab never reaches: the widget
    // turns it into a focus move first.
    bool event(QEvent* Event) override {
        if (Event->type() == QEvent::KeyPress && GridTakesKey(*static_cast<QKeyEvent*>(Event)))
            return true;
        return QLineEdit::event(Event);
    }
    void focusOutEvent(QFocusEvent* Event) override {
        QLineEdit::focusOutEvent(Event);
        if (Grid())
            Grid()->EditorFocusLost();
    }

private:
    TCustomGrid* Grid() const { return FEdit->Grid(); }
    bool GridTakesKey(const QKeyEvent& Event) {
        TShiftState Shift;
        const unsigned short Key = KeyOf(Event, Shift);
        return Grid() && Key != 0 && Grid()->EditorKey(Key, Shift);
    }
    TInplaceEdit* FEdit;
};

TInplaceEdit::TInplaceEdit(TComponent* AOwner)
    : TWinControl(AOwner), FGrid(dynamic_cast<TCustomGrid*>(AOwner)) {}

TPlatformWidget* TInplaceEdit::CreateWidget() {
    return PlatformWidget(new TGridLineEdit(this));
}

AnsiString TInplaceEdit::EditText() const {
    AnsiString Value;
    if (!TryEditText(Value))
        throw EConvertError("入力された文字の中に、シフトJISで表せない文字があります。"_sj);
    return Value;
}

bool TInplaceEdit::TryEditText(AnsiString& Value) const {
    return QtText::Encode(static_cast<QLineEdit*>(TControlAccess::Widget(this))->text(), Value);
}

void TInplaceEdit::SetEditText(const AnsiString& Value) {
    static_cast<QLineEdit*>(TControlAccess::Widget(this))->setText(QtText::Decode(Value));
}

void TInplaceEdit::SelectAll() {
    static_cast<QLineEdit*>(TControlAccess::Widget(this))->selectAll();
}

bool TInplaceEdit::Modified() const {
    return static_cast<QLineEdit*>(TControlAccess::Widget(this))->isModified();
}

void TInplaceEdit::SetModified(bool Value) {
    static_cast<QLineEdit*>(TControlAccess::Widget(this))->setModified(Value);
}

// ---- In-place editor

bool TCustomGrid::CanEditShow() const {
    return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) &&
           !ComponentState().Contains(csDesigning) && FCurrent.X >= FFixedCols &&
           FCurrent.Y >= FFixedRows;
}

TInplaceEdit* TCustomGrid::CreateEditor() {
    auto* Editor = new TInplaceEdit(this);
    Editor->SetVisible(false);
    Editor->SetParent(this); // with ParentFont, the editor follows the grid's font
    return Editor;
}

TInplaceEdit* TCustomGrid::Editor() {
    if (!FInplaceEdit) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->FGrid = this;
    }
    return FInplaceEdit;
}

AnsiString TCustomGrid::GetEditText(int ACol, int ARow) {
    AnsiString Value;
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, Value);
    return Value;
}

void TCustomGrid::SetEditText(int ACol, int ARow, const AnsiString& Value) {
    if (OnSetEditText)
        OnSetEditText(this, ACol, ARow, Value);
}

void TCustomGrid::SetEditorMode(bool Value) {
    if (Value)
        ShowEditor();
    else if (CommitEditor())
        HideEditor();
}

void TCustomGrid::ShowEditor() {
    if (!CanEditShow())
        return;
    if (FEditorMode)
        Editor()->SetFocus();
    else
        OpenEditor(GetEditText(FCurrent.X, FCurrent.Y), false, true);
}

void TCustomGrid::OpenEditor(const AnsiString& Text, bool Typed, bool Focus) {
    TInplaceEdit* E = Editor();
    FEditCell = FCurrent;
    FEditorMode = true;
    E->SetEditText(Text);
    E->SetModified(Typed);
    PlaceEditor();
    if (Focus)
        E->SetFocus();
}

void TCustomGrid::PlaceEditor() {
    if (!FEditorMode)
        return;
    const TRect R = CellRect(FEditCell.X, FEditCell.Y);
    if (R.Right > R.Left) {
        FInplaceEdit->SetBounds(R.Left, R.Top, R.Width(), R.Height());
        FInplaceEdit->Show();
    } else if (CommitEditor()) {
        HideEditor(); // scrolled out of view
    }
}

void TCustomGrid::HideEditor() {
    if (!FEditorMode)
        return;
    FEditorMode = false;
    // The grid takes the focus first, so that hiding the editor passes it on to no other
    // control.
    if (FInplaceEdit->Focused() && CanFocus())
        SetFocus();
    FInplaceEdit->Hide();
}

bool TCustomGrid::CommitEditor() {
    if (!FEditorMode || !FInplaceEdit->Modified())
        return true;
    if (FCommitting)
        return false;
    TFlagScope Committing(FCommitting);
    bool Stored = false;
    SafeCall([&] {
        StoreEditorText();
        Stored = true;
    });
    return Stored;
}

void TCustomGrid::StoreEditorText() {
    AnsiString Value;
    if (!FInplaceEdit->TryEditText(Value))
        throw EConvertError(RefusedTextMessage(FEditCell));
    SetEditText(FEditCell.X, FEditCell.Y, Value);
    FInplaceEdit->SetModified(false);
}

void TCustomGrid::CancelEditor() {
    if (!FOptions.Contains(goAlwaysShowEditor)) {
        HideEditor();
        return;
    }
    FInplaceEdit->SetEditText(GetEditText(FEditCell.X, FEditCell.Y));
    FInplaceEdit->SetModified(false);
}

bool TCustomGrid::EditorKey(unsigned short Key, TShiftState Shift) {
    switch (Key) {
    case VK_RETURN:
        SafeCall([&] {
            if (CommitEditor() && !FOptions.Contains(goAlwaysShowEditor))
                HideEditor();
        });
        return true;
    case VK_ESCAPE:
        SafeCall([&] { CancelEditor(); });
        return true;
    case VK_TAB:
        if (!FOptions.Contains(goTabs))
            return false;
        break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        break;
    default:
        return false;
    }
    SafeCall([&] { DispatchKeyDown(Key, Shift); });
    return true;
}

void TCustomGrid::EditorFocusLost() {
    if (!FEditorMode || FCommitting || QApplication::focusWidget() == TControlAccess::Widget(this))
        return;
    InvalidateGridRect(Selection());
    if (CommitEditor() && !FOptions.Contains(goAlwaysShowEditor))
        HideEditor();
}

// An input method may compose on the grid only where typing opens the editor.
void TCustomGrid::UpdateInputMethod() {
    if (!FPlatform->Host)
        return;
    if (CanEditShow())
        ::SetImeMode(this, ImeMode());
    else
        FPlatform->Host->setAttribute(Qt::WA_InputMethodEnabled, false);
}

// The grid window has the focus while an input method composes the first characters of an
// edit: the composition goes on in the editor, which takes the focus once it is committed, so
// that no composition is cut off by a change of focus.
bool TGridEventFilter::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched != FGrid->FPlatform->Host)
        return false;
    switch (Event->type()) {
    case QEvent::InputMethod: {
        if (!FGrid->FEditorMode && !FGrid->CanEditShow())
            return false;
        auto* Input = static_cast<QInputMethodEvent*>(Event);
        SafeCall([&] {
            if (!FGrid->FEditorMode)
                FGrid->OpenEditor({}, true, false);
            QCoreApplication::sendEvent(TControlAccess::Widget(FGrid->FInplaceEdit), Input);
            if (Input->preeditString().isEmpty())
                FGrid->FInplaceEdit->SetFocus();
        });
        return true;
    }
    case QEvent::InputMethodQuery: {
        if (!FGrid->FEditorMode)
            return false;
        auto* Query = static_cast<QInputMethodQueryEvent*>(Event);
        QWidget* Edit = TControlAccess::Widget(FGrid->FInplaceEdit);
        QCoreApplication::sendEvent(Edit, Query);
        for (const Qt::InputMethodQuery Q : {Qt::ImCursorRectangle, Qt::ImAnchorRectangle})
            if (Query->queries() & Q)
                Query->setValue(Q, Query->value(Q).toRect().translated(Edit->pos()));
        return true;
    }
    default:
        return false;
    }
}
