// The generators' random numbers and calls: splitmix64, small, fast and the
// same on every platform, so a seed always gives the same bytes.
#pragma once

#include <cstdint>
#include <string>

namespace zelo::bench {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  int Between(int low, int high) { return low + Below(high - low + 1); }
  bool Chance(double p) { return static_cast<double>(Next() >> 11) * 0x1.0p-53 < p; }

 private:
  std::uint64_t state_;
};

// A call such as "YO3ABC": one or two letters, a digit, one to three letters.
inline std::string RandomCall(Random& random) {
  std::string call;
  const int prefix_letters = random.Between(1, 2);
  for (int i = 0; i < prefix_letters; ++i) call += static_cast<char>('A' + random.Below(26));
  call += static_cast<char>('0' + random.Below(10));
  const int suffix_letters = random.Between(1, 3);
  for (int i = 0; i < suffix_letters; ++i) call += static_cast<char>('A' + random.Below(26));
  return call;
}

}  // namespace zelo::bench
