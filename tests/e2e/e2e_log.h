// What the end-to-end test programs tell each other. A target sends one
// LogRecord per event to the driver's sink window with WM_COPYDATA, so the
// driver sees what the target's windows received, in order, in another
// process.
#pragma once

#include <stdint.h>

namespace tavrin::e2e {

enum class RecordKind : uint32_t {
  Received = 1,  // `window` received `message` with wParam and lParam
  Window = 2,    // `window` exists and plays role `message` (a Role)
  Synced = 3,    // the target took kSyncMessage from its queue
  Result = 4,    // answer to a command; wParam holds the value
  Ready = 5,     // every Window record has been sent
};

// The windows that a target creates, named by what the tests use them for.
enum class Role : uint32_t {
  Top,             // TavrinTestTop: the focus window of most cases
  Child,           // TavrinTestChild inside Top
  List,            // a real list box of 100 lines inside Top
  Spin,            // up-down control, range 0..10
  SpinReversed,    // up-down control, Max 0 below Min 100
  SpinSigned,      // up-down control, range -10..10
  PaneWnd,         // TavrinPaneWnd inside Top
  PaneA,           // TavrinPaneA inside Top
  ExcludedTop,     // top-level TavrinExcludedTop
  ExcludedChild,   // TavrinTestChild inside ExcludedTop
  PassTop,         // top-level TavrinPassTop
  PassChild,       // TavrinTestChild inside PassTop
  DiscardTop,      // top-level TavrinDiscardTop
  DiscardChild,    // TavrinTestChild inside DiscardTop
  OwnedPopup,      // top-level pop-up owned by Top
  Sync,            // TavrinSyncPane inside Top, excluded by the settings
  Dialog,          // a top-level dialog of the system class "#32770"
  HorizontalOnly,  // (in the host's process) only the horizontal bar
                   // can scroll
  BothBars,        // (in the host's process) both bars can scroll
  Host,            // the driver's own sink, standing in for the host
  Count
};

struct LogRecord {
  RecordKind kind;
  uint32_t message;
  uint64_t window;
  uint64_t wParam;
  int64_t lParam;
};

// Messages the driver posts to a target window.
inline constexpr uint32_t kSyncMessage = 0x8000 + 50;  // answer with Synced
// Call the hook library's SetHook from the target's own process, with
// wParam as the close flag; answer with Result = its return value.
inline constexpr uint32_t kCallSetHookMessage = 0x8000 + 51;
// Wait for a WM_MOUSEWHEEL in the queue and look at it without removing it;
// answer with Result = its wParam as the peek saw it.
inline constexpr uint32_t kPeekWheelMessage = 0x8000 + 52;
// Make Top the foreground window with the keyboard focus in Child; answer
// with Result = 1.
inline constexpr uint32_t kTakeFocusMessage = 0x8000 + 53;

inline constexpr char kSinkClass[] = "TavrinTestSink";

}  // namespace tavrin::e2e
