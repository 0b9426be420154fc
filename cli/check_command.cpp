#include "cli/check_command.h"

#include <string_view>

#include "check/log_check.h"
#include "cli/cli.h"
#include "cli/json_output.h"
#include "cli/loaded_log.h"
#include "cli/output_lines.h"
#include "input/log_file.h"

namespace zelo {
namespace {

std::string Count(std::int64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// "sample.log: 0 errors, 1 warning, 2 notes; computed score 9, claimed score 9".
std::string SummaryLine(const std::string& file, const CheckSummary& s) {
  std::string line = file + ": " + Count(s.errors, "error", "errors") + ", " + Count(s.warnings, "warning", "warnings") +
                     ", " + Count(s.notes, "note", "notes") + "; ";
  if (!s.scored) return line + "not scored";
  line += "computed score " + std::to_string(s.score) + ", claimed score ";
  return line + (s.claimed_score ? std::to_string(*s.claimed_score) : "none");
}

void WriteText(const std::string& path, const CheckReport& report, OutputLines& lines) {
  const std::string file = ShownName(path);
  for (const Finding& f : report.findings) {
    lines.Line(file + ":" + std::to_string(f.line) + ": " + std::string(SeverityName(f.severity)) + ": " +
               TerminalSafe(f.message));
  }
  lines.Line(SummaryLine(file, report.summary));
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
    if (!read.ok) {
      TellRejected(err, path, read.error);
      status = kExitRejected;
      if (json) {
        object["error"] = JsonText(read.error);
        lines.Line(JsonLine(object, streams.out_is_terminal));
      }
      continue;
    }
    const CheckReport report = CheckLog(read.bytes);
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
