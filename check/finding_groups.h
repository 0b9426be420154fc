// Findings of one code, together: a big log repeats the same finding on
// hundreds of lines, and a reader wants the few that differ. The command
// line, the window and the page show the first few of each code and sum up
// the rest; nothing is dropped (--json and the groups keep every one).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "check/log_check.h"

namespace zelo {

// One finding as a line, the way compilers tell theirs: "FILE:LINE:
// severity: message", or "FILE: severity: message" for the file as a whole.
std::string FindingLine(std::string_view file, const Finding& finding);

// The summary of a check: "3 errors, 1 warning, 2 notes; errors cost 3
// multipliers; computed score 9, claimed score 9" (or "...; not scored").
std::string CheckSummaryText(const CheckSummary& summary);

// Every finding as a FindingLine, none left out, then "FILE: " and the
// summary: what a saved findings file holds. Lines end with LF.
std::string FindingsText(std::string_view file, const CheckReport& report);

// How many findings of one code are shown before the rest are summed up.
inline constexpr std::size_t kShownPerCode = 5;

struct FindingGroup {
  std::string_view code;
  Severity severity = Severity::kNote;
  std::vector<std::size_t> findings;  // indices into CheckReport::findings, by line
};

// The report's findings by code, the groups in the order of their first finding.
std::vector<FindingGroup> GroupFindings(const CheckReport& report);

// "N more like line L (code): lines a, b, c": the findings of a group after
// its first `shown`, L being the line of its first; empty when there are none.
// At most kListedLines lines are listed, then "...".
inline constexpr std::size_t kListedLines = 20;
std::string MoreLikeThis(const CheckReport& report, const FindingGroup& group, std::size_t shown = kShownPerCode);

}  // namespace zelo
