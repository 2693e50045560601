// The integer calendar arithmetic against libc's POSIX conversions, over the
// whole range of int fields and seconds counts. Runs under TZ=UTC.
#include "calendar/civil.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <limits>
#include <random>

namespace orvik::chrono::civil {
namespace {

TEST(Civil, UtcFromSecondsIsGmtime) {
  std::mt19937_64 random(1);
  std::uniform_int_distribution<std::int64_t> anywhere(-9223372037, 9223372036);
  for (int i = 0; i < 200000; ++i) {
    const std::int64_t seconds = i < 1000 ? i - 500 : anywhere(random);
    const std::tm got = UtcFromSeconds(seconds);
    std::tm want{};
    const std::time_t t = seconds;
    ASSERT_NE(gmtime_r(&t, &want), nullptr);
    ASSERT_TRUE(got.tm_year == want.tm_year && got.tm_mon == want.tm_mon && got.tm_mday == want.tm_mday &&
                got.tm_hour == want.tm_hour && got.tm_min == want.tm_min && got.tm_sec == want.tm_sec &&
                got.tm_wday == want.tm_wday && got.tm_yday == want.tm_yday && got.tm_isdst == want.tm_isdst &&
                got.tm_gmtoff == want.tm_gmtoff)
        << seconds;
  }
}

// Field values of every size, as the parsers can produce them after a sign or
// a wrapped unsigned scan.
TEST(Civil, SecondsFromFieldsIsTimegm) {
  std::mt19937_64 random(2);
  const auto field = [&random]() -> int {
    switch (random() % 4) {
      case 0:
        return static_cast<int>(random() % 200) - 100;
      case 1:
        return static_cast<int>(random() % 20000) - 10000;
      case 2:
        return static_cast<int>(random() % 2000000) - 1000000;
      default:
        return static_cast<int>(static_cast<std::uint32_t>(random()));
    }
  };
  for (int i = 0; i < 200000; ++i) {
    std::tm tm{};
    tm.tm_year = static_cast<int>(random() % 10000) - 3000;
    tm.tm_mon = field();
    tm.tm_mday = field();
    tm.tm_hour = field();
    tm.tm_min = field();
    tm.tm_sec = field();
    std::tm copy = tm;
    const std::time_t want = timegm(&copy);
    if (want == -1 && copy.tm_year == tm.tm_year && copy.tm_mon == tm.tm_mon) continue;  // timegm gave up
    ASSERT_EQ(SecondsFromFields(tm), want) << tm.tm_year << " " << tm.tm_mon << " " << tm.tm_mday << " " << tm.tm_hour
                                           << " " << tm.tm_min << " " << tm.tm_sec;
  }
}

}  // namespace
}  // namespace orvik::chrono::civil
