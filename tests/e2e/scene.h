// The scene of the end-to-end cases: target windows in this program's own
// thread (the global hook runs wherever a message is retrieved, so hook ->
// host -> target crosses processes), the log of what they receive, and rows
// of expected messages checked by one helper.
#pragma once

#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tavrin_protocol.h"

namespace e2e {

using namespace tavrin;
using namespace std::string_literals;

// The scene's windows, by what the cases use them for; Tv... are classes.
enum Scene : int {
  Sink,       // TvSink: gets the notifications when this program hosts
  Top,        // TvTop: the focus window
  Child,      // TvChild in Top, with the keyboard focus
  List,       // a list box of 100 lines in Top
  Spin,       // msctls_updown32 in Top, answering from `spin`
  Lookalike,  // msctls_updown32x in Top
  Pane,       // TvPaneA in Top
  SyncPane,   // TvSync in Top, excluded: its notch ends every host case
  ExChild,    // TvChild in the top-level TvExcludedTop
  PassChild,  // TvChild in the top-level TvPassTop
  DropChild,  // TvChild in the top-level TvDropTop
  Popup,      // TvPopup, owned by Top
  Dialog,     // a top-level window of the system's dialog class "#32770"
  Blank,      // top-level "TvBlank ", a class with a trailing blank
  Bang,       // top-level "!TvBang", excluded by the low sentinel
  Bars,       // TvBars: only its horizontal bar can scroll
  Framed,     // TvFramed in Top, under a group box drawn over it
  HungPane,   // TvHung and an up-down, top-level windows of a thread that
  HungSpin,   // stops retrieving messages
  kSceneWindows
};

// The lParam of every posted mouse message: a point left of and above the
// primary monitor, whose negative coordinates must survive every crossing;
// not the pointer's, as a scaled display gives it to an application that is
// not DPI-aware: the window is found in the application's thread.
constexpr int64_t kPointLParam = static_cast<int32_t>(0xFFF0FFE0);
// The host sync's notch carries SyncPane's point (set with the scene): the
// modern wheel's host looks for the window there.
inline LPARAM syncLParam;
constexpr uint64_t kUp = 0x00780000, kDown = 0xFF880000;

// One message that one window received. A notification to Sink names a
// Scene window in its wParam; key messages are logged with lParam 0.
struct Got {
  int window;
  UINT message;
  uint64_t wParam;
  int64_t lParam = kPointLParam;
  bool operator==(const Got&) const = default;
};

// The pointer is put over `pointer`, `message` is posted to `postTo` as the
// system would, and exactly `expected` must arrive, in order.
struct Row {
  const char* name;
  Scene pointer, postTo;
  UINT message;
  WPARAM wParam;
  std::vector<Got> expected;
  short spin[3] = {10, 0, 0};  // the up-down's Max, Min and position
};

inline HWND scene[kSceneWindows];
inline std::vector<Got> got;
inline size_t caseStart = 0;  // where the running case's messages begin
inline short spin[3];
inline bool hostSync = false;  // each case ends with the host's notch
inline const DWORD sceneThread = GetCurrentThreadId();
inline std::atomic<int> hungScrolls, hungSetPos;  // the hung thread, resumed
inline int passed = 0, failed = 0;

// Counts and prints one check: "ok" or "FAIL", its name, and when it
// failed, what went wrong.
inline bool Check(bool ok, const std::string& name,
                  const std::string& detail = "") {
  ++(ok ? passed : failed);
  printf("%s %s\n%s", ok ? "ok  " : "FAIL", name.c_str(),
         ok || detail.empty() ? "" : (detail + "\n").c_str());
  fflush(stdout);
  return ok;
}

inline LRESULT CALLBACK Logged(HWND w, UINT m, WPARAM wParam, LPARAM lParam) {
  if (GetCurrentThreadId() != sceneThread) {
    hungScrolls += m == WM_VSCROLL;
    hungSetPos += m == kUdmSetPos;
    return DefWindowProcA(w, m, wParam, lParam);
  }
  const auto sceneOf = [](HWND h) {
    return static_cast<int>(std::find(scene, scene + kSceneWindows, h) - scene);
  };
  if (m == kUdmGetRange) return MAKELONG(spin[0], spin[1]);
  if (m == kUdmGetPos) return static_cast<WORD>(spin[2]);
  // Buttons and wheels, keys, scrolling, system commands, UDM_SETPOS, the
  // notifications, and WM_NULL: what a swallowed message becomes.
  const bool keys = m >= WM_KEYDOWN && m <= WM_SYSKEYUP;
  const bool notified =
      (m >= WMU_MBUTTON_CLICK && m <= WMU_XBUTTON2_UP) || m == WMU_WHEEL_TARGET;
  const bool wheelMessage = m == WMU_WHEEL_MESSAGE || m == WMU_HWHEEL_MESSAGE;
  if (m == WM_NULL || (m > WM_MOUSEMOVE && m <= 0x20F) || keys || notified ||
      wheelMessage || m == WM_NCMBUTTONUP || m == WM_HSCROLL ||
      m == WM_VSCROLL || m == WM_SYSCOMMAND || m == kUdmSetPos) {
    got.push_back({sceneOf(w), m,
                   notified ? static_cast<uint64_t>(
                                  sceneOf(reinterpret_cast<HWND>(wParam)))
                            : wParam,
                   keys ? 0 : lParam});
    return 0;
  }
  return DefWindowProcA(w, m, wParam, lParam);
}

inline HWND Make(int id, const char* name, DWORD style, RECT r, HWND parent) {
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = Logged;
  wc.lpszClassName = name;
  RegisterClassA(&wc);  // fails harmlessly for a class registered before
  HWND w = CreateWindowExA(0, name, name, style, r.left, r.top, r.right,
                           r.bottom, parent, nullptr, nullptr, nullptr);
  // Top-level windows other than Top show without taking the focus.
  if (!(style & WS_CHILD)) ShowWindow(w, SW_SHOWNOACTIVATE);
  return id < kSceneWindows ? scene[id] = w : w;
}

// Keys go to the foreground thread: this one, with the focus in Child.
inline void Focus() {
  SetForegroundWindow(scene[Top]);
  SetFocus(scene[Child]);
}

// The window's point that the cases use, as a mouse message's lParam
// (screen coordinates), and the pointer put there.
inline LPARAM PointOf(int w) {
  RECT r;
  GetWindowRect(scene[w], &r);
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  if (w == Top) p = {r.left + 10, r.top + 40};  // beside Top's children
  return MAKELONG(p.x, p.y);
}
inline void PointAt(int w) {
  const auto point = static_cast<DWORD>(PointOf(w));
  SetCursorPos(LOWORD(point), HIWORD(point));
}

inline void CreateScene() {
  constexpr DWORD kTop = WS_OVERLAPPEDWINDOW, kPopup = WS_POPUP | WS_BORDER;
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_BORDER;
  Make(Sink, "TvSink", 0, {0, 0, 10, 10}, nullptr);
  HWND top = Make(Top, "TvTop", kTop | WS_VISIBLE, {0, 0, 640, 460}, nullptr);
  Make(Child, "TvChild", kChild, {20, 20, 160, 80}, top);
  Make(Spin, "msctls_updown32", kChild, {380, 20, 30, 40}, top);
  Make(Lookalike, "msctls_updown32x", kChild, {420, 20, 30, 40}, top);
  Make(Pane, "TvPaneA", kChild, {20, 200, 120, 60}, top);
  Make(SyncPane, "TvSync", kChild, {300, 200, 60, 40}, top);
  // A group box answers HTTRANSPARENT: only its own thread looks through it.
  Make(Framed, "TvFramed", kChild, {480, 250, 120, 80}, top);
  CreateWindowExA(0, "Button", "", kChild | BS_GROUPBOX, 470, 230, 140, 110,
                  top, nullptr, nullptr, nullptr);
  const char* tops[] = {"TvExcludedTop", "TvPassTop", "TvDropTop"};
  // Each TvChild sits in a TvBox: the climb to the top takes two steps.
  for (int i = 0; i < 3; ++i)
    Make(ExChild + i, "TvChild", kChild, {10, 10, 120, 40},
         Make(kSceneWindows, "TvBox", kChild, {10, 10, 160, 80},
              Make(kSceneWindows, tops[i], kTop, {660, 170 * i, 300, 150},
                   nullptr)));
  Make(Popup, "TvPopup", kPopup, {20, 500, 200, 100}, top);  // owned by Top
  Make(Blank, "TvBlank ", kPopup, {560, 520, 80, 60}, nullptr);
  Make(Bang, "!TvBang", kPopup, {660, 520, 80, 60}, nullptr);
  scene[Dialog] = CreateWindowExA(0, WC_DIALOG, "", kPopup, 300, 500, 200, 100,
                                  nullptr, nullptr, nullptr, nullptr);
  ShowWindow(scene[Dialog], SW_SHOWNOACTIVATE);
  scene[List] = CreateWindowExA(0, "ListBox", "", kChild | WS_VSCROLL, 200, 20,
                                150, 150, top, nullptr, nullptr, nullptr);
  for (int i = 0; i < 100; ++i)
    SendMessageA(scene[List], LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>("line"));
  syncLParam = PointOf(SyncPane);
  Focus();
}

// Dispatches this thread's messages until done() or the deadline, waking at
// least every 10 ms: some conditions change without a message to us. A
// flood that never ends (messages going round) ends it 100 ms late at most.
inline bool Pump(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (MSG msg;;) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      if (GetTickCount64() > deadline + 100) return false;
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    MsgWaitForMultipleObjects(
        0, nullptr, FALSE, static_cast<DWORD>(std::min(deadline - now, 10ull)),
        QS_ALLINPUT);
  }
}

