// The findings of the contact records: what the scoring run decided about
// each one (stored, repeat, no band, no contact), its place in the log, its
// fields, and the stations and multipliers it adds.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "check/findings.h"
#include "check/item_checks.h"
#include "check/worked_table.h"
#include "input/cabrillo_header.h"
#include "input/line_ends.h"
#include "scoring/score_log.h"

namespace zelo::check {

// The contacts the scorer stored, as the header checks compare them with
// the category. Lines are 0 where there is none.
struct ContactTally {
  std::array<std::int64_t, kBandCount> on_band{};
  std::array<std::int64_t, kBandCount> first_on_band{};
  std::int64_t not_in_mode_class = 0;  // of the category's mode class, when it names one
  std::int64_t first_not_in_mode_class = 0;
};

class RecordCheck : public ScoreObserver {
 public:
  RecordCheck(std::string_view text, const CabrilloHeader& header, Findings& findings);

  void OnRecord(const RecordOutcome& out) override;

  // Told once the run is over: the findings that wait for the whole log
  // (repeated stations, multipliers lost), and into `whole` those of the
  // log as a whole.
  void Finish(Findings& whole);

  const ContactTally& Tally() const { return tally_; }

 private:
  enum class Place { kLineStart, kXQso, kRemark, kMidLine };

  void Add(std::int64_t line, const FindingKind& kind, std::string message, ScoreEffect effect = {}) {
    findings_.Add(line, kind, std::move(message), effect);
  }
  Place PlaceOf(std::size_t offset, std::int64_t line, std::string_view* tag);
  void Remark(const RecordOutcome& out, std::int64_t line, std::string_view tag);
  void CheckPlace(Place place, std::int64_t line);
  void CheckShape(const RecordOutcome& out, std::int64_t line);
  void CheckFields(const QsoFields& fields, std::int64_t line);
  void CheckReportDigits(const QsoFields& fields, std::int64_t line);
  void CheckCalls(const QsoFields& fields, std::int64_t line);
  void Repeat(const RecordOutcome& out, std::int64_t line);
  void NoBand(const RecordOutcome& out, std::int64_t line);
  void Stored(const RecordOutcome& out, std::int64_t line);
  void Flush();
  void Accept(std::size_t offset, std::int64_t line) {
    last_accepted_offset_ = offset;
    last_accepted_line_ = line;
  }

  std::string_view text_;
  LineCounter counter_;
  Findings& findings_;
  ItemChecks items_;
  WorkedTable worked_;
  std::optional<std::int64_t> end_line_;
  std::string_view own_call_;
  bool multi_transmitter_ = false;
  std::optional<ModeClass> category_mode_;
  ContactTally tally_;
  std::size_t last_accepted_offset_ = std::string_view::npos;
  std::int64_t last_accepted_line_ = 0;
  std::string_view last_date_, last_time_;
  std::int64_t last_time_line_ = 0;
  struct PendingLookup {
    WorkedTable::Lookup lookup;
    std::int64_t line = 0;
    Band band = Band::k160;
  };
  std::optional<PendingLookup> pending_;
  // The line of the last record placed.
  struct PlacedLine {
    std::int64_t number = -1;
    std::size_t first = 0;  // its first byte that is no blank (up to the record)
    std::optional<std::string_view> tag;
  };
  PlacedLine line_;
  std::int64_t tab_lines_ = 0, first_tab_line_ = 0, last_tab_line_ = 0;
};

}  // namespace zelo::check
