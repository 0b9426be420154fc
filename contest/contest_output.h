// Writing a cross-checked contest for people to read: a log-checking report
// per entrant with a results table, and a static results site.
#pragma once

#include <string>

#include "contest/contest.h"

namespace zelo {

// The outcome of writing a folder: done, or the file that failed and why.
struct WriteResult {
  bool ok = false;
  std::string reason;  // names the file and the system's reason when !ok
};

// Writes into `dir` (made when missing) one plain-text checking report per
// log, named from its call, and results.csv with one row per log. Each file
// is written to a temporary file and renamed, so none is ever half written;
// the first failure stops the writing and is returned.
WriteResult WriteReportDir(const ContestResult& result, const std::string& dir);

// Writes into `dir` (made when missing) a static results site: index.html
// with the results per category, one page per entrant with its checking
// report, a stylesheet and a small sorting script. Files are written as by
// WriteReportDir.
WriteResult WriteHtmlSite(const ContestResult& result, const std::string& dir);

}  // namespace zelo
