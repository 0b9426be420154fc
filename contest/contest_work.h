// What the phases of a cross-check share: every contact that takes part,
// the calls, the buckets of contacts two stations logged of each other, and
// who paired with whom. Each phase has a file of its own; this is the state
// they hand on, phase to phase.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "contest/call_table.h"
#include "contest/contest.h"
#include "contest/contest_store.h"
#include "contest/near_calls.h"
#include "input/cabrillo_vocabulary.h"

namespace zelo {

// One contact that takes part: stored on a band by the scoring run, or
// dropped by it as a repeat.
struct Contact {
  std::int32_t time = kNoTime;   // minutes since 1970
  std::uint32_t log = 0;
  std::uint32_t index = 0;       // its record's PackedCheck in its log
  std::uint32_t worked = kNone;  // the worked call's number (while loading: field 10's offset)
  std::uint32_t bucket = kNone;
  std::uint16_t mode = 0;  // its class of mode: a ModeClass, or an "other" mode's number above them
  std::uint8_t band = 0;
  std::uint8_t flags = 0;  // kRepeat, kBustedCall, kHigherSide, and the exchange field that differs

  // 0: logged by the lower call number of its bucket, 1: by the higher.
  int side() const;
};
inline constexpr std::uint8_t kRepeat = 0x80;
inline constexpr std::uint8_t kBustedCall = 0x40;
inline constexpr std::uint8_t kHigherSide = 0x04;
inline constexpr std::uint8_t kFieldBits = 0x03;  // 1: field 12 differs, 2: field 13
inline int Contact::side() const { return (flags & kHigherSide) != 0 ? 1 : 0; }
// Five million contacts are held at once: every byte counts.
static_assert(sizeof(Contact) == 24);
// The most numbers a mode class can have; the rarest modes of a contest with
// more different mode texts than that share the last.
inline constexpr std::uint32_t kLastModeNumber = 0xFFFF;

// What a log brings to the cross-check besides its contacts.
struct LogWork {
  std::string_view call;  // into its bytes
  std::uint32_t call_id = kNone;  // kNone: no call, or superseded
  std::int64_t modified = 0;
  std::uint32_t first = 0, end = 0;  // its contacts in ContestWork::contacts
  std::int32_t clock_offset = 0;     // minutes added to its times, once found
};

// One side of a bucket, as a range of ContestWork::order sorted by time
// (contacts without a time first), then log order.
struct SideRange {
  std::uint32_t begin = 0, end = 0;
  bool empty() const { return begin == end; }
};

struct ContestWork {
  unsigned threads = 1;
  std::int32_t window = 10;
  int penalty = 0;
  std::shared_ptr<ContestStore> store;
  ContestResult result;
  std::vector<LogWork> logs;
  std::vector<Contact> contacts;       // every log's, log by log
  std::vector<std::uint32_t> partner;  // per contact: the contact it paired with, or kNone
  CallTable calls;
  std::vector<std::uint32_t> log_of_call;  // per call number: the log that counts for it, or kNone
  std::vector<std::uint8_t> worked_by;     // per call number: how many logs worked it (at most 2)
  NearCallIndex near;
  std::unordered_map<std::string, std::uint32_t> other_modes;  // upper-case mode text -> its number
  BucketTable buckets;
  // Bucket b's contacts in `order`: side s, stored (r = 0) or repeats (r = 1),
  // from segment[4b + 2s + r] to segment[4b + 2s + r + 1].
  std::vector<std::uint32_t> segment;
  std::vector<std::uint32_t> order;
  // Jumps over runs of paired places of `order`, found by searches.
  std::unordered_map<std::uint32_t, std::uint32_t> next_jump, prev_jump;

  SideRange Side(std::uint32_t bucket, int side, bool repeats) const {
    const std::size_t s = std::size_t{bucket} * 4 + static_cast<std::size_t>(side) * 2 + (repeats ? 1 : 0);
    return {segment[s], segment[s + 1]};
  }
  bool Paired(std::uint32_t contact) const { return partner[contact] != kNone; }
  bool IsRepeat(std::uint32_t contact) const { return (contacts[contact].flags & kRepeat) != 0; }
  // The log's call number, or kNone.
  std::uint32_t CallOf(std::uint32_t log) const { return logs[log].call_id; }
  std::string_view RecordOf(std::uint32_t contact) const {
    const Contact& c = contacts[contact];
    return RecordText(*store, c.log, store->checks[c.log][c.index]);
  }
};

// A contact found by a search of one side, and how far in time from the
// time looked for (ties go to the earlier contact in log order).
struct Found {
  std::int64_t distance = 0;
  std::uint32_t contact = kNone;
  bool Better(const Found& other) const {
    return contact != kNone && (other.contact == kNone || distance < other.distance ||
                                (distance == other.distance && contact < other.contact));
  }
};

// The unpaired contact of `side` closest to `time` within `window` minutes;
// a contact without a time (or a time looked for that is none) matches on
// call, band and mode alone, after every timed one.
Found ClosestUnpaired(ContestWork& work, SideRange side, std::int32_t time, std::int32_t window);

// The contact of `side` closest to `time`, paired or not; none when the side is empty.
Found ClosestAny(const ContestWork& work, SideRange side, std::int32_t time);

// Pairs `a` with `b`, and compares what each copied of the other's exchange.
void Pair(ContestWork& work, std::uint32_t a, std::uint32_t b);

// The bucket of a contact as logged by `log`, with the worked station
// `worked`; kNone when no contact of the two is in one.
std::uint32_t BucketOf(const ContestWork& work, std::uint32_t log, std::uint32_t worked, std::uint8_t band,
                       std::uint32_t mode);

// The side of a bucket that holds the contacts `log` logged.
int SideOf(const ContestWork& work, std::uint32_t log, std::uint32_t worked);

}  // namespace zelo
