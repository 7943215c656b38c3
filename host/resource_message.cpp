#include "resource_message.h"

#include <stdarg.h>

#include "program_identity.h"

namespace tavrin::host {

namespace {

std::string Formatted(UINT id, va_list args) {
  char format[1024];
  char text[1024] = "resource load error";
  if (LoadStringA(GetModuleHandleA(nullptr), id, format, sizeof format))
    wvsprintfA(text, format, args);  // writes at most 1024 bytes
  return text;
}

}  // namespace

int ShowResourceMessage(HWND, UINT id, UINT type, ...) {
  va_list args;
  va_start(args, type);
  const std::string text = Formatted(id, args);
  va_end(args);
  return MessageBoxA(nullptr, text.c_str(), kProgramTitle, type);
}

std::string ResourceText(UINT id, ...) {
  va_list args;
  va_start(args, id);
  std::string text = Formatted(id, args);
  va_end(args);
  return text;
}

}  // namespace tavrin::host
