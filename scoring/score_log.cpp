#include "scoring/score_log.h"

#include <cmath>
#include <cstring>
#include <unordered_set>

#include "input/sort_list.h"
#include "scoring/report.h"

namespace zelo {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

struct BonusRow {
  std::string_view call;
  std::string_view call60;
};
constexpr std::array<BonusRow, 4> kBonusStations = {{
    {"Q1XA", "Q1XA/60"},
    {"Q2XBM", "Q2XBM/60"},
    {"Q5XCN", "Q5XCN/60"},
    {"Q8XD", "Q8XD/60"},
}};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The progress bar's value: steps counted against an estimate of how many
// records the log holds, taken from the length of the record at hand.
class ProgressMeter {
 public:
  explicit ProgressMeter(std::size_t log_length) : log_length_(static_cast<double>(log_length)) {}

  int Step(std::size_t record_length) {
    ++step_;
    const double estimate = std::floor(log_length_ / static_cast<double>(record_length));
    if (static_cast<double>(step_) > estimate) step_ = static_cast<std::int64_t>(estimate);
    float value = static_cast<float>(std::floor(static_cast<double>(step_) / estimate * 100.0));
    if (value > 100.0F) value = 100.0F;
    return static_cast<int>(value);
  }

 private:
  double log_length_;
  std::int64_t step_ = 0;
};

}  // namespace

RecordScanner::RecordScanner(std::string_view text) : text_(text), next_qso_(text.find(kQsoTag)) {}

std::size_t RecordScanner::NextByte(char c, std::size_t from, std::size_t& cache,
                                    std::size_t& cache_from) const {
  // The cached answer holds while `from` has not passed it; `from` only grows.
  if (cache_from <= from && (cache == kNone || cache >= from)) return cache;
  const void* hit = std::memchr(text_.data() + from, c, text_.size() - from);
  cache = hit == nullptr ? kNone : static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
  cache_from = from;
  return cache;
}

std::optional<Record> RecordScanner::Next() {
  if (next_qso_ == kNone) return std::nullopt;
  const std::size_t begin = next_qso_;
  const std::size_t after_tag = begin + kQsoTag.size();
  next_qso_ = text_.find(kQsoTag, after_tag);

  const std::size_t lf = NextByte('\n', after_tag, lf_, lf_from_);
  const std::size_t cr = NextByte('\r', after_tag, cr_, cr_from_);
  std::size_t end = text_.size();
  if (lf != kNone && (cr == kNone || lf < cr)) {
    end = lf + 1;
  } else if (cr != kNone) {
    end = (cr + 1 < text_.size() && text_[cr + 1] == '\n') ? cr + 2 : cr + 1;
  }
  if (next_qso_ != kNone && next_qso_ < end) end = next_qso_;
  return Record{begin, text_.substr(begin, end - begin)};
}

bool HasMultiplierValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsFieldSeparator(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') return false;  // a negative value never exceeds 9
    ++i;
  }
  // Whole part, leading zeros skipped.
  while (i < text.size() && text[i] == '0') ++i;
  std::size_t digits = 0;
  char last_digit = '0';
  while (i < text.size() && IsDigit(text[i])) {
    last_digit = text[i];
    ++digits;
    ++i;
  }
  if (digits >= 2) return true;
  if (digits == 0 || last_digit != '9') return false;
  // Exactly 9: more than 9 only with a non-zero fraction.
  if (i >= text.size() || text[i] != '.') return false;
  for (++i; i < text.size() && IsDigit(text[i]); ++i) {
    if (text[i] != '0') return true;
  }
  return false;
}

std::optional<std::string_view> BonusItem(std::string_view worked_call) {
  for (const BonusRow& row : kBonusStations) {
    if (worked_call == row.call || worked_call == row.call60) return row.call;
  }
  return std::nullopt;
}

std::string_view MultiplierItem(const QsoFields& fields) {
  if (auto bonus = BonusItem(fields[kFieldWorkedCall])) return *bonus;
  return HasMultiplierValue(fields[kFieldReport]) ? fields[kFieldItem] : std::string_view{};
}

ScoreResult ScoreLog(std::string_view log_text, ScoreObserver* observer) {
  ScoreObserver quiet;
  ScoreObserver& watch = observer != nullptr ? *observer : quiet;
  ScoreResult result;
  ProgressMeter progress(log_text.size());
  std::array<std::unordered_set<std::string_view>, kBandCount> items;

  // The previous accepted contact; empty at the start of every run.
  std::string_view last_call;
  std::string_view last_band;
  std::optional<std::size_t> last_offset;

  RecordScanner scanner(log_text);
  while (const std::optional<Record> record = scanner.Next()) {
    ++result.records;
    const QsoFields fields = SplitQsoFields(record->text);
    RecordOutcome out;
    out.record = *record;
    out.frequency = fields[kFieldFrequency];
    out.call = fields[kFieldWorkedCall];
    if (!fields[kFieldQso].starts_with(kQsoTag)) {
      out.outcome = Outcome::kNotContact;
      watch.OnRecord(out);
      continue;
    }
    result.my_call = fields[kFieldMyCall];
    const std::string_view prefix = BandPrefix(out.frequency);
    if (out.call == last_call && prefix == last_band) {
      out.outcome = Outcome::kDuplicate;
      out.repeats = last_offset;
      watch.OnRecord(out);
      continue;
    }
    last_call = out.call;
    last_band = prefix;
    last_offset = record->offset;

    const std::optional<Band> band = BandOf(out.frequency);
    if (!band) {
      out.outcome = Outcome::kNoBand;
      watch.OnRecord(out);
      watch.OnProgress(progress.Step(record->text.size()));
      continue;
    }
    out.outcome = Outcome::kStored;
    out.band = band;
    out.item = MultiplierItem(fields);
    BandTally& tally = result.bands[BandIndex(*band)];
    tally.calls.push_back(out.call);
    if (!out.item.empty()) items[BandIndex(*band)].insert(out.item);
    watch.OnRecord(out);
    if (*band != Band::k160) watch.OnProgress(progress.Step(record->text.size()));
  }

  for (Band band : kBands) {
    BandTally& tally = result.bands[BandIndex(band)];
    const auto& distinct = items[BandIndex(band)];
    tally.multipliers.assign(distinct.begin(), distinct.end());
    SortList(tally.multipliers);
    result.total_qsos += tally.Count();
    result.total_mults += tally.MultCount();
  }
  result.final_score = result.total_mults * result.total_qsos;
  result.report = WriteReport(result);
  return result;
}

}  // namespace zelo
