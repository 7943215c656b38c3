// Drives the real Tavrin64.exe: writes its settings file, starts it beside
// msg_target.exe (another process, whose windows report what they receive),
// posts mouse messages to the target as the system would, and compares what
// the target's windows then receive with a table. Also the start-up cases:
// the single instance, "terminate", the question, the exit codes.
//
//   host_driver.exe              the cases and the start-up
//   host_driver.exe japanese     question 5001 under a Japanese locale
//   host_driver.exe real-input   wheel and extra buttons from xdotool (X11)
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "case_runner.h"

using namespace tavrin::e2e;

namespace {

constexpr uint64_t kUp = 0x00780000, kDown = 0xFF880000;
constexpr uint64_t kForwardedDown = 0xFFFFFFFFFF880000;  // marker stripped
constexpr DWORD kExitFailed = 0xFFFFFFFF;
constexpr Role Top = Role::Top, Child = Role::Child;

const char kMainSettings[] =
    "[general]\r\nscroll_counts=3\r\nclose_by_mbtn=1\r\n"
    "[exclude_class]\r\nTavrinPane\r\nTavrinPaneFrame\r\nTavrinSync\r\n"
    "[exclude_parent_class]\r\nTavrinExcludedTop\r\n"
    "[mbtn_discard_class]\r\nTavrinDiscardTop\r\n"
    "[mbtn_passthrough_class]\r\nTavrinPassTop\r\n";
const char kQuietSettings[] =
    "[general]\r\nscroll_counts=0\r\nclose_by_mbtn=0\r\n"
    "[exclude_class]\r\nTavrinSync\r\n";
const char kRenamedSettings[] =
    "[general]\r\nscroll_counts=5\r\n[exclude_class]\r\nTavrinSync\r\n";

// The swallowed wheel message, then n line messages and the end.
std::vector<Got> Lines(uint64_t wheel, Role w, uint32_t message, int n) {
  std::vector<Got> got{{Top, WM_NULL, wheel}};
  got.insert(got.end(), static_cast<size_t>(n),
             {w, message, wheel == kUp ? 0u : 1u, 0});
  got.push_back({w, message, 8, 0});  // SB_ENDSCROLL
  return got;
}

// The swallowed X button, then Alt and the arrow at the keyboard focus.
std::vector<Got> AltArrow(uint64_t button, uint64_t arrow) {
  return {{Top, WM_NULL, button},
          {Child, WM_SYSKEYDOWN, VK_MENU, kAnyLParam},
          {Child, WM_SYSKEYDOWN, arrow, kAnyLParam},
          {Child, WM_SYSKEYUP, arrow, kAnyLParam},
          {Child, WM_KEYUP, VK_MENU, kAnyLParam}};
}

// clang-format off
const std::vector<Case> kMainCases = {
  {"wheel down over an unfocused window: 3 lines, then the end", Child, Top, WM_MOUSEWHEEL, kDown, Lines(kDown, Child, WM_VSCROLL, 3)},
  {"wheel up: lines up", Child, Top, WM_MOUSEWHEEL, kUp, Lines(kUp, Child, WM_VSCROLL, 3)},
  {"a list box in another process", Role::List, Top, WM_MOUSEWHEEL, kDown, Lines(kDown, Role::List, WM_VSCROLL, 3)},
  {"only the horizontal bar scrolls: horizontal lines", Role::HorizontalOnly, Top, WM_MOUSEWHEEL, kDown, Lines(kDown, Role::HorizontalOnly, WM_HSCROLL, 3)},
  {"both bars scroll: vertical lines", Role::BothBars, Top, WM_MOUSEWHEEL, kUp, Lines(kUp, Role::BothBars, WM_VSCROLL, 3)},
  {"prefix key: forwarded one notch, without the marker", Role::PaneA, Top, WM_MOUSEWHEEL, kDown, {{Top, WM_NULL, kDown}, {Role::PaneA, WM_MOUSEWHEEL, kForwardedDown}}},
  {"a prefix that is not the greatest key below: lines", Role::PaneWnd, Top, WM_MOUSEWHEEL, kUp, Lines(kUp, Role::PaneWnd, WM_VSCROLL, 3)},
  {"excluded top-level class: forwarded to the child", Role::ExcludedChild, Top, WM_MOUSEWHEEL, 0xF00000, {{Top, WM_NULL, 0xF00000}, {Role::ExcludedChild, WM_MOUSEWHEEL, kUp}}},
  {"up-down at 5 steps up to 6", Role::Spin, Top, WM_MOUSEWHEEL, kUp, {{Top, WM_NULL, kUp}, {Role::Spin, UDM_SETPOS, 0, 6}}, 5},
  {"up-down at its maximum stays", Role::Spin, Top, WM_MOUSEWHEEL, kUp, {{Top, WM_NULL, kUp}}, 10},
  {"up-down at its minimum stays", Role::Spin, Top, WM_MOUSEWHEEL, kDown, {{Top, WM_NULL, kDown}}, 0},
  {"reversed range: up lowers the number", Role::SpinReversed, Top, WM_MOUSEWHEEL, kUp, {{Top, WM_NULL, kUp}, {Role::SpinReversed, UDM_SETPOS, 0, 49}}, 50},
  {"reversed range at its minimum (100) stays", Role::SpinReversed, Top, WM_MOUSEWHEEL, kDown, {{Top, WM_NULL, kDown}}, 100},
  {"signed range: down from -5 to -6", Role::SpinSigned, Top, WM_MOUSEWHEEL, kDown, {{Top, WM_NULL, kDown}, {Role::SpinSigned, UDM_SETPOS, 0, -6}}, -5},
  {"X button 1: Alt+Left to the focus", Top, Top, WM_XBUTTONUP, 0x10000, AltArrow(0x10000, VK_LEFT)},
  {"X button 2: Alt+Right to the focus", Role::List, Top, WM_XBUTTONUP, 0x20000, AltArrow(0x20000, VK_RIGHT)},
  {"middle click closes the top-level window", Top, Child, WM_MBUTTONUP, 0, {{Child, WM_NULL, 0}, {Top, WM_SYSCOMMAND, SC_CLOSE, 0}}},
  {"middle click in an owned dialog closes its owner", Top, Role::OwnedPopup, WM_MBUTTONUP, 0, {{Role::OwnedPopup, WM_NULL, 0}, {Top, WM_SYSCOMMAND, SC_CLOSE, 0}}},
  {"middle click passed through: MK_MBUTTON, then 0", Top, Role::PassChild, WM_MBUTTONUP, 0, {{Role::PassChild, WM_NULL, 0}, {Role::PassChild, WM_MBUTTONDOWN, MK_MBUTTON}, {Role::PassChild, WM_MBUTTONUP, 0}}},
  {"middle click discarded", Top, Role::DiscardChild, WM_MBUTTONUP, 0, {{Role::DiscardChild, WM_NULL, 0}}},
};

const std::vector<Case> kQuietCases = {
  {"scroll_counts 0: only the end", Child, Top, WM_MOUSEWHEEL, kDown, Lines(kDown, Child, WM_VSCROLL, 0)},
  {"close_by_mbtn 0: middle clicks pass untouched", Top, Child, WM_MBUTTONUP, 0, {{Child, WM_MBUTTONUP, 0}}},
};

const std::vector<Case> kRenamedCases = {
  {"a renamed program reads its own settings: 5 lines", Child, Top, WM_MOUSEWHEEL, kDown, Lines(kDown, Child, WM_VSCROLL, 5)},
};
// clang-format on

bool HostRuns() { return FindWindowA("Tavrin64Class", "Tavrin64") != nullptr; }

// Starts the program and waits until it forwards a wheel.
HANDLE StartHost(CaseRunner& run, const std::string& program) {
  HANDLE host = StartProgram("\"" + ProgramDirectory() + program + "\"");
  for (int i = 0; host && i < 40; ++i)
    if (run.Sync(250)) return host;
  return nullptr;
}

// Ends the host as a user would, by a second start with "terminate".
void Terminate(CaseRunner& run, HANDLE host) {
  const DWORD second = RunProgram("Tavrin64.exe terminate");
  const DWORD first = ExitCodeOf(host);
  run.checks.Expect(second == 0 && first == 0,
                    "\"terminate\" ends the instance, both exit with 0",
                    "  exit codes " + Hex(second) + ", " + Hex(first));
}

// A thread hook on the host's thread, whose library creates windows in the
// host's own process.
bool InjectProbe(CaseRunner& run) {
  HWND hostWindow = FindWindowA("Tavrin64Class", "Tavrin64");
  const DWORD thread = GetWindowThreadProcessId(hostWindow, nullptr);
  HMODULE probe = LoadLibraryA((ProgramDirectory() + "host_probe.dll").c_str());
  auto hookProc = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(GetProcAddress(probe, "ProbeHook")));
  SetWindowsHookExA(WH_GETMESSAGE, hookProc, probe, thread);
  PostMessageA(hostWindow, WM_NULL, 0, 0);
  return PumpUntil(
      [&] { return run.sink.WindowFor(Role::BothBars) != nullptr; }, 5000);
}

