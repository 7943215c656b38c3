// The ordered set of window-class names that the host tests class names
// against, with the exact rule (Contains) and the prefix rule
// (IsClassExcluded). Keys are byte strings in the ANSI code page, compared
// byte by byte as unsigned values, case-sensitively; a proper prefix sorts
// before the longer key.
#pragma once

#include <stddef.h>

#include <iterator>
#include <memory>
#include <memory_resource>
#include <set>
#include <string_view>

namespace tavrin::rules {

class ClassNameSet {
 public:
  // string_view compares through char_traits<char>, whose order is that of
  // unsigned char.
  using Keys = std::pmr::set<std::string_view>;
  using Position = Keys::const_iterator;

  ClassNameSet() = default;
  ClassNameSet(const ClassNameSet&) = delete;
  ClassNameSet& operator=(const ClassNameSet&) = delete;

  // Removes every key.
  void Clear() noexcept {
    store_->keys.clear();
    store_->arena.release();
  }

  // Exchanges the keys of the two sets, without copying any.
  void Swap(ClassNameSet& other) noexcept { store_.swap(other.store_); }

  // Adds the key; one already present stays once. Empty keys and keys that
  // hold a NUL byte are not keys and are ignored.
  void Insert(std::string_view key);

  // The exact rule: true if a key equals the name byte for byte.
  bool Contains(std::string_view name) const;

  // The key that equals the name, as the set holds it; empty when none does.
  std::string_view Find(std::string_view name) const;

  // Whether both sets hold the same keys.
  bool operator==(const ClassNameSet& other) const {
    return store_->keys == other.store_->keys;
  }

  // The first key that does not sort before the name, or End().
  Position LowerBound(std::string_view name) const {
    return store_->keys.lower_bound(name);
  }
  Position End() const noexcept { return store_->keys.end(); }
  bool IsFirst(Position p) const noexcept { return p == store_->keys.begin(); }
  // The key immediately before p, which must be a key that is not the first.
  static Position Predecessor(Position p) { return std::prev(p); }

 private:
  // The arena holds the tree's nodes and the keys' bytes. A key is never
  // removed on its own, so a load costs no allocation per key and Clear
  // frees all at once.
  struct Store {
    std::pmr::monotonic_buffer_resource arena{4096};
    Keys keys{&arena};
  };
  std::unique_ptr<Store> store_ = std::make_unique<Store>();
};

// The prefix rule for the exclude_class set: the name matches when it equals
// a key other than the first, or when it begins with the greatest key that
// sorts below it. One ordered lookup, one step back, two comparisons.
bool IsClassExcluded(const ClassNameSet& set, std::string_view name);

// The key that makes the prefix rule match the name; empty when none does.
std::string_view ExcludingKey(const ClassNameSet& set, std::string_view name);

}  // namespace tavrin::rules
