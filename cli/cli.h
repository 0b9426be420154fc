// zelo-score, the command-line scorer, as a function the tests can call.
#pragma once

#include <iosfwd>

namespace zelo {

// Exit statuses of zelo-score.
inline constexpr int kExitScored = 0;    // every log was scored
inline constexpr int kExitRejected = 1;  // a log was rejected or unreadable, or a save failed
inline constexpr int kExitUsage = 2;     // the command line was wrong

// Runs zelo-score with `argv` (argv[0] the program name), writing to `out` and `err`.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace zelo
