#include "app/form1.h"

#include <filesystem>
#include <functional>
#include <utility>

#include "check/finding_groups.h"
#include "check/log_check.h"
#include "input/log_file.h"
#include "scoring/report.h"
#include "views/band_view.h"
#include "io/safe_save.h"
#include "views/listing.h"
#include "zelo/version.h"

namespace zelo {
namespace {

constexpr std::array<Control, kBandCount> kBandButtons = {
    Control::Option160, Control::Option80, Control::Option40,
    Control::Option20,  Control::Option15, Control::Option10};

constexpr int kProgressMax = 100;

// Forwards the scoring run's events to Form1 as they happen.
class RunWatcher : public ScoreObserver {
 public:
  RunWatcher(std::function<void()> on_no_band, std::function<void(int)> on_progress)
      : on_no_band_(std::move(on_no_band)), on_progress_(std::move(on_progress)) {}
  void OnRecord(const RecordOutcome& outcome) override {
    if (outcome.outcome == Outcome::kNoBand) on_no_band_();
  }
  void OnProgress(int value) override { on_progress_(value); }

 private:
  std::function<void()> on_no_band_;
  std::function<void(int)> on_progress_;
};

// Set for as long as it lives, whichever way the scope is left.
class RunningFlag {
 public:
  explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~RunningFlag() { flag_ = false; }
  RunningFlag(const RunningFlag&) = delete;
  RunningFlag& operator=(const RunningFlag&) = delete;

