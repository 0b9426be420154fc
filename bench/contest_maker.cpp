#include "bench/contest_maker.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "bench/random.h"
#include "contest/near_calls.h"
#include "scoring/score_log.h"

namespace zelo::bench {
namespace {

constexpr std::array<std::string_view, 6> kBandKhz = {"1830", "3530", "7020", "14030", "21030", "28030"};
constexpr std::array<std::string_view, 6> kBandCategory = {"160M", "80M", "40M", "20M", "15M", "10M"};
constexpr std::array<std::string_view, 3> kModes = {"CW", "PH", "RY"};
constexpr std::array<std::string_view, 12> kCounties = {"AB", "AR", "BC", "BU", "CJ", "CT",
                                                        "GJ", "HR", "IS", "MM", "SB", "TM"};
constexpr std::array<std::string_view, 4> kDates = {"2026-03-06", "2026-03-07", "2026-03-08", "2026-03-09"};
constexpr int kContestMinutes = 2 * 1440;
constexpr std::string_view kLogEnd = "END-OF-LOG:\r\n";
constexpr std::uint32_t kNone = 0xFFFFFFFF;
constexpr std::int64_t kWritten = 1'800'000'000;  // the logs' time, in seconds since 1970
constexpr int kLeastDifferences = 10;

struct Station {
  std::string call;
  bool sends = true;
  bool checklog = false;
  bool outside = false;  // clock far off
  bool resubmits = false;
  int clock = 0;         // minutes its clock is off
  std::uint32_t twin_of = kNone;
  std::optional<int> single_band;
  std::string zone, county;
};

struct Qso {
  std::uint32_t a = 0, b = 0;
  std::uint8_t band = 0;
  std::uint8_t mode = 0;  // an index of kModes
  std::int32_t minute = 0;
  std::uint32_t rework_of = kNone;  // the contact this one works again
};

// What a copy logged as the worked call.
enum class Called { kRight, kBusted, kTwin, kDropped };

// One side's copy of a contact.
struct Copy {
  std::uint32_t qso = 0;
  std::uint8_t side = 0;  // 0: a logs b, 1: b logs a
  bool missing = false;
  bool repeat = false;       // its line is written twice
  bool wrong_mode = false;
  Called called = Called::kRight;
  std::uint8_t exchange_fault = 0;  // 12 or 13
  std::uint32_t busted = kNone;     // kBusted: the miscopied call
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

std::string FileName(std::string call) {
  std::replace(call.begin(), call.end(), '/', '_');
  return call + ".log";
}

class ContestWriter {
 public:
  explicit ContestWriter(const ContestRecipe& recipe) : recipe_(recipe), random_(recipe.seed) {}

  GeneratedContest Make() {
    MakeStations();
    MakeTwins();
    MakeQsos();
    MakeCopies();
    OrderLogs();
    CountHolders();
    FindOffsets();
    GeneratedContest contest;
    std::vector<std::uint32_t> order;
    for (std::uint32_t s = 0; s < stations_.size(); ++s) {
      if (stations_[s].sends) order.push_back(s);
    }
    std::sort(order.begin(), order.end(),
              [this](std::uint32_t x, std::uint32_t y) { return FileName(stations_[x].call) < FileName(stations_[y].call); });
    for (std::uint32_t s : order) WriteLog(s, contest);
    std::sort(contest.logs.begin(), contest.logs.end(),
              [](const ContestLogFile& x, const ContestLogFile& y) { return x.name < y.name; });
    return contest;
  }

 private:
  // --- Stations ---------------------------------------------------------------

  void MakeStations() {
    stations_.resize(static_cast<std::size_t>(recipe_.stations));
    for (std::uint32_t i = 0; i < stations_.size(); ++i) {
      Station& s = stations_[i];
      const bool portable = random_.Chance(recipe_.portable);
      do {
        s.call = RandomCall(random_);
        if (portable) s.call += "/P";
      } while (!FreeCall(s.call) || (portable && !FreeCall(s.call.substr(0, s.call.size() - 2))));
      AddCall(s.call, i);
      s.sends = !random_.Chance(recipe_.no_log);
      s.checklog = s.sends && random_.Chance(recipe_.checklog);
      s.resubmits = s.sends && random_.Chance(recipe_.resubmitted);
      SetClock(s);
      if (random_.Chance(recipe_.single_band)) s.single_band = random_.Below(6);
      SetExchange(s);
    }
  }

  // A call no station has, two edits or more from every station's.
  bool FreeCall(const std::string& call) const { return station_of_.count(call) == 0 && near_.Near(call).empty(); }

