// The private protocol between the hook library, running inside other
// applications, and the host's hidden window. Shared by both deliverables
// and by every build width; holds constants only.
#pragma once

#include <stdint.h>

namespace tavrin {

// The platform's mouse messages that the hook takes over or the host posts
// back, WM_MBUTTONDOWN to WM_MOUSEHWHEEL; the hook looks at no others.
inline constexpr uint32_t kWmMButtonDown = 0x207;
inline constexpr uint32_t kWmMButtonUp = 0x208;
inline constexpr uint32_t kWmMouseWheel = 0x20A;
inline constexpr uint32_t kWmXButtonDown = 0x20B;
inline constexpr uint32_t kWmXButtonUp = 0x20C;
inline constexpr uint32_t kWmMouseHWheel = 0x20E;

// The up-down control's messages that the host sends and posts to step one
// under the pointer.
inline constexpr uint32_t kUdmGetRange = 0x0466;
inline constexpr uint32_t kUdmSetPos = 0x0467;
inline constexpr uint32_t kUdmGetPos = 0x0468;

// Notifications posted by the hook procedure to the host window. The
// values are consecutive, starting at WM_APP (0x8000) + 1234.

// An application took WM_MBUTTONUP (only while the close flag is set).
// wParam: the window the release was addressed to (its MSG.hwnd).
// lParam: the release's lParam, client coordinates of that window.
inline constexpr uint32_t WMU_MBUTTON_CLICK = 0x8000 + 1234;

// An application took WM_MOUSEWHEEL with a delta of zero or more.
// wParam: the window under the message's screen point (null if none).
// lParam: the wheel message's lParam, screen coordinates.
inline constexpr uint32_t WMU_WHEEL_UP = 0x8000 + 1235;

// As WMU_WHEEL_UP, for a negative delta.
inline constexpr uint32_t WMU_WHEEL_DOWN = 0x8000 + 1236;

// An application took WM_XBUTTONUP naming XBUTTON1 (resp. XBUTTON2).
// wParam: the window under the message's screen point (null if none).
// lParam: the button message's lParam, relative to the message's own window.
inline constexpr uint32_t WMU_XBUTTON1_UP = 0x8000 + 1237;
inline constexpr uint32_t WMU_XBUTTON2_UP = 0x8000 + 1238;

// With the modern wheel on (modern_wheel=1), in place of WMU_WHEEL_UP and
// WMU_WHEEL_DOWN: an application took WM_MOUSEWHEEL (resp. WM_MOUSEHWHEEL).
// wParam: that message's own wParam, the key flags in the low word and the
// signed delta in the high word (from a 32-bit application, 32 bits).
// lParam: its lParam, the pointer in the application's own coordinates.
// Always right after the WMU_WHEEL_TARGET that names its window.
inline constexpr uint32_t WMU_WHEEL_MESSAGE = 0x8000 + 1239;
inline constexpr uint32_t WMU_HWHEEL_MESSAGE = 0x8000 + 1240;

// Posted just before each WMU_WHEEL_MESSAGE and WMU_HWHEEL_MESSAGE, from the
// same thread, so the two arrive in this order. Only the application's own
// thread can find the window under its point: the point is in its own DPI
// coordinates (an application that is not DPI-aware, on a display at 200 %,
// sees the pointer at half the screen's coordinates), and WindowFromPoint
// asks only the calling thread's windows whether they are transparent (a
// group box over a list).
// wParam: the window under the message's point, as that thread found it.
// lParam: the message's lParam, as in the notification that follows.
inline constexpr uint32_t WMU_WHEEL_TARGET = 0x8000 + 1241;

// Every notification that the hook posts, first to last: the host's window
// lets exactly these through when it runs elevated.
inline constexpr uint32_t kFirstNotification = WMU_MBUTTON_CLICK;
inline constexpr uint32_t kLastNotification = WMU_WHEEL_TARGET;

// Key flags of a wheel message's wParam that the modern wheel hands to the
// application itself: zoom and sideways scrolling are its own business.
inline constexpr uint32_t kMkShift = 0x0004;
inline constexpr uint32_t kMkControl = 0x0008;

// Marks a mouse message (0x207..0x20E) that the host posted itself, in the
// key-state word of wParam, so that the hook lets it through once.
inline constexpr uint32_t MK_INJECTED = 0x4000;

// The wheel notification for a wheel message's wParam: the sign bit of the
// 16-bit delta (bit 31) picks WMU_WHEEL_DOWN. Bits above 31 are not looked
// at. The host relies on the difference being SB_LINEUP (0) or SB_LINEDOWN (1).
constexpr uint32_t WheelNotificationFor(uint64_t wheelWParam) {
  return WMU_WHEEL_UP + static_cast<uint32_t>((wheelWParam >> 31) & 1);
}

}  // namespace tavrin
