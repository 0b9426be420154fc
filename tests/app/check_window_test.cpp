// The log check in the window: offered once a log has been opened, it shows
// the findings apart and leaves the list, the prompt and the step as they are.
#include <filesystem>

#include "check/finding_groups.h"
#include "check/log_check.h"
#include "form_test_support.h"

namespace zelo::fakes {
namespace {

using Calls = std::vector<std::string>;

struct CheckStateCase {
  std::string_view name;
  void (*reach)(FormFixture&);
};
const CheckStateCase kNotOffered[] = {
    {"BeforeStart", [](FormFixture&) {}},
    {"AtStepOne", [](FormFixture& f) { f.form.cmdCommand1_Click(); }},
    {"AfterRejectedLog", [](FormFixture& f) { f.OpenLog("not a log\r\n"); }},
};
class CheckNotOfferedTest : public testing::TestWithParam<CheckStateCase> {};

TEST_P(CheckNotOfferedTest, MenuGreyedAndClickDoesNothing) {
  FormFixture f;
  GetParam().reach(f);
  EXPECT_FALSE(f.window.MenuEnabled(Menu::mnuCheck));
  f.window.ClearCalls();
  f.form.mnuCheck_Click();
  EXPECT_EQ(f.window.Calls(), Calls{});
}
INSTANTIATE_TEST_SUITE_P(States, CheckNotOfferedTest, testing::ValuesIn(kNotOffered),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CheckWindow, ShowsTheFindingsOfTheOpenedLogAndChangesNothingElse) {
  FormFixture f;
  // After END-OF-LOG:, a contact whose report brings no multiplier; no
  // CONTEST: and no CLAIMED-SCORE: in the header.
  f.OpenLog(MakeLog({{"14025", "YPZGO", "HR"}}) + "QSO: 14030 CW 2026-02-14 0001 YO3ZELO 599 0001 BU DL1ABC 5NN 0098 GJ\r\n");
  ASSERT_TRUE(f.window.MenuEnabled(Menu::mnuCheck));
  f.form.Option20_Click();
  const WindowView before = f.window.View();
  const int step = f.form.WorkflowStep();
  f.window.ClearCalls();

  f.form.mnuCheck_Click();
  const CheckReport expected = CheckLog(f.form.LogText());
  EXPECT_EQ(f.window.Calls(), (Calls{"ShowFindings 1 2 1"}));
  ASSERT_EQ(f.window.findings_shown.size(), 1U);
  const CheckReport& shown = f.window.findings_shown.front().report;
  ASSERT_EQ(shown.findings.size(), expected.findings.size());
  for (std::size_t i = 0; i < expected.findings.size(); ++i) {
    EXPECT_EQ(shown.findings[i].line, expected.findings[i].line);
    EXPECT_EQ(shown.findings[i].message, expected.findings[i].message);
  }
  EXPECT_EQ(f.window.View(), before);
  EXPECT_EQ(f.form.WorkflowStep(), step);
}

// Check again reads the file from disk; the main window keeps the log as opened.
struct AgainCase {
  std::string_view name;
  void (*change)(const std::string& path);
  std::string_view notice;
};
const AgainCase kAgainCases[] = {
    {"Unchanged", [](const std::string&) {}, kCheckedAgainUnchanged},
    {"Changed", [](const std::string& path) { test::WriteBytes(path, SmallLog() + "QSO: 14025\r\n"); },
     kCheckedAgainChanged},
    {"Removed", [](const std::string& path) { std::filesystem::remove(path); }, kCheckedAgainUnreadable},
};
class CheckAgainTest : public testing::TestWithParam<AgainCase> {};

TEST_P(CheckAgainTest, ChecksTheFileAsItIsNowAndSaysSo) {
  FormFixture f;
  const std::string path = f.OpenLog(SmallLog());
  f.form.mnuCheck_Click();
  const WindowView before = f.window.View();
  GetParam().change(path);
  const bool readable = Exists(path);
  const std::string now = ReadBytes(path);
  f.form.CheckAgain_Click();
  ASSERT_EQ(f.window.findings_shown.size(), 2U);
  const auto& shown = f.window.findings_shown.back();
  EXPECT_EQ(shown.notice, GetParam().notice);
  EXPECT_EQ(shown.file, path);
  EXPECT_EQ(shown.text, now);
  if (readable) {
    const CheckReport expected = CheckLog(now);
    EXPECT_EQ(shown.report.summary.errors, expected.summary.errors);
    EXPECT_EQ(shown.report.findings.size(), expected.findings.size());
  } else {
    ASSERT_EQ(shown.report.findings.size(), 1U);
    EXPECT_EQ(shown.report.findings.front().line, 0);
  }
  EXPECT_EQ(f.window.View(), before);
  EXPECT_EQ(f.form.LogText(), SmallLog());
}
INSTANTIATE_TEST_SUITE_P(Files, CheckAgainTest, testing::ValuesIn(kAgainCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Save findings: every finding and the summary, never over a log; the
// dialog comes again after a log is refused.
TEST(SaveFindings, WritesEveryFindingAndRefusesLogs) {
  FormFixture f;
  const std::string log = f.OpenLog(SmallLog() + "QSO: 14025\r\n");
  f.form.mnuCheck_Click();
  const std::string other = f.files.Write("other.log", SmallLog());
  const std::string out = f.files.Path("findings.txt");
  f.window.save_answers = {log, other, out};
  f.window.ClearCalls();
  f.form.SaveFindings_Click();
  EXPECT_EQ(f.window.Calls(),
            (Calls{"ShowSaveDialog", "ShowFindingsNotice Findings NOT saved: " + std::string(kSaveOntoLogReason),
                   "ShowSaveDialog",
                   "ShowFindingsNotice Findings NOT saved: " + other + " is a Cabrillo log; not replaced: choose another name",
                   "ShowSaveDialog", "ShowFindingsNotice Findings saved to " + out}));
  EXPECT_EQ(ReadBytes(out), FindingsText(log, CheckLog(f.form.LogText())));
  EXPECT_EQ(ReadBytes(other), SmallLog());
  EXPECT_EQ(f.window.save_settings.front().initial_name, "log-check.txt");
  // A failure other than a log says why and offers nothing more.
  f.window.save_answers = {f.files.Path("no-such-folder/x.txt")};
  f.window.ClearCalls();
  f.form.SaveFindings_Click();
  ASSERT_EQ(f.window.Calls().size(), 2U);
  EXPECT_TRUE(f.window.Calls().back().starts_with("ShowFindingsNotice Findings NOT saved: ")) << f.window.Calls().back();
}

}  // namespace
}  // namespace zelo::fakes
