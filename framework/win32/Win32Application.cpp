// The platform's application on Win32: start and end, the message loop, posted messages and
// calls, message boxes and the screen.
#include "Win32Host.h"
#include "Win32Text.h"

#include <deque>
#include <filesystem>
#include <vector>

namespace {

// A posted message or call waits here; a message to the parking window runs the oldest, so
// they keep their order with the system's messages.
constexpr UINT PostedRun = WM_APP + 0x51;

struct TPosted {
    HWND Window;
    std::function<void()> Call;
};

std::deque<TPosted>& Posted() {
    static std::deque<TPosted> Queue;
    return Queue;
}

void Post(HWND Window, std::function<void()> Call) {
    Posted().push_back({Window, std::move(Call)});
    ::PostMessageW(ParkingWindow(), PostedRun, 0, 0);
}

bool& Started() {
    static bool Flag = false;
    return Flag;
}

// Whether StartApplication made the application, which EndApplication then ends; the test
// support's lives as long as the process.
bool& Owned() {
    static bool Flag = false;
    return Flag;
}

void Start() {
    if (Started())
        return;
    Started() = true;
    ::SetThreadUILanguage(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN));
    INITCOMMONCONTROLSEX Controls{sizeof(Controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&Controls);
    ParkingWindow();
}

std::vector<std::function<void()>>& EndRoutines() {
    static std::vector<std::function<void()>> Routines;
    return Routines;
}

// One flag for each running RunMessageLoop, the innermost last.
std::vector<bool>& QuitFlags() {
    static std::vector<bool> Flags;
    return Flags;
}

std::wstring ProgramName() {
    wchar_t Path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, Path, MAX_PATH);
    return std::filesystem::path(Path).stem().wstring();
}

// The wheel turns what lies under the pointer, as on the layer's other platforms, not the
// window with the focus.
void AimWheel(MSG& Message) {
    if (Message.message != WM_MOUSEWHEEL)
        return;
    HWND Under = ::WindowFromPoint({GET_X_LPARAM(Message.lParam), GET_Y_LPARAM(Message.lParam)});
    if (Under && ControlOf(Under))
        Message.hwnd = Under;
}

void Dispatch(MSG& Message) {
    AimWheel(Message);
    ::TranslateMessage(&Message);
    ::DispatchMessageW(&Message);
}

} // namespace

void StartTestApplication() {
    Start();
}

bool RunPosted(UINT Msg) {
    if (Msg != PostedRun)
        return false;
    if (Posted().empty())
        return true;
    TPosted Next = std::move(Posted().front());
    Posted().pop_front();
    if (::IsWindow(Next.Window))
        SafeCall(Next.Call);
    return true;
}

namespace Platform {

void PostMessage(TPlatformWidget* Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    HWND W = Hwnd(Window);
    Post(W, [W, Msg, WParam, LParam] {
        if (auto* Control = dynamic_cast<TWinControl*>(ControlOf(W)))
            Control->DispatchMessage(Msg, WParam, LParam);
    });
}

void PostCall(TPlatformWidget* Window, std::function<void()> Call) {
    Post(Hwnd(Window), std::move(Call));
}

void StartApplication() {
    if (!Started())
        Owned() = true;
    Start();
}

bool ApplicationStarted() {
    return Started();
}

void EndApplication() {
    if (!Owned())
        return;
    Owned() = false;
    for (const auto& Routine : EndRoutines())
        SafeCall(Routine);
    EndRoutines().clear();
    Started() = false;
}

void AtApplicationEnd(std::function<void()> Routine) {
    EndRoutines().push_back(std::move(Routine));
}

void RunMessageLoop() {
    QuitFlags().push_back(false);
    MSG Message;
    while (!QuitFlags().back()) {
        const BOOL Got = ::GetMessageW(&Message, nullptr, 0, 0);
        if (Got == 0) {
            // The quit message belongs to an outer loop of the system's.
            ::PostQuitMessage(static_cast<int>(Message.wParam));
            break;
        }
        if (Got > 0)
            Dispatch(Message);
    }
    QuitFlags().pop_back();
}

void QuitMessageLoop() {
    if (QuitFlags().empty())
        return;
    QuitFlags().back() = true;
    ::PostMessageW(ParkingWindow(), WM_NULL, 0, 0);
}

void ProcessMessages() {
    MSG Message;
    while (::PeekMessageW(&Message, nullptr, 0, 0, PM_REMOVE)) {
        if (Message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(Message.wParam));
            return;
        }
        Dispatch(Message);
    }
}

int MessageBox(const AnsiString& Text, const AnsiString& Caption, unsigned Flags) {
    const std::wstring Title = Caption.empty() ? ProgramName() : WideOf(Caption);
    HWND Owner = ::GetActiveWindow();
    return ::MessageBoxW(Owner, WideOf(Text).c_str(), Title.c_str(), Flags);
}

TRect ScreenWorkArea() {
    RECT Area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &Area, 0);
    return TRect(Area.left, Area.top, Area.right, Area.bottom);
}

} // namespace Platform
