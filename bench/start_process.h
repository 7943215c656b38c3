// Starts a program of the benchmarks, as a command line, and hands back its
// process; tried three times, as Wine may refuse a start right after its
// prefix comes up. Null when it could not be started.
#pragma once

#include <windows.h>

#include <string>

inline HANDLE StartProcess(const std::string& commandLine) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;
  for (int attempt = 0; attempt < 3; ++attempt, Sleep(200))
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0,
                       nullptr, nullptr, &si, &pi)) {
      CloseHandle(pi.hThread);
      return pi.hProcess;
    }
  return nullptr;
}
