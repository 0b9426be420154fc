// The content both writers share: what is found once for a whole contest
// (file names, ranks, who miscopied whom), the words for each contact's
// status, and the plain-text report and results table built from them.
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

inline constexpr std::array<ContactStatus, 9> kAllStatuses = {
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
  std::vector<CategoryGroup> groups;  // RankByCategory
  std::vector<std::size_t> group;     // per log: its group, kNoLog when not ranked
  std::vector<std::size_t> rank;      // per log: 1-based place in its group, 0 when not ranked
  std::vector<std::string> stems;     // per log: its unique, safe file name without extension
  // Per log: the other logs' contacts that logged its call one edit wrong or
  // copied its exchange wrong.
  std::vector<std::vector<ContactRef>> miscopied;
  std::unordered_map<std::string, std::size_t> log_of_call;  // upper-case call -> first log
};

// The files of the contest's logs, which no output may replace.
std::vector<FileIdentity> LogFiles(const ContestResult& result);

// `reserved` names stems the writer uses for its own files.
ContestIndex IndexContest(const ContestResult& result, const std::vector<std::string>& reserved);

// Why a contact has its status, in words; values from the log are as
// logged (the caller escapes them for where they go).
struct ContactReason {
  std::string text;
  std::size_t other_log = kNoLog;  // the log that shows it, when one does
  std::int64_t other_line = 0;     // the line there, 0 when no line
};
ContactReason ExplainContact(const ContestIndex& index, const ContactCheck& contact);

// What another station's contact got wrong of this entrant, as the entrant
// reads it: "logged your call as K1ABD", "field 13 copied as "05", you sent "5"".
std::string ExplainMiscopy(const ContactCheck& theirs);

// "SINGLE-OP ALL HIGH CW": the parts that are set, by blanks; "none" when none is.
std::string CategoryLine(const CategoryText& category);
std::string GroupLine(const CategoryGroup& group);
// "20 m"; empty when the contact is on no band.
std::string BandText(const ContactCheck& contact);

// The contacts whose status is not confirmed.
std::size_t UnconfirmedCount(const ContactList& contacts);

// The plain-text checking report of log `log` (lines end in CR LF).
std::string EntrantReport(const ContestResult& result, const ContestIndex& index, std::size_t log);

// results.csv: a header row, then one row per log in the order given.
std::string ResultsCsv(const ContestResult& result, const ContestIndex& index);

}  // namespace zelo
