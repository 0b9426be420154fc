// The command line: which options go together, usage errors, help and version.
#include <filesystem>

#include "cli_test_support.h"
#include "scoring/score_log.h"
#include "zelo/version.h"

namespace zelo::test {
namespace {

// "{LOG}" stands for a valid log, "{OUT}" for a file that must not appear.
std::vector<std::string> Expand(const std::vector<std::string>& args, const std::string& log,
                                const std::string& out) {
  std::vector<std::string> expanded;
  for (const std::string& arg : args) expanded.push_back(arg == "{LOG}" ? log : arg == "{OUT}" ? out : arg);
  return expanded;
}

struct UsageCase {
  std::vector<std::string> args;
  std::string told;  // part of the message on stderr
};
const UsageCase kUsageCases[] = {
    {{}, "LOG is required"},
    {{"--bogus", "{LOG}"}, "--bogus"},
    {{"-o"}, "-o"},
    {{"--band", "5", "{LOG}"}, "--band: 5 not in {160,80,40,20,15,10}"},
    {{"--band", "20M", "{LOG}"}, "--band: 20M not in"},
    {{"--band", "", "{LOG}"}, "--band"},
    {{"-o", "{OUT}", "{LOG}", "{LOG}"}, "--output needs exactly one LOG"},
    {{"--band", "20", "{LOG}", "{LOG}"}, "--band needs exactly one LOG"},
    {{"--explain", "{LOG}", "{LOG}"}, "--explain needs exactly one LOG"},
    {{"--json", "--band", "20", "{LOG}"}, "excludes"},
    {{"--json", "--explain", "{LOG}"}, "excludes"},
    {{"--json", "-o", "{OUT}", "{LOG}"}, "excludes"},
    {{"--explain", "--band", "20", "{LOG}"}, "excludes"},
    {{"--explain", "-o", "{OUT}", "{LOG}"}, "excludes"},
    {{"-o", "", "{LOG}"}, "-o: the file name is empty"},
    {{"--output=", "{LOG}", "{LOG}"}, "--output: the value after = is empty"},
    {{"--bogus"}, "zelo-score has no option --bogus"},
    {{"--band", "20", "--band=40", "{LOG}"}, "--band may be given only once"},
    {{"{LOG}", "-o"}, "-o needs a FILE after it"},
    {{"--check", "--band", "20", "{LOG}"}, "excludes"},
    {{"--check", "-o", "{OUT}", "{LOG}"}, "excludes"},
    {{"--check", "--explain", "{LOG}"}, "excludes"},
    {{"--check", "--check", "{LOG}"}, "--check may be given only once"},
    {{"--json", "{LOG}", "--json", "{LOG}"}, "--json may be given only once"},
    {{"--cross-check", "--time-window", "5", "--time-window=6", "{LOG}"}, "--time-window may be given only once"},
    {{"--check=no", "{LOG}"}, "--check takes no value"},
    {{"--json=false", "{LOG}"}, "--json takes no value"},
};

class UsageTest : public ScratchTest, public testing::WithParamInterface<UsageCase> {};

TEST_P(UsageTest, WrongCommandLineExitsTwoAndWritesNothing) {
  const std::string log = File("a.log", LogOf({QsoLine("14025", "DL1AA", "599", "AB")}));
  const std::string out = Path("out.NS");
  const CliRun run = RunZelo(Expand(GetParam().args, log, out));
  EXPECT_EQ(run.code, kExitUsage);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(GetParam().told), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Run with --help for more information."), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(out));
}
INSTANTIATE_TEST_SUITE_P(CommandLines, UsageTest, testing::ValuesIn(kUsageCases));

struct AcceptedCase {
  std::vector<std::string> args;
  std::string starts;  // what stdout begins with
};
const AcceptedCase kAcceptedCases[] = {
    {{"{LOG}"}, std::string(28, ' ') + "ZELO Razezuz Score Diva 1.11 - YO3ZELO\n"},
    {{"--band", "20", "{LOG}"}, std::string(94, '_') + "\n20M QSO's:\n"},
    {{"--band=160", "{LOG}"}, std::string(94, '_') + "\n160M QSO's:\n"},
    {{"--json", "{LOG}"}, "{\"file\":"},
    {{"--json", "{LOG}", "{LOG}"}, "{\"file\":"},
    {{"--explain", "{LOG}"}, "line 2: stored on 20M"},
    {{"{LOG}", "{LOG}"}, "Call "},
    {{"-o", "{OUT}", "--band", "20", "{LOG}"}, ""},
    {{"--output", "{OUT}", "{LOG}"}, ""},
    {{"--", "{LOG}"}, std::string(28, ' ') + "ZELO"},
};

class AcceptedTest : public ScratchTest, public testing::WithParamInterface<AcceptedCase> {};

TEST_P(AcceptedTest, AllowedCombinationScores) {
  const std::string log = File("a.log", LogOf({QsoLine("14025", "DL1AA", "599", "AB")}));
  const CliRun run = RunZelo(Expand(GetParam().args, log, Path("out.NS")));
  EXPECT_EQ(run.code, kExitScored) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.out.starts_with(GetParam().starts)) << run.out;
  EXPECT_EQ(run.out.empty(), GetParam().starts.empty());
}
INSTANTIATE_TEST_SUITE_P(CommandLines, AcceptedTest, testing::ValuesIn(kAcceptedCases));

TEST(Version, PrintsProgramAndVersion) {
  const CliRun run = RunZelo({"--version"});
  EXPECT_EQ(run.code, kExitScored);
  EXPECT_EQ(run.out, "zelo-score " + std::string(kVersion) + "\n");
  EXPECT_EQ(run.err, "");
}

TEST(Help, ListsEveryOptionAndTheExitStatuses) {
  const CliRun run = RunZelo({"--help"});
  EXPECT_EQ(run.code, kExitScored);
  EXPECT_EQ(run.err, "");
  for (const char* text : {"Usage: zelo-score", "--band", "-o,--output", "--json", "--explain", "--check",
                           "--version", "need exactly one LOG", "Exit status: 0"}) {
    EXPECT_NE(run.out.find(text), std::string::npos) << text;
  }
  std::istringstream help(run.out);
  for (std::string line; std::getline(help, line);) EXPECT_LE(line.size(), 80u) << line;
}

}  // namespace
}  // namespace zelo::test
