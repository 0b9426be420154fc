#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/score_log.h"
#include "test_log.h"

namespace zelo {
namespace {

using test::AlignedLog;
using test::Qso;
using Calls = std::vector<std::string_view>;
using PerBand = std::array<Calls, kBandCount>;  // 160, 80, 40, 20, 15, 10

constexpr ReportValue kAbove = ReportValue::kAboveNine;
constexpr ReportValue kLow = ReportValue::kNineOrLess;
constexpr ReportValue kNone = ReportValue::kNoNumber;
struct ValueCase {
  std::string_view report;
  ReportValue value;
};
const ValueCase kValueCases[] = {
    {"10", kAbove},    {"9", kLow},        {"599", kAbove},     {"59", kAbove},
    {"5", kLow},       {"0", kLow},        {"", kNone},         {"abc", kNone},
    {"A10", kNone},    {"  10", kAbove},   {"\t10", kAbove},    {" 9", kLow},
    {"9.5", kAbove},   {"9.0", kLow},      {"9.00001", kAbove}, {"9.9", kAbove},
    {"9.", kLow},      {"10.0", kAbove},   {"10.", kAbove},     {".5", kLow},
    {".", kNone},      {"+10", kAbove},    {"+9", kLow},        {"+9.5", kAbove},
    {"-10", kLow},     {"-599", kLow},     {"+", kNone},        {"-", kNone},
    {"+-10", kNone},   {"0010", kAbove},   {"010", kAbove},     {"0009", kLow},
    {"09.1", kAbove},  {"10abc", kAbove},  {"9abc", kLow},      {"9,5", kLow},
    {"5NN", kLow},     {"NN5", kNone},
    {"99999999999999999999999999999999", kAbove},
    {"00000000000000000000000000000009", kLow},
    {"00000000000000000000000000000010", kAbove},
    {"9.000000000000000000000000000001", kAbove},
};

class MultiplierValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(MultiplierValueTest, LeadingNumberAboveNine) {
  EXPECT_EQ(ClassifyReport(GetParam().report), GetParam().value);
  EXPECT_EQ(HasMultiplierValue(GetParam().report), GetParam().value == kAbove);
}

INSTANTIATE_TEST_SUITE_P(Reports, MultiplierValueTest, testing::ValuesIn(kValueCases));

struct BonusCase {
  std::string_view call;
  std::optional<std::string_view> item;
};
const BonusCase kBonusCases[] = {
    {"Q1XA", "Q1XA"},         {"Q1XA/60", "Q1XA"},         {"Q2XBM", "Q2XBM"},
    {"Q2XBM/60", "Q2XBM"},    {"Q5XCN", "Q5XCN"},          {"Q5XCN/60", "Q5XCN"},
    {"Q8XD", "Q8XD"},         {"Q8XD/60", "Q8XD"},         {"q1xa", std::nullopt},
    {"Q1XA/6", std::nullopt}, {"Q1XA/600", std::nullopt},  {"Q1XA/P", std::nullopt},
    {"Q1X", std::nullopt},    {"Q1XAQ", std::nullopt},     {"Q2XB", std::nullopt},
    {"Q8XD/60/60", std::nullopt}, {"", std::nullopt},      {"YP2GO", std::nullopt},
};

class BonusItemTest : public testing::TestWithParam<BonusCase> {};

TEST_P(BonusItemTest, PlainCallOfABonusStation) { EXPECT_EQ(BonusItem(GetParam().call), GetParam().item); }

INSTANTIATE_TEST_SUITE_P(Calls, BonusItemTest, testing::ValuesIn(kBonusCases));

struct ItemCase {
  std::string_view call;
  std::string_view report;
  std::string_view field13;
  std::string_view item;
};
const ItemCase kItemCases[] = {
    {"YP2GO", "599", "HR", "HR"},   {"YP2GO", "10", "HR", "HR"},   {"YP2GO", "9", "HR", ""},
    {"YP2GO", "", "HR", ""},        {"YP2GO", "599", "", ""},      {"Q1XA", "5", "HR", "Q1XA"},
    {"Q1XA/60", "599", "HR", "Q1XA"}, {"Q8XD/60", "", "", "Q8XD"}, {"Q5XCN", "599", "", "Q5XCN"},
    {"q1xa", "599", "HR", "HR"},    {"q1xa", "9", "HR", ""},
};

class MultiplierItemTest : public testing::TestWithParam<ItemCase> {};

TEST_P(MultiplierItemTest, ItemOfAStoredContact) {
  QsoFields fields;
  fields.field[kFieldWorkedCall] = GetParam().call;
  fields.field[kFieldReport] = GetParam().report;
  fields.field[kFieldItem] = GetParam().field13;
  EXPECT_EQ(MultiplierItem(fields), GetParam().item);
}

INSTANTIATE_TEST_SUITE_P(Contacts, MultiplierItemTest, testing::ValuesIn(kItemCases));

PerBand StoredCalls(const ScoreResult& result) {
  PerBand calls;
  for (Band band : kBands) calls[BandIndex(band)] = result.Tally(band).calls;
  return calls;
}

struct DuplicateCase {
  std::string_view name;
  std::vector<Qso> qsos;
  PerBand stored;
};
const DuplicateCase kDuplicateCases[] = {
    {"SameCallSameBandDropped", {{"14025", "A1A"}, {"14025", "A1A"}}, {{{}, {}, {}, {"A1A"}, {}, {}}}},
    {"SamePrefixOtherFrequencyDropped", {{"14025", "A1A"}, {"14299", "A1A"}}, {{{}, {}, {}, {"A1A"}, {}, {}}}},
    {"RepeatOfARepeatDropped",
     {{"14025", "A1A"}, {"14025", "A1A"}, {"14025", "A1A"}},
     {{{}, {}, {}, {"A1A"}, {}, {}}}},
    {"CallBetweenKeepsBoth",
     {{"14025", "A1A"}, {"14030", "B2B"}, {"14025", "A1A"}},
     {{{}, {}, {}, {"A1A", "B2B", "A1A"}, {}, {}}}},
    {"DroppedRepeatThenCallBetween",
     {{"14025", "A1A"}, {"14025", "A1A"}, {"14030", "B2B"}, {"14025", "A1A"}},
     {{{}, {}, {}, {"A1A", "B2B", "A1A"}, {}, {}}}},
    {"SameCallOtherBandKeepsBoth", {{"14025", "A1A"}, {"7025", "A1A"}}, {{{}, {}, {"A1A"}, {"A1A"}, {}, {}}}},
    {"OtherPrefixSameBandKeepsBoth", {{"3525", "A1A"}, {"3805", "A1A"}}, {{{}, {"A1A", "A1A"}, {}, {}, {}, {}}}},
    {"CallsCompareWithCase", {{"14025", "A1A"}, {"14025", "a1a"}}, {{{}, {}, {}, {"A1A", "a1a"}, {}, {}}}},
    {"NoBandContactIsThePrevious",
     {{"14025", "A1A"}, {"29600", "A1A"}, {"14025", "A1A"}},
     {{{}, {}, {}, {"A1A", "A1A"}, {}, {}}}},
    {"RepeatOnNoBandDropped",
     {{"29600", "A1A"}, {"29600", "A1A"}, {"1825", "A1A"}},
     {{{"A1A"}, {}, {}, {}, {}, {}}}},
};

class DuplicateRuleTest : public testing::TestWithParam<DuplicateCase> {};

TEST_P(DuplicateRuleTest, OnlyTheImmediateRepeatIsDropped) {
  const std::string log = AlignedLog(GetParam().qsos);
  const ScoreResult result = ScoreLog(log);
  EXPECT_EQ(StoredCalls(result), GetParam().stored);
  std::int64_t total = 0;
  for (const Calls& calls : GetParam().stored) total += static_cast<std::int64_t>(calls.size());
  EXPECT_EQ(result.total_qsos, total);
}

INSTANTIATE_TEST_SUITE_P(Sequences, DuplicateRuleTest, testing::ValuesIn(kDuplicateCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct BonusRunCase {
  std::string_view name;
  std::vector<Qso> qsos;
  PerBand stored;
  std::array<std::vector<std::string_view>, kBandCount> multipliers;
};
const BonusRunCase kBonusRunCases[] = {
    {"PlainThenPortableOneMultiplier",
     {{"3525", "Q2XBM", "5", ""}, {"3525", "Q2XBM/60", "5", ""}},
     {{{}, {"Q2XBM", "Q2XBM/60"}, {}, {}, {}, {}}},
     {{{}, {"Q2XBM"}, {}, {}, {}, {}}}},
    {"PortableThenPlainOneMultiplier",
     {{"3525", "Q2XBM/60", "599", "XX"}, {"3525", "Q2XBM", "599", "YY"}},
     {{{}, {"Q2XBM/60", "Q2XBM"}, {}, {}, {}, {}}},
     {{{}, {"Q2XBM"}, {}, {}, {}, {}}}},
    {"OnePerBand",
     {{"3525", "Q1XA", "5", ""}, {"7025", "Q1XA/60", "5", ""}, {"28400", "Q1XA", "599", "ZZ"}},
     {{{}, {"Q1XA"}, {"Q1XA/60"}, {}, {}, {"Q1XA"}}},
     {{{}, {"Q1XA"}, {"Q1XA"}, {}, {}, {"Q1XA"}}}},
    {"BonusBesideItems",
     {{"14025", "Q8XD", "599", "ZZ"}, {"14025", "YP2GO", "599", "Q8XD"}, {"14025", "Q5XCN/60", "9", "AA"}},
     {{{}, {}, {}, {"Q8XD", "YP2GO", "Q5XCN/60"}, {}, {}}},
     {{{}, {}, {}, {"Q5XCN", "Q8XD"}, {}, {}}}},
};

class BonusRunTest : public testing::TestWithParam<BonusRunCase> {};

TEST_P(BonusRunTest, BonusStationsCountUnderTheirPlainCall) {
  const std::string log = AlignedLog(GetParam().qsos);
  const ScoreResult result = ScoreLog(log);
  EXPECT_EQ(StoredCalls(result), GetParam().stored);
  std::int64_t mults = 0;
  for (Band band : kBands) {
    EXPECT_EQ(result.Tally(band).multipliers, GetParam().multipliers[BandIndex(band)]) << BandName(band);
    mults += static_cast<std::int64_t>(GetParam().multipliers[BandIndex(band)].size());
  }
  EXPECT_EQ(result.total_mults, mults);
}

INSTANTIATE_TEST_SUITE_P(Sequences, BonusRunTest, testing::ValuesIn(kBonusRunCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelo
