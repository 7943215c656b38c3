// How the 64-bit host starts its 32-bit companion, which serves 32-bit
// applications, and what the companion's exit code tells the host.
#pragma once

namespace tavrin {

// Beside Tavrin64.exe, with TV_Hook.dll.
inline constexpr char kCompanionFile[] = "Tavrin32.exe";

// The command line after the program's name: the host window and the ready
// event (hexadecimal handles), the close flag (0 or 1) and the host's
// process id; the companion sets the event once it serves.
inline constexpr char kCompanionArguments[] = "%lx %lx %lu %lu";

enum CompanionExit : int {
  kCompanionDone = 0,       // the host ended or asked it to end
  kCompanionUsage = 1,      // not started by a host: it explained itself
  kCompanionNoLibrary = 2,  // TV_Hook.dll is missing or not ours
  kCompanionRefused = 3,    // another companion serves this host
};

}  // namespace tavrin
