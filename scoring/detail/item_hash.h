// The hash of the multiplier sets, opened for tests that make items collide.
// Program code does not call these.
#pragma once

#include <cstdint>
#include <string_view>

namespace zelo::detail {

// The random start the multiplier sets hash from, chosen once per process.
std::uint64_t ItemHashSeed();

// Replaces that start, so a test can hash with a seed it knows. Call it
// between scoring runs, never during one.
void SetItemHashSeed(std::uint64_t seed);

// The hash a multiplier set gives `item` under the current seed.
std::uint64_t ItemHash(std::string_view item);

}  // namespace zelo::detail
