#include "settings_loader.h"

#include <windows.h>

#include <share.h>
#include <stdio.h>

#include "settings_reader.h"

namespace tavrin::host {

namespace {

constexpr int32_t kDefaultScrollCounts = 3;

}  // namespace

void LoadSettings(HostState& state) {
  const char* const path = state.settings_path;
  // An empty path (none could be made at start-up) names no file: given an
  // empty name, the profile functions would look in the Windows directory.
  state.scroll_counts =
      path[0] ? static_cast<int32_t>(GetPrivateProfileIntA(
                    "general", "scroll_counts", kDefaultScrollCounts, path))
              : kDefaultScrollCounts;
  ResetClassLists(state);
  if (!path[0]) return;
  // Text mode reads CR LF as LF and ends the text at 0x1A; _SH_DENYNO, so
  // that a load never keeps an editor from saving the file.
  FILE* const file = _fsopen(path, "rt", _SH_DENYNO);
  if (!file) return;
  ReadClassLists(file, state);
  fclose(file);
}

}  // namespace tavrin::host
