#include "contest/contest.h"

#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>

#include "contest/near_calls.h"
#include "contest/pairing.h"
#include "input/cabrillo_header.h"
#include "input/line_ends.h"
#include "input/log_file.h"
#include "input/seeded_hash.h"
#include "input/text.h"
#include "io/parallel_for.h"
#include "scoring/score_log.h"

namespace zelo {

namespace {

constexpr std::uint32_t kNone = static_cast<std::uint32_t>(-1);
constexpr std::uint8_t kNoBandIndex = 7;

}  // namespace

// One contact's check, packed into 20 bytes: texts are read again from the
// log when a ContactCheck is made. A log has at most kMaxLogBytes = 2^28
// bytes, so offsets fit 28 bits and lengths and line numbers 29.
struct PackedCheck {
  std::uint32_t offset : 28 = 0;  // the record in its log's bytes
  std::uint32_t status : 4 = static_cast<std::uint32_t>(ContactStatus::kNotContact);
  std::uint32_t length : 29 = 0;
  std::uint32_t band : 3 = kNoBandIndex;
  std::uint32_t line : 29 = 0;
  std::uint32_t field : 3 = 0;  // kBustedExchange: 1 for field 12, 2 for field 13
  std::uint32_t other_log = kNone, other_index = 0;  // the contact it paired with

  ContactStatus Status() const { return static_cast<ContactStatus>(status); }
  void SetStatus(ContactStatus s) { status = static_cast<std::uint32_t>(s) & 0xF; }
  int Field() const { return field == 0 ? 0 : 11 + static_cast<int>(field); }
};
static_assert(sizeof(PackedCheck) == 20);
static_assert(kMaxLogBytes <= (std::size_t{1} << 28));

struct ContestStore {
  std::vector<std::string> bytes;               // each log's text
  std::vector<std::string> calls;               // each log's entrant call
  std::vector<std::vector<PackedCheck>> checks;  // each log's contacts
};

namespace {

unsigned ThreadCount(const ContestOptions& options) {
  return options.threads > 0 ? options.threads : HardwareThreads();
}

// Calls compared without regard to case get one number each. Open
// addressing over views into the logs, hashed from a start chosen at random
// per process so that no log can pile its calls into one slot.
class CallTable {
 public:
  std::uint32_t Intern(std::string_view call) {
    if ((calls_.size() + 1) * 2 > slots_.size()) Grow();
    const std::uint64_t hash = Hash(call);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      if (slots_[i] == kNone) {
        slots_[i] = static_cast<std::uint32_t>(calls_.size());
        calls_.push_back(call);
        hashes_.push_back(hash);
        return slots_[i];
      }
      if (hashes_[slots_[i]] == hash && EqualNoCase(calls_[slots_[i]], call)) return slots_[i];
    }
  }
  std::string_view Call(std::uint32_t id) const { return calls_[id]; }
  std::size_t size() const { return calls_.size(); }

 private:
  static std::uint64_t Hash(std::string_view call) {
    return SeededHash(call, 0, [](char c) { return UpperAscii(c); });
  }
  void Grow() {
    std::vector<std::uint32_t> bigger(std::max<std::size_t>(64, slots_.size() * 2), kNone);
    const std::size_t mask = bigger.size() - 1;
    for (std::uint32_t id = 0; id < calls_.size(); ++id) {
      std::size_t i = hashes_[id] & mask;
      while (bigger[i] != kNone) i = (i + 1) & mask;
      bigger[i] = id;
    }
    slots_ = std::move(bigger);
  }

