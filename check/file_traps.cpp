// The file's traps: every piece of every line as the host's reader takes
// it, the warnings about what reads as something else than its writer
// meant, and the listing that tavrin-check FILE prints of them.
#include <string.h>

#include <iterator>
#include <map>

#include "class_name_set.h"
#include "explain.h"
#include "settings_reader.h"
#include "wording.h"

namespace tavrin::check {

namespace {

using rules::ClassNameSet;
using rules::EntryKind;
using rules::kClassLists;

constexpr size_t kLists = std::size(kClassLists);
constexpr int kExcludeClass = 0;  // kClassLists[0], the prefix-rule list

std::string Section(int list) { return std::string(kClassLists[list].header); }

std::string_view TrimmedStart(std::string_view text) {
  while (!text.empty() && rules::IsWhiteSpace(text.front()))
    text.remove_prefix(1);
  return text;
}

std::string_view Trimmed(std::string_view text) {
  text = TrimmedStart(text);
  while (!text.empty() && rules::IsWhiteSpace(text.back()))
    text.remove_suffix(1);
  return text;
}

// The blanks that keep an entry from listing what its writer meant.
void FindBlankTraps(const rules::Entry& entry, Note& note) {
  const std::string_view name = Trimmed(entry.key);
  const std::string_view value = TrimmedStart(entry.value);
  if (name.empty()) return;
  // A key from a line without "=" has no value.
  const std::string write =
      "; write " +
      Quoted(std::string(name) +
             (entry.value.empty() ? "" : "=" + std::string(value)));
  const auto warn = [&](Trap trap, const std::string& text) {
    note.warnings.push_back({trap, text});
  };
  // Only a key and a refused value have a name.
  if (entry.kind == EntryKind::Refused) {
    if (value.size() < entry.value.size() && rules::IsTrueValue(value))
      warn(Trap::BlankAroundValue,
           "a blank before the value, so it is not 1, true or yes" + write);
  } else if (rules::IsWhiteSpace(entry.key.front())) {
    const bool comment =
        std::string_view("#/;").find(name.front()) != std::string_view::npos;
    warn(Trap::BlankAroundKey,
         "the key begins with a blank, so it matches only a class whose name "
         "does too" +
             (comment ? "; a comment mark counts only as a line's first byte"
              : name.front() == '['
                  ? "; \"[\" ends a section only as a line's first byte"
                  : write));
  } else if (rules::IsWhiteSpace(entry.key.back())) {
    warn(Trap::BlankAroundKey,
         "the key ends with a blank, so it matches only a class whose name "
         "does too" +
             write);
  }
}

// Walks the file as the four passes of a load read it: a piece that
// begins with "[" ends the section that is being read, and starts one when
// it is the first header of a class list.
class Walk {
 public:
  explicit Walk(FileExplanation& result) : result_(result) {
    result_.lists = std::make_unique<rules::HostState>();
    rules::ResetClassLists(*result_.lists);
  }

  void Piece(Note note, std::string_view piece) {
    const rules::Entry entry = rules::ClassifyEntry(piece);
    if (entry.kind == EntryKind::SectionEnd) {
      note.what = reading_ >= 0 ? "ends " + Section(reading_) + "; " : "";
      OpenSection(note, piece);
    } else if (reading_ >= 0) {
      ReadEntry(note, entry);
    } else if (piece.starts_with(';')) {
      note.what = "comment";
    } else {
      note.what = entry.kind == EntryKind::Blank ? "blank" : outside_;
    }
    result_.notes.push_back(std::move(note));
  }

  // Prefix keys of exclude_class that a longer key hides, and keys that
  // sort first: neither ever matches as their writer meant.
  void FindOrderTraps() {
    const ClassNameSet& set = result_.lists->exclude_class;
    for (const auto& [key, index] : first_[kExcludeClass]) {
      std::vector<Warning>& warnings = result_.notes[index].warnings;
      const ClassNameSet::Position at = set.LowerBound(key);
      if (set.IsFirst(at)) {
        warnings.push_back({Trap::NeverMatches,
                            "it sorts first in [exclude_class], and the "
                            "first key never matches"});
        continue;
      }
      const ClassNameSet::Position next = std::next(at);
      if (next == set.End() || !next->starts_with(key)) continue;
      const auto longer = first_[kExcludeClass].find(*next);
      warnings.push_back(
          {Trap::ShadowedPrefix,
           "shadowed by " + Quoted(*next) +
               (longer == first_[kExcludeClass].end()
                    ? std::string(" (built in)")
                    : " (line " +
                          std::to_string(result_.notes[longer->second].line) +
                          ")") +
               ": a class that begins with " + Quoted(key) +
               " and sorts after that key no longer matches (only the "
               "greatest key below a class counts)"});
    }
  }

