// The verdict over one window: what the wheel and a middle click do over a
// window of a class in a top-level window of another, as the host decides
// it, and the steps that tavrin-check FILE CLASS shows on the way.
#pragma once

#include <optional>
#include <string_view>

#include "explain.h"
#include "host_state.h"
#include "window_rules.h"

namespace tavrin::check {

struct Verdict {
  std::string_view className, topClass;
  rules::WheelDecision wheel;
  std::optional<rules::ClickAction> click;  // none: close_by_mbtn is 0
  std::string_view clickList;  // the list that decided the click, if one did
};

// Through DecideWheel and DecideMiddleClick, which the dispatcher calls.
Verdict DecideVerdict(const rules::HostState& state, const Effective& effective,
                      std::string_view className, std::string_view topClass);

}  // namespace tavrin::check
