// Fuzzes the host's and the hook's decisions by their properties; the first
// byte picks which. Beside libFuzzer's own (no crash, no hang, bounded
// memory):
// - settings reader: every key read back is a piece of one line of the
//   file (no line feed, no NUL, not empty, at most one piece long); a key
//   equal to a name matches it by both rules, unless it is the first key of
//   exclude_class; the same file read again gives the same answers;
//   tavrin-check's walk over the file adds up to the same lists.
// - hook filter, at both widths: a message it looks at is passed on
//   untouched, stripped of exactly the marker, or nullified; only a
//   nullified one is reported, with one or two notifications.
// - dispatcher: it never posts to no window, never more than 1,000 lines
//   and the end for a notch, and only to the window of the notification or
//   its top-level window.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dispatcher.h"
#include "explain.h"
#include "fake_desktop.h"
#include "hook_filter.h"
#include "settings_reader.h"

namespace {

using namespace tavrin;
using namespace tavrin::host;

void Check(bool condition) {
  if (!condition) abort();
}

// Takes the next value from the input, zero once it is used up.
template <typename T>
T Take(std::string_view& input) {
  T value{};
  const size_t n = std::min(sizeof value, input.size());
  memcpy(&value, input.data(), n);
  input.remove_prefix(n);
  return value;
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

bool IsTrailingSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

void Settings(std::string_view input) {
  if (input.empty()) return;
  const auto first = Load(input), again = Load(input);
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
    while (!line.empty() && IsTrailingSpace(line.back())) line.pop_back();
    names.push_back(line);
    start = end + 1;
  }
  const ClassNameSet* sets[] = {
      &first->exclude_class, &first->exclude_parent_class,
      &first->mbtn_discard_class, &first->mbtn_passthrough_class};
  for (const std::string& name : names) {
    const bool couldBeAKey =
        !name.empty() && name.size() <= kLinePieceBytes &&
        name.find_first_of(std::string_view("\n\0", 2)) == name.npos &&
        input.find(name) != input.npos;
    for (const ClassNameSet* set : sets)
      if (set->Contains(name))
        Check(couldBeAKey || name == "!" || name == "\xFB\x5B");
    const bool excluded = IsClassExcluded(first->exclude_class, name);
    Check(excluded == IsClassExcluded(again->exclude_class, name));
    if (first->exclude_class.Contains(name))
      Check(excluded || first->exclude_class.IsFirst(
                            first->exclude_class.LowerBound(name)));
    Check(first->mbtn_discard_class.Contains(name) ==
          again->mbtn_discard_class.Contains(name));
  }
}

template <typename Word>
void HookFilter(std::string_view input) {
  const auto code = Take<int32_t>(input);
  // Mostly PM_REMOVE: any other value, taken whole, is rarely exactly that.
  const Word removal = Take<uint8_t>(input) & 1 ? Take<Word>(input) : 1;
  // Most messages in or near the range the hook looks at.
  const uint32_t message = 0x200 + Take<uint8_t>(input) % 0x20;
  const auto wParam = Take<Word>(input);
  const auto flags = Take<uint8_t>(input);
  if (!hook::IsCandidate<Word>(code, removal, message)) return;
  const hook::Decision d =
      hook::DecideCandidate<Word>(message, wParam, flags & 1, flags & 2);
  switch (d.outcome) {
    case hook::Outcome::PassOn:
      Check(d.count == 0);
      break;
    case hook::Outcome::StripMarker:
      Check(d.count == 0 && (wParam & MK_INJECTED) &&
            hook::WithoutMarker(wParam) == (wParam ^ MK_INJECTED));
      break;
    case hook::Outcome::Swallow:
      Check(d.count <= 2 && (flags & 2) && !(wParam & MK_INJECTED));
      break;
  }
  for (uint8_t i = 0; i < d.count; ++i)
    Check(d.notifications[i].message >= WMU_MBUTTON_CLICK &&
          d.notifications[i].message <= WMU_XBUTTON2_UP);
}

void Dispatcher(std::string_view input) {
  // Windows 0 to 7 (0 is none), their classes from a few that the rules
  // know, parents and bars and replies from the input.
  const char* const classes[] = {"",     "msctls_updown32", "Edit", "Top",
                                 "Pane", "PaneX",           "Drop", "Pass"};
  FakeDesktop desktop;
  for (WindowId w = 1; w < 8; ++w) {
    FakeWindow& window = desktop.windows[w];
    window.className = classes[Take<uint8_t>(input) % 8];
    window.parent = Take<uint8_t>(input) % 8;
    for (ScrollBar& bar : window.bars)
      bar = {(Take<uint8_t>(input) & 1) != 0, Take<int32_t>(input),
             Take<uint32_t>(input)};
    for (auto& reply : window.replies)
      if (Take<uint8_t>(input) & 1) reply = Take<uint32_t>(input);
  }
  HostState state;
  ResetClassLists(state);
  state.scroll_counts = Take<int32_t>(input);
  state.exclude_class.Insert("Pane");
  state.exclude_parent_class.Insert("Top");
  state.mbtn_discard_class.Insert("Drop");
  state.mbtn_passthrough_class.Insert("Pass");
  const uint32_t message = WMU_MBUTTON_CLICK - 1 + Take<uint8_t>(input) % 7;
  const WindowId target = Take<uint8_t>(input) % 8;
  Dispatch(desktop, state, message, target, Take<int64_t>(input));
  Check(desktop.posts.size() <= 1001);
  for (const FakePost& post : desktop.posts)
    Check(post.window != 0 &&
          (post.window == target || message == WMU_MBUTTON_CLICK));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  void (*const targets[])(std::string_view) = {
      HookFilter<uint64_t>, HookFilter<uint32_t>, Dispatcher, Settings};
  const uint8_t pick = Take<uint8_t>(input);
  targets[pick % 4](input);
  return 0;
}
