// ToCalendarTime beside libc's gmtime_r and localtime_r, on one thread and on
// two: cache hits (instants of one hour, in one zone or in both in turn, or
// each thread in an hour of its own, ToIso8601 too), misses (instants across
// decades, or a new thread for every call); a control row of plain
// arithmetic; FileTimePointToSystemTimePoint beside std::chrono. Instants
// across decades beside Abseil's civil time too, where it is installed. A
// zone by name: obtained again by its name, its calendar time, and the
// instant of a wall-clock time, beside libc under TZ and Abseil.
#include <orvik/chrono/chrono.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
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

constexpr const char* kNewYork = "America/New_York";

// TZ set to `name` from construction to destruction, then as it was before;
// only while no other thread reads the environment.
class TzSetting {
 public:
  explicit TzSetting(const char* name) {
    const char* const tz = std::getenv("TZ");  // NOLINT(concurrency-mt-unsafe): see the class comment
    had_ = tz != nullptr;
    if (had_) saved_ = tz;
    ::setenv("TZ", name, 1);  // NOLINT(concurrency-mt-unsafe)
    ::tzset();
  }
  ~TzSetting() {
    if (had_) {
      ::setenv("TZ", saved_.c_str(), 1);  // NOLINT(concurrency-mt-unsafe)
    } else {
      ::unsetenv("TZ");  // NOLINT(concurrency-mt-unsafe)
    }
    ::tzset();
  }
  TzSetting(const TzSetting&) = delete;
  TzSetting& operator=(const TzSetting&) = delete;

 private:
  bool had_ = false;
  std::string saved_;
};

// The setting of the libc rows in New York, made by Setup before the row's
// threads start and undone by Teardown after they end, so that the other
// rows see the process's TZ.
std::optional<TzSetting>& InNewYork() {
  static std::optional<TzSetting> setting;
  return setting;
}
void SetNewYork(const benchmark::State& /*state*/) { InNewYork().emplace(kNewYork); }
void RestoreTz(const benchmark::State& /*state*/) { InNewYork().reset(); }

template <typename Rows>
void InNewYorkWhileRunning(const Rows& rows) {
  for (benchmark::internal::Benchmark* row : rows) row->Setup(SetNewYork)->Teardown(RestoreTz);
}

// localtime_r's calendar time of each second under TZ=`name`.
std::vector<std::tm> LibcInZone(const char* name, const std::vector<long>& seconds) {
  const TzSetting in_zone(name);
  std::vector<std::tm> tms(seconds.size());
  for (std::size_t i = 0; i < seconds.size(); ++i) localtime_r(&seconds[i], &tms[i]);
  return tms;
}

// Obtaining a zone loaded before by its name, as a program that keeps names
// rather than zones does on every call.
void RegisterLoadedZone() {
  const Zone zone = LoadZone(kNewYork);
  const std::vector<std::string> names(kRingSize, kNewYork);
  RegisterMeasure(
      "LoadZone/loaded/orvik", names, [](const std::string& name) { return LoadZone(name); },
      [zone](std::size_t /*i*/, Zone loaded) { return loaded == zone; }, Threads::kOneAndTwo);
  RegisterMeasure(
      "TryLoadZone/loaded/orvik", names, [](const std::string& name) { return TryLoadZone(name); },
      [zone](std::size_t /*i*/, ZoneLoad load) { return load && load.zone == zone; }, Threads::kOneAndTwo);
#ifdef ORVIK_BENCH_HAVE_ABSL
  absl::TimeZone absl_zone;
  if (!absl::LoadTimeZone(kNewYork, &absl_zone)) return;  // the row would time a refusal
  RegisterMeasure(
      "LoadZone/loaded/absl", names,
      [](const std::string& name) {
        absl::TimeZone loaded;
        return std::pair(absl::LoadTimeZone(name, &loaded), loaded);
      },
      [absl_zone](std::size_t /*i*/, const std::pair<bool, absl::TimeZone>& load) {
        return load.first && load.second == absl_zone;
      },
      Threads::kOneAndTwo);
#endif
}

// Each time's instant in New York under Disambiguation::Compatible, found by
// localtime_r alone, and whether the zone shows the time once, never or
// twice. From 1970 on the zone's offsets are -05:00 and -04:00: the time is
// read at each, and the readings that localtime_r shows as the time are its
// instants. Of two (a fold) Compatible takes the earlier; of none (a gap,
// where the offset grows from -05:00) the reading at -05:00, the time moved
// forward by the gap's length.
struct CivilInNewYork {
  std::vector<long> instants;
  std::vector<CivilTimeKind> kinds;
};

