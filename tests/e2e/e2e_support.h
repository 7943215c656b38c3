// Helpers for the end-to-end drivers: a sink window that collects what
// targets report and what the hook library notifies, pumping with a
// deadline, starting programs, and answering message boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "e2e_log.h"

namespace tavrin::e2e {

// The hidden window (class kSinkClass) that records every LogRecord sent to
// it and every posted message in [firstPosted, lastPosted], as a Received
// record whose window is the sink itself.
class Sink {
 public:
  Sink(UINT firstPosted, UINT lastPosted);
  HWND window() const { return window_; }
  // The window announced for the role, or null.
  HWND WindowFor(Role role) const;
  // Starts msg_target.exe beside this program and waits until it has
  // announced its windows; null when it does not come up.
  HANDLE StartTarget();

  std::vector<LogRecord> records;  // from targets, in arrival order
  std::vector<LogRecord> posted;   // posted to the sink, in arrival order

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND window_;
  UINT firstPosted_, lastPosted_;
};

// Dispatches this thread's messages until done() or the deadline, checking
// done() after every message and every 10 ms; returns done() at the end.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Dispatches whatever is queued now, and what arrives within settleMs.
void Drain(DWORD settleMs = 0);

// The directory of this program, with a trailing backslash.
std::string ProgramDirectory();

// Starts a program; retries the sporadic failure right after Wine starts.
HANDLE StartProgram(const std::string& commandLine);

// Starts a program beside this one, "NAME.exe ARGUMENTS", waits for it to
// end and returns its exit code (0xDEAD when it cannot be had).
DWORD RunProgram(const std::string& commandLine);

// Waits up to ten seconds for the process to end; its exit code, or 0xDEAD.
DWORD ExitCodeOf(HANDLE process);

// Writes the settings file of the program (its path with ".ini").
void WriteSettings(const std::string& programPath, const std::string& text);

// The bytes of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// Runs xdotool with the arguments on the X display that Wine draws on.
void XdoTool(const std::string& arguments);

struct MessageBoxSeen {
  bool found = false;
  std::string text;
  int defaultButton = 0;  // the id of the button with BS_DEFPUSHBUTTON
};

// Waits, pumping, for a message box with this caption (in any process) to
// show; null when none does.
HWND WaitForMessageBox(const char* caption, DWORD timeoutMs = 5000);

// Waits for a message box with this caption (in any process), reads its
// text and presses `button`.
MessageBoxSeen AnswerMessageBox(const char* caption, WPARAM button,
                                DWORD timeoutMs = 5000);

// Runs `call` in this thread while another thread answers the message box
// that it is expected to show.
MessageBoxSeen AnswerMessageBoxDuring(const char* caption, WPARAM button,
                                      const std::function<void()>& call);

// Counts and prints checks; the summary line is what CTest shows.
class Checks {
 public:
  void Expect(bool ok, const std::string& name, const std::string& detail = "");
  int Finish(const char* title);

 private:
  int passed_ = 0, failed_ = 0;
};

std::string Hex(uint64_t value);

}  // namespace tavrin::e2e
