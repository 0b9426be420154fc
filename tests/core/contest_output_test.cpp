// The contest writers: CSV quoting, HTML escaping and safe file names, the
// report and results table of a small contest built by hand, and writes
// that fail without leaving anything half written.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "contest/check_report.h"
#include "contest/contest_output.h"
#include "contest/output_text.h"
#include "core/test_log.h"
#include "support/small_contest.h"

namespace zelo {
namespace {

using testing_support::SmallContest;
using test::NamesIn;
using test::ScratchDir;

std::string ReadFileText(const std::filesystem::path& path) { return test::ReadBytes(path.string()); }
void WriteFileText(const std::filesystem::path& path, std::string_view bytes) { test::WriteBytes(path.string(), bytes); }

struct TextCase {
  std::string_view text;
  std::string_view expected;
};

const TextCase kCsvCases[] = {
    {"K1ABC", "K1ABC"},
    {"", ""},
    {"a,b", "\"a,b\""},
    {"say \"hi\"", "\"say \"\"hi\"\"\""},
    {"two\r\nlines", "two\xEF\xBF\xBD\xEF\xBF\xBDlines"},
    {std::string_view("nul\0x", 5), "nul\xEF\xBF\xBDx"},
    {"F5\xC9\xC8T", "F5\xC3\x89\xC3\x88T"},  // Latin-1, as the window shows it
    {"\"", "\"\"\"\""},
    {" blank ", " blank "},
    {"=1+2", "'=1+2"},
    {"+1", "'+1"},
    {"-1", "'-1"},
    {"@SUM(A1)", "'@SUM(A1)"},
    {"=HYPERLINK(\"x\",\"y\")", "\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\""},
    {"K1-ABC", "K1-ABC"},
};

TEST(ContestCsv, FieldsAreQuotedWhenTheyMustBe) {
  for (const TextCase& c : kCsvCases) EXPECT_EQ(CsvField(c.text), c.expected) << c.text;
}

const TextCase kHtmlCases[] = {
    {"K1ABC", "K1ABC"},
    {"DL/K1ABC", "DL/K1ABC"},
    {"<script>alert('x')</script>", "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;"},
    {"a\"b", "a&quot;b"},
    {"&amp;", "&amp;amp;"},
    {"Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x93\xBB", "Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x93\xBB"},
    {"tab\there", "tab\there"},
    {std::string_view("nul\0x", 5), "nul\xEF\xBF\xBDx"},
    {"\x1B[31m", "\xEF\xBF\xBD[31m"},
    {"\x7F", "\xEF\xBF\xBD"},
    {"\xC2\x85", "\xEF\xBF\xBD"},                              // a C1 control
    // Bytes that are not UTF-8 are their Latin-1 letters, as in the window.
    {"\xFF<", "\xC3\xBF&lt;"},
    {"\xC3", "\xC3\x83"},
    {"\xC0\xAF", "\xC3\x80\xC2\xAF"},
    {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xEF\xBF\xBD"},  // the last one a C1 control
    {"\xEF\xBF\xBE", "\xEF\xBF\xBD"},                          // a noncharacter
};

TEST(ContestHtml, TextIsEscapedAndMadeValidUtf8) {
  for (const TextCase& c : kHtmlCases) EXPECT_EQ(HtmlEscape(c.text), c.expected) << c.text;
}

struct StemCase {
  std::vector<std::string> calls;
  std::vector<std::string> reserved;
  std::vector<std::string> stems;
};

const StemCase kStemCases[] = {
    {{"K1ABC", "k1abc", "K1ABC"}, {}, {"K1ABC", "K1ABC-2", "K1ABC-3"}},
    {{"DL/K1ABC", "../etc/passwd", ".hidden", ""}, {}, {"DL_K1ABC", "___ETC_PASSWD", "_HIDDEN", "LOG"}},
    {{"index", "Style", "CON", "com1", "LPT9", "COMX"}, {"INDEX", "STYLE"},
     {"INDEX-2", "STYLE-2", "CON-2", "COM1-2", "LPT9-2", "COMX"}},
    {{"A", "A", "A-2"}, {"A-2"}, {"A", "A-3", "A_2"}},
    {{std::string(60, 'w')}, {}, {std::string(40, 'W')}},
};

TEST(ContestFileNames, StemsAreSafeAndUnique) {
  for (const StemCase& c : kStemCases) EXPECT_EQ(UniqueFileStems(c.calls, c.reserved), c.stems);
}

TEST(ContestReport, SmallContestReportReadsAsExpected) {
  const ContestResult result = SmallContest();
  const ContestIndex index = IndexContest(result, {});
  const std::string expected =
      "Log-checking report: K1ABC (Contest results)\r\n"
      "File:      k1abc.log\r\n"
      "Category:  SINGLE-OP ALL HIGH CW\r\n"
      "Place:     2 of 2 in SINGLE-OP ALL HIGH CW NON-ASSISTED ONE\r\n"
      "Clock:     Your log's times are about 32 minutes off the other logs': 2 contacts were confirmed with that "
      "offset\r\n"
      "\r\n"
      "                      As scored             Checked\r\n"
      "Band         Contacts     Mults  Contacts     Mults\r\n"
      "160 m               0         0         0         0\r\n"
      "80 m                0         0         0         0\r\n"
      "40 m                0         0         0         0\r\n"
      "20 m                5         3         3         2\r\n"
      "15 m                0         0         0         0\r\n"
      "10 m                0         0         0         0\r\n"
      "Total               5         3         3         2\r\n"
      "\r\n"
      "Score claimed (CLAIMED-SCORE):        15\r\n"
      "Score as scored:                      15\r\n"
      "Score checked:                         6   reduction 60.0%\r\n"
      "\r\n"
      "Contacts by status\r\n"
      "  confirmed               1\r\n"
      "  busted-exchange         1\r\n"
      "  busted-call             1\r\n"
      "  nil                     1\r\n"
      "  unique                  1\r\n"
      "  unverified              0\r\n"
      "  repeat                  1\r\n"
      "  no-band                 0\r\n"
      "  not-contact             0\r\n"
      "\r\n"
      "Contacts that do not count: 4\r\n"
      "  line 11, nil: not in the log of W2XYZ\r\n"
      "    yours:  QSO: 40025 CW 2026-03-07 1221 ME 599 001 BU W2XYZ 599 001 BU\r\n"
      "  line 12, busted-call: the station worked was N3QQQ\r\n"
      "    yours:  QSO: 20025 CW 2026-03-07 1222 ME 599 001 BU N3QQX 599 001 BU\r\n"
      "    theirs: QSO: their line 20 (n3qqq.log, line 20)\r\n"
      "  line 13, busted-exchange: field 13 copied as \"05\", sent as \"5\"\r\n"
      "    yours:  QSO: 15025 CW 2026-03-07 1223 ME 599 001 BU W2XYZ 599 001 BU\r\n"
      "    theirs: QSO: their line 14 (w2xyz.log, line 14)\r\n"
      "  line 15, repeat: a repeat of the contact before it\r\n"
      "    yours:  QSO: 9025 CW 2026-03-07 1225 ME 599 001 BU W2XYZ 599 001 BU\r\n"
      "\r\n"
      "Stations that miscopied your call or exchange: 0\r\n"
      "\r\n"
      "Stations that logged you but are not in your log: 0\r\n";
  EXPECT_EQ(EntrantReport(result, index, 0), expected);
}

// Who miscopied an entrant, and who logged it without being in its log, is
// found from the other logs: N3QQQ's call was busted by K1ABC and its
// exchange by W2XYZ; W2XYZ's exchange by K1ABC, who also logged W2XYZ on
// 40 m without W2XYZ logging it.
TEST(ContestReport, OtherLogsShowWhoMiscopiedAndWhoLoggedTheEntrant) {
  const ContestResult result = SmallContest();
  const ContestIndex index = IndexContest(result, {});
  const std::string n3qqq = EntrantReport(result, index, 2);
  EXPECT_NE(n3qqq.find("Stations that miscopied your call or exchange: 2\r\n"
                       "  K1ABC (k1abc.log, line 12): logged your call as N3QQX\r\n"
                       "    theirs: QSO: 20025 CW 2026-03-07 1222 ME 599 001 BU N3QQX 599 001 BU\r\n"
                       "  W2XYZ (w2xyz.log, line 15): field 12 copied as \"579\", you sent \"599\"\r\n"),
            std::string::npos)
      << n3qqq;
  const std::string w2xyz = EntrantReport(result, index, 1);
  EXPECT_NE(w2xyz.find("  K1ABC (k1abc.log, line 13): field 13 copied as \"05\", you sent \"5\"\r\n"),
            std::string::npos)
      << w2xyz;
  EXPECT_NE(w2xyz.find("Stations that logged you but are not in your log: 1\r\n"
                       "  K1ABC (k1abc.log, line 11): logged you; you did not log them\r\n"),
            std::string::npos)
      << w2xyz;
}

TEST(ContestReport, ResultsTableHasOneQuotedRowPerLogAndSkippedFile) {
  const ContestResult result = SmallContest();
  const std::string header =
      "file,call,operators,club,category_operator,category_band,category_power,category_mode,category_assisted,"
      "category_station,category_transmitter,category_time,category_overlay,checklog,contacts,multipliers,"
      "score,checked_contacts,checked_multipliers,checked_score,claimed_score,confirmed,busted-exchange,"
      "busted-call,nil,unique,unverified,repeat,no-band,not-contact,place,clock_offset,superseded_by,"
      "skipped_reason\r\n";
  const std::string expected =
      header +
      "k1abc.log,K1ABC,K1ABC K1XYZ,Yankee Clipper Contest Club,SINGLE-OP,ALL,HIGH,CW,,,,,,no,5,3,15,3,2,6,15,1,1,1,1,1,0,"
      "1,0,0,2,-32,,\r\n"
      "w2xyz.log,W2XYZ,,,SINGLE-OP,ALL,LOW,CW,,,,,,no,3,2,6,3,2,6,,2,1,0,0,0,0,0,0,0,1,,,\r\n"
      "n3qqq.log,N3QQQ,,yankee clipper contest club,SINGLE-OP,ALL,HIGH,CW,,,,,,no,3,3,9,3,3,9,,2,0,0,0,0,1,0,0,0,1,,,\r\n"
      "\"evil, \"\"quoted\"\".log\",<script>alert(1)</script>\xEF\xBF\xBD[31m"
      ",,,SINGLE-OP,ALL,LOW,CW,,,,,<img src=x onerror=alert(2)>,no,1,1,1,1,1,1,,0,0,0,0,0,0,0,1,0,2,,,\r\n"
      "k9chk.log,K9CHK,,,CHECKLOG,,,,,,,,,yes,1,1,1,1,1,1,,0,0,0,0,0,0,0,0,1,,,,\r\n"
      "junk.txt,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,it is not a Cabrillo log: it does not begin with START-OF-LOG:\r\n";
  EXPECT_EQ(ResultsCsv(result, IndexContest(result, {})), expected);
}

// Every file the site holds, by name: only safe names, and no text from a
// log ever forms markup.
TEST(ContestHtml, HostileTextShowsAsTextOnEveryPage) {
  ScratchDir scratch;
  const OutputWrite written = WriteHtmlSite(SmallContest(), (scratch / "site").string());
  ASSERT_TRUE(written.ok) << written.error;
  const auto safe_name = [](const std::string& name) {
    return name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-.") ==
               std::string::npos &&
           name.find('.') == name.rfind('.') && name.front() != '.';
  };
  for (const std::string& name : NamesIn((scratch / "site").string())) {
    if (name == kManifestName) continue;
    EXPECT_TRUE(safe_name(name)) << name;
    const std::string page = ReadFileText(scratch / "site" / name);
    EXPECT_EQ(page.find("<script>"), std::string::npos) << name;
    EXPECT_EQ(page.find("<img"), std::string::npos) << name;
    EXPECT_EQ(page.find("<b>"), std::string::npos) << name;
    EXPECT_EQ(page.find('\x1B'), std::string::npos) << name;
  }
  const std::string index = ReadFileText(scratch / "site" / "index.html");
  EXPECT_NE(index.find(">&lt;script&gt;alert(1)&lt;/script&gt;\xEF\xBF\xBD[31m</a>"), std::string::npos);
  EXPECT_NE(index.find("<a href=\"K1ABC.html\">K1ABC</a>"), std::string::npos);
  const std::string hostile = ReadFileText(scratch / "site" / "_SCRIPT_ALERT_1___SCRIPT___31M.html");
  EXPECT_NE(hostile.find("&lt;img src=x onerror=alert(2)&gt;"), std::string::npos);
  EXPECT_NE(hostile.find("&lt;b&gt;bold&lt;/b&gt;"), std::string::npos);
}

TEST(ContestReport, HostileTextCannotDriveATerminal) {
  ScratchDir scratch;
  const OutputWrite written = WriteReportDir(SmallContest(), (scratch / "reports").string());
  ASSERT_TRUE(written.ok) << written.error;
  const std::string report = ReadFileText(scratch / "reports" / "_SCRIPT_ALERT_1___SCRIPT___31M.txt");
  EXPECT_NE(report.find("Log-checking report: <script>alert(1)</script>?[31m (Contest results)\r\n"),
            std::string::npos)
      << report;
  EXPECT_EQ(report.find('\x1B'), std::string::npos);
}

// An output folder replaces or removes only what its manifest lists: a
// file of anyone else's in the way stops the run before anything is
// written, a log is never replaced, and what an earlier run wrote that this
// one does not is removed.
struct FolderCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> before;  // files in the folder, ".zelo-outputs" included
  bool ok;
  std::string error;  // part of the error
  std::vector<std::string> gone;   // files the run removes
  std::vector<std::string> kept;   // files it leaves as they were
};
const FolderCase kFolderCases[] = {
    {"Fresh", {}, true, "", {}, {}},
    {"StalePageRemoved", {{".zelo-outputs", "OLD1A.txt\nresults.csv\n"}, {"OLD1A.txt", "old"}, {"notes.md", "mine"}},
     true, "", {"OLD1A.txt"}, {"notes.md"}},
    {"ForeignFileRefused", {{"results.csv", "someone else's table"}}, false,
     "results.csv: not replaced: zelo-score did not write it", {}, {"results.csv"}},
    {"LogNeverReplaced", {{".zelo-outputs", "K1ABC.txt\n"}, {"K1ABC.txt", "START-OF-LOG: 3.0\r\n"}}, false,
     "K1ABC.txt is a Cabrillo log; not replaced", {}, {"K1ABC.txt"}},
};

class FolderTest : public testing::TestWithParam<FolderCase> {};

TEST_P(FolderTest, OnlyWhatTheManifestListsIsReplaced) {
  ScratchDir scratch;
  const std::filesystem::path dir = scratch / "out";
  std::filesystem::create_directories(dir);
  for (const auto& [name, bytes] : GetParam().before) WriteFileText(dir / name, bytes);
  const std::vector<std::string> names_before = NamesIn(dir.string());
  const OutputWrite written = WriteReportDir(SmallContest(), dir.string());
  EXPECT_EQ(written.ok, GetParam().ok) << written.error;
  EXPECT_NE(written.error.find(GetParam().error), std::string::npos) << written.error;
  for (const std::string& name : GetParam().gone) EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
  for (const auto& [name, bytes] : GetParam().before) {
    const bool kept = std::find(GetParam().kept.begin(), GetParam().kept.end(), name) != GetParam().kept.end();
    if (kept) {
      EXPECT_EQ(ReadFileText(dir / name), bytes) << name;
    }
  }
  if (!GetParam().ok) {
    EXPECT_EQ(NamesIn(dir.string()), names_before);  // nothing written
    return;
  }
  const std::string manifest = ReadFileText(dir / ".zelo-outputs");
  EXPECT_NE(manifest.find("K1ABC.txt\n"), std::string::npos);
  EXPECT_NE(manifest.find("results.csv\n"), std::string::npos);
  EXPECT_EQ(manifest.find("OLD1A.txt"), std::string::npos);
  EXPECT_EQ(manifest.find("notes.md"), std::string::npos);
}
INSTANTIATE_TEST_SUITE_P(Folders, FolderTest, testing::ValuesIn(kFolderCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A write that fails half way names the file and leaves the earlier run's
// table and index (written last) as they were, and no temporary file.
TEST(ContestOutput, FailedWriteLeavesTheEarlierTableWhole) {
  ScratchDir scratch;
  const std::filesystem::path dir = scratch / "out";
  std::filesystem::create_directories(dir / "N3QQQ.txt");  // a folder where a report goes
  WriteFileText(dir / ".zelo-outputs", "N3QQQ.txt\nresults.csv\n");
  WriteFileText(dir / "results.csv", "old results");
  const OutputWrite written = WriteReportDir(SmallContest(), dir.string());
  EXPECT_FALSE(written.ok);
  EXPECT_NE(written.error.find("/N3QQQ.txt: "), std::string::npos) << written.error;
  EXPECT_EQ(ReadFileText(dir / "results.csv"), "old results");
  for (const std::string& name : NamesIn(dir.string())) EXPECT_NE(name.rfind(".zelo-save-", 0), 0u) << name;
}

// A log whose name is the one an output would take is never written over.
TEST(ContestOutput, ALogIsNeverWrittenOver) {
  ScratchDir scratch;
  ContestResult result = SmallContest();
  const std::filesystem::path log = scratch / "K1ABC.txt";
  WriteFileText(log, "START-OF-LOG: 3.0\r\n");
  result.logs[0].file = log.string();
  const OutputWrite written = WriteReportDir(result, scratch.Root());
  EXPECT_FALSE(written.ok);
  EXPECT_NE(written.error.find("K1ABC.txt is a Cabrillo log; not replaced"), std::string::npos) << written.error;
  EXPECT_EQ(ReadFileText(log), "START-OF-LOG: 3.0\r\n");
}

}  // namespace
}  // namespace zelo
