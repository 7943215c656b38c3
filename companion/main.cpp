// Tavrin32.exe: serves 32-bit applications for the 64-bit host. Windows maps
// a hook library only into processes of its own bitness, and a global hook
// whose library cannot be loaded ends the hook chain of the processes of the
// other bitness (under Wine) or runs in the setting thread for each of their
// messages (on Windows). So this program hooks the GUI threads of 32-bit
// processes one by one with TV_Hook.dll, those running now and those that
// make their first window later, and never touches a 64-bit process. It
// shows no window, and ends, removing its hooks, when the host asks it to
// (WM_QUIT) or its process ends.
//
// Its command line and exit codes: common/companion_protocol.h.
#include <windows.h>

#include <stdio.h>

#include "companion_ids.h"
#include "companion_protocol.h"
#include "hook_api.h"
#include "program_identity.h"

using namespace tavrin;

namespace {

decltype(&HookThread) hookThread;

// Threads seen so far, with their creation time (an id that comes back
// belongs to a new thread), whether they run in a 32-bit process, and their
// hook, null for a 64-bit thread or one whose hook the system refused. A
// desktop has hundreds of GUI threads, not millions: a list does.
struct Seen {
  DWORD thread;
  ULONGLONG created;
  bool wow64;
  HHOOK hook;
};
Seen* seen = nullptr;
size_t seenCount = 0, seenCapacity = 0;

Seen* Find(DWORD thread) {
  for (size_t i = 0; i < seenCount; ++i)
    if (seen[i].thread == thread) return &seen[i];
  return nullptr;
}

Seen* Add(DWORD thread) {
  if (seenCount == seenCapacity) {
    const size_t capacity = seenCapacity ? 2 * seenCapacity : 256;
    void* grown =
        seen ? HeapReAlloc(GetProcessHeap(), 0, seen, capacity * sizeof *seen)
             : HeapAlloc(GetProcessHeap(), 0, capacity * sizeof *seen);
    if (!grown) return nullptr;
    seen = static_cast<Seen*>(grown);
    seenCapacity = capacity;
  }
  seen[seenCount] = {thread, 0, false, nullptr};
  return &seen[seenCount++];
}

// When the thread was made and its process, both from one handle.
bool FactsOf(HANDLE thread, ULONGLONG& created, DWORD& process) {
  FILETIME made{}, unused[3];
  GetThreadTimes(thread, &made, &unused[0], &unused[1], &unused[2]);
  created = (ULONGLONG{made.dwHighDateTime} << 32) | made.dwLowDateTime;
  process = GetProcessIdOfThread(thread);
  return process != 0;
}

// A 32-bit process on 64-bit Windows runs under WOW64, as this one does.
bool Is32Bit(DWORD process) {
  BOOL wow64 = FALSE;
  if (HANDLE p =
          OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process)) {
    IsWow64Process(p, &wow64);
    CloseHandle(p);
  }
  return wow64;
}

void ServeThread(DWORD thread, HANDLE handle) {
  ULONGLONG created = 0;
  DWORD process = 0;
  if (!FactsOf(handle, created, process) || process == GetCurrentProcessId())
    return;
  Seen* entry = Find(thread);
  // A 32-bit thread whose hook the system refused is tried again whenever
  // it shows a window.
  if (entry && entry->created == created && (entry->hook || !entry->wow64))
    return;
  if (entry && entry->hook) UnhookWindowsHookEx(entry->hook);
  if (!entry && !(entry = Add(thread))) return;
  entry->created = created;
  entry->wow64 = Is32Bit(process);
  entry->hook = entry->wow64 ? hookThread(thread) : nullptr;
  // Told to a debugger (under Wine: WINEDEBUG=+debugstr), to count them.
  if (entry->wow64 && !entry->hook)
    OutputDebugStringA("Tavrin32: a thread hook was refused\n");
}

void Serve(HWND window) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (!thread) return;
  // Held open until the thread is hooked: while a handle to a thread is
  // open, its id names no other thread, perhaps one of a 64-bit process.
  const HANDLE handle =
      OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread);
  if (!handle) return;
  ServeThread(thread, handle);
  CloseHandle(handle);
}

