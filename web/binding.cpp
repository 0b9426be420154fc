// The scoring core as the web page sees it (Embind). A Session holds one log
// in WebAssembly memory, the last scoring run over it and the lines the
// page's list shows, so that Save writes exactly those lines. Every text
// the page shows comes from the core: the report, the band views, the
// listing bytes, the header check, the log check's findings and the
// window's prompts.
//
// Lines go to JavaScript as bytes (one Uint8Array and the end offset of each
// line): the page shows them as text (DisplayText where they are not all
// UTF-8), and the listing is built from the bytes themselves.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"
#include "check/log_check.h"
#include "input/log_file.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "views/display_text.h"
#include "views/band_view.h"
#include "views/listing.h"
#include "zelo/version.h"

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
val LinesToJs(const std::vector<std::string>& lines) {
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

// Forwards the run's progress to a JavaScript function, once per new value.
class ProgressForwarder : public ScoreObserver {
 public:
  explicit ProgressForwarder(val on_progress) : on_progress_(std::move(on_progress)) {}
  void OnProgress(int value) override {
    if (value == last_) return;
    last_ = value;
    on_progress_(value);
  }

 private:
  val on_progress_;
  int last_ = -1;
};


// Memory a scoring run needs beyond twice the log's size.
constexpr std::size_t kRunReserve = std::size_t{16} << 20;

}  // namespace

// Log text as the window shows it, in UTF-8: valid UTF-8 sequences as they
// are, every other byte as the Latin-1 character of its value.
std::string DisplayText(const std::string& bytes) { return DisplayUtf8(bytes); }

class Session {
 public:
  // Makes room for a log of `size` bytes, dropping any earlier log and run;
  // returns why not (too big for a log, or no memory for it), empty when done.
  std::string ReserveLog(double size) {
    run_.reset();
    shown_.clear();
    log_ = std::string();
    if (size > static_cast<double>(kMaxLogBytes)) return TooBigReason(static_cast<std::uint64_t>(size));
    const auto bytes = static_cast<std::size_t>(size);
    // Without exceptions a failed allocation would end the module: ask
    // malloc first, which says no instead, leaving room for the run too.
    void* trial = std::malloc(bytes * 2 + kRunReserve);
    if (trial == nullptr) return std::strerror(ENOMEM);
    std::free(trial);
    log_.resize(bytes);
    return {};
  }

  // Where the page copies the log's bytes after ReserveLog.
  std::uintptr_t LogAddress() { return reinterpret_cast<std::uintptr_t>(log_.data()); }

  // Why the log is not a Cabrillo log, as the page shows text; empty when
  // it is one.
  std::string CheckHeader() const { return DisplayText(CheckLogHeader(log_).reason); }

  // Scores the log, telling `on_progress` each new progress value (0 to
  // 100); the list then shows the report, whose lines are returned.
  val Score(val on_progress) {
    ProgressForwarder forwarder(std::move(on_progress));
    run_.reset();
    run_ = ScoreLog(log_, &forwarder);
    return Show(WriteReport(*run_));
  }

  // The view of the band named `band` ("160" ... "10") after a run; the
  // list then shows it. No lines, and the list unchanged, otherwise.
  val ShowBand(const std::string& band) {
    const std::optional<Band> chosen = BandFromName(band);
    if (!run_ || !chosen) return LinesToJs({});
    return Show(BandViewLines(*chosen, run_->Tally(*chosen).calls));
  }

  // The log check's findings, by line, at most `most` of them:
  // {findings: [{line, severity, code, message}], errors, warnings, notes}.
  // Messages may quote the log: they come as the page shows log text.
  val Check(double most) const {
    const CheckReport report = CheckLog(log_);
    val findings = val::array();
    const std::size_t shown = std::min(report.findings.size(), static_cast<std::size_t>(most));
    for (std::size_t i = 0; i < shown; ++i) {
      const Finding& finding = report.findings[i];
      val item = val::object();
      item.set("line", static_cast<double>(finding.line));
      item.set("severity", std::string(SeverityName(finding.severity)));
      item.set("code", std::string(finding.code));
      item.set("message", DisplayText(finding.message));
      findings.call<void>("push", item);
    }
    val out = val::object();
    out.set("findings", findings);
    out.set("errors", static_cast<double>(report.summary.errors));
    out.set("warnings", static_cast<double>(report.summary.warnings));
    out.set("notes", static_cast<double>(report.summary.notes));
    return out;
  }

  // The bytes File/Save writes for what the list shows.
  val Listing() const { return CopyToJs(ListingBytes(shown_)); }

 private:
  val Show(std::vector<std::string> lines) {
    shown_ = std::move(lines);
    return LinesToJs(shown_);
  }

  std::string log_;
  std::optional<ScoreResult> run_;  // points into log_
  std::vector<std::string> shown_;
};

// The window's prompts and the page's limits, for the page to show as they are.
val Texts() {
  val texts = val::object();
  texts.set("start", std::string(kStartCaption));
  texts.set("step1", std::string(kStep1Prompt));
  texts.set("invalidLog", std::string(kInvalidLogPrompt));
  texts.set("working", std::string(kWorkingPrompt));
  texts.set("save", std::string(kSavePrompt));
  texts.set("exit", std::string(kExitPrompt));
  texts.set("maxLogBytes", static_cast<double>(kMaxLogBytes));
  texts.set("version", std::string(kVersion));
  return texts;
}

EMSCRIPTEN_BINDINGS(zelo) {
  emscripten::class_<Session>("Session")
      .constructor<>()
      .function("ReserveLog", &Session::ReserveLog)
      .function("LogAddress", &Session::LogAddress)
      .function("CheckHeader", &Session::CheckHeader)
      .function("Score", &Session::Score)
      .function("ShowBand", &Session::ShowBand)
      .function("Check", &Session::Check)
      .function("Listing", &Session::Listing);
  emscripten::function("Texts", &Texts);
  emscripten::function("DisplayText", &DisplayText);
}

}  // namespace zelo::web