  std::vector<std::uint32_t> slots_;
  std::vector<std::string_view> calls_;
  std::vector<std::uint64_t> hashes_;
};

// (call, call, band) buckets: every contact two stations logged of each
// other on one band lands in one bucket. Keys are call numbers, so the hash
// only needs to spread them.
class BucketTable {
 public:
  static std::uint64_t Key(std::uint32_t a, std::uint32_t b, std::uint8_t band) {
    const std::uint32_t lo = std::min(a, b), hi = std::max(a, b);
    return (static_cast<std::uint64_t>(lo) << 34) ^ (static_cast<std::uint64_t>(hi) << 3) ^ band;
  }
  // Room for `count` buckets without growing: growing holds the old table
  // and the new one at once.
  void Reserve(std::size_t count) {
    std::size_t slots = 64;
    while (slots * 4 < count * 5) slots *= 2;
    if (slots > keys_.size()) Grow(slots);
  }
  std::uint32_t FindOrAdd(std::uint64_t key) {
    if ((count_ + 1) * 5 > keys_.size() * 4) Grow(std::max<std::size_t>(64, keys_.size() * 2));
    const std::size_t mask = keys_.size() - 1;
    for (std::size_t i = MixBits(key ^ HashSeed()) & mask;; i = (i + 1) & mask) {
      if (values_[i] == kNone) {
        keys_[i] = key;
        values_[i] = count_++;
        return values_[i];
      }
      if (keys_[i] == key) return values_[i];
    }
  }
  std::uint32_t Find(std::uint64_t key) const {
    if (keys_.empty()) return kNone;
    const std::size_t mask = keys_.size() - 1;
    for (std::size_t i = MixBits(key ^ HashSeed()) & mask;; i = (i + 1) & mask) {
      if (values_[i] == kNone) return kNone;
      if (keys_[i] == key) return values_[i];
    }
  }
  std::uint32_t size() const { return count_; }

 private:
  // Linear probing stays short up to four fifths full: the keys are call
  // numbers, spread by MixBits, and no log chooses them.
  void Grow(std::size_t slots) {
    std::vector<std::uint64_t> keys(slots);
    std::vector<std::uint32_t> values(keys.size(), kNone);
    const std::size_t mask = keys.size() - 1;
    for (std::size_t j = 0; j < keys_.size(); ++j) {
      if (values_[j] == kNone) continue;
      std::size_t i = MixBits(keys_[j] ^ HashSeed()) & mask;
      while (values[i] != kNone) i = (i + 1) & mask;
      keys[i] = keys_[j];
      values[i] = values_[j];
    }
    keys_ = std::move(keys);
    values_ = std::move(values);
  }

  std::vector<std::uint64_t> keys_;
  std::vector<std::uint32_t> values_;
  std::uint32_t count_ = 0;
};

// A contact that takes part in the cross-check (stored on a band).
constexpr std::uint8_t kBustedCallFlag = 0x80;
constexpr std::uint8_t kFieldMask = 0x7F;

struct Part {
  std::int32_t time = kNoTime;
  std::uint32_t bucket = kNone;  // its (call, call, band) bucket
  std::uint32_t index = 0;       // its PackedCheck in its log
  std::uint32_t worked = 0;  // first the offset of field 10 in the log, then the call's number
  std::uint8_t band = 0;
  std::uint8_t side = 0;  // 0: logged by the lower call number of its bucket, 1: the higher; kNoSide: in none
};
constexpr std::uint8_t kNoSide = 0xFF;

// What scoring one log leaves for the cross-check.
struct LogWork {
  std::uint32_t records = 0;     // "QSO:" occurrences: room for its contacts
  std::uint32_t first_part = 0;  // where its contacts go in the array of all contacts
  std::uint32_t parts = 0;       // how many took part
  std::string_view call;         // into the log's bytes
};

// "QSO:" occurrences, the number of records a scoring run will tell of.
std::uint32_t CountRecords(std::string_view text) {
  std::uint32_t count = 0;
  for (std::size_t at = text.find(kQsoTag); at != std::string_view::npos; at = text.find(kQsoTag, at + 1)) ++count;
  return count;
}

// Collects the run's outcome of every record of one log.
class RecordCollector : public ScoreObserver {
 public:
  // Contacts that take part go to parts[0, room).
  RecordCollector(std::string_view text, std::vector<PackedCheck>& checks, Part* parts, std::uint32_t room)
      : text_(text), counter_(text), checks_(checks), parts_(parts), room_(room) {}

