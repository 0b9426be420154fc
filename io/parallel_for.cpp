#include "io/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace zelo {

unsigned HardwareThreads() { return std::max(1U, std::thread::hardware_concurrency()); }

void ParallelFor(std::size_t n, unsigned threads, const std::function<void(std::size_t)>& fn) {
  if (threads <= 1 || n < 2) {
    for (std::size_t i = 0; i < n; ++i) fn(i);
    return;
  }
  constexpr std::size_t kChunksPerThread = 64;
  const std::size_t chunk = std::max<std::size_t>(1, n / (threads * kChunksPerThread));
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (;;) {
      const std::size_t begin = next.fetch_add(chunk);
      if (begin >= n) return;
      const std::size_t end = std::min(n, begin + chunk);
      for (std::size_t i = begin; i < end; ++i) fn(i);
    }
  };
  std::vector<std::jthread> pool;
  pool.reserve(threads - 1);
  for (unsigned t = 1; t < threads && t < n; ++t) {
    try {
      pool.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // no more threads to be had: those running share the rest
    }
  }
  work();
}

}  // namespace zelo
