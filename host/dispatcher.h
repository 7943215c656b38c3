// What the host does with each notification from the hook library: scroll
// or step the window under the pointer, forward the wheel to it, pass on or
// swallow a middle click or close its top-level window, and type Alt+Left or
// Alt+Right for the extra buttons.
#pragma once

#include <stdint.h>

#include "desktop.h"
#include "host_state.h"
#include "wheel_steps.h"

namespace tavrin::host {

inline constexpr uint32_t kWmDestroy = 0x0002;

// The host window procedure's own work; `wheel` is what the modern wheel's
// notifications keep from one to the next. False for a message that is not
// the host's, which then gets the default processing.
bool Dispatch(Desktop& desktop, const rules::HostState& state,
              ModernWheel& wheel, uint32_t message, uint64_t wParam,
              int64_t lParam);

}  // namespace tavrin::host
