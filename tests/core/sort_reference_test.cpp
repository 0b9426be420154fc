// SortList against std::stable_sort with the plain byte order, on random
// lists built to meet the sort's shortcuts: texts around eight bytes long that
// share long beginnings, NUL and high bytes, and many equal texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/sort_list.h"

namespace zelo {
namespace {

struct ListCase {
  std::string_view name;
  std::uint64_t seed;
  std::string_view alphabet;  // bytes the texts are made of
  std::size_t max_length;
  std::size_t size;
};
const ListCase kListCases[] = {
    {"ShortAscii", 1, "AB ab09", 4, 2000},
    {"AroundEightBytes", 2, "AAAAAB", 10, 3000},
    {"NulAndHighBytes", 3, std::string_view("\0\x01\x7F\x80\xFF" "A", 6), 12, 3000},
    {"LongSharedBeginnings", 4, "MM0", 20, 2000},
    {"Empty", 5, "A", 0, 50},
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }

class SortReferenceTest : public testing::TestWithParam<ListCase> {};

TEST_P(SortReferenceTest, SameOrderAsAStableByteSort) {
  const ListCase& c = GetParam();
  std::uint64_t state = c.seed * 0x9E3779B97F4A7C15ULL + 7;
  const auto next = [&state](std::size_t n) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<std::size_t>(state % n);
  };
  // Each text in its own buffer, so that the order of equal texts shows.
  std::vector<std::string> buffers;
  for (std::size_t i = 0; i < c.size; ++i) {
    std::string text;
    const std::size_t length = next(c.max_length + 1);
    for (std::size_t k = 0; k < length; ++k) text += c.alphabet[next(c.alphabet.size())];
    buffers.push_back(text);
  }
  std::vector<std::string_view> list(buffers.begin(), buffers.end());
  std::vector<std::string_view> expected = list;
  std::stable_sort(expected.begin(), expected.end());

  SortList(list);

  ASSERT_EQ(list.size(), expected.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    // The same buffer, not merely an equal text: equal texts keep their order.
    EXPECT_EQ(static_cast<const void*>(list[i].data()), static_cast<const void*>(expected[i].data()))
        << "at " << i << ": " << testing::PrintToString(std::string(list[i])) << " vs "
        << testing::PrintToString(std::string(expected[i]));
  }
}

INSTANTIATE_TEST_SUITE_P(RandomLists, SortReferenceTest, testing::ValuesIn(kListCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelo
