// --explain: what became of every record, by line; terminal-safe bytes.
#include "cli_test_support.h"

namespace zelo::test {
namespace {

struct SafeCase {
  std::string_view bytes;
  std::string_view shown;
};
const SafeCase kSafeCases[] = {
    {"DL1ABC", "DL1ABC"},
    {"", ""},
    {"A\x1B[31mB", "A\\x1B[31mB"},
    {"a\tb", "a\\tb"},
    {"\r\n", "\\r\\n"},
    {std::string_view("\0x", 2), "\\x00x"},
    {"\x7F", "\\x7F"},
    {"a\\b", "a\\\\b"},
    {"\"q\"", "\"q\""},
    {"M\xC3\xBCller", "M\xC3\xBCller"},     // UTF-8 text stays
    {"\xC2\x9B" "2J", "\\xC2\\x9B2J"},      // C1 control (CSI) in UTF-8
    {"\xC2\x85", "\\xC2\\x85"},
    {"\xC2\xA0", "\xC2\xA0"},               // no-break space is not a control
    {"\xC4\x80", "\xC4\x80"},               // continuation byte 0x80 after another lead
    {"\xFF\xC2", "\xFF\xC2"},               // stray bytes pass through
};

class TerminalSafeTest : public testing::TestWithParam<SafeCase> {};
TEST_P(TerminalSafeTest, EscapesOnlyControls) { EXPECT_EQ(TerminalSafe(GetParam().bytes), GetParam().shown); }
INSTANTIATE_TEST_SUITE_P(Bytes, TerminalSafeTest, testing::ValuesIn(kSafeCases));

// A log with every outcome, one per line; the same lines whatever the line ends.
std::vector<std::string> EveryOutcome() {
  return {
      "CALLSIGN: YO3ZELO",
      QsoLine("14025", "DL1AA", "599", "AB"),
      QsoLine("14026", "DL1AA", "599", "AC"),
      QsoLine("7025", "DL2BB", "9", "AB"),
      QsoLine("29600", "DL3CC", "599", "XY"),
      QsoLine("14030", "DL4DD", "599", "AB"),
      QsoLine("21030", "Q2XBM/60", "5", "ZZ"),
      "QSO:nofields",
      "X-" + QsoLine("14040", "DL5EE", "599", "CD"),
      "QSO: 14045 CW 2026-02-14 0000 YO3ZELO 599 0001 BU DL6FF 599 0017 ",
  };
}

const char* const kEveryOutcomeExplained =
    "line 3: stored on 20M \"DL1AA\", new multiplier \"AB\"\n"
    "line 4: dropped \"DL1AA\": repeats the contact on line 3 (same call, same band prefix \"14\")\n"
    "line 5: stored on 40M \"DL2BB\", no multiplier: field 11 \"9\" is not above 9\n"
    "line 6: stored on no band \"DL3CC\": frequency \"29600\" names no band\n"
    "line 7: stored on 20M \"DL4DD\", multiplier \"AB\" already counted on 20M\n"
    "line 8: stored on 15M \"Q2XBM/60\", new multiplier \"Q2XBM\" (bonus station)\n"
    "line 9: not a contact: \"QSO:nofields\" has no blank or tab to separate its fields\n"
    "line 10: stored on 20M \"DL5EE\", new multiplier \"CD\"\n"
    "line 11: stored on 20M \"DL6FF\", no multiplier: field 13 is empty\n"
    "9 records: 6 stored, 1 dropped as repeats, 1 on no band, 1 not a contact; "
    "TOTAL QSOS 6, Total MULTS 3, FINAL SCORE 18\n";

class ExplainTest : public ScratchTest, public testing::WithParamInterface<std::string> {};

TEST_P(ExplainTest, EveryOutcomeByLine) {
  const std::string log = File("a.log", LogOf(EveryOutcome(), GetParam()));
  const CliRun run = RunZelo({"--explain", log});
  EXPECT_EQ(run.code, kExitScored) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, kEveryOutcomeExplained);
}
INSTANTIATE_TEST_SUITE_P(LineEnds, ExplainTest, testing::Values("\n", "\r\n", "\r"));

class ExplainCases : public ScratchTest {};

TEST_F(ExplainCases, EmptyCallAndBandAtStartIsARepeat) {
  const std::string log = File("a.log", LogOf({"QSO: ", QsoLine("14025", "DL1AA", "599", "AB")}));
  const CliRun run = RunZelo({"--explain", log});
  EXPECT_TRUE(run.out.starts_with(
      "line 2: dropped \"\": an empty call with an empty band prefix repeats the empty start of the run\n"
      "line 3: stored on 20M \"DL1AA\", new multiplier \"AB\"\n"))
      << run.out;
}

TEST_F(ExplainCases, RepeatNamesThePreviousContactNotTheFirst) {
  const std::string log = File("a.log", LogOf({
                                            QsoLine("14025", "DL1AA", "599", "AB"),
                                            QsoLine("14025", "DL2BB", "599", "AB"),
                                            QsoLine("14025", "DL2BB", "599", "AB"),
                                            QsoLine("14025", "DL2BB", "599", "AB"),
                                        }));
  const CliRun run = RunZelo({"--explain", log});
  EXPECT_NE(run.out.find("line 4: dropped \"DL2BB\": repeats the contact on line 3 "), std::string::npos);
  EXPECT_NE(run.out.find("line 5: dropped \"DL2BB\": repeats the contact on line 3 "), std::string::npos);
}

TEST_F(ExplainCases, TwoRecordsOnOneLineShareItsNumber) {
  const std::string log = File("a.log", LogOf({QsoLine("14025", "DL1AA", "599", "AB") + " " +
                                                     QsoLine("7025", "DL2BB", "599", "CD"),
                                                 QsoLine("21025", "DL3CC", "599", "EF")}));
  const CliRun run = RunZelo({"--explain", log});
  EXPECT_TRUE(run.out.starts_with("line 2: stored on 20M \"DL1AA\", new multiplier \"AB\"\n"
                                  "line 2: stored on 40M \"DL2BB\", new multiplier \"CD\"\n"
                                  "line 3: stored on 15M \"DL3CC\", new multiplier \"EF\"\n"))
      << run.out;
}

TEST_F(ExplainCases, ControlBytesFromTheLogAreEscaped) {
  const std::string log = File("a.log", LogOf({QsoLine("14025", "DL\x1B]0;x\x07", "599", "A\"\xC2\x9B"),
                                                 "QSO:\x1B[2J" + std::string(80, 'z')}));
  const CliRun run = RunZelo({"--explain", log});
  EXPECT_EQ(run.out.find('\x1B'), std::string::npos);
  EXPECT_EQ(run.out.find('\x07'), std::string::npos);
  EXPECT_EQ(run.out.find("\xC2\x9B"), std::string::npos);
  EXPECT_NE(run.out.find("line 2: stored on 20M \"DL\\x1B]0;x\\x07\", new multiplier \"A\\\"\\xC2\\x9B\"\n"),
            std::string::npos)
      << run.out;
  // A long record is cut after 60 bytes.
  EXPECT_NE(run.out.find("line 3: not a contact: \"QSO:\\x1B[2J" + std::string(52, 'z') + "\"... has no blank"),
            std::string::npos)
      << run.out;
}

}  // namespace
}  // namespace zelo::test
