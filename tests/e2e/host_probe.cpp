// A library that the runner loads into Tavrin64's own thread with a thread
// hook, to make a window there: under Wine, GetScrollInfo answers only for
// windows of the calling process. The window's vertical bar spans one page,
// its horizontal bar more, and it reports the scroll messages it receives
// to the runner.
#include <windows.h>

namespace {

constexpr UINT kProbeReport = WM_APP + 77;

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam) {
  if (message == WM_HSCROLL || message == WM_VSCROLL) {
    PostMessageA(FindWindowA("TvSink", nullptr), kProbeReport, message,
                 static_cast<LPARAM>(wParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void CreateProbe(HINSTANCE module) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ProbeProc;
  wc.hInstance = module;
  wc.lpszClassName = "TvProbe";
  RegisterClassA(&wc);
  HWND probe =
      CreateWindowExA(0, "TvProbe", "", WS_POPUP | WS_HSCROLL, 660, 400, 200,
                      100, nullptr, nullptr, module, nullptr);
  SCROLLINFO bar{sizeof bar, SIF_RANGE | SIF_PAGE, 0, 99, 10, 0, 0};
  SetScrollInfo(probe, SB_HORZ, &bar, FALSE);
  bar.nMax = 9;  // nMax + 1 == nPage: this bar cannot scroll
  SetScrollInfo(probe, SB_VERT, &bar, FALSE);
  ShowWindow(probe, SW_SHOWNOACTIVATE);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    ProbeHook(int code, WPARAM removal, LPARAM record) {
  static bool created = false;
  if (!created) {
    created = true;
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ProbeHook), &self);
    CreateProbe(self);
  }
  return CallNextHookEx(nullptr, code, removal, record);
}
