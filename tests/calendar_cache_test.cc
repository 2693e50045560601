// The hour cache's cost in localtime_r calls, counted by a localtime_r of this
// executable that forwards to libc's: for streams and random instants, for
// threads that take turns, and across a change of the zone setting, which
// the last test makes.

#include <dlfcn.h>

#include <atomic>
#include <barrier>
#include <random>
#include <thread>
#include <vector>

#include "calendar_reference.h"

namespace {
std::atomic<int> localtime_calls{0};
}  // namespace

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name): libc's are reserved names.
extern "C" std::tm* localtime_r(const std::time_t* seconds, std::tm* out) noexcept {
  using Libc = std::tm* (*)(const std::time_t*, std::tm*);
  static const auto libc = reinterpret_cast<Libc>(::dlsym(RTLD_NEXT, "localtime_r"));
  localtime_calls.fetch_add(1);
  return libc(seconds, out);
}

namespace orvik::chrono::testing {
namespace {

constexpr std::int64_t kHourAt = 1709622000 * kSecond;  // 2024-03-05T07:00:00Z

// localtime_r calls made by `calls`.
template <typename Calls>
int CountLocaltime(Calls calls) {
  const int before = localtime_calls.load();
  calls();
  return localtime_calls.load() - before;
}

void EachSecondOfHour(std::int64_t start, bool with_utc) {
  for (std::int64_t t = start; t < start + kHour; t += kSecond) {
    ToCalendarTime(At(t), TimeZone::Local);
    if (with_utc) ToCalendarTime(At(t), TimeZone::UTC);
  }
}

TEST(HourCache, CachesStreamsAndNotRandomInstants) {
  // A UTC hour spans two local hours in zones of half and quarter hours.
  const int one_zone = CountLocaltime([] { EachSecondOfHour(kHourAt, false); });
  EXPECT_LE(one_zone, 8);
  EXPECT_EQ(CountLocaltime([] { EachSecondOfHour(kHourAt + 24 * kHour, true); }), one_zone);

  std::mt19937_64 random(20);
  for (auto instants : {std::uniform_int_distribution<std::int64_t>(0, 4102444800 * kSecond),
                        std::uniform_int_distribution<std::int64_t>(-2208988800 * kSecond, -1)}) {
    int expected = 0;
    std::vector<TimePoint> ring(2000);
    for (TimePoint& t : ring) {
      t = At(instants(random));
      // Inside a second before 1970, the second above the one shown is looked
      // up too where it may start an hour.
      const std::int64_t count = t.time_since_epoch().count();
      const bool inside = count < 0 && count % kSecond != 0;
      const std::tm shown = Libc(count / kSecond - (inside ? 1 : 0), TimeZone::Local);
      const bool may_end_hour = (shown.tm_min == 59 && shown.tm_sec >= 59) || shown.tm_gmtoff % 3600 != 0;
      expected += inside && may_end_hour ? 2 : 1;
    }
    EXPECT_EQ(CountLocaltime([&ring] {
                for (const TimePoint t : ring) {
                  ToCalendarTime(t, TimeZone::UTC);  // a miss in the other zone, in the same quarter hour
                  ToCalendarTime(t, TimeZone::Local);
                }
              }),
              expected);
  }
}

// Two threads in strict turns, each on successive seconds of its own hour (a
// day apart): each caches a local hour on its second call in it, with two more
// localtime_r calls that check the hour's ends, and neither evicts the other's.
TEST(HourCache, ThreadsTakingTurnsKeepTheirOwnHours) {
  std::atomic<std::int64_t> turn{0};
  const auto take_turns = [&turn](std::int64_t id) {
    for (std::int64_t i = 0; i < 1000; ++i) {
      while (turn.load() != 2 * i + id) std::this_thread::yield();
      ToCalendarTime(At(kHourAt + id * 24 * kHour + i * kSecond), TimeZone::Local);
      turn.store(2 * i + id + 1);
    }
  };
  std::thread other;
  EXPECT_LE(CountLocaltime([&] {
              other = std::thread(take_turns, 1);
              take_turns(0);
              other.join();
            }),
            16);  // 8 unless a local hour starts within the 1000 seconds
}

// After a change of the zone setting, each thread's cached local hour may
// answer for the old zone until that thread's own next local miss: the other
// thread's misses and its own UTC calls leave it as it was.
TEST(HourCache, EachThreadsZoneChangeWindowEndsAtItsOwnLocalMiss) {
  const std::int64_t t0 = 1720163289 * kSecond;  // 2024-07-05T07:08:09Z, Berlin +02:00
  const auto shown = [](std::int64_t t) { return ToIso8601(At(t), Iso8601Format::Extended, TimeZone::Local); };
  const auto cache_hour = [&] {
    shown(t0);
    shown(t0 + kSecond);
  };
  UseZone("Europe/Berlin");
  std::barrier step(2);
  std::thread other([&] {
    cache_hour();
    step.arrive_and_wait();  // the zone changes; the first thread misses
    step.arrive_and_wait();
    ToCalendarTime(At(t0 + kHour), TimeZone::UTC);
    EXPECT_EQ(CountLocaltime([&] { EXPECT_EQ(shown(t0 + 2 * kSecond), "2024-07-05T09:08:11+02:00"); }), 0);
    shown(t0 + kHour);
    EXPECT_EQ(shown(t0 + 2 * kSecond), "2024-07-05T12:38:11+05:30");
  });
  cache_hour();
  step.arrive_and_wait();
  ::setenv("TZ", "Asia/Kolkata", 1);  // NOLINT(concurrency-mt-unsafe)
  ::tzset();
  shown(t0 - kHour);
  EXPECT_EQ(shown(t0 + 2 * kSecond), "2024-07-05T12:38:11+05:30");
  step.arrive_and_wait();
  other.join();
}

}  // namespace
}  // namespace orvik::chrono::testing
