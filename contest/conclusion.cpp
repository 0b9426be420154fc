#include "contest/conclusion.h"

#include <array>
#include <mutex>
#include <unordered_set>

#include "input/text.h"
#include "scoring/score_log.h"

namespace zelo {
namespace {

std::mutex near_miss_mutex;

bool CountsWhenChecked(ContactStatus status) {
  return status == ContactStatus::kConfirmed || status == ContactStatus::kUnique ||
         status == ContactStatus::kUnverified;
}

// The nearest near miss of a nil contact in the log of the station worked:
// the same band and class of mode at another time, else another band, else
// another class of mode on this band.
PackedNearMiss FindNearMiss(const ContestWork& work, std::uint32_t c) {
  const Contact& contact = work.contacts[c];
  PackedNearMiss miss;
  const auto keep = [&](const Found& found, NearMiss::Kind kind) {
    if (found.contact == kNone) return false;
    const Contact& theirs = work.contacts[found.contact];
    miss = {kind, theirs.log, theirs.index, found.distance};
    return true;
  };
  const int theirs = 1 - contact.side();
  Found best;
  for (bool repeats : {false, true}) {
    const Found found = ClosestAny(work, work.Side(contact.bucket, theirs, repeats), contact.time);
    if (found.Better(best)) best = found;
  }
  if (best.contact != kNone && contact.time != kNoTime && work.contacts[best.contact].time != kNoTime &&
      keep(best, NearMiss::Kind::kTime)) {
    return miss;
  }
  const std::uint32_t mine = work.CallOf(contact.log);
  const auto elsewhere = [&](std::uint8_t band, std::uint32_t mode) {
    const std::uint32_t bucket = work.buckets.Find(BucketTable::MakeKey(mine, contact.worked, band, mode));
    return bucket == kNone ? Found{} : ClosestAny(work, work.Side(bucket, theirs, false), contact.time);
  };
  Found on_band;
  for (std::uint8_t band = 0; band < kBandCount; ++band) {
    if (band == contact.band) continue;
    const Found found = elsewhere(band, contact.mode);
    if (found.Better(on_band)) on_band = found;
  }
  if (keep(on_band, NearMiss::Kind::kBand)) return miss;
  Found in_mode;
  for (std::uint32_t mode = 0; mode < static_cast<std::uint32_t>(ModeClass::kOther); ++mode) {
    if (mode == contact.mode) continue;
    const Found found = elsewhere(contact.band, mode);
    if (found.Better(in_mode)) in_mode = found;
  }
  keep(in_mode, NearMiss::Kind::kMode);
  return miss;
}

ContactStatus StatusOf(const ContestWork& work, std::uint32_t c, PackedCheck& check) {
  const Contact& contact = work.contacts[c];
  const std::uint32_t other = work.partner[c];
  if (other != kNone) {
    const Contact& theirs = work.contacts[other];
    check.other_log = theirs.log;
    check.other_index = theirs.index;
    check.field = contact.flags & kFieldBits;
    if (work.IsRepeat(c)) return ContactStatus::kRepeat;
    if ((contact.flags & kBustedCall) != 0) return ContactStatus::kBustedCall;
    return check.field != 0 ? ContactStatus::kBustedExchange : ContactStatus::kConfirmed;
  }
  if (work.IsRepeat(c)) return ContactStatus::kRepeat;
  const std::uint32_t their_log = contact.worked == kNone ? kNone : work.log_of_call[contact.worked];
  if (their_log != kNone && their_log != contact.log) return ContactStatus::kNil;
  return work.worked_by[contact.worked] > 1 ? ContactStatus::kUnverified : ContactStatus::kUnique;
}

// Runs the event's rules over the log again, every record in its place,
// counting only the stored contacts whose check lets them count (and, for a
// single-band entry, are on its band); multiplier items without regard to case.
class CheckedScore : public ScoreObserver {
 public:
  CheckedScore(std::vector<PackedCheck>& checks, std::optional<Band> entry_band)
      : checks_(checks), entry_band_(entry_band) {}

  void OnRecord(const RecordOutcome& out) override {
    PackedCheck& check = checks_[next_++];
    if (out.outcome != Outcome::kStored || !CountsWhenChecked(check.Status())) return;
    if (entry_band_ && *out.band != *entry_band_) return;
    check.counted = 1;
    const std::size_t b = BandIndex(*out.band);
    ++bands_[b].qsos;
    if (!out.item.empty() && items_[b].insert(UpperAscii(out.item)).second) ++bands_[b].mults;
  }

  const std::array<BandCounts, kBandCount>& Bands() const { return bands_; }

 private:
  std::vector<PackedCheck>& checks_;
  std::optional<Band> entry_band_;
  std::size_t next_ = 0;
  std::array<BandCounts, kBandCount> bands_{};
  std::array<std::unordered_set<std::string>, kBandCount> items_;
};

}  // namespace

void Conclude(ContestWork& work, std::size_t i) {
  LogCheck& log = work.result.logs[i];
  std::vector<PackedCheck>& checks = work.store->checks[i];
  if (log.superseded_by != kNoLog) return;
  std::int64_t penalised = 0;
  for (std::uint32_t c = work.logs[i].first; c < work.logs[i].end; ++c) {
    PackedCheck& check = checks[work.contacts[c].index];
    const ContactStatus status = StatusOf(work, c, check);
    check.SetStatus(status);
    if (status == ContactStatus::kNil || status == ContactStatus::kBustedCall) ++penalised;
    if (status == ContactStatus::kNil && work.contacts[c].bucket != kNone) {
      const PackedNearMiss miss = FindNearMiss(work, c);
      if (miss.kind != NearMiss::Kind::kNone) {
        const std::lock_guard<std::mutex> lock(near_miss_mutex);
        work.store->near_misses.emplace(std::uint64_t{i} << 32 | work.contacts[c].index, miss);
      }
    }
  }
  CheckedScore checked(checks, log.entry_band);
  ScoreLog(work.store->bytes[i], &checked);
  log.checked_bands = checked.Bands();
  std::int64_t qsos = 0, mults = 0;
  for (const BandCounts& band : log.checked_bands) {
    qsos += band.qsos;
    mults += band.mults;
  }
  log.checked_qsos = std::max<std::int64_t>(0, qsos - penalised * work.penalty);
  log.checked_mults = mults;
  log.checked_score = log.checked_qsos * log.checked_mults;
}

}  // namespace zelo
