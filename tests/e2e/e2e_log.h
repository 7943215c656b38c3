// What the end-to-end test programs tell each other. A target program sends
// one LogRecord per event to the driver's sink window with WM_COPYDATA, so
// the driver sees what the target's windows received, in order, in another
// process.
#pragma once

#include <stdint.h>

namespace tavrin::e2e {

enum class RecordKind : uint32_t {
  Received = 1,  // a window of the target received `message`
  Ready = 2,     // the target's windows exist: window = top, wParam = child
  Synced = 3,    // the target took kSyncMessage from its queue
  Result = 4,    // answer to a command; wParam holds the value
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

inline constexpr char kTargetTopClass[] = "TavrinTestTop";
inline constexpr char kTargetChildClass[] = "TavrinTestChild";

}  // namespace tavrin::e2e
