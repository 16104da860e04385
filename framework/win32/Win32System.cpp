// Input state, cursors, the shell and visual styles of the Win32 back end.
#include "Win32Api.h"

#include "Win32Host.h"
#include "Win32Text.h"

#include <shlwapi.h>
#include <uxtheme.h>

#include <cwctype>

namespace {

// The shell takes an address that starts with the web host name for a web address.
const std::wstring_view WebHostPrefix = L"www.";
const std::wstring_view WebScheme = L"http://";
constexpr wchar_t OpenVerb[] = L"OPEN";
// ShellExecute's results above this value report success.
constexpr INT_PTR ShellExecuteFailures = 32;
constexpr DWORD ThemedParts = STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS | STAP_ALLOW_WEBCONTENT;

bool IsSchemeChar(wchar_t C) {
    return (C >= L'a' && C <= L'z') || (C >= L'A' && C <= L'Z') || (C >= L'0' && C <= L'9') ||
           C == L'+' || C == L'-' || C == L'.';
}

// A scheme of two letters or more before a colon: "C:" is a drive, not an address.
bool IsAddress(std::wstring_view Text) {
    const std::size_t Colon = Text.find(L':');
    if (Colon == Text.npos || Colon < 2 || !iswalpha(Text[0]))
        return false;
    for (std::size_t I = 1; I < Colon; ++I)
        if (!IsSchemeChar(Text[I]))
            return false;
    return true;
}

bool StartsWithNoCase(std::wstring_view Text, std::wstring_view Prefix) {
    return Text.size() >= Prefix.size() &&
           CompareStringOrdinal(Text.data(), static_cast<int>(Prefix.size()), Prefix.data(),
                                static_cast<int>(Prefix.size()), TRUE) == CSTR_EQUAL;
}

std::wstring FullPath(const std::wstring& Name) {
    const DWORD Length = GetFullPathNameW(Name.c_str(), 0, nullptr, nullptr);
    if (Length == 0)
        return {};
    std::wstring Path(Length, L'\0');
    Path.resize(GetFullPathNameW(Name.c_str(), Length, Path.data(), nullptr));
    return Path;
}

// The full path of File, taken in Directory when relative; empty when nothing is there.
std::wstring ExistingPath(const std::wstring& File, const std::wstring& Directory) {
    std::wstring Name = File;
    if (PathIsRelativeW(File.c_str()) && !Directory.empty()) {
        Name = Directory;
        if (Name.back() != L'\\' && Name.back() != L'/')
            Name += L'\\';
        Name += File;
    }
    const std::wstring Path = FullPath(Name);
    return !Path.empty() && GetFileAttributesW(Path.c_str()) != INVALID_FILE_ATTRIBUTES
               ? Path
               : std::wstring();
}

std::u16string ScreenText(const std::wstring& Text) {
    return std::u16string(Text.begin(), Text.end());
}

// Windows read their theme when told it changed.
BOOL CALLBACK Retheme(HWND Window, LPARAM) {
    SendMessageW(Window, WM_THEMECHANGED, 0, 0);
    EnumChildWindows(Window, Retheme, 0);
    return TRUE;
}

} // namespace

// The state as of the message being handled, as the layer's callers expect of GetKeyState.
bool Platform::IsKeyDown(int VirtKey) {
    switch (VirtKey) {
    case VK_LBUTTON:
    case VK_RBUTTON:
    case VK_MBUTTON:
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
        return GetKeyState(VirtKey) < 0;
    default:
        return false;
    }
}

// Shared: the system keeps the cursor for the program's life, however many images name it.
std::shared_ptr<const TCursorImage> Platform::LoadResourceCursor(const std::string& Name) {
    const auto Cursor = static_cast<HCURSOR>(
        LoadImageW(GetModuleHandleW(nullptr), WideOf(Name).c_str(), IMAGE_CURSOR, 0, 0, LR_SHARED));
    return Cursor ? std::make_shared<TCursorImage>(Cursor) : nullptr;
}

// A file is given to the shell by its full path, which it opens as it opens a file address.
std::u16string Platform::ShellAddress(std::string_view File, std::string_view Directory) {
    const std::wstring Name = WideOf(File);
    if (IsAddress(Name))
        return ScreenText(Name);
    if (StartsWithNoCase(Name, WebHostPrefix))
        return ScreenText(std::wstring(WebScheme) + Name);
    return ScreenText(ExistingPath(Name, WideOf(Directory)));
}

bool Platform::ShellOpen(std::u16string_view Address) {
    const std::wstring Target(Address.begin(), Address.end());
    const auto Result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, OpenVerb, Target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return Result > ShellExecuteFailures;
}

// Windows already shown are told, so they change their look at once.
void Platform::UseThemedStyle(bool Themed) {
    const DWORD Wanted = Themed ? ThemedParts : 0;
    if (GetThemeAppProperties() == Wanted)
        return;
    SetThemeAppProperties(Wanted);
    EnumThreadWindows(GetCurrentThreadId(), Retheme, 0);
}
