// Pairing the contacts two stations logged of each other on one band:
// closest times first, each contact paired at most once.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

#include "input/cabrillo_vocabulary.h"
#include <vector>

namespace zelo {


// One side's contact: its time and its rank in log order (log, then line),
// which breaks ties between equally close pairs.
struct PairItem {
  std::int32_t time = kNoTime;
  std::uint32_t rank = 0;
};

// True when `a` comes before `b` in the order PairClosestFirst wants each
// side in: by time (no time first), then by rank.
inline bool PairOrder(const PairItem& a, const PairItem& b) {
  return a.time != b.time ? a.time < b.time : a.rank < b.rank;
}

// Pairs the contacts of side `a` with those of side `b` (each sorted by
// PairOrder) whose times are at most `window` minutes apart, the closest pair
// first; between equally close pairs, the one whose earlier contact ranks
// first. A contact without a time pairs afterwards with the first unpaired
// contact of the other side, in rank order. Returns (index in a, index in b).
// Costs O(n log n) in the contacts of both sides, however their times fall.
std::vector<std::pair<std::uint32_t, std::uint32_t>> PairClosestFirst(std::span<const PairItem> a,
                                                                     std::span<const PairItem> b,
                                                                     std::int32_t window);

}  // namespace zelo
