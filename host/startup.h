// The start-up decisions of the host program, over plain strings.
#pragma once

#include <stddef.h>

#include <string_view>

namespace tavrin::host {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = -1;  // 0xFFFFFFFF

// Terminate the running instance instead of starting: the command-line tail
// (after the program name and the blanks that follow it) is exactly the word,
// in small letters, with nothing after it.
bool IsTerminateRequest(std::string_view commandTail);

// The settings file for a program path: everything from the path's last "."
// replaced by ".ini", or ".ini" appended when there is no ".". Written with
// its NUL into out (size bytes); false, leaving out empty, when it does not
// fit.
bool SettingsPathFor(std::string_view programPath, char* out, size_t size);

}  // namespace tavrin::host
