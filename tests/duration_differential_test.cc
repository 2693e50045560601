// The fast duration parser against the general one, on generated texts and
// damaged copies.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "differential.h"
#include "duration/from_iso8601.h"

namespace orvik::chrono::duration {
namespace {

using namespace std::string_literals;

// The longest run of digits after the first character.
std::size_t LongestRun(const std::string& text) {
  std::size_t longest = 0;
  std::size_t run = 0;
  for (std::size_t i = 1; i < text.size(); ++i) {
    run = text[i] >= '0' && text[i] <= '9' ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}

// The public function and the fast path answer as the general path does, and
// the fast path takes every accepted text whose runs have at most nine digits.
// The fast path reads a copy without a terminating NUL, so that the
// sanitizers see any read past the end.
void ExpectSameAsGeneral(const std::string& text) {
  const std::string general = testing::Outcome([&] { return FromIso8601General(text).count(); });
  ASSERT_EQ(testing::Outcome([&] { return FromIso8601(text).count(); }), general) << '"' << text << '"';
  const std::vector<char> bytes(text.begin(), text.end());
  const std::optional<std::chrono::nanoseconds> fast = FromIso8601Fast({bytes.data(), bytes.size()});
  if (fast) {
    ASSERT_EQ(std::to_string(fast->count()), general) << '"' << text << '"';
  } else {
    const bool accepted = general.front() >= '0' && general.front() <= '9';
    ASSERT_FALSE(accepted && LongestRun(text) <= 9) << '"' << text << '"';
  }
}

TEST(DurationDifferential, ReadsGeneratedAndDamagedTextsAsTheGeneralPath) {
  std::mt19937 random(20240305);
  auto below = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  const std::string firsts = "PPPPX5T\0"s;
  const std::string designators = "HMSHMSHMSTPDYW";
  const std::string likely = "0123456789PTHMSDYW.,-+ \0pt"s;
  for (int i = 0; i < 60'000; ++i) {
    std::string text(1, firsts[below(firsts.size())]);
    if (below(4) != 0) text += 'T';
    for (std::size_t components = below(5); components > 0; --components) {
      // Mostly up to nine digits, sometimes more, leading zeros included.
      for (std::size_t digits = below(8) == 0 ? 10 + below(4) : below(10); digits > 0; --digits) {
        text += static_cast<char>('0' + below(10));
      }
      text += designators[below(designators.size())];
    }
    if (i % 2 == 1) testing::Damage(&text, &random, likely);
    ExpectSameAsGeneral(text);
  }
}

}  // namespace
}  // namespace orvik::chrono::duration
