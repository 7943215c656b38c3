// The processes that the end-to-end cases drive: the programs beside
// Tavrin64.exe and their files, started and ended, the host started as the
// scene's host, and its companion.
#pragma once

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "program_identity.h"
#include "scene.h"
#include "start_process.h"

namespace e2e {

constexpr DWORD kFailed = 0xFFFFFFFF;  // the host's exit code -1

// This machine runs no 32-bit program (scripts/wine_session.sh): no
// companion can start, the cases that need one are skipped, and the notice
// that each start of the host shows for it is answered wherever it shows.
inline const bool kNo32Bit = getenv("TAVRIN_NO_32BIT") != nullptr;

// True, after saying so, when the case needs a 32-bit program to run.
inline bool SkippedWithout32Bit(const char* name) {
  if (kNo32Bit) printf("skip %s: this machine runs no 32-bit programs\n", name);
  return kNo32Bit;
}

// A file in this program's folder.
inline std::string Here(const std::string& name) {
  char path[MAX_PATH];
  const std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return self.substr(0, self.find_last_of('\\') + 1) + name;
}

// A file beside Tavrin64.exe: this program's own folder in the 64-bit
// build; the 32-bit build's windows are served by the 64-bit build's host.
inline std::string Host(const std::string& name) {
#ifdef TAVRIN_HOST_DIR
  std::string path = TAVRIN_HOST_DIR + name;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
#else
  return Here(name);
#endif
}

inline std::string ReadFile(const std::string& name) {
  std::ifstream in(Host(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const std::string& name, const std::string& text,
                      std::ios::openmode mode = std::ios::trunc) {
  std::ofstream(Host(name), std::ios::binary | mode) << text;
}

// Starts "NAME.exe ARGS" from the host's folder, or this program's own.
inline HANDLE Start(const std::string& commandLine, bool own = false,
                    HANDLE output = nullptr, const char* folder = nullptr) {
  const size_t blank = std::min(commandLine.find(' '), commandLine.size());
  const std::string name = commandLine.substr(0, blank);
  return StartProcess(
      "\"" + (own ? Here(name) : Host(name)) + "\"" + commandLine.substr(blank),
      output, folder);
}

// The exit code once the process ends, pumping meanwhile; 0xDEAD if never.
inline DWORD ExitCodeOf(HANDLE process) {
  DWORD code = 0xDEAD;
  if (process && Pump([&] { return !WaitForSingleObject(process, 0); }, 10000))
    GetExitCodeProcess(process, &code);
  if (process) CloseHandle(process);
  return code;
}

// Ends the process by force, as a crash would, and waits at most `waitMs`
// for it to go. The handle stays open, so that no other process gets its
// id meanwhile.
inline void Kill(HANDLE process, DWORD waitMs) {
  TerminateProcess(process, 1);
  WaitForSingleObject(process, waitMs);
}

// The file beside the host, held without sharing as an editor may hold it;
// tried while the host reads it, for up to 2 s.
inline HANDLE Hold(const std::string& name) {
  HANDLE h = INVALID_HANDLE_VALUE;
  Pump(
      [&] {
        return (h = CreateFileA(Host(name).c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr)) !=
               INVALID_HANDLE_VALUE;
      },
      2000);
  return h;
}

inline HWND HostWindow() { return FindWindowA(kWindowClass, kProgramTitle); }

// Starts the program, in the current folder `folder` if given, as the
// scene's host: from now on each case ends with a notch through it. It may
// not serve yet.
inline HANDLE LaunchHost(const std::string& program,
                         const char* folder = nullptr) {
  HANDLE host = Start(program, false, nullptr, folder);
  hostSync = true;
  return host;
}

// Starts the program and waits until a notch comes back through it.
inline HANDLE StartHost(const std::string& program) {
  HANDLE host = LaunchHost(program);
  for (int i = 0; host && i < 40; ++i)
    if (Settle(0, 250)) return host;
  return nullptr;
}

// Whether the companion of the host with this window still runs.
inline bool CompanionRuns(HWND host) {
  const std::string name =
      "Local\\Tavrin32." + std::to_string(static_cast<unsigned long>(
                               reinterpret_cast<UINT_PTR>(host)));
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
  if (mutex) CloseHandle(mutex);
  return mutex != nullptr;
}

// The host starts its companion beside its message loop, without waiting
// for it: the companion runs a moment after the host is ready.
inline bool CompanionStarts(HWND host) {
  return Pump([&] { return CompanionRuns(host); }, 5000);
}

}  // namespace e2e
