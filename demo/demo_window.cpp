// A small window to show the utility at work: a long list that does not
// have the keyboard focus, beside an edit box that does. It prints where the
// list is on the screen, and its first visible line whenever that changes.
#include <windows.h>

#include <stdio.h>

namespace {

constexpr UINT_PTR kWatchTimer = 1;
HWND list;

LRESULT CALLBACK DemoProc(HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
  static LRESULT shownLine = -1;
  switch (message) {
    case WM_TIMER: {
      const LRESULT line = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
      if (line != shownLine) {
        shownLine = line;
        printf("first visible line: %d\n", static_cast<int>(line));
        fflush(stdout);
      }
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DemoProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "Tavrin64Demo";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName,
                                "Tavrin64 demo: turn the wheel over the list",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 80, 560,
                                400, nullptr, nullptr, wc.hInstance, nullptr);
  list =
      CreateWindowExA(WS_EX_CLIENTEDGE, "ListBox", "",
                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                      10, 10, 250, 340, window, nullptr, wc.hInstance, nullptr);
  for (int i = 1; i <= 200; ++i) {
    char line[32];
    wsprintfA(line, "Line %d of the list", i);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  }
  HWND edit = CreateWindowExA(
      WS_EX_CLIENTEDGE, "Edit",
      "The keyboard focus is here.\r\nThe wheel scrolls the list under the "
      "pointer all the same.",
      WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 275, 10, 255, 340,
      window, nullptr, wc.hInstance, nullptr);
  SetForegroundWindow(window);
  SetFocus(edit);

  RECT r;
  GetWindowRect(list, &r);
  printf("list at %ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  fflush(stdout);
  SetTimer(window, kWatchTimer, 100, nullptr);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
