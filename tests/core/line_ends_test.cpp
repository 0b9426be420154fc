// The line-end rule: LF, CR LF and a lone CR each end a line, for the line
// numbers and for the lines themselves.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "input/line_ends.h"

namespace zelo {
namespace {

struct LineCase {
  std::string_view text;
  std::vector<std::size_t> offsets;  // asked in this order
  std::vector<std::int64_t> lines;
  std::vector<std::string_view> texts;  // what LineReader gives, in order
};
const LineCase kLineCases[] = {
    {"ab\ncd\nef", {0, 3, 4, 6}, {1, 2, 2, 3}, {"ab", "cd", "ef"}},
    {"ab\r\ncd\r\nef", {2, 3, 4, 8}, {1, 1, 2, 3}, {"ab", "cd", "ef"}},
    {"ab\rcd\ref", {2, 3, 6}, {1, 2, 3}, {"ab", "cd", "ef"}},
    {"a\r\nb\rc\nd\n\n\r\r\ne", {1, 3, 5, 7, 14}, {1, 2, 3, 4, 8}, {"a", "b", "c", "d", "", "", "", "e"}},
    {"\r", {1}, {2}, {""}},
    {"a\nb\nc", {4, 0, 2}, {3, 1, 2}, {"a", "b", "c"}},  // a smaller offset counts afresh
    {"", {0}, {1}, {}},
};

class LineEndsTest : public testing::TestWithParam<LineCase> {};

TEST_P(LineEndsTest, CounterNumbersOffsets) {
  LineCounter counter(GetParam().text);
  std::vector<std::int64_t> lines;
  for (std::size_t offset : GetParam().offsets) lines.push_back(counter.LineOf(offset));
  EXPECT_EQ(lines, GetParam().lines);
}

TEST_P(LineEndsTest, ReaderAgreesWithCounter) {
  LineReader reader(GetParam().text);
  LineCounter counter(GetParam().text);
  std::vector<std::string_view> texts;
  while (const auto line = reader.Next()) {
    texts.push_back(line->text);
    EXPECT_EQ(line->number, counter.LineOf(line->offset)) << line->text;
    EXPECT_EQ(GetParam().text.substr(line->offset, line->text.size()), line->text);
  }
  EXPECT_EQ(texts, GetParam().texts);
}

INSTANTIATE_TEST_SUITE_P(Texts, LineEndsTest, testing::ValuesIn(kLineCases));

TEST(LinesAround, GivesTheLineAndUpToTwoEitherSide) {
  const struct {
    std::string_view text;
    std::int64_t line;
    std::vector<std::string_view> want;
  } cases[] = {
      {"1\n2\n3\n4\n5\n6\n7", 4, {"2", "3", "4", "5", "6"}},
      {"1\r\n2\r3\n4", 1, {"1", "2", "3"}},      // nothing before the first
      {"1\n2\n3\n4\n", 4, {"2", "3", "4"}},       // no empty line after the last end
      {"1\n2\n", 3, {}},                          // past the end
      {"1\n2", 0, {}},                             // the file as a whole
  };
  for (const auto& c : cases) {
    std::vector<std::string_view> got;
    for (const TextLine& line : LinesAround(c.text, c.line, 2)) got.push_back(line.text);
    EXPECT_EQ(got, c.want) << c.text << " line " << c.line;
  }
}

}  // namespace
}  // namespace zelo
