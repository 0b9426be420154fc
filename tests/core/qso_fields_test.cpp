#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string_view>

#include "scoring/qso_fields.h"

namespace zelo {
namespace {

using Fields = std::array<std::string_view, 13>;  // fields 1 to 13

constexpr Fields kFullFields = {"QSO:", "14025", "CW",    "2026-02-14", "0000", "YO3ZELO", "599",
                                "0001", "BU",    "YP2GO", "599",        "0098", "HR"};

struct SplitCase {
  std::string_view name;
  std::string_view record;
  Fields fields;
};
const SplitCase kSplitCases[] = {
    {"ThirteenTokensCrLf", "QSO: 14025 CW 2026-02-14 0000 YO3ZELO 599 0001 BU YP2GO 599 0098 HR\r\n",
     kFullFields},
    {"RunsOfBlanks",
     "QSO:  14025 CW 2026-02-14 0000 YO3ZELO      599 0001 BU YP2GO        599 0098 HR\r\n",
     kFullFields},
    {"LfEnd", "QSO: 14025 CW 2026-02-14 0000 YO3ZELO 599 0001 BU YP2GO 599 0098 HR\n", kFullFields},
    {"LoneCrEnd", "QSO: 14025 CW 2026-02-14 0000 YO3ZELO 599 0001 BU YP2GO 599 0098 HR\r", kFullFields},
    {"NoLineEnd", "QSO: 14025 CW 2026-02-14 0000 YO3ZELO 599 0001 BU YP2GO 599 0098 HR", kFullFields},
    {"Tabs", "QSO:\t14025\tCW\t2026-02-14\t0000\tYO3ZELO\t599\t0001\tBU\tYP2GO\t599\t0098\tHR\r\n",
     kFullFields},
    {"MixedBlankTabRuns",
     "QSO: \t 14025\t\tCW  \t2026-02-14 0000\t YO3ZELO 599 0001 BU YP2GO 599 0098 \tHR\n", kFullFields},
    {"TrailingBlanks",
     "QSO: 14025 CW 2026-02-14 0000 YO3ZELO 599 0001 BU YP2GO 599 0098 HR    \r\n", kFullFields},
    {"TrailingTab", "QSO: 14025 CW 2026-02-14 0000 YO3ZELO 599 0001 BU YP2GO 599 0098 HR\t\r\n",
     kFullFields},
    {"ExtraTokensDropped",
     "QSO: 14025 CW 2026-02-14 0000 YO3ZELO 599 0001 BU YP2GO 599 0098 HR XX 7 Z\r\n", kFullFields},
    {"ThreeTokens", "QSO: 14025 CW\r\n",
     {"QSO:", "14025", "", "", "", "", "", "", "", "", "", "", "CW"}},
    {"TwelveTokens", "QSO: a b c d e f g h i j k\r\n",
     {"QSO:", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "", "k"}},
    {"TwelveTokensTrailingBlank", "QSO: a b c d e f g h i j k \r\n",
     {"QSO:", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", ""}},
    {"NoSeparator", "QSO:14025CW\r\n", {"", "", "", "", "", "", "", "", "", "", "", "", "QSO:14025CW"}},
    {"CutBeforeNextQsoOnTheLine", "QSO: 14025 CW ",
     {"QSO:", "14025", "CW", "", "", "", "", "", "", "", "", "", ""}},
    {"OnlyOneLineEndDropped", "QSO: 14025 CW\n\n",
     {"QSO:", "14025", "", "", "", "", "", "", "", "", "", "", "CW\n"}},
    {"DataNeverDropped", "QSO: 14025 CW", {"QSO:", "14025", "", "", "", "", "", "", "", "", "", "", "CW"}},
    {"HighBytesKept", "QSO: 14025 \xC3\xA9\xFF\r\n",
     {"QSO:", "14025", "", "", "", "", "", "", "", "", "", "", "\xC3\xA9\xFF"}},
};

class SplitQsoFieldsTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitQsoFieldsTest, FieldsOneToThirteen) {
  const QsoFields fields = SplitQsoFields(GetParam().record);
  EXPECT_TRUE(fields[0].empty());
  for (int n = 1; n <= 13; ++n) {
    EXPECT_EQ(fields[n], GetParam().fields[static_cast<std::size_t>(n - 1)]) << "field " << n;
  }
}

TEST_P(SplitQsoFieldsTest, FieldsPointIntoTheRecord) {
  const std::string_view record = GetParam().record;
  const QsoFields fields = SplitQsoFields(record);
  for (int n = 1; n <= 13; ++n) {
    if (fields[n].empty()) continue;
    EXPECT_GE(fields[n].data(), record.data()) << "field " << n;
    EXPECT_LE(fields[n].data() + fields[n].size(), record.data() + record.size()) << "field " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Records, SplitQsoFieldsTest, testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct BandCase {
  std::string_view freq;
  std::optional<Band> band;
};
const BandCase kBandCases[] = {
    {"01825", Band::k160}, {"1825", Band::k160},  {"1850", Band::k160},  {"18", Band::k160},
    {"3805", Band::k80},   {"3525", Band::k80},   {"03525", Band::k80},  {"7250", Band::k40},
    {"7025", Band::k40},   {"07025", Band::k40},  {"14030", Band::k20},  {"14", Band::k20},
    {"149999", Band::k20}, {"14MHz", Band::k20},  {"21050", Band::k15},  {"28400", Band::k10},
    {"1910", std::nullopt}, {"1900", std::nullopt}, {"3700", std::nullopt}, {"7125", std::nullopt},
    {"29600", std::nullopt}, {"50100", std::nullopt}, {"10100", std::nullopt}, {"0", std::nullopt},
    {"1", std::nullopt},   {"7", std::nullopt},   {"", std::nullopt},    {"l4030", std::nullopt},
    {"I4030", std::nullopt}, {" 14030", std::nullopt}, {"QSO:", std::nullopt},
};

class BandTableTest : public testing::TestWithParam<BandCase> {};

TEST_P(BandTableTest, PrefixChoosesBand) { EXPECT_EQ(BandOf(GetParam().freq), GetParam().band); }

INSTANTIATE_TEST_SUITE_P(Frequencies, BandTableTest, testing::ValuesIn(kBandCases));

TEST(BandNames, NameAndBandRoundTrip) {
  const std::string_view names[] = {"160", "80", "40", "20", "15", "10"};
  for (std::size_t i = 0; i < kBands.size(); ++i) {
    EXPECT_EQ(BandName(kBands[i]), names[i]);
    EXPECT_EQ(BandFromName(names[i]), kBands[i]);
  }
  for (std::string_view other : {"", "160M", "6", "2", "20 "}) {
    EXPECT_EQ(BandFromName(other), std::nullopt) << other;
  }
}

}  // namespace
}  // namespace zelo
