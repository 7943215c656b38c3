// Windows that report what they receive to the driver's sink: used by the
// target program, and by the probe library inside the host's process.
#pragma once

#include <windows.h>

#include "e2e_log.h"

namespace tavrin::e2e {

// Sends one record to the sink window (found by its class).
void Report(RecordKind kind, uint32_t message, HWND window, uint64_t wParam,
            int64_t lParam);

// Tells the driver which window plays `role`.
void Announce(Role role, HWND window);

// A window of its own class (registered on first use) whose procedure
// reports every logged message and gives it no default processing.
HWND CreateLoggedWindow(const char* className, DWORD style, int x, int y,
                        int width, int height, HWND parent);

// Reports a system control's logged messages on their way to it.
void LogControl(HWND control);

// Messages worth reporting: buttons and wheels (client and non-client, up to
// 0x20F), keys, scrolling, system commands, UDM_SETPOS, and WM_NULL, which is
// what a swallowed message becomes. Not the moves of the pointer.
bool IsLogged(UINT message);

}  // namespace tavrin::e2e
