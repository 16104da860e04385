// The modal-window driver on Win32: a thread timer, which runs inside the modal loops of the
// open dialog and of message boxes too, looks for the dialog window (#32770) of this thread
// that an answer waits for and answers it from inside its loop.
#include "Win32Host.h"

#include "Win32Text.h"

#include <algorithm>
#include <vector>

namespace TestDriver {

namespace {

constexpr UINT PollInterval = 5;
constexpr DWORD SelectTimeout = 5000;
// The static control that shows a message box's text.
constexpr int MessageTextId = 0xFFFF;

HWND ShellView(HWND Dialog) {
    return FindWindowExW(Dialog, nullptr, L"SHELLDLL_DefView", nullptr);
}

bool IsDialogWindow(HWND Window) {
    wchar_t Class[16] = {};
    GetClassNameW(Window, Class, 16);
    return std::wstring_view(Class) == L"#32770" && IsWindowVisible(Window);
}

bool IsOpenDialog(HWND Window) {
    return IsDialogWindow(Window) && ShellView(Window);
}

bool IsMessageBox(HWND Window) {
    return IsDialogWindow(Window) && !ShellView(Window) && GetDlgItem(Window, MessageTextId);
}

// The first top-level window of this thread that Wanted accepts and that takes input.
HWND ThreadWindow(bool (*Wanted)(HWND)) {
    struct TSearch {
        bool (*Wanted)(HWND);
        HWND Found;
    } Search{Wanted, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND Window, LPARAM Data) {
            auto& S = *reinterpret_cast<TSearch*>(Data);
            if (!IsWindowEnabled(Window) || !S.Wanted(Window))
                return TRUE;
            S.Found = Window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&Search));
    return Search.Found;
}

std::wstring TextOf(HWND Window) {
    std::wstring Text(static_cast<std::size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
    Text.resize(static_cast<std::size_t>(
        GetWindowTextW(Window, Text.data(), static_cast<int>(Text.size()))));
    return Text;
}

// ---- Answers waiting for their window

struct TAnswer {
    bool (*Wanted)(HWND);
    std::function<void(HWND)> Give;
};

std::vector<TAnswer>& Waiting() {
    static std::vector<TAnswer> Answers;
    return Answers;
}

UINT_PTR PollTimer = 0;

// An answer leaves the list before it runs: the loops it opens run the timer again.
void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    std::vector<TAnswer>& Answers = Waiting();
    for (auto Answer = Answers.begin(); Answer != Answers.end(); ++Answer) {
        const HWND Window = ThreadWindow(Answer->Wanted);
        if (!Window)
            continue;
        const std::function<void(HWND)> Give = std::move(Answer->Give);
        Answers.erase(Answer);
        if (Answers.empty() && PollTimer) {
            KillTimer(nullptr, PollTimer);
            PollTimer = 0;
        }
        SafeCall([&] { Give(Window); });
        return;
    }
}

void WhenShown(bool (*Wanted)(HWND), std::function<void(HWND)> Give) {
    Waiting().push_back({Wanted, std::move(Give)});
    if (!PollTimer)
        PollTimer = SetTimer(nullptr, 0, PollInterval, Poll);
}

HWND ShownOpenDialog() {
    return ThreadWindow(IsOpenDialog);
}

HWND NameField(HWND Dialog) {
    const HWND Combo = GetDlgItem(Dialog, cmb13);
    return Combo ? Combo : GetDlgItem(Dialog, edt1);
}

void Type(const std::wstring& Name) {
    if (const HWND Dialog = ShownOpenDialog())
        if (const HWND Field = NameField(Dialog))
            SetWindowTextW(Field, Name.c_str());
}

void Press(HWND Dialog, int Button) {
    SendMessageW(Dialog, WM_COMMAND, MAKEWPARAM(Button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(Dialog, Button)));
}

// Handles the messages that came in until Done holds or the time is up.
bool PumpUntil(const std::function<bool()>& Done, DWORD Timeout) {
    const ULONGLONG End = GetTickCount64() + Timeout;
    while (!Done()) {
        const ULONGLONG Now = GetTickCount64();
        if (Now >= End)
            return false;
        MsgWaitForMultipleObjects(
            0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(End - Now, 50)), QS_ALLINPUT);
        MSG Msg;
        while (PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&Msg);
            DispatchMessageW(&Msg);
        }
    }
    return true;
}

