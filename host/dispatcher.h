// What the host does with each notification from the hook library: scroll
// or step the window under the pointer, forward the wheel to it, pass on or
// swallow a middle click or close its top-level window, and type Alt+Left or
// Alt+Right for the extra buttons.
#pragma once

#include <stdint.h>

#include <optional>

#include "desktop.h"
#include "host_state.h"
#include "tavrin_protocol.h"

namespace tavrin::host {

inline constexpr uint32_t kWmDestroy = 0x0002;
inline constexpr uint32_t kWmSysCommand = 0x0112;
inline constexpr uint64_t kScClose = 0xF060;
inline constexpr uint32_t kWmHScroll = 0x0114;
inline constexpr uint32_t kWmVScroll = 0x0115;
inline constexpr uint32_t kWmMButtonDown = 0x0207;
inline constexpr uint32_t kWmMButtonUp = 0x0208;
inline constexpr uint32_t kWmMouseWheel = 0x020A;
inline constexpr uint64_t kSbEndScroll = 8;
inline constexpr int kSbHorz = 0;
inline constexpr int kSbVert = 1;
inline constexpr uint32_t kUdmGetRange = 0x0466;
inline constexpr uint32_t kUdmSetPos = 0x0467;
inline constexpr uint32_t kUdmGetPos = 0x0468;
inline constexpr uint8_t kVkMenu = 0x12;
inline constexpr uint8_t kVkLeft = 0x25;
inline constexpr uint8_t kVkRight = 0x27;
inline constexpr uint32_t kKeyExtended = 1;
inline constexpr uint32_t kKeyUp = 2;

// The middle click passed back to the clicked window, marked so that the
// hook lets it through: MK_MBUTTON with the press, no flags with the release.
inline constexpr uint64_t kPassedPressWParam = 0x0010 | MK_INJECTED;
inline constexpr uint64_t kPassedReleaseWParam = MK_INJECTED;

// One notch (WHEEL_DELTA, 120) in the high word of the low 32 bits, marked;
// the downward value is 0xFF884000 sign-extended.
inline constexpr uint64_t kForwardedWheelUp = 0x0000000000784000;
inline constexpr uint64_t kForwardedWheelDown = 0xFFFFFFFFFF884000;

inline constexpr char kUpDownClass[] = "msctls_updown32";

// A bar counts as scrollable when it exists and its range is not exactly
// one page: nMax + 1 != nPage in 32-bit arithmetic.
bool IsScrollable(const ScrollBar& bar);

// WM_HSCROLL when only the horizontal bar can scroll, else WM_VSCROLL.
uint32_t LineScrollMessage(const ScrollBar& vertical,
                           const ScrollBar& horizontal);

// Line messages per notification: the setting, with a negative value (which
// the file can yield) taken as none rather than as four thousand million,
// and no more than a message queue holds (10,000 posted messages): posts
// beyond that fail, and would keep the host, and with it the wheel of the
// whole desktop, busy for minutes.
inline constexpr uint32_t kMaxLineMessages = 10000;
uint32_t LineCount(int32_t scrollCounts);

// The up-down control's next position for one notch, from its
// UDM_GETRANGE and UDM_GETPOS replies: one step toward Max (up) or Min
// (down), whichever is numerically larger; nothing at that limit.
std::optional<int16_t> NextUpDownPosition(uint64_t rangeReply,
                                          uint64_t posReply, bool up);

// The last window reached by following Parent from the window; 0 for 0.
WindowId TopLevelWindow(Desktop& desktop, WindowId window);

// The host window procedure's own work. False for a message that is not
// the host's, which then gets the default processing.
bool Dispatch(Desktop& desktop, const HostState& state, uint32_t message,
              uint64_t wParam, int64_t lParam);

}  // namespace tavrin::host
