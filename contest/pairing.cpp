#include "contest/pairing.h"

#include <algorithm>
#include <cstdlib>
#include <queue>

namespace zelo {
namespace {

constexpr std::uint32_t kNoRun = static_cast<std::uint32_t>(-1);

std::int64_t Distance(std::int32_t t, std::int32_t u) {
  return std::llabs(static_cast<std::int64_t>(t) - static_cast<std::int64_t>(u));
}

// Contacts of one side at one minute, consecutive in the merged time order.
// The closest unpaired pair of opposite sides is always between two runs
// that are neighbours once emptied runs are taken out, so only neighbours
// are candidates: a heap of them gives each pairing in O(log n).
struct Run {
  int side = 0;  // 0: a, 1: b
  std::int32_t time = 0;
  std::uint32_t next_item = 0, end = 0;  // the run's unpaired items, in rank order
  std::uint32_t prev = kNoRun, next = kNoRun;
};

struct Candidate {
  std::int64_t distance = 0;
  std::uint32_t first_rank = 0, second_rank = 0;
  std::uint32_t left = 0, right = 0;
  bool operator>(const Candidate& other) const {
    if (distance != other.distance) return distance > other.distance;
    if (first_rank != other.first_rank) return first_rank > other.first_rank;
    return second_rank > other.second_rank;
  }
};

class TimedPairing {
 public:
  TimedPairing(std::span<const PairItem> a, std::span<const PairItem> b, std::int32_t window)
      : window_(window) {
    sides_[0] = a;
    sides_[1] = b;
  }

  // Pairs the timed items (those from index `first[side]` on).
  void PairAll(std::uint32_t first_a, std::uint32_t first_b, std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs) {
    BuildRuns(first_a, first_b);
    for (std::uint32_t r = 0; r + 1 < runs_.size(); ++r) Offer(r, r + 1);
    while (!heap_.empty()) {
      const Candidate c = heap_.top();
      heap_.pop();
      if (!Alive(c.left) || !Alive(c.right) || runs_[c.left].next != c.right) continue;
      const Candidate now = Make(c.left, c.right);
      if (now.first_rank != c.first_rank || now.second_rank != c.second_rank) {
        heap_.push(now);
        continue;
      }
      Run& left = runs_[c.left];
      Run& right = runs_[c.right];
      const std::uint32_t left_item = left.next_item++;
      const std::uint32_t right_item = right.next_item++;
      if (left.side == 0) {
        pairs.emplace_back(left_item, right_item);
      } else {
        pairs.emplace_back(right_item, left_item);
      }
      const bool left_empty = !Alive(c.left);
      const bool right_empty = !Alive(c.right);
      if (left_empty) Unlink(c.left);
      if (right_empty) Unlink(c.right);
      if (!left_empty && !right_empty) Offer(c.left, c.right);
    }
  }

 private:
  void BuildRuns(std::uint32_t first_a, std::uint32_t first_b) {
    std::uint32_t i[2] = {first_a, first_b};
    const std::uint32_t size[2] = {static_cast<std::uint32_t>(sides_[0].size()),
                                   static_cast<std::uint32_t>(sides_[1].size())};
    while (i[0] < size[0] || i[1] < size[1]) {
      int side = 0;
      if (i[0] >= size[0]) {
        side = 1;
      } else if (i[1] < size[1] && sides_[1][i[1]].time < sides_[0][i[0]].time) {
        side = 1;
      }
      Run run;
      run.side = side;
      run.time = sides_[side][i[side]].time;
      run.next_item = i[side];
      while (i[side] < size[side] && sides_[side][i[side]].time == run.time) ++i[side];
      run.end = i[side];
      run.prev = runs_.empty() ? kNoRun : static_cast<std::uint32_t>(runs_.size() - 1);
      if (!runs_.empty()) runs_.back().next = static_cast<std::uint32_t>(runs_.size());
      runs_.push_back(run);
    }
  }

  bool Alive(std::uint32_t r) const { return runs_[r].next_item < runs_[r].end; }

