// The notification area's icon as the host decides it, over plain values:
// which menu items it shows in what state, what its tooltip says, what a
// click on it does, and whether the start-at-logon value names this
// program. The Win32 layer (tray_icon.cpp) makes the calls.
#pragma once

#include <stdint.h>

#include <string>
#include <string_view>
#include <vector>

namespace tavrin::host {

// The icon's callback message to the host window (version 4: the event in
// the low word of lParam, the anchor point in wParam).
inline constexpr uint32_t kWmuTrayIcon = 0x8000 + 1301;

// The menu's commands, which are its item ids.
enum class TrayCommand : uint32_t {
  PauseResume = 1,
  EditSettings,
  StartWithWindows,
  About,
  Exit,
};

struct TrayMenuItem {
  TrayCommand command;
  uint32_t textId;  // in the string table (English and Japanese)
  bool checked;
  bool isDefault;       // bold; what a double click on the icon does
  bool separatorAfter;  // a line below it
};

// The items, top to bottom, for the state.
std::vector<TrayMenuItem> TrayMenuItems(bool paused, bool startsWithWindows);

// What the tooltip says of the service: its string id (a format of the
// program title and, for 64-bit only, the file that is missing).
uint32_t TooltipTextId(bool paused, bool serves32Bit);

// What an event of the icon does. A left click waits a double click's
// time for a second one, so that a double click is not also a menu.
enum class TrayAction { None, Menu, MenuUnlessDoubleClick, PauseResume };
TrayAction ActionFor(uint32_t event);

// The value under HKCU\...\Run that starts this program at logon: its full
// path in quotes.
std::string RunValueFor(std::string_view programPath);

// Whether a Run value starts this program, at this path: the path, in
// quotes or not, compared as Windows compares paths (ASCII letters in any
// case), with nothing after it.
bool RunValueStarts(std::string_view runValue, std::string_view programPath);

}  // namespace tavrin::host
