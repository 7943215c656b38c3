#include "win32_desktop.h"

#include <windows.h>

#include "program_identity.h"
#include "resource_message.h"
#include "settings_loader.h"

namespace tavrin::host {

namespace {

// How long an up-down control's thread gets to answer, each of the two
// questions of a step. While the host waits it handles no notification and
// retrieves no message, so the wheel of the whole desktop waits too, and on
// Windows every 32-bit application: a hung application must not freeze it.
constexpr UINT kAskTimeoutMs = 100;

HWND Handle(WindowId window) { return reinterpret_cast<HWND>(window); }

}  // namespace

std::string Win32Desktop::ClassName(WindowId window) {
  char name[1024];
  name[0] = '\0';  // a failed read leaves the empty name
  GetClassNameA(Handle(window), name, sizeof name);
  return name;
}

WindowId Win32Desktop::WindowAt(int32_t x, int32_t y) {
  return reinterpret_cast<WindowId>(WindowFromPoint(POINT{x, y}));
}

WindowId Win32Desktop::DesktopWindow() {
  return reinterpret_cast<WindowId>(GetDesktopWindow());
}

WindowId Win32Desktop::Parent(WindowId window) {
  return reinterpret_cast<WindowId>(GetParent(Handle(window)));
}

ScrollBar Win32Desktop::ReadScrollBar(WindowId window, int bar) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE;
  const bool present = GetScrollInfo(Handle(window), bar, &info) != 0;
  return {present, info.nMax, info.nPage};
}

std::optional<uint64_t> Win32Desktop::Ask(WindowId window, uint32_t message) {
  DWORD_PTR reply = 0;
  if (!SendMessageTimeoutA(Handle(window), message, 0, 0, SMTO_ABORTIFHUNG,
                           kAskTimeoutMs, &reply))
    return std::nullopt;
  return reply;
}

void Win32Desktop::Post(WindowId window, uint32_t message, uint64_t wParam,
                        int64_t lParam) {
  PostMessageA(Handle(window), message, wParam, lParam);
}

void Win32Desktop::KeyEvent(uint8_t key, uint32_t flags) {
  keybd_event(key, 0, flags, 0);
}

void Win32Desktop::Quit() { PostQuitMessage(0); }

bool Win32Desktop::IsControlDown() { return GetKeyState(VK_CONTROL) < 0; }

// Every question names the class and then the program, once or twice; a
// format that uses fewer arguments leaves the rest alone.
bool Win32Desktop::Confirm(uint32_t textId, const std::string& className) {
  return ShowResourceMessage(nullptr, textId, MB_YESNO | MB_DEFBUTTON2,
                             className.c_str(), kProgramTitle,
                             kProgramTitle) == IDYES;
}

void Win32Desktop::Inform(uint32_t textId, const std::string& subject) {
  ShowResourceMessage(nullptr, textId, MB_OK | MB_ICONEXCLAMATION,
                      subject.c_str(), kProgramTitle);
}

bool Win32Desktop::WriteSetting(const char* section, const std::string& key,
                                const char* value) {
  return state_.settings_path[0] &&
         WritePrivateProfileStringA(section, key.c_str(), value,
                                    state_.settings_path);
}

void Win32Desktop::ReloadSettings() {
  if (watch_) watch_->Outdate();
  rules::LoadSettings(state_);
}

// Windows' message filter drops what a program with fewer rights posts to
// an elevated one (Wine has no such filter).
void Win32Desktop::AllowFromLowerPrograms(WindowId window, uint32_t message) {
  ChangeWindowMessageFilterEx(Handle(window), message, MSGFLT_ALLOW, nullptr);
}

}  // namespace tavrin::host
