#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "outcome.h"

namespace orvik::chrono {
namespace {

using namespace std::string_literals;

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

}  // namespace
}  // namespace orvik::chrono
