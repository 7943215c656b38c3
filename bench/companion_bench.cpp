// What the 32-bit companion costs: the time from a new 32-bit window to its
// thread being served, and the companion's processor time while the desktop
// is idle. A 32-bit program: its windows are the 32-bit applications. Run
// under Wine, with the 64-bit build's folder:
//   tests/e2e/run_wine.sh build/win32/bin/companion_bench.exe
//   "Z:$PWD/build/win64/bin"
#include <windows.h>

#include <stdio.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool scrolled = false;

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_VSCROLL) scrolled = true;
  return DefWindowProcA(window, message, wParam, lParam);
}

// A new window, and wheel notches over it until the host scrolls it: the
// milliseconds from its making, or -1.
double ServedAfterMs(int round) {
  HWND window =
      CreateWindowExA(0, "TvBench", "", WS_POPUP | WS_VISIBLE, 100 + round % 10,
                      100, 200, 200, nullptr, nullptr, nullptr, nullptr);
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  SetCursorPos(200, 200);
  scrolled = false;
  const ULONGLONG deadline = GetTickCount64() + 3000;
  while (!scrolled && GetTickCount64() < deadline) {
    PostMessageA(window, WM_MOUSEWHEEL, 0xFF880000, 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
  QueryPerformanceCounter(&now);
  DestroyWindow(window);
  return scrolled ? static_cast<double>(now.QuadPart - start.QuadPart) * 1e3 /
                        static_cast<double>(frequency.QuadPart)
                  : -1;
}

HANDLE FindCompanion() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  HANDLE found = nullptr;
  for (BOOL more = Process32First(snapshot, &entry); more && !found;
       more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, "Tavrin32.exe") == 0)
      found = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                          entry.th32ProcessID);
  CloseHandle(snapshot);
  return found;
}

double CpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  const auto ticks = [](FILETIME t) {
    return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e4;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: companion_bench.exe FOLDER-OF-TAVRIN64.EXE\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "\\";
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.lpszClassName = "TvBench";
  RegisterClassA(&wc);
  if (FILE* f = fopen((folder + "Tavrin64.ini").c_str(), "wb")) {
    fputs("[general]\r\nscroll_counts=1\r\n", f);
    fclose(f);
  }
  std::string line = "\"" + folder + "Tavrin64.exe\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION host{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &host))
    return 1;
  HANDLE companion = nullptr;
  for (int i = 0; i < 100 && !(companion = FindCompanion()); ++i) Sleep(50);
  std::vector<double> served;
  for (int round = 0; round < 40; ++round)
    if (const double ms = ServedAfterMs(round); ms >= 0) served.push_back(ms);
  std::sort(served.begin(), served.end());
  if (!companion || served.empty()) return 1;
  printf(
      "new 32-bit window to its thread served, %zu of 40: p50 %.1f ms, "
      "max %.1f ms\n",
      served.size(), served[served.size() / 2], served.back());
  const double before = CpuMs(companion);
  Sleep(10000);
  printf("companion processor time over 10 s of an idle desktop: %.1f ms\n",
         CpuMs(companion) - before);
  line = "\"" + folder + "Tavrin64.exe\" terminate";
  PROCESS_INFORMATION stop{};
  CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                 nullptr, &si, &stop);
  WaitForSingleObject(host.hProcess, 5000);
  return 0;
}
