// The cross-check's rules through the real zelo-score --cross-check --json,
// one table per rule, each case with its near miss. A case writes its logs
// into a folder and states what the JSON must hold, by JSON pointer.
#include <sys/stat.h>
#include <utime.h>

#include <map>

#include <nlohmann/json.hpp>

#include "cli_test_support.h"
#include "support/child.h"

namespace zelo::test {
namespace {

using nlohmann::json;

// One contact as a case writes it.
struct Q {
  std::string time = "1200";
  std::string worked;
  std::string freq = "14025";
  std::string mode = "CW";
  std::string rcvd1 = "001", rcvd2 = "BU";
};

struct LogSpec {
  std::string file;
  std::string call;
  std::vector<Q> qsos;
  std::string header = {};  // more header lines, each ended by CR LF
  std::string sent1 = "001", sent2 = "BU";
  long modified = 0;       // seconds since 1970; 0: as written
};

std::string LogText(const LogSpec& log) {
  std::string text = "START-OF-LOG: 3.0\r\nCALLSIGN: " + log.call + "\r\n" + log.header;
  for (const Q& q : log.qsos) {
    text += "QSO: " + q.freq + " " + q.mode + " 2026-03-07 " + q.time + " " + log.call + " 599 " + log.sent1 + " " +
            log.sent2 + " " + q.worked + " 599 " + q.rcvd1 + " " + q.rcvd2 + "\r\n";
  }
  return text + "END-OF-LOG:\r\n";
}

// What the JSON of one log must hold at a pointer ("/contacts/0/status").
struct Expect {
  std::string file;
  std::string pointer;
  json value;
};

struct RuleCase {
  std::string name;
  std::vector<LogSpec> logs;
  std::vector<Expect> expect;
  std::vector<std::string> options = {};
};

class RuleTest : public ScratchTest, public testing::WithParamInterface<RuleCase> {};

TEST_P(RuleTest, TheJsonSaysWhatTheRuleDoes) {
  std::filesystem::create_directory(Path("logs"));
  for (const LogSpec& log : GetParam().logs) {
    const std::string path = File("logs/" + log.file, LogText(log));
    if (log.modified != 0) {
      const utimbuf times{log.modified, log.modified};
      ASSERT_EQ(::utime(path.c_str(), &times), 0);
    }
  }
  std::vector<std::string> args = {"--cross-check", "--json"};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  args.push_back(Path("logs"));
  const ProgramOutcome run = RunProgram(ZELO_SCORE_BIN, args);
  ASSERT_EQ(run.code, kExitScored) << run.err;
  std::map<std::string, json> by_file;
  for (const std::string& line : OutputLines(run.out)) {
    const json object = json::parse(line);
    by_file[std::filesystem::path(object["file"].get<std::string>()).filename().string()] = object;
  }
  for (const Expect& e : GetParam().expect) {
    ASSERT_TRUE(by_file.count(e.file)) << e.file;
    const json& object = by_file[e.file];
    const json::json_pointer pointer(e.pointer);
    if (e.value.is_discarded()) {
      EXPECT_FALSE(object.contains(pointer)) << e.file << e.pointer;
      continue;
    }
    ASSERT_TRUE(object.contains(pointer)) << e.file << e.pointer << "\n" << object.dump();
    // "LOGS/x" stands for a log's path as given.
    json want = e.value;
    if (want.is_string() && want.get<std::string>().starts_with("LOGS/")) {
      want = Path("logs/" + want.get<std::string>().substr(5));
    }
    EXPECT_EQ(object[pointer], want) << e.file << e.pointer;
  }
}

std::string CaseName(const testing::TestParamInfo<RuleCase>& info) { return info.param.name; }

// --- The checked score --------------------------------------------------------

const RuleCase kCheckedScoreCases[] = {
    // A nil between two confirmed contacts with B: the second one stays a
    // contact of its own, as in A's own score.
    {"NilBetweenConfirmed",
     {{"a.log", "A1A", {{"1200", "B1B"}, {"1201", "C1C", "14025", "CW", "001", "CJ"}, {"1202", "B1B"}}},
      {"b.log", "B1B", {{"1200", "A1A"}, {"1201", "Q1Q"}, {"1202", "A1A"}}},
      {"c.log", "C1C", {{"1300", "Q1Q"}}}},
     {{"a.log", "/contacts/1/status", "nil"}, {"a.log", "/checked_contacts", 2}, {"a.log", "/checked_multipliers", 1},
      {"a.log", "/checked_score", 2}, {"a.log", "/score", 6}}},
    {"NoNil",
     {{"a.log", "A1A", {{"1200", "B1B"}, {"1201", "C1C", "14025", "CW", "001", "CJ"}, {"1202", "B1B"}}},
      {"b.log", "B1B", {{"1200", "A1A"}, {"1201", "Q1Q"}, {"1202", "A1A"}}},
      {"c.log", "C1C", {{"1201", "A1A"}}, "", "001", "CJ"}},
     {{"a.log", "/checked_contacts", 3}, {"a.log", "/checked_score", 6}}},
    {"OnlyContactNil",
     {{"a.log", "A1A", {{"1200", "C1C"}}}, {"c.log", "C1C", {{"1300", "Q1Q"}}}},
     {{"a.log", "/contacts/0/counted", false}, {"a.log", "/checked_contacts", 0}, {"a.log", "/checked_score", 0}}},
    {"BustedExchangeCountsNothing",
     {{"a.log", "A1A", {{"1200", "B1B", "14025", "CW", "001", "GJ"}, {"1201", "C1C", "14025", "CW", "001", "CJ"}}},
      {"b.log", "B1B", {{"1200", "A1A"}}},
      {"c.log", "C1C", {{"1201", "A1A"}}, "", "001", "CJ"}},
     {{"a.log", "/contacts/0/status", "busted-exchange"}, {"a.log", "/contacts/0/counted", false},
      {"a.log", "/checked_contacts", 1}, {"a.log", "/checked_multipliers", 1}}},
    {"ItemsWithoutCase",
     {{"a.log", "A1A", {{"1200", "B1B", "14025", "CW", "001", "OK"}, {"1201", "C1C", "14025", "CW", "001", "ok"}}},
      {"b.log", "B1B", {{"1200", "A1A"}}, "", "001", "OK"},
      {"c.log", "C1C", {{"1201", "A1A"}}, "", "001", "ok"}},
     {{"a.log", "/mults", 2}, {"a.log", "/checked_multipliers", 1}, {"a.log", "/checked_score", 2}}},
    {"SingleBandEntry",
     {{"a.log", "A1A", {{"1200", "B1B", "21025"}, {"1201", "B1B", "14025"}, {"1202", "B1B", "28025"}},
       "CATEGORY-BAND: 15M\r\n"},
      {"b.log", "B1B", {{"1200", "A1A", "21025"}, {"1201", "A1A", "14025"}, {"1202", "A1A", "28025"}}}},
     {{"a.log", "/checked_contacts", 1}, {"a.log", "/contacts/0/counted", true},
      {"a.log", "/contacts/1/counted", false}, {"b.log", "/checked_contacts", 3}}},
    {"Penalty",
     {{"a.log", "A1A", {{"1200", "B1B"}, {"1201", "B1B", "7025"}, {"1202", "C1C"}}},
      {"b.log", "B1B", {{"1200", "A1A"}, {"1201", "A1A", "7025"}}},
      {"c.log", "C1C", {{"1300", "Q1Q"}}}},
     {{"a.log", "/checked_contacts", 1}, {"a.log", "/checked_multipliers", 2}, {"a.log", "/checked_score", 2}},
     {"--penalty", "1"}},
    {"PenaltyNeverBelowNothing",
     {{"a.log", "A1A", {{"1202", "C1C"}}}, {"c.log", "C1C", {{"1300", "Q1Q"}}}},
     {{"a.log", "/checked_contacts", 0}},
     {"--penalty", "3"}},
};
INSTANTIATE_TEST_SUITE_P(CheckedScore, RuleTest, testing::ValuesIn(kCheckedScoreCases), CaseName);

// --- Which records take part: repeats confirm -----------------------------------

const RuleCase kRepeatCases[] = {
    // B logged A twice, A the same two contacts in a row: A's second is a
    // repeat, and it confirms B's second.
    {"RepeatConfirmsTheOtherLog",
     {{"a.log", "A1A", {{"1200", "B1B"}, {"1230", "B1B"}}},
      {"b.log", "B1B", {{"1200", "A1A"}, {"1215", "Q1Q"}, {"1230", "A1A"}}}},
     {{"a.log", "/contacts/1/status", "repeat"}, {"a.log", "/contacts/1/counted", false},
      {"b.log", "/contacts/2/status", "confirmed"}, {"b.log", "/contacts/0/status", "confirmed"}}},
    {"NoRepeatNoContact",
     {{"a.log", "A1A", {{"1200", "B1B"}}}, {"b.log", "B1B", {{"1200", "A1A"}, {"1215", "Q1Q"}, {"1230", "A1A"}}}},
     {{"b.log", "/contacts/2/status", "nil"}}},
};
INSTANTIATE_TEST_SUITE_P(Repeats, RuleTest, testing::ValuesIn(kRepeatCases), CaseName);

// --- Pairs: the class of mode -----------------------------------------------------

const RuleCase kModeCases[] = {
    {"PhoneWithPhone",
     {{"a.log", "A1A", {{"1200", "B1B", "14200", "PH"}}},
      {"b.log", "B1B", {{"1200", "A1A", "14025", "CW"}, {"1201", "A1A", "14200", "SSB"}}}},
     {{"a.log", "/contacts/0/status", "confirmed"}, {"a.log", "/contacts/0/other_line", 4},
      {"b.log", "/contacts/0/status", "nil"}}},
    {"UpperAndLowerSideband",
     {{"a.log", "A1A", {{"1200", "B1B", "14200", "usb"}}}, {"b.log", "B1B", {{"1200", "A1A", "14200", "LSB"}}}},
     {{"a.log", "/contacts/0/status", "confirmed"}}},
    {"RttyAndRy",
     {{"a.log", "A1A", {{"1200", "B1B", "14080", "RTTY"}}}, {"b.log", "B1B", {{"1200", "A1A", "14080", "RY"}}}},
     {{"a.log", "/contacts/0/status", "confirmed"}}},
    {"Ft8AndDigital",
     {{"a.log", "A1A", {{"1200", "B1B", "14074", "FT8"}}}, {"b.log", "B1B", {{"1200", "A1A", "14074", "DG"}}}},
     {{"a.log", "/contacts/0/status", "confirmed"}}},
    {"CwAgainstPhone",
     {{"a.log", "A1A", {{"1200", "B1B", "14025", "CW"}}}, {"b.log", "B1B", {{"1200", "A1A", "14025", "PH"}}}},
     {{"a.log", "/contacts/0/status", "nil"}, {"b.log", "/contacts/0/status", "nil"}}},
    {"OtherModeWithoutCase",
     {{"a.log", "A1A", {{"1200", "B1B", "14025", "XYZ"}}}, {"b.log", "B1B", {{"1200", "A1A", "14025", "xyz"}}}},
     {{"a.log", "/contacts/0/status", "confirmed"}}},
    {"TwoOtherModes",
     {{"a.log", "A1A", {{"1200", "B1B", "14025", "XYZ"}}}, {"b.log", "B1B", {{"1200", "A1A", "14025", "ABC"}}}},
     {{"a.log", "/contacts/0/status", "nil"}}},
};
INSTANTIATE_TEST_SUITE_P(Modes, RuleTest, testing::ValuesIn(kModeCases), CaseName);

// --- Busted calls ------------------------------------------------------------------

const RuleCase kBustedCallCases[] = {
    // Z logged YO2BBB, itself an entrant, for YO2BBC: Z's contact is the
    // busted call, and YO2BBC, who logged Z right, keeps the contact.
    {"MiscopiedIntoAnotherEntrant",
     {{"z.log", "Z1Z", {{"1200", "YO2BBB"}}},
      {"bbc.log", "YO2BBC", {{"1201", "Z1Z"}}},
      {"bbb.log", "YO2BBB", {{"1300", "Q1Q"}}}},
     {{"z.log", "/contacts/0/status", "busted-call"}, {"z.log", "/contacts/0/correct_call", "YO2BBC"},
      {"bbc.log", "/contacts/0/status", "confirmed"}}},
    {"TheEntrantLoggedItToo",
     {{"z.log", "Z1Z", {{"1200", "YO2BBB"}}},
      {"bbc.log", "YO2BBC", {{"1201", "Z1Z"}}},
      {"bbb.log", "YO2BBB", {{"1200", "Z1Z"}}}},
     {{"z.log", "/contacts/0/status", "confirmed"}, {"bbc.log", "/contacts/0/status", "nil"}}},
    {"PortableSuffixLeftOut",
     {{"z.log", "Z1Z", {{"1200", "K1ABC"}}}, {"p.log", "K1ABC/P", {{"1200", "Z1Z"}}}},
     {{"z.log", "/contacts/0/status", "busted-call"}, {"z.log", "/contacts/0/correct_call", "K1ABC/P"},
      {"p.log", "/contacts/0/status", "confirmed"}}},
    {"PortableSuffixAdded",
     {{"z.log", "Z1Z", {{"1200", "K1ABC/QRP"}}}, {"p.log", "K1ABC", {{"1200", "Z1Z"}}}},
     {{"z.log", "/contacts/0/status", "busted-call"}, {"z.log", "/contacts/0/correct_call", "K1ABC"}}},
    {"TwoEditsAway",
     {{"z.log", "Z1Z", {{"1200", "K1AXY"}}}, {"p.log", "K1ABC/P", {{"1200", "Z1Z"}}}},
     {{"z.log", "/contacts/0/status", "unique"}, {"p.log", "/contacts/0/status", "nil"}}},
    {"OneEditOutsideTheWindow",
     {{"z.log", "Z1Z", {{"1200", "K1ABD"}}}, {"p.log", "K1ABC", {{"1215", "Z1Z"}}}},
     {{"z.log", "/contacts/0/status", "unique"}}},
};
INSTANTIATE_TEST_SUITE_P(BustedCalls, RuleTest, testing::ValuesIn(kBustedCallCases), CaseName);

// --- Exchanges ------------------------------------------------------------------

const RuleCase kExchangeCases[] = {
    {"NumbersAsNumbers",
     {{"a.log", "A1A", {{"1200", "B1B", "14025", "CW", "014", "bu"}}}, {"b.log", "B1B", {{"1200", "A1A"}}, "", "14"}},
     {{"a.log", "/contacts/0/status", "confirmed"}}},
    {"ZeroAndZeros",
     {{"a.log", "A1A", {{"1200", "B1B", "14025", "CW", "00", "BU"}}}, {"b.log", "B1B", {{"1200", "A1A"}}, "", "0"}},
     {{"a.log", "/contacts/0/status", "confirmed"}}},
    {"NumberAgainstText",
     {{"a.log", "A1A", {{"1200", "B1B", "14025", "CW", "014A", "BU"}}}, {"b.log", "B1B", {{"1200", "A1A"}}, "", "14"}},
     {{"a.log", "/contacts/0/status", "busted-exchange"}, {"a.log", "/contacts/0/field", "12"}}},
    {"TextWithoutCase",
     {{"a.log", "A1A", {{"1200", "B1B", "14025", "CW", "001", "bu"}}}, {"b.log", "B1B", {{"1200", "A1A"}}}},
     {{"a.log", "/contacts/0/status", "confirmed"}}},
};
INSTANTIATE_TEST_SUITE_P(Exchanges, RuleTest, testing::ValuesIn(kExchangeCases), CaseName);

// --- Resubmitted logs --------------------------------------------------------------

const RuleCase kResubmittedCases[] = {
    // The newest log of a call counts; C's contact with it is confirmed, not
    // made nil by the old one.
    {"NewestByTime",
     {{"a-new.log", "A1A", {{"1200", "C1C"}}, "", "001", "BU", 2000000000},
      {"a-old.log", "a1a", {{"1200", "C1C"}}, "", "001", "BU", 1900000000},
      {"c.log", "C1C", {{"1200", "A1A"}}}},
     {{"a-old.log", "/superseded_by", "LOGS/a-new.log"}, {"a-old.log", "/place", nullptr},
      {"a-new.log", "/superseded_by", nullptr}, {"c.log", "/contacts/0/status", "confirmed"},
      {"a-new.log", "/contacts/0/status", "confirmed"}}},
    {"LastNameOnATie",
     {{"a1.log", "A1A", {{"1200", "C1C"}}, "", "001", "BU", 2000000000},
      {"a2.log", "A1A", {{"1200", "C1C"}}, "", "001", "BU", 2000000000},
      {"c.log", "C1C", {{"1200", "A1A"}}}},
     {{"a1.log", "/superseded_by", "LOGS/a2.log"}, {"c.log", "/contacts/0/status", "confirmed"}}},
};
INSTANTIATE_TEST_SUITE_P(Resubmitted, RuleTest, testing::ValuesIn(kResubmittedCases), CaseName);

// --- Categories --------------------------------------------------------------------

const std::string kSingleLow = "CATEGORY-OPERATOR: SINGLE-OP\r\nCATEGORY-POWER: LOW\r\n";
const RuleCase kCategoryCases[] = {
    {"TransmittersApart",
     {{"a.log", "A1A", {{"1200", "B1B"}}, "CATEGORY-OPERATOR: MULTI-OP\r\nCATEGORY-TRANSMITTER: TWO\r\n"},
      {"b.log", "B1B", {{"1200", "A1A"}}, "CATEGORY-OPERATOR: MULTI-OP\r\nCATEGORY-TRANSMITTER: ONE\r\n"}},
     {{"a.log", "/place", 1}, {"b.log", "/place", 1}}},
    {"AssistedApart",
     {{"a.log", "A1A", {{"1200", "B1B"}}, kSingleLow + "CATEGORY-ASSISTED: ASSISTED\r\n"},
      {"b.log", "B1B", {{"1200", "A1A"}}, kSingleLow}},
     {{"a.log", "/place", 1}, {"b.log", "/place", 1}}},
    {"ValuesWithoutCase",
     {{"a.log", "A1A", {{"1200", "B1B"}, {"1201", "C1C", "7025"}}, "category-operator: single-op\r\ncategory-power: low\r\n"},
      {"b.log", "B1B", {{"1200", "A1A"}}, kSingleLow},
      {"c.log", "C1C", {{"1201", "A1A", "7025"}}, kSingleLow + "CATEGORY-BAND: ALL\r\nCATEGORY-ASSISTED: NON-ASSISTED\r\n"}},
     {{"a.log", "/place", 1}, {"b.log", "/place", 2}, {"c.log", "/place", 2}}},
    {"SharedPlaces",
     {{"a.log", "A1A", {{"1200", "B1B"}, {"1201", "C1C"}, {"1202", "D1D"}}},
      {"b.log", "B1B", {{"1200", "A1A"}}},
      {"c.log", "C1C", {{"1201", "A1A"}}},
      {"d.log", "D1D", {{"1202", "A1A"}, {"1203", "Q1Q"}}}},
     {{"a.log", "/place", 1}, {"d.log", "/place", 2}, {"b.log", "/place", 3}, {"c.log", "/place", 3}}},
    {"ChecklogNotRanked",
     {{"a.log", "A1A", {{"1200", "B1B"}}}, {"b.log", "B1B", {{"1200", "A1A"}}, "CATEGORY-OPERATOR: CHECKLOG\r\n"}},
     {{"b.log", "/place", nullptr}, {"b.log", "/checklog", true}, {"a.log", "/contacts/0/status", "confirmed"}}},
};
INSTANTIATE_TEST_SUITE_P(Categories, RuleTest, testing::ValuesIn(kCategoryCases), CaseName);

// --- A nil's nearest near miss -------------------------------------------------------

const json kAbsent(json::value_t::discarded);
const RuleCase kNearMissCases[] = {
    {"MinutesApart",
     {{"a.log", "A1A", {{"1200", "B1B"}}}, {"b.log", "B1B", {{"1215", "A1A"}}}},
     {{"a.log", "/contacts/0/status", "nil"}, {"a.log", "/contacts/0/near_miss/kind", "time"},
      {"a.log", "/contacts/0/near_miss/minutes", 15}, {"a.log", "/contacts/0/near_miss/line", 3}}},
    {"OtherBand",
     {{"a.log", "A1A", {{"1200", "B1B"}}}, {"b.log", "B1B", {{"1200", "A1A", "7025"}}}},
     {{"a.log", "/contacts/0/near_miss/kind", "band"}, {"a.log", "/contacts/0/near_miss/band", 40}}},
    {"OtherMode",
     {{"a.log", "A1A", {{"1200", "B1B"}}}, {"b.log", "B1B", {{"1200", "A1A", "14025", "PH"}}}},
     {{"a.log", "/contacts/0/near_miss/kind", "mode"}, {"a.log", "/contacts/0/near_miss/mode", "PH"}}},
    {"NotLoggedAtAll",
     {{"a.log", "A1A", {{"1200", "B1B"}}}, {"b.log", "B1B", {{"1200", "Q1Q"}}}},
     {{"a.log", "/contacts/0/status", "nil"}, {"a.log", "/contacts/0/near_miss", kAbsent}}},
};
INSTANTIATE_TEST_SUITE_P(NearMisses, RuleTest, testing::ValuesIn(kNearMissCases), CaseName);

// --- Clock offsets ----------------------------------------------------------------

std::string Hhmm(int minute) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d%02d", minute / 60, minute % 60);
  return text;
}

// A1A works `stations` stations, its clock `offset` minutes ahead of theirs;
// the last `stray` of them logged A1A at quite another time (200 minutes
// further off). Each station logs A1A and no one else.
RuleCase ClockCase(std::string name, int stations, int stray, int offset, std::vector<std::string> options,
                   std::vector<Expect> expect) {
  RuleCase c{std::move(name), {}, std::move(expect), std::move(options)};
  LogSpec a{"a.log", "A1A", {}};
  for (int k = 0; k < stations; ++k) {
    const char letter = static_cast<char>('A' + k);
    const std::string call = std::string("Q") + letter + "1" + letter + letter;  // two edits or more apart
    const int minute = 600 + 20 * k;
    a.qsos.push_back({Hhmm(minute + offset), call});
    const int theirs = k >= stations - stray ? minute + 200 : minute;
    c.logs.push_back({std::string(1, static_cast<char>('a' + k)) + "-station.log", call, {{Hhmm(theirs), "A1A"}}});
  }
  c.logs.push_back(std::move(a));
  return c;
}

const RuleCase kClockCases[] = {
    ClockCase("TenContactsFindIt", 10, 0, 30, {},
              {{"a.log", "/clock_offset", -30}, {"a.log", "/contacts/0/status", "confirmed"},
               {"a.log", "/contacts/9/status", "confirmed"}, {"a-station.log", "/contacts/0/status", "confirmed"}}),
    ClockCase("NineContactsDoNot", 9, 0, 30, {},
              {{"a.log", "/clock_offset", nullptr}, {"a.log", "/contacts/0/status", "nil"}}),
    ClockCase("EightyPerCent", 10, 2, 30, {},
              {{"a.log", "/clock_offset", -30}, {"a.log", "/contacts/0/status", "confirmed"},
               {"a.log", "/contacts/9/status", "nil"}}),
    ClockCase("SeventyNinePerCent", 24, 5, 30, {},
              {{"a.log", "/clock_offset", nullptr}, {"a.log", "/contacts/0/status", "nil"}}),
    ClockCase("WithinTheWindow", 10, 0, 12, {"--time-window", "15"},
              {{"a.log", "/clock_offset", nullptr}, {"a.log", "/contacts/0/status", "confirmed"}}),
    ClockCase("BehindTheOthers", 12, 0, -45, {},
              {{"a.log", "/clock_offset", 45}, {"a.log", "/contacts/11/status", "confirmed"}}),
};
INSTANTIATE_TEST_SUITE_P(ClockOffsets, RuleTest, testing::ValuesIn(kClockCases), CaseName);

}  // namespace
}  // namespace zelo::test
