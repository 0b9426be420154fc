// zelo-score --cross-check: every log of a contest scored and cross-checked
// against the others, printed as a results table per category or as one
// JSON object per log.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace zelo {

struct CrossCheckCommand {
  std::vector<std::string> logs;  // files, or folders standing for their regular files
  int time_window_minutes = 10;
  int penalty = 0;  // --penalty: further contacts off per nil and busted-call contact
  bool json = false;
  std::string report_dir;  // --report-dir: a checking report per log and results.csv
  std::string html_dir;    // --html: the results site
  std::string title;       // --title: the site's and the reports' title; empty: the logs' CONTEST:
};

// Runs the cross-check and prints its results; returns an exit status of cli.h.
int RunCrossCheck(const CrossCheckCommand& command, std::ostream& out, std::ostream& err,
                  const CliStreams& streams = {});

}  // namespace zelo
