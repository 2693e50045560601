// Counts the calls of the global operator new, so that benchmarks can report
// allocations per call.
#ifndef ORVIK_CHRONO_BENCH_ALLOCATION_COUNTER_H_
#define ORVIK_CHRONO_BENCH_ALLOCATION_COUNTER_H_

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>

namespace orvik::chrono::bench {

extern std::atomic<std::uint64_t> allocations;

// Reports the allocations made since construction as "allocs/op". The count
// is process-wide, so in a benchmark of several threads only the first one
// reports it, and the framework divides it by the iterations of all.
class AllocationsPerCall {
 public:
  explicit AllocationsPerCall(benchmark::State& state) : state_(state), start_(allocations.load()) {}
  AllocationsPerCall(const AllocationsPerCall&) = delete;
  AllocationsPerCall& operator=(const AllocationsPerCall&) = delete;
  ~AllocationsPerCall() {
    if (state_.thread_index() != 0) return;
    state_.counters["allocs/op"] =
        benchmark::Counter(static_cast<double>(allocations.load() - start_), benchmark::Counter::kAvgIterations);
  }

 private:
  benchmark::State& state_;
  std::uint64_t start_;
};

}  // namespace orvik::chrono::bench

#endif  // ORVIK_CHRONO_BENCH_ALLOCATION_COUNTER_H_
