// RecordingWindow: a WindowOps that draws nothing. It lists every operation
// Form1 performs on it, in order, as a readable string ("SetCaption
// cmdCommand1 Working....", "AppendListLines 27", "ShowOpenDialog", ...),
// keeps the state a real window would have after them (the findings shown
// included), and answers the Open
// and Save dialogs from scripted queues. Queries (ListLineCount, ListLine,
// Progress, ProgramFolder, HelpFileName) are answered from that state and
// not listed, so the call list shows only what changes the window.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/window_ops.h"

namespace zelo::fakes {

inline constexpr std::array<Control, 11> kAllControls = {
    Control::cmdCommand1, Control::ProgressBar1, Control::lstList1, Control::Option160,
    Control::Option80,    Control::Option40,     Control::Option20, Control::Option15,
    Control::Option10,    Control::optnSum,      Control::optnAll};

// What the user can see of the window: two snapshots compare equal when
// nothing visible differs.
struct WindowView {
  std::map<Control, std::string> captions;
  std::map<Control, bool> visible;
  bool open_enabled = false;
  bool save_enabled = false;
  bool check_enabled = false;
  std::vector<std::string> list;
  int progress = 0;
  std::string refusal;  // "PATH: REASON" under the prompt; empty when hidden

  bool operator==(const WindowView&) const = default;
};

// Readable failure messages in tests.
inline void PrintTo(const WindowView& v, std::ostream* os) {
  *os << "{caption \"" << (v.captions.count(Control::cmdCommand1) ? v.captions.at(Control::cmdCommand1) : "")
      << "\", open " << v.open_enabled << ", save " << v.save_enabled << ", shown:";
  for (const auto& [control, shown] : v.visible) {
    if (shown) *os << " " << ControlName(control);
  }
  *os << ", progress " << v.progress << ", " << v.list.size() << " list lines}";
}

class RecordingWindow : public WindowOps {
 public:
  RecordingWindow() {
    // The design state: only the start button shows, File/Open and
    // File/Save are greyed.
    for (Control c : kAllControls) view_.visible[c] = c == Control::cmdCommand1;
    view_.captions = {{Control::cmdCommand1, "Select HERE to Start"},
                      {Control::Option160, "160M"},
                      {Control::Option80, "80M"},
                      {Control::Option40, "40M"},
                      {Control::Option20, "20M"},
                      {Control::Option15, "15M"},
                      {Control::Option10, "10M"},
                      {Control::optnAll, "All QSOs"},
                      {Control::optnSum, "Summary"}};
  }

  // Scripted answers, taken front first; an empty queue answers "cancelled".
  std::deque<std::optional<std::string>> open_answers;
  std::deque<std::optional<std::string>> save_answers;
  // What ProgramFolder() answers.
  std::string program_folder = "/opt/zelo/bin";

  // What the dialogs and the help and About commands were given, in order.
  std::vector<DialogSettings> open_settings;
  std::vector<DialogSettings> save_settings;
  std::vector<std::string> help_shown;
  std::vector<AboutInfo> about_shown;
  // What the Check window was given, in order, copied.
  struct ShownFindings {
    std::string file;
    std::string text;
    CheckReport report;
    std::string notice;
  };
  std::vector<ShownFindings> findings_shown;
  std::vector<std::string> findings_notices;
  bool unloaded = false;
  // Called inside RepaintNow, as the real window would run pending events.
  std::function<void()> on_repaint;

  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

  const WindowView& View() const { return view_; }
  std::string Caption(Control c) const {
    auto it = view_.captions.find(c);
    return it == view_.captions.end() ? std::string() : it->second;
  }
  bool Visible(Control c) const { return view_.visible.at(c); }
  bool MenuEnabled(Menu m) const {
    switch (m) {
      case Menu::mnuFileOpen: return view_.open_enabled;
      case Menu::mnuFileSave: return view_.save_enabled;
      case Menu::mnuCheck: break;
    }
    return view_.check_enabled;
  }
  const std::vector<std::string>& List() const { return view_.list; }

