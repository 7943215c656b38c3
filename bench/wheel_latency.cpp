// How long the utility takes to turn a wheel notch into scrolling, next to
// what one plain post between two processes costs on the same machine.
//
//   run_wine.sh build/win64/bin/wheel_latency.exe [NOTCHES]
//
// This program is the target application: it starts Tavrin64.exe beside it,
// puts the pointer over its own window and posts itself a WM_MOUSEWHEEL per
// notch, as the system would. The time runs from the moment its message
// loop retrieves that message (the hook has nullified it by then) to the
// moment the first WM_VSCROLL from the host arrives. For comparison, a
// second copy of this program ("echo") receives posts stamped with the
// sender's clock and reports how long each took.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "start_process.h"

namespace {

constexpr UINT kPing = WM_APP + 1;  // lParam: the sender's clock
constexpr UINT kPong = WM_APP + 2;  // lParam: ticks the ping took
constexpr char kEchoClass[] = "TavrinLatencyEcho";

LONGLONG Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

double Microseconds(LONGLONG ticks) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(ticks) * 1e6 / static_cast<double>(f.QuadPart);
}

HWND CreatePlainWindow(const char* name, int x, int y) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = name;
  RegisterClassA(&wc);
  return CreateWindowExA(0, name, name, WS_POPUP | WS_VISIBLE, x, y, 200, 200,
                         nullptr, nullptr, wc.hInstance, nullptr);
}

std::string ProgramDirectory() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  return dir.substr(0, dir.find_last_of("\\/") + 1);
}

// The next message of this thread, before the deadline (GetTickCount64).
bool Next(MSG& msg, ULONGLONG deadline) {
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE,
                              static_cast<DWORD>(deadline - now), QS_ALLINPUT);
  }
}

int Echo() {
  CreatePlainWindow(kEchoClass, 800, 540);  // clear of the target
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == kPing)
      PostMessageA(reinterpret_cast<HWND>(msg.wParam), kPong, 0,
                   Now() - msg.lParam);
    else
      DispatchMessageA(&msg);
  }
  return 0;
}

// Every wheel message carries the pointer's point, where the window lies:
// with modern_wheel the host looks for the window there. Top left, clear of
// any message box, which the system centres.
constexpr int kPointX = 110, kPointY = 110;
constexpr LPARAM kPoint = MAKELONG(kPointX, kPointY);

// One notch: ticks from retrieval to the first line message, or -1.
LONGLONG Notch(HWND window) {
  PostMessageA(window, WM_MOUSEWHEEL, 0xFF880000, kPoint);
  LONGLONG retrieved = -1, scrolled = -1;
  const ULONGLONG deadline = GetTickCount64() + 1000;
  MSG msg;
  while (Next(msg, deadline)) {
    if (msg.hwnd != window) {
      DispatchMessageA(&msg);
      continue;
    }
    if (msg.message == WM_NULL) retrieved = Now();
    if (msg.message == WM_VSCROLL && scrolled < 0) scrolled = Now();
    if (msg.message == WM_VSCROLL && msg.wParam == SB_ENDSCROLL) break;
  }
  return retrieved >= 0 && scrolled >= 0 ? scrolled - retrieved : -1;
}

void Report(const char* what, std::vector<LONGLONG> ticks) {
  std::sort(ticks.begin(), ticks.end());
  const auto at = [&](size_t percent) {
    return Microseconds(ticks[percent * (ticks.size() - 1) / 100]);
  };
  printf("%-44s n=%zu  p50 %8.1f us  p99 %8.1f us\n", what, ticks.size(),
         at(50), at(99));
}

// 10,000 notches, 100 in flight at a time, each done when its SB_ENDSCROLL
// arrives: notches per second.
double Throughput(HWND window, int& done) {
  done = 0;
  const LONGLONG start = Now();
  for (int batch = 0; batch < 100; ++batch) {
    for (int i = 0; i < 100; ++i)
      PostMessageA(window, WM_MOUSEWHEEL, 0xFF880000, kPoint);
    MSG msg;
    const ULONGLONG deadline = GetTickCount64() + 5000;
    for (int ends = 0; ends < 100 && Next(msg, deadline);) {
      if (msg.hwnd != window)
        DispatchMessageA(&msg);
      else if (msg.message == WM_VSCROLL && msg.wParam == SB_ENDSCROLL)
        ++ends, ++done;
    }
  }
  return done / (Microseconds(Now() - start) / 1e6);
}

