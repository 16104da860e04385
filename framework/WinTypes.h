// The platform's message types, message numbers and flags, the kinds its windows and input
// take, and its rectangle and number helpers: what the layer's lower units use of the
// platform's calls.
#pragma once

#include "Classes.h"

#include <cstdint>

using UINT = unsigned;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using BYTE = unsigned char;

// The platform's window under a control, a menu or a dialog: a handle that only the layer's
// platform's back end looks into (framework/qt/QtHandles.h).
struct TPlatformWidget;

// Mouse buttons, input method modes and window borders, as the platform's windows take them.
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TImeMode {
    imDisable,
    imClose,
    imOpen,
    imDontCare,
    imSAlpha,
    imAlpha,
    imHira,
    imSKata,
    imKata,
    imChinese,
    imSHanguel,
    imHanguel
};
// Border styles of forms and of bordered controls (controls use bsNone and bsSingle).
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

constexpr UINT WM_MOVE = 0x0003, WM_SIZE = 0x0005, WM_SETREDRAW = 0x000B, WM_NCHITTEST = 0x0084,
               WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
               WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205,
               WM_USER = 0x0400;
// Button and key flags that mouse messages carry in WParam.
constexpr WPARAM MK_LBUTTON = 0x01, MK_RBUTTON = 0x02, MK_SHIFT = 0x04, MK_CONTROL = 0x08,
                 MK_MBUTTON = 0x10;

constexpr LPARAM MAKELPARAM(int Low, int High) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(High & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(Low & 0xFFFF));
}
// The signed coordinates of a mouse message's LParam.
constexpr int GET_X_LPARAM(LPARAM L) {
    return static_cast<std::int16_t>(L & 0xFFFF);
}
constexpr int GET_Y_LPARAM(LPARAM L) {
    return static_cast<std::int16_t>((L >> 16) & 0xFFFF);
}

// The keys and buttons that a mouse message's flags report down.
TShiftState ShiftStateOfFlags(WPARAM Flags);

// Number * Numerator / Denominator with a 64-bit product, rounded half away from zero;
// -1 when Denominator is 0 or the result does not fit.
int MulDiv(int Number, int Numerator, int Denominator);
void InflateRect(TRect& R, int DX, int DY);
bool PtInRect(const TRect& R, TPoint P);
