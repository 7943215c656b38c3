// The class-list reader over memory, and LoadSettings over real files.
#include "settings_reader.h"

#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "settings_loader.h"

namespace {

using namespace tavrin::host;
using namespace std::string_literals;

std::unique_ptr<ClassNameSet> ReadSection(
    std::string_view file, std::string_view header = "[exclude_class]") {
  MemoryLineSource source(file);
  auto set = std::make_unique<ClassNameSet>();
  ReadClassSection(source, header, *set);
  return set;
}

::testing::AssertionResult HoldsExactly(const ClassNameSet& set,
                                        const std::vector<std::string>& keys) {
  for (const std::string& key : keys) {
    if (!set.Contains(key)) {
      return ::testing::AssertionFailure() << "no key \"" << key << '"';
    }
  }
  if (set.Size() == keys.size()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << set.Size() << " keys";
}

TEST(SettingsReader, EntryLinesOfTheFirstSectionFollowTheRules) {
  const std::string file =
      "Before\n[general]\nscroll_counts=5\n[exclude_class]\n#Comment\n/Slash\n"
      ";Semi\n\n \t \nEdit\nBtn=1\nChk=TRUE\nAsk=yEs\nZero=0\nEmpty=\nWord=on\n"
      "Blank = 1\nSpace =1\nTrail=1  \t\na=b=1\nc=d\nTab   \n  Lead\n"
      "Remark ;x\n=1\nEdit=0\n\xA0Hi\xA0\nV\x0B\x0C\r\nW\r\r\nNul\0Hid\n"
      "\0[x\n [NotAnEnd]\n[other]\nOther\n[exclude_class]\nSecond\n"s;
  EXPECT_TRUE(HoldsExactly(
      *ReadSection(file),
      {"Edit", "Btn", "Chk", "Ask", "Space ", "Trail", "a=b", "Tab", "  Lead",
       "Remark ;x", "\xA0Hi\xA0", "V", "W", "Nul", " [NotAnEnd]"}));
}

TEST(SettingsReader, HeaderIsTheBracketedNameAtTheLineStartInAnyAsciiCase) {
  const std::pair<std::string, bool> kHeaders[] = {
      {"[EXCLUDE_CLASS]", true},
      {"[Exclude_Class] remark", true},
      {"[exclude_class]x", true},
      {" [exclude_class]", false},
      {"[exclude_class", false},
      {"[exclude\x7F"
       "class]",
       false},
      {"[exclude_clas]", false},
      {"[exclude\0_class]"s, false},
  };
  for (const auto& [header, opens] : kHeaders) {
    EXPECT_EQ(ReadSection(header + "\nEdit\n")->Size(), opens ? 1u : 0u)
        << header;
  }
}

TEST(SettingsReader, LongLinesAreReadInPiecesOf2047Bytes) {
  const std::string a(2047, 'A');
  const std::string c(2046, 'C');
  // The line feed after 2047 bytes comes as an empty piece; CR LF is one
  // byte by then. Each piece is a line of its own, also to the tests on its
  // first byte.
  EXPECT_TRUE(
      HoldsExactly(*ReadSection("[exclude_class]\n" + a + "\n" + c + "\r\n" +
                                a + "DD\n" + a + "#x\n" + a + "[x\nAfter\n"),
                   {a, c, "DD"}));
  EXPECT_TRUE(
      HoldsExactly(*ReadSection(a + "[exclude_class]\nEdit\n"), {"Edit"}));
}

TEST(SettingsReader, TextModeReadsCrLfAsLfAndStopsAt1A) {
  const std::string c(2046, 'C');
  const std::string file = "A\r\nB\rC\r\r\n" + c +
                           "\r\nD\r\x1A"
                           "E\n";
  for (const size_t chunk_bytes : {1u, 2u, 3u, 7u, 65536u}) {
    MemoryLineSource source(file, chunk_bytes);  // any cut between chunks
    std::vector<std::string> pieces;
    for (std::string_view piece; source.ReadLine(piece);) {
      pieces.emplace_back(piece);
    }
    EXPECT_EQ(pieces,
              (std::vector<std::string>{"A\n", "B\rC\r\n", c + "\n", "D\r"}))
        << chunk_bytes;
  }
}

class LoadSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string dir =
        (std::filesystem::temp_directory_path() / "tavrin-XXXXXX").string();
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    dir_ = dir;
    file_ = dir + "/Tavrin64.ini";
    UsePath(file_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void UsePath(const std::string& path) {
    ASSERT_LT(path.size(), kSettingsPathBytes);
    memcpy(state_.settings_path, path.c_str(), path.size() + 1);
  }
  void Load(const std::string& bytes) {
    std::ofstream(file_, std::ios::binary) << bytes;
    LoadSettings(state_);
  }
  bool HasNoListedKeys() const {
    return HoldsExactly(state_.exclude_class, {"!", "\xFB\x5B"}) &&
           state_.exclude_parent_class.Size() == 0 &&
           state_.mbtn_discard_class.Size() == 0 &&
           state_.mbtn_passthrough_class.Size() == 0;
  }

  std::string dir_;
  std::string file_;
  HostState state_;
};

TEST_F(LoadSettingsTest, SectionsAreReadInAnyOrderAndReplacedOnReload) {
  Load(
      "[mbtn_passthrough_class]\nPass\n[mbtn_discard_class]\nDrop=yes\n"
      "[general]\nscroll_counts=4\n[exclude_parent_class]\nTop\n"
      "[exclude_class]\nPane\n");
  EXPECT_EQ(state_.scroll_counts, 4);
  EXPECT_TRUE(HoldsExactly(state_.exclude_class, {"!", "\xFB\x5B", "Pane"}));
  EXPECT_TRUE(HoldsExactly(state_.exclude_parent_class, {"Top"}));
  EXPECT_TRUE(HoldsExactly(state_.mbtn_discard_class, {"Drop"}));
  EXPECT_TRUE(HoldsExactly(state_.mbtn_passthrough_class, {"Pass"}));
  Load("[GENERAL]\r\n Scroll_Counts = -2 lines\r\n[exclude_class]\nPane=0\n");
  EXPECT_EQ(state_.scroll_counts, -2);
  EXPECT_TRUE(HasNoListedKeys());
}

TEST_F(LoadSettingsTest, UnreadableFileLeavesTheSentinelsAndDefault) {
  LoadSettings(state_);  // missing
  EXPECT_EQ(state_.scroll_counts, 3);
  EXPECT_TRUE(HasNoListedKeys());
  const std::string listing =
      "[general]\nscroll_counts=5\n[exclude_class]\nX\n";
  UsePath(dir_);
  Load(listing);
  EXPECT_EQ(state_.scroll_counts, 3);
  EXPECT_TRUE(HasNoListedKeys());
  for (const char fill : {'\0', 'x'}) {  // an empty path; one with no NUL
    memset(state_.settings_path, fill, kSettingsPathBytes);
    memcpy(state_.settings_path + 1, file_.data(), file_.size());
    Load(listing);
    EXPECT_EQ(state_.scroll_counts, 3);
    EXPECT_TRUE(HasNoListedKeys());
  }
}

TEST_F(LoadSettingsTest, HostileFilesAreReadToTheirEnd) {
  Load("[exclude_class]\n" + std::string(5'000'000, 'A'));
  EXPECT_TRUE(HoldsExactly(state_.exclude_class,
                           {"!", "\xFB\x5B", std::string(2047, 'A'),
                            std::string(5'000'000 % 2047, 'A')}));
  Load(std::string(1'000'000, '\0'));
  EXPECT_TRUE(HasNoListedKeys());
  Load("[exclude_class\nNone\n[mbtn_discard_class\nNone\n");
  EXPECT_TRUE(HasNoListedKeys());
  std::string sections;
  for (int i = 0; i < 20'000; ++i)
    sections += "[s" + std::to_string(i) + "]\nk\n";
  Load(sections + "[mbtn_discard_class]\nLast\n");
  EXPECT_TRUE(HoldsExactly(state_.mbtn_discard_class, {"Last"}));
}

}  // namespace
