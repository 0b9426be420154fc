// A whole contest: many logs scored, every contact cross-checked against the
// other station's log, and the results per category.
//
// The event's own rules are the scoring run's (scoring/): a contact takes
// part in the cross-check when the run stored it on a band, or dropped it
// as a repeat of the contact before it (a repeat confirms the other
// station's contact but never counts itself); a log's checked score is the
// run over the log as it is, every record in its place, where only the
// contacts the cross-check lets count add contacts and multipliers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/cabrillo_vocabulary.h"
#include "scoring/qso_fields.h"

namespace zelo {

// What the cross-check found of one "QSO:" record.
enum class ContactStatus {
  kConfirmed,       // the other station logged it too, exchange as sent
  kBustedExchange,  // paired, but the exchange copied differs from the one sent
  kBustedCall,      // the call logged is wrong: a station one edit away (or the same call with or
                    // without a portable suffix) logged this contact, and the call logged did not
  kNil,             // the station worked sent a log without this contact
  kUnique,          // the station worked sent no log and is in no other log
  kUnverified,      // the station worked sent no log but is in another log
  kRepeat,          // dropped by the scoring run as a repeat
  kNoBand,          // its frequency names no band
  kNotContact,      // a "QSO:" the scoring run takes for no contact
};
inline constexpr std::size_t kStatusCount = 9;

// "confirmed", "busted-exchange", "busted-call", "nil", "unique",
// "unverified", "repeat", "no-band", "not-contact".
std::string_view StatusName(ContactStatus status);

inline constexpr std::size_t kNoLog = static_cast<std::size_t>(-1);

// The nearest near miss of a nil contact in the other station's log: the
// station logged this one, but too far apart in time, on another band, or
// in another mode.
struct NearMiss {
  enum class Kind { kNone, kTime, kBand, kMode };
  Kind kind = Kind::kNone;
  std::int64_t line = 0;     // its line in the other log
  std::int64_t minutes = 0;  // kTime: how far apart
  std::optional<Band> band;  // kBand: the band it is on
  std::string mode;          // kMode: its mode as logged
  std::string record;        // its whole QSO line, without the line end
};

struct ContactCheck {
  std::int64_t line = 0;  // 1-based line of its "QSO:" in its log
  ContactStatus status = ContactStatus::kNotContact;
  bool counted = false;        // adds to the checked score
  std::optional<Band> band;    // the contacts that take part
  std::string mode;            // field 3 as logged
  std::string worked_call;     // field 10 as logged
  std::string correct_call;    // kBustedCall: the call of the log that holds the contact
  std::size_t other_log = kNoLog;  // the log it paired with (index into ContestResult::logs)
  std::int64_t other_line = 0;     // the line of the contact it paired with
  std::string field;   // kBustedExchange: the first field that differs ("12" or "13")
  std::string logged;  // kBustedExchange: what this log copied
  std::string sent;    // kBustedExchange: what the other station logged as sent
  std::string record;        // its whole QSO line as logged, without the line end
  std::string other_record;  // the other log's line, when paired
  NearMiss near_miss;        // kNil: the nearest near miss, when there is one
};

// The parts of a category, from CATEGORY-* (version 3) or CATEGORY: (version 2).
struct CategoryText {
  std::array<std::string, kCategoryPartCount> parts;
  bool checklog = false;

  const std::string& operator[](CategoryPart part) const { return parts[static_cast<std::size_t>(part)]; }
  std::string& operator[](CategoryPart part) { return parts[static_cast<std::size_t>(part)]; }
};

struct ContestStore;  // the logs' bytes and the packed checks of a contest (contest_store.h)

// The checks of one log's contacts, in log order. The cross-check keeps them
// packed, a few bytes per contact, and makes each ContactCheck as it is read
// from the logs' bytes, which the list keeps alive: a contest of millions of
// contacts fits in little more memory than its logs. Checks may also be
// added one by one (tests, tools). Reading gives values:
// `for (const ContactCheck& c : log.contacts)` works as for a vector.
class ContactList {
 public:
  class Iterator {
   public:
    using value_type = ContactCheck;
    using difference_type = std::ptrdiff_t;
    Iterator() = default;
    Iterator(const ContactList* list, std::size_t index) : list_(list), index_(index) {}
    ContactCheck operator*() const { return (*list_)[index_]; }
    Iterator& operator++() {
      ++index_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++index_;
      return before;
    }
    bool operator==(const Iterator& other) const { return index_ == other.index_; }

   private:
    const ContactList* list_ = nullptr;
    std::size_t index_ = 0;
  };

