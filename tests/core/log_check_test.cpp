#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "check/finding_groups.h"
#include "check/log_check.h"
#include "test_log.h"

namespace zelo {
namespace {

// A contact line of 13 fields; each test changes the field it is about.
struct Line {
  std::string freq = "14025";
  std::string mode = "CW";
  std::string date = "2026-03-07";
  std::string time = "1203";
  std::string my_call = "YO3ZELO";
  std::string call = "DL1ABC";
  std::string rst = "599";
  std::string item = "GJ";
  std::string Text() const {
    return "QSO: " + freq + " " + mode + " " + date + " " + time + " " + my_call + " 599 001 BU " + call + " " +
           rst + " 017 " + item;
  }
};

// Header lines 1 to 8; contacts and other lines from line 9 on, then END-OF-LOG:.
const std::vector<std::string> kHeader = {
    "START-OF-LOG: 3.0",      "CONTEST: ZELO-RAZEZUZ", "CALLSIGN: YO3ZELO",     "CATEGORY-OPERATOR: SINGLE-OP",
    "CATEGORY-BAND: ALL",     "CATEGORY-POWER: LOW",   "CLAIMED-SCORE: 1",      "CREATED-BY: hand"};

std::string Log(const std::vector<std::string>& body, const std::vector<std::string>& header = kHeader,
                std::string_view eol = "\r\n", std::string_view end = "END-OF-LOG:") {
  std::string text;
  for (const std::string& line : header) text.append(line).append(eol);
  for (const std::string& line : body) text.append(line).append(eol);
  if (!end.empty()) text.append(end).append(eol);
  return text;
}

// The header with the line of `tag` replaced by `line`, or left out when `line` is empty.
std::vector<std::string> HeaderWith(std::string_view tag, std::string_view line) {
  std::vector<std::string> header;
  for (const std::string& h : kHeader) {
    if (!h.starts_with(tag)) {
      header.push_back(h);
    } else if (!line.empty()) {
      header.push_back(std::string(line));
    }
  }
  return header;
}

Line With(void (*change)(Line&)) {
  Line line;
  change(line);
  return line;
}

const std::string kOne = Line().Text();
const std::string kTwo = With([](Line& l) { l.call = "OK1XYZ"; l.time = "1204"; }).Text();

// A log, a code, and the line the code must be found on; line 0: a near
// miss that must not give the code anywhere.
struct Case {
  std::string_view name;
  std::string log;
  std::string_view code;
  std::int64_t line;
};
const Case kCases[] = {
    {"NoBandKhzOffTable", Log({With([](Line& l) { l.freq = "7150"; }).Text()}), "no-band", 9},
    {"NoBandMegahertz", Log({With([](Line& l) { l.freq = "7.025"; }).Text()}), "no-band", 9},
    {"NoBandCrOnly", Log({kOne, With([](Line& l) { l.freq = "1900"; }).Text()}, kHeader, "\r"), "no-band", 10},
    {"BandCounted", Log({With([](Line& l) { l.freq = "7025"; }).Text()}), "no-band", 0},
    {"LowReport", Log({With([](Line& l) { l.rst = "5NN"; }).Text()}), "low-report", 9},
    {"PhoneReportFine", Log({With([](Line& l) { l.rst = "59"; }).Text()}), "low-report", 0},
    {"NoNumber", Log({With([](Line& l) { l.rst = "NN"; }).Text()}), "no-number", 9},
    {"NumberFine", Log({kOne}), "no-number", 0},
    {"ShortContact", Log({kOne.substr(0, kOne.rfind(' '))}), "short-contact", 9},
    {"ThirteenFields", Log({kOne + "  "}), "short-contact", 0},
    {"NotContact", Log({kOne, "QSO:"}), "not-contact", 10},
    {"SmallLetters", Log({"qso:" + kOne.substr(4)}), "qso-case", 9},
    {"Capitals", Log({kOne}), "qso-case", 0},
    {"NoEnd", Log({kOne}, kHeader, "\r\n", ""), "no-end-of-log", 9},
    {"End", Log({kOne}), "no-end-of-log", 0},
    {"AfterEnd", Log({kOne}) + kTwo + "\r\n", "qso-after-end", 11},
    {"BeforeEnd", Log({kOne, kTwo}), "qso-after-end", 0},
    {"InXQso", Log({kOne, "X-" + kTwo}), "qso-in-x-qso", 10},
    {"XQsoInSmallLetters", Log({kOne, "x-qso:" + kTwo.substr(4)}), "qso-in-x-qso", 0},
    {"MidLine", Log({"73 and " + kTwo}), "qso-mid-line", 9},
    {"AtLineStart", Log({kTwo}), "qso-mid-line", 0},
    {"SecondOnItsLine", Log({kOne + " " + kTwo}), "qso-mid-line", 9},
    {"SecondInXQso", Log({kOne, "X-" + kOne + " " + kTwo}), "remark-contact", 10},
    {"UnknownLine", Log({kOne, "73 and thanks"}), "unknown-line", 10},
    {"BlankLine", Log({kOne, "  \t"}), "unknown-line", 0},
    {"UnknownTag", Log({"RIG: IC-7300", kOne}), "unknown-tag", 9},
    {"PrivateTag", Log({"X-RIG: IC-7300", kOne}), "unknown-tag", 0},
    {"Version", Log({kOne}, HeaderWith("START-OF-LOG", "START-OF-LOG: 1.0")), "bad-version", 1},
    {"VersionTwo", Log({kOne}, HeaderWith("START-OF-LOG", "START-OF-LOG: 2.0")), "bad-version", 0},
    {"NoCallsign", Log({kOne}, HeaderWith("CALLSIGN", "")), "no-callsign", 1},
    {"EmptyCallsign", Log({kOne}, HeaderWith("CALLSIGN", "CALLSIGN:")), "no-callsign", 3},
    {"Callsign", Log({kOne}), "no-callsign", 0},
    {"NoContest", Log({kOne}, HeaderWith("CONTEST", "")), "no-contest", 1},
    {"Contest", Log({kOne}), "no-contest", 0},
    {"CategoryWord", Log({kOne}, HeaderWith("CATEGORY-POWER", "CATEGORY-POWER: MEDIUM")), "bad-category", 6},
    {"CategoryQrp", Log({kOne}, HeaderWith("CATEGORY-POWER", "CATEGORY-POWER: QRP")), "bad-category", 0},
    {"Version2Word", Log({kOne}, {"START-OF-LOG: 2.0", "CALLSIGN: YO3ZELO", "CONTEST: Z", "CATEGORY: SINGLE-OP ALL MEDIUM"}),
     "bad-category", 4},
    {"Version2Line", Log({kOne}, {"START-OF-LOG: 2.0", "CALLSIGN: YO3ZELO", "CONTEST: Z", "CATEGORY: SINGLE-OP-ASSISTED 20M LOW CW"}),
     "bad-category", 0},
    {"Mode", Log({With([](Line& l) { l.mode = "SSB"; }).Text()}), "bad-mode", 9},
    {"ModePhone", Log({With([](Line& l) { l.mode = "PH"; }).Text()}), "bad-mode", 0},
    {"NoSuchDay", Log({With([](Line& l) { l.date = "2026-02-29"; }).Text()}), "bad-date", 9},
    {"LeapDay", Log({With([](Line& l) { l.date = "2024-02-29"; }).Text()}), "bad-date", 0},
    {"Time", Log({With([](Line& l) { l.time = "2400"; }).Text()}), "bad-time", 9},
    {"LastMinute", Log({With([](Line& l) { l.time = "2359"; }).Text()}), "bad-time", 0},
    {"TimeOrder", Log({kTwo, kOne}), "time-order", 10},
    {"SameMinute", Log({kOne, With([](Line& l) { l.call = "OK1XYZ"; }).Text()}), "time-order", 0},
    {"OwnCall", Log({kOne, With([](Line& l) { l.my_call = "YO3ZEL"; }).Text()}), "own-call", 10},
    {"OwnCallSmallLetters", Log({With([](Line& l) { l.my_call = "yo3zelo"; }).Text()}), "own-call", 0},
    {"ExtraFields", Log({kOne + " 1"}), "extra-fields", 9},
    {"TrailingBlanks", Log({kOne + "   "}), "extra-fields", 0},
    {"NonAscii", Log({"NAME: Ionu\xC8\x9B", kOne}), "non-ascii", 9},
    {"ControlByte", Log({"SOAPBOX: a\x01", kOne}), "non-ascii", 9},
    {"Ascii", Log({"NAME: Ionut", kOne}), "non-ascii", 0},
    {"ClaimedScore", Log({kOne}, HeaderWith("CLAIMED-SCORE", "CLAIMED-SCORE: 2")), "claimed-score", 7},
    {"ClaimedRight", Log({kOne}), "claimed-score", 0},
    {"Repeat", Log({kOne, kOne}), "repeat", 10},
    {"RepeatOtherBand", Log({kOne, With([](Line& l) { l.freq = "21025"; }).Text()}), "repeat", 0},
    {"WorkedAgain", Log({kOne, kTwo, kOne}), "worked-again", 11},
    {"WorkedOnOtherBand", Log({kOne, kTwo, With([](Line& l) { l.freq = "7025"; }).Text()}), "worked-again", 0},
    {"Tabs", Log({kOne, With([](Line& l) { l.call = "OK1XYZ\t"; }).Text()}), "tabs", 10},
    {"Blanks", Log({kOne}), "tabs", 0},
    {"NoClaimedScore", Log({kOne}, HeaderWith("CLAIMED-SCORE", "")), "no-claimed-score", 1},
    {"RemarkCountedAsContact", Log({kOne, "SOAPBOX: best QSO: 14 MHz with VK6XX at 0200"}), "remark-contact", 10},
    {"RemarkWithoutContact", Log({kOne, "SOAPBOX: thanks for the QSO:-)"}), "remark-contact", 0},
    {"RemarkQso", Log({kOne, "SOAPBOX: thanks for the QSO:-)"}), "remark-qso", 10},
    {"RemarkQsoSmallLetters", Log({kOne, "SOAPBOX: thanks for the qso:-)"}), "remark-qso", 0},
    {"LowReportCountedElsewhere", Log({kOne, With([](Line& l) { l.rst = "5NN"; l.call = "OK1XYZ"; }).Text()}),
     "low-report-counted", 10},
    {"LowReportCountedIsNoError", Log({kOne, With([](Line& l) { l.rst = "5NN"; l.call = "OK1XYZ"; }).Text()}),
     "low-report", 0},
    {"NoNumberCountedElsewhere", Log({kOne, With([](Line& l) { l.rst = "TNN"; l.call = "OK1XYZ"; }).Text()}),
     "no-number-counted", 10},
    {"LowReportOtherBand", Log({kOne, With([](Line& l) { l.rst = "5"; l.freq = "7025"; }).Text()}), "low-report", 10},
    {"LowReportCountedBySecondSpelling",
     Log({kOne, With([](Line& l) { l.call = "OK1XYZ"; l.item = "gj"; }).Text(),
          With([](Line& l) { l.call = "OK2AAA"; l.rst = "5NN"; l.item = "gj"; }).Text()}),
     "low-report-counted", 11},
    {"CaseItem", Log({kOne, With([](Line& l) { l.call = "OK1XYZ"; l.item = "gj"; }).Text()}), "case-item", 10},
    {"SameItem", Log({kOne, With([](Line& l) { l.call = "OK1XYZ"; }).Text()}), "case-item", 0},
    {"CaseCall", Log({kOne, With([](Line& l) { l.call = "dl1abc"; l.item = "XX"; }).Text()}), "case-call", 10},
    {"CaseCallPastItsFirstEightBytes",
     Log({With([](Line& l) { l.call = "DL1ABC/MM"; }).Text(), With([](Line& l) { l.call = "DL1ABC/mm"; }).Text()}),
     "case-call", 10},
    {"LongCallWorkedAgain",
     Log({With([](Line& l) { l.call = "DL1ABC/MM"; }).Text(), kTwo, With([](Line& l) { l.call = "DL1ABC/MM"; }).Text()}),
     "worked-again", 11},
    {"CaseCallOtherBand", Log({kOne, With([](Line& l) { l.call = "dl1abc"; l.freq = "7025"; }).Text()}), "case-call", 0},
    {"CallsignTwice", Log({kOne}, {"START-OF-LOG: 3.0", "CALLSIGN: YO3ZELO", "CONTEST: Z", "CALLSIGN: YO3ZEL"}),
     "callsign-twice", 4},
    {"CallsignAgainAlike", Log({kOne}, {"START-OF-LOG: 3.0", "CALLSIGN: YO3ZELO", "CONTEST: Z", "CALLSIGN: yo3zelo"}),
     "callsign-twice", 0},
    {"TagTwice", Log({kOne}, {"START-OF-LOG: 3.0", "CALLSIGN: YO3ZELO", "CLUB: A", "CLUB: B"}), "tag-twice", 4},
    {"SoapboxTwice", Log({kOne}, {"START-OF-LOG: 3.0", "CALLSIGN: YO3ZELO", "SOAPBOX: A", "SOAPBOX: B"}),
     "tag-twice", 0},
    {"OffCategoryBand", Log({kOne, With([](Line& l) { l.freq = "7025"; l.call = "OK1XYZ"; }).Text()},
                           HeaderWith("CATEGORY-BAND", "CATEGORY-BAND: 20M")),
     "off-category-band", 5},
    {"OnCategoryBand", Log({kOne, kTwo}, HeaderWith("CATEGORY-BAND", "CATEGORY-BAND: 20M")), "off-category-band", 0},
    {"OffCategoryMode", Log({kOne}, HeaderWith("CREATED-BY", "CATEGORY-MODE: SSB")), "off-category-mode", 8},
    {"OnCategoryMode", Log({kOne}, HeaderWith("CREATED-BY", "CATEGORY-MODE: CW")), "off-category-mode", 0},
    {"CwReportOfTwoDigits", Log({With([](Line& l) { l.rst = "59"; }).Text()}), "report-digits", 9},
    {"PhoneReportOfTwoDigits", Log({With([](Line& l) { l.rst = "59"; l.mode = "PH"; }).Text()}), "report-digits", 0},
    {"OwnCallWorked", Log({With([](Line& l) { l.call = "yo3zelo"; }).Text()}), "own-call-worked", 9},
    {"OtherCallWorked", Log({kOne}), "own-call-worked", 0},
    {"TransmitterOfMultiTransmitter", Log({kOne + " 1"}, HeaderWith("CREATED-BY", "CATEGORY-TRANSMITTER: TWO")),
     "extra-fields", 0},
    {"IndentedHeader", "  START-OF-LOG: 3.0\r\n  CALLSIGN: YO3ZELO\r\n" + kOne + "\r\n", "unknown-line", 0},
    {"NotLog", "\r\n\r\nSTART OF LOG\r\n" + kOne, "not-log", 3},
    {"ByteOrderMark", "\xEF\xBB\xBF" + Log({kOne}), "not-log", 0},
};

class CheckCaseTest : public testing::TestWithParam<Case> {};

TEST_P(CheckCaseTest, FindsTheCodeOnItsLineOrNowhere) {
  const Case& c = GetParam();
  const CheckReport report = CheckLog(c.log);
  std::vector<std::int64_t> lines;
  for (const Finding& f : report.findings) {
    if (f.code == c.code) lines.push_back(f.line);
  }
  if (c.line == 0) {
    EXPECT_TRUE(lines.empty()) << c.code << " on line " << lines.front();
  } else {
    EXPECT_EQ(lines, std::vector<std::int64_t>{c.line});
  }
}

INSTANTIATE_TEST_SUITE_P(Findings, CheckCaseTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every code of the table above is one the checker declares, with its severity.
TEST(LogCheck, CodesAreDeclaredOnceWithTheirSeverity) {
  std::set<std::string_view> declared;
  for (const FindingKind& kind : FindingKinds()) EXPECT_TRUE(declared.insert(kind.code).second) << kind.code;
  for (const Case& c : kCases) EXPECT_TRUE(declared.count(c.code)) << c.code;
  for (const Case& c : kCases) {
    for (const Finding& f : CheckLog(c.log).findings) {
      const auto kind = std::find_if(FindingKinds().begin(), FindingKinds().end(),
                                     [&f](const FindingKind& k) { return k.code == f.code; });
      ASSERT_NE(kind, FindingKinds().end()) << f.code;
      EXPECT_EQ(kind->severity, f.severity) << f.code;
    }
  }
}

// A log with an error tells what the scorer does and, where clear, what to write.
TEST(LogCheck, MessagesSayWhatToWrite) {
  struct Message {
    std::string log;
    std::string_view says;
  };
  const Message kMessages[] = {
      {Log({With([](Line& l) { l.freq = "7150"; }).Text()}), "lies on 40 m, which this event counts only for "
                                                             "frequencies beginning 72, 70 or 07"},
      {Log({With([](Line& l) { l.freq = "7.025"; }).Text()}), "write it in kHz, 7025"},
      {Log({With([](Line& l) { l.freq = "1900"; }).Text()}), "beginning 01 or 18"},
      {Log({With([](Line& l) { l.rst = "5NN"; }).Text()}), "field 13 \"GJ\" brings no multiplier"},
      {Log({kOne}, HeaderWith("CLAIMED-SCORE", "CLAIMED-SCORE: 2")), "CLAIMED-SCORE: 2 differs from the computed score 1"},
      {Log({kOne, kOne}), "repeats the contact on line 9"},
      {Log({With([](Line& l) { l.mode = "SSB"; }).Text()}), "write PH"},
      {Log({With([](Line& l) { l.rst = "5NN"; }).Text()}), "is 599 written the CW way"},
      {Log({With([](Line& l) { l.rst = "5NN"; }).Text()}), "this costs the multiplier \"GJ\" on 20 m"},
      {Log({kOne, With([](Line& l) { l.rst = "4"; l.call = "OK1XYZ"; }).Text()}), "\"GJ\" counts on 20 m from line 9"},
      {Log({kOne}, HeaderWith("CLAIMED-SCORE", "CLAIMED-SCORE: 99999999999999999999")), "is too large"},
      {Log({kOne}, HeaderWith("CLAIMED-SCORE", "CLAIMED-SCORE: 12x")), "is not a whole number"},
      {Log({With([](Line& l) { l.freq = "9999999.9"; }).Text()}), "lies on none of the bands"},
  };
  for (const Message& m : kMessages) {
    const CheckReport report = CheckLog(m.log);
    const bool said = std::any_of(report.findings.begin(), report.findings.end(),
                                  [&m](const Finding& f) { return f.message.find(m.says) != std::string::npos; });
    EXPECT_TRUE(said) << m.says;
  }
}

// A realistic version-3 log, claimed score right, has nothing to tell.
TEST(LogCheck, CleanLogHasNoFindings) {
  const std::string log = test::ReadBytes(std::string(ZELO_TEST_DATA) + "/clean_v3.log");
  ASSERT_FALSE(log.empty());
  const CheckReport report = CheckLog(log);
  for (const Finding& f : report.findings) ADD_FAILURE() << f.line << ": " << f.code << ": " << f.message;
  EXPECT_TRUE(report.summary.scored);
  EXPECT_GT(report.summary.score, 0);
  EXPECT_EQ(report.summary.claimed_score, report.summary.score);
}

// The sample log's low reports: three cost a multiplier, every other one's
// item is counted on its band by another contact.
TEST(LogCheck, SampleLogLowReportsCostThreeMultipliers) {
  const CheckReport report = CheckLog(test::ReadBytes(std::string(ZELO_SAMPLES) + "/sample.log"));
  std::vector<std::int64_t> errors;
  std::int64_t counted = 0;
  for (const Finding& f : report.findings) {
    if (f.severity == Severity::kError) errors.push_back(f.line);
    if (f.code == "low-report-counted") ++counted;
  }
  EXPECT_EQ(errors, (std::vector<std::int64_t>{66, 79, 253}));
  EXPECT_EQ(counted, 25);
  EXPECT_EQ(report.summary.effect.lost_multipliers, 3);
  EXPECT_EQ(report.summary.effect.lost_contacts, 0);
}

// The errors' effect is added up, a multiplier lost on two lines once.
TEST(LogCheck, ErrorsAddUpWhatTheyCost) {
  const std::string low = With([](Line& l) { l.rst = "5"; }).Text();
  const std::string low_again = With([](Line& l) { l.rst = "5"; l.call = "OK1XYZ"; }).Text();
  const CheckReport report = CheckLog(Log({low, low_again, With([](Line& l) { l.freq = "1900"; }).Text(),
                                           "SOAPBOX: QSO: 7025 is where I was"}));
  EXPECT_EQ(report.summary.effect.lost_multipliers, 1);
  EXPECT_EQ(report.summary.effect.lost_contacts, 1);
  EXPECT_EQ(report.summary.effect.added_contacts, 1);
  EXPECT_EQ(EffectText(report.summary.effect), "errors cost 1 contact and 1 multiplier; errors add 1 contact");
  EXPECT_EQ(EffectText({}), "");
}

// Findings of one code are grouped: the first few shown, the rest summed up
// with their lines; a code with few findings has nothing more to tell.
TEST(FindingGroups, TheRestOfACodeIsSummedUpWithItsLines) {
  std::vector<std::string> body;
  for (int i = 0; i < 8; ++i) body.push_back(kOne);  // 7 repeats, on lines 10 to 16
  body.push_back(With([](Line& l) { l.mode = "SSB"; l.call = "OK1XYZ"; }).Text());
  const CheckReport report = CheckLog(Log(body));
  const std::vector<FindingGroup> groups = GroupFindings(report);
  const auto repeats = std::find_if(groups.begin(), groups.end(), [](const FindingGroup& g) { return g.code == "repeat"; });
  ASSERT_NE(repeats, groups.end());
  EXPECT_EQ(repeats->findings.size(), 7U);
  EXPECT_EQ(MoreLikeThis(report, *repeats), "2 more like line 10 (repeat): lines 15, 16");
  EXPECT_EQ(MoreLikeThis(report, *repeats, 6), "1 more like line 10 (repeat): line 16");
  const auto mode = std::find_if(groups.begin(), groups.end(), [](const FindingGroup& g) { return g.code == "bad-mode"; });
  ASSERT_NE(mode, groups.end());
  EXPECT_EQ(MoreLikeThis(report, *mode), "");
  std::size_t grouped = 0;
  for (const FindingGroup& g : groups) grouped += g.findings.size();
  EXPECT_EQ(grouped, report.findings.size());
  // Several findings on one line name that line once.
  std::string crowded = "SOAPBOX:";
  for (int i = 0; i < 8; ++i) crowded += " QSO: 14025";
  const CheckReport one_line = CheckLog(Log({kOne, crowded}));
  int summed = 0;
  for (const FindingGroup& g : GroupFindings(one_line)) {
    if (g.findings.size() <= kShownPerCode) continue;
    ++summed;
    EXPECT_TRUE(MoreLikeThis(one_line, g).ends_with("): line 10")) << MoreLikeThis(one_line, g);
  }
  EXPECT_GT(summed, 0);
  EXPECT_EQ(FindingLine("a.log", report.findings[repeats->findings[0]]).substr(0, 22), "a.log:10: note: \"DL1AB");
}

// A rejected log is checked no further.
TEST(LogCheck, RejectedLogGetsOneError) {
  const CheckReport report = CheckLog("QSO: 14025 CW 2026-03-07 1203 YO3ZELO 599 001 BU DL1ABC 5NN 017 GJ\n");
  ASSERT_EQ(report.findings.size(), 1U);
  EXPECT_EQ(report.findings[0].code, "not-log");
  EXPECT_FALSE(report.summary.scored);
  EXPECT_EQ(report.summary.errors, 1);
}

}  // namespace
}  // namespace zelo
