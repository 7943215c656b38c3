// Drives the real Tavrin64.exe: writes its settings file, starts it beside
// msg_target.exe (another process, whose windows report what they receive),
// posts mouse messages to the target as Windows would, and compares what
// the target's windows then receive with a table. Also the start-up cases:
// the single instance, "terminate", the question, the exit codes.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e_support.h"

using namespace tavrin::e2e;

namespace {

constexpr int64_t kLParam = 0x00150025;
constexpr int64_t kProbeLParam = 0x7F017F01;  // marks the sync wheel
constexpr int64_t kAnyLParam = INT64_MIN;     // key messages: not compared
constexpr uint64_t kUp = 0x00780000, kDown = 0xFF880000;
constexpr uint64_t kForwardedDown = 0xFFFFFFFFFF880000;  // marker stripped
constexpr DWORD kExitFailed = 0xFFFFFFFF;

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

struct Got {
  Role window;
  uint32_t message;
  uint64_t wParam;
  int64_t lParam;
};

constexpr int kNoSpinStart = INT32_MIN;

struct Case {
  const char* name;
  Role pointer;  // where the pointer is when the message is posted
  Role postTo;   // the focus window that retrieves it
  uint32_t message;
  uint64_t wParam;
  std::vector<Got> expected;     // what the target's windows receive, in order
  int spinStart = kNoSpinStart;  // up-down position set before the case
};

std::vector<Got> Lines(Role w, uint32_t message, uint64_t request, int n) {
  std::vector<Got> lines(static_cast<size_t>(n), {w, message, request, 0});
  lines.push_back({w, message, 8, 0});  // SB_ENDSCROLL
  return lines;
}

std::vector<Got> Then(std::vector<Got> first, const std::vector<Got>& rest) {
  first.insert(first.end(), rest.begin(), rest.end());
  return first;
}

// Alt+Left or Alt+Right as the focus window receives them.
std::vector<Got> AltArrow(uint64_t arrow) {
  return {{Role::Child, WM_SYSKEYDOWN, VK_MENU, kAnyLParam},
          {Role::Child, WM_SYSKEYDOWN, arrow, kAnyLParam},
          {Role::Child, WM_SYSKEYUP, arrow, kAnyLParam},
          {Role::Child, WM_KEYUP, VK_MENU, kAnyLParam}};
}

const Got kSwallowedDown{Role::Top, WM_NULL, kDown, kLParam};
const Got kSwallowedUp{Role::Top, WM_NULL, kUp, kLParam};

const std::vector<Case> kMainCases = {
    {"wheel down over an unfocused window: 3 lines, then the end", Role::Child,
     Role::Top, WM_MOUSEWHEEL, kDown,
     Then({kSwallowedDown}, Lines(Role::Child, WM_VSCROLL, 1, 3))},
    {"wheel up: lines up", Role::Child, Role::Top, WM_MOUSEWHEEL, kUp,
     Then({kSwallowedUp}, Lines(Role::Child, WM_VSCROLL, 0, 3))},
    {"a list box in another process", Role::List, Role::Top, WM_MOUSEWHEEL,
     kDown, Then({kSwallowedDown}, Lines(Role::List, WM_VSCROLL, 1, 3))},
    {"only a horizontal bar: horizontal lines", Role::HorizontalOnly, Role::Top,
     WM_MOUSEWHEEL, kDown,
     Then({kSwallowedDown}, Lines(Role::HorizontalOnly, WM_HSCROLL, 1, 3))},
    {"both bars scrollable: vertical lines", Role::BothBars, Role::Top,
     WM_MOUSEWHEEL, kUp,
     Then({kSwallowedUp}, Lines(Role::BothBars, WM_VSCROLL, 0, 3))},
    {"prefix key: forwarded one notch, without the marker",
     Role::PaneA,
     Role::Top,
     WM_MOUSEWHEEL,
     kDown,
     {kSwallowedDown, {Role::PaneA, WM_MOUSEWHEEL, kForwardedDown, kLParam}}},
    {"a prefix that is not the greatest key below: lines", Role::PaneWnd,
     Role::Top, WM_MOUSEWHEEL, kUp,
     Then({kSwallowedUp}, Lines(Role::PaneWnd, WM_VSCROLL, 0, 3))},
    {"excluded top-level class: forwarded to the child",
     Role::ExcludedChild,
     Role::Top,
     WM_MOUSEWHEEL,
     0x00F00000,
     {{Role::Top, WM_NULL, 0x00F00000, kLParam},
      {Role::ExcludedChild, WM_MOUSEWHEEL, kUp, kLParam}}},
    {"up-down at 5 steps up to 6",
     Role::Spin,
     Role::Top,
     WM_MOUSEWHEEL,
     kUp,
     {kSwallowedUp, {Role::Spin, UDM_SETPOS, 0, 6}},
     5},
    {"up-down at its maximum stays",
     Role::Spin,
     Role::Top,
     WM_MOUSEWHEEL,
     kUp,
     {kSwallowedUp},
     10},
    {"up-down at its minimum stays",
     Role::Spin,
     Role::Top,
     WM_MOUSEWHEEL,
     kDown,
     {kSwallowedDown},
     0},
    {"reversed range: up lowers the number",
     Role::SpinReversed,
     Role::Top,
     WM_MOUSEWHEEL,
     kUp,
     {kSwallowedUp, {Role::SpinReversed, UDM_SETPOS, 0, 49}},
     50},
    {"reversed range at its minimum (100) stays",
     Role::SpinReversed,
     Role::Top,
     WM_MOUSEWHEEL,
     kDown,
     {kSwallowedDown},
     100},
    {"signed range: down from -5 to -6",
     Role::SpinSigned,
     Role::Top,
     WM_MOUSEWHEEL,
     kDown,
     {kSwallowedDown, {Role::SpinSigned, UDM_SETPOS, 0, -6}},
     -5},
    {"X button 1: Alt+Left to the focus", Role::Top, Role::Top, WM_XBUTTONUP,
     0x10000,
     Then({{Role::Top, WM_NULL, 0x10000, kLParam}}, AltArrow(VK_LEFT))},
    {"X button 2: Alt+Right to the focus", Role::List, Role::Top, WM_XBUTTONUP,
     0x20000,
     Then({{Role::Top, WM_NULL, 0x20000, kLParam}}, AltArrow(VK_RIGHT))},
    {"middle click closes the top-level window",
     Role::Top,
     Role::Child,
     WM_MBUTTONUP,
     0,
     {{Role::Child, WM_NULL, 0, kLParam},
      {Role::Top, WM_SYSCOMMAND, SC_CLOSE, 0}}},
    {"middle click in an owned dialog closes its owner",
     Role::Top,
     Role::OwnedPopup,
     WM_MBUTTONUP,
     0,
     {{Role::OwnedPopup, WM_NULL, 0, kLParam},
      {Role::Top, WM_SYSCOMMAND, SC_CLOSE, 0}}},
    {"middle click passed through: MK_MBUTTON, then 0",
     Role::Top,
     Role::PassChild,
     WM_MBUTTONUP,
     0,
     {{Role::PassChild, WM_NULL, 0, kLParam},
      {Role::PassChild, WM_MBUTTONDOWN, MK_MBUTTON, kLParam},
      {Role::PassChild, WM_MBUTTONUP, 0, kLParam}}},
    {"middle click discarded",
     Role::Top,
     Role::DiscardChild,
     WM_MBUTTONUP,
     0,
     {{Role::DiscardChild, WM_NULL, 0, kLParam}}},
};

const std::vector<Case> kQuietCases = {
    {"scroll_counts 0: only the end", Role::Child, Role::Top, WM_MOUSEWHEEL,
     kDown, Then({kSwallowedDown}, Lines(Role::Child, WM_VSCROLL, 1, 0))},
    {"close_by_mbtn 0: middle clicks pass untouched",
     Role::Top,
     Role::Child,
     WM_MBUTTONUP,
     0,
     {{Role::Child, WM_MBUTTONUP, 0, kLParam}}},
};

const std::vector<Case> kRenamedCases = {
    {"a renamed program reads its own settings: 5 lines", Role::Child,
     Role::Top, WM_MOUSEWHEEL, kDown,
     Then({kSwallowedDown}, Lines(Role::Child, WM_VSCROLL, 1, 5))},
};

class Driver {
 public:
  Driver() : sink_(0, 0) {}

