// The fast record scanner, field splitter, band table and multiplier count
// checked against slow, obvious versions of the same rules on many random
// texts made of the bytes that matter (tags, blanks, tabs, CR, LF).
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/qso_fields.h"
#include "scoring/score_log.h"

namespace zelo {
namespace {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 1) {}
  std::uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

 private:
  std::uint64_t state_;
};

// Pieces that random texts are made of: tags, separators, line ends, band
// prefixes, bonus calls and plain data.
constexpr std::array<std::string_view, 22> kPieces = {
    "QSO:", "QSO:", "QSO: ", " ",    "  ",    "\t",  " \t ", "\r\n", "\n",  "\r",   "14",
    "21",   "7",    "03",   "0",     "599",   "9",   "A",    "ABC",  "Q1XA", "Q1XA/60", "QS"};

std::string RandomText(Random& random, std::size_t pieces) {
  std::string text;
  for (std::size_t i = 0; i < pieces; ++i) text += kPieces[random.Below(kPieces.size())];
  return text;
}

// A random contact line with a few fields changed into odd shapes.
std::string RandomContactLine(Random& random) {
  constexpr std::array<std::string_view, 8> kFreqs = {"14025", "1825",  "01825", "3700",
                                                      "7250",  "21050", "28400", "29600"};
  constexpr std::array<std::string_view, 6> kCalls = {"K1AB", "K1AB", "Q2XBM", "Q2XBM/60", "", "W9Z"};
  constexpr std::array<std::string_view, 6> kReports = {"599", "59", "9", "10", "9.5", "x"};
  constexpr std::array<std::string_view, 6> kItems = {"HR", "HR", "AB", "ab", "", "HR\r"};
  constexpr std::array<std::string_view, 4> kEnds = {"\r\n", "\n", "\r", " "};
  std::string line = "QSO: ";
  line += kFreqs[random.Below(kFreqs.size())];
  line += " CW 2026-02-14 0000 YO3ZELO 599 0001 BU ";
  line += kCalls[random.Below(kCalls.size())];
  line += random.Below(4) == 0 ? "\t\t" : " ";
  line += kReports[random.Below(kReports.size())];
  line += " 0098 ";
  line += kItems[random.Below(kItems.size())];
  line += kEnds[random.Below(kEnds.size())];
  return line;
}

bool IsSeparator(char c) { return c == ' ' || c == '\t'; }

// Records as the rules describe them, found by looking at every byte.
std::vector<Record> ReferenceRecords(std::string_view text) {
  std::vector<std::size_t> tags;
  for (std::size_t i = 0; i + 4 <= text.size(); ++i) {
    if (text.substr(i, 4) == "QSO:") tags.push_back(i);
  }
  std::vector<Record> records;
  for (std::size_t t = 0; t < tags.size(); ++t) {
    std::size_t end = text.size();
    for (std::size_t i = tags[t]; i < text.size(); ++i) {
      if (text[i] == '\n') {
        end = i + 1;
        break;
      }
      if (text[i] == '\r') {
        end = i + 1 < text.size() && text[i + 1] == '\n' ? i + 2 : i + 1;
        break;
      }
    }
    if (t + 1 < tags.size() && tags[t + 1] < end) end = tags[t + 1];
    records.push_back({tags[t], text.substr(tags[t], end - tags[t])});
  }
  return records;
}

// The splitter spelled out step by step: find the first separator, take the
// field, skip the run of separators, go on; the last field loses one line end.
std::array<std::string, 14> ReferenceSplit(std::string_view record) {
  std::array<std::string, 14> field;
  std::string work(record);
  int n = 1;
  for (; n <= 13; ++n) {
    std::size_t b = 0;  // 1-based position of the first separator, 0 for none
    for (std::size_t i = 0; i < work.size(); ++i) {
      if (IsSeparator(work[i])) {
        b = i + 1;
        break;
      }
    }
    if (n == 13 && b == 0) break;
    while (b < work.size() && IsSeparator(work[b])) ++b;
    std::string taken = work.substr(0, b);
    while (!taken.empty() && IsSeparator(taken.back())) taken.pop_back();
    field[static_cast<std::size_t>(n)] = taken;
    work = work.substr(b);
  }
  if (n == 13) {
    if (work.ends_with("\r\n")) {
      work.resize(work.size() - 2);
    } else if (work.ends_with('\n') || work.ends_with('\r')) {
      work.pop_back();
    }
    field[13] = work;
  }
  return field;
}

std::optional<Band> ReferenceBand(std::string_view frequency) {
  static const std::map<std::string, Band, std::less<>> kTable = {
      {"01", Band::k160}, {"18", Band::k160}, {"38", Band::k80}, {"35", Band::k80},
      {"03", Band::k80},  {"72", Band::k40},  {"70", Band::k40}, {"07", Band::k40},
      {"14", Band::k20},  {"21", Band::k15},  {"28", Band::k10}};
  if (frequency.size() < 2) return std::nullopt;
  const auto it = kTable.find(frequency.substr(0, 2));
  return it == kTable.end() ? std::nullopt : std::optional<Band>(it->second);
}

