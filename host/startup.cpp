#include "startup.h"

#include <string.h>

namespace tavrin::host {

Request RequestOf(std::string_view commandTail) {
  if (commandTail == "terminate") return Request::Terminate;
  if (commandTail == "pause") return Request::Pause;
  if (commandTail == "resume") return Request::Resume;
  return Request::Start;
}

bool SettingsPathFor(std::string_view programPath, char* out, size_t size) {
  constexpr std::string_view kExtension = ".ini";
  const size_t dot = programPath.rfind('.');
  const std::string_view stem =
      dot == std::string_view::npos ? programPath : programPath.substr(0, dot);
  if (size == 0) return false;
  out[0] = '\0';
  if (stem.size() + kExtension.size() + 1 > size) return false;
  memcpy(out, stem.data(), stem.size());
  memcpy(out + stem.size(), kExtension.data(), kExtension.size());
  out[stem.size() + kExtension.size()] = '\0';
  return true;
}

}  // namespace tavrin::host
