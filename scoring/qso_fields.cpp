#include "scoring/qso_fields.h"

namespace zelo {
namespace {

struct BandRow {
  std::string_view prefix;
  Band band;
};

// Tested in order; the first prefix that matches decides.
constexpr std::array<BandRow, 11> kBandTable = {{
    {"01", Band::k160}, {"18", Band::k160},
    {"38", Band::k80},  {"35", Band::k80},  {"03", Band::k80},
    {"72", Band::k40},  {"70", Band::k40},  {"07", Band::k40},
    {"14", Band::k20},
    {"21", Band::k15},
    {"28", Band::k10},
}};

constexpr std::array<std::string_view, kBandCount> kBandNames = {"160", "80", "40", "20", "15", "10"};

std::string_view DropLineEnd(std::string_view text) {
  if (text.ends_with("\r\n")) return text.substr(0, text.size() - 2);
  if (text.ends_with('\n') || text.ends_with('\r')) return text.substr(0, text.size() - 1);
  return text;
}

std::size_t FindSeparator(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsFieldSeparator(text[i])) return i;
  }
  return std::string_view::npos;
}

}  // namespace

std::string_view BandName(Band band) { return kBandNames[BandIndex(band)]; }

std::optional<Band> BandFromName(std::string_view name) {
  for (Band band : kBands) {
    if (BandName(band) == name) return band;
  }
  return std::nullopt;
}

std::optional<Band> BandOf(std::string_view frequency) {
  const std::string_view prefix = BandPrefix(frequency);
  for (const BandRow& row : kBandTable) {
    if (row.prefix == prefix) return row.band;
  }
  return std::nullopt;
}

QsoFields SplitQsoFields(std::string_view record) {
  QsoFields fields;
  std::string_view work = record;
  for (int n = 1; n <= 13; ++n) {
    const std::size_t sep = FindSeparator(work);
    if (sep == std::string_view::npos) {
      // No separator left: the fields up to 12 stay empty and the rest of the
      // record, without its line end, is the last field.
      fields.field[13] = DropLineEnd(work);
      return fields;
    }
    fields.field[static_cast<std::size_t>(n)] = work.substr(0, sep);
    std::size_t next = sep + 1;
    while (next < work.size() && IsFieldSeparator(work[next])) ++next;
    work.remove_prefix(next);
  }
  return fields;
}

}  // namespace zelo