// A second start with the tail; the question it asks is answered with
// `button`. Returns the second start's exit code.
DWORD SecondStart(CaseRunner& run, const char* tail, WPARAM button) {
  DWORD code = 0;
  const MessageBoxSeen box = AnswerMessageBoxDuring("Tavrin64", button, [&] {
    code = RunProgram(std::string("Tavrin64.exe") + tail);
  });
  run.checks.Expect(box.text == "Terminate Tavrin64?",
                    std::string("second start \"") + tail + "\" asks",
                    "  box: " + box.text);
  return code;
}

void StartUpCases(CaseRunner& run) {
  Checks& checks = run.checks;
  checks.Expect(RunProgram("Tavrin64.exe terminate") == 0 && !HostRuns(),
                "\"terminate\" without a running instance: exit 0, no window");
  HANDLE host = StartHost(run, "Tavrin64.exe");
  checks.Expect(host != nullptr, "the host starts");
  for (const char* tail : {"", " Terminate", " terminate "})
    checks.Expect(SecondStart(run, tail, IDNO) == kExitFailed,
                  std::string("answer No to \"") + tail + "\": exit -1");
  checks.Expect(HostRuns(), "after No the instance runs on");
  checks.Expect(SecondStart(run, "", IDYES) == 0, "answer Yes: exit 0");
  checks.Expect(ExitCodeOf(host) == 0 && !HostRuns(),
                "the running instance ends with exit 0");

  // An instance that does not go away: a window of the same class and title
  // that ignores WM_DESTROY.
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "Tavrin64Class";
  RegisterClassA(&wc);
  HWND stuck = CreateWindowExA(0, "Tavrin64Class", "Tavrin64", 0, 0, 0, 10, 10,
                               nullptr, nullptr, wc.hInstance, nullptr);
  DWORD code = 0;
  // No caption of its own: the system's default, "Error".
  const MessageBoxSeen box = AnswerMessageBoxDuring(
      "Error", IDOK, [&] { code = RunProgram("Tavrin64.exe terminate"); });
  checks.Expect(box.text == "Terminate failed!" && code == kExitFailed,
                "an instance that stays: \"Terminate failed!\", exit -1",
                "  box: " + box.text + ", exit " + Hex(code));
  DestroyWindow(stuck);
  UnregisterClassA("Tavrin64Class", wc.hInstance);
}

