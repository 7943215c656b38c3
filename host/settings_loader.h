// LoadSettings: fills HostState from the settings file, at start-up and
// after every edit of the exclusion lists.
#pragma once

#include "host_state.h"

namespace tavrin::host {

// Reads scroll_counts and replaces the contents of the four sets from the
// file at state.settings_path. A file that cannot be opened, or an empty
// path, leaves exclude_class with the sentinels only and the other sets
// empty; nothing is reported.
void LoadSettings(HostState& state);

}  // namespace tavrin::host
