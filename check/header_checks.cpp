// The header's findings (declared in line_checks.h with the line checks).
#include <map>
#include <string>

#include "check/line_checks.h"
#include "input/cabrillo_vocabulary.h"
#include "scoring/qso_fields.h"

namespace zelo::check {
namespace {

std::int64_t StartLine(const CabrilloHeader& header) {
  const HeaderItem* start = header.Find(kTagStartOfLog);
  return start != nullptr ? start->line : 1;
}

void CheckRequired(const CabrilloHeader& header, Findings& findings) {
  struct Required {
    std::string_view tag;
    const FindingKind& kind;
    std::string_view what;
  };
  for (const Required& r : {Required{kTagCallsign, kNoCallsign, "the station's call"},
                            Required{kTagContest, kNoContest, "the contest's name as its sponsor writes it"}}) {
    const HeaderItem* item = header.Find(r.tag);
    if (item != nullptr && !item->value.empty()) continue;
    const std::string tag = std::string(r.tag) + ":";
    findings.Add(item != nullptr ? item->line : StartLine(header), r.kind,
                 (item != nullptr ? tag + " is empty" : "the header has no " + tag + " line") +
                     ": the scorer does not need it, but a sponsor's robot does; write " + tag + " with " +
                     std::string(r.what));
  }
}

// Each CATEGORY-* value, and each word of a version-2 CATEGORY: line.
void CheckCategoryWords(const HeaderItem& item, Findings& findings) {
  for (const CategoryPartInfo& part : CategoryParts()) {
    if (!EqualNoCase(item.tag, part.tag) || IsOneOf(item.value, part.values)) continue;
    findings.Add(item.line, kBadCategory,
                 Cat(part.tag, ": ", Quoted{item.value}, " is not one of ", OneOf(part.values),
                     ": the scorer does not read it, but a sponsor's robot may reject it"));
  }
  if (!EqualNoCase(item.tag, kTagCategory)) return;
  std::string_view rest = item.value;
  for (const Version2CategoryWord& word : Version2CategoryWords()) {
    while (!rest.empty() && IsFieldSeparator(rest.front())) rest.remove_prefix(1);
    const std::string_view value = rest.substr(0, std::min(rest.find_first_of(" \t"), rest.size()));
    rest.remove_prefix(value.size());
    if (value.empty() || IsOneOf(value, word.values)) continue;
    findings.Add(item.line, kBadCategory,
                 Cat("CATEGORY: ", word.what, " ", Quoted{value}, " is not one of ", OneOf(word.values),
                     ": the scorer does not read it, but a sponsor's robot may reject it"));
  }
}

// A tag that may appear once, given again with another value.
void CheckTagsGivenTwice(const CabrilloHeader& header, Findings& findings) {
  std::map<std::string, const HeaderItem*> first;
  for (const HeaderItem& item : header.items) {
    if (!IsSingleValueTag(item.tag)) continue;
    const auto [it, inserted] = first.try_emplace(UpperAscii(item.tag), &item);
    if (inserted || EqualNoCase(it->second->value, item.value)) continue;
    const bool callsign = EqualNoCase(item.tag, kTagCallsign);
    findings.Add(item.line, callsign ? kCallsignTwice : kTagTwice,
                 Cat(std::string_view(item.tag), ": ", Quoted{item.value}, " is given again, after ",
                     Quoted{it->second->value}, " on line ", std::to_string(it->second->line),
                     callsign ? ": a sponsor cannot tell whose log this is; keep the one right CALLSIGN:"
                              : ": the scorer reads the first, a sponsor may read either; keep one"));
  }
}

// A single-band or single-mode entry with contacts outside it.
void CheckCategoryAgainstContacts(const CabrilloHeader& header, const ContactTally& tally, Findings& findings) {
  const HeaderItem* band_item = header.Find(CategoryPartOf(CategoryPart::kBand).tag);
  const std::optional<std::string_view> metres = header.category.SingleBandMetres();
  const std::optional<Band> entry_band = metres ? BandFromName(*metres) : std::nullopt;
  if (band_item != nullptr && entry_band) {
    std::int64_t off = 0, first = 0;
    for (Band band : kBands) {
      const std::size_t b = BandIndex(band);
      if (band == *entry_band || tally.on_band[b] == 0) continue;
      off += tally.on_band[b];
      if (first == 0 || tally.first_on_band[b] < first) first = tally.first_on_band[b];
    }
    if (off > 0) {
      findings.Add(band_item->line, kOffCategoryBand,
                   Cat("CATEGORY-BAND: ", band_item->value, " enters ", BandText(*entry_band), " alone, but ",
                       Plural(off, "contact is", "contacts are"), " on other bands (the first on line ",
                       std::to_string(first),
                       "): the scorer counts them all; a sponsor scores a single-band entry on its band only"));
    }
  }
  const HeaderItem* mode_item = header.Find(CategoryPartOf(CategoryPart::kMode).tag);
  if (mode_item != nullptr && tally.not_in_mode_class > 0) {
    findings.Add(mode_item->line, kOffCategoryMode,
                 Cat("CATEGORY-MODE: ", mode_item->value, ", but ",
                     Plural(tally.not_in_mode_class, "contact is", "contacts are"), " in another mode (the first on line ",
                     std::to_string(tally.first_not_in_mode_class),
                     "): the scorer counts them all; write CATEGORY-MODE: MIXED, or check the modes"));
  }
}

}  // namespace

void CheckHeader(const CabrilloHeader& header, const ContactTally& tally, std::int64_t last_line,
                 Findings& findings) {
  const HeaderItem* start = header.Find(kTagStartOfLog);
  if (start != nullptr && !IsOneOf(start->value, CabrilloVersions())) {
    findings.Add(start->line, kBadVersion,
                 Cat("START-OF-LOG: ", Quoted{start->value},
                     " is not 3.0 or 2.0: the scorer reads the log all the same; write START-OF-LOG: 3.0"));
  }
  if (header.Find(kTagEndOfLog) == nullptr) {
    findings.Add(last_line, kNoEndOfLog,
                 "the log has no END-OF-LOG:, so it may have been cut short: the scorer scores what is there; end "
                 "the log with END-OF-LOG:");
  }
  CheckRequired(header, findings);
  for (const HeaderItem& item : header.items) CheckCategoryWords(item, findings);
  CheckTagsGivenTwice(header, findings);
  CheckCategoryAgainstContacts(header, tally, findings);
}

void CheckClaimedScore(const CabrilloHeader& header, std::int64_t score, Findings& findings) {
  const std::string computed = std::to_string(score);
  const HeaderItem* item = header.Find(kTagClaimedScore);
  if (item == nullptr || item->value.empty()) {
    findings.Add(item != nullptr ? item->line : StartLine(header), kNoClaimedScore,
                 std::string(item != nullptr ? "CLAIMED-SCORE: is empty" : "the header has no CLAIMED-SCORE: line") +
                     ": the computed score is " + computed + "; write CLAIMED-SCORE: " + computed);
    return;
  }
  const std::optional<std::int64_t> claimed = header.ClaimedScore();
  if (claimed && *claimed != score) {
    findings.Add(item->line, kClaimedScore,
                 "CLAIMED-SCORE: " + std::to_string(*claimed) + " differs from the computed score " + computed);
  } else if (!claimed) {
    // Only digits (an optional sign, commas): a whole number too large to hold.
    std::string_view number = item->value;
    if (number.starts_with('+') || number.starts_with('-')) number.remove_prefix(1);
    const bool digits = !number.empty() && number.find_first_not_of("0123456789,") == std::string_view::npos;
    findings.Add(item->line, kClaimedScore,
                 Cat("CLAIMED-SCORE: ", Quoted{item->value}, digits ? " is too large" : " is not a whole number",
                     "; the computed score is ", computed));
  }
}

}  // namespace zelo::check
