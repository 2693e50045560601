// ToCalendarTime and its internals under the zone that the process runs in:
// refusals, and libc's answer for the second shown whatever calls came
// before, from eight threads at once.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

#include "calendar/civil.h"
#include "calendar/convert.h"
#include "calendar_reference.h"

namespace orvik::chrono::testing {
namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

TEST(ToCalendarTime, UnknownZoneIsRefusedOnEveryCallWithoutWriting) {
  std::tm tm;
  std::memset(&tm, 0x5a, sizeof tm);
  const std::tm before = tm;
  for (const auto zone : {static_cast<TimeZone>(2), static_cast<TimeZone>(-1), static_cast<TimeZone>(2)}) {
    for (const std::function<void()>& call : std::vector<std::function<void()>>{
             [&] { internal::Convert(0, tm, zone); }, [&] { ToCalendarTime(At(0), zone); },
             [&] { ToIso8601(At(0), zone); }, [&] { ToIso8601(At(0), Iso8601Format::Extended, zone); },
             [&] { ToIso8601(At(0), Iso8601Format::BasicNanoseconds, zone); },
             [&] { ToIso8601(At(0), static_cast<Iso8601Format>(3), zone); }}) {
      EXPECT_THROW(
          try { call(); } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "Unknown timezone type");
            throw;
          },
          std::invalid_argument);
    }
  }
  EXPECT_EQ(std::memcmp(&tm, &before, sizeof tm), 0);  // NOLINT(bugprone-suspicious-memory-comparison)
}

TEST(FileTimePointToSystemTimePoint, MultipliesAndWrapsBeyondTheRange) {
  const std::int64_t kCases[][2] = {{1709622489, 1709622489000000000},
                                    {-1, -1000000000},
                                    {9223372036, 9223372036000000000},
                                    {-9223372036, -9223372036000000000},
                                    // Outside the range only the low 64 bits of the product remain.
                                    {9223372037, -9223372036709551616},
                                    {kMax, -1000000000},
                                    {kMin, 0}};
  for (const auto& c : kCases) EXPECT_EQ(FileTimePointToSystemTimePoint(c[0]).time_since_epoch().count(), c[1]);
}

// Each thread: far jumps, steps within and across hours, instants around hour
// starts (negative ones inside a second among them), both zones interleaved.
TEST(ToCalendarTime, EightThreadsMatchLibc) {
  std::vector<int> mismatches(8);
  std::vector<std::thread> threads;
  for (std::size_t id = 0; id < mismatches.size(); ++id) {
    threads.emplace_back([id, &mismatches] {
      std::mt19937_64 random(id);
      std::uniform_int_distribution<std::int64_t> anywhere(kMin, kMax);
      std::uniform_int_distribution<std::int64_t> step(-2 * kHour, 2 * kHour);
      std::int64_t t = 0;
      for (int i = 0; i < 25000; ++i) {
        if (random() % 4 == 0 || __builtin_add_overflow(t, step(random), &t)) t = anywhere(random);
        if (random() % 8 == 0) t = t / kHour * kHour + static_cast<std::int64_t>(random() % 5) * kSecond / 2 - kSecond;
        if (!MatchesLibc(At(t), random() % 3 == 0 ? TimeZone::UTC : TimeZone::Local)) ++mismatches[id];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const int m : mismatches) EXPECT_EQ(m, 0);
}

// Fields of every size, as the parsers produce them after a sign or a wrapped
// unsigned scan, carry as timegm carries them.
TEST(Civil, SecondsFromFieldsIsTimegm) {
  std::mt19937_64 random(2);
  for (int i = 0; i < 200000; ++i) {
    std::tm tm{};
    for (int* value : {&tm.tm_sec, &tm.tm_min, &tm.tm_hour, &tm.tm_mday, &tm.tm_mon}) {
      const std::uint64_t bits = random();
      *value = static_cast<std::int32_t>(bits) >> (bits >> 59U);  // magnitudes from 2^0 to 2^31
    }
    tm.tm_year = static_cast<int>(random() % 10000) - 3000;
    std::tm copy = tm;
    const std::time_t want = timegm(&copy);
    if (want == -1 && copy.tm_year == tm.tm_year && copy.tm_mon == tm.tm_mon) continue;  // timegm gave up
    ASSERT_EQ(internal::civil::SecondsFromFields(tm), want) << Describe(tm);
  }
}

}  // namespace
}  // namespace orvik::chrono::testing
