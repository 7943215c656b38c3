// The two rules over ClassNameSet's order of unsigned bytes.
#include "class_name_set.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using tavrin::rules::ClassNameSet;
using tavrin::rules::IsClassExcluded;
using namespace std::string_view_literals;

struct PrefixCase {
  std::vector<std::string> keys;  // besides the two sentinels
  std::vector<std::string> matching;
  std::vector<std::string> other;
};

const PrefixCase kPrefixCases[] = {
    {{"Pane"}, {"Pane", "Pane:01", "PaneWnd"}, {"Pan", "pane:01"}},
    // Only the greatest key below the name is tried as a prefix.
    {{"Pane", "PaneFrame"}, {"PaneFrame2", "PaneA"}, {"PaneWnd"}},
    {{"Edit1"}, {}, {"Edit"}},
    // "!" is the first key and never matches; the high sentinel is not.
    // Names above the high sentinel have no bound.
    {{},
     {"!Wnd", "\xFB["},
     {"", " Edit", "\t", "!", "\xFB[A", "\xFB\x5C", "\xFC"}},
    {{"!m"}, {"!mx", "!a"}, {"!z"}},
    // Bytes sort as unsigned values: 0x80 and up after ASCII.
    {{"\xC0Win", "\x7FZ"}, {"\xC0Window", "\x7FZa"}, {"\xBF"}},
    // A key below "!" becomes the first key.
    {{" Edit"}, {"!"}, {" Edit"}},
    // Bytes, not characters: a key may end in a DBCS lead byte.
    {{"Sjis\x82"}, {"Sjis\x82\xA0"}, {"Sjis"}},
};

TEST(ClassNameSet, PrefixRuleLooksAtTheGreatestKeyBelowTheName) {
  for (const PrefixCase& c : kPrefixCases) {
    ClassNameSet set;
    set.Insert("\xFB\x5B");
    for (const std::string& key : c.keys) set.Insert(key);
    set.Insert("!");
    for (const std::string& name : c.matching)
      EXPECT_TRUE(IsClassExcluded(set, name)) << name;
    for (const std::string& name : c.other)
      EXPECT_FALSE(IsClassExcluded(set, name)) << name;
  }
}

}  // namespace
