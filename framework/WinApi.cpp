#include "WinApi.h"

#include "PlatformFiles.h"
#include "PlatformSystem.h"
#include "PlatformText.h"
#include "PlatformWindows.h"

#include <algorithm>

namespace {

constexpr short KeyDown = static_cast<short>(0x8000);
constexpr BYTE KeyStateDown = 0x80;
constexpr int KeyStateCount = 256;
constexpr std::intptr_t ShellSuccess = 42;
const char* const OpenVerb = "open";

TShellOpener& ShellOpener() {
    static TShellOpener Opener;
    return Opener;
}

bool OpenAddress(std::u16string_view Target) {
    if (!ShellOpener())
        return Platform::ShellOpen(Target);
    AnsiString Address;
    Platform::ScreenToAnsi(Target, Address);
    return ShellOpener()(Address);
}

AnsiString& ProgramDirOverride() {
    static AnsiString Dir;
    return Dir;
}

} // namespace

bool GetCursorPos(TPoint& P) {
    P = Platform::PointerPosition();
    return true;
}

short GetKeyState(int VirtKey) {
    return Platform::IsKeyDown(VirtKey) ? KeyDown : 0;
}

bool GetKeyboardState(BYTE* KeyState) {
    std::fill(KeyState, KeyState + KeyStateCount, BYTE(0));
    for (int Key : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_SHIFT, VK_CONTROL, VK_MENU})
        if (GetKeyState(Key) < 0)
            KeyState[Key] = KeyStateDown;
    return true;
}

std::uint32_t GetNearestColor(const TCanvas*, TColor Color) {
    return ColorToRGB(Color);
}

bool DrawIconEx(TCanvas* Canvas, int X, int Y, const TIcon* Icon, int Width, int Height, unsigned) {
    if (!Canvas || !Icon || Icon->Empty())
        return false;
    Canvas->StretchDraw(
        Bounds(X, Y, Width ? Width : Icon->Width(), Height ? Height : Icon->Height()), Icon);
    return true;
}

bool PostMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!Window)
        return false;
    Platform::PostMessage(Window->Widget(), Msg, WParam, LParam);
    return true;
}

LRESULT SendMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!Window)
        return 0;
    if (Msg == WM_NCHITTEST)
        return Platform::WindowHitTest(Window->Widget(),
                                       {GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
    if (Msg == WM_SETREDRAW)
        Window->SetRedraw(WParam != 0);
    else
        Window->DispatchMessage(Msg, WParam, LParam);
    return 0;
}

std::intptr_t ShellExecute(HWND, const AnsiString& Operation, const AnsiString& File,
                           const AnsiString&, const AnsiString& Directory, int) {
    if (!Operation.empty() && LowerCase(Operation) != OpenVerb)
        return SE_ERR_NOASSOC;
    const std::u16string Target = Platform::ShellAddress(File, Directory);
    if (Target.empty())
        return SE_ERR_FNF;
    return OpenAddress(Target) ? ShellSuccess : SE_ERR_NOASSOC;
}

void SetShellOpener(TShellOpener Opener) {
    ShellOpener() = std::move(Opener);
}

AnsiString GetProgramDir() {
    if (!ProgramDirOverride().empty())
        return ProgramDirOverride();
    return Platform::ProgramFolder();
}

AnsiString ProgramFilePath(const AnsiString& Name) {
    return GetProgramDir() + PathDelim + Name;
}

void SetProgramDirForTesting(const AnsiString& Dir) {
    ProgramDirOverride() = Dir;
}

HCURSOR LoadCursor(HINSTANCE, const AnsiString& Name) {
    return Platform::LoadResourceCursor(Name);
}
