// Reading zelo-score's command line: which command was asked for, with its
// options, or why the command line is wrong. Nothing is run or printed here.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "cli/cross_check_command.h"

namespace zelo {

// What to do with the LOGs.
enum class CommandKind {
  kScore,       // one log: its report or a band's list, printed or saved (-o)
  kExplain,     // one log: what became of each record
  kJson,        // one JSON object per log
  kTable,       // several logs: a results table
  kCheck,       // the log check of each log
  kCrossCheck,  // the logs checked against each other
};

struct Command {
  CommandKind kind = CommandKind::kScore;
  std::vector<std::string> logs;
  std::string band;    // --band: "160" ... "10", empty for the report
  std::string output;  // -o: the listing's file, "-" for standard output, empty to print
  bool json = false;   // --check --json
  CrossCheckCommand cross_check;
};

// The text --help or --version asked for, to be printed as it is.
struct ShownText {
  std::string text;
};

// Why the command line is wrong, in words that may quote it.
struct UsageProblem {
  std::string message;
};

using CommandLine = std::variant<Command, ShownText, UsageProblem>;

// Reads argv (argv[0] the program's name).
CommandLine ParseCommandLine(int argc, const char* const* argv);

}  // namespace zelo
