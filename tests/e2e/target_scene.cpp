#include "target_scene.h"

#include <commctrl.h>

namespace tavrin::e2e {

namespace {

constexpr UINT kUdmSetPos = UDM_SETPOS;

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

LRESULT CALLBACK LoggedProc(HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
  if (IsLogged(message)) {
    Report(RecordKind::Received, message, window, wParam, lParam);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam,
                             LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (IsLogged(message))
    Report(RecordKind::Received, message, window, wParam, lParam);
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

bool IsLogged(UINT message) {
  return message == WM_NULL ||
         (message > WM_MOUSEMOVE && message <= WM_MOUSEHWHEEL + 1) ||
         (message > WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) ||
         (message >= WM_KEYDOWN && message <= WM_SYSKEYUP) ||
         message == WM_HSCROLL || message == WM_VSCROLL ||
         message == WM_SYSCOMMAND || message == kUdmSetPos;
}

void Report(RecordKind kind, uint32_t message, HWND window, uint64_t wParam,
            int64_t lParam) {
  static HWND sink = FindWindowA(kSinkClass, nullptr);
  LogRecord record{kind, message, reinterpret_cast<uintptr_t>(window), wParam,
                   lParam};
  COPYDATASTRUCT data{0, sizeof record, &record};
  DWORD_PTR ignored;
  SendMessageTimeoutA(sink, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                      SMTO_NORMAL, 5000, &ignored);
}

void Announce(Role role, HWND window) {
  Report(RecordKind::Window, static_cast<uint32_t>(role), window, 0, 0);
}

HWND CreateLoggedWindow(const char* className, DWORD style, int x, int y,
                        int width, int height, HWND parent) {
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = LoggedProc;
  wc.hInstance = ThisModule();
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  RegisterClassA(&wc);  // fails harmlessly for a class registered before
  return CreateWindowExA(0, className, className, style, x, y, width, height,
                         parent, nullptr, wc.hInstance, nullptr);
}

void LogControl(HWND control) { SetWindowSubclass(control, ControlProc, 1, 0); }

}  // namespace tavrin::e2e
