// The 32-bit companion: it runs beside the host, only one for a host, it
// explains itself when started by hand, it ends with the host, asked or
// killed, it is started again when it ends, and it serves a 32-bit
// application started after it.
#include <windows.h>

#include <tlhelp32.h>

#include "companion_protocol.h"
#include "harness.h"
#include "host_probe.h"

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
  const auto [code, text] = RunAnswering(kCompanionFile, kProgramTitle, IDOK);
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
  CompanionStarts(window);
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

// The companion's process, or 0; one other than `other` when two run.
DWORD CompanionProcess(DWORD other = 0) {
  HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 p{};
  p.dwSize = sizeof p;
  DWORD found = 0;
  for (BOOL more = Process32First(all, &p); more && !found;
       more = Process32Next(all, &p))
    if (!lstrcmpiA(p.szExeFile, kCompanionFile) && p.th32ProcessID != other)
      found = p.th32ProcessID;
  CloseHandle(all);
  return found;
}

void SetSuspended(DWORD process, bool suspended) {
  HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 t{};
  t.dwSize = sizeof t;
  for (BOOL more = Thread32First(all, &t); more; more = Thread32Next(all, &t)) {
    if (t.th32OwnerProcessID != process) continue;
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, t.th32ThreadID);
    suspended ? SuspendThread(thread) : ResumeThread(thread);
    CloseHandle(thread);
  }
  CloseHandle(all);
}

// The companion of an earlier host, held up until the next host serves,
// neither makes that host's notches go round (both hook the same threads)
// nor switches its 32-bit service off when it ends. A companion ended
// by force is started again within a second and serves the 32-bit
// applications started after that. Last, since under Wine the thread hooks
// of a killed process stay (so an application already running proves
// nothing).
void CompanionEndCases() {
  WriteFile("Tavrin64.ini", kMainSettings);
  HANDLE first = StartHost("Tavrin64.exe");
  CompanionStarts(HostWindow());
  const DWORD held = CompanionProcess();
  HANDLE heldProcess = OpenProcess(SYNCHRONIZE, FALSE, held);
  SetSuspended(held, true);
  Kill(first, 2000);
  HANDLE host = StartHost("Tavrin64.exe");
  CompanionStarts(HostWindow());
  std::string whileHeld, after;
  const bool servedWhileHeld = RunRow(kServed, whileHeld);
  SetSuspended(held, false);
  Check(servedWhileHeld &&
            WaitForSingleObject(heldProcess, 2000) == WAIT_OBJECT_0 &&
            RunRow(kServed, after),
        "the companion of an earlier host: the next host serves while it is "
        "held, and after it ends",
        whileHeld + "\n" + after);
  CloseHandle(heldProcess);

  const DWORD killed = CompanionProcess();
  // Held open, its process id cannot be given to the next one.
  HANDLE ended = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, killed);
  Kill(ended, 1000);
  // The next one is ended as well, as soon as it is seen: long before it
  // can serve (its loader alone takes a tenth of a second here).
  DWORD starting = 0;
  Pump([&] { return (starting = CompanionProcess(killed)) != 0; }, 1000);
  HANDLE second = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, starting);
  Kill(second, 1000);
  Check(Pump(
            [&] {
              return CompanionProcess(starting) && CompanionRuns(HostWindow());
            },
            1000),
        "a companion ended by force, and the next one as it starts: a new one "
        "runs within a second");
  CloseHandle(ended);
  CloseHandle(second);
  LateApplicationCases();
  TerminateCases(host);
}
#endif

#ifdef _WIN64
// This program copied beside the host as Tavrin32.exe: a stand-in for the
// companion, at the pace that standin.txt beside it sets: "slow", ready
// after 4 s; "never", never ready, and deaf to the host's WM_QUIT; else
// ready at once. It writes its process id to standin.pid and ends with its
// host.
int StandInCompanion(const std::string& arguments) {
  unsigned long window = 0, event = 0, flags = 0, process = 0;
  if (sscanf(arguments.c_str(), kCompanionArguments, &window, &event, &flags,
             &process) != 4)
    return kCompanionUsage;
  const std::string pace = ReadFile("standin.txt");
  const std::string name = "Local\\Tavrin32." + std::to_string(window);
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  WriteFile("standin.pid", std::to_string(GetCurrentProcessId()));
  HANDLE host = OpenProcess(SYNCHRONIZE, FALSE, process);
  if (pace != "never") {
    if (pace == "slow") Sleep(4000);  // its pace: slow to answer
    SetEvent(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(event)));
  }
  for (bool asked = false; !asked || pace == "never";) {
    if (MsgWaitForMultipleObjects(1, &host, FALSE, INFINITE, QS_ALLINPUT) ==
        WAIT_OBJECT_0)
      break;
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
      asked |= msg.message == WM_QUIT;
  }
  CloseHandle(mutex);
  return kCompanionDone;
}

