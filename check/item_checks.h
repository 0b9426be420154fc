// The multipliers of a log as the scorer counts them, band by band, for the
// findings about them: items that differ only in case, and contacts whose
// report brings no multiplier, which cost the log that multiplier only when
// no other contact on the band brings it.
#pragma once

#include <array>
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
  struct NoCaseHash {
    std::size_t operator()(std::string_view item) const;
  };
  struct NoCaseEqual {
    bool operator()(std::string_view a, std::string_view b) const { return EqualNoCase(a, b); }
  };
  struct Spelling {
    std::string_view item;
    std::int64_t line = 0;
  };
  // The spellings of one item, the first one first.
  struct ItemSeen {
    Spelling first;
    std::vector<Spelling> others;
  };
  using BandItems = std::unordered_map<std::string_view, ItemSeen, NoCaseHash, NoCaseEqual>;

  struct Pending {
    std::size_t finding = 0;  // index in the findings' list
    Band band = Band::k160;
    std::string_view item;
    bool low = true;  // a low report; otherwise one that is no number
  };

  // The line that counts `item` (exactly as written) on `band`; 0 when none.
  std::int64_t LineCounting(Band band, std::string_view item) const;

  Findings& findings_;
  std::array<BandItems, kBandCount> items_;
  std::vector<Pending> pending_;
};

}  // namespace zelo::check
