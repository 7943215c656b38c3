#include "json_output.h"

#include <string>

#include "wording.h"

namespace tavrin::check {

namespace {

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

}  // namespace

void PrintVerdictJson(FILE* out, std::string_view path, const Verdict& verdict,
                      const Effective& effective, size_t warnings) {
  const auto string = [](std::string_view text) {
    return text.empty() ? std::string("null") : '"' + Escaped(text, true) + '"';
  };
  fprintf(
      out,
      "{\"file\": \"%s\", \"class\": \"%s\", \"toplevel_class\": "
      "\"%s\", \"wheel\": \"%s\", \"wheel_list\": %s, \"wheel_key\": "
      "%s, \"middle_click\": \"%s\", \"middle_click_list\": %s, "
      "\"scroll_counts\": %d, \"lines_per_notch\": %u, "
      "\"close_by_mbtn\": %d, \"modern_wheel\": %d, \"tray_icon\": %d, "
      "\"warnings\": %zu}\n",
      Escaped(path, true).c_str(), Escaped(verdict.className, true).c_str(),
      Escaped(verdict.topClass, true).c_str(), WheelWord(verdict.wheel.action),
      string(verdict.wheel.list).c_str(), string(verdict.wheel.key).c_str(),
      ClickWord(verdict.click), string(verdict.clickList).c_str(),
      effective.scrollCounts, rules::LinesPerNotch(effective.scrollCounts),
      effective.closeByMbtn ? 1 : 0, effective.modernWheel ? 1 : 0,
      effective.trayIcon ? 1 : 0, warnings);
}

}  // namespace tavrin::check
