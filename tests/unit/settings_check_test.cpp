// The traps that tavrin-check finds, line by line.
#include <stdio.h>

#include <gtest/gtest.h>

#include "explain.h"
#include "settings_reader.h"

namespace {

using enum tavrin::check::Trap;
using tavrin::check::ExplainFile;

// clang-format off
const struct { std::string file; std::vector<std::pair<int, tavrin::check::Trap>> traps; } kTraps[] = {
  {"[exclude_class]\nEdit = 1\nList =1\n Pane\nCombo=0\nEdit= 0\n=1\n[general]\n Late = 1\n", {{2, BlankAroundValue}, {3, BlankAroundKey}, {4, BlankAroundKey}, {4, NeverMatches}}},
  // Line 4 is read in two pieces, each a line of its own.
  {"[exclude_class]\nChrome_\nChrome_WidgetWin_\n" + std::string(2047, 'A') + "Qt =1\n[exclude_parent_class]\nQt\nQt5\n[Exclude_Class] again\nMozilla\n",
   {{2, ShadowedPrefix}, {4, BlankAroundKey}, {8, DuplicateSection}}},
};
// clang-format on

TEST(SettingsCheck, WarnsOfEachTrapOnItsLine) {
  for (const auto& [text, expected] : kTraps) {
    FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    std::vector<std::pair<int, tavrin::check::Trap>> traps;
    for (const auto& note : ExplainFile(file).notes)
      for (const auto& warning : note.warnings)
        traps.emplace_back(note.line, warning.trap);
    fclose(file);
    EXPECT_EQ(traps, expected) << text.substr(0, 60);
  }
}

}  // namespace
