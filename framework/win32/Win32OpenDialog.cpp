// The open dialog on the system's Explorer-style dialog (GetOpenFileNameW), with the template
// "ENHDLG1" of the program's module giving the band below the standard controls that holds
// the template area, and a hook that reports the dialog's notices.
#include "Win32Host.h"

#include "Win32Text.h"

#include <algorithm>

namespace {

const wchar_t TemplateName[] = L"ENHDLG1";
// The run a dialog belongs to, as a property of the dialog the user sees.
const wchar_t RunProperty[] = L"QuovantOpenDialog";
// The shell view's command for its details view.
constexpr WPARAM DetailsViewCommand = 0x702C;
// Room for the folder and the names of a multiple selection.
constexpr std::size_t FileBufferChars = 0x10000;

const AnsiString& UnusableNameMessage() {
    static const AnsiString Message = "ファイル名に使用できない文字が含まれています。"_sj;
    return Message;
}

std::wstring TextOf(HWND Window) {
    std::wstring Text(static_cast<std::size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
    Text.resize(static_cast<std::size_t>(
        GetWindowTextW(Window, Text.data(), static_cast<int>(Text.size()))));
    return Text;
}

bool InCodePage(std::wstring_view Text) {
    std::string Unused;
    return Platform::ScreenToAnsi(std::u16string(Text.begin(), Text.end()), Unused);
}

// The files of the dialog's buffer: one full path, or a folder followed by names, each ended
// by a NUL, the list by a second one.
std::vector<std::wstring> ChosenFiles(const wchar_t* Buffer) {
    std::vector<std::wstring> Parts;
    for (const wchar_t* Part = Buffer; *Part; Part += Parts.back().size() + 1)
        Parts.emplace_back(Part);
    if (Parts.size() < 2)
        return Parts;
    std::wstring Folder = Parts.front();
    if (Folder.back() != L'\\')
        Folder += L'\\';
    std::vector<std::wstring> Files;
    for (auto Name = Parts.begin() + 1; Name != Parts.end(); ++Name)
        Files.push_back(Folder + *Name);
    return Files;
}

// "Description\0Patterns\0...\0\0"; patterns stay separated by ";", as the dialog takes them.
std::wstring FilterText(const std::vector<Platform::TFileFilter>& Filters) {
    std::wstring Text;
    for (const Platform::TFileFilter& Filter : Filters) {
        Text += WideOf(Filter.Description);
        Text += L'\0';
        Text += WideOf(Filter.Patterns);
        Text += L'\0';
    }
    return Text + L'\0';
}

// The platform centres its dialogs over the window they belong to: the active one, else a
// window of the program on show.
HWND OwnerWindow() {
    if (const HWND Active = GetActiveWindow())
        return Active;
    HWND Found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND Window, LPARAM Data) {
            if (!IsWindowVisible(Window) || Window == ParkingWindow())
                return TRUE;
            *reinterpret_cast<HWND*>(Data) = Window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&Found));
    return Found;
}

