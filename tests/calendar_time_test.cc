// ToCalendarTime: the hour cache must return exactly what libc returns for the
// second shown, whatever calls came before. Runs once per TZ value.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>

#include "calendar_reference.h"

namespace orvik::chrono {
namespace {

using testing::kHour;
using testing::kSecond;
using testing::MatchesLibc;
using testing::Nanoseconds;

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

std::string ProcessZone() {
  const char* zone = std::getenv("TZ");
  return zone == nullptr ? "" : zone;
}

struct Clock {
  int hour, min, sec;
};

void ExpectClock(TimePoint t, TimeZone zone, Clock want) {
  const std::tm tm = ToCalendarTime(t, zone);
  EXPECT_EQ(tm.tm_hour, want.hour) << t.time_since_epoch().count();
  EXPECT_EQ(tm.tm_min, want.min) << t.time_since_epoch().count();
  EXPECT_EQ(tm.tm_sec, want.sec) << t.time_since_epoch().count();
  EXPECT_TRUE(MatchesLibc(t, zone, tm));
}

TEST(ToCalendarTime, UtcHourBoundaries) {
  const std::int64_t hour_start = 1709622000 * kSecond;  // 2024-03-05T07:00:00Z
  const std::tm tm = ToCalendarTime(Nanoseconds(hour_start + 489012345678), TimeZone::UTC);
  EXPECT_EQ(tm.tm_year, 124);
  EXPECT_EQ(tm.tm_mon, 2);
  EXPECT_EQ(tm.tm_mday, 5);
  EXPECT_EQ(tm.tm_wday, 2);
  EXPECT_EQ(tm.tm_yday, 64);
  ExpectClock(Nanoseconds(hour_start + 489012345678), TimeZone::UTC, {7, 8, 9});
  ExpectClock(Nanoseconds(hour_start), TimeZone::UTC, {7, 0, 0});
  ExpectClock(Nanoseconds(hour_start + kHour - 1), TimeZone::UTC, {7, 59, 59});
  ExpectClock(Nanoseconds(hour_start + kHour), TimeZone::UTC, {8, 0, 0});
}

TEST(ToCalendarTime, UtcIgnoresTheProcessZone) {
  ExpectClock(Nanoseconds(1720163289 * kSecond), TimeZone::UTC, {7, 8, 9});  // 2024-07-05T07:08:09Z
  ExpectClock(Nanoseconds(1720163289 * kSecond + 1), TimeZone::UTC, {7, 8, 9});
}

TEST(ToCalendarTime, NegativeTimePointsShowTheSecondBelowUnlessAnHourStarts) {
  ExpectClock(Nanoseconds(-kSecond), TimeZone::UTC, {23, 59, 59});
  ExpectClock(Nanoseconds(-kSecond - kSecond / 2), TimeZone::UTC, {23, 59, 58});
  ExpectClock(Nanoseconds(-kSecond / 2), TimeZone::UTC, {0, 0, 0});
  ExpectClock(Nanoseconds(-1), TimeZone::UTC, {0, 0, 0});
  // Every zone: the local answer is libc's for the second shown.
  for (const std::int64_t t : {-1L, -kSecond / 2, -kSecond - 1, -kHour - 1, -kHour + 1}) {
    EXPECT_TRUE(MatchesLibc(Nanoseconds(t), TimeZone::Local, ToCalendarTime(Nanoseconds(t), TimeZone::Local)));
  }
}

TEST(ToCalendarTime, HalfHourZone) {
  const std::string zone = ProcessZone();
  if (zone != "<+0530>-5:30" && zone != "Asia/Kolkata") GTEST_SKIP() << "needs a +05:30 zone";
  ExpectClock(Nanoseconds(1709622489 * kSecond), TimeZone::Local, {12, 38, 9});
  EXPECT_EQ(ToCalendarTime(Nanoseconds(1709622489 * kSecond), TimeZone::Local).tm_gmtoff, 19800);
  // 0 s is 05:30 local, not an hour start, so -0.5 s shows the second below.
  ExpectClock(Nanoseconds(-kSecond / 2), TimeZone::Local, {5, 29, 59});
}

TEST(ToCalendarTime, SummerTimeChangesAtLocalHourStarts) {
  const std::string zone = ProcessZone();
  if (zone != "Europe/Berlin" && zone != "CET-1CEST,M3.5.0,M10.5.0/3") GTEST_SKIP() << "needs central European time";
  const std::int64_t autumn = 1729987200 * kSecond;  // 2024-10-27T00:00:00Z
  const std::int64_t spring = 1711843200 * kSecond;  // 2024-03-31T00:00:00Z
  const struct {
    std::int64_t t;
    Clock clock;
    int isdst;
  } cases[] = {
      {autumn + kHour / 2, {2, 30, 0}, 1},
      {autumn + kHour + kHour / 2, {2, 30, 0}, 0},
      {spring + kHour / 2, {1, 30, 0}, 0},
      {spring + kHour, {3, 0, 0}, 1},
  };
  for (const auto& c : cases) {
    ExpectClock(Nanoseconds(c.t), TimeZone::Local, c.clock);
    EXPECT_EQ(ToCalendarTime(Nanoseconds(c.t), TimeZone::Local).tm_isdst, c.isdst);
  }
}

TEST(ToCalendarTime, UnknownZoneThrowsOnEveryCall) {
  ToCalendarTime(Nanoseconds(0), TimeZone::UTC);  // warm the cache
  for (const auto raw : {2, -1, 2, -1}) {
    try {
      ToCalendarTime(Nanoseconds(0), static_cast<TimeZone>(raw));
      ADD_FAILURE() << "zone " << raw << " was accepted";
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "Unknown timezone type");
    }
  }
  EXPECT_TRUE(MatchesLibc(Nanoseconds(0), TimeZone::UTC, ToCalendarTime(Nanoseconds(0), TimeZone::UTC)));
}

TEST(ToCalendarTime, EdgesOfTheTimePointRange) {
  for (const TimeZone zone : {TimeZone::UTC, TimeZone::Local, TimeZone::UTC}) {
    for (const std::int64_t t : {kMin, kMin + 1, kMax, kMax - 1, kMin + kHour, kMax - kHour, kMin}) {
      EXPECT_TRUE(MatchesLibc(Nanoseconds(t), zone, ToCalendarTime(Nanoseconds(t), zone)));
    }
  }
}

// Random call sequences: far jumps, steps within and across hours, negative
// time points inside a second, both zones interleaved.
TEST(ToCalendarTime, RandomSequencesMatchLibc) {
  std::mt19937_64 random(20261205);
  std::uniform_int_distribution<std::int64_t> anywhere(kMin, kMax);
  std::uniform_int_distribution<std::int64_t> step(-2 * kHour, 2 * kHour);
  std::uniform_int_distribution<std::int64_t> recent(-200LL * 365 * 24 * kHour, 60LL * 365 * 24 * kHour);
  std::int64_t t = 0;
  for (int i = 0; i < 40000; ++i) {
    switch (random() % 4) {
      case 0:
        t = anywhere(random);
        break;
      case 1:
        t = recent(random);
        break;
      default: {
        std::int64_t next = 0;
        if (__builtin_add_overflow(t, step(random), &next)) next = t;
        t = next;
      }
    }
    const TimeZone zone = random() % 3 == 0 ? TimeZone::UTC : TimeZone::Local;
    ASSERT_TRUE(MatchesLibc(Nanoseconds(t), zone, ToCalendarTime(Nanoseconds(t), zone)));
  }
}

// Warm the cache on one hour, then ask for the instants around its end,
// including negative ones that truncate onto the next hour's first second.
TEST(ToCalendarTime, WarmPreviousHourThenCrossItsEnd) {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<std::int64_t> hours(-2'000'000, 800'000);
  for (int i = 0; i < 5000; ++i) {
    for (const TimeZone zone : {TimeZone::Local, TimeZone::UTC}) {
      // Half-hour steps so that zones with half-hour offsets meet their hour ends too.
      const std::int64_t boundary = hours(random) * kHour / 2;
      for (const std::int64_t delta : {-kHour + 1, -kSecond / 2, -1L, 0L, 1L, kSecond / 2, kSecond}) {
        ToCalendarTime(Nanoseconds(boundary - kHour / 2), zone);
        const TimePoint t = Nanoseconds(boundary + delta);
        ASSERT_TRUE(MatchesLibc(t, zone, ToCalendarTime(t, zone)));
      }
    }
  }
}

}  // namespace
}  // namespace orvik::chrono

