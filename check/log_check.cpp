#include "check/log_check.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "check/findings.h"
#include "check/line_checks.h"
#include "check/record_checks.h"
#include "input/cabrillo_header.h"
#include "input/line_ends.h"
#include "input/log_file.h"
#include "scoring/score_log.h"

namespace zelo {

namespace check {

std::string OneOf(std::span<const std::string_view> words) {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? " or " : ", ";
    text += words[i];
  }
  return text;
}

}  // namespace check

namespace {

using check::Findings;

// Two lists sorted by line, as one, `first`'s findings first on a line they share.
std::vector<Finding> Merged(std::vector<Finding>&& first, std::vector<Finding>&& second) {
  std::vector<Finding> all;
  all.reserve(first.size() + second.size());
  std::merge(std::make_move_iterator(first.begin()), std::make_move_iterator(first.end()),
             std::make_move_iterator(second.begin()), std::make_move_iterator(second.end()), std::back_inserter(all),
             [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return all;
}

void Summarise(CheckReport& report) {
  for (const Finding& f : report.findings) {
    switch (f.severity) {
      case Severity::kError: ++report.summary.errors; break;
      case Severity::kWarning: ++report.summary.warnings; break;
      case Severity::kNote: ++report.summary.notes; break;
    }
    report.summary.effect += f.effect;
  }
}

CheckReport Rejected(std::string_view log_text, const std::string& reason) {
  const std::string_view item = FirstItem(log_text);
  const bool inside = !item.empty() && item.data() >= log_text.data();
  Findings rejected;
  rejected.Add(inside ? LineCounter(log_text).LineOf(static_cast<std::size_t>(item.data() - log_text.data())) : 1,
               check::kNotLog,
               "not a Cabrillo log: " + reason +
                   "; the scorer rejects it and scores nothing; make START-OF-LOG: 3.0 its first line");
  CheckReport report;
  report.findings = std::move(rejected.List());
  Summarise(report);
  return report;
}

// "3 contacts and 2 multipliers", "1 contact": the parts that are not 0.
std::string ContactsAndMultipliers(std::int64_t contacts, std::int64_t multipliers) {
  std::string text;
  if (contacts > 0) text = Plural(contacts, "contact", "contacts");
  if (multipliers > 0) {
    if (!text.empty()) text += " and ";
    text += Plural(multipliers, "multiplier", "multipliers");
  }
  return text;
}

}  // namespace

ScoreEffect& ScoreEffect::operator+=(const ScoreEffect& other) {
  lost_contacts += other.lost_contacts;
  lost_multipliers += other.lost_multipliers;
  added_contacts += other.added_contacts;
  added_multipliers += other.added_multipliers;
  return *this;
}

std::string_view SeverityName(Severity severity) {
  switch (severity) {
    case Severity::kError: return "error";
    case Severity::kWarning: return "warning";
    case Severity::kNote: return "note";
  }
  return "note";
}

std::span<const FindingKind> FindingKinds() { return check::kKinds; }

std::string EffectText(const ScoreEffect& effect) {
  std::string text;
  if (const std::string lost = ContactsAndMultipliers(effect.lost_contacts, effect.lost_multipliers); !lost.empty()) {
    text = "errors cost " + lost;
  }
  if (const std::string added = ContactsAndMultipliers(effect.added_contacts, effect.added_multipliers);
      !added.empty()) {
    if (!text.empty()) text += "; ";
    text += "errors add " + added;
  }
  return text;
}

CheckReport UnreadableLog(std::string_view reason) {
  Findings unreadable;
  unreadable.Add(0, check::kUnreadable,
                 "the file cannot be read: " + std::string(reason) + "; the scorer scores nothing");
  CheckReport report;
  report.findings = std::move(unreadable.List());
  Summarise(report);
  return report;
}

CheckReport CheckLog(std::string_view log_text) {
  const HeaderCheck log_header = CheckLogHeader(log_text);
  if (!log_header.valid) return Rejected(log_text, log_header.reason);

  const CabrilloHeader header = ReadCabrilloHeader(log_text);
  Findings records;
  Findings whole;
  check::RecordCheck record_check(log_text, header, records);
  const ScoreResult result = ScoreLog(log_text, &record_check);
  record_check.Finish(whole);

  Findings lines;
  const std::int64_t line_count = check::CheckLines(log_text, lines);
  check::CheckHeader(header, record_check.Tally(), std::max<std::int64_t>(line_count, 1), whole);
  check::CheckClaimedScore(header, result.final_score, whole);
  std::stable_sort(whole.List().begin(), whole.List().end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });

  CheckReport report;
  report.findings = Merged(Merged(std::move(whole.List()), std::move(lines.List())), std::move(records.List()));
  report.summary.scored = true;
  report.summary.qsos = result.total_qsos;
  report.summary.mults = result.total_mults;
  report.summary.score = result.final_score;
  report.summary.claimed_score = header.ClaimedScore();
  Summarise(report);
  return report;
}

}  // namespace zelo
