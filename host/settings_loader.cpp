#include "settings_loader.h"

#include <string.h>

#include <memory>

#include "settings_platform.h"

namespace tavrin::host {

namespace {

constexpr int32_t kDefaultScrollCounts = 3;

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};

}  // namespace

void ResetClassLists(HostState& state) {
  state.exclude_class.Clear();
  state.exclude_class.Insert(kLowSentinel);
  state.exclude_class.Insert(kHighSentinel);
  state.exclude_parent_class.Clear();
  state.mbtn_discard_class.Clear();
  state.mbtn_passthrough_class.Clear();
}

void ReadClassLists(LineSource& source, HostState& state) {
  ReadClassSection(source, "[exclude_class]", state.exclude_class);
  ReadClassSection(source, "[exclude_parent_class]",
                   state.exclude_parent_class);
  ReadClassSection(source, "[mbtn_discard_class]", state.mbtn_discard_class);
  ReadClassSection(source, "[mbtn_passthrough_class]",
                   state.mbtn_passthrough_class);
}

void LoadSettings(HostState& state) {
  const char* const path = state.settings_path;
  // An empty path (none could be made at start-up) names no file; neither
  // does one that fills the buffer without its NUL, which is not handed to
  // functions that would read past the buffer.
  const bool named =
      path[0] != '\0' && memchr(path, '\0', kSettingsPathBytes) != nullptr;
  state.scroll_counts =
      named ? static_cast<int32_t>(ReadProfileInt("general", "scroll_counts",
                                                  kDefaultScrollCounts, path))
            : kDefaultScrollCounts;
  ResetClassLists(state);
  if (!named) return;
  const std::unique_ptr<FILE, FileCloser> file(OpenSettingsForReading(path));
  if (!file) return;
  StreamLineSource source(file.get(), !StreamsTranslateText());
  ReadClassLists(source, state);
}

void LoadSettings() { LoadSettings(g_host_state); }

}  // namespace tavrin::host
