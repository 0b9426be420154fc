// Form1: the window's state and every handler of its events, written only
// against WindowOps so that the whole workflow runs without a display.
//
// Who owns what:
//  - Form1 owns the workflow state: WorkflowStep (0 not started, 1 waiting for
//    the log, 3 listing ready), the chosen path, LogText (the accepted log,
//    byte for byte, never changed) and the result of the last scoring run,
//    whose band lists point into LogText.
//  - The window (WindowOps) owns what is on screen: captions, the list box
//    lines, visibility, the menu's enabled states, the progress value.
// What each handler does:
//  - cmdCommand1_Click: the first press shows the STEP# 1 prompt and offers
//    File/Open; later presses change nothing visible.
//  - mnuFileOpen_Click: at step 1 only, asks for a log, checks its header,
//    reads it whole and runs ScoreLog; a rejected or unreadable file keeps
//    step 1 with the "Please select a valid cabrillo log file" prompt, and
//    the window shows the file and the reason under it.
//  - OpenLogFromCommandLine, LogDropped: a log named on the command line or
//    dropped on the window at step 0 or 1 is opened as the start button and
//    File/Open would, without the dialog.
//  - ScoreLog: scores LogText, showing progress, then the report, the save
//    prompt and the six band buttons.
//  - Option160_Click ... Option10_Click: a band's numbered call list.
//  - optnSum_Click: the report again, by a fresh scoring run.
//  - mnuFileSave_Click: writes what the list box shows to a chosen file,
//    the dialog opening in the log's folder; a failure says why on the prompt
//    line and leaves any old file intact. A file that is a log is never
//    replaced: the reason shows under the prompt and the dialog comes again.
//  - mnuCheck_Click: the findings of the log check of LogText, offered once a
//    log has been opened; it changes neither the list nor the step.
//  - CheckAgain_Click: the log's file read again from disk and checked; the
//    Check window says whether it changed since it was scored (the main
//    window keeps showing the log as it was opened).
//  - SaveFindings_Click: every finding of the last check to a text file,
//    never over a log.
//  - mnuFileExit_Click, mnuHelp_Click, mnuAbout_Click: leave, help, about.
// While a scoring run is under way (the window repaints during it) every
// handler returns at once, so none starts inside another.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/window_ops.h"
#include "check/log_check.h"
#include "io/safe_save.h"
#include "input/messages.h"
#include "scoring/score_log.h"

namespace zelo {

// Prompt texts shown on cmdCommand1.
inline constexpr std::string_view kStartCaption = "Select HERE to Start";
inline constexpr std::string_view kStep1Prompt = "STEP# 1: From FILE pulldown OPEN your cabrillo log file";
inline constexpr std::string_view kInvalidLogPrompt = kInvalidLogMessage;
inline constexpr std::string_view kWorkingPrompt = "Working....";
inline constexpr std::string_view kSavePrompt =
    "You may now SAVE your listing. ***WARNING*** DO NOT OVERLAY YOUR LOG- use Filetype of 'TXT'";
inline constexpr std::string_view kExitPrompt = "Please Exit via File Pulldown";
inline constexpr std::string_view kSaveFailedPrefix = kListingNotSaved;

// What the Check window says after Check again, and after a save of the findings.
inline constexpr std::string_view kCheckedAgainUnchanged = "Checked again: the file is as it was when it was scored.";
inline constexpr std::string_view kCheckedAgainChanged =
    "The file has changed since it was scored: these findings are for the file as it is now; "
    "the main window still shows the log as it was opened.";
inline constexpr std::string_view kCheckedAgainUnreadable =
    "The file could not be read again; the main window still shows the log as it was opened.";
inline constexpr std::string_view kFindingsSaved = "Findings saved to ";
inline constexpr std::string_view kFindingsNotSaved = "Findings NOT saved: ";

// Help file names: the one Help shows, beside the program (or installed
// under ../share/zelo-score/), and the name the start button sets.
inline constexpr std::string_view kHelpFile = "zelo_find.hlp";
inline constexpr std::string_view kInstalledHelpFolder = "../share/zelo-score";
inline constexpr std::string_view kStartHelpFileName = "/ZELO.hlp";

class Form1 {
 public:
  explicit Form1(WindowOps& window);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Event handlers.
  void cmdCommand1_Click();
  void mnuFileOpen_Click();
  void mnuFileSave_Click();
  void mnuFileExit_Click();
  void mnuHelp_Click();
  void mnuAbout_Click();
  void mnuCheck_Click();
  // The Check window's buttons.
  void CheckAgain_Click();
  void SaveFindings_Click();
  void Option160_Click();
  void Option80_Click();
  void Option40_Click();
  void Option20_Click();
  void Option15_Click();
  void Option10_Click();
  void optnSum_Click();

  // Opens `path` as if the user had pressed the start button (when not yet
  // pressed) and chosen it through File/Open.
  void OpenLogFromCommandLine(const std::string& path);
  // Whether a file dropped on the window now would be opened: at step 0 or 1.
  bool AcceptsDroppedLog() const;
  // A file dropped on the window: opened as from the command line, when
  // AcceptsDroppedLog; otherwise nothing happens.
  void LogDropped(const std::string& path);

  // Window-level state, for the window and the tests to read.
  int WorkflowStep() const { return workflow_step_; }
  const std::string& SelectedPath() const { return selected_path_; }
  bool LogValid() const { return log_valid_; }
  const std::string& LogText() const { return log_text_; }
  // The last scoring run; nullopt before the first.
  const std::optional<ScoreResult>& LastRun() const { return last_run_; }
  // The text the Check window's findings are about: LogText, or the file as
  // read again when it changed since.
  std::string_view CheckedText() const { return checked_text_ ? *checked_text_ : log_text_; }

 private:
  void OpenChosenLog(const std::string& path);
  void ScoreLog();
  void ShowBandView(std::string_view heading, const std::vector<std::string_view>& calls,
                    std::size_t count);
  void ShowBand(Band band);
  void ShowCheck(std::string notice);
  // Offers the Save dialog until a file is saved or the user cancels: a file
  // that is a log is refused and the dialog comes again. `refused` shows why.
  void SaveWithDialog(const DialogSettings& settings, std::string_view bytes,
                      const std::function<void(std::string_view path, const SaveResult&)>& refused,
                      const std::function<void(std::string_view path, const SaveResult&)>& done);

  // Prompt operations: each sets the caption of `target`, and some also
  // switch menu items, the progress bar and the step.
  void ShowStep1Prompt(Control target);
  void ShowInvalidLogPrompt(Control target);
  void ShowWorkingPrompt(Control target);
  void ShowSavePrompt(Control target);
  void ShowExitPrompt(Control target);

  WindowOps& window_;
  int workflow_step_ = 0;
  std::string selected_path_;
  bool log_valid_ = false;
  std::string log_text_;
  std::optional<ScoreResult> last_run_;
  bool scoring_ = false;        // a scoring run is under way
  bool refusal_shown_ = false;  // the window shows why a file was refused
  CheckReport check_report_;                  // the Check window's findings
  std::optional<std::string> checked_text_;   // the file as read again, when it differs from LogText
};

}  // namespace zelo
