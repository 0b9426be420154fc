// Calls and items are bytes: whatever they hold (UTF-8, 8-bit text, NUL,
// control bytes) reaches the band view, the report and the saved listing
// byte for byte, through the core, zelo-score and the window.
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "cli/cli.h"
#include "fakes/recording_window.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "support/cases.h"
#include "support/child.h"
#include "support/contacts.h"
#include "support/files.h"
#include "views/band_view.h"
#include "views/listing.h"

namespace zelo::test {
namespace {

using test::PrintTo;

using namespace std::string_literals;

struct BytesCase {
  std::string_view name;
  std::string call;
  std::string item;
};
const BytesCase kBytesCases[] = {
    {"Utf8", "\xC5\x9ETEFAN", "\xC3\x84\xE2\x82\xAC"},
    {"EightBitText", "\xE9\xE8\xA0", "\xFF\xFE"},
    {"NulBytes", "W1\0AW"s, "\0M\0"s},
    {"ControlBytes", "\x1B[31mK1", "\x7F\x01"},
    {"InvalidUtf8", "\xC3\x28\x80", "\xED\xA0\x80"},
};

std::string LogWith(const BytesCase& c) {
  return std::string(kHeader) + "\r\n" + ContactLine("14025", c.call, c.item) + "\r\nEND-OF-LOG:\r\n";
}

// The saved 20 m view of a log with that one contact.
std::string ExpectedBandListing(const BytesCase& c) {
  const std::string rule(94, '_');
  return rule + "\r\n20M QSO's:\r\n" + rule + "\r\n 1   " + c.call + "\r\n\r\n";
}

// The report's 20 m entry line, as saved.
std::string ExpectedEntryLine(const BytesCase& c) { return "\r\n20M:\r\n 1 " + c.item + "\r\n"; }

class ByteSurvivalTest : public testing::TestWithParam<BytesCase> {};

TEST_P(ByteSurvivalTest, CoreKeepsTheBytes) {
  const std::string log = LogWith(GetParam());
  const ScoreResult result = ScoreLog(log);
  ASSERT_EQ(result.BandCount(Band::k20), 1);
  EXPECT_EQ(ListingBytes(BandViewLines(Band::k20, result.Tally(Band::k20).calls)), ExpectedBandListing(GetParam()));
  EXPECT_NE(ListingBytes(WriteReport(result)).find(ExpectedEntryLine(GetParam())), std::string::npos);
}

TEST_P(ByteSurvivalTest, CommandLineKeepsTheBytes) {
  ScratchDir s;
  const std::string log = s.Write("log.txt", LogWith(GetParam()));
  const std::string view = s.Path("view.NS"), report = s.Path("report.NS");
  std::ostringstream out, err;
  const char* band_args[] = {"zelo-score", log.c_str(), "--band", "20", "-o", view.c_str()};
  EXPECT_EQ(RunCli(6, band_args, out, err), kExitScored) << err.str();
  const char* report_args[] = {"zelo-score", log.c_str(), "-o", report.c_str()};
  EXPECT_EQ(RunCli(4, report_args, out, err), kExitScored) << err.str();
  EXPECT_EQ(ReadBytes(view), ExpectedBandListing(GetParam()));
  EXPECT_NE(ReadBytes(report).find(ExpectedEntryLine(GetParam())), std::string::npos);
  // Printed, the band view ends with the call exactly.
  const char* print_args[] = {"zelo-score", log.c_str(), "--band", "20"};
  std::ostringstream printed;
  EXPECT_EQ(RunCli(4, print_args, printed, err), kExitScored);
  EXPECT_TRUE(printed.str().ends_with("\n 1   " + GetParam().call + "\n"));
}

TEST_P(ByteSurvivalTest, WindowKeepsTheBytes) {
  ScratchDir s;
  const std::string log = s.Write("log.txt", LogWith(GetParam()));
  fakes::RecordingWindow window;
  Form1 form(window);
  form.cmdCommand1_Click();
  window.open_answers = {log};
  form.mnuFileOpen_Click();
  ASSERT_EQ(form.WorkflowStep(), 3);
  EXPECT_EQ(form.LogText(), LogWith(GetParam()));
  form.Option20_Click();
  EXPECT_EQ(window.List().back(), " 1   " + GetParam().call);
  window.save_answers = {s.Path("view.NS")};
  form.mnuFileSave_Click();
  EXPECT_EQ(ReadBytes(s.Path("view.NS")), ExpectedBandListing(GetParam()));
  form.optnSum_Click();
  window.save_answers = {s.Path("report.NS")};
  form.mnuFileSave_Click();
  EXPECT_NE(ReadBytes(s.Path("report.NS")).find(ExpectedEntryLine(GetParam())), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Bytes, ByteSurvivalTest, testing::ValuesIn(kBytesCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelo::test
