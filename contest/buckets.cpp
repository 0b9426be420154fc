#include "contest/buckets.h"

#include <algorithm>
#include <set>

#include "contest/pairing.h"
#include "input/text.h"
#include "io/parallel_for.h"

namespace zelo {
namespace {

bool IsWholeNumber(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Two exchange texts are the same without regard to case; two whole numbers
// are the same number ("014" and "14").
bool SameExchange(std::string_view received, std::string_view sent) {
  if (IsWholeNumber(received) && IsWholeNumber(sent)) {
    const auto digits = [](std::string_view n) {
      const std::size_t first = n.find_first_not_of('0');
      return first == std::string_view::npos ? std::string_view{} : n.substr(first);
    };
    return digits(received) == digits(sent);
  }
  return EqualNoCase(received, sent);
}

// What `received` copied (fields 12 and 13) against what `sent` logged as
// sent (its fields 8 and 9): 0, or 1 + the first exchange field that differs.
std::uint8_t FirstDifference(const QsoFields& received, const QsoFields& sent) {
  for (std::size_t k = 0; k < kExchangeFields.size(); ++k) {
    if (!SameExchange(received[kExchangeFields[k].received], sent[kExchangeFields[k].sent])) {
      return static_cast<std::uint8_t>(k + 1);
    }
  }
  return 0;
}

// The unpaired contacts of a side as the pairing takes them, their times
// read `offset` minutes later.
std::vector<PairItem> Unpaired(const ContestWork& work, SideRange side, std::int32_t offset) {
  std::vector<PairItem> items;
  for (std::uint32_t pos = side.begin; pos < side.end; ++pos) {
    const std::uint32_t c = work.order[pos];
    if (work.Paired(c)) continue;
    const std::int32_t time = work.contacts[c].time;
    items.push_back({time == kNoTime ? kNoTime : time + offset, c});
  }
  std::sort(items.begin(), items.end(), PairOrder);
  return items;
}

void PairItems(ContestWork& work, const std::vector<PairItem>& a, const std::vector<PairItem>& b) {
  for (const auto& [i, j] : PairClosestFirst(a, b, work.window)) Pair(work, a[i].rank, b[j].rank);
}

// Stored contacts with each other, then the stored contacts left with the
// other side's repeats: a repeat shows the contact happened.
void PairBucket(ContestWork& work, std::uint32_t bucket, int shifted_side, std::int32_t offset) {
  const auto at = [&](int side, bool repeats) {
    return Unpaired(work, work.Side(bucket, side, repeats), side == shifted_side ? offset : 0);
  };
  PairItems(work, at(0, false), at(1, false));
  PairItems(work, at(0, false), at(1, true));
  PairItems(work, at(0, true), at(1, false));
}

// The first unpaired place in [pos, end) of `order`, `end` when none. Places
// only ever become paired, so a jump over paired places once found holds for
// good; jumps are kept only for the places a search passed.
std::uint32_t NextFree(ContestWork& work, std::uint32_t pos, std::uint32_t end) {
  const auto taken = [&work](std::uint32_t p) { return work.Paired(work.order[p]); };
  std::uint32_t at = pos;
  while (at < end && taken(at)) {
    const auto jump = work.next_jump.find(at);
    at = jump == work.next_jump.end() ? at + 1 : jump->second;
  }
  const std::uint32_t found = std::min(at, end);
  for (std::uint32_t p = pos; p < found && taken(p);) {
    auto& jump = work.next_jump[p];
    const std::uint32_t next = jump > p ? jump : p + 1;
    jump = found;
    p = next;
  }
  return found;
}

// One more than the last unpaired place in [begin, bound), `begin` when none.
std::uint32_t PrevFree(ContestWork& work, std::uint32_t bound, std::uint32_t begin) {
  const auto taken = [&work](std::uint32_t p) { return work.Paired(work.order[p]); };
  std::uint32_t at = bound;
  while (at > begin && taken(at - 1)) {
    const auto jump = work.prev_jump.find(at);
    at = jump == work.prev_jump.end() ? at - 1 : jump->second;
  }
  const std::uint32_t found = std::max(at, begin);
  for (std::uint32_t p = bound; p > found && taken(p - 1);) {
    auto& jump = work.prev_jump[p];
    const std::uint32_t next = jump != 0 && jump < p ? jump : p - 1;
    jump = found;
    p = next;
  }
  return found;
}

// Partition points of a side, sorted by time with the untimed first.
std::uint32_t FirstWhere(const ContestWork& work, SideRange side, auto&& before) {
  const auto from = work.order.begin() + side.begin;
  return side.begin + static_cast<std::uint32_t>(std::partition_point(from, work.order.begin() + side.end, before) - from);
}

}  // namespace

std::uint32_t BucketOf(const ContestWork& work, std::uint32_t log, std::uint32_t worked, std::uint8_t band,
                       std::uint32_t mode) {
  const std::uint32_t mine = work.CallOf(log);
  if (mine == kNone || mine == worked) return kNone;
  return work.buckets.Find(BucketTable::MakeKey(mine, worked, band, mode));
}

int SideOf(const ContestWork& work, std::uint32_t log, std::uint32_t worked) {
  return work.CallOf(log) < worked ? 0 : 1;
}

void Pair(ContestWork& work, std::uint32_t a, std::uint32_t b) {
  work.partner[a] = b;
  work.partner[b] = a;
  const QsoFields fields_a = SplitQsoFields(work.RecordOf(a));
  const QsoFields fields_b = SplitQsoFields(work.RecordOf(b));
  work.contacts[a].flags = static_cast<std::uint8_t>((work.contacts[a].flags & ~kFieldBits) | FirstDifference(fields_a, fields_b));
  work.contacts[b].flags = static_cast<std::uint8_t>((work.contacts[b].flags & ~kFieldBits) | FirstDifference(fields_b, fields_a));
}

void FillBuckets(ContestWork& work) {
  work.buckets.Reserve(work.contacts.size() / 2);  // most buckets hold a contact from each side
  for (Contact& c : work.contacts) {
    const std::uint32_t mine = work.CallOf(c.log);
    if (mine == kNone || mine == c.worked) continue;
    c.bucket = work.buckets.FindOrAdd(BucketTable::MakeKey(mine, c.worked, c.band, c.mode));
    c.flags = static_cast<std::uint8_t>((c.flags & ~kHigherSide) | (mine < c.worked ? 0 : kHigherSide));
  }
  const std::size_t count = work.buckets.size();
  const auto segment_of = [](const Contact& c) {
    return std::size_t{c.bucket} * 4 + static_cast<std::size_t>(c.side()) * 2 + ((c.flags & kRepeat) != 0 ? 1 : 0);
  };
  work.segment.assign(count * 4 + 1, 0);
  for (const Contact& c : work.contacts) {
    if (c.bucket != kNone) ++work.segment[segment_of(c) + 1];
  }
  for (std::size_t s = 1; s < work.segment.size(); ++s) work.segment[s] += work.segment[s - 1];
  work.order.assign(work.segment.back(), 0);
  // Each segment's start serves as its fill cursor, which leaves it at the
  // next segment's start; one shift back restores the starts. No second array
  // of a few bytes per bucket is needed at the run's fullest.
  for (std::uint32_t i = 0; i < work.contacts.size(); ++i) {
    const Contact& c = work.contacts[i];
    if (c.bucket != kNone) work.order[work.segment[segment_of(c)]++] = i;
  }
  for (std::size_t s = work.segment.size() - 1; s > 0; --s) work.segment[s] = work.segment[s - 1];
  work.segment[0] = 0;
  // Each segment by time, then log order.
  ParallelFor(count * 4, work.threads, [&work](std::size_t s) {
    std::sort(work.order.begin() + work.segment[s], work.order.begin() + work.segment[s + 1],
              [&work](std::uint32_t x, std::uint32_t y) {
                return PairOrder({work.contacts[x].time, x}, {work.contacts[y].time, y});
              });
  });
  work.partner.assign(work.contacts.size(), kNone);
}

void PairBuckets(ContestWork& work) {
  ParallelFor(work.buckets.size(), work.threads,
              [&work](std::size_t b) { PairBucket(work, static_cast<std::uint32_t>(b), -1, 0); });
}

void PairLogAgain(ContestWork& work, std::uint32_t log, std::int32_t offset) {
  // The buckets of its unpaired contacts, and the side it logged in each.
  std::set<std::pair<std::uint32_t, int>> buckets;
  for (std::uint32_t c = work.logs[log].first; c < work.logs[log].end; ++c) {
    if (!work.Paired(c) && work.contacts[c].bucket != kNone) buckets.emplace(work.contacts[c].bucket, work.contacts[c].side());
  }
  for (const auto& [bucket, side] : buckets) PairBucket(work, bucket, side, offset);
}

Found ClosestUnpaired(ContestWork& work, SideRange side, std::int32_t time, std::int32_t window) {
  Found best;
  const auto consider = [&](std::uint32_t pos, std::int64_t distance) {
    const Found found{distance, work.order[pos]};
    if (found.Better(best)) best = found;
  };
  const auto time_at = [&work](std::uint32_t pos) { return work.contacts[work.order[pos]].time; };
  const std::uint32_t timed = FirstWhere(work, side, [&work](std::uint32_t x) { return work.contacts[x].time == kNoTime; });
  if (time != kNoTime) {
    const std::uint32_t lo = FirstWhere(work, side, [&work, time](std::uint32_t x) { return work.contacts[x].time < time; });
    const std::uint32_t right = NextFree(work, lo, side.end);
    if (right < side.end) {
      const std::int64_t d = std::int64_t{time_at(right)} - time;
      if (d <= window) consider(right, d);
    }
    const std::uint32_t left_bound = PrevFree(work, lo, timed);
    if (left_bound > timed) {
      const std::int64_t d = std::int64_t{time} - time_at(left_bound - 1);
      if (d <= window) consider(left_bound - 1, d);
    }
  }
  if (best.contact == kNone) {
    const std::uint32_t limit = time == kNoTime ? side.end : timed;
    const std::uint32_t first = NextFree(work, side.begin, limit);
    if (first < limit) consider(first, std::int64_t{window} + 1);
  }
  return best;
}

Found ClosestAny(const ContestWork& work, SideRange side, std::int32_t time) {
  Found best;
  if (side.empty()) return best;
  const auto consider = [&](std::uint32_t pos) {
    const std::int32_t t = work.contacts[work.order[pos]].time;
    const std::int64_t d = t == kNoTime || time == kNoTime ? std::int64_t{1} << 40 : std::llabs(std::int64_t{t} - time);
    const Found found{d, work.order[pos]};
    if (found.Better(best)) best = found;
  };
  const std::uint32_t lo = FirstWhere(work, side, [&work, time](std::uint32_t x) { return work.contacts[x].time < time; });
  if (lo < side.end) consider(lo);
  if (lo > side.begin) consider(lo - 1);
  consider(side.begin);
  return best;
}

}  // namespace zelo
