// Where each station was first stored on each band, calls compared without
// regard to case: the scorer counts "yo3aaa" and "YO3AAA" as two stations,
// a sponsor as one, and the check tells both a repeat and a case variant.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "scoring/qso_fields.h"

namespace zelo::check {

// Open addressing over small slots that keep the call's first 8 bytes (in
// upper case, with a bit for each byte that was in lower case), so that a
// lookup of a call of up to 8 bytes need not reach back into the log, which
// a big log has long pushed out of the caches. The hash is the seeded one.
class WorkedTable {
 public:
  explicit WorkedTable(std::string_view text) : text_(text) {}

  struct Seen {
    std::int64_t first_line = 0;
    std::string_view first_spelling;  // the call as first stored on the band
    std::int64_t times = 0;           // stored with this very spelling, this time included
    bool same_spelling = true;        // false: it differs from the first only in case
  };

  // A lookup in two steps, so that other work can go on while its slot is
  // fetched from memory: Look starts it, Count ends it (before the next Look).
  struct Lookup {
    std::uint64_t hash = 0;
    std::uint32_t size_band = 0;
    std::uint64_t start = 0;
    std::uint8_t lower = 0;  // which of the first 8 bytes were lower-case letters
    std::string_view call;
  };
  Lookup Look(Band band, std::string_view call);

  // Counts the looked-up call as stored at `line`.
  Seen Count(const Lookup& lookup, std::int64_t line);

 private:
  // A log holds at most kMaxLogBytes, so offsets, sizes and line numbers fit
  // in 32 bits.
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t line = 0;  // 0: a free slot
    std::uint32_t offset = 0;
    std::uint32_t size_band = 0;  // the call's size times 8, plus the band's index
    std::uint64_t start = 0;      // the call's first bytes in upper case, zero-padded
    std::uint32_t times = 1;
    std::uint8_t lower = 0;  // which of those bytes were lower-case letters
  };

  void Grow();

  std::string_view text_;
  std::vector<Slot> slots_;  // a power of two in size, at most half full
  std::size_t size_ = 0;
};

}  // namespace zelo::check
