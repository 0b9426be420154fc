// Work spread over threads goes on when the system refuses a thread: the
// threads already running, down to the calling thread alone, do the rest.
// A child process, its thread limit lowered below what it already runs,
// cannot start a single thread.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "contest/contest.h"
#include "io/parallel_for.h"
#include "support/child.h"
#include "support/contacts.h"

namespace zelo::test {
namespace {

// Lowers the limit of processes and threads to one, which this process
// already is; "skip: ..." when the system lets a thread start all the same.
std::string NoMoreThreads() {
  const rlimit one{1, 1};
  if (::setrlimit(RLIMIT_NPROC, &one) != 0) return std::string("setrlimit: ") + std::strerror(errno);
  try {
    std::thread probe([] {});
    probe.join();
    return "skip: a thread could still be started";
  } catch (const std::system_error&) {
    return {};
  }
}

ChildResult WithoutThreads(const std::function<Fields()>& work) {
  ChildSetup setup;
  setup.as_nobody = true;
  return RunInChild(setup, [&]() -> Fields {
    if (std::string refused = NoMoreThreads(); !refused.empty()) return {refused};
    return work();
  });
}

TEST(ThreadFallback, EveryIndexRunsOnce) {
  for (const std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{7}, std::size_t{5000}}) {
    const ChildResult child = WithoutThreads([n] {
      std::vector<std::atomic<int>> runs(n);
      ParallelFor(n, 4, [&](std::size_t i) { ++runs[i]; });
      std::string counts;
      for (const auto& r : runs) counts += std::to_string(r.load());
      return Fields{std::move(counts)};
    });
    ASSERT_TRUE(child.finished) << child.trouble;
    if (child.fields.front().starts_with("skip: ")) GTEST_SKIP() << child.fields.front();
    EXPECT_EQ(child.fields.front(), std::string(n, '1')) << n;
  }
}

// A small contest, each station working the next ones on two bands.
std::vector<NamedLog> SmallContest() {
  constexpr int kStations = 30;
  std::vector<NamedLog> logs;
  for (int s = 0; s < kStations; ++s) {
    const std::string me = Numbered("K", s).append("AA");
    std::string text = "START-OF-LOG: 3.0\r\nCALLSIGN: ";
    text.append(me).append("\r\n");
    for (int k = 1; k <= 6; ++k) {
      const int other = (s + k) % kStations;
      if ((s * 7 + k) % 11 == 0) continue;  // some contacts one side never logged
      const std::string freq = k % 2 == 0 ? "14025" : "7025";
      text.append("QSO: ").append(freq).append(" CW 2026-03-07 ").append(Numbered("12", 10 + k));
      text.append(" ").append(me).append(" 599 001 BU ").append(Numbered("K", other)).append("AA 599 001 BU\r\n");
    }
    logs.push_back({me + ".log", text + "END-OF-LOG:\r\n"});
  }
  return logs;
}

Fields Statuses(const ContestResult& result) {
  Fields fields;
  for (const LogCheck& log : result.logs) {
    std::string line = log.call;
    line.append(" ").append(std::to_string(log.checked_score));
    for (const ContactCheck& c : log.contacts) line.append(" ").append(StatusName(c.status));
    fields.push_back(std::move(line));
  }
  return fields;
}

TEST(ThreadFallback, CrossCheckFinishesWithTheSameResults) {
  const Fields expected = Statuses(CrossCheckLogs(SmallContest(), {.threads = 4}));
  const ChildResult child = WithoutThreads([] { return Statuses(CrossCheckLogs(SmallContest(), {.threads = 4})); });
  ASSERT_TRUE(child.finished) << child.trouble;
  if (child.fields.front().starts_with("skip: ")) GTEST_SKIP() << child.fields.front();
  EXPECT_EQ(child.fields, expected);
}

}  // namespace
}  // namespace zelo::test
