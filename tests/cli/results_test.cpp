// Several logs: the results table and the JSON objects.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli_test_support.h"

namespace zelo::test {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// 20 m: DL1AA AB, DL4DD AB, DL5EE CD, DL6FF (report 9); 40 m: DL2BB AB;
// 15 m: Q2XBM/60 (bonus); one on no band; one repeat. 6 contacts, 2 + 1 + 1
// multipliers, score 24.
std::string HandLog(std::string_view my_call = "YO3ZELO") {
  return LogOf({
      QsoLine("14025", "DL1AA", "599", "AB", my_call),
      QsoLine("14026", "DL1AA", "599", "AC", my_call),
      QsoLine("7025", "DL2BB", "599", "AB", my_call),
      QsoLine("29600", "DL3CC", "599", "XY", my_call),
      QsoLine("14030", "DL4DD", "599", "AB", my_call),
      QsoLine("21030", "Q2XBM/60", "5", "ZZ", my_call),
      QsoLine("14035", "DL5EE", "59", "CD", my_call),
      QsoLine("14040", "DL6FF", "9", "EF", my_call),
  });
}

// `n` contacts on 10 m, each with its own multiplier: score n * n.
std::string SquareLog(int n, std::string_view my_call) {
  std::vector<std::string> lines;
  for (int i = 0; i < n; ++i) {
    const std::string n_text = std::to_string(i);
    lines.push_back(QsoLine("28010", std::string("K").append(n_text), "599", std::string("M").append(n_text), my_call));
  }
  return LogOf(lines);
}

class JsonTest : public ScratchTest {};

TEST_F(JsonTest, ObjectCarriesTheCountsInBandOrder) {
  const std::string log = File("hand.log", HandLog());
  const CliRun run = RunZelo({"--json", log});
  ASSERT_EQ(run.code, kExitScored) << run.err;
  ASSERT_EQ(Lines(run.out).size(), 1u);
  const nlohmann::json j = nlohmann::json::parse(run.out);
  EXPECT_EQ(j["file"], log);
  EXPECT_EQ(j["call"], "YO3ZELO");
  struct BandRow { const char* band; int qsos; int mults; };
  const BandRow kExpected[] = {{"160", 0, 0}, {"80", 0, 0}, {"40", 1, 1}, {"20", 4, 2}, {"15", 1, 1}, {"10", 0, 0}};
  ASSERT_EQ(j["bands"].size(), std::size(kExpected));
  for (std::size_t i = 0; i < std::size(kExpected); ++i) {
    EXPECT_EQ(j["bands"][i]["band"], kExpected[i].band);
    EXPECT_EQ(j["bands"][i]["qsos"], kExpected[i].qsos) << kExpected[i].band;
    EXPECT_EQ(j["bands"][i]["mults"], kExpected[i].mults) << kExpected[i].band;
  }
  EXPECT_EQ(j["qsos"], 6);
  EXPECT_EQ(j["mults"], 4);
  EXPECT_EQ(j["score"], 24);
  EXPECT_FALSE(j.contains("error"));
}

TEST_F(JsonTest, OneLinePerLogInOrderWithErrors) {
  const std::string a = File("a.log", SquareLog(3, "AAA"));
  const std::string b = File("b.log", SquareLog(5, "BBB"));
  const std::string missing = Path("none.log");
  const CliRun run = RunZelo({"--json", a, missing, b});
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_EQ(run.err, "Please select a valid cabrillo log file: " + missing + ": " + std::strerror(ENOENT) + "\n");
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u);
  const nlohmann::json ja = nlohmann::json::parse(lines[0]);
  const nlohmann::json jm = nlohmann::json::parse(lines[1]);
  const nlohmann::json jb = nlohmann::json::parse(lines[2]);
  EXPECT_EQ(ja["score"], 9);
  EXPECT_EQ(jb["call"], "BBB");
  EXPECT_EQ(jb["score"], 25);
  EXPECT_EQ(jm, (nlohmann::json{{"file", missing}, {"error", std::strerror(ENOENT)}}));
}

// Every JSON output shows bytes that are not UTF-8 as their Latin-1 letters,
// as the window does: F5\xC9\xC9T reads F5ÉÉT, never a replacement mark.
struct JsonBytesCase {
  std::vector<std::string> options;
  std::string shown;  // part of the output
};
const JsonBytesCase kJsonBytesCases[] = {
    {{"--json"}, "\"call\":\"F5\xC3\x89\xC3\x89T\""},
    {{"--json"}, "bad\xC3\xBF.log\""},
    {{"--check", "--json"}, "own call \\\"F5\xC3\x89\xC3\x89T\\\" (field 6) differs from CALLSIGN: \\\"F5\xC3\x89\xC3\x88T"},
    {{"--cross-check", "--json"}, "\"call\":\"F5\xC3\x89\xC3\x88T"},
};