  void OnRecord(const RecordOutcome& outcome) override {
    PackedCheck check;
    check.offset = static_cast<std::uint32_t>(outcome.record.offset) & 0xFFFFFFF;
    check.length = static_cast<std::uint32_t>(outcome.record.text.size()) & 0x1FFFFFFF;
    check.line = static_cast<std::uint32_t>(counter_.LineOf(outcome.record.offset)) & 0x1FFFFFFF;
    switch (outcome.outcome) {
      case Outcome::kStored: {
        check.band = static_cast<std::uint32_t>(BandIndex(*outcome.band)) & 0x7;
        check.SetStatus(ContactStatus::kConfirmed);  // decided by the cross-check
        Part part;
        part.time = ContactMinute(outcome.fields[kFieldDate], outcome.fields[kFieldTime]);
        part.index = static_cast<std::uint32_t>(checks_.size());
        const std::string_view worked = outcome.fields[kFieldWorkedCall];
        part.worked = worked.empty() ? kNone : static_cast<std::uint32_t>(worked.data() - text_.data());
        part.band = static_cast<std::uint8_t>(check.band);
        if (stored_ < room_) parts_[stored_++] = part;
        break;
      }
      case Outcome::kDuplicate:
        check.SetStatus(ContactStatus::kRepeat);
        break;
      case Outcome::kNoBand:
        check.SetStatus(ContactStatus::kNoBand);
        break;
      case Outcome::kNotContact:
        check.SetStatus(ContactStatus::kNotContact);
        break;
    }
    if (!first_call_ && outcome.outcome != Outcome::kNotContact) first_call_ = outcome.fields[kFieldMyCall];
    checks_.push_back(check);
  }

  std::string_view FirstCall() const { return first_call_.value_or(std::string_view{}); }
  std::uint32_t Stored() const { return stored_; }

 private:
  std::string_view text_;
  LineCounter counter_;
  std::vector<PackedCheck>& checks_;
  Part* parts_;
  std::uint32_t room_;
  std::uint32_t stored_ = 0;
  std::optional<std::string_view> first_call_;
};

// Field 10 at `offset`: it runs to the next blank or tab, for a record that
// has a field 10 always has a field after it.
std::string_view WorkedCallAt(std::string_view text, std::uint32_t offset) {
  if (offset == kNone) return {};
  std::size_t end = offset;
  while (end < text.size() && !IsFieldSeparator(text[end])) ++end;
  return text.substr(offset, end - offset);
}

CategoryText CategoryOf(const Category& category) {
  CategoryText text;
  for (std::size_t i = 0; i < kCategoryPartCount; ++i) text.parts[i] = std::string(category.parts[i]);
  text.checklog = category.IsChecklog();
  return text;
}

// A log given to the cross-check: its bytes, or why it could not be read.
struct Input {
  std::string name;
  std::string error;  // set when the file could not be read
};

// The whole cross-check of a contest, phase by phase.
class CrossChecker {
 public:
  CrossChecker(std::vector<Input> inputs, std::vector<std::string> bytes, const ContestOptions& options)
      : inputs_(std::move(inputs)), threads_(ThreadCount(options)), window_(options.time_window_minutes),
        store_(std::make_shared<ContestStore>()) {
    store_->bytes = std::move(bytes);
  }

  ContestResult Run() {
    const std::size_t n = inputs_.size();
    result_.logs.resize(n);
    store_->calls.resize(n);
    store_->checks.resize(n);
    work_.resize(n);
    MakeRoom();
    ParallelFor(n, threads_, [this](std::size_t i) { ScoreOne(i); });
    GatherParts();
    NumberCalls();
    FillBuckets();
    ParallelFor(bucket_count_, threads_, [this](std::size_t b) { PairBucket(static_cast<std::uint32_t>(b)); });
    FindBustedCalls();
    ParallelFor(n, threads_, [this](std::size_t i) { Conclude(i); });
    parts_ = {};
    order_ = {};
    std::shared_ptr<const ContestStore> store = std::move(store_);
    for (std::size_t i = 0; i < n; ++i) {
      if (!result_.logs[i].rejected) result_.logs[i].contacts = ContactList(store, i);
    }
    return std::move(result_);
  }

 private:
  // Reads the header and scores the log as sent, keeping every record's outcome.
  void ScoreOne(std::size_t i) {
    LogCheck& log = result_.logs[i];
    log.file = inputs_[i].name;
    const std::string& bytes = store_->bytes[i];
    if (!inputs_[i].error.empty()) {
      log.rejected = true;
      log.reason = inputs_[i].error;
      return;
    }
    if (bytes.size() > kMaxLogBytes) {
      log.rejected = true;
      log.reason = "it is too big for a log: " + std::to_string(bytes.size()) + " bytes (at most " +
                   std::to_string(kMaxLogBytes) + ")";
      std::string().swap(store_->bytes[i]);
      return;
    }
    const HeaderCheck check = CheckLogHeader(bytes);
    if (!check.valid) {
      log.rejected = true;
      log.reason = check.reason;
      std::string().swap(store_->bytes[i]);
      return;
    }
    const CabrilloHeader header = ReadCabrilloHeader(bytes);
    log.category = CategoryOf(header.category);
    log.claimed_score = header.ClaimedScore();
    store_->checks[i].reserve(work_[i].records);
    RecordCollector collector(bytes, store_->checks[i], parts_.data() + work_[i].first_part, work_[i].records);
    const ScoreResult scored = ScoreLog(bytes, &collector);
    work_[i].parts = collector.Stored();
    log.qsos = scored.total_qsos;
    log.mults = scored.total_mults;
    log.score = scored.final_score;
    std::string_view call = header.Value("CALLSIGN").value_or(std::string_view{});
    if (call.empty()) call = collector.FirstCall();
    work_[i].call = call;
    log.call = std::string(call);
    store_->calls[i] = log.call;
  }

