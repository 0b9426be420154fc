#include "contest/check_report.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "contest/output_text.h"
#include "input/text.h"

namespace zelo {
namespace {

constexpr std::string_view kNoCategory = "none";
constexpr std::string_view kDefaultTitle = "Contest results";

// "junk" of "junk.txt": names the files of a log without a call.
std::string FileBaseName(std::string_view file) {
  const std::size_t dot = file.rfind('.');
  if (dot != std::string_view::npos && dot > 0) file = file.substr(0, dot);
  return std::string(file);
}

// The stations a log's contacts show as miscopying another entrant, or as
// logging one that did not log them.
void IndexContacts(const ContestResult& result, ContestIndex& index) {
  const std::size_t count = result.logs.size();
  index.miscopied.assign(count, {});
  index.not_in_log.assign(count, {});
  for (std::size_t i = 0; i < count; ++i) {
    const ContactList& contacts = result.logs[i].contacts;
    for (std::size_t c = 0; c < contacts.size(); ++c) {
      const ContactStatus status = contacts.StatusAt(c);
      if (status != ContactStatus::kBustedExchange && status != ContactStatus::kBustedCall &&
          status != ContactStatus::kNil) {
        continue;
      }
      const ContactCheck contact = contacts[c];
      if (status == ContactStatus::kNil) {
        const auto found = index.log_of_call.find(UpperAscii(contact.worked_call));
        if (found != index.log_of_call.end()) index.not_in_log[found->second].push_back({i, c});
      } else if (contact.other_log < count) {
        index.miscopied[contact.other_log].push_back({i, c});
      }
    }
  }
}

std::string NearMissText(const ContactCheck& contact, int window) {
  const NearMiss& miss = contact.near_miss;
  switch (miss.kind) {
    case NearMiss::Kind::kTime:
      return contact.worked_call + " logged you " + std::to_string(miss.minutes) + " minutes apart (window " +
             std::to_string(window) + ")";
    case NearMiss::Kind::kBand:
      return contact.worked_call + " logged you on " + (miss.band ? BandText(*miss.band) : std::string("another band"));
    case NearMiss::Kind::kMode:
      return contact.worked_call + " logged you on " + miss.mode;
    case NearMiss::Kind::kNone:
      break;
  }
  return "not in the log of " + contact.worked_call;
}

}  // namespace

std::string ContestTitle(const ContestResult& result) {
  std::map<std::string, std::size_t> seen;
  for (const LogCheck& log : result.logs) {
    if (!log.contest.empty()) ++seen[log.contest];
  }
  const auto most = std::max_element(seen.begin(), seen.end(),
                                     [](const auto& a, const auto& b) { return a.second < b.second; });
  return most == seen.end() ? std::string(kDefaultTitle) : most->first;
}

std::vector<FileIdentity> LogFiles(const ContestResult& result) {
  std::vector<FileIdentity> files;
  for (const LogCheck& log : result.logs) {
    if (auto id = IdentityOf(log.file)) files.push_back(*id);
  }
  return files;
}

ContestIndex IndexContest(const ContestResult& result, const std::vector<std::string>& reserved,
                          const std::string& title) {
  ContestIndex index;
  index.title = title.empty() ? ContestTitle(result) : title;
  const std::size_t count = result.logs.size();
  index.groups = RankByCategory(result);
  index.group.assign(count, kNoLog);
  index.place.assign(count, 0);
  for (std::size_t g = 0; g < index.groups.size(); ++g) {
    const CategoryGroup& group = index.groups[g];
    for (std::size_t k = 0; k < group.logs.size(); ++k) {
      index.group[group.logs[k]] = g;
      index.place[group.logs[k]] = group.places[k];
    }
  }
  std::vector<std::string> names;
  names.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const LogCheck& log = result.logs[i];
    names.push_back(log.call.empty() ? FileBaseName(log.name) : log.call);
    if (log.superseded_by == kNoLog && !log.call.empty()) index.log_of_call.try_emplace(UpperAscii(log.call), i);
  }
  index.stems = UniqueFileStems(names, reserved);
  IndexContacts(result, index);
  return index;
}

