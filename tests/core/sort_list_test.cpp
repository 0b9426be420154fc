#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "scoring/sort_list.h"

namespace zelo {
namespace {

using List = std::vector<std::string_view>;

struct SortCase {
  std::string_view name;
  List input;
  List sorted;
};
const SortCase kSortCases[] = {
    {"OneElement", {"B"}, {"B"}},
    {"NoElements", {}, {}},
    {"UpperCaseFirst", {"abc", "ABC", "aBc", "Abc"}, {"ABC", "Abc", "aBc", "abc"}},
    {"EveryUpperBeforeEveryLower", {"a", "Z", "b", "Y"}, {"Y", "Z", "a", "b"}},
    {"PrefixFirst", {"ABCD", "AB", "ABC", "A"}, {"A", "AB", "ABC", "ABCD"}},
    {"EmptyFirst", {"B", "", "A", "", "C"}, {"", "", "A", "B", "C"}},
    {"BlankBeforeDigitsBeforeLetters", {"A", "1", " ", "a", "0"}, {" ", "0", "1", "A", "a"}},
    {"Descending", {"E", "D", "C", "B", "A"}, {"A", "B", "C", "D", "E"}},
    {"AlreadySorted", {"A", "B", "C"}, {"A", "B", "C"}},
    {"HighBytesAfterAscii", {"\xC3\xA9", "z", "\x80", "~", "\xFF"}, {"z", "~", "\x80", "\xC3\xA9", "\xFF"}},
};

class SortListTest : public testing::TestWithParam<SortCase> {};

TEST_P(SortListTest, AscendingByByteValues) {
  List list = GetParam().input;
  SortList(list);
  EXPECT_EQ(list, GetParam().sorted);
}

INSTANTIATE_TEST_SUITE_P(Lists, SortListTest, testing::ValuesIn(kSortCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SortList, EqualTextsKeepTheirOrder) {
  // Many equal texts in distinct buffers: after the sort, the buffers of equal
  // elements must still stand in their original order. Enough elements that a
  // sort which is not stable would show it.
  const std::string_view values[] = {"K", "J", "", "K", "L", "J", "K"};
  std::vector<std::string> buffers;
  for (int i = 0; i < 700; ++i) buffers.emplace_back(values[(i * 5 + i / 7) % 7]);
  std::unordered_map<const char*, std::size_t> position;
  for (std::size_t k = 0; k < buffers.size(); ++k) position[buffers[k].data()] = k;
  ASSERT_EQ(position.size(), buffers.size());
  List list(buffers.begin(), buffers.end());

  SortList(list);

  ASSERT_EQ(list.size(), buffers.size());
  for (std::size_t i = 1; i < list.size(); ++i) {
    ASSERT_LE(list[i - 1], list[i]) << i;
    if (list[i - 1] == list[i]) {
      ASSERT_LT(position.at(list[i - 1].data()), position.at(list[i].data())) << "equal texts swapped at " << i;
    }
  }
}

}  // namespace
}  // namespace zelo
