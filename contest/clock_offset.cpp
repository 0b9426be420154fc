#include "contest/clock_offset.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "contest/buckets.h"
#include "contest/busted_calls.h"
#include "input/text.h"

namespace zelo {
namespace {

// The differences of a log's unpaired contacts from what the stations
// worked logged of them.
std::vector<std::int32_t> Differences(ContestWork& work, std::uint32_t log) {
  std::vector<std::int32_t> differences;
  for (std::uint32_t c = work.logs[log].first; c < work.logs[log].end; ++c) {
    const Contact& contact = work.contacts[c];
    if (work.Paired(c) || work.IsRepeat(c) || contact.time == kNoTime || contact.bucket == kNone) continue;
    if (work.log_of_call[contact.worked] == kNone) continue;
    Found best;
    for (bool repeats : {false, true}) {
      const Found found =
          ClosestUnpaired(work, work.Side(contact.bucket, 1 - contact.side(), repeats), contact.time, kOffsetSearchMinutes);
      if (found.Better(best)) best = found;
    }
    if (best.contact == kNone) continue;
    const std::int32_t theirs = work.contacts[best.contact].time;
    if (theirs != kNoTime) differences.push_back(theirs - contact.time);
  }
  return differences;
}

}  // namespace

std::optional<std::int32_t> ClockOffset(std::vector<std::int32_t> differences, std::int32_t window) {
  if (differences.size() < kLeastContacts) return std::nullopt;
  std::sort(differences.begin(), differences.end());
  const std::int32_t median = differences[(differences.size() - 1) / 2];
  if (std::abs(median) <= window) return std::nullopt;
  const auto near = std::count_if(differences.begin(), differences.end(),
                                  [&](std::int32_t d) { return std::abs(d - median) <= window; });
  if (static_cast<std::size_t>(near) * 5 < differences.size() * 4) return std::nullopt;
  return median;
}

void FindClockOffsets(ContestWork& work) {
  std::vector<std::uint32_t> by_call;
  for (std::uint32_t i = 0; i < work.logs.size(); ++i) {
    if (work.CallOf(i) != kNone) by_call.push_back(i);
  }
  std::sort(by_call.begin(), by_call.end(), [&work](std::uint32_t a, std::uint32_t b) {
    return UpperAscii(work.logs[a].call) < UpperAscii(work.logs[b].call);
  });
  for (std::uint32_t log : by_call) {
    const std::optional<std::int32_t> offset = ClockOffset(Differences(work, log), work.window);
    if (!offset) continue;
    work.logs[log].clock_offset = *offset;
    work.result.logs[log].clock_offset = *offset;
    const auto paired = [&work, log] {
      std::int64_t count = 0;
      for (std::uint32_t c = work.logs[log].first; c < work.logs[log].end; ++c) count += work.Paired(c) ? 1 : 0;
      return count;
    };
    const std::int64_t before = paired();
    PairLogAgain(work, log, *offset);
    FindBustedCalls(work, log, *offset);
    work.result.logs[log].offset_paired = paired() - before;
  }
}

}  // namespace zelo
