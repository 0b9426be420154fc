#include "check/item_checks.h"

#include <algorithm>
#include <set>
#include <utility>

#include "input/cabrillo_vocabulary.h"
#include "check/band_slots.h"

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
  std::string text = Cat("report ", Quoted{report}, " (", FieldText(kFieldReport), ") ");
  if (IsCutNumberReport(report)) {
    text += "is 599 written the CW way, with letters for digits, but the scorer reads only the digits it begins "
            "with: ";
    return text + (low ? "a value of 9 or less" : "no number at all");
  }
  return text + (low ? "has a value of 9 or less" : "does not begin with a number");
}

}  // namespace

std::size_t ItemChecks::SlotOf(Band band, std::string_view item, std::uint64_t hash) const {
  const auto hash32 = static_cast<std::uint32_t>(hash);
  const std::uint32_t size_band = SizeBand(band, item);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.data == nullptr) return i;
    if (slot.hash == hash32 && slot.size_band == size_band && EqualNoCase({slot.data, item.size()}, item)) return i;
  }
}

void ItemChecks::Grow() {
  GrowSlots(slots_, [](const Slot& slot) { return slot.data == nullptr; });
}

void ItemChecks::Counted(Band band, std::string_view item, std::int64_t line) {
  if ((size_ + 1) * 2 > slots_.size()) Grow();
  const std::uint64_t hash = BandTextHash(band, item);
  Slot& slot = slots_[SlotOf(band, item, hash)];
  if (slot.data == nullptr) {
    slot = {item.data(), static_cast<std::uint32_t>(hash), SizeBand(band, item), static_cast<std::uint32_t>(line)};
    ++size_;
    return;
  }
  const std::string_view first(slot.data, item.size());
  findings_.Add(line, kCaseItem,
                Cat("multiplier ", Quoted{item}, " on ", BandText(band), " differs only in case from ", Quoted{first},
                    " on line ", std::to_string(slot.line),
                    ": the scorer counts them as two multipliers, a sponsor as one; write them alike"));
  others_.emplace(slot.data, Spelling{item, line});
}

void ItemChecks::NoMultiplier(const RecordOutcome& out, std::int64_t line) {
  const bool low = out.source == MultiplierSource::kLowReport;
  const std::string_view item = out.fields[kFieldItem];
  findings_.Add(line, low ? kLowReport : kNoNumber, ReportReading(out.fields[kFieldReport], low));
  pending_.push_back({findings_.List().size() - 1, *out.band, item, low});
}

// Each spelling is counted once on its band (the scorer tells only a new
// one), so the first that matches is the only one.
std::int64_t ItemChecks::LineCounting(Band band, std::string_view item) const {
  if (slots_.empty()) return 0;
  const Slot& slot = slots_[SlotOf(band, item, BandTextHash(band, item))];
  if (slot.data == nullptr) return 0;
  if (std::string_view(slot.data, item.size()) == item) return slot.line;
  const auto [from, to] = others_.equal_range(slot.data);
  for (auto it = from; it != to; ++it) {
    if (it->second.item == item) return it->second.line;
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
      finding.message += Cat(": ", FieldText(kFieldItem), " ", Quoted{p.item}, " brings no multiplier here, but ", Quoted{p.item},
                             " counts on ", BandText(p.band), " from line ", std::to_string(counting),
                             ", so nothing is lost");
      continue;
    }
    const bool first = lost.emplace(BandIndex(p.band), p.item).second;
    finding.effect.lost_multipliers = first ? 1 : 0;
    finding.message += Cat(": ", FieldText(kFieldItem), " ", Quoted{p.item}, " brings no multiplier, and no other contact on ",
                           BandText(p.band), " brings it: this costs the multiplier ", Quoted{p.item}, " on ",
                           BandText(p.band));
  }
}

}  // namespace zelo::check
