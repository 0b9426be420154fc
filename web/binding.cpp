// The core for the web page (Embind): Form1, the window's own workflow, with
// the page as its window. PageWindow implements WindowOps by calling a
// JavaScript object of the page's worker (worker.js), which passes what
// changes the screen on to the page and answers the dialogs with the files
// the page handed over. Every caption, prompt, report line, band view,
// listing byte and finding comes from here; the page only shows them.
//
// Lines go to JavaScript as bytes (one Uint8Array and the end offset of each
// line): the worker decodes them for display (DisplayText where they are not
// all UTF-8), and the list's own bytes stay here, so that File/Save writes
// exactly what the log held.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "app/window_ops.h"
#include "check/finding_groups.h"
#include "check/log_check.h"
#include "input/line_ends.h"
#include "views/display_text.h"

namespace zelo::web {
namespace {

using emscripten::val;

// A copy of `bytes` as a JavaScript Uint8Array (a view into WebAssembly
// memory would go stale when the memory grows).
val CopyToJs(std::string_view bytes) {
  return val(emscripten::typed_memory_view(bytes.size(), bytes.data())).call<val>("slice");
}

// {bytes, ends, ascii}: the lines joined, where each line ends in `bytes`,
// and whether every byte is ASCII (so that offsets in bytes and in the
// decoded text agree).
val LinesToJs(std::span<const std::string> lines) {
  std::string joined;
  std::vector<std::uint32_t> ends;
  ends.reserve(lines.size());
  for (const std::string& line : lines) {
    joined += line;
    ends.push_back(static_cast<std::uint32_t>(joined.size()));
  }
  const bool ascii = std::all_of(joined.begin(), joined.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  val out = val::object();
  out.set("bytes", CopyToJs(joined));
  out.set("ends", val(emscripten::typed_memory_view(ends.size(), ends.data())).call<val>("slice"));
  out.set("ascii", ascii);
  return out;
}

val DialogToJs(const DialogSettings& settings) {
  val out = val::object();
  out.set("title", settings.title);
  out.set("filterDescription", settings.filter_description);
  out.set("filterPattern", settings.filter_pattern);
  out.set("initialName", settings.initial_name);
  return out;
}

// The most findings of a log check the page lists at once (all are counted,
// and all are in the findings' text).
constexpr std::size_t kMostFindings = 1000;

// The findings of `severity` ("error", "warning", "note"; empty: all), the
// first kMostFindings of them: {findings: [{line, severity, code, message,
// later}], groups: [{code, more}], matching, errors, warnings, notes,
// effect}. A finding after the first kShownPerCode of its code is `later`:
// the page shows it once its group's `more` line ("N more like line L
// ...") is chosen. Messages may quote the log: they come as the page shows
// log text.
val FindingsToJs(const CheckReport& report, const std::string& severity) {
  std::vector<bool> later(report.findings.size(), false);
  val groups = val::array();
  for (const FindingGroup& group : GroupFindings(report)) {
    if (!severity.empty() && SeverityName(group.severity) != severity) continue;
    for (std::size_t k = kShownPerCode; k < group.findings.size(); ++k) later[group.findings[k]] = true;
    const std::string more = MoreLikeThis(report, group);
    if (more.empty()) continue;
    val item = val::object();
    item.set("code", std::string(group.code));
    item.set("more", more);
    groups.call<void>("push", item);
  }
  val findings = val::array();
  std::size_t matching = 0;
  for (std::size_t i = 0; i < report.findings.size(); ++i) {
    const Finding& finding = report.findings[i];
    const std::string_view name = SeverityName(finding.severity);
    if (!severity.empty() && name != severity) continue;
    if (++matching > kMostFindings) continue;
    val item = val::object();
    item.set("line", static_cast<double>(finding.line));
    item.set("severity", std::string(name));
    item.set("code", std::string(finding.code));
    item.set("message", DisplayUtf8(finding.message));
    item.set("later", static_cast<bool>(later[i]));
    findings.call<void>("push", item);
  }
  val out = val::object();
  out.set("findings", findings);
  out.set("groups", groups);
  out.set("matching", static_cast<double>(matching));
  out.set("errors", static_cast<double>(report.summary.errors));
  out.set("warnings", static_cast<double>(report.summary.warnings));
  out.set("notes", static_cast<double>(report.summary.notes));
  out.set("effect", EffectText(report.summary.effect));
  return out;
}

// Every finding as a line "FILE:LINE: severity: message", the form
// compilers and zelo-score --check use, each ended by LF; log bytes as they are.
val FindingsText(const CheckReport& report, const std::string& file) {
  std::string text;
  for (const Finding& finding : report.findings) text += FindingLine(file, finding) + "\n";
  return CopyToJs(text);
}

// Lines `line` - `around` to `line` + `around` of `text` (those there are),
// as the window shows log bytes: {first, lines: [text]}.
val LogLinesToJs(std::string_view text, std::int64_t line, std::int64_t around) {
  val lines = val::array();
  std::int64_t first = 0;
  LineReader reader(text);
  while (const std::optional<TextLine> next = reader.Next()) {
    if (next->number < line - around) continue;
    if (next->number > line + around) break;
    if (first == 0) first = next->number;
    lines.call<void>("push", DisplayUtf8(next->text));
  }
  val out = val::object();
  out.set("first", static_cast<double>(first));
  out.set("lines", lines);
  return out;
}

std::optional<std::string> Answer(const val& answer) {
  if (answer.isNull() || answer.isUndefined()) return std::nullopt;
  return answer.as<std::string>();
}

}  // namespace

// WindowOps over a JavaScript object with a method of the same name for each
// operation. The list's lines, the progress value and the help file name are
// kept here too, so that Form1's queries are answered at once and Save reads
// back the very bytes it gave. Texts that may quote a log go out as the
// window shows them (DisplayUtf8).
class PageWindow : public WindowOps {
 public:
  explicit PageWindow(val page) : page_(std::move(page)) {}