  void AddCall(const std::string& call, std::uint32_t station) {
    near_.Add(call, station);
    station_of_[call] = station;
  }

  // Clocks near the others' stay within half the window of true, so that
  // two such stations always agree within it.
  void SetClock(Station& s) {
    const int inside = std::max(0, std::min(5, recipe_.time_window_minutes / 2));
    if (inside > 0 && random_.Chance(recipe_.clock_inside)) {
      s.clock = random_.Between(1, inside) * (random_.Chance(0.5) ? 1 : -1);
    } else if (random_.Chance(recipe_.clock_outside / (1.0 - recipe_.clock_inside))) {
      s.clock = random_.Between(20, 90) * (random_.Chance(0.5) ? 1 : -1);
      s.outside = true;
    }
  }

  void SetExchange(Station& s) {
    char zone[4];
    std::snprintf(zone, sizeof zone, "%02d", random_.Between(1, 40));
    s.zone = zone;
    s.county = kCounties[static_cast<std::size_t>(random_.Below(static_cast<int>(kCounties.size())))];
  }

  // Stations whose call is one edit from one other station's alone: a call
  // miscopied into the twin's is another entrant's.
  void MakeTwins() {
    const std::size_t count = stations_.size();
    for (std::uint32_t i = 0; i < count; ++i) {
      if (!random_.Chance(recipe_.twin) || stations_[i].outside || stations_[i].call.ends_with("/P")) continue;
      for (int attempt = 0; attempt < 20; ++attempt) {
        const std::string call = OneEdit(stations_[i].call, random_);
        if (call.empty() || call.find('/') != std::string::npos || station_of_.count(call) > 0) continue;
        const std::vector<std::uint32_t> near = near_.Near(call);
        if (near.size() != 1 || near[0] != i) continue;
        Station twin;
        twin.call = call;
        twin.twin_of = i;
        SetExchange(twin);
        stations_[i].twin_of = static_cast<std::uint32_t>(stations_.size());
        AddCall(call, static_cast<std::uint32_t>(stations_.size()));
        stations_.push_back(std::move(twin));
        break;
      }
    }
  }

  // --- Contacts and copies ---------------------------------------------------------

  // The twins come after the stations they were made for.
  bool IsTwin(std::uint32_t s) const { return s >= static_cast<std::uint32_t>(recipe_.stations); }

  static std::uint64_t PairKey(std::uint32_t a, std::uint32_t b, std::uint8_t band) {
    return (std::uint64_t{std::min(a, b)} << 35) | (std::uint64_t{std::max(a, b)} << 3) | band;
  }

  // Each pair of stations works at most once per band (and again only as a
  // rework); stations with clocks far off work neither each other nor twins.
  void MakeQsos() {
    const std::int64_t wanted = std::int64_t{recipe_.stations} * recipe_.contacts_per_station / 2;
    const int n = static_cast<int>(stations_.size());
    if (n < 2) return;
    for (std::int64_t attempts = 0; static_cast<std::int64_t>(qsos_.size()) < wanted && attempts < wanted * 4; ++attempts) {
      Qso q;
      q.a = static_cast<std::uint32_t>(random_.Below(n));
      q.b = static_cast<std::uint32_t>(random_.Below(n - 1));
      if (q.b >= q.a) ++q.b;
      const Station& a = stations_[q.a];
      const Station& b = stations_[q.b];
      if ((a.outside || IsTwin(q.a)) && (b.outside || IsTwin(q.b))) continue;
      q.band = static_cast<std::uint8_t>(random_.Below(6));
      if (!worked_.insert(PairKey(q.a, q.b, q.band)).second) continue;
      q.mode = random_.Chance(recipe_.phone) ? 1 : random_.Chance(recipe_.digital / (1.0 - recipe_.phone)) ? 2 : 0;
      q.minute = random_.Below(kContestMinutes - 60);
      qsos_.push_back(q);
      if (!a.outside && !b.outside && random_.Chance(recipe_.rework)) {
        Qso again = q;
        again.minute += random_.Between(25, 40);
        again.rework_of = static_cast<std::uint32_t>(qsos_.size() - 1);
        qsos_.push_back(again);
      }
    }
  }

  bool Reworked(std::uint32_t q) const {
    return qsos_[q].rework_of != kNone || (q + 1 < qsos_.size() && qsos_[q + 1].rework_of == q);
  }

