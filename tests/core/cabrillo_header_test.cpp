// The header reading shared by the log check and the contest: tag lines,
// the category of version 3 and version 2 logs, the claimed score.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "input/cabrillo_header.h"

namespace zelo {
namespace {

struct CategoryCase {
  std::string_view name;
  std::string text;
  std::string_view operator_, band, power, mode;
  bool v2;
  bool checklog;
};
const CategoryCase kCategoryCases[] = {
    {"Version3", "START-OF-LOG: 3.0\r\nCATEGORY-OPERATOR: SINGLE-OP\r\nCATEGORY-BAND: 20M\r\n"
                 "CATEGORY-POWER: LOW\r\nCATEGORY-MODE: CW\r\nQSO: 14025 x\r\nEND-OF-LOG:\r\n",
     "SINGLE-OP", "20M", "LOW", "CW", false, false},
    {"Version2", "START-OF-LOG: 2.0\nCATEGORY: SINGLE-OP-ASSISTED ALL HIGH MIXED\n",
     "SINGLE-OP", "ALL", "HIGH", "MIXED", true, false},
    {"Version2Multi", "START-OF-LOG: 2.0\nCATEGORY: multi-two 20M LOW\n", "MULTI-OP", "20M", "LOW", "", true, false},
    {"Version2WithoutMode", "START-OF-LOG: 2.0\nCATEGORY:\tCHECKLOG  ALL LOW\n", "CHECKLOG", "ALL", "LOW", "",
     true, true},
    {"Version3WinsOverVersion2", "START-OF-LOG: 3.0\rCATEGORY: MULTI-ONE ALL HIGH\rcategory-operator: checklog\r",
     "checklog", "", "", "", false, true},
    {"NoCategory", "START-OF-LOG: 3.0\nCALLSIGN: YO3ZELO\n", "", "", "", "", false, false},
};

class HeaderCategoryTest : public testing::TestWithParam<CategoryCase> {};

TEST_P(HeaderCategoryTest, ReadsTheCategory) {
  const CabrilloHeader header = ReadCabrilloHeader(GetParam().text);
  EXPECT_EQ(header.category[CategoryPart::kOperator], GetParam().operator_);
  EXPECT_EQ(header.category[CategoryPart::kBand], GetParam().band);
  EXPECT_EQ(header.category[CategoryPart::kPower], GetParam().power);
  EXPECT_EQ(header.category[CategoryPart::kMode], GetParam().mode);
  EXPECT_EQ(header.category_v2, GetParam().v2);
  EXPECT_EQ(header.category.IsChecklog(), GetParam().checklog);
}

INSTANTIATE_TEST_SUITE_P(Logs, HeaderCategoryTest, testing::ValuesIn(kCategoryCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CabrilloHeader, ItemsWithLinesLeaveContactsOut) {
  const CabrilloHeader header = ReadCabrilloHeader(
      "\xEF\xBB\xBFSTART-OF-LOG: 3.0\r\n\r\nCALLSIGN:YO3ZELO \r\nQSO: 14025 a\r\nX-QSO: 1 b\r\n"
      "SOAPBOX: QSO: in a remark\r\n  INDENTED: x\r\nNOT A TAG: y\r\nEND-OF-LOG:\r\n");
  ASSERT_EQ(header.items.size(), 5U);
  EXPECT_EQ(header.version, "3.0");
  EXPECT_EQ(header.items[1].tag, "CALLSIGN");
  EXPECT_EQ(header.items[1].value, "YO3ZELO");
  EXPECT_EQ(header.items[1].line, 3);
  EXPECT_EQ(header.items[2].tag, "SOAPBOX");
  // Blanks before a tag are passed over, as the scorer passes over them before START-OF-LOG:.
  EXPECT_EQ(header.items[3].tag, "INDENTED");
  EXPECT_EQ(header.items[3].value, "x");
  EXPECT_EQ(header.items[4].tag, "END-OF-LOG");
  EXPECT_EQ(header.items[4].line, 9);
  EXPECT_EQ(header.Value("callsign"), "YO3ZELO");
  EXPECT_EQ(header.Value("CLUB"), std::nullopt);
}

struct NumberCase {
  std::string_view text;
  std::optional<std::int64_t> value;
};
const NumberCase kNumberCases[] = {
    {"55476", 55476}, {" 55,476 ", 55476}, {"0", 0},          {"-3", -3},
    {"", std::nullopt}, {"12a", std::nullopt}, {"1.5", std::nullopt}, {",5", std::nullopt},
    {"9223372036854775807", INT64_MAX}, {"9223372036854775808", std::nullopt},
};

TEST(CabrilloHeader, ClaimedScoreIsAWholeNumber) {
  for (const NumberCase& c : kNumberCases) {
    EXPECT_EQ(ParseWholeNumber(c.text), c.value) << c.text;
    const std::string log = "CLAIMED-SCORE: " + std::string(c.text) + "\n";
    const CabrilloHeader header = ReadCabrilloHeader(log);
    EXPECT_EQ(header.ClaimedScore(), c.value) << c.text;
  }
}

}  // namespace
}  // namespace zelo
