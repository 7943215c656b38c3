// Fractions of a notch added up into whole steps, as Windows adds them for
// a window that scrolls by lines.
#include "wheel_steps.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace tavrin::host;

// Each message: window, horizontal, delta, and the steps it must make.
struct Message {
  WindowId window;
  bool horizontal;
  int32_t delta, steps;
};

// The turn and another window are proven end to end; these are not.
// clang-format off
const struct { const char* name; uint32_t perNotch; std::vector<Message> messages; } kCases[] = {
  {"40 is one line; 120 three, 240 six", 3, {{1, false, 40, 1}, {1, false, 120, 3}, {1, false, 240, 6}}},
  {"the other axis drops the rest", 3, {{1, false, 30, 0}, {1, true, 30, 0}, {1, true, 30, 1}}},
  {"an up-down: a step a whole notch", 1, {{1, false, 90, 0}, {1, false, 30, 1}, {1, false, -240, -2}}},
  {"no lines a notch: no steps", 0, {{1, false, 32767, 0}, {1, false, -32768, 0}}},
  {"at most 1,000 steps", 1000, {{1, false, 240, 1000}, {1, false, -32768, -1000}}},
};
// clang-format on

TEST(WheelSteps, DeltasAddUpToWholeStepsPerWindowAxisAndDirection) {
  for (const auto& c : kCases) {
    WheelRest rest;
    std::vector<int32_t> got, want;
    for (const Message& m : c.messages) {
      got.push_back(AddUp(rest, m.window, m.horizontal, m.delta, c.perNotch));
      want.push_back(m.steps);
    }
    EXPECT_EQ(got, want) << c.name;
  }
}

}  // namespace
