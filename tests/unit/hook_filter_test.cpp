// The hook's filter decision at both wParam widths.
#include "hook_filter.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace tavrin;
using namespace tavrin::hook;

constexpr uint32_t kWmNcMButtonDown = 0xA7;
constexpr uint32_t kWmMButtonDblClk = 0x209;
constexpr uint32_t kWmXButtonDblClk = 0x20D;

struct Expected {
  Outcome outcome;
  std::vector<Notification> notifications;
};

template <typename Word>
class HookFilter : public ::testing::Test {
 protected:
  static Expected Run(uint32_t message, uint64_t wParam, bool closeByMbtn,
                      int32_t code = 0, uint64_t removal = kPmRemove,
                      bool hostKnown = true) {
    const Decision d =
        Decide<Word>(code, static_cast<Word>(removal), message,
                     static_cast<Word>(wParam), closeByMbtn, hostKnown);
    return {d.outcome, {d.notifications, d.notifications + d.count}};
  }
};

using Widths = ::testing::Types<uint64_t, uint32_t>;
TYPED_TEST_SUITE(HookFilter, Widths);

const Notification kClickToMessageWindow{WMU_MBUTTON_CLICK,
                                         Target::MessageWindow};
const Notification kWheelUp{WMU_WHEEL_UP, Target::WindowAtPoint};
const Notification kWheelDown{WMU_WHEEL_DOWN, Target::WindowAtPoint};
const Notification kX1{WMU_XBUTTON1_UP, Target::WindowAtPoint};
const Notification kX2{WMU_XBUTTON2_UP, Target::WindowAtPoint};

TYPED_TEST(HookFilter, EveryMessageOfTheRangeWithoutMarker) {
  struct Case {
    uint32_t message;
    uint64_t wParam;
    bool closeByMbtn;
    Outcome outcome;
    std::vector<Notification> notifications;
  };
  const Case cases[] = {
      {kWmMButtonDown, 0x10, true, Outcome::Swallow, {}},
      {kWmMButtonDown, 0x10, false, Outcome::PassOn, {}},
      {kWmMButtonUp, 0, true, Outcome::Swallow, {kClickToMessageWindow}},
      {kWmMButtonUp, 0, false, Outcome::PassOn, {}},
      {kWmMButtonDblClk, 0x10, true, Outcome::PassOn, {}},
      {kWmMButtonDblClk, 0x10, false, Outcome::PassOn, {}},
      {kWmMouseWheel, 0x00780000, false, Outcome::Swallow, {kWheelUp}},
      {kWmMouseWheel, 0x00000000, true, Outcome::Swallow, {kWheelUp}},
      {kWmMouseWheel, 0x00F00000, false, Outcome::Swallow, {kWheelUp}},
      {kWmMouseWheel, 0xFFE20000, false, Outcome::Swallow, {kWheelDown}},
      {kWmMouseWheel, 0x80000000, false, Outcome::Swallow, {kWheelDown}},
      {kWmXButtonDown, 0x10020, false, Outcome::Swallow, {}},
      {kWmXButtonUp, 0x10000, false, Outcome::Swallow, {kX1}},
      {kWmXButtonUp, 0x20000, false, Outcome::Swallow, {kX2}},
      {kWmXButtonUp, 0x30000, false, Outcome::Swallow, {kX1, kX2}},
      {kWmXButtonUp, 0x00000, false, Outcome::PassOn, {}},
      {kWmXButtonUp, 0x40000, true, Outcome::PassOn, {}},
      {kWmXButtonDblClk, 0x10000, true, Outcome::PassOn, {}},
      {kWmMouseHWheel, 0x00780000, true, Outcome::PassOn, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << std::hex << "message 0x" << c.message << " wParam 0x"
                 << c.wParam << " close " << c.closeByMbtn);
    const Expected got = TestFixture::Run(c.message, c.wParam, c.closeByMbtn);
    EXPECT_EQ(got.outcome, c.outcome);
    EXPECT_EQ(got.notifications, c.notifications);
  }
}

