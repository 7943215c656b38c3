// Tavrin64.exe: starts the resident host, or stops the running one.
#include <windows.h>

#include <optional>

#include "companion.h"
#include "dispatcher.h"
#include "hook_api.h"
#include "program_identity.h"
#include "program_path.h"
#include "resource_ids.h"
#include "resource_message.h"
#include "settings_loader.h"
#include "settings_reader.h"
#include "settings_watch.h"
#include "startup.h"
#include "tray_icon.h"
#include "win32_desktop.h"

using namespace tavrin;
using namespace tavrin::host;

namespace {

// A second start waits this long for the running one to end: longer than
// the running one may wait for its companion, so that a slow companion
// never makes a terminate that works look failed.
constexpr DWORD kTerminateWaitMs = 5000;
constexpr DWORD kTerminateWaitStepMs = 50;
static_assert(kTerminateWaitMs >= 2 * Companion::kStopWaitMs);
constexpr DWORD kStartUpLockWaitMs = 10000;

// The host's state for the program's life, and the desktop it acts on.
rules::HostState g_host_state;
Win32Desktop g_desktop(g_host_state);

// The running service, as the user's commands change it.
struct Service {
  HWND window = nullptr;
  bool closeByMbtn = false;
  bool serving = false;  // this instance set its hook at the start
  bool hooked = false;   // its hook is set now: not while paused
  bool paused = false;
  Companion companion;
  std::optional<TrayIcon> tray;
};
Service g_service;

// What is served now, for the icon and the About box.
TrayState ServiceState() {
  const Service& s = g_service;
  const char* missing = s.companion.Missing();
  return {s.paused, s.serving && !missing, missing ? missing : ""};
}

// Has the icon, if the settings want one, say what is served now.
void ShowTray() {
  if (g_service.tray)
    g_service.tray->Show(g_host_state.tray_icon, ServiceState());
}

// Paused, this instance's hook is not set at all, and the companion's
// hooks know no host: every application, 64- and 32-bit, gets every
// message as if the utility were not there.
void SetPaused(bool paused) {
  Service& s = g_service;
  if (!s.serving || paused == s.paused) return;
  s.paused = paused;
  if (paused && s.hooked) ResetHook();
  s.hooked = !paused && SetHook(s.window, s.closeByMbtn);
  s.companion.SetPaused(paused);
  ShowTray();
}

void Carry(TrayCommand command) {
  switch (command) {
    case TrayCommand::PauseResume:
      return SetPaused(!g_service.paused);
    case TrayCommand::EditSettings:
      return EditSettingsFile(g_host_state.settings_path);
    case TrayCommand::StartWithWindows:
      if (!SetStartsWithWindows(!StartsWithWindows()))
        ShowResourceMessage(nullptr, IDS_CANNOT_START_WITH_WINDOWS,
                            MB_OK | MB_ICONEXCLAMATION, kProgramTitle);
      return;
    case TrayCommand::About:
      return ShowAbout(g_host_state.settings_path, ServiceState());
    case TrayCommand::Exit:
      PostMessageA(g_service.window, WM_DESTROY, 0, 0);
      return;
  }
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam) {
  static ModernWheel wheel;
  // Whatever goes wrong in one notification or command ends it, not the
  // host: the wheel of the whole desktop depends on it.
  try {
    if (message == kWmuSetPaused) {
      SetPaused(wParam != 0);
      return 0;
    }
    std::optional<TrayCommand> chosen;
    if (g_service.tray &&
        g_service.tray->OnMessage(message, wParam, lParam, chosen)) {
      if (chosen) Carry(*chosen);
      return 0;
    }
    if (Dispatch(g_desktop, g_host_state, wheel, message, wParam, lParam))
      return 0;
  } catch (...) {
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Looking for a running instance and creating this one's window are one
// step: two starts at the same moment would otherwise both miss the other's
// window. Held only for that step; a holder that hangs is waited for ten
// seconds, then the start goes on as it would without the lock.
class StartUpLock {
 public:
  StartUpLock() : mutex_(CreateMutexA(nullptr, FALSE, "Local\\Tavrin64")) {
    if (mutex_) WaitForSingleObject(mutex_, kStartUpLockWaitMs);
  }
  ~StartUpLock() {
    if (!mutex_) return;
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
  StartUpLock(const StartUpLock&) = delete;
  StartUpLock& operator=(const StartUpLock&) = delete;

 private:
  HANDLE mutex_;
};

HWND FindRunningInstance() { return FindWindowA(kWindowClass, kProgramTitle); }

// Asks the running instance to end, after the user's consent unless the
// start was a termination request, and waits up to five seconds for it.
int StopRunningInstance(HWND running, bool terminateRequest) {
  if (!terminateRequest &&
      ShowResourceMessage(nullptr, IDS_TERMINATE_QUESTION,
                          MB_YESNO | MB_ICONQUESTION, kProgramTitle) != IDYES)
    return kExitFailed;
  PostMessageA(running, WM_DESTROY, 0, 0);
  for (DWORD waited = 0; waited < kTerminateWaitMs;
       waited += kTerminateWaitStepMs) {
    Sleep(kTerminateWaitStepMs);
    if (!FindRunningInstance()) return kExitOk;
  }
  MessageBoxA(nullptr, "Terminate failed!", nullptr, MB_ICONERROR);
  return kExitFailed;
}

HWND CreateHostWindow(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = HostWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
  wc.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kWindowClass;
  RegisterClassExA(&wc);
  return CreateWindowExA(0, kWindowClass, kProgramTitle, WS_OVERLAPPEDWINDOW,
                         CW_USEDEFAULT, 0, 200, 100, nullptr, nullptr, instance,
                         nullptr);
}

// The settings file beside the program. A path too long for the 260-byte
// buffer leaves it empty: the host then runs on the defaults and never
// touches a file it did not mean.
void SetSettingsPath() {
  const std::string program = ProgramPath();
  if (!program.empty())
    SettingsPathFor(program, g_host_state.settings_path,
                    sizeof g_host_state.settings_path);
}

// Dispatches what is queued, but at most a round of messages: a stream
// that never pauses must not hold up a load or the companion, which the
// loop looks at between rounds. False once WM_QUIT ends the loop, with msg
// holding it.
constexpr int kMessagesARound = 64;
bool PumpMessages(MSG& msg) {
  for (int i = 0; i < kMessagesARound; ++i) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) break;
    if (msg.message == WM_QUIT) return false;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int) {
  const Request request = RequestOf(commandTail);
  HWND running = nullptr, window = nullptr;
  {
    const StartUpLock lock;
    running = FindRunningInstance();
    if (!running && request == Request::Start)
      window = CreateHostWindow(instance);
  }
  // Done once the running instance has paused or resumed its own hook.
  if (running && (request == Request::Pause || request == Request::Resume))
    return SendMessageTimeoutA(running, kWmuSetPaused,
                               request == Request::Pause, 0, SMTO_ABORTIFHUNG,
                               kTerminateWaitMs, nullptr)
               ? kExitOk
               : kExitFailed;
  if (running) return StopRunningInstance(running, request != Request::Start);
  // Nothing runs to end, pause or resume: no window, no hook, no box.
  if (request == Request::Terminate) return kExitOk;
  if (request != Request::Start || !window) return kExitFailed;
  const auto windowId = reinterpret_cast<WindowId>(window);
  AllowNotifications(g_desktop, windowId);
  Service& service = g_service;
  service.window = window;
  service.tray.emplace(window);
  // Explorer runs without elevation: its messages to an elevated host.
  g_desktop.AllowFromLowerPrograms(windowId, kWmuTrayIcon);
  g_desktop.AllowFromLowerPrograms(windowId, service.tray->TaskbarCreated());

  SetSettingsPath();
  // The defaults stand if the file cannot be read at all just now.
  rules::ResetClassLists(g_host_state);
  const bool loaded = rules::LoadSettings(g_host_state);
  service.closeByMbtn = g_host_state.settings_path[0] &&
                        rules::ReadCloseByMbtn(g_host_state.settings_path);
  // Only this instance's own hook is removed at the end: the state of the
  // library belongs to whoever set it.
  service.serving = service.hooked = SetHook(window, service.closeByMbtn);
  bool modernWheel = g_host_state.modern_wheel;
  if (service.serving) SetModernWheel(modernWheel);
  // 32-bit applications are served by a companion of that bitness.
  Companion& companion = service.companion;
  if (service.serving)
    companion.Start(window, service.closeByMbtn, modernWheel, false);
  ShowTray();

  // The thread that set the hook never waits without retrieving its
  // messages, nor on a disk: on Windows every 32-bit application's hook
  // calls wait for it. The settings watch reads the file on a thread of its
  // own; its loads and the companion are waited on beside the messages.
  MSG msg{};
  SettingsWatch watch(g_host_state.settings_path, loaded);
  g_desktop.SetWatch(&watch);
  for (;;) {
    HANDLE handles[3];
    DWORD count = 0;
    if (const HANDLE loads = watch.LoadedHandle()) handles[count++] = loads;
    count += companion.WaitHandles(handles + count);
    // Messages left from the last round end the wait at once; a signalled
    // handle still comes first.
    const DWORD woken = MsgWaitForMultipleObjectsEx(
        count, handles, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken < WAIT_OBJECT_0 + count) {
      const HANDLE signaled = handles[woken - WAIT_OBJECT_0];
      if (signaled == watch.LoadedHandle())
        watch.TakeLoaded(g_host_state);
      else
        companion.OnSignaled(signaled);
    }
    if (!PumpMessages(msg)) break;
    // A reload (by the watch, or by an edit) may have changed the wheel's
    // mode: the hooks of both bitnesses follow it.
    if (service.serving && g_host_state.modern_wheel != modernWheel) {
      modernWheel = g_host_state.modern_wheel;
      SetModernWheel(modernWheel);
      companion.SetModernWheel(modernWheel);
    }
    // ... and tray_icon, and the companion may serve, or have given up.
    ShowTray();
  }
  g_desktop.SetWatch(nullptr);
  // The hook goes first: from here on no application waits for this thread.
  if (service.hooked) ResetHook();
  service.tray.reset();
  companion.Stop();
  return static_cast<int>(static_cast<DWORD>(msg.wParam));
}
