#include "contest/busted_calls.h"

#include <algorithm>
#include <unordered_map>

#include "input/text.h"
#include "io/parallel_for.h"

namespace zelo {
namespace {

// The entrants a miscopied call may stand for: one edit away, or the same
// call with or without a portable suffix.
class Candidates {
 public:
  explicit Candidates(const ContestWork& work) : work_(work) {
    for (std::uint32_t id = 0; id < work.calls.size(); ++id) {
      if (work.log_of_call[id] == kNone) continue;
      if (const auto base = WithoutPortableSuffix(work.calls.Call(id))) by_base_[UpperAscii(*base)].push_back(id);
    }
  }

  std::vector<std::uint32_t> Of(std::uint32_t worked) const {
    const std::string_view call = work_.calls.Call(worked);
    std::vector<std::uint32_t> found = work_.near.Near(call);
    if (const auto base = WithoutPortableSuffix(call)) {
      if (const auto id = work_.calls.Find(*base); id && work_.log_of_call[*id] != kNone) found.push_back(*id);
    } else if (const auto it = by_base_.find(UpperAscii(call)); it != by_base_.end()) {
      found.insert(found.end(), it->second.begin(), it->second.end());
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
  }

 private:
  const ContestWork& work_;
  std::unordered_map<std::string, std::vector<std::uint32_t>> by_base_;
};

bool Wanted(const ContestWork& work, std::uint32_t c) {
  return !work.Paired(c) && !work.IsRepeat(c) && work.contacts[c].bucket != kNone;
}

// Whether the station worked holds an unpaired contact of this one within
// the window: then the call was not miscopied.
bool WorkedStationHasIt(ContestWork& work, std::uint32_t c, std::int32_t time) {
  const Contact& contact = work.contacts[c];
  if (work.log_of_call[contact.worked] == kNone) return false;
  const SideRange theirs = work.Side(contact.bucket, 1 - contact.side(), false);
  return ClosestUnpaired(work, theirs, time, work.window).contact != kNone;
}

void TryContact(ContestWork& work, std::uint32_t c, const std::vector<std::uint32_t>& near, std::int32_t offset) {
  const Contact& contact = work.contacts[c];
  const std::int32_t time = contact.time == kNoTime ? kNoTime : contact.time + offset;
  if (WorkedStationHasIt(work, c, time)) return;
  const std::uint32_t mine = work.CallOf(contact.log);
  Found best;
  for (std::uint32_t entrant : near) {
    if (entrant == mine) continue;
    const std::uint32_t bucket = work.buckets.Find(BucketTable::MakeKey(mine, entrant, contact.band, contact.mode));
    if (bucket == kNone) continue;
    const Found found = ClosestUnpaired(work, work.Side(bucket, entrant < mine ? 0 : 1, false), time, work.window);
    if (found.Better(best)) best = found;
  }
  if (best.contact == kNone) return;
  Pair(work, c, best.contact);
  work.contacts[c].flags |= kBustedCall;
}

}  // namespace

void FindBustedCalls(ContestWork& work, std::uint32_t log, std::int32_t offset) {
  const std::uint32_t first = log == kNone ? 0 : work.logs[log].first;
  const std::uint32_t end = log == kNone ? static_cast<std::uint32_t>(work.contacts.size()) : work.logs[log].end;
  // The entrants near each call looked for, found on every core first; the
  // pairing after it goes in log order, one contact at a time.
  std::vector<std::uint32_t> looked_for;
  {
    std::vector<std::uint8_t> seen(work.calls.size(), 0);
    for (std::uint32_t c = first; c < end; ++c) {
      if (Wanted(work, c) && !seen[work.contacts[c].worked]) {
        seen[work.contacts[c].worked] = 1;
        looked_for.push_back(work.contacts[c].worked);
      }
    }
  }
  const Candidates candidates(work);
  std::vector<std::vector<std::uint32_t>> near(looked_for.size());
  ParallelFor(looked_for.size(), work.threads, [&](std::size_t k) { near[k] = candidates.Of(looked_for[k]); });
  std::unordered_map<std::uint32_t, std::uint32_t> near_of;  // call -> index in near
  for (std::uint32_t k = 0; k < looked_for.size(); ++k) {
    if (!near[k].empty()) near_of.emplace(looked_for[k], k);
  }
  for (std::uint32_t c = first; c < end; ++c) {
    if (!Wanted(work, c)) continue;
    const auto found = near_of.find(work.contacts[c].worked);
    if (found != near_of.end()) TryContact(work, c, near[found->second], offset);
  }
}

}  // namespace zelo
