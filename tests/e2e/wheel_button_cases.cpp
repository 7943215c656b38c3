// The host's wheel and buttons over windows of another process: lines,
// forwarding by class and by top-level class, up-down controls, Alt+Left
// and Alt+Right, the middle click that closes, passes or is discarded, and
// the modern wheel's fractions, tilt and Ctrl or Shift.
#include "harness.h"
#ifdef _WIN64
#include "dispatcher.h"
#include "win32_desktop.h"
#endif

namespace e2e {

// clang-format off
const std::vector<Row> kHostRows = {
  {"wheel down over an unfocused window, its point not the pointer's: lines, then the end", Child, Top, 0x20A, kDown, Lines(kDown, Child, WM_VSCROLL, 2)},
  {"a group box drawn over a window of lines: the window scrolls", Framed, Top, 0x20A, kDown, Lines(kDown, Framed, WM_VSCROLL, 2)},
  {"wheel up: lines up", Child, Top, 0x20A, kUp, Lines(kUp, Child, WM_VSCROLL, 2)},
  {"a list box", List, Top, 0x20A, kDown, {{Top, WM_NULL, kDown}}},
  {"excluded class: one marked notch, arriving stripped", Pane, Top, 0x20A, kDown, Forwarded(kDown, Pane)},
  {"excluded top-level class: forwarded to the child", ExChild, Top, 0x20A, 0xF00000, {{Top, WM_NULL, 0xF00000}, {ExChild, 0x20A, kUp}}},
  {"an up-down, though excluded, at 5: up to 6", Spin, Top, 0x20A, kUp, SetPos(kUp, 6), {10, 0, 5}},
  {"up-down at its maximum stays", Spin, Top, 0x20A, kUp, {{Top, WM_NULL, kUp}}, {10, 0, 10}},
  {"maximum below minimum: up lowers the number", Spin, Top, 0x20A, kUp, SetPos(kUp, 49), {0, 100, 50}},
  {"signed range: down from -5 to -6", Spin, Top, 0x20A, kDown, SetPos(kDown, -6), {10, -10, -5}},
  {"signed range: -10 is the minimum", Spin, Top, 0x20A, kDown, {{Top, WM_NULL, kDown}}, {10, -10, -10}},
  {"above the range: one step back in", Spin, Top, 0x20A, kUp, SetPos(kUp, 11), {10, 0, 12}},
  {"a class that only begins like an up-down's", Lookalike, Top, 0x20A, kUp, Forwarded(kUp, Lookalike)},
  {"X button 1: Alt+Left at the focus", Top, Top, 0x20C, 0x10000, AltArrow(0x10000, VK_LEFT)},
  {"X button 2: Alt+Right at the focus", List, Top, 0x20C, 0x20000, AltArrow(0x20000, VK_RIGHT)},
  {"middle click closes the top-level window", Top, Child, 0x208, 0, Close(Child)},
  {"middle click in an owned pop-up closes its owner", Top, Popup, 0x208, 0, Close(Popup)},
  {"middle click passed through: MK_MBUTTON, then 0", Top, PassChild, 0x208, 0, {{PassChild, WM_NULL, 0}, {PassChild, 0x207, MK_MBUTTON}, {PassChild, 0x208, 0}}},
  {"middle click discarded, though also passed through", Top, DropChild, 0x208, 0, {{DropChild, WM_NULL, 0}}},
};
// clang-format on

#ifdef _WIN64
// Under Wine, GetScrollInfo answers only for windows of the calling
// process: the host's own desktop reads the bars here, and a window whose
// vertical bar spans one page and whose horizontal bar more gets horizontal
// lines.
void ScrollBars() {
  Make(Bars, "TvBars", WS_POPUP | WS_HSCROLL | WS_VSCROLL, {660, 400, 200, 100},
       nullptr);
  SCROLLINFO bar{sizeof bar, SIF_RANGE | SIF_PAGE, 0, 99, 10, 0, 0};
  SetScrollInfo(scene[Bars], SB_HORZ, &bar, FALSE);
  bar.nMax = 9;  // nMax + 1 == nPage: this bar cannot scroll
  SetScrollInfo(scene[Bars], SB_VERT, &bar, FALSE);
  rules::HostState state;
  host::Win32Desktop desktop(state);
  StartCase();
  host::ModernWheel rest;
  host::Dispatch(desktop, state, rest, WMU_WHEEL_DOWN,
                 reinterpret_cast<host::WindowId>(scene[Bars]), 0);
  std::vector<Got> lines(3, {Bars, WM_HSCROLL, SB_LINEDOWN, 0});
  lines.push_back({Bars, WM_HSCROLL, SB_ENDSCROLL, 0});
  std::string detail;
  Check(Expect(lines, detail),
        "only the horizontal bar can scroll: horizontal lines", detail);
}
#endif

void WheelAndButtonCases() {
  Focus();  // back from the questions' boxes
  Rows(kHostRows);
  const LRESULT line = SendMessageA(scene[List], LB_GETTOPINDEX, 0, 0);
  Check(line == 2, "the list box scrolled 2 lines",
        "  first line " + std::to_string(line));
#ifdef _WIN64
  ScrollBars();
#endif
}

// Wheel messages posted one after another, each at its window's point, and
// what must reach the other windows, in order; Top only swallows them.
struct Burst {
  const char* name;
  struct Post {
    Scene window;
    uint32_t wParam;
    UINT message = WM_MOUSEWHEEL;
  };
  std::vector<Post> posts;
  std::vector<Got> expected;
};

// The window's point as an application that is not DPI-aware gets it on a
// display at 200 %: half the screen's. Only the application's own thread
// finds the window under the pointer from it.
static LPARAM Scaled(Scene w) {
  const auto point = static_cast<DWORD>(PointOf(w));
  return MAKELPARAM(LOWORD(point) / 2, HIWORD(point) / 2);
}

static bool RunBurst(const Burst& burst, std::string& detail) {
  StartCase();
  for (const auto& [window, wParam, message] : burst.posts) {
    PointAt(window);  // a message's pt is where the pointer is as it is posted
    PostMessageA(scene[Top], message, wParam, Scaled(window));
  }
  const bool settled = Settle(burst.posts.size() + burst.expected.size());
  std::vector<Got> arrived;
  size_t swallowed = 0;
  for (const Got& g : Arrived())
    if (g.window == Top && g.message == WM_NULL)
      ++swallowed;
    else
      arrived.push_back(g);
  detail = Described(burst.expected, arrived);
  return settled && swallowed == burst.posts.size() &&
         arrived == burst.expected;
}

// A 32-bit wheel wParam as a window of this build receives it.
static uint64_t AsWParam(uint32_t wheel) {
  return static_cast<WPARAM>(static_cast<INT_PTR>(static_cast<int32_t>(wheel)));
}

// modern_wheel=1 by a hand edit, with 3 lines a notch, every message at its
// scaled point: fractions add up, the tilt wheel scrolls sideways, and Ctrl
// or Shift reaches the window itself, with the application's own point;
// then modern_wheel=0 gives every message a whole notch again.
void ModernWheelCases() {
  constexpr uint32_t kMinus30 = 0xFFE20000, kPlus30 = 0x001E0000;
  constexpr UINT kTilt = WM_MOUSEHWHEEL;
  const Got down{Child, WM_VSCROLL, SB_LINEDOWN, 0},
      up{Child, WM_VSCROLL, SB_LINEUP, 0},
      end{Child, WM_VSCROLL, SB_ENDSCROLL, 0},
      right{Child, WM_HSCROLL, SB_LINERIGHT, 0},
      hEnd{Child, WM_HSCROLL, SB_ENDSCROLL, 0};
  // clang-format off
  const std::vector<Burst::Post> fourFractions = {{Child, kMinus30}, {Child, kMinus30}, {Child, kMinus30}, {Child, kMinus30}};
  const Burst on = {"modern: four of -30, 3 lines a notch: a line each time one builds up", fourFractions, {down, end, down, end, down, end}};
  const Burst off = {"modern_wheel=0 again: each of the four is a whole notch", fourFractions, {down, down, down, end, down, down, down, end, down, down, down, end, down, down, down, end}};
  const std::vector<Burst> bursts = {
    {"modern: a turn drops the rest", {{Child, kMinus30}, {Child, kMinus30}, {Child, kPlus30}, {Child, kPlus30}}, {down, end, up, end}},
    {"modern: so does another window", {{Child, kMinus30}, {Child, kMinus30}, {Popup, kMinus30}, {Child, kMinus30}, {Child, kMinus30}}, {down, end, down, end}},
    {"modern: a notch of 120 is 3 lines, as ever", {{Child, 0xFF880000}}, {down, down, down, end}},
    {"modern: a group box drawn over a window of lines: the window scrolls", {{Framed, 0xFF880000}}, {{Framed, WM_VSCROLL, SB_LINEDOWN, 0}, {Framed, WM_VSCROLL, SB_LINEDOWN, 0}, {Framed, WM_VSCROLL, SB_LINEDOWN, 0}, {Framed, WM_VSCROLL, SB_ENDSCROLL, 0}}},
    {"modern: Shift, -30 over an excluded class: -30 with MK_SHIFT", {{Pane, kMinus30 | MK_SHIFT}}, {{Pane, WM_MOUSEWHEEL, AsWParam(kMinus30 | MK_SHIFT), Scaled(Pane)}}},
    {"modern: Ctrl over a window of lines: the wheel message, no line", {{Child, 0xFF880000 | MK_CONTROL}}, {{Child, WM_MOUSEWHEEL, AsWParam(0xFF880000 | MK_CONTROL), Scaled(Child)}}},
    {"modern: four of +30 step an up-down once", {{Spin, kPlus30}, {Spin, kPlus30}, {Spin, kPlus30}, {Spin, kPlus30}}, {{Spin, kUdmSetPos, 0, 6}}},
    {"modern: tilt +120: 3 lines right, then the end", {{Child, kUp, kTilt}}, {right, right, right, hEnd}},
    {"modern: tilt over an excluded class: WM_MOUSEHWHEEL +120", {{Pane, kUp, kTilt}}, {{Pane, kTilt, kUp, Scaled(Pane)}}},
    {"modern: tilt over an up-down: WM_MOUSEHWHEEL", {{Spin, kUp, kTilt}}, {{Spin, kTilt, kUp, Scaled(Spin)}}},
  };
  // clang-format on
  spin[0] = 10, spin[1] = 0, spin[2] = 5;
  std::string text = kMainSettings, detail;
  text.replace(text.find("scroll_counts=2"), 15,
               "scroll_counts=3\r\nmodern_wheel=1");
  WriteFile("Tavrin64.ini", text);
  Check(Pump([&] { return RunBurst(on, detail); }, 1500),
        "a hand edit turns modern_wheel on within a second; "s + on.name,
        detail);
  for (const Burst& burst : bursts)
    Check(RunBurst(burst, detail), burst.name, detail);
  text.replace(text.find("modern_wheel=1"), 14, "modern_wheel=0");
  WriteFile("Tavrin64.ini", text);
  Check(Pump([&] { return RunBurst(off, detail); }, 1500), off.name, detail);
}

}  // namespace e2e
