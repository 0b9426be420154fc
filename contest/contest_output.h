// The published outputs of a cross-checked contest: one plain-text
// log-checking report per entrant with results.csv, and a static results
// site. Both read a ContestResult; neither decides a status itself.
#pragma once

#include <string>

#include "contest/contest.h"
#include "io/output_folder.h"

namespace zelo {

// Creates `dir` if needed and writes into it one report per entrant (every
// unconfirmed contact with its reason and the other log's line, claimed
// against checked score, who miscopied this entrant) and results.csv (RFC 4180).
OutputWrite WriteReportDir(const ContestResult& result, const std::string& dir);

// Creates `dir` if needed and writes a static site into it: index.html with
// the results per category (sortable, works without scripts) and one page per
// entrant; every text from a log escaped.
OutputWrite WriteHtmlSite(const ContestResult& result, const std::string& dir);

}  // namespace zelo
