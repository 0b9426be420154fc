#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contest/contest.h"
#include "contest/near_calls.h"
#include "scoring/score_log.h"

namespace zelo {
namespace {

// One contact as a test writes it: band prefix, time, own call, sent
// exchange, worked call, received exchange.
struct Q {
  std::string freq = "14025";
  std::string time = "1200";
  std::string worked;
  std::string rcvd1 = "001", rcvd2 = "BU";
};

std::string Line(const std::string& me, const Q& q, const std::string& sent1 = "001", const std::string& sent2 = "BU") {
  return "QSO: " + q.freq + " CW 2026-03-07 " + q.time + " " + me + " 599 " + sent1 + " " + sent2 + " " +
         q.worked + " 599 " + q.rcvd1 + " " + q.rcvd2 + "\r\n";
}

NamedLog Log(const std::string& call, const std::vector<Q>& qsos, const std::string& header = "") {
  std::string text = "START-OF-LOG: 3.0\r\nCALLSIGN: " + call + "\r\n" + header;
  for (const Q& q : qsos) text += Line(call, q);
  text += "END-OF-LOG:\r\n";
  return {call + ".log", text};
}

std::string Status(const ContestResult& r, std::size_t log, std::size_t contact) {
  return std::string(StatusName(r.logs[log].contacts[contact].status));
}

TEST(CrossCheck, TimeWindowEdge) {
  struct Case {
    std::string a_time, b_time;
    int window;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"1200", "1210", 10, "confirmed"}, {"1200", "1211", 10, "nil"},       {"1210", "1200", 10, "confirmed"},
      {"1200", "1211", 15, "confirmed"}, {"2355", "0005", 10, "nil"},       // the same date: almost a day apart
      {"1200", "12x0", 10, "confirmed"},  // a time that cannot be read matches on call and band alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a_time + " " + c.b_time);
    const ContestResult r =
        CrossCheckLogs({Log("A1A", {{.time = c.a_time, .worked = "B1B"}}), Log("B1B", {{.time = c.b_time, .worked = "A1A"}})},
                       {.time_window_minutes = c.window});
    EXPECT_EQ(Status(r, 0, 0), c.expected);
    EXPECT_EQ(Status(r, 1, 0), c.expected);
  }
}

TEST(CrossCheck, ClosestTimesPairFirst) {
  // A worked B twice (another contact between, so neither is a repeat);
  // B logged A once: the closer of A's contacts pairs, ties to the earlier line.
  struct Case {
    std::string first, second, b_time;
    std::vector<std::string> expected;  // A's three contacts
  };
  const std::vector<Case> cases = {
      {"1200", "1208", "1207", {"nil", "unique", "confirmed"}},
      {"1200", "1208", "1201", {"confirmed", "unique", "nil"}},
      {"1200", "1210", "1205", {"confirmed", "unique", "nil"}},
  };
  for (const Case& c : cases) {
    const ContestResult r = CrossCheckLogs(
        {Log("A1A", {{.time = c.first, .worked = "B1B"}, {.time = c.first, .worked = "X9X"}, {.time = c.second, .worked = "B1B"}}),
         Log("B1B", {{.time = c.b_time, .worked = "A1A"}})});
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(Status(r, 0, i), c.expected[i]) << c.b_time << " contact " << i;
    const ContactCheck b = r.logs[1].contacts[0];
    EXPECT_EQ(b.other_log, 0U);
    EXPECT_EQ(b.other_line, c.expected[0] == "confirmed" ? 3 : 5);
  }
}

TEST(CrossCheck, BustedCallByEachEdit) {
  struct Case {
    std::string logged;
    std::string expected_a, expected_b;
  };
  const std::vector<Case> cases = {
      {"DL1ABD", "busted-call", "confirmed"},  // changed
      {"DL1ABCX", "busted-call", "confirmed"}, // added
      {"DL1AB", "busted-call", "confirmed"},   // dropped
      {"DL1BAC", "busted-call", "confirmed"},  // neighbours swapped
      {"dl1abc", "confirmed", "confirmed"},    // case is no edit
      {"DL2ABD", "unique", "nil"},             // two edits away
      {"DL1CAB", "unique", "nil"},             // swapped, but not neighbours
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.logged);
    const ContestResult r = CrossCheckLogs({Log("A1A", {{.time = "1200", .worked = c.logged}}),
                                            Log("DL1ABC", {{.time = "1203", .worked = "A1A"}})});
    EXPECT_EQ(Status(r, 0, 0), c.expected_a);
    EXPECT_EQ(Status(r, 1, 0), c.expected_b);
    const ContactCheck a = r.logs[0].contacts[0];
    if (c.expected_a == "busted-call") {
      EXPECT_EQ(a.correct_call, "DL1ABC");
      EXPECT_EQ(a.worked_call, c.logged);
      EXPECT_EQ(a.other_log, 1U);
      EXPECT_EQ(a.other_line, 3);
    }
  }
}

