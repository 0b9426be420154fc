#include "check/item_checks.h"

#include <algorithm>
#include <set>
#include <utility>

#include "input/seeded_hash.h"

namespace zelo::check {
namespace {

// The letters CW operators send for digits (cut numbers): 5NN is 599.
bool IsCutNumberReport(std::string_view report) {
  constexpr std::string_view kCutLetters = "TAUVEBDN";
  bool letter = false;
  for (char c : report) {
    if (c >= '0' && c <= '9') continue;
    if (kCutLetters.find(UpperAscii(c)) == std::string_view::npos) return false;
    letter = true;
  }
  return letter;
}

// What the scorer reads of the report, in words.
std::string ReportReading(std::string_view report, bool low) {
  std::string text = Cat("report ", Quoted{report}, " (field 11) ");
  if (IsCutNumberReport(report)) {
    text += "is 599 written the CW way, with letters for digits, but the scorer reads only the digits it begins "
            "with: ";
    return text + (low ? "a value of 9 or less" : "no number at all");
  }
  return text + (low ? "has a value of 9 or less" : "does not begin with a number");
}

}  // namespace

std::size_t ItemChecks::NoCaseHash::operator()(std::string_view item) const {
  return static_cast<std::size_t>(SeededHash(item, 0, [](char c) { return UpperAscii(c); }));
}

void ItemChecks::Counted(Band band, std::string_view item, std::int64_t line) {
  auto [it, inserted] = items_[BandIndex(band)].try_emplace(item, ItemSeen{{item, line}, {}});
  if (inserted) return;
  ItemSeen& seen = it->second;
  findings_.Add(line, kCaseItem,
                Cat("multiplier ", Quoted{item}, " on ", BandText(band), " differs only in case from ",
                    Quoted{seen.first.item}, " on line ", std::to_string(seen.first.line),
                    ": the scorer counts them as two multipliers, a sponsor as one; write them alike"));
  seen.others.push_back({item, line});
}

void ItemChecks::NoMultiplier(const RecordOutcome& out, std::int64_t line) {
  const bool low = out.source == MultiplierSource::kLowReport;
  const std::string_view item = out.fields[kFieldItem];
  findings_.Add(line, low ? kLowReport : kNoNumber, ReportReading(out.fields[kFieldReport], low));
  pending_.push_back({findings_.List().size() - 1, *out.band, item, low});
}

std::int64_t ItemChecks::LineCounting(Band band, std::string_view item) const {
  const BandItems& items = items_[BandIndex(band)];
  const auto it = items.find(item);
  if (it == items.end()) return 0;
  if (it->second.first.item == item) return it->second.first.line;
  for (const Spelling& other : it->second.others) {
    if (other.item == item) return other.line;
  }
  return 0;
}

void ItemChecks::Finish() {
  std::set<std::pair<std::size_t, std::string_view>> lost;
  for (const Pending& p : pending_) {
    Finding& finding = findings_.List()[p.finding];
    const std::int64_t counting = LineCounting(p.band, p.item);
    if (counting != 0) {
      const FindingKind& kind = p.low ? kLowReportCounted : kNoNumberCounted;
      finding.code = kind.code;
      finding.severity = kind.severity;
      finding.message += Cat(": field 13 ", Quoted{p.item}, " brings no multiplier here, but ", Quoted{p.item},
                             " counts on ", BandText(p.band), " from line ", std::to_string(counting),
                             ", so nothing is lost");
      continue;
    }
    const bool first = lost.emplace(BandIndex(p.band), p.item).second;
    finding.effect.lost_multipliers = first ? 1 : 0;
    finding.message += Cat(": field 13 ", Quoted{p.item}, " brings no multiplier, and no other contact on ",
                           BandText(p.band), " brings it: this costs the multiplier ", Quoted{p.item}, " on ",
                           BandText(p.band));
  }
}

}  // namespace zelo::check
