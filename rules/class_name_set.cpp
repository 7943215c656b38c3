#include "class_name_set.h"

#include <string.h>

namespace tavrin::rules {

void ClassNameSet::Insert(std::string_view key) {
  if (key.empty() || key.find('\0') != std::string_view::npos) return;
  // One search serves both the duplicate test and the insertion, and a key
  // that is present costs no allocation.
  Keys& keys = store_->keys;
  const Position at = keys.lower_bound(key);
  if (at != keys.end() && *at == key) return;
  char* const bytes = static_cast<char*>(store_->arena.allocate(key.size(), 1));
  memcpy(bytes, key.data(), key.size());
  keys.emplace_hint(at, bytes, key.size());
}

bool ClassNameSet::Contains(std::string_view name) const {
  return store_->keys.find(name) != store_->keys.end();
}

std::string_view ClassNameSet::Find(std::string_view name) const {
  const Position at = store_->keys.find(name);
  return at == store_->keys.end() ? std::string_view() : *at;
}

std::string_view ExcludingKey(const ClassNameSet& set, std::string_view name) {
  const ClassNameSet::Position bound = set.LowerBound(name);
  if (bound == set.End()) return {};
  // The first key never matches, not even a name equal to it: with the
  // sentinels loaded, that is "!".
  if (set.IsFirst(bound)) return {};
  if (*bound == name) return *bound;
  const std::string_view below = *ClassNameSet::Predecessor(bound);
  return name.starts_with(below) ? below : std::string_view();
}

bool IsClassExcluded(const ClassNameSet& set, std::string_view name) {
  return !ExcludingKey(set, name).empty();
}

}  // namespace tavrin::rules
