#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvik::chrono {
namespace {

TimePoint At(std::int64_t nanoseconds) { return TimePoint(std::chrono::nanoseconds(nanoseconds)); }

constexpr std::int64_t kMarch = 1709622489'012345678;  // 2024-03-05T07:08:09.012345678Z
constexpr std::int64_t kJuly = 1719792000'500000000;   // 2024-07-01T00:00:00.5Z
constexpr auto kUnknownLayout = static_cast<Iso8601Format>(3);
constexpr auto kNegativeLayout = static_cast<Iso8601Format>(-1);

struct Case {
  std::int64_t Nanoseconds;
  Iso8601Format Format;
  std::string_view Text;
};

TEST(ToIso8601, Utc) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr Case kCases[] = {
      {kMarch, Iso8601Format::Extended, "2024-03-05T07:08:09Z"},
      {kMarch, Iso8601Format::ExtendedNanoseconds, "2024-03-05T07:08:09.012345678Z"},
      {kMarch, Iso8601Format::BasicNanoseconds, "20240305T070809.012345678Z"},
      {kMarch, kUnknownLayout, "Z"},
      {kMarch, kNegativeLayout, "Z"},
      {0, Iso8601Format::ExtendedNanoseconds, "1970-01-01T00:00:00.000000000Z"},
      {1709622489'999999999, Iso8601Format::ExtendedNanoseconds, "2024-03-05T07:08:09.999999999Z"},
      {1709622489'999999999, Iso8601Format::Extended, "2024-03-05T07:08:09Z"},
      // Before 1970 the fraction counts up from the second that holds t, while
      // the layout without one shows ToCalendarTime's second.
      {-1, Iso8601Format::ExtendedNanoseconds, "1969-12-31T23:59:59.999999999Z"},
      {-1, Iso8601Format::Extended, "1970-01-01T00:00:00Z"},
      {-1'500000000, Iso8601Format::ExtendedNanoseconds, "1969-12-31T23:59:58.500000000Z"},
      {-1'500000000, Iso8601Format::Extended, "1969-12-31T23:59:58Z"},
      {-3600'500000000, Iso8601Format::BasicNanoseconds, "19691231T225959.500000000Z"},
      {-3600'500000000, Iso8601Format::Extended, "1969-12-31T23:00:00Z"},
      {kMin, Iso8601Format::ExtendedNanoseconds, "1677-09-21T00:12:43.145224192Z"},
      {kMin, Iso8601Format::BasicNanoseconds, "16770921T001243.145224192Z"},
      {kMin, Iso8601Format::Extended, "1677-09-21T00:12:43Z"},
      {kMax, Iso8601Format::ExtendedNanoseconds, "2262-04-11T23:47:16.854775807Z"},
      {kMax, Iso8601Format::Extended, "2262-04-11T23:47:16Z"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(ToIso8601(At(c.Nanoseconds), c.Format, TimeZone::UTC), c.Text) << c.Nanoseconds;
    if (c.Format == Iso8601Format::ExtendedNanoseconds) {
      EXPECT_EQ(ToIso8601(At(c.Nanoseconds), TimeZone::UTC), c.Text);
    }
  }
}

// The process's zone at kMarch and kJuly, in the layout with nanoseconds, and
// kMarch in the basic layout.
struct ZoneCase {
  std::string_view Tz;
  std::string_view March;
  std::string_view MarchBasic;
  std::string_view July;
};

constexpr ZoneCase kZones[] = {
    {"UTC", "2024-03-05T07:08:09.012345678Z", "20240305T070809.012345678Z", "2024-07-01T00:00:00.500000000Z"},
    {"<+00>0", "2024-03-05T07:08:09.012345678Z", "20240305T070809.012345678Z", "2024-07-01T00:00:00.500000000Z"},
    {"Europe/London", "2024-03-05T07:08:09.012345678Z", "20240305T070809.012345678Z",
     "2024-07-01T01:00:00.500000000+01:00"},
    {"<+0530>-5:30", "2024-03-05T12:38:09.012345678+05:30", "20240305T123809.012345678+05:30",
     "2024-07-01T05:30:00.500000000+05:30"},
    {"Asia/Kolkata", "2024-03-05T12:38:09.012345678+05:30", "20240305T123809.012345678+05:30",
     "2024-07-01T05:30:00.500000000+05:30"},
    {"EST5", "2024-03-05T02:08:09.012345678-05:00", "20240305T020809.012345678-05:00",
     "2024-06-30T19:00:00.500000000-05:00"},
    {"Asia/Kathmandu", "2024-03-05T12:53:09.012345678+05:45", "20240305T125309.012345678+05:45",
     "2024-07-01T05:45:00.500000000+05:45"},
    {"<-0330>3:30", "2024-03-05T03:38:09.012345678-03:30", "20240305T033809.012345678-03:30",
     "2024-06-30T20:30:00.500000000-03:30"},
    {"America/St_Johns", "2024-03-05T03:38:09.012345678-03:30", "20240305T033809.012345678-03:30",
     "2024-06-30T21:30:00.500000000-02:30"},
    {"Australia/Lord_Howe", "2024-03-05T18:08:09.012345678+11:00", "20240305T180809.012345678+11:00",
     "2024-07-01T10:30:00.500000000+10:30"},
};

TEST(ToIso8601, Local) {
  const char* tz = std::getenv("TZ");  // NOLINT(concurrency-mt-unsafe): no other thread runs
  ASSERT_NE(tz, nullptr) << "run under a TZ of the table";
  const ZoneCase* zone = nullptr;
  for (const ZoneCase& z : kZones) {
    if (z.Tz == tz) zone = &z;
  }
  ASSERT_NE(zone, nullptr) << "no expectations for TZ=" << tz;

  const std::string march(zone->March);
  const std::string suffix = march.substr(sizeof("2024-03-05T07:08:09.012345678") - 1);
  const std::string march_without_fraction = march.substr(0, sizeof("2024-03-05T07:08:09") - 1) + suffix;
  EXPECT_EQ(ToIso8601(At(kMarch), Iso8601Format::ExtendedNanoseconds, TimeZone::Local), march);
  EXPECT_EQ(ToIso8601(At(kMarch), TimeZone::Local), march);
  EXPECT_EQ(ToIso8601(At(kMarch), Iso8601Format::BasicNanoseconds, TimeZone::Local), zone->MarchBasic);
  EXPECT_EQ(ToIso8601(At(kMarch), Iso8601Format::Extended, TimeZone::Local), march_without_fraction);
  EXPECT_EQ(ToIso8601(At(kMarch), kUnknownLayout, TimeZone::Local), suffix);
  EXPECT_EQ(ToIso8601(At(kMarch), kNegativeLayout, TimeZone::Local), suffix);
  EXPECT_EQ(ToIso8601(At(kJuly), TimeZone::Local), zone->July);
}

TEST(ToIso8601, UnknownZoneThrowsForEveryLayout) {
  for (const auto zone : {static_cast<TimeZone>(2), static_cast<TimeZone>(-1)}) {
    for (const auto format : {Iso8601Format::Extended, Iso8601Format::ExtendedNanoseconds,
                              Iso8601Format::BasicNanoseconds, kUnknownLayout}) {
      try {
        ToIso8601(At(kMarch), format, zone);
        ADD_FAILURE() << "no exception for layout " << static_cast<int>(format);
      } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Unknown timezone type");
      }
    }
    EXPECT_THROW(ToIso8601(At(kMarch), zone), std::invalid_argument);
  }
}

}  // namespace
}  // namespace orvik::chrono
