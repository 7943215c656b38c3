// tavrin-check's work apart from platform calls: what the host reads from a
// settings file, line by line, with the traps in it, and what the wheel and
// a middle click do over a window of a given class. Everything it says
// comes from the reader and the rules that the host acts on. One file for
// each job: file_traps.cpp (ExplainFile, PrintFile), window_verdict.cpp
// (PrintWindow), json_output.cpp (its --json object), command_line.cpp
// (ParseArgs, kUsage); wording.cpp words what all of them show.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host_state.h"

namespace tavrin::check {

// Settings that read as something else than their writer meant.
enum class Trap {
  BlankAroundKey,    // the key keeps a blank at either end
  BlankAroundValue,  // " 1" is not a value that lists the key
  DuplicateSection,  // a later section of the same name is never read
  ShadowedPrefix,    // a longer key that begins with this one hides it
  NeverMatches,      // an exclude_class key that sorts first
};

struct Warning {
  Trap trap;
  std::string text;
};

// One piece of a line, as the host's reader takes it.
struct Note {
  int line;          // from 1
  int piece;         // 1, or more for the rest of a line longer than a piece
  std::string text;  // as read, less its line end
  std::string what;  // what the host makes of it
  std::vector<Warning> warnings;
};

struct FileExplanation {
  std::vector<Note> notes;
  // The lists the notes add up to, sentinels included: what a load reads
  // from the same bytes.
  std::unique_ptr<rules::HostState> lists;
  size_t warnings = 0;
  bool readFailed = false;
};

// Reads the file from its position to its end.
FileExplanation ExplainFile(FILE* file);

// The settings that the system's profile functions read, as the host takes
// them.
struct Effective {
  int32_t scrollCounts;
  bool closeByMbtn;
  bool modernWheel;
  bool trayIcon;
};

// tavrin-check FILE: every line, then the effective settings.
void PrintFile(FILE* out, std::string_view path,
               const FileExplanation& explanation, const Effective& effective);

// tavrin-check [--json] FILE CLASS [TOPLEVEL-CLASS]: the wheel and the
// middle click over a window of the class in a top-level window of the
// other, step by step or as one JSON object.
void PrintWindow(FILE* out, std::string_view path,
                 const rules::HostState& state, const Effective& effective,
                 std::string_view className, std::string_view topClass,
                 bool json, size_t warnings);

struct Args {
  bool help = false;
  bool json = false;
  std::string file;
  std::optional<std::string> className, topClass;
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitUnreadable = 1;
inline constexpr int kExitUsage = 2;
extern const char kUsage[];

// The command line; an error message, or empty when it is sound.
std::string ParseArgs(int argc, const char* const* argv, Args& args);

}  // namespace tavrin::check
