// The dispatcher's decisions that no real window can be set up for: scroll
// bars at the edges of 32-bit arithmetic, an up-down control whose thread
// does not answer, no window at all (posts to no window would land in the
// host's own queue, where nothing sees them), a parent chain that cycles,
// the flags of the typed keys. The rest is proven end to end.
#include "dispatcher.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "desktop.h"
#include "hook_filter.h"
#include "settings_reader.h"
#include "tavrin_protocol.h"

namespace {

using namespace tavrin;
using namespace tavrin::host;
using tavrin::rules::HostState;

constexpr WindowId kDesktop = 0x99;  // never closed

// A desktop of windows from a table, every post and key recorded.
struct FakeWindow {
  std::string className;
  WindowId parent = 0;
  ScrollBar bars[2] = {};                   // kSbHorz, kSbVert
  std::optional<uint64_t> replies[2] = {};  // to UDM_GETRANGE, UDM_GETPOS
};

struct FakePost {
  WindowId window;
  uint32_t message;
  uint64_t wParam;
};

class FakeDesktop final : public Desktop {
 public:
  std::map<WindowId, FakeWindow> windows;  // others have no class, no parent
  std::vector<FakePost> posts;
  std::vector<std::pair<uint8_t, uint32_t>> keys;  // key, flags
  int asks = 0;
  int parents = 0;  // calls of Parent; a cycle is cut after a million

  std::string ClassName(WindowId w) override { return windows[w].className; }
  WindowId WindowAt(int32_t, int32_t) override { return 0; }
  WindowId DesktopWindow() override { return kDesktop; }
  WindowId Parent(WindowId w) override {
    return ++parents > 1000000 ? 0 : windows[w].parent;
  }
  ScrollBar ReadScrollBar(WindowId w, int bar) override {
    return windows[w].bars[bar];
  }
  std::optional<uint64_t> Ask(WindowId w, uint32_t message) override {
    ++asks;
    return windows[w].replies[message == kUdmGetRange ? 0 : 1];
  }
  void Post(WindowId w, uint32_t message, uint64_t wParam, int64_t) override {
    posts.push_back({w, message, wParam});
  }
  void KeyEvent(uint8_t key, uint32_t flags) override {
    keys.push_back({key, flags});
  }
  // Ctrl is never down: the editor, proven end to end, is not reached.
  bool IsControlDown() override { return false; }
  void Quit() override {}
  bool Confirm(uint32_t, const std::string&) override { return false; }
  void Inform(uint32_t, const std::string&) override {}
  bool WriteSetting(const char*, const std::string&, const char*) override {
    return false;
  }
  void ReloadSettings() override {}
  void AllowFromLowerPrograms(WindowId w, uint32_t message) override {
    allowed.insert({w, message});
  }
  std::set<std::pair<WindowId, uint32_t>> allowed;
};

constexpr WindowId kList = 0x20, kSpin = 0x30;
constexpr ScrollBar kScrollable{true, 99, 10}, kOnePage{true, 9, 10};
constexpr ScrollBar kNone{false, 0, 0};

class DispatcherTest : public ::testing::Test {
 protected:
  DispatcherTest() {
    tavrin::rules::ResetClassLists(state);
    desktop.windows[kList] = {"ListBox", 0, {kScrollable, kScrollable}};
    desktop.windows[kSpin] = {"msctls_updown32"};  // it does not answer
  }
  const std::vector<FakePost>& Wheel(WindowId w) {
    desktop.posts.clear();
    Dispatch(desktop, state, rest, WMU_WHEEL_DOWN, w, 0);
    return desktop.posts;
  }
  HostState state;
  ModernWheel rest;
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

// The flags of the keys do not reach a window under Wine's null driver.
TEST_F(DispatcherTest, ExtraButtonsTypeAltAndAnArrow) {
  Dispatch(desktop, state, rest, WMU_XBUTTON2_UP, 0, 0);
  const std::vector<std::pair<uint8_t, uint32_t>> typed = {
      {0x12, 1}, {0x27, 0}, {0x27, 2}, {0x12, 3}};
  EXPECT_EQ(desktop.keys, typed);
}

TEST_F(DispatcherTest, NoWindowAHungUpDownOrAParentCycleCostsOneNotch) {
  EXPECT_TRUE(Wheel(0).empty());
  Dispatch(desktop, state, rest, WMU_MBUTTON_CLICK, 0, 0);
  Dispatch(desktop, state, rest, WMU_MBUTTON_CLICK, kDesktop, 0);
  Dispatch(desktop, state, rest, WMU_WHEEL_MESSAGE, 0xFF880000, 0);
  EXPECT_TRUE(desktop.posts.empty());
  EXPECT_TRUE(Wheel(kSpin).empty());
  EXPECT_EQ(desktop.asks, 1);
  desktop.windows[1] = {"A", 2};
  desktop.windows[2] = {"B", 1};
  desktop.parents = 0;
  TopLevelWindow(desktop, 1);
  EXPECT_LE(desktop.parents, 4096);
}

// Run as administrator, the host hears from ordinary applications only
// what it lets through: every notification the hook can post, and no more.
TEST_F(DispatcherTest, TheHostLetsThroughExactlyWhatTheHookPosts) {
  std::set<std::pair<WindowId, uint32_t>> posted;
  for (uint32_t m = kWmMButtonDown; m <= kWmMouseHWheel; ++m)
    for (uint64_t w : {0x0u, 0x10000u, 0x20000u, 0x30000u, 0xFF880000u})
      for (int flags = 0; flags < 4; ++flags) {
        const auto d =
            hook::DecideCandidate<uint64_t>(m, w, flags & 1, flags & 2, true);
        for (uint32_t i = 0; i < hook::CountOf(d); ++i)
          posted.insert({0x42, hook::MessageOf(d, i)});
      }
  AllowNotifications(desktop, 0x42);
  EXPECT_EQ(desktop.allowed, posted);
}

// The modern wheel scrolls the window that the application's own thread
// found for the point, once; otherwise the host looks for itself (and
// finds no window here).
TEST_F(DispatcherTest, ModernWheelTakesTheApplicationsWindowForItsPoint) {
  const auto notch = [&](bool found, int64_t point) {
    desktop.posts.clear();
    if (found)
      Dispatch(desktop, state, rest, WMU_WHEEL_TARGET, kList, 0x100020);
    Dispatch(desktop, state, rest, WMU_WHEEL_MESSAGE, 0xFF880000, point);
    return desktop.posts.size();
  };
  EXPECT_EQ(notch(true, 0x100020), 4u);  // 3 lines and the end at kList
  EXPECT_EQ(notch(false, 0x100020), 0u);
  EXPECT_EQ(notch(true, 0x300040), 0u);
}

}  // namespace
