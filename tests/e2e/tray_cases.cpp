// The icon in the notification area, its tooltip and its menu, and pause
// and resume. Wine's null display driver has no notification area: a
// window of class Shell_TrayWnd here receives what Shell_NotifyIcon sends,
// as Explorer's does (under Wine a WM_COPYDATA whose dwData is NIM_*).
#include <optional>

#include "harness.h"
#include "startup.h"
#include "tray_icon.h"
#include "tray_menu.h"

namespace e2e {

// "Tavrin64.exe pause" (or "resume") exits 0, and then a notch reaches an
// application of this bitness as it was sent (or is served).
static bool PausedBy(const char* word, bool pausing, std::string& detail) {
  return ExitCodeOf(Start("Tavrin64.exe "s + word)) == 0 &&
         (hostSync = !pausing,
          Pump([&] { return RunRow(pausing ? kUnhooked[0] : kServed, detail); },
               3000));
}

void PauseCases() {
  std::string detail;
  Check(PausedBy("pause", true, detail) && PausedBy("resume", false, detail),
        "\"pause\": a notch reaches the application as it was sent; "
        "\"resume\": served again",
        detail);
}

#ifdef _WIN64
namespace {

// What the notification area was told, each "COMMAND tooltip" (NIM_ADD 0,
// NIM_MODIFY 1, NIM_DELETE 2), marked where the window or the callback
// message is not the host's; and how far the cases have read.
std::vector<std::string> told;
size_t read = 0;
bool accepting = true;  // false: as Shell_NotifyIcon fails without Explorer

LRESULT CALLBACK NotificationArea(HWND w, UINT m, WPARAM wParam,
                                  LPARAM lParam) {
  if (m != WM_COPYDATA) return DefWindowProcA(w, m, wParam, lParam);
  const auto* copied = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  // Wine's layout: the window, the id, the flags and the callback message
  // as 32-bit words, then the tooltip.
  const auto* icon = static_cast<const UINT*>(copied->lpData);
  char tip[256] = "";
  WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(icon + 4), -1,
                      tip, sizeof tip, nullptr, nullptr);
  const bool ours =
      icon[0] == static_cast<UINT>(reinterpret_cast<UINT_PTR>(HostWindow())) &&
      icon[3] == (copied->dwData == NIM_DELETE ? 0 : host::kWmuTrayIcon);
  if (copied->dwData != NIM_SETVERSION)
    told.push_back(std::to_string(copied->dwData) + " " + tip +
                   (ours ? "" : " (not the host's icon)"));
  return accepting;
}

// The message that Explorer sends every top-level window when it starts.
void TaskbarCreated() {
  PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

// Waits until the notification area has been told exactly `expected` since
// the last look, then reads on; what it was told, in `detail`.
bool Told(const std::vector<std::string>& expected, std::string& detail) {
  const auto since = [] {
    return std::vector<std::string>(told.begin() + static_cast<long>(read),
                                    told.end());
  };
  const bool ok = Pump([&] { return since() == expected; }, 3000);
  detail.clear();
  for (const std::string& t : since()) detail += "  " + t + "\n";
  read = told.size();
  return ok;
}

// The popup menu that the process shows, if any.
HWND ShownMenu(DWORD process) {
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32768", nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == process && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

// Opens the host's menu as a right click on its icon does, and presses the
// keys in it. (Under Wine another process's menu cannot be read.)
void FromMenu(std::initializer_list<WPARAM> keys) {
  DWORD host = 0;
  GetWindowThreadProcessId(HostWindow(), &host);
  PostMessageA(HostWindow(), host::kWmuTrayIcon, MAKEWPARAM(900, 760),
               MAKELPARAM(WM_CONTEXTMENU, 1));
  HWND menu = nullptr;
  Pump([&] { return (menu = ShownMenu(host)) != nullptr; }, 3000);
  for (const WPARAM key : keys) PostMessageA(menu, WM_KEYDOWN, key, 0);
  Pump([&] { return !IsWindowVisible(menu); }, 3000);
}

// The menu as the host's own code makes it, in this process: its items,
// the default marked with "*", and the ticked with "+".
std::vector<std::string> items;
void CALLBACK ReadMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND menu = ShownMenu(GetCurrentProcessId());
  if (!menu) return;
  KillTimer(nullptr, timer);
  const auto shown =
      reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
  const UINT bold = GetMenuDefaultItem(shown, TRUE, 0);
  for (UINT i = 0; i < static_cast<UINT>(GetMenuItemCount(shown)); ++i) {
    char text[128] = "";
    GetMenuStringA(shown, i, text, sizeof text, MF_BYPOSITION);
    const bool ticked = GetMenuState(shown, i, MF_BYPOSITION) & MF_CHECKED;
    items.push_back((i == bold ? "*"s : "") + (ticked ? "+" : "") + text);
  }
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
}
std::vector<std::string> MenuItems() {
  items.clear();
  host::TrayIcon icon(scene[Sink]);
  std::optional<host::TrayCommand> chosen;
  SetTimer(nullptr, 0, 10, ReadMenu);
  icon.OnMessage(host::kWmuTrayIcon, 0, MAKELPARAM(WM_CONTEXTMENU, 1), chosen);
  return items;
}

// Turns tray_icon off and on by hand edits, each read before the next.
void OffAndOnByHand(std::string& settings) {
  for (const char* key : {"tray_icon=0", "tray_icon=1"}) {
    settings.replace(settings.find("tray_icon="), 11, key);
    WriteFile("Tavrin64.ini", settings);
    const size_t before = told.size();
    Pump([&] { return told.size() > before; }, 1500);
  }
}

}  // namespace

void MakeNotificationArea() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = NotificationArea;
  wc.lpszClassName = "Shell_TrayWnd";
  RegisterClassA(&wc);
  CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr,
                  nullptr, nullptr, nullptr);
}

