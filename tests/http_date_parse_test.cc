#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvik::chrono {
namespace {

using namespace std::string_literals;

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
constexpr std::string_view kOutOfRange =
    "Failed to interpret date string as HTTP timestamp, the instant is outside the time point range: ";
constexpr std::string_view kUnreadable = "Failed to interpret date string as HTTP timestamp: ";

std::int64_t SecondsOf(const std::string& text) {
  return FromHttpDate(text).time_since_epoch().count() / kNanosecondsPerSecond;
}

// Guards the other tests of this process: a zone that silently fell back to
// UTC would make every zone run the same.
TEST(FromHttpDate, RunsUnderTheZoneItWasGiven) {
  const char* zone = std::getenv("TZ");  // NOLINT(concurrency-mt-unsafe): no thread sets the environment
  if (zone == nullptr) return;           // /etc/localtime, whatever it says
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

// Each message is its head followed by the whole text, NUL bytes included.
TEST(FromHttpDate, RefusesTextWithTheExactMessage) {
  const std::string_view month = "Failed to parse the month '";
  const std::string_view weekday = "Failed to parse the weekday '";
  const std::string_view quote = "' of the HTTP timestamp: ";
  const struct {
    std::string text;
    std::string head;
  } cases[] = {
      {"", std::string(kUnreadable)},
      {"Sunday, 06 Nov 1994 08:49:37 GMT", std::string(kUnreadable)},
      {"Sunday, 06-Nov-2024 08:49:37 GMT", std::string(kUnreadable)},
      {"sun, 06 Nov 1994 08:49:37 GMT", std::string(kUnreadable)},
      {" Sun, 06 Nov 1994 08:49:37 GMT", std::string(kUnreadable)},
      {"Sun, 06 Nov 1994 08:49 GMT", std::string(kUnreadable)},
      {"Sun, 06 Now 1994 08:49:37 GMT", std::string(kUnreadable)},
      {"Sun, 06 Nov\0 1994 08:49:37 GMT"s, std::string(kUnreadable)},
      {"Sun, 06 nov 1994 08:49:37 GMT", std::string(month) + "nov" + std::string(quote)},
      {"Sun, 06 No 1994 08:49:37 GMT", std::string(month) + "No" + std::string(quote)},
      {"Tan, 06 Nov 1994 08:49:37 GMT", std::string(weekday) + "Tan" + std::string(quote)},
      {"Sundays, 06-Nov-94 08:49:37 GMT", std::string(weekday) + "Sundays" + std::string(quote)},
      {"Tan, 06 Jab 9999 08:49:37 GMT", std::string(month) + "Jab" + std::string(quote)},
      {"Tan, 06 Nov 9999 08:49:37 GMT", std::string(weekday) + "Tan" + std::string(quote)},
      {"Fri, 11 Apr 2262 23:47:17 GMT", std::string(kOutOfRange)},
      {"Tue, 21 Sep 1677 00:12:43 GMT", std::string(kOutOfRange)},
      {"Tue, 21 Sep 1677 00:12:-1 GMT", std::string(kOutOfRange)},
      {"Fri, 99 Mar 2262 00:00:00 GMT", std::string(kOutOfRange)},
      {"Sun, 06 Nov 94 08:49:37 GMT", std::string(kOutOfRange)},
      {"Sun Nov  6 08:49:37 -999", std::string(kOutOfRange)},
      {"Sun Nov 16 08:49:37 9999", std::string(kOutOfRange)},
  };
  for (const auto& c : cases) {
    const std::string message = c.head + c.text + '\0';
    try {
      FromHttpDate(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const std::out_of_range& e) {
      EXPECT_EQ(c.head, kOutOfRange) << c.text;
      EXPECT_EQ(std::string(e.what(), message.size()), message);
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(c.head, kOutOfRange) << c.text;
      EXPECT_EQ(std::string(e.what(), message.size()), message);
    }
  }
}

TEST(FromHttpDate, ReadsBackTheWholeSecondOfEveryFormattedTimePoint) {
  std::mt19937_64 random(20241106);
  std::vector<std::int64_t> counts = {std::numeric_limits<std::int64_t>::min(),
                                      std::numeric_limits<std::int64_t>::max(), -1, -1500000000};
  for (int i = 0; i < 2000; ++i) counts.push_back(static_cast<std::int64_t>(random()));
  for (const std::int64_t count : counts) {
    const std::string text = ToHttpDate(TimePoint(std::chrono::nanoseconds(count)));
    ASSERT_EQ(FromHttpDate(text).time_since_epoch().count(), count / kNanosecondsPerSecond * kNanosecondsPerSecond)
        << count << " " << text;
  }
}

// The length of the documented head of `what` before the quoted text, or 0.
std::size_t HeadLength(std::string_view what, bool out_of_range) {
  if (out_of_range) return what.starts_with(kOutOfRange) ? kOutOfRange.size() : 0;
  if (what.starts_with(kUnreadable)) return kUnreadable.size();
  for (const std::string_view name_error : {"Failed to parse the month '", "Failed to parse the weekday '"}) {
    if (!what.starts_with(name_error)) continue;
    const std::size_t name_end = what.find_first_not_of("ADFJMNOSTWabcdeghilnoprstuvy", name_error.size());
    const std::size_t letters = name_end - name_error.size();
    constexpr std::string_view kTail = "' of the HTTP timestamp: ";
    if (letters == 0 || letters > 9 || what.substr(name_end, kTail.size()) != kTail) return 0;
    return name_end + kTail.size();
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
  auto any_byte = [&]() { return below(2) == 0 ? likely[below(likely.size())] : static_cast<char>(below(256)); };
  for (int i = 0; i < 4000; ++i) {
    std::string text;
    if (i % 2 == 0) {
      text.resize(below(40));
      for (char& byte : text) byte = any_byte();
    } else {
      text = valid[below(std::size(valid))];
      for (std::size_t edits = 1 + below(3); edits > 0 && !text.empty(); --edits) {
        const std::size_t at = below(text.size());
        const std::size_t edit = below(3);
        if (edit == 0) {
          text.insert(at, 1, any_byte());
        } else if (edit == 1) {
          text[at] = any_byte();
        } else {
          text.resize(at);
        }
      }
    }
    // The quoted text may hold NUL bytes, so its length comes from `text`.
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
