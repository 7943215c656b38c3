// Times the class-list reader against a plain read of the same file, and one
// prefix test against a large set. Prints a table; not part of the tests.
//   settings_bench [directory for the temporary files]
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "class_name_set.h"
#include "settings_reader.h"

namespace {

using namespace tavrin::rules;
using Clock = std::chrono::steady_clock;

// Class names of the kinds found on a desktop, made unique by a number.
std::string ClassName(size_t i) {
  static const char* const kStems[] = {"Afx:400000:8:",  "WindowClass_",
                                       "SysListView32_", "App.Frame.",
                                       "RichEdit20A_",   "ToolWindow#"};
  return kStems[i % std::size(kStems)] + std::to_string(i * 2654435761u);
}

// entries lines spread over the four sections, in random order, with the
// value forms, comments and blank lines that hand-kept files have.
std::string SettingsFile(size_t entries) {
  std::vector<size_t> order(entries);
  for (size_t i = 0; i < entries; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(42));
  static const char* const kSections[] = {
      "[exclude_class]", "[exclude_parent_class]", "[mbtn_discard_class]",
      "[mbtn_passthrough_class]"};
  std::string text = "[general]\r\nscroll_counts=3\r\nclose_by_mbtn=1\r\n";
  for (size_t section = 0; section < 4; ++section) {
    text += std::string("\r\n") + kSections[section] + "\r\n# listed\r\n";
    for (size_t i = section; i < entries; i += 4) {
      text += ClassName(order[i]);
      text += i % 3 == 0 ? "=1\r\n" : "\r\n";
    }
  }
  return text;
}

template <typename Action>
double BestSeconds(int rounds, Action action) {
  double best = 1e9;
  for (int i = 0; i < rounds; ++i) {
    const auto start = Clock::now();
    action();
    best = std::min(
        best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

// The two plain reads: the bytes in 64 KiB blocks, and the lines with fgets
// into a buffer of the reader's size.
size_t ReadBlocks(const char* path) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return 0;
  static char chunk[64 * 1024];
  size_t total = 0;
  while (const size_t size = fread(chunk, 1, sizeof chunk, file)) total += size;
  fclose(file);
  return total;
}

size_t ReadLines(const char* path) {
  FILE* file = fopen(path, "r");
  if (file == nullptr) return 0;
  char line[kLinePieceBytes + 1];
  size_t total = 0;
  while (fgets(line, sizeof line, file)) ++total;
  fclose(file);
  return total;
}

// What a load does with the class lists of the file.
void ReadLists(const char* path, HostState& state) {
  FILE* file = fopen(path, "r");
  ResetClassLists(state);
  if (file == nullptr) return;
  ReadClassLists(file, state);
  fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path dir =
      argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
  const std::filesystem::path path = dir / "settings_bench.ini";
  static HostState state;
  if (path.string().size() >= kSettingsPathBytes) return 1;
  strcpy(state.settings_path, path.string().c_str());

  printf("%8s %9s %11s %11s %13s %12s\n", "entries", "bytes", "fread us",
         "fgets us", "class lists", "/ 4 fgets");
  for (const size_t entries : {size_t{10}, size_t{1000}, size_t{100000}}) {
    const std::string text = SettingsFile(entries);
    std::ofstream(path, std::ios::binary) << text;
    const int rounds = entries > 10000 ? 10 : 200;
    volatile size_t sink = 0;
    const char* const file = state.settings_path;
    const double blocks = BestSeconds(rounds, [&] { sink = ReadBlocks(file); });
    const double lines = BestSeconds(rounds, [&] { sink = ReadLines(file); });
    const double load =
        BestSeconds(rounds, [&] { ReadLists(state.settings_path, state); });
    printf("%8zu %9zu %11.1f %11.1f %10.1f us %11.1fx\n", entries, text.size(),
           blocks * 1e6, lines * 1e6, load * 1e6, load / (4 * lines));
  }
  std::filesystem::remove(path);

  ClassNameSet set;
  set.Insert(kLowSentinel);
  set.Insert(kHighSentinel);
  for (size_t i = 0; i < 100000; ++i) set.Insert(ClassName(i));
  std::vector<std::string> names;
  for (size_t i = 0; i < 4096; ++i) {
    names.push_back(ClassName(i * 37) + (i % 2 ? "Child" : ""));
  }
  constexpr int kTests = 1 << 20;
  volatile bool excluded = false;
  const double tests = BestSeconds(5, [&] {
    for (int i = 0; i < kTests; ++i) {
      excluded = IsClassExcluded(set, names[static_cast<size_t>(i) & 4095]);
    }
  });
  printf("IsClassExcluded, 100002 keys: %.0f ns per test\n",
         tests / kTests * 1e9);
  return 0;
}
