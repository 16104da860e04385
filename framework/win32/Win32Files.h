// What the Win32 back end's windows and test driver need of its files: the end of the session
// removes a guarded temporary file, and a file is held as a running writer holds its own.
#pragma once

#include "Win32Api.h"

// Removes the file that GuardAgainstEnd guards, if any: for WM_ENDSESSION, after which the
// system ends the program.
void EndSessionCleanup();

// Marks File as held by this process (see Platform::HoldFile); false when another holds it.
bool HoldAsWriter(HANDLE File);

// The errno value for a Win32 error code.
int ErrnoOfWin32Error(DWORD Error);
