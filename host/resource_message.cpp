#include "resource_message.h"

#include <stdarg.h>

#include "program_identity.h"

namespace tavrin::host {

int ShowResourceMessage(HWND, UINT id, UINT type, ...) {
  char format[1024];
  char text[1024] = "resource load error";
  if (LoadStringA(GetModuleHandleA(nullptr), id, format, sizeof format)) {
    va_list args;
    va_start(args, type);
    wvsprintfA(text, format, args);  // writes at most 1024 bytes
    va_end(args);
  }
  return MessageBoxA(nullptr, text, kProgramTitle, type);
}

}  // namespace tavrin::host
