#include "settings_reader.h"

#include <string.h>

namespace tavrin::rules {

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

}  // namespace

bool IsTrueValue(std::string_view value) {
  for (const std::string_view word : {"1", "true", "yes"})
    if (value.size() == word.size() && StartsWithFolded(value, word))
      return true;
  return false;
}

bool IsSectionHeader(std::string_view piece, std::string_view header) {
  return StartsWithFolded(piece, header);
}

Entry ClassifyEntry(std::string_view piece) {
  if (!piece.empty()) {
    const char first = piece.front();
    if (first == '#' || first == '/' || first == ';')
      return {EntryKind::Comment, {}, {}};
    if (first == '[') return {EntryKind::SectionEnd, {}, {}};
  }
  while (!piece.empty() && IsWhiteSpace(piece.back())) piece.remove_suffix(1);
  if (piece.empty()) return {EntryKind::Blank, {}, {}};
  // Split at the last "="; nothing is trimmed at the start of the value.
  const size_t equals = piece.rfind('=');
  if (equals == piece.npos) return {EntryKind::Key, piece, {}};
  const std::string_view key = piece.substr(0, equals);
  const std::string_view value = piece.substr(equals + 1);
  if (!IsTrueValue(value)) return {EntryKind::Refused, key, value};
  return {key.empty() ? EntryKind::EmptyKey : EntryKind::Key, key, value};
}

bool ReadLinePiece(FILE* file, char (&buffer)[kLinePieceBytes + 1],
                   std::string_view& piece) {
  if (!fgets(buffer, sizeof buffer, file)) return false;
  piece = std::string_view(buffer, strlen(buffer));
  return true;
}

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
  bool read = true;
  for (const ClassList& list : kClassLists)
    read &= ReadClassSection(file, list.header, state.*list.set);
  return read;
}

bool ReadClassSection(FILE* file, std::string_view header, ClassNameSet& set) {
  rewind(file);  // also forgets the end or the failure of the last pass
  char buffer[kLinePieceBytes + 1];
  for (std::string_view piece; ReadLinePiece(file, buffer, piece);) {
    if (IsSectionHeader(piece, header)) {
      // Only the first header of a name counts.
      ReadClassEntries(file, set);
      break;
    }
  }
  return !ferror(file);
}

void ReadClassEntries(FILE* file, ClassNameSet& set) {
  char buffer[kLinePieceBytes + 1];
  for (std::string_view piece; ReadLinePiece(file, buffer, piece);) {
    const Entry entry = ClassifyEntry(piece);
    if (entry.kind == EntryKind::SectionEnd) return;
    if (entry.kind == EntryKind::Key) set.Insert(entry.key);
  }
}

}  // namespace tavrin::rules
