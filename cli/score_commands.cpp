#include "cli/score_commands.h"

#include <algorithm>
#include <array>
#include <optional>

#include "cli/cli_output.h"
#include "cli/json_output.h"
#include "cli/loaded_log.h"
#include "cli/output_lines.h"
#include "io/safe_save.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "views/band_view.h"
#include "views/listing.h"

namespace zelo {
namespace {

// A LOG or an -o FILE given as "-": standard input, standard output.
constexpr std::string_view kStandardOutput = "-";

struct TableRow {
  bool scored = false;
  std::string call;
  std::int64_t qsos = 0, mults = 0, score = 0;
  std::string file;
  std::string reason;
};

// The listing, each line ended by CR LF and one empty line last, on standard output.
int PrintListing(const std::vector<std::string>& listing, std::ostream& out, std::ostream& err,
                 const CliStreams& streams) {
  OutputLines lines(out);
  for (const std::string& line : listing) lines.Line(Shown(line, streams.out_is_terminal) + '\r');
  lines.Line("\r");
  return lines.Finish(err) ? kExitScored : kExitRejected;
}

int SaveTo(const std::string& output, const std::vector<std::string>& listing, const LoadedLog& log,
           std::ostream& err, const CliStreams& streams) {
  std::vector<FileIdentity> logs;
  if (log.identity) logs.push_back(*log.identity);
  const SaveResult saved = SaveListing(output, ListingBytes(listing), logs);
  if (saved.ok) return kExitScored;
  err << kListingNotSaved << Shown(saved.reason, streams.err_is_terminal) << '\n';
  return kExitRejected;
}

void PrintTable(const std::vector<TableRow>& rows, OutputLines& lines) {
  using Cells = std::array<std::string, 5>;  // call, QSOs, mults, score, file
  std::vector<Cells> cells{{"Call", "QSOs", "Mults", "Score", "File"}};
  for (const TableRow& row : rows) {
    if (row.scored) {
      cells.push_back({row.call, std::to_string(row.qsos), std::to_string(row.mults), std::to_string(row.score),
                       row.file});
    } else {
      cells.push_back({"-", "-", "-", "-", row.file + " (not scored: " + row.reason + ")"});
    }
  }
  std::array<std::size_t, 4> width{};
  for (const Cells& c : cells) {
    for (std::size_t i = 0; i < width.size(); ++i) width[i] = std::max(width[i], DisplayLength(c[i]));
  }
  for (const Cells& c : cells) {
    lines.Line(PadRight(c[0], width[0]) + "  " + PadLeft(c[1], width[1]) + "  " + PadLeft(c[2], width[2]) + "  " +
               PadLeft(c[3], width[3]) + "  " + c[4]);
  }
}

}  // namespace

int RunScore(const std::string& path, const std::string& band, const std::string& output, std::ostream& out,
             std::ostream& err, const CliStreams& streams) {
  const LoadedLog log = LoadLog(path, streams);
  if (!log.ok) {
    TellRejected(err, path, log.reason);
    return kExitRejected;
  }
  const ScoreResult result = ScoreLog(log.bytes);
  std::vector<std::string> listing;
  if (const std::optional<Band> chosen = BandFromName(band)) {
    listing = BandViewLines(*chosen, result.Tally(*chosen).calls);
  } else {
    listing = WriteReport(result);
  }
  if (output == kStandardOutput) return PrintListing(listing, out, err, streams);
  if (!output.empty()) return SaveTo(output, listing, log, err, streams);
  OutputLines lines(out);
  for (const std::string& line : listing) lines.Line(Shown(line, streams.out_is_terminal));
  return lines.Finish(err) ? kExitScored : kExitRejected;
}

int RunJson(const std::vector<std::string>& logs, std::ostream& out, std::ostream& err, const CliStreams& streams) {
  OutputLines lines(out);
  int status = kExitScored;
  for (const std::string& path : logs) {
    Json object;
    object["file"] = JsonText(LogName(path));
    const LoadedLog log = LoadLog(path, streams);
    if (!log.ok) {
      TellRejected(err, path, log.reason);
      status = kExitRejected;
      object["error"] = JsonText(log.reason);
    } else {
      const ScoreResult result = ScoreLog(log.bytes);
      object["call"] = JsonText(result.my_call);
      Json bands = Json::array();
      for (Band band : kBands) {
        bands.push_back(
            {{"band", std::string(BandName(band))}, {"qsos", result.BandCount(band)}, {"mults", result.MultCount(band)}});
      }
      object["bands"] = std::move(bands);
      object["qsos"] = result.total_qsos;
      object["mults"] = result.total_mults;
      object["score"] = result.final_score;
    }
    lines.Line(JsonLine(object, streams.out_is_terminal));
  }
  return lines.Finish(err) ? status : kExitRejected;
}

int RunTable(const std::vector<std::string>& logs, std::ostream& out, std::ostream& err, const CliStreams& streams) {
  std::vector<TableRow> rows;
  int status = kExitScored;
  for (const std::string& path : logs) {
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
  OutputLines lines(out);
  PrintTable(rows, lines);
  return lines.Finish(err) ? status : kExitRejected;
}

}  // namespace zelo
