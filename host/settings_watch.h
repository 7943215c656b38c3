// Notices hand edits of the settings file and reads them, on a thread of
// its own: a folder on a network share, or one redirected to a server,
// blocks every call on it for seconds while the server is away, and the
// host's thread must keep answering the hooks of every application
// meanwhile. The worker waits on changes of the folder that name the file
// (ReadDirectoryChangesW), reads the file once it has settled into a state
// of its own, and hands that state over; the host's thread only takes it.
// Nothing is polled while the folder is quiet; a file that cannot be read,
// and a folder that cannot be watched, are tried again at a slow pace until
// they can.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "host_state.h"

namespace tavrin::host {

class SettingsWatch {
 public:
  // Watches the folder of settingsPath, if there is one. loaded: whether
  // the start-up load read the file; if not, it is read as soon as it can
  // be, whether or not the folder can be watched.
  SettingsWatch(const char* settingsPath, bool loaded);
  // Stops the worker. One held up by a folder that does not answer is left
  // to end with the process.
  ~SettingsWatch();
  SettingsWatch(const SettingsWatch&) = delete;
  SettingsWatch& operator=(const SettingsWatch&) = delete;

  // Signalled when a load is ready to be taken; null without a worker.
  HANDLE LoadedHandle() const { return loaded_; }
  // After LoadedHandle() was signalled: puts the newest load's settings
  // into state (its path stays), unless it is stale.
  void TakeLoaded(rules::HostState& state);
  // The host is about to read the file itself, after writing it: a load
  // that began before now may hold what the file held before the write,
  // and is not taken. (The write's own change brings a fresh one.)
  void Outdate();

 private:
  class Worker;
  HANDLE loaded_ = nullptr;
  HANDLE thread_ = nullptr;
  Worker* worker_ = nullptr;  // owned; left behind if it does not stop
};

}  // namespace tavrin::host
