// LoadSettings: fills HostState from the settings file, at start-up and
// after every edit of the exclusion lists.
#pragma once

#include <stdio.h>

#include <memory>

#include "host_state.h"

namespace tavrin::rules {

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};
using SettingsFile = std::unique_ptr<FILE, FileCloser>;

// Opens the settings file as a load reads it: in text mode (CR LF reads as
// LF, 0x1A ends the text), without keeping anyone from writing it meanwhile.
// Null when it cannot be opened; errno says why.
SettingsFile OpenSettingsFile(const char* path);

// close_by_mbtn as the host takes it at start-up: any value but 0 is on.
bool ReadCloseByMbtn(const char* path);

// Reads scroll_counts, modern_wheel and tray_icon (any value but 0 is on)
// and the four
// class lists from the file at state.settings_path. A file that is not
// there (or no path) gives the defaults: scroll_counts 3, modern_wheel off,
// the sentinels in exclude_class and no other key. A file that is there but
// cannot be read just now (held open without sharing by another program, a read
// failure) leaves the state as it was, and so does running out of memory; false
// then.
bool LoadSettings(HostState& state);

// Puts what a load read into `loaded` into state: scroll_counts,
// modern_wheel, tray_icon and the four lists, whose old keys `loaded` then
// holds.
void TakeSettings(HostState& state, HostState& loaded);

}  // namespace tavrin::rules
