// A window to show what the utility adds: a legacy pane that scrolls by its
// scroll bar (WM_VSCROLL) but ignores the wheel, as many old programs do,
// beside an edit box that has the keyboard focus. It prints where the pane
// is on the screen, and its first visible line whenever that changes.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

namespace {

constexpr int kLines = 200;
constexpr int kLineHeight = 16;
constexpr UINT_PTR kWatchTimer = 1;
HWND pane;

int FirstLine() {
  SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
  GetScrollInfo(pane, SB_VERT, &info);
  return info.nPos;
}

// Scroll-bar requests only: WM_MOUSEWHEEL goes to DefWindowProc, which
// hands it to the parent, which does nothing with it either.
LRESULT CALLBACK PaneProc(HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
  switch (message) {
    case WM_VSCROLL: {
      int line = FirstLine();
      switch (LOWORD(wParam)) {
        case SB_LINEUP:
          --line;
          break;
        case SB_LINEDOWN:
          ++line;
          break;
        case SB_PAGEUP:
          line -= 10;
          break;
        case SB_PAGEDOWN:
          line += 10;
          break;
        case SB_THUMBTRACK:
          line = HIWORD(wParam);
          break;
      }
      SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, line, 0};
      SetScrollInfo(window, SB_VERT, &info, TRUE);
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      SetBkMode(dc, TRANSPARENT);
      RECT client;
      GetClientRect(window, &client);
      for (int y = 0, line = FirstLine(); y < client.bottom && line < kLines;
           y += kLineHeight, ++line) {
        char text[48];
        const int n = wsprintfA(text, "Legacy pane, line %d", line + 1);
        TextOutA(dc, 4, y, text, n);
      }
      EndPaint(window, &paint);
      return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK DemoProc(HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam) {
  static int shownLine = -1;
  switch (message) {
    case WM_TIMER:
      if (FirstLine() != shownLine) {
        shownLine = FirstLine();
        printf("first visible line: %d\n", shownLine + 1);
        fflush(stdout);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND Create(const char* className, WNDPROC proc, const char* title, DWORD style,
            DWORD exStyle, RECT r, HWND parent) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  RegisterClassA(&wc);
  return CreateWindowExA(exStyle, className, title, style, r.left, r.top,
                         r.right, r.bottom, parent, nullptr, nullptr, nullptr);
}

}  // namespace

// demo_window [LEFT TOP]: the window's place on the screen, so that the
// 64-bit and the 32-bit demo stand side by side.
int main(int argc, char** argv) {
  const int left = argc > 2 ? atoi(argv[1]) : 80;
  const int top = argc > 2 ? atoi(argv[2]) : 80;
  const char* title = sizeof(void*) == 8
                          ? "Tavrin64 demo (64-bit): turn the wheel over the "
                            "legacy pane"
                          : "Tavrin64 demo (32-bit): turn the wheel over the "
                            "legacy pane";
  HWND window =
      Create("Tavrin64Demo", DemoProc, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
             0, {left, top, 560, 400}, nullptr);
  pane = Create("Tavrin64LegacyPane", PaneProc, "",
                WS_CHILD | WS_VISIBLE | WS_VSCROLL, WS_EX_CLIENTEDGE,
                {10, 10, 250, 340}, window);
  SCROLLINFO info{sizeof info,
                  SIF_RANGE | SIF_PAGE,
                  0,
                  kLines - 1,
                  340 / kLineHeight,
                  0,
                  0};
  SetScrollInfo(pane, SB_VERT, &info, TRUE);
  HWND edit = CreateWindowExA(
      WS_EX_CLIENTEDGE, "Edit",
      "The keyboard focus is here.\r\nThe pane beside it scrolls by its "
      "scroll bar but ignores the wheel, as old programs do.",
      WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 275, 10, 255, 340,
      window, nullptr, nullptr, nullptr);
  SetForegroundWindow(window);
  SetFocus(edit);

  RECT r;
  GetWindowRect(pane, &r);
  printf("pane at %ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  fflush(stdout);
  SetTimer(window, kWatchTimer, 100, nullptr);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