ContactReason ExplainContact(const ContestResult& result, const ContestIndex& index, std::size_t log,
                             const ContactCheck& contact) {
  ContactReason reason;
  reason.other_log = contact.other_log;
  reason.other_line = contact.other_line;
  switch (contact.status) {
    case ContactStatus::kConfirmed:
      reason.text = "confirmed";
      break;
    case ContactStatus::kBustedExchange:
      reason.text = "field " + contact.field + " copied as " + QuoteLogBytes(contact.logged) + ", sent as " + QuoteLogBytes(contact.sent);
      break;
    case ContactStatus::kBustedCall:
      reason.text = "the station worked was " + contact.correct_call;
      break;
    case ContactStatus::kNil: {
      reason.text = NearMissText(contact, result.time_window_minutes);
      const auto found = index.log_of_call.find(UpperAscii(contact.worked_call));
      reason.other_log = found != index.log_of_call.end() ? found->second : kNoLog;
      reason.other_line = contact.near_miss.line;
      break;
    }
    case ContactStatus::kUnique:
      reason.text = "no log from this call, and no other log has it";
      break;
    case ContactStatus::kUnverified:
      reason.text = "no log from this call; other logs have it";
      break;
    case ContactStatus::kRepeat:
      reason.text = "a repeat of the contact before it";
      break;
    case ContactStatus::kNoBand:
      reason.text = "its frequency is on no band of the contest";
      break;
    case ContactStatus::kNotContact:
      reason.text = "not a contact";
      break;
  }
  const LogCheck& check = result.logs[log];
  const bool counts = contact.status == ContactStatus::kConfirmed || contact.status == ContactStatus::kUnique ||
                      contact.status == ContactStatus::kUnverified;
  if (counts && !contact.counted && check.entry_band && contact.band) {
    reason.text += ", but on " + BandText(*contact.band) + ", not on the entry's band " + BandText(*check.entry_band);
  }
  return reason;
}

std::string ExplainMiscopy(const ContactCheck& theirs) {
  if (theirs.status == ContactStatus::kBustedCall) return "logged your call as " + theirs.worked_call;
  if (theirs.status == ContactStatus::kNil) return "logged you; you did not log them";
  return "field " + theirs.field + " copied as " + QuoteLogBytes(theirs.logged) + ", you sent " + QuoteLogBytes(theirs.sent);
}

std::string CategoryLine(const CategoryText& category) {
  std::string line;
  for (const std::string& part : category.parts) {
    if (part.empty()) continue;
    if (!line.empty()) line += ' ';
    line += part;
  }
  return line.empty() ? std::string(kNoCategory) : line;
}

std::string GroupLine(const CategoryGroup& group) { return CategoryLine(group.category); }

std::string BandText(const ContactCheck& contact) { return contact.band ? BandText(*contact.band) : std::string(); }

std::string EntrantName(const LogCheck& log) { return log.call.empty() ? log.name : log.call; }

std::string PlaceText(const ContestResult& result, const ContestIndex& index, std::size_t log) {
  const LogCheck& check = result.logs[log];
  if (check.superseded_by != kNoLog) {
    return "not ranked: superseded by " + result.logs[check.superseded_by].name + ", a later log of this call";
  }
  if (check.category.checklog) return "not ranked: check log";
  if (index.place[log] == 0) return "not ranked";
  const CategoryGroup& group = index.groups[index.group[log]];
  return std::to_string(index.place[log]) + " of " + std::to_string(group.logs.size()) + " in " + GroupLine(group);
}

std::string ClockText(const LogCheck& log) {
  if (!log.clock_offset) return {};
  return "Your log's times are about " + std::to_string(std::abs(*log.clock_offset)) +
         " minutes off the other logs': " + std::to_string(log.offset_paired) +
         (log.offset_paired == 1 ? " contact was" : " contacts were") + " confirmed with that offset";
}

std::string ReductionText(const LogCheck& log) {
  if (log.score <= 0) return "-";
  const double reduction = 100.0 * static_cast<double>(log.score - log.checked_score) / static_cast<double>(log.score);
  char text[32];
  std::snprintf(text, sizeof text, "%.1f%%", reduction);
  return text;
}

std::size_t NotCountedCount(const ContactList& contacts) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < contacts.size(); ++i) count += contacts.CountedAt(i) ? 0 : 1;
  return count;
}

}  // namespace zelo
