// Closest-first pairing and the one-edit index against plain reference
// implementations on many random cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "contest/near_calls.h"
#include "contest/pairing.h"

namespace zelo {
namespace {

using Pairs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

// Every unpaired pair within the window looked at again for each pairing.
Pairs ReferencePairs(const std::vector<PairItem>& a, const std::vector<PairItem>& b, std::int32_t window) {
  std::vector<bool> used_a(a.size()), used_b(b.size());
  Pairs pairs;
  for (;;) {
    std::tuple<std::int64_t, std::uint32_t, std::uint32_t> best{INT64_MAX, 0, 0};
    std::pair<std::uint32_t, std::uint32_t> chosen{0, 0};
    for (std::uint32_t i = 0; i < a.size(); ++i) {
      for (std::uint32_t j = 0; j < b.size(); ++j) {
        if (used_a[i] || used_b[j] || a[i].time == kNoTime || b[j].time == kNoTime) continue;
        const std::int64_t d = std::llabs(std::int64_t{a[i].time} - b[j].time);
        if (d > window) continue;
        const auto key = std::make_tuple(d, std::min(a[i].rank, b[j].rank), std::max(a[i].rank, b[j].rank));
        if (key < best) best = key, chosen = {i, j};
      }
    }
    if (std::get<0>(best) == INT64_MAX) break;
    used_a[chosen.first] = used_b[chosen.second] = true;
    pairs.push_back(chosen);
  }
  const auto first_free = [](const std::vector<PairItem>& side, const std::vector<bool>& used) {
    std::uint32_t best = static_cast<std::uint32_t>(side.size());
    for (std::uint32_t k = 0; k < side.size(); ++k) {
      if (!used[k] && (best == side.size() || side[k].rank < side[best].rank)) best = k;
    }
    return best;
  };
  for (std::uint32_t i = 0; i < a.size(); ++i) {
    if (a[i].time != kNoTime || used_a[i]) continue;
    const std::uint32_t j = first_free(b, used_b);
    if (j == b.size()) break;
    used_a[i] = used_b[j] = true;
    pairs.emplace_back(i, j);
  }
  for (std::uint32_t j = 0; j < b.size(); ++j) {
    if (b[j].time != kNoTime || used_b[j]) continue;
    const std::uint32_t i = first_free(a, used_a);
    if (i == a.size()) break;
    used_a[i] = used_b[j] = true;
    pairs.emplace_back(i, j);
  }
  std::sort(pairs.begin(), pairs.end());
  return pairs;
}

TEST(Pairing, ClosestFirstAgreesWithTheReference) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::uint32_t> ranks(random() % 12 + 2);
    std::iota(ranks.begin(), ranks.end(), 0U);
    std::shuffle(ranks.begin(), ranks.end(), random);
    const std::size_t split = random() % (ranks.size() - 1) + 1;
    const int spread = static_cast<int>(random() % 40) + 1;
    std::vector<PairItem> a, b;
    for (std::size_t k = 0; k < ranks.size(); ++k) {
      const std::int32_t time = random() % 10 == 0 ? kNoTime : static_cast<std::int32_t>(random() % spread);
      (k < split ? a : b).push_back({time, ranks[k]});
    }
    std::sort(a.begin(), a.end(), PairOrder);
    std::sort(b.begin(), b.end(), PairOrder);
    const std::int32_t window = static_cast<std::int32_t>(random() % 12);
    Pairs got = PairClosestFirst(a, b, window);
    std::sort(got.begin(), got.end());
    ASSERT_EQ(got, ReferencePairs(a, b, window)) << "round " << round;
  }
}

TEST(Pairing, ContactMinute) {
  EXPECT_EQ(ContactMinute("1970-01-01", "0000"), 0);
  EXPECT_EQ(ContactMinute("2026-03-08", "0005") - ContactMinute("2026-03-07", "2355"), 10);
  EXPECT_EQ(ContactMinute("2028-02-29", "1200") - ContactMinute("2028-02-28", "1200"), 1440);
  for (const auto& [date, time] : std::vector<std::pair<std::string, std::string>>{
           {"2026-02-29", "1200"}, {"2026-13-01", "1200"}, {"2026-03-07", "2400"}, {"2026-03-07", "12:00"},
           {"07.03.2026", "1200"}, {"2026-03-07", "1260"}, {"", ""}}) {
    EXPECT_EQ(ContactMinute(date, time), kNoTime) << date << " " << time;
  }
}

TEST(NearCalls, IndexAgreesWithComparingEveryCall) {
  std::mt19937 random(11);
  const std::string letters = "AB1";  // few letters: many calls one edit apart
  const auto call = [&] {
    std::string c;
    for (std::size_t n = random() % 4 + 1; n > 0; --n) c += letters[random() % letters.size()];
    return c;
  };
  std::set<std::string> entrants;
  while (entrants.size() < 60) entrants.insert(call());
  NearCallIndex index;
  std::vector<std::string> by_id(entrants.begin(), entrants.end());
  for (std::uint32_t id = 0; id < by_id.size(); ++id) index.Add(by_id[id], id);
  for (int round = 0; round < 300; ++round) {
    const std::string worked = call();
    std::vector<std::uint32_t> expected;
    for (std::uint32_t id = 0; id < by_id.size() && expected.size() < NearCallIndex::kMaxNear; ++id) {
      if (OneEditApart(by_id[id], worked)) expected.push_back(id);
    }
    EXPECT_EQ(index.Near(worked), expected) << worked;
  }
}

}  // namespace
}  // namespace zelo