  // Room for every log's contacts in one array, so that scoring writes
  // them in place: a contact's place in it is its rank in log order.
  void MakeRoom() {
    ParallelFor(work_.size(), threads_, [this](std::size_t i) { work_[i].records = CountRecords(store_->bytes[i]); });
    std::size_t total = 0;
    for (LogWork& w : work_) {
      w.first_part = static_cast<std::uint32_t>(total);
      total += w.records;
    }
    parts_.resize(total);
  }

  // Closes the gaps that records taking no part left between the logs.
  void GatherParts() {
    part_start_.resize(work_.size() + 1);
    std::size_t to = 0;
    for (std::size_t i = 0; i < work_.size(); ++i) {
      part_start_[i] = static_cast<std::uint32_t>(to);
      std::copy_n(parts_.begin() + work_[i].first_part, work_[i].parts, parts_.begin() + static_cast<std::ptrdiff_t>(to));
      to += work_[i].parts;
    }
    part_start_[work_.size()] = static_cast<std::uint32_t>(to);
    parts_.resize(to);
  }

  // The log a contact belongs to.
  std::uint32_t LogOf(std::uint32_t part) const {
    return static_cast<std::uint32_t>(std::upper_bound(part_start_.begin(), part_start_.end(), part) - part_start_.begin() - 1);
  }

  // Numbers the entrants' calls and the calls worked, and counts for each
  // call how many logs worked it.
  void NumberCalls() {
    log_call_.assign(work_.size(), kNone);
    for (std::size_t i = 0; i < work_.size(); ++i) {
      if (!work_[i].call.empty()) log_call_[i] = calls_.Intern(work_[i].call);
    }
    const std::size_t entrant_ids = calls_.size();
    for (std::size_t i = 0; i < work_.size(); ++i) {
      for (std::uint32_t p = part_start_[i]; p < part_start_[i + 1]; ++p) {
        parts_[p].worked = calls_.Intern(WorkedCallAt(store_->bytes[i], parts_[p].worked));
      }
    }
    has_log_.assign(calls_.size(), 0);
    for (std::uint32_t id : log_call_) {
      if (id != kNone) has_log_[id] = 1;
    }
    worked_by_.assign(calls_.size(), 0);
    std::vector<std::uint32_t> last_log(calls_.size(), kNone);
    for (std::uint32_t i = 0; i < work_.size(); ++i) {
      for (std::uint32_t p = part_start_[i]; p < part_start_[i + 1]; ++p) {
        const std::uint32_t worked = parts_[p].worked;
        if (last_log[worked] == i) continue;
        last_log[worked] = i;
        if (worked_by_[worked] < 2) ++worked_by_[worked];
      }
    }
    for (std::uint32_t id = 0; id < entrant_ids; ++id) {
      if (has_log_[id]) near_.Add(calls_.Call(id), id);
    }
  }

