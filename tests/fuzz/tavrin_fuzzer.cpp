// Fuzzes the settings reader by its properties, beside libFuzzer's own (no
// crash, no hang, bounded memory): every key read back is a piece of one
// line of the file (no line feed, no NUL, not empty, at most one piece
// long); a key equal to a name matches it by both rules, unless it is the
// first key of exclude_class; tavrin-check's walk over the file adds up to
// the same lists.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "explain.h"
#include "settings_reader.h"
#include "window_rules.h"

namespace {

using namespace tavrin;
using namespace tavrin::rules;

void Check(bool condition) {
  if (!condition) abort();
}

std::unique_ptr<HostState> Load(std::string_view input) {
  auto state = std::make_unique<HostState>();
  ResetClassLists(*state);
  if (FILE* file =
          fmemopen(const_cast<char*>(input.data()), input.size(), "r")) {
    ReadClassLists(file, *state);
    fclose(file);
  }
  return state;
}

void Settings(std::string_view input) {
  if (input.empty()) return;
  const auto first = Load(input);
  FILE* file = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
  const check::FileExplanation walked = check::ExplainFile(file);
  fclose(file);
  for (const ClassList& list : kClassLists)
    Check(walked.lists.get()->*list.set == first.get()->*list.set);
  // Names to ask about: the lines, their halves, and each cut at its last
  // "=" and trimmed at its end, as a key would be.
  std::vector<std::string> names{"", "!", "\xFB\x5B"};
  for (size_t start = 0; start < input.size() && names.size() < 256;) {
    const size_t end = std::min(input.find('\n', start), input.size());
    std::string line(input.substr(start, end - start));
    names.push_back(line.substr(0, line.size() / 2));
    names.push_back(line);
    line = line.substr(0, line.rfind('='));
    while (!line.empty() && IsWhiteSpace(line.back())) line.pop_back();
    names.push_back(line);
    start = end + 1;
  }
  for (const std::string& name : names) {
    const bool couldBeAKey =
        !name.empty() && name.size() <= kLinePieceBytes &&
        name.find_first_of(std::string_view("\n\0", 2)) == name.npos &&
        input.find(name) != input.npos;
    for (const ClassList& list : kClassLists)
      if ((first.get()->*list.set).Contains(name))
        Check(couldBeAKey || name == kLowSentinel || name == kHighSentinel);
    if (first->exclude_class.Contains(name))
      Check(
          IsClassExcluded(first->exclude_class, name) ||
          first->exclude_class.IsFirst(first->exclude_class.LowerBound(name)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  Settings(input);
  return 0;
}
