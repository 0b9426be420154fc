// The commands that score logs: one log's report or band list (printed or
// saved), its explanation record by record, a JSON object per log, and the
// results table of several logs. Each returns an exit status of cli.h.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace zelo {

// The report, or with a band that band's list; printed, or saved to
// `output` ("-": standard output).
int RunScore(const std::string& log, const std::string& band, const std::string& output, std::ostream& out,
             std::ostream& err, const CliStreams& streams);

// What became of each record of the log, line by line, and a summary.
int RunExplain(const std::string& log, std::ostream& out, std::ostream& err, const CliStreams& streams);

// One JSON object per log, one per line, in the order given.
int RunJson(const std::vector<std::string>& logs, std::ostream& out, std::ostream& err, const CliStreams& streams);

// The results table of several logs: best score first, ties in the order
// given, then the logs that were not scored.
int RunTable(const std::vector<std::string>& logs, std::ostream& out, std::ostream& err, const CliStreams& streams);

}  // namespace zelo
