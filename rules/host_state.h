// The loaded settings: where the settings file lies and what the last load
// read from it. The host keeps one for its life, on its one thread;
// tavrin-check loads one to explain it.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "class_name_set.h"

namespace tavrin::rules {

inline constexpr size_t kSettingsPathBytes = 260;  // MAX_PATH
inline constexpr int32_t kDefaultScrollCounts = 3;

struct HostState {
  // The settings file, NUL-terminated; set once at start-up, read by loads.
  char settings_path[kSettingsPathBytes] = {};
  // Line-scroll messages per wheel notification, as the profile reader gave
  // it.
  int32_t scroll_counts = kDefaultScrollCounts;
  // modern_wheel: wheel messages of any delta add up, the tilt wheel is
  // taken over, and Ctrl or Shift with the wheel reaches the window itself.
  bool modern_wheel = false;
  // tray_icon: the host shows its icon in the notification area.
  bool tray_icon = false;
  ClassNameSet exclude_class;           // prefix rule, window under pointer
  ClassNameSet exclude_parent_class;    // exact rule, its top-level window
  ClassNameSet mbtn_discard_class;      // exact rule, middle click swallowed
  ClassNameSet mbtn_passthrough_class;  // exact rule, middle click passed on
};

}  // namespace tavrin::rules
