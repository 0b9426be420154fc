// libFuzzer target: arbitrary bytes through the header check, the scoring
// run, every band view, the listing and the log check, with the properties that must hold
// for any input checked independently of how the core computes them. A
// broken property aborts with a message naming it.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "check/log_check.h"
#include "input/log_file.h"
#include "scoring/qso_fields.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "views/band_view.h"
#include "views/listing.h"

namespace {

using zelo::Band;
using zelo::Outcome;
using zelo::RecordOutcome;

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "broken invariant: %s\n", what);
  std::abort();
}

void Require(bool holds, const char* what) {
  if (!holds) Broken(what);
}

bool Within(std::string_view part, std::string_view whole) {
  return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

// Every place where "QSO:" stands, found byte by byte.
std::vector<std::size_t> TagPositions(std::string_view text) {
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i + 4 <= text.size(); ++i) {
    if (text[i] == 'Q' && text[i + 1] == 'S' && text[i + 2] == 'O' && text[i + 3] == ':') at.push_back(i);
  }
  return at;
}

// Where the record that begins at `begin` must end: after the first line end
// behind its tag (LF; CR LF; a lone CR), before the next tag, or at the end.
std::size_t ExpectedEnd(std::string_view text, std::size_t begin, std::size_t next_tag) {
  std::size_t end = text.size();
  const std::size_t stop = next_tag < text.size() ? next_tag : text.size();
  for (std::size_t i = begin + 4; i < stop; ++i) {
    if (text[i] == '\n') {
      end = i + 1;
      break;
    }
    if (text[i] == '\r') {
      end = (i + 1 < text.size() && text[i + 1] == '\n') ? i + 2 : i + 1;
      break;
    }
  }
  return next_tag < end ? next_tag : end;
}

// A number text of the report read back; nullopt when it is not one.
std::optional<std::int64_t> ParseNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Whether a report field's leading number (blanks skipped, a sign and a
// decimal point allowed; 0 when there is none) exceeds 9, by the C library's
// own number reading; nullopt where long double cannot tell (a 9 followed by
// too many decimals).
std::optional<bool> ExceedsNine(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  const std::size_t start = i;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) ++i;
  const std::size_t digits_from = i;
  while (i < field.size() && field[i] >= '0' && field[i] <= '9') ++i;
  const std::size_t whole_end = i;
  if (i < field.size() && field[i] == '.') {
    ++i;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9') ++i;
  }
  if (i - whole_end > 16) {
    std::string_view whole = field.substr(digits_from, whole_end - digits_from);
    while (whole.starts_with('0')) whole.remove_prefix(1);
    if (whole == "9") return std::nullopt;
  }
  const std::string number(field.substr(start, i - start));
  const long double value = std::strtold(number.c_str(), nullptr);
  return value > 9.0L;
}

// The band a frequency's first two bytes name, from the band table.
std::optional<Band> ExpectedBand(std::string_view frequency) {
  struct Row {
    const char* prefix;
    Band band;
  };
  static constexpr Row kRows[] = {{"01", Band::k160}, {"18", Band::k160}, {"38", Band::k80}, {"35", Band::k80},
                                  {"03", Band::k80},  {"72", Band::k40},  {"70", Band::k40}, {"07", Band::k40},
                                  {"14", Band::k20},  {"21", Band::k15},  {"28", Band::k10}};
  if (frequency.size() < 2) return std::nullopt;
  for (const Row& row : kRows) {
    if (frequency.substr(0, 2) == row.prefix) return row.band;
  }
  return std::nullopt;
}

// The plain call a bonus station counts under.
std::optional<std::string_view> ExpectedBonus(std::string_view call) {
  for (std::string_view plain : {"Q1XA", "Q2XBM", "Q5XCN", "Q8XD"}) {
    if (call == plain || (call.size() == plain.size() + 3 && call.starts_with(plain) && call.ends_with("/60"))) {
      return plain;
    }
  }
  return std::nullopt;
}

