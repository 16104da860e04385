// Subclassing of windows in the shape of comctl32's (SetWindowSubclass, DefSubclassProc, ...),
// with the chains kept in the process. comctl32 finds its chain through a window property on
// every message, which under Wine is a round trip to the server; buttons and lists get many
// messages, so that cost showed in every step of the wizards.
#pragma once

#include "Win32Api.h"

// Adds Proc with Id to Window's chain (or gives it new Data); the last added is called first.
// False when Window is no window.
bool SetSubclass(HWND Window, SUBCLASSPROC Proc, UINT_PTR Id, DWORD_PTR Data);
// Takes Proc with Id out of the chain; safe from inside any call of the chain.
bool RemoveSubclass(HWND Window, SUBCLASSPROC Proc, UINT_PTR Id);
// Passes a message on from the subclass procedure being called to the next in the chain,
// at last to the window's own procedure.
LRESULT DefSubclass(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
// The data of Proc with Id in Window's chain, or false when it is not there.
bool SubclassData(HWND Window, SUBCLASSPROC Proc, UINT_PTR Id, DWORD_PTR& Data);
