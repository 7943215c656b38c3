#include "settings_watch.h"

#include <string.h>

#include "settings_loader.h"

namespace tavrin::host {

namespace {

// A file is written in steps (truncation, then each block, or a rename over
// it): the reload waits until no change came for this long.
constexpr ULONGLONG kSettleMs = 200;
// A file held open by the program that writes it is tried again for a
// while, then left until its next change.
constexpr int kMaxRetries = 25;

}  // namespace

SettingsWatch::SettingsWatch(rules::HostState& state) : state_(state) {
  char folder[rules::kSettingsPathBytes];
  memcpy(folder, state.settings_path, sizeof folder);
  char* const slash = strrchr(folder, '\\');
  if (!slash) return;
  *slash = '\0';
  // A rename over the file shows as a change of names; every write as one
  // of size and time. Opening and reading show as nothing.
  change_ = FindFirstChangeNotificationA(folder, FALSE,
                                         FILE_NOTIFY_CHANGE_FILE_NAME |
                                             FILE_NOTIFY_CHANGE_SIZE |
                                             FILE_NOTIFY_CHANGE_LAST_WRITE);
  if (change_ == INVALID_HANDLE_VALUE) change_ = nullptr;
  loaded_ = Now();
}

SettingsWatch::~SettingsWatch() {
  if (change_) FindCloseChangeNotification(change_);
}

DWORD SettingsWatch::TimeoutMs() const {
  if (!due_) return INFINITE;
  const ULONGLONG now = GetTickCount64();
  return due_ > now ? static_cast<DWORD>(due_ - now) : 0;
}

void SettingsWatch::OnChange() {
  FindNextChangeNotification(change_);
  due_ = GetTickCount64() + kSettleMs;
  retries_ = 0;
}

void SettingsWatch::OnTimeout() {
  due_ = 0;
  const Stamp before = Now();
  // Another file of the folder changed.
  if (Same(before, loaded_)) return;
  if (!rules::LoadSettings(state_)) {
    if (++retries_ < kMaxRetries) due_ = GetTickCount64() + kSettleMs;
    return;
  }
  loaded_ = before;
  // Written to while it was read: read it again once it settles.
  if (!Same(Now(), before)) due_ = GetTickCount64() + kSettleMs;
}

SettingsWatch::Stamp SettingsWatch::Now() const {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(state_.settings_path, GetFileExInfoStandard, &data))
    return {};
  return {true, (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
          data.ftLastWriteTime};
}

bool SettingsWatch::Same(const Stamp& a, const Stamp& b) {
  return a.present == b.present && a.size == b.size &&
         CompareFileTime(&a.written, &b.written) == 0;
}

}  // namespace tavrin::host
