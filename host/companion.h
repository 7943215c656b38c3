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

  // Starts it for the host window and the close flag, and waits until it
  // serves. When it cannot serve, the user is told once, without stopping
  // this thread, that 32-bit applications are not served, and why.
  void Start(HWND window, bool closeByMbtn);

  // Asks it to end and waits a moment for it.
  void Stop();

 private:
  PROCESS_INFORMATION process_{};
};

}  // namespace tavrin::host
