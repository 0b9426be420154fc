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
    {"two\r\nlines", "\"two\r\nlines\""},
    {"lone\rcr", "\"lone\rcr\""},
    {"lone\nlf", "\"lone\nlf\""},
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
    {"\xFF<", "\xEF\xBF\xBD&lt;"},                             // no UTF-8 lead byte
    {"\xC3", "\xEF\xBF\xBD"},                                  // cut short
    {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // overlong
    {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
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
      "Log-checking report: K1ABC\r\n"
      "File:       k1abc.log\r\n"
      "Category:   SINGLE-OP ALL HIGH CW\r\n"
      "Place:      2 of 2 in SINGLE-OP ALL HIGH CW NON-ASSISTED ONE\r\n"
      "\r\n"
      "                 Contacts  Multipliers        Score\r\n"
      "As sent                 5            3           15\r\n"
      "Checked                 3            2            6\r\n"
      "Claimed                                          15\r\n"
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
      "Contacts not confirmed: 5\r\n"
      "  Line    Band  Worked        Status           Reason\r\n"
      "  11      40 m  W2XYZ         nil              not in the log of W2XYZ (w2xyz.log)\r\n"
      "  12      20 m  N3QQX         busted-call      the station worked was N3QQQ (n3qqq.log, line 20)\r\n"
      "  13      15 m  W2XYZ         busted-exchange  field 13 copied as \"05\", sent as \"5\" (w2xyz.log, line 14)\r\n"
      "  14      10 m  ZZ9ZZ         unique           no log from this call, and no other log has it\r\n"
      "  15            W2XYZ         repeat           a repeat of an earlier contact: not counted\r\n"
      "\r\n"
      "Your call or exchange miscopied by others: 0\r\n";
  EXPECT_EQ(EntrantReport(result, index, 0), expected);
}

// Who miscopied an entrant is found from the other logs: N3QQQ's call was
// busted by K1ABC and its exchange by W2XYZ; W2XYZ's exchange by K1ABC.
TEST(ContestReport, MiscopiesAreFoundInTheOtherLogs) {
  const ContestResult result = SmallContest();
  const ContestIndex index = IndexContest(result, {});
  const std::string n3qqq = EntrantReport(result, index, 2);
  EXPECT_NE(n3qqq.find("Your call or exchange miscopied by others: 2\r\n"
                       "  Station       Their log, line             Your line  Band  What\r\n"
                       "  K1ABC         k1abc.log, line 12          20         20 m  logged your call as N3QQX\r\n"
                       "  W2XYZ         w2xyz.log, line 15          21         20 m  "
                       "field 12 copied as \"579\", you sent \"599\"\r\n"),
            std::string::npos)
      << n3qqq;
  EXPECT_NE(EntrantReport(result, index, 1).find("  K1ABC         k1abc.log, line 13          14         15 m  "
                                                 "field 13 copied as \"05\", you sent \"5\"\r\n"),
            std::string::npos);
}

TEST(ContestReport, ResultsTableHasOneQuotedRowPerLog) {
  const ContestResult result = SmallContest();
  const std::string header =
      "file,call,category_operator,category_band,category_power,category_mode,category_assisted,"
      "category_station,category_transmitter,category_time,category_overlay,checklog,contacts,multipliers,"
      "score,checked_contacts,checked_multipliers,checked_score,claimed_score,confirmed,busted-exchange,"
      "busted-call,nil,unique,unverified,repeat,no-band,not-contact,rank,rejected_reason\r\n";
  const std::string expected =
      header +
      "k1abc.log,K1ABC,SINGLE-OP,ALL,HIGH,CW,,,,,,no,5,3,15,3,2,6,15,1,1,1,1,1,0,1,0,0,2,\r\n"
      "w2xyz.log,W2XYZ,SINGLE-OP,ALL,LOW,CW,,,,,,no,3,2,6,3,2,6,,2,1,0,0,0,0,0,0,0,1,\r\n"
      "n3qqq.log,N3QQQ,SINGLE-OP,ALL,HIGH,CW,,,,,,no,3,3,9,3,3,9,,2,0,0,0,0,1,0,0,0,1,\r\n"
      "\"evil, \"\"quoted\"\".log\"," + std::string(testing_support::kHostileCall) +
      ",SINGLE-OP,ALL,LOW,CW,,,,,<img src=x onerror=alert(2)>,no,1,1,1,1,1,1,,0,0,0,0,0,0,0,1,0,2,\r\n"
      "k9chk.log,K9CHK,CHECKLOG,,,,,,,,,yes,1,1,1,1,1,1,,0,0,0,0,0,0,0,0,1,,\r\n"
      "junk.txt,,,,,,,,,,,,,,,,,,,,,,,,,,,,,it is not a Cabrillo log: it does not begin with START-OF-LOG:\r\n";
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
  EXPECT_NE(report.find("Log-checking report: <script>alert(1)</script>?[31m\r\n"), std::string::npos) << report;
  EXPECT_EQ(report.find('\x1B'), std::string::npos);
}

// A write that fails names the file, leaves the files of the run before it
// as they were and no temporary file behind.
struct FailCase {
  const char* name;
  std::function<void(const std::filesystem::path& dir)> arrange;
  std::string failing;  // the name the error must end its path with, before ": "
};

using Writer = OutputWrite (*)(const ContestResult&, const std::string&);

TEST(ContestOutput, FailedWriteLeavesNothingHalfWritten) {
  const std::pair<Writer, std::string> writers[] = {{WriteReportDir, ".txt"}, {WriteHtmlSite, ".html"}};
  for (const auto& [write, extension] : writers) {
    const FailCase cases[] = {
        {"a folder in the way of a page",
         [&](const std::filesystem::path& dir) { std::filesystem::create_directories(dir / ("N3QQQ" + extension)); },
         "/N3QQQ" + extension},
        {"the folder is a file",
         [](const std::filesystem::path& dir) {
           std::filesystem::remove_all(dir);
           WriteFileText(dir, "not a folder");
         },
         "/out"},
    };
    for (const FailCase& c : cases) {
      ScratchDir scratch;
      const std::filesystem::path dir = scratch / "out";
      std::filesystem::create_directories(dir);
      WriteFileText(dir / "results.csv", "old results");
      WriteFileText(dir / "index.html", "old index");
      c.arrange(dir);
      const std::vector<std::string> before = NamesIn(scratch.Root());
      const OutputWrite written = write(SmallContest(), dir.string());
      EXPECT_FALSE(written.ok) << c.name;
      EXPECT_NE(written.error.find(c.failing + ": "), std::string::npos) << c.name << ": " << written.error;
      if (std::filesystem::is_directory(dir)) {
        EXPECT_EQ(ReadFileText(dir / "results.csv"), "old results") << c.name;
        EXPECT_EQ(ReadFileText(dir / "index.html"), "old index") << c.name;
        for (const std::string& name : NamesIn(dir.string())) {
          EXPECT_NE(name.rfind(".zelo-save-", 0), 0u) << c.name << ": " << name;
        }
      } else {
        EXPECT_EQ(ReadFileText(dir), "not a folder") << c.name;
        EXPECT_EQ(NamesIn(scratch.Root()), before) << c.name;
      }
    }
  }
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
  EXPECT_NE(written.error.find("K1ABC.txt: that file is one of the logs"), std::string::npos) << written.error;
  EXPECT_EQ(ReadFileText(log), "START-OF-LOG: 3.0\r\n");
}

}  // namespace
}  // namespace zelo
