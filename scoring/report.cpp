#include "scoring/report.h"

#include <array>

namespace zelo {
namespace {

constexpr std::array<std::string_view, kBandCount> kHeadings = {"160M:", "80M:", "40M:",
                                                                "20M:",  "15M:", "10M:"};
constexpr std::array<std::string_view, kBandCount> kCountLabels = {
    "160M  QSOS  = ", " 80M  QSOS  = ", " 40M  QSOS  = ",
    " 20M  QSOS  = ", " 15M  QSOS  = ", " 10M  QSOS  = "};

// Entries first..last (1-based, inclusive) of a band's multipliers, joined
// without separators; entries past the end of the list are empty.
std::string EntryLine(const std::vector<std::string_view>& items, std::int64_t first, std::int64_t last) {
  std::string line;
  const auto size = static_cast<std::int64_t>(items.size());
  for (std::int64_t n = first; n <= last && n <= size; ++n) {
    line += FormatEntry(n, items[static_cast<std::size_t>(n - 1)]);
  }
  return line;
}

}  // namespace

std::string_view ReportHeading(Band band) { return kHeadings[BandIndex(band)]; }
std::string_view CountLabel(Band band) { return kCountLabels[BandIndex(band)]; }

std::string FormatNumber(std::int64_t n) {
  std::string text = n < 0 ? std::string() : std::string(1, ' ');
  text += std::to_string(n);
  return text;
}

std::string FormatCount(std::int64_t n) {
  std::string text = n <= 9 ? std::string(1, ' ') : std::string();
  text += FormatNumber(n);
  return text;
}

std::string FormatEntry(std::int64_t n, std::string_view item) {
  std::string entry = FormatNumber(n);
  entry += ' ';
  entry.append(item);
  return entry;
}

std::vector<std::string> WriteReport(const ScoreResult& result) {
  const std::string rule(kReportRuleWidth, '_');
  std::vector<std::string> lines;
  lines.push_back(std::string(kReportTitle) + std::string(result.my_call));
  lines.push_back(rule);
  for (Band band : kBands) {
    lines.emplace_back(ReportHeading(band));
    const BandTally& tally = result.Tally(band);
    if (tally.Count() > 0) {
      lines.push_back(EntryLine(tally.multipliers, 1, kEntriesPerLine));
      // Ten or more multipliers open a second line, empty when there are
      // exactly ten; entries past the twentieth are counted but not listed.
      if (tally.MultCount() >= kEntriesPerLine) {
        lines.push_back(EntryLine(tally.multipliers, kEntriesPerLine + 1, 2 * kEntriesPerLine));
      }
    }
    if (band != Band::k10) lines.push_back(rule);
  }
  lines.push_back(rule);
  for (Band band : kBands) {
    lines.push_back(std::string(CountLabel(band)) + FormatCount(result.BandCount(band)));
  }
  lines.push_back(rule);
  lines.push_back(std::string(kTotalQsosLabel) + FormatNumber(result.total_qsos));
  lines.push_back(std::string(kTotalMultsLabel) + FormatNumber(result.total_mults) + ".");
  lines.push_back(rule);
  lines.push_back(std::string(kFinalScoreLabel) + FormatNumber(result.final_score) +
                  std::string(kFinalScoreEnd));
  return lines;
}

}  // namespace zelo
