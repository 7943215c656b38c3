// The host's wheel and buttons over windows of another process: lines,
// forwarding by class and by top-level class, up-down controls, Alt+Left
// and Alt+Right, and the middle click that closes, passes or is discarded.
#include "harness.h"
#ifdef _WIN64
#include "dispatcher.h"
#include "win32_desktop.h"
#endif

namespace e2e {

// clang-format off
const std::vector<Row> kHostRows = {
  {"wheel down over an unfocused window: lines, then the end", Child, Top, 0x20A, kDown, Lines(kDown, Child, WM_VSCROLL, 2)},
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
  host::Dispatch(desktop, state, WMU_WHEEL_DOWN,
                 reinterpret_cast<host::WindowId>(scene[Bars]), 0);
  std::vector<Got> lines(3, {Bars, WM_HSCROLL, SB_LINEDOWN, 0});
  lines.push_back({Bars, WM_HSCROLL, SB_ENDSCROLL, 0});
  Settle(lines.size());
  Check(Arrived() == lines,
        "only the horizontal bar can scroll: horizontal lines");
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

}  // namespace e2e
