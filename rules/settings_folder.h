// The folder of the settings file, which the loader looks for and the
// host's watch follows.
#pragma once

#include <string_view>

namespace tavrin::rules {

// Everything before the path's last backslash; for a file in the root of a
// drive ("C:\Tavrin64.ini") the root with its backslash ("C:\"), since "C:"
// alone names the drive's current folder. Empty when there is no backslash.
constexpr std::string_view FolderOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return {};
  const bool root = slash == 2 && path[1] == ':';
  return path.substr(0, root ? slash + 1 : slash);
}

}  // namespace tavrin::rules
