#include "bench/log_maker.h"

#include <cstdio>
#include <vector>

#include "bench/random.h"

namespace zelo::bench {
namespace {

constexpr std::string_view kMyCall = "YO3ZELO";

constexpr std::array<std::string_view, 42> kCounties = {
    "AB", "AR", "AG", "BC", "BH", "BN", "BT", "BR", "BV", "BZ", "CL", "CS", "CJ", "CT",
    "CV", "DB", "DJ", "GL", "GR", "GJ", "HR", "HD", "IL", "IS", "IF", "MM", "MH", "MS",
    "NT", "OT", "PH", "SJ", "SM", "SB", "SV", "TR", "TM", "TL", "VL", "VS", "VN", "BU"};

constexpr std::array<std::string_view, 8> kBonusCalls = {"Q1XA", "Q1XA/60", "Q2XBM", "Q2XBM/60",
                                                          "Q5XCN", "Q5XCN/60", "Q8XD", "Q8XD/60"};

// Frequencies in kHz: a CW and a phone segment per band, in band order.
struct Segment {
  int low;
  int high;
};
constexpr std::array<std::array<Segment, 2>, kBandCount> kSegments = {{
    {{{1810, 1838}, {1840, 1899}}},
    {{{3510, 3560}, {3800, 3899}}},
    {{{7000, 7039}, {7200, 7299}}},
    {{{14000, 14069}, {14150, 14349}}},
    {{{21000, 21149}, {21200, 21449}}},
    {{{28000, 28199}, {28300, 28999}}},
}};
// Frequencies whose prefix names no band.
constexpr std::array<int, 3> kOffBand = {3700, 1910, 29600};


struct Contact {
  int frequency = 0;
  bool cw = true;
  std::string call;
  std::string exchange;      // field 13 as written
  std::string item;          // the multiplier item a scoring run must take from it
  std::optional<Band> band;  // nullopt: off band
};

class Writer {
 public:
  Writer(const LogRecipe& recipe, GeneratedLog& log)
      : log_(log), line_end_(recipe.shape == LogShape::kLf ? "\n" : "\r\n") {}

  void Header() {
    for (std::string_view line :
         {"START-OF-LOG: 3.0", "CONTEST: ZELO-RAZEZUZ", "CALLSIGN: YO3ZELO", "LOCATION: DX",
          "CATEGORY-OPERATOR: SINGLE-OP", "CATEGORY-BAND: ALL", "CATEGORY-MODE: MIXED",
          "CREATED-BY: zelo-make-log", "SOAPBOX: generated for timing runs"}) {
      Line(line);
    }
  }

  // One contact as a column-aligned line, without its line end.
  void Append(const Contact& c, std::int64_t index, int received_serial) {
    char buffer[160];
    const int minutes = static_cast<int>((index * 3) % 1440);
    const int n = std::snprintf(buffer, sizeof buffer,
                                "QSO: %5d %s 2026-02-14 %02d%02d %-13s %-3s %04d BU %-13s %-3s %04d ",
                                c.frequency, c.cw ? "CW" : "PH", minutes / 60, minutes % 60,
                                kMyCall.data(), c.cw ? "599" : "59",
                                static_cast<int>((index + 1) % 10000), c.call.c_str(),
                                c.cw ? "599" : "59", received_serial);
    log_.text.append(buffer, static_cast<std::size_t>(n));
    log_.text += c.exchange;
  }

  void Tally(const Contact& c) {
    ++log_.facts.records;
    log_.facts.my_call = kMyCall;
    if (!c.band) return;
    const std::size_t band = BandIndex(*c.band);
    ++log_.facts.band_count[band];
    if (!c.item.empty()) log_.facts.multipliers[band].insert(c.item);
  }

  void Line(std::string_view text) {
    log_.text += text;
    log_.text += line_end_;
  }
  void LineEnd() { log_.text += line_end_; }

 private:
  GeneratedLog& log_;
  std::string_view line_end_;
};

class ContactMaker {
 public:
  ContactMaker(const LogRecipe& recipe, Random& random) : recipe_(recipe), random_(random) {
    if (recipe.shape != LogShape::kDistinct) {
      calls_.reserve(4000);
      for (int i = 0; i < 4000; ++i) calls_.push_back(RandomCall(random_));
    }
  }

