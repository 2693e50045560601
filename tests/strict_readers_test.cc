#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>
#include <tuple>

#include "outcome.h"

namespace orvik::chrono {
namespace {

// The reading of `text` by both faces of a strict reader, which agree: the
// value as `show` writes it, or the kind of exception that ThrowParseError
// throws for the refusal and the message that the reading appended. That a
// reading is the same where more bytes follow the view is the fuzz checks'.
template <typename Try, typename Show>
std::string Reading(Try try_read, std::string_view text, Show show) {
  const auto read = try_read(text);
  std::string message = "kept: ";
  EXPECT_EQ(try_read(text, message).error, read.error) << text;
  if (read) return message.substr(sizeof("kept: ") - 1) + show(read.value);
  const std::string thrown = Outcome([&] {
    ThrowParseError(read.error, text);
    return std::string();
  });
  return thrown.substr(0, thrown.find(": ")) + message.substr(sizeof("kept") - 1);
}

std::string Instant(const Timestamp& read) {
  return ToIso8601(read.instant, TimeZone::UTC) + " " + std::to_string(read.offset.count());
}

// The instant and offset that `text` reads as, or for a refusal the outcome
// whose message is `head`, `expected` (its detail), ": " and the text.
std::string Expected(std::string_view head, std::string_view text, std::string_view expected) {
  if (expected[0] >= '0' && expected[0] <= '9') return std::string(expected);
  const std::string message = std::string(head).append(expected).append(": ").append(text);
  return expected.starts_with("the instant is outside") ? OutOfRange(message) : Invalid(message);
}

constexpr std::string_view kIso = "Not an ISO 8601 timestamp, ";

TEST(TryFromIso8601Strict, ReadsAndRefuses) {
  const std::pair<const char*, std::string_view> kRows[] = {
      {"2024-03-05T07:08:09Z", "2024-03-05T07:08:09.000000000Z 0"},
      {"2024-03-05 07:08:09.123456+00", "2024-03-05T07:08:09.123456000Z 0"},           // PostgreSQL
      {"2024-03-05 07:08:09.123456 UTC", "2024-03-05T07:08:09.123456000Z 0"},          // BigQuery
      {"20240305t123809,5+05:30", "2024-03-05T07:08:09.500000000Z 19800"},             // basic, any offset form
      {"2024-03-05T07:08:09.5-0800", "2024-03-05T15:08:09.500000000Z -28800"},         // a fraction as written
      {"1899-12-31T23:59:59.123456789z", "1899-12-31T23:59:59.123456789Z 0"},          // every digit, before 1900
      {"1677-09-21T00:12:43.145224192Z", "1677-09-21T00:12:43.145224192Z 0"},          // the first instant
      {"2262-04-12T00:17:16.854775807+00:30", "2262-04-11T23:47:16.854775807Z 1800"},  // the last
      {"2024-02-29T23:59:59+23:59", "2024-02-29T00:00:59.000000000Z 86340"},
      {"2016-12-31T15:59:60.5-08:00", "2016-12-31T23:59:59.999999999Z -28800"},  // a leap second of UTC
      {"2024-03-05T07:08:09-00", "2024-03-05T07:08:09.000000000Z 0"},
      // Refused: the detail of the message.
      {"2024-02-30T07:08:09Z", "day 30 does not exist in February 2024"},
      {"2023-02-29T07:08:09Z", "day 29 does not exist in February 2023"},
      {"2024-00-05T07:08:09Z", "month 00 does not exist"},
      {"2024-03-00T07:08:09Z", "day 00 does not exist in March 2024"},
      {"2024-03-05T24:00:00Z", "hour 24 does not exist"},
      {"2024-03-05T07:60:09Z", "minute 60 does not exist"},
      {"2024-03-05T07:08:61Z", "second 61 does not exist"},
      {"2016-12-31T23:59:60+01:00", "second 60 is not a leap second of UTC"},  // 22:59:60 in UTC
      {"2024-03-05T07:08:09+24:00", "offset hours 24 exceed 23"},
      {"2024-03-05T07:08:09-0560", "offset minutes 60 exceed 59"},
      {"2024-03-05/07:08:09Z", "expected 'T', 't' or a space after the day, found '/'"},
      // A character whole: a no-break space, a clock.
      {"2024-03-05\u00a007:08:09Z", "expected 'T', 't' or a space after the day, found '\u00a0'"},
      {"2024-03-05T07:08:09\U0001F552",
       "expected a zone after the time: Z, z, +hh:mm, +hhmm, +hh or ' UTC', found '\U0001F552'"},
      {"2024-03-05T07:08Z", "expected ':' after the minutes, found 'Z'"},  // reduced precision
      {"2024-03-05T070809Z", "expected ':' after the hour, found '0'"},    // one layout for date and time
      {"20240305T07:08:09Z", "expected the minutes in two digits, found ':'"},
      {"2024-W10-2T07:08:09Z", "expected the month in two digits, found 'W'"},  // a week date
      {"24-03-05T07:08:09Z", "expected the year in four digits, found '-'"},
      {"2024-03-05T07:08:09",
       "expected a zone after the time: Z, z, +hh:mm, +hhmm, +hh or ' UTC', found the end of the text"},
      {"2024-03-05T07:08:09 PST", "expected a zone after the time: Z, z, +hh:mm, +hhmm, +hh or ' UTC', found ' '"},
      {"2024-03-05T07:08:09Z ", "expected the end of the text after the zone, found ' '"},
      {"2024-03-05T07:08:09+5", "expected the offset's hours in two digits, found the end of the text"},
      {"2024-03-05T07:08:09+05:3", "expected the offset's minutes in two digits, found the end of the text"},
      // An offset with seconds, local mean time, as PostgreSQL writes Amsterdam's before 1937: none is read.
      {"1900-01-01 00:00:00+00:19:32",
       "an offset with seconds, +00:19:32, is not ISO 8601 or RFC 3339, whose offsets end at the minutes"},
      {"20240305T070809-053000",
       "an offset with seconds, -053000, is not ISO 8601 or RFC 3339, whose offsets end at the minutes"},
      {"2024-03-05T07:08:09+05:30:0", "expected the end of the text after the zone, found ':'"},
      {"2024-03-05T07:08:09.Z", "expected one to nine digits of a fraction after the decimal sign, found 'Z'"},
      {"2024-03-05T07:08:09.1234567891Z", "expected a zone after at most nine digits of a fraction, found '1'"},
      {"2262-04-11T23:47:16.854775808Z",
       "the instant is outside the time point range, 1677-09-21T00:12:43.145224192Z to 2262-04-11T23:47:16.854775807Z"},
  };
  for (const auto& [text, expected] : kRows) {
    const auto read = [](std::string_view view, auto&... message) { return TryFromIso8601Strict(view, message...); };
    EXPECT_EQ(Reading(read, text, Instant), Expected(kIso, text, expected)) << text;
  }
  EXPECT_EQ(TryFromIso8601Strict("2024-02-30T07:08:09Z").error, ParseError::Iso8601StrictNonexistent);
  EXPECT_EQ(TryFromIso8601Strict("2024-03-05T07:08:09+24").error, ParseError::Iso8601StrictOffset);
  EXPECT_EQ(TryFromIso8601Strict("2024-03-05T07:08").error, ParseError::Iso8601StrictLayout);
}

// 2026-12-07T00:00:00Z, a Monday: an RFC 850 year lies in (1976-12-07, 2076-12-07].
constexpr TimePoint kNow{std::chrono::seconds(1796601600)};

constexpr std::string_view kHttp = "Not an HTTP date, ";

TEST(TryFromHttpDateStrict, ReadsAndRefuses) {
  const std::pair<const char*, std::string_view> kRows[] = {
      {"Sun, 06 Nov 1994 08:49:37 GMT", "1994-11-06T08:49:37.000000000Z 0"},
      {"Sunday, 06-Nov-94 08:49:37 GMT", "1994-11-06T08:49:37.000000000Z 0"},
      {"Tuesday, 05-Mar-24 07:08:09 GMT", "2024-03-05T07:08:09.000000000Z 0"},
      {"Monday, 07-Dec-76 00:00:00 GMT", "2076-12-07T00:00:00.000000000Z 0"},     // 50 years ahead
      {"Wednesday, 08-Dec-76 00:00:00 GMT", "1976-12-08T00:00:00.000000000Z 0"},  // more: the century before
      {"Sun Nov  6 08:49:37 1994", "1994-11-06T08:49:37.000000000Z 0"},
      {"Wed Nov 16 08:49:37 1994", "1994-11-16T08:49:37.000000000Z 0"},
      {"Sun Nov 06 08:49:37 1994", "1994-11-06T08:49:37.000000000Z 0"},
      {"Sat, 31 Dec 2016 23:59:60 GMT", "2016-12-31T23:59:59.999999999Z 0"},
      {"Fri, 11 Apr 2262 23:47:16 GMT", "2262-04-11T23:47:16.000000000Z 0"},
      // Refused: the detail of the message.
      {"Mon, 06 Nov 1994 08:49:37 GMT", "Mon is not the weekday of 06 Nov 1994, a Sunday"},
      {"Tuesday, 08-Dec-76 00:00:00 GMT", "Tuesday is not the weekday of 08 Dec 1976, a Wednesday"},
      {"Sun Nov 16 08:49:37 1994", "Sun is not the weekday of 16 Nov 1994, a Wednesday"},
      {"Sun, 31 Nov 1994 08:49:37 GMT", "day 31 does not exist in November 1994"},
      {"Sun, 06 Nov 1994 24:00:00 GMT", "hour 24 does not exist"},
      {"sun, 06 Nov 1994 08:49:37 GMT", "expected a weekday, Sun to Sat or Sunday to Saturday, found 'sun'"},
      {"Sunnday, 06-Nov-94 08:49:37 GMT", "expected a weekday, Sun to Sat or Sunday to Saturday, found 'Sunnday'"},
      {"Sun, 06 nov 1994 08:49:37 GMT", "expected a month, Jan to Dec, found 'nov'"},
      {"Sun, 06-Nov-94 08:49:37 GMT", "expected ' ' after the day, found '-'"},  // RFC 850 has full names
      {"Sun, 6 Nov 1994 08:49:37 GMT", "expected the day in two digits, found ' '"},
      {"Sun, 06 Nov 1994 08:49:37 UTC", "expected ' GMT' after the seconds, found 'U'"},
      {"Sun, 06 Nov 1994 08:49:37", "expected ' GMT' after the seconds, found the end of the text"},
      {"Sun Nov  6 08:49:37 1994 GMT", "expected the end of the text, found ' '"},
      {"Sun Nov  16 08:49:37 1994", "expected ' ' after the day, found '6'"},
      {"Sun Nov 6 08:49:37 1994", "expected the day in two digits, or a space and one digit, found ' '"},
      {"Sun Nov :6 08:49:37 1994", "expected the day in two digits, or a space and one digit, found ':'"},  // '9' + 1
      {"Sun 06 Nov 1994 08:49:37 GMT", "expected a month, Jan to Dec, found '0'"},
      {"Fri, 11 Apr 2262 23:47:17 GMT",
       "the instant is outside the time point range, 1677-09-21T00:12:43.145224192Z to 2262-04-11T23:47:16.854775807Z"},
  };
  // The message too reads the text against kNow.
  const auto read = [](std::string_view text, auto&... message) {
    return TryFromHttpDateStrict(text, kNow, message...);
  };
  for (const auto& [text, expected] : kRows) {
    EXPECT_EQ(Reading(read, text, Instant), Expected(kHttp, text, expected)) << text;
  }
  // At 2050-03-01T11:59:59Z, "00" is 2100, whose February has no 29th day:
  // 2000-02-29 lies more than 50 years back, though 2100-02-29 would carry
  // into March, past 2100-03-01T11:59:59.
  // The message too: against the system clock, the text is 2000-02-29.
  std::string message;
  const TimePoint in_2050(std::chrono::seconds(2529748799));
  EXPECT_EQ(TryFromHttpDateStrict("Tuesday, 29-Feb-00 12:00:00 GMT", in_2050, message).error,
            ParseError::HttpStrictNonexistent);
  EXPECT_EQ(message, "Not an HTTP date, day 29 does not exist in February 2100: Tuesday, 29-Feb-00 12:00:00 GMT");
}

// A view that ends inside its layout is refused where it ends, whatever
// fitting bytes follow it in memory.
TEST(StrictReaders, ReadNoByteAfterTheView) {
  const TimePoint in_1995(std::chrono::seconds(800'000'000));
  const std::tuple<std::string_view, std::size_t, const char*> kRows[] = {
      {"Sun, 06 Nov 1994 08:49:37 GMT", 24,
       "Not an HTTP date, expected the seconds in two digits, found the end of the text: Sun, 06 Nov 1994 08:49:3"},
      {"Sun Nov  6 08:49:37 1994", 23,
       "Not an HTTP date, expected the year in four digits, found the end of the text: Sun Nov  6 08:49:37 199"},
      {"2024-03-05T07:08:09Z", 18,
       "Not an ISO 8601 timestamp, expected the seconds in two digits, found the end of the text: 2024-03-05T07:08:0"},
      {"Tue, 05 Mar 2024 07:08:09 +0000", 30,
       "Not a mail date, expected the offset's hours and minutes in four digits, found the end of the text: Tue, 05 "
       "Mar "
       "2024 07:08:09 +000"},
  };
  for (const auto& [whole, size, expected] : kRows) {
    const std::string_view view = whole.substr(0, size);
    std::string message;
    if (whole.starts_with("Sun")) {
      EXPECT_FALSE(TryFromHttpDateStrict(view, in_1995, message)) << view;
    } else if (whole.starts_with("2024")) {
      EXPECT_FALSE(TryFromIso8601Strict(view, message)) << view;
    } else {
      EXPECT_FALSE(TryFromMailDate(view, message)) << view;
    }
    EXPECT_EQ(message, expected);
  }
}

// A strict error's message comes from the reading that refused: with the
// `now` of that reading, or, where a second reading does not refuse the text
// so, from the error alone, never empty.
TEST(ErrorMessage, OfAStrictErrorIsThatOfTheReadingThatRefused) {
  const TimePoint in_1970(std::chrono::seconds(0));
  constexpr std::string_view kRfc850 = "Tuesday, 05-Mar-24 07:08:09 GMT";  // 1924 in 1970, a Wednesday
  EXPECT_EQ(ErrorMessage(ParseError::HttpStrictWeekday, kRfc850, in_1970),
            "Not an HTTP date, Tuesday is not the weekday of 05 Mar 1924, a Wednesday: " + std::string(kRfc850));
  const std::tuple<ParseError, const char*, const char*> kRows[] = {
      {ParseError::HttpStrictWeekday, "Tuesday, 05-Mar-24 07:08:09 GMT",  // accepted against the system clock
       "Not an HTTP date, a weekday that is not the date's: Tuesday, 05-Mar-24 07:08:09 GMT"},
      {ParseError::Iso8601StrictOffset, "2024-02-30T07:08:09Z",  // refused for another reason
       "Not an ISO 8601 timestamp, an offset of 24 hours or more, or of 60 minutes or more: 2024-02-30T07:08:09Z"},
      {ParseError::Iso8601StrictNonexistent, "2024-02-30T07:08:09Z",
       "Not an ISO 8601 timestamp, day 30 does not exist in February 2024: 2024-02-30T07:08:09Z"},
      {ParseError::MailDateZone, "5 Mar 2024 07:08 +0000",
       "Not a mail date, a zone without a known offset, or an offset of 24 hours or more: 5 Mar 2024 07:08 +0000"},
      {ParseError::MailDateLayout, "",
       "Not a mail date, expected a weekday, Sun to Sat, or the day, found the end of "
       "the text: "},
      {ParseError::DurationStrictLayout, "PT1S", "Not an ISO 8601 duration, the text departs from its layout: PT1S"},
      {ParseError::HttpStrictNonexistent, "x", "Not an HTTP date, a date or a time of day that does not exist: x"},
      {ParseError::None, "x", ""},
  };
  for (const auto& [error, text, message] : kRows) EXPECT_EQ(ErrorMessage(error, text), message) << text;
  EXPECT_EQ(Outcome([] {
              ThrowParseError(ParseError::HttpStrictLayout, "Sun, 06 Nov 1994 08:49:37 GMT");
              return std::string();
            }),
            Invalid("Not an HTTP date, the text departs from its layout: Sun, 06 Nov 1994 08:49:37 GMT"));
}

constexpr std::string_view kDuration = "Not an ISO 8601 duration, ";

TEST(DurationTryFromIso8601Strict, ReadsHoursMinutesAndSecondsInOrder) {
  // The strict reader's words for the refusals it shares with the lenient one, whose words ErrorMessage keeps.
  const std::string kDateUnits = "Not an ISO 8601 duration, years, months, weeks and days are not read: ";
  const std::string kOutside =
      "Not an ISO 8601 duration, the total is outside the range of nanoseconds, up to PT2562047H47M16.854775807S: ";
  EXPECT_EQ(ErrorMessage(ParseError::DurationNotSupported, "P2DT3H"),
            "Durations with year/month/day components are not supported");
  EXPECT_EQ(ErrorMessage(ParseError::DurationOutOfRange, "PT9223372037S"), "ISO8601 duration out of range");
  const std::pair<const char*, std::string> kRows[] = {
      {"PT1H30M15S", "5415000000000"},
      {"PT90M", "5400000000000"},
      {"PT0S", "0"},
      {"PT9223372037S", OutOfRange(kOutside, "PT9223372037S")},
      {"PT8H6M12.345S", "29172345000000"},  // a fraction of seconds, as Java writes it
      {"PT2562047H47M16.854775807S", "9223372036854775807"},
      {"PT2562047H47M16.854775808S", OutOfRange(kOutside, "PT2562047H47M16.854775808S")},  // one past the last
      {"P1D", Invalid(kDateUnits, "P1D")},
      {"P2DT3H", Invalid(kDateUnits, "P2DT3H")},
      // Refused for the layout: the detail of the message, from "expected" on.
      {"PT1H1H", "expected H, M or S after the number, in that order and each at most once, found 'H'"},
      {"PTS", "expected a number after 'T', found 'S'"},
      {"P5H", "expected 'T' after 'P', found '5'"},
      {"XT5S", "expected 'P' at the start, found 'X'"},
      {"PT1H ", "expected another number and unit, or the end of the text, found ' '"},
      {"PT1.5H", "expected S after the fraction, which is read only on the seconds, found 'H'"},
      {"PT1.S", "expected one to nine digits of a fraction after the decimal sign, found 'S'"},
      {"PT0.1234567891S", "expected S after at most nine digits of a fraction, found '1'"},
      {"PT1H.5S", "expected a digit before the decimal sign, found '.'"},
  };
  const auto show = [](std::chrono::nanoseconds read) { return std::to_string(read.count()); };
  const auto read = [](std::string_view view, auto&... message) {
    return duration::TryFromIso8601Strict(view, message...);
  };
  for (const auto& [text, expected] : kRows) {
    EXPECT_EQ(Reading(read, text, show), expected[0] == 'e' ? Expected(kDuration, text, expected) : expected);
  }
}

}  // namespace
}  // namespace orvik::chrono
