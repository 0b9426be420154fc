#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "scoring/score_log.h"
#include "test_log.h"

namespace zelo {
namespace {

using test::AlignedLine;
using test::Qso;
using Events = std::vector<std::string>;

// Writes down what a scoring run reports, in order.
class RecordingObserver : public ScoreObserver {
 public:
  void OnRecord(const RecordOutcome& out) override {
    switch (out.outcome) {
      case Outcome::kStored:
        events.push_back("stored " + std::string(BandName(*out.band)) + " " + std::string(out.call) + " [" +
                         std::string(out.item) + "]");
        break;
      case Outcome::kDuplicate:
        events.push_back("duplicate " + std::string(out.call));
        break;
      case Outcome::kNoBand:
        events.push_back("noband " + std::string(out.call));
        break;
      case Outcome::kNotContact:
        events.push_back("notcontact");
        break;
    }
    outcomes.push_back(out);
  }
  void OnProgress(int value) override { events.push_back("progress " + std::to_string(value)); }

  Events events;
  std::vector<RecordOutcome> outcomes;
};

// A short contact line on 20 m, padded with blanks to `length` bytes
// (line end included).
std::string PaddedLine(std::string_view call, std::size_t length) {
  std::string line = "QSO: 14025 CW 0 0 ME 5 1 X " + std::string(call) + " 599 1 I";
  if (line.size() + 1 < length) line.append(length - 1 - line.size(), ' ');
  return line + "\n";
}

struct EventCase {
  std::string_view name;
  std::string log;
  Events events;
};
const EventCase kEventCases[] = {
    // Eight records of one length: the estimate is 8 all through.
    {"StepsAfterStoredAndNoBand",
     AlignedLine({"14025", "A1A"}) + AlignedLine({"1825", "B1B", "599", "X"}) +
         AlignedLine({"1825", "B1B"}) + AlignedLine({"7025", "C1C", "5", "Y"}) + AlignedLine({"7025", "C1C"}) +
         AlignedLine({"29600", "D1D"}) + AlignedLine({"3525", "Q1XA/60", "5", ""}) +
         AlignedLine({"28400", "F1F"}),
     {"stored 20 A1A [HR]", "progress 12", "stored 160 B1B [X]", "duplicate B1B", "stored 40 C1C []",
      "progress 25", "duplicate C1C", "noband D1D", "progress 37", "stored 80 Q1XA/60 [Q1XA]", "progress 50",
      "stored 10 F1F [HR]", "progress 62"}},
    {"NoStepOnOneSixty",
     AlignedLine({"1825", "A1A"}) + AlignedLine({"01850", "B1B"}) + AlignedLine({"01825", "B1B"}),
     {"stored 160 A1A [HR]", "stored 160 B1B [HR]", "duplicate B1B"}},
    // Five short lines, one long, one short: 550 bytes; the estimate is 11
    // for a short line and 2 for the long one, which caps the step at 2.
    {"StepCappedAtTheEstimate",
     PaddedLine("A1", 50) + PaddedLine("A2", 50) + PaddedLine("A3", 50) + PaddedLine("A4", 50) +
         PaddedLine("A5", 50) + PaddedLine("A6", 250) + PaddedLine("A7", 50),
     {"stored 20 A1 [I]", "progress 9", "stored 20 A2 [I]", "progress 18", "stored 20 A3 [I]", "progress 27",
      "stored 20 A4 [I]", "progress 36", "stored 20 A5 [I]", "progress 45", "stored 20 A6 [I]", "progress 100",
      "stored 20 A7 [I]", "progress 27"}},
    // Four records of 28 bytes in 112: whole quarters.
    {"WholeQuarters",
     "QSO: 21 a b c d e f g h 5 x\nQSO: 21 a b c d e f g i 5 x\nQSO: 21 a b c d e f g j 5 x\n"
     "QSO: 21 a b c d e f g k 5 x\n",
     {"stored 15 h []", "progress 25", "stored 15 i []", "progress 50", "stored 15 j []", "progress 75",
      "stored 15 k []", "progress 100"}},
    {"EmptyCallAndPrefixFirstIsARepeat", "QSO: \r\n", {"duplicate "}},
    {"EmptyCallAfterAContact", AlignedLine({"14025", "A1A"}) + "QSO: \r\n",
     // 88 bytes: estimates 1 (81-byte line) and 12 (7-byte line).
     {"stored 20 A1A [HR]", "progress 100", "noband ", "progress 16"}},
    {"RecordWithoutSeparators", "QSO:14025\r\n" + AlignedLine({"14025", "A1A"}),
     {"notcontact", "stored 20 A1A [HR]", "progress 100"}},
};

class ScoreObserverTest : public testing::TestWithParam<EventCase> {};

TEST_P(ScoreObserverTest, RecordsAndProgressInOrder) {
  RecordingObserver observer;
  const ScoreResult result = ScoreLog(GetParam().log, &observer);
  EXPECT_EQ(observer.events, GetParam().events);
  EXPECT_EQ(static_cast<std::int64_t>(observer.outcomes.size()), result.records);
}

INSTANTIATE_TEST_SUITE_P(Logs, ScoreObserverTest, testing::ValuesIn(kEventCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScoreObserver, OutcomesPointAtTheirRecords) {
  const std::string lines[] = {AlignedLine({"14025", "A1A"}), AlignedLine({"14025", "A1A"}),
                               AlignedLine({"29600", "B1B"}), AlignedLine({"7025", "B1B"})};
  std::string log = "START-OF-LOG: 3.0\r\n";
  std::vector<std::size_t> offsets;
  for (const std::string& line : lines) {
    offsets.push_back(log.size());
    log += line;
  }
  log += "END-OF-LOG:\r\n";
  RecordingObserver observer;
  ScoreLog(log, &observer);
  ASSERT_EQ(observer.outcomes.size(), 4U);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(observer.outcomes[i].record.offset, offsets[i]) << i;
    EXPECT_EQ(observer.outcomes[i].record.text, lines[i]) << i;
    EXPECT_EQ(observer.outcomes[i].call, i < 2 ? "A1A" : "B1B") << i;
  }
  EXPECT_EQ(observer.outcomes[1].repeats, offsets[0]);
  EXPECT_EQ(observer.outcomes[0].repeats, std::nullopt);
  EXPECT_EQ(observer.outcomes[2].frequency, "29600");
  EXPECT_EQ(observer.outcomes[3].band, Band::k40);
}

// What the run says of a stored contact's multiplier and of its fields, so
// that nobody who shows or checks a log has to work it out again.
struct MultiplierCase {
  std::string_view line;
  MultiplierSource source;
  std::string_view item;
  bool new_item;
  int tokens;
  bool dropped;
};
const MultiplierCase kMultiplierCases[] = {
    {"QSO: 14025 CW 2026-03-07 1203 ME 599 1 X K1A 599 2 AB\r\n", MultiplierSource::kField13, "AB", true, 13, false},
    {"QSO: 14030 CW 2026-03-07 1204 ME 599 1 X K1B 599 2 AB\r\n", MultiplierSource::kField13, "AB", false, 13, false},
    {"QSO: 14030 CW 2026-03-07 1205 ME 599 1 X K1C 5NN 2 CD\r\n", MultiplierSource::kLowReport, "", false, 13, false},
    {"QSO: 14030 CW 2026-03-07 1206 ME 599 1 X K1D NN 2 CD\n", MultiplierSource::kNoNumber, "", false, 13, false},
    {"QSO: 14030 CW 2026-03-07 1207 ME 599 1 X Q8XD/60 1 2\n", MultiplierSource::kBonus, "Q8XD", true, 12, false},
    {"QSO: 14030 CW 2026-03-07 1208 ME 599 1 X K1E 599 2 EF 1\n", MultiplierSource::kField13, "EF", true, 13, true},
    {"QSO: 14030 CW 2026-03-07 1209 ME 599 1 X K1F 599 2 \n", MultiplierSource::kEmptyItem, "", false, 13, false},
    // Twelve tokens: the last one lands in field 13 and is taken as the item.
    {"QSO: 14030 CW 2026-03-07 1210 ME 599 1 X K1G 599 GH\r\n", MultiplierSource::kField13, "GH", true, 12, false},
};

TEST(ScoreObserver, SaysWhereEachMultiplierComesFrom) {
  std::string log;
  for (const MultiplierCase& c : kMultiplierCases) log += c.line;
  RecordingObserver observer;
  ScoreLog(log, &observer);
  ASSERT_EQ(observer.outcomes.size(), std::size(kMultiplierCases));
  for (std::size_t i = 0; i < std::size(kMultiplierCases); ++i) {
    const MultiplierCase& c = kMultiplierCases[i];
    const RecordOutcome& out = observer.outcomes[i];
    EXPECT_EQ(out.outcome, Outcome::kStored) << c.line;
    EXPECT_EQ(out.source, c.source) << c.line;
    EXPECT_EQ(out.item, c.item) << c.line;
    EXPECT_EQ(out.new_item, c.new_item) << c.line;
    EXPECT_EQ(out.fields.tokens, c.tokens) << c.line;
    EXPECT_EQ(HasDroppedTokens(out.fields), c.dropped) << c.line;
    EXPECT_EQ(out.fields[kFieldWorkedCall], out.call) << c.line;
  }
}

}  // namespace
}  // namespace zelo
