// zelo-score --cross-check --report-dir DIR --html DIR: the files written,
// and a folder that cannot be written told with its reason.
#include <unistd.h>

#include "cli_test_support.h"
#include "support/child.h"

namespace zelo::test {
namespace {

std::string StationLog(const std::string& call, const std::string& worked, const std::string& time) {
  return LogOf({"CALLSIGN: " + call, "CATEGORY: SINGLE-OP ALL LOW CW",
                  "QSO: 14025 CW 2026-03-07 " + time + " " + call + " 599 001 BU " + worked + " 599 001 BU"});
}

class ContestOutputCliTest : public ScratchTest {
 public:
  std::string Write(const std::string& name, std::string_view bytes) {
    std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
    return File(name, bytes);
  }
  std::string At(const std::string& name) const { return Path(name); }
  using ScratchTest::Root;

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
  EXPECT_NE(ReadBytes(Path("reports/B1B.txt")).find("Log-checking report: B1B (Contest results)\r\n"),
            std::string::npos);
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

// What the outputs must never do, through the real program: replace a log
// or anyone else's file, leave a stale page, or publish a path or the
// content of a file that is no log.
struct OutputCase {
  std::string name;
  std::function<void(ContestOutputCliTest&)> arrange;
  std::vector<std::string> args;  // after --cross-check; "@" stands for the scratch folder
  int code;
  std::function<void(ContestOutputCliTest&, const ProgramOutcome&)> check;
};

std::vector<std::string> FilesUnder(const std::string& dir) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file()) files.push_back(entry.path().string());
  }
  return files;
}

const OutputCase kOutputCases[] = {
    {"ALogInTheReportFolderIsKept",
     [](ContestOutputCliTest& t) { t.Write("out/A1A.txt", StationLog("A1A", "Q1Q", "0900")); },
     {"@/logs", "--report-dir", "@/out"}, kExitRejected,
     [](ContestOutputCliTest& t, const ProgramOutcome& run) {
       EXPECT_NE(run.err.find("A1A.txt is a Cabrillo log; not replaced"), std::string::npos) << run.err;
       EXPECT_EQ(ReadBytes(t.At("out/A1A.txt")), StationLog("A1A", "Q1Q", "0900"));
       EXPECT_EQ(FilesUnder(t.At("out")).size(), 1U);  // nothing written
     }},
    {"OneFolderForReportsAndSite", [](ContestOutputCliTest&) {}, {"@/logs", "--report-dir", "@/x", "--html", "@/x/"},
     kExitUsage,
     [](ContestOutputCliTest& t, const ProgramOutcome& run) {
       EXPECT_NE(run.err.find("--report-dir and --html name one folder"), std::string::npos) << run.err;
       EXPECT_FALSE(std::filesystem::exists(t.At("x")));
     }},
    {"StalePagesGo",
     [](ContestOutputCliTest& t) {
       t.Write("logs/c.log", StationLog("C1C", "A1A", "1202"));
       ASSERT_EQ(RunProgram(ZELO_SCORE_BIN, {"--cross-check", t.At("logs"), "--html", t.At("site")}).code, kExitScored);
       ASSERT_TRUE(std::filesystem::exists(t.At("site/C1C.html")));
       std::filesystem::remove(t.At("logs/c.log"));
     },
     {"@/logs", "--html", "@/site"}, kExitScored,
     [](ContestOutputCliTest& t, const ProgramOutcome&) {
       EXPECT_FALSE(std::filesystem::exists(t.At("site/C1C.html")));
       EXPECT_TRUE(std::filesystem::exists(t.At("site/A1A.html")));
     }},
    {"NoPathNoForeignContent",
     [](ContestOutputCliTest& t) {
       ASSERT_EQ(::symlink("/etc/passwd", t.At("logs/passwd").c_str()), 0);
       t.Write("logs/nul.log", std::string("START-OF-LOG: 3.0\r\nCALLSIGN: N\x01UL\x00X\r\n", 33) +
                                   "QSO: 14025 CW 2026-03-07 1203 NUL 599 001 BU A1A 599 001 BU\r\nEND-OF-LOG:\r\n");
     },
     {"@/logs", "--report-dir", "@/reports", "--html", "@/site", "--title", "ZELO <2026>"}, kExitRejected,
     [](ContestOutputCliTest& t, const ProgramOutcome& run) {
       EXPECT_NE(run.err.find("skipped " + t.At("logs/passwd") + ": it is not a Cabrillo log"), std::string::npos);
       for (const std::string& file : FilesUnder(t.At("reports")), FilesUnder(t.At("site"))) {
         const std::string bytes = ReadBytes(file);
         EXPECT_EQ(bytes.find(t.Root()), std::string::npos) << file;  // no path, only file names
         EXPECT_EQ(bytes.find("root:"), std::string::npos) << file;   // no content of a file that is no log
       }
       const std::string csv = ReadBytes(t.At("reports/results.csv"));
       for (char c : csv) EXPECT_TRUE(c == '\r' || c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
       EXPECT_NE(csv.find("passwd,"), std::string::npos);
       EXPECT_NE(ReadBytes(t.At("site/index.html")).find("<h1>ZELO &lt;2026&gt;</h1>"), std::string::npos);
       EXPECT_NE(ReadBytes(t.At("site/files.html")).find("<td>passwd</td>"), std::string::npos);
     }},
    {"SubfoldersAreRead",
     [](ContestOutputCliTest& t) {
       t.Write("logs/more/c.log", StationLog("C1C", "A1A", "1202"));
       t.Write("logs/.old/d.log", StationLog("D1D", "A1A", "1202"));
     },
     {"@/logs", "--json"}, kExitScored,
     [](ContestOutputCliTest&, const ProgramOutcome& run) {
       EXPECT_NE(run.out.find("\"call\":\"C1C\""), std::string::npos) << run.out;
       EXPECT_EQ(run.out.find("D1D"), std::string::npos) << run.out;
     }},
};

class OutputCaseTest : public ContestOutputCliTest, public testing::WithParamInterface<OutputCase> {};

TEST_P(OutputCaseTest, OutputsKeepEveryFileAndDiscloseNothing) {
  GetParam().arrange(*this);
  std::vector<std::string> args = {"--cross-check"};
  for (const std::string& arg : GetParam().args) args.push_back(arg.starts_with("@") ? Root() + arg.substr(1) : arg);
  const ProgramOutcome run = RunProgram(ZELO_SCORE_BIN, args);
  EXPECT_EQ(run.code, GetParam().code) << run.err;
  GetParam().check(*this, run);
}
INSTANTIATE_TEST_SUITE_P(Cases, OutputCaseTest, testing::ValuesIn(kOutputCases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace zelo::test
