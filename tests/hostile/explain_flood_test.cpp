// zelo-score --explain tells, for every stored contact, whether its item is a
// new multiplier. The standard library's string hash has a fixed seed and can
// be undone block by block, so anyone can write thousands of different items
// with one and the same hash; explaining such a log must still cost about
// what explaining ordinary items costs.
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "hostile_support.h"

namespace zelo::hostile {
namespace {

// The 64-bit string hash of libstdc++ (MurmurHash64A with a fixed seed), for
// 16-byte texts: two 8-byte blocks.
constexpr std::uint64_t kMul = (std::uint64_t{0xc6a4a793} << 32) + 0x5bd1e995;
constexpr std::uint64_t kSeed = 0xc70f6907;

std::uint64_t ShiftMix(std::uint64_t v) { return v ^ (v >> 47); }  // its own inverse

std::uint64_t Inverse(std::uint64_t odd) {
  std::uint64_t x = odd;
  for (int i = 0; i < 6; ++i) x *= 2 - odd * x;
  return x;
}

std::uint64_t Block(std::uint64_t data) { return ShiftMix(data * kMul) * kMul; }
std::uint64_t UnBlock(std::uint64_t mixed) { return ShiftMix(mixed * Inverse(kMul)) * Inverse(kMul); }

// `count` different 16-byte items whose hashes are all equal: the first
// block is free, the second is solved so that the state after it is the same.
std::vector<std::string> ItemsWithOneHash(int count) {
  const std::uint64_t start = kSeed ^ (16 * kMul);
  const std::uint64_t target = 0x5A5A5A5A5A5A5A5AULL;
  std::vector<std::string> items;
  for (std::uint64_t n = 0; static_cast<int>(items.size()) < count; ++n) {
    char first[9];
    std::snprintf(first, sizeof first, "M%07llu", static_cast<unsigned long long>(n));
    std::uint64_t a = 0;
    std::memcpy(&a, first, 8);
    const std::uint64_t state = (start ^ Block(a)) * kMul;
    const std::uint64_t b = UnBlock(state ^ target);
    std::string item(first, 8);
    item.append(reinterpret_cast<const char*>(&b), 8);
    // An item is one field: no blank, tab or line end in it.
    if (item.find_first_of(std::string_view(" \t\r\n", 4)) != std::string::npos) continue;
    items.push_back(std::move(item));
  }
  return items;
}

std::string LogOf(const std::vector<std::string>& items) {
  std::string log = std::string(kHeader) + "\r\n";
  long n = 0;
  for (const std::string& item : items) log += ContactLine("14025", Numbered("K", n++), item) + "\r\n";
  return log;
}

double ExplainSeconds(const std::string& path) {
  const char* argv[] = {"zelo-score", "--explain", path.c_str()};
  double best = 1e9;
  for (int run = 0; run < 2; ++run) {
    std::ostringstream out, err;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunCli(3, argv, out, err), kExitScored) << err.str();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

TEST(ExplainFlood, ItemsWithOneHashCostNoMoreThanOrdinaryItems) {
  const std::vector<std::string> colliding = ItemsWithOneHash(40'000);
  const std::hash<std::string_view> hash;
  for (const std::string& item : colliding) {
    if (hash(item) != hash(colliding.front())) GTEST_SKIP() << "this standard library hashes strings differently";
  }
  std::vector<std::string> ordinary;
  for (std::size_t i = 0; i < colliding.size(); ++i) ordinary.push_back(Numbered("ORDINARY", static_cast<long long>(i)));

  Scratch s;
  const double ordinary_seconds = ExplainSeconds(s.Write("ordinary.log", LogOf(ordinary)));
  const double colliding_seconds = ExplainSeconds(s.Write("colliding.log", LogOf(colliding)));
  EXPECT_LT(colliding_seconds, 4 * ordinary_seconds + 0.1)
      << "colliding items " << colliding_seconds << " s, ordinary items " << ordinary_seconds << " s";
}

}  // namespace
}  // namespace zelo::hostile
