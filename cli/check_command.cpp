#include "cli/check_command.h"

#include <string_view>

#include <nlohmann/json.hpp>

#include "check/log_check.h"
#include "cli/cli.h"
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
  const std::string file = TerminalSafe(path);
  for (const Finding& f : report.findings) {
    lines.Line(file + ":" + std::to_string(f.line) + ": " + std::string(SeverityName(f.severity)) + ": " +
               TerminalSafe(f.message));
  }
  lines.Line(SummaryLine(file, report.summary));
}

nlohmann::ordered_json JsonReport(const CheckReport& report) {
  const CheckSummary& s = report.summary;
  nlohmann::ordered_json object;
  object["errors"] = s.errors;
  object["warnings"] = s.warnings;
  object["notes"] = s.notes;
  object["scored"] = s.scored;
  object["qsos"] = s.qsos;
  object["mults"] = s.mults;
  object["score"] = s.scored ? nlohmann::ordered_json(s.score) : nlohmann::ordered_json();
  object["claimed_score"] = s.claimed_score ? nlohmann::ordered_json(*s.claimed_score) : nlohmann::ordered_json();
  nlohmann::ordered_json findings = nlohmann::ordered_json::array();
  for (const Finding& f : report.findings) {
    findings.push_back({{"line", f.line},
                        {"severity", std::string(SeverityName(f.severity))},
                        {"code", std::string(f.code)},
                        {"message", f.message}});
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
    nlohmann::ordered_json object;
    object["file"] = path;
    if (!read.ok) {
      err << kInvalidLogMessage << ": " << TerminalSafe(path) << ": " << TerminalSafe(read.error) << '\n';
      status = kExitRejected;
      if (json) {
        object["error"] = read.error;
        lines.Line(object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
      }
      continue;
    }
    const CheckReport report = CheckLog(read.bytes);
    if (report.summary.errors > 0) status = kExitRejected;
    if (json) {
      object.update(JsonReport(report));
      lines.Line(object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    } else {
      WriteText(path, report, lines);
    }
  }
  return lines.Finish(err) ? status : kExitRejected;
}

}  // namespace zelo
