// Small generated contests: the cross-check agrees with the truth of every
// line, and the truth holds every kind of fault the recipe asks for.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "bench/contest_maker.h"
#include "contest/contest.h"

namespace zelo::bench {
namespace {

struct Case {
  int stations, contacts;
  std::uint64_t seed;
  double fault_rate;
  int window;
  double station_faults = 0.0;  // clocks far off, resubmitted logs, /P calls, twins, single bands, reworks
};

class GeneratedContestTest : public testing::TestWithParam<Case> {};

TEST_P(GeneratedContestTest, EveryStatusAsTheTruthSays) {
  const Case c = GetParam();
  ContestRecipe recipe;
  recipe.stations = c.stations;
  recipe.contacts_per_station = c.contacts;
  recipe.seed = c.seed;
  recipe.time_window_minutes = c.window;
  recipe.missing = recipe.busted_call = recipe.busted_exchange = recipe.repeat = recipe.wrong_mode = c.fault_rate;
  if (c.station_faults > 0) {
    recipe.clock_outside = recipe.resubmitted = recipe.portable = recipe.twin = recipe.single_band = c.station_faults;
    recipe.rework = c.station_faults / 2;
  }
  const GeneratedContest contest = MakeContest(recipe);
  std::vector<NamedLog> logs;
  for (const ContestLogFile& log : contest.logs) logs.push_back({log.name, log.bytes, log.modified});
  const ContestResult result = CrossCheckLogs(std::move(logs), {.time_window_minutes = c.window});

  std::map<std::pair<std::string, std::int64_t>, ContactCheck> found;
  ASSERT_TRUE(result.skipped.empty()) << result.skipped.front().path << ": " << result.skipped.front().reason;
  for (const LogCheck& log : result.logs) {
    for (const ContactCheck& check : log.contacts) found[{log.file, check.line}] = check;
  }
  ASSERT_EQ(found.size(), contest.truth.size());
  std::set<std::string> statuses;
  for (const TruthRow& row : contest.truth) {
    const ContactCheck& check = found.at({row.file, row.line});
    EXPECT_EQ(StatusName(check.status), row.status) << row.file << ":" << row.line;
    EXPECT_EQ(check.correct_call, row.correct_call) << row.file << ":" << row.line;
    EXPECT_EQ(check.counted, row.counted) << row.file << ":" << row.line;
    statuses.insert(row.status);
  }
  if (c.station_faults > 0) {
    std::size_t superseded = 0, offsets = 0;
    for (const LogCheck& log : result.logs) {
      superseded += log.superseded_by != kNoLog ? 1 : 0;
      offsets += log.clock_offset ? 1 : 0;
    }
    EXPECT_GT(superseded, 0U);
    EXPECT_GT(offsets, 0U);
  }
  EXPECT_EQ(statuses, (std::set<std::string>{"busted-call", "busted-exchange", "confirmed", "nil", "repeat", "unique",
                                             "unverified"}));
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedContestTest,
                         testing::Values(Case{60, 40, 1, 0.05, 10}, Case{200, 60, 2, 0.02, 10},
                                         Case{120, 80, 3, 0.10, 10}, Case{150, 50, 4, 0.05, 3},
                                         Case{300, 80, 5, 0.03, 10, 0.08}, Case{200, 60, 6, 0.05, 15, 0.10}));

TEST(GeneratedContest, SameRecipeSameContest) {
  const ContestRecipe recipe{.stations = 30, .contacts_per_station = 20, .seed = 9};
  const GeneratedContest a = MakeContest(recipe), b = MakeContest(recipe);
  ASSERT_EQ(a.logs.size(), b.logs.size());
  for (std::size_t i = 0; i < a.logs.size(); ++i) EXPECT_EQ(a.logs[i].bytes, b.logs[i].bytes);
  EXPECT_EQ(TruthTsv(a.truth), TruthTsv(b.truth));
}

}  // namespace
}  // namespace zelo::bench