  void SetCaption(Control control, std::string_view text) override {
    page_.call<void>("SetCaption", std::string(ControlName(control)), DisplayUtf8(text));
  }
  void SetCaptionWithPath(Control control, std::string_view before, std::string_view path,
                          std::string_view after) override {
    page_.call<void>("SetCaptionWithPath", std::string(ControlName(control)), DisplayUtf8(before), std::string(path),
                     DisplayUtf8(after));
  }
  void SetMenuEnabled(Menu menu, bool enabled) override {
    page_.call<void>("SetMenuEnabled", std::string(MenuName(menu)), enabled);
  }
  void SetVisible(Control control, bool visible) override {
    page_.call<void>("SetVisible", std::string(ControlName(control)), visible);
  }
  // The page shows "NAME: REASON"; the reason is what follows the path.
  void ShowRefusal(std::string_view before, std::string_view path, std::string_view after) override {
    if (after.starts_with(": ")) after.remove_prefix(2);
    page_.call<void>("ShowRefusal", std::string(path), DisplayUtf8(std::string(before) + std::string(after)));
  }
  void HideRefusal() override { page_.call<void>("HideRefusal"); }

  void ClearList() override {
    lines_.clear();
    page_.call<void>("ClearList");
  }
  void AppendListLines(std::span<const std::string> lines) override {
    lines_.insert(lines_.end(), lines.begin(), lines.end());
    page_.call<void>("AppendListLines", LinesToJs(lines));
  }
  std::size_t ListLineCount() const override { return lines_.size(); }
  std::string ListLine(std::size_t index) const override {
    return index < lines_.size() ? lines_[index] : std::string();
  }

  void SetProgress(int value) override {
    progress_ = value;
    page_.call<void>("SetProgress", value);
  }
  int Progress() const override { return progress_; }
  // Nothing to do: each call reaches the page as it is made, and the page
  // draws on a thread of its own.
  void RepaintNow() override {}

  std::optional<std::string> ShowOpenDialog(const DialogSettings& settings) override {
    return Answer(page_.call<val>("ShowOpenDialog", DialogToJs(settings)));
  }
  std::optional<std::string> ShowSaveDialog(const DialogSettings& settings) override {
    return Answer(page_.call<val>("ShowSaveDialog", DialogToJs(settings)));
  }

