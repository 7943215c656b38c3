#include "dispatcher.h"

#include <algorithm>

#include "exclusion_editor.h"

namespace tavrin::host {

namespace {

// GetParent never cycles on a sound desktop; the bound only keeps a
// misbehaving one from hanging the host and every wheel with it.
constexpr int kMaxAncestors = 4096;

void ForwardWheel(Desktop& desktop, WindowId window, bool up, int64_t lParam) {
  desktop.Post(window, kWmMouseWheel,
               up ? kForwardedWheelUp : kForwardedWheelDown, lParam);
}

void ScrollByLines(Desktop& desktop, const HostState& state, WindowId window,
                   bool up) {
  const ScrollBar vertical = desktop.ReadScrollBar(window, kSbVert);
  const ScrollBar horizontal = desktop.ReadScrollBar(window, kSbHorz);
  const uint32_t message = LineScrollMessage(vertical, horizontal);
  const uint64_t request = up ? 0 : 1;  // SB_LINEUP, SB_LINEDOWN
  for (uint32_t i = LineCount(state.scroll_counts); i > 0; --i)
    desktop.Post(window, message, request, 0);
  desktop.Post(window, message, kSbEndScroll, 0);
}

void StepUpDown(Desktop& desktop, WindowId control, bool up) {
  const std::optional<uint64_t> range = desktop.Ask(control, kUdmGetRange);
  if (!range) return;
  const std::optional<uint64_t> position = desktop.Ask(control, kUdmGetPos);
  if (!position) return;
  if (const auto next = NextUpDownPosition(*range, *position, up))
    desktop.Post(control, kUdmSetPos, 0, *next);
}

void OnWheel(Desktop& desktop, const HostState& state, WindowId window, bool up,
             int64_t lParam) {
  const std::string name = desktop.ClassName(window);
  if (name == kUpDownClass) return StepUpDown(desktop, window, up);
  if (IsClassExcluded(state.exclude_class, name))
    return ForwardWheel(desktop, window, up, lParam);
  const WindowId top = TopLevelWindow(desktop, window);
  if (state.exclude_parent_class.Contains(desktop.ClassName(top)))
    return ForwardWheel(desktop, window, up, lParam);
  ScrollByLines(desktop, state, window, up);
}

void OnMiddleClick(Desktop& desktop, const HostState& state, WindowId window,
                   int64_t lParam) {
  const WindowId top = TopLevelWindow(desktop, window);
  if (!top) return;
  const std::string name = desktop.ClassName(top);
  if (state.mbtn_discard_class.Contains(name)) return;
  if (state.mbtn_passthrough_class.Contains(name)) {
    desktop.Post(window, kWmMButtonDown, kPassedPressWParam, lParam);
    desktop.Post(window, kWmMButtonUp, kPassedReleaseWParam, lParam);
    return;
  }
  desktop.Post(top, kWmSysCommand, kScClose, 0);
}

void TypeAltArrow(Desktop& desktop, uint8_t arrow) {
  desktop.KeyEvent(kVkMenu, kKeyExtended);
  desktop.KeyEvent(arrow, 0);
  desktop.KeyEvent(arrow, kKeyUp);
  desktop.KeyEvent(kVkMenu, kKeyExtended | kKeyUp);
}

}  // namespace

bool IsScrollable(const ScrollBar& bar) {
  return bar.present && static_cast<uint32_t>(bar.max) + 1u != bar.page;
}

uint32_t LineScrollMessage(const ScrollBar& vertical,
                           const ScrollBar& horizontal) {
  return IsScrollable(horizontal) && !IsScrollable(vertical) ? kWmHScroll
                                                             : kWmVScroll;
}

uint32_t LineCount(int32_t scrollCounts) {
  if (scrollCounts <= 0) return 0;
  return std::min(static_cast<uint32_t>(scrollCounts), kMaxLineMessages);
}

std::optional<int16_t> NextUpDownPosition(uint64_t rangeReply,
                                          uint64_t posReply, bool up) {
  const auto max = static_cast<int16_t>(rangeReply & 0xFFFF);
  const auto min = static_cast<int16_t>((rangeReply >> 16) & 0xFFFF);
  const auto position = static_cast<int16_t>(posReply & 0xFFFF);
  const int16_t limit = up ? max : min;
  if (position == limit) return std::nullopt;
  return static_cast<int16_t>(position < limit ? position + 1 : position - 1);
}

WindowId TopLevelWindow(Desktop& desktop, WindowId window) {
  for (int i = 0; window && i < kMaxAncestors; ++i) {
    const WindowId parent = desktop.Parent(window);
    if (!parent) break;
    window = parent;
  }
  return window;
}

bool Dispatch(Desktop& desktop, const HostState& state, uint32_t message,
              uint64_t wParam, int64_t lParam) {
  switch (message) {
    case kWmDestroy:
      desktop.Quit();
      return true;
    case WMU_MBUTTON_CLICK:
      if (desktop.IsControlDown())
        EditExclusions(desktop, state, wParam);
      else
        OnMiddleClick(desktop, state, wParam, lParam);
      return true;
    case WMU_WHEEL_UP:
    case WMU_WHEEL_DOWN:
      OnWheel(desktop, state, wParam, message == WMU_WHEEL_UP, lParam);
      return true;
    case WMU_XBUTTON1_UP:
      TypeAltArrow(desktop, kVkLeft);
      return true;
    case WMU_XBUTTON2_UP:
      TypeAltArrow(desktop, kVkRight);
      return true;
  }
  return false;
}

}  // namespace tavrin::host
