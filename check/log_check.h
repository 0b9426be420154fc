// The log check: everything worth telling an entrant about a log before it is
// sent, each finding with its line number. The check reads what the scoring
// run decided about every record (ScoreLog's outcomes) and the header as
// ReadCabrilloHeader reads it; the facts of the Cabrillo format that the
// scoring does not use (tags, allowed category words, modes, dates and
// times) are the check's own. It changes no score.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zelo {

enum class Severity {
  kError,    // costs points or stops the log from being scored
  kWarning,  // a sponsor's robot may reject it or a reader not expect it; the score is as shown
  kNote,     // worth knowing; nothing wrong
};

// "error", "warning", "note".
std::string_view SeverityName(Severity severity);

// A kind of finding: its short, stable code (such as "no-band") and severity.
struct FindingKind {
  std::string_view code;
  Severity severity;
};

// Every kind of finding the check can give.
std::span<const FindingKind> FindingKinds();

struct Finding {
  std::int64_t line = 0;  // 1-based, in the file as stored
  Severity severity = Severity::kNote;
  std::string_view code;  // one of FindingKinds()
  std::string message;    // what is wrong, what the scorer does, what to write instead; may quote log bytes
};

struct CheckSummary {
  std::int64_t errors = 0;
  std::int64_t warnings = 0;
  std::int64_t notes = 0;
  bool scored = false;  // false when the log is rejected (it does not begin with START-OF-LOG:)
  std::int64_t qsos = 0;
  std::int64_t mults = 0;
  std::int64_t score = 0;                      // the computed score, when scored
  std::optional<std::int64_t> claimed_score;  // CLAIMED-SCORE: as a whole number
};

struct CheckReport {
  std::vector<Finding> findings;  // by line, ascending
  CheckSummary summary;
};

// Checks a log text: any bytes, in time linear in their number.
CheckReport CheckLog(std::string_view log_text);

}  // namespace zelo
