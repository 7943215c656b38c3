#include "window_rules.h"

#include <algorithm>

namespace tavrin::rules {

namespace {

// Line messages per notification: the setting, with a negative value (which
// the file can yield) taken as none rather than as four thousand million,
// and well below the 10,000 posted messages that a thread's queue holds, so
// that the closing SB_ENDSCROLL always finds room and the host, and with it
// the wheel of the whole desktop, is never busy for long.
constexpr uint32_t kMaxLineMessages = 1000;

}  // namespace

uint32_t LinesPerNotch(int32_t scrollCounts) {
  if (scrollCounts <= 0) return 0;
  return std::min(static_cast<uint32_t>(scrollCounts), kMaxLineMessages);
}

ClickDecision DecideMiddleClick(const HostState& state,
                                std::string_view topClass) {
  if (state.mbtn_discard_class.Contains(topClass))
    return {ClickAction::Discard, "mbtn_discard_class"};
  if (state.mbtn_passthrough_class.Contains(topClass))
    return {ClickAction::Pass, "mbtn_passthrough_class"};
  return {ClickAction::Close};
}

}  // namespace tavrin::rules
