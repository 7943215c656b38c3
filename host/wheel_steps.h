// Wheel messages of any delta, added up into whole steps: precision
// touchpads and free-spinning wheels send fractions of a notch (120), many
// a gesture.
#pragma once

#include <stdint.h>

#include "desktop.h"

namespace tavrin::host {

// What the last wheel messages left over, and where.
struct WheelRest {
  WindowId window = 0;
  bool horizontal = false;
  int32_t rest = 0;  // delta times steps a notch, not yet posted; < 120
};

// What the modern wheel keeps from one notification to the next: the
// window that the application's own thread found under the point of the
// wheel message that comes next, and what the deltas left over.
struct ModernWheel {
  WindowId target = 0;
  int64_t targetPoint = 0;  // the lParam it came with
  bool targetKnown = false;
  WheelRest rest;
};

// The whole steps (lines, or positions of an up-down control) that a wheel
// message of `delta` makes at `window`, `perNotch` steps a notch, keeping
// the rest for the next message: Windows' own rule for a window that
// scrolls by lines. The rest starts again from zero when the window, the
// axis or the direction changes. Positive steps go up (or right), at most
// 1,000 either way.
int32_t AddUp(WheelRest& rest, WindowId window, bool horizontal, int32_t delta,
              uint32_t perNotch);

}  // namespace tavrin::host
