// The log check in the window: offered once a log has been opened, it shows
// the findings apart and leaves the list, the prompt and the step as they are.
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
  const CheckReport& shown = f.window.findings_shown.front();
  ASSERT_EQ(shown.findings.size(), expected.findings.size());
  for (std::size_t i = 0; i < expected.findings.size(); ++i) {
    EXPECT_EQ(shown.findings[i].line, expected.findings[i].line);
    EXPECT_EQ(shown.findings[i].message, expected.findings[i].message);
  }
  EXPECT_EQ(f.window.View(), before);
  EXPECT_EQ(f.form.WorkflowStep(), step);
}

}  // namespace
}  // namespace zelo::fakes