TYPED_TEST(HookFilter, MarkerIsStrippedWithoutNotificationAcrossTheRange) {
  for (uint32_t message = kWmMButtonDown; message <= kWmMouseHWheel;
       ++message) {
    for (bool close : {false, true}) {
      const Expected got =
          TestFixture::Run(message, 0x00784000 | 0x10000 | 0x20000, close);
      EXPECT_EQ(got.outcome, Outcome::StripMarker) << std::hex << message;
      EXPECT_TRUE(got.notifications.empty()) << std::hex << message;
    }
  }
}

TYPED_TEST(HookFilter, MessagesOutsideTheRangePassEvenWithTheMarker) {
  for (uint32_t message :
       {0u, 0x201u, 0x206u, 0x20Fu, kWmNcMButtonDown, 0x84D3u, 0xFFFFFFFFu}) {
    for (bool close : {false, true}) {
      EXPECT_EQ(TestFixture::Run(message, 0x4010, close).outcome,
                Outcome::PassOn)
          << std::hex << message;
    }
  }
}

TYPED_TEST(HookFilter, OnlyRemovalWithNonNegativeCodeIsLookedAt) {
  EXPECT_EQ(TestFixture::Run(kWmMouseWheel, 0, true, -1).outcome,
            Outcome::PassOn);
  EXPECT_EQ(TestFixture::Run(kWmMouseWheel, 0, true, INT32_MIN).outcome,
            Outcome::PassOn);
  for (uint64_t removal : {0u, 2u, 3u}) {
    EXPECT_EQ(TestFixture::Run(kWmMouseWheel, 0x4000, true, 0, removal).outcome,
              Outcome::PassOn);
  }
  EXPECT_EQ(TestFixture::Run(kWmMouseWheel, 0, true, 5).outcome,
            Outcome::Swallow);
}

TYPED_TEST(HookFilter, NothingIsTakenOverWithoutAHostWindow) {
  for (uint32_t message = kWmMButtonDown; message <= kWmMouseHWheel;
       ++message) {
    const Expected got =
        TestFixture::Run(message, 0x34000, true, 0, kPmRemove, false);
    EXPECT_EQ(got.outcome, Outcome::PassOn) << std::hex << message;
    EXPECT_TRUE(got.notifications.empty());
  }
}

TEST(HookFilter64, RemovalFlagIsComparedAtFullWidth) {
  EXPECT_EQ(Decide<uint64_t>(0, 0x100000001ull, kWmMouseWheel, 0, false, true)
                .outcome,
            Outcome::PassOn);
}

TEST(HookFilter64, WheelSignIsBit31NotTheUpperHalf) {
  const auto wheel = [](uint64_t w) {
    return Decide<uint64_t>(0, 1, kWmMouseWheel, w, false, true)
        .notifications[0]
        .message;
  };
  EXPECT_EQ(wheel(0xFFFFFFFF00780000ull), WMU_WHEEL_UP);
  EXPECT_EQ(wheel(0x00000000FF880000ull), WMU_WHEEL_DOWN);
  EXPECT_EQ(wheel(0xFFFFFFFFFF880000ull), WMU_WHEEL_DOWN);
}

TEST(HookFilter64, StrippingKeepsEveryOtherBit) {
  EXPECT_EQ(WithoutMarker<uint64_t>(0xFFFFFFFFFF884000ull),
            0xFFFFFFFFFF880000ull);
  EXPECT_EQ(WithoutMarker<uint64_t>(0xFFFFFFFFFFFFFFFFull),
            0xFFFFFFFFFFFFBFFFull);
  EXPECT_EQ(WithoutMarker<uint32_t>(0xFF884010u), 0xFF880010u);
}

TEST(Protocol, WheelNotificationMinusUpIsTheLineRequest) {
  EXPECT_EQ(WheelNotificationFor(0xFF884000u) - WMU_WHEEL_UP, 1u);  // down
  EXPECT_EQ(WheelNotificationFor(0x00784000u) - WMU_WHEEL_UP, 0u);  // up
}

}  // namespace
