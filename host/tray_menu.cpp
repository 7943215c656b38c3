#include "tray_menu.h"

#include <algorithm>

#include "resource_ids.h"

namespace tavrin::host {

namespace {

// The icon's events (version 4), as the notification area reports them.
constexpr uint32_t kWmContextMenu = 0x007B;    // right click, Shift+F10
constexpr uint32_t kWmLButtonDblClk = 0x0203;  // double click
constexpr uint32_t kNinSelect = 0x0400;        // left click
constexpr uint32_t kNinKeySelect = 0x0401;     // Space or Enter

char Folded(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

}  // namespace

std::vector<TrayMenuItem> TrayMenuItems(bool paused, bool startsWithWindows) {
  using enum TrayCommand;
  return {
      {PauseResume, paused ? IDS_MENU_RESUME : IDS_MENU_PAUSE + 0u, false, true,
       true},
      {EditSettings, IDS_MENU_EDIT_SETTINGS, false, false, false},
      {StartWithWindows, IDS_MENU_START_WITH_WINDOWS, startsWithWindows, false,
       true},
      {About, IDS_MENU_ABOUT, false, false, true},
      {Exit, IDS_MENU_EXIT, false, false, false},
  };
}

uint32_t TooltipTextId(bool paused, bool serves32Bit) {
  if (paused) return IDS_TIP_PAUSED;
  return serves32Bit ? IDS_TIP_SERVING : IDS_TIP_64BIT_ONLY;
}

TrayAction ActionFor(uint32_t event) {
  switch (event) {
    case kWmContextMenu:
    case kNinKeySelect:
      return TrayAction::Menu;
    case kNinSelect:
      return TrayAction::MenuUnlessDoubleClick;
    case kWmLButtonDblClk:
      return TrayAction::PauseResume;
  }
  return TrayAction::None;
}

std::string RunValueFor(std::string_view programPath) {
  return "\"" + std::string(programPath) + "\"";
}

bool RunValueStarts(std::string_view runValue, std::string_view programPath) {
  std::string_view path = runValue;
  if (path.starts_with('"')) {
    const size_t close = path.find('"', 1);
    if (close == std::string_view::npos) return false;
    if (path.find_first_not_of(' ', close + 1) != std::string_view::npos)
      return false;
    path = path.substr(1, close - 1);
  } else {
    path = path.substr(0, path.find_last_not_of(' ') + 1);
  }
  return path.size() == programPath.size() &&
         std::equal(path.begin(), path.end(), programPath.begin(),
                    [](char a, char b) { return Folded(a) == Folded(b); });
}

}  // namespace tavrin::host
