// zelo-score --explain: what the scoring run decided about each record, in
// the words of the run's own outcome.
#include <cstdint>
#include <string>

#include "cli/cli_output.h"
#include "cli/loaded_log.h"
#include "cli/output_lines.h"
#include "cli/score_commands.h"
#include "input/line_ends.h"
#include "scoring/score_log.h"

namespace zelo {
namespace {

constexpr std::size_t kShownRecordBytes = 60;

std::string BandLabel(Band band) { return std::string(BandName(band)) + "M"; }

// The record as shown in a message: without its line end, cut when long.
std::string ShownRecord(std::string_view record) {
  while (!record.empty() && (record.back() == '\n' || record.back() == '\r')) record.remove_suffix(1);
  if (record.size() <= kShownRecordBytes) return TerminalQuoted(record);
  return TerminalQuoted(record.substr(0, kShownRecordBytes)) + "...";
}

class Explainer : public ScoreObserver {
 public:
  Explainer(std::string_view text, OutputLines& lines) : counter_(text), lines_(lines) {}

  void OnRecord(const RecordOutcome& outcome) override {
    const std::int64_t line = counter_.LineOf(outcome.record.offset);
    std::string text = "line " + std::to_string(line) + ": ";
    switch (outcome.outcome) {
      case Outcome::kStored:
        ++stored_;
        text += StoredText(outcome);
        last_accepted_line_ = line;
        break;
      case Outcome::kDuplicate:
        ++repeats_;
        text += "dropped " + TerminalQuoted(outcome.call) + ": ";
        if (outcome.repeats) {
          text += "repeats the contact on line " + std::to_string(last_accepted_line_) +
                  " (same call, same band prefix " + TerminalQuoted(BandPrefix(outcome.frequency)) + ")";
        } else {
          text += "an empty call with an empty band prefix repeats the empty start of the run";
        }
        break;
      case Outcome::kNoBand:
        ++no_band_;
        text += "stored on no band " + TerminalQuoted(outcome.call) + ": frequency " +
                TerminalQuoted(outcome.frequency) + " names no band";
        last_accepted_line_ = line;
        break;
      case Outcome::kNotContact:
        ++not_contact_;
        text += "not a contact: " + ShownRecord(outcome.record.text) + " has no blank or tab to separate its fields";
        break;
    }
    lines_.Line(text);
  }

  void Summary(const ScoreResult& result) {
    lines_.Line(std::to_string(result.records) + " records: " + std::to_string(stored_) + " stored, " +
                std::to_string(repeats_) + " dropped as repeats, " + std::to_string(no_band_) + " on no band, " +
                std::to_string(not_contact_) + " not a contact; TOTAL QSOS " + std::to_string(result.total_qsos) +
                ", Total MULTS " + std::to_string(result.total_mults) + ", FINAL SCORE " +
                std::to_string(result.final_score));
  }

 private:
  static std::string StoredText(const RecordOutcome& outcome) {
    const std::string band = BandLabel(*outcome.band);
    std::string text = "stored on " + band + " " + TerminalQuoted(outcome.call) + ", ";
    switch (outcome.source) {
      case MultiplierSource::kEmptyItem:
        return text + "no multiplier: field 13 is empty";
      case MultiplierSource::kLowReport:
      case MultiplierSource::kNoNumber:
        return text + "no multiplier: field 11 " + TerminalQuoted(outcome.fields[kFieldReport]) + " is not above 9";
      case MultiplierSource::kField13:
      case MultiplierSource::kBonus:
        break;
    }
    text += outcome.new_item ? "new multiplier " + TerminalQuoted(outcome.item)
                             : "multiplier " + TerminalQuoted(outcome.item) + " already counted on " + band;
    if (outcome.source == MultiplierSource::kBonus) text += " (bonus station)";
    return text;
  }

  LineCounter counter_;
  OutputLines& lines_;
  // A repeat is told against the contact accepted last, stored or on no band.
  std::int64_t last_accepted_line_ = 0;
  std::int64_t stored_ = 0, repeats_ = 0, no_band_ = 0, not_contact_ = 0;
};

}  // namespace

int RunExplain(const std::string& path, std::ostream& out, std::ostream& err, const CliStreams& streams) {
  const LoadedLog log = LoadLog(path, streams);
  if (!log.ok) {
    TellRejected(err, path, log.reason);
    return kExitRejected;
  }
  OutputLines lines(out);
  Explainer explainer(log.bytes, lines);
  const ScoreResult result = ScoreLog(log.bytes, &explainer);
  explainer.Summary(result);
  return lines.Finish(err) ? kExitScored : kExitRejected;
}

}  // namespace zelo
