// The one file that sees the system's key-state calls under their own names: the layer's
// WinApi.h declares its own GetKeyState and GetKeyboardState.
#define QUOVANT_SYSTEM_HEADERS
#include <windows.h>

SHORT SystemKeyState(int VirtKey) {
    return ::GetKeyState(VirtKey);
}

bool SystemKeyboardState(BYTE* KeyState) {
    return ::GetKeyboardState(KeyState) != FALSE;
}
