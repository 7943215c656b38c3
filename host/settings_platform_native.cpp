// Stand-ins for the Windows calls, with their behaviour in the cases that the
// unit tests use: the stream is opened in binary mode and the reader does the
// text-mode translation; the profile reader knows sections, keys and decimal
// numbers, not every rule of the real one.
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>

#include "settings_platform.h"
#include "settings_reader.h"

namespace tavrin::host {

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

// Optional sign, then decimal digits up to the first other byte; the value
// wraps at 32 bits. An empty value gives the default.
uint32_t ParseProfileInt(std::string_view value, uint32_t fallback) {
  if (value.empty()) return fallback;
  const bool negative = value.front() == '-';
  if (negative || value.front() == '+') value.remove_prefix(1);
  uint32_t result = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') break;
    result = result * 10 + static_cast<uint32_t>(c - '0');
  }
  return negative ? 0u - result : result;
}

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};

}  // namespace

FILE* OpenSettingsForReading(const char* path) {
  // O_NONBLOCK: a FIFO without a writer must not stall the open. Only a
  // plain file is a settings file; a directory would open and fail to read.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat status;
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    return nullptr;
  }
  FILE* const stream = fdopen(fd, "r");
  if (stream == nullptr) close(fd);
  return stream;
}

bool StreamsTranslateText() { return false; }

uint32_t ReadProfileInt(const char* section, const char* key,
                        int32_t default_value, const char* path) {
  const uint32_t fallback = static_cast<uint32_t>(default_value);
  const std::unique_ptr<FILE, FileCloser> file(OpenSettingsForReading(path));
  if (!file) return fallback;
  std::string text;
  char chunk[64 * 1024];
  while (const size_t size = fread(chunk, 1, sizeof chunk, file.get())) {
    text.append(chunk, size);
  }
  bool in_section = false;
  std::string_view rest = text;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view line = Trim(rest.substr(0, end));
    rest.remove_prefix(end == rest.npos ? rest.size() : end + 1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const size_t close_at = line.find(']');
      if (close_at != line.npos) {
        in_section = EqualsFolded(Trim(line.substr(1, close_at - 1)), section);
      }
      continue;
    }
    const size_t equals = line.find('=');
    if (in_section && equals != line.npos &&
        EqualsFolded(Trim(line.substr(0, equals)), key)) {
      return ParseProfileInt(Trim(line.substr(equals + 1)), fallback);
    }
  }
  return fallback;
}

}  // namespace tavrin::host
