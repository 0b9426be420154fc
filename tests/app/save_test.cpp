// File/Save through Form1: the bytes written, the prompts, and the saves
// that must not happen or must not harm an existing file.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"
#include "form_test_support.h"

namespace zelo::fakes {
namespace {

using fakes::PrintTo;

using Calls = std::vector<std::string>;

std::string Listing(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes + "\r\n";
}

class SaveFixture : public FormFixture {
 public:
  SaveFixture() { log_path = OpenLog(SmallLog()); }
  std::string log_path;
};

struct SavedCase {
  std::string_view name;
  void (Form1::*view)();  // null: the report
  std::size_t lines;
};
const SavedCase kSavedCases[] = {
    {"Report", nullptr, 27},
    {"BandView", &Form1::Option20_Click, 5},
    {"EmptyBandView", &Form1::Option160_Click, 3},
    {"ReportAgain", &Form1::optnSum_Click, 27},
};
class SavedListingTest : public SaveFixture, public ::testing::TestWithParam<SavedCase> {};

TEST_P(SavedListingTest, HoldsEveryListLineThenAnEmptyLine) {
  if (GetParam().view != nullptr) (form.*GetParam().view)();
  ASSERT_EQ(window.List().size(), GetParam().lines);
  const WindowView before = window.View();
  window.ClearCalls();
  Save(files.Path("out.txt"));
  EXPECT_EQ(window.Calls(), (Calls{"ShowSaveDialog", "SetCaption cmdCommand1 " + std::string(kExitPrompt)}));
  const std::string saved = ReadBytes(files.Path("out.txt"));
  EXPECT_EQ(saved, Listing(window.List()));
  EXPECT_TRUE(saved.ends_with("\r\n\r\n"));
  // Only the prompt changed.
  WindowView after = window.View();
  after.captions[Control::cmdCommand1] = before.captions.at(Control::cmdCommand1);
  EXPECT_EQ(after, before);
  EXPECT_EQ(form.WorkflowStep(), 3);
}

INSTANTIATE_TEST_SUITE_P(Views, SavedListingTest, ::testing::ValuesIn(kSavedCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SavedListing, EmptyBandViewGivesFourLines) {
  SaveFixture f;
  f.form.Option80_Click();
  f.Save(f.files.Path("80.txt"));
  EXPECT_EQ(ReadBytes(f.files.Path("80.txt")), kRule94 + "\r\n80M QSO's:\r\n" + kRule94 + "\r\n\r\n");
}

TEST(SavedListing, ReplacesALongerFileWhole) {
  SaveFixture f;
  f.form.Option160_Click();
  const std::string out = f.files.Write("out.txt", std::string(10000, 'x'));
  f.Save(out);
  EXPECT_EQ(ReadBytes(out), Listing(f.window.List()));
}

TEST(SavedListing, TwoSavesInARowAreIdentical) {
  SaveFixture f;
  f.Save(f.files.Path("one.txt"));
  f.Save(f.files.Path("two.txt"));
  EXPECT_EQ(ReadBytes(f.files.Path("one.txt")), ReadBytes(f.files.Path("two.txt")));
  EXPECT_EQ(ReadBytes(f.files.Path("one.txt")), Listing(f.window.List()));
}

TEST(SavedListing, ViewsAndSavesAgainAfterASave) {
  SaveFixture f;
  f.Save(f.files.Path("report.txt"));
  f.form.Option20_Click();
  f.Save(f.files.Path("20.txt"));
  EXPECT_EQ(ReadBytes(f.files.Path("20.txt")),
            Listing({kRule94, "20M QSO's:", kRule94, " 1   YPZGO", " 2   E7VVD"}));
  EXPECT_EQ(f.window.Caption(Control::cmdCommand1), kExitPrompt);
}

TEST(SaveDialog, OffersNoNameAndTheNsFilterEveryTime) {
  SaveFixture f;
  f.window.save_answers = {f.files.Path("a.txt"), std::nullopt, f.files.Path("b.txt")};
  f.form.mnuFileSave_Click();
  f.form.mnuFileSave_Click();
  f.form.mnuFileSave_Click();
  ASSERT_EQ(f.window.save_settings.size(), 3U);
  for (const DialogSettings& s : f.window.save_settings) {
    EXPECT_EQ(s.title, "Save");
    EXPECT_EQ(s.filter_description, "NS File (*.NS)");
    EXPECT_EQ(s.filter_pattern, "*.NS");
    EXPECT_EQ(s.initial_name, "") << "the log's name must never be offered";
  }
}

struct CancelCase {
  std::string_view name;
  std::optional<std::string> answer;
  bool saved_before;
};
const CancelCase kCancelCases[] = {
    {"Cancelled", std::nullopt, false},
    {"EmptyName", std::string(), false},
    {"CancelledAfterASave", std::nullopt, true},
};
class CancelSaveTest : public SaveFixture, public ::testing::TestWithParam<CancelCase> {};

TEST_P(CancelSaveTest, WritesNothingAndChangesNothing) {
  if (GetParam().saved_before) Save(files.Path("first.txt"));
  const WindowView before = window.View();
  const auto files_before = files.Names();
  window.ClearCalls();
  window.save_answers = {GetParam().answer};
  form.mnuFileSave_Click();
  EXPECT_EQ(window.Calls(), (Calls{"ShowSaveDialog"}));
  EXPECT_EQ(window.View(), before);
  EXPECT_EQ(files.Names(), files_before);
}

INSTANTIATE_TEST_SUITE_P(Answers, CancelSaveTest, ::testing::ValuesIn(kCancelCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Saves that fail ---

struct FailCase {
  std::string_view name;
  std::string (*path)(const ScratchDir& files);
  std::string reason;  // expected on the prompt line after the path
};
// The core owns every way a save fails (tests/core/save_listing_test.cpp,
// tests/hostile/save_fault_test.cpp); the window passes the reason on.
const FailCase kFailCases[] = {
    {"MissingFolder", [](const ScratchDir& f) { return f.Path("no-such-folder/out.txt"); },
     std::strerror(ENOENT)},
};
class FailedSaveTest : public SaveFixture, public ::testing::TestWithParam<FailCase> {};

TEST_P(FailedSaveTest, SaysWhyAndChangesNothingElse) {
  const std::string path = GetParam().path(files);
  form.Option20_Click();
  const WindowView before = window.View();
  window.ClearCalls();
  Save(path);
  // The path apart, so that the window can shorten it and keep the rest.
  const std::string reason = ": " + GetParam().reason;
  EXPECT_EQ(window.Calls(), (Calls{"ShowSaveDialog", "SetCaptionWithPath cmdCommand1 " +
                                                         std::string(kSaveFailedPrefix) + "[" +
                                                         path + "]" + reason}));
  EXPECT_EQ(window.Caption(Control::cmdCommand1), std::string(kSaveFailedPrefix) + path + reason);
  WindowView after = window.View();
  after.captions[Control::cmdCommand1] = before.captions.at(Control::cmdCommand1);
  EXPECT_EQ(after, before);
  EXPECT_TRUE(window.MenuEnabled(Menu::mnuFileSave));
  EXPECT_EQ(form.WorkflowStep(), 3);
  // A good name afterwards saves as usual.
  Save(files.Path("good.txt"));
  EXPECT_EQ(window.Caption(Control::cmdCommand1), kExitPrompt);
  EXPECT_EQ(ReadBytes(files.Path("good.txt")), Listing(window.List()));
}

INSTANTIATE_TEST_SUITE_P(Paths, FailedSaveTest, ::testing::ValuesIn(kFailCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Saving onto a log ---

struct OntoLogCase {
  std::string_view name;
  // A file that is a log: the one opened (files/log.txt) by another name, or another.
  std::string (*path)(const ScratchDir& files);
  std::string_view after_path;  // what the refusal says after the path
};
// Every spelling of the log and every way a file is a log are the core's
// (tests/core/save_listing_test.cpp); the window passes the refusal on.
const OntoLogCase kOntoLogCases[] = {
    {"SymbolicLinkToTheLog",
     [](const ScratchDir& f) {
       std::filesystem::create_symlink(f.Path("log.txt"), f.Path("link.txt"));
       return f.Path("link.txt");
     },
     ": that file is your log"},
    {"AnotherLog", [](const ScratchDir& f) { return f.Write("other.NS", "\xEF\xBB\xBF  START-OF-LOG: 3.0\r\n"); },
     " is a Cabrillo log; not replaced: choose another name"},
};
class SaveOntoLogTest : public SaveFixture, public ::testing::TestWithParam<OntoLogCase> {};

TEST_P(SaveOntoLogTest, IsRefusedUnderThePromptAndTheDialogComesAgain) {
  const std::string path = GetParam().path(files);
  const std::string before_bytes = ReadBytes(path);
  const WindowView before = window.View();
  window.ClearCalls();
  window.save_answers = {path, files.Path("out.txt")};
  form.mnuFileSave_Click();
  const std::string refusal = path + std::string(GetParam().after_path);
  EXPECT_EQ(window.Calls(), (Calls{"ShowSaveDialog", "SetCaption cmdCommand1 " + std::string(kSavePrompt),
                                   "ShowRefusal " + refusal, "ShowSaveDialog", "HideRefusal",
                                   "SetCaption cmdCommand1 " + std::string(kExitPrompt)}));
  EXPECT_EQ(ReadBytes(path), before_bytes);
  EXPECT_EQ(ReadBytes(log_path), SmallLog());
  EXPECT_EQ(ReadBytes(files.Path("out.txt")), Listing(window.List()));
  // Cancelled after a refusal: the reason stays under the save prompt.
  window.save_answers = {path, std::nullopt};
  form.mnuFileSave_Click();
  WindowView after = window.View();
  EXPECT_EQ(after.refusal, refusal);
  after.refusal.clear();
  EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(Names, SaveOntoLogTest, ::testing::ValuesIn(kOntoLogCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SaveDialog, OpensInTheLogsFolder) {
  SaveFixture f;
  f.Save(f.files.Path("out.txt"));
  ASSERT_EQ(f.window.save_settings.size(), 1U);
  EXPECT_EQ(f.window.save_settings.front().folder, std::filesystem::path(f.log_path).parent_path().string());
}

TEST(SaveOntoLog, AnotherFileBesideTheLogIsSaved) {
  SaveFixture f;
  f.Save(f.files.Path("log.txt.NS"));
  EXPECT_EQ(f.window.Caption(Control::cmdCommand1), kExitPrompt);
  EXPECT_EQ(ReadBytes(f.log_path), SmallLog());
}

}  // namespace
}  // namespace zelo::fakes
