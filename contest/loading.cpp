#include "contest/loading.h"

#include <algorithm>

#include "input/cabrillo_header.h"
#include "input/line_ends.h"
#include "input/log_file.h"
#include "io/parallel_for.h"
#include "scoring/score_log.h"

namespace zelo {
namespace {

constexpr std::uint32_t kOtherMode = static_cast<std::uint32_t>(ModeClass::kOther);

// "QSO:" occurrences, the number of records a scoring run will tell of.
std::uint32_t CountRecords(std::string_view text) {
  std::uint32_t count = 0;
  for (std::size_t at = text.find(kQsoTag); at != std::string_view::npos; at = text.find(kQsoTag, at + 1)) ++count;
  return count;
}

// Collects the run's outcome of every record of one log, and the contacts
// that take part, written to contacts[0, room).
class RecordCollector : public ScoreObserver {
 public:
  RecordCollector(std::string_view text, std::uint32_t log, std::vector<PackedCheck>& checks, Contact* contacts,
                  std::uint32_t room)
      : text_(text), counter_(text), log_(log), checks_(checks), contacts_(contacts), room_(room) {}

  void OnRecord(const RecordOutcome& out) override {
    PackedCheck check;
    check.offset = static_cast<std::uint32_t>(out.record.offset) & 0xFFFFFFF;
    check.length = static_cast<std::uint32_t>(out.record.text.size()) & 0x1FFFFFFF;
    check.line = static_cast<std::uint32_t>(counter_.LineOf(out.record.offset)) & 0x1FFFFFFF;
    std::optional<Band> band;
    switch (out.outcome) {
      case Outcome::kStored:
        band = out.band;
        check.SetStatus(ContactStatus::kConfirmed);  // decided by the cross-check
        break;
      case Outcome::kDuplicate:
        // A repeat has the band prefix of the contact it repeats.
        band = BandOf(out.frequency);
        check.SetStatus(ContactStatus::kRepeat);
        break;
      case Outcome::kNoBand:
        check.SetStatus(ContactStatus::kNoBand);
        break;
      case Outcome::kNotContact:
        check.SetStatus(ContactStatus::kNotContact);
        break;
    }
    if (band) {
      check.band = static_cast<std::uint32_t>(BandIndex(*band)) & 0x7;
      Take(out, *band, out.outcome == Outcome::kDuplicate);
    }
    if (!first_call_ && out.outcome != Outcome::kNotContact) first_call_ = out.fields[kFieldMyCall];
    checks_.push_back(check);
  }

  std::string_view FirstCall() const { return first_call_.value_or(std::string_view{}); }
  std::uint32_t Taken() const { return taken_; }

 private:
  void Take(const RecordOutcome& out, Band band, bool repeat) {
    if (taken_ >= room_) return;
    Contact c;
    c.time = ContactMinute(out.fields[kFieldDate], out.fields[kFieldTime]);
    c.log = log_;
    c.index = static_cast<std::uint32_t>(checks_.size());
    const std::string_view worked = out.fields[kFieldWorkedCall];
    c.worked = worked.empty() ? kNone : static_cast<std::uint32_t>(worked.data() - text_.data());
    c.mode = static_cast<std::uint16_t>(ModeClassOf(out.fields[kFieldMode]));
    c.band = static_cast<std::uint8_t>(BandIndex(band));
    c.flags = repeat ? kRepeat : 0;
    contacts_[taken_++] = c;
  }

