// Generated contest logs for the benchmark and the scaling runs: realistic
// column-aligned Cabrillo logs and a few hostile shapes, always the same
// bytes for the same settings.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "scoring/qso_fields.h"

namespace zelo::bench {

enum class LogShape {
  kAligned,    // CR LF, every contact line the same length
  kLf,         // like kAligned with LF line ends
  kOneLine,    // every contact on one line, blank-separated
  kHugeLine,   // kAligned contacts, then one contact whose line is huge
  kDistinct,   // every contact on 20 m with its own call and multiplier
};

// "aligned", "lf", "one-line", "huge-line", "distinct"; nullopt for others.
std::optional<LogShape> ShapeFromName(std::string_view name);

struct LogRecipe {
  LogShape shape = LogShape::kAligned;
  std::int64_t contacts = 1000;
  std::uint64_t seed = 1;
  std::size_t huge_line_bytes = 10'000'000;  // kHugeLine: length of the last line
};

// What a scoring run must find in a generated log, tallied while writing it.
struct LogFacts {
  std::string my_call;
  std::int64_t records = 0;  // "QSO:" occurrences
  std::array<std::int64_t, kBandCount> band_count{};
  std::array<std::set<std::string, std::less<>>, kBandCount> multipliers;
  std::int64_t TotalQsos() const;
  std::int64_t TotalMults() const;
};

struct GeneratedLog {
  std::string text;
  LogFacts facts;
};

// Writes a log of `recipe.contacts` contact lines (plus, for kHugeLine, the huge
// one). A few contacts repeat the one before (dropped as duplicates), a few
// lie on no band and a few work a bonus station; `facts` counts them as a
// scoring run must.
GeneratedLog MakeLog(const LogRecipe& recipe);

}  // namespace zelo::bench
