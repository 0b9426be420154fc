// Random test data that every run sees the same: a generator with the seed
// the test gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

namespace zelo::test {

class SeededRandom {
 public:
  explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}

  // A number in [0, n).
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
  // Any byte value.
  char Byte() { return static_cast<char>(engine_() & 0xFF); }

 private:
  std::mt19937_64 engine_;
};

}  // namespace zelo::test
