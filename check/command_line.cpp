// tavrin-check's command line: its usage text and the parse of its words.
#include <vector>

#include "explain.h"

namespace tavrin::check {

const char kUsage[] =
    "usage: tavrin-check FILE\n"
    "         every line of the settings file as Tavrin64 reads it, with\n"
    "         warnings, and the effective scroll_counts, close_by_mbtn,\n"
    "         modern_wheel and tray_icon\n"
    "       tavrin-check [--json] FILE CLASS [TOPLEVEL-CLASS]\n"
    "         what the wheel and a middle click do over a window of CLASS\n"
    "         in a top-level window of TOPLEVEL-CLASS (by default CLASS:\n"
    "         the window is itself a top-level window)\n";

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