// Collects every record outcome and progress value of a run.
class Collector : public zelo::ScoreObserver {
 public:
  void OnRecord(const RecordOutcome& outcome) override { outcomes.push_back(outcome); }
  void OnProgress(int value) override {
    Require(value >= 0 && value <= 100, "progress stays within 0 to 100");
    ++progress_steps;
  }
  std::vector<RecordOutcome> outcomes;
  std::size_t progress_steps = 0;
};

void CheckHeader(std::string_view text) {
  const std::string_view item = zelo::FirstItem(text);
  Require(Within(item, text) || item.empty(), "the first item lies within the text");
  const bool quoted = !item.empty() && item.data() > text.data() && item.data()[-1] == '"';
  if (!quoted) Require(item.find_first_of(",\r\n") == std::string_view::npos, "an item ends at , CR or LF");
  if (quoted) Require(item.find('"') == std::string_view::npos, "a quoted item ends at its quote");
  const zelo::HeaderCheck header = zelo::CheckLogHeader(text);
  Require(header.valid == (!text.empty() && item.starts_with(zelo::kLogHeader)),
          "a log is valid exactly when its first item begins with the header");
  Require(header.valid == header.reason.empty(), "a reason is given exactly when not valid");
}

// The fields of a record worked out another way: cut one line end off, take
// the blank- and tab-separated tokens; tokens 1 to 12 are fields 1 to 12 and
// token 13 is field 13; with fewer tokens the last one is field 13, or field
// 13 is empty when the text ends in a separator.
std::array<std::string_view, 14> ExpectedFields(std::string_view record) {
  std::string_view body = record;
  if (body.ends_with("\r\n")) {
    body.remove_suffix(2);
  } else if (body.ends_with('\n') || body.ends_with('\r')) {
    body.remove_suffix(1);
  }
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < body.size()) {
    while (i < body.size() && (body[i] == ' ' || body[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < body.size() && body[i] != ' ' && body[i] != '\t') ++i;
    if (i > start) tokens.push_back(body.substr(start, i - start));
  }
  const bool ends_in_separator = !body.empty() && (body.back() == ' ' || body.back() == '\t');
  std::array<std::string_view, 14> fields{};
  if (tokens.size() >= 13 || ends_in_separator) {
    for (std::size_t n = 1; n <= 13 && n <= tokens.size(); ++n) fields[n] = tokens[n - 1];
  } else if (!tokens.empty()) {
    for (std::size_t n = 1; n < tokens.size(); ++n) fields[n] = tokens[n - 1];
    fields[13] = tokens.back();
  }
  return fields;
}

void CheckFields(const zelo::QsoFields& fields, std::string_view record) {
  const std::array<std::string_view, 14> expected = ExpectedFields(record);
  for (int n = 1; n <= 13; ++n) {
    Require(fields[n] == expected[static_cast<std::size_t>(n)], "the splitter gives each field its token");
  }
  for (int n = 1; n <= 13; ++n) {
    const std::string_view field = fields[n];
    if (field.empty()) continue;
    Require(Within(field, record), "a field lies within its record");
    Require(field.find_first_of("\r\n") == std::string_view::npos, "no line end survives into a field");
    Require(field.find_first_of(" \t") == std::string_view::npos, "a field holds no separator");
  }
  Require(fields[0].empty(), "field 0 stays empty");
}

// The records: one per tag, in order, each where it must begin and end.
void CheckRecords(std::string_view text, const std::vector<RecordOutcome>& outcomes) {
  const std::vector<std::size_t> tags = TagPositions(text);
  Require(outcomes.size() == tags.size(), "one record per QSO: occurrence");
  for (std::size_t k = 0; k < outcomes.size(); ++k) {
    const zelo::Record& record = outcomes[k].record;
    Require(record.offset == tags[k], "a record begins at its QSO:");
    Require(record.text.data() == text.data() + record.offset, "a record's text is at its offset");
    Require(Within(record.text, text), "a record lies within the text");
    Require(record.text.starts_with(zelo::kQsoTag), "a record starts with QSO:");
    const std::size_t next = k + 1 < tags.size() ? tags[k + 1] : std::string_view::npos;
    const std::size_t end = record.offset + record.text.size();
    Require(end == ExpectedEnd(text, record.offset, next), "a record ends at its line end or the next QSO:");
    Require(next == std::string_view::npos || end <= next, "records do not overlap");
    std::string_view body = record.text;
    if (body.ends_with("\r\n")) {
      body.remove_suffix(2);
    } else if (body.ends_with('\n') || body.ends_with('\r')) {
      body.remove_suffix(1);
    }
    Require(body.find_first_of("\r\n") == std::string_view::npos, "a record holds a line end only at its end");
  }
}

// What became of each record agrees with its fields and the rules.
void CheckOutcomes(const std::vector<RecordOutcome>& outcomes, const zelo::ScoreResult& result,
                   const Collector& collector) {
  std::string_view last_call, last_band, my_call;
  std::optional<std::size_t> last_offset;
  std::size_t stored = 0, duplicates = 0, no_band = 0, not_contact = 0, steps = 0;
  std::array<std::vector<std::string_view>, zelo::kBandCount> calls;
  std::array<std::set<std::string_view>, zelo::kBandCount> items;
  for (const RecordOutcome& out : outcomes) {
    const zelo::QsoFields fields = zelo::SplitQsoFields(out.record.text);
    CheckFields(fields, out.record.text);
    Require(out.call == fields[zelo::kFieldWorkedCall], "the outcome's call is field 10");
    Require(out.frequency == fields[zelo::kFieldFrequency], "the outcome's frequency is field 2");
    Require(out.fields.field == fields.field && out.fields.tokens == fields.tokens,
            "the outcome carries the record's fields");
    const bool has_separator = out.record.text.find_first_of(" \t") != std::string_view::npos;
    if (out.outcome == Outcome::kNotContact) {
      ++not_contact;
      Require(!has_separator, "only a record without separators is no contact");
      continue;
    }
    Require(has_separator, "a record with a separator is a contact");
    my_call = fields[zelo::kFieldMyCall];
    const std::string_view prefix = out.frequency.substr(0, 2);
    const bool repeats = out.call == last_call && prefix == last_band;
    if (out.outcome == Outcome::kDuplicate) {
      ++duplicates;
      Require(repeats, "a duplicate repeats the previous accepted contact");
      Require(out.repeats == last_offset, "a duplicate names the contact it repeats");
      continue;
    }
    Require(!repeats, "an accepted contact does not repeat the previous one");
    last_call = out.call;
    last_band = prefix;
    last_offset = out.record.offset;
    const std::optional<Band> band = ExpectedBand(out.frequency);
    if (out.outcome == Outcome::kNoBand) {
      ++no_band;
      ++steps;
      Require(!band && !out.band, "a record on no band has a prefix that names none");
      continue;
    }
    Require(out.outcome == Outcome::kStored, "an outcome is one of the four");
    ++stored;
    Require(band && out.band == band, "a stored contact is on the band its prefix names");
    if (*band != Band::k160) ++steps;
    const std::optional<std::string_view> bonus = ExpectedBonus(out.call);
    if (bonus) {
      Require(out.item == *bonus, "a bonus station's item is its plain call");
    } else {
      const bool counts = zelo::HasMultiplierValue(fields[zelo::kFieldReport]);
      const std::optional<bool> oracle = ExceedsNine(fields[zelo::kFieldReport]);
      Require(!oracle || *oracle == counts, "field 11 counts exactly when its number exceeds 9");
      Require(out.item == (counts ? fields[zelo::kFieldItem] : std::string_view()),
              "an item is field 13 when field 11 exceeds 9, else empty");
    }
    calls[zelo::BandIndex(*band)].push_back(out.call);
    const bool first_time = !out.item.empty() && items[zelo::BandIndex(*band)].insert(out.item).second;
    Require(out.new_item == first_time, "an item is new exactly the first time on its band");
  }
  Require(stored + duplicates + no_band + not_contact == outcomes.size(), "every record has one outcome");
  Require(static_cast<std::int64_t>(outcomes.size()) == result.records, "records counted");
  Require(steps == collector.progress_steps, "one progress step per stored non-160 m or no-band record");
  Require(result.my_call == my_call, "own call is field 6 of the last contact record");

  std::int64_t total_qsos = 0, total_mults = 0;
  for (Band band : zelo::kBands) {
    const zelo::BandTally& tally = result.Tally(band);
    const std::size_t b = zelo::BandIndex(band);
    Require(tally.calls == calls[b], "a band's calls are its stored contacts in log order");
    const std::vector<std::string_view> distinct(items[b].begin(), items[b].end());
    Require(tally.multipliers == distinct, "a band's multipliers are its distinct items, ascending");
    for (std::size_t i = 1; i < tally.multipliers.size(); ++i) {
      Require(tally.multipliers[i - 1] < tally.multipliers[i], "multipliers ascend without repeats");
    }
    total_qsos += tally.Count();
    total_mults += tally.MultCount();
  }
  Require(result.total_qsos == total_qsos, "total contacts is the sum of the band counts");
  Require(result.total_qsos == static_cast<std::int64_t>(stored), "total contacts is the stored records");
  Require(result.total_mults == total_mults, "total multipliers is the sum of the band counts");
  Require(result.final_score == total_mults * total_qsos, "final score is multipliers times contacts");
}

// The report's fixed structure, with its numbers read back.
void CheckReport(const zelo::ScoreResult& result) {
  const std::vector<std::string>& lines = WriteReport(result);
  const std::string rule(zelo::kReportRuleWidth, '_');
  std::size_t at = 0;
  const auto next = [&]() -> const std::string& {
    Require(at < lines.size(), "the report has all its lines");
    return lines[at++];
  };
  Require(next() == std::string(zelo::kReportTitle) + std::string(result.my_call), "title line");
  Require(next() == rule, "rule after the title");
  for (Band band : zelo::kBands) {
    const zelo::BandTally& tally = result.Tally(band);
    Require(next() == zelo::ReportHeading(band), "band heading");
    if (tally.Count() > 0) {
      const std::string& first = next();
      if (tally.multipliers.empty()) {
        Require(first.empty(), "a band without multipliers has an empty entry line");
      } else {
        Require(first.starts_with(" 1 " + std::string(tally.multipliers[0])), "entry line starts with entry 1");
      }
      if (tally.MultCount() >= 10) {
        const std::string& second = next();
        if (tally.MultCount() == 10) {
          Require(second.empty(), "exactly ten multipliers give an empty second line");
        } else {
          Require(second.starts_with(" 11 " + std::string(tally.multipliers[10])), "second line starts with entry 11");
        }
      }
    }
    if (band != Band::k10) Require(next() == rule, "rule after a band section");
  }
  Require(next() == rule, "rule before the counts");
  for (Band band : zelo::kBands) {
    const std::string& line = next();
    const std::string_view label = zelo::CountLabel(band);
    Require(line.starts_with(label), "count label");
    const std::string_view number = std::string_view(line).substr(label.size());
    Require(ParseNumber(number) == result.BandCount(band), "count line reads back as the band count");
    if (result.BandCount(band) < 100) Require(number.size() == 3, "counts below 100 take three characters");
  }
  Require(next() == rule, "rule after the counts");
  const std::string& total = next();
  Require(total.starts_with(zelo::kTotalQsosLabel), "total label");
  Require(ParseNumber(std::string_view(total).substr(zelo::kTotalQsosLabel.size())) == result.total_qsos,
          "total line reads back");
  const std::string& mults = next();
  Require(mults.starts_with(zelo::kTotalMultsLabel) && mults.ends_with('.'), "multiplier line");
  const std::string_view mult_number =
      std::string_view(mults).substr(zelo::kTotalMultsLabel.size(), mults.size() - zelo::kTotalMultsLabel.size() - 1);
  Require(ParseNumber(mult_number) == result.total_mults, "multiplier line reads back");
  Require(next() == rule, "rule before the score");
  const std::string& score = next();
  Require(score.starts_with(zelo::kFinalScoreLabel) && score.ends_with(zelo::kFinalScoreEnd), "score line");
  const std::string_view score_number = std::string_view(score).substr(
      zelo::kFinalScoreLabel.size(), score.size() - zelo::kFinalScoreLabel.size() - zelo::kFinalScoreEnd.size());
  Require(ParseNumber(score_number) == result.final_score, "score line reads back");
  Require(at == lines.size(), "nothing follows the score line");
}

// The listing of some lines: CR LF after each, one more at the end.
void CheckListing(const std::vector<std::string>& lines) {
  const std::string bytes = zelo::ListingBytes(lines);
  std::size_t expected = 2;
  for (const std::string& line : lines) {
    Require(line.find_first_of("\r\n") == std::string::npos, "a listed line holds no line end");
    expected += line.size() + 2;
  }
  Require(bytes.size() == expected, "listing length is the lines plus their line ends");
  std::size_t crlf = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) crlf += bytes[i] == '\r' && bytes[i + 1] == '\n';
  Require(crlf == lines.size() + 1, "one CR LF per line plus one");
  Require(bytes.ends_with("\r\n\r\n"), "the listing ends with an empty line");
}

