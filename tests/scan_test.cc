// Where the scanning engine's last value ends, which sscanf does not tell;
// the count and the values stored are the scan fuzz check's, against sscanf.
#include "text/scan.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace orvik::chrono::internal {
namespace {

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
    const auto [count, values_end] = Scan<"%2u:%2u %2[ab]%c">(std::string(text), first, second, letters, character);
    EXPECT_EQ(std::to_string(values_end) + " " + std::to_string(count), expected) << text;
  }
}

}  // namespace
}  // namespace orvik::chrono::internal
