#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "iso8601_messages.h"

namespace orvik::chrono {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

using namespace iso8601_messages;

constexpr std::string_view kInvalidArgumentPrefixes[] = {kNoDetail, kFormat,  kYear,    kMonth,      kDay,
                                                         kHour,     kMinutes, kSeconds, kBefore1900, kOffset};

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

// True when `what` is `prefix` followed by every byte of `text`, NULs included.
bool IsMessage(const char* what, std::string_view prefix, const std::string& text) {
  const std::size_t up_to_nul = std::min(text.find('\0'), text.size());
  return std::strlen(what) == prefix.size() + up_to_nul && std::strncmp(what, prefix.data(), prefix.size()) == 0 &&
         std::memcmp(what + prefix.size(), text.c_str(), text.size() + 1) == 0;
}

struct Accepted {
  std::string Text;
  std::int64_t Nanoseconds;
  std::int64_t OffsetMinutes;
};

TEST(SplitIso8601, Accepts) {
  const Accepted kCases[] = {
      {"2020-01-01T00:00:00Z", 1577836800'000000000, 0},
      {"2020-01-01T00:00:00.123456789Z", 1577836800'123456789, 0},
      {"2020-01-01T00:00:00.123Z", 1577836800'123000000, 0},
      {"2020-01-01T00:00:00.123456Z", 1577836800'123456000, 0},
      {"2020-01-01T00:00:00.123456789+05:30", 1577817000'123456789, 330},
      {"2019-12-31T19:00:00.250-05:00", 1577836800'250000000, -300},
      {"2024-02-29T12:00:00-08:00", 1709236800'000000000, -480},
      {"20200101T000000Z", 1577836800'000000000, 0},
      {"20200101T000000.123456Z", 1577836800'123456000, 0},
      {"20200101T053000.123+0530", 1577836800'123000000, 330},
      {"20240305T123809.012345678+05:30", 1709622489'012345678, 330},
      {"2020-01-01T05:30:00+05", 1577838600'000000000, 300},
      {"2020-01-01T00:00:00-00:00", 1577836800'000000000, 0},
      {"2020-01-01T00:00:00+-1:00", 1577840400'000000000, -60},  // signed offset hours
      {"1900-01-01T00:00:00Z", -2208988800'000000000, 0},
      // The length of the whole text, not the digits read, scales the fraction.
      {"2020-01-01T00:00:00.5Z", 1577836800'000000005, 0},
      {"2019-12-31T19:00:00.5-05:00", 1577836800'000005000, -300},
      {"2020-01-01T00:00:00.123Z ", 1577836800'000000123, 0},
      {"2020-01-01T00:00:00Zjunk", 1577836800'000000000, 0},
      {"2020-01-01T00:00:00Z\0junk"s, 1577836800'000000000, 0},
      // Fields out of range are normalised.
      {"2020-13-01T00:00:00Z", 1609459200'000000000, 0},
      {"2020-02-30T00:00:00Z", 1583020800'000000000, 0},
      // Without a fraction the layout fixes the offset's form; with one, its third-last character.
      {"2020-01-01T00:00:00+0530", 1577818800'000000000, 300},
      {"20200101T000000+05:30", 1577818800'000000000, 300},
      {"2020-01-01T00:00:00.123456789+0530", 1577817000'123456789, 330},
      // The ends of the range, directly and through offsets; minutes "-1" wrap to 4294967295.
      {"2262-04-11T23:47:16.854775807Z", kMax, 0},
      {"2262-04-12T05:17:16.854775807+05:30", kMax, 330},
      {"9843-11-07T04:27:43.145224192+00:-1", kMin, 4294967295},
  };
  for (const Accepted& c : kCases) {
    const auto [instant, offset] = SplitIso8601(c.Text);
    EXPECT_EQ(instant.time_since_epoch().count(), c.Nanoseconds) << c.Text;
    EXPECT_EQ(offset.count(), c.OffsetMinutes) << c.Text;
    EXPECT_EQ(FromIso8601(c.Text), instant) << c.Text;
  }
}

struct Rejected {
  std::string Text;
  std::string_view Prefix;  // the message is the prefix and the whole text
};

TEST(SplitIso8601, Rejects) {
  const Rejected kCases[] = {
      {"     ", kFormat},
      {"\0\0\0\0\0"s, kFormat},
      {"abcd-01-01T00:00:00Z", kYear},
      {"2020-", kMonth},
      {"2020-01", kDay},
      {"2020-01-01 00:00:00Z", kHour},
      {"2020-01-01t00:00:00Z", kHour},
      {"2020-01-01T00:xx:00Z", kMinutes},
      {"20200101T0000Z", kSeconds},
      {"2020-01-01T00:00:00", kOffset},
      {"2020-01-01T00:00:00.123", kOffset},
      {"2020-1-1T1:1:1Z", kOffset},
      {"2020-01-01T00:00:00\0Z"s, kOffset},
      {"2020-01-01T00:00:00Z05", kOffset},
      {"2020-01-01T00:00:00z", kNoDetail},
      {"2020-01-01T00:00:00+", kNoDetail},
      {"2020-01-01T00:00:00.1234567890Z", kNoDetail},
      {"1899-12-31T23:59:59Z", kBefore1900},
      {"1677-09-21T00:12:43.145224192Z", kBefore1900},
      {"1899-12-31T23:59:59", kOffset},
  };
  for (const Rejected& c : kCases) {
    try {
      SplitIso8601(c.Text);
      ADD_FAILURE() << "accepted " << c.Text;
    } catch (const std::invalid_argument& e) {
      EXPECT_TRUE(IsMessage(e.what(), c.Prefix, c.Text)) << e.what();
    }
  }
}

// A text shorter than its full-width fields reads as one that ends where the
// zone designator would stand, whatever its buffer holds past its end.
TEST(SplitIso8601, NeverReadsPastTheText) {
  std::string text = "2020-1-1T1:1:1Z0000Z";
  text.resize(sizeof("2020-1-1T1:1:1Z") - 1);
  try {
    SplitIso8601(text);
    ADD_FAILURE() << "accepted " << text;
  } catch (const std::invalid_argument& e) {
    EXPECT_TRUE(IsMessage(e.what(), kOffset, text)) << e.what();
  }
}

TEST(SplitIso8601, RefusesInstantsOutsideTheRange) {
  const std::string kCases[] = {
      "2262-04-11T23:47:16.854775808Z",      "2262-04-12T05:17:16.854775808+05:30", "9999-12-31T23:59:59Z",
      "9843-11-07T04:27:43.145224191+00:-1", "1900-01-01T00:00:00+00:-1",
  };
  for (const std::string& text : kCases) {
    try {
      FromIso8601(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const std::out_of_range& e) {
      EXPECT_TRUE(IsMessage(e.what(), kOutside, text)) << e.what();
    }
  }
}

TEST(SplitIso8601, TextsOfFourCharactersOrFewer) {
  for (const std::string& text : {""s, "2020"s, "\0\0\0"s}) {
    try {
      SplitIso8601(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const std::out_of_range& e) {
      EXPECT_EQ(e.what(),
                "basic_string::at: __n (which is 4) >= this->size() (which is " + std::to_string(text.size()) + ")");
    }
  }
}

// Random bytes and mutations of valid texts: only the documented exceptions
// escape, each with a documented message that ends with the whole text.
TEST(SplitIso8601, HostileText) {
  const std::string kValid[] = {"2020-01-01T00:00:00.123456789+05:30", "20200101T053000.123+0530",
                                "2262-04-11T23:47:16.854775807Z", "2020-01-01T05:30:00+05"};
  constexpr std::string_view kInteresting = "0123456789-+:.TZz \t\0\xff"sv;
  std::mt19937 random(8601);
  const auto below = [&random](std::size_t bound) {
    return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random);
  };
  const auto any_byte = [&] {
    return below(2) == 0 ? kInteresting[below(kInteresting.size())] : static_cast<char>(below(256));
  };
  for (int i = 0; i < 4000; ++i) {
    std::string text;
    if (i % 2 == 0) {
      text.resize(below(40));
      for (char& c : text) c = any_byte();
    } else {
      text = kValid[below(std::size(kValid))];
      for (std::size_t edits = 1 + below(3); edits > 0 && !text.empty(); --edits) {
        const std::size_t at = below(text.size());
        switch (below(4)) {
          case 0:
            text[at] = any_byte();
            break;
          case 1:
            text.insert(at, 1, any_byte());
            break;
          case 2:
            text.erase(at, 1);
            break;
          default:
            text.resize(at);
            break;
        }
      }
    }
    try {
      SplitIso8601(text);
    } catch (const std::invalid_argument& e) {
      EXPECT_TRUE(std::any_of(std::begin(kInvalidArgumentPrefixes), std::end(kInvalidArgumentPrefixes),
                              [&](std::string_view prefix) { return IsMessage(e.what(), prefix, text); }))
          << e.what();
    } catch (const std::out_of_range& e) {
      if (text.size() <= 4) {
        EXPECT_EQ(e.what(),
                  "basic_string::at: __n (which is 4) >= this->size() (which is " + std::to_string(text.size()) + ")");
      } else {
        EXPECT_TRUE(IsMessage(e.what(), kOutside, text)) << e.what();
      }
    }
  }
}

}  // namespace
}  // namespace orvik::chrono
