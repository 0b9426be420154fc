#include "cli/cli.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "input/line_ends.h"
#include "input/log_file.h"
#include "scoring/qso_fields.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "views/band_view.h"
#include "views/listing.h"
#include "zelo/version.h"

namespace zelo {
namespace {

constexpr std::string_view kProgram = "zelo-score";
constexpr std::size_t kShownRecordBytes = 60;

constexpr std::string_view kFooter = R"(With one LOG, zelo-score prints the score report, or with --band that
band's numbered list of stations. With -o FILE it saves that listing to FILE
instead (CR LF after each line, then one empty line); FILE is replaced only
once the listing is wholly written, and never when it is the LOG itself.
--explain tells, line by line, what became of each QSO: record.

With several LOGs it prints a results table, best score first; logs that
cannot be scored come last, with the reason.

--json prints one JSON object per LOG, one per line, for any number of LOGs.
-o, --band and --explain need exactly one LOG. --json goes with none of -o,
--band or --explain, and --explain goes with neither -o nor --band.

Exit status: 0 every LOG was scored; 1 a LOG was rejected or unreadable, or
the listing or the output could not be written; 2 the command line is wrong.
)";

struct Options {
  std::vector<std::string> logs;
  std::string band;
  std::string output;
  bool json = false;
  bool explain = false;
};

// A log read whole and checked. Scoring results view into `bytes`, so a
// LoadedLog must outlive them.
struct LoadedLog {
  bool ok = false;
  std::string bytes;
  std::string reason;  // why it is not scored, when !ok
};

LoadedLog LoadLog(const std::string& path) {
  FileRead read = ReadWholeFile(path);
  if (!read.ok) return {false, {}, std::move(read.error)};
  HeaderCheck header = CheckLogHeader(read.bytes);
  if (!header.valid) return {false, {}, std::move(header.reason)};
  return {true, std::move(read.bytes), {}};
}

// The reason may quote the start of the file, whatever bytes it holds.
void TellRejected(std::ostream& err, const std::string& path, const std::string& reason) {
  err << kInvalidLogMessage << ": " << TerminalSafe(path) << ": " << TerminalSafe(reason) << '\n';
}

// Writes lines to the output and remembers the first failure and its reason,
// after which it writes nothing more.
class OutputLines {
 public:
  explicit OutputLines(std::ostream& out) : out_(out) {}

  void Line(std::string_view text) {
    if (failed_) return;
    errno = 0;
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    out_.put('\n');
    if (!out_) Fail();
  }

  // Flushes; false when any write failed, with the message told on `err`.
  bool Finish(std::ostream& err) {
    if (!failed_) {
      errno = 0;
      out_.flush();
      if (!out_) Fail();
    }
    if (!failed_) return true;
    // A reader that stopped early (`zelo-score LOG | head`) is no news.
    if (error_ == EPIPE) return false;
    err << kProgram << ": writing the output failed";
    if (error_ != 0) err << ": " << std::strerror(error_);
    err << '\n';
    return false;
  }

 private:
  void Fail() {
    failed_ = true;
    error_ = errno;
  }