// What arrived since the running case began, the sync notches left out.
inline std::vector<Got> Arrived() {
  std::vector<Got> since;
  std::copy_if(got.begin() + static_cast<long>(caseStart), got.end(),
               std::back_inserter(since),
               [](const Got& g) { return g.lParam != syncLParam; });
  return since;
}

// Waits until what a case set going has arrived. With a host, a notch over
// SyncPane goes last: the host handles notifications in order and posts to
// a thread in order. Key events (the input queue) come after the posts,
// and get a moment more.
inline bool Settle(size_t expected = 0, DWORD timeoutMs = 3000) {
  bool settled = true;
  if (hostSync) {
    const size_t from = got.size();
    PointAt(SyncPane);
    PostMessageA(scene[Top], WM_MOUSEWHEEL, kUp, syncLParam);
    const Got echo{SyncPane, WM_MOUSEWHEEL, kUp, syncLParam};
    settled = Pump(
        [&] {
          return std::find(got.begin() + static_cast<long>(from), got.end(),
                           echo) != got.end();
        },
        timeoutMs);
  }
  Pump([] { return true; }, 0);
  if (expected) Pump([&] { return Arrived().size() >= expected; }, 1000);
  return settled;
}

// Lets what earlier cases set going arrive, then begins a new case.
inline void StartCase() {
  Settle();
  caseStart = got.size();
}

