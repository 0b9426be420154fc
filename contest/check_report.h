// The content both writers share: what is found once for a whole contest
// (file names, places, who miscopied whom, who logged an entrant it did not
// log), the words for each contact's status, and the plain-text report and
// results table built from them. Nothing here decides a status.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "contest/contest.h"
#include "input/log_file.h"

namespace zelo {

inline constexpr std::array<ContactStatus, kStatusCount> kAllStatuses = {
    ContactStatus::kConfirmed, ContactStatus::kBustedExchange, ContactStatus::kBustedCall,
    ContactStatus::kNil,       ContactStatus::kUnique,         ContactStatus::kUnverified,
    ContactStatus::kRepeat,    ContactStatus::kNoBand,         ContactStatus::kNotContact};

// One contact of one log.
struct ContactRef {
  std::size_t log = 0;
  std::size_t contact = 0;  // index into that log's contacts
};

// Found once for the whole contest, in one pass over every contact.
struct ContestIndex {
  std::string title;                  // the site's and the reports' title
  std::vector<CategoryGroup> groups;  // RankByCategory
  std::vector<std::size_t> group;     // per log: its group, kNoLog when not ranked
  std::vector<std::int64_t> place;    // per log: its place in its group, 0 when not ranked
  std::vector<std::string> stems;     // per log: its unique, safe file name without extension
  // Per log: the other logs' contacts that logged its call one edit wrong or
  // copied its exchange wrong, and those that logged it but are not in its log.
  std::vector<std::vector<ContactRef>> miscopied;
  std::vector<std::vector<ContactRef>> not_in_log;
  std::unordered_map<std::string, std::size_t> log_of_call;  // upper-case call -> its log that counts
};

// `reserved` names stems the writer uses for its own files; an empty title
// is read from the logs (ContestTitle).
ContestIndex IndexContest(const ContestResult& result, const std::vector<std::string>& reserved,
                          const std::string& title = {});

// The logs' most common CONTEST: value (the first in byte order on a tie),
// "Contest results" when none gives one.
std::string ContestTitle(const ContestResult& result);

// The files of the contest's logs, which no output may replace.
std::vector<FileIdentity> LogFiles(const ContestResult& result);

// Why a contact has its status, or does not count, in words; values from
// the log are as logged (the caller makes them safe for where they go).
struct ContactReason {
  std::string text;
  std::size_t other_log = kNoLog;  // the log that shows it, when one does
  std::int64_t other_line = 0;     // the line there, 0 when no line
};
ContactReason ExplainContact(const ContestResult& result, const ContestIndex& index, std::size_t log,
                             const ContactCheck& contact);

// What another station's contact got wrong of this entrant, as the entrant
// reads it: "logged your call as K1ABD", "field 13 copied as "05", you sent "5"".
std::string ExplainMiscopy(const ContactCheck& theirs);

// "SINGLE-OP ALL HIGH CW": the parts that are set, by blanks; "none" when none is.
std::string CategoryLine(const CategoryText& category);
std::string GroupLine(const CategoryGroup& group);
// "20 m"; empty when the contact is on no band.
std::string BandText(const ContactCheck& contact);
// The entrant's call, or its file's name when it gives none.
std::string EntrantName(const LogCheck& log);

// "2 of 5 in SINGLE-OP ...", "not ranked: check log", "not ranked: superseded by x.log".
std::string PlaceText(const ContestResult& result, const ContestIndex& index, std::size_t log);
// "Your log's times are about 30 minutes off the other logs': 14 contacts were
// confirmed with that offset"; empty when no offset was found.
std::string ClockText(const LogCheck& log);
// How much the checked score is below the score as scored: "10.9%".
std::string ReductionText(const LogCheck& log);

// The contacts that do not count.
std::size_t NotCountedCount(const ContactList& contacts);

// The plain-text checking report of log `log` (lines end in CR LF).
std::string EntrantReport(const ContestResult& result, const ContestIndex& index, std::size_t log);

// results.csv: a header row, then one row per log in the order given, then
// one per skipped file.
std::string ResultsCsv(const ContestResult& result, const ContestIndex& index);

}  // namespace zelo
