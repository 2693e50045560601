#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "outcome.h"

namespace orvik::chrono {
namespace {

using namespace std::string_literals;

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

}  // namespace
}  // namespace orvik::chrono
