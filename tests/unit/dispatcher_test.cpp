// What the host does with each notification, against a recorded desktop.
#include "dispatcher.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fake_desktop.h"
#include "settings_loader.h"

namespace {

using namespace tavrin;
using namespace tavrin::host;

std::string Post(WindowId w, uint32_t message, uint64_t wParam,
                 int64_t lParam) {
  std::ostringstream line;
  line << "post" << std::hex << " " << w << " " << message << " " << wParam
       << " " << static_cast<uint64_t>(lParam);
  return line.str();
}

constexpr WindowId kTop = 0x10, kChild = 0x20, kSpin = 0x30, kDialog = 0x40;
constexpr int64_t kPoint = 0x01230456;
constexpr ScrollBar kScrollable{true, 99, 10};
constexpr ScrollBar kOnePage{true, 9, 10};  // nMax + 1 == nPage

class DispatcherTest : public ::testing::Test {
 protected:
  DispatcherTest() {
    ResetClassLists(state);
    state.scroll_counts = 3;
    desktop.windows[kTop] = {"TopFrame"};
    desktop.windows[kChild] = {"ListBox", kTop, kScrollable};
    desktop.windows[kSpin] = {kUpDownClass, kTop};
    desktop.windows[kDialog] = {"#32770", kChild};  // owned by the child
  }

  std::vector<std::string> Notify(uint32_t message, WindowId w,
                                  int64_t lParam = kPoint) {
    desktop.calls.clear();
    EXPECT_TRUE(Dispatch(desktop, state, message, w, lParam));
    std::vector<std::string> posts;
    for (const std::string& call : desktop.calls)
      if (call.rfind("post", 0) == 0 || call.rfind("key", 0) == 0)
        posts.push_back(call);
    return posts;
  }

  std::vector<std::string> Lines(WindowId w, uint32_t message, uint64_t request,
                                 uint32_t count) {
    std::vector<std::string> posts(count, Post(w, message, request, 0));
    posts.push_back(Post(w, message, kSbEndScroll, 0));
    return posts;
  }

  HostState state;
  FakeDesktop desktop;
};

TEST_F(DispatcherTest, WheelScrollsTheWindowUnderThePointerByLines) {
  EXPECT_EQ(Notify(WMU_WHEEL_DOWN, kChild), Lines(kChild, kWmVScroll, 1, 3));
  EXPECT_EQ(Notify(WMU_WHEEL_UP, kChild), Lines(kChild, kWmVScroll, 0, 3));
  // Both bars are read, vertical first, before anything is posted.
  EXPECT_EQ(desktop.calls[0], "bar 20 1");
  EXPECT_EQ(desktop.calls[1], "bar 20 0");
}

TEST_F(DispatcherTest, ScrollCountsFromZeroUpToWhatAQueueHolds) {
  for (int32_t counts : {0, 5, -1, INT32_MIN}) {
    state.scroll_counts = counts;
    EXPECT_EQ(Notify(WMU_WHEEL_DOWN, kChild),
              Lines(kChild, kWmVScroll, 1, counts > 0 ? 5u : 0u))
        << counts;
  }
  EXPECT_EQ(LineCount(10000), 10000u);
  EXPECT_EQ(LineCount(INT32_MAX), 10000u);
}

TEST_F(DispatcherTest, HorizontalLinesOnlyWhenOnlyTheHorizontalBarScrolls) {
  struct Case {
    ScrollBar vertical, horizontal;
    uint32_t message;
  };
  const ScrollBar kNone{false, 0, 0};
  const Case cases[] = {
      {kScrollable, kScrollable, kWmVScroll},
      {kNone, kScrollable, kWmHScroll},
      {kOnePage, kScrollable, kWmHScroll},
      {kNone, kNone, kWmVScroll},
      {kScrollable, kOnePage, kWmVScroll},
      {kNone, kOnePage, kWmVScroll},
      // nMax + 1 wraps in 32 bits: INT32_MAX + 1 == 0x80000000.
      {kNone, {true, INT32_MAX, 0x80000000u}, kWmVScroll},
      {kNone, {true, -1, 0}, kWmVScroll},
      {kNone, {true, -1, 5}, kWmHScroll},
  };
  for (const Case& c : cases) {
    desktop.windows[kChild].vertical = c.vertical;
    desktop.windows[kChild].horizontal = c.horizontal;
    EXPECT_EQ(Notify(WMU_WHEEL_UP, kChild).back(),
              Post(kChild, c.message, kSbEndScroll, 0));
  }
}

TEST_F(DispatcherTest, ExcludedClassesGetOneMarkedNotchInstead) {
  state.exclude_class.Insert("List");  // prefix of ListBox
  EXPECT_EQ(Notify(WMU_WHEEL_UP, kChild),
            (std::vector{Post(kChild, kWmMouseWheel, 0x784000, kPoint)}));
  EXPECT_EQ(
      Notify(WMU_WHEEL_DOWN, kChild),
      (std::vector{Post(kChild, kWmMouseWheel, 0xFFFFFFFFFF884000, kPoint)}));
  for (const std::string& call : desktop.calls)
    EXPECT_NE(call.rfind("bar", 0), 0u) << "bars are not read";

  ResetClassLists(state);
  state.exclude_parent_class.Insert("TopFrame");
  EXPECT_EQ(Notify(WMU_WHEEL_UP, kChild),
            (std::vector{Post(kChild, kWmMouseWheel, 0x784000, kPoint)}));
  state.exclude_parent_class.Clear();
  state.exclude_parent_class.Insert("ListBox");  // only the top's class counts
  EXPECT_EQ(Notify(WMU_WHEEL_UP, kChild), Lines(kChild, kWmVScroll, 0, 3));
}

TEST_F(DispatcherTest, UpDownStepsTowardTheLimitAndStopsThere) {
  struct Case {
    int16_t max, min, position;
    bool up;
    std::optional<int16_t> next;
  };
  const Case cases[] = {
      {10, 0, 5, true, 6},       {10, 0, 5, false, 4},
      {10, 0, 10, true, {}},     {10, 0, 0, false, {}},
      {0, 100, 50, true, 49},    {0, 100, 50, false, 51},
      {10, -10, -5, true, -4},   {10, -10, -5, false, -6},
      {10, -10, -10, false, {}}, {10, 0, 12, true, 11},
      {10, 0, -3, false, -2},    {32767, -32768, 32767, true, {}},
  };
  for (const Case& c : cases) {
    auto& spin = desktop.windows[kSpin];
    spin.range = (static_cast<uint64_t>(static_cast<uint16_t>(c.min)) << 16) |
                 static_cast<uint16_t>(c.max);
    spin.position = 0xDEAD0000u | static_cast<uint16_t>(c.position);
    const auto posts = Notify(c.up ? WMU_WHEEL_UP : WMU_WHEEL_DOWN, kSpin);
    std::vector<std::string> want;
    if (c.next) want.push_back(Post(kSpin, kUdmSetPos, 0, *c.next));
    EXPECT_EQ(posts, want) << c.max << " " << c.min << " " << c.position;
  }
}

TEST_F(DispatcherTest, UpDownIsSteppedEvenWhenExcludedButOnlyByExactName) {
  state.exclude_class.Insert("msctls");
  state.exclude_class.Insert("MSCTLS");
  desktop.windows[kSpin].range = 10;
  desktop.windows[kSpin].position = 3;
  EXPECT_EQ(Notify(WMU_WHEEL_UP, kSpin),
            (std::vector{Post(kSpin, kUdmSetPos, 0, 4)}));
  for (const char* lookalike : {"msctls_updown32x", "MSCTLS_UPDOWN32"}) {
    desktop.windows[kSpin].className = lookalike;
    EXPECT_EQ(Notify(WMU_WHEEL_UP, kSpin),
              (std::vector{Post(kSpin, kWmMouseWheel, 0x784000, kPoint)}));
  }
}

TEST_F(DispatcherTest, HungUpDownControlCostsOneNotchNotTheDesktop) {
  desktop.windows[kSpin].hung = true;
  EXPECT_TRUE(Notify(WMU_WHEEL_UP, kSpin).empty());
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{"ask 30 466"}));
}

TEST_F(DispatcherTest, MiddleClickClosesPassesOnOrSwallows) {
  EXPECT_EQ(Notify(WMU_MBUTTON_CLICK, kChild),
            (std::vector{Post(kTop, kWmSysCommand, 0xF060, 0)}));
  // From an owned dialog the climb goes on through the owner.
  EXPECT_EQ(Notify(WMU_MBUTTON_CLICK, kDialog),
            (std::vector{Post(kTop, kWmSysCommand, 0xF060, 0)}));

  state.mbtn_passthrough_class.Insert("TopFrame");
  EXPECT_EQ(Notify(WMU_MBUTTON_CLICK, kChild),
            (std::vector{Post(kChild, kWmMButtonDown, 0x4010, kPoint),
                         Post(kChild, kWmMButtonUp, 0x4000, kPoint)}));
  state.mbtn_discard_class.Insert("TopFrame");  // discard wins
  EXPECT_TRUE(Notify(WMU_MBUTTON_CLICK, kChild).empty());
  EXPECT_TRUE(Notify(WMU_MBUTTON_CLICK, 0).empty());
}

TEST_F(DispatcherTest, NullWindowIsScrolledAsNoWindow) {
  EXPECT_EQ(Notify(WMU_WHEEL_DOWN, 0), Lines(0, kWmVScroll, 1, 3));
}

TEST_F(DispatcherTest, ExtraButtonsTypeAltArrows) {
  EXPECT_EQ(Notify(WMU_XBUTTON1_UP, kChild),
            (std::vector<std::string>{"key 12 1", "key 25 0", "key 25 2",
                                      "key 12 3"}));
  EXPECT_EQ(Notify(WMU_XBUTTON2_UP, 0),
            (std::vector<std::string>{"key 12 1", "key 27 0", "key 27 2",
                                      "key 12 3"}));
}

TEST_F(DispatcherTest, DestroyQuitsAndOtherMessagesAreNotOurs) {
  EXPECT_TRUE(Dispatch(desktop, state, kWmDestroy, 0, 0));
  EXPECT_EQ(desktop.calls.back(), "quit");
  desktop.calls.clear();
  for (uint32_t message :
       {0x0010u /* WM_CLOSE */, WMU_MBUTTON_CLICK - 1, WMU_XBUTTON2_UP + 1})
    EXPECT_FALSE(Dispatch(desktop, state, message, kChild, 0));
  EXPECT_TRUE(desktop.calls.empty());
}

}  // namespace
