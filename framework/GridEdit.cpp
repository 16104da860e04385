// The grid's in-place editor and the input method hand-over.
#include "Grids.h"

#include "GridParts.h"

namespace {

AnsiString RefusedTextMessage(TGridCoord Cell) {
    return "セル (列 "_sj + IntToStr(Cell.X) + ", 行 "_sj + IntToStr(Cell.Y) +
           ") に入力された文字の中に、シフトJISで表せない文字があります。"
           "その文字を除いてから確定してください。"_sj;
}

} // namespace

// ---- The line editor

TInplaceEdit::TInplaceEdit(TComponent* AOwner)
    : TWinControl(AOwner), FGrid(dynamic_cast<TCustomGrid*>(AOwner)) {}

// The editing keys go to the grid before the editor sees them.
TPlatformWidget* TInplaceEdit::CreateWidget() {
    return Platform::CreateInplaceEdit({[this](unsigned short Key, TShiftState Shift) {
                                            return FGrid && FGrid->EditorKey(Key, Shift);
                                        },
                                        [this](bool ToGrid) {
                                            if (FGrid)
                                                FGrid->EditorFocusLost(ToGrid);
                                        }});
}

AnsiString TInplaceEdit::EditText() const {
    AnsiString Value;
    if (!TryEditText(Value))
        throw EConvertError("入力された文字の中に、シフトJISで表せない文字があります。"_sj);
    return Value;
}

bool TInplaceEdit::TryEditText(AnsiString& Value) const {
    return Platform::GetEditText(Widget(), Value);
}

void TInplaceEdit::SetEditText(const AnsiString& Value) {
    Platform::SetEditText(Widget(), Value);
}

void TInplaceEdit::InsertText(const AnsiString& Value) {
    Platform::InsertEditText(Widget(), Value);
}

void TInplaceEdit::SelectAll() {
    Platform::SelectAllEditText(Widget());
}

bool TInplaceEdit::Modified() const {
    return Platform::EditModified(Widget());
}

void TInplaceEdit::SetModified(bool Value) {
    Platform::SetEditModified(Widget(), Value);
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

void TCustomGrid::EditorFocusLost(bool ToGrid) {
    if (!FEditorMode || FCommitting || ToGrid)
        return;
    InvalidateGridRect(Selection());
    if (CommitEditor() && !FOptions.Contains(goAlwaysShowEditor))
        HideEditor();
}

// An input method may compose on the grid only where typing opens the editor.
void TCustomGrid::UpdateInputMethod() {
    if (!FPlatform->Attached())
        return;
    ::SetImeMode(this, CanEditShow() ? ImeMode() : imDisable);
}

// The grid window has the focus while an input method composes the first characters of an
// edit: the composition goes on in the editor, which takes the focus once it is committed, so
// that no composition is cut off by a change of focus.
TPlatformWidget* TCustomGrid::ComposingEditor(bool Open) {
    if (!FEditorMode && !(Open && CanEditShow()))
        return nullptr;
    if (!FEditorMode)
        SafeCall([this] { OpenEditor({}, true, false); });
    return FEditorMode ? FInplaceEdit->Widget() : nullptr;
}
