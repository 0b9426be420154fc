#include "check/record_checks.h"

#include <algorithm>

#include "input/cabrillo_vocabulary.h"

namespace zelo::check {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool AllDigits(std::string_view text) { return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit); }
bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// The frequency ranges of the bands, in kHz.
struct BandRange {
  Band band;
  std::int64_t low;
  std::int64_t high;
};
constexpr std::array<BandRange, kBandCount> kBandRanges = {{
    {Band::k160, 1800, 2000},
    {Band::k80, 3500, 4000},
    {Band::k40, 7000, 7300},
    {Band::k20, 14000, 14350},
    {Band::k15, 21000, 21450},
    {Band::k10, 28000, 29700},
}};

// A frequency field in kHz: digits are kHz, a value with a decimal point or
// below 1000 is MHz ("7.025", "7"). Nullopt for anything else.
std::optional<std::int64_t> FrequencyKhz(std::string_view field) {
  constexpr std::size_t kMostDigits = 12;
  std::int64_t whole = 0;
  std::size_t i = 0;
  for (; i < field.size() && IsDigit(field[i]); ++i) {
    if (i >= kMostDigits) return std::nullopt;
    whole = whole * 10 + (field[i] - '0');
  }
  if (i == 0) return std::nullopt;
  if (i == field.size()) return whole < 1000 ? whole * 1000 : whole;
  if (field[i] != '.') return std::nullopt;
  std::int64_t khz = whole * 1000;
  std::int64_t scale = 100;
  for (++i; i < field.size(); ++i, scale /= 10) {
    if (!IsDigit(field[i])) return std::nullopt;
    khz += (field[i] - '0') * scale;
  }
  return khz;
}

std::optional<Band> BandOfKhz(std::int64_t khz) {
  for (const BandRange& range : kBandRanges) {
    if (khz >= range.low && khz <= range.high) return range.band;
  }
  return std::nullopt;
}

// "72, 70 or 07": the prefixes that name a band; all of them without one.
std::string PrefixList(std::optional<Band> band) {
  std::vector<std::string_view> prefixes;
  for (Band b : kBands) {
    if (band && b != *band) continue;
    for (std::string_view p : BandPrefixes(b)) prefixes.push_back(p);
  }
  return OneOf(prefixes);
}

}  // namespace

RecordCheck::RecordCheck(std::string_view text, const CabrilloHeader& header, Findings& findings)
    : text_(text), counter_(text), findings_(findings), items_(findings), worked_(text) {
  if (const HeaderItem* end = header.Find(kTagEndOfLog)) end_line_ = end->line;
  const std::optional<std::string_view> call = header.Value(kTagCallsign);
  if (call && !call->empty()) own_call_ = *call;
  multi_transmitter_ = header.category.IsMultiTransmitter();
  category_mode_ = CategoryModeClass(header.category[CategoryPart::kMode]);
}

void RecordCheck::OnRecord(const RecordOutcome& out) {
  const std::int64_t line = counter_.LineOf(out.record.offset);
  std::string_view tag;
  const Place place = PlaceOf(out.record.offset, line, &tag);
  // The station's lookup starts here and ends with the next record, by
  // when its slot has come from memory; the previous one ends now, so that
  // its note comes before this record's findings.
  std::optional<PendingLookup> lookup;
  if (out.outcome == Outcome::kStored && place != Place::kRemark && !out.call.empty()) {
    lookup = PendingLookup{worked_.Look(*out.band, out.call), line, *out.band};
  }
  Flush();
  pending_ = lookup;
  if (place == Place::kRemark) return Remark(out, line, tag);
  if (out.outcome == Outcome::kNotContact) {
    Add(line, kNotContact,
        Cat(Quoted{DropLineEnd(out.record.text)},
            " has no blank or tab after QSO:, so the scorer cannot split it into fields and counts no contact: "
            "this costs a contact; put a blank between the fields"),
        {.lost_contacts = 1});
    return;
  }
  CheckPlace(place, line);
  CheckShape(out, line);
  CheckFields(out.fields, line);
  switch (out.outcome) {
    case Outcome::kDuplicate:
      Repeat(out, line);
      break;
    case Outcome::kNoBand:
      NoBand(out, line);
      Accept(out.record.offset, line);
      break;
    case Outcome::kStored:
      Stored(out, line);
      Accept(out.record.offset, line);
      break;
    case Outcome::kNotContact:
      break;
  }
  if (out.record.text.find('\t') != std::string_view::npos) {
    if (tab_lines_ == 0) first_tab_line_ = line;
    if (line != last_tab_line_) ++tab_lines_;
    last_tab_line_ = line;
  }
}