// The row of the file list that shows Name, with or without its extension; -1 when none does.
int ItemNamed(HWND List, const std::wstring& Name) {
    const std::wstring Stem = Name.substr(0, Name.rfind(L'.'));
    const auto Count = static_cast<int>(SendMessageW(List, LVM_GETITEMCOUNT, 0, 0));
    for (int Item = 0; Item < Count; ++Item) {
        wchar_t Text[MAX_PATH] = {};
        LVITEMW Query{};
        Query.pszText = Text;
        Query.cchTextMax = MAX_PATH;
        SendMessageW(List, LVM_GETITEMTEXTW, static_cast<WPARAM>(Item),
                     reinterpret_cast<LPARAM>(&Query));
        if (CompareStringOrdinal(Text, -1, Name.c_str(), -1, TRUE) == CSTR_EQUAL ||
            CompareStringOrdinal(Text, -1, Stem.c_str(), -1, TRUE) == CSTR_EQUAL)
            return Item;
    }
    return -1;
}

std::wstring FolderOf(const std::wstring& Path) {
    const std::size_t Slash = Path.find_last_of(L"\\/");
    return Slash == std::wstring::npos ? std::wstring() : Path.substr(0, Slash);
}

std::wstring ShownFolder(HWND Dialog) {
    wchar_t Folder[MAX_PATH] = {};
    SendMessageW(Dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(Folder));
    return Folder;
}

// Goes to Folder as the user does who types it and presses Enter.
void OpenFolder(HWND Dialog, const std::wstring& Folder) {
    if (Folder.empty() || CompareStringOrdinal(ShownFolder(Dialog).c_str(), -1, Folder.c_str(), -1,
                                               TRUE) == CSTR_EQUAL)
        return;
    const HWND Field = NameField(Dialog);
    const std::wstring Typed = TextOf(Field);
    SetWindowTextW(Field, Folder.c_str());
    Press(Dialog, IDOK);
    SetWindowTextW(Field, Typed.c_str());
}

// The selection's notice that the dialog sends its hook's window, its child dialog
// (CDN_SELCHANGE), naming Path.
void NotifySelection(HWND Dialog, std::wstring Path) {
    const HWND Hook = FindWindowExW(Dialog, nullptr, L"#32770", nullptr);
    if (!Hook)
        return;
    OFNOTIFYW Notice{};
    Notice.hdr.hwndFrom = Dialog;
    Notice.hdr.code = CDN_SELCHANGE;
    Notice.pszFile = Path.data();
    SendMessageW(Hook, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Notice));
}

} // namespace

void AnswerOpenDialog(const AnsiString& Path, std::function<void()> Inside) {
    WhenShown(IsOpenDialog, [Path, Inside = std::move(Inside)](HWND Dialog) {
        if (Inside)
            Inside();
        if (!IsWindow(Dialog))
            return;
        if (Path.empty()) {
            Press(Dialog, IDCANCEL);
            return;
        }
        // Typed as a user of the system writes a path: the dialog takes no "/" in a name.
        std::wstring Typed = WideOf(Path);
        std::replace(Typed.begin(), Typed.end(), L'/', L'\\');
        Type(Typed);
        ConfirmOpenDialog();
    });
}

void TypeInOpenDialog(const AnsiString& Name) {
    Type(WideOf(Name));
}

void TypeInOpenDialog(const std::u16string& Name) {
    Type(std::wstring(Name.begin(), Name.end()));
}

