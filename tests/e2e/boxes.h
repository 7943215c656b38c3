// The message boxes that the host and the hook library show during the
// cases: answered from this thread by a timer, the notices that no
// companion could start counted, and the texts that the boxes must show.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "processes.h"
#include "program_identity.h"
#include "scene.h"

namespace e2e {

// How the notice that 32-bit applications are not served begins (5008).
constexpr std::string_view kNoCompanionNotice =
    "Tavrin64 does not serve 32-bit applications: Tavrin32.exe";

// The message box being answered: whenever this thread pumps, also inside a
// box's own modal loop, a timer looks for it in every process, takes its
// text and the button with BS_DEFPUSHBUTTON (Wine's DM_GETDEFID always
// names IDOK), and presses `button`.
struct AnsweredBox {
  const char* caption;
  WPARAM button;
  std::string text;
  int defaultButton;
  HWND last;
};
inline AnsweredBox box;

// The notices that no companion could start, counted each time one is
// seen; where no 32-bit program runs, they are answered (true then).
inline int noCompanionNotices = 0;
inline bool AnsweredNoCompanion(HWND found) {
  char text[1024] = "";
  GetWindowTextA(GetDlgItem(found, 0xFFFF), text, sizeof text);
  if (!std::string_view(text).starts_with(kNoCompanionNotice)) return false;
  ++noCompanionNotices;
  if (kNo32Bit) PostMessageA(found, WM_COMMAND, IDOK, 0);
  return kNo32Bit;
}
inline BOOL CALLBACK AnswerNoCompanion(HWND w, LPARAM) {
  return AnsweredNoCompanion(w) || TRUE;
}
inline void CALLBACK NoCompanionTimer(HWND, UINT, UINT_PTR, DWORD) {
  EnumWindows(AnswerNoCompanion, 0);
}

inline void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND found = FindWindowA("#32770", box.caption);
  HWND label = found ? GetDlgItem(found, 0xFFFF) : nullptr;
  if (!label || found == box.last || !IsWindowVisible(found) ||
      AnsweredNoCompanion(found))
    return;
  KillTimer(nullptr, timer);
  char text[1024] = "";
  GetWindowTextA(label, text, sizeof text);
  box.text = text;
  for (int id : {IDOK, IDYES, IDNO})
    if ((GetWindowLongA(GetDlgItem(found, id), GWL_STYLE) & BS_TYPEMASK) ==
        BS_DEFPUSHBUTTON)
      box.defaultButton = id;
  box.last = found;
  PostMessageA(found, WM_COMMAND, box.button, 0);
}

// Runs `call` and answers the box with the caption that it, or anything
// else meanwhile, shows; the box's text, or "(no box)".
inline std::string Answer(
    const char* caption, WPARAM button,
    const std::function<void()>& call = [] {}) {
  box = {caption, button, "(no box)", 0, box.last};
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, AnswerTimer);
  call();
  if (!Pump([] { return box.text != "(no box)" && !IsWindow(box.last); }, 5000))
    KillTimer(nullptr, timer);
  return box.text;
}

// Runs "NAME.exe ARGS" from the host's folder to its end, answering the box
// with the caption that it, or anything else meanwhile, shows: the exit code
// (0xDEAD if it never ends) and the box's text (or "(no box)").
struct Ran {
  DWORD code;
  std::string text;
};
inline Ran RunAnswering(const std::string& commandLine, const char* caption,
                        WPARAM button) {
  Ran ran{0, ""};
  ran.text = Answer(caption, button,
                    [&] { ran.code = ExitCodeOf(Start(commandLine)); });
  return ran;
}

// The host's text of that id, as its boxes format it: from the host's
// own string table, which this program carries too (host_strings.rc).
inline std::string HostText(UINT id) {
  char text[1024] = "";
  LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return text;
}

// Ctrl + middle click over the window, and the host's first question up.
inline void AskAbout(Scene w) {
  keybd_event(VK_CONTROL, 0, 0, 0);
  PointAt(w);
  PostMessageA(scene[w], WM_MBUTTONUP, 0, kPointLParam);
  Pump([] { return FindWindowA("#32770", kProgramTitle) != nullptr; }, 5000);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

}  // namespace e2e
