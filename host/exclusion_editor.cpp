#include "exclusion_editor.h"

#include <string_view>

#include "resource_ids.h"

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

// False for a name that the settings reader could never read back as a key:
// an empty one, and one whose line would be a comment ("#", "/", ";") or end
// the section ("[").
bool CanBeListed(std::string_view className) {
  return !className.empty() && std::string_view("#/;[").find(
                                   className.front()) == std::string_view::npos;
}

// Writes the entry unless its key could never be read back; such a name
// gets a message instead of a line that would do nothing, or, beginning
// with "[", would end the section and hide every entry after it.
void Apply(Desktop& desktop, const ExclusionEntry& entry) {
  if (!CanBeListed(entry.key)) {
    desktop.Inform(IDS_CANNOT_BE_LISTED, entry.key);
    return;
  }
  desktop.WriteSetting(entry.section, entry.key, entry.value);
  desktop.ReloadSettings();
}

}  // namespace

void EditExclusions(Desktop& desktop, const HostState& state, WindowId window) {
  // The facts are taken before the first question: a nested edit, started
  // while a question is open, may reload the lists under us.
  const std::string child = desktop.ClassName(window);
  const std::string parent = desktop.ClassName(TopLevelWindow(desktop, window));
  const bool childExcluded = IsClassExcluded(state.exclude_class, child);
  const bool parentExcluded = state.exclude_parent_class.Contains(parent);

  if (parentExcluded) {
    if (desktop.Confirm(IDS_PARENT_EXCLUDED_QUESTION, parent))
      Apply(desktop, {kParentSection, parent, "0"});
  } else if (childExcluded) {
    if (desktop.Confirm(IDS_CHILD_EXCLUDED_QUESTION, child))
      Apply(desktop, {kChildSection, child, "0"});
  } else if (desktop.Confirm(IDS_EXCLUDE_PARENT_QUESTION, parent)) {
    Apply(desktop, {kParentSection, parent, "1"});
  } else if (desktop.Confirm(IDS_EXCLUDE_CHILD_QUESTION, child)) {
    Apply(desktop, {kChildSection, child, "1"});
  }
}

}  // namespace tavrin::host