  void MakeCopies() {
    copies_of_.resize(stations_.size());
    for (std::uint32_t q = 0; q < qsos_.size(); ++q) {
      for (std::uint8_t side = 0; side < 2; ++side) {
        Copy copy;
        copy.qso = q;
        copy.side = side;
        if (!stations_[Logger(copy)].sends) continue;
        // A contact worked again is logged right on both sides, so that the
        // repeat rule alone decides it.
        if (!Reworked(q)) AddFaults(copy);
        copy_index_[Key(q, side)] = static_cast<std::uint32_t>(copies_.size());
        copies_of_[Logger(copy)].push_back(static_cast<std::uint32_t>(copies_.size()));
        copies_.push_back(copy);
      }
    }
  }

  void AddFaults(Copy& copy) {
    copy.missing = random_.Chance(recipe_.missing);
    if (copy.missing) return;
    const std::uint32_t partner = Partner(copy);
    const Station& them = stations_[partner];
    copy.wrong_mode = random_.Chance(recipe_.wrong_mode);
    if (!copy.wrong_mode && them.call.ends_with("/P") && random_.Chance(recipe_.dropped_suffix)) {
      copy.called = Called::kDropped;
    } else if (!copy.wrong_mode && random_.Chance(recipe_.busted_call)) {
      const std::uint32_t twin = them.twin_of;
      if (twin != kNone && twin != Logger(copy) && stations_[twin].sends &&
          worked_.count(PairKey(twin, Logger(copy), qsos_[copy.qso].band)) == 0) {
        copy.called = Called::kTwin;
      } else if ((copy.busted = Miscopy(partner)) != kNone) {
        copy.called = Called::kBusted;
      }
    }
    if (random_.Chance(recipe_.busted_exchange)) copy.exchange_fault = random_.Chance(0.5) ? 12 : 13;
    copy.repeat = random_.Chance(recipe_.repeat);
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
      if (const auto base = WithoutPortableSuffix(edited); base && station_of_.count(std::string(*base)) > 0) continue;
      miscopied_.push_back(edited);
      return static_cast<std::uint32_t>(miscopied_.size() - 1);
    }
    return kNone;
  }

  std::string WorkedCall(const Copy& c) const {
    const Station& them = stations_[Partner(c)];
    switch (c.called) {
      case Called::kBusted: return miscopied_[c.busted];
      case Called::kTwin: return stations_[them.twin_of].call;
      case Called::kDropped: return them.call.substr(0, them.call.size() - 2);
      case Called::kRight: break;
    }
    return them.call;
  }

  int ModeOf(const Copy& c) const { return c.wrong_mode ? (qsos_[c.qso].mode + 1) % 3 : qsos_[c.qso].mode; }

  // The other side's copy of the same contact, when logged.
  const Copy* Theirs(const Copy& c) const {
    const auto other = copy_index_.find(Key(c.qso, static_cast<std::uint8_t>(1 - c.side)));
    return other == copy_index_.end() || copies_[other->second].missing ? nullptr : &copies_[other->second];
  }

  // --- Each log's lines -------------------------------------------------------------