// Where a record's QSO: stands: at the start of its line (blanks before it
// aside), after X- of an X-QSO: line, inside another tag's line (a remark,
// whose tag goes to `tag`), or elsewhere inside a line. The line's first
// byte that is no blank and its tag are found once per line, so
// that a line holding many records is not read again for each of them.
RecordCheck::Place RecordCheck::PlaceOf(std::size_t at, std::int64_t line, std::string_view* tag) {
  if (line != line_.number) {
    std::size_t start = at;
    while (start > 0 && !IsLineEnd(text_[start - 1])) --start;
    std::size_t first = start;
    while (first < at && IsFieldSeparator(text_[first])) ++first;
    line_ = {line, first, LineTag(text_.substr(start))};
  }
  if (at <= line_.first) return Place::kLineStart;
  if (at - line_.first == 2 && text_.substr(line_.first, 2) == "X-") return Place::kXQso;
  if (line_.tag && !EqualNoCase(*line_.tag, kTagQso)) {
    *tag = *line_.tag;
    return Place::kRemark;
  }
  return Place::kMidLine;
}

// A QSO: inside a remark: an error when the scorer counts it as a contact,
// a note when it counts nothing from it. Its fields are no contact's, so
// nothing else is said of them.
void RecordCheck::Remark(const RecordOutcome& out, std::int64_t line, std::string_view tag) {
  if (out.outcome == Outcome::kNoBand) Accept(out.record.offset, line);
  if (out.outcome != Outcome::kStored) {
    Add(line, kRemarkQso,
        Cat("the ", tag, ": line holds ", Quoted{DropLineEnd(out.record.text)},
            ", which the scorer reads as a record but counts no contact from: the score is as the log means"));
    return;
  }
  Accept(out.record.offset, line);
  if (out.new_item) items_.Counted(*out.band, out.item, line);
  std::string message = Cat("the scorer counts ", Quoted{DropLineEnd(out.record.text)}, " in this ", tag,
                            ": line as a contact on ", BandText(*out.band));
  message += out.call.empty() ? std::string(" with no worked call") : Cat(" with ", Quoted{out.call});
  if (out.new_item) message += Cat(" and the multiplier ", Quoted{out.item});
  message += ": this adds a contact the log does not mean; write the remark without \"QSO:\"";
  Add(line, kRemarkContact, std::move(message), {.added_contacts = 1, .added_multipliers = out.new_item ? 1 : 0});
}

void RecordCheck::CheckPlace(Place place, std::int64_t line) {
  if (place == Place::kXQso) {
    Add(line, kQsoInXQso,
        "the scorer counts the contact of this X-QSO: line all the same (it reads the QSO: inside it), "
        "though X-QSO: asks the sponsor to ignore it; leave the line out to leave the contact out");
  } else if (place == Place::kMidLine) {
    Add(line, kQsoMidLine,
        "\"QSO:\" stands inside the line, not at its start: the scorer counts what follows it as a contact; "
        "begin a contact's line with QSO: and write QSO: nowhere else");
  }
  if (end_line_ && line > *end_line_) {
    Add(line, kQsoAfterEnd,
        "a contact after END-OF-LOG: (line " + std::to_string(*end_line_) +
            "): the scorer counts it all the same; move END-OF-LOG: to the last line");
  }
}

