#include "input/cabrillo_vocabulary.h"

#include <algorithm>

#include "input/text.h"

namespace zelo {
namespace {

constexpr std::array<std::string_view, kFieldCount + 1> kFieldNames = {
    "",          "QSO:",          "frequency",       "mode",
    "date",      "time",          "own call",        "sent report",
    "sent exchange 1", "sent exchange 2", "worked call", "received report",
    "received exchange 1", "received exchange 2"};

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Number(std::string_view digits) {
  int n = 0;
  for (char c : digits) n = n * 10 + (c - '0');
  return n;
}

constexpr int kFirstYear = 1970;
constexpr int kLastYear = 5000;

// Days since 1970-01-01 of a day of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr std::array<std::string_view, 5> kQsoModes = {"CW", "PH", "FM", "RY", "DG"};

struct ModeSpelling {
  std::string_view written;
  std::string_view mode;
};
constexpr std::array<ModeSpelling, 13> kModeSpellings = {{
    {"SSB", "PH"}, {"USB", "PH"}, {"LSB", "PH"}, {"AM", "PH"}, {"PHONE", "PH"}, {"RTTY", "RY"},
    {"FSK", "RY"}, {"DIGI", "DG"}, {"FT8", "DG"}, {"FT4", "DG"}, {"PSK", "DG"}, {"PSK31", "DG"},
    {"CW", "CW"},
}};

constexpr std::array<std::string_view, 7> kPhoneModes = {"PH", "SSB", "USB", "LSB", "AM", "FM", "PHONE"};
constexpr std::array<std::string_view, 16> kDigitalModes = {
    "RY",   "RTTY", "DG",    "DIGI",   "DATA", "FSK",  "FT8",  "FT4",
    "JT65", "JT9",  "MFSK",  "OLIVIA", "HELL", "MT63", "PKT",  "PACKET"};

constexpr std::array<std::string_view, 2> kVersions = {"3.0", "2.0"};

constexpr std::array<std::string_view, 33> kKnownTags = {
    "START-OF-LOG", "END-OF-LOG", "CALLSIGN", "CONTEST", "CATEGORY-ASSISTED", "CATEGORY-BAND",
    "CATEGORY-MODE", "CATEGORY-OPERATOR", "CATEGORY-POWER", "CATEGORY-STATION", "CATEGORY-TIME",
    "CATEGORY-TRANSMITTER", "CATEGORY-OVERLAY", "CATEGORY", "CERTIFICATE", "CLAIMED-SCORE", "CLUB",
    "CREATED-BY", "EMAIL", "GRID-LOCATOR", "LOCATION", "NAME", "OPERATORS", "ADDRESS", "ADDRESS-CITY",
    "ADDRESS-STATE-PROVINCE", "ADDRESS-POSTALCODE", "ADDRESS-COUNTRY", "SOAPBOX", "OFFTIME", "DEBUG",
    // Version 2's own.
    "ARRL-SECTION", "IOTA-ISLAND-NAME"};

constexpr std::array<std::string_view, 27> kSingleValueTags = {
    "START-OF-LOG", "END-OF-LOG", "CALLSIGN", "CONTEST", "CATEGORY-ASSISTED", "CATEGORY-BAND",
    "CATEGORY-MODE", "CATEGORY-OPERATOR", "CATEGORY-POWER", "CATEGORY-STATION", "CATEGORY-TIME",
    "CATEGORY-TRANSMITTER", "CATEGORY-OVERLAY", "CATEGORY", "CERTIFICATE", "CLAIMED-SCORE", "CLUB",
    "CREATED-BY", "EMAIL", "GRID-LOCATOR", "LOCATION", "NAME", "OPERATORS", "ADDRESS-CITY",
    "ADDRESS-STATE-PROVINCE", "ADDRESS-POSTALCODE", "ADDRESS-COUNTRY"};

constexpr std::array<std::string_view, 2> kAssisted = {"ASSISTED", "NON-ASSISTED"};
constexpr std::array<std::string_view, 27> kBands = {
    "ALL",  "160M", "80M",  "40M",  "20M", "15M", "10M", "6M",  "4M",   "2M",   "222",   "432",        "902",
    "1.2G", "2.3G", "3.4G", "5.7G", "10G", "24G", "47G", "75G", "122G", "134G", "241G", "LIGHT", "VHF-3-BAND",
    "VHF-FM-ONLY"};
constexpr std::array<std::string_view, 6> kModes = {"CW", "DIGI", "FM", "RTTY", "SSB", "MIXED"};
constexpr std::array<std::string_view, 3> kOperators = {"SINGLE-OP", "MULTI-OP", kChecklog};
constexpr std::array<std::string_view, 3> kPowers = {"HIGH", "LOW", "QRP"};
constexpr std::array<std::string_view, 11> kStations = {"DISTRIBUTED", "FIXED", "MOBILE", "PORTABLE",
                                                        "ROVER", "ROVER-LIMITED", "ROVER-UNLIMITED",
                                                        "EXPEDITION", "HQ", "SCHOOL", "EXPLORER"};
constexpr std::array<std::string_view, 5> kTransmitters = {"ONE", "TWO", "LIMITED", "UNLIMITED", "SWL"};
constexpr std::array<std::string_view, 4> kTimes = {"6-HOURS", "8-HOURS", "12-HOURS", "24-HOURS"};
constexpr std::array<std::string_view, 6> kOverlays = {"CLASSIC", "ROOKIE", "TB-WIRES",
                                                       "YOUTH", "NOVICE-TECH", "OVER-50"};

const std::array<CategoryPartInfo, kCategoryPartCount> kCategoryParts = {{
    {CategoryPart::kOperator, "CATEGORY-OPERATOR", "operator", kOperators},
    {CategoryPart::kBand, "CATEGORY-BAND", "band", kBands},
    {CategoryPart::kPower, "CATEGORY-POWER", "power", kPowers},
    {CategoryPart::kMode, "CATEGORY-MODE", "mode", kModes},
    {CategoryPart::kAssisted, "CATEGORY-ASSISTED", "assisted", kAssisted},
    {CategoryPart::kStation, "CATEGORY-STATION", "station", kStations},
    {CategoryPart::kTransmitter, "CATEGORY-TRANSMITTER", "transmitter", kTransmitters},
    {CategoryPart::kTime, "CATEGORY-TIME", "time", kTimes},
    {CategoryPart::kOverlay, "CATEGORY-OVERLAY", "overlay", kOverlays},
}};

constexpr std::array<std::string_view, 11> kVersion2Operators = {
    "SINGLE-OP",     "SINGLE-OP-ASSISTED", "SINGLE-OP-QRP-PORTABLE", "MULTI-ONE", "MULTI-TWO", "MULTI-MULTI",
    "MULTI-LIMITED", "MULTI-UNLIMITED",    "SCHOOL-CLUB",            "SWL",       kChecklog};
constexpr std::array<Version2Operator, 11> kVersion2OperatorParts = {{
    {"SINGLE-OP", "SINGLE-OP", "", "", "", ""},
    {"SINGLE-OP-ASSISTED", "SINGLE-OP", "ASSISTED", "", "", ""},
    {"SINGLE-OP-QRP-PORTABLE", "SINGLE-OP", "", "QRP", "PORTABLE", ""},
    {"MULTI-ONE", "MULTI-OP", "", "", "", "ONE"},
    {"MULTI-TWO", "MULTI-OP", "", "", "", "TWO"},
    {"MULTI-MULTI", "MULTI-OP", "", "", "", "UNLIMITED"},
    {"MULTI-LIMITED", "MULTI-OP", "", "", "", "LIMITED"},
    {"MULTI-UNLIMITED", "MULTI-OP", "", "", "", "UNLIMITED"},
    {"SCHOOL-CLUB", "MULTI-OP", "", "", "SCHOOL", ""},
    {"SWL", "", "", "", "", "SWL"},
    {kChecklog, kChecklog, "", "", "", ""},
}};

constexpr std::array<std::string_view, 4> kVersion2Modes = {"CW", "SSB", "RTTY", "MIXED"};
const std::array<Version2CategoryWord, 4> kVersion2Words = {{
    {CategoryPart::kOperator, "operator", kVersion2Operators},
    {CategoryPart::kBand, "band", kBands},
    {CategoryPart::kPower, "power", kPowers},
    {CategoryPart::kMode, "mode", kVersion2Modes},
}};

}  // namespace

std::string_view QsoFieldName(int field) {
  if (field < 1 || field > kFieldCount) return {};
  return kFieldNames[static_cast<std::size_t>(field)];
}

std::optional<CabrilloDate> ReadDate(std::string_view d) {
  if (d.size() != 10 || d[4] != '-' || d[7] != '-') return std::nullopt;
  if (!AllDigits(d.substr(0, 4)) || !AllDigits(d.substr(5, 2)) || !AllDigits(d.substr(8, 2))) return std::nullopt;
  const CabrilloDate date{Number(d.substr(0, 4)), Number(d.substr(5, 2)), Number(d.substr(8, 2))};
  if (date.year < kFirstYear || date.year > kLastYear || date.month < 1 || date.month > 12 || date.day < 1) {
    return std::nullopt;
  }
  constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = date.year % 4 == 0 && (date.year % 100 != 0 || date.year % 400 == 0);
  const int days = kDays[static_cast<std::size_t>(date.month - 1)] + (date.month == 2 && leap ? 1 : 0);
  if (date.day > days) return std::nullopt;
  return date;
}

std::optional<int> ReadTime(std::string_view t) {
  if (t.size() != 4 || !AllDigits(t)) return std::nullopt;
  const int hours = Number(t.substr(0, 2));
  const int minutes = Number(t.substr(2, 2));
  if (hours > 23 || minutes > 59) return std::nullopt;
  return hours * 60 + minutes;
}

std::int32_t ContactMinute(std::string_view date, std::string_view time) {
  const std::optional<CabrilloDate> day = ReadDate(date);
  const std::optional<int> minute = ReadTime(time);
  if (!day || !minute) return kNoTime;
  const std::int64_t days =
      DaysFromCivil(day->year, static_cast<unsigned>(day->month), static_cast<unsigned>(day->day));
  return static_cast<std::int32_t>(days * 1440 + *minute);
}

std::span<const std::string_view> QsoModes() { return kQsoModes; }

std::optional<std::string_view> QsoModeFor(std::string_view written) {
  for (const ModeSpelling& spelling : kModeSpellings) {
    if (EqualNoCase(written, spelling.written)) return spelling.mode;
  }
  return std::nullopt;
}

ModeClass ModeClassOf(std::string_view mode) {
  if (EqualNoCase(mode, "CW")) return ModeClass::kCw;
  if (IsOneOf(mode, kPhoneModes)) return ModeClass::kPhone;
  if (IsOneOf(mode, kDigitalModes)) return ModeClass::kDigital;
  // PSK31, PSK63, ...: every PSK mode is data.
  if (mode.size() >= 3 && EqualNoCase(mode.substr(0, 3), "PSK")) return ModeClass::kDigital;
  return ModeClass::kOther;
}

std::span<const std::string_view> CabrilloVersions() { return kVersions; }

bool IsKnownTag(std::string_view tag) { return IsOneOf(tag, kKnownTags); }

bool IsSingleValueTag(std::string_view tag) { return IsOneOf(tag, kSingleValueTags); }

const Version2Operator* Version2OperatorOf(std::string_view word) {
  for (const Version2Operator& op : kVersion2OperatorParts) {
    if (EqualNoCase(word, op.word)) return &op;
  }
  return nullptr;
}

std::optional<ModeClass> CategoryModeClass(std::string_view value) {
  if (EqualNoCase(value, "CW")) return ModeClass::kCw;
  if (EqualNoCase(value, "SSB") || EqualNoCase(value, "FM")) return ModeClass::kPhone;
  if (EqualNoCase(value, "RTTY") || EqualNoCase(value, "DIGI")) return ModeClass::kDigital;
  return std::nullopt;
}

std::span<const CategoryPartInfo> CategoryParts() { return kCategoryParts; }

const CategoryPartInfo& CategoryPartOf(CategoryPart part) { return kCategoryParts[static_cast<std::size_t>(part)]; }

std::span<const Version2CategoryWord> Version2CategoryWords() { return kVersion2Words; }

bool IsOneOf(std::string_view value, std::span<const std::string_view> values) {
  return std::any_of(values.begin(), values.end(), [value](std::string_view v) { return EqualNoCase(value, v); });
}

}  // namespace zelo
