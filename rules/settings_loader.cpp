#include "settings_loader.h"

#include <windows.h>

#include <share.h>
#include <stdio.h>

#include <new>
#include <string>

#include "settings_folder.h"
#include "settings_reader.h"

namespace tavrin::rules {

SettingsFile OpenSettingsFile(const char* path) {
  // _SH_DENYNO, so that a load never keeps an editor from saving the file.
  return SettingsFile(_fsopen(path, "rt", _SH_DENYNO));
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
    const SettingsFile file = OpenSettingsFile(path);
    if (file) {
      // While the file is open for us, the profile functions can read it
      // too; held by another program, they would answer the default.
      fresh->scroll_counts = static_cast<int32_t>(GetPrivateProfileIntA(
          "general", "scroll_counts", kDefaultScrollCounts, path));
      fresh->modern_wheel =
          GetPrivateProfileIntA("general", "modern_wheel", 0, path) != 0;
      fresh->tray_icon =
          GetPrivateProfileIntA("general", "tray_icon", 0, path) != 0;
      if (!ReadClassLists(file.get(), *fresh)) return false;
    } else {
      // Only a file that is gone from a folder that is there means no
      // entries: a folder renamed, deleted or on a drive that went away
      // leaves the lists as they were.
      const bool missing =
          GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES &&
          GetLastError() == ERROR_FILE_NOT_FOUND;
      const std::string folder(FolderOf(path));
      const DWORD folderAttributes = GetFileAttributesA(folder.c_str());
      if (!missing || folderAttributes == INVALID_FILE_ATTRIBUTES ||
          !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    }
  }
  // Otherwise (no file, or no path) fresh holds the defaults.
  TakeSettings(state, *fresh);
  return true;
} catch (const std::bad_alloc&) {
  return false;
}

void TakeSettings(HostState& state, HostState& loaded) {
  state.scroll_counts = loaded.scroll_counts;
  state.modern_wheel = loaded.modern_wheel;
  state.tray_icon = loaded.tray_icon;
  for (const ClassList& list : kClassLists)
    (state.*list.set).Swap(loaded.*list.set);
}

}  // namespace tavrin::rules
