// Everything Form1 may ask of its window. Nothing here depends on Qt: the
// real window (QtWindow) and the tests' recording fake both implement it.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "check/log_check.h"

namespace zelo {

// The controls of the window that Form1 operates on.
enum class Control {
  cmdCommand1,   // the start button, afterwards the prompt line
  ProgressBar1,  // progress of a scoring run, 0 to 100
  lstList1,      // the report or a band view
  Option160,
  Option80,
  Option40,
  Option20,
  Option15,
  Option10,
  optnSum,       // back to the report
  optnAll,       // never shown
};

// The menu items whose enabled state changes.
enum class Menu { mnuFileOpen, mnuFileSave, mnuCheck };

// The names the controls and menu items go by outside the code: the page's
// element ids, and what a recorded call names.
constexpr std::string_view ControlName(Control control) {
  switch (control) {
    case Control::cmdCommand1: return "cmdCommand1";
    case Control::ProgressBar1: return "ProgressBar1";
    case Control::lstList1: return "lstList1";
    case Control::Option160: return "Option160";
    case Control::Option80: return "Option80";
    case Control::Option40: return "Option40";
    case Control::Option20: return "Option20";
    case Control::Option15: return "Option15";
    case Control::Option10: return "Option10";
    case Control::optnSum: return "optnSum";
    case Control::optnAll: return "optnAll";
  }
  return "?";
}

constexpr std::string_view MenuName(Menu menu) {
  switch (menu) {
    case Menu::mnuFileOpen: return "mnuFileOpen";
    case Menu::mnuFileSave: return "mnuFileSave";
    case Menu::mnuCheck: return "mnuCheck";
  }
  return "?";
}

// How an Open or Save dialog is set up. The filter is one entry: a
// description and the pattern of the files it lists.
struct DialogSettings {
  std::string title;
  std::string filter_description;
  std::string filter_pattern;
  std::string initial_name;  // empty: no name offered
  std::string folder;        // where the dialog opens; empty: where it last was
};

// What the Check window shows: the findings of one check of a log's text.
struct FindingsView {
  std::string file;          // the log's path: FILE in "FILE:LINE: severity: message"
  std::string_view text;     // the text checked, for the lines around a finding; stays until the next ShowFindings
  const CheckReport& report;
  std::string notice;        // said above the findings (the file changed since it was scored...); may be empty
};

// What the About box shows.
struct AboutInfo {
  std::string name;
  std::string version;
  std::string description;
};

class WindowOps {
 public:
  virtual ~WindowOps() = default;

  virtual void SetCaption(Control control, std::string_view text) = 0;
  // A caption that quotes a file path: `before`, then `path`, then `after`.
  // When the whole does not fit, the window shortens the path in its middle
  // and never the rest, so that the beginning and the reason stay readable.
  virtual void SetCaptionWithPath(Control control, std::string_view before, std::string_view path,
                                  std::string_view after) = 0;
  virtual void SetMenuEnabled(Menu menu, bool enabled) = 0;
  virtual void SetVisible(Control control, bool visible) = 0;

  // Why a file was refused (as a log, or as the file to save to), shown under
  // the prompt until HideRefusal as `before`, `path`, `after`; a path too long
  // for one line gives way in its middle. A second refusal replaces the first.
  virtual void ShowRefusal(std::string_view before, std::string_view path, std::string_view after) = 0;
  virtual void HideRefusal() = 0;

  // lstList1: lines are bytes, kept exactly as given. Every listing starts
  // at the top left: ClearList also scrolls the list back there.
  virtual void ClearList() = 0;
  virtual void AppendListLines(std::span<const std::string> lines) = 0;
  virtual std::size_t ListLineCount() const = 0;
  virtual std::string ListLine(std::size_t index) const = 0;  // empty past the end

  // ProgressBar1.
  virtual void SetProgress(int value) = 0;
  virtual int Progress() const = 0;
  // Brings the screen up to date in the middle of a long run (a scoring run
  // calls it each time the progress value changes). The window draws what
  // changed and runs none of the user's input, so no handler starts inside.
  virtual void RepaintNow() = 0;

  // The dialogs wait for the user; nullopt when cancelled.
  virtual std::optional<std::string> ShowOpenDialog(const DialogSettings& settings) = 0;
  virtual std::optional<std::string> ShowSaveDialog(const DialogSettings& settings) = 0;

  // Shows the findings of a log check, with their counts, apart from the list
  // (the Check window); a second call replaces what it shows.
  virtual void ShowFindings(const FindingsView& view) = 0;
  // A line above the findings, in place of the view's notice: what became of
  // a save of the findings.
  virtual void ShowFindingsNotice(std::string_view text) = 0;

  // Shows a help file (or says plainly that it is missing), and the About box.
  virtual void ShowHelp(const std::string& help_file) = 0;
  virtual void ShowAbout(const AboutInfo& about) = 0;

  // The folder that holds the program, and the application-wide help file name.
  virtual std::string ProgramFolder() const = 0;
  virtual std::string HelpFileName() const = 0;
  virtual void SetHelpFileName(std::string_view name) = 0;

  // Closes the window, which ends the program.
  virtual void Unload() = 0;
};

}  // namespace zelo