// Fewer than 13 fields, or more (a transmitter number is expected of a
// multi-transmitter entry).
void RecordCheck::CheckShape(const RecordOutcome& out, std::int64_t line) {
  const QsoFields& fields = out.fields;
  const int count = FieldCount(fields);
  if (count < kFieldItem) {
    const std::string item_field = FieldText(kFieldItem);
    std::string message =
        Cat("the contact has ", Plural(count, "field", "fields"), ", not ", std::to_string(kFieldCount), ": ");
    if (fields[kFieldItem].empty()) {
      message += item_field + ", the multiplier, is empty";
    } else if (out.outcome == Outcome::kStored && out.source == MultiplierSource::kField13) {
      message += Cat("the scorer takes its last token ", Quoted{fields[kFieldItem]}, " as ", item_field,
                     " and counts it as the multiplier");
    } else {
      message += Cat("the scorer takes its last token ", Quoted{fields[kFieldItem]}, " as ", item_field);
    }
    message += "; write all " + std::to_string(kFieldCount) + ": QSO:, frequency, mode, date, time, own call, report and two exchanges sent, "
               "worked call, report and two exchanges received";
    Add(line, kShortContact, std::move(message));
    return;
  }
  if (!HasDroppedTokens(fields)) return;
  const std::string_view rest = DropLineEnd(fields.rest);
  const bool one_token = rest.find_first_of(" \t") == std::string_view::npos;
  if (multi_transmitter_ && one_token) return;
  Add(line, kExtraFields,
      Cat("the contact has more than ", std::to_string(kFieldCount), " fields: the scorer drops ", Quoted{rest},
          " after ", FieldText(kFieldItem), "; leave it out unless the sponsor asks for a transmitter number"));
}

// Mode, date, time, report, own call and worked call, where the record has them.
void RecordCheck::CheckFields(const QsoFields& fields, std::int64_t line) {
  const std::string_view mode = fields[kFieldMode];
  const auto modes = QsoModes();
  if (!mode.empty() && std::find(modes.begin(), modes.end(), mode) == modes.end()) {
    std::string message =
        Cat("mode ", Quoted{mode}, " is not one of ", OneOf(modes), ": the scorer counts the contact all the same");
    if (const auto written = QsoModeFor(mode)) message += "; write " + std::string(*written);
    Add(line, kBadMode, std::move(message));
  }
  const std::string_view date = fields[kFieldDate];
  const std::string_view time = fields[kFieldTime];
  const bool date_ok = ReadDate(date).has_value();
  const bool time_ok = ReadTime(time).has_value();
  if (!date.empty() && !date_ok) {
    Add(line, kBadDate,
        Cat("date ", Quoted{date}, " is not a day written YYYY-MM-DD: the scorer counts the contact all the same"));
  }
  if (!time.empty() && !time_ok) {
    Add(line, kBadTime,
        Cat("time ", Quoted{time}, " is not HHMM from 0000 to 2359: the scorer counts the contact all the same"));
  }
  if (date_ok && time_ok) {
    if (last_time_line_ > 0 && (date < last_date_ || (date == last_date_ && time < last_time_))) {
      Add(line, kTimeOrder,
          Cat(date, " ", time, " is earlier than ", last_date_, " ", last_time_, " of the contact on line ",
              std::to_string(last_time_line_),
              ": the scorer counts both all the same; sponsors expect contacts in time order"));
    }
    last_date_ = date;
    last_time_ = time;
    last_time_line_ = line;
  }
  CheckReportDigits(fields, line);
  CheckCalls(fields, line);
}

// A phone report has two digits (59), a CW one three (599).
void RecordCheck::CheckReportDigits(const QsoFields& fields, std::int64_t line) {
  const std::string_view report = fields[kFieldReport];
  if (!AllDigits(report)) return;
  const ModeClass mode = ModeClassOf(fields[kFieldMode]);
  if (mode == ModeClass::kCw && report.size() == 2) {
    Add(line, kReportDigits,
        Cat("report ", Quoted{report},
            " has two digits, as on phone, but the mode is CW, where a report has three (599): the scorer counts "
            "the contact all the same"));
  } else if (mode == ModeClass::kPhone && report.size() == 3) {
    Add(line, kReportDigits,
        Cat("report ", Quoted{report},
            " has three digits, as on CW, but the mode is phone, where a report has two (59): the scorer counts "
            "the contact all the same"));
  }
}

void RecordCheck::CheckCalls(const QsoFields& fields, std::int64_t line) {
  const std::string_view my_call = fields[kFieldMyCall];
  if (!own_call_.empty() && !my_call.empty() && !EqualNoCase(my_call, own_call_)) {
    Add(line, kOwnCall,
        Cat("own call ", Quoted{my_call}, " (", FieldText(kFieldMyCall), ") differs from ", kTagCallsign, ": ",
            Quoted{own_call_}, ": the scorer counts the contact all the same, and the report's title shows ",
            FieldText(kFieldMyCall), " of the last contact"));
  }
  const std::string_view me = own_call_.empty() ? my_call : own_call_;
  const std::string_view worked = fields[kFieldWorkedCall];
  if (!me.empty() && EqualNoCase(worked, me)) {
    Add(line, kOwnCallWorked,
        Cat("the worked call ", Quoted{worked},
            " is the station's own call: the scorer counts the contact all the same; a sponsor does not"));
  }
}