// Run as "e2e_runner.exe probe": the longest the host's thread took to
// answer from its appearance to its end, in ms (250 when it did not answer
// within 250 ms, 9999 with no host at all).
int Probe() {
  ULONGLONG longest = 0;
  const std::atomic<bool> probing{true};
  const bool found = ProbeHost(
      250, probing, [&](ULONGLONG took) { longest = std::max(longest, took); });
  return found ? static_cast<int>(longest) : 9999;
}

// A companion slow to answer, and one that never does: the host's thread
// answers within 250 ms throughout the start and the terminate, serves a
// notch made a second after its start within 500 ms, has removed its hook
// while it still waits for the companion at its end, and the terminate
// succeeds. Then a bare companion name is never looked up.
void StandInCompanionCases() {
  const std::string companion = Host(kCompanionFile);
  MoveFileA(companion.c_str(), Host("Tavrin32.real").c_str());
  CopyFileA(Here("e2e_runner.exe").c_str(), companion.c_str(), FALSE);
  WriteFile("Tavrin64.ini", kMainSettings);
  for (const char* pace : {"slow", "never"}) {
    WriteFile("standin.txt", pace);
    HANDLE probe = Start("e2e_runner.exe probe", true);
    HANDLE host = LaunchHost("Tavrin64.exe");
    Pump([] { return false; }, 1000);
    const ULONGLONG notch = GetTickCount64();
    std::string detail, unhooked;
    const bool inTime =
        RunRow(kServed, detail) && GetTickCount64() - notch <= 500;
    HANDLE terminate = Start("Tavrin64.exe terminate");
    Pump([] { return false; }, 300);  // the host now waits for its companion
    hostSync = false;
    const bool untouched = RunRow(kUnhooked[0], unhooked);
    const DWORD asked = ExitCodeOf(terminate), longest = ExitCodeOf(probe);
    printf(
        "a companion %s to answer: the host's thread went at most %lu ms "
        "without answering\n",
        pace, longest);
    Check(inTime && untouched && asked == 0 && ExitCodeOf(host) == 0 &&
              longest < 250,
          "a companion "s + pace +
              " to answer: the host answers within 250 ms throughout, "
              "serves a notch in time, and ends at once",
          detail + "\n" + unhooked);
  }
  WriteFile("standin.txt", "");
  // None beside the host, and the stand-in in the host's current folder,
  // where a bare name would find it: it is never started.
  const std::string bare = Here("bare\\") + kCompanionFile;
  CreateDirectoryA(Here("bare").c_str(), nullptr);
  DeleteFileA(Here("bare\\standin.pid").c_str());
  MoveFileA(companion.c_str(), bare.c_str());
  CopyFileA(Here("TV_Hook64.dll").c_str(), Here("bare\\TV_Hook64.dll").c_str(),
            FALSE);  // which the stand-in, this program, loads
  HANDLE host = Start("Tavrin64.exe", false, nullptr, Here("bare").c_str());
  // Started, it writes its process id; not, the host says it could not.
  const auto started = [] {
    return GetFileAttributesA(Here("bare\\standin.pid").c_str()) !=
           INVALID_FILE_ATTRIBUTES;
  };
  const int notices = noCompanionNotices;
  const auto told = [&] {
    EnumWindows(AnswerNoCompanion, 0);
    return noCompanionNotices > notices;
  };
  Check(Pump([&] { return told() || started(); }, 5000) && !started(),
        "a bare Tavrin32.exe in the host's current folder is never started");
  TerminateCases(host);
  DeleteFileA(bare.c_str());
  MoveFileA(Host("Tavrin32.real").c_str(), companion.c_str());
}
#endif

}  // namespace e2e
