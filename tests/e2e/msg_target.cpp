// A target application for the end-to-end tests, in a process of its own:
// top-level windows with children, a real list box and up-down controls,
// each reporting what it receives to the driver's sink window.
#include <windows.h>

#include <commctrl.h>

#include "target_scene.h"

using namespace tavrin::e2e;

namespace {

constexpr DWORD kTopStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;

HWND top;
HWND focus;

HWND Spin(HWND parent, int x, short max, short min, Role role) {
  HWND spin =
      CreateWindowExA(0, UPDOWN_CLASSA, "", kChildStyle, x, 20, 30, 40, parent,
                      nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(spin, UDM_SETRANGE, 0, MAKELPARAM(max, min));
  LogControl(spin);
  Announce(role, spin);
  return spin;
}

// Top-level windows other than Top appear without taking the focus, which
// stays in Top's child for the keys that the host types.
void ShowQuietly(HWND window, Role role) {
  ShowWindow(window, SW_SHOWNOACTIVATE);
  Announce(role, window);
}

// A top-level window of its own class with a TavrinTestChild inside.
void Family(const char* topClass, int x, int y, Role topRole, Role childRole) {
  HWND family =
      CreateLoggedWindow(topClass, kTopStyle, x, y, 300, 150, nullptr);
  ShowQuietly(family, topRole);
  Announce(childRole, CreateLoggedWindow("TavrinTestChild", kChildStyle, 20, 20,
                                         120, 60, family));
}

void CreateScene() {
  top = CreateLoggedWindow("TavrinTestTop", kTopStyle | WS_VISIBLE, 20, 20, 640,
                           460, nullptr);
  Announce(Role::Top, top);
  focus =
      CreateLoggedWindow("TavrinTestChild", kChildStyle, 20, 20, 160, 80, top);
  Announce(Role::Child, focus);

  HWND list = CreateWindowExA(
      0, "ListBox", "", kChildStyle | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 200,
      20, 150, 150, top, nullptr, GetModuleHandleA(nullptr), nullptr);
  for (int i = 0; i < 100; ++i) {
    char line[16];
    wsprintfA(line, "line %d", i);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  }
  LogControl(list);
  Announce(Role::List, list);

  Spin(top, 380, 10, 0, Role::Spin);
  Spin(top, 420, 0, 100, Role::SpinReversed);
  Spin(top, 460, 10, -10, Role::SpinSigned);
  Announce(Role::PaneWnd, CreateLoggedWindow("TavrinPaneWnd", kChildStyle, 20,
                                             200, 120, 60, top));
  Announce(Role::PaneA, CreateLoggedWindow("TavrinPaneA", kChildStyle, 160, 200,
                                           120, 60, top));
  Announce(Role::Sync, CreateLoggedWindow("TavrinSyncPane", kChildStyle, 300,
                                          200, 60, 40, top));

  Family("TavrinExcludedTop", 680, 20, Role::ExcludedTop, Role::ExcludedChild);
  Family("TavrinPassTop", 680, 200, Role::PassTop, Role::PassChild);
  Family("TavrinDiscardTop", 680, 380, Role::DiscardTop, Role::DiscardChild);
  // WC_DIALOG is the atom of the system's dialog class, "#32770".
  ShowQuietly(CreateWindowExA(0, WC_DIALOG, "dialog", WS_POPUP | WS_BORDER, 740,
                              560, 200, 100, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr),
              Role::Dialog);
  ShowQuietly(CreateLoggedWindow("TavrinOwnedPopup", WS_POPUP | WS_BORDER, 20,
                                 500, 200, 100, top),
              Role::OwnedPopup);
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
  auto setHook = reinterpret_cast<SetHookFn>(reinterpret_cast<void*>(
      GetProcAddress(LoadLibraryA(library), "SetHook")));
  return setHook ? setHook(GetDesktopWindow(), closeByMbtn) : 0xBAD;
}

// Commands from the driver arrive as thread messages.
void OnCommand(const MSG& msg) {
  switch (msg.message) {
    case kSyncMessage:
      Report(RecordKind::Synced, msg.message, msg.hwnd, 0, 0);
      break;
    case kCallSetHookMessage:
      Report(RecordKind::Result, msg.message, msg.hwnd,
             CallSetHook(msg.wParam != 0), 0);
      break;
    case kPeekWheelMessage:
      Report(RecordKind::Result, msg.message, msg.hwnd, PeekWheelWParam(), 0);
      break;
    case kTakeFocusMessage:
      SetForegroundWindow(top);
      SetFocus(focus);
      Report(RecordKind::Result, msg.message, msg.hwnd, 1, 0);
      break;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  CreateScene();
  ShowWindow(top, SW_SHOW);
  SetForegroundWindow(top);
  SetFocus(focus);
  Report(RecordKind::Ready, 0, top, 0, 0);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message >= kSyncMessage && msg.message <= kTakeFocusMessage) {
      OnCommand(msg);
      continue;
    }
    if (msg.message == WM_CLOSE || (msg.message == WM_QUIT)) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
