#include "wording.h"

#include "window_rules.h"

namespace tavrin::check {

std::string Escaped(std::string_view text, bool json) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F || (json && byte >= 0x80)) {
      // JSON text is Unicode: a byte of the ANSI code page from 0x80 up is
      // written as the code point of the same number.
      char code[8];
      snprintf(code, sizeof code, json ? "\\u%04x" : "\\x%02X", byte);
      out += code;
    } else {
      out += c;
    }
  }
  return out;
}

std::string Quoted(std::string_view text) {
  return '"' + Escaped(text, false) + '"';
}

std::string LinesText(int32_t scrollCounts) {
  const uint32_t lines = rules::LinesPerNotch(scrollCounts);
  return std::to_string(lines) + " line message" + (lines == 1 ? "" : "s") +
         " a notch, then SB_ENDSCROLL" +
         (scrollCounts < 0 ? " (a negative value counts as 0)"
          : static_cast<uint32_t>(scrollCounts) > lines ? " (at most 1000)"
                                                        : "");
}

void PrintEffective(FILE* out, const Effective& effective) {
  fprintf(out, "scroll_counts = %d: %s\n", effective.scrollCounts,
          LinesText(effective.scrollCounts).c_str());
  fprintf(out, "close_by_mbtn = %d: %s\n", effective.closeByMbtn ? 1 : 0,
          effective.closeByMbtn
              ? "a middle click closes the window, Ctrl + middle click edits "
                "the lists (read at start-up)"
              : "Tavrin64 leaves middle clicks alone (read at start-up)");
  fprintf(out, "modern_wheel = %d: %s\n", effective.modernWheel ? 1 : 0,
          effective.modernWheel
              ? "fractions of a notch add up, the tilt wheel is taken over, "
                "and with Ctrl or Shift the window gets the wheel message "
                "itself"
              : "every wheel message counts as a whole notch; the tilt wheel "
                "is left to the focus");
  fprintf(out, "tray_icon = %d: %s\n", effective.trayIcon ? 1 : 0,
          effective.trayIcon
              ? "an icon in the notification area, with a menu to pause, "
                "edit the settings, start with Windows and exit"
              : "no icon: Tavrin64 runs hidden");
}

}  // namespace tavrin::check
