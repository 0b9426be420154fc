// A whole simulated contest for the cross-check's tests and benchmark:
// stations that work each other on the six bands over two days, in CW, phone
// and RTTY, each side logging its own copy, with faults injected at known
// rates, and what the cross-check's rules say of every "QSO:" line.
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
  double clock_inside = 0.10;   // clock off by up to 5 minutes (at most half the window)
  double clock_outside = 0.02;  // clock off by 20 to 90 minutes
  double resubmitted = 0.02;    // also sent an older log, which the newer one replaces
  double portable = 0.03;       // a call with /P
  double twin = 0.02;           // a station whose call is one edit from another station's
  double single_band = 0.05;    // enters one band alone
  // Per contact.
  double phone = 0.2;    // in phone (PH), else
  double digital = 0.1;  // in RTTY (RY), else CW
  double rework = 0.01;  // worked again half an hour later; one side logs it right after the first
  // Per logged copy of a contact.
  double missing = 0.02;          // not logged at all
  double busted_call = 0.02;      // the call copied one edit wrong (into the station's twin when it has one)
  double dropped_suffix = 0.3;    // a /P station's call logged without its /P
  double busted_exchange = 0.02;  // field 12 or 13 copied wrong
  double repeat = 0.01;           // logged twice in a row
  double wrong_mode = 0.01;       // logged in a mode of another class
};

// What the cross-check must say of one "QSO:" line.
struct TruthRow {
  std::string file;
  std::int64_t line = 0;
  std::string status;        // a StatusName
  std::string correct_call;  // busted-call: the station really worked
  bool counted = false;      // adds to the checked score
};

struct ContestLogFile {
  std::string name;  // "<call>.log", "/" written as "_"
  std::string bytes;
  std::int64_t modified = 0;  // seconds since 1970: a replaced log is a day older
};

struct GeneratedContest {
  std::vector<ContestLogFile> logs;  // in name order
  std::vector<TruthRow> truth;       // in file, then line order; none for a replaced log
  std::int64_t contacts = 0;         // "QSO:" lines in all logs
};

// Always the same contest for the same recipe. Station calls are at least two
// edits apart (but for the twins, one edit from one station alone), a
// miscopied call is one edit from its station alone, and the stations whose
// clocks are far off work neither each other nor the twins, so that what the
// rules say of every line is known while writing it.
GeneratedContest MakeContest(const ContestRecipe& recipe);

// truth.tsv: "file<TAB>line<TAB>status<TAB>correct call<TAB>counted" per line, a header first.
std::string TruthTsv(const std::vector<TruthRow>& truth);

}  // namespace zelo::bench