  // The report is kept, as a window keeps what it shows, for the page to
  // filter, copy and download.
  void ShowFindings(const FindingsView& view) override {
    report_ = view.report;
    page_.call<void>("ShowFindings", FindingsToJs(report_, ""));
  }
  // The page's findings are downloaded, never saved through a dialog.
  void ShowFindingsNotice(std::string_view) override {}
  const CheckReport& Report() const { return report_; }
  void ShowHelp(const std::string& help_file) override { page_.call<void>("ShowHelp", help_file); }
  void ShowAbout(const AboutInfo& about) override {
    val info = val::object();
    info.set("name", about.name);
    info.set("version", about.version);
    info.set("description", about.description);
    page_.call<void>("ShowAbout", info);
  }

  std::string ProgramFolder() const override { return page_.call<std::string>("ProgramFolder"); }
  std::string HelpFileName() const override { return help_file_name_; }
  void SetHelpFileName(std::string_view name) override { help_file_name_ = std::string(name); }
  void Unload() override { page_.call<void>("Unload"); }

 private:
  val page_;
  std::vector<std::string> lines_;
  int progress_ = 0;
  std::string help_file_name_;
  CheckReport report_;
};

// One run of the workflow: Form1 and its window, made together.
class Page {
 public:
  explicit Page(val window_ops) : window_(std::move(window_ops)), form_(window_) {}
  Form1& Form() { return form_; }
  const CheckReport& Findings() const { return window_.Report(); }

 private:
  PageWindow window_;
  Form1 form_;
};

namespace {

template <void (Form1::*Handler)()>
void Run(Page& page) {
  (page.Form().*Handler)();
}

int WorkflowStep(Page& page) { return page.Form().WorkflowStep(); }
void LogDropped(Page& page, const std::string& path) { page.Form().LogDropped(path); }

// The numbers of the last scoring run, {qsos, mults, score}; null before it.
val Result(Page& page) {
  const std::optional<ScoreResult>& run = page.Form().LastRun();
  if (!run) return val::null();
  val out = val::object();
  out.set("qsos", static_cast<double>(run->total_qsos));
  out.set("mults", static_cast<double>(run->total_mults));
  out.set("score", static_cast<double>(run->final_score));
  return out;
}

val Findings(Page& page, const std::string& severity) { return FindingsToJs(page.Findings(), severity); }
val FindingsTextOf(Page& page, const std::string& file) { return FindingsText(page.Findings(), file); }
val LogLines(Page& page, double line) {
  return LogLinesToJs(page.Form().LogText(), static_cast<std::int64_t>(line), 2);
}

// The start button's caption before the first press (the window's design).
std::string StartCaption() { return std::string(kStartCaption); }

// Log text as the window shows it, in UTF-8: valid UTF-8 sequences as they
// are, every other byte as the Latin-1 character of its value.
std::string DisplayText(const std::string& bytes) { return DisplayUtf8(bytes); }

}  // namespace

EMSCRIPTEN_BINDINGS(zelo) {
  emscripten::class_<Page>("Page")
      .constructor<val>()
      .function("cmdCommand1_Click", &Run<&Form1::cmdCommand1_Click>)
      .function("mnuFileOpen_Click", &Run<&Form1::mnuFileOpen_Click>)
      .function("mnuFileSave_Click", &Run<&Form1::mnuFileSave_Click>)
      .function("mnuHelp_Click", &Run<&Form1::mnuHelp_Click>)
      .function("mnuAbout_Click", &Run<&Form1::mnuAbout_Click>)
      .function("mnuCheck_Click", &Run<&Form1::mnuCheck_Click>)
      .function("Option160_Click", &Run<&Form1::Option160_Click>)
      .function("Option80_Click", &Run<&Form1::Option80_Click>)
      .function("Option40_Click", &Run<&Form1::Option40_Click>)
      .function("Option20_Click", &Run<&Form1::Option20_Click>)
      .function("Option15_Click", &Run<&Form1::Option15_Click>)
      .function("Option10_Click", &Run<&Form1::Option10_Click>)
      .function("optnSum_Click", &Run<&Form1::optnSum_Click>)
      .function("LogDropped", &LogDropped)
      .function("WorkflowStep", &WorkflowStep)
      .function("Result", &Result)
      .function("Findings", &Findings)
      .function("FindingsText", &FindingsTextOf)
      .function("LogLines", &LogLines);
  emscripten::function("StartCaption", &StartCaption);
  emscripten::function("DisplayText", &DisplayText);
}

}  // namespace zelo::web
