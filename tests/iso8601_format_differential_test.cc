// ToIso8601 against a reference built from the same calendar fields with
// strftime and snprintf, over random instants of the whole range, every
// layout value and both zones, under the zone that the process runs in.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/calendar_time.h"
#include "iso8601/to_iso8601.h"

namespace orvik::chrono {
namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

// The offset as strftime's "%z" writes it into a six-character buffer, then
// "Z" for a zero or missing offset, otherwise ':' before the minutes.
std::string ReferenceLocalDesignator(const std::tm& tm) {
  char buffer[sizeof("+0530")] = {};
  const std::string_view offset(buffer, std::strftime(buffer, sizeof(buffer), "%z", &tm));
  if (offset.size() < 2 || offset == "+0000" || offset == "-0000") return "Z";
  const std::size_t minutes_at = offset.size() - 2;
  return std::string(offset.substr(0, minutes_at)) + ":" + std::string(offset.substr(minutes_at));
}

std::string ReferenceToIso8601(TimePoint t, Iso8601Format format, TimeZone zone) {
  std::tm tm{};
  const char* layout = nullptr;
  long long nanoseconds = 0;
  if (format == Iso8601Format::ExtendedNanoseconds || format == Iso8601Format::BasicNanoseconds) {
    const std::int64_t count = t.time_since_epoch().count();
    long seconds = count / kNanosecondsPerSecond;
    nanoseconds = count % kNanosecondsPerSecond;
    if (nanoseconds < 0) {
      --seconds;
      nanoseconds += kNanosecondsPerSecond;
    }
    tm = CalendarTimeOfSecond(seconds, zone);
    layout = format == Iso8601Format::BasicNanoseconds ? "%Y%m%dT%H%M%S" : "%FT%T";
  } else {
    tm = ToCalendarTime(t, zone);
    if (format == Iso8601Format::Extended) layout = "%FT%T";
  }
  std::array<char, 32> date_time{};
  if (layout != nullptr) {
    const std::size_t length = std::strftime(date_time.data(), date_time.size(), layout, &tm);
    if (format != Iso8601Format::Extended) {
      std::snprintf(&date_time.at(length), date_time.size() - length, ".%09lld", nanoseconds);
    }
  }
  return date_time.data() + (zone == TimeZone::UTC ? "Z" : ReferenceLocalDesignator(tm));
}

// Anywhere in the range; near hour starts, where the cache changes hours and
// the second shown before 1970 depends on the layout; in the nineteenth
// century, where zones had offsets with seconds; at a leap second; and runs
// within one hour, which the cache serves without libc.
std::vector<std::int64_t> Instants() {
  std::vector<std::int64_t> counts = {kMin, kMin + 1, kMax, kMax - 1, 0, -1, 1, -kNanosecondsPerSecond,
                                      -3600 * kNanosecondsPerSecond - 1,
                                      // Around 2016-12-31T23:59:60 of zones with leap seconds.
                                      1483228825 * kNanosecondsPerSecond, 1483228826 * kNanosecondsPerSecond + 5,
                                      1483228827 * kNanosecondsPerSecond - 1};
  std::mt19937_64 random(8601);
  std::uniform_int_distribution<std::int64_t> any(kMin, kMax);
  std::uniform_int_distribution<std::int64_t> hour(kMin / kNanosecondsPerSecond / 3600 + 1,
                                                   kMax / kNanosecondsPerSecond / 3600 - 1);
  std::uniform_int_distribution<std::int64_t> near(-2 * kNanosecondsPerSecond, 2 * kNanosecondsPerSecond);
  std::uniform_int_distribution<std::int64_t> before_1940(kMin, -946771200 * kNanosecondsPerSecond);
  std::uniform_int_distribution<std::int64_t> step(0, 7 * kNanosecondsPerSecond);
  for (int i = 0; i < 3000; ++i) {
    counts.push_back(any(random));
    counts.push_back(hour(random) * 3600 * kNanosecondsPerSecond + near(random));
    counts.push_back(before_1940(random));
    counts.push_back(any(random) / kNanosecondsPerSecond * kNanosecondsPerSecond);
  }
  for (int run = 0; run < 40; ++run) {
    std::int64_t count = hour(random) * 3600 * kNanosecondsPerSecond;
    for (int i = 0; i < 100; ++i) counts.push_back(count += step(random));
  }
  return counts;
}

constexpr Iso8601Format kLayouts[] = {
    Iso8601Format::Extended,
    Iso8601Format::ExtendedNanoseconds,
    Iso8601Format::BasicNanoseconds,
    static_cast<Iso8601Format>(3),
    static_cast<Iso8601Format>(-1),
    static_cast<Iso8601Format>(100),
    static_cast<Iso8601Format>(INT_MIN),
    static_cast<Iso8601Format>(INT_MAX),
};

TEST(ToIso8601Differential, MatchesStrftimeForEveryLayoutAndZone) {
  std::size_t with_offset = 0;
  for (const std::int64_t count : Instants()) {
    const TimePoint t{std::chrono::nanoseconds(count)};
    for (const TimeZone zone : {TimeZone::Local, TimeZone::UTC}) {
      for (const Iso8601Format format : kLayouts) {
        const std::string text = ToIso8601(t, format, zone);
        ASSERT_EQ(text, ReferenceToIso8601(t, format, zone))
            << count << " ns, layout " << static_cast<int>(format) << ", zone " << static_cast<int>(zone);
        if (text.back() != 'Z') ++with_offset;
      }
      ASSERT_EQ(ToIso8601(t, zone), ReferenceToIso8601(t, Iso8601Format::ExtendedNanoseconds, zone)) << count;
    }
  }
  // Zones at offset zero write "Z" throughout; the others mostly do not.
  const std::tm epoch = ToCalendarTime(TimePoint{}, TimeZone::Local);
  if (epoch.tm_gmtoff / 60 != 0) {
    EXPECT_GT(with_offset, 0U);
  }
}

TEST(ToIso8601Differential, UnknownZonesThrowTheSame) {
  for (const auto zone : {static_cast<TimeZone>(2), static_cast<TimeZone>(-1)}) {
    for (const Iso8601Format format : kLayouts) {
      std::string expected;
      try {
        ReferenceToIso8601(TimePoint{}, format, zone);
      } catch (const std::invalid_argument& e) {
        expected = e.what();
      }
      try {
        ToIso8601(TimePoint{}, format, zone);
        ADD_FAILURE() << "no exception for layout " << static_cast<int>(format);
      } catch (const std::invalid_argument& e) {
        EXPECT_EQ(e.what(), expected);
      }
    }
  }
}

// Offsets that no zone has, to the second, with every kind of summer time
// flag: seconds dropped, offsets of under a minute either way, offsets too
// wide for "+hhmm", and values beyond an int.
TEST(ToIso8601Differential, LocalDesignatorMatchesStrftimeForAnyOffset) {
  std::vector<long> offsets;
  for (long seconds = -100 * 3600 - 61; seconds <= 100 * 3600 + 61; ++seconds) offsets.push_back(seconds);
  std::mt19937_64 random(5);
  std::uniform_int_distribution<long> any(std::numeric_limits<long>::min(), std::numeric_limits<long>::max());
  for (int i = 0; i < 20000; ++i) offsets.push_back(any(random));
  for (const long extreme : {std::numeric_limits<long>::min(), std::numeric_limits<long>::max(), long{INT_MIN},
                             long{INT_MAX}, long{INT_MIN} - 1, long{INT_MAX} + 1, (1L << 32) + 60}) {
    offsets.push_back(extreme);
  }
  for (const int isdst : {0, 1, -1, INT_MIN, INT_MAX}) {
    for (std::size_t i = 0; i < offsets.size(); i += isdst == 0 ? 1 : 13) {
      const long offset = offsets[i];
      std::tm tm{};
      tm.tm_gmtoff = offset;
      tm.tm_isdst = isdst;
      char text[sizeof("+05:30")] = {};
      const std::string_view written(text, static_cast<std::size_t>(WriteLocalZoneDesignator(tm, text) - text));
      ASSERT_EQ(written, ReferenceLocalDesignator(tm)) << "offset " << offset << ", isdst " << isdst;
    }
  }
}

}  // namespace
}  // namespace orvik::chrono