  // WindowOps.
  void SetCaption(Control control, std::string_view text) override {
    Record("SetCaption " + std::string(ControlName(control)) + " " + std::string(text));
    view_.captions[control] = std::string(text);
  }
  void SetCaptionWithPath(Control control, std::string_view before, std::string_view path,
                          std::string_view after) override {
    Record("SetCaptionWithPath " + std::string(ControlName(control)) + " " + std::string(before) + "[" +
           std::string(path) + "]" + std::string(after));
    view_.captions[control] = std::string(before) + std::string(path) + std::string(after);
  }
  void ShowRefusal(std::string_view before, std::string_view path, std::string_view after) override {
    view_.refusal = std::string(before) + std::string(path) + std::string(after);
    Record("ShowRefusal " + view_.refusal);
  }
  void HideRefusal() override {
    Record("HideRefusal");
    view_.refusal.clear();
  }
  void SetMenuEnabled(Menu menu, bool enabled) override {
    Record("SetMenuEnabled " + std::string(MenuName(menu)) + (enabled ? " 1" : " 0"));
    MenuState(menu) = enabled;
  }
  void SetVisible(Control control, bool visible) override {
    Record("SetVisible " + std::string(ControlName(control)) + (visible ? " 1" : " 0"));
    view_.visible[control] = visible;
  }
  void ClearList() override {
    Record("ClearList");
    view_.list.clear();
  }
  void AppendListLines(std::span<const std::string> lines) override {
    Record("AppendListLines " + std::to_string(lines.size()));
    view_.list.insert(view_.list.end(), lines.begin(), lines.end());
  }
  std::size_t ListLineCount() const override { return view_.list.size(); }
  std::string ListLine(std::size_t index) const override {
    return index < view_.list.size() ? view_.list[index] : std::string();
  }
  void SetProgress(int value) override {
    Record("SetProgress " + std::to_string(value));
    view_.progress = value;
  }
  int Progress() const override { return view_.progress; }
  void RepaintNow() override {
    Record("RepaintNow");
    if (on_repaint) on_repaint();
  }
  std::optional<std::string> ShowOpenDialog(const DialogSettings& settings) override {
    Record("ShowOpenDialog");
    open_settings.push_back(settings);
    return Next(open_answers);
  }
  std::optional<std::string> ShowSaveDialog(const DialogSettings& settings) override {
    Record("ShowSaveDialog");
    save_settings.push_back(settings);
    return Next(save_answers);
  }
  void ShowFindings(const FindingsView& view) override {
    const CheckSummary& s = view.report.summary;
    Record("ShowFindings " + std::to_string(s.errors) + " " + std::to_string(s.warnings) + " " +
           std::to_string(s.notes) + (view.notice.empty() ? "" : " " + view.notice));
    findings_shown.push_back({view.file, std::string(view.text), view.report, view.notice});
  }
  void ShowFindingsNotice(std::string_view text) override {
    Record("ShowFindingsNotice " + std::string(text));
    findings_notices.emplace_back(text);
  }
  void ShowHelp(const std::string& help_file) override {
    Record("ShowHelp " + help_file);
    help_shown.push_back(help_file);
  }
  void ShowAbout(const AboutInfo& about) override {
    Record("ShowAbout");
    about_shown.push_back(about);
  }
  std::string ProgramFolder() const override { return program_folder; }
  std::string HelpFileName() const override { return help_file_name_; }
  void SetHelpFileName(std::string_view name) override {
    Record("SetHelpFileName " + std::string(name));
    help_file_name_ = std::string(name);
  }
  void Unload() override {
    Record("Unload");
    unloaded = true;
  }

 private:
  bool& MenuState(Menu menu) {
    switch (menu) {
      case Menu::mnuFileOpen: return view_.open_enabled;
      case Menu::mnuFileSave: return view_.save_enabled;
      case Menu::mnuCheck: break;
    }
    return view_.check_enabled;
  }
  void Record(std::string call) { calls_.push_back(std::move(call)); }
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers) {
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  }

  std::vector<std::string> calls_;
  WindowView view_;
  std::string help_file_name_ = "/usr/share/zelo-score/ZELO.hlp";
};

}  // namespace zelo::fakes
