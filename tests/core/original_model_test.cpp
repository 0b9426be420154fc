// The scoring run checked against a literal model of the first scorer's scan:
// records cut from one "QSO:" to the next (the last one as long as the one
// before it), fields split at blanks only with the last field losing two
// characters when it ends in LF, bubble-sorted item lists of MaxQso + 1
// entries counted by comparing neighbours, and the report assembled from
// those counts. On column-aligned CR LF logs the two must agree line for line.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/report.h"
#include "scoring/score_log.h"
#include "support/random.h"
#include "test_log.h"

namespace zelo {
namespace {

using test::AlignedLine;
using test::Qso;
using test::ReadBytes;

// ---- 1-based string helpers in the manner of the first scorer ----

// Position of `what` in `s` counted from 1; 0 when absent.
long InStr(const std::string& s, std::string_view what) {
  const std::size_t at = s.find(what);
  return at == std::string::npos ? 0 : static_cast<long>(at) + 1;
}
std::string Left(const std::string& s, long n) { return s.substr(0, static_cast<std::size_t>(std::max(0L, n))); }
std::string Right(const std::string& s, long n) {
  if (n < 0) throw std::out_of_range("Right with a negative length");
  const auto len = static_cast<long>(s.size());
  return s.substr(static_cast<std::size_t>(len - std::min(n, len)));
}
std::string Mid(const std::string& s, long start, long n) {
  if (start < 1) throw std::out_of_range("Mid before the first character");
  if (start > static_cast<long>(s.size())) return "";
  return s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n));
}
std::string RTrim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}
// A number with its sign place.
std::string Str(long long n) { return n < 0 ? std::to_string(n) : " " + std::to_string(n); }
// The value of a text's leading number: blanks skipped, sign, digits, point.
double Val(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  double sign = 1;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) sign = s[i++] == '-' ? -1 : 1;
  double value = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') value = value * 10 + (s[i++] - '0');
  if (i < s.size() && s[i] == '.') {
    double scale = 0.1;
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, scale /= 10) value += (s[i] - '0') * scale;
  }
  return sign * value;
}

// ---- the model ----

std::array<std::string, 14> SplitFields(const std::string& record) {
  std::array<std::string, 14> field{};
  std::string work = record;
  int n = 1;
  while (n <= 13) {
    const long length = static_cast<long>(work.size());
    long b = InStr(work, " ");
    if (n == 13 && b == 0) break;
    while (Mid(work, b + 1, 1) == " ") ++b;
    field[static_cast<std::size_t>(n)] = RTrim(Left(work, b));
    work = Right(work, length - b);
    ++n;
  }
  if (n == 13) {
    if (!work.empty() && work.back() == '\n') work = Left(work, static_cast<long>(work.size()) - 2);
    field[13] = work;
  }
  return field;
}

int BandNumber(const std::string& prefix) {
  if (prefix == "01" || prefix == "18") return 0;
  if (prefix == "38" || prefix == "35" || prefix == "03") return 1;
  if (prefix == "72" || prefix == "70" || prefix == "07") return 2;
  if (prefix == "14") return 3;
  if (prefix == "21") return 4;
  if (prefix == "28") return 5;
  return -1;
}

void BubbleSort(std::vector<std::string>& list) {
  bool sorted = false;
  while (!sorted) {
    sorted = true;
    for (std::size_t i = 0; i + 1 < list.size(); ++i) {
      if (list[i] > list[i + 1]) {
        std::swap(list[i], list[i + 1]);
        sorted = false;
      }
    }
  }
}

struct ModelRun {
  std::vector<std::string> report;
  std::array<std::vector<std::string>, kBandCount> calls;
  std::vector<int> progress;
};

