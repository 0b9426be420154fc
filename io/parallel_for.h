// Work spread over threads, for the contest's many logs and files.
#pragma once

#include <cstddef>
#include <functional>

namespace zelo {

// The number of threads the machine runs at once (at least 1).
unsigned HardwareThreads();

// Runs fn(i) for every i in [0, n) on up to `threads` threads, the calling
// thread among them, handing out indices in small chunks so that one slow
// item does not hold the others up. When the system refuses a thread, the
// threads already running (down to the calling thread alone) do the rest:
// every index is run exactly once however many threads could be had.
void ParallelFor(std::size_t n, unsigned threads, const std::function<void(std::size_t)>& fn);

}  // namespace zelo
