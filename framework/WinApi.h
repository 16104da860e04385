// Calls of the platform that the programs make by name: window messages, input state, the
// shell and the program's own directory.
#pragma once

#include "Controls.h"
#include "WinTypes.h"

#include <cstdint>
#include <functional>
#include <memory>

constexpr unsigned short VK_RBUTTON = 0x02, VK_MBUTTON = 0x04;
constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOW = 5;
// ShellExecute results at or below 32 are errors.
constexpr std::intptr_t SE_ERR_FNF = 2, SE_ERR_NOASSOC = 31;
constexpr unsigned DI_NORMAL = 3;

// The pointer's position on the screen.
bool GetCursorPos(TPoint& P);
// Negative (top bit set) while the key or mouse button is down: VK_LBUTTON, VK_RBUTTON,
// VK_MBUTTON, VK_SHIFT, VK_CONTROL, VK_MENU; 0 for any other key.
short GetKeyState(int VirtKey);
// Fills 256 key states with $80 for the keys GetKeyState reports down.
bool GetKeyboardState(BYTE* KeyState);
// The colour the screen shows for Color; every colour on a true-colour screen.
std::uint32_t GetNearestColor(const TCanvas* Canvas, TColor Color);
// Draws Icon at (X, Y) scaled to Width x Height (its own size when 0).
bool DrawIconEx(TCanvas* Canvas, int X, int Y, const TIcon* Icon, int Width, int Height,
                unsigned Flags = DI_NORMAL);

// Cursors loaded from the program's resources, for the screen's cursor table.
class TCursorImage;
using HCURSOR = std::shared_ptr<const TCursorImage>;
using HINSTANCE = void*;
constexpr HINSTANCE HInstance = nullptr;
// The cursor file compiled into the program under Name, with its hot spot; null when there is
// none or it is not a cursor.
HCURSOR LoadCursor(HINSTANCE Instance, const AnsiString& Name);

// Queues a message for the control: it arrives through DispatchMessage after the current
// handler has returned. False when Window is null.
bool PostMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
// Handles a message at once: WM_NCHITTEST answers the hit-test query for the screen point in
// LParam; WM_SETREDRAW switches the control's painting off (0) or on; any other message goes
// to DispatchMessage.
LRESULT SendMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

// Opens File with the desktop's default handler. File may be a web or mail address; a
// relative file name is taken in Directory. The result is above 32 on success, SE_ERR_FNF
// for a missing file and SE_ERR_NOASSOC when no handler opens it or Operation is not "open".
std::intptr_t ShellExecute(HWND Window, const AnsiString& Operation, const AnsiString& File,
                           const AnsiString& Parameters, const AnsiString& Directory, int ShowCmd);

// What ShellExecute hands a web, mail or file address to, as text: the desktop's default
// handler while none is set. Tests set their own so that nothing is launched; an empty one
// restores the desktop's.
using TShellOpener = std::function<bool(const AnsiString& Address)>;
void SetShellOpener(TShellOpener Opener);

// The directory of the running program, without a closing separator, in code page 932.
AnsiString GetProgramDir();
// That directory, the platform's separator and Name.
AnsiString ProgramFilePath(const AnsiString& Name);
// Makes GetProgramDir answer Dir from now on (an empty Dir restores the real directory).
void SetProgramDirForTesting(const AnsiString& Dir);
