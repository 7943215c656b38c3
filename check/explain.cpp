#include "explain.h"

#include <string.h>

#include <iterator>
#include <map>

#include "class_name_set.h"
#include "settings_reader.h"
#include "window_rules.h"

namespace tavrin::check {

namespace {

using rules::ClassNameSet;
using rules::EntryKind;
using rules::kClassLists;

constexpr size_t kLists = std::size(kClassLists);
constexpr int kExcludeClass = 0;  // kClassLists[0], the prefix-rule list

std::string Escaped(std::string_view text, bool json) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F || (json && byte >= 0x80)) {
      // JSON text is Unicode: a byte of the ANSI code page from 0x80 up is
      // written as the code point of the same number.
      char code[8];
      snprintf(code, sizeof code, json ? "\\u%04x" : "\\x%02X", byte);
      out += code;
    } else {
      out += c;
    }
  }
  return out;
}

std::string Quoted(std::string_view text) {
  return '"' + Escaped(text, false) + '"';
}

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

const char* WheelWord(rules::WheelAction action) {
  switch (action) {
    case rules::WheelAction::Forward:
      return "forward";
    case rules::WheelAction::UpDown:
      return "updown";
    case rules::WheelAction::Lines:
      break;
  }
  return "lines";
}

const char* ClickWord(std::optional<rules::ClickAction> action) {
  if (!action) return "off";
  switch (*action) {
    case rules::ClickAction::Discard:
      return "discard";
    case rules::ClickAction::Pass:
      return "pass";
    case rules::ClickAction::Close:
      break;
  }
  return "close";
}

std::string LinesText(int32_t scrollCounts) {
  const uint32_t lines = rules::LinesPerNotch(scrollCounts);
  return std::to_string(lines) + " line message" + (lines == 1 ? "" : "s") +
         " a notch, then SB_ENDSCROLL" +
         (scrollCounts < 0 ? " (a negative value counts as 0)"
          : static_cast<uint32_t>(scrollCounts) > lines ? " (at most 1000)"
                                                        : "");
}

void PrintEffective(FILE* out, const Effective& effective) {
  fprintf(out, "scroll_counts = %d: %s\n", effective.scrollCounts,
          LinesText(effective.scrollCounts).c_str());
  fprintf(out, "close_by_mbtn = %d: %s\n", effective.closeByMbtn ? 1 : 0,
          effective.closeByMbtn
              ? "a middle click closes the window, Ctrl + middle click edits "
                "the lists (read at start-up)"
              : "Tavrin64 leaves middle clicks alone (read at start-up)");
  fprintf(out, "modern_wheel = %d: %s\n", effective.modernWheel ? 1 : 0,
          effective.modernWheel
              ? "fractions of a notch add up, the tilt wheel is taken over, "
                "and with Ctrl or Shift the window gets the wheel message "
                "itself"
              : "every wheel message counts as a whole notch; the tilt wheel "
                "is left to the focus");
}

// The prefix rule's step, told from the same lookup that ExcludingKey makes.
std::string PrefixStep(const ClassNameSet& set, std::string_view name,
                       const rules::WheelDecision& wheel) {
  const ClassNameSet::Position bound = set.LowerBound(name);
  const std::string cls = Quoted(name);
  // The low sentinel "!" is in no file: the user is told what it does.
  if (wheel.key == rules::kLowSentinel)
    return cls + " begins with \"!\", which is always excluded: yes";
  if (wheel.list == "exclude_class")
    return *bound == name
               ? cls + " is a key: yes"
               : "the key just below " + cls + " is " + Quoted(wheel.key) +
                     ", and " + cls + " begins with it: yes";
  if (bound == set.End()) return cls + " sorts after every key: no";
  const std::string_view below = set.IsFirst(bound)
                                     ? rules::kLowSentinel
                                     : *ClassNameSet::Predecessor(bound);
  if (below == rules::kLowSentinel) return "no key lies below " + cls + ": no";
  std::string step = "the key just below " + cls + " is " + Quoted(below) +
                     ", and " + cls + " does not begin with it: no";
  for (size_t n = name.size(); n-- > 1;)
    if (const std::string_view key = set.Find(name.substr(0, n));
        !key.empty() && key != rules::kLowSentinel)
      step += "\n     (" + Quoted(key) + " begins " + cls + ", but " +
              Quoted(below) + " sorts between them)";
  return step;
}

}  // namespace

const char kUsage[] =
    "usage: tavrin-check FILE\n"
    "         every line of the settings file as Tavrin64 reads it, with\n"
    "         warnings, and the effective scroll_counts, close_by_mbtn and\n"
    "         modern_wheel\n"
    "       tavrin-check [--json] FILE CLASS [TOPLEVEL-CLASS]\n"
    "         what the wheel and a middle click do over a window of CLASS\n"
    "         in a top-level window of TOPLEVEL-CLASS (by default CLASS:\n"
    "         the window is itself a top-level window)\n";

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

