// The fast reading of ISO 8601 texts against the general (sscanf) one: on
// canonical texts the fast reading must answer, and wherever it answers, with
// the general reading's result; SplitIso8601 and FromIso8601 must give the
// general reading's result, exception type and message for every text.
#include <orvik/chrono/chrono.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <optional>
#include <ostream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "iso8601/from_iso8601.h"

namespace orvik::chrono {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

struct Outcome {
  enum class Kind { kValue, kInvalidArgument, kOutOfRange };
  Kind Result = Kind::kValue;
  std::int64_t Nanoseconds = 0;
  std::int64_t OffsetMinutes = 0;
  std::string What;
  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& outcome, std::ostream* out) {
  constexpr const char* kKinds[] = {"value", "std::invalid_argument", "std::out_of_range"};
  *out << kKinds[static_cast<int>(outcome.Result)] << " " << outcome.Nanoseconds << " ns, " << outcome.OffsetMinutes
       << " min, \"" << outcome.What << "\"";
}

template <typename Split>
Outcome Run(Split split, const std::string& text) {
  try {
    const Iso8601Instant instant = split(text);
    return {Outcome::Kind::kValue, instant.first.time_since_epoch().count(), instant.second.count(), {}};
  } catch (const std::invalid_argument& e) {
    return {Outcome::Kind::kInvalidArgument, 0, 0, e.what()};
  } catch (const std::out_of_range& e) {
    return {Outcome::Kind::kOutOfRange, 0, 0, e.what()};
  }
}

std::string Printable(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c >= ' ' && c <= '~') {
      out += c;
    } else {
      char escaped[sizeof("\\xff")];
      std::snprintf(escaped, sizeof(escaped), "\\x%02x", static_cast<unsigned>(static_cast<unsigned char>(c)));
      out += escaped;
    }
  }
  return out;
}

// Compares every reading of `text`; true when the fast reading answered.
bool Agrees(const std::string& text) {
  const Outcome general = Run(SplitIso8601General, text);
  EXPECT_EQ(Run(SplitIso8601, text), general) << Printable(text);
  // FromIso8601 carries no offset: take the general reading's.
  Outcome from = Run([](const std::string& s) { return Iso8601Instant{FromIso8601(s), {}}; }, text);
  from.OffsetMinutes = general.OffsetMinutes;
  EXPECT_EQ(from, general) << Printable(text);

  const std::optional<Iso8601Instant> fast = SplitIso8601Fast(text);
  if (!fast) return false;
  EXPECT_EQ(general.Result, Outcome::Kind::kValue) << Printable(text) << ": " << general.What;
  EXPECT_EQ(fast->first.time_since_epoch().count(), general.Nanoseconds) << Printable(text);
  EXPECT_EQ(fast->second.count(), general.OffsetMinutes) << Printable(text);
  return true;
}

struct WallClock {
  int Year, Month, Day, Hour, Minute, Second;
};

