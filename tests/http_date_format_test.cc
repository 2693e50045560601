#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <locale>
#include <sstream>
#include <string>

namespace orvik::chrono {
namespace {

TimePoint At(std::int64_t nanoseconds) { return TimePoint(std::chrono::nanoseconds(nanoseconds)); }

// Runs under several TZ values: the expected texts hold in every zone.
TEST(ToHttpDate, WritesTheUtcImfFixdateOfTheWholeSecondTowardZero) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  const struct {
    std::int64_t nanoseconds;
    const char* text;
  } cases[] = {
      {0, "Thu, 01 Jan 1970 00:00:00 GMT"},
      {784111777999999999, "Sun, 06 Nov 1994 08:49:37 GMT"},
      {946684799999999999, "Fri, 31 Dec 1999 23:59:59 GMT"},
      {951782400000000000, "Tue, 29 Feb 2000 00:00:00 GMT"},
      {1000000000000000000, "Sun, 09 Sep 2001 01:46:40 GMT"},
      {1700000000123456789, "Tue, 14 Nov 2023 22:13:20 GMT"},
      {1325160000000000000, "Thu, 29 Dec 2011 12:00:00 GMT"},
      {-1, "Thu, 01 Jan 1970 00:00:00 GMT"},
      {-999999999, "Thu, 01 Jan 1970 00:00:00 GMT"},
      {-1000000000, "Wed, 31 Dec 1969 23:59:59 GMT"},
      {-1500000000, "Wed, 31 Dec 1969 23:59:59 GMT"},
      {-31536000000000000, "Wed, 01 Jan 1969 00:00:00 GMT"},
      {kMax, "Fri, 11 Apr 2262 23:47:16 GMT"},
      {kMin, "Tue, 21 Sep 1677 00:12:44 GMT"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToHttpDate(At(c.nanoseconds)), c.text) << c.nanoseconds;
}

struct GroupsByThree : std::numpunct<char> {
  char do_thousands_sep() const override { return ','; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(ToHttpDate, WritesPlainDigitsUnderAGroupingGlobalLocale) {
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new GroupsByThree));
  std::ostringstream plain_stream;
  plain_stream << 2024;
  const std::string text = ToHttpDate(At(1721044800000000000));
  std::locale::global(previous);

  ASSERT_EQ(plain_stream.str(), "2,024");  // the locale is really in force
  EXPECT_EQ(text, "Mon, 15 Jul 2024 12:00:00 GMT");
}

}  // namespace
}  // namespace orvik::chrono
