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

#include "cli/check_command.h"
#include "cli/cli_output.h"
#include "cli/cross_check_command.h"
#include "cli/output_lines.h"
#include "input/line_ends.h"
#include "input/log_file.h"
#include "scoring/qso_fields.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "views/band_view.h"
#include "io/safe_save.h"
#include "views/listing.h"
#include "zelo/version.h"

namespace zelo {
namespace {

constexpr std::size_t kShownRecordBytes = 60;
// A LOG or an -o FILE given as "-": standard input, standard output.
constexpr std::string_view kStandardInput = "-";
constexpr std::string_view kStandardOutput = "-";
constexpr std::string_view kStandardInputName = "(standard input)";

constexpr std::string_view kFooter = R"(With one LOG, zelo-score prints the score report, or with --band that
band's numbered list of stations. With -o FILE it saves that listing to FILE
instead (CR LF after each line, then one empty line); FILE is replaced only
once the listing is wholly written, and never when it is the LOG itself;
with -o - the listing goes to standard output. A LOG given as - is read
from standard input.
--explain tells, line by line, what became of each QSO: record.

With several LOGs it prints a results table, best score first; logs that
cannot be scored come last, with the reason.

--json prints one JSON object per LOG, one per line, for any number of LOGs.
-o, --band and --explain need exactly one LOG. --json goes with none of -o,
--band or --explain, and --explain goes with neither -o nor --band.

Exit status: 0 every LOG was scored; 1 a LOG was rejected or unreadable, or
the listing or the output could not be written; 2 the command line is wrong.

--check checks each LOG before it is sent: one line per finding,
FILE:LINE: error|warning|note: message, then a summary line per LOG; with
--json one JSON object per LOG. It goes with none of -o, --band or --explain.
Its exit status: 0 no LOG has an error; 1 a LOG has an error or is
unreadable, or the output could not be written; 2 the command line is wrong.

--cross-check scores every LOG (a folder stands for the files in it) and
checks each contact against the other station's log, within --time-window
minutes (10 unless given): a results table per category, or with --json one
JSON object per LOG with the status of every contact. --report-dir DIR adds
a checking report per LOG and results.csv; --html DIR a results site.
)";

struct Options {
  std::vector<std::string> logs;
  std::string band;
  std::string output;
  bool json = false;
  bool explain = false;
  bool check = false;
};

// A log read whole and checked. Scoring results view into `bytes`, so a
// LoadedLog must outlive them.
struct LoadedLog {
  bool ok = false;
  std::string bytes;
  std::string reason;  // why it is not scored, when !ok
  std::optional<FileIdentity> identity;  // of a log that is a regular file
};

// A LOG given as "-" is standard input; a FIFO or a pipe (`<(cat log)`) is
// read to its end like a file.
LoadedLog LoadLog(const std::string& path, const CliStreams& streams) {
  FileRead read = ReadLogBytes(path, streams);
  if (!read.ok) return {false, {}, std::move(read.error), std::nullopt};
  HeaderCheck header = CheckLogHeader(read.bytes);
  if (!header.valid) return {false, {}, std::move(header.reason), std::nullopt};
  return {true, std::move(read.bytes), {}, read.identity};
}

// How a LOG is named in messages and the results table.
std::string ShownName(const std::string& path) {
  return TerminalSafe(path == kStandardInput ? std::string(kStandardInputName) : path);
}

// The reason may quote the start of the file, whatever bytes it holds.
void TellRejected(std::ostream& err, const std::string& path, const std::string& reason) {
  err << kInvalidLogMessage << ": " << ShownName(path) << ": " << TerminalSafe(reason) << '\n';
}

// Log bytes (or a path) as printed: escaped on a terminal, else as they are.
std::string Shown(std::string_view text, bool terminal) {
  return terminal ? TerminalSafe(text) : std::string(text);
}

// A JSON line made safe for a terminal: the controls that JSON leaves
// unescaped (DEL and the C1 controls) escaped the JSON way, so that the line
// still means the same.
std::string JsonForTerminal(std::string_view json) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string safe;
  safe.reserve(json.size());
  for (std::size_t i = 0; i < json.size(); ++i) {
    const auto c = static_cast<unsigned char>(json[i]);
    unsigned code = 0x100;  // none
    if (c == 0x7F) {
      code = c;
    } else if (c == 0xC2 && i + 1 < json.size() && static_cast<unsigned char>(json[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(json[i + 1]) <= 0x9F) {
      code = static_cast<unsigned char>(json[++i]);
    }
    if (code == 0x100) {
      safe += static_cast<char>(c);
    } else {
      safe += "\\u00";
      safe += kHex[code >> 4];
      safe += kHex[code & 0xF];
    }
  }
  return safe;
}

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
int RunOneLog(const Options& options, std::ostream& out, std::ostream& err, const CliStreams& streams) {
  const std::string& path = options.logs.front();
  const LoadedLog log = LoadLog(path, streams);
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
  if (options.output == kStandardOutput) {
    // The listing's bytes, each line ended by CR LF and one empty line last.
    for (const std::string& line : listing) lines.Line(Shown(line, streams.out_is_terminal) + '\r');
    lines.Line("\r");
    return lines.Finish(err) ? kExitScored : kExitRejected;
  }
  if (!options.output.empty()) {
    std::vector<FileIdentity> logs;
    if (log.identity) logs.push_back(*log.identity);
    const SaveResult saved = SaveListing(options.output, ListingBytes(listing), logs);
    if (!saved.ok) {
      err << kListingNotSaved << Shown(saved.reason, streams.err_is_terminal) << '\n';
      return kExitRejected;
    }
    return kExitScored;
  }
  for (const std::string& line : listing) lines.Line(Shown(line, streams.out_is_terminal));
  return lines.Finish(err) ? kExitScored : kExitRejected;
}

// One JSON object per log, one per line, in the order given.
int RunJson(const Options& options, std::ostream& out, std::ostream& err, const CliStreams& streams) {
  OutputLines lines(out);
  int status = kExitScored;
  for (const std::string& path : options.logs) {
    nlohmann::ordered_json object;
    object["file"] = path;
    const LoadedLog log = LoadLog(path, streams);
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
    const std::string json = object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    lines.Line(streams.out_is_terminal ? JsonForTerminal(json) : json);
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

// The results table of several logs: best score first, ties in the order
// given, then the logs that were not scored.
int RunTable(const Options& options, std::ostream& out, std::ostream& err, const CliStreams& streams) {
  std::vector<TableRow> rows;
  int status = kExitScored;
  for (const std::string& path : options.logs) {
    TableRow row;
    row.file = ShownName(path);
    const LoadedLog log = LoadLog(path, streams);
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

// A usage error, told the way the parser tells its own. The message may
// quote the command line, whose bytes a terminal could act on.
int UsageError(std::ostream& err, std::string_view message, const CliStreams& streams) {
  err << (streams.err_is_terminal ? TerminalSafe(message) : std::string(message))
      << "\nRun with --help for more information.\n";
  return kExitUsage;
}

// The options before "--", where the parser looks for them.
std::vector<std::string_view> OptionWords(int argc, const char* const* argv) {
  std::vector<std::string_view> words;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") break;
    words.push_back(arg);
  }
  return words;
}

bool LooksLikeOption(std::string_view arg) { return arg.size() > 1 && arg.front() == '-'; }

// An option given as "--name=" (or "-o=") with nothing after the "=": the
// parser would take the next argument as its value (a log as the output file).
std::optional<std::string> EmptyValueGiven(int argc, const char* const* argv) {
  for (const std::string_view arg : OptionWords(argc, argv)) {
    const bool long_or_short = arg.starts_with("--") || arg.size() == 3;
    if (LooksLikeOption(arg) && long_or_short && arg.find('=') == arg.size() - 1) {
      return std::string(arg.substr(0, arg.size() - 1));
    }
  }
  return std::nullopt;
}

// The complaint about an option that takes a value but is given last or
// followed by another option.
std::optional<std::string> ValueMissing(int argc, const char* const* argv) {
  const std::vector<std::string_view> words = OptionWords(argc, argv);
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i + 1 < words.size() && !LooksLikeOption(words[i + 1])) continue;
    const std::string name(words[i]);
    if (name == "-o" || name == "--output") return name + " needs a FILE after it";
    if (name == "--band") return name + " needs a BAND after it: 160, 80, 40, 20, 15 or 10";
  }
  return std::nullopt;
}

// The first argument that looked like an option but is none of ours.
std::optional<std::string> UnknownOption(const CLI::App& app) {
  for (const std::string& arg : app.remaining()) {
    if (!LooksLikeOption(arg) || arg == "--") continue;
    return std::string(kProgram) + " has no option " + arg.substr(0, arg.find('='));
  }
  return std::nullopt;
}

}  // namespace

FileRead ReadLogBytes(const std::string& path, const CliStreams& streams) {
  return path == kStandardInput ? ReadStream(streams.in_fd) : ReadWholeFile(path, ReadMode::kStreamsToo);
}

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

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err, const CliStreams& streams) {
  if (const std::optional<std::string> empty = EmptyValueGiven(argc, argv)) {
    return UsageError(err, *empty + ": the value after = is empty", streams);
  }
  if (const std::optional<std::string> missing = ValueMissing(argc, argv)) return UsageError(err, *missing, streams);
  Options options;
  CLI::App app("Scores ZELO Razezuz contest logs (Cabrillo).", std::string(kProgram));
  app.footer(std::string(kFooter));
  // Unknown options are told by name below, before a missing LOG.
  app.allow_extras();
  app.set_version_flag("--version", std::string(kProgram) + " " + std::string(kVersion), "Print the version and exit");
  app.add_option("LOG", options.logs, "Cabrillo log file(s) to score")->type_name("FILE")->required();
  // Given twice, an option is told by name below, not by the parser.
  CLI::Option* band = app.add_option("--band", options.band, "Show that band's list of stations, not the report")
                          ->type_name("BAND")
                          ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
                          ->check(CLI::IsMember({"160", "80", "40", "20", "15", "10"}));
  CLI::Option* output =
      app.add_option("-o,--output", options.output, "Save the listing to FILE instead of printing it")
          ->type_name("FILE")
          ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  CLI::Option* json = app.add_flag("--json", options.json, "Print one JSON object per log");
  CLI::Option* explain =
      app.add_flag("--explain", options.explain, "Tell what became of each QSO: record, line by line");
  json->excludes(band)->excludes(output)->excludes(explain);
  explain->excludes(band)->excludes(output);
  CrossCheckCommand cross_check;
  bool cross_checking = false;
  CLI::Option* cross =
      app.add_flag("--cross-check", cross_checking, "Check the LOGs (or folders) against each other");
  app.add_option("--time-window", cross_check.time_window_minutes,
                 "With --cross-check: minutes two times may differ")
      ->type_name("MIN")
      ->check(CLI::Range(1, 1440))
      ->needs(cross);
  CLI::Option* report_dir = app.add_option("--report-dir", cross_check.report_dir,
                 "With --cross-check: a report per log, results.csv")
      ->type_name("DIR")
      ->needs(cross);
  CLI::Option* html = app.add_option("--html", cross_check.html_dir, "With --cross-check: the results site into DIR")
      ->type_name("DIR")
      ->needs(cross);
  // --band is refused after parsing: one more name in its help line would not fit.
  cross->excludes(output)->excludes(explain);
  CLI::Option* check =
      app.add_flag("--check", options.check, "List every problem of each log, with its line");
  check->excludes(band)->excludes(output)->excludes(explain);
  cross->excludes(check);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) {
      app.exit(e, out, err);
      return out.flush() ? kExitScored : kExitRejected;
    }
    if (const std::optional<std::string> unknown = UnknownOption(app)) return UsageError(err, *unknown, streams);
    return UsageError(err, e.what(), streams);
  }
  if (const std::optional<std::string> unknown = UnknownOption(app)) return UsageError(err, *unknown, streams);
  for (const CLI::Option* once : {band, output}) {
    if (once->count() > 1) return UsageError(err, once->get_name() + " may be given only once", streams);
  }
  if (output->count() > 0 && options.output.empty()) {
    return UsageError(err, "-o: the file name is empty", streams);
  }
  for (const CLI::Option* folder : {report_dir, html}) {
    if (folder->count() > 0 && folder->as<std::string>().empty()) {
      return UsageError(err, folder->get_name() + ": the folder name is empty", streams);
    }
  }
  if (cross_checking && band->count() > 0) return UsageError(err, "--cross-check excludes --band", streams);
  if (cross_checking) {
    cross_check.logs = options.logs;
    cross_check.json = options.json;
    return RunCrossCheck(cross_check, out, err);
  }

  if (options.logs.size() > 1) {
    for (const CLI::Option* one_log_only : {output, band, explain}) {
      if (one_log_only->count() > 0) {
        return UsageError(err, one_log_only->get_name() + " needs exactly one LOG", streams);
      }
    }
  }
  if (options.check) return RunCheck(options.logs, options.json, out, err, streams);
  if (options.json) return RunJson(options, out, err, streams);
  if (options.logs.size() > 1) return RunTable(options, out, err, streams);
  return RunOneLog(options, out, err, streams);
}

}  // namespace zelo
