// The band views and the Summary view, driven through Form1's handlers.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"
#include "form_test_support.h"

namespace zelo::fakes {
namespace {

using fakes::PrintTo;

using Lines = std::vector<std::string>;

// One contact on 160 m, two on 80 m (prefixes 35 and 38), none on 40 m,
// two on 20 m with a repeat between them dropped, one on 15 m, a bonus
// station on 10 m.
std::string BandsLog() {
  return MakeLog({{"1825", "OK1AA", "PR"},
                  {"3525", "DL2BB", "BU"},
                  {"14025", "YPZGO", "HR"},
                  {"14025", "YPZGO", "HR"},
                  {"21050", "F5FF", "CS"},
                  {"14202", "E7VVD", "AR"},
                  {"28400", "Q1XA/60", "XX"},
                  {"3805", "DL2BB", "BU"}});
}

struct ViewCase {
  std::string_view name;
  void (Form1::*click)();
  Lines lines;
};
const ViewCase kViewCases[] = {
    {"Band160", &Form1::Option160_Click, {kRule94, "160M QSO's:", kRule94, " 1   OK1AA"}},
    {"Band80", &Form1::Option80_Click, {kRule94, "80M QSO's:", kRule94, " 1   DL2BB", " 2   DL2BB"}},
    {"Band40Empty", &Form1::Option40_Click, {kRule94, "40M QSO's:", kRule94}},
    {"Band20", &Form1::Option20_Click, {kRule94, "20M QSO's:", kRule94, " 1   YPZGO", " 2   E7VVD"}},
    {"Band15", &Form1::Option15_Click, {kRule94, "15M QSO's:", kRule94, " 1   F5FF"}},
    {"Band10", &Form1::Option10_Click, {kRule94, "10M QSO's:", kRule94, " 1   Q1XA/60"}},
};

class BandViewTest : public FormFixture, public ::testing::TestWithParam<ViewCase> {
 protected:
  void SetUp() override { OpenLog(BandsLog()); }
  void Click() { (form.*GetParam().click)(); }
};

TEST_P(BandViewTest, ReplacesTheListWithTheNumberedCalls) {
  window.ClearCalls();
  Click();
  EXPECT_EQ(window.Calls(), (std::vector<std::string>{
                                "ClearList", "AppendListLines " + std::to_string(GetParam().lines.size()),
                                "SetVisible optnSum 1"}));
  EXPECT_EQ(window.List(), GetParam().lines);
  EXPECT_TRUE(window.Visible(Control::optnSum));
  EXPECT_EQ(form.WorkflowStep(), 3);
  EXPECT_EQ(window.Caption(Control::cmdCommand1), kSavePrompt);
}

TEST_P(BandViewTest, SameButtonTwiceGivesTheSameLines) {
  Click();
  Click();
  EXPECT_EQ(window.List(), GetParam().lines);
}

TEST_P(BandViewTest, FollowsAnyOtherViewAndTheSummary) {
  for (const ViewCase& other : kViewCases) {
    (form.*other.click)();
    Click();
    EXPECT_EQ(window.List(), GetParam().lines) << "after " << other.name;
  }
  form.optnSum_Click();
  Click();
  EXPECT_EQ(window.List(), GetParam().lines) << "after Summary";
}

INSTANTIATE_TEST_SUITE_P(Bands, BandViewTest, ::testing::ValuesIn(kViewCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BandView, TenthContactIsNumberedTen) {
  FormFixture f;
  f.OpenLog(MakeLog({{"21001", "A01"}, {"21002", "A02"}, {"21003", "A03"}, {"21004", "A04"},
                     {"21005", "A05"}, {"21006", "A06"}, {"21007", "A07"}, {"21008", "A08"},
                     {"21009", "A09"}, {"21010", "A10"}}));
  f.form.Option15_Click();
  ASSERT_EQ(f.window.List().size(), 13U);
  EXPECT_EQ(f.window.List()[11], " 9   A09");
  EXPECT_EQ(f.window.List()[12], " 10   A10");
}

// The Summary view clears the list and runs the scoring again: the same
// report, the run's prompts, and the save prompt and band buttons at the end.
TEST(SummaryView, RunsTheScoringAgainWithTheSameReport) {
  FormFixture f;
  f.OpenLog(BandsLog());
  const Lines report = f.window.List();
  f.form.Option20_Click();
  f.window.ClearCalls();
  f.form.optnSum_Click();
  const std::vector<std::string>& calls = f.window.Calls();
  ASSERT_GE(calls.size(), 4U);
  EXPECT_EQ(calls[0], "ClearList");
  EXPECT_EQ(calls[1], "SetCaption cmdCommand1 " + std::string(kWorkingPrompt));
  EXPECT_EQ(calls[2], "SetVisible ProgressBar1 1");
  EXPECT_EQ(calls[3], "SetVisible lstList1 1");
  EXPECT_EQ(calls.back(), "SetVisible Option10 1") << "nothing follows the band buttons";
  EXPECT_EQ(f.window.List(), report);
  EXPECT_EQ(f.form.WorkflowStep(), 3);
  EXPECT_FALSE(f.window.Visible(Control::ProgressBar1));
  EXPECT_TRUE(f.window.Visible(Control::lstList1));
}

TEST(SummaryView, BringsTheSavePromptBackAfterASave) {
  FormFixture f;
  f.OpenLog(BandsLog());
  f.Save(f.files.Path("out.txt"));
  ASSERT_EQ(f.window.Caption(Control::cmdCommand1), kExitPrompt);
  f.form.optnSum_Click();
  EXPECT_EQ(f.window.Caption(Control::cmdCommand1), kSavePrompt);
  EXPECT_TRUE(f.window.MenuEnabled(Menu::mnuFileSave));
  EXPECT_FALSE(f.window.MenuEnabled(Menu::mnuFileOpen));
  EXPECT_EQ(f.form.WorkflowStep(), 3);
}

TEST(SummaryView, RepeatedRunsNeverAccumulate) {
  FormFixture f;
  f.OpenLog(BandsLog());
  const Lines report = f.window.List();
  for (int i = 0; i < 3; ++i) f.form.optnSum_Click();
  EXPECT_EQ(f.window.List(), report);
  f.form.Option80_Click();
  EXPECT_EQ(f.window.List().size(), 5U);
}

}  // namespace
}  // namespace zelo::fakes
