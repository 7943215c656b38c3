// The dispatcher's decisions that no real window can be set up for: scroll
// bars at the edges of 32-bit arithmetic, line counts out of range, an
// up-down control whose thread does not answer, no window at all. The rest
// is proven end to end.
#include "dispatcher.h"

#include <gtest/gtest.h>

#include "fake_desktop.h"
#include "settings_reader.h"
#include "tavrin_protocol.h"

namespace {

using namespace tavrin;
using namespace tavrin::host;

constexpr WindowId kList = 0x20, kSpin = 0x30;
constexpr ScrollBar kScrollable{true, 99, 10}, kOnePage{true, 9, 10};
constexpr ScrollBar kNone{false, 0, 0};

class DispatcherTest : public ::testing::Test {
 protected:
  DispatcherTest() {
    ResetClassLists(state);
    desktop.windows[kList] = {"ListBox", 0, {kScrollable, kScrollable}};
    desktop.windows[kSpin] = {"msctls_updown32"};  // it does not answer
  }
  const std::vector<FakePost>& Wheel(WindowId w) {
    desktop.posts.clear();
    Dispatch(desktop, state, WMU_WHEEL_DOWN, w, 0);
    return desktop.posts;
  }
  HostState state;
  FakeDesktop desktop;
};

TEST_F(DispatcherTest, HorizontalLinesOnlyWhenOnlyTheHorizontalBarScrolls) {
  constexpr uint32_t kH = 0x114, kV = 0x115;
  const struct {
    ScrollBar vertical, horizontal;
    uint32_t message;
  } cases[] = {
      {kScrollable, kScrollable, kV},
      {kNone, kScrollable, kH},
      {kOnePage, kScrollable, kH},
      {kNone, kNone, kV},
      {kScrollable, kOnePage, kV},
      {kNone, kOnePage, kV},
      // nMax + 1 wraps in 32 bits: INT32_MAX + 1 == 0x80000000.
      {kNone, {true, INT32_MAX, 0x80000000u}, kV},
      {kNone, {true, -1, 0}, kV},
      {kNone, {true, -1, 5}, kH},
  };
  for (const auto& c : cases) {
    desktop.windows[kList].bars[kSbVert] = c.vertical;
    desktop.windows[kList].bars[kSbHorz] = c.horizontal;
    EXPECT_EQ(Wheel(kList).back().message, c.message);
  }
}

TEST_F(DispatcherTest, LineCountsFromZeroToAThousand) {
  for (const auto& [counts, lines] : {std::pair{0, 0u},
                                      {5, 5u},
                                      {-1, 0u},
                                      {INT32_MIN, 0u},
                                      {1000, 1000u},
                                      {1001, 1000u},
                                      {INT32_MAX, 1000u}}) {
    state.scroll_counts = counts;
    EXPECT_EQ(Wheel(kList).size(), lines + 1) << counts;
    EXPECT_EQ(desktop.posts.back().wParam, 8u);  // SB_ENDSCROLL
  }
}

// The flags of the keys do not reach a window under Wine's null driver.
TEST_F(DispatcherTest, ExtraButtonsTypeAltAndAnArrow) {
  Dispatch(desktop, state, WMU_XBUTTON2_UP, 0, 0);
  const std::vector<std::pair<uint8_t, uint32_t>> typed = {
      {0x12, 1}, {0x27, 0}, {0x27, 2}, {0x12, 3}};
  EXPECT_EQ(desktop.keys, typed);
}

TEST_F(DispatcherTest, NoWindowOrAHungUpDownControlCostsOneNotch) {
  EXPECT_TRUE(Wheel(0).empty());
  EXPECT_TRUE(Wheel(kSpin).empty());
  EXPECT_EQ(desktop.asks, 1);
}

}  // namespace
