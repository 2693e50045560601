// A driver for instruction counts under valgrind: one call over the rings of
// the benchmark suite, a given number of times, in the function Measured
// alone, after one warm-up pass over the ring (the thread's first look at
// the zone, the rings' own making):
//
//   valgrind --tool=callgrind --toggle-collect='*Measured*'
//       build/bench/bench/orvik_chrono_instructions <call> <calls>
//
// gives the instructions of <calls> calls, the loop's own included. Calls:
// utc_random, local_random, utc_hit, local_hit (ToCalendarTime),
// iso_utc_random, iso_local_random (ToIso8601), named_random
// (ToCalendarTime in America/New_York), from_civil_random (ToCalendarTime in
// UTC, then TryFromCivil of its fields in America/New_York), localtime_r_random,
// gmtime_r_random, and absl_local_random where Abseil is installed.
#include <orvik/chrono/chrono.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include "inputs.h"

#ifdef ORVIK_BENCH_HAVE_ABSL
#include <absl/time/time.h>
#endif

namespace orvik::chrono::bench {
namespace {

using Call = std::function<void(TimePoint)>;

[[gnu::noinline]] void Measured(const Call& call, const std::vector<TimePoint>& ring, long calls) {
  for (long i = 0; i < calls; ++i) call(ring[static_cast<std::size_t>(i) & (kRingSize - 1)]);
}

[[gnu::noinline]] void WarmUp(const Call& call, const std::vector<TimePoint>& ring) {
  for (const TimePoint t : ring) call(t);
}

struct Case {
  const std::vector<TimePoint>* Ring;
  Call Run;
};

std::map<std::string, Case> Cases() {
  const auto calendar = [](TimeZone zone) {
    return [zone](TimePoint t) { benchmark::DoNotOptimize(ToCalendarTime(t, zone)); };
  };
  const auto iso = [](TimeZone zone) { return [zone](TimePoint t) { benchmark::DoNotOptimize(ToIso8601(t, zone)); }; };
  const auto libc = [](TimeZone zone) {
    return [zone](TimePoint t) { benchmark::DoNotOptimize(LibcCalendarTime(WholeSeconds(t), zone)); };
  };
  std::map<std::string, Case> cases{
      {"utc_random", {&RandomInstants(), calendar(TimeZone::UTC)}},
      {"local_random", {&RandomInstants(), calendar(TimeZone::Local)}},
      {"utc_hit", {&SameHourInstants(), calendar(TimeZone::UTC)}},
      {"local_hit", {&SameHourInstants(), calendar(TimeZone::Local)}},
      {"iso_utc_random", {&RandomInstants(), iso(TimeZone::UTC)}},
      {"iso_local_random", {&RandomInstants(), iso(TimeZone::Local)}},
      {"gmtime_r_random", {&RandomInstants(), libc(TimeZone::UTC)}},
      {"localtime_r_random", {&RandomInstants(), libc(TimeZone::Local)}},
      {"named_random",
       {&RandomInstants(),
        [zone = LoadZone("America/New_York")](TimePoint t) { benchmark::DoNotOptimize(ToCalendarTime(t, zone)); }}},
      {"from_civil_random",
       {&RandomInstants(),
        [zone = LoadZone("America/New_York")](TimePoint t) {
          const std::tm tm = ToCalendarTime(t, Zone::Utc());
          benchmark::DoNotOptimize(
              TryFromCivil({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0}, zone,
                           Disambiguation::Compatible));
        }}},
  };
#ifdef ORVIK_BENCH_HAVE_ABSL
  cases.emplace("absl_local_random", Case{&RandomInstants(), [](TimePoint t) {
                                            static const absl::TimeZone local = absl::LocalTimeZone();
                                            benchmark::DoNotOptimize(local.At(absl::FromChrono(t)));
                                          }});
#endif
  return cases;
}

}  // namespace
}  // namespace orvik::chrono::bench

int main(int argc, char** argv) {
  const auto cases = orvik::chrono::bench::Cases();
  const auto found = argc == 3 ? cases.find(argv[1]) : cases.end();
  if (found == cases.end()) {
    std::fputs("usage: orvik_chrono_instructions <call> <calls>; calls:", stderr);
    for (const auto& [name, c] : cases) std::fprintf(stderr, " %s", name.c_str());
    std::fputs("\n", stderr);
    return 2;
  }
  const long calls = std::strtol(argv[2], nullptr, 10);
  orvik::chrono::bench::WarmUp(found->second.Run, *found->second.Ring);
  orvik::chrono::bench::Measured(found->second.Run, *found->second.Ring, calls);
  return 0;
}