void PrintWindow(FILE* out, std::string_view path,
                 const rules::HostState& state, const Effective& effective,
                 std::string_view className, std::string_view topClass,
                 bool json, size_t warnings) {
  const rules::WheelDecision wheel =
      rules::DecideWheel(state, className, [&] { return topClass; });
  std::optional<rules::ClickAction> click;
  std::string_view clickList;
  if (effective.closeByMbtn) {
    const rules::ClickDecision decision =
        rules::DecideMiddleClick(state, topClass);
    click = decision.action;
    clickList = decision.list;
  }
  if (json) {
    const auto string = [](std::string_view text) {
      return text.empty() ? std::string("null")
                          : '"' + Escaped(text, true) + '"';
    };
    fprintf(out,
            "{\"file\": \"%s\", \"class\": \"%s\", \"toplevel_class\": "
            "\"%s\", \"wheel\": \"%s\", \"wheel_list\": %s, \"wheel_key\": "
            "%s, \"middle_click\": \"%s\", \"middle_click_list\": %s, "
            "\"scroll_counts\": %d, \"lines_per_notch\": %u, "
            "\"close_by_mbtn\": %d, \"modern_wheel\": %d, \"warnings\": %zu}\n",
            Escaped(path, true).c_str(), Escaped(className, true).c_str(),
            Escaped(topClass, true).c_str(), WheelWord(wheel.action),
            string(wheel.list).c_str(), string(wheel.key).c_str(),
            ClickWord(click), string(clickList).c_str(), effective.scrollCounts,
            rules::LinesPerNotch(effective.scrollCounts),
            effective.closeByMbtn ? 1 : 0, effective.modernWheel ? 1 : 0,
            warnings);
    return;
  }

  const std::string cls = Quoted(className), top = Quoted(topClass);
  fprintf(out, "A window of class %s in a top-level window of class %s,\n",
          cls.c_str(), top.c_str());
  fprintf(out, "with %s:\n\nWheel\n", std::string(path).c_str());
  // Each step is shown until the one that decided.
  const bool upDown = wheel.action == rules::WheelAction::UpDown;
  fprintf(out, "  1. an up-down control, class \"%s\" exactly? %s\n",
          rules::kUpDownClass.data(), upDown ? "yes" : "no");
  if (!upDown)
    fprintf(out, "  2. [exclude_class], prefix rule: %s\n",
            PrefixStep(state.exclude_class, className, wheel).c_str());
  if (wheel.action == rules::WheelAction::Lines ||
      wheel.list == "exclude_parent_class")
    fprintf(out, "  3. [exclude_parent_class], exact rule: is %s a key? %s\n",
            top.c_str(),
            wheel.action == rules::WheelAction::Lines ? "no" : "yes");
  switch (wheel.action) {
    case rules::WheelAction::UpDown:
      fputs("  => updown: the control steps one position\n", out);
      break;
    case rules::WheelAction::Forward:
      fprintf(out,
              "  => forward: the window gets the wheel message itself (key "
              "%s of [%s])\n",
              Quoted(wheel.key).c_str(), std::string(wheel.list).c_str());
      break;
    case rules::WheelAction::Lines:
      fprintf(out, "  => lines: %s\n",
              LinesText(effective.scrollCounts).c_str());
      break;
  }

  fputs("\nMiddle click\n", out);
  if (!click) {
    fputs(
        "  close_by_mbtn is 0: Tavrin64 leaves middle clicks alone\n"
        "  => off\n",
        out);
  } else {
    const bool discard = *click == rules::ClickAction::Discard;
    fprintf(out, "  1. [mbtn_discard_class], exact rule: is %s a key? %s\n",
            top.c_str(), discard ? "yes" : "no");
    if (!discard)
      fprintf(out,
              "  2. [mbtn_passthrough_class], exact rule: is %s a key? %s\n",
              top.c_str(), *click == rules::ClickAction::Pass ? "yes" : "no");
    fputs(discard ? "  => discard: nothing happens\n"
          : *click == rules::ClickAction::Pass
              ? "  => pass: the window gets the middle click as usual\n"
              : "  => close: the top-level window is asked to close\n",
          out);
    fputs("  (Ctrl + middle click edits the lists instead)\n", out);
  }
  fputc('\n', out);
  PrintEffective(out, effective);
  if (warnings)
    fprintf(out, "The file has %zu warning%s: tavrin-check FILE shows %s.\n",
            warnings, warnings == 1 ? "" : "s", warnings == 1 ? "it" : "them");
}

std::string ParseArgs(int argc, const char* const* argv, Args& args) {
  std::vector<std::string> words;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (options && (arg == "--help" || arg == "-h" || arg == "/?")) {
      args.help = true;
    } else if (options && arg == "--json") {
      args.json = true;
    } else if (options && arg == "--") {
      options = false;
    } else if (options && arg.size() > 1 && arg.starts_with('-')) {
      return "unknown option \"" + std::string(arg) + "\"";
    } else {
      words.emplace_back(arg);
    }
  }
  if (args.help) return {};
  if (words.empty()) return "no settings file given";
  if (words.size() > 3) return "too many arguments";
  args.file = words[0];
  if (words.size() > 1) args.className = words[1];
  if (words.size() > 2)
    args.topClass = words[2];
  else
    args.topClass = args.className;
  if (args.json && !args.className) return "--json needs a CLASS";
  return {};
}

}  // namespace tavrin::check
