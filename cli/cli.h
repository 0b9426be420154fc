// zelo-score, the command-line scorer, as a function the tests can call.
//
// One log: the score report, a band's list (--band), either printed or saved
// as a listing (-o), or a record-by-record account of the scoring run
// (--explain). Several logs: a results table, best score first. --json gives
// one JSON object per log instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "input/log_file.h"
#include "input/messages.h"

namespace zelo {

// Exit statuses of zelo-score.
inline constexpr int kExitScored = 0;    // every log was scored
inline constexpr int kExitRejected = 1;  // a log was rejected or unreadable, or a save or write failed
inline constexpr int kExitUsage = 2;     // the command line was wrong

// What zelo-score knows of the streams it was given: whether `out` and `err`
// are terminals (log bytes and paths are then shown escaped, see
// TerminalSafe), and the descriptor a LOG given as "-" is read from.
struct CliStreams {
  bool out_is_terminal = false;
  bool err_is_terminal = false;
  int in_fd = 0;
};

// Runs zelo-score with `argv` (argv[0] the program name), writing to `out` and `err`.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           const CliStreams& streams = {});

// The bytes of a LOG as the command line reads it: "-" is standard input,
// and a FIFO or a pipe is read to its end like a file.
FileRead ReadLogBytes(const std::string& path, const CliStreams& streams);

// Log bytes made safe to show on a terminal: control characters (C0, DEL and
// the UTF-8 encoded C1 controls) become escapes (\t, \r, \n or \xHH), and a
// backslash is doubled; every other byte, UTF-8 text included, stays as it is.
std::string TerminalSafe(std::string_view bytes);

}  // namespace zelo
