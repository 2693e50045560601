// ToCalendarTime and ToIso8601, which writes its fields, under the zone that
// the process runs in: exact texts, refusals, every layout against strftime
// and snprintf, and texts that read back as they were meant.

#include <climits>
#include <cstdio>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <vector>

#include "calendar/calendar_time.h"
#include "calendar/convert.h"
#include "calendar_reference.h"
#include "messages.h"

namespace orvik::chrono::testing {
namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

TEST(ToIso8601, Utc) {
  const std::tuple<std::int64_t, int, const char*> kCases[] = {
      {1709622489'012345678, 0, "2024-03-05T07:08:09Z"},
      {1709622489'012345678, 1, "2024-03-05T07:08:09.012345678Z"},
      {1709622489'012345678, 2, "20240305T070809.012345678Z"},
      {1709622489'012345678, 3, "Z"},  // an unknown layout writes the designator alone
      // Before 1970 the fraction counts up from the second that holds t, while
      // the layout without one shows ToCalendarTime's second.
      {-1, 1, "1969-12-31T23:59:59.999999999Z"},
      {-1, 0, "1970-01-01T00:00:00Z"},
      {-1'500000000, 0, "1969-12-31T23:59:58Z"},
      {kMin, 1, "1677-09-21T00:12:43.145224192Z"},
      {kMax, 1, "2262-04-11T23:47:16.854775807Z"},
  };
  for (const auto& [t, layout, text] : kCases) {
    EXPECT_EQ(ToIso8601(At(t), static_cast<Iso8601Format>(layout), TimeZone::UTC), text);
    char written[kMaxIso8601Size];
    char* end = FormatIso8601(written, At(t), static_cast<Iso8601Format>(layout), TimeZone::UTC);
    EXPECT_EQ(std::string(written, end), text);
  }
}

TEST(ToCalendarTime, UnknownZoneIsRefusedOnEveryCall) {
  for (const auto zone : {static_cast<TimeZone>(2), static_cast<TimeZone>(-1), static_cast<TimeZone>(2)}) {
    for (int call = 0; call < 6; ++call) {
      try {
        if (call == 1) ToCalendarTime(At(0), zone);
        EXPECT_EQ(FormatIso8601(nullptr, At(0), static_cast<Iso8601Format>(call - 3), zone), nullptr);
        ToIso8601(At(0), static_cast<Iso8601Format>(call - 3), zone);  // layouts -1 to 2
        ADD_FAILURE() << "call " << call;
      } catch (const std::invalid_argument& e) {
        EXPECT_EQ(e.what(), internal::kUnknownTimeZone);
      }
    }
  }
}

TEST(FileTimePointToSystemTimePoint, MultipliesAndWrapsBeyondTheRange) {
  const std::int64_t kCases[][2] = {{1709622489, 1709622489000000000},  {-1, -1000000000},
                                    {9223372036, 9223372036000000000},  {-9223372036, -9223372036000000000},
                                    {9223372037, -9223372036709551616}, {kMax, -1000000000}};
  for (const auto& c : kCases) EXPECT_EQ(FileTimePointToSystemTimePoint(c[0]).time_since_epoch().count(), c[1]);
}

// Random instants field by field against libc, in threads each with a cache
// of its own: far jumps, steps within and across hours, instants around hour
// starts (negative ones inside a second among them), both zones interleaved.
TEST(ToCalendarTime, ThreadsMatchLibc) {
  std::vector<int> mismatches(4);
  std::vector<std::thread> threads;
  for (std::size_t id = 0; id < mismatches.size(); ++id) {
    threads.emplace_back([id, &mismatches] {
      std::mt19937_64 random(id);
      std::uniform_int_distribution<std::int64_t> anywhere(kMin, kMax);
      std::int64_t t = 0;
      for (int i = 0; i < 25000; ++i) {
        const std::int64_t step = static_cast<std::int64_t>(random() % (4 * kHour)) - 2 * kHour;
        if (random() % 4 == 0 || __builtin_add_overflow(t, step, &t)) t = anywhere(random);
        if (random() % 8 == 0) t = t / kHour * kHour + static_cast<std::int64_t>(random() % 5) * kSecond / 2 - kSecond;
        if (!MatchesLibc(At(t), random() % 3 == 0 ? TimeZone::UTC : TimeZone::Local)) ++mismatches[id];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(mismatches.size()));
}

long FlooredSeconds(std::int64_t count) { return count / kSecond - (count % kSecond < 0 ? 1 : 0); }

std::tm OfSecond(long seconds, TimeZone zone) {
  std::tm tm{};
  EXPECT_TRUE(internal::TryCalendarTimeOfSecond(seconds, zone, tm));
  return tm;
}

// strftime and snprintf writing the fields that ToIso8601 shows; the offset
// is "%z" in a six-character buffer with ':' before the minutes, or "Z" for a
// zero offset or one that "+hhmm" cannot hold.
std::string Reference(std::int64_t count, int layout, TimeZone zone) {
  const bool fraction = layout == 1 || layout == 2;
  const std::tm tm = fraction ? OfSecond(FlooredSeconds(count), zone) : ToCalendarTime(At(count), zone);
  char text[64] = {};
  std::size_t length = 0;
  if (layout >= 0 && layout <= 2) {
    length = std::strftime(text, 64, layout == 2 ? "%Y%m%dT%H%M%S" : "%FT%T", &tm);
  }
  if (fraction) {
    const long long nanoseconds = (count % kSecond + kSecond) % kSecond;
    length += static_cast<std::size_t>(std::snprintf(text + length, 64 - length, ".%09lld", nanoseconds));
  }
  char offset[sizeof("+0530")] = {};
  const std::string_view z(offset, zone == TimeZone::UTC ? 0 : std::strftime(offset, sizeof offset, "%z", &tm));
  if (z.size() < 2 || z == "+0000" || z == "-0000") return std::string(text, length) + "Z";
  return std::string(text, length).append(z.substr(0, z.size() - 2)).append(":").append(z.substr(z.size() - 2));
}

// Anywhere in the range, around hour starts, whole seconds, and runs of
// instants within one hour, which the cache serves without libc.
TEST(ToIso8601, EveryLayoutMatchesStrftimeAndReadsBack) {
  std::mt19937_64 random(8601);
  std::uniform_int_distribution<std::int64_t> any(kMin, kMax);
  for (int i = 0; i < 4000; ++i) {
    const std::int64_t t = i == 0 ? kMin : i == 1 ? kMax : any(random);
    for (const std::int64_t count : {t, t / kHour * kHour + t % (2 * kSecond), t / kSecond * kSecond, t / 4,
                                     t / 4 + 7 * kSecond + 1, t / 4 + 29 * kSecond - 1}) {
      for (const TimeZone zone : {TimeZone::Local, TimeZone::UTC}) {
        for (const int layout : {0, 1, 2, 3, -1, INT_MIN}) {
          ASSERT_EQ(ToIso8601(At(count), static_cast<Iso8601Format>(layout), zone), Reference(count, layout, zone))
              << count << " ns, layout " << layout << ", zone " << static_cast<int>(zone);
        }
        ASSERT_EQ(ToIso8601(At(count), zone), Reference(count, 1, zone));
        const std::tm shown = OfSecond(FlooredSeconds(count), zone);
        if (shown.tm_year < 0 || shown.tm_gmtoff % 60 != 0) continue;  // before 1900, or an offset with seconds
        for (const auto layout : {Iso8601Format::ExtendedNanoseconds, Iso8601Format::BasicNanoseconds}) {
          const std::string text = ToIso8601(At(count), layout, zone);
          ASSERT_EQ(SplitIso8601(text), std::pair(At(count), std::chrono::minutes(shown.tm_gmtoff / 60))) << text;
        }
      }
    }
  }
}

}  // namespace
}  // namespace orvik::chrono::testing
