// Convert and FileTimePointToSystemTimePoint: exact fields, refusals, wrapping.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

#include "calendar/convert.h"

namespace orvik::chrono {
namespace {

struct UtcCase {
  long seconds;
  int year, mon, mday, hour, min, sec, wday, yday;
};

TEST(Convert, UtcFieldsAsLibcLeavesThem) {
  const UtcCase cases[] = {
      {0, 70, 0, 1, 0, 0, 0, 4, 0},
      {-1, 69, 11, 31, 23, 59, 59, 3, 364},
      {1709622489, 124, 2, 5, 7, 8, 9, 2, 64},
      {9223372036, 362, 3, 11, 23, 47, 16, 5, 100},
      {-9223372037, -223, 8, 21, 0, 12, 43, 2, 263},
  };
  for (const UtcCase& c : cases) {
    std::tm tm{};
    Convert(c.seconds, &tm, TimeZone::UTC);
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(tm.tm_year, c.year);
    EXPECT_EQ(tm.tm_mon, c.mon);
    EXPECT_EQ(tm.tm_mday, c.mday);
    EXPECT_EQ(tm.tm_hour, c.hour);
    EXPECT_EQ(tm.tm_min, c.min);
    EXPECT_EQ(tm.tm_sec, c.sec);
    EXPECT_EQ(tm.tm_wday, c.wday);
    EXPECT_EQ(tm.tm_yday, c.yday);
    EXPECT_EQ(tm.tm_isdst, 0);
    EXPECT_EQ(tm.tm_gmtoff, 0);
  }
}

TEST(Convert, UnknownZoneIsRefusedWithoutWriting) {
  for (const auto raw : {2, -1, 0x7fffffff}) {
    std::tm tm;
    std::memset(&tm, 0x5a, sizeof tm);
    const std::tm before = tm;
    try {
      Convert(0, &tm, static_cast<TimeZone>(raw));
      ADD_FAILURE() << "zone " << raw << " was accepted";
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "Unknown timezone type");
    }
    // Byte-wise: every byte, padding included, must be as it was.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(std::memcmp(&tm, &before, sizeof tm), 0) << "zone " << raw;
  }
}

// Registered under TZ=UTC and TZ=<+0530>-5:30.
TEST(Convert, LocalFollowsTheProcessZone) {
  const char* zone = std::getenv("TZ");
  ASSERT_NE(zone, nullptr);
  const bool india = std::string(zone) == "<+0530>-5:30";
  std::tm tm{};
  Convert(0, &tm, TimeZone::Local);
  EXPECT_EQ(tm.tm_hour, india ? 5 : 0);
  EXPECT_EQ(tm.tm_min, india ? 30 : 0);
  EXPECT_EQ(tm.tm_mday, 1);
  EXPECT_EQ(tm.tm_gmtoff, india ? 19800 : 0);
}

TEST(FileTimePointToSystemTimePoint, MultipliesAndWrapsBeyondTheRange) {
  constexpr long kMax = std::numeric_limits<long>::max();
  constexpr long kMin = std::numeric_limits<long>::min();
  const struct {
    long seconds;
    long nanoseconds;
  } cases[] = {
      {1709622489, 1709622489000000000},
      {-1, -1000000000},
      {0, 0},
      {9223372036, 9223372036000000000},
      {-9223372036, -9223372036000000000},
      // Outside the range only the low 64 bits of the product remain.
      {9223372037, -9223372036709551616},
      {-9223372037, 9223372036709551616},
      {kMax, -1000000000},
      {kMin, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileTimePointToSystemTimePoint(c.seconds).time_since_epoch().count(), c.nanoseconds) << c.seconds;
  }
}

}  // namespace
}  // namespace orvik::chrono
