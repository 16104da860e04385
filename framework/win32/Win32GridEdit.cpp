// The grid's in-place editor on a frameless EDIT window, and the hand-over of input method
// compositions from the grid's window to it.
#include "Win32Host.h"

#include "Win32Subclass.h"
#include "Win32Text.h"

namespace {

constexpr UINT_PTR EditorSubclass = 0x57434745;   // "WCGE"
constexpr UINT_PTR HandoverSubclass = 0x57434843; // "WCHC"

// Types Text at the caret of Edit, as the user's typing does.
void TypeInto(HWND Edit, const std::wstring& Text) {
    SendMessageW(Edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Text.c_str()));
    SendMessageW(Edit, EM_SETMODIFY, TRUE, 0);
}

// Hands the editing keys to the owner before the edit control sees them, and tells it when
// the editor loses the focus.
class TInplaceEditor {
public:
    explicit TInplaceEditor(Platform::TInplaceEditEvents AEvents) : FEvents(std::move(AEvents)) {}

    bool Handle(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
        switch (Msg) {
        // Tab and Enter reach the editor, not the dialog-style navigation of its form.
        case WM_GETDLGCODE:
            Result = DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_WANTTAB;
            return true;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            FSwallowChar = FEvents.OnKey(LayerKeyOf(WParam), CurrentShiftState());
            Result = 0;
            return FSwallowChar;
        // The character of a key the owner took must not reach the edit control as well.
        case WM_CHAR:
        case WM_SYSCHAR:
            if (!FSwallowChar)
                return false;
            FSwallowChar = false;
            Result = 0;
            return true;
        // Characters an input method sends one by one, typed as they come.
        case WM_IME_CHAR:
            TypeInto(Window, std::wstring(1, static_cast<wchar_t>(WParam)));
            Result = 0;
            return true;
        case WM_KILLFOCUS:
            Result = DefSubclass(Window, Msg, WParam, LParam);
            FEvents.OnFocusLost(reinterpret_cast<HWND>(WParam) == GetParent(Window));
            return true;
        default:
            return false;
        }
    }

private:
    Platform::TInplaceEditEvents FEvents;
    bool FSwallowChar = false;
};

LRESULT CALLBACK EditorProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR,
                            DWORD_PTR Data) {
    auto* Editor = reinterpret_cast<TInplaceEditor*>(Data);
    LRESULT Result = 0;
    if (Editor->Handle(Window, Msg, WParam, LParam, Result))
        return Result;
    if (Msg == WM_NCDESTROY) {
        RemoveSubclass(Window, EditorProc, EditorSubclass);
        delete Editor;
    }
    return DefSubclass(Window, Msg, WParam, LParam);
}

// The finished text of the composition going on in Window; empty when none is finished.
std::wstring ResultString(HWND Window) {
    const HIMC Context = ImmGetContext(Window);
    if (!Context)
        return {};
    std::wstring Text;
    const LONG Bytes = ImmGetCompositionStringW(Context, GCS_RESULTSTR, nullptr, 0);
    if (Bytes > 0) {
        Text.resize(static_cast<std::size_t>(Bytes) / sizeof(wchar_t));
        ImmGetCompositionStringW(Context, GCS_RESULTSTR, Text.data(), static_cast<DWORD>(Bytes));
    }
    ImmReleaseContext(Window, Context);
    return Text;
}

// Shows the input method's composition over the editor.
void PlaceComposition(HWND Window, HWND Edit) {
    const HIMC Context = ImmGetContext(Window);
    if (!Context)
        return;
    RECT Area{};
    GetWindowRect(Edit, &Area);
    MapWindowPoints(nullptr, Window, reinterpret_cast<POINT*>(&Area), 2);
    COMPOSITIONFORM Form{CFS_POINT, {Area.left, Area.top}, Area};
    ImmSetCompositionWindow(Context, &Form);
    ImmReleaseContext(Window, Context);
}

