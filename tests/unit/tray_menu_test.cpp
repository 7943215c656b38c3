// The notification area's menu, and which Run value starts this program.
#include "tray_menu.h"

#include <gtest/gtest.h>

#include "resource_ids.h"

namespace {

using namespace tavrin::host;

// The order, the separators and the texts are read off the real menu end
// to end.
TEST(TrayMenu, PauseOrResumeIsTheDefaultAndStartWithWindowsIsTicked) {
  for (const bool paused : {false, true}) {
    const auto items = TrayMenuItems(paused, !paused);
    EXPECT_EQ(items[0].textId, paused ? IDS_MENU_RESUME : IDS_MENU_PAUSE);
    EXPECT_TRUE(items[0].isDefault);
    EXPECT_EQ(items[2].command, TrayCommand::StartWithWindows);
    EXPECT_EQ(items[2].checked, !paused);
  }
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
