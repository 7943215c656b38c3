// Fuzzes the class-list reader and the prefix rule. The reader's pieces are
// checked against a byte-at-a-time model of text mode and fgets, for several
// cuts of the input into chunks and over a stream; the prefix and exact
// rules are checked against a linear scan over keys sorted by their unsigned
// bytes.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "class_name_set.h"
#include "settings_reader.h"

namespace {

using namespace tavrin::host;

void Check(bool condition) {
  if (!condition) abort();
}

std::vector<std::string> ModelPieces(std::string_view raw) {
  std::vector<std::string> pieces(1);
  for (size_t i = 0; i < raw.size() && raw[i] != '\x1A'; ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    pieces.back() += raw[i];
    if (raw[i] == '\n' || pieces.back().size() == kLinePieceBytes) {
      pieces.emplace_back();
    }
  }
  if (pieces.back().empty()) pieces.pop_back();
  return pieces;
}

std::vector<std::string> PiecesOf(LineSource& source) {
  std::vector<std::string> pieces;
  source.Rewind();
  for (std::string_view piece; source.ReadLine(piece);) {
    pieces.emplace_back(piece);
  }
  return pieces;
}

void CheckPieces(std::string_view input) {
  const std::vector<std::string> expected = ModelPieces(input);
  for (const size_t chunk_bytes :
       {size_t{2}, size_t{7}, size_t{2048}, size_t{64 * 1024}}) {
    MemoryLineSource source(input, chunk_bytes);
    Check(PiecesOf(source) == expected);
    Check(PiecesOf(source) == expected);  // again after a rewind
  }
  if (input.empty()) return;
  FILE* stream = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
  if (stream == nullptr) return;
  StreamLineSource source(stream, true);
  Check(PiecesOf(source) == expected);
  fclose(stream);
}

void ReadAllSections(std::string_view input) {
  MemoryLineSource source(input);
  ClassNameSet set;
  for (const char* header :
       {"[exclude_class]", "[exclude_parent_class]", "[mbtn_discard_class]",
        "[mbtn_passthrough_class]"}) {
    ReadClassSection(source, header, set);
  }
  Check(!set.Contains(""));
}

bool UnsignedLess(std::string_view a, std::string_view b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

bool ModelExcluded(const std::vector<std::string>& sorted,
                   std::string_view name) {
  size_t bound = 0;
  while (bound < sorted.size() && UnsignedLess(sorted[bound], name)) ++bound;
  if (bound == sorted.size() || bound == 0) return false;
  if (sorted[bound] == name) return true;
  return name.substr(0, sorted[bound - 1].size()) == sorted[bound - 1];
}

// Keys and names are the input's lines, cut at LF and NUL.
void CheckRules(std::string_view input) {
  std::vector<std::string> lines;
  for (size_t start = 0; start <= input.size() && lines.size() < 64;) {
    const size_t end = std::min(
        input.find_first_of(std::string_view("\n\0", 2), start), input.size());
    lines.emplace_back(input.substr(start, end - start));
    start = end + 1;
  }
  const size_t key_count = lines.size() / 2 + 1;
  ClassNameSet set;
  std::vector<std::string> sorted;
  for (size_t i = 0; i < key_count && i < lines.size(); ++i) {
    set.Insert(lines[i]);
    if (!lines[i].empty()) sorted.push_back(lines[i]);
  }
  std::sort(sorted.begin(), sorted.end(), UnsignedLess);
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  Check(set.Size() == sorted.size());
  for (const std::string& line : lines) {
    for (const std::string& name :
         {line, line + "x", line + "\xFF", line.substr(0, line.size() / 2)}) {
      Check(IsClassExcluded(set, name) == ModelExcluded(sorted, name));
      Check(set.Contains(name) == std::binary_search(sorted.begin(),
                                                     sorted.end(), name,
                                                     UnsignedLess));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckPieces(input);
  ReadAllSections(input);
  CheckRules(input);
  return 0;
}
