// Whole reports and band views of the logs in tests/data, byte for byte.
// Run with ZELO_UPDATE_GOLDENS=1 to rewrite the expected files, then read
// the differences before committing them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/report.h"
#include "scoring/score_log.h"
#include "test_log.h"
#include "views/band_view.h"

namespace zelo {
namespace {

namespace fs = std::filesystem;
using test::JoinLines;
using test::ReadBytes;
using test::WriteBytes;

struct GoldenCase {
  std::string_view name;
  std::vector<Band> views;
};
const GoldenCase kGoldenCases[] = {
    {"crlf_aligned", {Band::k80, Band::k20}},  // CR LF, fixed columns, repeats, bonus, no band
    {"lf_aligned", {Band::k40}},               // LF, items at the line end
    {"ragged", {Band::k15, Band::k10}},        // lines of many lengths, BOM, no final line end
    {"tabs", {Band::k20, Band::k40}},          // tabs and mixed separator runs
    {"xqso", {Band::k20, Band::k160}},         // X-QSO lines, "QSO:" outside contact lines
    {"many_mults", {Band::k40}},               // 25, 10 and 20 multipliers on three bands
    {"cr_only", {Band::k80}},                  // lone CR line ends
};

bool Updating() {
  const char* update = std::getenv("ZELO_UPDATE_GOLDENS");
  return update != nullptr && std::string_view(update) == "1";
}

// Compares `actual` with the golden file, or rewrites the file when updating.
void CheckGolden(const fs::path& golden, const std::string& actual) {
  if (Updating()) {
    WriteBytes(golden, actual);
    return;
  }
  ASSERT_TRUE(fs::is_regular_file(golden)) << golden << " is missing; run with ZELO_UPDATE_GOLDENS=1";
  EXPECT_EQ(ReadBytes(golden), actual) << golden;
}

class GoldenTest : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenTest, ReportAndViewsMatch) {
  const fs::path data(ZELO_TEST_DATA);
  const std::string name(GetParam().name);
  const std::string log = ReadBytes(data / (name + ".log"));
  ASSERT_FALSE(log.empty()) << name;
  const ScoreResult result = ScoreLog(log);
  CheckGolden(data / (name + ".report.txt"), JoinLines(WriteReport(result)));
  for (Band band : GetParam().views) {
    const std::vector<std::string> view = BandViewLines(band, result.Tally(band).calls);
    CheckGolden(data / (name + ".view" + std::string(BandName(band)) + ".txt"), JoinLines(view));
  }
  // A second run over the same text writes the same report.
  EXPECT_EQ(WriteReport(ScoreLog(log)), WriteReport(result));
}

INSTANTIATE_TEST_SUITE_P(Logs, GoldenTest, testing::ValuesIn(kGoldenCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelo
