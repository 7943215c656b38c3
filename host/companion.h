// The 32-bit companion (Tavrin32.exe beside the program), which serves
// 32-bit applications for this 64-bit host. Nothing here waits for it on
// the host's thread while the hook is set: the message loop waits for its
// ready event and its end beside the messages.
#pragma once

#include <windows.h>

namespace tavrin::host {

class Companion {
 public:
  // How long Stop waits for it to end, retrieving messages meanwhile.
  static constexpr DWORD kStopWaitMs = 2000;

  Companion() = default;
  Companion(const Companion&) = delete;
  Companion& operator=(const Companion&) = delete;
  ~Companion() { Stop(); }

  // Starts it for the host window, the close flag, the wheel's mode and
  // whether the user paused the service.
  void Start(HWND window, bool closeByMbtn, bool modernWheel, bool paused);

  // What the message loop waits on for it: its ready event while it starts,
  // and its process while it runs. Writes up to two handles; their count.
  DWORD WaitHandles(HANDLE* handles) const;

  // One of WaitHandles() was signalled. A companion whose exit code says
  // that it cannot serve (no library, another one serves) is not started
  // again, and the user is told once, from a thread of its own, that 32-bit
  // applications are not served, and why. One ended otherwise, while it
  // serves or as it starts, is started again, up to three times in a row.
  void OnSignaled(HANDLE handle);

  // Switches the 32-bit hooks' wheel mode: at once if it serves, else as
  // soon as it does.
  void SetModernWheel(bool modernWheel);
  // Pauses or resumes the 32-bit hooks, as SetModernWheel.
  void SetPaused(bool paused);

  // Once it was given up: the file that 32-bit applications lack (or that
  // could not start); null until then.
  const char* Missing() const { return missing_; }

  // Asks it to end and waits up to kStopWaitMs for it, retrieving the
  // thread's messages meanwhile.
  void Stop();

 private:
  void Launch();
  void TellState();
  void TellNotServed(const char* missing);

  HWND window_ = nullptr;
  bool closeByMbtn_ = false, modernWheel_ = false, paused_ = false;
  const char* missing_ = nullptr;  // once it cannot serve
  PROCESS_INFORMATION process_{};
  HANDLE ready_ = nullptr;      // until it serves
  ULONGLONG servingSince_ = 0;  // GetTickCount64 when it began to serve
  int restarts_ = 0;            // after ends in a row
  bool told_ = false;
};

}  // namespace tavrin::host