  // Places every contact in its (call, call, band) bucket and side, each
  // side's contacts in log order.
  void FillBuckets() {
    // Most buckets hold a contact from each side.
    buckets_.Reserve(parts_.size() / 2);
    for (std::size_t i = 0; i < work_.size(); ++i) {
      const std::uint32_t mine = log_call_[i];
      for (std::uint32_t p = part_start_[i]; p < part_start_[i + 1]; ++p) {
        Part& part = parts_[p];
        if (mine == kNone || mine == part.worked) {
          part.side = kNoSide;
          continue;
        }
        part.bucket = buckets_.FindOrAdd(BucketTable::Key(mine, part.worked, part.band));
        part.side = mine < part.worked ? 0 : 1;
      }
    }
    bucket_count_ = buckets_.size();
    segment_.assign(std::size_t{bucket_count_} * 2 + 1, 0);
    for (std::size_t p = 0; p < parts_.size(); ++p) {
      if (parts_[p].bucket != kNone) ++segment_[std::size_t{parts_[p].bucket} * 2 + parts_[p].side + 1];
    }
    for (std::size_t s = 1; s < segment_.size(); ++s) segment_[s] += segment_[s - 1];
    order_.assign(segment_.back(), 0);
    std::vector<std::uint32_t> fill(segment_.begin(), segment_.end() - 1);
    for (std::size_t p = 0; p < parts_.size(); ++p) {
      if (parts_[p].bucket != kNone) order_[fill[std::size_t{parts_[p].bucket} * 2 + parts_[p].side]++] = static_cast<std::uint32_t>(p);
    }
    partner_.assign(parts_.size(), kNone);
    flags_.assign(parts_.size(), 0);
  }

  std::string_view RecordOf(std::uint32_t part) const {
    const std::uint32_t log = LogOf(part);
    const PackedCheck& check = store_->checks[log][parts_[part].index];
    return std::string_view(store_->bytes[log]).substr(check.offset, check.length);
  }

  // What each of two paired contacts copied (fields 12 and 13) against what
  // the other logged as sent (fields 8 and 9): the first field that differs.
  void CompareExchanges(std::uint32_t a, std::uint32_t b) {
    const QsoFields fields_a = SplitQsoFields(RecordOf(a));
    const QsoFields fields_b = SplitQsoFields(RecordOf(b));
    const auto first_difference = [](const QsoFields& received, const QsoFields& sent) -> std::uint8_t {
      for (const ExchangeField& field : kExchangeFields) {
        if (!EqualNoCase(received[field.received], sent[field.sent])) return static_cast<std::uint8_t>(field.received);
      }
      return 0;
    };
    flags_[a] |= first_difference(fields_a, fields_b);
    flags_[b] |= first_difference(fields_b, fields_a);
  }

  // Sorts both sides of a bucket by time and pairs them, closest first.
  void PairBucket(std::uint32_t bucket) {
    thread_local std::vector<PairItem> side[2];
    for (int s = 0; s < 2; ++s) {
      const auto begin = order_.begin() + segment_[std::size_t{bucket} * 2 + s];
      const auto end = order_.begin() + segment_[std::size_t{bucket} * 2 + s + 1];
      std::sort(begin, end, [this](std::uint32_t x, std::uint32_t y) {
        return PairOrder({parts_[x].time, x}, {parts_[y].time, y});
      });
      side[s].clear();
      for (auto it = begin; it != end; ++it) side[s].push_back({parts_[*it].time, *it});
    }
    for (const auto& [i, j] : PairClosestFirst(side[0], side[1], window_)) {
      partner_[side[0][i].rank] = side[1][j].rank;
      partner_[side[1][j].rank] = side[0][i].rank;
      CompareExchanges(side[0][i].rank, side[1][j].rank);
    }
  }

  bool Taken(std::uint32_t pos) const { return partner_[order_[pos]] != kNone; }

  // The first unpaired place in [pos, end) of `order_`, `end` when none.
  // Places only ever become paired, so a jump over paired places once found
  // holds for good; jumps are kept only for the places a search passed, so
  // they cost nothing for the many buckets no busted call looks into.
  std::uint32_t NextFree(std::uint32_t pos, std::uint32_t end) {
    std::uint32_t at = pos;
    while (at < end && Taken(at)) {
      const auto jump = next_jump_.find(at);
      at = jump == next_jump_.end() ? at + 1 : jump->second;
    }
    const std::uint32_t found = std::min(at, end);
    for (std::uint32_t p = pos; p < found && Taken(p);) {
      auto& jump = next_jump_[p];
      const std::uint32_t next = jump > p ? jump : p + 1;
      jump = found;
      p = next;
    }
    return found;
  }

  // One more than the last unpaired place in [begin, bound), `begin` when none.
  std::uint32_t PrevFree(std::uint32_t bound, std::uint32_t begin) {
    std::uint32_t at = bound;
    while (at > begin && Taken(at - 1)) {
      const auto jump = prev_jump_.find(at);
      at = jump == prev_jump_.end() ? at - 1 : jump->second;
    }
    const std::uint32_t found = std::max(at, begin);
    for (std::uint32_t p = bound; p > found && Taken(p - 1);) {
      auto& jump = prev_jump_[p];
      const std::uint32_t next = jump != 0 && jump < p ? jump : p - 1;
      jump = found;
      p = next;
    }
    return found;
  }

