// The scanning engine's rules, each where libc's sscanf draws the line.
#include "text/scan.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

namespace orvik::chrono::internal {
namespace {

constexpr ScanFormat kFormat = "%2u:%2u %2[ab]%c";

// The destinations of kFormat, 7 and '?' where nothing was stored.
struct Destinations {
  unsigned First = 7;
  unsigned Second = 7;
  char Letters[3] = "??";
  char Character = '?';

  [[nodiscard]] std::string Text() const {
    return std::to_string(First) + " " + std::to_string(Second) + " " + Letters + " " + Character;
  }
};

// The count, then every destination.
std::string Read(std::string_view text) {
  Destinations d;
  const int count = Scan<kFormat>(std::string(text), d.First, d.Second, d.Letters, d.Character).Count;
  return std::to_string(count) + " " + d.Text();
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
      {"12:34  ab!", "4 12 34 ab !"},          // a blank takes more white space than it has
      {"12:34ab!", "4 12 34 ab !"},            // ... or none
      {"12:34 a!", "4 12 34 a !"},             // a set shorter than its width
      {"12:3", "2 12 3 ?? ?"},                 // a number cut short by the end
      {"12:3a b", "4 12 3 a  "},               // ... or by a letter; the blank matches none
      {"1x:34", "1 1 7 ?? ?"},                 // the first number short: nothing after it is read
      {"12;34", "1 12 7 ?? ?"},                // a literal missing after full-width values
  };
  for (const auto& [text, expected] : kRows) EXPECT_EQ(Read(text), expected) << text;
}

// A text as long as the format's full span, 9 characters, is read at fixed
// places as far as each directive takes its full span, then one by one.
TEST(Scan, ReadsAtFullSpanWhatOneByOneItWould) {
  using namespace std::string_view_literals;
  const std::pair<std::string_view, const char*> kRows[] = {
      {"12:34\tabc!", "4 12 34 ab c"},    // every directive at its place; a tab is white space too
      {"12:34 ab\0!"sv, "3 12 34 ab ?"},  // a NUL where %c reads, though the text goes on
      {"12: 4 ab!?", "4 12 4 ab !"},      // the second number is read on from where it starts
      {"12:34 a!!!", "4 12 34 a !"},      // a short set: the character after it follows it
      {"1:234 ab!", "2 1 23 ?? ?"},       // the first number short: nothing is at its place
  };
  for (const auto& [text, expected] : kRows) EXPECT_EQ(Read(text), expected) << text;
}

// The count and the value of a one-number format.
template <ScanFormat kFormat>
std::string ReadNumber(const char* text) {
  unsigned value = 7;
  const int count = Scan<kFormat>(std::string(text), value).Count;
  return std::to_string(count) + " " + std::to_string(value);
}

// Every width of number, read whole or cut short by a byte next to the digits.
TEST(Scan, ReadsNumbersOfEveryWidth) {
  const std::pair<std::string, const char*> kRows[] = {
      {ReadNumber<"%1u">("98"), "1 9"},
      {ReadNumber<"%3u">("9876"), "1 987"},
      {ReadNumber<"%3u">("98"), "1 98"},
      {ReadNumber<"%3u">("9:7"), "1 9"},
      {ReadNumber<"%4u">("12/4"), "1 12"},  // '/' comes just before '0'
      {ReadNumber<"%5u">("987654"), "1 98765"},
      {ReadNumber<"%5u">("98:65"), "1 98"},
      {ReadNumber<"%6u">("9876543"), "1 987654"},
      {ReadNumber<"%6u">("987/54"), "1 987"},
      {ReadNumber<"%7u">("98765432"), "1 9876543"},
      {ReadNumber<"%7u">("9876:54"), "1 9876"},
      {ReadNumber<"%8u">("98765:321"), "1 98765"},  // ':' just after '9'
      {ReadNumber<"%9u">("0987654321"), "1 98765432"},
      {ReadNumber<"%9u">("12345678:"), "1 12345678"},
  };
  for (const auto& [read, expected] : kRows) EXPECT_EQ(read, expected);
}

// Where the last value read ends, the count of values read after it.
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
    Destinations d;
    const auto [count, values_end] = Scan<kFormat>(std::string(text), d.First, d.Second, d.Letters, d.Character);
    EXPECT_EQ(std::to_string(values_end) + " " + std::to_string(count), expected) << text;
  }
}

// A set shorter than its width shifts every later field: the engine reads on
// from where the set ended.
TEST(Scan, ReadsOnAfterAShortSet) {
  const std::pair<const char*, const char*> kRows[] = {
      {"bab-12:34", "3 bab 12 34 9"},  // the set takes its whole width
      {"ab-12:34.", "3 ab 12 34 8"},   // one short: every field one place earlier
      {"b-12:3x", "3 b 12 3 6"},       // two short, and the last number too
      {"ab-1:34", "3 ab 1 34 7"},      // a number short after the set
      {"ba- 7: 8", "3 ba 7 8 8"},      // white space before the numbers
      {"ab+12:3", "1 ab 7 7 2"},       // no '-' after the set
      {"aaab-1", "1 aaa 7 7 3"},       // the width ends the set before the 'b'
      {"ab-12", "2 ab 12 7 5"},        // the text ends after a value
      {"", "-1 ?? 7 7 0"},             // ... or before the first
  };
  for (const auto& [text, expected] : kRows) {
    char letters[4] = "??";
    unsigned first = 7;
    unsigned second = 7;
    const auto [count, values_end] = Scan<"%3[ab]-%2u:%2u">(std::string(text), letters, first, second);
    EXPECT_EQ(std::to_string(count) + " " + letters + " " + std::to_string(first) + " " + std::to_string(second) + " " +
                  std::to_string(values_end),
              expected)
        << text;
  }
}

}  // namespace
}  // namespace orvik::chrono::internal
