// Notices hand edits of the settings file: changes of its folder that name
// the file (ReadDirectoryChangesW), waited on beside the message loop, and
// a reload once the file has settled. Nothing is polled while the folder
// is quiet; a file that cannot be read, and a folder that cannot be
// watched, are tried again at a slow pace until they can.
#pragma once

#include <windows.h>

#include <string>

#include "host_state.h"

namespace tavrin::host {

class SettingsWatch {
 public:
  // Watches the folder of state.settings_path, if there is one. loaded:
  // whether the start-up load read the file; if not, it is read as soon as
  // it can be.
  SettingsWatch(rules::HostState& state, bool loaded);
  ~SettingsWatch();
  SettingsWatch(const SettingsWatch&) = delete;
  SettingsWatch& operator=(const SettingsWatch&) = delete;

  // The handle that is signalled when the folder has changed; null while
  // the folder is not watched.
  HANDLE ChangeHandle() const { return folder_ ? changed_ : nullptr; }
  // How long the message loop may wait before calling OnTimeout().
  DWORD TimeoutMs() const;
  // After ChangeHandle() was signalled.
  void OnChange();
  // After TimeoutMs() ran out: reloads a file that changed or could not be
  // read, and watches a folder again that could not be watched.
  void OnTimeout();

 private:
  // Opens the folder if it is not open, and asks for its next changes.
  bool Watch();
  void StopWatching();
  void LookAgainIn(ULONGLONG ms);

  rules::HostState& state_;
  std::string folderPath_;
  std::wstring fileName_;  // as the change records name it
  HANDLE folder_ = nullptr;
  HANDLE changed_ = nullptr;  // the event of the overlapped read
  OVERLAPPED overlapped_{};
  alignas(DWORD) BYTE changes_[4096];
  bool unread_ = false;        // changed, or not read, since the last load
  ULONGLONG firstChange_ = 0;  // when the changes not yet read began
  ULONGLONG due_ = 0;          // GetTickCount64 at which to look; 0: never
  int refusals_ = 0;           // loads refused in a row
};

}  // namespace tavrin::host
