// The Win32 API beside the layer, for the back end's files: include this first. The layer's
// headers name a few things as Win32 does (HWND, HCURSOR, HINSTANCE, MulDiv, GetKeyState,
// GetKeyboardState) and declare constants and functions that Win32's headers make macros of,
// so they are read first, with those few names renamed, and the Win32 headers after them. In
// the back end those names then mean Win32's; Win32 functions are called by their wide names
// (PostMessageW, SetWindowTextW...), since the layer's PostMessage, SetWindowText, MessageBox,
// DispatchMessage... keep their own names here.
#pragma once

#define HWND LayerHWND
#define HCURSOR LayerHCURSOR
#define HINSTANCE LayerHINSTANCE
#define MulDiv LayerMulDiv
#define GetKeyState LayerGetKeyState
#define GetKeyboardState LayerGetKeyboardState
#include "Classes.h"
#include "ComCtrls.h"
#include "Controls.h"
#include "Dialogs.h"
#include "DragDrop.h"
#include "ExtCtrls.h"
#include "FileStreams.h"
#include "Forms.h"
#include "Graphics.h"
#include "Grids.h"
#include "Help.h"
#include "Memory.h"
#include "Menus.h"
#include "PlatformCanvas.h"
#include "PlatformControls.h"
#include "PlatformFiles.h"
#include "PlatformSystem.h"
#include "PlatformText.h"
#include "PlatformWindows.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TestDriver.h"
#include "TestSupport.h"
#include "TextEncoding.h"
#include "Themes.h"
#include "WinApi.h"
#include "WinTypes.h"
#undef HWND
#undef HCURSOR
#undef HINSTANCE
#undef MulDiv
#undef GetKeyState
#undef GetKeyboardState

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// Lets the system's headers past framework/win32/windows.h, which stops a file that
// includes them before this one.
#define QUOVANT_SYSTEM_HEADERS
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <imm.h>
#include <shellapi.h>
#include <windowsx.h>

// The layer's functions of these names stay reachable (windowsx.h makes macros of the last
// three).
#undef DeleteFile
#undef DispatchMessage
#undef DrawText
#undef ExtTextOut
#undef GetOpenFileName
#undef GetTextExtentPoint32
#undef LoadCursor
#undef LoadImage
#undef MessageBox
#undef PostMessage
#undef SendMessage
#undef SetWindowText
#undef ShellExecute
#undef TextOut
#undef SelectFont
#undef SetWindowFont
#undef SetWindowRedraw
