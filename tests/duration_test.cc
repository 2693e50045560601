#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <exception>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

using orvik::chrono::duration::FromIso8601;

constexpr char kInvalid[] = "invalid_argument: Invalid ISO8601 duration format";
constexpr char kNotSupported[] = "invalid_argument: Durations with year/month/day components are not supported";
constexpr char kStoi[] = "out_of_range: stoi";
constexpr char kOutOfRange[] = "out_of_range: ISO8601 duration out of range";

// The nanosecond count, or the exact exception type and message.
std::string Outcome(const std::string& text) {
  try {
    return std::to_string(FromIso8601(text).count());
  } catch (const std::exception& e) {
    if (typeid(e) == typeid(std::invalid_argument)) return std::string("invalid_argument: ") + e.what();
    if (typeid(e) == typeid(std::out_of_range)) return std::string("out_of_range: ") + e.what();
    return std::string("unexpected ") + typeid(e).name() + ": " + e.what();
  }
}

struct Case {
  std::string text;
  std::string outcome;
};

void ExpectOutcomes(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(Outcome(c.text), c.outcome) << "text: \"" << c.text << '"';
}

TEST(DurationFromIso8601, Accepts) {
  using namespace std::string_literals;
  ExpectOutcomes({
      {"PT5S", "5000000000"},
      {"PT1H30M15S", "5415000000000"},
      {"PT90M", "5400000000000"},
      {"P5H", "18000000000000"},
      {"PT5S3H", "10805000000000"},
      {"PT1H1H", "7200000000000"},
      {"PT0S", "0"},
      {"PTS", "0"},
      {"PTHMS", "0"},
      {"P5T1S", "1000000000"},
      {"XT5S", "5000000000"},
      {"55S", "5000000000"},        // a digit in first place is not read
      {"\0T5S"s, "5000000000"},     // nor is a NUL
      {"P1HT2M", "3720000000000"},  // 'M' after a 'T' anywhere earlier
      {"PT1M1T1M", "120000000000"},
      {"PPP", "0"},
      {"PT005S", "5000000000"},
      {"PT2147483647S", "2147483647000000000"},
      {"PT2562047H", "9223369200000000000"},
      {"PT153722867M", "9223372020000000000"},
      {"PT2562047H2836S", "9223372036000000000"},
      {"PT153722867M16S", "9223372036000000000"},
  });
}

TEST(DurationFromIso8601, Refuses) {
  using namespace std::string_literals;
  ExpectOutcomes({
      {"", kInvalid},
      {"P", kInvalid},
      {"PT", kInvalid},
      {"PT5", kInvalid},
      {"PT99999999999", kInvalid},  // ends in digits before any conversion
      {"PT1W", kInvalid},
      {"PT1.5S", kInvalid},
      {"PT-5S", kInvalid},
      {"pt5s", kInvalid},
      {"PT5s", kInvalid},
      {"P T5S", kInvalid},
      {"PT5S\0"s, kInvalid},
      {"PT1\x80", kInvalid},
      {"PT1Z", kInvalid},
      {"PT1C", kInvalid},
      {"P1d", kInvalid},
      {"P1Y", kNotSupported},
      {"P1D", kNotSupported},
      {"P1M", kNotSupported},
      {"P1MT5S", kNotSupported},
      {"PT1H1D", kNotSupported},
      {"PT2147483648S", kStoi},
      {"P99999999999Y", kStoi},
      {"PT99999999999W", kStoi},
      {"PT99999999999999999999999999S", kStoi},  // beyond strtol's own range
  });
}

TEST(DurationFromIso8601, RefusesTotalsBeyondSignedNanoseconds) {
  ExpectOutcomes({
      {"PT2562048H", kOutOfRange},
      {"PT153722868M", kOutOfRange},
      {"PT2147483647H", kOutOfRange},
      {"PT2562047H2837S", kOutOfRange},
      {"PT153722867M17S", kOutOfRange},
      {"PT2562047H47M17S", kOutOfRange},
      {"PT1S2562047H2836S", kOutOfRange},
      {"PT2147483647S2147483647S2147483647S2147483647S2147483647S", kOutOfRange},
      // A text refused further on keeps its own error after an overflow.
      {"PT2562048H1Y", kNotSupported},
      {"P2562048H1M", kNotSupported},
      {"PT2562048H1W", kInvalid},
      {"PT2562048H5", kInvalid},
      {"PT2562048H99999999999S", kStoi},
  });
}

// Random bytes and mutations of valid texts: every outcome is one of the four
// documented errors or a non-negative count of a text made only of digits and
// the accepted designators.
TEST(DurationFromIso8601, HostileTextOnlyRaisesDocumentedErrors) {
  const std::set<std::string> errors = {kInvalid, kNotSupported, kStoi, kOutOfRange};
  const std::vector<std::string> valid = {"PT1H30M15S", "PT2147483647S", "PT2562047H2836S", "P5T1S", "PT153722867M"};
  const std::string alphabet = std::string("0123456789PTHMSDYW.-+ pt\x80\xff", 26) + '\0';
  std::mt19937 random(20240305);
  auto below = [&random](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  for (int round = 0; round < 4000; ++round) {
    std::string text;
    if (round % 2 == 0) {
      const std::size_t length = below(24);
      for (std::size_t i = 0; i < length; ++i) {
        text += below(4) == 0 ? static_cast<char>(below(256)) : alphabet[below(alphabet.size())];
      }
    } else {
      text = valid[below(valid.size())];
      for (std::size_t edits = 1 + below(3); edits > 0 && !text.empty(); --edits) {
        const std::size_t at = below(text.size());
        const char c = alphabet[below(alphabet.size())];
        const std::size_t kind = below(3);
        if (kind == 0) text.erase(at, 1);
        if (kind == 1) text.insert(at, 1, c);
        if (kind == 2) text[at] = c;
      }
    }
    const std::string outcome = Outcome(text);
    if (errors.contains(outcome)) continue;
    // Accepted: after the first character only digits and H, M, S, P, T, ending in a designator.
    ASSERT_EQ(text.find_first_not_of("0123456789HMSPT", 1), std::string::npos) << text;
    ASSERT_NE(std::string("HMSPT").find(text.back()), std::string::npos) << text;
    ASSERT_FALSE(outcome.empty() || outcome[0] == '-') << text << " gave " << outcome;
    ASSERT_EQ(outcome.find_first_not_of("0123456789"), std::string::npos) << text << " gave " << outcome;
  }
}

}  // namespace
