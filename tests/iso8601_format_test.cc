// ToIso8601: exact texts in UTC; every layout against strftime and snprintf
// writing the same calendar fields, under the zone that the process runs in;
// and texts that read back as their instant and offset.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/calendar_time.h"
#include "calendar_reference.h"
#include "iso8601/to_iso8601.h"

namespace orvik::chrono::testing {
namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

TEST(ToIso8601, Utc) {
  const struct {
    std::int64_t Nanoseconds;
    int Layout;
    const char* Text;
  } kCases[] = {
      {1709622489'012345678, 0, "2024-03-05T07:08:09Z"},
      {1709622489'012345678, 1, "2024-03-05T07:08:09.012345678Z"},
      {1709622489'012345678, 2, "20240305T070809.012345678Z"},
      {1709622489'012345678, 3, "Z"},  // an unknown layout writes the designator alone
      {1709622489'012345678, -1, "Z"},
      {0, 1, "1970-01-01T00:00:00.000000000Z"},
      {1709625599'999999999, 1, "2024-03-05T07:59:59.999999999Z"},
      {1709625599'999999999, 0, "2024-03-05T07:59:59Z"},
      // Before 1970 the fraction counts up from the second that holds t, while
      // the layout without one shows ToCalendarTime's second.
      {-1, 1, "1969-12-31T23:59:59.999999999Z"},
      {-1, 0, "1970-01-01T00:00:00Z"},
      {-1'500000000, 1, "1969-12-31T23:59:58.500000000Z"},
      {-1'500000000, 0, "1969-12-31T23:59:58Z"},
      {-3600'500000000, 2, "19691231T225959.500000000Z"},
      {-3600'500000000, 0, "1969-12-31T23:00:00Z"},
      {kMin, 1, "1677-09-21T00:12:43.145224192Z"},
      {kMin, 0, "1677-09-21T00:12:43Z"},
      {kMax, 1, "2262-04-11T23:47:16.854775807Z"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ToIso8601(At(c.Nanoseconds), static_cast<Iso8601Format>(c.Layout), TimeZone::UTC), c.Text);
  }
}

// strftime's "%z" in a six-character buffer, with ':' before the minutes; "Z"
// for a zero offset or one that "+hhmm" cannot hold.
std::string Designator(const std::tm& tm) {
  char buffer[sizeof("+0530")] = {};
  const std::string_view z(buffer, std::strftime(buffer, sizeof buffer, "%z", &tm));
  if (z.size() < 2 || z == "+0000" || z == "-0000") return "Z";
  return std::string(z.substr(0, z.size() - 2)) + ":" + std::string(z.substr(z.size() - 2));
}

long FlooredSeconds(std::int64_t count) { return count / kSecond - (count % kSecond < 0 ? 1 : 0); }

std::string Reference(std::int64_t count, int layout, TimeZone zone) {
  const bool fraction = layout == 1 || layout == 2;
  const std::tm tm =
      fraction ? internal::CalendarTimeOfSecond(FlooredSeconds(count), zone) : ToCalendarTime(At(count), zone);
  char text[64] = {};
  std::size_t length = 0;
  if (layout >= 0 && layout <= 2)
    length = std::strftime(text, sizeof text, layout == 2 ? "%Y%m%dT%H%M%S" : "%FT%T", &tm);
  if (fraction) {
    const auto nanoseconds = static_cast<long long>((count % kSecond + kSecond) % kSecond);
    length += static_cast<std::size_t>(std::snprintf(text + length, sizeof text - length, ".%09lld", nanoseconds));
  }
  return std::string(text, length) + (zone == TimeZone::UTC ? "Z" : Designator(tm));
}

// Anywhere in the range, around hour starts, whole seconds, and runs of
// instants within one hour, which the cache serves without libc.
TEST(ToIso8601, EveryLayoutMatchesStrftimeAndReadsBack) {
  std::mt19937_64 random(8601);
  std::uniform_int_distribution<std::int64_t> any(kMin, kMax);
  std::vector<std::int64_t> counts = {kMin, kMax, 0, -1, -kSecond, -kHour - 1};
  for (int i = 0; i < 4000; ++i) {
    const std::int64_t t = any(random);
    for (const std::int64_t count : {t, t / kHour * kHour + t % (2 * kSecond), t / kSecond * kSecond, t / 4,
                                     t / 4 + 7 * kSecond + 1, t / 4 + 29 * kSecond - 1}) {
      counts.push_back(count);
    }
  }
  for (const std::int64_t count : counts) {
    for (const TimeZone zone : {TimeZone::Local, TimeZone::UTC}) {
      for (const int layout : {0, 1, 2, 3, -1, INT_MIN}) {
        ASSERT_EQ(ToIso8601(At(count), static_cast<Iso8601Format>(layout), zone), Reference(count, layout, zone))
            << count << " ns, layout " << layout << ", zone " << static_cast<int>(zone);
      }
      ASSERT_EQ(ToIso8601(At(count), zone), Reference(count, 1, zone));
      const std::tm shown = internal::CalendarTimeOfSecond(FlooredSeconds(count), zone);
      if (shown.tm_year < 0 || shown.tm_gmtoff % 60 != 0) continue;  // before 1900, or an offset with seconds
      for (const auto layout : {Iso8601Format::ExtendedNanoseconds, Iso8601Format::BasicNanoseconds}) {
        const std::string text = ToIso8601(At(count), layout, zone);
        ASSERT_EQ(SplitIso8601(text), std::pair(At(count), std::chrono::minutes(shown.tm_gmtoff / 60))) << text;
      }
    }
  }
}

// Offsets that no zone has, to the second, and unknown summer time.
TEST(ToIso8601, LocalDesignatorMatchesStrftimeForAnyOffset) {
  for (const int isdst : {0, 1, -1}) {
    for (long offset = -100 * 3600 - 61; offset <= 100 * 3600 + 61; offset += isdst == 0 ? 1 : 13) {
      std::tm tm{};
      tm.tm_gmtoff = offset;
      tm.tm_isdst = isdst;
      char text[sizeof("+05:30")] = {};
      ASSERT_EQ(std::string(text, internal::WriteLocalZoneDesignator(tm, text)), Designator(tm)) << offset;
    }
  }
}

}  // namespace
}  // namespace orvik::chrono::testing
