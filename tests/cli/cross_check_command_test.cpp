// zelo-score --cross-check: the results table, the JSON lines, folders and
// the options that go with it.
#include <nlohmann/json.hpp>

#include "cli_test_support.h"

namespace zelo::test {
namespace {

// A log of `call` with one contact per (time, worked call) on 20 m, sending "001 BU".
std::string ContestLog(const std::string& call, const std::vector<std::pair<std::string, std::string>>& contacts,
                       const std::string& header = "") {
  std::vector<std::string> lines = {"CALLSIGN: " + call};
  if (!header.empty()) lines.push_back(header);
  for (const auto& [time, worked] : contacts) {
    lines.push_back("QSO: 14025 CW 2026-03-07 " + time + " " + call + " 599 001 BU " + worked + " 599 001 BU");
  }
  return LogOf(lines);
}

class CrossCheckCommandTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    std::filesystem::create_directory(Path("logs"));
    File("logs/b.log", ContestLog("B1B", {{"1200", "A1A"}}, "CATEGORY: SINGLE-OP ALL LOW CW"));
    File("logs/a.log", ContestLog("A1A", {{"1203", "B1B"}, {"1210", "C1D"}, {"1220", "Z9Z"}},
                                  "CATEGORY-OPERATOR: SINGLE-OP\r\nCATEGORY-BAND: ALL\r\nCATEGORY-POWER: LOW\r\n"
                                  "CATEGORY-MODE: CW\r\nCLAIMED-SCORE: 3"));
    File("logs/c.log", ContestLog("C1C", {{"1211", "A1A"}}, "CATEGORY-OPERATOR: CHECKLOG"));
    File("logs/x.txt", "not a log\n");
  }
};

TEST_F(CrossCheckCommandTest, TablePerCategoryThenChecklogsAndSkippedFilesOnce) {
  const CliRun run = RunZelo({"--cross-check", Path("logs")});
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_EQ(run.err, "zelo-score: skipped " + Path("logs/x.txt") +
                         ": it is not a Cabrillo log: it does not begin with START-OF-LOG: "
                         "(it begins with \"not a log\", not START-OF-LOG:)\n");
  std::istringstream lines(run.out);
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  // Place, call, QSOs, mults, claimed, score, checked, then every status.
  const std::vector<std::string> expected = {
      "Pl Call QSO Mult Claim Score Check Conf BExc BCal NIL Uniq Unvr Rep NoBd NoQ",
      "SINGLE-OP ALL LOW CW NON-ASSISTED ONE (2 logs)",
      "1 A1A 3 1 3 3 2 1 0 1 0 1 0 0 0 0",
      "2 B1B 1 1 - 1 1 1 0 0 0 0 0 0 0 0",
      "Check logs",
      "- C1C 1 1 - 1 1 1 0 0 0 0 0 0 0 0"};
  ASSERT_EQ(rows.size(), expected.size()) << run.out;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    std::istringstream cells(rows[i]);
    std::string words, word;
    while (cells >> word) words += (words.empty() ? "" : " ") + word;
    EXPECT_EQ(words, expected[i]);
    EXPECT_LE(rows[i].size(), 100U);
  }
}

TEST_F(CrossCheckCommandTest, NoLogsInAnEmptyFolder) {
  std::filesystem::create_directory(Path("empty"));
  File("empty/notes.txt", "73\n");
  const CliRun run = RunZelo({"--cross-check", Path("empty")});
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_NE(run.err.find("zelo-score: no logs in " + Path("empty") + "\n"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
}

TEST_F(CrossCheckCommandTest, JsonObjectPerLogWithEveryContact) {
  const CliRun run = RunZelo({"--cross-check", "--json", "--time-window", "5", Path("logs/a.log"), Path("logs/b.log"),
                              Path("logs/c.log")});
  ASSERT_EQ(run.code, kExitScored) << run.err;
  std::istringstream lines(run.out);
  std::string first;
  std::getline(lines, first);
  const nlohmann::json a = nlohmann::json::parse(first);
  EXPECT_EQ(a["call"], "A1A");
  EXPECT_EQ(a["category"]["operator"], "SINGLE-OP");
  EXPECT_EQ(a["claimed_score"], 3);
  EXPECT_EQ(a["checked_score"], 2);
  ASSERT_EQ(a["contacts"].size(), 3U);
  EXPECT_EQ(a["contacts"][0], nlohmann::json::parse(R"({"line":8,"status":"confirmed","counted":true,"band":20,)"
                                                    R"("worked_call":"B1B","other_file":")" + Path("logs/b.log") +
                                                    R"(","other_line":4})"));
  EXPECT_EQ(a["contacts"][1]["status"], "busted-call");
  EXPECT_EQ(a["contacts"][1]["correct_call"], "C1C");
  EXPECT_EQ(a["contacts"][2]["status"], "unique");
  std::string second;
  std::getline(lines, second);
  EXPECT_TRUE(nlohmann::json::parse(second)["claimed_score"].is_null());
}

TEST(CrossCheckOptions, UsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"--time-window", "10", "a.log"},
      {"--cross-check", "--time-window", "0", "a.log"},
      {"--cross-check", "--time-window", "1441", "a.log"},
      {"--cross-check", "--band", "20", "a.log"},
      {"--cross-check", "--explain", "a.log"},
      {"--cross-check", "-o", "out.txt", "a.log"},
  };
  for (const auto& args : cases) {
    const CliRun run = RunZelo(args);
    EXPECT_EQ(run.code, kExitUsage) << args[1];
    EXPECT_TRUE(run.out.empty());
  }
}

}  // namespace
}  // namespace zelo::test
