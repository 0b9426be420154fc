#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "scoring/report.h"
#include "scoring/score_log.h"
#include "test_log.h"

namespace zelo {
namespace {

using test::AlignedLog;
using test::Qso;
using Texts = std::vector<std::string_view>;

struct ScanCase {
  std::string_view name;
  std::string_view text;
  Texts records;
};
const ScanCase kScanCases[] = {
    {"CrLfLines", "QSO: a\r\nQSO: b\r\n", {"QSO: a\r\n", "QSO: b\r\n"}},
    {"LfLines", "QSO: a\nQSO: b\n", {"QSO: a\n", "QSO: b\n"}},
    {"LoneCrLines", "QSO: a\rQSO: b\r", {"QSO: a\r", "QSO: b\r"}},
    {"RaggedLines", "QSO: a b c\r\nQSO: dd\r\nEND-OF-LOG:\r\n", {"QSO: a b c\r\n", "QSO: dd\r\n"}},
    {"HeaderBefore", "START-OF-LOG: 3.0\r\nQSO: a\r\n", {"QSO: a\r\n"}},
    {"LastLineWithoutLineEnd", "QSO: a\r\nQSO: b", {"QSO: a\r\n", "QSO: b"}},
    {"XQsoLine", "QSO: a\r\nX-QSO: b\r\nQSO: c\r\n", {"QSO: a\r\n", "QSO: b\r\n", "QSO: c\r\n"}},
    {"TwoOnOneLine", "QSO: a QSO: b\r\n", {"QSO: a ", "QSO: b\r\n"}},
    {"AfterEndOfLog", "QSO: a\r\nEND-OF-LOG:\r\nQSO: b\r\n", {"QSO: a\r\n", "QSO: b\r\n"}},
    {"CrBeforeLf", "QSO: a\r\r\nQSO: b\r\n", {"QSO: a\r", "QSO: b\r\n"}},
    {"LfThenCr", "QSO: a\n\rQSO: b", {"QSO: a\n", "QSO: b"}},
    {"TagsBackToBack", "QSO:QSO:", {"QSO:", "QSO:"}},
    {"TagAlone", "QSO:", {"QSO:"}},
    {"TagCutAtTheEnd", "QSO: a\r\nQSO", {"QSO: a\r\n"}},
    {"NoTag", "START-OF-LOG: 3.0\r\nqso: a\r\nQSO a\r\nEND-OF-LOG:\r\n", {}},
    {"Empty", "", {}},
    // Line ends found for one record must not be reused wrongly for the next.
    {"MixedEndsInOneText", "QSO: a QSO: b\nQSO: c\rQSO: d", {"QSO: a ", "QSO: b\n", "QSO: c\r", "QSO: d"}},
    {"CrInAnotherLineBetween", "QSO: a\nx\rQSO: b\r\n", {"QSO: a\n", "QSO: b\r\n"}},
    {"LfInAnotherLineBetween", "QSO: a\rx\nQSO: b\n", {"QSO: a\r", "QSO: b\n"}},
    {"LineEndsFarAway", "QSO: a QSO: b QSO: c\r\n\r\n\r\nQSO: d", {"QSO: a ", "QSO: b ", "QSO: c\r\n", "QSO: d"}},
};

class RecordScannerTest : public testing::TestWithParam<ScanCase> {};

TEST_P(RecordScannerTest, RecordRunsToItsLineEnd) {
  const std::string_view text = GetParam().text;
  RecordScanner scanner(text);
  Texts records;
  while (const std::optional<Record> record = scanner.Next()) {
    EXPECT_EQ(record->text.data(), text.data() + record->offset);
    records.push_back(record->text);
  }
  EXPECT_EQ(records, GetParam().records);
  EXPECT_EQ(scanner.Next(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Texts, RecordScannerTest, testing::ValuesIn(kScanCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScoreLogShape, LineEndsDoNotChangeTheReport) {
  const std::vector<Qso> qsos = {{"14025", "YP2GO", "599", "HR"}, {"3525", "Q2XBM", "5", ""},
                                 {"7025", "K1AB", "59", "CS"},    {"7025", "K1AB", "59", "CS"},
                                 {"29600", "K1AC", "599", "B"},   {"28400", "K1AD", "599", "AB"}};
  const std::string crlf = AlignedLog(qsos, "\r\n");
  const ScoreResult reference = ScoreLog(crlf);
  ASSERT_EQ(reference.total_qsos, 4);
  ASSERT_EQ(reference.total_mults, 4);
  for (std::string_view eol : {"\n", "\r"}) {
    const std::string text = AlignedLog(qsos, eol);
    EXPECT_EQ(WriteReport(ScoreLog(text)), WriteReport(reference)) << (eol == "\n" ? "LF" : "CR");
  }
}

}  // namespace
}  // namespace zelo
