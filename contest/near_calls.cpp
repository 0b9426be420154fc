#include "contest/near_calls.h"

#include <algorithm>

#include "input/text.h"

namespace zelo {
namespace {

std::string Dropped(const std::string& call, std::size_t i) {
  std::string variant = call;
  variant.erase(i, 1);
  return variant;
}

// The key of a variant together with the place of the dropped character.
std::string PlaceKey(const std::string& variant, std::size_t i) {
  std::string key = variant;
  key += '\0';
  key += static_cast<char>('0' + i);
  return key;
}

}  // namespace

std::optional<std::string_view> WithoutPortableSuffix(std::string_view call) {
  const std::size_t slash = call.rfind('/');
  if (slash == std::string_view::npos || slash == 0) return std::nullopt;
  const std::string_view suffix = call.substr(slash + 1);
  if (suffix.empty() || suffix.size() > 3) return std::nullopt;
  const bool alnum = std::all_of(suffix.begin(), suffix.end(), [](char c) {
    const char u = UpperAscii(c);
    return (u >= 'A' && u <= 'Z') || (c >= '0' && c <= '9');
  });
  if (!alnum) return std::nullopt;
  return call.substr(0, slash);
}

bool OneEditApart(std::string_view a, std::string_view b) {
  if (a.size() > b.size()) std::swap(a, b);
  if (b.size() - a.size() > 1) return false;
  std::size_t i = 0;
  while (i < a.size() && UpperAscii(a[i]) == UpperAscii(b[i])) ++i;
  if (a.size() == b.size()) {
    if (i == a.size()) return false;  // equal
    // One changed character, or two neighbours swapped.
    const auto same_from = [&](std::size_t from) {
      for (std::size_t k = from; k < a.size(); ++k) {
        if (UpperAscii(a[k]) != UpperAscii(b[k])) return false;
      }
      return true;
    };
    if (same_from(i + 1)) return true;
    return i + 1 < a.size() && UpperAscii(a[i]) == UpperAscii(b[i + 1]) && UpperAscii(a[i + 1]) == UpperAscii(b[i]) && same_from(i + 2);
  }
  // b has one character more: dropping b[i] gives a.
  for (std::size_t k = i; k < a.size(); ++k) {
    if (UpperAscii(a[k]) != UpperAscii(b[k + 1])) return false;
  }
  return true;
}

void NearCallIndex::Add(std::string_view call, std::uint32_t id) {
  if (call.empty() || call.size() > kMaxCallLength) return;
  const std::string upper = UpperAscii(call);
  entries_.push_back({id, upper});
  std::string last;
  for (std::size_t i = 0; i < upper.size(); ++i) {
    const std::string variant = Dropped(upper, i);
    by_place_[PlaceKey(variant, i)].push_back(id);
    // Dropping either of two equal neighbours gives the same variant: listed once.
    if (i > 0 && upper[i] == upper[i - 1]) continue;
    by_call_[variant].push_back(id);
  }
  by_call_[PlaceKey(upper, kMaxCallLength + 1)].push_back(id);  // the call itself
}

std::vector<std::uint32_t> NearCallIndex::Near(std::string_view call) const {
  std::vector<std::uint32_t> found;
  if (call.empty() || call.size() > kMaxCallLength) return found;
  const std::string upper = UpperAscii(call);
  const auto gather = [&](const auto& map, const std::string& key) {
    const auto it = map.find(key);
    if (it == map.end()) return;
    found.insert(found.end(), it->second.begin(), it->second.end());
  };
  // An entrant with one character more: dropping it gives this call.
  gather(by_call_, upper);
  for (std::size_t i = 0; i < upper.size(); ++i) {
    const std::string variant = Dropped(upper, i);
    // An entrant with one character less.
    gather(by_call_, PlaceKey(variant, kMaxCallLength + 1));
    // One character changed at i; or two swapped at i and i+1: dropping
    // the first of them from this call and the second from the entrant's
    // leaves the same variant.
    gather(by_place_, PlaceKey(variant, i));
    gather(by_place_, PlaceKey(variant, i + 1));
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  std::vector<std::uint32_t> near;
  for (std::uint32_t id : found) {
    const auto entry = std::lower_bound(entries_.begin(), entries_.end(), id,
                                        [](const Entry& e, std::uint32_t want) { return e.id < want; });
    if (entry == entries_.end() || entry->id != id || !OneEditApart(entry->call, upper)) continue;
    near.push_back(id);
    if (near.size() == kMaxNear) break;
  }
  return near;
}

}  // namespace zelo
