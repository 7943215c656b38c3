// The dispatcher's decisions that no real window can be set up for: scroll
// bars at the edges of 32-bit arithmetic, line counts out of range, an
// up-down control whose thread does not answer. The rest is proven end to
// end.
#include "dispatcher.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "settings_reader.h"
#include "tavrin_protocol.h"

namespace {

using namespace tavrin;
using namespace tavrin::host;

constexpr WindowId kList = 0x20, kSpin = 0x30;
constexpr ScrollBar kScrollable{true, 99, 10}, kOnePage{true, 9, 10};
constexpr ScrollBar kNone{false, 0, 0};

// A desktop of one list (bars as set) and one up-down control that does not
// answer; it records the posts as "window message wParam".
class FakeDesktop final : public Desktop {
 public:
  ScrollBar bars[2] = {kScrollable, kScrollable};  // horizontal, vertical
  std::vector<std::string> posts;
  bool asked = false;

  std::string ClassName(WindowId w) override {
    return w == kSpin ? "msctls_updown32" : w ? "ListBox" : "";
  }
  WindowId Parent(WindowId) override { return 0; }
  ScrollBar ReadScrollBar(WindowId, int bar) override { return bars[bar]; }
  std::optional<uint64_t> Ask(WindowId, uint32_t) override {
    asked = true;
    return std::nullopt;
  }
  void Post(WindowId w, uint32_t message, uint64_t wParam, int64_t) override {
    posts.push_back(std::to_string(w) + " " + std::to_string(message) + " " +
                    std::to_string(wParam));
  }
  void KeyEvent(uint8_t, uint32_t) override {}
  void Quit() override {}
  bool IsControlDown() override { return false; }
  bool Confirm(uint32_t, const std::string&) override { return false; }
  void Inform(uint32_t, const std::string&) override {}
  void WriteSetting(const char*, const std::string&, const char*) override {}
  void ReloadSettings() override {}
};

class DispatcherTest : public ::testing::Test {
 protected:
  DispatcherTest() {
    ResetClassLists(state);
    state.scroll_counts = 3;
  }
  std::vector<std::string> Wheel(WindowId w) {
    desktop.posts.clear();
    Dispatch(desktop, state, WMU_WHEEL_DOWN, w, 0);
    return desktop.posts;
  }
  HostState state;
  FakeDesktop desktop;
};

TEST_F(DispatcherTest, HorizontalLinesOnlyWhenOnlyTheHorizontalBarScrolls) {
  const struct {
    ScrollBar vertical, horizontal;
    const char* message;
  } cases[] = {
      {kScrollable, kScrollable, "277"},
      {kNone, kScrollable, "276"},
      {kOnePage, kScrollable, "276"},
      {kNone, kNone, "277"},
      {kScrollable, kOnePage, "277"},
      {kNone, kOnePage, "277"},
      // nMax + 1 wraps in 32 bits: INT32_MAX + 1 == 0x80000000.
      {kNone, {true, INT32_MAX, 0x80000000u}, "277"},
      {kNone, {true, -1, 0}, "277"},
      {kNone, {true, -1, 5}, "276"},
  };
  for (const auto& c : cases) {
    desktop.bars[kSbVert] = c.vertical;
    desktop.bars[kSbHorz] = c.horizontal;
    EXPECT_EQ(Wheel(kList).back(), "32 " + std::string(c.message) + " 8");
  }
}

TEST_F(DispatcherTest, LineCountsFromZeroUpToWhatAQueueHolds) {
  for (const auto& [counts, lines] : {std::pair{0, 0u},
                                      {5, 5u},
                                      {-1, 0u},
                                      {INT32_MIN, 0u},
                                      {10000, 10000u},
                                      {INT32_MAX, 10000u}}) {
    state.scroll_counts = counts;
    EXPECT_EQ(Wheel(kList).size(), lines + 1) << counts;
  }
}

TEST_F(DispatcherTest, NullWindowIsScrolledAsNoWindow) {
  EXPECT_EQ(Wheel(0).front(), "0 277 1");
}

TEST_F(DispatcherTest, HungUpDownControlCostsOneNotchNotTheDesktop) {
  EXPECT_TRUE(Wheel(kSpin).empty());
  EXPECT_TRUE(desktop.asked);
}

}  // namespace
