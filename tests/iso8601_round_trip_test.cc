#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <limits>
#include <random>
#include <vector>

namespace orvik::chrono {
namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

// Across the whole range, and within two seconds of hour starts from 1900 on,
// where the second shown before 1970 depends on the layout.
std::vector<std::int64_t> RandomCounts() {
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::vector<std::int64_t> counts = {kMin, kMax, -1, 0, -3600 * kNanosecondsPerSecond - 1};
  std::mt19937_64 random(20240305);
  std::uniform_int_distribution<std::int64_t> any(kMin, kMax);
  std::uniform_int_distribution<std::int64_t> hour(-2208988800 / 3600, 9223372033 / 3600);
  std::uniform_int_distribution<std::int64_t> near(-2 * kNanosecondsPerSecond, 2 * kNanosecondsPerSecond);
  for (int i = 0; i < 2000; ++i) {
    counts.push_back(any(random));
    counts.push_back(hour(random) * 3600 * kNanosecondsPerSecond + near(random));
  }
  return counts;
}

long FlooredSeconds(std::int64_t count) {
  return count / kNanosecondsPerSecond - (count % kNanosecondsPerSecond < 0 ? 1 : 0);
}

// Every text with a year from 1900 on and an offset of whole minutes reads
// back as the same instant, with the offset in force at that instant.
TEST(Iso8601RoundTrip, TextsReadBackAsTheirInstantAndOffset) {
  std::size_t checked = 0;
  const std::vector<std::int64_t> counts = RandomCounts();
  for (const std::int64_t count : counts) {
    const TimePoint t{std::chrono::nanoseconds(count)};
    const long seconds = FlooredSeconds(count);
    std::tm local{};
    std::tm utc{};
    ASSERT_NE(localtime_r(&seconds, &local), nullptr);
    ASSERT_NE(gmtime_r(&seconds, &utc), nullptr);
    for (const auto& [zone, shown] : {std::pair{TimeZone::Local, local}, std::pair{TimeZone::UTC, utc}}) {
      if (shown.tm_year < 0 || shown.tm_gmtoff % 60 != 0) continue;
      for (const auto format : {Iso8601Format::ExtendedNanoseconds, Iso8601Format::BasicNanoseconds}) {
        const std::string text = ToIso8601(t, format, zone);
        const auto [instant, offset] = SplitIso8601(text);
        EXPECT_EQ(instant, t) << text;
        EXPECT_EQ(offset.count(), shown.tm_gmtoff / 60) << text;
        EXPECT_EQ(FromIso8601(text), t) << text;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, counts.size());
}

}  // namespace
}  // namespace orvik::chrono