  struct Found {
    std::int64_t distance = 0;
    std::uint32_t rank = kNone;
    bool Better(const Found& other) const {
      return rank != kNone && (other.rank == kNone || distance < other.distance ||
                               (distance == other.distance && rank < other.rank));
    }
  };

  // The unpaired contact closest to `time` on one side of a bucket, within the window.
  Found Closest(std::uint32_t begin, std::uint32_t end, std::int32_t time) {
    Found best;
    const auto consider = [&](std::uint32_t pos, std::int64_t distance) {
      const Found found{distance, order_[pos]};
      if (found.Better(best)) best = found;
    };
    const auto time_at = [this](std::uint32_t pos) { return parts_[order_[pos]].time; };
    // Partition points of the side, sorted by time with the untimed first.
    const auto first_where = [&](auto&& before) {
      const auto from = order_.begin() + begin;
      return begin + static_cast<std::uint32_t>(std::partition_point(from, order_.begin() + end, before) - from);
    };
    const std::uint32_t timed = first_where([this](std::uint32_t x) { return parts_[x].time == kNoTime; });
    if (time != kNoTime) {
      const std::uint32_t lo = first_where([this, time](std::uint32_t x) { return parts_[x].time < time; });
      const std::uint32_t right = NextFree(lo, end);
      if (right < end) {
        const std::int64_t d = std::int64_t{time_at(right)} - time;
        if (d <= window_) consider(right, d);
      }
      const std::uint32_t left_bound = PrevFree(lo, timed);
      if (left_bound > timed) {
        const std::int64_t d = std::int64_t{time} - time_at(left_bound - 1);
        if (d <= window_) consider(left_bound - 1, d);
      }
    }
    if (best.rank == kNone) {
      // A contact without a time matches on call and band alone, after every timed one.
      const std::uint32_t limit = time == kNoTime ? end : timed;
      const std::uint32_t first = NextFree(begin, limit);
      if (first < limit) consider(first, std::int64_t{window_} + 1);
    }
    return best;
  }

  // A contact left unpaired whose call sent no log: paired with an entrant
  // one edit away that logged this station on the band, closest in time.
  void FindBustedCalls() {
    const auto wanted = [this](std::uint32_t p) {
      return partner_[p] == kNone && !has_log_[parts_[p].worked] && parts_[p].side != kNoSide;
    };
    // The entrants near each call looked for, found on every core first; the
    // pairing after it goes in log order, one contact at a time.
    std::vector<std::uint32_t> looked_for;
    {
      std::vector<std::uint8_t> seen(calls_.size(), 0);
      for (std::uint32_t p = 0; p < parts_.size(); ++p) {
        if (wanted(p) && !seen[parts_[p].worked]) {
          seen[parts_[p].worked] = 1;
          looked_for.push_back(parts_[p].worked);
        }
      }
    }
    std::vector<std::vector<std::uint32_t>> near_list(looked_for.size());
    ParallelFor(looked_for.size(), threads_,
                [&](std::size_t k) { near_list[k] = near_.Near(calls_.Call(looked_for[k])); });
    std::unordered_map<std::uint32_t, std::uint32_t> near_of;  // call -> index in near_list
    for (std::uint32_t k = 0; k < looked_for.size(); ++k) {
      if (!near_list[k].empty()) near_of.emplace(looked_for[k], k);
    }
    for (std::uint32_t p = 0; p < parts_.size(); ++p) {
      const Part& part = parts_[p];
      if (!wanted(p)) continue;
      const auto near = near_of.find(part.worked);
      if (near == near_of.end()) continue;
      const std::uint32_t mine = log_call_[LogOf(p)];
      Found best;
      for (std::uint32_t entrant : near_list[near->second]) {
        if (entrant == mine) continue;
        const std::uint32_t bucket = buckets_.Find(BucketTable::Key(mine, entrant, part.band));
        if (bucket == kNone) continue;
        const std::size_t side = std::size_t{bucket} * 2 + (entrant < mine ? 0 : 1);
        const Found found = Closest(segment_[side], segment_[side + 1], part.time);
        if (found.Better(best)) best = found;
      }
      if (best.rank == kNone) continue;
      partner_[p] = best.rank;
      partner_[best.rank] = p;
      flags_[p] |= kBustedCallFlag;
      CompareExchanges(p, best.rank);
    }
  }