ModelRun OriginalScoreLog(const std::string& log_text) {
  ModelRun run;
  std::array<int, kBandCount> mult_count{1, 1, 1, 1, 1, 1};
  std::array<long, kBandCount> band_count{};
  std::string last_call, last_band, my_call;
  const auto log_length = static_cast<long>(log_text.size());

  long qso_count = 0;
  std::string copy = log_text;
  do {
    const long position = InStr(copy, "QSO:");
    copy = Right(copy, static_cast<long>(copy.size()) - position - 1);
    ++qso_count;
  } while (InStr(copy, "QSO:") != 0);
  const long max_qso = std::max(qso_count, 10L);
  const auto entries = static_cast<std::size_t>(max_qso + 1);
  std::array<std::vector<std::string>, kBandCount> band_calls, mult_items;
  for (auto& list : band_calls) list.assign(entries, "");
  for (auto& list : mult_items) list.assign(entries, "");
  std::vector<std::string> mult_list(entries);

  long position = InStr(log_text, "QSO:");
  long last_gap = 0;
  long progress_step = 0;
  for (long i = 0; i <= qso_count; ++i) {
    if (log_length - position < 1) break;
    long gap = InStr(Right(log_text, log_length - position), "QSO:");
    if (gap == 0) gap = last_gap;
    last_gap = gap;
    const std::string record = Mid(log_text, position, gap);
    if (Left(record, 10) == "END-OF-LOG") break;
    position += gap;
    const auto field = SplitFields(record);
    if (Left(field[1], 4) != "QSO:") continue;
    my_call = field[6];
    const bool has_mult = Val(field[11]) > 9;
    if (field[10] == last_call && Left(field[2], 2) == last_band) continue;
    last_call = field[10];
    last_band = Left(field[2], 2);
    const int band = BandNumber(last_band);
    if (band >= 0) {
      auto b = static_cast<std::size_t>(band);
      std::string item = has_mult ? field[13] : "";
      const std::string& call = field[10];
      if (call == "Q1XA" || call == "Q1XA/60") item = "Q1XA";
      if (call == "Q2XBM" || call == "Q2XBM/60") item = "Q2XBM";
      if (call == "Q5XCN" || call == "Q5XCN/60") item = "Q5XCN";
      if (call == "Q8XD" || call == "Q8XD/60") item = "Q8XD";
      band_calls[b].at(static_cast<std::size_t>(band_count[b])) = call;
      mult_items[b].at(static_cast<std::size_t>(band_count[b])) = item;
      ++band_count[b];
      if (band == 0) continue;
    }
    ++progress_step;
    const double estimate = std::floor(static_cast<double>(log_length) / static_cast<double>(record.size()));
    if (static_cast<double>(progress_step) > estimate) progress_step = static_cast<long>(estimate);
    run.progress.push_back(static_cast<int>(std::floor(static_cast<double>(progress_step) / estimate * 100)));
  }
  for (std::size_t b = 0; b < kBandCount; ++b) {
    if (band_count[b] > 0) BubbleSort(mult_items[b]);
  }

  const std::string rule(129, '_');
  const std::array<std::string, kBandCount> headings = {"160M:", "80M:", "40M:", "20M:", "15M:", "10M:"};
  const std::array<std::string, kBandCount> labels = {"160M  QSOS  = ", " 80M  QSOS  = ", " 40M  QSOS  = ",
                                                      " 20M  QSOS  = ", " 15M  QSOS  = ", " 10M  QSOS  = "};
  auto& lines = run.report;
  lines.push_back("                            ZELO Razezuz Score Diva 1.11 - " + my_call);
  lines.push_back(rule);
  for (std::size_t b = 0; b < kBandCount; ++b) {
    lines.push_back(headings[b]);
    if (band_count[b] == 0) {
      mult_count[b] = 0;
    } else {
      for (long k = 0; k <= max_qso - 1; ++k) {
        const auto& items = mult_items[b];
        if (items[static_cast<std::size_t>(k + 1)] != items[static_cast<std::size_t>(k)]) {
          mult_list.at(static_cast<std::size_t>(mult_count[b])) =
              Str(mult_count[b]) + " " + items[static_cast<std::size_t>(k + 1)];
          ++mult_count[b];
        }
      }
      std::string first;
      for (std::size_t n = 1; n <= 10; ++n) first += mult_list.at(n);
      lines.push_back(first);
      if (mult_count[b] > 10) {
        std::string second;
        for (std::size_t n = 11; n <= 20; ++n) second += mult_list.at(n);
        lines.push_back(second);
      }
    }
    if (b + 1 < kBandCount) {
      mult_list.assign(entries, "");
      lines.push_back(rule);
    }
  }
  for (int& count : mult_count) {
    if (count > 0) --count;
  }
  lines.push_back(rule);
  long total = 0;
  int mults = 0;
  for (std::size_t b = 0; b < kBandCount; ++b) {
    lines.push_back(labels[b] + (band_count[b] <= 9 ? " " : "") + Str(band_count[b]));
    total += band_count[b];
    mults += mult_count[b];
  }
  lines.push_back(rule);
  lines.push_back("TOTAL QSOS  = " + Str(total));
  lines.push_back("Total MULTS   = " + Str(mults) + ".");
  lines.push_back(rule);
  lines.push_back("                           *** FINAL SCORE = " + Str(static_cast<long long>(mults) * total) +
                  " ***");
  for (std::size_t b = 0; b < kBandCount; ++b) {
    run.calls[b].assign(band_calls[b].begin(), band_calls[b].begin() + band_count[b]);
  }
  return run;
}