void Centre(HWND Dialog, HWND Over) {
    RECT Area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &Area, 0);
    RECT Around = Area;
    if (Over && IsWindowVisible(Over))
        GetWindowRect(Over, &Around);
    RECT Frame{};
    GetWindowRect(Dialog, &Frame);
    const int Width = Frame.right - Frame.left;
    const int Height = Frame.bottom - Frame.top;
    const int Left = std::clamp(Around.left + (Around.right - Around.left - Width) / 2, Area.left,
                                std::max(Area.left, Area.right - Width));
    const int Top = std::clamp(Around.top + (Around.bottom - Around.top - Height) / 2, Area.top,
                               std::max(Area.top, Area.bottom - Height));
    SetWindowPos(Dialog, nullptr, Left, Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The file list in detail view, each column as wide as its widest text.
void ShowDetails(HWND Dialog) {
    const HWND View = FindWindowExW(Dialog, nullptr, L"SHELLDLL_DefView", nullptr);
    if (!View)
        return;
    SendMessageW(View, WM_COMMAND, DetailsViewCommand, 0);
    const HWND List = FindWindowExW(View, nullptr, WC_LISTVIEWW, nullptr);
    if (!List)
        return;
    const auto Header = reinterpret_cast<HWND>(SendMessageW(List, LVM_GETHEADER, 0, 0));
    const auto Columns = static_cast<WPARAM>(SendMessageW(Header, HDM_GETITEMCOUNT, 0, 0));
    const auto Width = [List](WPARAM Column) {
        return SendMessageW(List, LVM_GETCOLUMNWIDTH, Column, 0);
    };
    for (WPARAM Column = 0; Column < Columns; ++Column) {
        SendMessageW(List, LVM_SETCOLUMNWIDTH, Column, LVSCW_AUTOSIZE);
        const LRESULT Items = Width(Column);
        SendMessageW(List, LVM_SETCOLUMNWIDTH, Column, LVSCW_AUTOSIZE_USEHEADER);
        if (Width(Column) < Items)
            SendMessageW(List, LVM_SETCOLUMNWIDTH, Column, Items);
    }
}

HWND FileNameField(HWND Dialog) {
    const HWND Combo = GetDlgItem(Dialog, cmb13);
    return Combo ? Combo : GetDlgItem(Dialog, edt1);
}

// One run of the dialog: what the hook needs of the caller's setup and events.
class TDialogRun {
public:
    TDialogRun(const Platform::TOpenDialogSetup& ASetup, const Platform::TOpenDialogEvents& AEvents)
        : Owner(OwnerWindow()), FSetup(ASetup), FEvents(AEvents) {}

    void Initialised(HWND AChild) { FChild = AChild; }

    UINT_PTR Notify(const OFNOTIFYW& Notice) {
        switch (Notice.hdr.code) {
        case CDN_INITDONE:
            Show(GetParent(FChild));
            return 0;
        case CDN_FOLDERCHANGE:
            if (FDialog)
                ShowDetails(FDialog);
            return 0;
        // A notice that names its file (the system's do not) reports that one. The dialog
        // reports its folder while it fills its list, before it shows: no choice of the user's.
        case CDN_SELCHANGE:
            if (Notice.pszFile)
                FEvents.OnSelectionChange(AnsiOf(Notice.pszFile));
            else if (FShown && IsWindowVisible(FDialog))
                FEvents.OnSelectionChange(AnsiOf(SelectedPath()));
            return 0;
        case CDN_TYPECHANGE:
            if (FShown)
                FEvents.OnFilterChange(Notice.lpOFN ? static_cast<int>(Notice.lpOFN->nFilterIndex)
                                                    : 0);
            return 0;
        case CDN_FILEOK:
            return Notice.lpOFN && !Acceptable(Notice.lpOFN->lpstrFile);
        default:
            return 0;
        }
    }

    void Resized() {
        if (FShown)
            PlaceArea();
    }

    // The template area leaves before the dialog destroys its children.
    void Close() {
        if (FClosed)
            return;
        FClosed = true;
        if (const HWND Area = AreaWindow()) {
            ShowWindow(Area, SW_HIDE);
            SetParent(Area, ParkingWindow());
        }
        if (FDialog)
            RemovePropW(FDialog, RunProperty);
        FEvents.OnClose();
    }

    // The dialog's client area above the template area.
    TRect StandardRect() const {
        RECT Client{};
        GetClientRect(FDialog, &Client);
        const HWND Standard = FSetup.TemplateArea ? GetDlgItem(FChild, stc32) : nullptr;
        if (!Standard)
            return Rect(0, 0, Client.right, Client.bottom);
        RECT R{};
        GetWindowRect(Standard, &R);
        MapWindowPoints(nullptr, FDialog, reinterpret_cast<POINT*>(&R), 2);
        return Rect(0, 0, Client.right, R.bottom);
    }

    const HWND Owner;
    std::wstring DefaultExt;

private:
    void Show(HWND Dialog) {
        FDialog = Dialog;
        SetPropW(FDialog, RunProperty, this);
        PlaceArea();
        Centre(FDialog, Owner);
        ShowDetails(FDialog);
        FShown = true;
        FEvents.OnShow(PlatformWidget(FDialog));
    }

    HWND AreaWindow() const {
        return FSetup.TemplateArea ? TControlAccess::Window(FSetup.TemplateArea) : nullptr;
    }

    // The area fills the template's band below the control the standard ones stand in, and
    // reaches up into that control's area by the reach asked for.
    void PlaceArea() {
        const HWND Area = AreaWindow();
        const HWND Standard = GetDlgItem(FChild, stc32);
        if (!Area || !Standard)
            return;
        RECT Client{}, R{};
        GetClientRect(FChild, &Client);
        GetWindowRect(Standard, &R);
        MapWindowPoints(nullptr, FChild, reinterpret_cast<POINT*>(&R), 2);
        if (GetParent(Area) != FChild) {
            const auto Style = static_cast<DWORD>(GetWindowLongPtrW(Area, GWL_STYLE));
            SetWindowLongPtrW(Area, GWL_STYLE,
                              static_cast<LONG_PTR>((Style & ~WS_POPUP) | WS_CHILD));
            SetParent(Area, FChild);
        }
        const int Top = std::max(0, static_cast<int>(R.bottom) - FSetup.TemplateReach);
        FSetup.TemplateArea->SetBounds(0, Top, Client.right,
                                       std::max(0, static_cast<int>(Client.bottom) - Top));
        ShowWindow(Area, SW_SHOW);
    }

    std::wstring SelectedPath() const {
        std::wstring Path(MAX_PATH, L'\0');
        for (;;) {
            const LRESULT Needed = SendMessageW(FDialog, CDM_GETFILEPATH, Path.size(),
                                                reinterpret_cast<LPARAM>(Path.data()));
            if (Needed <= 0)
                return {};
            if (static_cast<std::size_t>(Needed) <= Path.size()) {
                Path.resize(static_cast<std::size_t>(Needed) - 1);
                return Path;
            }
            Path.resize(static_cast<std::size_t>(Needed));
        }
    }

    // Names that code page 932 cannot hold are refused, with a message.
    bool Acceptable(const wchar_t* Buffer) const {
        const std::vector<std::wstring> Files = ChosenFiles(Buffer);
        if (std::all_of(Files.begin(), Files.end(), InCodePage))
            return true;
        MessageBoxW(FDialog, WideOf(UnusableNameMessage()).c_str(), TextOf(FDialog).c_str(),
                    MB_OK | MB_ICONWARNING);
        SetWindowLongPtrW(FChild, DWLP_MSGRESULT, 1);
        return false;
    }

    const Platform::TOpenDialogSetup& FSetup;
    const Platform::TOpenDialogEvents& FEvents;
    HWND FChild = nullptr;
    HWND FDialog = nullptr;
    bool FShown = false;
    bool FClosed = false;
};

UINT_PTR CALLBACK HookProc(HWND Child, UINT Msg, WPARAM, LPARAM LParam) {
    if (Msg == WM_INITDIALOG) {
        auto* Run = reinterpret_cast<TDialogRun*>(
            reinterpret_cast<const OPENFILENAMEW*>(LParam)->lCustData);
        SetWindowLongPtrW(Child, DWLP_USER, reinterpret_cast<LONG_PTR>(Run));
        Run->Initialised(Child);
        return TRUE;
    }
    auto* Run = reinterpret_cast<TDialogRun*>(GetWindowLongPtrW(Child, DWLP_USER));
    if (!Run)
        return 0;
    switch (Msg) {
    case WM_NOTIFY:
        return Run->Notify(*reinterpret_cast<const OFNOTIFYW*>(LParam));
    case WM_SIZE:
        Run->Resized();
        return 0;
    case WM_DESTROY:
        Run->Close();
        return 0;
    default:
        return 0;
    }
}

TDialogRun* RunOf(TPlatformWidget* Dialog) {
    return static_cast<TDialogRun*>(GetPropW(Hwnd(Dialog), RunProperty));
}

DWORD DialogFlags(const Platform::TOpenDialogSetup& Setup) {
    DWORD Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (Setup.TemplateArea)
        Flags |= OFN_ENABLETEMPLATE;
    if (Setup.MultiSelect)
        Flags |= OFN_ALLOWMULTISELECT;
    if (Setup.FileMustExist)
        Flags |= OFN_FILEMUSTEXIST;
    if (Setup.ShowHidden)
        Flags |= OFN_FORCESHOWHIDDEN;
    if (Setup.Sizable)
        Flags |= OFN_ENABLESIZING;
    return Flags;
}

std::wstring StartFolder(const AnsiString& Folder) {
    if (!Folder.empty())
        return WideOf(Folder);
    std::wstring Current(GetCurrentDirectoryW(0, nullptr), L'\0');
    Current.resize(GetCurrentDirectoryW(static_cast<DWORD>(Current.size()), Current.data()));
    return Current;
}

} // namespace

