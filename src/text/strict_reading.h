// Internal: what the strict readers share: the fields that a text names, the
// check that they name a time that exists, the instant that they form, and
// what a reading found wrong, for the message of its refusal.
#ifndef ORVIK_CHRONO_SRC_TEXT_STRICT_READING_H_
#define ORVIK_CHRONO_SRC_TEXT_STRICT_READING_H_

#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "calendar/civil.h"
#include "calendar/leap_seconds.h"
#include "calendar/time_units.h"

namespace orvik::chrono::internal {

// A date and time of day as a text wrote them, each field in an int: the
// readers take at most four digits a field, and cap a longer year.
struct CivilFields {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  unsigned Nanoseconds = 0;
};

// What a strict reading found wrong first.
enum class Problem : std::uint8_t {
  None,
  Expected,  // the text departs from its layout at Fault::At, where Fault::Expected should stand
  Month,     // a field that does not exist
  Day,
  Hour,
  Minute,
  Second,
  LeapSecond,     // second 60 where UTC inserted none
  OffsetHours,    // 24 or more
  OffsetMinutes,  // 60 or more
  Weekday,        // the weekday written at Fault::At, Fault::Size bytes, is not the date's
  Zone,           // the zone written at Fault::At, Fault::Size bytes, has no known offset
  OutsideRange,   // the instant is outside the time point range
};

struct ReadingFault {
  Problem What = Problem::None;
  std::uint8_t Expected = 0;  // an index into the reader's texts of what it expects
  std::uint32_t At = 0;
  std::uint32_t Size = 0;
};

// What a strict reader read of a text, as far as it read it.
struct StrictReading {
  CivilFields Fields;
  int OffsetHours = 0;
  int OffsetMinutes = 0;
  ReadingFault Fault;
};

inline bool IsAt(std::string_view text, std::size_t at, char c) { return at < text.size() && text[at] == c; }

// Moves past `c` where it stands at `at`.
inline bool Take(std::string_view text, std::size_t& at, char c) {
  if (!IsAt(text, at, c)) return false;
  ++at;
  return true;
}

// Reads the `kCount` digits at `at` into `value` and moves `at` past them;
// false, with `at` at the first byte that is no digit, where there are fewer.
template <int kCount>
[[gnu::always_inline]] inline bool ReadDigits(std::string_view text, std::size_t& at, int& value) {
  int read = 0;
  for (int i = 0; i < kCount; ++i, ++at) {
    if (at >= text.size()) return false;
    const unsigned digit = static_cast<unsigned char>(text[at]) - unsigned{'0'};
    if (digit > 9) return false;
    read = read * 10 + static_cast<int>(digit);
  }
  value = read;
  return true;
}

inline bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The count of letters from `at` on: a name, whole, for a message.
inline std::size_t LettersFrom(std::string_view text, std::size_t at) {
  std::size_t end = at;
  while (end < text.size() && IsLetter(text[end])) ++end;
  return end - at;
}

// Where a reading stands: the text, the place, and what the reader expects
// there, a value of its enum of what it expects (not a byte type, whose
// stores the compiler would take for stores to any object).
template <typename Expected>
struct Cursor {
  std::string_view Text;
  std::size_t At = 0;
  Expected Wanted{};

  bool Char(char c, Expected expected) {
    Wanted = expected;
    return Take(Text, At, c);
  }
  template <int kCount>
  bool Digits(int& value, Expected expected) {
    Wanted = expected;
    return ReadDigits<kCount>(Text, At, value);
  }
};

// 0 for Sunday: the weekday of the date that `f` names.
inline unsigned WeekdayOf(const CivilFields& f) { return civil::WeekdayFromDays(DayOf(f.Year, f.Month, f.Day)); }

// Checks that `f` names a date and a time of day that exist and forms their
// instant, `offset_seconds` east of UTC, into `out`.
[[gnu::always_inline]] inline Problem FormTimestamp(const CivilFields& f, std::int64_t offset_seconds, Timestamp& out) {
  if (f.Month < 1 || f.Month > 12) return Problem::Month;
  if (f.Day < 1 || f.Day > static_cast<int>(civil::DaysInMonth(f.Year, static_cast<unsigned>(f.Month)))) {
    return Problem::Day;
  }
  if (f.Hour > 23) return Problem::Hour;
  if (f.Minute > 59) return Problem::Minute;
  if (f.Second > 60) return Problem::Second;
  const bool leap = f.Second == 60;
  // From the day, which a reader that checks the weekday computes too.
  const std::int64_t seconds = DayOf(f.Year, f.Month, f.Day) * kSecondsPerDay + f.Hour * kSecondsPerHour +
                               f.Minute * kSecondsPerMinute + (leap ? 59 : f.Second) - offset_seconds;
  std::int64_t nanoseconds = f.Nanoseconds;
  if (leap) {
    const civil::DayAndSecond split = civil::SplitDays(seconds);
    if (split.Second != kSecondsPerDay - 1 || !EndsWithLeapSecond(split.Days)) return Problem::LeapSecond;
    nanoseconds = kNanosecondsPerSecond - 1;
  }
  const Int128 instant = Int128{seconds} * kNanosecondsPerSecond + nanoseconds;
  if (instant < std::numeric_limits<std::int64_t>::min() || instant > std::numeric_limits<std::int64_t>::max()) {
    return Problem::OutsideRange;
  }
  out = {TimePoint(std::chrono::nanoseconds(static_cast<std::int64_t>(instant))), std::chrono::seconds(offset_seconds)};
  return Problem::None;
}

// The refusal of a strict reader whose errors for Problem::Expected, a field
// that does not exist, a weekday, a zone or an offset, and an instant outside
// the range are these.
struct StrictErrors {
  ParseError Layout;
  ParseError Nonexistent;
  ParseError Weekday;
  ParseError Zone;
  ParseError OutsideRange;
};

constexpr ParseError ErrorOf(Problem problem, const StrictErrors& errors) {
  switch (problem) {
    case Problem::None:
      return ParseError::None;
    case Problem::Expected:
      return errors.Layout;
    case Problem::Weekday:
      return errors.Weekday;
    case Problem::Zone:
    case Problem::OffsetHours:
    case Problem::OffsetMinutes:
      return errors.Zone;
    case Problem::OutsideRange:
      return errors.OutsideRange;
    default:
      return errors.Nonexistent;
  }
}

// The message of a strict reader's refusal: `head`, what `reading` found
// wrong (`expected` names what each Fault::Expected stands for), ": " and the
// text.
std::string StrictMessage(std::string_view head, const StrictReading& reading,
                          std::span<const std::string_view> expected, std::string_view text);

// The message of each strict reader's refusal of `text`, which it reads again
// (an RFC 850 year against the system clock).
std::string Iso8601StrictMessage(std::string_view text);
std::string HttpStrictMessage(std::string_view text);
std::string MailDateMessage(std::string_view text);
std::string DurationStrictMessage(std::string_view text);

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_TEXT_STRICT_READING_H_