  std::ostream& out_;
  bool failed_ = false;
  int error_ = 0;
};

std::string BandLabel(Band band) { return std::string(BandName(band)) + "M"; }

// Log bytes in double quotes, a quote inside them escaped, so that an empty
// or blank value shows and the value's end is plain.
std::string Quoted(std::string_view bytes) {
  std::string quoted = "\"";
  for (char c : TerminalSafe(bytes)) {
    if (c == '"') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

// The record as shown in a message: without its line end, cut when long.
std::string ShownRecord(std::string_view record) {
  while (!record.empty() && (record.back() == '\n' || record.back() == '\r')) record.remove_suffix(1);
  if (record.size() <= kShownRecordBytes) return Quoted(record);
  return Quoted(record.substr(0, kShownRecordBytes)) + "...";
}

// Tells, for every record of a scoring run, what became of it, in the words
// of the run's own outcome.
class Explainer : public ScoreObserver {
 public:
  Explainer(std::string_view text, OutputLines& lines) : counter_(text), lines_(lines) {}

  void OnRecord(const RecordOutcome& outcome) override {
    const std::int64_t line = counter_.LineOf(outcome.record.offset);
    std::string text = "line " + std::to_string(line) + ": ";
    switch (outcome.outcome) {
      case Outcome::kStored:
        ++stored_;
        text += StoredText(outcome);
        Accept(line);
        break;
      case Outcome::kDuplicate:
        ++repeats_;
        text += "dropped " + Quoted(outcome.call) + ": ";
        if (outcome.repeats) {
          text += "repeats the contact on line " + std::to_string(last_accepted_line_) +
                  " (same call, same band prefix " + Quoted(BandPrefix(outcome.frequency)) + ")";
        } else {
          text += "an empty call with an empty band prefix repeats the empty start of the run";
        }
        break;
      case Outcome::kNoBand:
        ++no_band_;
        text += "stored on no band " + Quoted(outcome.call) + ": frequency " +
                Quoted(outcome.frequency) + " names no band";
        Accept(line);
        break;
      case Outcome::kNotContact:
        ++not_contact_;
        text += "not a contact: " + ShownRecord(outcome.record.text) +
                " has no blank or tab to separate its fields";
        break;
    }
    lines_.Line(text);
  }

  void Summary(const ScoreResult& result) {
    lines_.Line(std::to_string(result.records) + " records: " + std::to_string(stored_) + " stored, " +
                std::to_string(repeats_) + " dropped as repeats, " + std::to_string(no_band_) +
                " on no band, " + std::to_string(not_contact_) + " not a contact; TOTAL QSOS " +
                std::to_string(result.total_qsos) + ", Total MULTS " + std::to_string(result.total_mults) +
                ", FINAL SCORE " + std::to_string(result.final_score));
  }

 private:
  static std::string StoredText(const RecordOutcome& outcome) {
    const std::string band = BandLabel(*outcome.band);
    std::string text = "stored on " + band + " " + Quoted(outcome.call) + ", ";
    switch (outcome.source) {
      case MultiplierSource::kEmptyItem:
        return text + "no multiplier: field 13 is empty";
      case MultiplierSource::kLowReport:
      case MultiplierSource::kNoNumber:
        return text + "no multiplier: field 11 " + Quoted(outcome.fields[kFieldReport]) + " is not above 9";
      case MultiplierSource::kField13:
      case MultiplierSource::kBonus:
        break;
    }
    text += outcome.new_item ? "new multiplier " + Quoted(outcome.item)
                             : "multiplier " + Quoted(outcome.item) + " already counted on " + band;
    if (outcome.source == MultiplierSource::kBonus) text += " (bonus station)";
    return text;
  }

  // A repeat is told against the contact accepted last, stored or on no band.
  void Accept(std::int64_t line) { last_accepted_line_ = line; }

  LineCounter counter_;
  OutputLines& lines_;
  std::int64_t last_accepted_line_ = 0;
  std::int64_t stored_ = 0, repeats_ = 0, no_band_ = 0, not_contact_ = 0;
};

// One log: the report or a band view, printed or saved; or the explanation.
int RunOneLog(const Options& options, std::ostream& out, std::ostream& err) {
  const std::string& path = options.logs.front();
  const LoadedLog log = LoadLog(path);
  if (!log.ok) {
    TellRejected(err, path, log.reason);
    return kExitRejected;
  }
  OutputLines lines(out);
  if (options.explain) {
    Explainer explainer(log.bytes, lines);
    const ScoreResult result = ScoreLog(log.bytes, &explainer);
    explainer.Summary(result);
    return lines.Finish(err) ? kExitScored : kExitRejected;
  }

  ScoreResult result = ScoreLog(log.bytes);
  std::vector<std::string> listing;
  if (const std::optional<Band> band = BandFromName(options.band)) {
    listing = BandViewLines(*band, result.Tally(*band).calls);
  } else {
    listing = WriteReport(result);
  }
  if (!options.output.empty()) {
    const SaveResult saved = SaveListing(options.output, ListingBytes(listing), path);
    if (!saved.ok) {
      err << kListingNotSaved << saved.reason << '\n';
      return kExitRejected;
    }
    return kExitScored;
  }
  for (const std::string& line : listing) lines.Line(line);
  return lines.Finish(err) ? kExitScored : kExitRejected;
}

// One JSON object per log, one per line, in the order given.
int RunJson(const Options& options, std::ostream& out, std::ostream& err) {
  OutputLines lines(out);
  int status = kExitScored;
  for (const std::string& path : options.logs) {
    nlohmann::ordered_json object;
    object["file"] = path;
    const LoadedLog log = LoadLog(path);
    if (!log.ok) {
      TellRejected(err, path, log.reason);
      status = kExitRejected;
      object["error"] = log.reason;
    } else {
      const ScoreResult result = ScoreLog(log.bytes);
      object["call"] = std::string(result.my_call);
      nlohmann::ordered_json bands = nlohmann::ordered_json::array();
      for (Band band : kBands) {
        bands.push_back({{"band", std::string(BandName(band))},
                         {"qsos", result.BandCount(band)},
                         {"mults", result.MultCount(band)}});
      }
      object["bands"] = std::move(bands);
      object["qsos"] = result.total_qsos;
      object["mults"] = result.total_mults;
      object["score"] = result.final_score;
    }
    lines.Line(object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
  }
  return lines.Finish(err) ? status : kExitRejected;
}

struct TableRow {
  bool scored = false;
  std::string call;
  std::int64_t qsos = 0, mults = 0, score = 0;
  std::string file;
  std::string reason;
};

// Columns on a terminal: a UTF-8 character takes one, whatever its bytes.
std::size_t DisplayWidth(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string PadRight(std::string text, std::size_t width) {
  const std::size_t have = DisplayWidth(text);
  if (have < width) text.append(width - have, ' ');
  return text;
}

std::string PadLeft(const std::string& text, std::size_t width) {
  const std::size_t have = DisplayWidth(text);
  return have < width ? std::string(width - have, ' ') + text : text;
}

// The results table of several logs: best score first, ties in the order
// given, then the logs that were not scored.
int RunTable(const Options& options, std::ostream& out, std::ostream& err) {
  std::vector<TableRow> rows;
  int status = kExitScored;
  for (const std::string& path : options.logs) {
    TableRow row;
    row.file = TerminalSafe(path);
    const LoadedLog log = LoadLog(path);
    if (!log.ok) {
      TellRejected(err, path, log.reason);
      status = kExitRejected;
      row.reason = TerminalSafe(log.reason);
    } else {
      const ScoreResult result = ScoreLog(log.bytes);
      row.scored = true;
      row.call = TerminalSafe(result.my_call);
      row.qsos = result.total_qsos;
      row.mults = result.total_mults;
      row.score = result.final_score;
    }
    rows.push_back(std::move(row));
  }
  std::stable_sort(rows.begin(), rows.end(), [](const TableRow& a, const TableRow& b) {
    if (a.scored != b.scored) return a.scored;
    return a.scored && a.score > b.score;
  });

  using Cells = std::array<std::string, 5>;  // call, QSOs, mults, score, file
  std::vector<Cells> cells{{"Call", "QSOs", "Mults", "Score", "File"}};
  for (const TableRow& row : rows) {
    if (row.scored) {
      cells.push_back({row.call, std::to_string(row.qsos), std::to_string(row.mults),
                       std::to_string(row.score), row.file});
    } else {
      cells.push_back({"-", "-", "-", "-", row.file + " (not scored: " + row.reason + ")"});
    }
  }
  std::array<std::size_t, 4> width{};
  for (const Cells& c : cells) {
    for (std::size_t i = 0; i < width.size(); ++i) width[i] = std::max(width[i], DisplayWidth(c[i]));
  }
  OutputLines lines(out);
  for (const Cells& c : cells) {
    lines.Line(PadRight(c[0], width[0]) + "  " + PadLeft(c[1], width[1]) + "  " + PadLeft(c[2], width[2]) +
               "  " + PadLeft(c[3], width[3]) + "  " + c[4]);
  }
  return lines.Finish(err) ? status : kExitRejected;
}

// A usage error found after parsing, told the way the parser tells its own.
int UsageError(std::ostream& err, std::string_view message) {
  err << message << "\nRun with --help for more information.\n";
  return kExitUsage;
}

}  // namespace

std::string TerminalSafe(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string safe;
  safe.reserve(bytes.size());
  const auto hex = [&safe](unsigned char c) {
    safe += "\\x";
    safe += kHex[c >> 4];
    safe += kHex[c & 0xF];
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c == '\t') {
      safe += "\\t";
    } else if (c == '\r') {
      safe += "\\r";
    } else if (c == '\n') {
      safe += "\\n";
    } else if (c == '\\') {
      safe += '\\';
      safe += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      hex(c);
    } else if (c == 0xC2 && i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(bytes[i + 1]) <= 0x9F) {
      // U+0080 to U+009F: the C1 controls, which a terminal may act on.
      hex(c);
      hex(static_cast<unsigned char>(bytes[++i]));
    } else {
      safe += static_cast<char>(c);
    }
  }
  return safe;
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  Options options;
  CLI::App app("Scores ZELO Razezuz contest logs (Cabrillo).", std::string(kProgram));
  app.footer(std::string(kFooter));
  app.set_version_flag("--version", std::string(kProgram) + " " + std::string(kVersion), "Print the version and exit");
  app.add_option("LOG", options.logs, "Cabrillo log file(s) to score")->type_name("FILE")->required();
  CLI::Option* band = app.add_option("--band", options.band, "Show that band's list of stations instead of the report")
                          ->type_name("BAND")
                          ->check(CLI::IsMember({"160", "80", "40", "20", "15", "10"}));
  CLI::Option* output =
      app.add_option("-o,--output", options.output, "Save the listing to FILE instead of printing it")
          ->type_name("FILE");
  CLI::Option* json = app.add_flag("--json", options.json, "Print one JSON object per log");
  CLI::Option* explain =
      app.add_flag("--explain", options.explain, "Tell what became of every QSO: record, line by line");
  json->excludes(band)->excludes(output)->excludes(explain);
  explain->excludes(band)->excludes(output);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e, out, err);
    if (code == 0) return out.flush() ? kExitScored : kExitRejected;
    return kExitUsage;
  }
  if (output->count() > 0 && options.output.empty()) return UsageError(err, "-o: the file name is empty");

  if (options.logs.size() > 1) {
    for (const CLI::Option* one_log_only : {output, band, explain}) {
      if (one_log_only->count() > 0) {
        return UsageError(err, one_log_only->get_name() + " needs exactly one LOG");
      }
    }
  }
  if (options.json) return RunJson(options, out, err);
  if (options.logs.size() > 1) return RunTable(options, out, err);
  return RunOneLog(options, out, err);
}

}  // namespace zelo