void RecordCheck::Repeat(const RecordOutcome& out, std::int64_t line) {
  if (!out.repeats) {
    Add(line, kRepeat,
        "an empty call with an empty band prefix: the scorer drops the contact as a repeat of the empty start");
    return;
  }
  const std::int64_t first =
      *out.repeats == last_accepted_offset_ ? last_accepted_line_ : LineCounter(text_).LineOf(*out.repeats);
  Add(line, kRepeat,
      Cat(Quoted{out.call}, " with band prefix ", Quoted{BandPrefix(out.frequency)}, " repeats the contact on line ",
          std::to_string(first), " just before it: the scorer drops it"));
}

void RecordCheck::NoBand(const RecordOutcome& out, std::int64_t line) {
  std::string message = Cat("frequency ", Quoted{out.frequency},
                            " names no band: the scorer counts this contact on no band, for no points and no "
                            "multiplier: this costs a contact; ");
  const std::optional<std::int64_t> khz = FrequencyKhz(out.frequency);
  const std::optional<Band> lies_in = khz ? BandOfKhz(*khz) : std::nullopt;
  if (!lies_in) {
    message += "it lies on none of the bands 160 to 10 m, and this event counts frequencies beginning " +
               PrefixList(std::nullopt);
  } else {
    const std::string in_khz = std::to_string(*khz);
    message += std::string(out.frequency) + (in_khz == out.frequency ? " kHz" : " is " + in_khz + " kHz, which") +
               " lies on " + BandText(*lies_in);
    if (BandOf(in_khz) == lies_in) {
      message += ": write it in kHz, " + in_khz;
    } else {
      message += ", which this event counts only for frequencies beginning " + PrefixList(*lies_in);
    }
  }
  Add(line, kNoBand, std::move(message), {.lost_contacts = 1});
}

void RecordCheck::Stored(const RecordOutcome& out, std::int64_t line) {
  const Band band = *out.band;
  const std::size_t b = BandIndex(band);
  if (tally_.on_band[b]++ == 0) tally_.first_on_band[b] = line;
  if (category_mode_ && ModeClassOf(out.fields[kFieldMode]) != *category_mode_) {
    if (tally_.not_in_mode_class++ == 0) tally_.first_not_in_mode_class = line;
  }
  if (out.new_item) items_.Counted(band, out.item, line);
  const bool none = out.source == MultiplierSource::kLowReport || out.source == MultiplierSource::kNoNumber;
  if (none && FieldCount(out.fields) >= kFieldItem && !out.fields[kFieldItem].empty()) {
    items_.NoMultiplier(out, line);
  }
}

// Ends the lookup of the last stored contact: a station stored on a band for
// the second time gets a note, one stored under another case a warning.
void RecordCheck::Flush() {
  if (!pending_) return;
  const WorkedTable::Seen seen = worked_.Count(pending_->lookup, pending_->line);
  const std::string_view call = pending_->lookup.call;
  if (!seen.same_spelling) {
    Add(pending_->line, kCaseCall,
        Cat(Quoted{call}, " on ", BandText(pending_->band), " differs only in case from ", Quoted{seen.first_spelling},
            " on line ", std::to_string(seen.first_line),
            ": the scorer counts two stations, a sponsor one station worked twice"));
  } else if (seen.times == 2) {
    Add(pending_->line, kWorkedAgain,
        Cat(Quoted{call}, " was worked on ", BandText(pending_->band), " already, on line ",
            std::to_string(seen.first_line),
            ": this event counts the contact again (and any later one with this station on this band, not "
            "noted again)"));
  }
  pending_.reset();
}

void RecordCheck::Finish(Findings& whole) {
  Flush();
  items_.Finish();
  if (tab_lines_ == 0) return;
  whole.Add(first_tab_line_, kTabs,
            "fields separated by tabs (" + Plural(tab_lines_, "line", "lines") +
                ", the first here): the scorer reads a tab as a blank; some sponsors' robots expect blanks");
}

}  // namespace zelo::check
