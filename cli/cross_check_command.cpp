#include "cli/cross_check_command.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <string_view>
#include <tuple>

#include "cli/cli.h"
#include "cli/cli_output.h"
#include "cli/json_output.h"
#include "cli/output_lines.h"
#include "contest/contest.h"
#include "contest/contest_output.h"
#include "input/messages.h"

namespace zelo {
namespace {

constexpr std::string_view kNoValue = "-";
constexpr std::string_view kReportsNotWritten = "Reports NOT written: ";
constexpr std::string_view kSiteNotWritten = "Results site NOT written: ";

// The statuses as the table heads them, in the order of their columns.
struct StatusColumn {
  ContactStatus status;
  std::string_view heading;
};
constexpr std::array<StatusColumn, kStatusCount> kStatusColumns = {{
    {ContactStatus::kConfirmed, "Conf"},
    {ContactStatus::kBustedExchange, "BExc"},
    {ContactStatus::kBustedCall, "BCal"},
    {ContactStatus::kNil, "NIL"},
    {ContactStatus::kUnique, "Uniq"},
    {ContactStatus::kUnverified, "Unvr"},
    {ContactStatus::kRepeat, "Rep"},
    {ContactStatus::kNoBand, "NoBd"},
    {ContactStatus::kNotContact, "NoQ"},
}};

// Place, call, QSOs, mults, claimed score, score as scored, checked score,
// then the statuses: 94 columns for calls of 10 characters, scores of 7
// digits and counts of 4.
constexpr std::size_t kLeadColumns = 7;
using Row = std::array<std::string, kLeadColumns + kStatusCount>;

Row Heading() {
  Row row = {"Pl", "Call", "QSO", "Mult", "Claim", "Score", "Check"};
  for (std::size_t k = 0; k < kStatusCount; ++k) row[kLeadColumns + k] = kStatusColumns[k].heading;
  return row;
}

Row LogRow(const LogCheck& log, std::string place) {
  Row row = {std::move(place),
             TerminalSafe(log.call.empty() ? kNoValue : log.call),
             std::to_string(log.qsos),
             std::to_string(log.mults),
             log.claimed_score ? std::to_string(*log.claimed_score) : std::string(kNoValue),
             std::to_string(log.score),
             std::to_string(log.checked_score)};
  for (std::size_t k = 0; k < kStatusCount; ++k) {
    row[kLeadColumns + k] = std::to_string(log.Count(kStatusColumns[k].status));
  }
  return row;
}

// "SINGLE-OP NON-ASSISTED ALL LOW CW ONE": the parts a group is told apart by.
std::string GroupLabel(const CategoryText& category) {
  std::string label;
  for (const std::string& part : category.parts) {
    if (part.empty()) continue;
    if (!label.empty()) label += ' ';
    label += part;
  }
  return label.empty() ? std::string(kNoValue) : label;
}

// Rows, and the heading lines between them; a heading line has no cells.
struct TableLine {
  std::string heading;
  Row cells;
};

void PrintLines(const std::vector<TableLine>& table, OutputLines& lines) {
  std::array<std::size_t, std::tuple_size_v<Row>> width{};
  for (const TableLine& line : table) {
    if (!line.heading.empty()) continue;
    for (std::size_t c = 0; c < width.size(); ++c) width[c] = std::max(width[c], DisplayLength(line.cells[c]));
  }
  for (const TableLine& line : table) {
    if (!line.heading.empty()) {
      lines.Line(line.heading);
      continue;
    }
    std::string text;
    for (std::size_t c = 0; c < width.size(); ++c) {
      if (c > 0) text += ' ';
      text += c == 1 ? PadRight(line.cells[c], width[c]) : PadLeft(line.cells[c], width[c]);
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    lines.Line(text);
  }
}

// The table: a heading line per category and its logs in their places,
// then the check logs, then the logs another of the same call replaced.
void PrintTable(const ContestResult& result, OutputLines& lines) {
  std::vector<TableLine> table{{{}, Heading()}};
  for (const CategoryGroup& group : RankByCategory(result)) {
    table.push_back({TerminalSafe(GroupLabel(group.category)) + " (" + std::to_string(group.logs.size()) +
                         (group.logs.size() == 1 ? " log)" : " logs)"),
                     {}});
    for (std::size_t k = 0; k < group.logs.size(); ++k) {
      table.push_back({{}, LogRow(result.logs[group.logs[k]], std::to_string(group.places[k]))});
    }
  }
  std::vector<TableLine> checklogs, superseded;
  for (const LogCheck& log : result.logs) {
    if (log.superseded_by != kNoLog) {
      superseded.push_back(
          {TerminalSafe(log.file) + " is superseded by " + TerminalSafe(result.logs[log.superseded_by].file), {}});
    } else if (log.category.checklog) {
      checklogs.push_back({{}, LogRow(log, std::string(kNoValue))});
    }
  }
  if (!checklogs.empty()) table.push_back({"Check logs", {}});
  table.insert(table.end(), checklogs.begin(), checklogs.end());
  if (!superseded.empty()) table.push_back({"Superseded logs", {}});
  table.insert(table.end(), superseded.begin(), superseded.end());
  PrintLines(table, lines);
}

Json CategoryJson(const CategoryText& c) {
  Json object = Json::object();
  for (const CategoryPartInfo& part : CategoryParts()) {
    if (!c[part.part].empty()) object[std::string(part.name)] = JsonText(c[part.part]);
  }
  return object;
}

// Where the other station logged a nil contact, when not in the window.
Json NearMissJson(const NearMiss& miss) {
  Json object;
  object["line"] = miss.line;
  switch (miss.kind) {
    case NearMiss::Kind::kTime:
      object["kind"] = "time";
      object["minutes"] = miss.minutes;
      break;
    case NearMiss::Kind::kBand:
      object["kind"] = "band";
      if (miss.band) object["band"] = std::stoi(std::string(BandName(*miss.band)));
      break;
    case NearMiss::Kind::kMode:
      object["kind"] = "mode";
      object["mode"] = JsonText(miss.mode);
      break;
    case NearMiss::Kind::kNone:
      break;
  }
  return object;
}

Json ContactJson(const ContestResult& result, const ContactCheck& c) {
  Json object;
  object["line"] = c.line;
  object["status"] = std::string(StatusName(c.status));
  object["counted"] = c.counted;
  if (c.band) object["band"] = std::stoi(std::string(BandName(*c.band)));
  if (c.status != ContactStatus::kNotContact) object["worked_call"] = JsonText(c.worked_call);
  if (c.status == ContactStatus::kBustedCall) object["correct_call"] = JsonText(c.correct_call);
  if (c.other_log != kNoLog) {
    object["other_file"] = JsonText(result.logs[c.other_log].file);
    object["other_line"] = c.other_line;
  }
  if (c.status == ContactStatus::kBustedExchange) {
    object["field"] = c.field;
    object["logged"] = JsonText(c.logged);
    object["sent"] = JsonText(c.sent);
  }
  if (c.near_miss.kind != NearMiss::Kind::kNone) object["near_miss"] = NearMissJson(c.near_miss);
  return object;
}

Json BandsJson(const LogCheck& log) {
  Json bands = Json::array();
  for (Band band : kBands) {
    const std::size_t b = BandIndex(band);
    bands.push_back({{"band", std::stoi(std::string(BandName(band)))},
                     {"qsos", log.bands[b].qsos},
                     {"mults", log.bands[b].mults},
                     {"checked_qsos", log.checked_bands[b].qsos},
                     {"checked_mults", log.checked_bands[b].mults}});
  }
  return bands;
}

Json LogJson(const ContestResult& result, const std::vector<std::int64_t>& place, std::size_t i) {
  const LogCheck& log = result.logs[i];
  Json object;
  object["file"] = JsonText(log.file);
  object["call"] = JsonText(log.call);
  object["category"] = CategoryJson(log.category);
  object["place"] = place[i] > 0 ? Json(place[i]) : Json(nullptr);
  object["checklog"] = log.category.checklog;
  object["superseded_by"] =
      log.superseded_by != kNoLog ? JsonText(result.logs[log.superseded_by].file) : Json(nullptr);
  object["clock_offset"] = log.clock_offset ? Json(*log.clock_offset) : Json(nullptr);
  object["qsos"] = log.qsos;
  object["mults"] = log.mults;
  object["score"] = log.score;
  object["checked_contacts"] = log.checked_qsos;
  object["checked_multipliers"] = log.checked_mults;
  object["checked_score"] = log.checked_score;
  object["claimed_score"] = log.claimed_score ? Json(*log.claimed_score) : Json(nullptr);
  Json statuses = Json::object();
  for (const StatusColumn& column : kStatusColumns) {
    statuses[std::string(StatusName(column.status))] = log.Count(column.status);
  }
  object["statuses"] = std::move(statuses);
  object["bands"] = BandsJson(log);
  Json contacts = Json::array();
  for (const ContactCheck& c : log.contacts) contacts.push_back(ContactJson(result, c));
  object["contacts"] = std::move(contacts);
  return object;
}

void PrintJson(const ContestResult& result, bool terminal, OutputLines& lines) {
  std::vector<std::int64_t> place(result.logs.size(), 0);
  for (const CategoryGroup& group : RankByCategory(result)) {
    for (std::size_t k = 0; k < group.logs.size(); ++k) place[group.logs[k]] = group.places[k];
  }
  for (std::size_t i = 0; i < result.logs.size(); ++i) lines.Line(JsonLine(LogJson(result, place, i), terminal));
  for (const SkippedFile& skipped : result.skipped) {
    Json object;
    object["file"] = JsonText(skipped.path);
    object["error"] = JsonText(skipped.reason);
    lines.Line(JsonLine(object, terminal));
  }
}

// "no logs in DIR" (or in the files named).
std::string NoLogsIn(const std::vector<std::string>& arguments) {
  std::string named;
  for (const std::string& argument : arguments) {
    if (!named.empty()) named += ' ';
    named += TerminalSafe(argument);
  }
  return "no logs in " + named;
}

}  // namespace

int RunCrossCheck(const CrossCheckCommand& command, std::ostream& out, std::ostream& err, const CliStreams& streams) {
  ContestOptions options;
  options.time_window_minutes = command.time_window_minutes;
  options.penalty = command.penalty;
  const ContestResult result = CrossCheckContest(FindContestFiles(command.logs), options);
  int status = kExitScored;
  // Each file that is no log, once, with its reason (and, for a file that
  // is not a log, how it begins).
  for (const SkippedFile& skipped : result.skipped) {
    err << kProgram << ": skipped " << TerminalSafe(skipped.path) << ": " << TerminalSafe(skipped.reason);
    if (!skipped.first_bytes.empty()) err << " (" << TerminalSafe(skipped.first_bytes) << ")";
    err << '\n';
    status = kExitRejected;
  }
  if (result.logs.empty()) {
    err << kProgram << ": " << NoLogsIn(command.logs) << '\n';
    return kExitRejected;
  }
  OutputLines lines(out);
  if (command.json) {
    PrintJson(result, streams.out_is_terminal, lines);
  } else {
    PrintTable(result, lines);
  }
  if (!lines.Finish(err)) status = kExitRejected;
  struct Output {
    const std::string& dir;
    OutputWrite (*write)(const ContestResult&, const std::string&, const std::string&);
    std::string_view not_written;
  };
  for (const Output& output : {Output{command.report_dir, WriteReportDir, kReportsNotWritten},
                               Output{command.html_dir, WriteHtmlSite, kSiteNotWritten}}) {
    if (output.dir.empty()) continue;
    const OutputWrite written = output.write(result, output.dir, command.title);
    if (written.ok) continue;
    err << output.not_written << TerminalSafe(written.error) << '\n';
    status = kExitRejected;
  }
  return status;
}

}  // namespace zelo
