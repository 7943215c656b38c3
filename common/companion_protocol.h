// How the 64-bit host starts its 32-bit companion, which serves 32-bit
// applications, and what the companion's exit code tells the host.
#pragma once

namespace tavrin {

// Beside Tavrin64.exe, with TV_Hook.dll.
inline constexpr char kCompanionFile[] = "Tavrin32.exe";

// The command line after the program's name: the host window and the ready
// event (hexadecimal handles), the flags (kCompanionClose, kCompanionModern)
// and the host's process id; the companion sets the event once it serves.
inline constexpr char kCompanionArguments[] = "%lx %lx %lu %lu";
inline constexpr unsigned long kCompanionClose = 1;   // close_by_mbtn on
inline constexpr unsigned long kCompanionModern = 2;  // modern_wheel on
inline constexpr unsigned long kCompanionPaused = 4;  // the user paused it

// Posted to the companion's thread once it serves, and whenever a reload
// changes modern_wheel. wParam: 1 on, 0 off.
inline constexpr unsigned kCompanionSetModernWheel = 0x8000 + 1;

// Posted to the companion's thread once it serves, and whenever the user
// pauses or resumes the service. wParam: 1 paused, 0 serving.
inline constexpr unsigned kCompanionSetPaused = 0x8000 + 2;

// Its exit codes. Any other code (1 is what Task Manager's "End task" gives
// every program it ends) is an end by force, after which it is started
// again; after these, trying again cannot help.
enum CompanionExit : int {
  kCompanionDone = 0,            // the host ended or asked it to end
  kCompanionUsage = 0x7401,      // not started by a host: it explained itself
  kCompanionNoLibrary = 0x7402,  // TV_Hook.dll is missing or not ours
  kCompanionRefused = 0x7403,    // another companion serves this host
};

}  // namespace tavrin
