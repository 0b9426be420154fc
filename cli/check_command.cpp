#include "cli/check_command.h"

#include <string_view>

#include "check/finding_groups.h"
#include "check/log_check.h"
#include "cli/cli.h"
#include "cli/json_output.h"
#include "cli/loaded_log.h"
#include "cli/output_lines.h"
#include "input/log_file.h"

namespace zelo {
namespace {

// Each finding as FILE:LINE: severity: message (FILE: for the file as a
// whole), at most kShownPerCode of one code; the rest of each code summed up
// in one line, then the summary.
void WriteText(const std::string& path, const CheckReport& report, OutputLines& lines) {
  const std::string file = ShownName(path);
  const std::vector<FindingGroup> groups = GroupFindings(report);
  std::vector<bool> shown(report.findings.size(), false);
  for (const FindingGroup& group : groups) {
    for (std::size_t k = 0; k < group.findings.size() && k < kShownPerCode; ++k) shown[group.findings[k]] = true;
  }
  for (std::size_t i = 0; i < report.findings.size(); ++i) {
    if (!shown[i]) continue;
    lines.Line(TerminalSafe(FindingLine(LogName(path), report.findings[i])));
  }
  for (const FindingGroup& group : groups) {
    if (const std::string more = MoreLikeThis(report, group); !more.empty()) {
      lines.Line(file + ": " + more + " (--json lists all)");
    }
  }
  lines.Line(file + ": " + CheckSummaryText(report.summary));
}

Json JsonReport(const CheckReport& report) {
  const CheckSummary& s = report.summary;
  Json object;
  object["errors"] = s.errors;
  object["warnings"] = s.warnings;
  object["notes"] = s.notes;
  object["scored"] = s.scored;
  object["qsos"] = s.qsos;
  object["mults"] = s.mults;
  object["score"] = s.scored ? Json(s.score) : Json();
  object["claimed_score"] = s.claimed_score ? Json(*s.claimed_score) : Json();
  object["lost_contacts"] = s.effect.lost_contacts;
  object["lost_multipliers"] = s.effect.lost_multipliers;
  object["added_contacts"] = s.effect.added_contacts;
  object["added_multipliers"] = s.effect.added_multipliers;
  Json findings = Json::array();
  for (const Finding& f : report.findings) {
    findings.push_back({{"line", f.line},
                        {"severity", std::string(SeverityName(f.severity))},
                        {"code", std::string(f.code)},
                        {"message", JsonText(f.message)}});
  }
  object["findings"] = std::move(findings);
  return object;
}

}  // namespace

int RunCheck(const std::vector<std::string>& logs, bool json, std::ostream& out, std::ostream& err,
             const CliStreams& streams) {
  OutputLines lines(out);
  int status = kExitScored;
  for (const std::string& path : logs) {
    const FileRead read = ReadLogBytes(path, streams);
    Json object;
    object["file"] = JsonText(LogName(path));
    if (!read.ok) object["error"] = JsonText(read.error);
    // A file that cannot be read is told as a rejected log is: its finding and its summary.
    const CheckReport report = read.ok ? CheckLog(read.bytes) : UnreadableLog(read.error);
    if (report.summary.errors > 0) status = kExitRejected;
    if (json) {
      object.update(JsonReport(report));
      lines.Line(JsonLine(object, streams.out_is_terminal));
    } else {
      WriteText(path, report, lines);
    }
  }
  return lines.Finish(err) ? status : kExitRejected;
}

}  // namespace zelo
