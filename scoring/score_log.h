// The scoring run: finds every contact record of a log, places each contact
// on its band, applies the duplicate, multiplier and bonus rules, counts the
// multipliers and writes the score report.
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

// True when the numeric value of a report field exceeds 9: the value of its
// leading number (leading blanks skipped, a sign and a decimal point
// allowed), 0 when it does not begin with a number.
bool HasMultiplierValue(std::string_view report_field);

// The plain call of a bonus station ("Q1XA" for "Q1XA" and "Q1XA/60", ...);
// nullopt for every other call.
std::optional<std::string_view> BonusItem(std::string_view worked_call);

// The multiplier item of a stored contact: field 13 when field 11 exceeds 9,
// empty otherwise; a bonus station's plain call in every case.
std::string_view MultiplierItem(const QsoFields& fields);

// What became of one record in a scoring run.
enum class Outcome {
  kStored,      // stored on `band`
  kDuplicate,   // same worked call and band prefix as the previous contact
  kNoBand,      // accepted, but its band prefix names no band: stored nowhere
  kNotContact,  // field 1 does not begin with "QSO:" (a record without separators)
};

struct RecordOutcome {
  Record record;
  Outcome outcome = Outcome::kNotContact;
  std::optional<Band> band;          // kStored only
  std::string_view frequency;        // field 2
  std::string_view call;             // field 10
  std::string_view item;             // multiplier item, kStored only (may be empty)
  std::optional<std::size_t> repeats;  // kDuplicate: offset of the contact it repeats
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
  std::vector<std::string> report;       // the report lines, as the list box shows them

  const BandTally& Tally(Band band) const { return bands[BandIndex(band)]; }
  std::int64_t BandCount(Band band) const { return Tally(band).Count(); }
  std::int64_t MultCount(Band band) const { return Tally(band).MultCount(); }
};

// Scores a log text. The same text always gives the same result.
ScoreResult ScoreLog(std::string_view log_text, ScoreObserver* observer = nullptr);

}  // namespace zelo
