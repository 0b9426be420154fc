// Taking a contact record apart: the field splitter and the band table.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "input/cabrillo_vocabulary.h"

namespace zelo {

// The six bands, always handled and reported in this order.
enum class Band { k160, k80, k40, k20, k15, k10 };
inline constexpr std::size_t kBandCount = 6;
inline constexpr std::array<Band, kBandCount> kBands = {Band::k160, Band::k80, Band::k40,
                                                        Band::k20,  Band::k15, Band::k10};

// "160", "80", ... "10".
std::string_view BandName(Band band);
// How a message names a band: "160 m", "80 m", ... "10 m".
std::string BandText(Band band);
// The band named "160", "80", "40", "20", "15" or "10"; nullopt for others.
std::optional<Band> BandFromName(std::string_view name);
inline std::size_t BandIndex(Band band) { return static_cast<std::size_t>(band); }

// The first two bytes of a frequency field: the band prefix.
inline std::string_view BandPrefix(std::string_view frequency) { return frequency.substr(0, 2); }

// The band that a frequency field's prefix names; nullopt when it names none.
std::optional<Band> BandOf(std::string_view frequency);

// The prefixes that name `band`, in the order the band table tests them.
std::vector<std::string_view> BandPrefixes(Band band);

// Blanks and tabs separate the fields of a record.
inline bool IsFieldSeparator(char c) { return c == ' ' || c == '\t'; }

// Fields 1 to 13 of a record (field 0 is never written and stays empty).
// Views point into the record.
struct QsoFields {
  std::array<std::string_view, 14> field{};
  // Tokens the record holds, counted up to 13 (a line end after the last
  // separator counts as a token of its own).
  int tokens = 0;
  // What follows field 13 when the record has more than 13 tokens: dropped.
  std::string_view rest;
  std::string_view operator[](int n) const { return field[static_cast<std::size_t>(n)]; }
};

// True when the record held more than 13 tokens, so that some were dropped.
bool HasDroppedTokens(const QsoFields& fields);

// The fields the record really holds, up to 13: its tokens, without the
// empty one that a separator at its end leaves.
int FieldCount(const QsoFields& fields);

// Splits a record into fields 1 to 13: tokens 1 to 12 go to fields 1 to 12
// and, with 13 or more tokens, the 13th to field 13 (the rest is dropped).
// With fewer tokens the fields after the last separator are empty and the
// final token lands in field 13, without its line end (CR LF, LF or CR).
// A record with no separator at all leaves fields 1 to 12 empty.
QsoFields SplitQsoFields(std::string_view record);

// SplitQsoFields into fields kept by a loop over many records: every part of
// `fields` is rewritten, so a record costs no fresh set.
void SplitQsoFieldsInto(std::string_view record, QsoFields& fields);

}  // namespace zelo