void CheckViews(const zelo::ScoreResult& result) {
  const std::string rule(zelo::kViewRuleWidth, '_');
  for (Band band : zelo::kBands) {
    const std::vector<std::string_view>& calls = result.Tally(band).calls;
    // The whole band, and its first half through the counted overload.
    for (std::size_t count : {calls.size(), calls.size() / 2}) {
      const std::vector<std::string> lines = zelo::BandViewLines(zelo::ViewHeading(band), calls, count);
      std::size_t non_empty = 0;
      for (std::size_t i = 0; i < count; ++i) non_empty += !calls[i].empty();
      Require(lines.size() == 3 + non_empty, "a band view has 3 lines plus one per non-empty call");
      Require(lines[0] == rule && lines[2] == rule && lines[1] == zelo::ViewHeading(band), "band view heading");
      std::size_t line = 3;
      for (std::size_t i = 0; i < count; ++i) {
        if (calls[i].empty()) continue;
        Require(lines[line] == zelo::FormatNumber(static_cast<std::int64_t>(i) + 1) + "   " + std::string(calls[i]),
                "a band view line is the contact's number and call");
        ++line;
      }
      CheckListing(lines);
    }
    Require(zelo::BandViewLines(band, calls) == zelo::BandViewLines(zelo::ViewHeading(band), calls, calls.size()),
            "both band view overloads agree");
  }
}

