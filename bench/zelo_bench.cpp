// zelo_bench: times the scoring core on generated logs of growing size and on
// hostile shapes, the log check, plus the file read, the sort, a big band view and the
// listing bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "bench/log_maker.h"
#include "check/log_check.h"
#include "input/log_file.h"
#include "scoring/sort_list.h"
#include "scoring/score_log.h"
#include "views/band_view.h"
#include "views/listing.h"

namespace {

using zelo::bench::LogShape;

// Generated once per shape and size, kept for the whole run.
const zelo::bench::GeneratedLog& Log(LogShape shape, std::int64_t contacts) {
  static std::map<std::pair<LogShape, std::int64_t>, zelo::bench::GeneratedLog> cache;
  auto [it, inserted] = cache.try_emplace({shape, contacts});
  if (inserted) it->second = zelo::bench::MakeLog({.shape = shape, .contacts = contacts});
  return it->second;
}

void ScoreShape(benchmark::State& state, LogShape shape) {
  const auto& log = Log(shape, state.range(0));
  for (auto _ : state) {
    zelo::ScoreResult result = zelo::ScoreLog(log.text);
    benchmark::DoNotOptimize(result.final_score);
    if (result.total_qsos != log.facts.TotalQsos()) state.SkipWithError("wrong contact count");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(log.text.size()));
  state.counters["MB"] = static_cast<double>(log.text.size()) / 1e6;
}

void BM_ScoreAligned(benchmark::State& state) { ScoreShape(state, LogShape::kAligned); }
void BM_ScoreLfOnly(benchmark::State& state) { ScoreShape(state, LogShape::kLf); }
void BM_ScoreOneLine(benchmark::State& state) { ScoreShape(state, LogShape::kOneLine); }
void BM_ScoreHugeLine(benchmark::State& state) { ScoreShape(state, LogShape::kHugeLine); }
void BM_ScoreDistinct(benchmark::State& state) { ScoreShape(state, LogShape::kDistinct); }

BENCHMARK(BM_ScoreAligned)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScoreLfOnly)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScoreOneLine)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScoreHugeLine)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScoreDistinct)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The log check of the aligned log, beside BM_ScoreAligned's scoring run.
void BM_CheckAligned(benchmark::State& state) {
  const auto& log = Log(LogShape::kAligned, state.range(0));
  for (auto _ : state) {
    zelo::CheckReport report = zelo::CheckLog(log.text);
    benchmark::DoNotOptimize(report.findings.data());
    if (report.summary.qsos != log.facts.TotalQsos()) state.SkipWithError("wrong contact count");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(log.text.size()));
}
BENCHMARK(BM_CheckAligned)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_ReadWholeFile(benchmark::State& state) {
  const auto& log = Log(LogShape::kAligned, state.range(0));
  char path[] = "/tmp/zelo-bench-XXXXXX";
  const int fd = ::mkstemp(path);
  if (fd < 0 || ::write(fd, log.text.data(), log.text.size()) != static_cast<ssize_t>(log.text.size())) {
    state.SkipWithError("cannot write the temporary log");
    return;
  }
  ::close(fd);
  for (auto _ : state) {
    zelo::FileRead read = zelo::ReadWholeFile(path);
    if (!read.ok || read.bytes.size() != log.text.size()) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(read.bytes.data());
  }
  ::unlink(path);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(log.text.size()));
}
BENCHMARK(BM_ReadWholeFile)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Worked calls of the distinct-shape log, in log order: a big band.
std::vector<std::string_view> BigBand(std::int64_t contacts) {
  const zelo::ScoreResult result = zelo::ScoreLog(Log(LogShape::kDistinct, contacts).text);
  return result.Tally(zelo::Band::k20).calls;
}

void BM_SortList(benchmark::State& state) {
  // Calls of the aligned log: many repeats, in no order.
  const auto& log = Log(LogShape::kAligned, state.range(0));
  const zelo::ScoreResult result = zelo::ScoreLog(log.text);
  std::vector<std::string_view> items;
  for (const auto& tally : result.bands) items.insert(items.end(), tally.calls.begin(), tally.calls.end());
  std::int64_t bytes = 0;
  for (std::string_view item : items) bytes += static_cast<std::int64_t>(item.size());
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string_view> list = items;
    state.ResumeTiming();
    zelo::SortList(list);
    benchmark::DoNotOptimize(list.data());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(items.size()));
}
BENCHMARK(BM_SortList)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_BandViewLines(benchmark::State& state) {
  const std::vector<std::string_view> calls = BigBand(state.range(0));
  for (auto _ : state) {
    std::vector<std::string> lines = zelo::BandViewLines(zelo::Band::k20, calls);
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(calls.size()));
}
BENCHMARK(BM_BandViewLines)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_ListingBytes(benchmark::State& state) {
  const std::vector<std::string> lines = zelo::BandViewLines(zelo::Band::k20, BigBand(state.range(0)));
  std::int64_t bytes = 0;
  for (auto _ : state) {
    std::string listing = zelo::ListingBytes(lines);
    bytes = static_cast<std::int64_t>(listing.size());
    benchmark::DoNotOptimize(listing.data());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_ListingBytes)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
