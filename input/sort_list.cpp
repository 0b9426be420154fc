#include "input/sort_list.h"

#include <algorithm>

namespace zelo {

void SortList(std::vector<std::string_view>& list) {
  // string_view compares by char_traits<char>, which orders bytes as unsigned
  // values, so bytes above 127 sort after ASCII as character codes do.
  std::stable_sort(list.begin(), list.end());
}

}  // namespace zelo
