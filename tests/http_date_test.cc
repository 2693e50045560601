// FromHttpDate's lenient readings and exact refusals, under several TZ values:
// HTTP dates are UTC whatever the process's zone. ToHttpDate and the read
// back of what it writes are the formatters' fuzz check's.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "civil/time_units.h"
#include "outcome.h"

namespace orvik::chrono {
namespace {

using namespace std::string_literals;

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

}  // namespace
}  // namespace orvik::chrono
