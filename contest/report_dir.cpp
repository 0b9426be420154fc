// WriteReportDir: one checking report per log, then results.csv.
#include "contest/check_report.h"
#include "contest/contest_output.h"

namespace zelo {
namespace {

constexpr std::string_view kResultsFile = "results.csv";
constexpr std::string_view kReportExtension = ".txt";

}  // namespace

OutputWrite WriteReportDir(const ContestResult& result, const std::string& dir, const std::string& title) {
  const ContestIndex index = IndexContest(result, {"RESULTS"}, title);
  std::vector<std::string> names;
  for (const std::string& stem : index.stems) names.push_back(stem + std::string(kReportExtension));
  names.emplace_back(kResultsFile);
  OutputFolder folder(dir, LogFiles(result));
  if (OutputWrite opened = folder.Open(names); !opened.ok) return opened;
  const OutputWrite reports = folder.WriteEach(result.logs.size(), [&](std::size_t i) {
    return std::pair{names[i], EntrantReport(result, index, i)};
  });
  if (!reports.ok) return reports;
  // The table last: a failed run leaves the one before it whole.
  if (OutputWrite written = folder.Write(kResultsFile, ResultsCsv(result, index)); !written.ok) return written;
  return folder.Finish();
}

}  // namespace zelo
