#include "cli/cli.h"

#include <ostream>

#include "input/log_file.h"
#include "scoring/score_log.h"

namespace zelo {

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  if (argc != 2) {
    err << "usage: zelo-score LOG\n";
    return kExitUsage;
  }
  const FileRead read = ReadWholeFile(argv[1]);
  const HeaderCheck header = read.ok ? CheckLogHeader(read.bytes) : HeaderCheck{false, read.error};
  if (!header.valid) {
    err << "Please select a valid cabrillo log file: " << argv[1] << ": " << header.reason << "\n";
    return kExitRejected;
  }
  const ScoreResult result = ScoreLog(read.bytes);
  for (const std::string& line : result.report) out << line << '\n';
  return kExitScored;
}

}  // namespace zelo
