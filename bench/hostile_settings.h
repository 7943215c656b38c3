// A settings file that no one should write and the host must survive: a
// hundred thousand entries, lines of 100 KB, and three megabytes of random
// bytes, NULs among them, after the given head. The same bytes every time.
#pragma once

#include <stdint.h>

#include <string>

inline std::string HostileSettings(const std::string& head) {
  std::string text = head;
  for (int i = 0; i < 100000; ++i)
    text += "HostileClass" + std::to_string(i) + "\r\n";
  for (char c = 'a'; c < 'k'; ++c) text += std::string(100 * 1024, c) + "\r\n";
  uint32_t seed = 12345;
  for (int i = 0; i < 3 * 1024 * 1024; ++i) {
    seed = seed * 1664525u + 1013904223u;
    text += static_cast<char>(seed >> 24);
  }
  return text;
}
