#include "companion.h"

#include <stdio.h>

#include <string>

#include "companion_protocol.h"
#include "program_identity.h"
#include "program_path.h"
#include "resource_ids.h"
#include "resource_message.h"

namespace tavrin::host {

namespace {

// A companion that ended after serving for less than a minute ended "in a
// row" with the one before; after three such ends it is not started again.
constexpr int kMaxRestarts = 3;
constexpr ULONGLONG kRestartWindowMs = 60000;

DWORD WINAPI ShowNotServed(void* missing) {
  ShowResourceMessage(nullptr, IDS_NO_32BIT, MB_OK | MB_ICONWARNING,
                      kProgramTitle, static_cast<const char*>(missing));
  return 0;
}

}  // namespace

void Companion::Start(HWND window, bool closeByMbtn, bool modernWheel,
                      bool paused) {
  window_ = window;
  closeByMbtn_ = closeByMbtn;
  modernWheel_ = modernWheel;
  paused_ = paused;
  Launch();
}

void Companion::Launch() {
  // By its full path only: a bare name would be looked up in the current
  // folder too.
  const std::string file = BesideProgram(kCompanionFile);
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  ready_ = CreateEventA(&inherited, TRUE, FALSE, nullptr);
  char arguments[64];
  snprintf(arguments, sizeof arguments, kCompanionArguments,
           static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window_)),
           static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(ready_)),
           (closeByMbtn_ ? kCompanionClose : 0) |
               (modernWheel_ ? kCompanionModern : 0) |
               (paused_ ? kCompanionPaused : 0),
           GetCurrentProcessId());
  std::string line = "\"" + file + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (ready_ && !file.empty() &&
      CreateProcessA(file.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                     nullptr, nullptr, &startup, &process_)) {
    CloseHandle(process_.hThread);
    process_.hThread = nullptr;
    return;
  }
  process_ = {};
  if (ready_) CloseHandle(ready_);
  ready_ = nullptr;
  TellNotServed(kCompanionFile);
}

DWORD Companion::WaitHandles(HANDLE* handles) const {
  DWORD count = 0;
  if (ready_) handles[count++] = ready_;
  if (process_.hProcess) handles[count++] = process_.hProcess;
  return count;
}

void Companion::OnSignaled(HANDLE handle) {
  if (handle == ready_) {
    CloseHandle(ready_);
    ready_ = nullptr;
    servingSince_ = GetTickCount64();
    // Its thread has a queue now: the mode or the pause may have changed
    // since its command line was made.
    TellState();
    return;
  }
  if (handle != process_.hProcess) return;
  DWORD code = kCompanionDone;
  GetExitCodeProcess(process_.hProcess, &code);
  CloseHandle(process_.hProcess);
  process_ = {};
  const bool served = !ready_;
  if (ready_) CloseHandle(ready_);
  ready_ = nullptr;
  if (code == kCompanionNoLibrary || code == kCompanionRefused ||
      code == kCompanionUsage)
    return TellNotServed(code == kCompanionNoLibrary ? "TV_Hook.dll"
                                                     : kCompanionFile);
  // Killed or crashed, while it served or as it started: Windows has removed
  // its thread hooks. One that served for a while starts a new row.
  if (served && GetTickCount64() - servingSince_ > kRestartWindowMs)
    restarts_ = 0;
  if (restarts_++ < kMaxRestarts)
    Launch();
  else
    TellNotServed(kCompanionFile);
}

void Companion::TellNotServed(const char* missing) {
  missing_ = missing;
  if (told_) return;
  told_ = true;
  if (HANDLE thread = CreateThread(nullptr, 0, ShowNotServed,
                                   const_cast<char*>(missing), 0, nullptr))
    CloseHandle(thread);
}

void Companion::SetModernWheel(bool modernWheel) {
  modernWheel_ = modernWheel;
  // One still starting may have no queue yet: it is told once it serves.
  if (!ready_) TellState();
}

void Companion::SetPaused(bool paused) {
  paused_ = paused;
  if (!ready_) TellState();
}

void Companion::TellState() {
  if (!process_.hProcess) return;
  PostThreadMessageA(process_.dwThreadId, kCompanionSetModernWheel,
                     modernWheel_, 0);
  PostThreadMessageA(process_.dwThreadId, kCompanionSetPaused, paused_, 0);
}

void Companion::Stop() {
  if (ready_) CloseHandle(ready_);
  ready_ = nullptr;
  if (!process_.hProcess) return;
  PostThreadMessageA(process_.dwThreadId, WM_QUIT, 0, 0);
  const ULONGLONG until = GetTickCount64() + kStopWaitMs;
  for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
    if (MsgWaitForMultipleObjects(1, &process_.hProcess, FALSE,
                                  static_cast<DWORD>(until - now),
                                  QS_ALLINPUT) != WAIT_OBJECT_0 + 1)
      break;  // it ended, or the time is up
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  CloseHandle(process_.hProcess);
  process_ = {};
}

}  // namespace tavrin::host
