// File/Open at step 1 and the scoring run it starts, as the window sees them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/report.h"
#include "app/form1.h"
#include "form_test_support.h"
#include "input/log_file.h"

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

// What the window shows under the prompt: the file and the core's reason,
// the words the command line gives.
std::string Refusal(const std::string& path) {
  const FileRead read = ReadWholeFile(path);
  const std::string reason = read.ok ? CheckLogHeader(read.bytes).reason : read.error;
  EXPECT_FALSE(reason.empty()) << path;
  return path + ": " + reason;
}

TEST_P(RejectedFileTest, KeepsStepOneWithTheRejectionPrompt) {
  form.cmdCommand1_Click();
  const std::string path = GetParam().make(files);
  window.ClearCalls();
  window.open_answers = {path};
  form.mnuFileOpen_Click();
  EXPECT_EQ(window.Calls(), (Calls{"ShowOpenDialog", CaptionCall(kInvalidLogPrompt),
                                   "ShowRefusal " + Refusal(path)}));
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
  ASSERT_GE(window.Calls().size(), 3U);
  EXPECT_EQ(window.Calls()[0], "ShowOpenDialog");
  EXPECT_EQ(window.Calls()[1], "HideRefusal");
  EXPECT_EQ(window.Calls()[2], CaptionCall(kWorkingPrompt));
  EXPECT_EQ(window.View().refusal, "");
  EXPECT_EQ(form.WorkflowStep(), 3);
  EXPECT_EQ(form.LogText(), SmallLog());
  EXPECT_EQ(form.SelectedPath(), log);
  EXPECT_EQ(window.Caption(Control::cmdCommand1), kSavePrompt);
}

INSTANTIATE_TEST_SUITE_P(Files, RejectedFileTest, ::testing::ValuesIn(kRejectCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Refusals one after another: each shows its own file and reason in place
// of the last, whichever way the file came.
TEST(Refusal, EachOneReplacesTheLastWhicheverWayTheFileCame) {
  FormFixture f;
  f.form.cmdCommand1_Click();
  std::string last;
  for (std::size_t i = 0; i < std::size(kRejectCases); ++i) {
    const std::string path = kRejectCases[i].make(f.files);
    if (i % 2 == 0) {
      f.window.open_answers = {path};
      f.form.mnuFileOpen_Click();
    } else {
      f.form.LogDropped(path);
    }
    EXPECT_EQ(f.window.View().refusal, Refusal(path)) << kRejectCases[i].name;
    EXPECT_NE(f.window.View().refusal, last) << kRejectCases[i].name;
    EXPECT_EQ(f.window.Caption(Control::cmdCommand1), kInvalidLogPrompt);
    last = f.window.View().refusal;
  }
}

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
       "SetProgress 33", "RepaintNow"},
      SavePromptCalls(),
      {"SetProgress 66", "RepaintNow", "SetProgress 100", "RepaintNow", "AppendListLines 26"},
      SavePromptCalls(),
      BandButtonCalls(),
      {"SetVisible ProgressBar1 0", "SetVisible lstList1 1", "SetMenuEnabled mnuCheck 1"},
  });
  EXPECT_EQ(f.window.Calls(), expected);
}

// Later records on no band find the save prompt shown: it is set once in
// the run, and once after it.
TEST(ScoringRun, ShowsTheSavePromptOnceForRecordsOnNoBand) {
  FormFixture f;
  f.form.cmdCommand1_Click();
  f.window.ClearCalls();
  f.window.open_answers = {
      f.files.Write("log.txt", MakeLog({{"29600", "YRET", "CL"}, {"29600", "E7VVD", "AR"}, {"14025", "YPZGO", "HR"}}))};
  f.form.mnuFileOpen_Click();
  const Calls& calls = f.window.Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), CaptionCall(kSavePrompt)), 2);
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

// A log of more contacts than the bar has steps: each value is set once, so
// that a window whose every call costs (the page's) is not called per record.
TEST(Progress, SetsEachValueOnce) {
  std::string log(kLogHead);
  for (int i = 1000; i < 1300; ++i) log += QsoLine({"14025", std::string(1, 'A').append(std::to_string(i)), "HR"});
  log += kLogEnd;
  FormFixture f;
  f.form.cmdCommand1_Click();
  f.window.ClearCalls();
  f.window.open_answers = {f.files.Write("log.txt", log)};
  f.form.mnuFileOpen_Click();
  std::vector<int> values;
  for (const std::string& call : f.window.Calls()) {
    if (call.starts_with("SetProgress ")) values.push_back(std::stoi(call.substr(12)));
  }
  ASSERT_FALSE(values.empty());
  EXPECT_TRUE(std::adjacent_find(values.begin(), values.end(), std::greater_equal<>()) == values.end());
  EXPECT_GE(values.back(), 99);
}

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

