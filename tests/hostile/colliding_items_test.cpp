// Multiplier items chosen to pile up in one place of a hash table whose hash
// anyone can compute: data/colliding_items.txt holds 12,000 items that all
// start in the same slot of any table of up to 32,768 slots when the
// multiplier sets hash from seed 0 (64-bit FNV-1a with a murmur finish,
// found by trying short items in turn). The sets hash from a seed chosen at
// random per process, so the same items spread over the table there; with
// the seed fixed at 0 they collide, and a set that every probe collides in
// must still count each item once.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "input/seeded_hash.h"
#include "scoring/score_log.h"
#include "support/contacts.h"

namespace zelo::test {
namespace {

constexpr std::uint64_t kSlots = 32'768;

std::vector<std::string> CollidingItems() {
  std::ifstream in(std::string(ZELO_TEST_DATA) + "/../hostile/data/colliding_items.txt");
  std::vector<std::string> items;
  for (std::string line; std::getline(in, line);) items.push_back(line);
  return items;
}

// How many different slots of a kSlots table the items start in.
std::size_t SlotsUsed(const std::vector<std::string>& items) {
  std::set<std::uint64_t> slots;
  for (const std::string& item : items) slots.insert(SeededHash(item) % kSlots);
  return slots.size();
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

// Restores the process's own seed when a test that fixed it ends.
class FixedSeed {
 public:
  explicit FixedSeed(std::uint64_t seed) : saved_(HashSeed()) { SetHashSeed(seed); }
  ~FixedSeed() { SetHashSeed(saved_); }
  FixedSeed(const FixedSeed&) = delete;
  FixedSeed& operator=(const FixedSeed&) = delete;

 private:
  std::uint64_t saved_;
};

TEST(CollidingItems, SpreadUnderTheProcessSeed) {
  const std::vector<std::string> items = CollidingItems();
  ASSERT_EQ(items.size(), 12'000u);
  // Hashed at random, 12,000 items fill about 10,000 of 32,768 slots.
  EXPECT_GT(SlotsUsed(items), 8'000u) << "seed " << HashSeed();
  EXPECT_EQ(ScoreLog(LogOfItems(items)).total_mults, 6 * 12'000);
}

TEST(CollidingItems, PileUpUnderSeedZeroAndStillCountOnce) {
  const std::vector<std::string> items = CollidingItems();
  ASSERT_EQ(items.size(), 12'000u);
  const FixedSeed zero(0);
  EXPECT_EQ(SlotsUsed(items), 1u) << "the items no longer collide: the hash changed, remake the data file";
  // Every insertion walks past all items before it: a few hundred keep it short.
  const std::vector<std::string> some(items.begin(), items.begin() + 400);
  EXPECT_EQ(ScoreLog(LogOfItems(some)).total_mults, 6 * 400);
}

}  // namespace
}  // namespace zelo::test
