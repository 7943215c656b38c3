#include "exclusion_editor.h"

#include <string_view>

#include "resource_ids.h"
#include "settings_reader.h"

namespace tavrin::host {

namespace {

constexpr char kChildSection[] = "exclude_class";
constexpr char kParentSection[] = "exclude_parent_class";

// An entry of the settings file, as WritePrivateProfileStringA writes it.
struct ExclusionEntry {
  const char* section;
  std::string key;    // the class name, byte for byte
  const char* value;  // "1": list it; "0": take it off
};

// False for a name that the settings reader could never read back as the
// same key: an empty one, one whose line would be a comment ("#", "/",
// ";") or end the section ("["), and one with blanks at either end, which
// the profile writer trims away.
bool CanBeListed(std::string_view name) {
  return !name.empty() &&
         std::string_view("#/;[").find(name.front()) == name.npos &&
         !rules::IsWhiteSpace(name.front()) &&
         !rules::IsWhiteSpace(name.back());
}

// Writes the entry and reloads, unless its key could never be read back
// (or, listed, would change nothing): such a name gets a message instead of
// a line that would do nothing, or, beginning with "[", would end the
// section and hide every entry after it. A write that fails is reported,
// and the file and the lists stay as they were.
void Apply(Desktop& desktop, const rules::HostState& state,
           const ExclusionEntry& entry, bool effective = true) {
  if (!effective || !CanBeListed(entry.key)) {
    desktop.Inform(IDS_CANNOT_BE_LISTED, entry.key);
  } else if (!desktop.WriteSetting(entry.section, entry.key, entry.value)) {
    desktop.Inform(IDS_CANNOT_WRITE, state.settings_path);
  } else {
    desktop.ReloadSettings();
  }
}

}  // namespace

void EditExclusions(Desktop& desktop, const rules::HostState& state,
                    WindowId window) {
  // One question at a time: a question's modal loop goes on dispatching,
  // and a second Ctrl + middle click would put an identical box on it.
  static bool asking = false;
  if (asking) return;
  asking = true;
  struct Asked {
    ~Asked() { asking = false; }
  } asked;
  // The facts are taken before the first question: a nested edit, started
  // while a question is open, may reload the lists under us.
  const std::string child = desktop.ClassName(window);
  const std::string parent = desktop.ClassName(TopLevelWindow(desktop, window));
  const std::string_view childKey =
      rules::ExcludingKey(state.exclude_class, child);
  const bool parentExcluded = state.exclude_parent_class.Contains(parent);
  // A "0" line cannot take off a sentinel: the same question would come back.
  const bool bySentinel =
      childKey == rules::kLowSentinel || childKey == rules::kHighSentinel;

  if (parentExcluded) {
    if (desktop.Confirm(IDS_PARENT_EXCLUDED_QUESTION, parent))
      Apply(desktop, state, {kParentSection, parent, "0"});
  } else if (!childKey.empty()) {
    if (desktop.Confirm(IDS_CHILD_EXCLUDED_QUESTION, child))
      Apply(desktop, state, {kChildSection, child, "0"}, !bySentinel);
  } else if (desktop.Confirm(IDS_EXCLUDE_PARENT_QUESTION, parent)) {
    Apply(desktop, state, {kParentSection, parent, "1"});
  } else if (desktop.Confirm(IDS_EXCLUDE_CHILD_QUESTION, child)) {
    Apply(desktop, state, {kChildSection, child, "1"});
  }
}

}  // namespace tavrin::host