AnsiString OpenDialogNameText() {
    const HWND Dialog = ShownOpenDialog();
    const HWND Field = Dialog ? NameField(Dialog) : nullptr;
    return Field ? AnsiOf(TextOf(Field)) : AnsiString();
}

void ConfirmOpenDialog() {
    if (const HWND Dialog = ShownOpenDialog())
        Press(Dialog, IDOK);
}

// Selecting the row as a click does sends the dialog its selection notice.
bool SelectInOpenDialog(const AnsiString& Path) {
    const HWND Dialog = ShownOpenDialog();
    if (!Dialog)
        return false;
    const std::wstring Wide = WideOf(Path);
    OpenFolder(Dialog, FolderOf(Wide));
    const std::wstring Name = Wide.substr(Wide.find_last_of(L"\\/") + 1);
    HWND List = nullptr;
    int Item = -1;
    if (!PumpUntil(
            [&] {
                const HWND View = IsWindow(Dialog) ? ShellView(Dialog) : nullptr;
                List = View ? FindWindowExW(View, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
                return List && (Item = ItemNamed(List, Name)) >= 0;
            },
            SelectTimeout))
        return false;
    SendMessageW(List, LVM_ENSUREVISIBLE, static_cast<WPARAM>(Item), FALSE);
    LVITEMW State{};
    State.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(List, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&State));
    State.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(List, LVM_SETITEMSTATE, static_cast<WPARAM>(Item),
                 reinterpret_cast<LPARAM>(&State));
    return true;
}

void SendOpenDialogSelection(const AnsiString& Path) {
    if (const HWND Dialog = ShownOpenDialog())
        NotifySelection(Dialog, WideOf(Path));
}

AnsiString OpenDialogConfirmText() {
    const HWND Dialog = ShownOpenDialog();
    const HWND Open = Dialog ? GetDlgItem(Dialog, IDOK) : nullptr;
    return Open ? AnsiOf(TextOf(Open)) : AnsiString();
}

TRect OpenDialogFrame() {
    const HWND Dialog = ShownOpenDialog();
    RECT Frame{};
    if (!Dialog || !GetWindowRect(Dialog, &Frame))
        return {};
    return Rect(Frame.left, Frame.top, Frame.right, Frame.bottom);
}

// What the screen shows where the dialog stands.
std::unique_ptr<TBitmap> OpenDialogImage() {
    const TRect Frame = OpenDialogFrame();
    if (Frame.Width() <= 0 || Frame.Height() <= 0)
        return nullptr;
    UpdateWindow(ShownOpenDialog());
    auto Image = std::make_unique<TBitmap>(Frame.Width(), Frame.Height());
    TPlatformImage& Pixels = TGraphicsAccess::Image(*Image);
    const HDC Screen = GetDC(nullptr);
    BitBlt(Pixels.Dc, 0, 0, Frame.Width(), Frame.Height(), Screen, Frame.Left, Frame.Top, SRCCOPY);
    ReleaseDC(nullptr, Screen);
    ImageChanged(Pixels);
    return Image;
}

void AnswerMessageBox(std::function<void(const AnsiString& Text)> Inside, int Button) {
    WhenShown(IsMessageBox, [Inside = std::move(Inside), Button](HWND Box) {
        if (Inside)
            Inside(AnsiOf(TextOf(GetDlgItem(Box, MessageTextId))));
        Press(Box, GetDlgItem(Box, Button) ? Button : IDCANCEL);
    });
}

void AnswerMessageBox(AnsiString* Seen, int Button) {
    AnswerMessageBox([Seen](const AnsiString& Text) { *Seen = Text; }, Button);
}

bool ModalWindowShown() {
    return ThreadWindow(IsDialogWindow) != nullptr;
}

void CloseModalWindow() {
    if (const HWND Modal = ThreadWindow(IsDialogWindow))
        SendMessageW(Modal, WM_SYSCOMMAND, SC_CLOSE, 0);
}

} // namespace TestDriver
