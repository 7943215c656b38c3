// The notification area's menu, tooltip and clicks, and which Run value
// starts this program.
#include "tray_menu.h"

#include <gtest/gtest.h>

#include "resource_ids.h"

namespace {

using namespace tavrin::host;

TEST(TrayMenu, PauseOrResumeIsTheDefaultAndStartWithWindowsIsTicked) {
  for (const bool paused : {false, true})
    for (const bool starts : {false, true}) {
      const auto items = TrayMenuItems(paused, starts);
      const std::vector<TrayCommand> order = {
          TrayCommand::PauseResume, TrayCommand::EditSettings,
          TrayCommand::StartWithWindows, TrayCommand::About, TrayCommand::Exit};
      ASSERT_EQ(items.size(), order.size());
      for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].command, order[i]);
        EXPECT_EQ(items[i].isDefault, i == 0);
        EXPECT_EQ(items[i].checked, i == 2 && starts);
      }
      EXPECT_EQ(items[0].textId, paused ? IDS_MENU_RESUME : IDS_MENU_PAUSE);
      EXPECT_EQ(TooltipTextId(paused, false),
                paused ? IDS_TIP_PAUSED : IDS_TIP_64BIT_ONLY);
      EXPECT_EQ(TooltipTextId(paused, true),
                paused ? IDS_TIP_PAUSED : IDS_TIP_SERVING);
    }
}

TEST(TrayMenu, ClicksAndKeys) {
  EXPECT_EQ(ActionFor(0x007B), TrayAction::Menu);  // right click, Shift+F10
  EXPECT_EQ(ActionFor(0x0401), TrayAction::Menu);  // Space or Enter
  EXPECT_EQ(ActionFor(0x0400), TrayAction::MenuUnlessDoubleClick);
  EXPECT_EQ(ActionFor(0x0203), TrayAction::PauseResume);
  EXPECT_EQ(ActionFor(0x0200), TrayAction::None);  // the pointer passing
}

TEST(TrayMenu, OnlyAValueNamingThisProgramAtThisPathStartsIt) {
  constexpr char kPath[] = "C:\\Tools\\Tavrin64.exe";
  EXPECT_EQ(RunValueFor(kPath), "\"C:\\Tools\\Tavrin64.exe\"");
  for (const char* value :
       {"\"C:\\Tools\\Tavrin64.exe\"", "C:\\Tools\\Tavrin64.exe",
        "\"c:\\TOOLS\\tavrin64.EXE\"", "\"C:\\Tools\\Tavrin64.exe\"  "})
    EXPECT_TRUE(RunValueStarts(value, kPath)) << value;
  for (const char* value :
       {"", "\"\"", "\"C:\\Old\\Tavrin64.exe\"", "\"C:\\Tools\\Tavrin64.exe",
        "\"C:\\Tools\\Tavrin64.exe\" terminate", "C:\\Tools\\Tavrin64.ex",
        "\"C:\\Tools\\Tavrin64.exe\"x"})
    EXPECT_FALSE(RunValueStarts(value, kPath)) << value;
}

}  // namespace