// The program file's icon group 101 and its version block.
void Resources(Checks& checks) {
  const std::string program = ProgramDirectory() + "Tavrin64.exe";
  HMODULE file =
      LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  checks.Expect(
      FindResourceA(file, MAKEINTRESOURCEA(101),
                    MAKEINTRESOURCEA(14)) != nullptr,  // RT_GROUP_ICON
      "icon group 101");
  FreeLibrary(file);
  std::vector<char> block(GetFileVersionInfoSizeA(program.c_str(), nullptr));
  GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(block.size()),
                      block.data());
  const auto value = [&](const char* path) -> std::string {
    void* data = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(block.data(), path, &data, &size) || !size) return "";
    return std::string(static_cast<const char*>(data), size - 1);
  };
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &size);
  checks.Expect(
      fixed && fixed->dwFileVersionMS == 0x10001 &&
          fixed->dwFileVersionLS == 1 && fixed->dwProductVersionMS == 0x10001 &&
          fixed->dwProductVersionLS == 1 &&
          value("\\StringFileInfo\\041104b0\\FileVersion") == "1.1" &&
          value("\\StringFileInfo\\041104b0\\ProductVersion") == "1.1",
      "version 1.1.0.1, strings \"1.1\" in block 041104b0");
}

// Under a Japanese system locale LoadStringA yields the Japanese text in
// code page 932; the box shows it, and reading it back gives the same bytes.
int JapaneseQuestion() {
  Checks checks;
  HANDLE host = StartProgram("\"" + ProgramDirectory() + "Tavrin64.exe\"");
  checks.Expect(PumpUntil(HostRuns, 10000), "the host starts");
  DWORD code = 0;
  const MessageBoxSeen box = AnswerMessageBoxDuring(
      "Tavrin64", IDYES, [&] { code = RunProgram("Tavrin64.exe"); });
  const char kExpected[] =  // "Tavrin64を終了しますか？" in code page 932
      "Tavrin64\x82\xf0\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81"
      "\x48";
  std::string shown;
  for (char c : box.text) shown += Hex(static_cast<unsigned char>(c)) + " ";
  checks.Expect(box.text == kExpected, "question 5001 in Japanese (cp932)",
                "  box bytes: " + shown);
  checks.Expect(code == 0 && ExitCodeOf(host) == 0,
                "answer Yes ends both with exit 0");
  return checks.Finish("host program, Japanese");
}