struct TextCase {
  std::string_view kind;
  std::uint64_t seed;
  int texts;
  std::size_t pieces;
};
const TextCase kTextCases[] = {
    {"ShortPieces", 1, 3000, 12}, {"LongPieces", 2, 600, 200}, {"ContactLines", 3, 600, 0},
    {"EmptyAndTiny", 4, 500, 2},
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.kind; }

std::string MakeText(Random& random, const TextCase& c) {
  if (c.pieces > 0) return RandomText(random, random.Below(c.pieces + 1));
  std::string text = "START-OF-LOG: 3.0\r\n";
  const std::size_t lines = random.Below(40);
  for (std::size_t i = 0; i < lines; ++i) text += RandomContactLine(random);
  return text;
}

class ReferenceScanTest : public testing::TestWithParam<TextCase> {};

TEST_P(ReferenceScanTest, ScannerFindsTheSameRecords) {
  Random random(GetParam().seed);
  for (int t = 0; t < GetParam().texts; ++t) {
    const std::string text = MakeText(random, GetParam());
    const std::vector<Record> expected = ReferenceRecords(text);
    RecordScanner scanner(text);
    std::size_t index = 0;
    while (const std::optional<Record> record = scanner.Next()) {
      ASSERT_LT(index, expected.size()) << testing::PrintToString(text);
      EXPECT_EQ(record->offset, expected[index].offset) << testing::PrintToString(text);
      EXPECT_EQ(record->text, expected[index].text) << testing::PrintToString(text);
      ++index;
    }
    EXPECT_EQ(index, expected.size()) << testing::PrintToString(text);
  }
}

TEST_P(ReferenceScanTest, SplitterGivesTheSameFields) {
  Random random(GetParam().seed + 100);
  for (int t = 0; t < GetParam().texts; ++t) {
    const std::string text = MakeText(random, GetParam());
    // Every record, and the whole text as one record.
    std::vector<std::string_view> records{text};
    for (const Record& r : ReferenceRecords(text)) records.push_back(r.text);
    for (std::string_view record : records) {
      const std::array<std::string, 14> expected = ReferenceSplit(record);
      const QsoFields fields = SplitQsoFields(record);
      for (int n = 0; n <= 13; ++n) {
        EXPECT_EQ(fields[n], expected[static_cast<std::size_t>(n)])
            << "field " << n << " of " << testing::PrintToString(std::string(record));
      }
    }
  }
}

// Per band, the multipliers are the different non-empty items of the stored
// contacts, ascending, and the counts are the stored contacts.
TEST_P(ReferenceScanTest, MultipliersAreTheDifferentItemsOfStoredContacts) {
  struct Collector final : ScoreObserver {
    std::array<std::set<std::string, std::less<>>, kBandCount> items;
    std::array<std::int64_t, kBandCount> stored{};
    void OnRecord(const RecordOutcome& out) override {
      if (out.outcome != Outcome::kStored) return;
      ++stored[BandIndex(*out.band)];
      if (!out.item.empty()) items[BandIndex(*out.band)].insert(std::string(out.item));
    }
  };
  Random random(GetParam().seed + 200);
  for (int t = 0; t < GetParam().texts; ++t) {
    const std::string text = MakeText(random, GetParam());
    Collector collector;
    const ScoreResult result = ScoreLog(text, &collector);
    std::int64_t total_mults = 0;
    for (Band band : kBands) {
      const std::size_t b = BandIndex(band);
      const std::vector<std::string_view> expected(collector.items[b].begin(), collector.items[b].end());
      EXPECT_EQ(result.Tally(band).multipliers, expected) << testing::PrintToString(text);
      EXPECT_EQ(result.BandCount(band), collector.stored[b]);
      total_mults += static_cast<std::int64_t>(expected.size());
    }
    EXPECT_EQ(result.total_mults, total_mults);
    EXPECT_EQ(result.records, static_cast<std::int64_t>(ReferenceRecords(text).size()));
  }
}

INSTANTIATE_TEST_SUITE_P(RandomTexts, ReferenceScanTest, testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.kind); });

// Every two-byte prefix, and the short ones, against the band table.
TEST(ReferenceBandTable, EveryPrefixAgrees) {
  std::vector<std::string> frequencies = {"", "1", "0", "7"};
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      frequencies.push_back(std::string{static_cast<char>(a), static_cast<char>(b), '2', '5'});
    }
  }
  for (const std::string& frequency : frequencies) {
    EXPECT_EQ(BandOf(frequency), ReferenceBand(frequency)) << testing::PrintToString(frequency);
  }
}

}  // namespace
}  // namespace zelo
