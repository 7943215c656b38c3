// A target application for the end-to-end tests: a top-level window with a
// child, in a process of its own, that reports every mouse message its
// windows receive (and WM_NULL, which is what a swallowed message becomes)
// to the driver window named on its command line.
//
//   msg_target.exe SINK_WINDOW
#include <stdlib.h>
#include <windows.h>

#include "e2e_log.h"

using namespace tavrin::e2e;

namespace {

HWND sink;

void Send(RecordKind kind, uint32_t message, HWND window, uint64_t wParam,
          int64_t lParam) {
  LogRecord record{kind, message, reinterpret_cast<uintptr_t>(window), wParam,
                   lParam};
  COPYDATASTRUCT data{0, sizeof record, &record};
  DWORD_PTR ignored;
  SendMessageTimeoutA(sink, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                      SMTO_NORMAL, 5000, &ignored);
}

// Button and wheel messages, client and non-client (up to 0x20F, one past
// the last mouse message), but not the moves that the pointer makes on its
// way. They get no default processing, which would hand wheel messages on to
// the parent and start modal loops for non-client clicks.
bool IsLogged(UINT message) {
  return message == WM_NULL ||
         (message > WM_MOUSEMOVE && message <= WM_MOUSEHWHEEL + 1) ||
         (message > WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

uint64_t PeekWheelWParam() {
  MSG msg;
  for (int tries = 0; tries < 200; ++tries) {
    if (PeekMessageA(&msg, nullptr, WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_NOREMOVE))
      return msg.wParam;
    Sleep(5);
  }
  return 0;
}

uint64_t CallSetHook(bool closeByMbtn) {
#ifdef _WIN64
  const char* library = "TV_Hook64.dll";
#else
  const char* library = "TV_Hook.dll";
#endif
  using SetHookFn = bool (*)(HWND, bool);
  HMODULE hook = LoadLibraryA(library);
  auto setHook = reinterpret_cast<SetHookFn>(
      reinterpret_cast<void*>(GetProcAddress(hook, "SetHook")));
  return setHook ? setHook(GetDesktopWindow(), closeByMbtn) : 0xBAD;
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
  if (IsLogged(message)) {
    Send(RecordKind::Received, message, window, wParam, lParam);
    return 0;
  }
  switch (message) {
    case kSyncMessage:
      Send(RecordKind::Synced, message, window, 0, 0);
      return 0;
    case kCallSetHookMessage:
      Send(RecordKind::Result, message, window, CallSetHook(wParam != 0), 0);
      return 0;
    case kPeekWheelMessage:
      Send(RecordKind::Result, message, window, PeekWheelWParam(), 0);
      return 0;
    case WM_DESTROY:
      if (!GetParent(window)) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  sink = reinterpret_cast<HWND>(_strtoui64(commandLine, nullptr, 0));
  const char* classes[] = {kTargetTopClass, kTargetChildClass};
  for (const char* name : classes) {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
  }
  HWND top = CreateWindowExA(0, kTargetTopClass, "target",
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400,
                             300, nullptr, nullptr, instance, nullptr);
  HWND child = CreateWindowExA(0, kTargetChildClass, "child",
                               WS_CHILD | WS_VISIBLE | WS_BORDER, 50, 50, 200,
                               100, top, nullptr, instance, nullptr);
  if (!top || !child) return 1;
  Send(RecordKind::Ready, 0, top, reinterpret_cast<uintptr_t>(child), 0);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
