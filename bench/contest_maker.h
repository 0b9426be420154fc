// A whole simulated contest for the cross-check's tests and benchmark:
// stations that work each other on the six bands over two days, each side
// logging its own copy, with faults injected at known rates, and the status
// the cross-check rules give every "QSO:" line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelo::bench {

struct ContestRecipe {
  int stations = 100;
  int contacts_per_station = 50;  // on average, counting both sides of each contact
  std::uint64_t seed = 1;
  int time_window_minutes = 10;   // the window the truth is told for
  // Per station.
  double no_log = 0.08;         // sends no log
  double checklog = 0.02;       // sends a check log
  double clock_inside = 0.10;   // clock off by 1 to 5 minutes
  double clock_outside = 0.02;  // clock off by 30 to 90 minutes
  // Per logged copy of a contact.
  double missing = 0.02;          // not logged at all
  double busted_call = 0.02;      // the call copied one edit wrong
  double busted_exchange = 0.02;  // field 12 or 13 copied wrong
  double repeat = 0.01;           // logged twice in a row
};

// What the cross-check must say of one "QSO:" line.
struct TruthRow {
  std::string file;
  std::int64_t line = 0;
  std::string status;        // a StatusName
  std::string correct_call;  // busted-call: the station really worked
};

struct ContestLogFile {
  std::string name;  // "<call>.log"
  std::string bytes;
};

struct GeneratedContest {
  std::vector<ContestLogFile> logs;  // in name order
  std::vector<TruthRow> truth;       // in file, then line order
  std::int64_t contacts = 0;         // "QSO:" lines in all logs
};

// Always the same contest for the same recipe. Station calls are at least two
// edits apart and a miscopied call is one edit from its station alone, so
// that what the rules say of every line is known while writing it.
GeneratedContest MakeContest(const ContestRecipe& recipe);

// truth.tsv: "file<TAB>line<TAB>status<TAB>correct call" per line, a header first.
std::string TruthTsv(const std::vector<TruthRow>& truth);

}  // namespace zelo::bench
