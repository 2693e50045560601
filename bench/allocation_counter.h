// Counts the calls of the global operator new, so that benchmarks can report
// allocations per call.
#ifndef ORVIK_CHRONO_BENCH_ALLOCATION_COUNTER_H_
#define ORVIK_CHRONO_BENCH_ALLOCATION_COUNTER_H_

#include <benchmark/benchmark.h>

#include <cstdint>

namespace orvik::chrono::bench {

// This thread's count: a count that threads shared would make every
// allocation a write to memory that the other threads write too.
extern thread_local std::uint64_t allocations;

// Reports the allocations that this thread made since construction as
// "allocs/op"; the framework adds up the threads' counts and divides them by
// the iterations of all.
class AllocationsPerCall {
 public:
  explicit AllocationsPerCall(benchmark::State& state) : state_(state), start_(allocations) {}
  AllocationsPerCall(const AllocationsPerCall&) = delete;
  AllocationsPerCall& operator=(const AllocationsPerCall&) = delete;
  ~AllocationsPerCall() {
    state_.counters["allocs/op"] =
        benchmark::Counter(static_cast<double>(allocations - start_), benchmark::Counter::kAvgIterations);
  }

 private:
  benchmark::State& state_;
  std::uint64_t start_;
};

}  // namespace orvik::chrono::bench

#endif  // ORVIK_CHRONO_BENCH_ALLOCATION_COUNTER_H_
