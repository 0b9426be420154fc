#include "cli/cross_check_command.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <ostream>
#include <string_view>

#include "cli/cli.h"
#include "cli/cli_output.h"
#include "cli/json_output.h"
#include "cli/output_lines.h"
#include "contest/contest.h"
#include "contest/contest_output.h"
#include "input/messages.h"

namespace zelo {
namespace {

constexpr std::string_view kNotChecked = " (not checked: ";
constexpr std::string_view kNoValue = "-";
constexpr std::string_view kReportsNotWritten = "Reports NOT written: ";
constexpr std::string_view kSiteNotWritten = "Results site NOT written: ";

// The four parts that group the results, as one text: "SINGLE-OP ALL LOW CW".
std::string CategoryLabel(const CategoryText& category) {
  std::string label;
  for (CategoryPart part : {CategoryPart::kOperator, CategoryPart::kBand, CategoryPart::kPower, CategoryPart::kMode}) {
    if (category[part].empty()) continue;
    if (!label.empty()) label += ' ';
    label += category[part];
  }
  return label.empty() ? std::string(kNoValue) : label;
}

using Row = std::array<std::string, 12>;
constexpr Row kHeading = {"Call", "Category", "QSOs", "Mults", "Score", "Checked", "Claimed",
                          "NIL", "Busted call", "Busted exch", "Unique", "File"};

Row CheckedRow(const LogCheck& log) {
  const auto count = [&log](ContactStatus status) { return std::to_string(log.Count(status)); };
  return {TerminalSafe(log.call.empty() ? kNoValue : log.call),
          TerminalSafe(CategoryLabel(log.category)),
          std::to_string(log.qsos),
          std::to_string(log.mults),
          std::to_string(log.score),
          std::to_string(log.checked_score),
          log.claimed_score ? std::to_string(*log.claimed_score) : std::string(kNoValue),
          count(ContactStatus::kNil),
          count(ContactStatus::kBustedCall),
          count(ContactStatus::kBustedExchange),
          count(ContactStatus::kUnique),
          TerminalSafe(log.file)};
}

// The table: each category's logs best checked score first, then the check
// logs, then the logs that could not be checked, with the reason.
void PrintTable(const ContestResult& result, OutputLines& lines) {
  std::vector<Row> rows{kHeading};
  for (const CategoryGroup& group : RankByCategory(result)) {
    for (std::size_t i : group.logs) rows.push_back(CheckedRow(result.logs[i]));
  }
  for (const LogCheck& log : result.logs) {
    if (!log.rejected && log.category.checklog) rows.push_back(CheckedRow(log));
  }
  for (const LogCheck& log : result.logs) {
    if (!log.rejected) continue;
    Row row;
    row.fill(std::string(kNoValue));
    row.back() = TerminalSafe(log.file) + std::string(kNotChecked) + TerminalSafe(log.reason) + ")";
    rows.push_back(std::move(row));
  }
  std::array<std::size_t, kHeading.size()> width{};
  for (const Row& row : rows) {
    for (std::size_t c = 0; c + 1 < row.size(); ++c) width[c] = std::max(width[c], DisplayWidth(row[c]));
  }
  for (const Row& row : rows) {
    std::string text;
    for (std::size_t c = 0; c + 1 < row.size(); ++c) {
      text += c < 2 ? PadRight(row[c], width[c]) : PadLeft(row[c], width[c]);
      text += "  ";
    }
    text += row.back();
    lines.Line(text);
  }
}

Json CategoryJson(const CategoryText& c) {
  Json object = Json::object();
  for (const CategoryPartInfo& part : CategoryParts()) {
    if (!c[part.part].empty()) object[std::string(part.name)] = JsonText(c[part.part]);
  }
  return object;
}

Json ContactJson(const ContestResult& result, const ContactCheck& c) {
  Json object;
  object["line"] = c.line;
  object["status"] = std::string(StatusName(c.status));
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
  return object;
}

void PrintJson(const ContestResult& result, bool terminal, OutputLines& lines) {
  for (const LogCheck& log : result.logs) {
    Json object;
    object["file"] = JsonText(log.file);
    if (log.rejected) {
      object["error"] = JsonText(log.reason);
    } else {
      object["call"] = JsonText(log.call);
      object["category"] = CategoryJson(log.category);
      object["score"] = log.score;
      object["checked_score"] = log.checked_score;
      object["claimed_score"] = log.claimed_score ? Json(*log.claimed_score) : Json(nullptr);
      Json contacts = Json::array();
      for (const ContactCheck& c : log.contacts) contacts.push_back(ContactJson(result, c));
      object["contacts"] = std::move(contacts);
    }
    lines.Line(JsonLine(object, terminal));
  }
}

}  // namespace

std::vector<std::string> ContestFiles(const std::vector<std::string>& arguments) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (!fs::is_directory(argument, error)) {
      files.push_back(argument);
      continue;
    }
    std::vector<std::string> inside;
    for (fs::directory_iterator it(argument, error), end; !error && it != end; it.increment(error)) {
      std::error_code kind_error;
      if (it->is_regular_file(kind_error)) inside.push_back(it->path().string());
    }
    if (error) {
      files.push_back(argument);  // refused when read, with the system's reason
      continue;
    }
    std::sort(inside.begin(), inside.end());
    files.insert(files.end(), inside.begin(), inside.end());
  }
  return files;
}

int RunCrossCheck(const CrossCheckCommand& command, std::ostream& out, std::ostream& err, const CliStreams& streams) {
  ContestOptions options;
  options.time_window_minutes = command.time_window_minutes;
  const ContestResult result = CrossCheckContest(ContestFiles(command.logs), options);
  int status = kExitScored;
  for (const LogCheck& log : result.logs) {
    if (!log.rejected) continue;
    err << kInvalidLogMessage << ": " << TerminalSafe(log.file) << ": " << TerminalSafe(log.reason) << '\n';
    status = kExitRejected;
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
    OutputWrite (*write)(const ContestResult&, const std::string&);
    std::string_view not_written;
  };
  for (const Output& output : {Output{command.report_dir, WriteReportDir, kReportsNotWritten},
                               Output{command.html_dir, WriteHtmlSite, kSiteNotWritten}}) {
    if (output.dir.empty()) continue;
    const OutputWrite written = output.write(result, output.dir);
    if (written.ok) continue;
    err << output.not_written << TerminalSafe(written.error) << '\n';
    status = kExitRejected;
  }
  return status;
}

}  // namespace zelo
