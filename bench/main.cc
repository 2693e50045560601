// Runs every benchmark of the library beside its peers in one process, so
// that all of them see the same machine and the same time-zone setting.
#include <benchmark/benchmark.h>

#include "benchmarks.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  orvik::chrono::bench::RegisterCalendarBenchmarks();
  orvik::chrono::bench::RegisterIso8601Benchmarks();
  orvik::chrono::bench::RegisterHttpDateBenchmarks();
  orvik::chrono::bench::RegisterDurationBenchmarks();
  orvik::chrono::bench::RegisterNoExceptionBenchmarks();
  orvik::chrono::bench::RegisterLayoutBenchmarks();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