class JsonBytesTest : public ScratchTest, public testing::WithParamInterface<JsonBytesCase> {};

TEST_P(JsonBytesTest, BytesShowAsTheWindowShowsThem) {
  // DEL in CALLSIGN: a terminal is shown it escaped the JSON way.
  const std::string log = File("bad\xFF.log", "START-OF-LOG: 3.0\r\nCALLSIGN: F5\xC9\xC8T\x7F\r\n" +
                                                  QsoLine("14025", "DL1AA", "599", "AB", "F5\xC9\xC9T") +
                                                  "\r\nEND-OF-LOG:\r\n");
  std::vector<std::string> args = GetParam().options;
  args.push_back(log);
  const CliRun run = RunZelo(args);
  EXPECT_NE(run.out.find(GetParam().shown), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("\xEF\xBF\xBD"), std::string::npos) << run.out;
  for (const std::string& line : Lines(run.out)) EXPECT_TRUE(nlohmann::json::accept(line)) << line;
  const CliRun on_terminal = RunZelo(args, {.out_is_terminal = true});
  if (run.out.find('\x7F') != std::string::npos) {
    EXPECT_EQ(on_terminal.out.find('\x7F'), std::string::npos) << on_terminal.out;
    EXPECT_NE(on_terminal.out.find("\\u007f"), std::string::npos) << on_terminal.out;
  }
}
INSTANTIATE_TEST_SUITE_P(Outputs, JsonBytesTest, testing::ValuesIn(kJsonBytesCases));

TEST_F(JsonTest, ScoreAboveThirtyTwoBitsStaysExact) {
  // 50,000 contacts with their own multipliers: 2,500,000,000.
  const std::string log = File("big.log", SquareLog(50000, "BIG"));
  const CliRun run = RunZelo({"--json", log});
  ASSERT_EQ(run.code, kExitScored);
  EXPECT_EQ(nlohmann::json::parse(run.out)["score"].get<std::int64_t>(), 2'500'000'000LL);
}

class TableTest : public ScratchTest {};

TEST_F(TableTest, BestScoreFirstTiesInOrderRejectedLast) {
  const std::string low = File("low.log", SquareLog(2, "LOW"));
  const std::string tie1 = File("tie1.log", SquareLog(3, "TIE1"));
  const std::string high = File("high.log", SquareLog(12, "HIGHEST"));
  const std::string tie2 = File("tie2.log", SquareLog(3, "TIE2"));
  const std::string folder = Path("dir.log");
  std::filesystem::create_directory(folder);
  const std::string junk = File("junk.log", "hello\n");
  const CliRun run = RunZelo({low, folder, tie1, high, junk, tie2});
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_EQ(run.err, "Please select a valid cabrillo log file: " + folder + ": it is a folder\n" +
                         "Please select a valid cabrillo log file: " + junk +
                         ": it begins with \"hello\", not START-OF-LOG:\n");
  const std::vector<std::string> expected = {
      "Call     QSOs  Mults  Score  File",
      "HIGHEST    12     12    144  " + high,
      "TIE1        3      3      9  " + tie1,
      "TIE2        3      3      9  " + tie2,
      "LOW         2      2      4  " + low,
      "-           -      -      -  " + folder + " (not scored: it is a folder)",
      "-           -      -      -  " + junk + " (not scored: it begins with \"hello\", not START-OF-LOG:)",
  };
  EXPECT_EQ(Lines(run.out), expected);
}

TEST_F(TableTest, AllScoredExitsZero) {
  const CliRun run = RunZelo({File("a.log", SquareLog(1, "A")), File("b.log", HandLog())});
  EXPECT_EQ(run.code, kExitScored);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Lines(run.out).size(), 3u);
  EXPECT_TRUE(Lines(run.out)[1].starts_with("YO3ZELO     6      4     24  ")) << run.out;
}

TEST_F(TableTest, ControlBytesInCallAreEscaped) {
  const CliRun run = RunZelo({File("a.log", SquareLog(1, "X\x1B[2J")), File("b.log", SquareLog(1, "B"))});
  EXPECT_EQ(run.out.find('\x1B'), std::string::npos);
  EXPECT_NE(run.out.find("X\\x1B[2J"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace zelo::test
