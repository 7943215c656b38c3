// The 32-bit companion (Tavrin32.exe beside the program), which serves
// 32-bit applications for this 64-bit host.
#pragma once

#include <windows.h>

namespace tavrin::host {

class Companion {
 public:
  Companion() = default;
  Companion(const Companion&) = delete;
  Companion& operator=(const Companion&) = delete;
  ~Companion() { Stop(); }

  // Starts it for the host window, the close flag and the wheel's mode, and
  // waits until it serves. When it cannot serve, the user is told once,
  // without stopping this thread, that 32-bit applications are not served,
  // and why.
  void Start(HWND window, bool closeByMbtn, bool modernWheel);

  // Switches the 32-bit hooks' wheel mode, if it runs.
  void SetModernWheel(bool modernWheel);

  // Asks it to end and waits a moment for it.
  void Stop();

 private:
  PROCESS_INFORMATION process_{};
};

}  // namespace tavrin::host
