// What the check's two open-addressing tables share: the station table and
// the multiplier table both key a text by its band, compared without regard
// to case, and grow the same way.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "input/seeded_hash.h"
#include "input/text.h"
#include "scoring/qso_fields.h"

namespace zelo::check {

// The seeded hash of `text` folded to upper case, salted with the band.
inline std::uint64_t BandTextHash(Band band, std::string_view text) {
  return SeededHash(text, BandIndex(band), [](char c) { return UpperAscii(c); });
}

// The text's size times 8, plus the band's index: one compare tells both.
// A log holds at most kMaxLogBytes, so the size fits.
inline std::uint32_t SizeBand(Band band, std::string_view text) {
  return static_cast<std::uint32_t>(text.size() << 3 | BandIndex(band));
}

// Doubles a table of slots (64 at first), placing each used slot again by
// its hash's low 32 bits, all a table of a log's size can use.
template <typename Slot, typename IsFree>
void GrowSlots(std::vector<Slot>& slots, IsFree is_free) {
  std::vector<Slot> old(std::max<std::size_t>(64, slots.size() * 2));
  old.swap(slots);
  const std::size_t mask = slots.size() - 1;
  for (const Slot& slot : old) {
    if (is_free(slot)) continue;
    std::size_t i = slot.hash & mask;
    while (!is_free(slots[i])) i = (i + 1) & mask;
    slots[i] = slot;
  }
}

}  // namespace zelo::check
