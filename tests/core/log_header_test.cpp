#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

#include "input/log_file.h"

namespace zelo {
namespace {

using namespace std::string_view_literals;

struct ItemCase {
  std::string_view text;
  std::string_view item;
};
const ItemCase kItemCases[] = {
    {"START-OF-LOG: 3.0\r\nCALLSIGN: YO3ZELO\r\n", "START-OF-LOG: 3.0"},
    {"   START-OF-LOG: 3.0\r\n", "START-OF-LOG: 3.0"},
    {"START-OF-LOG:,3.0\r\n", "START-OF-LOG:"},
    {"START,OF-LOG:\r\n", "START"},
    {"START-OF-LOG: 3.0\nCALLSIGN: X\n", "START-OF-LOG: 3.0"},
    {"START-OF-LOG: 3.0\rCALLSIGN: X\r", "START-OF-LOG: 3.0"},
    {"START-OF-LOG:", "START-OF-LOG:"},
    {"\"START-OF-LOG: 3.0, x\"\r\n", "START-OF-LOG: 3.0, x"},
    {"  \"a\r\nb\",c", "a\r\nb"},
    {"\"START-OF-LOG: 3.0", "START-OF-LOG: 3.0"},
    {"CONTEST: ZELO\r\nSTART-OF-LOG: 3.0\r\n", "CONTEST: ZELO"},
    {"\xEF\xBB\xBFSTART-OF-LOG: 3.0\r\n", "START-OF-LOG: 3.0"},
    {"\r\n\r\n  START-OF-LOG: 3.0\r\n", "START-OF-LOG: 3.0"},
    {"\t \n\tSTART-OF-LOG:\n", "START-OF-LOG:"},
    {"", ""},
    {"\r\n \r\n", ""},
};

class FirstItemTest : public testing::TestWithParam<ItemCase> {};

TEST_P(FirstItemTest, ItemRule) { EXPECT_EQ(FirstItem(GetParam().text), GetParam().item); }

INSTANTIATE_TEST_SUITE_P(Texts, FirstItemTest, testing::ValuesIn(kItemCases));

struct HeaderCase {
  std::string_view text;
  bool valid;
};
const HeaderCase kHeaderCases[] = {
    {"START-OF-LOG: 3.0\r\nCALLSIGN: YO3ZELO\r\nQSO: 14025\r\n", true},
    {"   START-OF-LOG: 3.0\r\n", true},
    {"START-OF-LOG:\r\n", true},
    {"START-OF-LOG:", true},
    {"START-OF-LOG:3.0\r\n", true},
    {"start-of-log: 3.0\r\n", false},
    {"Start-Of-Log: 3.0\r\n", false},
    {"START-OF-LOG 3.0\r\n", false},
    {"START-OF-LOG\r\n:", false},
    {"START-OF-LOG", false},
    {"START-OF-LOG;\r\n", false},
    {"CONTEST: ZELO-RAZEZUZ\r\nSTART-OF-LOG: 3.0\r\n", false},
    {"START-OF-LOG:,3.0\r\n", true},
    {"START,OF-LOG:\r\n", false},
    {"START-OF-LOG\":\r\n", false},
    {"\"START-OF-LOG: 3.0\"\r\n", true},
    {"\"START\"-OF-LOG:\r\n", false},
    {"x START-OF-LOG: 3.0\r\n", false},
    {"\xEF\xBB\xBFSTART-OF-LOG: 3.0\r\n", true},
    {"\xEF\xBB\xBF  START-OF-LOG: 3.0\r\n", true},
    {"\xEF\xBBSTART-OF-LOG: 3.0\r\n", false},
    {"\r\n\r\nSTART-OF-LOG: 3.0\r\n", true},
    {"\n\n\t START-OF-LOG: 3.0\n", true},
    {"\r\rSTART-OF-LOG: 3.0\r", true},
    {"", false},
    {"\xEF\xBB\xBF", false},
    {"\r\n\r\n", false},
    {"   ", false},
    {"\0START-OF-LOG: 3.0"sv, false},
};

class CheckLogHeaderTest : public testing::TestWithParam<HeaderCase> {};

TEST_P(CheckLogHeaderTest, AcceptsOnlyTheKeywordFirst) {
  const HeaderCheck check = CheckLogHeader(GetParam().text);
  EXPECT_EQ(check.valid, GetParam().valid);
  // A rejection always says why; an acceptance says nothing.
  EXPECT_EQ(check.reason.empty(), GetParam().valid) << check.reason;
}

INSTANTIATE_TEST_SUITE_P(Texts, CheckLogHeaderTest, testing::ValuesIn(kHeaderCases));

TEST(CheckLogHeader, ReasonNamesWhatTheFileBeginsWith) {
  const HeaderCheck check = CheckLogHeader("CONTEST: ZELO-RAZEZUZ\r\nSTART-OF-LOG: 3.0\r\n");
  EXPECT_NE(check.reason.find("CONTEST: ZELO-RAZEZUZ"), std::string::npos) << check.reason;
}

// Characters that show as nothing are named, so the reason does not seem to
// quote the very header it refuses; other bytes are quoted as they are.
TEST(CheckLogHeader, ReasonShowsInvisibleCharacters) {
  const std::pair<std::string_view, std::string_view> kCases[] = {
      {"\xEF\xBB\xBF\xEF\xBB\xBFSTART-OF-LOG: 3.0", "\"<U+FEFF>START-OF-LOG: 3.0\""},
      {"\xE2\x80\x8BSTART-OF-LOG:\xC2\xA0x", "\"<U+200B>START-OF-LOG:<U+00A0>x\""},
      {"St\xC3\xA9phane \xEF\xBB", "\"St\xC3\xA9phane \xEF\xBB\""},
  };
  for (const auto& [text, shown] : kCases) {
    EXPECT_EQ(CheckLogHeader(text).reason, "it begins with " + std::string(shown) + ", not START-OF-LOG:");
  }
}

}  // namespace
}  // namespace zelo