 private:
  void OpenSection(Note& note, std::string_view piece) {
    int list = -1;
    for (size_t i = 0; i < kLists; ++i)
      if (rules::IsSectionHeader(piece, kClassLists[i].header))
        list = static_cast<int>(i);
    reading_ = -1;
    if (list >= 0 && !headerLine_[list]) {
      headerLine_[list] = note.line;
      reading_ = list;
      note.what += Section(list) + " begins";
    } else if (list >= 0) {
      note.what += "a second " + Section(list) + ", never read";
      note.warnings.push_back(
          {Trap::DuplicateSection,
           "only the first " + Section(list) + " (line " +
               std::to_string(headerLine_[list]) +
               ") is read; the entries below this one never take effect"});
      outside_ = "in a second " + Section(list) + ": never read";
    } else if (rules::IsSectionHeader(piece, "[general]")) {
      note.what += "[general] begins: the system's profile functions read it";
      outside_ = "in [general]: the system's profile functions read it";
    } else {
      note.what += "a section that Tavrin64 does not read";
      outside_ = "not read: not in a class list";
    }
  }

  void ReadEntry(Note& note, const rules::Entry& entry) {
    switch (entry.kind) {
      case EntryKind::Comment:
        note.what = "comment";
        break;
      case EntryKind::Blank:
        note.what = "blank";
        break;
      case EntryKind::Refused:
        note.what = "adds nothing: the value " +
                    (entry.value.empty()
                         ? "is empty"
                         : Quoted(entry.value) + " is not 1, true or yes");
        break;
      case EntryKind::EmptyKey:
        note.what = "adds nothing: no class name before \"=\"";
        break;
      case EntryKind::Key: {
        ClassNameSet& set = result_.lists.get()->*kClassLists[reading_].set;
        set.Insert(entry.key);
        const auto [at, added] = first_[reading_].try_emplace(
            set.Find(entry.key), result_.notes.size());
        note.what = "adds " + Quoted(entry.key) + " to " + Section(reading_);
        if (!added)
          note.what += ", again (line " +
                       std::to_string(result_.notes[at->second].line) + ")";
        break;
      }
      case EntryKind::SectionEnd:
        break;
    }
    FindBlankTraps(entry, note);
  }

  FileExplanation& result_;
  int reading_ = -1;  // the class list being read, if any
  int headerLine_[kLists] = {};
  std::string outside_ = "not read: before the first section";
  // Each list's keys from the file, and the note that listed each first.
  std::map<std::string_view, size_t> first_[kLists];
};

}  // namespace

FileExplanation ExplainFile(FILE* file) {
  FileExplanation result;
  Walk walk(result);
  char buffer[rules::kLinePieceBytes + 1];
  int line = 1, piece = 1;
  for (std::string_view text;;) {
    // Cleared first, so that a line feed found in it was read just now.
    memset(buffer, 0, sizeof buffer);
    if (!rules::ReadLinePiece(file, buffer, text)) break;
    const auto* feed =
        static_cast<const char*>(memchr(buffer, '\n', sizeof buffer));
    Note note{line, piece, std::string(text), {}, {}};
    while (!note.text.empty() &&
           (note.text.back() == '\n' || note.text.back() == '\r'))
      note.text.pop_back();
    walk.Piece(std::move(note), text);
    if (feed && text.size() < static_cast<size_t>(feed - buffer))
      result.notes.back().what += " (a NUL byte ends the line's text)";
    if (piece > 1)
      result.notes.back().what +=
          " (the rest of a line longer than 2046 bytes, read as a line)";
    if (feed) {
      ++line;
      piece = 1;
    } else {
      ++piece;
    }
  }
  result.readFailed = ferror(file) != 0;
  walk.FindOrderTraps();
  for (const Note& note : result.notes) result.warnings += note.warnings.size();
  return result;
}

void PrintFile(FILE* out, std::string_view path,
               const FileExplanation& explanation, const Effective& effective) {
  fprintf(out, "%s, as Tavrin64 reads it:\n\n  line  %-28s  %s\n",
          std::string(path).c_str(), "text", "what it does");
  for (const Note& note : explanation.notes) {
    std::string number = std::to_string(note.line);
    if (note.piece > 1) number += "." + std::to_string(note.piece);
    std::string shown = Escaped(note.text, false);
    if (shown.size() > 28) shown = shown.substr(0, 25) + "...";
    fprintf(out, "%6s  %-28s  %s\n", number.c_str(), shown.c_str(),
            note.what.c_str());
    for (const Warning& warning : note.warnings)
      fprintf(out, "%8swarning: %s\n", "", warning.text.c_str());
  }
  fputc('\n', out);
  PrintEffective(out, effective);
  fprintf(out, "%zu warning%s\n", explanation.warnings,
          explanation.warnings == 1 ? "" : "s");
}

}  // namespace tavrin::check
