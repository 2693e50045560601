// ToCalendarTime beside libc's gmtime_r and localtime_r, on one thread and on
// two: cache hits (instants of one hour, in one zone or in both in turn, or
// each thread in an hour of its own, ToIso8601 too), misses (instants across
// decades, or a new thread for every call); a control row of plain
// arithmetic; FileTimePointToSystemTimePoint beside std::chrono. Instants
// across decades beside Abseil's civil time too, where it is installed.
#include <orvik/chrono/chrono.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "benchmarks.h"
#include "inputs.h"

#ifdef ORVIK_BENCH_HAVE_ABSL
#include <absl/time/civil_time.h>
#include <absl/time/time.h>
#endif

namespace orvik::chrono::bench {
namespace {

// The second that holds `t`: the one that ToCalendarTime shows for every
// instant of the rings.
long FlooredSeconds(TimePoint t) {
  const long truncated = WholeSeconds(t);
  return t < FromSeconds(truncated) ? truncated - 1 : truncated;
}

bool SameCalendarTime(const std::tm& a, const std::tm& b) {
  return a.tm_sec == b.tm_sec && a.tm_min == b.tm_min && a.tm_hour == b.tm_hour && a.tm_mday == b.tm_mday &&
         a.tm_mon == b.tm_mon && a.tm_year == b.tm_year && a.tm_wday == b.tm_wday && a.tm_yday == b.tm_yday &&
         a.tm_isdst == b.tm_isdst && a.tm_gmtoff == b.tm_gmtoff && std::strcmp(a.tm_zone, b.tm_zone) == 0;
}

// The check of every row over `ring`: libc's calendar time of the second
// that holds the instant.
auto MatchesLibc(const std::vector<TimePoint>& ring, TimeZone zone) {
  return [&ring, zone](std::size_t i, const std::tm& tm) {
    return SameCalendarTime(tm, LibcCalendarTime(FlooredSeconds(ring[i]), zone));
  };
}

void RegisterToCalendarTime(const std::string& variant, const std::vector<TimePoint>& ring, TimeZone zone,
                            Threads threads) {
  const auto expect = MatchesLibc(ring, zone);
  const std::string name = "ToCalendarTime/" + variant;
  const char* const libc = zone == TimeZone::UTC ? "gmtime_r" : "localtime_r";
  RegisterMeasure(
      name + "/orvik", ring, [zone](TimePoint t) { return ToCalendarTime(t, zone); }, expect, threads);
  RegisterMeasure(
      name + "/" + libc, ring, [zone](TimePoint t) { return LibcCalendarTime(FlooredSeconds(t), zone); }, expect,
      threads);
}

#ifdef ORVIK_BENCH_HAVE_ABSL
// Abseil's civil time of `t` in `zone` (LocalTimeZone follows TZ as libc
// does), as the std::tm that the other rows return.
std::tm AbslCalendarTime(TimePoint t, const absl::TimeZone& zone) {
  const absl::TimeZone::CivilInfo info = zone.At(absl::FromChrono(t));
  std::tm tm{};
  tm.tm_sec = info.cs.second();
  tm.tm_min = info.cs.minute();
  tm.tm_hour = info.cs.hour();
  tm.tm_mday = info.cs.day();
  tm.tm_mon = info.cs.month() - 1;
  tm.tm_year = static_cast<int>(info.cs.year() - 1900);
  tm.tm_wday = (static_cast<int>(absl::GetWeekday(info.cs)) + 1) % 7;  // Abseil counts from Monday
  tm.tm_yday = absl::GetYearDay(info.cs) - 1;
  tm.tm_isdst = info.is_dst ? 1 : 0;
  tm.tm_gmtoff = info.offset;
  tm.tm_zone = info.zone_abbr;
  return tm;
}

// Abseil beside the local rows of RegisterToCalendarTime, on one thread (in
// UTC it names the zone "UTC" where gmtime_r names it "GMT").
void RegisterAbslLocalCalendarTime(const std::string& variant, const std::vector<TimePoint>& ring) {
  RegisterMeasure(
      "ToCalendarTime/" + variant + "/absl", ring,
      [zone = absl::LocalTimeZone()](TimePoint t) { return AbslCalendarTime(t, zone); },
      MatchesLibc(ring, TimeZone::Local));
}
#endif

// UTC and local calls in turn, inside one hour.
void RegisterAlternatingZones() {
  std::vector<std::pair<TimePoint, TimeZone>> ring;
  for (const TimePoint t : SameHourInstants()) {
    ring.emplace_back(t, ring.size() % 2 == 0 ? TimeZone::UTC : TimeZone::Local);
  }
  const auto expect = [ring](std::size_t i, const std::tm& tm) {
    return SameCalendarTime(tm, LibcCalendarTime(WholeSeconds(ring[i].first), ring[i].second));
  };
  using Call = std::pair<TimePoint, TimeZone>;
  RegisterMeasure(
      "ToCalendarTime/alternating_zones_hit/orvik", ring,
      [](const Call& c) { return ToCalendarTime(c.first, c.second); }, expect, Threads::kOneAndTwo);
  RegisterMeasure(
      "ToCalendarTime/alternating_zones_hit/gmtime_r_localtime_r", ring,
      [](const Call& c) { return LibcCalendarTime(WholeSeconds(c.first), c.second); }, expect, Threads::kOneAndTwo);
}

// The same-hour ring moved by `thread` days: each of two threads converts
// instants of an hour of its own.
const std::vector<TimePoint>& OwnHourInstants(std::size_t thread) {
  static const std::array<std::vector<TimePoint>, 2> rings = [] {
    std::array<std::vector<TimePoint>, 2> hours{SameHourInstants(), SameHourInstants()};
    for (TimePoint& t : hours[1]) t += std::chrono::hours(24);
    return hours;
  }();
  return rings.at(thread);
}

// Registers `call` on each thread's own hour; `expect(t, result)` checks it.
template <typename Call, typename Expect>
void RegisterOwnHour(const std::string& name, Call call, Expect expect) {
  auto checked = std::make_shared<std::array<std::atomic<bool>, 2>>();
  Register(
      name,
      [call, expect, checked](benchmark::State& state) {
        const auto thread = static_cast<std::size_t>(state.thread_index());
        const std::vector<TimePoint>& ring = OwnHourInstants(thread);
        const auto expect_ith = [&ring, &expect](std::size_t i, const auto& result) { return expect(ring[i], result); };
        Measure(state, ring, call, expect_ith, checked->at(thread));
      },
      Threads::kOneAndTwo);
}

void RegisterOwnHours() {
  for (const TimeZone zone : {TimeZone::Local, TimeZone::UTC}) {
    const std::string name = zone == TimeZone::UTC ? "ToCalendarTime/utc_own_hour/" : "ToCalendarTime/local_own_hour/";
    const auto expect = [zone](TimePoint t, const std::tm& tm) {
      return SameCalendarTime(tm, LibcCalendarTime(WholeSeconds(t), zone));
    };
    RegisterOwnHour(
        name + "orvik", [zone](TimePoint t) { return ToCalendarTime(t, zone); }, expect);
    RegisterOwnHour(
        name + (zone == TimeZone::UTC ? "gmtime_r" : "localtime_r"),
        [zone](TimePoint t) { return LibcCalendarTime(WholeSeconds(t), zone); }, expect);
  }
  // The text names t, at the offset that localtime_r gives.
  RegisterOwnHour(
      "ToIso8601/local_own_hour/orvik", [](TimePoint t) { return ToIso8601(t, TimeZone::Local); },
      [](TimePoint t, const std::string& text) {
        const std::chrono::minutes offset(LibcCalendarTime(WholeSeconds(t), TimeZone::Local).tm_gmtoff / 60);
        return SplitIso8601(text) == std::pair(t, offset);
      });
}

// A new thread for every call, as a server that starts a thread per request:
// the thread's cache starts empty every time.
void RegisterThreadPerCall() {
  const auto in_new_thread = [](auto call) {
    return [call](TimePoint t) {
      std::tm tm{};
      std::thread([&tm, &call, t] { tm = call(t); }).join();
      return tm;
    };
  };
  const auto expect = [](std::size_t i, const std::tm& tm) {
    return SameCalendarTime(tm, LibcCalendarTime(WholeSeconds(SameHourInstants()[i]), TimeZone::Local));
  };
  RegisterMeasure("ToCalendarTime/local_thread_per_call/orvik", SameHourInstants(),
                  in_new_thread([](TimePoint t) { return ToCalendarTime(t, TimeZone::Local); }), expect);
  RegisterMeasure("ToCalendarTime/local_thread_per_call/localtime_r", SameHourInstants(),
                  in_new_thread([](TimePoint t) { return LibcCalendarTime(WholeSeconds(t), TimeZone::Local); }),
                  expect);
}

// Integer arithmetic alone, which touches no shared memory: how well two
// threads could scale on the machine during the run.
void RegisterControl() {
  RegisterMeasure(
      "Control/arithmetic/mix", RandomSeconds(),
      [](long seconds) {
        auto x = static_cast<std::uint64_t>(seconds);
        for (int i = 0; i < 16; ++i) x = (x ^ (x >> 29U)) * 0xbf58476d1ce4e5b9U;
        return x;
      },
      [](std::size_t /*i*/, std::uint64_t /*x*/) { return true; }, Threads::kOneAndTwo);
}

void RegisterFileTimePointToSystemTimePoint() {
  const auto& ring = RandomSeconds();
  const auto expect = [&ring](std::size_t i, TimePoint t) { return t == FromSeconds(ring[i]); };
  RegisterMeasure("FileTimePointToSystemTimePoint/random/orvik", ring, FileTimePointToSystemTimePoint, expect);
  RegisterMeasure(
      "FileTimePointToSystemTimePoint/random/std_chrono", ring,
      [](long seconds) { return TimePoint(std::chrono::system_clock::from_time_t(seconds)); }, expect);
}

// localtime_r's calendar time of each second under TZ=`name`, the process's
// TZ restored after.
std::vector<std::tm> LibcInZone(const char* name, const std::vector<long>& seconds) {
  const char* const tz = std::getenv("TZ");  // NOLINT(concurrency-mt-unsafe): before any benchmark runs
  const std::string saved = tz == nullptr ? "" : tz;
  ::setenv("TZ", name, 1);  // NOLINT(concurrency-mt-unsafe)
  ::tzset();
  std::vector<std::tm> tms(seconds.size());
  for (std::size_t i = 0; i < seconds.size(); ++i) localtime_r(&seconds[i], &tms[i]);
  if (tz == nullptr) {
    ::unsetenv("TZ");  // NOLINT(concurrency-mt-unsafe)
  } else {
    ::setenv("TZ", saved.c_str(), 1);  // NOLINT(concurrency-mt-unsafe)
  }
  ::tzset();
  return tms;
}

// A zone by name at random instants from 1970 to 2100: calendar time, checked
// against localtime_r under TZ, and the wall-clock time of each back to an
// instant, checked to show the same date and time of day again.
void RegisterNamedZone() {
  const Zone zone = LoadZone("America/New_York");
  std::vector<long> seconds;
  for (const TimePoint t : RandomInstants()) seconds.push_back(FlooredSeconds(t));
  auto libc = std::make_shared<const std::vector<std::tm>>(LibcInZone("America/New_York", seconds));
  RegisterMeasure(
      "ToCalendarTime/named_random/orvik", RandomInstants(), [zone](TimePoint t) { return ToCalendarTime(t, zone); },
      [libc](std::size_t i, const std::tm& tm) { return SameCalendarTime(tm, (*libc)[i]); }, Threads::kOneAndTwo);
  std::vector<CivilTime> times;
  for (const std::tm& tm : *libc) {
    times.push_back({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0});
  }
  RegisterMeasure(
      "TryFromCivil/named_random/orvik", times,
      [zone](const CivilTime& c) { return TryFromCivil(c, zone, Disambiguation::Compatible); },
      [libc, zone](std::size_t i, const ParseResult<Timestamp>& result) {
        // The fields alone: in a fold, Compatible takes the earlier instant, at another offset.
        const std::tm tm = ToCalendarTime(result.value.instant, zone);
        const std::tm& libc_tm = (*libc)[i];
        return result && tm.tm_sec == libc_tm.tm_sec && tm.tm_min == libc_tm.tm_min && tm.tm_hour == libc_tm.tm_hour &&
               tm.tm_mday == libc_tm.tm_mday && tm.tm_mon == libc_tm.tm_mon && tm.tm_year == libc_tm.tm_year;
      });
}

}  // namespace

void RegisterCalendarBenchmarks() {
  RegisterControl();
  RegisterToCalendarTime("utc_hit", SameHourInstants(), TimeZone::UTC, Threads::kOneAndTwo);
  RegisterToCalendarTime("local_hit", SameHourInstants(), TimeZone::Local, Threads::kOneAndTwo);
  RegisterAlternatingZones();
  RegisterOwnHours();
  RegisterThreadPerCall();
  RegisterToCalendarTime("utc_random", RandomInstants(), TimeZone::UTC, Threads::kOneAndTwo);
  RegisterToCalendarTime("local_random", RandomInstants(), TimeZone::Local, Threads::kOneAndTwo);
#ifdef ORVIK_BENCH_HAVE_ABSL
  RegisterAbslLocalCalendarTime("local_random", RandomInstants());
#endif
  RegisterToCalendarTime("local_random_before_1970", RandomInstantsBefore1970(), TimeZone::Local, Threads::kOne);
  RegisterFileTimePointToSystemTimePoint();
  RegisterNamedZone();
}

}  // namespace orvik::chrono::bench
