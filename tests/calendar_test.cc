// ToIso8601 and ToCalendarTime texts and refusals that the formatters' fuzz
// check, which compares every layout with strftime under each zone, cannot
// tell apart: exact UTC texts at the ends of the range and before 1970, and
// unknown zones refused on every call.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <tuple>

namespace orvik::chrono {
namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

TimePoint At(std::int64_t nanoseconds) { return TimePoint(std::chrono::nanoseconds(nanoseconds)); }

TEST(ToIso8601, Utc) {
  const std::tuple<std::int64_t, int, const char*> kCases[] = {
      // The three layouts at other instants are the formatters' fuzz check's, against strftime.
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
  }
}

// Refused each time, not only at the first call: no answer is kept for it.
// The formatters' fuzz check refuses every other unknown zone the same way.
TEST(ToCalendarTime, UnknownZoneIsRefusedOnEveryCall) {
  for (const auto zone : {static_cast<TimeZone>(2), static_cast<TimeZone>(-1), static_cast<TimeZone>(2)}) {
    try {
      ToCalendarTime(At(0), zone);
      ADD_FAILURE() << static_cast<int>(zone);
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "Unknown timezone type");
    }
  }
}

TEST(FileTimePointToSystemTimePoint, MultipliesAndWrapsBeyondTheRange) {
  const std::int64_t kCases[][2] = {{1709622489, 1709622489000000000},  {-1, -1000000000},
                                    {9223372036, 9223372036000000000},  {-9223372036, -9223372036000000000},
                                    {9223372037, -9223372036709551616}, {kMax, -1000000000}};
  for (const auto& c : kCases) EXPECT_EQ(FileTimePointToSystemTimePoint(c[0]).time_since_epoch().count(), c[1]);
}

}  // namespace
}  // namespace orvik::chrono