WallClock WallClockOf(long seconds) {
  std::tm tm{};
  gmtime_r(&seconds, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string DateTime(const WallClock& w, bool extended) {
  char text[64];
  std::snprintf(text, sizeof(text), extended ? "%04d-%02d-%02dT%02d:%02d:%02d" : "%04d%02d%02dT%02d%02d%02d", w.Year,
                w.Month, w.Day, w.Hour, w.Minute, w.Second);
  return text;
}

std::string Digits(std::mt19937_64& random, std::size_t count) {
  std::string digits;
  for (std::size_t i = 0; i < count; ++i) digits += static_cast<char>('0' + random() % 10);
  return digits;
}

std::string TwoDigits(std::uint64_t value) {
  return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

// A text in a layout the fast reading takes: wall-clock time from 1900 to
// days before the range's end, any 3, 6 or 9 digits or none, and "Z" or an
// offset of up to 99:99 in a form the general reading takes in full.
std::string CanonicalText(std::mt19937_64& random) {
  std::uniform_int_distribution<long> seconds(-2208988800, 9223372036 - 5L * 86400);
  const bool extended = random() % 2 == 0;
  constexpr std::size_t kFractionDigits[] = {0, 3, 6, 9};
  const std::size_t fraction_digits = kFractionDigits[random() % 4];
  std::string text = DateTime(WallClockOf(seconds(random)), extended);
  if (fraction_digits != 0) text += "." + Digits(random, fraction_digits);
  if (random() % 4 == 0) return text + "Z";
  text += random() % 2 == 0 ? '+' : '-';
  const std::string hours = random() % 4 == 0 ? Digits(random, 2) : TwoDigits(random() % 15);
  const std::string minutes = random() % 4 == 0 ? Digits(random, 2) : TwoDigits(random() % 4 * 15);
  const bool with_colon = fraction_digits == 0 ? extended : random() % 2 == 0;
  return text + hours + (with_colon ? ":" : "") + minutes;
}

TEST(SplitIso8601Differential, TakesEveryCanonicalTextWithTheGeneralResult) {
  std::mt19937_64 random(1);
  for (int i = 0; i < 30000; ++i) {
    const std::string text = CanonicalText(random);
    ASSERT_TRUE(Agrees(text)) << "not taken: " << text;
  }
}

// The first and last days of every month of every year that the fast reading
// takes, and the years on either side.
TEST(SplitIso8601Differential, EveryYearAndMonthEnd) {
  std::size_t taken = 0;
  for (int year = 1895; year <= 2265; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (const int day : {28, 29, 30, 31}) {
        for (const bool extended : {true, false}) {
          const std::string date_time = DateTime({year, month, day, 23, 59, 59}, extended);
          for (const char* suffix : {".999999999Z", "-23:59", ".123+2359"}) {
            if (Agrees(date_time + suffix)) ++taken;
          }
        }
      }
    }
  }
  EXPECT_GT(taken, 60000U);
}

// Every fraction length with every kind of ending: the lengths of the whole
// text scale the fraction, and the character three before the end chooses the
// offset's form.
TEST(SplitIso8601Differential, EveryFractionLengthAndEnding) {
  const std::string kFraction = "1234567891";
  const std::string kEndings[] = {"",        "Z",      "z",      "+05:30", "-05:30", "+0530",   "-0530",
                                  "+05",     "-05",    "+5:30",  "+05:3",  "+053",   "+",       "Z05",
                                  "+05:30Z", "-00:00", "+99:99", "+-1:00", "+00:-1", " +05:30", "+ 5:30"};
  const std::string kTrailers[] = {""s, " "s, "\0"s, "0"s, "Z"s, "junk"s};
  for (const bool extended : {true, false}) {
    const std::string date_time = DateTime({2020, 2, 29, 12, 34, 56}, extended);
    for (std::size_t digits = 0; digits <= kFraction.size(); ++digits) {
      const std::string fraction = digits == 0 ? "" : "." + kFraction.substr(0, digits);
      for (const std::string& ending : kEndings) {
        for (const std::string& trailer : kTrailers) {
          std::string text = date_time;
          Agrees(text.append(fraction).append(ending).append(trailer));
        }
      }
    }
  }
}

TEST(SplitIso8601Differential, AtTheEndsOfTheRange) {
  const std::string kTexts[] = {
      "2262-04-11T23:47:16.854775807Z",
      "2262-04-11T23:47:16.854775808Z",
      "2262-04-11T23:47:16Z",
      "2262-04-11T23:47:17Z",
      "2262-04-12T05:17:16.854775807+05:30",
      "2262-04-12T05:17:16.854775808+05:30",
      "2262-04-11T23:46:16.854775807-00:01",
      "2262-04-11T23:46:16.854775808-00:01",
      "22620411T234716.854775807Z",
      "22620411T234716.854775808Z",
      "22620411T234816.854775807+0001",
      "2262-04-11T23:47:16.854775+00:00",
      "9999-12-31T23:59:59Z",
      "1900-01-01T00:00:00Z",
      "1899-12-31T23:59:59Z",
      "1900-01-01T00:00:00.000+99:99",
      "1900-01-01T00:00:00-99:99",
      "0000-01-01T00:00:00Z",
  };
  for (const std::string& text : kTexts) Agrees(text);
}

// Texts whose fields hold any two digits, years anywhere, fractions of any
// length and endings of every kind.
TEST(SplitIso8601Differential, FieldsOfAnyValue) {
  std::mt19937_64 random(2);
  const auto field = [&random](unsigned usual) {
    return TwoDigits(random() % 3 == 0 ? random() % 100 : random() % usual);
  };
  const std::string kEndings[] = {"Z", "z", "+", "-", " ", "", "+05:30", "-0800", "+05", "Z0"};
  for (int i = 0; i < 30000; ++i) {
    const bool extended = random() % 2 == 0;
    const std::string date_sep = extended ? "-" : "";
    const std::string time_sep = extended ? ":" : "";
    std::string year = Digits(random, 4);
    if (random() % 2 == 0) year = std::to_string(1890 + random() % 20);
    if (random() % 4 == 0) year = std::to_string(2255 + random() % 10);
    std::string text = year;
    text.append(date_sep).append(field(14)).append(date_sep).append(field(33)).append("T").append(field(25));
    text.append(time_sep).append(field(61)).append(time_sep).append(field(61));
    if (random() % 2 == 0) text += "." + Digits(random, random() % 12);
    if (random() % 2 == 0) {
      text += kEndings[random() % std::size(kEndings)];
    } else {
      text += (random() % 2 == 0 ? "+" : "-") + Digits(random, 2) + (random() % 2 == 0 ? ":" : "") + Digits(random, 2);
    }
    Agrees(text);
  }
}

// Canonical texts with one to three edits: bytes replaced, inserted or
// deleted, digits changed, blanks, signs and NULs added, the text cut short
// or continued.
TEST(SplitIso8601Differential, MutatedCanonicalTexts) {
  std::mt19937_64 random(3);
  constexpr std::string_view kInteresting = "0123456789+-:.TZz \t\n\v\0\xff"sv;
  const auto below = [&random](std::size_t bound) { return static_cast<std::size_t>(random() % bound); };
  std::size_t taken = 0;
  for (int i = 0; i < 40000; ++i) {
    std::string text = CanonicalText(random);
    for (std::size_t edits = 1 + below(3); edits > 0 && !text.empty(); --edits) {
      const std::size_t at = below(text.size());
      const char any = below(2) == 0 ? kInteresting[below(kInteresting.size())] : static_cast<char>(below(256));
      switch (below(7)) {
        case 0:
          text[at] = any;
          break;
        case 1:
          text.insert(at, 1, any);
          break;
        case 2:
          text.erase(at, 1);
          break;
        case 3:
          if (text[at] >= '0' && text[at] <= '9') text[at] = static_cast<char>('0' + below(10));
          break;
        case 4:
          text.insert(at, 1, "+- \0"[below(4)]);
          break;
        case 5:
          text.resize(at);
          break;
        default:
          text += any;
          break;
      }
    }
    if (Agrees(text)) ++taken;
  }
  // Digit changes and edits that cancel out keep some texts canonical.
  EXPECT_GT(taken, 500U);
}

}  // namespace
}  // namespace orvik::chrono