// ---- generated logs ----

class ProgressLog : public ScoreObserver {
 public:
  void OnProgress(int value) override { values.push_back(value); }
  std::vector<int> values;
};

constexpr std::array<std::string_view, 19> kFreqs = {
    "1825", "01825", "1850", "3525", "3805", "03525", "7025", "7250", "07025", "14025",
    "14250", "21025", "21300", "28400", "1910", "3700", "7125", "29600", "50100"};
constexpr std::array<std::string_view, 20> kCalls = {
    "YP2GO", "yp2go", "K1AB", "DL1ABC", "F5FF", "G4XYZ", "OK1RR", "SP9ABC", "HA5X", "UR0A",
    "Q1XA", "Q1XA/60", "Q2XBM", "Q2XBM/60", "Q5XCN", "Q5XCN/60", "Q8XD", "Q8XD/60", "q1xa", "YO2LONGCAL"};
constexpr std::array<std::string_view, 6> kReports = {"5", "59", "599", "9", "10", "9.5"};
constexpr std::array<std::string_view, 14> kItems = {"HR", "hr", "Hr", "CS", "B", "BU", "AB",
                                                     "ab", "ABCD", "abcd", "", "", "Q1XA", "SM"};

std::string GeneratedLog(std::uint64_t seed) {
  test::SeededRandom random(seed);
  const auto below = [&](std::size_t n) { return random.Below(n); };
  const std::size_t contacts = 20 + below(280);
  // Some logs draw their items from a wide numbered set, so that bands get
  // ten, twenty or more different multipliers.
  const std::size_t numbered = below(3) == 0 ? 0 : 10 + below(40);
  std::string text = "START-OF-LOG: 3.0\r\nCONTEST: ZELO-RAZEZUZ\r\nCALLSIGN: YO3ZELO\r\n";
  if (below(2) == 0) text += "SOAPBOX: a header line of another length\r\n";
  Qso previous{"14025", "YP2GO"};
  std::size_t line_length = 0;
  for (std::size_t i = 0; i < contacts; ++i) {
    Qso q;
    if (i > 0 && below(7) == 0) {
      q = previous;  // the same station again, often a repeat
      if (below(3) == 0) q.freq = kFreqs[below(kFreqs.size())];
    } else {
      q.freq = kFreqs[below(kFreqs.size())];
      q.call = kCalls[below(kCalls.size())];
      if (below(3) == 0) q.call = "C" + std::to_string(below(600));
    }
    q.rst = kReports[below(kReports.size())];
    if (numbered > 0 && below(3) != 0) {
      q.item = "N" + std::to_string(below(numbered));
    } else {
      q.item = kItems[below(kItems.size())];
    }
    const std::string line = AlignedLine(q, below(9) == 0 ? "YO3ZEL" : "YO3ZELO");
    if (line_length == 0) line_length = line.size();
    if (line.size() != line_length) throw std::logic_error("generated line of another length");
    text += line;
    previous = q;
  }
  switch (below(3)) {
    case 0: text += "END-OF-LOG:\r\n"; break;
    case 1: text += "SOAPBOX: after the contacts\r\nEND-OF-LOG:\r\n"; break;
    default: break;  // the log ends with its last contact line
  }
  return text;
}

