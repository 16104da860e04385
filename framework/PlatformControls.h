// The platform's standard controls and its open dialog: push button, check box, radio button,
// group box, list box, memo, the grid's in-place editor and scroll bars, and the open-file
// dialog with a template area below its standard controls. Texts are code page 932 bytes; the
// back end converts them where they meet the screen. Captions change through SetWindowText.
// Callbacks run from the platform's event loop and must not let exceptions out.
#pragma once

#include "WinTypes.h"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class TWinControl;

namespace Platform {

// ---- Buttons (BUTTON)

// A push button (BS_PUSHBUTTON) showing Caption, not yet the default button; OnClick runs when
// the user clicks it (BN_CLICKED).
TPlatformWidget* CreateButton(const AnsiString& Caption, std::function<void()> OnClick);
// Whether Enter in its window presses the button (BS_DEFPUSHBUTTON).
void SetButtonDefault(TPlatformWidget* Button, bool Default);

// The states of a check box, in the order of BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE.
enum class TCheckState { Unchecked, Checked, Grayed };

// A check box (BS_AUTOCHECKBOX, or BS_AUTO3STATE when AllowGrayed) showing Caption in State;
// OnUserChange gets the new state whenever the user changes it.
TPlatformWidget* CreateCheckBox(const AnsiString& Caption, bool AllowGrayed, TCheckState State,
                                std::function<void(TCheckState)> OnUserChange);
// Whether the user's clicks pass through the grayed state.
void SetCheckBoxAllowGrayed(TPlatformWidget* CheckBox, bool AllowGrayed);
// Shows State (BM_SETCHECK) without a notice.
void SetCheckBoxState(TPlatformWidget* CheckBox, TCheckState State);

// A group box (BS_GROUPBOX): a frame with Caption at its top that holds other windows.
TPlatformWidget* CreateGroupBox(const AnsiString& Caption);

// A new shown radio button (BS_AUTORADIOBUTTON) in Parent; OnChecked runs when the user checks
// it.
TPlatformWidget* CreateRadioButton(TPlatformWidget* Parent, const AnsiString& Caption,
                                   std::function<void()> OnChecked);
// Checks or unchecks Button without touching its siblings (BM_SETCHECK).
void SetRadioChecked(TPlatformWidget* Button, bool Checked);

// ---- List box (LISTBOX, LBS_NODATA | LBS_OWNERDRAWFIXED)

// The bytes of item Index as the owner holds them now; nothing when the owner no longer has
// that item (its count changed and the list box was not told yet). The view needs to stay
// valid only until the next call.
using TListItemText = std::function<std::optional<std::string_view>(int Index)>;

// A single-selection list box without a horizontal scroll bar whose Count items the owner
// holds: it asks ItemText for the rows it shows only. Rows are ItemHeight pixels high, never
// lower than a line of the box's font. OnUserSelect gets the row the user selects.
TPlatformWidget* CreateListBox(int Count, int ItemHeight, TListItemText ItemText,
                               std::function<void(int Index)> OnUserSelect);
// Shows Count items, each read anew (LB_SETCOUNT), without a notice; the selection is cleared.
void SetListBoxCount(TPlatformWidget* ListBox, int Count);
void SetListBoxItemHeight(TPlatformWidget* ListBox, int ItemHeight);
// Selects row Index and scrolls it into view, or clears the selection for -1 (LB_SETCURSEL),
// without a notice.
void SetListBoxItemIndex(TPlatformWidget* ListBox, int Index);

// ---- Memo (EDIT, ES_MULTILINE)

// An empty multi-line editor; OnUserEdit runs after each change of its text by the user
// (EN_CHANGE).
TPlatformWidget* CreateMemo(std::function<void()> OnUserEdit);
// Wrapped lines break at the editor's width; a scroll bar that is off never shows.
void SetMemoOptions(TPlatformWidget* Memo, bool ReadOnly, bool WordWrap, bool HorzScrollBar,
                    bool VertScrollBar);
// Shows Lines, one a line, without a notice; bytes that do not decode show as replacement
// characters.
void SetMemoLines(TPlatformWidget* Memo, const TStringList& Lines);
// The editor's lines into Lines (cleared first). A line that still shows what line of the same
// number in Shown showed keeps Shown's bytes, also those that did not decode; the others are
// encoded, with "?" for characters that code page 932 lacks.
void GetMemoLines(TPlatformWidget* Memo, const TStringList& Shown, TStringList& Lines);

// ---- The grid's in-place editor (EDIT, frameless) and its hand-over of compositions

struct TInplaceEditEvents {
    // A key pressed in the editor, before the editor acts on it (Tab included); true when the
    // owner took it.
    std::function<bool(unsigned short Key, TShiftState Shift)> OnKey;
    // The editor lost the focus; ToParent: to its parent window.
    std::function<void(bool ToParent)> OnFocusLost;
};
TPlatformWidget* CreateInplaceEdit(TInplaceEditEvents Events);

// The calls below take the editor's window that CreateInplaceEdit made.
// False when the text holds a character that code page 932 lacks; Text then has "?" for it.
bool GetEditText(TPlatformWidget* Edit, AnsiString& Text);
// Replaces the text, caret at its end.
void SetEditText(TPlatformWidget* Edit, const AnsiString& Text);
// Types Text at the caret, over the selection (EM_REPLACESEL).
void InsertEditText(TPlatformWidget* Edit, const AnsiString& Text);
void SelectAllEditText(TPlatformWidget* Edit);
// The editor's modified flag (EM_GETMODIFY, EM_SETMODIFY): set by the user's changes.
bool EditModified(TPlatformWidget* Edit);
void SetEditModified(TPlatformWidget* Edit, bool Modified);

// Lets an input method compose for Window in an in-place editor, as long as the object lives.
class TCompositionHandover {
public:
    virtual ~TCompositionHandover() = default;
};
// While Window has the focus, a composition goes to the editor that Editor names: Open is true
// when a composition starts, and Editor may open the editor for it; it gives null when Window
// takes no text. Committed runs when the editor got the composition's text: the editor takes
// the focus then, not earlier, so that a change of focus does not cut the composition off.
std::unique_ptr<TCompositionHandover>
HandOverComposition(TPlatformWidget* Window, std::function<TPlatformWidget*(bool Open)> Editor,
                    std::function<void()> Committed);

// ---- Scroll bars (SCROLLBAR, SBS_HORZ and SBS_VERT)

enum class TScrollBarKind { Horizontal, Vertical };

struct TScrollBarInfo {
    bool Visible = false;
    TRect Bounds;          // in the window's client coordinates
    bool Tracking = false; // the position changes while the thumb is dragged, else on release
    int Min = 0;
    int Max = 0; // the last position
    int Page = 0;
    bool operator==(const TScrollBarInfo&) const = default;
};

// Two scroll bar controls that a window which scrolls its content itself lays out on it.
class TScrollBars {
public:
    virtual ~TScrollBars() = default;
    // False once the window has gone, taking the bars with it.
    virtual bool Alive() const = 0;
    // The width of a vertical bar, the height of a horizontal one (SM_CXVSCROLL).
    virtual int Extent() const = 0;
    // Places, sizes and shows or hides the bar (SetScrollInfo), without a notice; a hidden bar
    // keeps nothing else of Info.
    virtual void SetInfo(TScrollBarKind Kind, const TScrollBarInfo& Info) = 0;
    virtual int Position(TScrollBarKind Kind) const = 0;
    // Moves the thumb, kept within Min..Max, without a notice.
    virtual void SetPosition(TScrollBarKind Kind, int Position) = 0;
};
// Hidden bars on Window, never taking the focus; OnScroll gets the position the user moves a
// bar to.
std::unique_ptr<TScrollBars> CreateScrollBars(TPlatformWidget* Window,
                                              std::function<void(TScrollBarKind, int)> OnScroll);

// ---- The open dialog (GetOpenFileName with OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE)

struct TFileFilter {
    AnsiString Description;
    AnsiString Patterns; // separated by ";"; "*.*" is every file
};

struct TOpenDialogSetup {
    AnsiString Title; // empty: the platform's own
    std::vector<TFileFilter> Filters;
    int FilterIndex = 1;   // 1-based, within Filters
    AnsiString DefaultExt; // without the dot; empty: none
    AnsiString Folder;     // empty: the current folder
    AnsiString FileName;   // preselected, without a folder; empty: none
    bool MultiSelect = false;
    bool FileMustExist = false;
    bool ShowHidden = false;
    bool Sizable = true;
    bool PlacesBar = true;
    // A control the dialog holds in a band TemplateHeight high below its standard controls,
    // sized to the band while the dialog runs; null for none.
    TWinControl* TemplateArea = nullptr;
    int TemplateHeight = 0;
    // How far the area reaches up over the band's top into the standard controls' area, where
    // the platform lays both into one window; pixels.
    int TemplateReach = 0;
};

struct TOpenDialogEvents {
    // Laid out at its full size, template area in place, and about to show (CDN_INITDONE);
    // Dialog stays valid until OnClose returns. The notices below come only after it.
    std::function<void(TPlatformWidget* Dialog)> OnShow;
    // The full path of the new selection (CDN_SELCHANGE).
    std::function<void(const AnsiString& Path)> OnSelectionChange;
    // The file type the user chose, 1-based; 0 when the dialog cannot tell (CDN_TYPECHANGE).
    std::function<void(int FilterIndex)> OnFilterChange;
    // The user closed the dialog; the caller takes its controls off the template area here,
    // which goes with the dialog.
    std::function<void()> OnClose;
};

struct TOpenDialogResult {
    std::vector<AnsiString> Files; // full paths with the platform's separator
    int FilterIndex = 0;           // as OnFilterChange
};

// Runs the dialog modally, centred over the program's active window, with a file list in
// detail view whose columns show their texts whole; it refuses names that code page 932 cannot
// hold, with a message. True, with Result filled, when the user confirmed a choice.
bool ExecuteOpenDialog(const TOpenDialogSetup& Setup, const TOpenDialogEvents& Events,
                       TOpenDialogResult& Result);
// While the dialog runs (CDM_SETDEFEXT): appended to a typed name without an extension.
void SetOpenDialogDefaultExt(TPlatformWidget* Dialog, const AnsiString& Ext);
// The text of the file-name field (read and set with the dialog's CDM_ messages); setting it
// changes what the user sees, not the selection.
AnsiString OpenDialogFileNameText(TPlatformWidget* Dialog);
void SetOpenDialogFileNameText(TPlatformWidget* Dialog, const AnsiString& Text);
// Where the standard controls stand: the dialog's client area above the template area.
TRect OpenDialogStandardRect(TPlatformWidget* Dialog);

} // namespace Platform