  bool StartTarget() {
    target_ = sink_.StartTarget();
    return target_ != nullptr;
  }

  // Starts the program and waits until it forwards a wheel.
  HANDLE StartHost(const std::string& program) {
    HANDLE host = StartProgram("\"" + ProgramDirectory() + program + "\"");
    for (int i = 0; host && i < 40; ++i)
      if (SyncWithHost(250)) return host;
    return nullptr;
  }

  // Puts a thread hook on the host's thread whose library creates windows
  // in the host's own process.
  bool InjectProbe() {
    HWND hostWindow = FindWindowA("Tavrin64Class", "Tavrin64");
    const DWORD thread = GetWindowThreadProcessId(hostWindow, nullptr);
    HMODULE probe =
        LoadLibraryA((ProgramDirectory() + "host_probe.dll").c_str());
    auto hookProc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(probe, "ProbeHook")));
    probeHook_ = SetWindowsHookExA(WH_GETMESSAGE, hookProc, probe, thread);
    PostMessageA(hostWindow, WM_NULL, 0, 0);
    return PumpUntil([&] { return sink_.WindowFor(Role::BothBars) != nullptr; },
                     5000);
  }

  // The target takes the keyboard focus back (message boxes of the start-up
  // cases may have left it elsewhere), then each case runs.
  void Run(const std::vector<Case>& cases) {
    const size_t from = sink_.records.size();
    PostMessageA(Window(Role::Top), kTakeFocusMessage, 0, 0);
    PumpUntil([&] { return sink_.records.size() > from; }, 3000);
    for (const Case& c : cases) RunCase(c);
  }

  // Ends a host as a user would, by a second start with "terminate".
  DWORD Terminate(HANDLE host) {
    const DWORD second = RunProgram("Tavrin64.exe terminate");
    checks.Expect(second == 0, "\"terminate\" with a running instance: exit 0",
                  "  exit " + Hex(second));
    return ExitCodeOf(host);
  }

  void StopTarget() {
    if (probeHook_) UnhookWindowsHookEx(probeHook_);
    PostMessageA(sink_.WindowFor(Role::Top), WM_CLOSE, 0, 0);
    WaitForSingleObject(target_, 5000);
  }

  Checks checks;
  Sink sink_;

 private:
  HWND Window(Role role) const { return sink_.WindowFor(role); }

  void PointAt(Role role) {
    RECT r;
    GetWindowRect(Window(role), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }

  // The host handles notifications in order and posts to a thread in
  // order: once the wheel over the (excluded) sync pane comes back, every
  // earlier post of the host has arrived.
  bool SyncWithHost(DWORD timeoutMs) {
    const size_t from = sink_.records.size();
    PointAt(Role::Sync);
    PostMessageA(Window(Role::Top), WM_MOUSEWHEEL, kUp, kProbeLParam);
    HWND sync = Window(Role::Sync);
    return PumpUntil(
        [&] {
          for (size_t i = from; i < sink_.records.size(); ++i)
            if (sink_.records[i].window == reinterpret_cast<uintptr_t>(sync) &&
                sink_.records[i].message == WM_MOUSEWHEEL)
              return true;
          return false;
        },
        timeoutMs);
  }

  std::vector<Got> Received(size_t from) const {
    std::vector<Got> got;
    for (size_t i = from; i < sink_.records.size(); ++i) {
      const LogRecord& r = sink_.records[i];
      if (r.kind != RecordKind::Received || r.lParam == kProbeLParam) continue;
      got.push_back({RoleOf(r.window), r.message, r.wParam, r.lParam});
    }
    return got;
  }

  Role RoleOf(uint64_t window) const {
    for (uint32_t role = 0; role < static_cast<uint32_t>(Role::Count); ++role)
      if (reinterpret_cast<uintptr_t>(Window(static_cast<Role>(role))) ==
          window)
        return static_cast<Role>(role);
    return Role::Count;
  }

  void RunCase(const Case& c) {
    if (c.spinStart != kNoSpinStart)
      SendMessageA(Window(c.pointer), UDM_SETPOS, 0, c.spinStart);
    Drain();
    const size_t from = sink_.records.size();
    PointAt(c.pointer);
    PostMessageA(Window(c.postTo), c.message, static_cast<WPARAM>(c.wParam),
                 kLParam);
    const bool synced = SyncWithHost(3000);
    // Key events travel through the input queue, not in order with posts.
    PumpUntil([&] { return Received(from).size() >= c.expected.size(); }, 1000);
    const std::vector<Got> got = Received(from);
    checks.Expect(synced && Same(got, c.expected), c.name,
                  "  expected:\n" + Show(c.expected) + "  got:\n" + Show(got));
  }

  // Each window's messages in order; between windows (and processes) the
  // order is not defined.
  static bool Same(std::vector<Got> a, std::vector<Got> b) {
    if (a.size() != b.size()) return false;
    const auto byWindow = [](const Got& x, const Got& y) {
      return x.window < y.window;
    };
    std::stable_sort(a.begin(), a.end(), byWindow);
    std::stable_sort(b.begin(), b.end(), byWindow);
    for (size_t i = 0; i < a.size(); ++i)
      if (a[i].window != b[i].window || a[i].message != b[i].message ||
          a[i].wParam != b[i].wParam ||
          (a[i].lParam != b[i].lParam && a[i].lParam != kAnyLParam &&
           b[i].lParam != kAnyLParam))
        return false;
    return true;
  }

  static std::string Show(const std::vector<Got>& records) {
    std::string out;
    for (const Got& g : records)
      out += "    role " + std::to_string(static_cast<int>(g.window)) +
             " message " + Hex(g.message) + " wParam " + Hex(g.wParam) +
             " lParam " + Hex(static_cast<uint64_t>(g.lParam)) + "\n";
    return out.empty() ? "    (nothing)\n" : out;
  }

  HANDLE target_ = nullptr;
  HHOOK probeHook_ = nullptr;
};

