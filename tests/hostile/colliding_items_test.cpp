// Multiplier items chosen to pile up in one place of a hash table whose hash
// anyone can compute: data/colliding_items.txt holds 12,000 items that all
// start in the same slot of any table of up to 32,768 slots under unseeded
// 64-bit FNV-1a with a murmur finish (found by trying short items in turn).
// Scored six bands over, twice each, they must cost about what as many
// ordinary items cost, not time that grows with the square of their number.
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "hostile_support.h"
#include "scoring/score_log.h"

namespace zelo::hostile {
namespace {

std::vector<std::string> CollidingItems() {
  std::ifstream in(std::string(ZELO_TEST_DATA) + "/../hostile/data/colliding_items.txt");
  std::vector<std::string> items;
  for (std::string line; std::getline(in, line);) items.push_back(line);
  return items;
}

// Every item on each of the six bands, the whole list twice per band (the
// second round looks every item up again).
std::string LogOfItems(const std::vector<std::string>& items) {
  std::string log = std::string(kHeader) + "\r\n";
  long n = 0;
  for (const char* freq : {"1825", "3525", "7025", "14025", "21025", "28025"}) {
    for (int round = 0; round < 2; ++round) {
      for (const std::string& item : items) log += ContactLine(freq, Numbered("K", n++), item) + "\r\n";
    }
  }
  return log;
}

// The best of three runs, in seconds.
double ScoringSeconds(const std::string& log, std::int64_t expected_mults) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const ScoreResult result = ScoreLog(log);
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    EXPECT_EQ(result.total_mults, expected_mults);
  }
  return best;
}

TEST(CollidingItems, CostNoMoreThanOrdinaryItems) {
  const std::vector<std::string> colliding = CollidingItems();
  ASSERT_EQ(colliding.size(), 12'000u);
  // As many ordinary items of about the same length.
  std::vector<std::string> ordinary;
  for (std::size_t i = 0; i < colliding.size(); ++i) ordinary.push_back(colliding[(i * 7919) % colliding.size()] + "X");

  const double ordinary_seconds = ScoringSeconds(LogOfItems(ordinary), 6 * 12'000);
  const double colliding_seconds = ScoringSeconds(LogOfItems(colliding), 6 * 12'000);
  EXPECT_LT(colliding_seconds, 4 * ordinary_seconds + 0.05)
      << "colliding items " << colliding_seconds << " s, ordinary items " << ordinary_seconds << " s";
}

}  // namespace
}  // namespace zelo::hostile
