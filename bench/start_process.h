// Starts a program of the benchmarks or the end-to-end cases, as a command
// line, and hands back its process; tried three times, as Wine may refuse a
// start right after its prefix comes up. With `output`, its standard output
// goes there; with `folder`, that is its current folder. Null when it could
// not be started.
#pragma once

#include <windows.h>

#include <string>

inline HANDLE StartProcess(const std::string& commandLine,
                           HANDLE output = nullptr,
                           const char* folder = nullptr) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = output ? STARTF_USESTDHANDLES : 0;
  si.hStdOutput = output;
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;
  for (int attempt = 0; attempt < 3; ++attempt, Sleep(200))
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr,
                       output != nullptr, 0, nullptr, folder, &si, &pi)) {
      CloseHandle(pi.hThread);
      return pi.hProcess;
    }
  return nullptr;
}
