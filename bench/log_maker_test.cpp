#include "bench/log_maker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "input/log_file.h"
#include "scoring/score_log.h"

namespace zelo::bench {
namespace {

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::size_t take = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(0, take));
    text.remove_prefix(take);
  }
  return lines;
}

std::size_t CountQso(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = text.find("QSO:"); at != std::string_view::npos; at = text.find("QSO:", at + 1)) {
    ++count;
  }
  return count;
}

struct ShapeCase {
  LogShape shape;
  std::int64_t contacts;
  std::uint64_t seed;
};

const ShapeCase kShapeCases[] = {
    {LogShape::kAligned, 0, 1},    {LogShape::kAligned, 1, 1},    {LogShape::kAligned, 3000, 1},
    {LogShape::kAligned, 3000, 7}, {LogShape::kLf, 3000, 2},      {LogShape::kOneLine, 2000, 3},
    {LogShape::kOneLine, 1, 3},    {LogShape::kHugeLine, 0, 4},   {LogShape::kHugeLine, 500, 5},
    {LogShape::kDistinct, 2500, 6},
};

class GeneratedLogTest : public testing::TestWithParam<ShapeCase> {
 protected:
  GeneratedLog Make() const {
    return MakeLog({.shape = GetParam().shape,
                    .contacts = GetParam().contacts,
                    .seed = GetParam().seed,
                    .huge_line_bytes = 200'000});
  }
};

// The facts the generator tallied are what a scoring run finds.
TEST_P(GeneratedLogTest, ScoringFindsTheTalliedFacts) {
  const GeneratedLog log = Make();
  const ScoreResult result = ScoreLog(log.text);
  EXPECT_EQ(result.records, log.facts.records);
  EXPECT_EQ(static_cast<std::size_t>(result.records), CountQso(log.text));
  EXPECT_EQ(result.my_call, log.facts.my_call);
  for (Band band : kBands) {
    SCOPED_TRACE(std::string(BandName(band)));
    const std::size_t b = BandIndex(band);
    EXPECT_EQ(result.BandCount(band), log.facts.band_count[b]);
    const std::vector<std::string_view> expected(log.facts.multipliers[b].begin(),
                                                 log.facts.multipliers[b].end());
    EXPECT_EQ(result.Tally(band).multipliers, expected);
  }
  EXPECT_EQ(result.total_qsos, log.facts.TotalQsos());
  EXPECT_EQ(result.total_mults, log.facts.TotalMults());
  EXPECT_EQ(result.final_score, log.facts.TotalQsos() * log.facts.TotalMults());
}

TEST_P(GeneratedLogTest, SameSeedGivesSameBytes) {
  const GeneratedLog a = Make();
  const GeneratedLog b = Make();
  EXPECT_EQ(a.text, b.text);
  EXPECT_TRUE(CheckLogHeader(a.text).valid);
  EXPECT_TRUE(a.text.ends_with(GetParam().shape == LogShape::kLf ? "\nEND-OF-LOG:\n"
                                                                 : "\r\nEND-OF-LOG:\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Shapes, GeneratedLogTest, testing::ValuesIn(kShapeCases));

// The shapes differ as their names say.
TEST(GeneratedLog, AlignedLinesShareOneLengthAndEndInCrLf) {
  const GeneratedLog log = MakeLog({.shape = LogShape::kAligned, .contacts = 5000});
  std::size_t contact_lines = 0;
  std::size_t length = 0;
  for (std::string_view line : Lines(log.text)) {
    ASSERT_TRUE(line.ends_with("\r\n")) << line;
    if (!line.starts_with("QSO:")) continue;
    if (contact_lines++ == 0) length = line.size();
    EXPECT_EQ(line.size(), length) << line;
  }
  EXPECT_EQ(contact_lines, 5000U);
  EXPECT_GT(length, 80U);
}

TEST(GeneratedLog, LfShapeHasNoCarriageReturn) {
  const GeneratedLog log = MakeLog({.shape = LogShape::kLf, .contacts = 2000});
  EXPECT_EQ(log.text.find('\r'), std::string::npos);
  EXPECT_EQ(Lines(log.text).size(), 2000U + 10U);  // 9 header lines and END-OF-LOG
}

TEST(GeneratedLog, OneLineShapePutsEveryContactOnOneLine) {
  const GeneratedLog log = MakeLog({.shape = LogShape::kOneLine, .contacts = 3000});
  std::size_t lines_with_contacts = 0;
  for (std::string_view line : Lines(log.text)) {
    const std::size_t count = CountQso(line);
    if (count == 0) continue;
    ++lines_with_contacts;
    EXPECT_EQ(count, 3000U);
  }
  EXPECT_EQ(lines_with_contacts, 1U);
}

TEST(GeneratedLog, HugeLineIsAsLongAsAsked) {
  const GeneratedLog log =
      MakeLog({.shape = LogShape::kHugeLine, .contacts = 10, .huge_line_bytes = 300'000});
  std::size_t longest = 0;
  for (std::string_view line : Lines(log.text)) longest = std::max(longest, line.size());
  EXPECT_LE(longest, 300'000U);
  EXPECT_GT(longest, 300'000U - 64U);
  EXPECT_EQ(log.facts.records, 11);
}

TEST(GeneratedLog, DistinctShapeGivesEveryContactItsOwnMultiplier) {
  const GeneratedLog log = MakeLog({.shape = LogShape::kDistinct, .contacts = 4000});
  EXPECT_EQ(log.facts.band_count[BandIndex(Band::k20)], 4000);
  EXPECT_EQ(log.facts.multipliers[BandIndex(Band::k20)].size(), 4000U);
  EXPECT_EQ(log.facts.TotalQsos(), 4000);
}

// A realistic log holds every band, duplicates, off-band contacts and bonus
// stations, so that a run over it takes every path of the scoring.
TEST(GeneratedLog, AlignedLogTakesEveryScoringPath) {
  const GeneratedLog log = MakeLog({.shape = LogShape::kAligned, .contacts = 20000});
  for (Band band : kBands) {
    EXPECT_GT(log.facts.band_count[BandIndex(band)], 2000) << BandName(band);
    EXPECT_GT(log.facts.multipliers[BandIndex(band)].size(), 40U) << BandName(band);
  }
  std::int64_t duplicates = 0, off_band = 0, bonus = 0;
  struct Counter final : ScoreObserver {
    std::int64_t* duplicates;
    std::int64_t* off_band;
    std::int64_t* bonus;
    void OnRecord(const RecordOutcome& out) override {
      if (out.outcome == Outcome::kDuplicate) ++*duplicates;
      if (out.outcome == Outcome::kNoBand) ++*off_band;
      if (out.outcome == Outcome::kStored && BonusItem(out.call)) ++*bonus;
    }
  } counter;
  counter.duplicates = &duplicates;
  counter.off_band = &off_band;
  counter.bonus = &bonus;
  ScoreLog(log.text, &counter);
  EXPECT_GT(duplicates, 20);
  EXPECT_GT(off_band, 10);
  EXPECT_GT(bonus, 10);
  EXPECT_EQ(log.facts.records - log.facts.TotalQsos(), duplicates + off_band);
}

TEST(GeneratedLog, ShapeNamesRoundTrip) {
  struct NameCase {
    std::string_view name;
    std::optional<LogShape> shape;
  };
  const NameCase kNames[] = {{"aligned", LogShape::kAligned},   {"lf", LogShape::kLf},
                             {"one-line", LogShape::kOneLine},  {"huge-line", LogShape::kHugeLine},
                             {"distinct", LogShape::kDistinct}, {"Aligned", std::nullopt},
                             {"", std::nullopt}};
  for (const NameCase& c : kNames) EXPECT_EQ(ShapeFromName(c.name), c.shape) << c.name;
}

}  // namespace
}  // namespace zelo::bench
