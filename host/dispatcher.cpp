#include "dispatcher.h"

#include <algorithm>
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

// One notch (WHEEL_DELTA, 120) up and down, as a wheel message's wParam.
constexpr uint32_t kNotchUp = 0x00780000;
constexpr uint32_t kNotchDown = 0xFF880000;

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

// The up-down control's position after `steps` steps, from its
// UDM_GETRANGE and UDM_GETPOS replies: toward Max (up) or Min (down),
// whichever is numerically larger, and no further; nothing at that limit.
std::optional<int16_t> UpDownPositionAfter(uint64_t rangeReply,
                                           uint64_t posReply, bool up,
                                           uint32_t steps) {
  const auto max = static_cast<int16_t>(rangeReply & 0xFFFF);
  const auto min = static_cast<int16_t>((rangeReply >> 16) & 0xFFFF);
  const auto position = static_cast<int16_t>(posReply & 0xFFFF);
  const int16_t limit = up ? max : min;
  if (position == limit) return std::nullopt;
  const int32_t toward = position < limit ? 1 : -1;
  const auto room = static_cast<uint32_t>((limit - position) * toward);
  return static_cast<int16_t>(
      position + toward * static_cast<int32_t>(std::min(room, steps)));
}

// A wheel message of 32 bits, marked, in a 64-bit wParam: sign-extended, as
// the system gives it to a 64-bit window.
uint64_t MarkedWheel(uint32_t wheelWParam) {
  return static_cast<uint64_t>(
      static_cast<int64_t>(static_cast<int32_t>(wheelWParam | MK_INJECTED)));
}

// WM_VSCROLL, or WM_HSCROLL when only the window's horizontal bar scrolls.
uint32_t VerticalLineMessage(Desktop& desktop, WindowId window) {
  const ScrollBar vertical = desktop.ReadScrollBar(window, kSbVert);
  const ScrollBar horizontal = desktop.ReadScrollBar(window, kSbHorz);
  return LineScrollMessage(vertical, horizontal);
}

// `count` line messages with the request, then SB_ENDSCROLL.
void PostLines(Desktop& desktop, WindowId window, uint32_t message,
               uint64_t request, uint32_t count) {
  for (uint32_t i = count; i > 0; --i)
    desktop.Post(window, message, request, 0);
  desktop.Post(window, message, kSbEndScroll, 0);
}

void StepUpDown(Desktop& desktop, WindowId control, bool up, uint32_t steps) {
  const std::optional<uint64_t> range = desktop.Ask(control, kUdmGetRange);
  if (!range) return;
  const std::optional<uint64_t> position = desktop.Ask(control, kUdmGetPos);
  if (!position) return;
  if (const auto next = UpDownPositionAfter(*range, *position, up, steps))
    desktop.Post(control, kUdmSetPos, 0, *next);
}

WheelAction ActionAt(Desktop& desktop, const HostState& state,
                     WindowId window) {
  return DecideWheel(
             state, desktop.ClassName(window),
             [&] { return desktop.ClassName(TopLevelWindow(desktop, window)); })
      .action;
}

// One notch, up or down, over the window that the hook found.
void OnWheel(Desktop& desktop, const HostState& state, WindowId window, bool up,
             int64_t lParam) {
  // No window under the pointer: posts would land in the host's own queue.
  if (!window) return;
  switch (ActionAt(desktop, state, window)) {
    case WheelAction::UpDown:
      return StepUpDown(desktop, window, up, 1);
    case WheelAction::Forward:
      return desktop.Post(window, kWmMouseWheel,
                          MarkedWheel(up ? kNotchUp : kNotchDown), lParam);
    case WheelAction::Lines:
      return PostLines(desktop, window, VerticalLineMessage(desktop, window),
                       up ? 0 : 1,  // SB_LINEUP, SB_LINEDOWN
                       LinesPerNotch(state.scroll_counts));
  }
}

// The window that the application's thread found for the message with this
// point. Its WMU_WHEEL_TARGET comes right before it; only two applications
// taking wheel messages at the same moment could put another between them,
// and then the host looks for itself, in its own coordinates.
WindowId TargetOf(Desktop& desktop, ModernWheel& wheel, int64_t lParam) {
  const bool known = wheel.targetKnown && wheel.targetPoint == lParam;
  wheel.targetKnown = false;
  if (known) return wheel.target;
  return desktop.WindowAt(static_cast<int16_t>(lParam & 0xFFFF),
                          static_cast<int16_t>((lParam >> 16) & 0xFFFF));
}

// The modern wheel: a wheel message with its own delta and key flags, over
// the window at its point. With Ctrl or Shift, or over an excluded class,
// the window gets it itself; an up-down control is stepped, any other
// window scrolled, by the whole steps that the deltas add up to.
void OnWheelMessage(Desktop& desktop, const HostState& state,
                    ModernWheel& wheel, bool horizontal, uint64_t wParam,
                    int64_t lParam) {
  const WindowId window = TargetOf(desktop, wheel, lParam);
  if (!window) return;
  const auto word = static_cast<uint32_t>(wParam);
  WheelAction action = WheelAction::Forward;
  if (!(word & (kMkControl | kMkShift)))
    action = ActionAt(desktop, state, window);
  // Up-down controls follow the vertical wheel only.
  if (horizontal && action == WheelAction::UpDown)
    action = WheelAction::Forward;
  const uint32_t perNotch = action == WheelAction::Lines
                                ? LinesPerNotch(state.scroll_counts)
                                : action == WheelAction::UpDown;
  const int32_t steps = AddUp(wheel.rest, window, horizontal,
                              static_cast<int16_t>(word >> 16), perNotch);
  const auto count = static_cast<uint32_t>(steps < 0 ? -steps : steps);
  switch (action) {
    case WheelAction::Forward:
      return desktop.Post(window, horizontal ? kWmMouseHWheel : kWmMouseWheel,
                          MarkedWheel(word), lParam);
    case WheelAction::UpDown:
      if (count) StepUpDown(desktop, window, steps > 0, count);
      return;
    case WheelAction::Lines:
      // Less than a line posts nothing; a scroll_counts of 0 or less posts
      // the end alone, as every notch does then.
      if (!count && perNotch) return;
      if (horizontal)
        return PostLines(desktop, window, kWmHScroll,
                         steps > 0 ? 1 : 0,  // SB_LINERIGHT, SB_LINELEFT
                         count);
      return PostLines(desktop, window, VerticalLineMessage(desktop, window),
                       steps > 0 ? 0 : 1, count);
  }
}

void OnMiddleClick(Desktop& desktop, const HostState& state, WindowId window,
                   int64_t lParam) {
  const WindowId top = TopLevelWindow(desktop, window);
  // The desktop window itself lies under the pointer where no shell runs:
  // closing it would end every program of the desktop.
  if (!top || top == desktop.DesktopWindow()) return;
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

bool Dispatch(Desktop& desktop, const HostState& state, ModernWheel& wheel,
              uint32_t message, uint64_t wParam, int64_t lParam) {
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
    case WMU_WHEEL_TARGET:
      wheel.target = wParam;
      wheel.targetPoint = lParam;
      wheel.targetKnown = true;
      return true;
    case WMU_WHEEL_MESSAGE:
    case WMU_HWHEEL_MESSAGE:
      OnWheelMessage(desktop, state, wheel, message == WMU_HWHEEL_MESSAGE,
                     wParam, lParam);
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
