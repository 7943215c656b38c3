// Fuzzes the class-list reader and the prefix rule by their properties:
// no crash, no hang, bounded memory (libFuzzer's limits), and
// - every key read back is a piece of one line of the file: no line feed,
//   no NUL, not empty, at most one piece long;
// - a key equal to a name matches that name by both rules, unless it is the
//   first key of exclude_class;
// - the same file read again gives the same answers.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "settings_reader.h"

namespace {

using namespace tavrin::host;

void Check(bool condition) {
  if (!condition) abort();
}

std::unique_ptr<HostState> Load(std::string_view input) {
  auto state = std::make_unique<HostState>();
  ResetClassLists(*state);
  FILE* file = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
  if (file) {
    ReadClassLists(file, *state);
    fclose(file);
  }
  return state;
}

bool IsTrailingSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Names to ask about: the input's lines, their halves, and each trimmed of
// its "=value" and trailing white space, as a key would be.
std::vector<std::string> Names(std::string_view input) {
  std::vector<std::string> names{"", "!", "\xFB\x5B"};
  for (size_t start = 0; start < input.size() && names.size() < 256;) {
    const size_t end = std::min(input.find('\n', start), input.size());
    std::string line(input.substr(start, end - start));
    names.push_back(line.substr(0, line.size() / 2));
    names.push_back(line);
    line = line.substr(0, line.rfind('='));
    while (!line.empty() && IsTrailingSpace(line.back())) line.pop_back();
    names.push_back(line);
    start = end + 1;
  }
  return names;
}

bool CouldBeAKey(std::string_view key, std::string_view input) {
  return !key.empty() && key.size() <= kLinePieceBytes &&
         key.find_first_of(std::string_view("\n\0", 2)) == key.npos &&
         input.find(key) != input.npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto first = Load(input);
  const auto again = Load(input);
  const ClassNameSet* sets[] = {
      &first->exclude_class, &first->exclude_parent_class,
      &first->mbtn_discard_class, &first->mbtn_passthrough_class};
  for (const std::string& name : Names(input)) {
    for (const ClassNameSet* set : sets)
      if (set->Contains(name))
        Check(CouldBeAKey(name, input) || name == "!" || name == "\xFB\x5B");
    const bool excluded = IsClassExcluded(first->exclude_class, name);
    Check(excluded == IsClassExcluded(again->exclude_class, name));
    if (first->exclude_class.Contains(name))
      Check(excluded || first->exclude_class.IsFirst(
                            first->exclude_class.LowerBound(name)));
    Check(first->mbtn_discard_class.Contains(name) ==
          again->mbtn_discard_class.Contains(name));
  }
  return 0;
}
