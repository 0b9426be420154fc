// The scoring run: finds every contact record of a log, places each contact
// on its band, applies the duplicate, multiplier and bonus rules and counts
// the multipliers. It tells an observer what became of every record and why,
// so that whoever shows or checks a log reads the run's decisions instead of
// making them again. The report text is written from its result elsewhere.
//
// Everything here works on views into the log text: the caller keeps the
// text alive for as long as it uses a ScoreResult.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/qso_fields.h"

namespace zelo {

// The text that starts a contact record.
inline constexpr std::string_view kQsoTag = "QSO:";

// One contact record: from its "QSO:" up to and including the end of its
// line (LF, CR LF or a lone CR), or up to just before the next "QSO:" on the
// same line, or to the end of the text.
struct Record {
  std::size_t offset = 0;  // where its "QSO:" stands in the log text
  std::string_view text;
};

// Walks the records of a log text in order, each byte looked at a bounded
// number of times however the text is shaped.
class RecordScanner {
 public:
  explicit RecordScanner(std::string_view text);
  // The next record; nullopt when no "QSO:" is left.
  std::optional<Record> Next();

 private:
  std::size_t NextByte(char c, std::size_t from, std::size_t& cache, std::size_t& cache_from) const;

  std::string_view text_;
  std::size_t next_qso_;
  // The first LF (CR) at or after lf_from_ (cr_from_); npos when there is
  // none. A from-position of npos means nothing has been searched yet.
  std::size_t lf_ = 0, lf_from_ = std::string_view::npos;
  std::size_t cr_ = 0, cr_from_ = std::string_view::npos;
};

// The numeric value of a report field (field 11), as the multiplier rule
// reads it: its leading number, leading blanks skipped, a sign and a decimal
// point allowed.
enum class ReportValue {
  kAboveNine,   // brings field 13 as the multiplier item
  kNineOrLess,  // a number, but 9 or less ("5NN" reads as 5)
  kNoNumber,    // does not begin with a number: reads as 0
};
ReportValue ClassifyReport(std::string_view report_field);

// True when the numeric value of a report field exceeds 9.
inline bool HasMultiplierValue(std::string_view report_field) {
  return ClassifyReport(report_field) == ReportValue::kAboveNine;
}

// The plain call of a bonus station ("Q1XA" for "Q1XA" and "Q1XA/60", ...);
// nullopt for every other call.
std::optional<std::string_view> BonusItem(std::string_view worked_call);

// Where a stored contact's multiplier item comes from, or why it has none.
enum class MultiplierSource {
  kField13,    // field 11 is above 9: field 13 is the item
  kBonus,      // a bonus station: its plain call is the item
  kLowReport,  // no item: field 11 has a value of 9 or less
  kNoNumber,   // no item: field 11 does not begin with a number
  kEmptyItem,  // no item: field 11 is above 9 but field 13 is empty
};

struct MultiplierChoice {
  std::string_view item;  // empty when the contact brings none
  MultiplierSource source = MultiplierSource::kField13;
};

// The multiplier item of a stored contact and where it comes from: field 13
// when field 11 exceeds 9, none otherwise; a bonus station's plain call in
// every case.
MultiplierChoice ChooseMultiplier(const QsoFields& fields);
inline std::string_view MultiplierItem(const QsoFields& fields) { return ChooseMultiplier(fields).item; }

// What became of one record in a scoring run.
enum class Outcome {
  kStored,      // stored on `band`
  kDuplicate,   // same worked call and band prefix as the previous contact
  kNoBand,      // accepted, but its band prefix names no band: stored nowhere
  kNotContact,  // field 1 does not begin with "QSO:" (a record without separators)
};

// Everything the run decided about one record. Views point into the log.
struct RecordOutcome {
  Record record;
  Outcome outcome = Outcome::kNotContact;
  QsoFields fields;                  // the record's fields as the run split them
  std::optional<Band> band;          // kStored only
  std::string_view frequency;        // field 2
  std::string_view call;             // field 10
  // kStored only: the multiplier item (may be empty), where it comes from,
  // and whether it is counted here for the first time on its band.
  std::string_view item;
  MultiplierSource source = MultiplierSource::kField13;
  bool new_item = false;
  // kDuplicate: the offset of the contact it repeats; nullopt when a record
  // with an empty call and an empty band prefix repeats the empty start of
  // the run.
  std::optional<std::size_t> repeats;
};

// Told of the run's progress as it goes. Every method has a do-nothing default.
class ScoreObserver {
 public:
  virtual ~ScoreObserver() = default;
  // After each record, in log order, before that record's progress step.
  virtual void OnRecord(const RecordOutcome& /*outcome*/) {}
  // The progress value (0 to 100) after a contact stored on 80, 40, 20, 15 or
  // 10 m, or after a record on no band.
  virtual void OnProgress(int /*value*/) {}
};

// One band's share of a run.
struct BandTally {
  std::vector<std::string_view> calls;        // worked call of each stored contact, log order
  std::vector<std::string_view> multipliers;  // the different non-empty items, ascending
  std::int64_t Count() const { return static_cast<std::int64_t>(calls.size()); }
  std::int64_t MultCount() const { return static_cast<std::int64_t>(multipliers.size()); }
};

// Everything a scoring run yields.
struct ScoreResult {
  std::string_view my_call;              // field 6 of the last contact record
  std::array<BandTally, kBandCount> bands;
  std::int64_t records = 0;              // "QSO:" occurrences
  std::int64_t total_qsos = 0;
  std::int64_t total_mults = 0;
  std::int64_t final_score = 0;

  const BandTally& Tally(Band band) const { return bands[BandIndex(band)]; }
  std::int64_t BandCount(Band band) const { return Tally(band).Count(); }
  std::int64_t MultCount(Band band) const { return Tally(band).MultCount(); }
};

// Scores a log text. The same text always gives the same result.
ScoreResult ScoreLog(std::string_view log_text, ScoreObserver* observer = nullptr);

}  // namespace zelo
