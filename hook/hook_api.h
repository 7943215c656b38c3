// The hook library's exports, as the host imports them.
#pragma once

#include <windows.h>

extern "C" {

// Installs the system-wide message hook that reports to `window`, taking the
// middle button over when closeByMbtn is set. False, after a message box,
// when a hook is already active or the platform refuses it.
__declspec(dllimport) bool SetHook(HWND window, bool closeByMbtn);

// Removes the hook. False, after a message box, when there was none or the
// platform refuses to remove it.
__declspec(dllimport) bool ResetHook();
}
