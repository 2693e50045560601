// Layouts by format string: formats refused, each directive read and written
// once, the strict reading's refusals with their exact messages, and the
// local writer beside strftime under the process's zone.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <string>

#include "outcome.h"

namespace orvik::chrono {
namespace {

constexpr TimePoint kReference{std::chrono::seconds(1709622489)};  // 2024-03-05T07:08:09Z

Zone ZoneOf(const std::string& name) { return name.empty() ? Zone::Utc() : LoadZone(name); }

TEST(LayoutTest, RefusesFormats) {
  const struct {
    std::string format, message;
  } cases[] = {
      {"%Y-%Q", "unknown directive %Q at 3"},        {"%Y %", "a '%' that ends the format at 3"},
      {"%-a", "flag '-' does not apply to %a at 0"}, {"%3d", "unknown directive %3d at 0"},  // a width is %N's alone
      {"%:Z", "unknown directive %:Z at 0"},         {std::string(1025, 'x'), "a format of 1025 bytes, more than 1024"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Outcome([&] { return std::string(CompileLayout(c.format).Format()); }),
              Invalid("Not a format, " + c.message + ": " + c.format));
  }
}

TEST(LayoutTest, SaysWhatKeepsAFormatFromReading) {
  const struct {
    const char* format;
    const char* problem;
  } cases[] = {
      {"%H:%M", "the format has no date"},
      {"%Y-%m", "the format has no date"},
      {"%F %d", "the format gives the day twice, at 0 and at 3"},
      {"%d/%m/%y %Y", "the format gives the year twice, at 6 and at 9"},
      {"%F %I:%M", "%I at 3 has no %p"},
      {"%F %H %p", "%p at 6 has no %I"},
      {"%C-%m-%d", "%C at 0 has no %y"},
      {"%F %M", "%M at 3 has no hour"},
      {"%F %H:%S", "%S at 6 has no minutes"},
      {"%s %F", "%s at 0 goes with no date or time field"},
      {"%b %e %T", ""},  // a reference instant gives the year
      {"%s.%N %z", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LayoutReadingProblem(CompileLayout(c.format)), c.problem) << c.format;
}

std::string Read(const std::string& format, const std::string& text, const std::string& zone) {
  std::string message;
  const auto read =
      TryFromLayout(text, CompileLayout(format), ZoneOf(zone), Disambiguation::Compatible, kReference, message);
  if (!read) return message;
  const char* kinds[] = {"", " skipped", " repeated"};
  return ToIso8601(read.value.timestamp.instant, TimeZone::UTC) + " " +
         std::to_string(read.value.timestamp.offset.count()) + (read.value.wall_clock ? " wall" : "") +
         kinds[static_cast<int>(read.value.kind)];
}

TEST(LayoutTest, ReadsEachDirective) {
  const struct {
    const char *format, *text, *zone, *read;
  } cases[] = {
      {"%d/%b/%Y:%H:%M:%S %z", "05/Mar/2024:07:08:09 -0800", "", "2024-03-05T15:08:09.000000000Z -28800"},
      {"%a %b %e %H:%M:%S %Z %Y", "Tue Mar  5 07:08:09 CET 2024", "Europe/Berlin",
       "2024-03-05T06:08:09.000000000Z 3600"},
      {"%A, %B %d, %Y %I:%M %p", "tuesday, MARCH 5, 2024 12:08 am", "", "2024-03-05T00:08:00.000000000Z 0 wall"},
      {"%m/%d/%y %I %p", "3/5/69 12 PM", "", "1969-03-05T12:00:00.000000000Z 0 wall"},  // %y: 69 is 1969
      {"%D", "03/05/68", "", "2068-03-05T00:00:00.000000000Z 0 wall"},                  // 68 is 2068
      {"%C%y%m%d", "17010304", "", "1701-03-04T00:00:00.000000000Z 0 wall"},
      {"%Y %j", "2024 366", "", "2024-12-31T00:00:00.000000000Z 0 wall"},
      {"%F %T,%f", "2024-03-05 07:08:09,5", "Asia/Kolkata", "2024-03-05T01:38:09.500000000Z 19800 wall"},
      {"%F %R:%S.%3N%:z", "2024-03-05 07:08:09.120+05:30", "", "2024-03-05T01:38:09.120000000Z 19800"},
      {"%s.%N", "-1.5", "", "1969-12-31T23:59:59.500000000Z 0"},
      {"%b %e %T", "Dec 31 23:59:59", "", "2023-12-31T23:59:59.000000000Z 0 wall"},  // more than a day ahead
      {"%b %e %T", "Mar  6 07:08:09", "", "2024-03-06T07:08:09.000000000Z 0 wall"},  // a day ahead at most
      {"%F%n%T%t%z", "2016-12-31 \t23:59:60\nZ", "", "2016-12-31T23:59:59.999999999Z 0"},
      {"%F %T %Z", "2024-10-27 02:30:00 CEST", "Europe/Berlin", "2024-10-27T00:30:00.000000000Z 7200"},
      {"%F %T %Z", "2024-10-27 02:30:00 CET", "Europe/Berlin", "2024-10-27T01:30:00.000000000Z 3600"},
      {"%F %T %Z", "2024-03-05 07:08:09 EST", "Europe/Berlin", "2024-03-05T12:08:09.000000000Z -18000"},
      {"%F %T %Z", "2024-03-05 07:08:09 -03", "", "2024-03-05T10:08:09.000000000Z -10800"},
      {"%F %T", "2024-03-10 02:30:00", "America/New_York", "2024-03-10T07:30:00.000000000Z -14400 wall skipped"},
      {"%F %T", "2024-11-03 01:30:00", "America/New_York", "2024-11-03T05:30:00.000000000Z -14400 wall repeated"},
      {"%%%Y%m%d%%", "%20240305%", "", "2024-03-05T00:00:00.000000000Z 0 wall"},
      {"%e%m%Y %H%z", "12032024 07+01", "", "2024-03-12T06:00:00.000000000Z 3600"},       // %e takes two digits at most
      {"%F  %-H:%M", "2024-03-05 \t 7:08", "", "2024-03-05T07:08:00.000000000Z 0 wall"},  // one run of white space
      {"%-y/%_m/%d %_j", "5/ 3/05  64", "", "2005-03-05T00:00:00.000000000Z 0 wall"},     // what the flags write
      {"%d %j %Y", "01 182 2030", "", "2030-07-01T00:00:00.000000000Z 0 wall"},           // the month from %j
      {"%s %Z", "1709622489 CET", "Europe/Berlin", "2024-03-05T07:08:09.000000000Z 3600"},
      // Longer than a template holds: read by the steps.
      {"date %F, time %T, offset %z, weekday %a, day of the year %j",
       "date 2024-03-05, time 07:08:09, offset +0100, weekday Tue, day of the year 065", "",
       "2024-03-05T06:08:09.000000000Z 3600"},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.format, c.text, c.zone), c.read) << c.format << " " << c.text;
}

TEST(LayoutTest, RefusesTextsWithMessages) {
  const struct {
    const char *format, *text, *zone, *detail;
  } cases[] = {
      {"%d/%b/%Y", "05/Mrz/2024", "", "expected a month name at 3 for %b, found 'Mrz'"},
      {"%d/%b/%Y", "05-Mar-2024", "", "expected '/' at 2, found '-'"},
      {"%F", "2024-03-05 ", "", "expected the end of the text at 10, found ' '"},
      {"%F %T", "2024-03-05", "", "expected white space at 10, found the end of the text"},
      {"%F", "24-03-05", "", "expected a year in four digits at 2 for %F, found '-'"},
      {"%F", "2024-02-30", "", "day 30 does not exist in February 2024"},
      {"%F %H", "2024-03-05 24", "", "hour 24 does not exist"},
      {"%F %T.%N", "2024-03-05 07:08:09.1234567891", "", "expected the end of the text at 29, found '1'"},
      {"%F %I %p", "2024-03-05 13 PM", "", "hour 13 does not exist"},
      {"%F %I %p", "2024-03-05 07 XM", "", "expected AM or PM at 14 for %p, found 'XM'"},
      {"%a %F", "Mon 2024-03-05", "", "Mon is not the weekday of 05 Mar 2024, a Tuesday"},
      {"%Y %j %m %d", "2024 066 03 05", "", "day 066 of the year is not that of 05 Mar 2024, day 065"},
      {"%Y %j", "2023 366", "", "day 366 of the year does not exist in 2023"},
      {"%m/%j/%Y", "04/065/2024", "", "day 065 of the year is 05 Mar 2024, not the month or day written"},
      {"%b %d", "Feb 30", "", "day 30 does not exist in February 2024"},  // the reference's year
      {"%F %T", "2016-12-31 22:59:60", "", "second 60 is not a leap second of UTC"},
      {"%F %z", "2024-03-05 +2400", "", "offset hours 24 exceed 23"},
      {"%F %z", "2024-03-05 0100", "", "expected an offset such as +0100, +01:00 or Z at 11 for %z, found '0'"},
      {"%F %Z", "2024-03-05 CEST", "Europe/Berlin", "zone 'CEST' has no known offset"},
      {"%F", "1677-09-20", "",
       "the instant is outside the time point range, 1677-09-21T00:12:43.145224192Z to "
       "2262-04-11T23:47:16.854775807Z"},
      {"%H:%M", "07:08", "", "the format has no date"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Read(c.format, c.text, c.zone),
              std::string("Not a date of format '") + c.format + "', " + c.detail + ": " + c.text);
  }
  std::string message;
  const Zone new_york = LoadZone("America/New_York");
  EXPECT_EQ(TryFromLayout("2024-03-10 02:30", CompileLayout("%F %R"), new_york, Disambiguation::Reject, message).error,
            ParseError::CivilSkipped);
  EXPECT_EQ(message,
            "Not a date of format '%F %R', 2024-03-10 02:30:00 does not exist in America/New_York, skipped from "
            "-05:00 to -04:00: 2024-03-10 02:30");
  EXPECT_EQ(TryFromLayout("Mar  5", CompileLayout("%b %e"), Zone::Utc(), Disambiguation::Compatible).error,
            ParseError::LayoutIncomplete);  // no year, and no reference
  EXPECT_EQ(Outcome([] { return ErrorMessage(ParseError::LayoutWeekday, "x"); }),
            "Not a date of the format, a weekday or a day of the year that is not the date's: x");
  EXPECT_EQ(Outcome([] {
              ThrowParseError(ParseError::LayoutOutsideRange, "x");
              return std::string();
            }),
            OutOfRange("Not a date of the format, the instant is outside the time point range, "
                       "1677-09-21T00:12:43.145224192Z to 2262-04-11T23:47:16.854775807Z: x"));
}

TEST(LayoutTest, WritesEachDirective) {
  const TimePoint t{std::chrono::nanoseconds(1709622489012345678)};  // 2024-03-05T07:08:09.012345678Z
  const struct {
    const char *format, *zone, *text;
  } cases[] = {
      {"%a, %d %b %Y %H:%M:%S %z", "", "Tue, 05 Mar 2024 07:08:09 +0000"},
      {"%A %B %e %j %C %y %D %R %T %F", "", "Tuesday March  5 065 20 24 03/05/24 07:08 07:08:09 2024-03-05"},
      {"%I %p|%-I|%_m|%-m|%0e|%-j|%s|%Z", "", "07 AM|7| 3|3|05|65|1709622489|UTC"},
      {"%N|%3N|%1N|%f|%n|%t|%%", "", "012345678|012|0|012345|\n|\t|%"},
      {"%H:%M %Z %z %:z %I %p", "America/St_Johns", "03:38 NST -0330 -03:30 03 AM"},
      {"%F %T %Z %z %:z", "Europe/Amsterdam", "2024-03-05 08:08:09 CET +0100 +01:00"},
      {"%h %b %e %H", "Pacific/Kiritimati", "Mar Mar  5 21"},
      {"%FT%T%:z", "Asia/Kolkata", "2024-03-05T12:38:09+05:30"},
      {"date %F, time %T, offset %z, weekday %a, day of the year %j", "Europe/Berlin",
       "date 2024-03-05, time 08:08:09, offset +0100, weekday Tue, day of the year 065"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToLayout(t, CompileLayout(c.format), ZoneOf(c.zone)), c.text) << c.format;
  // Local mean time before 1937: the offset with its seconds.
  const TimePoint lmt{std::chrono::seconds(-2208988800)};  // 1900-01-01T00:00:00Z
  EXPECT_EQ(ToLayout(lmt, CompileLayout("%T %z %:z %Z"), LoadZone("Europe/Amsterdam")),
            "00:19:32 +001932 +00:19:32 AMT");
  EXPECT_EQ(ToLayout(TimePoint(std::chrono::nanoseconds(-1)), CompileLayout("%s %N"), Zone::Utc()), "-1 999999999");

  const Layout layout = CompileLayout("%A %d %B %Y");
  char text[32];
  EXPECT_EQ(layout.MaxSize(), 27U);
  EXPECT_EQ(FormatLayout(text, 21, t, layout, Zone::Utc()), text + 21);  // "Tuesday 05 March 2024"
  EXPECT_EQ(FormatLayout(text, 20, t, layout, Zone::Utc()), nullptr);
  EXPECT_EQ(Outcome([&] { return ToLayout(t, layout, LoadZone("right/UTC")); }),
            Invalid("zone 'right/UTC' counts leap seconds: text of its local time would name another instant"));
}

// The process's zone: what strftime writes for the fields of localtime_r,
// where the two agree (strftime has no %N and writes %z in minutes).
TEST(LayoutTest, WritesLocalTimeAsStrftime) {
  const char* const format = "%a %A %b %B %C %d %e %F %H %I %j %m %M %p %R %S %T %y %Y %Z %%";
  const Layout layout = CompileLayout(format);
  for (std::int64_t seconds = -2208988800; seconds < 4102444800; seconds += 7654321) {
    const std::time_t time = seconds;
    std::tm tm{};
    ASSERT_NE(localtime_r(&time, &tm), nullptr);
    char expected[128];
    const std::size_t size = std::strftime(expected, sizeof expected, format, &tm);
    EXPECT_EQ(ToLayout(TimePoint(std::chrono::seconds(seconds)), layout, TimeZone::Local), std::string(expected, size))
        << seconds;
  }
}

}  // namespace
}  // namespace orvik::chrono
