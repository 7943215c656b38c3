// The state that every copy of the hook library shares; see
// shared_section.cpp for the rules that govern it.
#pragma once

#include <windows.h>

extern HWND SharedHostWindow;
extern HHOOK SharedHookHandle;
extern BYTE SharedCloseByMbtn;
extern BYTE SharedModernWheel;
