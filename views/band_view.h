// The band views: a numbered list of the stations worked on one band.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/qso_fields.h"

namespace zelo {

inline constexpr std::size_t kViewRuleWidth = 94;
inline constexpr std::string_view kViewSeparator = "   ";

// "160M QSO's:", "80M QSO's:", ... the heading of a band's view.
std::string_view ViewHeading(Band band);

// The view's lines: rule, heading, rule, then " <index + 1>   <call>" for each
// non-empty call among the first `count` entries of `calls`. Empty entries
// show no line but keep their number.
std::vector<std::string> BandViewLines(std::string_view heading,
                                       const std::vector<std::string_view>& calls, std::size_t count);

// The view of one band, from that band's calls in log order.
std::vector<std::string> BandViewLines(Band band, const std::vector<std::string_view>& calls);

}  // namespace zelo