BOOL CALLBACK ServeChildren(HWND window, LPARAM) {
  Serve(window);
  return TRUE;
}

BOOL CALLBACK ServeAll(HWND window, LPARAM) {
  Serve(window);
  EnumChildWindows(window, ServeChildren, 0);
  return TRUE;
}

// A window was made or shown anywhere on the desktop.
void CALLBACK OnWindow(HWINEVENTHOOK, DWORD, HWND window, LONG object,
                       LONG child, DWORD, DWORD) {
  if (window && object == OBJID_WINDOW && child == CHILDID_SELF) Serve(window);
}

int Explain(HINSTANCE instance) {
  char text[1024] = "";
  LoadStringA(instance, IDS_COMPANION_ABOUT, text, sizeof text);
  MessageBoxA(nullptr, text, kProgramTitle, MB_OK | MB_ICONINFORMATION);
  return kCompanionUsage;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR tail, int) {
  unsigned long window = 0, flags = 0, process = 0, event = 0;
  if (sscanf(tail, kCompanionArguments, &window, &event, &flags, &process) != 4)
    return Explain(instance);
  const HWND host = reinterpret_cast<HWND>(window);
  DWORD owner = 0;
  GetWindowThreadProcessId(host, &owner);
  HANDLE hostProcess = OpenProcess(SYNCHRONIZE, FALSE, process);
  // A command line of the host's form that names no running host: no box,
  // which would keep a host waiting for the answer.
  if (!IsWindow(host) || owner != process || !hostProcess)
    return kCompanionUsage;
  const HANDLE ready = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(event));

  // One companion for a host.
  char name[64];
  wsprintfA(name, "Local\\Tavrin32.%lu", window);
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
  if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS)
    return kCompanionRefused;

  // Loaded here, not by the loader: without it the host must learn why.
  HMODULE library = LoadLibraryA("TV_Hook.dll");
  const auto find = [library](const char* symbol) {
    return library ? reinterpret_cast<void*>(GetProcAddress(library, symbol))
                   : nullptr;
  };
  hookThread = reinterpret_cast<decltype(&HookThread)>(find("HookThread"));
  const auto setHostWindow =
      reinterpret_cast<decltype(&SetHostWindow)>(find("SetHostWindow"));
  const auto setModernWheel =
      reinterpret_cast<decltype(&SetModernWheel)>(find("SetModernWheel"));
  const auto releaseHostWindow =
      reinterpret_cast<decltype(&ReleaseHostWindow)>(find("ReleaseHostWindow"));
  if (!hookThread || !setHostWindow || !setModernWheel || !releaseHostWindow)
    return kCompanionNoLibrary;
  // Paused, the hooks know no host and take nothing over.
  const bool closeByMbtn = (flags & kCompanionClose) != 0;
  const auto setPaused = [&](bool paused) {
    setHostWindow(paused ? nullptr : host, closeByMbtn);
  };
  setModernWheel((flags & kCompanionModern) != 0);
  setPaused((flags & kCompanionPaused) != 0);

  // Windows made from now on, then the ones already there.
  HWINEVENTHOOK events =
      SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, OnWindow,
                      0, 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  EnumWindows(ServeAll, 0);
  // The host tells it the wheel's mode once it serves: its queue must be
  // there by then.
  MSG msg;
  PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  SetEvent(ready);

  for (bool serving = true; serving;) {
    if (MsgWaitForMultipleObjects(1, &hostProcess, FALSE, INFINITE,
                                  QS_ALLINPUT) == WAIT_OBJECT_0)
      break;  // the host is gone, even without a word
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) serving = false;
      if (msg.message == kCompanionSetModernWheel)
        setModernWheel(msg.wParam != 0);
      if (msg.message == kCompanionSetPaused) setPaused(msg.wParam != 0);
      DispatchMessageA(&msg);
    }
  }
  UnhookWinEvent(events);
  for (size_t i = 0; i < seenCount; ++i)
    if (seen[i].hook) UnhookWindowsHookEx(seen[i].hook);
  releaseHostWindow(host);
  return kCompanionDone;
}
