// Writes the small hand-built contest as a report folder and a results site,
// for looking at them and for the browser check (tools/test-html-site).
#include <iostream>

#include "contest/contest_output.h"
#include "support/small_contest.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: zelo-small-site REPORT_DIR HTML_DIR\n";
    return 2;
  }
  const zelo::ContestResult result = zelo::testing_support::SmallContest();
  for (const zelo::OutputWrite& written :
       {zelo::WriteReportDir(result, argv[1]), zelo::WriteHtmlSite(result, argv[2])}) {
    if (!written.ok) {
      std::cerr << "zelo-small-site: " << written.error << "\n";
      return 1;
    }
  }
  return 0;
}
