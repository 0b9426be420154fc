// zelo-score --check: the log check of each LOG, as lines in the form
// compilers use (FILE:LINE: error: message) and a summary line per log, or
// as one JSON object per log.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace zelo {

// Checks each log in turn. Returns 0 when no log has an error, 1 when one has
// an error or cannot be read, or when the output cannot be written.
int RunCheck(const std::vector<std::string>& logs, bool json, std::ostream& out, std::ostream& err,
             const CliStreams& streams = {});

}  // namespace zelo
