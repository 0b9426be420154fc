#include "contest/contest_store.h"

#include <utility>

#include "input/line_ends.h"

namespace zelo {
namespace {

std::optional<Band> BandAt(std::uint32_t index) {
  return index == kNoBandIndex ? std::nullopt : std::optional<Band>(kBands[index]);
}

void AddNearMiss(const ContestStore& store, std::size_t log, std::uint32_t index, ContactCheck& check) {
  const auto found = store.near_misses.find(std::uint64_t{log} << 32 | index);
  if (found == store.near_misses.end()) return;
  const PackedNearMiss& miss = found->second;
  const PackedCheck& other = store.checks[miss.other_log][miss.other_index];
  check.near_miss.kind = miss.kind;
  check.near_miss.line = other.line;
  check.near_miss.minutes = miss.minutes;
  check.near_miss.band = BandAt(other.band);
  const std::string_view record = RecordText(store, miss.other_log, other);
  check.near_miss.mode = std::string(SplitQsoFields(record)[kFieldMode]);
  check.near_miss.record = std::string(DropLineEnd(record));
}

ContactCheck MakeCheck(const ContestStore& store, std::size_t log, std::uint32_t index) {
  const PackedCheck& packed = store.checks[log][index];
  ContactCheck check;
  check.line = packed.line;
  check.status = packed.Status();
  check.counted = packed.counted != 0;
  check.band = BandAt(packed.band);
  const std::string_view record = RecordText(store, log, packed);
  check.record = std::string(DropLineEnd(record));
  const QsoFields fields = SplitQsoFields(record);
  check.mode = std::string(fields[kFieldMode]);
  check.worked_call = std::string(fields[kFieldWorkedCall]);
  if (packed.Status() == ContactStatus::kNil) AddNearMiss(store, log, index, check);
  if (packed.other_log == kNone) return check;
  const PackedCheck& other = store.checks[packed.other_log][packed.other_index];
  const std::string_view other_record = RecordText(store, packed.other_log, other);
  check.other_log = packed.other_log;
  check.other_line = other.line;
  check.other_record = std::string(DropLineEnd(other_record));
  if (packed.Status() == ContactStatus::kBustedCall) check.correct_call = store.calls[packed.other_log];
  if (packed.field != 0) {
    const ExchangeField& exchange = kExchangeFields[packed.field - 1];
    check.field = std::to_string(exchange.received);
    check.logged = std::string(fields[exchange.received]);
    check.sent = std::string(SplitQsoFields(other_record)[exchange.sent]);
  }
  return check;
}

}  // namespace

std::string_view RecordText(const ContestStore& store, std::size_t log, const PackedCheck& check) {
  return std::string_view(store.bytes[log]).substr(check.offset, check.length);
}

std::string_view StatusName(ContactStatus status) {
  switch (status) {
    case ContactStatus::kConfirmed: return "confirmed";
    case ContactStatus::kBustedExchange: return "busted-exchange";
    case ContactStatus::kBustedCall: return "busted-call";
    case ContactStatus::kNil: return "nil";
    case ContactStatus::kUnique: return "unique";
    case ContactStatus::kUnverified: return "unverified";
    case ContactStatus::kRepeat: return "repeat";
    case ContactStatus::kNoBand: return "no-band";
    case ContactStatus::kNotContact: return "not-contact";
  }
  return "not-contact";
}

ContactList::ContactList(std::shared_ptr<const ContestStore> store, std::size_t log)
    : store_(std::move(store)), log_(log) {}

std::size_t ContactList::size() const { return (store_ ? store_->checks[log_].size() : 0) + added_.size(); }

ContactCheck ContactList::operator[](std::size_t index) const {
  const std::size_t packed = store_ ? store_->checks[log_].size() : 0;
  if (index < packed) return MakeCheck(*store_, log_, static_cast<std::uint32_t>(index));
  return added_[index - packed];
}

ContactStatus ContactList::StatusAt(std::size_t index) const {
  const std::size_t packed = store_ ? store_->checks[log_].size() : 0;
  if (index < packed) return store_->checks[log_][index].Status();
  return added_[index - packed].status;
}

bool ContactList::CountedAt(std::size_t index) const {
  const std::size_t packed = store_ ? store_->checks[log_].size() : 0;
  if (index < packed) return store_->checks[log_][index].counted != 0;
  return added_[index - packed].counted;
}

void ContactList::push_back(ContactCheck check) { added_.push_back(std::move(check)); }

std::int64_t LogCheck::Count(ContactStatus status) const {
  std::int64_t count = 0;
  for (std::size_t i = 0; i < contacts.size(); ++i) count += contacts.StatusAt(i) == status ? 1 : 0;
  return count;
}

}  // namespace zelo
