// Numbers for the calls of a contest, and the buckets that gather every
// contact two stations logged of each other on one band in one class of
// mode. Both are open-addressing tables hashed from the process's random
// start, so that no log can pile its calls into one run of slots.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "contest/contest_store.h"

namespace zelo {

// Calls compared without regard to case get one number each, in the order
// first seen. Views point into the logs' bytes.
class CallTable {
 public:
  std::uint32_t Intern(std::string_view call);
  // The number of a call seen before; nullopt for one never seen.
  std::optional<std::uint32_t> Find(std::string_view call) const;
  std::string_view Call(std::uint32_t id) const { return calls_[id]; }
  std::size_t size() const { return calls_.size(); }

 private:
  static std::uint64_t Hash(std::string_view call);
  void Grow();

  std::vector<std::uint32_t> slots_;
  std::vector<std::string_view> calls_;
  std::vector<std::uint64_t> hashes_;
};

// (call, call, band, mode class) buckets: every contact two stations logged
// of each other on one band in one class of mode lands in one bucket.
class BucketTable {
 public:
  struct Key {
    std::uint32_t low = 0, high = 0;  // the two call numbers, the lower first
    std::uint32_t band_mode = 0;      // the band's index, then the mode class above it
    bool operator==(const Key&) const = default;
  };
  static Key MakeKey(std::uint32_t a, std::uint32_t b, std::uint32_t band, std::uint32_t mode);

  // Room for `count` buckets without growing: growing holds the old table
  // and the new one at once.
  void Reserve(std::size_t count);
  std::uint32_t FindOrAdd(const Key& key);
  std::uint32_t Find(const Key& key) const;  // kNone when absent
  std::uint32_t size() const { return count_; }

 private:
  static std::uint64_t Hash(const Key& key);
  void Grow(std::size_t slots);

  std::vector<Key> keys_;
  std::vector<std::uint32_t> values_;
  std::uint32_t count_ = 0;
};

}  // namespace zelo
