// ToCalendarTime beside libc's gmtime_r and localtime_r: a cache hit (the
// same hour), a refill on every call, and two threads sharing one hour.
#include <orvik/chrono/chrono.h>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <ctime>

#include "allocation_counter.h"

namespace orvik::chrono::bench {
namespace {

constexpr std::int64_t kSecond = 1'000'000'000;
constexpr std::int64_t kBase = 1709622000 * kSecond;  // 2024-03-05T07:00:00Z

// Instants within one hour, and instants one hour and a bit apart.
template <std::int64_t kStep>
std::array<TimePoint, 1024> Ring() {
  std::array<TimePoint, 1024> ring{};
  for (std::size_t i = 0; i < ring.size(); ++i) {
    ring[i] = TimePoint(std::chrono::nanoseconds(kBase + static_cast<std::int64_t>(i) * kStep % (kStep * 1024)));
  }
  return ring;
}
const auto kSameHour = Ring<3 * kSecond + 7>();
const auto kNewHourEachCall = Ring<3601 * kSecond + 7>();

void BM_ToCalendarTime(benchmark::State& state, TimeZone zone, const std::array<TimePoint, 1024>& ring) {
  const AllocationsPerCall allocations(state);
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(ToCalendarTime(ring[i++ & 1023U], zone));
}

void BM_Libc(benchmark::State& state, TimeZone zone, const std::array<TimePoint, 1024>& ring) {
  std::size_t i = 0;
  for (auto _ : state) {
    const long seconds = ring[i++ & 1023U].time_since_epoch().count() / kSecond;
    std::tm tm{};
    benchmark::DoNotOptimize(zone == TimeZone::UTC ? gmtime_r(&seconds, &tm) : localtime_r(&seconds, &tm));
  }
}

BENCHMARK_CAPTURE(BM_ToCalendarTime, utc_hit, TimeZone::UTC, kSameHour);
BENCHMARK_CAPTURE(BM_ToCalendarTime, local_hit, TimeZone::Local, kSameHour);
BENCHMARK_CAPTURE(BM_ToCalendarTime, utc_refill, TimeZone::UTC, kNewHourEachCall);
BENCHMARK_CAPTURE(BM_ToCalendarTime, local_refill, TimeZone::Local, kNewHourEachCall);
BENCHMARK_CAPTURE(BM_Libc, gmtime_r, TimeZone::UTC, kSameHour);
BENCHMARK_CAPTURE(BM_Libc, localtime_r, TimeZone::Local, kSameHour);
BENCHMARK_CAPTURE(BM_ToCalendarTime, utc_hit_2_threads, TimeZone::UTC, kSameHour)->Threads(2)->UseRealTime();
BENCHMARK_CAPTURE(BM_Libc, gmtime_r_2_threads, TimeZone::UTC, kSameHour)->Threads(2)->UseRealTime();

}  // namespace
}  // namespace orvik::chrono::bench

BENCHMARK_MAIN();
