// Table-driven cases across processes: put the pointer over a window of the
// target, post it a mouse message as the system would, wait until the chain
// has settled, and compare what every window received with the table.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "e2e_support.h"

namespace tavrin::e2e {

inline constexpr int64_t kLParam = 0x00150025;    // the posted messages' lParam
inline constexpr int64_t kAnyLParam = INT64_MIN;  // key messages: not compared
inline constexpr int kNoSpinStart = INT32_MIN;

// One message that one window received. For Role::Host (a notification to
// the sink), wParam names the role of the window that the notification
// carries.
struct Got {
  Role window;
  uint32_t message;
  uint64_t wParam;
  int64_t lParam = kLParam;
};

inline Got Notified(uint32_t message, Role window) {
  return {Role::Host, message, static_cast<uint64_t>(window)};
}

struct Case {
  const char* name;
  Role pointer;  // where the pointer is when the message is posted
  Role postTo;   // the focus window that retrieves it
  uint32_t message;
  uint64_t wParam;
  std::vector<Got> expected;     // each window's messages in order
  int spinStart = kNoSpinStart;  // up-down position set before the case
};

class CaseRunner {
 public:
  // How to know that everything a case set going has arrived: the target
  // has taken a message posted after it (hook alone), or a wheel notch over
  // the excluded sync pane has come back from the host (the real host,
  // which handles notifications in order and posts to a thread in order).
  enum class SyncBy { Target, Host };

  CaseRunner(SyncBy syncBy, UINT firstNotification, UINT lastNotification);

  bool StartTarget();
  void StopTarget();
  HWND Window(Role role) const;
  void PointAt(Role role);
  bool Sync(DWORD timeoutMs = 3000);
  void Run(const std::vector<Case>& cases);

  // What every window received from the mark on, sync traffic left out.
  size_t Mark();
  std::vector<Got> ReceivedSince(size_t mark) const;
  std::string Show(const std::vector<Got>& records) const;

  Checks checks;
  Sink sink;

 private:
  Role RoleOf(uint64_t window) const;
  void RunCase(const Case& c);

  SyncBy syncBy_;
  HANDLE target_ = nullptr;
  size_t postedMark_ = 0;
};

}  // namespace tavrin::e2e
