// The header of a Cabrillo log: its TAG: value items (everything but the
// contacts), the entrant's category and the claimed score. Read once by the
// log check and by the contest's cross-check, so that both understand a
// header the same way.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "input/cabrillo_vocabulary.h"
#include "input/text.h"

namespace zelo {

// One "TAG: value" line. Views point into the log text.
struct HeaderItem {
  std::string_view tag;    // as written, without its colon
  std::string_view value;  // blanks and tabs around it removed
  std::int64_t line = 0;   // 1-based
};

// The entrant's category; a part that the log does not give is empty.
struct Category {
  std::array<std::string_view, kCategoryPartCount> parts{};

  std::string_view operator[](CategoryPart part) const { return parts[static_cast<std::size_t>(part)]; }
  std::string_view& operator[](CategoryPart part) { return parts[static_cast<std::size_t>(part)]; }
  // A check log is used to confirm others' contacts and is never ranked.
  bool IsChecklog() const;
  // More than one transmitter: CATEGORY-TRANSMITTER TWO, LIMITED or
  // UNLIMITED (a version-2 MULTI-TWO, MULTI-MULTI, ... reads so). Such logs
  // give each contact's transmitter number.
  bool IsMultiTransmitter() const;
  // A single-band entry's band in metres ("20" for CATEGORY-BAND: 20M);
  // nullopt for ALL, a missing band and every value that is not metres.
  std::optional<std::string_view> SingleBandMetres() const;
};

struct CabrilloHeader {
  std::vector<HeaderItem> items;  // in log order, "QSO:" and "X-QSO:" lines left out
  std::string_view version;       // the value of START-OF-LOG:, empty when missing
  Category category;              // version-3 CATEGORY-* tags, else the version-2 CATEGORY: line in
                                  // the same parts (MULTI-TWO is MULTI-OP with transmitter TWO)
  bool category_v2 = false;       // the category came from a version-2 CATEGORY: line

  // The first item of a tag (compared without regard to case); nullptr when absent.
  const HeaderItem* Find(std::string_view tag) const;
  // The value of the first item of a tag; nullopt when absent.
  std::optional<std::string_view> Value(std::string_view tag) const;
  // CLAIMED-SCORE as a number; nullopt when absent or not a whole number.
  std::optional<std::int64_t> ClaimedScore() const;
};

// The tag of a line that is a "TAG:" item (letters, digits and '-' before a
// colon at the start of the line, blanks before it allowed, as the scorer
// finds its START-OF-LOG: after them); nullopt for any other line.
std::optional<std::string_view> LineTag(std::string_view line);

// A whole number written in decimal digits (an optional sign, thousands
// separated by commas allowed); nullopt for anything else or on overflow.
std::optional<std::int64_t> ParseWholeNumber(std::string_view text);

// Reads the header items of a log text.
CabrilloHeader ReadCabrilloHeader(std::string_view log_text);

}  // namespace zelo
