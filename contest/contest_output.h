// The published outputs of a cross-checked contest: one plain-text
// log-checking report per entrant with results.csv, and a static results
// site. Both read a ContestResult; neither decides a status itself. An
// output folder replaces or removes only what zelo-score wrote there before
// (its manifest), never a log; a log is named by its file's name alone.
#pragma once

#include <string>

#include "contest/contest.h"
#include "io/output_folder.h"

namespace zelo {

// Writes into `dir` (made when missing) one report per log (its score per
// band as scored and as checked, every contact that does not count with the
// reason and the other log's line, who miscopied this entrant, who logged it
// without being in its log) and results.csv (RFC 4180). `title` heads the
// reports; empty: the logs' most common CONTEST:.
OutputWrite WriteReportDir(const ContestResult& result, const std::string& dir, const std::string& title = {});

// Writes a static site into `dir` (made when missing): index.html with the
// results per category (sortable, works without scripts), a page per log,
// the soapbox, the clubs' totals, and the files that are not logs or were
// superseded; every text from a log escaped.
OutputWrite WriteHtmlSite(const ContestResult& result, const std::string& dir, const std::string& title = {});

}  // namespace zelo
