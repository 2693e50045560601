// TryFromMailDate: texts and their instant and offset, or their refusal and
// its message.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace orvik::chrono {
namespace {

using namespace std::string_literals;

struct Row {
  std::string Text;
  ParseError Error;
  std::string Expected;  // the instant in UTC and the offset in seconds, or the message's detail
};

// The instant and offset read from the text in an allocation of its own, so
// that a read past its end is caught, or the refusal's message. That the
// reading is the same where more bytes follow the view is the fuzz check's.
std::string Read(const std::string& text, ParseError& error) {
  const auto alone = std::make_unique<char[]>(text.size());
  std::copy(text.begin(), text.end(), alone.get());
  const ParseResult<Timestamp> read = TryFromMailDate({alone.get(), text.size()});
  error = read.error;
  if (!read) return ErrorMessage(read.error, text);
  return ToIso8601(read.value.instant, Iso8601Format::ExtendedNanoseconds, TimeZone::UTC) + " " +
         std::to_string(read.value.offset.count());
}

TEST(TryFromMailDate, ReadsAndRefuses) {
  constexpr ParseError kLayout = ParseError::MailDateLayout;
  constexpr ParseError kZone = ParseError::MailDateZone;
  const Row kRows[] = {
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
  for (const Row& row : kRows) {
    ParseError error{};
    const std::string read = Read(row.Text, error);
    EXPECT_EQ(error, row.Error) << row.Text;
    const std::string expected =
        row.Error == ParseError::None ? row.Expected : "Not a mail date, " + row.Expected + ": " + row.Text;
    EXPECT_EQ(read, expected);
  }
}

}  // namespace
}  // namespace orvik::chrono
