// The score report: its fixed texts, its number texts and its lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/qso_fields.h"
#include "scoring/score_log.h"

namespace zelo {

inline constexpr std::string_view kReportTitle =
    "                            ZELO Razezuz Score Diva 1.11 - ";
inline constexpr std::size_t kReportRuleWidth = 129;
inline constexpr std::string_view kTotalQsosLabel = "TOTAL QSOS  = ";
inline constexpr std::string_view kTotalMultsLabel = "Total MULTS   = ";
inline constexpr std::string_view kFinalScoreLabel = "                           *** FINAL SCORE = ";
inline constexpr std::string_view kFinalScoreEnd = " ***";
// Multiplier entries listed per line of a band section, and lines per band.
inline constexpr std::int64_t kEntriesPerLine = 10;

// "160M:", "80M:", ... the heading of a band's section.
std::string_view ReportHeading(Band band);
// "160M  QSOS  = ", " 80M  QSOS  = ", ... (14 characters each).
std::string_view CountLabel(Band band);

// A number with its sign place: one blank before a non-negative number.
std::string FormatNumber(std::int64_t n);
// A band count: like FormatNumber, with one more blank before 0 to 9, so
// that counts below 100 take three characters.
std::string FormatCount(std::int64_t n);
// Multiplier entry n of a band: the number with its sign place, a blank and
// the item (" 12 K" for 12 and K).
std::string FormatEntry(std::int64_t n, std::string_view item);

// The report lines of a finished run, in list box order: written only by
// whoever shows them, never by the run itself.
std::vector<std::string> WriteReport(const ScoreResult& result);

}  // namespace zelo
