#include "check/log_check.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <limits>
#include <cstring>
#include <exception>
#include <random>
#include <utility>

#include "input/cabrillo_header.h"
#include "input/line_ends.h"
#include "input/log_file.h"
#include "scoring/qso_fields.h"
#include "scoring/score_log.h"

namespace zelo {
namespace {

constexpr FindingKind kNotLog{"not-log", Severity::kError};
constexpr FindingKind kNotContact{"not-contact", Severity::kError};
constexpr FindingKind kQsoCase{"qso-case", Severity::kError};
constexpr FindingKind kNoBand{"no-band", Severity::kError};
constexpr FindingKind kLowReport{"low-report", Severity::kError};
constexpr FindingKind kNoNumber{"no-number", Severity::kError};
constexpr FindingKind kShortContact{"short-contact", Severity::kError};
constexpr FindingKind kNoEndOfLog{"no-end-of-log", Severity::kWarning};
constexpr FindingKind kQsoAfterEnd{"qso-after-end", Severity::kWarning};
constexpr FindingKind kQsoInXQso{"qso-in-x-qso", Severity::kWarning};
constexpr FindingKind kQsoMidLine{"qso-mid-line", Severity::kWarning};
constexpr FindingKind kUnknownLine{"unknown-line", Severity::kWarning};
constexpr FindingKind kUnknownTag{"unknown-tag", Severity::kWarning};
constexpr FindingKind kBadVersion{"bad-version", Severity::kWarning};
constexpr FindingKind kNoCallsign{"no-callsign", Severity::kWarning};
constexpr FindingKind kNoContest{"no-contest", Severity::kWarning};
constexpr FindingKind kBadCategory{"bad-category", Severity::kWarning};
constexpr FindingKind kBadMode{"bad-mode", Severity::kWarning};
constexpr FindingKind kBadDate{"bad-date", Severity::kWarning};
constexpr FindingKind kBadTime{"bad-time", Severity::kWarning};
constexpr FindingKind kTimeOrder{"time-order", Severity::kWarning};
constexpr FindingKind kOwnCall{"own-call", Severity::kWarning};
constexpr FindingKind kExtraFields{"extra-fields", Severity::kWarning};
constexpr FindingKind kNonAscii{"non-ascii", Severity::kWarning};
constexpr FindingKind kClaimedScore{"claimed-score", Severity::kWarning};
constexpr FindingKind kRepeat{"repeat", Severity::kNote};
constexpr FindingKind kWorkedAgain{"worked-again", Severity::kNote};
constexpr FindingKind kTabs{"tabs", Severity::kNote};
constexpr FindingKind kNoClaimedScore{"no-claimed-score", Severity::kNote};

constexpr std::array<FindingKind, 29> kKinds = {
    kNotLog, kNotContact, kQsoCase, kNoBand, kLowReport, kNoNumber,
    kShortContact, kNoEndOfLog, kQsoAfterEnd, kQsoInXQso, kQsoMidLine, kUnknownLine,
    kUnknownTag, kBadVersion, kNoCallsign, kNoContest, kBadCategory, kBadMode,
    kBadDate, kBadTime, kTimeOrder, kOwnCall, kExtraFields, kNonAscii,
    kClaimedScore, kRepeat, kWorkedAgain, kTabs, kNoClaimedScore};

// The longest piece of log text a message quotes.
constexpr std::size_t kQuotedBytes = 40;

// Log bytes to be shown in double quotes, cut when long.
struct Quoted {
  std::string_view bytes;
};

std::size_t PartSize(std::string_view part) { return part.size(); }
std::size_t PartSize(Quoted part) { return std::min(part.bytes.size(), kQuotedBytes) + 5; }
void AppendPart(std::string& text, std::string_view part) { text.append(part); }
void AppendPart(std::string& text, Quoted part) {
  text += '"';
  text.append(part.bytes.substr(0, kQuotedBytes));
  if (part.bytes.size() > kQuotedBytes) text += "...";
  text += '"';
}

// The texts one after the other, in one allocation.
template <typename... Parts>
std::string Cat(const Parts&... parts) {
  std::string text;
  text.reserve((PartSize(parts) + ...));
  (AppendPart(text, parts), ...);
  return text;
}

// Log bytes in double quotes, cut when long.
std::string Quote(std::string_view bytes) { return Cat(Quoted{bytes}); }

std::string Plural(std::int64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// "a, b or c".
std::string OneOf(std::span<const std::string_view> words) {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? " or " : ", ";
    text += words[i];
  }
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlankText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return IsFieldSeparator(c); });
}