// The question of a second start, answered by `button`; returns the second
// start's exit code.
DWORD SecondStart(Driver& d, const char* tail, WPARAM button) {
  DWORD code = 0;
  const MessageBoxSeen box = AnswerMessageBoxDuring("Tavrin64", button, [&] {
    code = RunProgram(std::string("Tavrin64.exe") + tail);
  });
  d.checks.Expect(box.text == "Terminate Tavrin64?",
                  std::string("second start \"") + tail + "\" asks",
                  "  box: " + box.text);
  return code;
}

void StartUpCases(Driver& d) {
  Checks& checks = d.checks;
  checks.Expect(RunProgram("Tavrin64.exe terminate") == 0 &&
                    !FindWindowA("Tavrin64Class", "Tavrin64"),
                "\"terminate\" without a running instance: exit 0, no window");

  HANDLE host = d.StartHost("Tavrin64.exe");
  checks.Expect(host != nullptr, "the host starts");
  for (const char* tail : {"", " Terminate", " terminate "})
    checks.Expect(SecondStart(d, tail, IDNO) == kExitFailed,
                  std::string("answer No to \"") + tail + "\": exit -1");
  checks.Expect(FindWindowA("Tavrin64Class", "Tavrin64") != nullptr,
                "after No the instance runs on");
  checks.Expect(SecondStart(d, "", IDYES) == 0, "answer Yes: exit 0");
  checks.Expect(
      ExitCodeOf(host) == 0 && !FindWindowA("Tavrin64Class", "Tavrin64"),
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

// Under a Japanese system locale LoadStringA yields the Japanese text in
// code page 932; the box shows it, and reading it back gives the same bytes.
int JapaneseQuestion() {
  Driver d;
  HANDLE host = StartProgram("\"" + ProgramDirectory() + "Tavrin64.exe\"");
  d.checks.Expect(
      PumpUntil(
          [] { return FindWindowA("Tavrin64Class", "Tavrin64") != nullptr; },
          10000),
      "the host starts");
  DWORD code = 0;
  const MessageBoxSeen box = AnswerMessageBoxDuring(
      "Tavrin64", IDYES, [&] { code = RunProgram("Tavrin64.exe"); });
  const char kExpected[] =  // "Tavrin64を終了しますか？" in code page 932
      "Tavrin64\x82\xf0\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb7\x82\xa9"
      "\x81\x48";
  std::string shown;
  for (char c : box.text) shown += Hex(static_cast<unsigned char>(c)) + " ";
  d.checks.Expect(box.text == kExpected, "question 5001 in Japanese (cp932)",
                  "  box bytes: " + shown);
  d.checks.Expect(code == 0 && ExitCodeOf(host) == 0,
                  "answer Yes ends both with exit 0");
  return d.checks.Finish("host program, Japanese");
}

// The whole chain as a hand drives it: X pointer events from xdotool turn
// the wheel and press the extra buttons over the target's list box.
int RealInput() {
  Driver d;
  d.checks.Expect(d.StartTarget(), "target starts");
  WriteSettings(ProgramDirectory() + "Tavrin64.exe", kMainSettings);
  HANDLE host = StartProgram("\"" + ProgramDirectory() + "Tavrin64.exe\"");
  HWND list = d.sink_.WindowFor(Role::List);
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
  d.checks.Expect(scrolled, "the wheel scrolls the unfocused list",
                  "  first visible line " + std::to_string(topLine()));

  PostMessageA(d.sink_.WindowFor(Role::Top), kTakeFocusMessage, 0, 0);
  Drain(200);
  for (const auto& [button, arrow] : {std::pair{8, VK_LEFT}, {9, VK_RIGHT}}) {
    const size_t from = d.sink_.records.size();
    XdoTool("click " + std::to_string(button));
    const bool typed = PumpUntil(
        [&] {
          for (size_t i = from; i < d.sink_.records.size(); ++i)
            if (d.sink_.records[i].message == WM_SYSKEYDOWN &&
                d.sink_.records[i].wParam == static_cast<uint64_t>(arrow))
              return true;
          return false;
        },
        3000);
    d.checks.Expect(typed, "extra button " + std::to_string(button - 7) +
                               " types Alt+" +
                               (arrow == VK_LEFT ? "Left" : "Right"));
  }
  d.checks.Expect(
      RunProgram("Tavrin64.exe terminate") == 0 && ExitCodeOf(host) == 0,
      "terminate");
  d.StopTarget();
  return d.checks.Finish("host program, real input");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "japanese") return JapaneseQuestion();
  if (mode == "real-input") return RealInput();
  Driver d;
  const std::string dir = ProgramDirectory();
  if (!d.StartTarget()) {
    d.checks.Expect(false, "target starts");
    return d.checks.Finish("host program");
  }

  WriteSettings(dir + "Tavrin64.exe", kMainSettings);
  StartUpCases(d);

  HANDLE host = d.StartHost("Tavrin64.exe");
  d.checks.Expect(host && d.InjectProbe(), "host runs, probe windows inside");
  d.Run(kMainCases);
  const LRESULT topLine =
      SendMessageA(d.sink_.WindowFor(Role::List), LB_GETTOPINDEX, 0, 0);
  d.checks.Expect(topLine == 3, "the list box really scrolled 3 lines",
                  "  first visible line " + std::to_string(topLine));
  d.checks.Expect(d.Terminate(host) == 0, "host exits with 0");

  WriteSettings(dir + "Tavrin64.exe", kQuietSettings);
  host = d.StartHost("Tavrin64.exe");
  d.Run(kQuietCases);
  d.Terminate(host);

  WriteSettings(dir + "Tavrin64.exe", kMainSettings);
  CopyFileA((dir + "Tavrin64.exe").c_str(), (dir + "Renamed.exe").c_str(),
            FALSE);
  WriteSettings(dir + "Renamed.exe", kRenamedSettings);
  host = d.StartHost("Renamed.exe");
  d.Run(kRenamedCases);
  d.Terminate(host);

  d.StopTarget();
  return d.checks.Finish("host program");
}
