// The scanning engine's rules, each where libc's sscanf draws the line.
#include "text/scan.h"

#include <gtest/gtest.h>

#include <string>

namespace orvik::chrono::internal {
namespace {

// The count, then every destination (7 and '?' where nothing was stored).
std::string Read(const char* text) {
  unsigned first = 7;
  unsigned second = 7;
  char letters[3] = "??";
  char character = '?';
  const int count = Scan<"%2u:%2u %2[ab]%c">(text, first, second, letters, character);
  return std::to_string(count) + " " + std::to_string(first) + " " + std::to_string(second) + " " + letters + " " +
         character;
}

TEST(Scan, FollowsTheRulesOfSscanf) {
  const std::pair<const char*, const char*> kRows[] = {
      {"12:34 ab!", "4 12 34 ab !"},
      {" \t\n\v\f\r5:\r6abx", "4 5 6 ab x"},   // white space before a number is skipped; a blank matches none
      {"+5:-6 \n a b", "4 5 4294967290 a  "},  // signs, '-' negated as unsigned; %c skips no white space
      {"1:2 abab", "4 1 2 ab a"},              // the width ends the set
      {"1:2  ca", "2 1 2 ?? ?"},               // no character of the set
      {"1:2 ba", "3 1 2 ba ?"},                // the text ends at %c after a conversion
      {"1:2\0ab", "2 1 2 ?? ?"},               // a NUL ends the text
      {"123:4", "1 12 7 ?? ?"},                // the width ends a number; '3' is no ':'
      {"+12:4", "1 1 7 ?? ?"},                 // the sign takes a place of the width
      {"1 :2", "1 1 7 ?? ?"},                  // a literal skips no white space
      {"-:1", "0 7 7 ?? ?"},                   // a sign without a digit is a matching failure
      {" \t", "-1 7 7 ?? ?"},                  // the text ends before the first conversion
      {"1:", "1 1 7 ?? ?"},                    // ... or after one
  };
  for (const auto& [text, expected] : kRows) EXPECT_EQ(Read(text), expected) << text;
}

}  // namespace
}  // namespace orvik::chrono::internal
