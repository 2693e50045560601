// Inputs of the benchmarks, and the loop that measures one implementation
// over them.
//
// Every input is made at start-up by libc and the standard library from a
// fixed seed, never by orvik, so the inputs do not depend on the code they
// measure. Each ring holds kRingSize entries spread across decades (or across
// one hour for the "same hour" rings), and each iteration takes the next one.
#ifndef ORVIK_CHRONO_BENCH_INPUTS_H_
#define ORVIK_CHRONO_BENCH_INPUTS_H_

#include <orvik/chrono/chrono.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "allocation_counter.h"

namespace orvik::chrono::bench {

constexpr std::size_t kRingSize = 4096;  // a power of two: the index wraps by a mask
constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

// Instants from 1970 to 2099 with random nanoseconds.
const std::vector<TimePoint>& RandomInstants();
// Instants inside one hour (2024-03-05T07:00:00Z to 07:59:59.999999999Z).
const std::vector<TimePoint>& SameHourInstants();
// Instants from 1900 to 1969 with random nanoseconds (inside a second, all
// but one in a billion), none in the second before a quarter hour, where
// ToCalendarTime shows the second above.
const std::vector<TimePoint>& RandomInstantsBefore1970();
// Whole seconds from 1970 to 2099.
const std::vector<long>& RandomSeconds();
// Whole seconds from 1971 to 1999, the years that every reader takes a
// two-digit year for (curl reads 70 as 2070).
const std::vector<long>& RandomSecondsOfTwoDigitYears();

inline long WholeSeconds(TimePoint t) {
  return static_cast<long>(t.time_since_epoch().count() / kNanosecondsPerSecond);
}
inline long Nanoseconds(TimePoint t) { return static_cast<long>(t.time_since_epoch().count() % kNanosecondsPerSecond); }
inline TimePoint FromSeconds(long seconds) { return TimePoint(std::chrono::seconds(seconds)); }

// libc's calendar time of `seconds` in UTC or in the process's zone.
std::tm LibcCalendarTime(long seconds, TimeZone zone);

// The date and time of day of `tm`, nanosecond 0.
inline CivilTime CivilOf(const std::tm& tm) {
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0};
}
// The fields of `time` in a std::tm, tm_isdst -1 (mktime finds whether
// summer time is in force).
std::tm TmOf(const CivilTime& time);
// Wall-clock times spread over 1970 to 2100: libc's UTC fields of
// RandomInstants(), so that some fall in a zone's gaps and folds.
const std::vector<CivilTime>& RandomCivilTimes();

// Texts made with strftime from each second of `seconds`.
std::vector<std::string> Strftime(const std::vector<long>& seconds, const char* format);

// A peer's refusal of a text of the ring, which the check before the
// measurement reports.
[[noreturn]] inline void ThrowUnparsed(const std::string& text) { throw std::invalid_argument("not parsed: " + text); }

// Whether a benchmark runs on one thread only, or on two as well: then also
// as "<function>/<variant>_2_threads/<implementation>", timed by the wall
// clock over both threads (a call that scales takes half the time), and both
// rows run long enough for a steady figure.
enum class Threads { kOne, kOneAndTwo };

// Registers one benchmark; `body` receives the benchmark's state. Returns
// the rows registered, one per thread count, for settings such as Setup.
std::vector<benchmark::internal::Benchmark*> Register(const std::string& name,
                                                      std::function<void(benchmark::State&)> body,
                                                      Threads threads = Threads::kOne);

// Measures `call` over `inputs`, one input per iteration, reporting the
// allocations per call. Before the first measurement, `expect(i, result)` must
// hold for the result of every input, or the benchmark reports an error
// instead of a time: a benchmark never times an implementation that does
// something else than the others.
template <typename Input, typename Call, typename Expect>
void Measure(benchmark::State& state, const std::vector<Input>& inputs, const Call& call, const Expect& expect,
             std::atomic<bool>& checked) {
  // Each thread checks until one has succeeded, so that on a failure every
  // thread leaves before the loop, whose start waits for all of them.
  if (!checked.load()) {
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      std::string failure;
      try {
        if (!expect(i, call(inputs[i]))) failure = "unexpected result for input " + std::to_string(i);
      } catch (const std::exception& e) {
        failure = "input " + std::to_string(i) + " threw: " + e.what();
      }
      if (!failure.empty()) {
        state.SkipWithError(failure.c_str());
        return;
      }
    }
    checked.store(true);
  }
  const AllocationsPerCall count_allocations(state);
  std::size_t i = static_cast<std::size_t>(state.thread_index()) * (kRingSize / 2);
  for (auto _ : state) benchmark::DoNotOptimize(call(inputs[i++ & (kRingSize - 1)]));
}

// Registers the measurement of `call` over `inputs` as `name`; returns what
// Register returns.
template <typename Input, typename Call, typename Expect>
std::vector<benchmark::internal::Benchmark*> RegisterMeasure(const std::string& name, std::vector<Input> inputs,
                                                             Call call, Expect expect,
                                                             Threads threads = Threads::kOne) {
  if (inputs.size() != kRingSize) throw std::logic_error(name + ": a ring needs exactly kRingSize inputs");
  auto ring = std::make_shared<const std::vector<Input>>(std::move(inputs));
  auto checked = std::make_shared<std::atomic<bool>>(false);
  return Register(
      name,
      [ring = std::move(ring), call = std::move(call), expect = std::move(expect),
       checked = std::move(checked)](benchmark::State& state) { Measure(state, *ring, call, expect, *checked); },
      threads);
}

}  // namespace orvik::chrono::bench

#endif  // ORVIK_CHRONO_BENCH_INPUTS_H_
