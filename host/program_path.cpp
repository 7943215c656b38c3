#include "program_path.h"

#include <windows.h>

#include <vector>

namespace tavrin::host {

std::string ProgramPath() {
  std::vector<char> path(32768);
  const DWORD n =
      GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (n == 0 || n >= path.size()) return {};
  return {path.data(), n};
}

std::string BesideProgram(std::string_view name) {
  const std::string program = ProgramPath();
  const size_t slash = program.find_last_of('\\');
  if (slash == std::string::npos) return {};
  return program.substr(0, slash + 1).append(name);
}

}  // namespace tavrin::host
