// The end-to-end runner: the real binaries under Wine, each group of cases
// in a file of its own (harness.h lists them), run in one order because the
// host cases share one running host and one settings file.
#include "companion_protocol.h"
#include "harness.h"

using namespace e2e;

int main(int argc, char** argv) {
#ifdef _WIN64
  // Copied beside the host as its companion, or started to probe the host.
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (Here(kCompanionFile) == self) {
    std::string arguments;
    for (int i = 1; i < argc; ++i) arguments += argv[i] + " "s;
    return StandInCompanion(arguments);
  }
  if (argc > 1 && argv[1] == "probe"s) return Probe();
#else
  if (argc > 1 && argv[1] == "late"s) return LateApplication();
#endif
  CreateScene();
  if (kNo32Bit) SetTimer(nullptr, 0, 10, NoCompanionTimer);
  HookCases();
#ifdef _WIN64
  StartupCases();
  SettingsLoaderCases();
  CheckCases();
  MakeNotificationArea();
#endif
  WriteFile("Tavrin64.ini", kMainSettings);
  HANDLE host = StartHost("Tavrin64.exe");
  if (Check(host && (kNo32Bit || CompanionStarts(HostWindow())),
            "the host starts with its companion and serves the wheel")) {
#ifdef _WIN64
    SecondStartCases();
    CompanionCases();
#endif
    WheelAndButtonCases();
#ifdef _WIN64
    HungApplicationCases();
    HostileNotificationCases();
#else
    LateApplicationCases();
    PauseCases();
#endif
    EditorCases();
#ifdef _WIN64
    HandEditCases();
#endif
    ModernWheelCases();
    TerminateCases(host, true);
#ifdef _WIN64
    TrayCases();
    RenamedCopyCases();
    StandInCompanionCases();
    FolderAwayCases();
#endif
    KilledHostCases();
#ifndef _WIN64
    CompanionEndCases();
#endif
  }
  printf("e2e: %d passed, %d failed\n", passed, failed);
  return failed ? 1 : 0;
}