// --- Facts of the Cabrillo format ---------------------------------------

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kStartTag = "START-OF-LOG";
constexpr std::string_view kEndTag = "END-OF-LOG";
constexpr std::string_view kClaimedTag = "CLAIMED-SCORE";

constexpr std::array<std::string_view, 2> kVersions = {"3.0", "2.0"};

constexpr std::array<std::string_view, 31> kKnownTags = {
    "START-OF-LOG", "END-OF-LOG",  "CALLSIGN",         "CONTEST",     "CATEGORY-ASSISTED",
    "CATEGORY-BAND", "CATEGORY-MODE", "CATEGORY-OPERATOR", "CATEGORY-POWER", "CATEGORY-STATION",
    "CATEGORY-TIME", "CATEGORY-TRANSMITTER", "CATEGORY-OVERLAY", "CATEGORY", "CERTIFICATE",
    "CLAIMED-SCORE", "CLUB", "CREATED-BY", "EMAIL", "GRID-LOCATOR", "LOCATION", "NAME", "OPERATORS",
    "ADDRESS", "ADDRESS-CITY", "ADDRESS-STATE-PROVINCE", "ADDRESS-POSTALCODE", "ADDRESS-COUNTRY",
    "SOAPBOX", "OFFTIME", "DEBUG"};
// Also known: QSO, X-QSO and every private X- tag; version 2's own tags.
constexpr std::array<std::string_view, 2> kVersion2Tags = {"ARRL-SECTION", "IOTA-ISLAND-NAME"};

constexpr std::array<std::string_view, 2> kAssisted = {"ASSISTED", "NON-ASSISTED"};
constexpr std::array<std::string_view, 27> kCategoryBands = {
    "ALL",  "160M", "80M",  "40M", "20M", "15M", "10M",  "6M",   "4M",   "2M",   "222",        "432",         "902",
    "1.2G", "2.3G", "3.4G", "5.7G", "10G", "24G", "47G", "75G", "122G", "134G", "241G", "LIGHT", "VHF-3-BAND",
    "VHF-FM-ONLY"};
constexpr std::array<std::string_view, 6> kCategoryModes = {"CW", "DIGI", "FM", "RTTY", "SSB", "MIXED"};
constexpr std::array<std::string_view, 3> kOperators = {"SINGLE-OP", "MULTI-OP", "CHECKLOG"};
constexpr std::array<std::string_view, 3> kPowers = {"HIGH", "LOW", "QRP"};
constexpr std::array<std::string_view, 11> kStations = {"DISTRIBUTED", "FIXED", "MOBILE", "PORTABLE",
                                                        "ROVER", "ROVER-LIMITED", "ROVER-UNLIMITED",
                                                        "EXPEDITION", "HQ", "SCHOOL", "EXPLORER"};
constexpr std::array<std::string_view, 4> kTimes = {"6-HOURS", "8-HOURS", "12-HOURS", "24-HOURS"};
constexpr std::array<std::string_view, 5> kTransmitters = {"ONE", "TWO", "LIMITED", "UNLIMITED", "SWL"};
constexpr std::array<std::string_view, 6> kOverlays = {"CLASSIC", "ROOKIE", "TB-WIRES",
                                                       "YOUTH", "NOVICE-TECH", "OVER-50"};

struct CategoryList {
  std::string_view tag;
  std::span<const std::string_view> words;
};
const std::array<CategoryList, 9> kCategoryLists = {{
    {"CATEGORY-ASSISTED", kAssisted},
    {"CATEGORY-BAND", kCategoryBands},
    {"CATEGORY-MODE", kCategoryModes},
    {"CATEGORY-OPERATOR", kOperators},
    {"CATEGORY-POWER", kPowers},
    {"CATEGORY-STATION", kStations},
    {"CATEGORY-TIME", kTimes},
    {"CATEGORY-TRANSMITTER", kTransmitters},
    {"CATEGORY-OVERLAY", kOverlays},
}};

// The version-2 CATEGORY: line: operator, band, power and, optionally, mode.
constexpr std::array<std::string_view, 11> kVersion2Operators = {
    "SINGLE-OP", "SINGLE-OP-ASSISTED", "SINGLE-OP-QRP-PORTABLE", "MULTI-ONE", "MULTI-TWO", "MULTI-MULTI",
    "MULTI-LIMITED", "MULTI-UNLIMITED", "SCHOOL-CLUB", "SWL", "CHECKLOG"};
constexpr std::array<std::string_view, 4> kVersion2Modes = {"CW", "SSB", "RTTY", "MIXED"};
struct Version2Word {
  std::string_view what;
  std::span<const std::string_view> words;
};
const std::array<Version2Word, 4> kVersion2Words = {{
    {"operator", kVersion2Operators},
    {"band", kCategoryBands},
    {"power", kPowers},
    {"mode", kVersion2Modes},
}};

