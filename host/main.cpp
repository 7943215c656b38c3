// Tavrin64.exe: starts the resident host, or stops the running one.
#include <windows.h>

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

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam) {
  static ModernWheel wheel;
  // Whatever goes wrong in one notification ends that notification, not the
  // host: the wheel of the whole desktop depends on it.
  try {
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
  const bool terminateRequest = IsTerminateRequest(commandTail);
  HWND running = nullptr, window = nullptr;
  {
    const StartUpLock lock;
    running = FindRunningInstance();
    if (!running && !terminateRequest) window = CreateHostWindow(instance);
  }
  if (running) return StopRunningInstance(running, terminateRequest);
  if (terminateRequest) return kExitOk;
  if (!window) return kExitFailed;
  AllowNotifications(g_desktop, reinterpret_cast<WindowId>(window));

  SetSettingsPath();
  // The defaults stand if the file cannot be read at all just now.
  rules::ResetClassLists(g_host_state);
  const bool loaded = rules::LoadSettings(g_host_state);
  const bool closeByMbtn = g_host_state.settings_path[0] &&
                           rules::ReadCloseByMbtn(g_host_state.settings_path);
  // Only this instance's own hook is removed at the end: the state of the
  // library belongs to whoever set it.
  const bool hooked = SetHook(window, closeByMbtn);
  bool modernWheel = g_host_state.modern_wheel;
  if (hooked) SetModernWheel(modernWheel);
  // 32-bit applications are served by a companion of that bitness.
  Companion companion;
  if (hooked) companion.Start(window, closeByMbtn, modernWheel);

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
    if (hooked && g_host_state.modern_wheel != modernWheel) {
      modernWheel = g_host_state.modern_wheel;
      SetModernWheel(modernWheel);
      companion.SetModernWheel(modernWheel);
    }
  }
  g_desktop.SetWatch(nullptr);
  // The hook goes first: from here on no application waits for this thread.
  if (hooked) ResetHook();
  companion.Stop();
  return static_cast<int>(static_cast<DWORD>(msg.wParam));
}
