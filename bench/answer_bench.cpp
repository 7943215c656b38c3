// How long the host's thread goes without answering messages, which on
// Windows is how long every 32-bit application's hook calls wait: a probe
// thread sends the host window WM_NULL every 10 ms and keeps the longest
// wait of each phase: the start, a reload of a hostile 6 MB settings file,
// notches over an up-down control whose thread hangs, and the terminate.
//
//   tests/e2e/run_wine.sh build/win64/bin/answer_bench.exe
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "host_probe.h"
#include "hostile_settings.h"
#include "start_process.h"

namespace {

constexpr const char* kPhases[] = {"start", "hostile 6 MB reload",
                                   "hung up-down control", "terminate"};
std::atomic<int> phase{0};
std::atomic<ULONGLONG> longest[4];
std::atomic<bool> probing{true};

DWORD WINAPI Probe(void*) {
  ProbeHost(5000, probing, [](ULONGLONG took) {
    std::atomic<ULONGLONG>& most = longest[phase];
    most = std::max(most.load(), took);
  });
  return 0;
}

// A thread whose up-down control stops answering at once.
DWORD WINAPI HungUpDown(void* release) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "msctls_updown32";
  RegisterClassA(&wc);
  CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 600, 400, 100,
                  100, nullptr, nullptr, nullptr, nullptr);
  WaitForSingleObject(release, INFINITE);
  return 0;
}

void Wait(DWORD ms) {
  for (const ULONGLONG until = GetTickCount64() + ms;
       GetTickCount64() < until;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void Write(const std::string& file, const std::string& text) {
  if (FILE* f = fopen(file.c_str(), "wb")) {
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
  }
}

}  // namespace

int main() {
  char path[MAX_PATH];
  std::string dir(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  dir.resize(dir.find_last_of('\\') + 1);
  const std::string settings = dir + "Tavrin64.ini";
  Write(settings, "[general]\r\nscroll_counts=3\r\n");
  HANDLE probe = CreateThread(nullptr, 0, Probe, nullptr, 0, nullptr);
  HANDLE host = StartProcess("\"" + dir + "Tavrin64.exe\"");
  Wait(2000);

  phase = 1;
  Write(settings, HostileSettings("[general]\r\nscroll_counts=3\r\n"));
  Wait(3000);

  phase = 2;
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE hung = CreateThread(nullptr, 0, HungUpDown, release, 0, nullptr);
  HWND target = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0,
                                100, 100, nullptr, nullptr, nullptr, nullptr);
  Wait(500);
  SetCursorPos(650, 450);
  for (int i = 0; i < 5; ++i) {
    PostMessageA(target, WM_MOUSEWHEEL, 0xFF880000, MAKELPARAM(650, 450));
    Wait(300);
  }
  SetEvent(release);
  WaitForSingleObject(hung, 5000);

  phase = 3;
  WaitForSingleObject(StartProcess("\"" + dir + "Tavrin64.exe\" terminate"),
                      10000);
  WaitForSingleObject(host, 10000);
  probing = false;
  WaitForSingleObject(probe, 10000);
  DeleteFileA(settings.c_str());
  for (int i = 0; i < 4; ++i)
    printf("%-22s the host's thread went at most %4llu ms without answering\n",
           kPhases[i], longest[i].load());
  return host ? 0 : 1;
}
