// A LOG as the command line reads it, and how it is named in messages.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "cli/cli.h"
#include "input/log_file.h"

namespace zelo {

// A log read whole and checked. Scoring results view into `bytes`, so a
// LoadedLog must outlive them.
struct LoadedLog {
  bool ok = false;
  std::string bytes;
  std::string reason;                    // why it is not scored, when !ok
  std::optional<FileIdentity> identity;  // of a log that is a regular file
};

// Reads a LOG ("-" is standard input; a FIFO or a pipe is read to its end
// like a file) and checks its header.
LoadedLog LoadLog(const std::string& path, const CliStreams& streams);

// How a LOG is named: "(standard input)" for "-", else its path.
std::string LogName(const std::string& path);

// LogName escaped for a terminal, for messages and tables.
std::string ShownName(const std::string& path);

// Tells on `err` that a LOG is not scored, and why. The reason may quote the
// start of the file, whatever bytes it holds.
void TellRejected(std::ostream& err, const std::string& path, const std::string& reason);

}  // namespace zelo