namespace Platform {

bool ExecuteOpenDialog(const TOpenDialogSetup& Setup, const TOpenDialogEvents& Events,
                       TOpenDialogResult& Result) {
    TDialogRun Run(Setup, Events);
    const std::wstring Filters = FilterText(Setup.Filters);
    const std::wstring Title = WideOf(Setup.Title);
    const std::wstring Folder = StartFolder(Setup.Folder);
    Run.DefaultExt = WideOf(Setup.DefaultExt);
    std::vector<wchar_t> Files(FileBufferChars, L'\0');
    const std::wstring Name = WideOf(Setup.FileName).substr(0, FileBufferChars - 2);
    std::copy(Name.begin(), Name.end(), Files.begin());

    OPENFILENAMEW Dialog{};
    Dialog.lStructSize = sizeof(OPENFILENAMEW);
    Dialog.hwndOwner = Run.Owner;
    Dialog.hInstance = GetModuleHandleW(nullptr);
    Dialog.lpstrFilter = Setup.Filters.empty() ? nullptr : Filters.c_str();
    Dialog.nFilterIndex = static_cast<DWORD>(std::max(1, Setup.FilterIndex));
    Dialog.lpstrFile = Files.data();
    Dialog.nMaxFile = static_cast<DWORD>(Files.size());
    Dialog.lpstrInitialDir = Folder.c_str();
    Dialog.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    Dialog.Flags = DialogFlags(Setup);
    Dialog.lpstrDefExt = Run.DefaultExt.empty() ? nullptr : Run.DefaultExt.c_str();
    Dialog.lCustData = reinterpret_cast<LPARAM>(&Run);
    Dialog.lpfnHook = HookProc;
    Dialog.lpTemplateName = TemplateName;
    Dialog.FlagsEx = Setup.PlacesBar ? 0 : OFN_EX_NOPLACESBAR;

    const bool Confirmed = GetOpenFileNameW(&Dialog) != 0;
    Run.Close();
    if (!Confirmed) {
        if (const DWORD Error = CommDlgExtendedError())
            throw Exception("ファイルを開くダイアログを表示できません (エラー "_sj +
                            IntToStr(Error) + ")");
        return false;
    }
    Result.Files.clear();
    for (const std::wstring& File : ChosenFiles(Files.data()))
        Result.Files.push_back(AnsiOf(File));
    Result.FilterIndex = static_cast<int>(Dialog.nFilterIndex);
    return true;
}

void SetOpenDialogDefaultExt(TPlatformWidget* Dialog, const AnsiString& Ext) {
    TDialogRun* Run = RunOf(Dialog);
    if (!Run)
        return;
    Run->DefaultExt = WideOf(Ext);
    SendMessageW(Hwnd(Dialog), CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(Run->DefaultExt.c_str()));
}

AnsiString OpenDialogFileNameText(TPlatformWidget* Dialog) {
    const HWND Field = FileNameField(Hwnd(Dialog));
    return Field ? AnsiOf(TextOf(Field)) : AnsiString();
}

void SetOpenDialogFileNameText(TPlatformWidget* Dialog, const AnsiString& Text) {
    if (const HWND Field = FileNameField(Hwnd(Dialog)))
        SetWindowTextW(Field, WideOf(Text).c_str());
}

TRect OpenDialogStandardRect(TPlatformWidget* Dialog) {
    const TDialogRun* Run = RunOf(Dialog);
    return Run ? Run->StandardRect() : TRect();
}

} // namespace Platform
