// Stands in front of the system's <windows.h> for the back end's files, which include
// Win32Api.h first instead: the layer's headers and the system's share names.
#pragma once
#pragma GCC system_header

#ifndef QUOVANT_SYSTEM_HEADERS
#error "Include Win32Api.h first, not <windows.h>: it reconciles the system's names with the layer's"
#endif
#include_next <windows.h>