  ContactList() = default;
  ContactList(std::shared_ptr<const ContestStore> store, std::size_t log);

  std::size_t size() const;
  bool empty() const { return size() == 0; }
  ContactCheck operator[](std::size_t index) const;
  // The status alone, and whether it counts, without making the whole check.
  ContactStatus StatusAt(std::size_t index) const;
  bool CountedAt(std::size_t index) const;
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, size()}; }
  void push_back(ContactCheck check);

 private:
  std::shared_ptr<const ContestStore> store_;
  std::size_t log_ = 0;
  std::vector<ContactCheck> added_;
};

// A band's contacts and multipliers.
struct BandCounts {
  std::int64_t qsos = 0;
  std::int64_t mults = 0;
};

struct LogCheck {
  std::string file;  // the path as given: for the terminal only
  std::string name;  // the file's name without its folders: what reports, pages and the CSV show
  std::string call;  // CALLSIGN:, else field 6 of the first contact
  CategoryText category;
  std::string contest, club, operators;  // CONTEST:, CLUB:, OPERATORS:
  std::vector<std::string> soapbox;      // the SOAPBOX: values, in order
  std::optional<Band> entry_band;        // a single-band entry's band (CATEGORY-BAND: 20M, ...)
  std::int64_t qsos = 0, mults = 0, score = 0;  // the event's score of the log as sent
  std::array<BandCounts, kBandCount> bands;     // the same per band
  std::optional<std::int64_t> claimed_score;    // CLAIMED-SCORE:, when given
  // The score as checked: only the contacts that count, multipliers compared
  // without case, the penalty taken off.
  std::int64_t checked_qsos = 0, checked_mults = 0, checked_score = 0;
  std::array<BandCounts, kBandCount> checked_bands;  // before the penalty
  std::optional<std::int32_t> clock_offset;  // minutes this log's clock is off the others', when found
  std::int64_t offset_paired = 0;            // its contacts paired once its times were read with the offset
  std::size_t superseded_by = kNoLog;        // the log of the same call that replaced it
  ContactList contacts;  // one per "QSO:" record, in log order (none for a superseded log)

  std::int64_t Count(ContactStatus status) const;
};

// A file that is no log, or a folder entry that is no readable file: listed
// once, with its reason.
struct SkippedFile {
  std::string path;         // as given or found: for the terminal only
  std::string name;         // the file's name without its folders
  std::string reason;       // why, never quoting the file's content
  std::string first_bytes;  // the start of a file that is not a log, for the terminal only
};

struct ContestOptions {
  int time_window_minutes = 10;
  int penalty = 0;       // further contacts off the checked total per nil and busted-call contact
  unsigned threads = 0;  // 0: as many as the machine has
};

struct ContestResult {
  std::vector<LogCheck> logs;        // the logs, in the order found
  std::vector<SkippedFile> skipped;  // what was not read as a log, in the order found
  int time_window_minutes = 10;      // as checked
  int penalty = 0;
};

// The logs the arguments name: each file as given, each folder's files and
// those of its subfolders (names beginning with "." passed over, and files a
// folder's output manifest lists), each file once however often it is
// named. What cannot be read as a file is skipped, with its reason.
struct ContestFiles {
  std::vector<std::string> paths;
  std::vector<SkippedFile> skipped;
};
ContestFiles FindContestFiles(const std::vector<std::string>& arguments);

// Reads, scores and cross-checks the logs. A file that cannot be read or is
// no log is skipped with its reason; it never stops the run.
ContestResult CrossCheckContest(const ContestFiles& files, const ContestOptions& options = {});

// The same on texts already in memory (name, bytes), for tests and tools.
// `modified` orders resubmitted logs of one call (the newest counts; on a
// tie the last name in byte order).
struct NamedLog {
  std::string name;
  std::string bytes;
  std::int64_t modified = 0;
};
// The bytes are moved into the result, which keeps them for its contacts.
ContestResult CrossCheckLogs(std::vector<NamedLog> logs, const ContestOptions& options = {});

// Ranked results: for each category group, the indices of its logs by
// checked score, best first, and their places (equal scores share a place:
// 1, 2, 2, 4). Groups are told apart by operator, assisted, band, power,
// mode and transmitter, values compared without case, a missing band read
// as ALL, a missing assisted as NON-ASSISTED, a missing transmitter as ONE.
// Check logs and superseded logs are never ranked.
struct CategoryGroup {
  CategoryText category;  // the parts it is grouped by, in upper case
  std::vector<std::size_t> logs;
  std::vector<std::int64_t> places;
};
std::vector<CategoryGroup> RankByCategory(const ContestResult& result);

}  // namespace zelo