  // Every log's copies in the order written, and which of them the repeat
  // rule drops: the same call and band as the line before.
  void OrderLogs() {
    repeat_line_.assign(copies_.size(), false);
    for (std::uint32_t s = 0; s < stations_.size(); ++s) {
      std::vector<std::uint32_t>& kept = order_of_[s];
      for (std::uint32_t c : copies_of_[s]) {
        if (!copies_[c].missing) kept.push_back(c);
      }
      // By time, a rework logged by the contact's first station right after the first contact.
      const auto place = [this, s](std::uint32_t c) {
        const Qso& q = qsos_[copies_[c].qso];
        if (q.rework_of != kNone && q.a == s) return std::pair{qsos_[q.rework_of].minute, 1};
        return std::pair{q.minute, 0};
      };
      std::stable_sort(kept.begin(), kept.end(), [&](std::uint32_t x, std::uint32_t y) { return place(x) < place(y); });
      std::string last_call;
      int last_band = -1;
      for (std::uint32_t c : kept) {
        const std::string call = WorkedCall(copies_[c]);
        const int band = qsos_[copies_[c].qso].band;
        if (call == last_call && band == last_band) {
          repeat_line_[c] = true;
          continue;
        }
        last_call = call;
        last_band = band;
      }
    }
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

  // --- What the rules say ------------------------------------------------------------

  // Whether `c` and the other side's copy name each other, in one class of mode.
  bool Match(const Copy& c, const Copy* theirs) const {
    return theirs != nullptr && c.called == Called::kRight && theirs->called == Called::kRight &&
           ModeOf(c) == ModeOf(*theirs);
  }

  // A station far off finds its offset from its contacts that its stations
  // logged too: at least 10, their lower median difference beyond the
  // window, four in five of them within the window of it.
  void FindOffsets() {
    const int window = recipe_.time_window_minutes;
    for (std::uint32_t s = 0; s < stations_.size(); ++s) {
      if (!stations_[s].outside || !stations_[s].sends) continue;
      std::vector<int> differences;
      for (std::uint32_t c : order_of_[s]) {
        const Copy& copy = copies_[c];
        const std::uint32_t partner = Partner(copy);
        if (repeat_line_[c] || !stations_[partner].sends || !Match(copy, Theirs(copy))) continue;
        differences.push_back(stations_[partner].clock - stations_[s].clock);
      }
      if (differences.size() < kLeastDifferences) continue;
      std::sort(differences.begin(), differences.end());
      const int median = differences[(differences.size() - 1) / 2];
      const auto near = std::count_if(differences.begin(), differences.end(),
                                      [&](int d) { return std::abs(d - median) <= window; });
      if (std::abs(median) > window && static_cast<std::size_t>(near) * 5 >= differences.size() * 4) offset_[s] = median;
    }
  }

  // Whether the two stations' times agree within the window, once the
  // logger's clock is read with its offset (and, for pairs, the partner's).
  bool Agree(std::uint32_t logger, std::uint32_t partner, bool either_offset) const {
    const int apart = stations_[logger].clock - stations_[partner].clock;
    const int window = recipe_.time_window_minutes;
    if (std::abs(apart) <= window) return true;
    if (const auto it = offset_.find(logger); it != offset_.end() && std::abs(apart + it->second) <= window) return true;
    if (!either_offset) return false;
    const auto it = offset_.find(partner);
    return it != offset_.end() && std::abs(it->second - apart) <= window;
  }

  std::string Unheard(const Copy& c) const { return holders_.at(WorkedCall(c)).second > 1 ? "unverified" : "unique"; }

  // The status of a copy's line, and the station really worked for a busted call.
  std::pair<std::string, std::string> Status(std::uint32_t index) const {
    const Copy& c = copies_[index];
    if (repeat_line_[index]) return {"repeat", ""};
    const std::uint32_t logger = Logger(c), partner = Partner(c);
    const Copy* theirs = Theirs(c);
    const bool theirs_right = theirs != nullptr && theirs->called == Called::kRight && ModeOf(*theirs) == ModeOf(c);
    if (c.called != Called::kRight) {
      // A miscopied call pairs with the station's own contact, when it has one to offer.
      const bool theirs_free = theirs_right && !repeat_line_[static_cast<std::size_t>(theirs - copies_.data())];
      if (theirs_free && Agree(logger, partner, false)) return {"busted-call", stations_[partner].call};
      return {c.called == Called::kTwin ? "nil" : Unheard(c), ""};
    }
    if (!stations_[partner].sends) return {Unheard(c), ""};
    const bool paired = theirs != nullptr && ModeOf(*theirs) == ModeOf(c) &&
                        (theirs->called == Called::kRight
                             ? Agree(logger, partner, true)
                             : !repeat_line_[static_cast<std::size_t>(theirs - copies_.data())] && Agree(partner, logger, false));
    if (!paired) return {"nil", ""};
    return {c.exchange_fault != 0 ? "busted-exchange" : "confirmed", ""};
  }

  std::string Line(const Copy& c) const {
    const Qso& q = qsos_[c.qso];
    const Station& me = stations_[Logger(c)];
    const Station& them = stations_[Partner(c)];
    std::string zone = them.zone, county = them.county;
    if (c.exchange_fault == 12) zone = zone == "41" ? "42" : "41";
    if (c.exchange_fault == 13) county = county == "ZZ" ? "ZY" : "ZZ";
    return "QSO: " + Pad(kBandKhz[q.band], 5) + " " + std::string(kModes[static_cast<std::size_t>(ModeOf(c))]) + " " +
           DateTime(q.minute + me.clock) + " " + Pad(me.call, 13) + " 599 " + Pad(me.zone, 3) + " " +
           Pad(me.county, 5) + " " + Pad(WorkedCall(c), 13) + " 599 " + Pad(zone, 3) + " " + county + "\r\n";
  }

  std::string Header(const Station& me, std::uint32_t s, std::int64_t claimed) const {
    std::string log = "START-OF-LOG: 3.0\r\nCONTEST: ZELO-RAZEZUZ\r\nCALLSIGN: " + me.call + "\r\n";
    log += std::string("CATEGORY-OPERATOR: ") + (me.checklog ? "CHECKLOG" : "SINGLE-OP") + "\r\n";
    log += "CATEGORY-BAND: " +
           std::string(me.single_band ? kBandCategory[static_cast<std::size_t>(*me.single_band)] : "ALL") + "\r\n";
    log += std::string("CATEGORY-POWER: ") + (s % 3 == 0 ? "HIGH" : "LOW") + "\r\n";
    log += "CATEGORY-MODE: MIXED\r\nCREATED-BY: zelo-make-contest\r\n";
    log += "CLAIMED-SCORE: " + std::to_string(claimed) + "\r\n";
    // Most stations belong to one of a few clubs; some have something to say.
    static constexpr const char* kClubs[] = {"Carpathian Contest Club", "Danube DX Group", "Black Sea Radio Club", ""};
    static constexpr const char* kSoapbox[] = {"Thanks for all the QSOs!", "Rough conditions on 10 m.",
                                               "First time in this contest, great fun.", ""};
    log += "OPERATORS: " + me.call + "\r\n";
    log += std::string("CLUB: ") + kClubs[s % std::size(kClubs)] + "\r\n";
    log += std::string("SOAPBOX: ") + kSoapbox[(s / 4) % std::size(kSoapbox)] + "\r\n";
    return log;
  }

  void WriteLog(std::uint32_t s, GeneratedContest& contest) {
    const Station& me = stations_[s];
    const std::string file = FileName(me.call);
    std::string body;
    std::vector<TruthRow> rows;
    constexpr std::int64_t kHeaderLines = 12;
    std::int64_t line = kHeaderLines;
    for (std::uint32_t c : order_of_[s]) {
      const Copy& copy = copies_[c];
      const std::string text = Line(copy);
      const auto [status, correct] = Status(c);
      const bool on_band = !me.single_band || *me.single_band == qsos_[copy.qso].band;
      const bool counts = status == "confirmed" || status == "unique" || status == "unverified";
      body += text;
      rows.push_back({file, ++line, status, correct, counts && on_band});
      if (copy.repeat) {
        body += text;
        rows.push_back({file, ++line, "repeat", "", false});
      }
    }
    const std::string log = Header(me, s, ScoreLog(body).final_score) + body + std::string(kLogEnd);
    if (me.resubmits) {
      // The log sent the day before, with its first half only: replaced, it takes no part.
      const std::string older = Header(me, s, 0) + body.substr(0, body.size() / 2);
      contest.logs.push_back({file.substr(0, file.size() - 4) + "-early.log", OlderLog(older), kWritten - 86400});
    }
    contest.contacts += static_cast<std::int64_t>(rows.size());
    contest.logs.push_back({file, log, kWritten});
    contest.truth.insert(contest.truth.end(), rows.begin(), rows.end());
  }

  // An earlier log: whole lines only, then its end.
  static std::string OlderLog(const std::string& text) {
    const std::size_t last = text.rfind("\r\n");
    return text.substr(0, last == std::string::npos ? 0 : last + 2) + std::string(kLogEnd);
  }

  const ContestRecipe& recipe_;
  Random random_;
  std::vector<Station> stations_;
  std::unordered_map<std::string, std::uint32_t> station_of_;
  NearCallIndex near_;
  std::unordered_set<std::uint64_t> worked_;
  std::vector<Qso> qsos_;
  std::vector<Copy> copies_;
  std::vector<std::vector<std::uint32_t>> copies_of_;
  std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> order_of_;
  std::vector<bool> repeat_line_;
  std::unordered_map<std::uint64_t, std::uint32_t> copy_index_;
  std::vector<std::string> miscopied_;
  std::unordered_map<std::string, std::pair<std::uint32_t, int>> holders_;
  std::unordered_map<std::uint32_t, int> offset_;
};

}  // namespace

GeneratedContest MakeContest(const ContestRecipe& recipe) { return ContestWriter(recipe).Make(); }

std::string TruthTsv(const std::vector<TruthRow>& truth) {
  std::string tsv = "file\tline\tstatus\tcorrect_call\tcounted\n";
  for (const TruthRow& row : truth) {
    tsv += row.file + '\t' + std::to_string(row.line) + '\t' + row.status + '\t' + row.correct_call + '\t' +
           (row.counted ? "yes" : "no") + '\n';
  }
  return tsv;
}

}  // namespace zelo::bench
