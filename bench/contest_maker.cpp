#include "bench/contest_maker.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "bench/random.h"
#include "contest/near_calls.h"
#include "scoring/score_log.h"

namespace zelo::bench {
namespace {

constexpr std::array<std::string_view, 6> kBandKhz = {"1830", "3530", "7020", "14030", "21030", "28030"};
constexpr std::array<std::string_view, 12> kCounties = {"AB", "AR", "BC", "BU", "CJ", "CT",
                                                        "GJ", "HR", "IS", "MM", "SB", "TM"};
constexpr std::array<std::string_view, 4> kDates = {"2026-03-06", "2026-03-07", "2026-03-08", "2026-03-09"};
constexpr int kContestMinutes = 2 * 1440;
constexpr std::string_view kLogEnd = "END-OF-LOG:\r\n";


struct Station {
  std::string call;
  bool sends = true;
  bool checklog = false;
  int clock = 0;  // minutes its clock is off
  std::string zone, county;
};

struct Qso {
  std::uint32_t a = 0, b = 0;
  std::uint8_t band = 0;
  std::int32_t minute = 0;
};

// One side's copy of a contact.
struct Copy {
  std::uint32_t qso = 0;
  std::uint8_t side = 0;  // 0: a logs b, 1: b logs a
  bool missing = false;
  bool repeat = false;
  std::uint8_t exchange_fault = 0;      // 12 or 13
  std::uint32_t busted = 0xFFFFFFFF;    // index of the miscopied call
};

char RandomCallChar(Random& random) {
  const int k = random.Below(36);
  return static_cast<char>(k < 26 ? 'A' + k : '0' + (k - 26));
}

// One edit of `call`: a character changed, added or dropped, or two neighbours swapped.
std::string OneEdit(const std::string& call, Random& random) {
  std::string edited = call;
  const auto pos = static_cast<std::size_t>(random.Below(static_cast<int>(call.size())));
  switch (random.Below(4)) {
    case 0: edited[pos] = RandomCallChar(random); break;
    case 1: edited.insert(edited.begin() + static_cast<std::ptrdiff_t>(pos), RandomCallChar(random)); break;
    case 2: edited.erase(pos, 1); break;
    default:
      if (pos + 1 < edited.size()) std::swap(edited[pos], edited[pos + 1]);
      break;
  }
  return edited;
}

std::string Pad(std::string_view text, std::size_t width) {
  std::string out(text);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

std::string DateTime(int minute) {
  const int day = (minute + 1440) / 1440;  // minutes from the day before the contest
  const int in_day = (minute + 1440) % 1440;
  char time[8];
  std::snprintf(time, sizeof time, "%02d%02d", in_day / 60, in_day % 60);
  return std::string(kDates[static_cast<std::size_t>(day)]) + " " + time;
}

class ContestWriter {
 public:
  explicit ContestWriter(const ContestRecipe& recipe) : recipe_(recipe), random_(recipe.seed) {}

  GeneratedContest Make() {
    MakeStations();
    MakeQsos();
    MakeCopies();
    CountHolders();
    GeneratedContest contest;
    std::vector<std::uint32_t> order(stations_.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [this](std::uint32_t x, std::uint32_t y) { return stations_[x].call < stations_[y].call; });
    for (std::uint32_t s : order) {
      if (stations_[s].sends) WriteLog(s, contest);
    }
    return contest;
  }

 private:
  void MakeStations() {
    NearCallIndex near;
    stations_.resize(static_cast<std::size_t>(recipe_.stations));
    for (std::uint32_t i = 0; i < stations_.size(); ++i) {
      Station& s = stations_[i];
      do {
        s.call = RandomCall(random_);
      } while (station_of_.count(s.call) > 0 || !near.Near(s.call).empty());
      near.Add(s.call, i);
      station_of_[s.call] = i;
      s.sends = !random_.Chance(recipe_.no_log);
      s.checklog = s.sends && random_.Chance(recipe_.checklog);
      if (random_.Chance(recipe_.clock_inside)) {
        s.clock = random_.Between(1, 5) * (random_.Chance(0.5) ? 1 : -1);
      } else if (random_.Chance(recipe_.clock_outside / (1.0 - recipe_.clock_inside))) {
        s.clock = random_.Between(30, 90) * (random_.Chance(0.5) ? 1 : -1);
      }
      char zone[4];
      std::snprintf(zone, sizeof zone, "%02d", random_.Between(1, 40));
      s.zone = zone;
      s.county = kCounties[static_cast<std::size_t>(random_.Below(static_cast<int>(kCounties.size())))];
    }
    near_ = std::move(near);
  }

  // Each pair of stations works at most once per band.
  void MakeQsos() {
    const std::int64_t wanted = std::int64_t{recipe_.stations} * recipe_.contacts_per_station / 2;
    std::unordered_set<std::uint64_t> worked;
    const int n = recipe_.stations;
    if (n < 2) return;
    for (std::int64_t attempts = 0; static_cast<std::int64_t>(qsos_.size()) < wanted && attempts < wanted * 4; ++attempts) {
      Qso q;
      q.a = static_cast<std::uint32_t>(random_.Below(n));
      q.b = static_cast<std::uint32_t>(random_.Below(n - 1));
      if (q.b >= q.a) ++q.b;
      q.band = static_cast<std::uint8_t>(random_.Below(6));
      const std::uint64_t key = (std::uint64_t{std::min(q.a, q.b)} << 35) | (std::uint64_t{std::max(q.a, q.b)} << 3) | q.band;
      if (!worked.insert(key).second) continue;
      q.minute = random_.Below(kContestMinutes);
      qsos_.push_back(q);
    }
  }

  void MakeCopies() {
    copies_of_.resize(stations_.size());
    for (std::uint32_t q = 0; q < qsos_.size(); ++q) {
      for (std::uint8_t side = 0; side < 2; ++side) {
        const std::uint32_t logger = side == 0 ? qsos_[q].a : qsos_[q].b;
        if (!stations_[logger].sends) continue;
        Copy copy;
        copy.qso = q;
        copy.side = side;
        copy.missing = random_.Chance(recipe_.missing);
        if (!copy.missing) {
          if (random_.Chance(recipe_.busted_call)) copy.busted = Miscopy(Partner(copy));
          if (random_.Chance(recipe_.busted_exchange)) copy.exchange_fault = random_.Chance(0.5) ? 12 : 13;
          copy.repeat = random_.Chance(recipe_.repeat);
        }
        copy_index_[Key(q, side)] = static_cast<std::uint32_t>(copies_.size());
        copies_of_[logger].push_back(static_cast<std::uint32_t>(copies_.size()));
        copies_.push_back(copy);
      }
    }
  }

  static std::uint64_t Key(std::uint32_t qso, std::uint8_t side) { return (std::uint64_t{qso} << 1) | side; }

  std::uint32_t Logger(const Copy& c) const { return c.side == 0 ? qsos_[c.qso].a : qsos_[c.qso].b; }
  std::uint32_t Partner(const Copy& c) const { return c.side == 0 ? qsos_[c.qso].b : qsos_[c.qso].a; }

  // A call one edit from the partner's that is no station's and one edit
  // from no other station; none when a few tries find no such call.
  std::uint32_t Miscopy(std::uint32_t partner) {
    for (int attempt = 0; attempt < 20; ++attempt) {
      const std::string edited = OneEdit(stations_[partner].call, random_);
      if (edited == stations_[partner].call || edited.empty() || station_of_.count(edited) > 0) continue;
      const std::vector<std::uint32_t> near = near_.Near(edited);
      if (near.size() != 1 || near[0] != partner) continue;
      miscopied_.push_back(edited);
      return static_cast<std::uint32_t>(miscopied_.size() - 1);
    }
    return 0xFFFFFFFF;
  }

  const std::string& WorkedCall(const Copy& c) const {
    return c.busted != 0xFFFFFFFF ? miscopied_[c.busted] : stations_[Partner(c)].call;
  }

  // How many logs hold each call worked.
  void CountHolders() {
    for (std::uint32_t s = 0; s < stations_.size(); ++s) {
      for (std::uint32_t c : copies_of_[s]) {
        if (copies_[c].missing) continue;
        auto& [last, count] = holders_[WorkedCall(copies_[c])];
        if (count > 0 && last == s) continue;
        last = s;
        ++count;
      }
    }
  }

  std::string Status(const Copy& c) const {
    const std::uint32_t logger = Logger(c), partner = Partner(c);
    const auto other = copy_index_.find(Key(c.qso, static_cast<std::uint8_t>(1 - c.side)));
    const Copy* theirs = other == copy_index_.end() || copies_[other->second].missing ? nullptr : &copies_[other->second];
    const bool in_window =
        theirs != nullptr && std::abs(stations_[logger].clock - stations_[partner].clock) <= recipe_.time_window_minutes;
    const auto unheard = [this, &c] { return holders_.at(WorkedCall(c)).second > 1 ? "unverified" : "unique"; };
    if (c.busted != 0xFFFFFFFF) {
      return in_window && theirs->busted == 0xFFFFFFFF ? "busted-call" : unheard();
    }
    if (!stations_[partner].sends) return unheard();
    if (!in_window) return "nil";
    return c.exchange_fault != 0 ? "busted-exchange" : "confirmed";
  }

  std::string Line(const Copy& c) const {
    const Qso& q = qsos_[c.qso];
    const Station& me = stations_[Logger(c)];
    const Station& them = stations_[Partner(c)];
    std::string zone = them.zone, county = them.county;
    if (c.exchange_fault == 12) zone = zone == "41" ? "42" : "41";
    if (c.exchange_fault == 13) county = county == "ZZ" ? "ZY" : "ZZ";
    return "QSO: " + Pad(kBandKhz[q.band], 5) + " CW " + DateTime(q.minute + me.clock) + " " + Pad(me.call, 13) +
           " 599 " + Pad(me.zone, 3) + " " + Pad(me.county, 5) + " " + Pad(WorkedCall(c), 13) + " 599 " + Pad(zone, 3) +
           " " + county + "\r\n";
  }

  void WriteLog(std::uint32_t s, GeneratedContest& contest) {
    const Station& me = stations_[s];
    std::vector<std::uint32_t> kept;
    for (std::uint32_t c : copies_of_[s]) {
      if (!copies_[c].missing) kept.push_back(c);
    }
    std::sort(kept.begin(), kept.end(), [this, &me](std::uint32_t x, std::uint32_t y) {
      const int tx = qsos_[copies_[x].qso].minute, ty = qsos_[copies_[y].qso].minute;
      return tx != ty ? tx < ty : x < y;
    });
    std::string body;
    std::vector<TruthRow> rows;
    const std::string file = me.call + ".log";
    constexpr std::int64_t kHeaderLines = 9;
    std::int64_t line = kHeaderLines;
    for (std::uint32_t c : kept) {
      const Copy& copy = copies_[c];
      const std::string text = Line(copy);
      const std::string worked = WorkedCall(copy);
      const std::string status = Status(copy);
      body += text;
      rows.push_back({file, ++line, status, status == "busted-call" ? stations_[Partner(copy)].call : ""});
      if (copy.repeat) {
        body += text;
        rows.push_back({file, ++line, "repeat", ""});
      }
    }
    const ScoreResult claimed = ScoreLog(body);
    std::string log = "START-OF-LOG: 3.0\r\nCONTEST: ZELO-RAZEZUZ\r\nCALLSIGN: " + me.call + "\r\n";
    log += std::string("CATEGORY-OPERATOR: ") + (me.checklog ? "CHECKLOG" : "SINGLE-OP") + "\r\n";
    log += "CATEGORY-BAND: ALL\r\n";
    log += std::string("CATEGORY-POWER: ") + (s % 3 == 0 ? "HIGH" : "LOW") + "\r\n";
    log += "CATEGORY-MODE: CW\r\nCREATED-BY: zelo-make-contest\r\n";
    log += "CLAIMED-SCORE: " + std::to_string(claimed.final_score) + "\r\n";
    log += body;
    log += kLogEnd;
    contest.contacts += static_cast<std::int64_t>(rows.size());
    contest.logs.push_back({file, std::move(log)});
    contest.truth.insert(contest.truth.end(), rows.begin(), rows.end());
  }

  const ContestRecipe& recipe_;
  Random random_;
  std::vector<Station> stations_;
  std::unordered_map<std::string, std::uint32_t> station_of_;
  NearCallIndex near_;
  std::vector<Qso> qsos_;
  std::vector<Copy> copies_;
  std::vector<std::vector<std::uint32_t>> copies_of_;
  std::unordered_map<std::uint64_t, std::uint32_t> copy_index_;
  std::vector<std::string> miscopied_;
  std::unordered_map<std::string, std::pair<std::uint32_t, int>> holders_;
};

}  // namespace

GeneratedContest MakeContest(const ContestRecipe& recipe) { return ContestWriter(recipe).Make(); }

std::string TruthTsv(const std::vector<TruthRow>& truth) {
  std::string tsv = "file\tline\tstatus\tcorrect_call\n";
  for (const TruthRow& row : truth) {
    tsv += row.file + '\t' + std::to_string(row.line) + '\t' + row.status + '\t' + row.correct_call + '\n';
  }
  return tsv;
}

}  // namespace zelo::bench