void TrayCases() {
  const std::string serving =
      kNo32Bit ? "Tavrin64: serving 64-bit applications only (Tavrin32.exe "
                 "is missing or could not start)"
               : "Tavrin64: serving 64-bit and 32-bit applications";
  const std::string add = "0 " + serving, modify = "1 " + serving,
                    paused =
                        "Tavrin64: paused; every application gets the "
                        "mouse as it sends it";
  Check(told.empty(),
        "without tray_icon, every case so far ran without a word to the "
        "notification area");
  std::string settings = kMainSettings, detail;
  settings.replace(settings.find("close_by_mbtn=1"), 15, "tray_icon=1");
  WriteFile("Tavrin64.ini", settings);
  HANDLE host = StartHost("Tavrin64.exe");
  const HWND window = HostWindow();
  Check(Told({add}, detail) && (TaskbarCreated(), Told({add}, detail)),
        "the icon is added at the start, with its tooltip, and again when "
        "Explorer starts again (TaskbarCreated)",
        detail);

  // Hand edits take the icon away and bring it back while the notification
  // area fails every call, as before Explorer runs at logon; once it
  // starts, the icon is added, without a box meanwhile.
  accepting = false;
  OffAndOnByHand(settings);
  accepting = true;
  TaskbarCreated();
  Check(Told({"2 ", add, add}, detail) && !FindWindowA("#32770", kProgramTitle),
        "tray_icon=0 and 1 by hand edits; an icon that could not be added is "
        "added once the notification area starts, without a box",
        detail);

  host::SetStartsWithWindows(true);  // this program, at its path
  const std::vector<std::string> shown = {
      "*&Pause",         "", "&Edit settings", "+&Start with Windows", "",
      "&About Tavrin64", "", "E&xit"};
  Check(MenuItems() == shown && host::SetStartsWithWindows(false),
        "the menu: Pause in bold, Edit settings, Start with Windows ticked "
        "while this program starts with Windows, About Tavrin64, Exit");
  FromMenu({VK_DOWN, VK_RETURN});
  hostSync = false;
  Check(Told({"1 " + paused}, detail) && RunRow(kUnhooked[0], detail),
        "Pause from the menu: the tooltip and the icon say paused, and a "
        "notch reaches the application as it was sent",
        detail);
  OffAndOnByHand(settings);
  Check(Told({"2 ", "0 " + paused}, detail) && RunRow(kUnhooked[0], detail),
        "reloads while paused (the icon away and back): still paused", detail);

  const bool resumed = PausedBy("resume", false, detail),
             repaused = PausedBy("pause", true, detail);
  PostMessageA(window, host::kWmuTrayIcon, 0, MAKELPARAM(WM_LBUTTONDBLCLK, 1));
  Check(resumed && repaused && Told({modify, "1 " + paused, modify}, detail) &&
            (hostSync = true, RunRow(kServed, detail)),
        "\"Tavrin64.exe resume\" and \"pause\" exit 0 and do so; a double "
        "click on the icon resumes",
        detail);

  const auto RunValue = [] {
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER,
                 "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                 kProgramTitle, RRF_RT_REG_SZ, nullptr, value, &size);
    return std::string(value);
  };
  FromMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
  const bool written = RunValue() == "\"" + Host("Tavrin64.exe") + "\"";
  FromMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
  Check(written && RunValue().empty(),
        "Start with Windows from the menu: the quoted full path written, "
        "then removed",
        RunValue());

  FromMenu({VK_UP, VK_RETURN});
  hostSync = false;
  Check(ExitCodeOf(host) == 0 && !HostWindow() &&
            Pump([&] { return !CompanionRuns(window); }, 2000) &&
            Told({"2 "}, detail) && RunRow(kUnhooked[0], detail),
        "Exit from the menu: the icon removed, the host and its companion "
        "end with 0, the hook gone",
        detail);
  for (const char* word : {"pause", "resume"})
    Check(
        ExitCodeOf(Start("Tavrin64.exe "s + word)) == kFailed && !HostWindow(),
        "\"Tavrin64.exe "s + word + "\" with no instance: exit -1, no window");
}

#endif

}  // namespace e2e
