#include "input/seeded_hash.h"

#include <chrono>
#include <exception>
#include <random>

namespace zelo {
namespace {

// 64 unpredictable bits: from the system's random source, or, should it
// fail, from the clock and where this process was loaded.
std::uint64_t RandomSeed() {
  try {
    std::random_device source;
    return (static_cast<std::uint64_t>(source()) << 32) ^ source();
  } catch (const std::exception&) {
    static const int here = 0;
    const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return now ^ static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&here));
  }
}

}  // namespace

namespace detail {
std::atomic<std::uint64_t> hash_seed{RandomSeed()};
}  // namespace detail

void SetHashSeed(std::uint64_t seed) { detail::hash_seed.store(seed, std::memory_order_relaxed); }

}  // namespace zelo