void ExpectSameAsModel(const std::string& text) {
  const ModelRun model = OriginalScoreLog(text);
  ProgressLog progress;
  const ScoreResult result = ScoreLog(text, &progress);
  EXPECT_EQ(WriteReport(result), model.report);
  for (Band band : kBands) {
    const auto& calls = result.Tally(band).calls;
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.end()), model.calls[BandIndex(band)])
        << BandName(band);
  }
  EXPECT_EQ(progress.values, model.progress);
}

class OriginalModelTest : public testing::TestWithParam<std::uint64_t> {};

TEST_P(OriginalModelTest, AlignedCrLfLogScoresAsTheModel) {
  const std::string text = GeneratedLog(GetParam());
  ExpectSameAsModel(text);
}

INSTANTIATE_TEST_SUITE_P(Seeds, OriginalModelTest, testing::Range<std::uint64_t>(1, 61));

TEST(OriginalModel, GeneratedLogsReachTheInterestingShapes) {
  // The seeds above must cover what they are meant to: bands with ten and
  // with more than twenty multipliers, repeats, bonus stations and contacts
  // on no band.
  bool ten = false, many = false, repeat = false, bonus = false, no_band = false;
  for (std::uint64_t seed = 1; seed < 61; ++seed) {
    const std::string text = GeneratedLog(seed);
    class Outcomes : public ScoreObserver {
     public:
      void OnRecord(const RecordOutcome& out) override {
        repeat |= out.outcome == Outcome::kDuplicate;
        no_band |= out.outcome == Outcome::kNoBand;
        bonus |= out.outcome == Outcome::kStored && BonusItem(out.call).has_value();
      }
      bool repeat = false, no_band = false, bonus = false;
    } outcomes;
    const ScoreResult result = ScoreLog(text, &outcomes);
    for (Band band : kBands) {
      ten |= result.MultCount(band) == 10;
      many |= result.MultCount(band) > 20;
    }
    repeat |= outcomes.repeat;
    no_band |= outcomes.no_band;
    bonus |= outcomes.bonus;
  }
  EXPECT_TRUE(ten);
  EXPECT_TRUE(many);
  EXPECT_TRUE(repeat);
  EXPECT_TRUE(bonus);
  EXPECT_TRUE(no_band);
}

TEST(OriginalModel, DiffersOnlyWhereTheScanIsMended) {
  // LF line ends: the model loses the last letter of an item that ends its
  // line. An X-QSO line after a contact: the model glues "X-" to the item.
  struct Case {
    std::string text;
    std::string model_line;
    std::string core_line;
  };
  const Case cases[] = {
      {"QSO: 14025 CW 2026-02-14 0000 YO3ZELO 599 1 BU AA1A 599 1 HR\n"
       "QSO: 14025 CW 2026-02-14 0000 YO3ZELO 599 2 BU BB1B 599 2 CS\n",
       " 1 C 2 H", " 1 CS 2 HR"},
      {"QSO: 14025 CW 2026-02-14 0000 YO3ZELO 599 1 BU AA1A 599 1 HR\r\n"
       "X-QSO: 14025 CW 2026-02-14 0000 YO3ZELO 599 2 BU BB1B 599 2 CS\r\n",
       " 1 CS 2 HR\r\nX-", " 1 CS 2 HR"},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> model = OriginalScoreLog(c.text).report;
    const std::vector<std::string> core = WriteReport(ScoreLog(c.text));
    ASSERT_GT(model.size(), 9U);
    ASSERT_GT(core.size(), 9U);
    EXPECT_EQ(model[9], c.model_line);
    EXPECT_EQ(core[9], c.core_line);
  }
}

TEST(OriginalModel, SampleLogScoresAsTheModel) {
  const std::string text = ReadBytes(std::string(ZELO_SAMPLES) + "/sample.log");
  ASSERT_FALSE(text.empty());
  ExpectSameAsModel(text);
}

}  // namespace
}  // namespace zelo
