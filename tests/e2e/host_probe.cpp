// A library that the host driver injects into Tavrin64's own thread with a
// thread hook, to create windows there: under Wine, GetScrollInfo works
// only on windows of the calling process, so the host's choice between
// vertical and horizontal lines can be seen only on windows of its own.
#include <windows.h>

#include "target_scene.h"

using namespace tavrin::e2e;

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_BORDER;

void SetBar(HWND window, int bar, int max, UINT page) {
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, max, page, 0, 0};
  SetScrollInfo(window, bar, &info, FALSE);
}

// Shown without taking the keyboard focus from the target.
void Show(HWND window, Role role) {
  ShowWindow(window, SW_SHOWNOACTIVATE);
  Announce(role, window);
}

void CreateProbeWindows() {
  // A window without WS_VSCROLL still reports the default vertical range
  // 0..100 to GetScrollInfo (as on Windows, so under Wine): only a range of
  // one page makes the vertical bar one that cannot scroll.
  HWND horizontal =
      CreateLoggedWindow("TavrinProbeHorizontal", kStyle | WS_HSCROLL, 300, 520,
                         200, 100, nullptr);
  SetBar(horizontal, SB_HORZ, 99, 10);
  SetBar(horizontal, SB_VERT, 9, 10);  // nMax + 1 == nPage
  Show(horizontal, Role::HorizontalOnly);

  HWND both =
      CreateLoggedWindow("TavrinProbeBoth", kStyle | WS_HSCROLL | WS_VSCROLL,
                         520, 520, 200, 100, nullptr);
  SetBar(both, SB_VERT, 99, 10);
  SetBar(both, SB_HORZ, 99, 10);
  Show(both, Role::BothBars);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    ProbeHook(int code, WPARAM removal, LPARAM record) {
  static bool created = false;
  if (!created) {
    created = true;
    CreateProbeWindows();
  }
  return CallNextHookEx(nullptr, code, removal, record);
}
