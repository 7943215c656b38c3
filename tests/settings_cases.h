// Settings files and what a load makes of them: one table that the native
// unit tests check against the native build and settings_driver.exe against
// the Windows build under Wine, so that both read the same bytes alike.
#pragma once

#include <stdint.h>

#include <optional>
#include <string>
#include <vector>

#include "host_state.h"

namespace tavrin::testing {

using namespace std::string_literals;

struct SettingsCase {
  const char* name;
  std::optional<std::string> bytes;  // the file; none: no file at all
  int32_t scrollCounts;
  std::vector<std::string> excludeClass;  // besides the two sentinels
  std::vector<std::string> excludeParentClass;
  std::vector<std::string> mbtnDiscardClass;
  std::vector<std::string> mbtnPassthroughClass;
};

// clang-format off
inline const std::vector<SettingsCase> kSettingsCases = {
  {"no file", std::nullopt, 3, {}, {}, {}, {}},
  {"a typical file, CR LF",
   "; Tavrin64\r\n[general]\r\nscroll_counts=5\r\nclose_by_mbtn=1\r\n\r\n"
   "[exclude_class]\r\nEdit\r\nListBox=1\r\nButton=0\r\n"
   "[exclude_parent_class]\r\nConsoleWindowClass=yes\r\n"
   "[mbtn_discard_class]\r\nShell_TrayWnd\r\n"
   "[mbtn_passthrough_class]\r\nMozillaWindowClass=true\r\n"s,
   5, {"Edit", "ListBox"}, {"ConsoleWindowClass"}, {"Shell_TrayWnd"}, {"MozillaWindowClass"}},
  {"sections in reverse order, general between them",
   "[mbtn_passthrough_class]\nP\n[mbtn_discard_class]\nD\n[General]\n"
   "SCROLL_COUNTS=2\n[exclude_parent_class]\nT\n[EXCLUDE_CLASS] x\nC\n"s,
   2, {"C"}, {"T"}, {"D"}, {"P"}},
  {"scroll_counts with blanks around it", "[general]\r\nscroll_counts =  7  \r\n"s, 7, {}, {}, {}, {}},
  {"scroll_counts with a plus sign", "[general]\r\nscroll_counts=+4\r\n"s, 4, {}, {}, {}, {}},
  {"scroll_counts negative", "[general]\r\nscroll_counts=-2\r\n"s, -2, {}, {}, {}, {}},
  {"scroll_counts with trailing text", "[general]\r\nscroll_counts=12 lines\r\n"s, 12, {}, {}, {}, {}},
  {"scroll_counts missing", "[general]\r\nclose_by_mbtn=1\r\n"s, 3, {}, {}, {}, {}},
  {"0x1A ends the text, CR alone stays", "[exclude_class]\r\nA\rB\r\nC\x1A\r\nD\r\n"s, 3, {"A\rB", "C"}, {}, {}, {}},
  {"a NUL ends a line's text", "[exclude_class]\nAb\0cd\nE\n"s, 3, {"Ab", "E"}, {}, {}, {}},
  {"a long line comes in pieces of 2047 bytes", "[exclude_class]\n" + std::string(2047, 'x') + "yy\n", 3,
   {std::string(2047, 'x'), "yy"}, {}, {}, {}},
};
// clang-format on

// What was wrong with the loaded state for the case; empty when nothing.
inline std::string Mismatch(const host::HostState& state,
                            const SettingsCase& c) {
  std::string out;
  if (state.scroll_counts != c.scrollCounts)
    out += "scroll_counts " + std::to_string(state.scroll_counts) +
           " instead of " + std::to_string(c.scrollCounts) + "; ";
  const auto check = [&](const char* name, const host::ClassNameSet& set,
                         const std::vector<std::string>& keys, size_t extra) {
    for (const std::string& key : keys)
      if (!set.Contains(key)) out += std::string(name) + " lacks a key; ";
    if (set.Size() != keys.size() + extra)
      out += std::string(name) + " holds " + std::to_string(set.Size()) +
             " keys; ";
  };
  check("exclude_class", state.exclude_class, c.excludeClass, 2);
  check("exclude_parent_class", state.exclude_parent_class,
        c.excludeParentClass, 0);
  check("mbtn_discard_class", state.mbtn_discard_class, c.mbtnDiscardClass, 0);
  check("mbtn_passthrough_class", state.mbtn_passthrough_class,
        c.mbtnPassthroughClass, 0);
  return out;
}

}  // namespace tavrin::testing
