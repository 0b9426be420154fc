// RankByCategory: the logs that are ranked, grouped by their category and
// placed by checked score.
#include <algorithm>
#include <array>
#include <map>

#include "contest/contest.h"
#include "input/text.h"

namespace zelo {
namespace {

struct GroupPart {
  CategoryPart part;
  std::string_view missing;  // how a part the log does not give is read
};
constexpr std::array<GroupPart, 6> kGroupedBy = {{
    {CategoryPart::kOperator, ""},
    {CategoryPart::kAssisted, "NON-ASSISTED"},
    {CategoryPart::kBand, "ALL"},
    {CategoryPart::kPower, ""},
    {CategoryPart::kMode, ""},
    {CategoryPart::kTransmitter, "ONE"},
}};

using GroupKey = std::array<std::string, kGroupedBy.size()>;

GroupKey KeyOf(const CategoryText& category) {
  GroupKey key;
  for (std::size_t k = 0; k < kGroupedBy.size(); ++k) {
    const std::string& value = category[kGroupedBy[k].part];
    key[k] = UpperAscii(value.empty() ? kGroupedBy[k].missing : std::string_view(value));
  }
  return key;
}

}  // namespace

std::vector<CategoryGroup> RankByCategory(const ContestResult& result) {
  std::map<GroupKey, std::vector<std::size_t>> groups;
  for (std::size_t i = 0; i < result.logs.size(); ++i) {
    const LogCheck& log = result.logs[i];
    if (log.category.checklog || log.superseded_by != kNoLog) continue;
    groups[KeyOf(log.category)].push_back(i);
  }
  std::vector<CategoryGroup> ranked;
  for (auto& [key, logs] : groups) {
    std::stable_sort(logs.begin(), logs.end(), [&result](std::size_t a, std::size_t b) {
      return result.logs[a].checked_score > result.logs[b].checked_score;
    });
    CategoryGroup group;
    for (std::size_t k = 0; k < kGroupedBy.size(); ++k) group.category[kGroupedBy[k].part] = key[k];
    for (std::size_t p = 0; p < logs.size(); ++p) {
      const bool tie = p > 0 && result.logs[logs[p]].checked_score == result.logs[logs[p - 1]].checked_score;
      group.places.push_back(tie ? group.places.back() : static_cast<std::int64_t>(p) + 1);
    }
    group.logs = std::move(logs);
    ranked.push_back(std::move(group));
  }
  return ranked;
}

}  // namespace zelo