constexpr std::array<std::string_view, 5> kModes = {"CW", "PH", "FM", "RY", "DG"};

// What to write for a mode other programs spell their own way.
struct ModeHint {
  std::string_view written;
  std::string_view mode;
};
constexpr std::array<ModeHint, 13> kModeHints = {{
    {"SSB", "PH"}, {"USB", "PH"}, {"LSB", "PH"}, {"AM", "PH"}, {"PHONE", "PH"}, {"RTTY", "RY"},
    {"FSK", "RY"}, {"DIGI", "DG"}, {"FT8", "DG"}, {"FT4", "DG"}, {"PSK", "DG"}, {"PSK31", "DG"},
    {"CW", "CW"},
}};

// The frequency ranges of the bands, in kHz.
struct BandRange {
  Band band;
  int low;
  int high;
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
std::optional<long> FrequencyKhz(std::string_view field) {
  constexpr std::size_t kMostDigits = 9;
  long whole = 0;
  std::size_t i = 0;
  for (; i < field.size() && IsDigit(field[i]); ++i) {
    if (i >= kMostDigits) return std::nullopt;
    whole = whole * 10 + (field[i] - '0');
  }
  if (i == 0) return std::nullopt;
  if (i == field.size()) return whole < 1000 ? whole * 1000 : whole;
  if (field[i] != '.') return std::nullopt;
  long khz = whole * 1000;
  long scale = 100;
  for (++i; i < field.size(); ++i, scale /= 10) {
    if (!IsDigit(field[i])) return std::nullopt;
    khz += (field[i] - '0') * scale;
  }
  return khz;
}

std::optional<Band> BandOfKhz(long khz) {
  for (const BandRange& range : kBandRanges) {
    if (khz >= range.low && khz <= range.high) return range.band;
  }
  return std::nullopt;
}

// "72, 70 or 07": the prefixes that name a band.
std::string PrefixList(Band band) {
  const std::vector<std::string_view> prefixes = BandPrefixes(band);
  return OneOf(prefixes);
}

std::string AllPrefixes() {
  std::vector<std::string_view> prefixes;
  for (Band band : kBands) {
    for (std::string_view p : BandPrefixes(band)) prefixes.push_back(p);
  }
  return OneOf(prefixes);
}

int Number(std::string_view digits) {
  int n = 0;
  for (char c : digits) n = n * 10 + (c - '0');
  return n;
}

bool AllDigits(std::string_view text) { return std::all_of(text.begin(), text.end(), IsDigit); }

// A real day written YYYY-MM-DD.
bool IsDate(std::string_view d) {
  if (d.size() != 10 || d[4] != '-' || d[7] != '-') return false;
  if (!AllDigits(d.substr(0, 4)) || !AllDigits(d.substr(5, 2)) || !AllDigits(d.substr(8, 2))) return false;
  const int year = Number(d.substr(0, 4));
  const int month = Number(d.substr(5, 2));
  const int day = Number(d.substr(8, 2));
  if (month < 1 || month > 12 || day < 1) return false;
  constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  const int days = kDays[static_cast<std::size_t>(month - 1)] + (month == 2 && leap ? 1 : 0);
  return day <= days;
}

// HHMM from 0000 to 2359.
bool IsTime(std::string_view t) {
  return t.size() == 4 && AllDigits(t) && Number(t.substr(0, 2)) <= 23 && Number(t.substr(2, 2)) <= 59;
}

// The first byte of a line outside printable ASCII (tabs aside); npos when none.
std::size_t FirstNonAscii(std::string_view line) {
  // Found without a branch per byte, which the compiler can vectorise; the
  // position is looked for only on the rare line that has one.
  unsigned bad = 0;
  for (char c : line) {
    const auto u = static_cast<unsigned char>(c);
    bad |= static_cast<unsigned>((u < 0x20 && u != '\t') | (u >= 0x7F));
  }
  if (bad == 0) return std::string_view::npos;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto u = static_cast<unsigned char>(line[i]);
    if ((u < 0x20 && u != '\t') || u >= 0x7F) return i;
  }
  return std::string_view::npos;
}

std::string HexByte(unsigned char c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  return std::string("0x") + kHex[c >> 4] + kHex[c & 0xF];
}

// --- Findings ------------------------------------------------------------

class Findings {
 public:
  void Add(std::int64_t line, const FindingKind& kind, std::string message) {
    list_.push_back({line, kind.severity, kind.code, std::move(message)});
  }
  std::vector<Finding>& List() { return list_; }

