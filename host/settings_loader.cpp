#include "settings_loader.h"

#include <windows.h>

#include <share.h>
#include <stdio.h>

#include <memory>
#include <new>

#include "settings_reader.h"

namespace tavrin::host {

namespace {

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};

}  // namespace

FILE* OpenSettingsFile(const char* path) {
  // _SH_DENYNO, so that a load never keeps an editor from saving the file.
  return _fsopen(path, "rt", _SH_DENYNO);
}

bool ReadCloseByMbtn(const char* path) {
  return GetPrivateProfileIntA("general", "close_by_mbtn", 0, path) != 0;
}

bool LoadSettings(HostState& state) try {
  const char* const path = state.settings_path;
  // Read into new lists and take them only once the whole file is read, so
  // that a failure half way never leaves the lists half loaded.
  auto fresh = std::make_unique<HostState>();
  ResetClassLists(*fresh);
  // An empty path (none could be made at start-up) names no file: given an
  // empty name, the profile functions would look in the Windows directory.
  if (path[0]) {
    const std::unique_ptr<FILE, FileCloser> file(OpenSettingsFile(path));
    if (file) {
      // While the file is open for us, the profile functions can read it
      // too; held by another program, they would answer the default.
      fresh->scroll_counts = static_cast<int32_t>(GetPrivateProfileIntA(
          "general", "scroll_counts", kDefaultScrollCounts, path));
      if (!ReadClassLists(file.get(), *fresh)) return false;
    } else {
      // Only a file that is really gone means no entries.
      const bool gone = GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES &&
                        (GetLastError() == ERROR_FILE_NOT_FOUND ||
                         GetLastError() == ERROR_PATH_NOT_FOUND);
      if (!gone) return false;
      fresh->scroll_counts = kDefaultScrollCounts;
    }
  } else {
    fresh->scroll_counts = kDefaultScrollCounts;
  }
  state.scroll_counts = fresh->scroll_counts;
  state.exclude_class.Swap(fresh->exclude_class);
  state.exclude_parent_class.Swap(fresh->exclude_parent_class);
  state.mbtn_discard_class.Swap(fresh->mbtn_discard_class);
  state.mbtn_passthrough_class.Swap(fresh->mbtn_passthrough_class);
  return true;
} catch (const std::bad_alloc&) {
  return false;
}

}  // namespace tavrin::host
