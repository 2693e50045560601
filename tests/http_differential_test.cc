// The integer formatter against gmtime_r and a string stream, and the fast
// parser against the scanning one, on generated dates and damaged copies.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iomanip>
#include <limits>
#include <locale>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "differential.h"
#include "http/from_http_date.h"

namespace orvik::chrono {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
constexpr std::int64_t kFirstSecond = -9'223'372'036;
constexpr std::int64_t kLastSecond = 9'223'372'036;
const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kFullDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string StreamHttpDate(TimePoint t) {
  const long seconds = t.time_since_epoch().count() / kNanosecondsPerSecond;
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << kDays[utc.tm_wday] << ", " << std::setfill('0') << std::setw(2) << utc.tm_mday << ' ' << kMonths[utc.tm_mon]
      << ' ' << std::setfill(' ') << std::setw(4) << utc.tm_year + 1900 << ' ' << std::setfill('0') << std::setw(2)
      << utc.tm_hour << ':' << std::setfill('0') << std::setw(2) << utc.tm_min << ':' << std::setfill('0')
      << std::setw(2) << utc.tm_sec << " GMT";
  return out.str();
}

// Runs under several TZ values: the zone must not reach the text.
TEST(HttpDifferential, FormatsAsTheStreamOverTheWholeRange) {
  std::mt19937_64 random(1994);
  std::vector<std::int64_t> counts = {std::numeric_limits<std::int64_t>::min(),
                                      std::numeric_limits<std::int64_t>::max(), -1, 0, -1'500'000'000};
  for (int i = 0; i < 50'000; ++i) counts.push_back(static_cast<std::int64_t>(random()));
  // One second of every day, and the seconds either side of its midnight.
  for (std::int64_t day = kFirstSecond / 86400; day <= kLastSecond / 86400; ++day) {
    counts.push_back((day * 86400 + static_cast<std::int64_t>(random() % 86400)) * kNanosecondsPerSecond);
    if (day % 16 == 0) counts.push_back(day * 86400 * kNanosecondsPerSecond - 1);
  }
  for (const std::int64_t count : counts) {
    const TimePoint t{std::chrono::nanoseconds(count)};
    ASSERT_EQ(ToHttpDate(t), StreamHttpDate(t)) << count;
  }
}

// The public function and the fast path answer as the general path does. The
// fast path reads a copy without a terminating NUL, so that the sanitizers
// see any read past the end.
void ExpectSameAsGeneral(const std::string& text) {
  const std::string general = testing::Outcome([&] { return FromHttpDateGeneral(text).time_since_epoch().count(); });
  ASSERT_EQ(testing::Outcome([&] { return FromHttpDate(text).time_since_epoch().count(); }), general)
      << '"' << text << '"';
  const std::vector<char> bytes(text.begin(), text.end());
  if (const std::optional<TimePoint> fast = FromHttpDateFast({bytes.data(), bytes.size()})) {
    ASSERT_EQ(std::to_string(fast->time_since_epoch().count()), general) << '"' << text << '"';
  }
}

struct Fields {
  int weekday, day, month, year, hour, minute, second;  // month 0 to 11
};

enum Layout { kImfFixdate, kRfc850, kAsctimeBlank, kAsctimeZero, kLayouts };

std::string Write(const Fields& f, Layout layout, std::string_view tail) {
  char text[80];
  const int n = [&] {
    switch (layout) {
      case kImfFixdate:
        return std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d", kDays[f.weekday], f.day,
                             kMonths[f.month], f.year, f.hour, f.minute, f.second);
      case kRfc850:
        return std::snprintf(text, sizeof text, "%s, %02d-%s-%02d %02d:%02d:%02d", kFullDays[f.weekday], f.day,
                             kMonths[f.month], f.year % 100, f.hour, f.minute, f.second);
      default:
        return std::snprintf(
            text, sizeof text,
            layout == kAsctimeBlank ? "%s %s %2d %02d:%02d:%02d %04d" : "%s %s %02d %02d:%02d:%02d %04d",
            kDays[f.weekday], kMonths[f.month], f.day, f.hour, f.minute, f.second, f.year);
    }
  }();
  return std::string(text, static_cast<std::size_t>(n)).append(tail);
}

Fields FieldsOf(std::int64_t seconds) {
  const long s = seconds;
  std::tm tm{};
  gmtime_r(&s, &tm);
  return {tm.tm_wday, tm.tm_mday, tm.tm_mon, tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

constexpr std::string_view kTails[] = {" GMT", "", " UTC", " +0100", ".5 GMT", "7 GMT", "\0Mon, 07 Nov 1994"sv};

// Every layout of every instant is taken by the fast path, with any tail.
TEST(HttpDifferential, ReadsWrittenInstantsAsTheGeneralPath) {
  std::mt19937_64 random(784111777);
  std::uniform_int_distribution<std::int64_t> any_second(kFirstSecond, kLastSecond);
  for (int i = 0; i < 20'000; ++i) {
    const std::int64_t seconds = i == 0 ? kFirstSecond : i == 1 ? kLastSecond : any_second(random);
    const Fields f = FieldsOf(seconds);
    for (int layout = 0; layout < kLayouts; ++layout) {
      const std::string text = Write(f, static_cast<Layout>(layout), kTails[random() % std::size(kTails)]);
      ASSERT_TRUE(FromHttpDateFast(text).has_value()) << text;
      ExpectSameAsGeneral(text);
    }
  }
}

// The seconds either side of both ends of the range, the first and the last
// days of every month of every year that a time point reaches, and random
// fields of any two or four digits: rollovers and instants out of range.
TEST(HttpDifferential, ReadsAnyFieldValuesAsTheGeneralPath) {
  for (const std::int64_t seconds : {kFirstSecond - 1, kFirstSecond, kLastSecond, kLastSecond + 1}) {
    for (int layout = 0; layout < kLayouts; ++layout) ExpectSameAsGeneral(Write(FieldsOf(seconds), Layout(layout), ""));
  }
  for (int year = 1670; year <= 2270; ++year) {
    for (int month = 0; month < 12; ++month) {
      for (const int day : {0, 1, 28, 29, 30, 31}) {
        ExpectSameAsGeneral(Write({0, day, month, year, 12, 0, 0}, kImfFixdate, ""));
      }
    }
  }
  std::mt19937 random(20241106);
  auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int i = 0; i < 20'000; ++i) {
    const Fields f{below(7), below(100), below(12), below(10'000), below(100), below(100), below(100)};
    const auto layout = static_cast<Layout>(below(kLayouts));
    ExpectSameAsGeneral(Write(f, layout, " GMT"));
  }
}

// Written dates with bytes changed, added or removed: blanks, signs, NULs,
// other digits, other letters and any byte.
TEST(HttpDifferential, ReadsDamagedDatesAsTheGeneralPath) {
  std::mt19937 random(1677);
  auto below = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  const std::string likely = "0123456789 \t\n+-,:\0SMTWFadehinorstuyADFJNObcglpv"s;
  for (int i = 0; i < 40'000; ++i) {
    const Fields f = FieldsOf(std::uniform_int_distribution<std::int64_t>(kFirstSecond, kLastSecond)(random));
    std::string text = Write(f, static_cast<Layout>(below(kLayouts)), kTails[below(std::size(kTails))]);
    testing::Damage(&text, &random, likely);
    ExpectSameAsGeneral(text);
  }
}

}  // namespace
}  // namespace orvik::chrono