TEST(CrossCheck, BustedCallTakesOnlyUnpairedContactsOnTheBandInTheWindow) {
  // E logged A twice on 20 m and once on 40 m; A logged E once rightly, once
  // miscopied on 20 m, once miscopied on 40 m outside the window.
  const ContestResult r = CrossCheckLogs(
      {Log("A1A", {{.time = "1200", .worked = "E1E"}, {.time = "1230", .worked = "E1F"}, {.freq = "7025", .time = "1300", .worked = "E1F"}}),
       Log("E1E", {{.time = "1201", .worked = "A1A"}, {.time = "1210", .worked = "Q1Q"}, {.time = "1231", .worked = "A1A", .rcvd1 = "002"}, {.freq = "7025", .time = "1320", .worked = "A1A"}})});
  EXPECT_EQ(Status(r, 0, 0), "confirmed");
  EXPECT_EQ(Status(r, 0, 1), "busted-call");
  EXPECT_EQ(Status(r, 0, 2), "unique");
  EXPECT_EQ(Status(r, 1, 0), "confirmed");
  EXPECT_EQ(Status(r, 1, 2), "busted-exchange");  // paired through the busted call, exchange compared
  EXPECT_EQ(Status(r, 1, 3), "nil");
}

TEST(CrossCheck, ExchangeCompare) {
  struct Case {
    std::string rcvd1, rcvd2;
    std::string status, field, logged, sent;
  };
  const std::vector<Case> cases = {
      {"001", "BU", "confirmed", "", "", ""},
      {"001", "bu", "confirmed", "", "", ""},
      {"010", "BU", "busted-exchange", "12", "010", "001"},
      {"001", "CJ", "busted-exchange", "13", "CJ", "BU"},
      {"002", "CJ", "busted-exchange", "12", "002", "001"},
  };
  for (const Case& c : cases) {
    const ContestResult r = CrossCheckLogs({Log("A1A", {{.worked = "B1B", .rcvd1 = c.rcvd1, .rcvd2 = c.rcvd2}}),
                                            Log("B1B", {{.worked = "A1A"}})});
    const ContactCheck a = r.logs[0].contacts[0];
    EXPECT_EQ(StatusName(a.status), c.status) << c.rcvd1 << c.rcvd2;
    EXPECT_EQ(a.field, c.field);
    EXPECT_EQ(a.logged, c.logged);
    EXPECT_EQ(a.sent, c.sent);
    EXPECT_EQ(Status(r, 1, 0), "confirmed");
  }
}

TEST(CrossCheck, NilUniqueUnverifiedAndTheRunsOwnStatuses) {
  const ContestResult r = CrossCheckLogs(
      {Log("A1A", {{.worked = "B1B"}, {.worked = "X1X"}, {.worked = "Y1Y"}, {.worked = "Y1Y"}, {.freq = "50100", .worked = "C1C"}}),
       Log("B1B", {{.worked = "C1C"}}), Log("C1C", {{.worked = "Y1Y"}, {.worked = "B1B"}})});
  const std::vector<std::string> a = {"nil", "unique", "unverified", "repeat", "no-band"};
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(Status(r, 0, i), a[i]) << i;
  EXPECT_EQ(Status(r, 1, 0), "confirmed");
  EXPECT_EQ(Status(r, 2, 0), "unverified");
  EXPECT_EQ(r.logs[0].Count(ContactStatus::kUnverified), 1);
  EXPECT_EQ(r.logs[0].contacts.size(), 5U);
}