void CheckSameRun(const zelo::ScoreResult& a, const zelo::ScoreResult& b) {
  Require(a.records == b.records && a.total_qsos == b.total_qsos && a.total_mults == b.total_mults &&
              a.final_score == b.final_score && a.my_call == b.my_call,
          "a second run gives the same totals");
  for (Band band : zelo::kBands) {
    Require(a.Tally(band).calls == b.Tally(band).calls, "a second run gives the same calls");
    Require(a.Tally(band).multipliers == b.Tally(band).multipliers, "a second run gives the same multipliers");
  }
  Require(WriteReport(a) == WriteReport(b), "a second run gives the same report");
}

// The 1-based line of each offset: lines end at LF, CR LF or a lone CR.
std::vector<std::int64_t> LineStarts(std::string_view text) {
  std::vector<std::int64_t> line_of(text.size() + 1, 1);
  std::int64_t line = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    line_of[i] = line;
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++line;
  }
  line_of[text.size()] = line;
  return line_of;
}

// The log check: its findings name lines of the file, known codes with their
// severities, in line order, counted in the summary; one error per contact on
// no band and one note per repeat, at the record's line; the computed score is
// the scoring run's.
void CheckTheCheck(std::string_view text, const std::vector<RecordOutcome>& outcomes, const zelo::ScoreResult& result) {
  const zelo::CheckReport report = zelo::CheckLog(text);
  const std::vector<std::int64_t> line_of = LineStarts(text);
  // Lines in the file: a text ending in a line end has no line after it.
  std::int64_t lines = line_of.back();
  if (!text.empty() && (text.back() == '\n' || text.back() == '\r')) --lines;
  std::int64_t errors = 0, warnings = 0, notes = 0, previous = 0;
  std::multiset<std::pair<std::string_view, std::int64_t>> found;
  for (const zelo::Finding& f : report.findings) {
    Require(f.line >= 1 && f.line <= std::max<std::int64_t>(lines, 1), "a finding's line lies within the file");
    Require(f.line >= previous, "findings come in line order");
    previous = f.line;
    Require(!f.message.empty(), "a finding says what is wrong");
    bool known = false;
    for (const zelo::FindingKind& kind : zelo::FindingKinds()) {
      if (kind.code == f.code) known = kind.severity == f.severity;
    }
    Require(known, "a finding's code is a known one, with its severity");
    errors += f.severity == zelo::Severity::kError;
    warnings += f.severity == zelo::Severity::kWarning;
    notes += f.severity == zelo::Severity::kNote;
    found.insert({f.code, f.line});
  }
  Require(errors == report.summary.errors && warnings == report.summary.warnings && notes == report.summary.notes,
          "the summary counts the findings");
  if (!zelo::CheckLogHeader(text).valid) {
    Require(report.findings.size() == 1 && report.findings[0].code == "not-log" && !report.summary.scored,
            "a rejected log gets one not-log error alone");
    return;
  }
  Require(report.summary.scored && report.summary.score == result.final_score, "the computed score is the run's");
  // Every record the scorer counts nothing from has its finding at its line:
  // no-band, repeat or not-contact, or, for a record inside a remark
  // (SOAPBOX: ... QSO: ...), which the log does not mean as a contact, the
  // remark's note. Line by line, as one line may hold records of both kinds.
  struct Uncounted {
    std::int64_t no_band = 0, repeats = 0, all = 0;
    bool operator==(const Uncounted&) const = default;
  };
  std::map<std::int64_t, Uncounted> want, got;
  for (const RecordOutcome& out : outcomes) {
    if (out.outcome == Outcome::kStored) continue;
    Uncounted& line = want[line_of[out.record.offset]];
    line.no_band += out.outcome == Outcome::kNoBand;
    line.repeats += out.outcome == Outcome::kDuplicate;
    ++line.all;
  }
  for (const auto& [code, at] : found) {
    if (code != "no-band" && code != "repeat" && code != "not-contact" && code != "remark-qso") continue;
    Uncounted& line = got[at];
    line.no_band += code == "no-band";
    line.repeats += code == "repeat";
    ++line.all;
  }
  for (const auto& [line, count] : want) {
    const Uncounted seen = got.count(line) != 0 ? got[line] : Uncounted{};
    if (seen.all != count.all || seen.no_band > count.no_band || seen.repeats > count.repeats) {
      std::fprintf(stderr, "line %lld: %lld uncounted records (%lld no-band, %lld repeats), %lld findings (%lld, %lld)\n",
                   static_cast<long long>(line), static_cast<long long>(count.all),
                   static_cast<long long>(count.no_band), static_cast<long long>(count.repeats),
                   static_cast<long long>(seen.all), static_cast<long long>(seen.no_band),
                   static_cast<long long>(seen.repeats));
    }
    Require(seen.all == count.all && seen.no_band <= count.no_band && seen.repeats <= count.repeats,
            "each record counted nothing from has one no-band, repeat, not-contact or remark finding at its line");
  }
  for (const auto& [line, count] : got) {
    Require(want.count(line) != 0, "a no-band, repeat, not-contact or remark note stands only where a record is");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly `size` bytes, so reading past the input is caught.
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckHeader(text);

  Collector collector;
  const zelo::ScoreResult result = zelo::ScoreLog(text, &collector);
  CheckRecords(text, collector.outcomes);
  CheckOutcomes(collector.outcomes, result, collector);
  CheckReport(result);
  CheckListing(WriteReport(result));
  CheckViews(result);
  CheckSameRun(result, zelo::ScoreLog(text));
  CheckTheCheck(text, collector.outcomes, result);
  return 0;
}
