// The benchmarks of each subsystem, registered by main before they run.
#ifndef ORVIK_CHRONO_BENCH_BENCHMARKS_H_
#define ORVIK_CHRONO_BENCH_BENCHMARKS_H_

namespace orvik::chrono::bench {

void RegisterCalendarBenchmarks();
void RegisterHttpDateBenchmarks();
void RegisterIso8601Benchmarks();
void RegisterDurationBenchmarks();
void RegisterNoExceptionBenchmarks();
void RegisterLayoutBenchmarks();

}  // namespace orvik::chrono::bench

#endif  // ORVIK_CHRONO_BENCH_BENCHMARKS_H_