// What a case expected and what arrived, for its failure.
inline std::string Described(const std::vector<Got>& expected,
                             const std::vector<Got>& arrived) {
  std::string detail =
      "  expected, then got (window, message, wParam, lParam):";
  for (const auto& list : {expected, arrived}) {
    for (const Got& g : list) {
      char line[96];
      snprintf(line, sizeof line, "\n    %d %#x %#llx %#llx", g.window,
               g.message, static_cast<unsigned long long>(g.wParam),
               static_cast<unsigned long long>(g.lParam));
      detail += line;
    }
    detail += "\n  --";
  }
  return detail;
}

// Waits until what the running case set going has arrived: whether exactly
// `expected` did, in order; if not, both lists in `detail`.
inline bool Expect(const std::vector<Got>& expected, std::string& detail) {
  const bool settled = Settle(expected.size());
  detail = Described(expected, Arrived());
  return settled && Arrived() == expected;
}

// Runs the row; whether exactly what it expects arrived, and if not, what.
inline bool RunRow(const Row& row, std::string& detail) {
  std::copy(row.spin, row.spin + 3, spin);
  StartCase();
  PointAt(row.pointer);
  PostMessageA(scene[row.postTo], row.message, row.wParam, kPointLParam);
  return Expect(row.expected, detail);
}

inline void Rows(const std::vector<Row>& rows) {
  std::string detail;
  for (const Row& row : rows) Check(RunRow(row, detail), row.name, detail);
}

// A notification as Sink logs it: wParam names the window.
inline Got Notified(uint32_t message, Scene window) {
  return {Sink, message, static_cast<uint64_t>(window)};
}

// What a notch or a click brings after the swallowed message at Top.
inline std::vector<Got> Lines(uint64_t wheel, Scene w, UINT message, size_t n) {
  std::vector<Got> lines{{Top, WM_NULL, wheel}};
  lines.insert(lines.end(), n, {w, message, wheel == kUp ? 0u : 1u, 0});
  lines.push_back({w, message, SB_ENDSCROLL, 0});
  return lines;
}
inline std::vector<Got> Forwarded(uint64_t wheel, Scene w) {
  return {{Top, WM_NULL, wheel},
          {w, WM_MOUSEWHEEL,
           wheel == kUp ? kUp : static_cast<WPARAM>(0xFFFFFFFFFF880000)}};
}
inline std::vector<Got> AltArrow(uint64_t button, uint64_t arrow) {
  return {{Top, WM_NULL, button},
          {Child, WM_SYSKEYDOWN, VK_MENU, 0},
          {Child, WM_SYSKEYDOWN, arrow, 0},
          {Child, WM_SYSKEYUP, arrow, 0},
          {Child, WM_KEYUP, VK_MENU, 0}};
}
inline std::vector<Got> SetPos(uint64_t wheel, int64_t position) {
  return {{Top, WM_NULL, wheel}, {Spin, kUdmSetPos, 0, position}};
}
inline std::vector<Got> Close(Scene clicked) {
  return {{clicked, WM_NULL, 0}, {Top, WM_SYSCOMMAND, SC_CLOSE, 0}};
}

}  // namespace e2e
