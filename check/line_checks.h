// The findings of single lines and of the header: bytes outside printable
// ASCII, lines that are no item, unknown tags, contacts in small letters;
// the version, the station's call and the contest, the category and how the
// contacts fit it, tags given twice, the claimed score.
#pragma once

#include <cstdint>
#include <string_view>

#include "check/findings.h"
#include "check/record_checks.h"
#include "input/cabrillo_header.h"

namespace zelo::check {

// Checks every line on its own. Returns the number of lines.
std::int64_t CheckLines(std::string_view text, Findings& findings);

// Checks the header as a whole, against the contacts the scorer stored;
// `last_line` is where a missing END-OF-LOG: is told.
void CheckHeader(const CabrilloHeader& header, const ContactTally& tally, std::int64_t last_line,
                 Findings& findings);

// Checks CLAIMED-SCORE: against the computed score.
void CheckClaimedScore(const CabrilloHeader& header, std::int64_t score, Findings& findings);

}  // namespace zelo::check
