// What the hook procedure does with one retrieved message, decided over
// plain values so that it can be built and tested without Windows. Written
// for any wParam width: the 64-bit library uses uint64_t, the 32-bit one
// uint32_t.
#pragma once

#include <stdint.h>

#include "tavrin_protocol.h"

namespace tavrin::hook {

inline constexpr uint32_t kXButton1Bit = 0x10000;  // XBUTTON1 in the high word
inline constexpr uint32_t kXButton2Bit = 0x20000;  // XBUTTON2 in the high word
inline constexpr uint32_t kPmRemove = 1;

enum class Outcome : uint32_t {
  PassOn,       // hand the record on unchanged
  StripMarker,  // clear MK_INJECTED in wParam, then hand it on
  Swallow,      // turn the record into WM_NULL and return 0
};

// What goes into a notification's wParam.
enum class Target : uint32_t {
  MessageWindow,  // the record's hwnd
  WindowAtPoint,  // WindowFromPoint(record.pt), looked up when posting
  MessageWParam,  // not a window: the record's own wParam
};

// The outcome and up to two notifications, posted in order before the
// outcome is applied, packed into one word: building a record on the stack
// would cost the 32-bit library a fifth of its code. Bits 0-1 hold the
// outcome, bits 2-3 the count; notification i takes the byte at 8 + 8 i,
// its message's offset from WMU_MBUTTON_CLICK in the high six bits and its
// target in the low two.
using Decision = uint32_t;

constexpr Decision Decided(Outcome outcome) {
  return static_cast<uint32_t>(outcome);
}
constexpr Decision Notifying(Decision d, uint32_t message, Target target) {
  const uint32_t i = (d >> 2) & 3;
  return (d + 4) |
         ((message - WMU_MBUTTON_CLICK) << 2 | static_cast<uint32_t>(target))
             << (8 + 8 * i);
}
constexpr Outcome OutcomeOf(Decision d) { return Outcome(d & 3); }
constexpr uint32_t CountOf(Decision d) { return (d >> 2) & 3; }
constexpr uint32_t MessageOf(Decision d, uint32_t i) {
  return WMU_MBUTTON_CLICK + ((d >> (10 + 8 * i)) & 0x3F);
}
constexpr Target TargetOf(Decision d, uint32_t i) {
  return Target((d >> (8 + 8 * i)) & 3);
}

// The common path: only a message retrieved with removal, with a
// non-negative hook code, in WM_MBUTTONDOWN..WM_MOUSEHWHEEL is looked at.
// The removal flag is compared at its full width.
template <typename Word>
constexpr bool IsCandidate(int32_t code, Word removal, uint32_t message) {
  return code >= 0 && removal == kPmRemove &&
         message - kWmMButtonDown <= kWmMouseHWheel - kWmMButtonDown;
}

// The decision for a candidate message. closeByMbtn: the middle button is
// taken over. modernWheel: both wheels are reported with their own wParam.
// hostKnown: a host window is set; without one nothing is taken over, so
// that no input is lost while no host can act on it.
template <typename Word>
[[gnu::always_inline]] constexpr Decision DecideCandidate(uint32_t message,
                                                          Word wParam,
                                                          bool closeByMbtn,
                                                          bool modernWheel,
                                                          bool hostKnown) {
  constexpr Decision kPass = Decided(Outcome::PassOn);
  constexpr Decision kSwallow = Decided(Outcome::Swallow);
  // The modern wheel's window is found here, in the application's thread.
  constexpr Decision kWheelTarget =
      Notifying(kSwallow, WMU_WHEEL_TARGET, Target::WindowAtPoint);
  if (!hostKnown) return kPass;
  if (wParam & MK_INJECTED) return Decided(Outcome::StripMarker);
  switch (message) {
    case kWmMButtonDown:
      return closeByMbtn ? kSwallow : kPass;
    case kWmMButtonUp:
      if (!closeByMbtn) return kPass;
      return Notifying(kSwallow, WMU_MBUTTON_CLICK, Target::MessageWindow);
    case kWmMouseWheel:
      if (modernWheel)
        return Notifying(kWheelTarget, WMU_WHEEL_MESSAGE,
                         Target::MessageWParam);
      return Notifying(kSwallow, WheelNotificationFor(wParam),
                       Target::WindowAtPoint);
    case kWmMouseHWheel:
      if (!modernWheel) return kPass;
      return Notifying(kWheelTarget, WMU_HWHEEL_MESSAGE, Target::MessageWParam);
    case kWmXButtonDown:
      return kSwallow;
    case kWmXButtonUp: {
      Decision d = kSwallow;
      if (wParam & kXButton1Bit)
        d = Notifying(d, WMU_XBUTTON1_UP, Target::WindowAtPoint);
      if (wParam & kXButton2Bit)
        d = Notifying(d, WMU_XBUTTON2_UP, Target::WindowAtPoint);
      return CountOf(d) ? d : kPass;
    }
    default:  // the double clicks
      return kPass;
  }
}

// The record's wParam after the marker is stripped: only bit 14 changes.
template <typename Word>
constexpr Word WithoutMarker(Word wParam) {
  return wParam & ~static_cast<Word>(MK_INJECTED);
}

}  // namespace tavrin::hook
