// What the window and the page show of log bytes: UTF-8 as it is, any other
// byte as its Latin-1 character.
#include <gtest/gtest.h>

#include <string_view>

#include "views/display_text.h"

namespace zelo {
namespace {

struct DisplayCase {
  std::string_view bytes;
  std::string_view shown;  // UTF-8
  std::size_t length;      // characters
};
const DisplayCase kDisplayCases[] = {
    {"DL1ABC", "DL1ABC", 6},
    {"F5\xE9\xE8T", "F5\xC3\xA9\xC3\xA8T", 5},         // Latin-1 letters
    {"M\xC3\xBCller", "M\xC3\xBCller", 6},             // UTF-8 stays
    {"\xC3", "\xC3\x83", 1},                           // a sequence cut short
    {"\xC0\xAF", "\xC3\x80\xC2\xAF", 2},               // an overlong form
    {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80", 3},   // a surrogate
    {"\xF0\x9F\x93\xBB", "\xF0\x9F\x93\xBB", 1},       // four bytes
    {"\xFF", "\xC3\xBF", 1},
    {"", "", 0},
};

class DisplayTextTest : public testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayTextTest, Utf8StaysOtherBytesReadAsLatin1) {
  EXPECT_EQ(DisplayUtf8(GetParam().bytes), GetParam().shown);
  EXPECT_EQ(DisplayLength(GetParam().bytes), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Bytes, DisplayTextTest, testing::ValuesIn(kDisplayCases));

}  // namespace
}  // namespace zelo
