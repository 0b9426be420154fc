#include "contest/call_table.h"

#include <algorithm>

#include "input/seeded_hash.h"
#include "input/text.h"

namespace zelo {

std::uint64_t CallTable::Hash(std::string_view call) {
  return SeededHash(call, 0, [](char c) { return UpperAscii(c); });
}

std::uint32_t CallTable::Intern(std::string_view call) {
  if ((calls_.size() + 1) * 2 > slots_.size()) Grow();
  const std::uint64_t hash = Hash(call);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    if (slots_[i] == kNone) {
      slots_[i] = static_cast<std::uint32_t>(calls_.size());
      calls_.push_back(call);
      hashes_.push_back(hash);
      return slots_[i];
    }
    if (hashes_[slots_[i]] == hash && EqualNoCase(calls_[slots_[i]], call)) return slots_[i];
  }
}

std::optional<std::uint32_t> CallTable::Find(std::string_view call) const {
  if (slots_.empty()) return std::nullopt;
  const std::uint64_t hash = Hash(call);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    if (slots_[i] == kNone) return std::nullopt;
    if (hashes_[slots_[i]] == hash && EqualNoCase(calls_[slots_[i]], call)) return slots_[i];
  }
}

void CallTable::Grow() {
  std::vector<std::uint32_t> bigger(std::max<std::size_t>(64, slots_.size() * 2), kNone);
  const std::size_t mask = bigger.size() - 1;
  for (std::uint32_t id = 0; id < calls_.size(); ++id) {
    std::size_t i = hashes_[id] & mask;
    while (bigger[i] != kNone) i = (i + 1) & mask;
    bigger[i] = id;
  }
  slots_ = std::move(bigger);
}

BucketTable::Key BucketTable::MakeKey(std::uint32_t a, std::uint32_t b, std::uint32_t band, std::uint32_t mode) {
  const std::uint32_t lo = std::min(a, b), hi = std::max(a, b);
  return {lo, hi, mode << 3 | band};
}

// The keys are call numbers, spread by MixBits; no log chooses them.
std::uint64_t BucketTable::Hash(const Key& key) {
  const std::uint64_t calls = static_cast<std::uint64_t>(key.low) << 32 | key.high;
  return MixBits(calls ^ HashSeed() ^ (static_cast<std::uint64_t>(key.band_mode) * 0x9E3779B97F4A7C15ULL));
}

void BucketTable::Reserve(std::size_t count) {
  std::size_t slots = 64;
  while (slots * 4 < count * 5) slots *= 2;
  if (slots > keys_.size()) Grow(slots);
}

std::uint32_t BucketTable::FindOrAdd(const Key& key) {
  if ((count_ + 1) * 5 > keys_.size() * 4) Grow(std::max<std::size_t>(64, keys_.size() * 2));
  const std::size_t mask = keys_.size() - 1;
  for (std::size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
    if (values_[i] == kNone) {
      keys_[i] = key;
      values_[i] = count_++;
      return values_[i];
    }
    if (keys_[i] == key) return values_[i];
  }
}

std::uint32_t BucketTable::Find(const Key& key) const {
  if (keys_.empty()) return kNone;
  const std::size_t mask = keys_.size() - 1;
  for (std::size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
    if (values_[i] == kNone) return kNone;
    if (keys_[i] == key) return values_[i];
  }
}

// Linear probing stays short up to four fifths full.
void BucketTable::Grow(std::size_t slots) {
  std::vector<Key> keys(slots);
  std::vector<std::uint32_t> values(slots, kNone);
  const std::size_t mask = slots - 1;
  for (std::size_t j = 0; j < keys_.size(); ++j) {
    if (values_[j] == kNone) continue;
    std::size_t i = Hash(keys_[j]) & mask;
    while (values[i] != kNone) i = (i + 1) & mask;
    keys[i] = keys_[j];
    values[i] = values_[j];
  }
  keys_ = std::move(keys);
  values_ = std::move(values);
}

}  // namespace zelo
