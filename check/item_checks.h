// The multipliers of a log as the scorer counts them, band by band, for the
// findings about them: items that differ only in case, and contacts whose
// report brings no multiplier, which cost the log that multiplier only when
// no other contact on the band brings it.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "check/findings.h"
#include "scoring/score_log.h"

namespace zelo::check {

class ItemChecks {
 public:
  explicit ItemChecks(Findings& findings) : findings_(findings) {}

  // A multiplier item the scorer counted for the first time on its band, at `line`.
  void Counted(Band band, std::string_view item, std::int64_t line);

  // A stored contact whose report brings no multiplier: its finding is told
  // now and made an error or a note once every contact has been counted.
  void NoMultiplier(const RecordOutcome& out, std::int64_t line);

  // Decides the findings of NoMultiplier: an error that costs the multiplier
  // when the band never counts the item, a note naming the line that counts
  // it otherwise.
  void Finish();

 private:
  struct Spelling {
    std::string_view item;
    std::int64_t line = 0;
  };
  // The first spelling of an item on a band, in open addressing: a log's
  // items are views into it, so a slot holds where the bytes are, and a
  // log of a million different items keeps 24 bytes for each slot.
  struct Slot {
    const char* data = nullptr;  // nullptr: a free slot
    std::uint32_t hash = 0;
    std::uint32_t size_band = 0;  // the item's size times 8, plus the band's index
    std::uint32_t line = 0;       // a log holds at most kMaxLogBytes, so lines fit
  };
  // The slot of `item` on `band` (whose hash is `hash`), or the free one
  // where it would go.
  std::size_t SlotOf(Band band, std::string_view item, std::uint64_t hash) const;
  void Grow();
  struct Pending {
    std::size_t finding = 0;  // index in the findings' list
    Band band = Band::k160;
    std::string_view item;
    bool low = true;  // a low report; otherwise one that is no number
  };

  // The line that counts `item` (exactly as written) on `band`; 0 when none.
  std::int64_t LineCounting(Band band, std::string_view item) const;

  Findings& findings_;
  std::vector<Slot> slots_;  // a power of two in size, at most half full
  std::size_t size_ = 0;
  // The later spellings of an item, by the bytes of its first one.
  std::unordered_multimap<const char*, Spelling> others_;
  std::vector<Pending> pending_;
};

}  // namespace zelo::check
