#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/report.h"
#include "scoring/score_log.h"
#include "test_log.h"

namespace zelo {
namespace {

using test::AlignedLine;
using test::AlignedLog;
using test::Qso;
using Lines = std::vector<std::string>;

const std::string kRule(129, '_');

struct NumberCase {
  std::int64_t n;
  std::string_view number;  // FormatNumber
  std::string_view count;   // FormatCount
};
const NumberCase kNumberCases[] = {
    {0, " 0", "  0"},
    {7, " 7", "  7"},
    {9, " 9", "  9"},
    {10, " 10", " 10"},
    {12, " 12", " 12"},
    {99, " 99", " 99"},
    {100, " 100", " 100"},
    {123, " 123", " 123"},
    {32767, " 32767", " 32767"},
    {32768, " 32768", " 32768"},
    {2147483647, " 2147483647", " 2147483647"},
    {2147483648, " 2147483648", " 2147483648"},
    {4294967296, " 4294967296", " 4294967296"},
    {INT64_MAX, " 9223372036854775807", " 9223372036854775807"},
    {-1, "-1", " -1"},
};

class NumberTextTest : public testing::TestWithParam<NumberCase> {};

TEST_P(NumberTextTest, SignPlaceAndCountWidth) {
  EXPECT_EQ(FormatNumber(GetParam().n), GetParam().number);
  EXPECT_EQ(FormatCount(GetParam().n), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(Numbers, NumberTextTest, testing::ValuesIn(kNumberCases));

TEST(NumberText, EntryIsNumberBlankItem) {
  EXPECT_EQ(FormatEntry(12, "K"), " 12 K");
  EXPECT_EQ(FormatEntry(1, "A"), " 1 A");
  EXPECT_EQ(FormatEntry(3, ""), " 3 ");
}

// Contacts with calls of their own (C001, C002, ...), one per item, on one
// frequency; an empty item is logged with a report of 5, which carries none.
std::vector<Qso> Contacts(std::string_view freq, const std::vector<std::string>& items, int first_call = 1) {
  std::vector<Qso> qsos;
  for (const std::string& item : items) {
    const int n = first_call + static_cast<int>(qsos.size());
    std::string call = std::to_string(1000 + n);
    call[0] = 'C';
    qsos.push_back({std::string(freq), call, item.empty() ? "5" : "599", item.empty() ? "ZZ" : item});
  }
  return qsos;
}

std::vector<Qso> Concat(std::vector<std::vector<Qso>> parts) {
  std::vector<Qso> all;
  for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Items M01..Mnn in a scrambled order.
std::vector<std::string> NumberedItems(int count) {
  std::vector<std::string> items;
  for (int i = 0; i < count; ++i) {
    const int n = (i * 7) % count + 1;
    items.push_back((n < 10 ? "M0" : "M") + std::to_string(n));
  }
  return items;
}

TEST(ScoreReport, WorkedExample) {
  // Twelve contacts on 20 m: items A, A, B, C; four with a report of 9 or
  // less (their field 13 does not count) and four with no field 13 at all.
  std::vector<Qso> qsos = {{"14025", "K1AA", "599", "A"},  {"14030", "K1AB", "599", "A"},
                           {"14035", "K1AC", "599", "B"},  {"14040", "K1AD", "599", "C"},
                           {"14045", "K1AE", "9", "Z"},    {"14050", "K1AF", "5", "Y"},
                           {"14055", "K1AG", "59", ""},    {"14060", "K1AH", "599", ""},
                           {"14065", "K1AI", "0", "X"},    {"14070", "K1AJ", "+9", "W"},
                           {"14075", "K1AK", "599", ""},   {"14080", "K1AL", "599", ""}};
  const std::string log = AlignedLog(qsos);
  const ScoreResult result = ScoreLog(log);
  const Lines expected = {
      "                            ZELO Razezuz Score Diva 1.11 - YO3ZELO",
      kRule,
      "160M:",
      kRule,
      "80M:",
      kRule,
      "40M:",
      kRule,
      "20M:",
      " 1 A 2 B 3 C",
      kRule,
      "15M:",
      kRule,
      "10M:",
      kRule,
      "160M  QSOS  =   0",
      " 80M  QSOS  =   0",
      " 40M  QSOS  =   0",
      " 20M  QSOS  =  12",
      " 15M  QSOS  =   0",
      " 10M  QSOS  =   0",
      kRule,
      "TOTAL QSOS  =  12",
      "Total MULTS   =  3.",
      kRule,
      "                           *** FINAL SCORE =  36 ***",
  };
  EXPECT_EQ(WriteReport(result), expected);
  EXPECT_EQ(result.final_score, 36);
  EXPECT_EQ(result.total_qsos, 12);
  EXPECT_EQ(result.total_mults, 3);
}

// The lines between a band's heading and the rule that follows it.
Lines Section(const Lines& report, Band band) {
  auto it = std::find(report.begin(), report.end(), std::string(ReportHeading(band)));
  if (it == report.end()) return {"<no heading>"};
  auto end = std::find(it + 1, report.end(), kRule);
  return Lines(it + 1, end);
}

// Exactly ten and more than twenty multipliers in a long log are pinned by
// the many_mults golden report.
struct SectionCase {
  std::string_view name;
  std::vector<Qso> qsos;
  Band band;
  Lines section;
  std::int64_t total_mults;
};
const SectionCase kSectionCases[] = {
    {"BandWithoutContacts", Contacts("14025", {"A"}), Band::k160, {}, 1},
    {"TenMetresWithoutContacts", Contacts("14025", {"A"}), Band::k10, {}, 1},
    {"ContactsWithoutItem", Contacts("21025", {"", ""}), Band::k15, {""}, 0},
    {"NineMultipliers", Contacts("14025", NumberedItems(9)), Band::k20,
     {" 1 M01 2 M02 3 M03 4 M04 5 M05 6 M06 7 M07 8 M08 9 M09"}, 9},
    {"TenMultipliersInTenRecords", Contacts("28400", NumberedItems(10)), Band::k10,
     {" 1 M01 2 M02 3 M03 4 M04 5 M05 6 M06 7 M07 8 M08 9 M09 10 M10", ""}, 10},
    {"ElevenMultipliersInTwelveRecords",
     Concat({Contacts("7025", NumberedItems(11)), Contacts("7025", {""}, 12)}), Band::k40,
     {" 1 M01 2 M02 3 M03 4 M04 5 M05 6 M06 7 M07 8 M08 9 M09 10 M10", " 11 M11"}, 11},
    {"ItemsCompareWithCase", Contacts("14025", {"ABC", "abc", "ABC"}), Band::k20, {" 1 ABC 2 abc"}, 2},
    {"ItemsSortByBytes", Contacts("1825", {"b", "B", "", "a1", "A", "a"}), Band::k160,
     {" 1 A 2 B 3 a 4 a1 5 b"}, 5},
    {"SameItemOnTwoBands", Concat({Contacts("14025", {"HR", "HR"}), Contacts("21025", {"HR"}, 3)}),
     Band::k15, {" 1 HR"}, 2},
    {"UpperBandsWithoutTwenty", Concat({Contacts("21025", {"X", "Y"}), Contacts("28400", {"Z"}, 3)}),
     Band::k10, {" 1 Z"}, 3},
};

class ReportSectionTest : public testing::TestWithParam<SectionCase> {};

TEST_P(ReportSectionTest, MultiplierLinesOfABand) {
  const std::string log = AlignedLog(GetParam().qsos);
  const ScoreResult result = ScoreLog(log);
  EXPECT_EQ(Section(WriteReport(result), GetParam().band), GetParam().section);
  EXPECT_EQ(result.total_mults, GetParam().total_mults);
  const std::string mults_line = "Total MULTS   = " + FormatNumber(GetParam().total_mults) + ".";
  const Lines report = WriteReport(result);
  EXPECT_NE(std::find(report.begin(), report.end(), mults_line), report.end())
      << mults_line;
}

INSTANTIATE_TEST_SUITE_P(Logs, ReportSectionTest, testing::ValuesIn(kSectionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScoreReport, TenMetresSectionRunsIntoTheCountLines) {
  const std::string log = AlignedLog(Contacts("28400", {"A"}));
  const ScoreResult result = ScoreLog(log);
  const Lines& report = WriteReport(result);
  const auto heading = std::find(report.begin(), report.end(), "10M:");
  ASSERT_LT(heading + 3, report.end());
  EXPECT_EQ(heading[1], " 1 A");
  EXPECT_EQ(heading[2], kRule);
  EXPECT_EQ(heading[3], "160M  QSOS  =   0");
}

TEST(ScoreReport, NoMultipliersScoresZero) {
  const std::string log = AlignedLog(Concat({Contacts("14025", {"", "", ""}), Contacts("3525", {""}, 4)}));
  const ScoreResult result = ScoreLog(log);
  const Lines report = WriteReport(result);
  ASSERT_GE(report.size(), 4U);
  const auto tail = Lines(report.end() - 4, report.end());
  EXPECT_EQ(tail, (Lines{"TOTAL QSOS  =  4", "Total MULTS   =  0.", kRule,
                         "                           *** FINAL SCORE =  0 ***"}));
}

TEST(ScoreReport, LogWithoutContactsGivesZeroReport) {
  const std::string texts[] = {"", "START-OF-LOG: 3.0\r\nCALLSIGN: YO3ZELO\r\nEND-OF-LOG:\r\n",
                               "START-OF-LOG: 3.0\r\nX-QS0: 14025\r\nqso: 14025 CW\r\n"};
  const Lines expected = {
      "                            ZELO Razezuz Score Diva 1.11 - ",
      kRule, "160M:", kRule, "80M:", kRule, "40M:", kRule, "20M:", kRule, "15M:", kRule, "10M:", kRule,
      "160M  QSOS  =   0", " 80M  QSOS  =   0", " 40M  QSOS  =   0", " 20M  QSOS  =   0",
      " 15M  QSOS  =   0", " 10M  QSOS  =   0", kRule, "TOTAL QSOS  =  0", "Total MULTS   =  0.", kRule,
      "                           *** FINAL SCORE =  0 ***"};
  for (const std::string& text : texts) {
    const ScoreResult result = ScoreLog(text);
    EXPECT_EQ(WriteReport(result), expected) << text;
    EXPECT_EQ(result.records, 0);
    EXPECT_EQ(result.final_score, 0);
  }
}

TEST(ScoreReport, SingleContactIsScored) {
  const std::string log = AlignedLog(std::vector<Qso>{{"21025", "YP2GO", "599", "HR"}}, "\r\n", "YO9ONE");
  const ScoreResult result = ScoreLog(log);
  EXPECT_EQ(result.records, 1);
  EXPECT_EQ(WriteReport(result).front(), "                            ZELO Razezuz Score Diva 1.11 - YO9ONE");
  EXPECT_EQ(Section(WriteReport(result), Band::k15), Lines{" 1 HR"});
  EXPECT_EQ(result.Tally(Band::k15).calls, std::vector<std::string_view>{"YP2GO"});
  EXPECT_EQ(result.final_score, 1);
}

TEST(ScoreReport, OwnCallIsThatOfTheLastContactRecord) {
  // Field 6 of the last record that is a contact, a repeated one included;
  // a record without separators after it changes nothing.
  const std::string log = AlignedLine({"14025", "A1A"}, "YO3AAA") + AlignedLine({"14025", "B1B"}, "YO3BBB") +
                          AlignedLine({"14025", "B1B"}, "YO3CCC") + "QSO:nothing\r\n";
  EXPECT_EQ(ScoreLog(log).my_call, "YO3CCC");
}

TEST(ScoreReport, CountsBeyondThirtyTwoBits) {
  // 46341 contacts on 20 m, each with its own multiplier: 46341 x 46341 is
  // just above the largest 32-bit signed number.
  constexpr int kContacts = 46341;
  std::string log = "START-OF-LOG: 3.0\r\n";
  log.reserve(static_cast<std::size_t>(kContacts) * 84);
  for (int i = 0; i < kContacts; ++i) {
    const std::string id = std::to_string(100000 + i).substr(1);
    log += AlignedLine({"14025", "K" + id, "599", "M" + id});
  }
  log += "END-OF-LOG:\r\n";
  const ScoreResult result = ScoreLog(log);
  EXPECT_EQ(result.total_qsos, kContacts);
  EXPECT_EQ(result.total_mults, kContacts);
  EXPECT_EQ(result.final_score, 2147488281);
  const Lines report = WriteReport(result);
  const Lines tail(report.end() - 11, report.end());
  EXPECT_EQ(tail, (Lines{"160M  QSOS  =   0", " 80M  QSOS  =   0", " 40M  QSOS  =   0",
                         " 20M  QSOS  =  46341", " 15M  QSOS  =   0", " 10M  QSOS  =   0", kRule,
                         "TOTAL QSOS  =  46341", "Total MULTS   =  46341.", kRule,
                         "                           *** FINAL SCORE =  2147488281 ***"}));
  EXPECT_EQ(Section(WriteReport(result), Band::k20),
            (Lines{" 1 M00000 2 M00001 3 M00002 4 M00003 5 M00004 6 M00005 7 M00006 8 M00007 9 M00008 10 M00009",
                   " 11 M00010 12 M00011 13 M00012 14 M00013 15 M00014 16 M00015 17 M00016 18 M00017 19 M00018 "
                   "20 M00019"}));
}

}  // namespace
}  // namespace zelo
