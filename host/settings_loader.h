// LoadSettings: fills HostState from the settings file, at start-up and
// after every edit of the exclusion lists.
#pragma once

#include <string_view>

#include "host_state.h"
#include "settings_reader.h"

namespace tavrin::host {

// Always in exclude_class, so that every name from 0x22 to 0xFA in its first
// byte has a lower bound and a key below it.
inline constexpr std::string_view kLowSentinel = "!";
inline constexpr std::string_view kHighSentinel = "\xFB\x5B";

// Reads scroll_counts and replaces the contents of the four sets from the
// file at state.settings_path. A file that cannot be opened leaves
// exclude_class with the sentinels only and the other sets empty; nothing is
// reported.
void LoadSettings(HostState& state);

// LoadSettings for g_host_state.
void LoadSettings();

// Empties the four sets and puts the sentinels into exclude_class.
void ResetClassLists(HostState& state);

// Reads the four class-list sections into the state's sets, one pass over
// the file for each.
void ReadClassLists(LineSource& source, HostState& state);

}  // namespace tavrin::host
