// A whole contest: many logs scored, every contact cross-checked against the
// other station's log, and the results per category.
//
// The event's own rules are the scoring run's (scoring/): a contact takes
// part in the cross-check only when the run stored it on a band, and a log's
// checked score is the run's score of its text without the contacts the
// cross-check took away.
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
  kBustedCall,      // the call logged sent no log; a station one edit away logged this contact
  kNil,             // the station worked sent a log without this contact
  kUnique,          // the station worked sent no log and is in no other log
  kUnverified,      // the station worked sent no log but is in another log
  kRepeat,          // dropped by the scoring run as a repeat
  kNoBand,          // its frequency names no band
  kNotContact,      // a "QSO:" the scoring run takes for no contact
};

// "confirmed", "busted-exchange", "busted-call", "nil", "unique",
// "unverified", "repeat", "no-band", "not-contact".
std::string_view StatusName(ContactStatus status);

inline constexpr std::size_t kNoLog = static_cast<std::size_t>(-1);

struct ContactCheck {
  std::int64_t line = 0;  // 1-based line of its "QSO:" in its log
  ContactStatus status = ContactStatus::kNotContact;
  std::optional<Band> band;    // the contacts that take part
  std::string worked_call;     // field 10 as logged
  std::string correct_call;    // kBustedCall: the call of the log that holds the contact
  std::size_t other_log = kNoLog;  // the log it paired with (index into ContestResult::logs)
  std::int64_t other_line = 0;     // the line of the contact it paired with
  std::string field;   // kBustedExchange: the first field that differs ("12" or "13")
  std::string logged;  // kBustedExchange: what this log copied
  std::string sent;    // kBustedExchange: what the other station logged as sent
};

// The parts of a category, from CATEGORY-* (version 3) or CATEGORY: (version 2).
struct CategoryText {
  std::array<std::string, kCategoryPartCount> parts;
  bool checklog = false;

  const std::string& operator[](CategoryPart part) const { return parts[static_cast<std::size_t>(part)]; }
  std::string& operator[](CategoryPart part) { return parts[static_cast<std::size_t>(part)]; }
};

struct ContestStore;  // the logs' bytes and the packed checks of a contest (contest.cpp)

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
  // The status alone, without making the whole check.
  ContactStatus StatusAt(std::size_t index) const;
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, size()}; }
  void push_back(ContactCheck check);

 private:
  std::shared_ptr<const ContestStore> store_;
  std::size_t log_ = 0;
  std::vector<ContactCheck> added_;
};

struct LogCheck {
  std::string file;
  bool rejected = false;
  std::string reason;  // why it was not read or is not a log
  std::string call;    // CALLSIGN:, else field 6 of the first contact
  CategoryText category;
  std::int64_t qsos = 0, mults = 0, score = 0;  // the event's score of the log as sent
  std::int64_t checked_score = 0;               // the same rules without nil and busted-call contacts
  std::optional<std::int64_t> claimed_score;    // CLAIMED-SCORE:, when given
  std::int64_t checked_qsos = 0, checked_mults = 0;
  ContactList contacts;  // one per "QSO:" record, in log order
  std::int64_t Count(ContactStatus status) const;
};

struct ContestOptions {
  int time_window_minutes = 10;
  unsigned threads = 0;  // 0: as many as the machine has
};

struct ContestResult {
  std::vector<LogCheck> logs;  // in the order the files were given
};

// Reads, scores and cross-checks the logs. A file that cannot be read or is
// no log is listed as rejected with its reason; it never stops the run.
ContestResult CrossCheckContest(const std::vector<std::string>& paths, const ContestOptions& options = {});

// The same on texts already in memory (name, bytes), for tests and tools.
struct NamedLog {
  std::string name;
  std::string bytes;
};
// The bytes are moved into the result, which keeps them for its contacts.
ContestResult CrossCheckLogs(std::vector<NamedLog> logs, const ContestOptions& options = {});

// Ranked results: for each category group (operator, band, power, mode), the
// indices of its logs by checked score, best first; check logs and rejected
// logs are never ranked.
struct CategoryGroup {
  CategoryText category;  // the parts it is grouped by, in upper case
  std::vector<std::size_t> logs;
};
std::vector<CategoryGroup> RankByCategory(const ContestResult& result);

}  // namespace zelo