  // Every contact's status, then the checked score of the log.
  void Conclude(std::size_t i) {
    LogCheck& log = result_.logs[i];
    if (log.rejected) return;
    std::vector<PackedCheck>& checks = store_->checks[i];
    const std::string_view text = store_->bytes[i];
    bool removed = false;
    for (std::uint32_t p = part_start_[i]; p < part_start_[i + 1]; ++p) {
      const Part& part = parts_[p];
      PackedCheck& check = checks[part.index];
      const std::uint32_t other = partner_[p];
      if (other == kNone) {
        if (has_log_[part.worked]) {
          check.SetStatus(ContactStatus::kNil);
        } else {
          check.SetStatus(worked_by_[part.worked] > 1 ? ContactStatus::kUnverified : ContactStatus::kUnique);
        }
      } else {
        const Part& theirs = parts_[other];
        const std::uint32_t their_log = LogOf(other);
        check.other_log = their_log;
        check.other_index = theirs.index;
        const std::uint8_t differs = flags_[p] & kFieldMask;
        if ((flags_[p] & kBustedCallFlag) != 0) {
          check.SetStatus(ContactStatus::kBustedCall);
        } else if (differs != 0) {
          check.SetStatus(ContactStatus::kBustedExchange);
          check.field = static_cast<std::uint32_t>(differs - 11) & 0x7;
        } else {
          check.SetStatus(ContactStatus::kConfirmed);
        }
      }
      if (check.Status() == ContactStatus::kNil || check.Status() == ContactStatus::kBustedCall) removed = true;
    }
    log.checked_qsos = log.qsos;
    log.checked_mults = log.mults;
    log.checked_score = log.score;
    if (!removed) return;
    std::string kept;
    kept.reserve(text.size());
    std::size_t from = 0;
    for (const PackedCheck& check : checks) {
      if (check.Status() != ContactStatus::kNil && check.Status() != ContactStatus::kBustedCall) continue;
      kept.append(text.substr(from, check.offset - from));
      from = std::size_t{check.offset} + check.length;
    }
    kept.append(text.substr(from));
    const ScoreResult checked = ScoreLog(kept);
    log.checked_qsos = checked.total_qsos;
    log.checked_mults = checked.total_mults;
    log.checked_score = checked.final_score;
  }

  std::vector<Input> inputs_;
  unsigned threads_;
  std::int32_t window_;
  std::shared_ptr<ContestStore> store_;
  ContestResult result_;
  std::vector<LogWork> work_;
  std::vector<Part> parts_;
  std::vector<std::uint32_t> part_start_;
  CallTable calls_;
  std::vector<std::uint32_t> log_call_;
  std::vector<std::uint8_t> has_log_, worked_by_;
  NearCallIndex near_;
  BucketTable buckets_;
  std::uint32_t bucket_count_ = 0;
  std::vector<std::uint32_t> segment_;  // bucket b side s: order_[segment_[2b+s], segment_[2b+s+1])
  std::vector<std::uint32_t> order_;
  std::vector<std::uint32_t> partner_;
  // Per contact: kBustedCallFlag, and the first received field (12 or 13)
  // that differs from what the other station logged as sent.
  std::vector<std::uint8_t> flags_;
  std::unordered_map<std::uint32_t, std::uint32_t> next_jump_, prev_jump_;
};

ContactCheck MakeCheck(const ContestStore& store, std::size_t log, const PackedCheck& packed) {
  ContactCheck check;
  check.line = packed.line;
  check.status = packed.Status();
  if (packed.band != kNoBandIndex) check.band = kBands[packed.band];
  const QsoFields fields = SplitQsoFields(std::string_view(store.bytes[log]).substr(packed.offset, packed.length));
  check.worked_call = std::string(fields[kFieldWorkedCall]);
  if (packed.other_log == kNone) return check;
  const PackedCheck& other = store.checks[packed.other_log][packed.other_index];
  check.other_log = packed.other_log;
  check.other_line = other.line;
  if (packed.Status() == ContactStatus::kBustedCall) check.correct_call = store.calls[packed.other_log];
  if (const int field = packed.Field(); field != 0) {
    const QsoFields sent =
        SplitQsoFields(std::string_view(store.bytes[packed.other_log]).substr(other.offset, other.length));
    check.field = std::to_string(field);
    check.logged = std::string(fields[field]);
    for (const ExchangeField& exchange : kExchangeFields) {
      if (exchange.received == field) check.sent = std::string(sent[exchange.sent]);
    }
  }
  return check;
}

}  // namespace