CivilInNewYork NewYorkInstants(const std::vector<CivilTime>& times) {
  constexpr long kStandard = 5L * 3600;  // seconds west of UTC
  constexpr long kSummer = 4L * 3600;
  std::vector<long> readings;
  for (const CivilTime& c : times) {
    std::tm tm = TmOf(c);
    const long as_utc = timegm(&tm);
    readings.push_back(as_utc + kSummer);
    readings.push_back(as_utc + kStandard);
  }
  const std::vector<std::tm> shown = LibcInZone(kNewYork, readings);
  CivilInNewYork result;
  for (std::size_t i = 0; i < times.size(); ++i) {
    const CivilTime& c = times[i];
    const auto shows = [&c](const std::tm& tm) {
      return tm.tm_year + 1900 == c.year && tm.tm_mon + 1 == c.month && tm.tm_mday == c.day && tm.tm_hour == c.hour &&
             tm.tm_min == c.minute && tm.tm_sec == c.second;
    };
    const bool summer = shows(shown[2 * i]);
    const bool standard = shows(shown[2 * i + 1]);
    result.instants.push_back(summer ? readings[2 * i] : readings[2 * i + 1]);
    result.kinds.push_back(summer && standard   ? CivilTimeKind::Repeated
                           : summer || standard ? CivilTimeKind::Unique
                                                : CivilTimeKind::Skipped);
  }
  return result;
}

#ifdef ORVIK_BENCH_HAVE_ABSL
absl::CivilSecond AbslCivil(const CivilTime& c) {
  return absl::CivilSecond(c.year, c.month, c.day, c.hour, c.minute, c.second);
}
#endif

// A zone by name at random instants from 1970 to 2100: calendar time, checked
// against localtime_r under TZ; and at random wall-clock times, the instant,
// checked against the instant that localtime_r shows as that time. The libc
// rows run under TZ=America/New_York; Abseil loads the zone by name.
void RegisterNamedZone() {
  const Zone zone = LoadZone(kNewYork);
  std::vector<long> seconds;
  for (const TimePoint t : RandomInstants()) seconds.push_back(FlooredSeconds(t));
  auto libc = std::make_shared<const std::vector<std::tm>>(LibcInZone(kNewYork, seconds));
  const auto same_as_libc = [libc](std::size_t i, const std::tm& tm) { return SameCalendarTime(tm, (*libc)[i]); };
  RegisterMeasure(
      "ToCalendarTime/named_random/orvik", RandomInstants(), [zone](TimePoint t) { return ToCalendarTime(t, zone); },
      same_as_libc, Threads::kOneAndTwo);
  InNewYorkWhileRunning(RegisterMeasure(
      "ToCalendarTime/named_random/localtime_r", RandomInstants(),
      [](TimePoint t) { return LibcCalendarTime(FlooredSeconds(t), TimeZone::Local); }, same_as_libc,
      Threads::kOneAndTwo));
#ifdef ORVIK_BENCH_HAVE_ABSL
  absl::TimeZone absl_zone;
  const bool absl_loaded = absl::LoadTimeZone(kNewYork, &absl_zone);
  if (absl_loaded) {
    RegisterMeasure(
        "ToCalendarTime/named_random/absl", RandomInstants(),
        [absl_zone](TimePoint t) { return AbslCalendarTime(t, absl_zone); }, same_as_libc, Threads::kOneAndTwo);
  }
#endif

  const std::vector<CivilTime>& times = RandomCivilTimes();
  auto expected = std::make_shared<const CivilInNewYork>(NewYorkInstants(times));
  const auto same_instant = [expected](std::size_t i, long instant) { return instant == expected->instants[i]; };
  RegisterMeasure(
      "TryFromCivil/named_random/orvik", times,
      [zone](const CivilTime& c) { return TryFromCivil(c, zone, Disambiguation::Compatible); },
      [same_instant](std::size_t i, const ParseResult<Timestamp>& result) {
        return result && same_instant(i, WholeSeconds(result.value.instant));
      },
      Threads::kOneAndTwo);
  // With tm_isdst -1, mktime's choice in a fold is its own (glibc's is the
  // later instant, where Compatible takes the earlier), so folds are left
  // unchecked.
  InNewYorkWhileRunning(RegisterMeasure(
      "TryFromCivil/named_random/mktime", times,
      [](const CivilTime& c) {
        std::tm tm = TmOf(c);
        return static_cast<long>(std::mktime(&tm));
      },
      [expected, same_instant](std::size_t i, long instant) {
        return expected->kinds[i] == CivilTimeKind::Repeated || same_instant(i, instant);
      },
      Threads::kOneAndTwo));
#ifdef ORVIK_BENCH_HAVE_ABSL
  if (!absl_loaded) return;
  // `pre`, the reading at the offset in force before a change, is the earlier
  // instant in a fold and the time moved forward in a gap: Compatible's.
  RegisterMeasure(
      "TryFromCivil/named_random/absl_At", times,
      [absl_zone](const CivilTime& c) {
        return static_cast<long>(absl::ToUnixSeconds(absl_zone.At(AbslCivil(c)).pre));
      },
      same_instant, Threads::kOneAndTwo);
  RegisterMeasure(
      "TryFromCivil/named_random/absl_FromCivil", times,
      [absl_zone](const CivilTime& c) {
        return static_cast<long>(absl::ToUnixSeconds(absl::FromCivil(AbslCivil(c), absl_zone)));
      },
      same_instant, Threads::kOneAndTwo);
#endif
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
  RegisterLoadedZone();
  RegisterNamedZone();
}

}  // namespace orvik::chrono::bench
