// zelo-score --cross-check --report-dir DIR --html DIR: the files written,
// and a folder that cannot be written told with its reason.
#include "cli_test_support.h"

namespace zelo::test {
namespace {

std::string StationLog(const std::string& call, const std::string& worked, const std::string& time) {
  return LogOf({"CALLSIGN: " + call, "CATEGORY: SINGLE-OP ALL LOW CW",
                  "QSO: 14025 CW 2026-03-07 " + time + " " + call + " 599 001 BU " + worked + " 599 001 BU"});
}

class ContestOutputCliTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    std::filesystem::create_directory(Path("logs"));
    File("logs/a.log", StationLog("A1A", "B1B", "1200"));
    File("logs/b.log", StationLog("B1B", "A1A", "1201"));
  }
};

TEST_F(ContestOutputCliTest, ReportsAndSiteAreWrittenBesideTheTable) {
  const CliRun run = RunZelo({"--cross-check", Path("logs"), "--report-dir", Path("reports"), "--html", Path("site")});
  ASSERT_EQ(run.code, kExitScored) << run.err;
  EXPECT_NE(run.out.find("A1A"), std::string::npos);
  EXPECT_EQ(ReadBytes(Path("reports/results.csv")).substr(0, 10), "file,call,");
  EXPECT_NE(ReadBytes(Path("reports/B1B.txt")).find("Log-checking report: B1B\r\n"), std::string::npos);
  const std::string index = ReadBytes(Path("site/index.html"));
  for (const std::string link : {"<a href=\"A1A.html\">A1A</a>", "<a href=\"B1B.html\">B1B</a>"}) {
    EXPECT_NE(index.find(link), std::string::npos) << link;
  }
  EXPECT_TRUE(std::filesystem::exists(Path("site/A1A.html")));
}

struct FolderCase {
  std::vector<std::string> args;  // after --cross-check LOGS; "@" stands for the scratch folder
  int code;
  std::string message;  // "@" stands for the scratch folder
};

const FolderCase kFolderCases[] = {
    {{"--report-dir", "@/logs/a.log"}, kExitRejected, "Reports NOT written: @/logs/a.log: "},
    {{"--html", "@/logs/a.log/site"}, kExitRejected, "Results site NOT written: @/logs/a.log/site: "},
    {{"--report-dir", ""}, kExitUsage, "--report-dir: the folder name is empty"},
    {{"--html", ""}, kExitUsage, "--html: the folder name is empty"},
};

TEST_F(ContestOutputCliTest, FolderThatCannotBeWrittenIsToldWithItsReason) {
  const auto here = [&](std::string text) {
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@')) text.replace(at, 1, Root());
    return text;
  };
  for (const FolderCase& c : kFolderCases) {
    std::vector<std::string> args = {"--cross-check", Path("logs")};
    for (const std::string& arg : c.args) args.push_back(here(arg));
    const CliRun run = RunZelo(args);
    EXPECT_EQ(run.code, c.code) << run.err;
    EXPECT_NE(run.err.find(here(c.message)), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadBytes(Path("logs/a.log")), StationLog("A1A", "B1B", "1200"));
}

}  // namespace
}  // namespace zelo::test
