// How a contest's checks are kept: each log's bytes and, per record, a
// packed check of a few bytes from which a ContactCheck is made when read.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "contest/contest.h"
#include "input/log_file.h"

namespace zelo {

inline constexpr std::uint32_t kNone = static_cast<std::uint32_t>(-1);
inline constexpr std::uint32_t kNoBandIndex = 7;

// One record's check, packed into 20 bytes: texts are read again from the
// log when a ContactCheck is made. A log has at most kMaxLogBytes = 2^28
// bytes, so offsets fit 28 bits and lengths and line numbers 29.
struct PackedCheck {
  std::uint32_t offset : 28 = 0;  // the record in its log's bytes
  std::uint32_t status : 4 = static_cast<std::uint32_t>(ContactStatus::kNotContact);
  std::uint32_t length : 29 = 0;
  std::uint32_t band : 3 = kNoBandIndex;
  std::uint32_t line : 29 = 0;
  std::uint32_t field : 2 = 0;    // kBustedExchange: 1 for field 12, 2 for field 13
  std::uint32_t counted : 1 = 0;  // adds to the checked score
  std::uint32_t other_log = kNone, other_index = 0;  // the contact it paired with

  ContactStatus Status() const { return static_cast<ContactStatus>(status); }
  void SetStatus(ContactStatus s) { status = static_cast<std::uint32_t>(s) & 0xF; }
};
static_assert(sizeof(PackedCheck) == 20);
static_assert(kMaxLogBytes <= (std::size_t{1} << 28));

// A nil's near miss as kept: the other log's record and what differs.
struct PackedNearMiss {
  NearMiss::Kind kind = NearMiss::Kind::kNone;
  std::uint32_t other_log = kNone, other_index = 0;
  std::int64_t minutes = 0;
};

struct ContestStore {
  std::vector<std::string> bytes;                // each log's text
  std::vector<std::string> calls;                // each log's entrant call
  std::vector<std::vector<PackedCheck>> checks;  // each log's records
  // The near misses of nil contacts, by (log << 32 | record index).
  std::unordered_map<std::uint64_t, PackedNearMiss> near_misses;
};

// The record of a packed check in its log's bytes.
std::string_view RecordText(const ContestStore& store, std::size_t log, const PackedCheck& check);

}  // namespace zelo
