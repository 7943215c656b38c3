// The hook library: loaded by Windows into every GUI process of its bitness,
// so it carries no runtime, does nothing on load and keeps the common path of
// HookProc to three tests and the hand-off to CallNextHookEx.
#include <windows.h>

#define TAVRIN_HOOK_LIBRARY  // defines what hook_api.h declares
#include "hook_api.h"
#include "hook_filter.h"
#include "shared_section.h"

namespace {

#ifdef _WIN64
constexpr char kTitle[] = "Tavrin64";
#else
constexpr char kTitle[] = "Tavrin";
#endif

// Per process: the module that holds HookProc, for SetWindowsHookExA.
HINSTANCE moduleInstance = nullptr;

void Report(const char* text) { MessageBoxA(nullptr, text, kTitle, MB_OK); }

LRESULT PassOn(int code, WPARAM removal, LPARAM record) {
  return CallNextHookEx(SharedHookHandle, code, removal, record);
}

}  // namespace

// Kept out of line so that HookProc itself holds only the common path.
extern "C" __attribute__((noinline)) LRESULT CALLBACK
HandleCandidate(int code, WPARAM removal, LPARAM record) {
  using namespace tavrin::hook;
  MSG* msg = reinterpret_cast<MSG*>(record);
  const HWND host = SharedHostWindow;
  // A host that died without ResetHook leaves its window behind in the
  // shared section: the user's input then passes on untouched.
  const Decision decision = DecideCandidate<WPARAM>(
      msg->message, msg->wParam, SharedCloseByMbtn != 0, SharedModernWheel != 0,
      host != nullptr && IsWindow(host));
  for (uint32_t i = 0; i < CountOf(decision); ++i) {
    const Target target = TargetOf(decision, i);
    const WPARAM word =
        target == Target::MessageWParam ? msg->wParam
        : target == Target::MessageWindow
            ? reinterpret_cast<WPARAM>(msg->hwnd)
            : reinterpret_cast<WPARAM>(WindowFromPoint(msg->pt));
    PostMessageA(host, MessageOf(decision, i), word, msg->lParam);
  }
  switch (OutcomeOf(decision)) {
    case Outcome::Swallow:
      msg->message = WM_NULL;
      return 0;
    case Outcome::StripMarker: {
      // Stripped once the rest of the chain has seen it: a second hook of
      // ours further on (a companion that outlives its host still hooks
      // the threads that the next one hooks) must also see the message as
      // ours, or it would take it over again, and again.
      const LRESULT result = PassOn(code, removal, record);
      msg->wParam = WithoutMarker(msg->wParam);
      return result;
    }
    case Outcome::PassOn:
      break;
  }
  return PassOn(code, removal, record);
}

// Called for every message that every hooked thread retrieves.
#ifdef _WIN64
extern "C" LRESULT CALLBACK HookProc(int code, WPARAM removal, LPARAM record) {
  if (tavrin::hook::IsCandidate<WPARAM>(
          code, removal, reinterpret_cast<const MSG*>(record)->message))
    return HandleCandidate(code, removal, record);
  return PassOn(code, removal, record);
}
#else
// The same function, written out for the 32-bit build: GCC's stdcall code
// for it saves a register and copies the three stack arguments back and
// forth, six more instructions on the path that every message of every
// application takes. The tests are those of IsCandidate. To hand on, the
// hook handle is slipped in under the return address and CallNextHookEx is
// jumped to: it removes its four arguments, which are ours plus the handle,
// and returns straight to our caller.
static_assert(offsetof(MSG, message) == 4);
static_assert(tavrin::kWmMButtonDown == 0x207 &&
              tavrin::kWmMouseHWheel - tavrin::kWmMButtonDown == 7);
extern "C" __attribute__((naked)) LRESULT CALLBACK HookProc(int, WPARAM,
                                                            LPARAM) {
  asm("cmpl  $0, 4(%esp)\n\t"  // code < 0: hand on
      "jl    1f\n\t"
      "cmpl  $1, 8(%esp)\n\t"  // removal != PM_REMOVE: hand on
      "jne   1f\n\t"
      "movl  12(%esp), %eax\n\t"
      "movl  4(%eax), %eax\n\t"  // record->message
      "subl  $0x207, %eax\n\t"
      "cmpl  $7, %eax\n\t"
      "jbe   _HandleCandidate@12\n"
      "1:\n\t"
      "popl  %eax\n\t"
      "pushl _SharedHookHandle\n\t"
      "pushl %eax\n\t"
      "jmp   *__imp__CallNextHookEx@16");
}
#endif

extern "C" bool SetHook(HWND window, bool closeByMbtn) {
  if (SharedHostWindow && IsWindow(SharedHostWindow)) {
    Report("Hook handle is already set");
    return false;
  }
  // A host that died without ResetHook: Windows has removed its hook, Wine
  // keeps it, and a second copy of HookProc in the chain would catch again
  // what the first let through.
  if (SharedHookHandle) UnhookWindowsHookEx(SharedHookHandle);
  SharedCloseByMbtn = closeByMbtn;
  SharedHookHandle =
      SetWindowsHookExA(WH_GETMESSAGE, HookProc, moduleInstance, 0);
  if (!SharedHookHandle) {
    Report("Hook registration failed!");
    return false;
  }
  SharedHostWindow = window;
  return true;
}

extern "C" void SetModernWheel(bool modernWheel) {
  SharedModernWheel = modernWheel;
}

#ifndef _WIN64
extern "C" void SetHostWindow(HWND window, bool closeByMbtn) {
  SharedCloseByMbtn = closeByMbtn;
  SharedHostWindow = window;
}

extern "C" void ReleaseHostWindow(HWND window) {
  __sync_bool_compare_and_swap(&SharedHostWindow, window, nullptr);
}

extern "C" HHOOK HookThread(DWORD threadId) {
  return SetWindowsHookExA(WH_GETMESSAGE, HookProc, moduleInstance, threadId);
}
#endif

extern "C" bool ResetHook() {
  const HHOOK hook = SharedHookHandle;
  SharedHostWindow = nullptr;
  SharedHookHandle = nullptr;
  if (!hook || !UnhookWindowsHookEx(hook)) {
    Report("Hook unregistration failed!");
    return false;
  }
  return true;
}

// The library's entry point; there is no C runtime start-up behind it.
extern "C" BOOL WINAPI DllEntry(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) moduleInstance = instance;
  return TRUE;
}
