// zelo-score --explain on a log whose items all share one standard-library
// string hash, against as many ordinary items: the flood must cost about
// what the ordinary log costs (compare BM_ExplainOneHashItems with
// BM_ExplainOrdinaryItems).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace {

// The 64-bit string hash of libstdc++ (MurmurHash64A with a fixed seed), for
// 16-byte texts: two 8-byte blocks.
constexpr std::uint64_t kMul = (std::uint64_t{0xc6a4a793} << 32) + 0x5bd1e995;
constexpr std::uint64_t kSeed = 0xc70f6907;

std::uint64_t ShiftMix(std::uint64_t v) { return v ^ (v >> 47); }  // its own inverse

std::uint64_t Inverse(std::uint64_t odd) {
  std::uint64_t x = odd;
  for (int i = 0; i < 6; ++i) x *= 2 - odd * x;
  return x;
}

std::uint64_t Block(std::uint64_t data) { return ShiftMix(data * kMul) * kMul; }
std::uint64_t UnBlock(std::uint64_t mixed) { return ShiftMix(mixed * Inverse(kMul)) * Inverse(kMul); }

// `count` different 16-byte items whose hashes are all equal: the first
// block is free, the second is solved so that the state after it is the same.
std::vector<std::string> ItemsWithOneHash(int count) {
  const std::uint64_t start = kSeed ^ (16 * kMul);
  const std::uint64_t target = 0x5A5A5A5A5A5A5A5AULL;
  std::vector<std::string> items;
  for (std::uint64_t n = 0; static_cast<int>(items.size()) < count; ++n) {
    char first[9];
    std::snprintf(first, sizeof first, "M%07llu", static_cast<unsigned long long>(n));
    std::uint64_t a = 0;
    std::memcpy(&a, first, 8);
    const std::uint64_t state = (start ^ Block(a)) * kMul;
    const std::uint64_t b = UnBlock(state ^ target);
    std::string item(first, 8);
    item.append(reinterpret_cast<const char*>(&b), 8);
    // An item is one field: no blank, tab or line end in it.
    if (item.find_first_of(std::string_view(" \t\r\n", 4)) != std::string::npos) continue;
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<std::string> OrdinaryItems(int count) {
  std::vector<std::string> items;
  for (int i = 0; i < count; ++i) items.push_back("ORDINARY" + std::to_string(i));
  return items;
}

// Writes a log of one 20 m contact per item to a temporary file.
std::string WriteLog(const std::vector<std::string>& items) {
  std::string log = "START-OF-LOG: 3.0\r\n";
  long n = 0;
  for (const std::string& item : items) {
    log += "QSO: 14025 CW 2026-02-14 0000 YO3ZELO 599 0001 BU K" + std::to_string(n++) + " 599 0098 " + item + "\r\n";
  }
  char path[] = "/tmp/zelo-bench-explain-XXXXXX";
  const int fd = ::mkstemp(path);
  if (fd < 0) return {};
  const bool written = ::write(fd, log.data(), log.size()) == static_cast<ssize_t>(log.size());
  ::close(fd);
  return written ? path : "";
}

void Explain(benchmark::State& state, const std::vector<std::string>& items) {
  const std::string path = WriteLog(items);
  if (path.empty()) {
    state.SkipWithError("cannot write the temporary log");
    return;
  }
  const char* argv[] = {"zelo-score", "--explain", path.c_str()};
  for (auto _ : state) {
    std::ostringstream out, err;
    if (zelo::RunCli(3, argv, out, err) != zelo::kExitScored) state.SkipWithError("not scored");
    benchmark::DoNotOptimize(out.tellp());
  }
  ::unlink(path.c_str());
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(items.size()));
}

void BM_ExplainOneHashItems(benchmark::State& state) {
  Explain(state, ItemsWithOneHash(static_cast<int>(state.range(0))));
}
void BM_ExplainOrdinaryItems(benchmark::State& state) {
  Explain(state, OrdinaryItems(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ExplainOneHashItems)->Arg(40'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExplainOrdinaryItems)->Arg(40'000)->Unit(benchmark::kMillisecond);

}  // namespace
