#include "settings_watch.h"

#include <algorithm>

#include "settings_folder.h"
#include "settings_loader.h"

namespace tavrin::host {

namespace {

// A file is written in steps (truncation, then each block, or a rename over
// it): the reload waits until no change came for this long, but for a
// folder that never rests (a downloads folder) no longer than a second.
constexpr ULONGLONG kSettleMs = 200;
constexpr ULONGLONG kLongestSettleMs = 1000;
// A file held open by another program is tried again soon, and after five
// seconds once a second, until it can be read; so is a folder that cannot
// be watched (renamed, deleted, its drive gone).
constexpr int kQuickRetries = 25;
constexpr ULONGLONG kSlowRetryMs = 1000;

// A rename over the file shows as a change of names; every write as one of
// size and time. Opening and reading show as nothing.
constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME |
                           FILE_NOTIFY_CHANGE_SIZE |
                           FILE_NOTIFY_CHANGE_LAST_WRITE;

}  // namespace

SettingsWatch::SettingsWatch(rules::HostState& state, bool loaded)
    : state_(state), unread_(!loaded) {
  const std::string_view path = state.settings_path;
  folderPath_ = rules::FolderOf(path);
  if (folderPath_.empty()) return;
  const std::string name(path.substr(path.rfind('\\') + 1));
  fileName_.resize(name.size());
  fileName_.resize(static_cast<size_t>(MultiByteToWideChar(
      CP_ACP, 0, name.data(), static_cast<int>(name.size()), fileName_.data(),
      static_cast<int>(fileName_.size()))));
  changed_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!Watch()) LookAgainIn(kSlowRetryMs);
  if (unread_) LookAgainIn(kSettleMs);
}

SettingsWatch::~SettingsWatch() {
  StopWatching();
  if (changed_) CloseHandle(changed_);
}

DWORD SettingsWatch::TimeoutMs() const {
  if (!due_) return INFINITE;
  const ULONGLONG now = GetTickCount64();
  return due_ > now ? static_cast<DWORD>(due_ - now) : 0;
}

bool SettingsWatch::Watch() {
  if (!changed_) return false;
  if (!folder_) {
    const HANDLE folder =
        CreateFileA(folderPath_.c_str(), FILE_LIST_DIRECTORY,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return false;
    folder_ = folder;
  }
  ResetEvent(changed_);
  overlapped_ = {};
  overlapped_.hEvent = changed_;
  if (ReadDirectoryChangesW(folder_, changes_, sizeof changes_, FALSE, kChanges,
                            nullptr, &overlapped_, nullptr))
    return true;
  StopWatching();
  return false;
}

void SettingsWatch::StopWatching() {
  if (!folder_) return;
  CancelIo(folder_);
  CloseHandle(folder_);
  folder_ = nullptr;
}

void SettingsWatch::LookAgainIn(ULONGLONG ms) {
  const ULONGLONG at = GetTickCount64() + ms;
  due_ = due_ ? std::min(due_, at) : at;
}

void SettingsWatch::OnChange() {
  DWORD bytes = 0;
  // A watch that failed (the folder went away) is not waited on again,
  // or its handle would wake the loop for ever.
  if (!GetOverlappedResult(folder_, &overlapped_, &bytes, FALSE)) {
    StopWatching();
    LookAgainIn(kSlowRetryMs);
    return;
  }
  // No records: more changes than the buffer holds, the file among them
  // perhaps.
  bool ours = bytes == 0;
  for (DWORD at = 0; !ours && at < bytes;) {
    const auto* change =
        reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(changes_ + at);
    const std::wstring name(change->FileName,
                            change->FileNameLength / sizeof(WCHAR));
    ours = lstrcmpiW(name.c_str(), fileName_.c_str()) == 0;
    if (!change->NextEntryOffset) break;
    at += change->NextEntryOffset;
  }
  if (!Watch()) LookAgainIn(kSlowRetryMs);
  if (!ours) return;
  const ULONGLONG now = GetTickCount64();
  if (!unread_ || !firstChange_) firstChange_ = now;
  unread_ = true;
  due_ = std::min(now + kSettleMs, firstChange_ + kLongestSettleMs);
}

void SettingsWatch::OnTimeout() {
  due_ = 0;
  // Back from a rename or a lost drive: what was written meanwhile is read.
  if (!folder_ && !folderPath_.empty()) {
    if (!Watch()) {
      LookAgainIn(kSlowRetryMs);
      return;
    }
    unread_ = true;
  }
  if (!unread_) return;
  if (rules::LoadSettings(state_)) {
    unread_ = false;
    firstChange_ = 0;
    refusals_ = 0;
    return;
  }
  LookAgainIn(++refusals_ < kQuickRetries ? kSettleMs : kSlowRetryMs);
}

}  // namespace tavrin::host
