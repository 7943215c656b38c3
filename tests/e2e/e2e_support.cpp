#include "e2e_support.h"

#include <stdio.h>

#include <algorithm>

namespace tavrin::e2e {

Sink::Sink(UINT firstPosted, UINT lastPosted)
    : firstPosted_(firstPosted), lastPosted_(lastPosted) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kSinkClass;
  RegisterClassA(&wc);
  window_ = CreateWindowExA(0, kSinkClass, kSinkClass, WS_OVERLAPPEDWINDOW, 0,
                            0, 100, 100, nullptr, nullptr, wc.hInstance, this);
}

HWND Sink::WindowFor(Role role) const {
  for (auto it = records.rbegin(); it != records.rend(); ++it)
    if (it->kind == RecordKind::Window &&
        it->message == static_cast<uint32_t>(role))
      return reinterpret_cast<HWND>(it->window);
  return nullptr;
}

HANDLE Sink::StartTarget() {
  std::string commandLine = "\"";
  commandLine += ProgramDirectory();
  commandLine += "msg_target.exe\"";
  HANDLE target = StartProgram(commandLine);
  const auto ready = [&] {
    for (const LogRecord& r : records)
      if (r.kind == RecordKind::Ready) return true;
    return false;
  };
  if (target && PumpUntil(ready, 10000)) return target;
  if (target) TerminateProcess(target, 1);
  return nullptr;
}

LRESULT CALLBACK Sink::Proc(HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* sink =
      reinterpret_cast<Sink*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (sink && message == WM_COPYDATA) {
    auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data->cbData == sizeof(LogRecord))
      sink->records.push_back(*static_cast<const LogRecord*>(data->lpData));
    return TRUE;
  }
  if (sink && message >= sink->firstPosted_ && message <= sink->lastPosted_) {
    sink->posted.push_back({RecordKind::Received, message,
                            reinterpret_cast<uintptr_t>(window), wParam,
                            static_cast<int64_t>(lParam)});
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!done()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    // A message, or 10 ms at most: some conditions (a file, a window of
    // another process) change without a message to this thread.
    MsgWaitForMultipleObjects(
        0, nullptr, FALSE,
        static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 10)),
        QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}

void Drain(DWORD settleMs) {
  PumpUntil([] { return false; }, settleMs);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::string ProgramDirectory() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  return dir.substr(0, dir.find_last_of("\\/") + 1);
}

HANDLE StartProgram(const std::string& commandLine) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0,
                       nullptr, nullptr, &si, &pi)) {
      CloseHandle(pi.hThread);
      return pi.hProcess;
    }
    // Wine sometimes refuses the first start right after the prefix comes
    // up (error 1359); a second try succeeds.
    Sleep(200);
  }
  return nullptr;
}

DWORD RunProgram(const std::string& commandLine) {
  const size_t blank = commandLine.find(' ');
  std::string line = "\"" + ProgramDirectory();
  line += commandLine.substr(0, blank);
  line += "\"";
  if (blank != std::string::npos) line += commandLine.substr(blank);
  return ExitCodeOf(StartProgram(line));
}

DWORD ExitCodeOf(HANDLE process) {
  DWORD code = 0xDEAD;
  if (process && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process, &code);
  if (process) CloseHandle(process);
  return code;
}

void WriteSettings(const std::string& programPath, const std::string& text) {
  const std::string path =
      programPath.substr(0, programPath.rfind('.')) + ".ini";
  if (FILE* f = fopen(path.c_str(), "wb")) {
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
  }
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
      bytes.append(buffer, n);
    fclose(f);
  }
  return bytes;
}

void XdoTool(const std::string& arguments) {
  // Wine starts Unix programs too (xdotool inherits DISPLAY), but gives no
  // process handle for them: the end shows as a file that the shell then
  // creates. Meanwhile the sink goes on taking what targets send, or they
  // would stall.
  char done[MAX_PATH];
  GetTempFileNameA("Z:\\tmp", "xdo", 0, done);
  DeleteFileA(done);
  std::string unixDone = done + 2;  // without the drive
  for (char& c : unixDone)
    if (c == '\\') c = '/';
  if (HANDLE shell = StartProgram("Z:\\bin\\sh -c \"xdotool " + arguments +
                                  "; touch " + unixDone + "\""))
    CloseHandle(shell);
  PumpUntil([&] { return GetFileAttributesA(done) != INVALID_FILE_ATTRIBUTES; },
            10000);
  DeleteFileA(done);
}

HWND WaitForMessageBox(const char* caption, DWORD timeoutMs) {
  // FindWindowA finds the box before its controls exist; it counts once it
  // shows, with its text.
  HWND box = nullptr;
  const bool shown = PumpUntil(
      [&] {
        box = FindWindowA("#32770", caption);
        return box && IsWindowVisible(box) && GetDlgItem(box, 0xFFFF);
      },
      timeoutMs);
  return shown ? box : nullptr;
}

MessageBoxSeen AnswerMessageBox(const char* caption, WPARAM button,
                                DWORD timeoutMs) {
  MessageBoxSeen seen;
  HWND box = WaitForMessageBox(caption, timeoutMs);
  if (!box) return seen;
  seen.found = true;
  char text[1024] = "";
  DWORD_PTR ignored;
  if (HWND label = GetDlgItem(box, 0xFFFF))
    SendMessageTimeoutA(label, WM_GETTEXT, sizeof text,
                        reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000,
                        &ignored);
  seen.text = text;
  // Wine's DM_GETDEFID always names IDOK: the style tells the default.
  for (int id : {IDOK, IDCANCEL, IDYES, IDNO})
    if (HWND b = GetDlgItem(box, id))
      if ((GetWindowLongA(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
        seen.defaultButton = id;
  PostMessageA(box, WM_COMMAND, button, 0);
  PumpUntil([&] { return !IsWindow(box); }, 2000);
  return seen;
}

MessageBoxSeen AnswerMessageBoxDuring(const char* caption, WPARAM button,
                                      const std::function<void()>& call) {
  struct Job {
    const char* caption;
    WPARAM button;
    MessageBoxSeen seen;
    static DWORD WINAPI Run(void* p) {
      auto* j = static_cast<Job*>(p);
      j->seen = AnswerMessageBox(j->caption, j->button);
      return 0;
    }
  } job{caption, button, {}};
  HANDLE thread = CreateThread(nullptr, 0, Job::Run, &job, 0, nullptr);
  call();
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return job.seen;
}

void Checks::Expect(bool ok, const std::string& name,
                    const std::string& detail) {
  ++(ok ? passed_ : failed_);
  printf("%s %s%s%s\n", ok ? "ok  " : "FAIL", name.c_str(),
         ok || detail.empty() ? "" : "\n", ok ? "" : detail.c_str());
  fflush(stdout);
}

int Checks::Finish(const char* title) {
  printf("%s: %d passed, %d failed\n", title, passed_, failed_);
  return failed_ ? 1 : 0;
}

std::string Hex(uint64_t value) {
  char text[32];
  snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace tavrin::e2e