TEST(CrossCheck, CategoriesRankingChecklogsAndRejectedLogs) {
  std::vector<NamedLog> logs = {
      Log("A1A", {{.worked = "B1B"}}, "CATEGORY-OPERATOR: SINGLE-OP\r\nCATEGORY-BAND: ALL\r\nCATEGORY-POWER: LOW\r\nCATEGORY-MODE: CW\r\nCLAIMED-SCORE: 1234\r\n"),
      Log("B1B", {{.worked = "A1A"}, {.worked = "C1C"}}, "CATEGORY: SINGLE-OP ALL LOW CW\r\n"),
      Log("C1C", {{.worked = "B1B"}}, "CATEGORY-OPERATOR: CHECKLOG\r\n"),
      {"junk.txt", "this is no log\r\n"},
      Log("D1D", {{.worked = "A1A"}}, "CATEGORY: MULTI-ONE ALL HIGH CW\r\n"),
  };
  const ContestResult r = CrossCheckLogs(logs);
  ASSERT_EQ(r.logs.size(), 4U);
  ASSERT_EQ(r.skipped.size(), 1U);
  EXPECT_EQ(r.skipped[0].name, "junk.txt");
  EXPECT_EQ(r.skipped[0].reason.find("this is"), std::string::npos);  // the reason quotes no content
  EXPECT_EQ(r.logs[0].claimed_score, 1234);
  EXPECT_FALSE(r.logs[1].claimed_score);
  EXPECT_EQ(r.logs[1].category[CategoryPart::kPower], "LOW");
  EXPECT_TRUE(r.logs[2].category.checklog);
  EXPECT_EQ(Status(r, 1, 1), "confirmed");  // the checklog confirms
  const std::vector<CategoryGroup> groups = RankByCategory(r);
  ASSERT_EQ(groups.size(), 2U);
  EXPECT_EQ(groups[0].category[CategoryPart::kOperator], "MULTI-OP");
  EXPECT_EQ(groups[0].logs, std::vector<std::size_t>({3}));
  EXPECT_EQ(groups[1].category[CategoryPart::kOperator], "SINGLE-OP");
  EXPECT_EQ(groups[1].logs, std::vector<std::size_t>({1, 0}));  // v3 and v2 headers in one group, best first
}

TEST(CrossCheck, EntrantCallFromFirstContactWhenNoCallsign) {
  NamedLog b = Log("B1B", {{.worked = "A1A"}});
  b.bytes.erase(b.bytes.find("CALLSIGN: B1B\r\n"), 15);
  const ContestResult r = CrossCheckLogs({Log("A1A", {{.worked = "b1b"}}), b});
  EXPECT_EQ(r.logs[1].call, "B1B");
  EXPECT_EQ(Status(r, 0, 0), "confirmed");
}

TEST(NearCalls, OneEditApart) {
  struct Case {
    std::string a, b;
    bool near;
  };
  const std::vector<Case> cases = {{"K1AB", "K1AC", true}, {"K1AB", "K1ABC", true}, {"K1AB", "1AB", true},
                                   {"K1AB", "K1BA", true}, {"K1AB", "K1AB", false}, {"K1AB", "K2AC", false},
                                   {"K1AB", "1KBA", false}, {"", "K", true},         {"K1AB", "k1ac", true}};
  NearCallIndex index;
  index.Add("K1AB", 0);
  for (const Case& c : cases) {
    EXPECT_EQ(OneEditApart(c.a, c.b), c.near) << c.a << " " << c.b;
    if (c.a == "K1AB" && !c.b.empty()) {
      EXPECT_EQ(index.Near(c.b).size(), c.near ? 1U : 0U) << c.b;
    }
  }
}