  Candidate Make(std::uint32_t left, std::uint32_t right) const {
    const Run& l = runs_[left];
    const Run& r = runs_[right];
    const std::uint32_t rank_l = sides_[l.side][l.next_item].rank;
    const std::uint32_t rank_r = sides_[r.side][r.next_item].rank;
    return {Distance(l.time, r.time), std::min(rank_l, rank_r), std::max(rank_l, rank_r), left, right};
  }

  void Offer(std::uint32_t left, std::uint32_t right) {
    if (left == kNoRun || right == kNoRun) return;
    const Run& l = runs_[left];
    const Run& r = runs_[right];
    if (l.side == r.side || !Alive(left) || !Alive(right)) return;
    if (Distance(l.time, r.time) > window_) return;
    heap_.push(Make(left, right));
  }

  void Unlink(std::uint32_t r) {
    const std::uint32_t prev = runs_[r].prev;
    const std::uint32_t next = runs_[r].next;
    if (prev != kNoRun) runs_[prev].next = next;
    if (next != kNoRun) runs_[next].prev = prev;
    Offer(prev, next);
  }

  std::span<const PairItem> sides_[2];
  std::int64_t window_;
  std::vector<Run> runs_;
  std::priority_queue<Candidate, std::vector<Candidate>, std::greater<>> heap_;
};

std::uint32_t CountTimeless(std::span<const PairItem> side) {
  std::uint32_t n = 0;
  while (n < side.size() && side[n].time == kNoTime) ++n;
  return n;
}

// Contacts without a time pair with the unpaired contacts of the other side,
// first by rank.
void PairTimeless(std::span<const PairItem> a, std::span<const PairItem> b, std::uint32_t timeless_a,
                  std::uint32_t timeless_b, std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs) {
  std::vector<char> paired_a(a.size(), 0), paired_b(b.size(), 0);
  for (const auto& [i, j] : pairs) {
    paired_a[i] = 1;
    paired_b[j] = 1;
  }
  const auto unpaired_by_rank = [](std::span<const PairItem> side, const std::vector<char>& paired) {
    std::vector<std::uint32_t> free;
    for (std::uint32_t i = 0; i < side.size(); ++i) {
      if (!paired[i]) free.push_back(i);
    }
    std::sort(free.begin(), free.end(), [&side](std::uint32_t x, std::uint32_t y) { return side[x].rank < side[y].rank; });
    return free;
  };
  if (timeless_a > 0) {
    const std::vector<std::uint32_t> free_b = unpaired_by_rank(b, paired_b);
    std::size_t k = 0;
    for (std::uint32_t i = 0; i < timeless_a && k < free_b.size(); ++i) {
      pairs.emplace_back(i, free_b[k]);
      paired_a[i] = 1;
      paired_b[free_b[k++]] = 1;
    }
  }
  if (timeless_b > 0) {
    const std::vector<std::uint32_t> free_a = unpaired_by_rank(a, paired_a);
    std::size_t k = 0;
    for (std::uint32_t j = 0; j < timeless_b && k < free_a.size(); ++j) {
      if (paired_b[j]) continue;
      pairs.emplace_back(free_a[k++], j);
      paired_b[j] = 1;
    }
  }
}

}  // namespace

std::vector<std::pair<std::uint32_t, std::uint32_t>> PairClosestFirst(std::span<const PairItem> a,
                                                                     std::span<const PairItem> b,
                                                                     std::int32_t window) {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
  if (a.empty() || b.empty()) return pairs;
  if (a.size() == 1 && b.size() == 1) {
    if (a[0].time == kNoTime || b[0].time == kNoTime || Distance(a[0].time, b[0].time) <= window) {
      pairs.emplace_back(0, 0);
    }
    return pairs;
  }
  const std::uint32_t timeless_a = CountTimeless(a);
  const std::uint32_t timeless_b = CountTimeless(b);
  TimedPairing(a, b, window).PairAll(timeless_a, timeless_b, pairs);
  if (timeless_a > 0 || timeless_b > 0) PairTimeless(a, b, timeless_a, timeless_b, pairs);
  return pairs;
}

}  // namespace zelo
