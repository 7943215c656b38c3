#include "companion.h"

#include <stdio.h>
#include <string.h>

#include <string>

#include "companion_protocol.h"
#include "program_identity.h"
#include "program_path.h"
#include "resource_ids.h"
#include "resource_message.h"

namespace tavrin::host {

namespace {

// Loading TV_Hook.dll and hooking the threads of the running 32-bit
// applications takes a moment; one that takes longer serves all the same.
constexpr DWORD kStartWaitMs = 5000;
constexpr DWORD kStopWaitMs = 2000;

// In a thread of its own: the host's own thread must go on serving.
DWORD WINAPI TellNotServed(void* missing) {
  ShowResourceMessage(nullptr, IDS_NO_32BIT, MB_OK | MB_ICONWARNING,
                      kProgramTitle, static_cast<const char*>(missing));
  return 0;
}

}  // namespace

void Companion::Start(HWND window, bool closeByMbtn, bool modernWheel) {
  // By its full path only: a bare name would be looked up in the current
  // folder too.
  const std::string file = BesideProgram(kCompanionFile);
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE ready = CreateEventA(&inherited, TRUE, FALSE, nullptr);
  char arguments[64];
  snprintf(arguments, sizeof arguments, kCompanionArguments,
           static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)),
           static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(ready)),
           (closeByMbtn ? kCompanionClose : 0) |
               (modernWheel ? kCompanionModern : 0),
           GetCurrentProcessId());
  std::string line = "\"" + file + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  DWORD code = kCompanionDone;
  bool serving = ready && !file.empty() &&
                 CreateProcessA(file.c_str(), line.data(), nullptr, nullptr,
                                TRUE, 0, nullptr, nullptr, &startup, &process_);
  if (serving) {
    CloseHandle(process_.hThread);
    process_.hThread = nullptr;
    const HANDLE both[] = {ready, process_.hProcess};
    if (WaitForMultipleObjects(2, both, FALSE, kStartWaitMs) ==
        WAIT_OBJECT_0 + 1) {
      GetExitCodeProcess(process_.hProcess, &code);
      CloseHandle(process_.hProcess);
      process_ = {};
      serving = false;
    }
  }
  if (ready) CloseHandle(ready);
  if (serving) return;
  static const char kLibrary[] = "TV_Hook.dll";
  const char* missing = code == kCompanionNoLibrary ? kLibrary : kCompanionFile;
  if (HANDLE thread = CreateThread(nullptr, 0, TellNotServed,
                                   const_cast<char*>(missing), 0, nullptr))
    CloseHandle(thread);
}

void Companion::SetModernWheel(bool modernWheel) {
  if (process_.hProcess)
    PostThreadMessageA(process_.dwThreadId, kCompanionSetModernWheel,
                       modernWheel, 0);
}

void Companion::Stop() {
  if (!process_.hProcess) return;
  PostThreadMessageA(process_.dwThreadId, WM_QUIT, 0, 0);
  WaitForSingleObject(process_.hProcess, kStopWaitMs);
  CloseHandle(process_.hProcess);
  process_ = {};
}

}  // namespace tavrin::host
