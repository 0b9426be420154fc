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

namespace zelo {

// Exit statuses of zelo-score.
inline constexpr int kExitScored = 0;    // every log was scored
inline constexpr int kExitRejected = 1;  // a log was rejected or unreadable, or a save or write failed
inline constexpr int kExitUsage = 2;     // the command line was wrong

// Told on stderr, followed by ": <file>: <reason>", for a log that is not scored.
inline constexpr std::string_view kInvalidLogMessage = "Please select a valid cabrillo log file";
// Told on stderr, followed by the reason, when -o could not save the listing.
inline constexpr std::string_view kListingNotSaved = "Listing NOT saved: ";

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

// Log bytes made safe to show on a terminal: control characters (C0, DEL and
// the UTF-8 encoded C1 controls) become escapes (\t, \r, \n or \xHH), and a
// backslash is doubled; every other byte, UTF-8 text included, stays as it is.
std::string TerminalSafe(std::string_view bytes);

// 1-based line numbers of byte offsets in a text, where a line ends at LF,
// CR LF or a lone CR. Offsets asked in ascending order cost only the bytes
// between them; a smaller offset than the last starts counting afresh.
class LineCounter {
 public:
  explicit LineCounter(std::string_view text) : text_(text) {}
  std::int64_t LineOf(std::size_t offset);

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::int64_t line_ = 1;
};

}  // namespace zelo
