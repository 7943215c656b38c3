// The desktop as the host's decisions see it: the few questions they ask of
// other applications' windows, the user and the keyboard, and the few things
// they do to windows and to the settings file. The Win32 layer
// (win32_desktop.cpp) makes the real calls; unit tests record them.
#pragma once

#include <stdint.h>

#include <optional>
#include <string>

namespace tavrin::host {

// A window handle as a plain value; 0 is no window.
using WindowId = uint64_t;

// Bar selectors of ReadScrollBar.
inline constexpr int kSbHorz = 0;
inline constexpr int kSbVert = 1;

// One scroll bar as GetScrollInfo reports it (range and page only).
struct ScrollBar {
  bool present;  // the call succeeded
  int32_t max;
  uint32_t page;
};

class Desktop {
 public:
  virtual ~Desktop() = default;

  // The window's class name in the ANSI code page; empty when it cannot be
  // read (no window, or one that is gone).
  virtual std::string ClassName(WindowId window) = 0;

  // The window at the point in screen coordinates; 0 when none.
  virtual WindowId WindowAt(int32_t x, int32_t y) = 0;

  // The desktop window itself (GetDesktopWindow).
  virtual WindowId DesktopWindow() = 0;

  // The window's parent, or the owner of a pop-up window; 0 when none.
  virtual WindowId Parent(WindowId window) = 0;

  // bar: kSbHorz or kSbVert.
  virtual ScrollBar ReadScrollBar(WindowId window, int bar) = 0;

  // Sends the message (wParam 0, lParam 0) and waits a short while for the
  // reply; nothing when the window's thread does not answer in time.
  virtual std::optional<uint64_t> Ask(WindowId window, uint32_t message) = 0;

  // Queues a message for the window's thread; failures are ignored.
  virtual void Post(WindowId window, uint32_t message, uint64_t wParam,
                    int64_t lParam) = 0;

  // Inserts one key event into the system's input stream.
  virtual void KeyEvent(uint8_t key, uint32_t flags) = 0;

  // Ends the host's message loop.
  virtual void Quit() = 0;

  // Whether Ctrl is held down.
  virtual bool IsControlDown() = 0;

  // Asks the question of the string table about the class (Yes and No, No
  // the default); true only for Yes.
  virtual bool Confirm(uint32_t textId, const std::string& className) = 0;

  // Tells the user the message of the string table about the class or the
  // file.
  virtual void Inform(uint32_t textId, const std::string& subject) = 0;

  // Sets the key to the value in that section of the settings file; false
  // when the file could not be written.
  virtual bool WriteSetting(const char* section, const std::string& key,
                            const char* value) = 0;

  // Reads the settings file again into the host's state.
  virtual void ReloadSettings() = 0;

  // Lets the message reach the window from programs that run with less
  // than this one's rights: a program run as administrator otherwise hears
  // nothing from ordinary ones.
  virtual void AllowFromLowerPrograms(WindowId window, uint32_t message) = 0;
};

// Lets exactly the hook's notifications through to the host's window, and
// nothing else: run as administrator, the host serves elevated programs
// and ordinary ones alike.
void AllowNotifications(Desktop& desktop, WindowId hostWindow);

// The last window reached by following Parent from the window (a window
// without parent or owner is its own top-level window); 0 for 0.
WindowId TopLevelWindow(Desktop& desktop, WindowId window);

}  // namespace tavrin::host