// The lines that one message of a third of a notch brings: 3 as a whole
// notch, 1 with modern_wheel; 0 when none came within a second.
int LinesOfAThird(HWND window) {
  PostMessageA(window, WM_MOUSEWHEEL, 0xFFD80000, kPoint);  // -40
  int lines = 0;
  MSG msg;
  const ULONGLONG deadline = GetTickCount64() + 1000;
  while (Next(msg, deadline)) {
    if (msg.hwnd != window)
      DispatchMessageA(&msg);
    else if (msg.message == WM_VSCROLL && msg.wParam == SB_ENDSCROLL)
      return lines;
    else if (msg.message == WM_VSCROLL)
      ++lines;
  }
  return 0;
}

void WriteSettings(const std::string& file, const char* text) {
  if (FILE* f = fopen(file.c_str(), "wb")) {
    fputs(text, f);
    fclose(f);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "echo") return Echo();
  const int notches = argc > 1 ? atoi(argv[1]) : 2000;
  const std::string dir = ProgramDirectory();

  // Three lines a notch, whatever an earlier run left beside the program.
  const std::string settings = dir + "Tavrin64.ini";
  WriteSettings(settings, "[general]\r\nscroll_counts=3\r\n");
  HWND window = CreatePlainWindow("TavrinLatencyTarget", 10, 10);
  SetCursorPos(kPointX, kPointY);
  HANDLE echo = StartProcess("\"" + dir + "wheel_latency.exe\" echo");
  HANDLE host = StartProcess("\"" + dir + "Tavrin64.exe\"");
  HWND echoWindow = nullptr;
  for (int i = 0; i < 100 && !(echoWindow = FindWindowA(kEchoClass, nullptr));
       ++i)
    Sleep(50);
  bool ready = false;
  for (int i = 0; i < 20 && !ready; ++i) ready = Notch(window) >= 0;
  if (!echo || !host || !echoWindow || !ready) {
    fprintf(stderr, "could not start the host or the echo process\n");
    return 1;
  }

  std::vector<LONGLONG> wheel, post;
  for (int i = 0; i < notches; ++i) {
    const LONGLONG t = Notch(window);
    if (t >= 0) wheel.push_back(t);
    PostMessageA(echoWindow, kPing, reinterpret_cast<WPARAM>(window), Now());
    MSG msg;
    const ULONGLONG deadline = GetTickCount64() + 1000;
    while (Next(msg, deadline) && msg.message != kPong) DispatchMessageA(&msg);
    if (msg.message == kPong) post.push_back(msg.lParam);
  }
  Report("wheel notch to first line message", wheel);
  Report("one plain post to another process", post);

  int done = 0, modernDone = 0;
  const double off = Throughput(window, done);
  // The same with modern_wheel, once the host has read it (its hand-edit
  // reload takes about a second).
  WriteSettings(settings, "[general]\r\nscroll_counts=3\r\nmodern_wheel=1\r\n");
  bool modern = false;
  for (const ULONGLONG until = GetTickCount64() + 5000;
       !modern && GetTickCount64() < until;)
    modern = LinesOfAThird(window) == 1;
  const double on = modern ? Throughput(window, modernDone) : 0;
  printf("%d notches, 100 at a time: %.0f notches per second\n", done, off);
  printf("%d notches, 100 at a time, modern_wheel=1: %.0f notches per second\n",
         modernDone, on);

  const std::string terminate = "\"" + dir + "Tavrin64.exe\" terminate";
  WaitForSingleObject(StartProcess(terminate), 5000);
  PostMessageA(echoWindow, WM_QUIT, 0, 0);
  WaitForSingleObject(echo, 5000);
  return wheel.size() == static_cast<size_t>(notches) && modern ? 0 : 1;
}
