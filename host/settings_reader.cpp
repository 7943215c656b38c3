#include "settings_reader.h"

#include <string.h>

namespace tavrin::host {

namespace {

// Folds A to Z only, whatever the locale.
constexpr char FoldAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (FoldAscii(text[i]) != FoldAscii(prefix[i])) return false;
  return true;
}

bool IsTrueWord(std::string_view value) {
  for (const std::string_view word : {"1", "true", "yes"})
    if (value.size() == word.size() && StartsWithFolded(value, word))
      return true;
  return false;
}

bool IsTrailingSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The next piece of a line; its text ends at its first NUL byte. False at
// the end of the file or on a read failure.
bool ReadPiece(FILE* file, char (&buffer)[kLinePieceBytes + 1],
               std::string_view& line) {
  if (!fgets(buffer, sizeof buffer, file)) return false;
  line = std::string_view(buffer, strlen(buffer));
  return true;
}

}  // namespace

void ResetClassLists(HostState& state) {
  state.exclude_class.Clear();
  state.exclude_class.Insert(kLowSentinel);
  state.exclude_class.Insert(kHighSentinel);
  state.exclude_parent_class.Clear();
  state.mbtn_discard_class.Clear();
  state.mbtn_passthrough_class.Clear();
}

bool ReadClassLists(FILE* file, HostState& state) {
  // Every section is read, also after a failure, as a load always did.
  bool read = ReadClassSection(file, "[exclude_class]", state.exclude_class);
  read &= ReadClassSection(file, "[exclude_parent_class]",
                           state.exclude_parent_class);
  read &=
      ReadClassSection(file, "[mbtn_discard_class]", state.mbtn_discard_class);
  read &= ReadClassSection(file, "[mbtn_passthrough_class]",
                           state.mbtn_passthrough_class);
  return read;
}

bool ReadClassSection(FILE* file, std::string_view header, ClassNameSet& set) {
  rewind(file);  // also forgets the end or the failure of the last pass
  char buffer[kLinePieceBytes + 1];
  for (std::string_view line; ReadPiece(file, buffer, line);) {
    if (StartsWithFolded(line, header)) {
      // Only the first header of a name counts.
      ReadClassEntries(file, set);
      break;
    }
  }
  return !ferror(file);
}

void ReadClassEntries(FILE* file, ClassNameSet& set) {
  char buffer[kLinePieceBytes + 1];
  for (std::string_view line; ReadPiece(file, buffer, line);) {
    // The first byte is looked at before trimming: a blank protects it.
    if (!line.empty()) {
      const char first = line.front();
      if (first == '#' || first == '/' || first == ';') continue;
      if (first == '[') return;
    }
    while (!line.empty() && IsTrailingSpace(line.back())) line.remove_suffix(1);
    // Split at the last "="; nothing is trimmed at the start of the value.
    if (const size_t equals = line.rfind('='); equals != line.npos) {
      if (!IsTrueWord(line.substr(equals + 1))) continue;
      line = line.substr(0, equals);
    }
    if (!line.empty()) set.Insert(line);
  }
}

}  // namespace tavrin::host
