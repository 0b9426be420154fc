// File/Open at step 1 and the scoring run it starts, as the window sees them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/report.h"
#include "app/form1.h"
#include "form_test_support.h"

namespace zelo::fakes {
namespace {

using fakes::PrintTo;

using Calls = std::vector<std::string>;

std::string CaptionCall(std::string_view text) { return "SetCaption cmdCommand1 " + std::string(text); }

// The calls of ShowSavePrompt.
Calls SavePromptCalls() {
  return {CaptionCall(kSavePrompt), "SetMenuEnabled mnuFileOpen 0", "SetVisible ProgressBar1 0",
          "SetMenuEnabled mnuFileSave 1"};
}

Calls BandButtonCalls() {
  return {"SetVisible Option160 1", "SetVisible Option80 1", "SetVisible Option40 1",
          "SetVisible Option20 1",  "SetVisible Option15 1", "SetVisible Option10 1"};
}

Calls Joined(std::initializer_list<Calls> parts) {
  Calls all;
  for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// --- Cancelling the Open dialog ---

struct CancelCase {
  std::string_view name;
  bool after_reject;
  std::optional<std::string> answer;  // nullopt or an empty name: cancelled
};
const CancelCase kCancelCases[] = {
    {"Cancelled", false, std::nullopt},
    {"EmptyName", false, std::string()},
    {"CancelledAfterReject", true, std::nullopt},
    {"EmptyNameAfterReject", true, std::string()},
};
class CancelOpenTest : public FormFixture, public ::testing::TestWithParam<CancelCase> {};

TEST_P(CancelOpenTest, KeepsThePromptAndOffersOpenAgain) {
  form.cmdCommand1_Click();
  if (GetParam().after_reject) {
    window.open_answers = {files.Write("bad.txt", "start-of-log: 3.0\r\n")};
    form.mnuFileOpen_Click();
  }
  const WindowView before = window.View();
  window.ClearCalls();
  window.open_answers = {GetParam().answer};
  form.mnuFileOpen_Click();
  EXPECT_EQ(window.Calls(), (Calls{"ShowOpenDialog"}));
  EXPECT_EQ(window.View(), before);
  EXPECT_EQ(window.Caption(Control::cmdCommand1),
            GetParam().after_reject ? kInvalidLogPrompt : kStep1Prompt);
  EXPECT_TRUE(window.MenuEnabled(Menu::mnuFileOpen));
  EXPECT_EQ(form.WorkflowStep(), 1);

  // And the dialog can be used again.
  window.ClearCalls();
  window.open_answers = {files.Write("log.txt", SmallLog())};
  form.mnuFileOpen_Click();
  EXPECT_EQ(form.WorkflowStep(), 3);
}

INSTANTIATE_TEST_SUITE_P(Answers, CancelOpenTest, ::testing::ValuesIn(kCancelCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Files that are not a log ---

struct RejectCase {
  std::string_view name;
  // Makes the file (or not) in `files` and returns the path to choose.
  std::string (*make)(const ScratchDir& files);
};
// The core owns why a file is no log and why it cannot be read
// (tests/core, tests/hostile); the window shows one prompt for either.
const RejectCase kRejectCases[] = {
    {"OtherFirstLine",
     [](const ScratchDir& f) { return f.Write("a.log", "CONTEST: ZELO\r\nSTART-OF-LOG: 3.0\r\n"); }},
    {"MissingFile", [](const ScratchDir& f) { return f.Path("no-such.log"); }},
};
class RejectedFileTest : public FormFixture, public ::testing::TestWithParam<RejectCase> {};

TEST_P(RejectedFileTest, KeepsStepOneWithTheRejectionPrompt) {
  form.cmdCommand1_Click();
  const std::string path = GetParam().make(files);
  window.ClearCalls();
  window.open_answers = {path};
  form.mnuFileOpen_Click();
  EXPECT_EQ(window.Calls(), (Calls{"ShowOpenDialog", CaptionCall(kInvalidLogPrompt)}));
  EXPECT_EQ(form.WorkflowStep(), 1);
  EXPECT_TRUE(window.MenuEnabled(Menu::mnuFileOpen));
  EXPECT_FALSE(window.MenuEnabled(Menu::mnuFileSave));
  EXPECT_FALSE(form.LogValid());
  EXPECT_EQ(form.LogText(), "");
  EXPECT_FALSE(form.LastRun().has_value());
}

TEST_P(RejectedFileTest, AValidLogAfterwardsGoesStraightToScoring) {
  form.cmdCommand1_Click();
  window.open_answers = {GetParam().make(files)};
  form.mnuFileOpen_Click();
  const std::string log = files.Write("good.log", SmallLog());
  window.ClearCalls();
  window.open_answers = {log};
  form.mnuFileOpen_Click();
  ASSERT_GE(window.Calls().size(), 2U);
  EXPECT_EQ(window.Calls()[0], "ShowOpenDialog");
  EXPECT_EQ(window.Calls()[1], CaptionCall(kWorkingPrompt));
  EXPECT_EQ(form.WorkflowStep(), 3);
  EXPECT_EQ(form.LogText(), SmallLog());
  EXPECT_EQ(form.SelectedPath(), log);
  EXPECT_EQ(window.Caption(Control::cmdCommand1), kSavePrompt);
}

INSTANTIATE_TEST_SUITE_P(Files, RejectedFileTest, ::testing::ValuesIn(kRejectCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Accepted logs ---

struct AcceptCase {
  std::string_view name;
  std::string bytes;
};
const AcceptCase kAcceptCases[] = {
    {"Plain", SmallLog()},
    {"BlanksBeforeKeyword", "   " + SmallLog()},
    {"KeywordAlone", "START-OF-LOG:\r\n" + QsoLine({"14025", "YPZGO", "HR"}) + std::string(kLogEnd)},
    {"CommaAfterKeyword", "START-OF-LOG:,3.0\r\n" + QsoLine({"14025", "YPZGO", "HR"})},
    {"ByteOrderMarkAndBlankLines", "\xEF\xBB\xBF\r\n\r\n" + SmallLog()},
    {"NoContacts", "START-OF-LOG: 3.0\r\nEND-OF-LOG:\r\n"},
};
class AcceptedLogTest : public FormFixture, public ::testing::TestWithParam<AcceptCase> {};

TEST_P(AcceptedLogTest, IsHeldByteForByteAndScored) {
  const std::string path = OpenLog(GetParam().bytes);
  EXPECT_TRUE(form.LogValid());
  EXPECT_EQ(form.LogText(), GetParam().bytes);
  EXPECT_EQ(form.SelectedPath(), path);
  EXPECT_EQ(form.WorkflowStep(), 3);
  ASSERT_TRUE(form.LastRun().has_value());
  EXPECT_EQ(window.List(), WriteReport(*form.LastRun()));
  EXPECT_EQ(window.List(), WriteReport(ScoreLog(GetParam().bytes)));
  EXPECT_EQ(window.Caption(Control::cmdCommand1), kSavePrompt);
}

INSTANTIATE_TEST_SUITE_P(Logs, AcceptedLogTest, ::testing::ValuesIn(kAcceptCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OpenDialog, AsksForAnyFileUnderTheTitleOpen) {
  FormFixture f;
  f.form.cmdCommand1_Click();
  f.window.open_answers = {std::nullopt, std::nullopt};
  f.form.mnuFileOpen_Click();
  f.form.mnuFileOpen_Click();
  ASSERT_EQ(f.window.open_settings.size(), 2U);
  for (const DialogSettings& s : f.window.open_settings) {
    EXPECT_EQ(s.title, "Open");
    EXPECT_EQ(s.filter_description, "All Files (*.*)");
    EXPECT_FALSE(s.filter_pattern.empty());
    EXPECT_EQ(s.initial_name, "");
  }
}

// --- The scoring run ---

// The whole run, in order: the working prompt, progress bar and list shown,
// a progress step per record, the save prompt at once for the record on no
// band, the report, the save prompt, the band buttons, and after a run
// started by File/Open the progress bar hidden and the list shown again.
TEST(ScoringRun, ShowsItsStepsInOrder) {
  FormFixture f;
  const std::string log = MakeLog({{"14025", "YPZGO", "HR"}, {"29600", "YRET", "CL"}, {"14202", "E7VVD", "AR"}});
  f.form.cmdCommand1_Click();
  f.window.ClearCalls();
  f.window.open_answers = {f.files.Write("log.txt", log)};
  f.form.mnuFileOpen_Click();
  const Calls expected = Joined({
      {"ShowOpenDialog", CaptionCall(kWorkingPrompt), "SetVisible ProgressBar1 1", "SetVisible lstList1 1",
       "SetProgress 33"},
      SavePromptCalls(),
      {"SetProgress 66", "SetProgress 100", "AppendListLines 26"},
      SavePromptCalls(),
      BandButtonCalls(),
      {"SetVisible ProgressBar1 0", "SetVisible lstList1 1"},
  });
  EXPECT_EQ(f.window.Calls(), expected);
}

TEST(ScoringRun, WritesTheReportIntoTheList) {
  FormFixture f;
  f.OpenLog(SmallLog());
  const std::vector<std::string>& list = f.window.List();
  ASSERT_EQ(list.size(), 27U);
  EXPECT_EQ(list[0], std::string(28, ' ') + "ZELO Razezuz Score Diva 1.11 - YO3ZELO");
  EXPECT_EQ(list[6], "40M:");
  EXPECT_EQ(list[7], " 1 CL");
  EXPECT_EQ(list[9], "20M:");
  EXPECT_EQ(list[10], " 1 AR 2 HR");
  EXPECT_EQ(list[18], " 40M  QSOS  =   1");
  EXPECT_EQ(list[19], " 20M  QSOS  =   2");
  EXPECT_EQ(list[23], "TOTAL QSOS  =  3");
  EXPECT_EQ(list[24], "Total MULTS   =  3.");
  EXPECT_EQ(list[26], std::string(27, ' ') + "*** FINAL SCORE =  9 ***");
}

// Progress: one step per contact stored on 80 to 10 m or on no band, none
// for 160 m or a repeat, measured against log length / record length.
struct ProgressCase {
  std::string_view name;
  std::string log;
  std::vector<int> values;
};
const ProgressCase kProgressCases[] = {
    {"ThreeOnTwenty", MakeLog({{"14025", "A1AA"}, {"14025", "B1BB"}, {"14025", "C1CC"}}), {33, 66, 100}},
    {"FourContacts", MakeLog({{"3525", "A1AA"}, {"7025", "B1BB"}, {"21025", "C1CC"}, {"28025", "D1DD"}}),
     {25, 50, 75, 100}},
    {"OneOnTopBandTakesNoStep", MakeLog({{"1825", "A1AA"}, {"14025", "B1BB"}, {"14025", "C1CC"}}), {33, 66}},
    {"RepeatTakesNoStep", MakeLog({{"14025", "A1AA"}, {"14025", "A1AA"}, {"14025", "C1CC"}}), {33, 66}},
    {"NoBandTakesAStep", MakeLog({{"29600", "A1AA"}, {"14025", "B1BB"}}), {50, 100}},
    {"NoContacts", MakeLog({}), {}},
};
class ProgressTest : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressTest, StepsThroughTheRecords) {
  FormFixture f;
  f.form.cmdCommand1_Click();
  f.window.ClearCalls();
  f.window.open_answers = {f.files.Write("log.txt", GetParam().log)};
  f.form.mnuFileOpen_Click();
  std::vector<int> values;
  for (const std::string& call : f.window.Calls()) {
    if (call.starts_with("SetProgress ")) values.push_back(std::stoi(call.substr(12)));
  }
  EXPECT_EQ(values, GetParam().values);
}

INSTANTIATE_TEST_SUITE_P(Logs, ProgressTest, ::testing::ValuesIn(kProgressCases),
                         [](const auto& info) { return std::string(info.param.name); });

// File/Save is greyed until the first run has ended, File/Open from then on.
TEST(ScoringRun, OffersSaveOnlyOnceTheRunHasEnded) {
  FormFixture f;
  f.form.cmdCommand1_Click();
  f.window.ClearCalls();
  f.window.open_answers = {f.files.Write("log.txt", SmallLog())};
  f.form.mnuFileOpen_Click();
  const Calls& calls = f.window.Calls();
  std::size_t first_save = calls.size();
  std::size_t report = calls.size();
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i] == "SetMenuEnabled mnuFileSave 1" && first_save == calls.size()) first_save = i;
    if (calls[i].starts_with("AppendListLines")) report = i;
  }
  ASSERT_LT(report, calls.size());
  EXPECT_GT(first_save, report) << "File/Save offered before the report was written";
  EXPECT_FALSE(f.window.MenuEnabled(Menu::mnuFileOpen));
  EXPECT_TRUE(f.window.MenuEnabled(Menu::mnuFileSave));
}

}  // namespace
}  // namespace zelo::fakes
