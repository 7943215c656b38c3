#include "wheel_steps.h"

#include <algorithm>

namespace tavrin::host {

namespace {

constexpr int64_t kNotch = 120;  // WHEEL_DELTA
// As many as one notch may post: see LinesPerNotch.
constexpr int64_t kMaxSteps = 1000;

}  // namespace

int32_t AddUp(WheelRest& rest, WindowId window, bool horizontal, int32_t delta,
              uint32_t perNotch) {
  if (window != rest.window || horizontal != rest.horizontal ||
      int64_t{delta} * rest.rest < 0)
    rest = {window, horizontal, 0};
  const int64_t total = rest.rest + int64_t{delta} * perNotch;
  const int64_t steps = total / kNotch;  // toward zero, as the rest's sign
  rest.rest = static_cast<int32_t>(total - steps * kNotch);
  return static_cast<int32_t>(std::clamp(steps, -kMaxSteps, kMaxSteps));
}

}  // namespace tavrin::host
