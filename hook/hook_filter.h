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

enum class Outcome : uint8_t {
  PassOn,       // hand the record on unchanged
  StripMarker,  // clear MK_INJECTED in wParam, then hand it on
  Swallow,      // turn the record into WM_NULL and return 0
};

// Whose handle goes into a notification's wParam.
enum class Target : uint8_t {
  MessageWindow,  // the record's hwnd
  WindowAtPoint,  // WindowFromPoint(record.pt), looked up when posting
};

struct Notification {
  uint32_t message;
  Target target;
  friend constexpr bool operator==(const Notification&,
                                   const Notification&) = default;
};

// Notifications are posted in array order, before the outcome is applied.
struct Decision {
  Outcome outcome;
  uint8_t count;
  Notification notifications[2];
};

// The common path: only a message retrieved with removal, with a
// non-negative hook code, in WM_MBUTTONDOWN..WM_MOUSEHWHEEL is looked at.
// The removal flag is compared at its full width.
template <typename Word>
constexpr bool IsCandidate(int32_t code, Word removal, uint32_t message) {
  return code >= 0 && removal == kPmRemove &&
         message - kWmMButtonDown <= kWmMouseHWheel - kWmMButtonDown;
}

// The decision for a candidate message. closeByMbtn: the middle button is
// taken over. hostKnown: a host window is set; without one nothing is taken
// over, so that no input is lost while no host can act on it.
template <typename Word>
[[gnu::always_inline]] constexpr Decision DecideCandidate(uint32_t message,
                                                          Word wParam,
                                                          bool closeByMbtn,
                                                          bool hostKnown) {
  constexpr Decision kPass{Outcome::PassOn, 0, {}};
  constexpr Decision kSwallowSilently{Outcome::Swallow, 0, {}};
  if (!hostKnown) return kPass;
  if (wParam & MK_INJECTED) return {Outcome::StripMarker, 0, {}};
  switch (message) {
    case kWmMButtonDown:
      return closeByMbtn ? kSwallowSilently : kPass;
    case kWmMButtonUp:
      if (!closeByMbtn) return kPass;
      return {
          Outcome::Swallow, 1, {{WMU_MBUTTON_CLICK, Target::MessageWindow}}};
    case kWmMouseWheel:
      return {Outcome::Swallow,
              1,
              {{WheelNotificationFor(wParam), Target::WindowAtPoint}}};
    case kWmXButtonDown:
      return kSwallowSilently;
    case kWmXButtonUp: {
      Decision d{Outcome::Swallow, 0, {}};
      if (wParam & kXButton1Bit)
        d.notifications[d.count++] = {WMU_XBUTTON1_UP, Target::WindowAtPoint};
      if (wParam & kXButton2Bit)
        d.notifications[d.count++] = {WMU_XBUTTON2_UP, Target::WindowAtPoint};
      return d.count ? d : kPass;
    }
    default:  // the double clicks and the horizontal wheel
      return kPass;
  }
}

// The record's wParam after the marker is stripped: only bit 14 changes.
template <typename Word>
constexpr Word WithoutMarker(Word wParam) {
  return wParam & ~static_cast<Word>(MK_INJECTED);
}

}  // namespace tavrin::hook