  // The next contact, and whether it repeats the one before (a duplicate).
  Contact Next(std::int64_t index, bool& duplicate) {
    duplicate = false;
    if (recipe_.shape == LogShape::kDistinct) return Distinct(index);
    const int roll = random_.Below(1000);
    if (roll < 5 && index > 0) {
      duplicate = true;
      return previous_;
    }
    Contact c;
    c.cw = random_.Below(2) == 0;
    c.call = FreshCall(roll < 9 ? Pick(kBonusCalls) : std::string_view{});
    c.exchange = Pick(kCounties);
    if (roll >= 5 && roll < 7) {
      c.frequency = kOffBand[static_cast<std::size_t>(random_.Below(3))];
    } else {
      const auto band = static_cast<std::size_t>(random_.Below(6));
      const Segment segment = kSegments[band][c.cw ? 0 : 1];
      c.frequency = random_.Between(segment.low, segment.high);
      c.band = kBands[band];
      c.item = c.exchange;
      // A bonus station counts under its plain call, whatever its exchange.
      for (std::size_t b = 0; b < kBonusCalls.size(); b += 2) {
        if (c.call == kBonusCalls[b] || c.call == kBonusCalls[b + 1]) c.item = kBonusCalls[b];
      }
    }
    previous_ = c;
    return c;
  }

 private:
  template <std::size_t N>
  std::string_view Pick(const std::array<std::string_view, N>& list) {
    return list[static_cast<std::size_t>(random_.Below(static_cast<int>(N)))];
  }

  // A call unlike the previous contact's, so that the contact is never a
  // duplicate by chance.
  std::string FreshCall(std::string_view wanted) {
    std::string call(wanted);
    while (call.empty() || call == previous_.call) {
      call = calls_[static_cast<std::size_t>(random_.Below(static_cast<int>(calls_.size())))];
    }
    return call;
  }

  Contact Distinct(std::int64_t index) {
    char call[24];
    char item[24];
    std::snprintf(call, sizeof call, "D%07lld", static_cast<long long>(index));
    std::snprintf(item, sizeof item, "M%07lld", static_cast<long long>(index));
    Contact c;
    c.frequency = random_.Between(14000, 14069);
    c.call = call;
    c.exchange = item;
    c.item = item;
    c.band = Band::k20;
    return c;
  }

  const LogRecipe& recipe_;
  Random& random_;
  std::vector<std::string> calls_;
  Contact previous_;
};

}  // namespace

std::optional<LogShape> ShapeFromName(std::string_view name) {
  if (name == "aligned") return LogShape::kAligned;
  if (name == "lf") return LogShape::kLf;
  if (name == "one-line") return LogShape::kOneLine;
  if (name == "huge-line") return LogShape::kHugeLine;
  if (name == "distinct") return LogShape::kDistinct;
  return std::nullopt;
}

std::int64_t LogFacts::TotalQsos() const {
  std::int64_t total = 0;
  for (std::int64_t count : band_count) total += count;
  return total;
}

std::int64_t LogFacts::TotalMults() const {
  std::int64_t total = 0;
  for (const auto& items : multipliers) total += static_cast<std::int64_t>(items.size());
  return total;
}

GeneratedLog MakeLog(const LogRecipe& recipe) {
  GeneratedLog log;
  log.text.reserve(static_cast<std::size_t>(recipe.contacts) * 86 + 1024 +
                   (recipe.shape == LogShape::kHugeLine ? recipe.huge_line_bytes : 0));
  Random random(recipe.seed);
  Writer writer(recipe, log);
  ContactMaker maker(recipe, random);
  writer.Header();
  const bool one_line = recipe.shape == LogShape::kOneLine;
  for (std::int64_t i = 0; i < recipe.contacts; ++i) {
    bool duplicate = false;
    const Contact contact = maker.Next(i, duplicate);
    if (one_line && i > 0) log.text += ' ';
    writer.Append(contact, i, random.Between(1, 2000));
    if (!one_line) writer.LineEnd();
    if (duplicate) {
      ++log.facts.records;
    } else {
      writer.Tally(contact);
    }
  }
  if (one_line && recipe.contacts > 0) writer.LineEnd();
  if (recipe.shape == LogShape::kHugeLine) {
    // One more contact on 20 m whose line runs on with blank-separated words
    // after its multiplier item, up to the requested length.
    Contact huge{14025, true, "HUGE1", "HUGEITEM", "HUGEITEM", Band::k20};
    const std::size_t start = log.text.size();
    writer.Append(huge, recipe.contacts, 1);
    const std::string word = ' ' + std::string(63, 'W');
    while (log.text.size() - start + word.size() + 2 <= recipe.huge_line_bytes) log.text += word;
    writer.LineEnd();
    writer.Tally(huge);
  }
  writer.Line("END-OF-LOG:");
  return log;
}

}  // namespace zelo::bench
