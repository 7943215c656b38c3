// The end-to-end harness: the scene and its rows (scene.h), the processes
// that the cases drive (processes.h) and the boxes that they answer
// (boxes.h); here, the groups of cases and what they share.
#pragma once

#include <vector>

#include "boxes.h"
#include "processes.h"
#include "scene.h"

namespace e2e {

// The groups of cases, each in a file of its name, in the order that
// e2e_main.cpp runs them; those after StartupCases need the running host.
void HookCases();                 // hook_cases.cpp
void StartupCases();              // startup_cases.cpp, 64-bit
void SettingsLoaderCases();       // settings_cases.cpp, 64-bit
void CheckCases();                // check_cases.cpp, 64-bit
void SecondStartCases();          // startup_cases.cpp, 64-bit
void CompanionCases();            // companion_cases.cpp, 64-bit
void WheelAndButtonCases();       // wheel_button_cases.cpp
void HungApplicationCases();      // reliability_cases.cpp, 64-bit
void HostileNotificationCases();  // reliability_cases.cpp, 64-bit
void LateApplicationCases();      // companion_cases.cpp, 32-bit
void CompanionEndCases();         // companion_cases.cpp, 32-bit
int LateApplication();            // companion_cases.cpp, 32-bit
void EditorCases();               // editor_cases.cpp
void HandEditCases();             // settings_cases.cpp, 64-bit
void ModernWheelCases();          // wheel_button_cases.cpp
void TerminateCases(HANDLE host, bool asking = false);  // companion_cases
void RenamedCopyCases();       // startup_cases.cpp, 64-bit
void StandInCompanionCases();  // companion_cases.cpp, 64-bit
void FolderAwayCases();        // settings_cases.cpp, 64-bit
int StandInCompanion(const std::string& arguments);  // the same
int Probe();                                         // the same
void KilledHostCases();  // reliability_cases.cpp; 32-bit: companion_cases.cpp
void MakeNotificationArea();  // tray_cases.cpp, 64-bit
void TrayCases();             // the same
void PauseCases();            // tray_cases.cpp, 32-bit

// Before any hook, and after a host that is gone: the wheel untouched.
// clang-format off
inline const std::vector<Row> kUnhooked = {
  {"wheel reaches the focus window untouched", Child, Top, WM_MOUSEWHEEL, kUp, {{Top, WM_MOUSEWHEEL, kUp}}},
};
// A window of lines under the pointer, with the host's service on.
inline const Row kServed = {"", Child, Top, WM_MOUSEWHEEL, kDown, Lines(kDown, Child, WM_VSCROLL, 2)};
// clang-format on

// The settings file of the host cases.
inline const char kMainSettings[] =
    "[general]\r\nscroll_counts=2\r\nclose_by_mbtn=1\r\n[exclude_class]\r\n"
    "TvPane\r\nTvSync\r\nmsctls\r\n[exclude_parent_class]\r\nTvExcludedTop\r\n"
    "TvChild\r\n[mbtn_discard_class]\r\nTvDropTop\r\n[mbtn_passthrough_class]"
    "\r\nTvPassTop\r\nTvDropTop\r\n";

}  // namespace e2e
