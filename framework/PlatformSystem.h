// The platform's key state, cursors, shell and visual styles, as far as the calls the programs
// make by name need them.
#pragma once

#include <memory>
#include <string>
#include <string_view>

class TCursorImage;

namespace Platform {

// Whether the key or mouse button VirtKey (VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_SHIFT,
// VK_CONTROL, VK_MENU) is down now; false for any other key.
bool IsKeyDown(int VirtKey);

// The cursor file compiled into the program under Name, with its hot spot; null when there is
// none or it is not a cursor.
std::shared_ptr<const TCursorImage> LoadResourceCursor(const std::string& Name);

// What the shell opens for File (code page 932): a web or mail address as it stands, a name
// that starts with "www." as a web address, otherwise the file, taken in Directory when
// relative, as a file address. Empty when that file does not exist.
std::u16string ShellAddress(std::string_view File, std::string_view Directory);
// Hands an address from ShellAddress to the desktop's default handler; false when none takes it.
bool ShellOpen(std::u16string_view Address);

// Gives the standard controls of the application the desktop's themed look, or the classic look
// of the platform; does nothing before the application exists.
void UseThemedStyle(bool Themed);

} // namespace Platform
