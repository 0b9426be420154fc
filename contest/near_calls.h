// Calls one edit apart: one character changed, added or dropped, or two
// neighbours swapped. Used to find the station a miscopied call belongs to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelo {

// The call without its portable suffix (a trailing "/" and one to three
// letters or digits: /P, /M, /QRP, /7); nullopt for a call without one.
std::optional<std::string_view> WithoutPortableSuffix(std::string_view call);

// True when `a` and `b` are one edit apart (never when they are equal),
// compared without regard to case.
bool OneEditApart(std::string_view a, std::string_view b);

// The entrants' calls, indexed by every way of dropping one character from
// them (and by the call itself), so that the calls one edit away from a call
// are found by looking up that call's own variants instead of comparing it
// with every entrant. Every list looked up holds either true neighbours only
// or calls that differ in one character alone, so a lookup stays bounded
// however alike the calls are.
class NearCallIndex {
 public:
  // Calls longer than this take no part: no station has one.
  static constexpr std::size_t kMaxCallLength = 32;
  // At most this many neighbours are given for one call, the first by id.
  static constexpr std::size_t kMaxNear = 16;

  void Add(std::string_view call, std::uint32_t id);
  // The ids of the added calls one edit away from `call`, in ascending order.
  std::vector<std::uint32_t> Near(std::string_view call) const;

 private:
  struct Entry {
    std::uint32_t id;
    std::string call;  // upper case
  };
  std::unordered_map<std::string, std::vector<std::uint32_t>> by_call_;  // a call dropping one character
  std::unordered_map<std::string, std::vector<std::uint32_t>> by_place_;  // variant and where it was dropped
  std::vector<Entry> entries_;
};

}  // namespace zelo