  std::string_view text_;
  LineCounter counter_;
  std::uint32_t log_;
  std::vector<PackedCheck>& checks_;
  Contact* contacts_;
  std::uint32_t room_;
  std::uint32_t taken_ = 0;
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

std::string FileName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The header's facts for the results.
void ReadHeader(const CabrilloHeader& header, LogCheck& log) {
  for (std::size_t p = 0; p < kCategoryPartCount; ++p) log.category.parts[p] = std::string(header.category.parts[p]);
  log.category.checklog = header.category.IsChecklog();
  log.claimed_score = header.ClaimedScore();
  log.contest = std::string(header.Value(kTagContest).value_or(""));
  log.club = std::string(header.Value(kTagClub).value_or(""));
  log.operators = std::string(header.Value(kTagOperators).value_or(""));
  for (const HeaderItem& item : header.items) {
    if (EqualNoCase(item.tag, kTagSoapbox) && !item.value.empty()) log.soapbox.emplace_back(item.value);
  }
  if (const auto metres = header.category.SingleBandMetres()) log.entry_band = BandFromName(*metres);
}

// Scores log i as sent into its room of `contacts`.
void LoadOne(ContestWork& work, std::size_t i, Contact* room, std::uint32_t records) {
  LogCheck& log = work.result.logs[i];
  const std::string& bytes = work.store->bytes[i];
  const CabrilloHeader header = ReadCabrilloHeader(bytes);
  ReadHeader(header, log);
  work.store->checks[i].reserve(records);
  RecordCollector collector(bytes, static_cast<std::uint32_t>(i), work.store->checks[i], room, records);
  const ScoreResult scored = ScoreLog(bytes, &collector);
  work.logs[i].end = work.logs[i].first + collector.Taken();
  log.qsos = scored.total_qsos;
  log.mults = scored.total_mults;
  log.score = scored.final_score;
  for (Band band : kBands) log.bands[BandIndex(band)] = {scored.BandCount(band), scored.MultCount(band)};
  std::string_view call = header.Value(kTagCallsign).value_or(std::string_view{});
  if (call.empty()) call = collector.FirstCall();
  work.logs[i].call = call;
  log.call = std::string(call);
  work.store->calls[i] = log.call;
}

}  // namespace

void LoadLogs(ContestWork& work, std::vector<LogInput> inputs) {
  const std::size_t n = inputs.size();
  work.result.logs.resize(n);
  work.logs.resize(n);
  work.store->bytes.resize(n);
  work.store->calls.resize(n);
  work.store->checks.resize(n);
  std::vector<std::uint32_t> records(n);
  for (std::size_t i = 0; i < n; ++i) {
    work.result.logs[i].file = inputs[i].path;
    work.result.logs[i].name = FileName(inputs[i].path);
    work.logs[i].modified = inputs[i].modified;
    work.store->bytes[i] = std::move(inputs[i].bytes);
  }
  // Room for every log's contacts in one array, so that scoring writes them
  // in place: a contact's place in it is its rank in log order.
  ParallelFor(n, work.threads, [&](std::size_t i) { records[i] = CountRecords(work.store->bytes[i]); });
  std::size_t total = 0;
  for (std::size_t i = 0; i < n; ++i) {
    work.logs[i].first = static_cast<std::uint32_t>(total);
    total += records[i];
  }
  work.contacts.resize(total);
  ParallelFor(n, work.threads,
              [&](std::size_t i) { LoadOne(work, i, work.contacts.data() + work.logs[i].first, records[i]); });
  // Close the gaps that records taking no part left between the logs.
  std::uint32_t to = 0;
  for (LogWork& log : work.logs) {
    const std::uint32_t count = log.end - log.first;
    std::copy_n(work.contacts.begin() + log.first, count, work.contacts.begin() + to);
    log.first = to;
    log.end = to + count;
    to += count;
  }
  work.contacts.resize(to);
  work.contacts.shrink_to_fit();
}

void SetAsideResubmissions(ContestWork& work) {
  std::unordered_map<std::string, std::size_t> newest;  // upper-case call -> log
  const auto newer = [&work](std::size_t a, std::size_t b) {
    if (work.logs[a].modified != work.logs[b].modified) return work.logs[a].modified > work.logs[b].modified;
    return work.result.logs[a].file > work.result.logs[b].file;
  };
  for (std::size_t i = 0; i < work.logs.size(); ++i) {
    if (work.logs[i].call.empty()) continue;
    const auto [it, first] = newest.try_emplace(UpperAscii(work.logs[i].call), i);
    if (!first && !newer(it->second, i)) it->second = i;  // on a tie, the later one
  }
  for (std::size_t i = 0; i < work.logs.size(); ++i) {
    if (work.logs[i].call.empty()) continue;
    const std::size_t winner = newest.at(UpperAscii(work.logs[i].call));
    if (winner != i) work.result.logs[i].superseded_by = winner;
  }
}

void NumberCalls(ContestWork& work) {
  const std::size_t n = work.logs.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (work.logs[i].call.empty() || work.result.logs[i].superseded_by != kNoLog) continue;
    work.logs[i].call_id = work.calls.Intern(work.logs[i].call);
  }
  const std::size_t entrants = work.calls.size();
  for (Contact& c : work.contacts) {
    const std::string_view text = work.store->bytes[c.log];
    c.worked = work.calls.Intern(WorkedCallAt(text, c.worked));
    if (c.mode != kOtherMode) continue;
    // A mode of no known class is a class of its own, without regard to case.
    const std::string mode = UpperAscii(SplitQsoFields(work.RecordOf(static_cast<std::uint32_t>(&c - work.contacts.data())))[kFieldMode]);
    const std::uint32_t next = std::min(kLastModeNumber, kOtherMode + static_cast<std::uint32_t>(work.other_modes.size()));
    c.mode = static_cast<std::uint16_t>(work.other_modes.try_emplace(mode, next).first->second);
  }
  work.log_of_call.assign(work.calls.size(), kNone);
  for (std::uint32_t i = 0; i < n; ++i) {
    if (work.logs[i].call_id != kNone) work.log_of_call[work.logs[i].call_id] = i;
  }
  work.worked_by.assign(work.calls.size(), 0);
  std::vector<std::uint32_t> last_log(work.calls.size(), kNone);
  for (const Contact& c : work.contacts) {
    if (work.result.logs[c.log].superseded_by != kNoLog || last_log[c.worked] == c.log) continue;
    last_log[c.worked] = c.log;
    if (work.worked_by[c.worked] < 2) ++work.worked_by[c.worked];
  }
  for (std::uint32_t id = 0; id < entrants; ++id) {
    if (work.log_of_call[id] != kNone) work.near.Add(work.calls.Call(id), id);
  }
}

}  // namespace zelo
