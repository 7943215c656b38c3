// The start-up decisions of the host program, over plain strings.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string_view>

namespace tavrin::host {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = -1;  // 0xFFFFFFFF

// What a start asks of the running instance: the command-line tail (after
// the program name and the blanks that follow it) is exactly one of the
// words, in small letters, with nothing after it; anything else is a start.
enum class Request { Start, Terminate, Pause, Resume };
Request RequestOf(std::string_view commandTail);

// Sent by a start with "pause" or "resume" to the running instance's
// window. wParam: 1 pause, 0 resume.
inline constexpr uint32_t kWmuSetPaused = 0x8000 + 1300;

// The settings file for a program path: everything from the path's last "."
// replaced by ".ini", or ".ini" appended when there is no ".". Written with
// its NUL into out (size bytes); false, leaving out empty, when it does not
// fit.
bool SettingsPathFor(std::string_view programPath, char* out, size_t size);

}  // namespace tavrin::host
