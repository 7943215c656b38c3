#include "window_verdict.h"

#include <string>

#include "class_name_set.h"
#include "json_output.h"
#include "settings_reader.h"
#include "wording.h"

namespace tavrin::check {

namespace {

using rules::ClassNameSet;

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

Verdict DecideVerdict(const rules::HostState& state, const Effective& effective,
                      std::string_view className, std::string_view topClass) {
  Verdict verdict{
      className,
      topClass,
      rules::DecideWheel(state, className, [&] { return topClass; }),
      {},
      {}};
  if (effective.closeByMbtn) {
    const rules::ClickDecision decision =
        rules::DecideMiddleClick(state, topClass);
    verdict.click = decision.action;
    verdict.clickList = decision.list;
  }
  return verdict;
}

void PrintWindow(FILE* out, std::string_view path,
                 const rules::HostState& state, const Effective& effective,
                 std::string_view className, std::string_view topClass,
                 bool json, size_t warnings) {
  const Verdict verdict = DecideVerdict(state, effective, className, topClass);
  if (json) {
    PrintVerdictJson(out, path, verdict, effective, warnings);
    return;
  }
  const rules::WheelDecision& wheel = verdict.wheel;
  const std::optional<rules::ClickAction>& click = verdict.click;
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

}  // namespace tavrin::check
