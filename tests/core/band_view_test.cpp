#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "scoring/report.h"
#include "scoring/score_log.h"
#include "test_log.h"
#include "views/band_view.h"
#include "views/listing.h"

namespace zelo {
namespace {

using test::AlignedLine;
using Lines = std::vector<std::string>;
using Calls = std::vector<std::string_view>;

const std::string kViewRule(94, '_');

struct ViewCase {
  std::string_view name;
  Calls calls;
  std::size_t count;
  Lines entries;  // the lines after rule, heading, rule
};
const ViewCase kViewCases[] = {
    {"NoContacts", {}, 0, {}},
    {"ThreeCalls", {"YP2GO", "K1AB", "Q1XA/60"}, 3, {" 1   YP2GO", " 2   K1AB", " 3   Q1XA/60"}},
    {"EmptyEntryKeepsItsNumber", {"YP2GO", "", "K1AB"}, 3, {" 1   YP2GO", " 3   K1AB"}},
    {"OnlyEmptyEntries", {"", ""}, 2, {}},
    {"TenthEntryIsWider",
     {"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8", "A9", "A10"},
     10,
     {" 1   A1", " 2   A2", " 3   A3", " 4   A4", " 5   A5", " 6   A6", " 7   A7", " 8   A8", " 9   A9",
      " 10   A10"}},
    {"CountLimitsTheEntries", {"A1", "A2", "A3"}, 2, {" 1   A1", " 2   A2"}},
    {"CountBeyondTheList", {"A1"}, 5, {" 1   A1"}},
};

class BandViewTest : public testing::TestWithParam<ViewCase> {};

TEST_P(BandViewTest, RuleHeadingRuleThenNumberedCalls) {
  Lines expected = {kViewRule, "20M QSO's:", kViewRule};
  expected.insert(expected.end(), GetParam().entries.begin(), GetParam().entries.end());
  EXPECT_EQ(BandViewLines("20M QSO's:", GetParam().calls, GetParam().count), expected);
}

INSTANTIATE_TEST_SUITE_P(Lists, BandViewTest, testing::ValuesIn(kViewCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BandView, HeadingOfEveryBand) {
  const std::string_view headings[] = {"160M QSO's:", "80M QSO's:", "40M QSO's:",
                                       "20M QSO's:",  "15M QSO's:", "10M QSO's:"};
  for (std::size_t i = 0; i < kBands.size(); ++i) {
    EXPECT_EQ(ViewHeading(kBands[i]), headings[i]);
    const Lines lines = BandViewLines(kBands[i], Calls{"K1AB"});
    EXPECT_EQ(lines, (Lines{kViewRule, std::string(headings[i]), kViewRule, " 1   K1AB"}));
  }
}

TEST(BandView, ContactWithoutWorkedCallLeavesAGap) {
  // The middle contact has too few fields to name a worked call; it is still
  // stored on 20 m, so the third contact keeps the number 3.
  const std::string log = AlignedLine({"14025", "YP2GO"}) + "QSO: 14030 CW\r\n" + AlignedLine({"14035", "K1AB"});
  const ScoreResult result = ScoreLog(log);
  ASSERT_EQ(result.BandCount(Band::k20), 3);
  EXPECT_EQ(BandViewLines(Band::k20, result.Tally(Band::k20).calls),
            (Lines{kViewRule, "20M QSO's:", kViewRule, " 1   YP2GO", " 3   K1AB"}));
}

struct ListingCase {
  std::string_view name;
  Lines lines;
  std::string_view bytes;
};
const ListingCase kListingCases[] = {
    {"NoLines", {}, "\r\n"},
    {"TwoLines", {"a", "b"}, "a\r\nb\r\n\r\n"},
    {"EmptyLineKept", {"", "x", ""}, "\r\nx\r\n\r\n\r\n"},
    {"TextUnchanged", {" 1   Q1XA/60 ", "\xC3\xA9\t"}, " 1   Q1XA/60 \r\n\xC3\xA9\t\r\n\r\n"},
};

class ListingBytesTest : public testing::TestWithParam<ListingCase> {};

TEST_P(ListingBytesTest, CrLfAfterEveryLineThenOneMore) {
  EXPECT_EQ(ListingBytes(GetParam().lines), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Listings, ListingBytesTest, testing::ValuesIn(kListingCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ListingBytes, EmptyBandViewGivesFourLines) {
  const Lines view = BandViewLines(Band::k160, Calls{});
  EXPECT_EQ(ListingBytes(view), kViewRule + "\r\n160M QSO's:\r\n" + kViewRule + "\r\n\r\n");
}

TEST(ListingBytes, ReportEndsWithTwoLineEnds) {
  const std::string log = AlignedLine({"14025", "YP2GO"});
  const ScoreResult result = ScoreLog(log);
  const std::string bytes = ListingBytes(WriteReport(result));
  EXPECT_TRUE(bytes.ends_with(" ***\r\n\r\n"));
  std::size_t line_ends = 0;
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) ++line_ends;
  EXPECT_EQ(line_ends, WriteReport(result).size() + 1);
}

}  // namespace
}  // namespace zelo
