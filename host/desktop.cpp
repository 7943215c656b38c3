#include "desktop.h"

#include "tavrin_protocol.h"

namespace tavrin::host {

namespace {

// GetParent never cycles on a sound desktop; the bound only keeps a
// misbehaving one from hanging the host and every wheel with it.
constexpr int kMaxAncestors = 4096;

}  // namespace

WindowId TopLevelWindow(Desktop& desktop, WindowId window) {
  for (int i = 0; window && i < kMaxAncestors; ++i) {
    const WindowId parent = desktop.Parent(window);
    if (!parent) break;
    window = parent;
  }
  return window;
}

void AllowNotifications(Desktop& desktop, WindowId hostWindow) {
  for (uint32_t message = kFirstNotification; message <= kLastNotification;
       ++message)
    desktop.AllowFromLowerPrograms(hostWindow, message);
}

}  // namespace tavrin::host
