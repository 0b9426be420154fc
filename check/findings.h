// What the parts of the log check share: the kinds of finding, the list
// they are added to, and the few ways a message is put together.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "check/log_check.h"
#include "input/text.h"

namespace zelo::check {

// Errors: the score differs from what the log means.
inline constexpr FindingKind kUnreadable{"unreadable", Severity::kError};
inline constexpr FindingKind kNotLog{"not-log", Severity::kError};
inline constexpr FindingKind kNotContact{"not-contact", Severity::kError};
inline constexpr FindingKind kQsoCase{"qso-case", Severity::kError};
inline constexpr FindingKind kNoBand{"no-band", Severity::kError};
inline constexpr FindingKind kLowReport{"low-report", Severity::kError};
inline constexpr FindingKind kNoNumber{"no-number", Severity::kError};
inline constexpr FindingKind kRemarkContact{"remark-contact", Severity::kError};
inline constexpr FindingKind kCallsignTwice{"callsign-twice", Severity::kError};
// Warnings: a sponsor may read it otherwise.
inline constexpr FindingKind kShortContact{"short-contact", Severity::kWarning};
inline constexpr FindingKind kNoEndOfLog{"no-end-of-log", Severity::kWarning};
inline constexpr FindingKind kQsoAfterEnd{"qso-after-end", Severity::kWarning};
inline constexpr FindingKind kQsoInXQso{"qso-in-x-qso", Severity::kWarning};
inline constexpr FindingKind kQsoMidLine{"qso-mid-line", Severity::kWarning};
inline constexpr FindingKind kUnknownLine{"unknown-line", Severity::kWarning};
inline constexpr FindingKind kUnknownTag{"unknown-tag", Severity::kWarning};
inline constexpr FindingKind kTagTwice{"tag-twice", Severity::kWarning};
inline constexpr FindingKind kBadVersion{"bad-version", Severity::kWarning};
inline constexpr FindingKind kNoCallsign{"no-callsign", Severity::kWarning};
inline constexpr FindingKind kNoContest{"no-contest", Severity::kWarning};
inline constexpr FindingKind kBadCategory{"bad-category", Severity::kWarning};
inline constexpr FindingKind kOffCategoryBand{"off-category-band", Severity::kWarning};
inline constexpr FindingKind kOffCategoryMode{"off-category-mode", Severity::kWarning};
inline constexpr FindingKind kBadMode{"bad-mode", Severity::kWarning};
inline constexpr FindingKind kBadDate{"bad-date", Severity::kWarning};
inline constexpr FindingKind kBadTime{"bad-time", Severity::kWarning};
inline constexpr FindingKind kTimeOrder{"time-order", Severity::kWarning};
inline constexpr FindingKind kOwnCall{"own-call", Severity::kWarning};
inline constexpr FindingKind kOwnCallWorked{"own-call-worked", Severity::kWarning};
inline constexpr FindingKind kCaseItem{"case-item", Severity::kWarning};
inline constexpr FindingKind kCaseCall{"case-call", Severity::kWarning};
inline constexpr FindingKind kExtraFields{"extra-fields", Severity::kWarning};
inline constexpr FindingKind kNonAscii{"non-ascii", Severity::kWarning};
inline constexpr FindingKind kClaimedScore{"claimed-score", Severity::kWarning};
// Notes: worth knowing.
inline constexpr FindingKind kLowReportCounted{"low-report-counted", Severity::kNote};
inline constexpr FindingKind kNoNumberCounted{"no-number-counted", Severity::kNote};
inline constexpr FindingKind kRemarkQso{"remark-qso", Severity::kNote};
inline constexpr FindingKind kReportDigits{"report-digits", Severity::kNote};
inline constexpr FindingKind kRepeat{"repeat", Severity::kNote};
inline constexpr FindingKind kWorkedAgain{"worked-again", Severity::kNote};
inline constexpr FindingKind kTabs{"tabs", Severity::kNote};
inline constexpr FindingKind kNoClaimedScore{"no-claimed-score", Severity::kNote};

inline constexpr std::array<FindingKind, 42> kKinds = {
    kUnreadable,   kNotLog,       kNotContact,    kQsoCase,         kNoBand,          kLowReport,       kNoNumber,
    kRemarkContact, kCallsignTwice, kShortContact,   kNoEndOfLog,      kQsoAfterEnd,     kQsoInXQso,
    kQsoMidLine,   kUnknownLine,   kUnknownTag,      kTagTwice,        kBadVersion,      kNoCallsign,
    kNoContest,    kBadCategory,   kOffCategoryBand, kOffCategoryMode, kBadMode,         kBadDate,
    kBadTime,      kTimeOrder,     kOwnCall,         kOwnCallWorked,   kCaseItem,        kCaseCall,
    kExtraFields,  kNonAscii,      kClaimedScore,    kLowReportCounted, kNoNumberCounted, kRemarkQso,
    kReportDigits, kRepeat,        kWorkedAgain,     kTabs,            kNoClaimedScore};

// The findings of one pass, in the order found.
class Findings {
 public:
  void Add(std::int64_t line, const FindingKind& kind, std::string message, ScoreEffect effect = {}) {
    list_.push_back({line, kind.severity, kind.code, std::move(message), effect});
  }
  std::vector<Finding>& List() { return list_; }

 private:
  std::vector<Finding> list_;
};

// Log bytes to be quoted in a message (see QuoteLogBytes).
struct Quoted {
  std::string_view bytes;
};

inline std::size_t PartSize(std::string_view part) { return part.size(); }
inline std::size_t PartSize(Quoted part) { return std::min(part.bytes.size(), kQuotedBytes) + 5; }
inline void AppendPart(std::string& text, std::string_view part) { text.append(part); }
inline void AppendPart(std::string& text, Quoted part) { AppendQuoted(text, part.bytes); }

// The texts one after the other, in one allocation: a big log gives a
// message for many of its lines.
template <typename... Parts>
std::string Cat(const Parts&... parts) {
  std::string text;
  text.reserve((PartSize(parts) + ...));
  (AppendPart(text, parts), ...);
  return text;
}

// "1 line", "3 lines".

// "a, b or c".
std::string OneOf(std::span<const std::string_view> words);

}  // namespace zelo::check
