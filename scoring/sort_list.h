// The text-list sort used for the multiplier items.
#pragma once

#include <string_view>
#include <vector>

namespace zelo {

// Sorts `list` in place, ascending by byte values (a proper prefix first, the
// empty text before all others); equal texts keep their relative order.
void SortList(std::vector<std::string_view>& list);

}  // namespace zelo