namespace orvik::chrono {
namespace {

// The cache does not watch the zone setting: inside the cached hour a local
// call answers for the zone that was in force when the hour was cached.
TEST(ToCalendarTime, ZoneChangeShowsAfterTheNextRefill) {
  const std::string saved = ProcessZone();
  const char* const saved_value = std::getenv("TZ");
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  const std::int64_t hour_start = 1709622000 * kSecond;
  ToCalendarTime(Nanoseconds(hour_start), TimeZone::UTC);
  // A local hour is cached whole on its second miss.
  EXPECT_EQ(ToCalendarTime(Nanoseconds(hour_start), TimeZone::Local).tm_hour, 7);
  EXPECT_EQ(ToCalendarTime(Nanoseconds(hour_start + kSecond), TimeZone::Local).tm_hour, 7);
  ::setenv("TZ", "<+0530>-5:30", 1);
  ::tzset();
  EXPECT_EQ(ToCalendarTime(Nanoseconds(hour_start + 60 * kSecond), TimeZone::Local).tm_hour, 7);
  const std::tm refilled = ToCalendarTime(Nanoseconds(hour_start + kHour), TimeZone::Local);
  EXPECT_EQ(refilled.tm_hour, 13);
  EXPECT_EQ(refilled.tm_min, 30);
  if (saved_value == nullptr) {
    ::unsetenv("TZ");
  } else {
    ::setenv("TZ", saved.c_str(), 1);
  }
  ::tzset();
  testing::CacheUtcHour();  // leave no stale local hour behind
}

}  // namespace
}  // namespace orvik::chrono
