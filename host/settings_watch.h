// Notices hand edits of the settings file: a change notification on its
// folder, waited on beside the message loop, and a reload once the file has
// settled. Nothing is polled while the folder is quiet.
#pragma once

#include <windows.h>

#include "host_state.h"

namespace tavrin::host {

class SettingsWatch {
 public:
  // Watches the folder of state.settings_path, if there is one.
  explicit SettingsWatch(rules::HostState& state);
  ~SettingsWatch();
  SettingsWatch(const SettingsWatch&) = delete;
  SettingsWatch& operator=(const SettingsWatch&) = delete;

  // The handle that is signalled when something in the folder changed;
  // null when not watching.
  HANDLE ChangeHandle() const { return change_; }
  // How long the message loop may wait before calling OnTimeout().
  DWORD TimeoutMs() const;
  // After ChangeHandle() was signalled.
  void OnChange();
  // After TimeoutMs() ran out: reloads if the file is not what was loaded.
  void OnTimeout();

 private:
  // The file as the folder shows it: size and time of the last write, or
  // nothing when it is missing.
  struct Stamp {
    bool present = false;
    ULONGLONG size = 0;
    FILETIME written{};
  };
  Stamp Now() const;
  static bool Same(const Stamp& a, const Stamp& b);

  rules::HostState& state_;
  HANDLE change_ = nullptr;
  Stamp loaded_;
  ULONGLONG due_ = 0;  // GetTickCount64 at which to look again; 0: none
  int retries_ = 0;    // reloads refused by a file that cannot be read
};

}  // namespace tavrin::host
