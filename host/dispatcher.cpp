#include "dispatcher.h"

#include <optional>

#include "exclusion_editor.h"
#include "tavrin_protocol.h"
#include "window_rules.h"

namespace tavrin::host {

namespace {

using namespace rules;

constexpr uint32_t kWmSysCommand = 0x0112;
constexpr uint64_t kScClose = 0xF060;
constexpr uint32_t kWmHScroll = 0x0114;
constexpr uint32_t kWmVScroll = 0x0115;
constexpr uint64_t kSbEndScroll = 8;
constexpr uint8_t kVkMenu = 0x12;
constexpr uint8_t kVkLeft = 0x25;
constexpr uint8_t kVkRight = 0x27;
constexpr uint32_t kKeyExtended = 1;
constexpr uint32_t kKeyUp = 2;

// The middle click passed back to the clicked window, marked so that the
// hook lets it through: MK_MBUTTON with the press, no flags with the release.
constexpr uint64_t kPassedPressWParam = 0x0010 | MK_INJECTED;
constexpr uint64_t kPassedReleaseWParam = MK_INJECTED;

// One notch (WHEEL_DELTA, 120) in the high word of the low 32 bits, marked;
// the downward value is 0xFF884000 sign-extended.
constexpr uint64_t kForwardedWheelUp = 0x0000000000784000;
constexpr uint64_t kForwardedWheelDown = 0xFFFFFFFFFF884000;

// A bar counts as scrollable when it exists and its range is not exactly
// one page: nMax + 1 != nPage in 32-bit arithmetic.
bool IsScrollable(const ScrollBar& bar) {
  return bar.present && static_cast<uint32_t>(bar.max) + 1u != bar.page;
}

// WM_HSCROLL when only the horizontal bar can scroll, else WM_VSCROLL.
uint32_t LineScrollMessage(const ScrollBar& vertical,
                           const ScrollBar& horizontal) {
  return IsScrollable(horizontal) && !IsScrollable(vertical) ? kWmHScroll
                                                             : kWmVScroll;
}

// The up-down control's next position for one notch, from its
// UDM_GETRANGE and UDM_GETPOS replies: one step toward Max (up) or Min
// (down), whichever is numerically larger; nothing at that limit.
std::optional<int16_t> NextUpDownPosition(uint64_t rangeReply,
                                          uint64_t posReply, bool up) {
  const auto max = static_cast<int16_t>(rangeReply & 0xFFFF);
  const auto min = static_cast<int16_t>((rangeReply >> 16) & 0xFFFF);
  const auto position = static_cast<int16_t>(posReply & 0xFFFF);
  const int16_t limit = up ? max : min;
  if (position == limit) return std::nullopt;
  return static_cast<int16_t>(position < limit ? position + 1 : position - 1);
}

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
  for (uint32_t i = LinesPerNotch(state.scroll_counts); i > 0; --i)
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
  // No window under the pointer: posts would land in the host's own queue.
  if (!window) return;
  const WheelDecision decision = DecideWheel(
      state, desktop.ClassName(window),
      [&] { return desktop.ClassName(TopLevelWindow(desktop, window)); });
  switch (decision.action) {
    case WheelAction::UpDown:
      return StepUpDown(desktop, window, up);
    case WheelAction::Forward:
      return ForwardWheel(desktop, window, up, lParam);
    case WheelAction::Lines:
      return ScrollByLines(desktop, state, window, up);
  }
}

void OnMiddleClick(Desktop& desktop, const HostState& state, WindowId window,
                   int64_t lParam) {
  const WindowId top = TopLevelWindow(desktop, window);
  if (!top) return;
  switch (DecideMiddleClick(state, desktop.ClassName(top)).action) {
    case ClickAction::Discard:
      return;
    case ClickAction::Pass:
      desktop.Post(window, kWmMButtonDown, kPassedPressWParam, lParam);
      desktop.Post(window, kWmMButtonUp, kPassedReleaseWParam, lParam);
      return;
    case ClickAction::Close:
      desktop.Post(top, kWmSysCommand, kScClose, 0);
      return;
  }
}

void TypeAltArrow(Desktop& desktop, uint8_t arrow) {
  desktop.KeyEvent(kVkMenu, kKeyExtended);
  desktop.KeyEvent(arrow, 0);
  desktop.KeyEvent(arrow, kKeyUp);
  desktop.KeyEvent(kVkMenu, kKeyExtended | kKeyUp);
}

}  // namespace

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