 private:
  std::vector<Finding> list_;
};

// The line of a byte offset, for the few findings told outside a pass in order.
std::int64_t LineAt(std::string_view text, std::size_t offset) { return LineCounter(text).LineOf(offset); }

// Where each station was first stored on each band, and whether it was
// stored there again. Open addressing over
// small slots that keep the call's first 8 bytes, so that most lookups need
// not reach back into the log, which a big log has long pushed out of the
// caches. The hash starts from a value chosen at random once per process, so
// that no log can be made to pile its calls into one run of slots.
class FirstWorked {
 public:
  explicit FirstWorked(std::string_view text) : text_(text) {}

  struct Seen {
    std::int64_t first_line = 0;
    std::int64_t times = 0;  // how often it has been stored on the band, this time included
  };

  // A lookup in two steps, so that other work can go on while its slot is
  // fetched from memory: Look starts it, Count ends it (before the next Look).
  struct Lookup {
    std::uint64_t hash = 0;
    std::uint32_t size_band = 0;
    std::uint64_t start = 0;
    std::string_view call;
  };
  Lookup Look(Band band, std::string_view call) {
    if ((size_ + 1) * 2 > slots_.size()) Grow();
    static const std::uint64_t seed = Seed();
    std::uint64_t hash = seed ^ static_cast<std::uint64_t>(BandIndex(band));
    for (char c : call) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
    hash ^= hash >> 33;
    hash *= 0xFF51AFD7ED558CCDULL;
    hash ^= hash >> 33;
    Lookup lookup{hash, static_cast<std::uint32_t>(call.size() << 3 | BandIndex(band)), 0, call};
    std::memcpy(&lookup.start, call.data(), std::min(call.size(), sizeof lookup.start));
    __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
    return lookup;
  }

  // Counts the looked-up call as stored at `line`.
  Seen Count(const Lookup& lookup, std::int64_t line) {
    const auto hash = static_cast<std::uint32_t>(lookup.hash);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = lookup.hash & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (slot.line == 0) {
        slot = {hash, static_cast<std::uint32_t>(line), static_cast<std::uint32_t>(lookup.call.data() - text_.data()),
                lookup.size_band, lookup.start, 1};
        ++size_;
        return {line, 1};
      }
      if (slot.hash == hash && slot.size_band == lookup.size_band && slot.start == lookup.start &&
          (lookup.call.size() <= sizeof slot.start ||
           text_.substr(slot.offset, lookup.call.size()) == lookup.call)) {
        if (slot.times < std::numeric_limits<std::uint32_t>::max()) ++slot.times;
        return {slot.line, slot.times};
      }
    }
  }

 private:
  // A log holds at most kMaxLogBytes, so offsets, sizes and line numbers fit
  // in 32 bits.
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t line = 0;  // 0: a free slot
    std::uint32_t offset = 0;
    std::uint32_t size_band = 0;  // the call's size times 8, plus the band's index
    std::uint64_t start = 0;      // the call's first bytes, zero-padded
    std::uint32_t times = 1;
  };

  static std::uint64_t Seed() {
    try {
      std::random_device source;
      return 0xCBF29CE484222325ULL ^ ((static_cast<std::uint64_t>(source()) << 32) | source());
    } catch (const std::exception&) {
      static const int here = 0;
      return 0xCBF29CE484222325ULL ^ static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&here));
    }
  }

  // Slots are placed by the hash's low 32 bits, all a table of a log's
  // size can use.
  void Grow() {
    std::vector<Slot> old(std::max<std::size_t>(64, slots_.size() * 2));
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.line == 0) continue;
      std::size_t i = slot.hash & mask;
      while (slots_[i].line != 0) i = (i + 1) & mask;
      slots_[i] = slot;
    }
  }

  std::string_view text_;
  std::vector<Slot> slots_;  // a power of two in size, at most half full
  std::size_t size_ = 0;
};

// What the scoring run decided about each record, turned into findings.
class RecordCheck : public ScoreObserver {
 public:
  RecordCheck(std::string_view text, const CabrilloHeader& header, Findings& findings)
      : text_(text), counter_(text), findings_(findings), worked_(text) {
    if (const HeaderItem* end = header.Find(kEndTag)) end_line_ = end->line;
    const std::optional<std::string_view> call = header.Value("CALLSIGN");
    if (call && !call->empty()) own_call_ = *call;
  }

