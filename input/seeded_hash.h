// The one hash that tables keyed by log text use. It starts from a value
// chosen at random once per process, so that nobody can work out, ahead of
// time, thousands of calls or items that all land in one run of slots and
// make every insertion walk past all the others. No result depends on the
// start: whatever a table's slot order, what it yields is sorted or looked up.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

namespace zelo {

namespace detail {
// The random start, chosen when the program starts.
extern std::atomic<std::uint64_t> hash_seed;
}  // namespace detail

// The process's random start.
inline std::uint64_t HashSeed() { return detail::hash_seed.load(std::memory_order_relaxed); }

// Replaces the start, so that a test can hash with a seed it knows. Call it
// between runs, never during one.
void SetHashSeed(std::uint64_t seed);

// Spreads the bits of `x` over the whole word, so that keys differing only
// in a few bits still land far apart.
inline std::uint64_t MixBits(std::uint64_t x) {
  x ^= x >> 33;
  x *= 0xFF51AFD7ED558CCDULL;
  return x ^ (x >> 33);
}

// FNV-1a of the bytes (each passed through `fold`) from the process's
// start xor `salt`, then mixed.
template <typename Fold>
std::uint64_t SeededHash(std::string_view bytes, std::uint64_t salt, Fold fold) {
  std::uint64_t hash = 0xCBF29CE484222325ULL ^ HashSeed() ^ salt;
  for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(fold(c))) * 0x100000001B3ULL;
  return MixBits(hash);
}

inline std::uint64_t SeededHash(std::string_view bytes, std::uint64_t salt = 0) {
  return SeededHash(bytes, salt, [](char c) { return c; });
}

}  // namespace zelo
