// WriteReportDir: one checking report per entrant, then results.csv.
#include "contest/check_report.h"
#include "contest/contest_output.h"

namespace zelo {
namespace {

constexpr std::string_view kResultsFile = "results.csv";
constexpr std::string_view kReportExtension = ".txt";

}  // namespace

OutputWrite WriteReportDir(const ContestResult& result, const std::string& dir) {
  OutputFolder folder(dir, LogFiles(result));
  if (OutputWrite opened = folder.Open(); !opened.ok) return opened;
  const ContestIndex index = IndexContest(result, {"RESULTS"});
  const OutputWrite reports = folder.WriteEach(result.logs.size(), [&](std::size_t i) {
    return std::pair{index.stems[i] + std::string(kReportExtension), EntrantReport(result, index, i)};
  });
  if (!reports.ok) return reports;
  // The table last: a failed run leaves the one before it whole.
  return folder.Write(kResultsFile, ResultsCsv(result, index));
}

}  // namespace zelo
