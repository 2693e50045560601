#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <map>
#include <random>
#include <stdexcept>
#include <string>

namespace orvik::chrono {
namespace {

using namespace std::string_literals;

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
const std::string kOutOfRange =
    "Failed to interpret date string as HTTP timestamp, the instant is outside the time point range: ";
const std::string kUnreadable = "Failed to interpret date string as HTTP timestamp: ";

std::int64_t SecondsOf(const std::string& text) {
  return FromHttpDate(text).time_since_epoch().count() / kNanosecondsPerSecond;
}

// Guards the other tests of this process: a zone that silently fell back to
// UTC would make every zone run the same.
TEST(FromHttpDate, RunsUnderTheZoneItWasGiven) {
  const char* zone = std::getenv("TZ");
  if (zone == nullptr) return;  // /etc/localtime, whatever it says
  const std::map<std::string, long> july_1994_offsets = {{"UTC", 0},
                                                         {"Europe/Berlin", 7200},
                                                         {"Asia/Kathmandu", 20700},
                                                         {"America/St_Johns", -9000},
                                                         {"Pacific/Apia", -39600}};
  const long july_1994 = 773064000;
  std::tm local{};
  ASSERT_NE(localtime_r(&july_1994, &local), nullptr);
  EXPECT_EQ(local.tm_gmtoff, july_1994_offsets.at(zone));
}

// Runs under several TZ values: the instants hold in every zone, Apia's
// skipped 2011-12-30 and the half- and quarter-hour offsets included.
TEST(FromHttpDate, ReadsTheThreeLayoutsAsUtc) {
  const struct {
    std::string text;
    std::int64_t seconds;
  } cases[] = {
      {"Sun, 06 Nov 1994 08:49:37 GMT", 784111777},
      {"Sunday, 06-Nov-94 08:49:37 GMT", 784111777},
      {"Sun Nov  6 08:49:37 1994", 784111777},
      {"Sun Nov 16 08:49:37 1994", 784975777},
      {"Sun Nov 06 08:49:37 1994", 784111777},
      {"Wednesday, 09-Nov-94 08:49:37 GMT", 784370977},
      {"Sun, 06-Nov-94 08:49:37 GMT", 784111777},
      {"Sun,06 Nov 1994 8:9:7 GMT", 784109347},
      {"Sun, 06 Nov 1994 08:49:37 +0500", 784111777},
      {"Sun, 06 Nov 1994 08:49:37.5 GMT", 784111777},
      {"Sun, 06 Nov 1994 08:49:37 GMT\0Mon, 07 Nov 1994"s, 784111777},
      {"Mon, 06 Nov 1994 08:49:37 GMT", 784111777},
      {"Fri, 01 Jul 1994 12:00:00 GMT", 773064000},
      {"Monday, 15-Jul-24 12:00:00 GMT", -1434715200},
      {"Wed, 31 Dec 1969 23:59:59 GMT", -1},
      {"Sat, 29 Feb 2020 23:59:59 GMT", 1583020799},
      {"Thu, 29 Dec 2011 12:00:00 GMT", 1325160000},
      {"Fri, 30 Dec 2011 12:00:00 GMT", 1325246400},
      {"Sat, 31 Dec 2011 12:00:00 GMT", 1325332800},
      {"Sun, 31 Nov 1994 08:49:37 GMT", 786271777},
      {"Sun, 00 Nov 1994 08:49:37 GMT", 783593377},
      {"Sun, -1 Nov 1994 08:49:37 GMT", 783506977},
      {"Sun, 06-Nov--6 08:49:37 GMT", -2371561823},
      {"Sun, 06 Nov 1994 08:49:+5 GMT", 784111745},
      {"Sun, 06 Nov 1994 24:00:00 GMT", 784166400},
      {"Sun, 06 Nov 1994 08:49:60 GMT", 784111800},
      {"Fri, 11 Apr 2262 23:47:16 GMT", 9223372036},
      {"Tue, 21 Sep 1677 00:12:44 GMT", -9223372036},
  };
  for (const auto& c : cases) EXPECT_EQ(SecondsOf(c.text), c.seconds) << c.text;
}

TEST(FromHttpDate, RefusesTextWithTheExactMessage) {
  const struct {
    std::string text;
    bool out_of_range;
    std::string message;
  } cases[] = {
      {"", false, kUnreadable},
      {"Sunday, 06 Nov 1994 08:49:37 GMT", false, kUnreadable + "Sunday, 06 Nov 1994 08:49:37 GMT"},
      {"Sunday, 06-Nov-2024 08:49:37 GMT", false, kUnreadable + "Sunday, 06-Nov-2024 08:49:37 GMT"},
      {"sun, 06 Nov 1994 08:49:37 GMT", false, kUnreadable + "sun, 06 Nov 1994 08:49:37 GMT"},
      {" Sun, 06 Nov 1994 08:49:37 GMT", false, kUnreadable + " Sun, 06 Nov 1994 08:49:37 GMT"},
      {"Sun, 06 Nov 1994 08:49 GMT", false, kUnreadable + "Sun, 06 Nov 1994 08:49 GMT"},
      {"Sun, 06 Now 1994 08:49:37 GMT", false, kUnreadable + "Sun, 06 Now 1994 08:49:37 GMT"},
      {"Sun, 06 Nov\0 1994 08:49:37 GMT"s, false, kUnreadable + "Sun, 06 Nov\0 1994 08:49:37 GMT"s},
      {"Sun, 06 nov 1994 08:49:37 GMT", false,
       "Failed to parse the month 'nov' of the HTTP timestamp: Sun, 06 nov 1994 08:49:37 GMT"},
      {"Sun, 06 No 1994 08:49:37 GMT", false,
       "Failed to parse the month 'No' of the HTTP timestamp: Sun, 06 No 1994 08:49:37 GMT"},
      {"Tan, 06 Nov 1994 08:49:37 GMT", false,
       "Failed to parse the weekday 'Tan' of the HTTP timestamp: Tan, 06 Nov 1994 08:49:37 GMT"},
      {"Sundays, 06-Nov-94 08:49:37 GMT", false,
       "Failed to parse the weekday 'Sundays' of the HTTP timestamp: Sundays, 06-Nov-94 08:49:37 GMT"},
      {"Tan, 06 Jab 9999 08:49:37 GMT", false,
       "Failed to parse the month 'Jab' of the HTTP timestamp: Tan, 06 Jab 9999 08:49:37 GMT"},
      {"Tan, 06 Nov 9999 08:49:37 GMT", false,
       "Failed to parse the weekday 'Tan' of the HTTP timestamp: Tan, 06 Nov 9999 08:49:37 GMT"},
      {"Fri, 11 Apr 2262 23:47:17 GMT", true, kOutOfRange + "Fri, 11 Apr 2262 23:47:17 GMT"},
      {"Tue, 21 Sep 1677 00:12:43 GMT", true, kOutOfRange + "Tue, 21 Sep 1677 00:12:43 GMT"},
      {"Tue, 21 Sep 1677 00:12:-1 GMT", true, kOutOfRange + "Tue, 21 Sep 1677 00:12:-1 GMT"},
      {"Fri, 99 Mar 2262 00:00:00 GMT", true, kOutOfRange + "Fri, 99 Mar 2262 00:00:00 GMT"},
      {"Sun, 06 Nov 94 08:49:37 GMT", true, kOutOfRange + "Sun, 06 Nov 94 08:49:37 GMT"},
      {"Sun Nov  6 08:49:37 -999", true, kOutOfRange + "Sun Nov  6 08:49:37 -999"},
      {"Sun Nov 16 08:49:37 9999", true, kOutOfRange + "Sun Nov 16 08:49:37 9999"},
  };
  for (const auto& c : cases) {
    try {
      FromHttpDate(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const std::out_of_range& e) {
      EXPECT_TRUE(c.out_of_range) << c.text;
      EXPECT_EQ(std::string(e.what(), c.message.size() + 1), c.message + '\0');
    } catch (const std::invalid_argument& e) {
      EXPECT_FALSE(c.out_of_range) << c.text;
      EXPECT_EQ(std::string(e.what(), c.message.size() + 1), c.message + '\0');
    }
  }
}

TEST(FromHttpDate, ReadsBackTheWholeSecondOfEveryFormattedTimePoint) {
  std::mt19937_64 random(20241106);
  std::uniform_int_distribution<std::int64_t> any_count(std::numeric_limits<std::int64_t>::min(),
                                                        std::numeric_limits<std::int64_t>::max());
  for (int i = 0; i < 2000; ++i) {
    const std::int64_t count =
        i < 2 ? (i == 0 ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max())
              : any_count(random);
    const std::string text = ToHttpDate(TimePoint(std::chrono::nanoseconds(count)));
    ASSERT_EQ(FromHttpDate(text).time_since_epoch().count(), count / kNanosecondsPerSecond * kNanosecondsPerSecond)
        << count << " " << text;
  }
}

// The length of the documented head of `what` before the quoted text, or 0.
std::size_t HeadLength(const char* what, bool out_of_range) {
  if (out_of_range) return std::strncmp(what, kOutOfRange.c_str(), kOutOfRange.size()) == 0 ? kOutOfRange.size() : 0;
  if (std::strncmp(what, kUnreadable.c_str(), kUnreadable.size()) == 0) return kUnreadable.size();
  for (const char* name_error : {"Failed to parse the month '", "Failed to parse the weekday '"}) {
    if (std::strncmp(what, name_error, std::strlen(name_error)) != 0) continue;
    const char* name = what + std::strlen(name_error);
    const std::size_t letters = std::strspn(name, "ADFJMNOSTWabcdeghilnoprstuvy");
    const char* tail = "' of the HTTP timestamp: ";
    if (letters == 0 || letters > 9 || std::strncmp(name + letters, tail, std::strlen(tail)) != 0) return 0;
    return static_cast<std::size_t>(name + letters - what) + std::strlen(tail);
  }
  return 0;
}

// Random bytes and damaged dates: only the documented exceptions escape, each
// message quoting the whole text, and whatever is accepted formats back to
// the same instant.
TEST(FromHttpDate, RefusesHostileTextOnlyWithTheDocumentedErrors) {
  const std::string valid[] = {"Sun, 06 Nov 1994 08:49:37 GMT", "Wednesday, 09-Nov-94 08:49:37 GMT",
                               "Sun Nov  6 08:49:37 1994", "Sun Nov 16 08:49:37 1994", "Fri, 11 Apr 2262 23:47:16 GMT"};
  const std::string likely = "0123456789+-:, \t\n\0SMTWFadehinorstuyADFJMNOSbceglpv"s;
  std::mt19937 random(1994);
  auto below = [&random](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  auto any_byte = [&]() {
    return below(2) == 0 ? likely[below(likely.size())] : static_cast<char>(static_cast<unsigned char>(below(256)));
  };
  for (int i = 0; i < 4000; ++i) {
    std::string text;
    if (i % 2 == 0) {
      text.resize(below(40));
      for (char& byte : text) byte = any_byte();
    } else {
      text = valid[below(std::size(valid))];
      for (std::size_t edits = 1 + below(3); edits > 0; --edits) {
        const std::size_t at = below(text.size() + 1);
        switch (below(4)) {
          case 0:
            text.insert(at, 1, any_byte());
            break;
          case 1:
            if (at < text.size()) text.erase(at, 1);
            break;
          case 2:
            if (at < text.size()) text[at] = any_byte();
            break;
          default:
            text.resize(at);
        }
      }
    }
    try {
      const TimePoint t = FromHttpDate(text);
      ASSERT_EQ(FromHttpDate(ToHttpDate(t)), t) << text;
    } catch (const std::invalid_argument& e) {
      const std::size_t head = HeadLength(e.what(), false);
      ASSERT_NE(head, 0U) << e.what();
      ASSERT_EQ(std::string(e.what() + head, text.size() + 1), text + '\0');
    } catch (const std::out_of_range& e) {
      const std::size_t head = HeadLength(e.what(), true);
      ASSERT_NE(head, 0U) << e.what();
      ASSERT_EQ(std::string(e.what() + head, text.size() + 1), text + '\0');
    }
  }
}

}  // namespace
}  // namespace orvik::chrono
