// Win32 glue of the platform's handles, for the Win32 back end and its tests only: a
// TPlatformWidget is an HWND (a window) or an HMENU (a popup menu) that the public headers hand
// about without naming Win32.
#pragma once

#include "Win32Api.h"

inline HWND Hwnd(TPlatformWidget* Handle) {
    return reinterpret_cast<HWND>(Handle);
}
inline TPlatformWidget* PlatformWidget(HWND Window) {
    return reinterpret_cast<TPlatformWidget*>(Window);
}
inline HMENU Hmenu(TPlatformWidget* Handle) {
    return reinterpret_cast<HMENU>(Handle);
}
inline TPlatformWidget* PlatformWidget(HMENU Menu) {
    return reinterpret_cast<TPlatformWidget*>(Menu);
}