// Hostile shapes: each must finish with the right answer, whatever its size.
TEST(CrossCheckHostile, MillionContactsWithOneStation) {
  constexpr int kCount = 1'000'000;
  std::string a = "START-OF-LOG: 3.0\nCALLSIGN: A1A\n", b = "START-OF-LOG: 3.0\nCALLSIGN: B1B\n";
  for (int i = 0; i < kCount; ++i) {
    const char* freq = i % 2 == 0 ? "14025" : "7025";  // alternate bands: no repeats
    a += std::string("QSO: ") + freq + " CW 2026-03-07 1200 A1A 599 001 BU B1B 599 001 BU\n";
    b += std::string("QSO: ") + freq + " CW 2026-03-07 1200 B1B 599 001 BU A1A 599 001 BU\n";
  }
  const ContestResult r = CrossCheckLogs({{"a", a}, {"b", b}});
  EXPECT_EQ(r.logs[0].Count(ContactStatus::kConfirmed), kCount);
  EXPECT_EQ(r.logs[1].Count(ContactStatus::kConfirmed), kCount);
  EXPECT_EQ(r.logs[0].contacts[kCount - 1].other_line, kCount + 2);
}

// Ten thousand logs of one call: the last counts, the others are superseded
// and take no part.
TEST(CrossCheckHostile, TenThousandLogsOfOneCall) {
  std::vector<NamedLog> logs;
  for (int i = 0; i < 10'000; ++i) logs.push_back(Log("A1A", {{.worked = "B1B"}, {.worked = "B1C"}}));
  logs.push_back(Log("B1B", {{.worked = "A1A"}, {.freq = "7025", .worked = "A1A"}}));
  const ContestResult r = CrossCheckLogs(logs);
  std::int64_t superseded = 0;
  for (std::size_t i = 0; i < 10'000; ++i) superseded += r.logs[i].superseded_by == 9'999 ? 1 : 0;
  EXPECT_EQ(superseded, 9'999);
  EXPECT_EQ(r.logs[9'999].superseded_by, kNoLog);
  EXPECT_EQ(Status(r, 9'999, 0), "confirmed");
  EXPECT_EQ(Status(r, 9'999, 1), "unique");
  EXPECT_EQ(Status(r, 10'000, 0), "confirmed");
  EXPECT_EQ(Status(r, 10'000, 1), "nil");
  EXPECT_EQ(RankByCategory(r).front().logs.size(), 2U);
}

TEST(CrossCheckHostile, EveryCallOneEditFromEveryOther) {
  // Calls K1A..K1Z all differ in one character. A has 200,000 contacts with
  // the ten that sent no log; each of the sixteen entrants logged A once.
  std::vector<std::string> calls;
  for (char c = 'A'; c <= 'Z'; ++c) calls.push_back(std::string("K1") + c);
  std::vector<NamedLog> logs;
  std::string a = "START-OF-LOG: 3.0\nCALLSIGN: A1A\n";
  for (int i = 0; i < 200'000; ++i) {
    a += "QSO: " + std::string(i % 2 ? "14025" : "7025") + " CW 2026-03-07 1200 A1A 599 001 BU " + calls[16 + i % 10] +
         " 599 001 BU\n";
  }
  logs.push_back({"a", a});
  for (int e = 0; e < 16; ++e) logs.push_back(Log(calls[e], {{.worked = "A1A"}}));
  const ContestResult r = CrossCheckLogs(logs);
  EXPECT_EQ(r.logs[0].Count(ContactStatus::kBustedCall), 16);
  EXPECT_EQ(r.logs[0].Count(ContactStatus::kUnique), 200'000 - 16);
  for (int e = 1; e <= 16; ++e) EXPECT_EQ(Status(r, e, 0), "confirmed");
}

}  // namespace
}  // namespace zelo
