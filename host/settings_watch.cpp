#include "settings_watch.h"

#include <algorithm>
#include <new>
#include <optional>

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
// How long the host's end waits for the worker to stop.
constexpr DWORD kStopWaitMs = 1000;

// A rename over the file shows as a change of names; every write as one of
// size and time. Opening and reading show as nothing.
constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME |
                           FILE_NOTIFY_CHANGE_SIZE |
                           FILE_NOTIFY_CHANGE_LAST_WRITE;

std::wstring Wide(std::string_view text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<size_t>(
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                          wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

// File names as the file system compares them: ordinally, ignoring case,
// never by the user's language (which folds the Turkish dotted and dotless
// i apart from I).
bool SameName(const WCHAR* name, int length, const std::wstring& other) {
  return !other.empty() && CompareStringOrdinal(name, length, other.c_str(),
                                                static_cast<int>(other.size()),
                                                TRUE) == CSTR_EQUAL;
}

}  // namespace

class SettingsWatch::Worker {
 public:
  Worker(const char* settingsPath, bool loaded) : unread_(!loaded) {
    const std::string_view path = settingsPath;
    path_ = Wide(path);
    fileName_ = path_.substr(path_.rfind(L'\\') + 1);
    folderPath_ = rules::FolderOf(path);
    changed_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    loaded_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::copy_n(settingsPath, rules::kSettingsPathBytes, settingsPath_);
  }
  ~Worker() {
    StopWatching();
    for (HANDLE h : {changed_, stop_, loaded_})
      if (h) CloseHandle(h);
  }

  bool Ready() const { return changed_ && stop_ && loaded_; }
  HANDLE Loaded() const { return loaded_; }
  void Stop() { SetEvent(stop_); }

  // The newest load, unless it began before the last Outdate().
  std::unique_ptr<rules::HostState> Take() {
    AcquireSRWLockExclusive(&lock_);
    std::unique_ptr<rules::HostState> taken = std::move(handed_);
    const bool stale = handedGeneration_ != generation_;
    ReleaseSRWLockExclusive(&lock_);
    return stale ? nullptr : std::move(taken);
  }

  void Outdate() {
    AcquireSRWLockExclusive(&lock_);
    ++generation_;
    ReleaseSRWLockExclusive(&lock_);
  }

  static DWORD WINAPI Run(void* self) {
    static_cast<Worker*>(self)->Run();
    return 0;
  }

 private:
  void Run() {
    if (folderPath_.empty()) return;
    if (!Watch()) LookAgainIn(kSlowRetryMs);
    if (unread_) LookAgainIn(kSettleMs);
    for (;;) {
      const HANDLE handles[] = {stop_, changed_};
      const DWORD woken =
          WaitForMultipleObjects(folder_ ? 2 : 1, handles, FALSE, TimeoutMs());
      if (woken == WAIT_OBJECT_0) return;
      if (woken == WAIT_OBJECT_0 + 1) OnChange();
      // Whatever woke it: changes that never stop must not hold up what is
      // due.
      if (due_ && GetTickCount64() >= due_) OnDue();
    }
  }

  DWORD TimeoutMs() const {
    if (!due_) return INFINITE;
    const ULONGLONG now = GetTickCount64();
    return due_ > now ? static_cast<DWORD>(due_ - now) : 0;
  }

  // Opens the folder if it is not open, and asks for its next changes.
  bool Watch() {
    if (!folder_) {
      const HANDLE folder = CreateFileA(
          folderPath_.c_str(), FILE_LIST_DIRECTORY,
          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
          nullptr);
      if (folder == INVALID_HANDLE_VALUE) return false;
      folder_ = folder;
    }
    ResetEvent(changed_);
    overlapped_ = {};
    overlapped_.hEvent = changed_;
    if (ReadDirectoryChangesW(folder_, changes_, sizeof changes_, FALSE,
                              kChanges, nullptr, &overlapped_, nullptr))
      return true;
    StopWatching();
    return false;
  }

  void StopWatching() {
    if (!folder_) return;
    CancelIo(folder_);
    CloseHandle(folder_);
    folder_ = nullptr;
  }

  void LookAgainIn(ULONGLONG ms) {
    const ULONGLONG at = GetTickCount64() + ms;
    due_ = due_ ? std::min(due_, at) : at;
  }

  // The settings file's short (8.3) name, which change records may carry
  // instead of the one it was given; empty when there is none.
  std::wstring ShortName() const {
    WCHAR shortPath[MAX_PATH];
    const DWORD got = GetShortPathNameW(path_.c_str(), shortPath, MAX_PATH);
    if (!got || got >= MAX_PATH) return {};
    const std::wstring name(shortPath);
    return name.substr(name.rfind(L'\\') + 1);
  }

  void OnChange() {
    DWORD bytes = 0;
    // A watch that failed (the folder went away) is not waited on again, or
    // its handle would wake the loop for ever.
    if (!GetOverlappedResult(folder_, &overlapped_, &bytes, FALSE)) {
      StopWatching();
      LookAgainIn(kSlowRetryMs);
      return;
    }
    // No records: more changes than the buffer holds, the file among them
    // perhaps.
    bool ours = bytes == 0;
    std::optional<std::wstring> shortName;  // asked for once a batch
    for (DWORD at = 0; !ours && at < bytes;) {
      const auto& change =
          *reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(changes_ + at);
      const int length =
          static_cast<int>(change.FileNameLength / sizeof(WCHAR));
      ours = SameName(change.FileName, length, fileName_);
      if (!ours && !shortName) shortName = ShortName();
      ours = ours || SameName(change.FileName, length, *shortName);
      if (!change.NextEntryOffset) break;
      at += change.NextEntryOffset;
    }
    if (!Watch()) LookAgainIn(kSlowRetryMs);
    if (!ours) return;
    const ULONGLONG now = GetTickCount64();
    if (!unread_ || !firstChange_) firstChange_ = now;
    unread_ = true;
    due_ = std::min(now + kSettleMs, firstChange_ + kLongestSettleMs);
  }

  // Reloads a file that changed or could not be read, and watches a folder
  // again that could not be watched.
  void OnDue() {
    due_ = 0;
    if (!folder_) {
      // Back from a rename or a lost drive: what was written meanwhile is
      // read. A folder that cannot be watched at all (no change
      // notification, no right to list it) still has its file read once.
      if (Watch())
        unread_ = true;
      else
        LookAgainIn(kSlowRetryMs);
    }
    if (!unread_) return;
    if (Load()) {
      unread_ = false;
      firstChange_ = 0;
      refusals_ = 0;
      return;
    }
    LookAgainIn(++refusals_ < kQuickRetries ? kSettleMs : kSlowRetryMs);
  }

  // Reads the file into a state of its own and hands it over; false when
  // it could not be read just now.
  bool Load() try {
    AcquireSRWLockExclusive(&lock_);
    const unsigned generation = generation_;
    ReleaseSRWLockExclusive(&lock_);
    auto fresh = std::make_unique<rules::HostState>();
    std::copy_n(settingsPath_, rules::kSettingsPathBytes, fresh->settings_path);
    if (!rules::LoadSettings(*fresh)) return false;
    AcquireSRWLockExclusive(&lock_);
    handed_ = std::move(fresh);
    handedGeneration_ = generation;
    ReleaseSRWLockExclusive(&lock_);
    SetEvent(loaded_);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }

  char settingsPath_[rules::kSettingsPathBytes] = {};
  std::wstring path_, fileName_;
  std::string folderPath_;
  HANDLE folder_ = nullptr;
  HANDLE changed_ = nullptr;  // the event of the overlapped read
  HANDLE stop_ = nullptr;
  HANDLE loaded_ = nullptr;  // a load waits in handed_
  OVERLAPPED overlapped_{};
  alignas(DWORD) BYTE changes_[4096];
  bool unread_ = false;        // changed, or not read, since the last load
  ULONGLONG firstChange_ = 0;  // when the changes not yet read began
  ULONGLONG due_ = 0;          // GetTickCount64 at which to look; 0: never
  int refusals_ = 0;           // loads refused in a row
  SRWLOCK lock_ = SRWLOCK_INIT;
  // Under lock_: the load not yet taken, the count of the host's own
  // reloads when it began, and that count now.
  std::unique_ptr<rules::HostState> handed_;
  unsigned handedGeneration_ = 0, generation_ = 0;
};

SettingsWatch::SettingsWatch(const char* settingsPath, bool loaded) {
  if (!settingsPath[0]) return;
  worker_ = new (std::nothrow) Worker(settingsPath, loaded);
  if (worker_ && worker_->Ready())
    thread_ = CreateThread(nullptr, 0, Worker::Run, worker_, 0, nullptr);
  if (thread_) {
    loaded_ = worker_->Loaded();
    return;
  }
  delete worker_;
  worker_ = nullptr;
}

SettingsWatch::~SettingsWatch() {
  if (!thread_) return;
  worker_->Stop();
  if (WaitForSingleObject(thread_, kStopWaitMs) == WAIT_OBJECT_0)
    delete worker_;
  CloseHandle(thread_);
}

void SettingsWatch::Outdate() {
  if (worker_) worker_->Outdate();
}

void SettingsWatch::TakeLoaded(rules::HostState& state) {
  if (const auto taken = worker_ ? worker_->Take() : nullptr)
    rules::TakeSettings(state, *taken);
}

}  // namespace tavrin::host
