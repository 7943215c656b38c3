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

// Run as "e2e_runner.exe probe": sends the host window WM_NULL every 10 ms,
// from its appearance to its end; the longest it took to answer, in ms
// (250 when it did not answer within 250 ms, 9999 with no host at all).
int Probe() {
  HWND host = nullptr;
  for (int i = 0; i < 1000 && !(host = HostWindow()); ++i) Sleep(10);
  ULONGLONG longest = 0;
  while (host && IsWindow(host)) {
    const ULONGLONG asked = GetTickCount64();
    DWORD_PTR reply = 0;
    const bool answered =
        SendMessageTimeoutA(host, WM_NULL, 0, 0, SMTO_NORMAL, 250, &reply);
    if (IsWindow(host))
      longest = std::max(longest, answered ? GetTickCount64() - asked : 250);
    Sleep(10);  // the probe's own pace
  }
  return host ? static_cast<int>(longest) : 9999;
}

// A companion slow to answer, and one that never does: the host's thread
// answers within 250 ms throughout the start and the terminate, serves a
// notch made a second after its start within 500 ms, has removed its hook
// while it still waits for the companion at its end, and the terminate
// succeeds. Then a companion ended by force is started again.
void StandInCompanionCases() {
  // clang-format off
  const Row served = {"", Child, Top, WM_MOUSEWHEEL, kDown, Lines(kDown, Child, WM_VSCROLL, 2)};
  // clang-format on
  const std::string companion = Host(kCompanionFile);
  MoveFileA(companion.c_str(), Host("Tavrin32.real").c_str());
  CopyFileA(Here("e2e_runner.exe").c_str(), companion.c_str(), FALSE);
  WriteFile("Tavrin64.ini", kMainSettings);
  for (const char* pace : {"slow", "never"}) {
    WriteFile("standin.txt", pace);
    HANDLE probe = Start("e2e_runner.exe probe", true);
    HANDLE host = Start("Tavrin64.exe");
    hostSync = true;
    Pump([] { return false; }, 1000);
    const ULONGLONG notch = GetTickCount64();
    std::string detail, unhooked;
    const bool inTime =
        RunRow(served, detail) && GetTickCount64() - notch <= 500;
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
  HANDLE host = StartHost("Tavrin64.exe");
  CompanionStarts(HostWindow());
  const std::string first = ReadFile("standin.pid");
  HANDLE ended = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                             std::stoul(first.empty() ? "0" : first));
  TerminateProcess(ended, 1);
  WaitForSingleObject(ended, 1000);
  CloseHandle(ended);
  Check(Pump(
            [&] {
              return ReadFile("standin.pid") != first &&
                     CompanionRuns(HostWindow());
            },
            1000),
        "a companion ended by force: a new one runs within a second");
  TerminateCases(host);
  // None beside the host, and the stand-in in the host's current folder,
  // where a bare name would find it: it is never started.
  const std::string bare = Here("bare\\") + kCompanionFile;
  CreateDirectoryA(Here("bare").c_str(), nullptr);
  DeleteFileA(Here("bare\\standin.pid").c_str());
  MoveFileA(companion.c_str(), bare.c_str());
  CopyFileA(Here("TV_Hook64.dll").c_str(), Here("bare\\TV_Hook64.dll").c_str(),
            FALSE);  // which the stand-in, this program, loads
  host = Start("Tavrin64.exe", false, nullptr, Here("bare").c_str());
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