// Passes the compositions of a window to the editor its owner names. A finished composition
// comes as its result string (WM_IME_COMPOSITION), or character by character (WM_IME_CHAR)
// where the input method sends only those; its end (WM_IME_ENDCOMPOSITION) hands the focus on.
class TCompositionHook : public Platform::TCompositionHandover {
public:
    TCompositionHook(HWND AWindow, std::function<TPlatformWidget*(bool)> AEditor,
                     std::function<void()> ACommitted)
        : FWindow(AWindow), FEditor(std::move(AEditor)), FCommitted(std::move(ACommitted)) {
        SetSubclass(FWindow, HookProc, HandoverSubclass, reinterpret_cast<DWORD_PTR>(this));
    }
    ~TCompositionHook() override {
        if (IsWindow(FWindow))
            RemoveSubclass(FWindow, HookProc, HandoverSubclass);
    }
    TCompositionHook(const TCompositionHook&) = delete;
    TCompositionHook& operator=(const TCompositionHook&) = delete;

private:
    static LRESULT CALLBACK HookProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR,
                                     DWORD_PTR Data) {
        auto* Hook = reinterpret_cast<TCompositionHook*>(Data);
        if (Msg == WM_NCDESTROY)
            RemoveSubclass(Window, HookProc, HandoverSubclass);
        else if (Hook->Handle(Msg, WParam, LParam))
            return 0;
        return DefSubclass(Window, Msg, WParam, LParam);
    }

    bool Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
        switch (Msg) {
        case WM_IME_STARTCOMPOSITION:
            if (const HWND Edit = Editor(true))
                PlaceComposition(FWindow, Edit);
            return false;
        case WM_IME_COMPOSITION:
            return (LParam & GCS_RESULTSTR) && TakeResult(ResultString(FWindow));
        case WM_IME_CHAR:
            return TakeResult(std::wstring(1, static_cast<wchar_t>(WParam)));
        case WM_IME_ENDCOMPOSITION:
            if (Editor(false))
                FCommitted();
            return false;
        default:
            return false;
        }
    }
    bool TakeResult(const std::wstring& Text) {
        const HWND Edit = Text.empty() ? nullptr : Editor(true);
        if (!Edit)
            return false;
        TypeInto(Edit, Text);
        return true;
    }
    HWND Editor(bool Open) const { return Hwnd(FEditor(Open)); }

    HWND FWindow;
    std::function<TPlatformWidget*(bool)> FEditor;
    std::function<void()> FCommitted;
};

} // namespace

namespace Platform {

TPlatformWidget* CreateInplaceEdit(TInplaceEditEvents Events) {
    const HWND Edit =
        CreateWindowExW(0, WC_EDITW, L"", WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL, 0, 0, 0, 0,
                        ParkingWindow(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SetSubclass(Edit, EditorProc, EditorSubclass,
                      reinterpret_cast<DWORD_PTR>(new TInplaceEditor(std::move(Events))));
    return PlatformWidget(Edit);
}

bool GetEditText(TPlatformWidget* Edit, AnsiString& Text) {
    const HWND Window = Hwnd(Edit);
    std::wstring Wide(static_cast<std::size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
    Wide.resize(static_cast<std::size_t>(
        GetWindowTextW(Window, Wide.data(), static_cast<int>(Wide.size()))));
    std::string Bytes;
    const bool Whole = ScreenToAnsi(std::u16string(Wide.begin(), Wide.end()), Bytes);
    Text = AnsiString(Bytes);
    return Whole;
}

void SetEditText(TPlatformWidget* Edit, const AnsiString& Text) {
    const HWND Window = Hwnd(Edit);
    SetWindowTextW(Window, WideOf(Text).c_str());
    const auto End = static_cast<WPARAM>(GetWindowTextLengthW(Window));
    SendMessageW(Window, EM_SETSEL, End, static_cast<LPARAM>(End));
    SendMessageW(Window, EM_SETMODIFY, FALSE, 0);
}

void InsertEditText(TPlatformWidget* Edit, const AnsiString& Text) {
    TypeInto(Hwnd(Edit), WideOf(Text));
}

void SelectAllEditText(TPlatformWidget* Edit) {
    SendMessageW(Hwnd(Edit), EM_SETSEL, 0, -1);
}

bool EditModified(TPlatformWidget* Edit) {
    return SendMessageW(Hwnd(Edit), EM_GETMODIFY, 0, 0) != 0;
}

void SetEditModified(TPlatformWidget* Edit, bool Modified) {
    SendMessageW(Hwnd(Edit), EM_SETMODIFY, Modified, 0);
}

std::unique_ptr<TCompositionHandover>
HandOverComposition(TPlatformWidget* Window, std::function<TPlatformWidget*(bool Open)> Editor,
                    std::function<void()> Committed) {
    return std::make_unique<TCompositionHook>(Hwnd(Window), std::move(Editor),
                                              std::move(Committed));
}

} // namespace Platform
