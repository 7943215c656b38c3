// The host's face on the desktop: its icon in the notification area, with
// a tooltip and a menu, and what the menu's items do that is not the
// host's own service: the start-at-logon value, the settings file opened
// in the user's editor, and the About box. The decisions are in
// tray_menu.h; the host's loop carries out the commands chosen here.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "tray_menu.h"

namespace tavrin::host {

// What the icon says.
struct TrayState {
  bool paused = false;
  bool serves32Bit = false;
  const char* missing = "";  // what 32-bit applications lack, if not served
  bool operator==(const TrayState&) const = default;
};

class TrayIcon {
 public:
  explicit TrayIcon(HWND window);
  ~TrayIcon() { Show(false, state_); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // The message that the notification area broadcasts when it starts
  // (again, after Explorer ended).
  UINT TaskbarCreated() const { return taskbarCreated_; }

  // Shows the icon saying `state`, or removes it. An icon that cannot be
  // added yet (no notification area at logon) is added when one starts,
  // without a word.
  void Show(bool shown, const TrayState& state);

  // Handles the icon's own messages to the window: its callback, the
  // notification area's start and the left click's timer. False for any
  // other message. `chosen`: what the user chose, if anything.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam,
                 std::optional<TrayCommand>& chosen);

 private:
  void Notify(DWORD command);
  std::optional<TrayCommand> TrackMenu(POINT at);

  HWND window_;
  UINT taskbarCreated_;
  bool shown_ = false, added_ = false;
  TrayState state_;
  POINT clickedAt_{};  // where a left click waits for a second one
};

// Whether the Run value of the current user starts this program, at its
// path, at logon.
bool StartsWithWindows();
// Writes or removes that value; false when the registry refused.
bool SetStartsWithWindows(bool on);

// Opens the settings file in the user's editor for .ini files, or in
// Notepad; one that does not exist yet is offered to be made with the
// shipped settings first. On a thread of its own: neither the question nor
// the file nor the shell may hold up the host's thread.
void EditSettingsFile(const char* path);

// The version, the settings file and what is served.
void ShowAbout(const char* settingsPath, const TrayState& state);

}  // namespace tavrin::host
