// How tavrin-check words what it shows, in its listing, its step-by-step
// verdict and its JSON object alike: escaped and quoted text, the lines a
// notch brings, and the settings that the profile functions read.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <string_view>

#include "explain.h"

namespace tavrin::check {

// The text with quotes, backslashes and control bytes escaped: as C escapes
// (\xNN), or with `json` as JSON's (\uNNNN, bytes from 0x80 up included).
std::string Escaped(std::string_view text, bool json);

// The text escaped as C does it, in double quotes.
std::string Quoted(std::string_view text);

// What a notch does with this scroll_counts: the line messages, the end,
// and why the count differs from the value when it does.
std::string LinesText(int32_t scrollCounts);

// One line for each of scroll_counts, close_by_mbtn, modern_wheel and
// tray_icon.
void PrintEffective(FILE* out, const Effective& effective);

}  // namespace tavrin::check
