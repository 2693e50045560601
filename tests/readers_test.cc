// The readers of timestamps, dates and durations: the strict ones, with the
// refusals' exact messages, the lenient ones, FromIso8601's SplitIso8601,
// FromHttpDate and duration::FromIso8601, with their exact exceptions, and
// the scanning engine that they run on. Run under several TZ values: every
// reading is of UTC instants whatever the process's zone. ToHttpDate and the
// read back of what it writes are the formatters' fuzz check's.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "civil/time_units.h"
#include "outcome.h"
#include "text/scan.h"

namespace orvik::chrono {
namespace {

using namespace std::string_literals;

// The reading of `text` by both faces of a strict reader, which agree: the
// value as `show` writes it, or the kind of exception that ThrowParseError
// throws for the refusal and the message that the reading appended. The text
// lies in an allocation of its own, so that a read past its end is caught;
// that a reading is the same where more bytes follow the view is the fuzz
// checks'.
template <typename Try, typename Show>
std::string Reading(Try try_read, std::string_view whole, Show show) {
  const auto alone = std::make_unique<char[]>(whole.size());
  std::copy(whole.begin(), whole.end(), alone.get());
  const std::string_view text(alone.get(), whole.size());
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
      // Accepted, beside the layouts, separators, fraction lengths, offset forms and letter case that
      // tests/tool/oracles_test.py reads from random instants: offsets' values, the range's ends, leap seconds.
      {"20240305t123809,5+05:30", "2024-03-05T07:08:09.500000000Z 19800"},             // basic, any offset form
      {"2024-03-05T07:08:09.5-0800", "2024-03-05T15:08:09.500000000Z -28800"},         // a fraction as written
      {"1677-09-21T00:12:43.145224192Z", "1677-09-21T00:12:43.145224192Z 0"},          // the first instant
      {"2262-04-12T00:17:16.854775807+00:30", "2262-04-11T23:47:16.854775807Z 1800"},  // the last
      {"2024-02-29T23:59:59+23:59", "2024-02-29T00:00:59.000000000Z 86340"},
      {"2016-12-31T15:59:60.5-08:00", "2016-12-31T23:59:59.999999999Z -28800"},  // a leap second of UTC
      {"2024-03-05T07:08:09-00", "2024-03-05T07:08:09.000000000Z 0"},
      // The layouts read at once, at the ends of the years they take and just outside.
      {"1678-01-01T00:00:00.000+23:59", "1677-12-31T00:01:00.000000000Z 86340"},
      {"2261-12-31T23:59:59.999999999-23:59", "2262-01-01T23:58:59.999999999Z -86340"},
      {"1677-12-31T23:59:59Z", "1677-12-31T23:59:59.000000000Z 0"},
      {"2000-02-29 23:59:59.123456z", "2000-02-29T23:59:59.123456000Z 0"},
      {"1999-12-31t23:59:59.123-00:00", "1999-12-31T23:59:59.123000000Z 0"},
      // Refused: the detail of the message.
      {"2024-02-30T07:08:09Z", "day 30 does not exist in February 2024"},
      {"2023-02-29T07:08:09Z", "day 29 does not exist in February 2023"},
      {"2100-02-29T00:00:00.000Z", "day 29 does not exist in February 2100"},
      {"2024-13-05T07:08:09.123456789+05:30", "month 13 does not exist"},
      {"2024-03-05T07:08:09.123+05:60", "offset minutes 60 exceed 59"},
      {"2024-03-05T07:0x:09.123456Z", "expected the minutes in two digits, found 'x'"},
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
      // Accepted, beside the three layouts that tests/tool/oracles_test.py reads from random instants: the
      // ends of the 50 years of RFC 850, asctime's day in two digits, a leap second, the range's end.
      {"Monday, 07-Dec-76 00:00:00 GMT", "2076-12-07T00:00:00.000000000Z 0"},     // 50 years ahead
      {"Wednesday, 08-Dec-76 00:00:00 GMT", "1976-12-08T00:00:00.000000000Z 0"},  // more: the century before
      {"Sun Nov 06 08:49:37 1994", "1994-11-06T08:49:37.000000000Z 0"},
      {"Sat, 31 Dec 2016 23:59:60 GMT", "2016-12-31T23:59:59.999999999Z 0"},
      {"Fri, 11 Apr 2262 23:47:16 GMT", "2262-04-11T23:47:16.000000000Z 0"},
      // Refused: the detail of the message.
      {"Mon, 06 Nov 1994 08:49:37 GMT", "Mon is not the weekday of 06 Nov 1994, a Sunday"},
      {"Tuesday, 08-Dec-76 00:00:00 GMT", "Tuesday is not the weekday of 08 Dec 1976, a Wednesday"},
      {"Sun Nov 16 08:49:37 1994", "Sun is not the weekday of 16 Nov 1994, a Wednesday"},
      {"Sun, 31 Nov 1994 08:49:37 GMT", "day 31 does not exist in November 1994"},
      {"Thu, 29 Feb 2024 23:59:59 GMT", "2024-02-29T23:59:59.000000000Z 0"},
      {"Wed, 29 Feb 2023 23:59:59 GMT", "day 29 does not exist in February 2023"},
      {"Fri, 01 Jan 1677 00:00:00 GMT",
       "the instant is outside the time point range, 1677-09-21T00:12:43.145224192Z to 2262-04-11T23:47:16.854775807Z"},
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

constexpr std::string_view kMail = "Not a mail date, ";

TEST(TryFromMailDate, ReadsAndRefuses) {
  constexpr ParseError kLayout = ParseError::MailDateLayout;
  constexpr ParseError kZone = ParseError::MailDateZone;
  const std::tuple<std::string, ParseError, std::string> kRows[] = {
      // Accepted, beside what the oracle test checks against Python (zone names,
      // years of two and three digits, folds, letter case): blanks inside the
      // time, quoted pairs, years as written, leap seconds, the range's end.
      {" Tue , 05 Mar 2024 07 : 08 : 09 GMT\r\n ", {}, "2024-03-05T07:08:09.000000000Z 0"},  // blanks around anything
      {"(a\r\n (b) \\)c)Tue,\r\n 5(x)Mar(y)2024(z)07:08(w)+0530", {}, "2024-03-05T01:38:00.000000000Z 19800"},
      {"5 Mar 02024 07:08 -0000", {}, "2024-03-05T07:08:00.000000000Z 0"},        // four or more digits as written
      {"31 Dec 2016 18:59:60 EST", {}, "2016-12-31T23:59:59.999999999Z -18000"},  // leap second
      {"Fri, 11 Apr 2262 23:47:16 +0000", {}, "2262-04-11T23:47:16.000000000Z 0"},
      // Refused: where the text departs from the layout, what it names, its zone.
      {"", kLayout, "expected a weekday, Sun to Sat, or the day, found the end of the text"},
      {"Tues, 5 Mar 2024 07:08 +0000", kLayout, "expected a weekday, Sun to Sat, or the day, found 'Tues'"},
      {"Tue 5 Mar 2024 07:08 +0000", kLayout, "expected ',' after the weekday, found '5'"},
      {"5Mar 2024 07:08 +0000", kLayout, "expected white space or a comment, and the month after the day, found 'M'"},
      {"123 Mar 2024 07:08 +0000", kLayout,
       "expected white space or a comment, and the month after the day, found '3'"},
      {"5 Mars 2024 07:08 +0000", kLayout, "expected a month, Jan to Dec, found 'Mars'"},
      {"5 Mar 9 07:08 +0000", kLayout, "expected the year in two or more digits, found ' '"},
      {"5 Mar 2024 7:08 +0000", kLayout, "expected the hour in two digits, found ':'"},
      {"5 Mar 2024 07:08+0000", kLayout,
       "expected ':' and the seconds, or white space or a comment and the zone, after the minutes, found '+'"},
      {"5 Mar 2024 07:08:09+0000", kLayout,
       "expected white space or a comment, and the zone after the seconds, found '+'"},
      {"5 Mar 2024 07:08 +000", kLayout,
       "expected the offset's hours and minutes in four digits, found the end of the text"},
      {"5 Mar 2024 07:08 +0000\r\n", kLayout, "expected a comment or the end of the text after the zone, found '\r'"},
      {"5 Mar 2024 07:08 +0000 (PST", kLayout,
       "expected the comment's text or ')' closing it, found the end of the text"},
      {"5 Mar 2024 07:08 +0000 (a\\", kLayout,  // a backslash quotes nothing at the end
       "expected the comment's text or ')' closing it, found the end of the text"},
      {"5 Mar 2024 07:08 (\0) +0000"s, kLayout, "expected the comment's text or ')' closing it, found '\0'"s},
      {"5 Mar 2024 07:08 (\x80) +0000", kLayout, "expected the comment's text or ')' closing it, found '\x80'"},
      {"5 Mar 2024 07:08 Z", kZone, "zone 'Z' has no known offset"},  // military zones mean nothing
      {"5 Mar 2024 07:08 CET", kZone, "zone 'CET' has no known offset"},
      {"5 Mar 2024 07:08 +2400", kZone, "offset hours 24 exceed 23"},
      {"5 Mar 2024 07:08 -0060", kZone, "offset minutes 60 exceed 59"},
      {"Thu, 29 Feb 2023 07:08 +0000", ParseError::MailDateNonexistent, "day 29 does not exist in February 2023"},
      {"30 Jun 2015 23:59:60 +0100", ParseError::MailDateNonexistent, "second 60 is not a leap second of UTC"},
      {"Mon, 5 Mar 2024 07:08 +0000", ParseError::MailDateWeekday, "Mon is not the weekday of 05 Mar 2024, a Tuesday"},
      {"Mon, 21 Sep 1677 00:12:43 +0000", ParseError::MailDateWeekday,  // the weekday before the range
       "Mon is not the weekday of 21 Sep 1677, a Tuesday"},
      {"Sat, 1 Jan 123456789 00:00 +0000", ParseError::MailDateOutsideRange,  // a capped year, its weekday unknown
       "the instant is outside the time point range, 1677-09-21T00:12:43.145224192Z to 2262-04-11T23:47:16.854775807Z"},
  };
  const auto read = [](std::string_view view, auto&... message) { return TryFromMailDate(view, message...); };
  for (const auto& [text, error, expected] : kRows) {
    EXPECT_EQ(TryFromMailDate(text).error, error) << text;
    EXPECT_EQ(Reading(read, text, Instant), Expected(kMail, text, expected)) << text;
  }
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
       "Not a mail date, expected the offset's hours and minutes in four digits, found the end of the text: "
       "Tue, 05 Mar 2024 07:08:09 +000"},
  };
  for (const auto& [whole, size, expected] : kRows) {
    const std::string_view view = whole.substr(0, size);
    std::string message;
    const bool read = whole.starts_with("Sun")    ? static_cast<bool>(TryFromHttpDateStrict(view, in_1995, message))
                      : whole.starts_with("2024") ? static_cast<bool>(TryFromIso8601Strict(view, message))
                                                  : static_cast<bool>(TryFromMailDate(view, message));
    EXPECT_FALSE(read) << view;
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
  // The strict reader's words for the refusals it shares with the lenient one, whose words ErrorMessage keeps
  // (the lenient reader's table checks those).
  const std::string kDateUnits = "Not an ISO 8601 duration, years, months, weeks and days are not read: ";
  const std::string kOutside =
      "Not an ISO 8601 duration, the total is outside the range of nanoseconds, up to PT2562047H47M16.854775807S: ";
  const std::pair<const char*, std::string> kRows[] = {
      {"PT90M", "5400000000000"},
      {"PT0S", "0"},
      {"PT9223372037S", OutOfRange(kOutside, "PT9223372037S")},
      {"PT8H6M12.345S", "29172345000000"},  // a fraction of seconds, as Java writes it
      {"PT2562047H47M16.854775807S", "9223372036854775807"},
      {"PT2562047H47M16.854775808S", OutOfRange(kOutside, "PT2562047H47M16.854775808S")},  // one past the last
      {"P1D", Invalid(kDateUnits, "P1D")},
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

// The instant's nanoseconds and the offset's minutes, or the exact error. That
// FromIso8601 and the Try readers end alike is the fuzz check's.
std::string Split(const std::string& text) {
  return Outcome([&] {
    const auto [instant, offset] = SplitIso8601(text);
    return std::to_string(instant.time_since_epoch().count()) + " " + std::to_string(offset.count());
  });
}

TEST(SplitIso8601, Accepts) {
  const std::pair<std::string, const char*> kRows[] = {
      {"2020-01-01T00:00:00.123Z", "1577836800123000000 0"},            // three digits at length 24
      {"2019-12-31T19:00:00.250-05:00", "1577836800250000000 -300"},    // three digits at length 29
      {"20200101T000000.123456Z", "1577836800123456000 0"},             // basic, six digits at length 23
      {"20200101T000000.123Z", "1577836800123000000 0"},                // basic, three digits at length 20
      {"2020-01-01T00:00:00.123456Z", "1577836800123456000 0"},         // six digits at length 27
      {"2020-01-01T00:00:00.123456+05:30", "1577817000123456000 330"},  // six digits at length 32
      {"2020-01-01T00:00:00.1234567+09", "1577804400001234567 540"},    // a sign ends the fraction before its 9th place
      {"20240305T123809.012345678+05:30", "1709622489012345678 330"},   // basic with a colon offset
      {"2020-01-01T05:30:00+-1", "1577860200000000000 -60"},            // offset hours alone, signed
      {"2020-01-01T00:00:00.5Z", "1577836800000000005 0"},              // the length, not the digits, scales
      {"2020-01-01T00:00:00.123Z \0"s, "1577836800000000123 0"},        // every byte counts in the length
      {"1900-13-00T24:00:00Z", "-2177452800000000000 0"},               // fields carry
      {"20200101T000000+05:30", "1577818800000000000 300"},             // no fraction: the layout's offset form
      {"2020-01-01T00:00:00.123456789+0530", "1577817000123456789 330"},           // a fraction: the text's form
      {"2262-04-11T23:47:16.854775807Z", "9223372036854775807 0"},                 // the last instant
      {"9843-11-07T04:27:43.145224192+00:-1", "-9223372036854775808 4294967295"},  // minutes -1 wrap
  };
  for (const auto& [text, expected] : kRows) EXPECT_EQ(Split(text), expected) << text;
}

// The detail after the message's head names the first value that could not be
// read, whatever stopped the scan.
TEST(SplitIso8601, Refuses) {
  const std::pair<std::string, std::string_view> kRows[] = {
      {"     ", "invalid ISO8601 format: "},
      {"abcd-01-01T00:00:00Z", "error converting the year: "},
      {"2:20-01-01T00:00:00Z", "error converting the month: "},  // the year is "2", not 3020
      {"2020-", "error converting the month: "},                 // five characters are extended
      {"2020-01", "error converting the day: "},
      {"2020-01-01t00:00:00Z", "error converting the hour: "},
      {"2020-01-01T00:xx:00Z", "error converting the minutes: "},
      {"20200101T0000Z", "error converting the seconds: "},
      {"2020-1-1T1:1:1Z", "failed to parse the offset: "},      // shorter than the designator's place
      {"1899-12-31T23:59:59", "failed to parse the offset: "},  // tested before the year
      {"2020-01-01T00:00:00.123", "failed to parse the offset: "},
      {"2020-01-01T00:00:00+", ""},             // a sign alone
      {"2020-01-01T00:00:00.1234567890Z", ""},  // the tenth digit is the designator
      {"2020-01-01T00:00:00Z05", "failed to parse the offset: "},
      {"2020-01-01T00:00:00Z05:00", ""},
  };
  for (const auto& [text, detail] : kRows) {
    EXPECT_EQ(Split(text), Invalid("Failed to parse ISO 8601 string: ", std::string(detail) + text));
  }
  EXPECT_EQ(Split("1899-12-31T23:59:59Z"),
            Invalid("Failed to parse ISO 8601 string, the year is before 1900: ", "1899-12-31T23:59:59Z"));
  EXPECT_EQ(Split("1900-01-01T00:00:00+00:-1"),
            OutOfRange("Failed to parse ISO 8601 string, the instant is outside the time point range: ",
                       "1900-01-01T00:00:00+00:-1"));
  EXPECT_EQ(ErrorMessage(ParseError::None, "x"), "");  // no refusal: no message, and an empty one thrown
  EXPECT_EQ(Outcome([]() -> std::string { ThrowParseError(ParseError::None, "x"); }), Invalid(""));
  for (const std::string& text : {""s, "\0\0\0\0"s}) {
    EXPECT_EQ(Split(text), OutOfRange("basic_string::at: __n (which is 4) >= this->size() (which is " +
                                      std::to_string(text.size()) + ")"));
  }
}

// The whole second read, or the exact error. That TryFromHttpDate ends alike
// is the fuzz check's.
std::string Read(const std::string& text) {
  return Outcome([&] { return std::to_string(internal::TruncatedSeconds(FromHttpDate(text))); });
}

std::string NameError(std::string_view head, std::string_view name, std::string_view text) {
  return Invalid(std::string(head).append(name).append("' of the HTTP timestamp: "), text);
}

TEST(FromHttpDate, ReadsAndRefuses) {
  const std::string_view unreadable = "Failed to interpret date string as HTTP timestamp: ";
  const std::string_view month = "Failed to parse the month '";
  const std::string_view weekday = "Failed to parse the weekday '";
  const std::string_view outside =
      "Failed to interpret date string as HTTP timestamp, the instant is outside the time point range: ";
  const std::pair<std::string, std::string> kRows[] = {
      {"Sun, 06 Nov 1994 08:49:37 GMT", "784111777"},
      {"Sunday, 06-Nov-94 08:49:37 GMT", "784111777"},
      {"Sun Nov  6 08:49:37 1994", "784111777"},               // asctime, one-digit day, no zone
      {"Sun\tNov\n16\v08:49:37\f1994", "784975777"},           // two-digit day; any white space is a blank
      {"Sun Nov  16 08:49:37 1994", "784975777"},              // two blanks before a two-digit day
      {"Sun Nov 123:45:06 1994", "783733506"},                 // both asctime layouts match: the one-digit day first
      {"Wednesday, 09-Nov-94 08:49:37 GMT", "784370977"},      // nine letters
      {"Thursday, 10-Nov-94 08:49:37 GMT", "784457377"},       // eight
      {"Sun,06 Nov 1994 8:9:7 +0500", "784109347"},            // blanks match none; the zone is ignored
      {"Mon, 06 Nov 1994 08:49:37.5 GMT\0Mon"s, "784111777"},  // the weekday is only checked; the rest ignored
      {"Sun, 06-Nov--6 08:49:37 GMT", "-2371561823"},          // an abbreviation in RFC 850; year 1894
      {"Sun Nov -1 24:00:+5 1994", "783561605"},               // asctime, two-digit day; signs; fields carry
      {"Fri, 11 Apr 2262 23:47:16 GMT", "9223372036"},         // the last second
      {"Tue, 21 Sep 1677 00:12:44 GMT", "-9223372036"},        // the first second
      {"", Invalid(unreadable)},
      {"Sunday, 06-Nov-2024 08:49:37 GMT", Invalid(unreadable, "Sunday, 06-Nov-2024 08:49:37 GMT")},
      {" Sun, 06 Nov 1994 08:49:37 GMT", Invalid(unreadable, " Sun, 06 Nov 1994 08:49:37 GMT")},
      {"Sun, 06 No 1994 08:49:37 GMT", NameError(month, "No", "Sun, 06 No 1994 08:49:37 GMT")},
      {"Sundays, 06-Nov-94 08:49:37 GMT", NameError(weekday, "Sundays", "Sundays, 06-Nov-94 08:49:37 GMT")},
      {"Wednesda, 09-Nov-94 08:49:37 GMT",  // a full name one letter short
       NameError(weekday, "Wednesda", "Wednesda, 09-Nov-94 08:49:37 GMT")},
      {"Sunoay, 06-Nov-94 08:49:37 GMT", NameError(weekday, "Sunoay", "Sunoay, 06-Nov-94 08:49:37 GMT")},
      {"Tan, 06 Jab 1994 08:49:37 GMT", NameError(month, "Jab", "Tan, 06 Jab 1994 08:49:37 GMT")},
      {"Fri, 11 Apr 2262 23:47:17 GMT", OutOfRange(outside, "Fri, 11 Apr 2262 23:47:17 GMT")},
      {"Sun Nov  6 08:49:37 -999", OutOfRange(outside, "Sun Nov  6 08:49:37 -999")},
  };
  for (const auto& [text, expected] : kRows) EXPECT_EQ(Read(text), expected) << text;
}

TEST(DurationFromIso8601, ReadsAndRefuses) {
  const std::string invalid = Invalid("Invalid ISO8601 duration format");
  const std::string not_supported = Invalid("Durations with year/month/day components are not supported");
  const std::string stoi = OutOfRange("stoi");
  const std::string overflow = OutOfRange("ISO8601 duration out of range");
  const std::pair<std::string, std::string> kRows[] = {
      {"PT1H30M15S", "5415000000000"},
      {"P5H", "18000000000000"},       // 'H' without 'T'
      {"PT5S3H1H", "14405000000000"},  // any order, repeats add
      {"PPTHMS", "0"},                 // empty runs count as 0, after any designator
      {"PT5P1H", "3600000000000"},     // a 'P' further on drops the run before it
      {"\0"
       "5T1S"s,
       "1000000000"},                              // the first character is not looked at; digits before 'T' dropped
      {"P1HT2M", "3720000000000"},                 // 'M' after a 'T' anywhere earlier
      {"PT0000000000005S", "5000000000"},          // leading zeros
      {"PT2562047H2836S", "9223372036000000000"},  // the largest total in seconds
      {"PT", invalid},                             // too short
      {"PT99999999999", invalid},                  // ends in digits, before any conversion
      {"PT5S\0"s, invalid},                        // a NUL designator
      {"PT1\x80", invalid},                        // a byte above 127
      {"P1Y", not_supported},                      // years
      {"P1MT5S", not_supported},                   // 'M' before 'T' is a month
      {"PT2147483648S", stoi},                     // a run beyond int
      {"P99999999999Y", stoi},                     // converted before the designator is looked at
      {"PT99999999999999999999999999S", stoi},     // beyond 64 bits
      {"PT2562048H", overflow},                    // hours beyond the nanosecond range
      {"PT2562047H2837S", overflow},               // a sum beyond it
      {"PT2562048H1Y", not_supported},             // a refusal further on wins over an overflow
      {"PT2562048H99999999999S", stoi},            // ... and so does a long run
  };
  // That duration::TryFromIso8601 ends alike is the fuzz check's.
  for (const auto& [text, expected] : kRows) {
    EXPECT_EQ(Outcome([entry = text] { return std::to_string(duration::FromIso8601(entry).count()); }), expected)
        << text;
  }
}

// Where the scanning engine's last value ends, which sscanf does not tell;
// the count and the values stored are the scan fuzz check's, against sscanf.
TEST(Scan, TellsWhereTheLastValueEnds) {
  const std::pair<const char*, const char*> kRows[] = {
      {"12:34 ab!?", "9 4"},  // every value read
      {"12:34 ab", "8 3"},    // the text ends at %c: the set ended last
      {"1:2  x", "3 2"},      // the set fails after white space, which the blank took
      {"12:3x", "4 2"},       // the second number is one digit long
      {" 1:x", "2 1"},        // skipped white space lies before the value's end
      {"x", "0 0"},           // nothing read
      {"12:34  x!!", "5 2"},  // read at full span up to the blank, whose run is longer
      {"12:x4 ab!", "2 1"},   // ... up to a literal
      {"12: 4 ab!?", "9 4"},  // ... up to a number, read on one by one to the end
  };
  for (const auto& [text, expected] : kRows) {
    unsigned first = 0;
    unsigned second = 0;
    char letters[3] = {};
    char character = 0;
    const auto [count, values_end] =
        internal::Scan<"%2u:%2u %2[ab]%c">(std::string(text), first, second, letters, character);
    EXPECT_EQ(std::to_string(values_end) + " " + std::to_string(count), expected) << text;
  }
}

}  // namespace
}  // namespace orvik::chrono
