#include "check/worked_table.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "check/band_slots.h"
#include "input/text.h"

namespace zelo::check {

WorkedTable::Lookup WorkedTable::Look(Band band, std::string_view call) {
  if ((size_ + 1) * 2 > slots_.size()) Grow();
  const std::uint64_t hash = BandTextHash(band, call);
  Lookup lookup{hash, SizeBand(band, call), 0, 0, call};
  char start[sizeof lookup.start] = {};
  const std::size_t head = std::min(call.size(), sizeof lookup.start);
  for (std::size_t i = 0; i < head; ++i) {
    start[i] = UpperAscii(call[i]);
    if (start[i] != call[i]) lookup.lower |= static_cast<std::uint8_t>(1U << i);
  }
  std::memcpy(&lookup.start, start, sizeof start);
  __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
  return lookup;
}

WorkedTable::Seen WorkedTable::Count(const Lookup& lookup, std::int64_t line) {
  const auto hash = static_cast<std::uint32_t>(lookup.hash);
  const std::size_t mask = slots_.size() - 1;
  const auto offset = static_cast<std::uint32_t>(lookup.call.data() - text_.data());
  for (std::size_t i = lookup.hash & mask;; i = (i + 1) & mask) {
    Slot& slot = slots_[i];
    if (slot.line == 0) {
      slot = {hash, static_cast<std::uint32_t>(line), offset, lookup.size_band, lookup.start, 1, lookup.lower};
      ++size_;
      return {line, lookup.call, 1, true};
    }
    if (slot.hash != hash || slot.size_band != lookup.size_band || slot.start != lookup.start) continue;
    const std::string_view first = text_.substr(slot.offset, lookup.call.size());
    if (lookup.call.size() > sizeof slot.start) {
      if (!EqualNoCase(first, lookup.call)) continue;
      if (first != lookup.call) return {slot.line, first, 0, false};
    } else if (slot.lower != lookup.lower) {
      return {slot.line, first, 0, false};
    }
    if (slot.times < std::numeric_limits<std::uint32_t>::max()) ++slot.times;
    return {slot.line, first, slot.times, true};
  }
}

void WorkedTable::Grow() {
  GrowSlots(slots_, [](const Slot& slot) { return slot.line == 0; });
}

}  // namespace zelo::check
