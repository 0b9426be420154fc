#include "check/finding_groups.h"

#include <unordered_map>

#include "input/text.h"

namespace zelo {

std::string FindingLine(std::string_view file, const Finding& finding) {
  std::string line(file);
  if (finding.line > 0) line.append(":").append(std::to_string(finding.line));
  line.append(": ").append(SeverityName(finding.severity)).append(": ").append(finding.message);
  return line;
}

std::string CheckSummaryText(const CheckSummary& s) {
  std::string text = Plural(s.errors, "error", "errors") + ", " + Plural(s.warnings, "warning", "warnings") + ", " +
                     Plural(s.notes, "note", "notes") + "; ";
  if (const std::string effect = EffectText(s.effect); !effect.empty()) text += effect + "; ";
  if (!s.scored) return text + "not scored";
  text += "computed score " + std::to_string(s.score) + ", claimed score ";
  return text + (s.claimed_score ? std::to_string(*s.claimed_score) : "none");
}

std::string FindingsText(std::string_view file, const CheckReport& report) {
  std::string text;
  for (const Finding& finding : report.findings) text.append(FindingLine(file, finding)).append("\n");
  return text.append(file).append(": ").append(CheckSummaryText(report.summary)).append("\n");
}

std::vector<FindingGroup> GroupFindings(const CheckReport& report) {
  std::vector<FindingGroup> groups;
  std::unordered_map<std::string_view, std::size_t> group_of;
  for (std::size_t i = 0; i < report.findings.size(); ++i) {
    const Finding& finding = report.findings[i];
    const auto [it, added] = group_of.try_emplace(finding.code, groups.size());
    if (added) groups.push_back({finding.code, finding.severity, {}});
    groups[it->second].findings.push_back(i);
  }
  return groups;
}

std::string MoreLikeThis(const CheckReport& report, const FindingGroup& group, std::size_t shown) {
  if (group.findings.size() <= shown) return {};
  const std::size_t more = group.findings.size() - shown;
  // Each line once: a line may hold several findings of one code.
  std::vector<std::int64_t> lines;
  for (std::size_t k = shown; k < group.findings.size(); ++k) {
    const std::int64_t line = report.findings[group.findings[k]].line;
    if (lines.empty() || lines.back() != line) lines.push_back(line);
  }
  std::string text = std::to_string(more) + " more like line " +
                     std::to_string(report.findings[group.findings.front()].line) + " (" + std::string(group.code) +
                     "): line" + (lines.size() == 1 ? " " : "s ");
  for (std::size_t k = 0; k < lines.size() && k < kListedLines; ++k) {
    if (k > 0) text += ", ";
    text += std::to_string(lines[k]);
  }
  if (lines.size() > kListedLines) text += ", ...";
  return text;
}

}  // namespace zelo
