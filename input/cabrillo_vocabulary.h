// The words of the Cabrillo format that more than one part of the program
// reads: the QSO line's field numbers and names, dates and times, modes and
// their classes, the header's tags and the allowed values of each category
// tag. The header reader, the log check, the contest and the command line
// all take them from here, so that they read a log the same way.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zelo {

// --- The QSO line --------------------------------------------------------

// Field numbers of a QSO: line (field 1 is "QSO:" itself).
inline constexpr int kFieldQso = 1;
inline constexpr int kFieldFrequency = 2;
inline constexpr int kFieldMode = 3;
inline constexpr int kFieldDate = 4;
inline constexpr int kFieldTime = 5;
inline constexpr int kFieldMyCall = 6;
inline constexpr int kFieldSentReport = 7;
inline constexpr int kFieldSentExchange1 = 8;
inline constexpr int kFieldSentExchange2 = 9;
inline constexpr int kFieldWorkedCall = 10;
inline constexpr int kFieldReport = 11;            // the received report
inline constexpr int kFieldReceivedExchange1 = 12;
inline constexpr int kFieldItem = 13;              // the received exchange 2: the multiplier item
inline constexpr int kFieldCount = 13;

// The received exchange fields and, for each, the field in which the other
// station logged what it sent.
struct ExchangeField {
  int received;
  int sent;
};
inline constexpr std::array<ExchangeField, 2> kExchangeFields = {{
    {kFieldReceivedExchange1, kFieldSentExchange1},
    {kFieldItem, kFieldSentExchange2},
}};

// "frequency", "mode", ... "received exchange 2"; empty for no field.
std::string_view QsoFieldName(int field);

// A field as messages name it: "field 13".
inline std::string FieldText(int field) { return "field " + std::to_string(field); }

// --- Dates and times -----------------------------------------------------

// A day of the calendar. A date is valid when it is a real day of the
// Gregorian calendar written YYYY-MM-DD, from 1970-01-01 to 5000-12-31 (a
// contest's minutes since 1970 then fit 32 bits).
struct CabrilloDate {
  int year = 0, month = 0, day = 0;
};
std::optional<CabrilloDate> ReadDate(std::string_view text);

// A time of day written HHMM, 0000 to 2359: minutes since midnight.
std::optional<int> ReadTime(std::string_view text);

// A contact's time in minutes since 1970-01-01 00:00 UTC; kNoTime when its
// date or time is not valid.
inline constexpr std::int32_t kNoTime = std::numeric_limits<std::int32_t>::min();
std::int32_t ContactMinute(std::string_view date, std::string_view time);

// --- Modes ---------------------------------------------------------------

// The modes a QSO: line may name: CW, PH, FM, RY, DG.
std::span<const std::string_view> QsoModes();

// The mode a program that spells a mode its own way means ("SSB" is PH,
// "RTTY" is RY, ...), compared without regard to case; nullopt for others.
std::optional<std::string_view> QsoModeFor(std::string_view written);

// Which contacts may confirm each other: the same class of mode.
enum class ModeClass {
  kCw,
  kPhone,    // PH, SSB, USB, LSB, AM, FM
  kDigital,  // RY, RTTY, DG and the other data modes
  kOther,    // any other mode text: a class of its own
};
// The class of a mode field, compared without regard to case.
ModeClass ModeClassOf(std::string_view mode);

// --- Header tags ---------------------------------------------------------

inline constexpr std::string_view kTagStartOfLog = "START-OF-LOG";
inline constexpr std::string_view kTagEndOfLog = "END-OF-LOG";
inline constexpr std::string_view kTagCallsign = "CALLSIGN";
inline constexpr std::string_view kTagContest = "CONTEST";
inline constexpr std::string_view kTagClaimedScore = "CLAIMED-SCORE";
inline constexpr std::string_view kTagClub = "CLUB";
inline constexpr std::string_view kTagOperators = "OPERATORS";
inline constexpr std::string_view kTagSoapbox = "SOAPBOX";
inline constexpr std::string_view kTagCategory = "CATEGORY";  // version 2's one category line
inline constexpr std::string_view kTagQso = "QSO";
inline constexpr std::string_view kTagIgnoredQso = "X-QSO";
inline constexpr std::string_view kPrivateTagPrefix = "X-";

// The versions START-OF-LOG: may give.
std::span<const std::string_view> CabrilloVersions();

// True when the tag is one of the format's (either version), compared
// without regard to case; private X- tags and QSO: lines are not told here.
bool IsKnownTag(std::string_view tag);

// True when the tag may appear once only (CALLSIGN, CONTEST, CATEGORY-*,
// CLAIMED-SCORE, ...), compared without regard to case; ADDRESS, SOAPBOX,
// OFFTIME, QSO and the like may repeat.
bool IsSingleValueTag(std::string_view tag);

// --- Categories ----------------------------------------------------------

// The parts of an entrant's category, one CATEGORY-* tag each.
enum class CategoryPart { kOperator, kBand, kPower, kMode, kAssisted, kStation, kTransmitter, kTime, kOverlay };
inline constexpr std::size_t kCategoryPartCount = 9;

struct CategoryPartInfo {
  CategoryPart part;
  std::string_view tag;   // "CATEGORY-OPERATOR"
  std::string_view name;  // "operator"
  std::span<const std::string_view> values;  // the values the tag allows
};

// Every part, in the order of CategoryPart.
std::span<const CategoryPartInfo> CategoryParts();
const CategoryPartInfo& CategoryPartOf(CategoryPart part);

// The words of version 2's "CATEGORY: operator band power [mode]" line.
struct Version2CategoryWord {
  CategoryPart part;
  std::string_view what;  // "operator"
  std::span<const std::string_view> values;
};
std::span<const Version2CategoryWord> Version2CategoryWords();

// The class of contacts a CATEGORY-MODE value allows: CW, phone (SSB, FM),
// digital (RTTY, DIGI); nullopt for MIXED and any other value.
std::optional<ModeClass> CategoryModeClass(std::string_view value);

// What a version-2 operator word means in version-3 parts: MULTI-TWO is
// operator MULTI-OP with transmitter TWO, SINGLE-OP-ASSISTED is SINGLE-OP
// with ASSISTED, and so on. Parts a word does not decide are empty.
struct Version2Operator {
  std::string_view word;
  std::string_view operator_, assisted, power, station, transmitter;
};
// The meaning of a version-2 operator word, compared without regard to
// case; nullptr for a word that is not one.
const Version2Operator* Version2OperatorOf(std::string_view word);

// The value of a check log's operator part.
inline constexpr std::string_view kChecklog = "CHECKLOG";

// True when `value` is one of `values`, compared without regard to case.
bool IsOneOf(std::string_view value, std::span<const std::string_view> values);

}  // namespace zelo
