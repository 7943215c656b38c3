// What the wheel and a middle click do over a window of a given class, by
// the loaded class lists: the rules that the host acts on and that
// tavrin-check explains.
#pragma once

#include <stdint.h>

#include <string_view>

#include "host_state.h"

namespace tavrin::rules {

inline constexpr std::string_view kUpDownClass = "msctls_updown32";

// What a wheel notch does to the window under the pointer, and, when it
// gets the wheel message itself, the list and the key that decided so.
enum class WheelAction { Lines, Forward, UpDown };
struct WheelDecision {
  WheelAction action;
  std::string_view list = {};  // Forward: exclude_class or exclude_parent_class
  std::string_view key = {};   // Forward: the key, as the list holds it
};

// The wheel's rules, in the order the host applies them: an up-down control
// (by its exact class) is stepped; a class that the prefix rule finds in
// exclude_class, or a top-level class in exclude_parent_class, gets the
// wheel message itself; any other window gets line messages. topClass()
// gives the top-level window's class; it is asked only when the window's
// own class does not decide.
template <typename TopClass>
WheelDecision DecideWheel(const HostState& state, std::string_view className,
                          TopClass&& topClass) {
  if (className == kUpDownClass) return {WheelAction::UpDown};
  if (const auto key = ExcludingKey(state.exclude_class, className);
      !key.empty())
    return {WheelAction::Forward, "exclude_class", key};
  if (const auto key = state.exclude_parent_class.Find(topClass());
      !key.empty())
    return {WheelAction::Forward, "exclude_parent_class", key};
  return {WheelAction::Lines};
}

// What a middle click does while close_by_mbtn is on, by the class of the
// clicked window's top-level window, and the list that decided so.
enum class ClickAction { Close, Discard, Pass };
struct ClickDecision {
  ClickAction action;
  std::string_view list = {};  // Discard and Pass: the list naming the class
};
ClickDecision DecideMiddleClick(const HostState& state,
                                std::string_view topClass);

// Line messages per notch for a scroll_counts value: a negative one counts
// as none, and no more than 1,000 are posted.
uint32_t LinesPerNotch(int32_t scrollCounts);

}  // namespace tavrin::rules
