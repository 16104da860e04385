// Win32 glue of the platform's handles, for the Win32 back end and its tests only: a
// TPlatformWidget is an HWindow (a window) or an HMENU (a popup menu) that the public headers hand
// about without naming Win32.
#pragma once

#include "WinTypes.h"

#include "Win32Api.h"

inline HWindow Hwnd(TPlatformWidget* Handle) {
    return reinterpret_cast<HWindow>(Handle);
}
inline TPlatformWidget* PlatformWidget(HWindow Window) {
    return reinterpret_cast<TPlatformWidget*>(Window);
}
inline HMENU Hmenu(TPlatformWidget* Handle) {
    return reinterpret_cast<HMENU>(Handle);
}
inline TPlatformWidget* PlatformWidget(HMENU Menu) {
    return reinterpret_cast<TPlatformWidget*>(Menu);
}
