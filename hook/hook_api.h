// The hook library's exports, as the host imports them and as the library
// defines them (it exports them by its .def file).
#pragma once

#include <windows.h>

#ifdef TAVRIN_HOOK_LIBRARY
#define TAVRIN_HOOK_API
#else
#define TAVRIN_HOOK_API __declspec(dllimport)
#endif

extern "C" {

// Installs the system-wide message hook that reports to `window`, taking the
// middle button over when closeByMbtn is set. False, after a message box,
// when a hook is already active or the platform refuses it.
TAVRIN_HOOK_API bool SetHook(HWND window, bool closeByMbtn);

// Removes the hook. False, after a message box, when there was none or the
// platform refuses to remove it.
TAVRIN_HOOK_API bool ResetHook();

// Whether the hook reports both wheels with their own wParam (for fractions
// of a notch, the tilt wheel, and Ctrl or Shift) instead of one notch up or
// down. Takes effect at once, hook or no hook.
TAVRIN_HOOK_API void SetModernWheel(bool modernWheel);

#ifndef _WIN64
// Exported by the 32-bit library only, for the companion that serves 32-bit
// applications for the 64-bit host, one thread at a time.

// Sets the window that receives the notifications and the close flag,
// without a hook; null clears them. The companion that calls it is the only
// one for its host, and there is one host.
TAVRIN_HOOK_API void SetHostWindow(HWND window, bool closeByMbtn);

// Clears the window set by SetHostWindow, unless another companion has set
// its own since: a companion that outlives its host must not switch the
// next host's service off.
TAVRIN_HOOK_API void ReleaseHostWindow(HWND window);

// Hooks one thread (of a 32-bit process) with HookProc; null on failure.
TAVRIN_HOOK_API HHOOK HookThread(DWORD threadId);
#endif
}