// The whole chain as a hand drives it: X pointer events from xdotool turn
// the wheel and press the extra buttons over the target's list box.
int RealInput() {
  CaseRunner run(CaseRunner::SyncBy::Host, 0, 0);
  run.checks.Expect(run.StartTarget(), "target starts");
  WriteSettings(ProgramDirectory() + "Tavrin64.exe", kMainSettings);
  HANDLE host = StartProgram("\"" + ProgramDirectory() + "Tavrin64.exe\"");
  HWND list = run.Window(Role::List);
  RECT r;
  GetWindowRect(list, &r);
  XdoTool("mousemove " + std::to_string((r.left + r.right) / 2) + " " +
          std::to_string((r.top + r.bottom) / 2));
  // Turn the wheel until the host, starting meanwhile, scrolls the list.
  const auto topLine = [&] { return SendMessageA(list, LB_GETTOPINDEX, 0, 0); };
  bool scrolled = false;
  for (int i = 0; i < 40 && !scrolled; ++i) {
    XdoTool("click 5");
    scrolled = PumpUntil([&] { return topLine() > 0; }, 250);
  }
  run.checks.Expect(scrolled, "the wheel scrolls the unfocused list",
                    "  first visible line " + std::to_string(topLine()));

  PostMessageA(run.Window(Top), kTakeFocusMessage, 0, 0);
  Drain(200);
  for (const auto& [button, arrow] : {std::pair{8, VK_LEFT}, {9, VK_RIGHT}}) {
    const size_t mark = run.Mark();
    XdoTool("click " + std::to_string(button));
    const bool typed = PumpUntil(
        [&] {
          for (const Got& g : run.ReceivedSince(mark))
            if (g.message == WM_SYSKEYDOWN &&
                g.wParam == static_cast<uint64_t>(arrow))
              return true;
          return false;
        },
        3000);
    run.checks.Expect(typed, "extra button " + std::to_string(button - 7) +
                                 " types Alt+" +
                                 (arrow == VK_LEFT ? "Left" : "Right"));
  }
  Terminate(run, host);
  run.StopTarget();
  return run.checks.Finish("host program, real input");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "japanese") return JapaneseQuestion();
  if (mode == "real-input") return RealInput();

  CaseRunner run(CaseRunner::SyncBy::Host, 0, 0);
  const std::string dir = ProgramDirectory();
  if (!run.StartTarget()) {
    run.checks.Expect(false, "target starts");
    return run.checks.Finish("host program");
  }
  Resources(run.checks);
  WriteSettings(dir + "Tavrin64.exe", kMainSettings);
  StartUpCases(run);

  HANDLE host = StartHost(run, "Tavrin64.exe");
  run.checks.Expect(host && InjectProbe(run),
                    "host runs, probe windows inside");
  // The target takes the keyboard focus back from the start-up cases'
  // message boxes, for the keys that the host types.
  PostMessageA(run.Window(Top), kTakeFocusMessage, 0, 0);
  Drain(200);
  run.Run(kMainCases);
  const LRESULT topLine =
      SendMessageA(run.Window(Role::List), LB_GETTOPINDEX, 0, 0);
  run.checks.Expect(topLine == 3, "the list box really scrolled 3 lines",
                    "  first visible line " + std::to_string(topLine));
  Terminate(run, host);

  WriteSettings(dir + "Tavrin64.exe", kQuietSettings);
  host = StartHost(run, "Tavrin64.exe");
  run.Run(kQuietCases);
  Terminate(run, host);

  WriteSettings(dir + "Tavrin64.exe", kMainSettings);
  CopyFileA((dir + "Tavrin64.exe").c_str(), (dir + "Renamed.exe").c_str(),
            FALSE);
  WriteSettings(dir + "Renamed.exe", kRenamedSettings);
  host = StartHost(run, "Renamed.exe");
  run.Run(kRenamedCases);
  Terminate(run, host);

  run.StopTarget();
  return run.checks.Finish("host program");
}
