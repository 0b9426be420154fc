// zelo-score --check: the finding lines, the summary, JSON, the exit status.
#include <algorithm>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "check/log_check.h"
#include "cli_test_support.h"

namespace zelo::test {
namespace {

const std::string kClean = std::string(ZELO_TEST_DATA) + "/clean_v3.log";

// Line 2 holds a contact whose report brings no multiplier; no END-OF-LOG:.
std::string FaultyLog() {
  return "START-OF-LOG: 3.0\nQSO: 14025 CW 2026-03-07 1203 YO3ZELO 599 001 BU DL1ABC 5NN 017 GJ\n";
}

class CheckTest : public ScratchTest {};

TEST_F(CheckTest, TellsEachFindingAsFileLineSeverityThenTheSummary) {
  const std::string log = File("faulty.log", FaultyLog());
  const CliRun run = RunZelo({"--check", log});
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_NE(run.out.find(log + ":2: error: report \"5NN\" (field 11) is 599 written the CW way"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find(log + ":2: warning: the log has no END-OF-LOG:"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(log + ":1: warning: the header has no CALLSIGN:"), std::string::npos) << run.out;
  EXPECT_TRUE(run.out.ends_with(
      log + ": 1 error, 3 warnings, 1 note; errors cost 1 multiplier; computed score 0, claimed score none\n"))
      << run.out;
}

struct StatusCase {
  std::string_view name;
  std::vector<std::string> logs;  // "{CLEAN}", "{FAULTY}", "{MISSING}"
  int code;
};
const StatusCase kStatusCases[] = {
    {"Clean", {"{CLEAN}"}, kExitScored},
    {"OneFaulty", {"{CLEAN}", "{FAULTY}"}, kExitRejected},
    {"Unreadable", {"{CLEAN}", "{MISSING}"}, kExitRejected},
};
class CheckStatusTest : public ScratchTest, public testing::WithParamInterface<StatusCase> {};

TEST_P(CheckStatusTest, ExitsOneWhenAnyLogHasAnError) {
  std::vector<std::string> args{"--check"};
  for (const std::string& log : GetParam().logs) {
    args.push_back(log == "{CLEAN}" ? kClean : log == "{FAULTY}" ? File("faulty.log", FaultyLog()) : Path("missing.log"));
  }
  const CliRun run = RunZelo(args);
  EXPECT_EQ(run.code, GetParam().code) << run.out << run.err;
  EXPECT_NE(run.out.find(kClean + ": 0 errors, 0 warnings, 0 notes; computed score 132, claimed score 132\n"),
            std::string::npos);
  EXPECT_EQ(run.err, "");
  if (GetParam().name == "Unreadable") {
    EXPECT_NE(run.out.find(Path("missing.log") + ": error: the file cannot be read: "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(Path("missing.log") + ": 1 error, 0 warnings, 0 notes; not scored"), std::string::npos);
  }
}
INSTANTIATE_TEST_SUITE_P(Logs, CheckStatusTest, testing::ValuesIn(kStatusCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CheckTest, JsonReadsBackAsOneObjectPerLog) {
  const std::string log = File("faulty.log", FaultyLog());
  const CliRun run = RunZelo({"--check", "--json", log, kClean});
  EXPECT_EQ(run.code, kExitRejected);
  std::vector<nlohmann::json> objects;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) objects.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(objects.size(), 2U);
  const nlohmann::json& faulty = objects[0];
  EXPECT_EQ(faulty["file"], log);
  EXPECT_EQ(faulty["errors"], 1);
  EXPECT_EQ(faulty["warnings"], 3);
  EXPECT_EQ(faulty["score"], 0);
  EXPECT_TRUE(faulty["claimed_score"].is_null());
  ASSERT_EQ(faulty["findings"].size(), 5U);
  const nlohmann::json& error = *std::find_if(faulty["findings"].begin(), faulty["findings"].end(),
                                              [](const nlohmann::json& f) { return f["severity"] == "error"; });
  EXPECT_EQ(error["line"], 2);
  EXPECT_EQ(error["code"], "low-report");
  EXPECT_NE(error["message"].get<std::string>().find("5NN"), std::string::npos);
  EXPECT_EQ(objects[1]["findings"].size(), 0U);
  EXPECT_EQ(objects[1]["claimed_score"], 132);
  EXPECT_EQ(objects[1]["qsos"], 12);
  EXPECT_EQ(objects[1]["mults"], 11);
}

// Log bytes reach the terminal escaped.
TEST_F(CheckTest, EscapesControlBytesOfTheLog) {
  const std::string log = File("escape.log", "START-OF-LOG: 3.0\n\x1B[2Jhello\nEND-OF-LOG:\n");
  const CliRun run = RunZelo({"--check", log});
  EXPECT_EQ(run.out.find('\x1B'), std::string::npos);
  EXPECT_NE(run.out.find(log + ":2: warning: the line \"\\x1B[2Jhello\""), std::string::npos) << run.out;
}

// The manual page lists every code the check gives.
TEST(CheckManual, ListsEveryCode) {
  std::ifstream page(std::string(ZELO_SAMPLES) + "/../packaging/zelo-score.1");
  const std::string text{std::istreambuf_iterator<char>(page), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(text.empty());
  for (const FindingKind& kind : FindingKinds()) {
    std::string escaped;
    for (char c : kind.code) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
    EXPECT_NE(text.find(".B " + escaped + "\n"), std::string::npos) << kind.code;
  }
}

}  // namespace
}  // namespace zelo::test
