// The log check: everything worth telling an entrant about a log before it is
// sent, each finding with its line number. The check reads what the scoring
// run decided about every record (ScoreLog's outcomes), the header as
// ReadCabrilloHeader reads it and the Cabrillo vocabulary; it changes no
// score. A finding's severity follows its effect on the score: an error is
// a line whose contact or multiplier the scorer does not count although the
// log means it, or counts although the log does not mean it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zelo {

enum class Severity {
  kError,    // changes the score: a contact or multiplier lost, or one counted that the log does not mean
  kWarning,  // a sponsor's robot or checker may take it otherwise; the score is as shown
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

// What errors do to the score: contacts and multipliers the log means but the
// scorer does not count, and those the scorer counts that the log does not mean.
struct ScoreEffect {
  std::int64_t lost_contacts = 0;
  std::int64_t lost_multipliers = 0;
  std::int64_t added_contacts = 0;
  std::int64_t added_multipliers = 0;

  bool None() const { return lost_contacts == 0 && lost_multipliers == 0 && added_contacts == 0 && added_multipliers == 0; }
  ScoreEffect& operator+=(const ScoreEffect& other);
};

struct Finding {
  std::int64_t line = 0;  // 1-based, in the file as stored
  Severity severity = Severity::kNote;
  std::string_view code;  // one of FindingKinds()
  std::string message;    // what is wrong, what the scorer does, what it means; may quote log bytes
  ScoreEffect effect;     // an error's effect; a multiplier lost on several lines is counted on the first
};

struct CheckSummary {
  std::int64_t errors = 0;
  std::int64_t warnings = 0;
  std::int64_t notes = 0;
  bool scored = false;  // false when the log is rejected (it does not begin with START-OF-LOG:)
  std::int64_t qsos = 0;
  std::int64_t mults = 0;
  std::int64_t score = 0;                     // the computed score, when scored
  std::optional<std::int64_t> claimed_score;  // CLAIMED-SCORE: as a whole number
  ScoreEffect effect;                         // the errors' effect, added up
};

struct CheckReport {
  std::vector<Finding> findings;  // by line, ascending
  CheckSummary summary;
};

// Checks a log text: any bytes, in time linear in their number.
CheckReport CheckLog(std::string_view log_text);

// The report of a file that could not be read at all, for `reason` (the
// system's): one error on line 0, which stands for the file as a whole.
CheckReport UnreadableLog(std::string_view reason);

// What errors do to the score, in words: "errors cost 3 contacts and 2
// multipliers", "errors add 1 contact", both joined by "; "; empty for none.
std::string EffectText(const ScoreEffect& effect);

}  // namespace zelo
