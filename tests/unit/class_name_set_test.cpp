// ClassNameSet's order and the two rules tested against it.
#include "class_name_set.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using tavrin::host::ClassNameSet;
using tavrin::host::IsClassExcluded;
using namespace std::string_view_literals;

TEST(ClassNameSet, BytesSortAsUnsignedValuesAndPrefixesFirst) {
  ClassNameSet set;
  for (int byte = 0xFF; byte >= 0x01; --byte) {
    set.Insert(std::string(1, static_cast<char>(byte)));
  }
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const std::string key(1, static_cast<char>(byte));
    const auto at = set.LowerBound(key);
    ASSERT_EQ(*at, key);
    EXPECT_EQ(*ClassNameSet::Predecessor(at),
              std::string(1, static_cast<char>(byte - 1)));
  }
  EXPECT_TRUE(set.IsFirst(set.LowerBound("\x01")));
  EXPECT_EQ(*ClassNameSet::Predecessor(set.LowerBound("\x01\x01")), "\x01");
}

TEST(ClassNameSet, ExactRuleMatchesWholeKeysOnly) {
  ClassNameSet set;
  EXPECT_FALSE(IsClassExcluded(set, "Edit"));
  for (const auto key : {"Edit"sv, "Edit"sv, ""sv, "Ed\0it"sv}) set.Insert(key);
  EXPECT_EQ(set.Size(), 1u);
  EXPECT_TRUE(set.Contains("Edit"));
  for (const char* name : {"edit", "Edit1", "Edi", ""}) {
    EXPECT_FALSE(set.Contains(name)) << name;
  }
}

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
     {"!Wnd", "\xFB\x5B"},
     {"", " Edit", "\t", "!",
      "\xFB\x5B"
      "A",
      "\xFB\x5C", "\xFC"}},
    {{"!m"}, {"!mx", "!a"}, {"!z"}},
    {{"\xFD"}, {}, {"\xFD\x41"}},
    {{"\xC0Win"}, {"\xC0Window"}, {}},
    // A key below "!" becomes the first key.
    {{" Edit"}, {"!"}, {" Edit"}},
    // Bytes, not characters: a key may end in a DBCS lead byte.
    {{"Sjis\x82"}, {"Sjis\x82\xA0"}, {"Sjis"}},
};

TEST(ClassNameSet, PrefixRuleLooksAtTheGreatestKeyBelowTheName) {
  for (const PrefixCase& c : kPrefixCases) {
    ClassNameSet set;
    for (const std::string& key : c.keys) set.Insert(key);
    set.Insert("\xFB\x5B");
    set.Insert("!");
    for (const std::string& name : c.matching) {
      EXPECT_TRUE(IsClassExcluded(set, name)) << name;
    }
    for (const std::string& name : c.other) {
      EXPECT_FALSE(IsClassExcluded(set, name)) << name;
    }
  }
}

}  // namespace
