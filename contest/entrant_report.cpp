// The plain-text checking report of one entrant, in the shape sponsors send
// them: the category and place, the score per band as claimed and as
// checked, every contact that does not count with its line, the other log's
// line and the reason, who miscopied the entrant, and who logged the
// entrant without being in its log. Then results.csv.
#include <string_view>

#include "contest/check_report.h"
#include "contest/output_text.h"
#include "views/display_text.h"

namespace zelo {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kReportTitle = "Log-checking report: ";
constexpr std::string_view kNotGiven = "not given";
constexpr std::size_t kLabelWidth = 11;
constexpr std::size_t kNumberWidth = 10;
constexpr std::size_t kStatusWidth = 17;

// Lines joined into report bytes.
class ReportLines {
 public:
  void Add(std::string_view line) {
    bytes_.append(line);
    bytes_ += kLineEnd;
  }
  std::string Take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

std::string Number(std::int64_t n) { return std::to_string(n); }

void AddHeading(ReportLines& out, const ContestResult& result, const ContestIndex& index, std::size_t log) {
  const LogCheck& check = result.logs[log];
  out.Add(std::string(kReportTitle) + PlainText(EntrantName(check)) + " (" + PlainText(index.title) + ")");
  out.Add(PadRight("File:", kLabelWidth) + PlainText(check.name));
  out.Add(PadRight("Category:", kLabelWidth) + PlainText(CategoryLine(check.category)));
  out.Add(PadRight("Place:", kLabelWidth) + PlainText(PlaceText(result, index, log)));
  if (const std::string clock = ClockText(check); !clock.empty()) out.Add(PadRight("Clock:", kLabelWidth) + clock);
}

// Per band and in all: contacts and multipliers as scored and as checked.
void AddBands(ReportLines& out, const LogCheck& check) {
  const auto row = [&](std::string_view label, const std::string& q, const std::string& m, const std::string& cq,
                       const std::string& cm) {
    out.Add(PadRight(std::string(label), kLabelWidth) + PadLeft(q, kNumberWidth) + PadLeft(m, kNumberWidth) +
            PadLeft(cq, kNumberWidth) + PadLeft(cm, kNumberWidth));
  };
  out.Add(PadRight("", kLabelWidth) + PadLeft("As scored", 2 * kNumberWidth) + PadLeft("Checked", 2 * kNumberWidth));
  row("Band", "Contacts", "Mults", "Contacts", "Mults");
  for (Band band : kBands) {
    const std::size_t b = BandIndex(band);
    row(BandText(band), Number(check.bands[b].qsos), Number(check.bands[b].mults), Number(check.checked_bands[b].qsos),
        Number(check.checked_bands[b].mults));
  }
  row("Total", Number(check.qsos), Number(check.mults), Number(check.checked_qsos), Number(check.checked_mults));
}

void AddScores(ReportLines& out, const ContestResult& result, const LogCheck& check) {
  constexpr std::size_t kWide = 30;
  out.Add(PadRight("Score claimed (CLAIMED-SCORE):", kWide) +
          PadLeft(check.claimed_score ? Number(*check.claimed_score) : std::string(kNotGiven), kNumberWidth));
  out.Add(PadRight("Score as scored:", kWide) + PadLeft(Number(check.score), kNumberWidth));
  std::string checked = PadRight("Score checked:", kWide) + PadLeft(Number(check.checked_score), kNumberWidth) +
                        "   reduction " + ReductionText(check);
  if (result.penalty > 0) checked += ", with " + Number(result.penalty) + " contacts off per NIL and busted call";
  out.Add(checked);
}

// "theirs: QSO: ... (w2xyz.log, line 14)".
std::string OtherLine(const ContestResult& result, std::size_t log, std::int64_t line, const std::string& record) {
  std::string text = "    theirs: ";
  text += record.empty() ? std::string("-") : PlainText(record);
  if (log != kNoLog) {
    text += " (" + PlainText(result.logs[log].name);
    if (line > 0) text += ", line " + Number(line);
    text += ")";
  }
  return text;
}

void AddNotCounted(ReportLines& out, const ContestResult& result, const ContestIndex& index, std::size_t log) {
  const LogCheck& check = result.logs[log];
  out.Add("Contacts that do not count: " + Number(static_cast<std::int64_t>(NotCountedCount(check.contacts))));
  for (std::size_t i = 0; i < check.contacts.size(); ++i) {
    if (check.contacts.CountedAt(i)) continue;
    const ContactCheck contact = check.contacts[i];
    const ContactReason reason = ExplainContact(result, index, log, contact);
    out.Add("  line " + Number(contact.line) + ", " + std::string(StatusName(contact.status)) + ": " +
            PlainText(reason.text));
    out.Add("    yours:  " + PlainText(contact.record));
    if (!contact.other_record.empty()) {
      out.Add(OtherLine(result, contact.other_log, contact.other_line, contact.other_record));
    } else if (contact.near_miss.kind != NearMiss::Kind::kNone) {
      out.Add(OtherLine(result, reason.other_log, contact.near_miss.line, contact.near_miss.record));
    }
  }
}

void AddOthers(ReportLines& out, const ContestResult& result, std::string_view title,
               const std::vector<ContactRef>& refs) {
  out.Add(std::string(title) + ": " + Number(static_cast<std::int64_t>(refs.size())));
  for (const ContactRef& ref : refs) {
    const LogCheck& theirs = result.logs[ref.log];
    const ContactCheck contact = theirs.contacts[ref.contact];
    out.Add("  " + PlainText(EntrantName(theirs)) + " (" + PlainText(theirs.name) + ", line " + Number(contact.line) +
            "): " + PlainText(ExplainMiscopy(contact)));
    out.Add("    theirs: " + PlainText(contact.record));
  }
}

std::string OptionalNumber(const std::optional<std::int64_t>& n) { return n ? CsvNumber(*n) : std::string(); }

}  // namespace

std::string EntrantReport(const ContestResult& result, const ContestIndex& index, std::size_t log) {
  const LogCheck& check = result.logs[log];
  ReportLines out;
  AddHeading(out, result, index, log);
  out.Add("");
  AddBands(out, check);
  out.Add("");
  AddScores(out, result, check);
  if (check.superseded_by != kNoLog) return out.Take();
  out.Add("");
  out.Add("Contacts by status");
  for (ContactStatus status : kAllStatuses) {
    out.Add("  " + PadRight(std::string(StatusName(status)), kStatusWidth) + PadLeft(Number(check.Count(status)), 8));
  }
  out.Add("");
  AddNotCounted(out, result, index, log);
  out.Add("");
  AddOthers(out, result, "Stations that miscopied your call or exchange", index.miscopied[log]);
  out.Add("");
  AddOthers(out, result, "Stations that logged you but are not in your log", index.not_in_log[log]);
  return out.Take();
}

std::string ResultsCsv(const ContestResult& result, const ContestIndex& index) {
  std::vector<std::string> header = {"file", "call", "operators", "club"};
  for (const CategoryPartInfo& part : CategoryParts()) header.push_back("category_" + std::string(part.name));
  header.insert(header.end(), {"checklog", "contacts", "multipliers", "score", "checked_contacts",
                               "checked_multipliers", "checked_score", "claimed_score"});
  for (ContactStatus status : kAllStatuses) header.emplace_back(StatusName(status));
  header.insert(header.end(), {"place", "clock_offset", "superseded_by", "skipped_reason"});
  std::string csv = CsvRow(header);
  for (std::size_t i = 0; i < result.logs.size(); ++i) {
    const LogCheck& log = result.logs[i];
    std::vector<std::string> row = {CsvField(log.name), CsvField(log.call), CsvField(log.operators),
                                    CsvField(log.club)};
    for (const std::string& part : log.category.parts) row.push_back(CsvField(part));
    row.push_back(log.category.checklog ? "yes" : "no");
    for (std::int64_t n : {log.qsos, log.mults, log.score, log.checked_qsos, log.checked_mults, log.checked_score}) {
      row.push_back(CsvNumber(n));
    }
    row.push_back(OptionalNumber(log.claimed_score));
    for (ContactStatus status : kAllStatuses) row.push_back(CsvNumber(log.Count(status)));
    row.push_back(index.place[i] > 0 ? CsvNumber(index.place[i]) : std::string());
    row.push_back(log.clock_offset ? CsvNumber(*log.clock_offset) : std::string());
    row.push_back(log.superseded_by != kNoLog ? CsvField(result.logs[log.superseded_by].name) : std::string());
    row.push_back(std::string());
    csv += CsvRow(row);
  }
  for (const SkippedFile& skipped : result.skipped) {
    std::vector<std::string> row(header.size());
    row.front() = CsvField(skipped.name);
    row.back() = CsvField(skipped.reason);
    csv += CsvRow(row);
  }
  return csv;
}

}  // namespace zelo
