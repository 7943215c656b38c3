// Ctrl + middle click: puts the clicked window's class, or its top-level
// window's class, on the wheel-exclusion lists or takes it off, after asking.
#pragma once

#include "desktop.h"
#include "host_state.h"

namespace tavrin::host {

// Asks about the window's class and its top-level window's class, writes
// the chosen entry and reloads the settings, as the answers say.
void EditExclusions(Desktop& desktop, const rules::HostState& state,
                    WindowId window);

}  // namespace tavrin::host