 private:
  bool& flag_;
};

DialogSettings OpenDialogSettings() { return {"Open", "All Files (*.*)", "*", "", ""}; }

// The folder that holds a file, as the dialogs take it; empty for a bare name.
std::string FolderOf(const std::string& path) {
  return std::filesystem::path(path).parent_path().string();
}

// A save's reason with the path apart: what follows the path when the reason
// begins with it, else ": " and the whole reason.
std::string AfterPath(std::string_view path, std::string_view reason) {
  if (!path.empty() && reason.starts_with(path) && !reason.substr(path.size()).empty()) {
    return std::string(reason.substr(path.size()));
  }
  return ": " + std::string(reason);
}

// The help file beside the program, or where an installation puts it.
std::string HelpFilePath(const std::string& program_folder) {
  namespace fs = std::filesystem;
  const fs::path folder(program_folder);
  const fs::path beside = folder / kHelpFile;
  const fs::path installed = (folder / kInstalledHelpFolder / kHelpFile).lexically_normal();
  std::error_code ec;
  if (!fs::exists(beside, ec) && fs::exists(installed, ec)) return installed.string();
  return beside.string();
}

}  // namespace

Form1::Form1(WindowOps& window) : window_(window) {}

void Form1::cmdCommand1_Click() {
  if (scoring_) return;
  if (workflow_step_ == 0) ShowStep1Prompt(Control::cmdCommand1);
  window_.SetHelpFileName(kStartHelpFileName);
}

void Form1::mnuFileOpen_Click() {
  if (scoring_ || workflow_step_ != 1) return;
  const std::optional<std::string> chosen = window_.ShowOpenDialog(OpenDialogSettings());
  if (!chosen || chosen->empty()) return;
  OpenChosenLog(*chosen);
}

void Form1::OpenLogFromCommandLine(const std::string& path) {
  if (scoring_ || path.empty()) return;
  if (workflow_step_ == 0) cmdCommand1_Click();
  if (workflow_step_ == 1) OpenChosenLog(path);
}

bool Form1::AcceptsDroppedLog() const { return !scoring_ && workflow_step_ <= 1; }

void Form1::LogDropped(const std::string& path) {
  if (AcceptsDroppedLog()) OpenLogFromCommandLine(path);
}

void Form1::OpenChosenLog(const std::string& path) {
  selected_path_ = path;
  // The file is read once; the header is checked on the bytes read, so the
  // text scored is the text checked.
  FileRead read = ReadWholeFile(selected_path_);
  std::string reason = std::move(read.error);
  if (read.ok) reason = CheckLogHeader(read.bytes).reason;
  if (!read.ok || !reason.empty()) {
    ShowInvalidLogPrompt(Control::cmdCommand1);
    window_.ShowRefusal("", selected_path_, ": " + reason);
    refusal_shown_ = true;
    return;
  }
  if (refusal_shown_) window_.HideRefusal();
  refusal_shown_ = false;
  log_valid_ = true;
  last_run_.reset();  // its views point into the old text
  log_text_ = std::move(read.bytes);
  ScoreLog();
  window_.SetVisible(Control::ProgressBar1, false);
  window_.SetVisible(Control::lstList1, true);
  window_.SetMenuEnabled(Menu::mnuCheck, true);
}

void Form1::ScoreLog() {
  ShowWorkingPrompt(Control::cmdCommand1);
  window_.SetVisible(Control::ProgressBar1, true);
  window_.SetVisible(Control::lstList1, true);
  // A record on no band shows the save prompt at once; later ones find it
  // shown, as nothing in the run changes it back.
  bool save_prompt_shown = false;
  RunWatcher watcher(
      [this, &save_prompt_shown] {
        if (save_prompt_shown) return;
        ShowSavePrompt(Control::cmdCommand1);
        save_prompt_shown = true;
      },
      [this](int value) {
        const int before = window_.Progress();
        // The run tells a value for every record; most are the value shown
        // already, and setting it again changes nothing.
        if (value == before || (value > kProgressMax && before == kProgressMax)) return;
        window_.SetProgress(value);
        if (window_.Progress() > kProgressMax) window_.SetProgress(kProgressMax);
        // At most one repaint per step of the bar.
        if (window_.Progress() != before) window_.RepaintNow();
      });
  last_run_.reset();
  {
    const RunningFlag running(scoring_);
    last_run_ = zelo::ScoreLog(log_text_, &watcher);
  }
  window_.AppendListLines(WriteReport(*last_run_));
  ShowSavePrompt(Control::cmdCommand1);
  for (Control button : kBandButtons) window_.SetVisible(button, true);
}

void Form1::ShowBandView(std::string_view heading, const std::vector<std::string_view>& calls,
                         std::size_t count) {
  window_.ClearList();
  window_.AppendListLines(BandViewLines(heading, calls, count));
  window_.SetVisible(Control::optnSum, true);
}

void Form1::ShowBand(Band band) {
  if (scoring_ || !last_run_) return;  // the buttons are hidden until the first run
  const BandTally& tally = last_run_->Tally(band);
  ShowBandView(ViewHeading(band), tally.calls, tally.calls.size());
}

void Form1::Option160_Click() { ShowBand(Band::k160); }
void Form1::Option80_Click() { ShowBand(Band::k80); }
void Form1::Option40_Click() { ShowBand(Band::k40); }
void Form1::Option20_Click() { ShowBand(Band::k20); }
void Form1::Option15_Click() { ShowBand(Band::k15); }
void Form1::Option10_Click() { ShowBand(Band::k10); }

void Form1::optnSum_Click() {
  if (scoring_ || !log_valid_) return;
  window_.ClearList();
  ScoreLog();
}

void Form1::mnuFileSave_Click() {
  if (scoring_ || !last_run_) return;  // nothing to save before the first listing
  std::vector<std::string> lines;
  const std::size_t count = window_.ListLineCount();
  lines.reserve(count);
  for (std::size_t i = 0; i < count; ++i) lines.push_back(window_.ListLine(i));
  const auto refused = [this](std::string_view path, const SaveResult& saved) {
    // The save prompt stays, with the reason under it.
    window_.SetCaption(Control::cmdCommand1, kSavePrompt);
    window_.ShowRefusal("", path, AfterPath(path, saved.reason));
    refusal_shown_ = true;
  };
  const auto done = [this](std::string_view path, const SaveResult& saved) {
    if (refusal_shown_) window_.HideRefusal();
    refusal_shown_ = false;
    if (saved.ok) {
      ShowExitPrompt(Control::cmdCommand1);
    } else if (saved.reason.starts_with(path) && saved.reason.substr(path.size()).starts_with(": ")) {
      // The path apart, so that the window can shorten it and keep the rest.
      window_.SetCaptionWithPath(Control::cmdCommand1, kSaveFailedPrefix, path, saved.reason.substr(path.size()));
    } else {
      window_.SetCaption(Control::cmdCommand1, std::string(kSaveFailedPrefix) + saved.reason);
    }
  };
  SaveWithDialog({"Save", "NS File (*.NS)", "*.NS", "", FolderOf(selected_path_)}, ListingBytes(lines), refused,
                 done);
}

void Form1::SaveWithDialog(const DialogSettings& settings, std::string_view bytes,
                           const std::function<void(std::string_view, const SaveResult&)>& refused,
                           const std::function<void(std::string_view, const SaveResult&)>& done) {
  while (true) {
    const std::optional<std::string> chosen = window_.ShowSaveDialog(settings);
    if (!chosen || chosen->empty()) return;
    const SaveResult saved = SaveListing(*chosen, bytes, selected_path_);
    if (!saved.ok && (saved.a_log || saved.onto_log)) {
      refused(*chosen, saved);
      continue;
    }
    done(*chosen, saved);
    return;
  }
}

void Form1::mnuFileExit_Click() {
  if (!scoring_) window_.Unload();
}

void Form1::mnuHelp_Click() {
  if (scoring_) return;
  window_.SetHelpFileName(HelpFilePath(window_.ProgramFolder()));
  window_.ShowHelp(window_.HelpFileName());
}

void Form1::mnuAbout_Click() {
  if (scoring_) return;
  window_.ShowAbout({"ZELO Score", std::string(kVersion),
                     "Scores a ZELO Razezuz contest log: contacts and multipliers per band, "
                     "the totals and the final score."});
}

void Form1::mnuCheck_Click() {
  if (scoring_ || !log_valid_) return;  // offered only once a log has been opened
  checked_text_.reset();
  check_report_ = CheckLog(log_text_);
  ShowCheck("");
}

void Form1::CheckAgain_Click() {
  if (scoring_ || !log_valid_) return;
  FileRead read = ReadWholeFile(selected_path_);
  if (!read.ok) {
    checked_text_.emplace();
    check_report_ = UnreadableLog(read.error);
    ShowCheck(std::string(kCheckedAgainUnreadable));
    return;
  }
  const bool changed = read.bytes != log_text_;
  if (changed) {
    checked_text_ = std::move(read.bytes);
  } else {
    checked_text_.reset();
  }
  check_report_ = CheckLog(CheckedText());
  ShowCheck(std::string(changed ? kCheckedAgainChanged : kCheckedAgainUnchanged));
}

void Form1::ShowCheck(std::string notice) {
  window_.ShowFindings({selected_path_, CheckedText(), check_report_, std::move(notice)});
}

void Form1::SaveFindings_Click() {
  if (scoring_ || !log_valid_) return;
  const std::string name = std::filesystem::path(selected_path_).stem().string() + "-check.txt";
  const auto refused = [this](std::string_view, const SaveResult& saved) {
    window_.ShowFindingsNotice(std::string(kFindingsNotSaved) + saved.reason);
  };
  const auto done = [this](std::string_view path, const SaveResult& saved) {
    window_.ShowFindingsNotice(saved.ok ? std::string(kFindingsSaved) + std::string(path)
                                        : std::string(kFindingsNotSaved) + saved.reason);
  };
  SaveWithDialog({"Save findings", "Text File (*.txt)", "*.txt", name, FolderOf(selected_path_)},
                 FindingsText(selected_path_, check_report_), refused, done);
}

void Form1::ShowStep1Prompt(Control target) {
  window_.SetCaption(target, kStep1Prompt);
  window_.SetMenuEnabled(Menu::mnuFileOpen, true);
  workflow_step_ = 1;
}

void Form1::ShowInvalidLogPrompt(Control target) { window_.SetCaption(target, kInvalidLogPrompt); }

void Form1::ShowWorkingPrompt(Control target) { window_.SetCaption(target, kWorkingPrompt); }

void Form1::ShowSavePrompt(Control target) {
  window_.SetCaption(target, kSavePrompt);
  window_.SetMenuEnabled(Menu::mnuFileOpen, false);
  window_.SetVisible(Control::ProgressBar1, false);
  window_.SetMenuEnabled(Menu::mnuFileSave, true);
  workflow_step_ = 3;
}

void Form1::ShowExitPrompt(Control target) { window_.SetCaption(target, kExitPrompt); }

}  // namespace zelo
