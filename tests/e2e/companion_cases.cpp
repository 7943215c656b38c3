// The 32-bit companion: it runs beside the host, only one for a host, it
// explains itself when started by hand, it ends with the host, asked or
// killed, and it serves a 32-bit application started after it.
#include "companion_protocol.h"
#include "harness.h"

namespace e2e {

// A second companion for the running host is refused, and one started by
// hand explains itself.
void CompanionCases() {
  if (SkippedWithout32Bit("the companion's own cases")) return;
  DWORD process = 0;
  GetWindowThreadProcessId(HostWindow(), &process);
  char arguments[64];
  snprintf(arguments, sizeof arguments, kCompanionArguments,
           static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(HostWindow())),
           0ul, 0ul, process);
  Check(
      ExitCodeOf(Start(kCompanionFile + " "s + arguments)) == kCompanionRefused,
      "a second companion for the same host is refused");
  DWORD code = 0;
  const std::string text = Answer(
      kProgramTitle, IDOK, [&] { code = ExitCodeOf(Start(kCompanionFile)); });
  Check(code == kCompanionUsage && text.starts_with("Tavrin32.exe is part of"),
        "the companion started by hand explains itself", text);
}

// "terminate" ends the host, and its companion with it; also while the
// host asks a question, whose box goes with it.
void TerminateCases(HANDLE host, bool asking) {
  const HWND window = HostWindow();
  if (asking) AskAbout(Top);
  Check(ExitCodeOf(Start("Tavrin64.exe terminate")) == 0 &&
            ExitCodeOf(host) == 0 && !HostWindow() &&
            Pump([&] { return !CompanionRuns(window); }, 2000),
        "\"terminate\" ends the instance and its companion; both exit with 0"s +
            (asking ? ", also with a question open" : ""));
}

#ifndef _WIN64
// Ended by force: the companion ends within a second, its hooks removed,
// and 32-bit applications get their wheel untouched.
void KilledHostCases() {
  HANDLE host = StartHost("Tavrin64.exe");
  const HWND window = HostWindow();
  TerminateProcess(host, 1);
  Check(Pump([&] { return !CompanionRuns(window); }, 1000),
        "a host ended by force: its companion ends within a second");
  hostSync = false;
  Rows(kUnhooked);
}

// Run as "e2e_runner.exe late": a window of a process that did not run
// when the host started. 0 once a notch over it comes back as lines,
// within a second of its making.
int LateApplication() {
  HWND late = Make(kSceneWindows, "TvLate", WS_POPUP | WS_BORDER,
                   {560, 600, 120, 80}, nullptr);
  RECT r;
  GetWindowRect(late, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  const ULONGLONG made = GetTickCount64();
  const auto served = [] {
    return std::any_of(got.begin(), got.end(),
                       [](const Got& g) { return g.message == WM_VSCROLL; });
  };
  while (!served() && GetTickCount64() - made < 1000) {
    PostMessageA(late, WM_MOUSEWHEEL, kDown, kPointLParam);
    Pump(served, 50);
  }
  printf("a new 32-bit window served after %llu ms\n", GetTickCount64() - made);
  return served() ? 0 : 1;
}

void LateApplicationCases() {
  Check(ExitCodeOf(Start("e2e_runner.exe late", true)) == 0,
        "a 32-bit application started later is served within a second");
}
#endif

}  // namespace e2e
