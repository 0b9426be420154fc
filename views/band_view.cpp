#include "views/band_view.h"

#include <algorithm>
#include <array>

#include "scoring/report.h"

namespace zelo {
namespace {

constexpr std::array<std::string_view, kBandCount> kViewHeadings = {
    "160M QSO's:", "80M QSO's:", "40M QSO's:", "20M QSO's:", "15M QSO's:", "10M QSO's:"};

}  // namespace

std::string_view ViewHeading(Band band) { return kViewHeadings[BandIndex(band)]; }

std::vector<std::string> BandViewLines(std::string_view heading,
                                       const std::vector<std::string_view>& calls, std::size_t count) {
  const std::string rule(kViewRuleWidth, '_');
  std::vector<std::string> lines{rule, std::string(heading), rule};
  const std::size_t shown = std::min(count, calls.size());
  lines.reserve(lines.size() + shown);
  for (std::size_t i = 0; i < shown; ++i) {
    if (calls[i].empty()) continue;
    std::string line = FormatNumber(static_cast<std::int64_t>(i) + 1);
    line += kViewSeparator;
    line.append(calls[i]);
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<std::string> BandViewLines(Band band, const std::vector<std::string_view>& calls) {
  return BandViewLines(ViewHeading(band), calls, calls.size());
}

}  // namespace zelo