std::string_view StatusName(ContactStatus status) {
  switch (status) {
    case ContactStatus::kConfirmed: return "confirmed";
    case ContactStatus::kBustedExchange: return "busted-exchange";
    case ContactStatus::kBustedCall: return "busted-call";
    case ContactStatus::kNil: return "nil";
    case ContactStatus::kUnique: return "unique";
    case ContactStatus::kUnverified: return "unverified";
    case ContactStatus::kRepeat: return "repeat";
    case ContactStatus::kNoBand: return "no-band";
    case ContactStatus::kNotContact: return "not-contact";
  }
  return "not-contact";
}

ContactList::ContactList(std::shared_ptr<const ContestStore> store, std::size_t log) : store_(std::move(store)), log_(log) {}

std::size_t ContactList::size() const { return (store_ ? store_->checks[log_].size() : 0) + added_.size(); }

ContactCheck ContactList::operator[](std::size_t index) const {
  const std::size_t packed = store_ ? store_->checks[log_].size() : 0;
  if (index < packed) return MakeCheck(*store_, log_, store_->checks[log_][index]);
  return added_[index - packed];
}

ContactStatus ContactList::StatusAt(std::size_t index) const {
  const std::size_t packed = store_ ? store_->checks[log_].size() : 0;
  if (index < packed) return store_->checks[log_][index].Status();
  return added_[index - packed].status;
}

void ContactList::push_back(ContactCheck check) { added_.push_back(std::move(check)); }

std::int64_t LogCheck::Count(ContactStatus status) const {
  std::int64_t count = 0;
  for (std::size_t i = 0; i < contacts.size(); ++i) count += contacts.StatusAt(i) == status ? 1 : 0;
  return count;
}

ContestResult CrossCheckLogs(std::vector<NamedLog> logs, const ContestOptions& options) {
  std::vector<Input> inputs(logs.size());
  std::vector<std::string> bytes(logs.size());
  for (std::size_t i = 0; i < logs.size(); ++i) {
    inputs[i].name = std::move(logs[i].name);
    bytes[i] = std::move(logs[i].bytes);
  }
  return CrossChecker(std::move(inputs), std::move(bytes), options).Run();
}

ContestResult CrossCheckContest(const std::vector<std::string>& paths, const ContestOptions& options) {
  std::vector<Input> inputs(paths.size());
  std::vector<std::string> bytes(paths.size());
  ParallelFor(paths.size(), ThreadCount(options), [&](std::size_t i) {
    inputs[i].name = paths[i];
    FileRead read = ReadWholeFile(paths[i]);
    if (read.ok) {
      bytes[i] = std::move(read.bytes);
    } else {
      inputs[i].error = read.error.empty() ? "cannot be read" : std::move(read.error);
    }
  });
  return CrossChecker(std::move(inputs), std::move(bytes), options).Run();
}

std::vector<CategoryGroup> RankByCategory(const ContestResult& result) {
  constexpr std::array<CategoryPart, 4> kGroupedBy = {CategoryPart::kOperator, CategoryPart::kBand,
                                                      CategoryPart::kPower, CategoryPart::kMode};
  std::map<std::array<std::string, kGroupedBy.size()>, std::vector<std::size_t>> groups;
  for (std::size_t i = 0; i < result.logs.size(); ++i) {
    const LogCheck& log = result.logs[i];
    if (log.rejected || log.category.checklog) continue;
    std::array<std::string, kGroupedBy.size()> key;
    for (std::size_t k = 0; k < kGroupedBy.size(); ++k) key[k] = UpperAscii(log.category[kGroupedBy[k]]);
    groups[key].push_back(i);
  }
  std::vector<CategoryGroup> ranked;
  for (auto& [key, logs] : groups) {
    std::stable_sort(logs.begin(), logs.end(), [&result](std::size_t a, std::size_t b) {
      return result.logs[a].checked_score > result.logs[b].checked_score;
    });
    CategoryGroup group;
    for (std::size_t k = 0; k < kGroupedBy.size(); ++k) group.category[kGroupedBy[k]] = key[k];
    group.logs = std::move(logs);
    ranked.push_back(std::move(group));
  }
  return ranked;
}

}  // namespace zelo