// A long run repaints the window once per step of the bar, and nothing the
// user does while it repaints starts a handler inside the run.
TEST(ScoringRun, RepaintsOncePerStepAndStartsNoHandlerInside) {
  FormFixture f;
  std::string log(kLogHead);
  for (int i = 0; i < 1000; ++i) log += QsoLine({"14025", std::to_string(i)});
  f.form.cmdCommand1_Click();
  f.window.open_answers = {f.files.Write("log.txt", log)};
  const std::string other = f.files.Write("other.log", SmallLog());
  int repaints = 0;
  f.window.on_repaint = [&] {
    ++repaints;
    EXPECT_FALSE(f.form.AcceptsDroppedLog());
    const std::size_t calls = f.window.Calls().size();
    f.window.open_answers.push_back(other);
    f.window.save_answers.push_back(f.files.Path("saved.txt"));
    for (void (Form1::*handler)() :
         {&Form1::cmdCommand1_Click, &Form1::mnuFileOpen_Click, &Form1::mnuFileSave_Click,
          &Form1::mnuFileExit_Click, &Form1::mnuHelp_Click, &Form1::mnuAbout_Click,
          &Form1::Option160_Click, &Form1::Option20_Click, &Form1::optnSum_Click, &Form1::mnuCheck_Click,
          &Form1::CheckAgain_Click, &Form1::SaveFindings_Click}) {
      (f.form.*handler)();
    }
    f.form.LogDropped(other);
    f.form.OpenLogFromCommandLine(other);
    EXPECT_EQ(f.window.Calls().size(), calls) << f.window.Calls().back();
    f.window.open_answers.clear();
    f.window.save_answers.clear();
  };
  f.form.mnuFileOpen_Click();

  std::vector<int> changes;
  int shown = 0;
  const Calls& calls = f.window.Calls();
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].starts_with("SetProgress ")) {
      const int value = std::stoi(calls[i].substr(12));
      const bool changed = value != shown;
      shown = value;
      ASSERT_EQ(changed, i + 1 < calls.size() && calls[i + 1] == "RepaintNow") << i;
      if (changed) changes.push_back(value);
    }
  }
  EXPECT_EQ(repaints, static_cast<int>(changes.size()));
  EXPECT_EQ(changes.size(), 100U);  // 1 to 100, each once
  EXPECT_EQ(f.form.LogText(), log);
  EXPECT_EQ(f.window.List(), WriteReport(ScoreLog(log)));
  EXPECT_FALSE(f.window.unloaded);
  EXPECT_FALSE(Exists(f.files.Path("saved.txt")));
  EXPECT_EQ(f.form.WorkflowStep(), 3);
  EXPECT_FALSE(f.form.AcceptsDroppedLog());
}

// --- A log named on the command line or dropped on the window ---

enum class Before { kNothing, kStartPressed, kRefused, kScored };
enum class Way { kCommandLine, kDrop };
struct OutsideCase {
  std::string_view name;
  Before before;
  Way way;
  bool good_log;
};
const OutsideCase kOutsideCases[] = {
    {"CommandLineGoodLog", Before::kNothing, Way::kCommandLine, true},
    {"CommandLineBadLog", Before::kNothing, Way::kCommandLine, false},
    {"DropBeforeStart", Before::kNothing, Way::kDrop, true},
    {"DropAtStepOne", Before::kStartPressed, Way::kDrop, true},
    {"DropBadLogAtStepOne", Before::kStartPressed, Way::kDrop, false},
    {"DropAfterARefusal", Before::kRefused, Way::kDrop, true},
    {"DropOnAListing", Before::kScored, Way::kDrop, true},
};
class OutsideOpenTest : public ::testing::TestWithParam<OutsideCase> {};

void Prepare(FormFixture& f, Before before) {
  if (before != Before::kNothing) f.form.cmdCommand1_Click();
  if (before == Before::kRefused) f.Open(f.files.Write("bad.txt", "CONTEST: ZELO\r\n"));
  if (before == Before::kScored) f.OpenLog(SmallLog());
}

// Opens the log as the start button and File/Open would, without the
// dialog, at step 0 or 1; a drop on a listing changes nothing.
TEST_P(OutsideOpenTest, OpensAsStartAndFileOpenWould) {
  const OutsideCase& c = GetParam();
  const std::string bytes = c.good_log ? SmallLog() : "QSO: 14025 CW\r\n";
  FormFixture f;     // opened from outside
  FormFixture by_hand;  // the same file through the start button and File/Open
  Prepare(f, c.before);
  Prepare(by_hand, c.before);
  const std::string path = f.files.Write("dropped.cbr", bytes);
  const std::string hand_path = by_hand.files.Write("dropped.cbr", bytes);
  const bool opens = c.before != Before::kScored;
  EXPECT_EQ(f.form.AcceptsDroppedLog(), opens);

  const WindowView untouched = f.window.View();
  f.window.ClearCalls();
  by_hand.window.ClearCalls();
  if (c.way == Way::kCommandLine) {
    f.form.OpenLogFromCommandLine(path);
  } else {
    f.form.LogDropped(path);
  }
  if (!opens) {
    EXPECT_EQ(f.window.Calls(), Calls{});
    EXPECT_EQ(f.window.View(), untouched);
    return;
  }
  if (c.before == Before::kNothing) by_hand.form.cmdCommand1_Click();
  by_hand.window.open_answers = {hand_path};
  by_hand.form.mnuFileOpen_Click();
  Calls expected;
  for (const std::string& call : by_hand.window.Calls()) {
    if (call == "ShowOpenDialog") continue;
    expected.push_back(call.starts_with("ShowRefusal ") ? "ShowRefusal " + Refusal(path) : call);
  }
  EXPECT_EQ(f.window.Calls(), expected);
  EXPECT_EQ(f.form.WorkflowStep(), c.good_log ? 3 : 1);
  EXPECT_EQ(f.form.SelectedPath(), path);
  EXPECT_EQ(f.window.List(), by_hand.window.List());
  EXPECT_EQ(f.window.Caption(Control::cmdCommand1), by_hand.window.Caption(Control::cmdCommand1));
}

INSTANTIATE_TEST_SUITE_P(Ways, OutsideOpenTest, ::testing::ValuesIn(kOutsideCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelo::fakes