  void OnRecord(const RecordOutcome& out) override {
    const std::int64_t line = counter_.LineOf(out.record.offset);
    // The station's lookup starts here and ends with the next record, by
    // when its slot has come from memory; the previous one ends now, so that
    // its note comes before this record's findings.
    std::optional<PendingLookup> lookup;
    if (out.outcome == Outcome::kStored && !out.call.empty()) {
      lookup = PendingLookup{worked_.Look(*out.band, out.call), line, *out.band};
    }
    Flush();
    pending_ = lookup;
    if (out.outcome == Outcome::kNotContact) {
      Add(line, kNotContact,
          Quote(DropLineEnd(out.record.text)) +
              " has no blank or tab after QSO:, so the scorer cannot split it into fields and counts no "
              "contact; put a blank between the fields");
      return;
    }
    CheckPlace(out, line);
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

  // Ends the lookup of the last stored contact: a station stored on a band
  // for the second time gets a note.
  void Flush() {
    if (!pending_) return;
    const FirstWorked::Seen seen = worked_.Count(pending_->lookup, pending_->line);
    if (seen.times == 2) {
      Add(pending_->line, kWorkedAgain,
          Cat(Quoted{pending_->lookup.call}, " was worked on ", BandText(pending_->band), " already, on line ",
              std::to_string(seen.first_line),
              ": this event counts the contact again (and any later one with this station on this band, not "
              "noted again)"));
    }
    pending_.reset();
  }

  // Told once the run is over, into `out`: the findings of the log as a whole.
  void Finish(Findings& out) const {
    if (tab_lines_ == 0) return;
    out.Add(first_tab_line_, kTabs,
        "fields separated by tabs (" + Plural(tab_lines_, "line", "lines") +
            ", the first here): the scorer reads a tab as a blank; some sponsors' robots expect blanks");
  }

 private:
  void Add(std::int64_t line, const FindingKind& kind, std::string message) {
    findings_.Add(line, kind, std::move(message));
  }

  // Where the record's QSO: stands: at the start of a line, inside another
  // line, or after END-OF-LOG:.
  void CheckPlace(const RecordOutcome& out, std::int64_t line) {
    const std::size_t at = out.record.offset;
    const auto line_start = [this](std::size_t pos) { return pos == 0 || text_[pos - 1] == '\n' || text_[pos - 1] == '\r'; };
    if (!line_start(at)) {
      if (at >= 2 && text_.substr(at - 2, 2) == "X-" && line_start(at - 2)) {
        Add(line, kQsoInXQso,
            "the scorer counts the contact of this X-QSO: line all the same (it reads the QSO: inside it), "
            "though X-QSO: asks the sponsor to ignore it; leave the line out to leave the contact out");
      } else {
        Add(line, kQsoMidLine,
            "\"QSO:\" stands inside the line, not at its start: the scorer counts what follows it as a contact; "
            "begin a contact's line with QSO: and write QSO: nowhere else");
      }
    }
    if (end_line_ && line > *end_line_) {
      Add(line, kQsoAfterEnd,
          "a contact after END-OF-LOG: (line " + std::to_string(*end_line_) +
              "): the scorer counts it all the same; move END-OF-LOG: to the last line");
    }
  }

  // Fewer than 13 fields, or more.
  void CheckShape(const RecordOutcome& out, std::int64_t line) {
    const QsoFields& fields = out.fields;
    const int count = FieldCount(fields);
    if (count < kFieldItem) {
      std::string message = "the contact has " + Plural(count, "field", "fields") + ", not 13: ";
      if (fields[kFieldItem].empty()) {
        message += "field 13, the multiplier, is empty";
      } else if (out.outcome == Outcome::kStored && out.source == MultiplierSource::kField13) {
        message += "the scorer takes its last token " + Quote(fields[kFieldItem]) + " as field 13 and counts it as the multiplier";
      } else {
        message += "the scorer takes its last token " + Quote(fields[kFieldItem]) + " as field 13";
      }
      message += "; write all 13: QSO:, frequency, mode, date, time, own call, report and two exchanges sent, "
                 "worked call, report and two exchanges received";
      Add(line, kShortContact, std::move(message));
    } else if (HasDroppedTokens(fields)) {
      Add(line, kExtraFields,
          "the contact has more than 13 fields: the scorer drops " + Quote(DropLineEnd(fields.rest)) +
              " after field 13; leave it out unless the sponsor asks for a transmitter number");
    }
  }

  // Mode, date, time and own call, where the record has them.
  void CheckFields(const QsoFields& fields, std::int64_t line) {
    constexpr int kMode = 3, kDate = 4, kTime = 5;
    const std::string_view mode = fields[kMode];
    if (!mode.empty() && std::find(kModes.begin(), kModes.end(), mode) == kModes.end()) {
      std::string message = "mode " + Quote(mode) + " is not one of " + OneOf(kModes) +
                            ": the scorer counts the contact all the same";
      for (const ModeHint& hint : kModeHints) {
        if (EqualNoCase(mode, hint.written)) message += "; write " + std::string(hint.mode);
      }
      Add(line, kBadMode, std::move(message));
    }
    const std::string_view date = fields[kDate];
    const std::string_view time = fields[kTime];
    const bool date_ok = IsDate(date);
    const bool time_ok = IsTime(time);
    if (!date.empty() && !date_ok) {
      Add(line, kBadDate,
          "date " + Quote(date) + " is not a day written YYYY-MM-DD: the scorer counts the contact all the same");
    }
    if (!time.empty() && !time_ok) {
      Add(line, kBadTime,
          "time " + Quote(time) + " is not HHMM from 0000 to 2359: the scorer counts the contact all the same");
    }
    if (date_ok && time_ok) {
      if (last_time_line_ > 0 && (date < last_date_ || (date == last_date_ && time < last_time_))) {
        Add(line, kTimeOrder,
            std::string(date) + " " + std::string(time) + " is earlier than " + std::string(last_date_) + " " +
                std::string(last_time_) + " of the contact on line " + std::to_string(last_time_line_) +
                ": the scorer counts both all the same; sponsors expect contacts in time order");
      }
      last_date_ = date;
      last_time_ = time;
      last_time_line_ = line;
    }
    const std::string_view my_call = fields[kFieldMyCall];
    if (!own_call_.empty() && !my_call.empty() && !EqualNoCase(my_call, own_call_)) {
      Add(line, kOwnCall,
          "own call " + Quote(my_call) + " (field 6) differs from CALLSIGN: " + Quote(own_call_) +
              ": the scorer counts the contact all the same, and the report's title shows field 6 of the last "
              "contact");
    }
  }

  void Repeat(const RecordOutcome& out, std::int64_t line) {
    if (!out.repeats) {
      Add(line, kRepeat,
          "an empty call with an empty band prefix: the scorer drops the contact as a repeat of the empty start");
      return;
    }
    const std::int64_t first =
        *out.repeats == last_accepted_offset_ ? last_accepted_line_ : LineAt(text_, *out.repeats);
    Add(line, kRepeat,
        Quote(out.call) + " with band prefix " + Quote(BandPrefix(out.frequency)) + " repeats the contact on line " +
            std::to_string(first) + " just before it: the scorer drops it");
  }

  void NoBand(const RecordOutcome& out, std::int64_t line) {
    std::string message = "frequency " + Quote(out.frequency) +
                          " names no band: the scorer counts this contact on no band, for no points and no "
                          "multiplier; ";
    const std::optional<long> khz = FrequencyKhz(out.frequency);
    const std::optional<Band> lies_in = khz ? BandOfKhz(*khz) : std::nullopt;
    if (!lies_in) {
      message += "it lies on none of the bands 160 to 10 m, and this event counts frequencies beginning " + AllPrefixes();
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
    Add(line, kNoBand, std::move(message));
  }

  void Stored(const RecordOutcome& out, std::int64_t line) {
    const QsoFields& fields = out.fields;
    const bool low = out.source == MultiplierSource::kLowReport;
    if ((low || out.source == MultiplierSource::kNoNumber) && FieldCount(fields) >= kFieldItem) {
      Add(line, low ? kLowReport : kNoNumber,
          Cat("report ", Quoted{fields[kFieldReport]}, " (field 11) ",
              low ? "has a value of 9 or less" : "does not begin with a number", ": field 13 ",
              Quoted{fields[kFieldItem]}, " brings no multiplier; write the report as a number, 599 (or 59 on phone)"));
    }
  }

  void Accept(std::size_t offset, std::int64_t line) {
    last_accepted_offset_ = offset;
    last_accepted_line_ = line;
  }

  std::string_view text_;
  LineCounter counter_;
  Findings& findings_;
  std::optional<std::int64_t> end_line_;
  std::string_view own_call_;
  std::size_t last_accepted_offset_ = std::string_view::npos;
  std::int64_t last_accepted_line_ = 0;
  std::string_view last_date_, last_time_;
  std::int64_t last_time_line_ = 0;
  FirstWorked worked_;
  struct PendingLookup {
    FirstWorked::Lookup lookup;
    std::int64_t line = 0;
    Band band = Band::k160;
  };
  std::optional<PendingLookup> pending_;
  std::int64_t tab_lines_ = 0, first_tab_line_ = 0, last_tab_line_ = 0;
};

// Findings of single lines: bytes outside printable ASCII, lines that are no
// item, unknown tags, contacts in small letters. Returns the number of lines.
std::int64_t CheckLines(std::string_view text, Findings& findings) {
  LineReader reader(text);
  std::int64_t lines = 0;
  while (const std::optional<TextLine> line = reader.Next()) {
    lines = line->number;
    const std::string_view bytes = line->text;
    if (const std::size_t at = FirstNonAscii(bytes); at != std::string_view::npos) {
      const bool bom = line->offset == 0 && bytes.starts_with(kByteOrderMark);
      findings.Add(line->number, kNonAscii,
                   bom ? "the file begins with a UTF-8 byte-order mark: the scorer passes over it; a sponsor's robot "
                         "may not, so save the log as plain ASCII"
                       : "byte " + HexByte(static_cast<unsigned char>(bytes[at])) + " at column " +
                             std::to_string(at + 1) +
                             " is outside printable ASCII: the scorer keeps the bytes as they are; a sponsor's "
                             "robot may reject them, so write plain ASCII");
    }
    // A byte-order mark before the first tag belongs to no tag.
    std::string_view item = bytes;
    if (line->offset == 0 && item.starts_with(kByteOrderMark)) item.remove_prefix(kByteOrderMark.size());
    const std::optional<std::string_view> tag = LineTag(item);
    if (!tag) {
      // A line holding "QSO:" is a contact record, told by the record check.
      if (!IsBlankText(item) && bytes.find(kQsoTag) == std::string_view::npos) {
        findings.Add(line->number, kUnknownLine,
                     "the line " + Quote(bytes) +
                         " is neither a TAG: item nor blank: the scorer passes over it; begin it with a tag such as "
                         "SOAPBOX: or remove it");
      }
      continue;
    }
    if (*tag == "QSO" || *tag == "X-QSO") continue;
    if (EqualNoCase(*tag, "QSO")) {
      if (bytes.find(kQsoTag) == std::string_view::npos) {
        findings.Add(line->number, kQsoCase,
                     Quote(item.substr(0, tag->size() + 1)) +
                         " is not QSO: in capitals, so the scorer does not count this contact; write QSO:");
      }
      continue;
    }
    if (tag->starts_with("X-") || tag->starts_with("x-")) continue;
    if (IsOneOf(*tag, kKnownTags) || IsOneOf(*tag, kVersion2Tags)) continue;
    findings.Add(line->number, kUnknownTag,
                 "unknown tag " + Quote(std::string(*tag) + ":") +
                     ": the scorer passes over it, but a sponsor's robot may reject it; a program's private tags "
                     "begin with X-");
  }
  return lines;
}

// Findings of the header as a whole: version, call, contest, category.
void CheckHeader(const CabrilloHeader& header, std::int64_t last_line, Findings& findings) {
  const HeaderItem* start = header.Find(kStartTag);
  const std::int64_t start_line = start != nullptr ? start->line : 1;
  if (start != nullptr && !IsOneOf(start->value, kVersions)) {
    findings.Add(start->line, kBadVersion,
                 "START-OF-LOG: " + Quote(start->value) + " is not 3.0 or 2.0: the scorer reads the log all the same; "
                 "write START-OF-LOG: 3.0");
  }
  if (header.Find(kEndTag) == nullptr) {
    findings.Add(last_line, kNoEndOfLog,
                 "the log has no END-OF-LOG:, so it may have been cut short: the scorer scores what is there; end "
                 "the log with END-OF-LOG:");
  }
  struct Required {
    std::string_view tag;
    const FindingKind& kind;
    std::string_view what;
  };
  for (const Required& r : {Required{"CALLSIGN", kNoCallsign, "the station's call"},
                            Required{"CONTEST", kNoContest, "the contest's name as its sponsor writes it"}}) {
    const HeaderItem* item = header.Find(r.tag);
    if (item != nullptr && !item->value.empty()) continue;
    const std::string tag = std::string(r.tag) + ":";
    findings.Add(item != nullptr ? item->line : start_line, r.kind,
                 (item != nullptr ? tag + " is empty" : "the header has no " + tag + " line") +
                     ": the scorer does not need it, but a sponsor's robot does; write " + tag + " with " +
                     std::string(r.what));
  }
  for (const HeaderItem& item : header.items) {
    for (const CategoryList& list : kCategoryLists) {
      if (!EqualNoCase(item.tag, list.tag) || IsOneOf(item.value, list.words)) continue;
      findings.Add(item.line, kBadCategory,
                   std::string(list.tag) + ": " + Quote(item.value) + " is not one of " + OneOf(list.words) +
                       ": the scorer does not read it, but a sponsor's robot may reject it");
    }
    if (!EqualNoCase(item.tag, "CATEGORY")) continue;
    std::string_view rest = item.value;
    for (const Version2Word& word : kVersion2Words) {
      while (!rest.empty() && IsFieldSeparator(rest.front())) rest.remove_prefix(1);
      const std::string_view value = rest.substr(0, std::min(rest.find_first_of(" \t"), rest.size()));
      rest.remove_prefix(value.size());
      if (value.empty() || IsOneOf(value, word.words)) continue;
      findings.Add(item.line, kBadCategory,
                   "CATEGORY: " + std::string(word.what) + " " + Quote(value) + " is not one of " + OneOf(word.words) +
                       ": the scorer does not read it, but a sponsor's robot may reject it");
    }
  }
}

void CheckClaimedScore(const CabrilloHeader& header, std::int64_t start_line, std::int64_t score,
                       Findings& findings) {
  const std::string computed = std::to_string(score);
  const HeaderItem* item = header.Find(kClaimedTag);
  if (item == nullptr || item->value.empty()) {
    findings.Add(item != nullptr ? item->line : start_line, kNoClaimedScore,
                 std::string(item != nullptr ? "CLAIMED-SCORE: is empty" : "the header has no CLAIMED-SCORE: line") +
                     ": the computed score is " + computed + "; write CLAIMED-SCORE: " + computed);
    return;
  }
  const std::optional<std::int64_t> claimed = header.ClaimedScore();
  if (!claimed) {
    findings.Add(item->line, kClaimedScore,
                 "CLAIMED-SCORE: " + Quote(item->value) + " is not a whole number; the computed score is " + computed);
  } else if (*claimed != score) {
    findings.Add(item->line, kClaimedScore,
                 "CLAIMED-SCORE: " + std::to_string(*claimed) + " differs from the computed score " + computed);
  }
}

// Two lists sorted by line, as one, `first`'s findings first on a line they share.
std::vector<Finding> Merged(std::vector<Finding>&& first, std::vector<Finding>&& second) {
  std::vector<Finding> all;
  all.reserve(first.size() + second.size());
  std::merge(std::make_move_iterator(first.begin()), std::make_move_iterator(first.end()),
             std::make_move_iterator(second.begin()), std::make_move_iterator(second.end()), std::back_inserter(all),
             [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return all;
}

void Summarise(CheckReport& report) {
  for (const Finding& f : report.findings) {
    switch (f.severity) {
      case Severity::kError: ++report.summary.errors; break;
      case Severity::kWarning: ++report.summary.warnings; break;
      case Severity::kNote: ++report.summary.notes; break;
    }
  }
}

}  // namespace

std::string_view SeverityName(Severity severity) {
  switch (severity) {
    case Severity::kError: return "error";
    case Severity::kWarning: return "warning";
    case Severity::kNote: return "note";
  }
  return "note";
}

std::span<const FindingKind> FindingKinds() { return kKinds; }

CheckReport CheckLog(std::string_view log_text) {
  CheckReport report;
  const HeaderCheck log_header = CheckLogHeader(log_text);
  if (!log_header.valid) {
    const std::string_view item = FirstItem(log_text);
    const bool inside = !item.empty() && item.data() >= log_text.data();
    Findings rejected;
    rejected.Add(inside ? LineAt(log_text, static_cast<std::size_t>(item.data() - log_text.data())) : 1, kNotLog,
                 "not a Cabrillo log: " + log_header.reason +
                     "; the scorer rejects it and scores nothing; make START-OF-LOG: 3.0 its first line");
    report.findings = std::move(rejected.List());
    Summarise(report);
    return report;
  }

  const CabrilloHeader header = ReadCabrilloHeader(log_text);
  Findings records;
  RecordCheck record_check(log_text, header, records);
  const ScoreResult result = ScoreLog(log_text, &record_check);
  record_check.Flush();

  Findings lines;
  const std::int64_t line_count = CheckLines(log_text, lines);

  Findings whole;
  record_check.Finish(whole);
  CheckHeader(header, std::max<std::int64_t>(line_count, 1), whole);
  const HeaderItem* start = header.Find(kStartTag);
  CheckClaimedScore(header, start != nullptr ? start->line : 1, result.final_score, whole);
  std::stable_sort(whole.List().begin(), whole.List().end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });

  report.findings = Merged(Merged(std::move(whole.List()), std::move(lines.List())), std::move(records.List()));

  report.summary.scored = true;
  report.summary.qsos = result.total_qsos;
  report.summary.mults = result.total_mults;
  report.summary.score = result.final_score;
  report.summary.claimed_score = header.ClaimedScore();
  Summarise(report);
  return report;
}

}  // namespace zelo
