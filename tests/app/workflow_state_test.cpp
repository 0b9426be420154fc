// Every state the window can be in, what it offers there, and what each
// command does in it.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"
#include "form_test_support.h"
#include "zelo/version.h"

namespace zelo::fakes {
namespace {

using fakes::PrintTo;

using Calls = std::vector<std::string>;

struct StateCase {
  std::string_view name;
  void (*reach)(FormFixture&);
  int step;
  std::string_view caption;  // the whole caption, or its start when caption_prefix
  bool caption_prefix;
  bool open_enabled;
  bool save_enabled;
  bool list_shown;
  bool progress_shown;
  bool bands_shown;
  bool sum_shown;
};

void NotStarted(FormFixture&) {}
void Waiting(FormFixture& f) { f.form.cmdCommand1_Click(); }
void WaitingAfterCancel(FormFixture& f) {
  f.form.cmdCommand1_Click();
  f.window.open_answers = {std::nullopt};
  f.form.mnuFileOpen_Click();
}
void WaitingAfterReject(FormFixture& f) {
  f.Open(f.files.Write("notes.txt", "CONTEST: ZELO\r\nSTART-OF-LOG: 3.0\r\n"));
}
void Ready(FormFixture& f) { f.OpenLog(SmallLog()); }
void ReadyAfterNoBandRecord(FormFixture& f) {
  f.OpenLog(MakeLog({{"14025", "YPZGO", "HR"}, {"29600", "YRET", "CL"}, {"14202", "E7VVD", "AR"}}));
}
void BandView(FormFixture& f) {
  Ready(f);
  f.form.Option20_Click();
}
void EmptyBandView(FormFixture& f) {
  Ready(f);
  f.form.Option160_Click();
}
void Saved(FormFixture& f) {
  Ready(f);
  f.Save(f.files.Path("out.txt"));
}
void SavedAfterView(FormFixture& f) {
  BandView(f);
  f.Save(f.files.Path("out.txt"));
}
void SummaryAfterSave(FormFixture& f) {
  SavedAfterView(f);
  f.form.optnSum_Click();
}
void SaveFailed(FormFixture& f) {
  Ready(f);
  f.Save(f.files.Path("no-such-folder/out.txt"));
}
void SaveOntoLogRefused(FormFixture& f) { f.Save(f.OpenLog(SmallLog())); }

const std::string_view kSave = kSavePrompt;
const StateCase kStates[] = {
    // name, reach, step, caption, prefix, open, save, list, progress, bands, sum
    {"NotStarted", NotStarted, 0, kStartCaption, false, false, false, false, false, false, false},
    {"Waiting", Waiting, 1, kStep1Prompt, false, true, false, false, false, false, false},
    {"WaitingAfterCancel", WaitingAfterCancel, 1, kStep1Prompt, false, true, false, false, false, false, false},
    {"WaitingAfterReject", WaitingAfterReject, 1, kInvalidLogPrompt, false, true, false, false, false, false, false},
    {"Ready", Ready, 3, kSave, false, false, true, true, false, true, false},
    {"ReadyAfterNoBandRecord", ReadyAfterNoBandRecord, 3, kSave, false, false, true, true, false, true, false},
    {"BandView", BandView, 3, kSave, false, false, true, true, false, true, true},
    {"EmptyBandView", EmptyBandView, 3, kSave, false, false, true, true, false, true, true},
    {"Saved", Saved, 3, kExitPrompt, false, false, true, true, false, true, false},
    {"SavedAfterView", SavedAfterView, 3, kExitPrompt, false, false, true, true, false, true, true},
    {"SummaryAfterSave", SummaryAfterSave, 3, kSave, false, false, true, true, false, true, true},
    {"SaveFailed", SaveFailed, 3, kSaveFailedPrefix, true, false, true, true, false, true, false},
    {"SaveOntoLogRefused", SaveOntoLogRefused, 3, kSave, false, false, true, true, false, true, false},
};

constexpr Control kBandButtons[] = {Control::Option160, Control::Option80, Control::Option40,
                                    Control::Option20,  Control::Option15, Control::Option10};

class StateTest : public FormFixture, public ::testing::TestWithParam<StateCase> {
 protected:
  void SetUp() override { GetParam().reach(*this); }
};

TEST_P(StateTest, WindowOffersWhatTheStateOffers) {
  const StateCase& s = GetParam();
  EXPECT_EQ(form.WorkflowStep(), s.step);
  const std::string caption = window.Caption(Control::cmdCommand1);
  if (s.caption_prefix) {
    EXPECT_TRUE(caption.starts_with(s.caption)) << caption;
    EXPECT_GT(caption.size(), s.caption.size()) << "a failure names its reason";
  } else {
    EXPECT_EQ(caption, s.caption);
  }
  EXPECT_EQ(window.MenuEnabled(Menu::mnuFileOpen), s.open_enabled);
  EXPECT_EQ(window.MenuEnabled(Menu::mnuFileSave), s.save_enabled);
  EXPECT_TRUE(window.Visible(Control::cmdCommand1));
  EXPECT_EQ(window.Visible(Control::lstList1), s.list_shown);
  EXPECT_EQ(window.Visible(Control::ProgressBar1), s.progress_shown);
  for (Control band : kBandButtons) EXPECT_EQ(window.Visible(band), s.bands_shown) << ControlName(band);
  EXPECT_EQ(window.Visible(Control::optnSum), s.sum_shown);
  EXPECT_FALSE(window.Visible(Control::optnAll));
}

// The first press is the only one that changes what the window shows.
TEST_P(StateTest, StartButtonActsOnlyBeforeTheFirstPress) {
  const WindowView before = window.View();
  window.ClearCalls();
  form.cmdCommand1_Click();
  EXPECT_EQ(window.HelpFileName(), "/ZELO.hlp");
  if (GetParam().step == 0) {
    EXPECT_EQ(window.Calls(), (Calls{"SetCaption cmdCommand1 " + std::string(kStep1Prompt),
                                     "SetMenuEnabled mnuFileOpen 1", "SetHelpFileName /ZELO.hlp"}));
    EXPECT_EQ(form.WorkflowStep(), 1);
    return;
  }
  EXPECT_EQ(window.Calls(), (Calls{"SetHelpFileName /ZELO.hlp"}));
  EXPECT_EQ(window.View(), before);
  EXPECT_EQ(form.WorkflowStep(), GetParam().step);
}

TEST_P(StateTest, OpenShowsItsDialogOnlyWhileWaitingForTheLog) {
  const std::string log = files.Write("other.log", SmallLog());
  const WindowView before = window.View();
  const std::string text_before = form.LogText();
  window.ClearCalls();
  window.open_answers = {log};
  form.mnuFileOpen_Click();
  if (GetParam().step == 1) {
    EXPECT_EQ(window.Calls().front(), "ShowOpenDialog");
    EXPECT_EQ(form.WorkflowStep(), 3);
  } else {
    EXPECT_EQ(window.Calls(), Calls{});
    EXPECT_EQ(window.open_answers.size(), 1U) << "no dialog was shown";
    EXPECT_EQ(window.View(), before);
    EXPECT_EQ(form.LogText(), text_before);
    EXPECT_EQ(form.WorkflowStep(), GetParam().step);
  }
}

TEST_P(StateTest, GreyedAndHiddenCommandsDoNothing) {
  const StateCase& s = GetParam();
  const WindowView before = window.View();
  window.ClearCalls();
  if (!s.save_enabled) {
    window.save_answers = {files.Path("early.txt")};
    form.mnuFileSave_Click();
    EXPECT_FALSE(Exists(files.Path("early.txt")));
  }
  if (!s.bands_shown) {
    form.Option160_Click();
    form.Option80_Click();
    form.Option40_Click();
    form.Option20_Click();
    form.Option15_Click();
    form.Option10_Click();
    form.optnSum_Click();
  }
  EXPECT_EQ(window.Calls(), Calls{});
  EXPECT_EQ(window.View(), before);
  EXPECT_EQ(form.WorkflowStep(), s.step);
}

TEST_P(StateTest, ExitUnloadsTheWindow) {
  window.ClearCalls();
  form.mnuFileExit_Click();
  EXPECT_EQ(window.Calls(), (Calls{"Unload"}));
  EXPECT_TRUE(window.unloaded);
}

TEST_P(StateTest, AboutChangesNoState) {
  const WindowView before = window.View();
  window.ClearCalls();
  form.mnuAbout_Click();
  EXPECT_EQ(window.Calls(), (Calls{"ShowAbout"}));
  EXPECT_EQ(window.View(), before);
  EXPECT_EQ(form.WorkflowStep(), GetParam().step);
}

TEST_P(StateTest, HelpShowsTheFindFileBesideTheProgram) {
  window.program_folder = files.Path("bin");
  const std::string help = files.Path("bin/zelo_find.hlp");
  const WindowView before = window.View();
  window.ClearCalls();
  form.mnuHelp_Click();
  EXPECT_EQ(window.Calls(), (Calls{"SetHelpFileName " + help, "ShowHelp " + help}));
  EXPECT_EQ(window.HelpFileName(), help);
  EXPECT_EQ(window.View(), before);
  EXPECT_EQ(form.WorkflowStep(), GetParam().step);
}

INSTANTIATE_TEST_SUITE_P(States, StateTest, ::testing::ValuesIn(kStates),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Workflow, CreatingTheFormTouchesNothing) {
  RecordingWindow window;
  Form1 form(window);
  EXPECT_EQ(window.Calls(), Calls{});
  EXPECT_EQ(form.WorkflowStep(), 0);
  EXPECT_FALSE(form.LogValid());
  EXPECT_EQ(form.LogText(), "");
  EXPECT_FALSE(form.LastRun().has_value());
}

TEST(Workflow, HelpBeforeAndAfterStartAsksForTheFindFile) {
  ScratchDir files;
  RecordingWindow window;
  window.program_folder = files.Root();
  Form1 form(window);
  const std::string help = files.Path("zelo_find.hlp");
  form.mnuHelp_Click();
  form.cmdCommand1_Click();
  EXPECT_EQ(window.HelpFileName(), "/ZELO.hlp");
  form.mnuHelp_Click();
  EXPECT_EQ(window.help_shown, (Calls{help, help}));
}

struct HelpCase {
  std::string_view name;
  bool beside;     // bin/zelo_find.hlp exists
  bool installed;  // share/zelo-score/zelo_find.hlp exists
  std::string_view shown;
};
const HelpCase kHelpCases[] = {
    {"Neither", false, false, "bin/zelo_find.hlp"},
    {"BesideOnly", true, false, "bin/zelo_find.hlp"},
    {"InstalledOnly", false, true, "share/zelo-score/zelo_find.hlp"},
    {"Both", true, true, "bin/zelo_find.hlp"},
};
class HelpFileTest : public ::testing::TestWithParam<HelpCase> {};

TEST_P(HelpFileTest, BesideTheProgramFirstThenTheInstalledFile) {
  const HelpCase& c = GetParam();
  ScratchDir files;
  std::filesystem::create_directories(files.Path("bin"));
  std::filesystem::create_directories(files.Path("share/zelo-score"));
  if (c.beside) files.Write("bin/zelo_find.hlp", "help");
  if (c.installed) files.Write("share/zelo-score/zelo_find.hlp", "help");
  RecordingWindow window;
  window.program_folder = files.Path("bin");
  Form1 form(window);
  form.mnuHelp_Click();
  EXPECT_EQ(window.help_shown, (Calls{files.Path(c.shown)}));
}

INSTANTIATE_TEST_SUITE_P(Layouts, HelpFileTest, ::testing::ValuesIn(kHelpCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Workflow, AboutNamesTheProgramAndItsVersion) {
  RecordingWindow window;
  Form1 form(window);
  form.mnuAbout_Click();
  ASSERT_EQ(window.about_shown.size(), 1U);
  EXPECT_EQ(window.about_shown[0].version, kVersion);
  EXPECT_FALSE(window.about_shown[0].name.empty());
}

}  // namespace
}  // namespace zelo::fakes
