// Internal: what the strict readers share: the fields that a text names, the
// layouts of fixed width that they check a text against, the check that the
// fields name a time that exists and the instant that they form, and what a
// reading found wrong, for the message of its refusal.
#ifndef ORVIK_CHRONO_SRC_TEXT_STRICT_READING_H_
#define ORVIK_CHRONO_SRC_TEXT_STRICT_READING_H_

#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

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

// A layout of fixed width, whose every byte stands for itself but
//   y o d h i s  a digit of the year, month, day, hour, minutes or seconds;
//   ?            'T', 't' or ' ', between a date and a time of day;
//   _            ' ' or a digit, a day of one digit padded with a space;
//   n            a byte of a month's abbreviation, which the reader looks up.
// After names what comes before the layout in a text, for messages.
struct Layout {
  std::string_view Text;
  std::string_view After;
};

// What a strict reading found wrong first.
enum class Problem : std::uint8_t {
  None,
  Expected,  // the text departs from its layout at ReadingFault::At
  Month,     // a field that does not exist
  Day,
  Hour,
  Minute,
  Second,
  LeapSecond,     // second 60 where UTC inserted none
  OffsetHours,    // 24 or more
  OffsetMinutes,  // 60 or more
  Weekday,        // the weekday written at At, Size bytes, is not the date's
  Zone,           // the zone written at At, Size bytes, has no known offset
  OutsideRange,   // the instant is outside the time point range
};

struct ReadingFault {
  Problem What = Problem::None;
  // What was expected at At: byte Index of In, or else the text Expected.
  const Layout* In = nullptr;
  const char* Expected = "";
  std::uint32_t Index = 0;
  std::uint32_t At = 0;
  std::uint32_t Size = 0;  // of a name or zone at At
};

// What a strict reader read of a text, as far as it read it.
struct StrictReading {
  CivilFields Fields;
  int OffsetHours = 0;
  int OffsetMinutes = 0;
  ReadingFault Fault;

  // A departure from the text's layout at `at`: false, for the reader to return.
  bool Expect(const char* expected, std::size_t at, std::size_t size = 0) {
    Fault = {Problem::Expected, nullptr, expected, 0, static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(size)};
    return false;
  }
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

// Whether byte `c` fits byte `pattern` of a Layout; a digit is added to its
// field.
[[gnu::always_inline]] inline bool Fits(char pattern, char c, CivilFields& f) {
  const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
  const auto add = [digit](int& field) {
    field = field * 10 + static_cast<int>(digit);
    return digit < 10;
  };
  switch (pattern) {
    case 'y':
      return add(f.Year);
    case 'o':
      return add(f.Month);
    case 'd':
      return add(f.Day);
    case 'h':
      return add(f.Hour);
    case 'i':
      return add(f.Minute);
    case 's':
      return add(f.Second);
    case '?':
      return c == 'T' || c == 't' || c == ' ';
    case '_':
      return c == ' ' || add(f.Day);
    case 'n':
      return static_cast<unsigned char>((c | 0x20) - 'a') < 26;
    default:
      return c == pattern;
  }
}

// Reads kLayout at `at` into `r.Fields` and moves past it; false, with the
// fault at the first byte that does not fit, where one does not. A text long
// enough is checked whole before its first misfit is looked for.
template <const Layout& kLayout>
[[gnu::always_inline]] inline bool ReadLayout(std::string_view text, std::size_t& at, StrictReading& r) {
  constexpr std::string_view kPattern = kLayout.Text;
  if (text.size() - at >= kPattern.size()) {
    bool fits = true;
    // One step a byte, each with its pattern byte known to the compiler.
    [&]<std::size_t... kIndex>(std::index_sequence<kIndex...>) {
      ((fits &= Fits(kPattern[kIndex], text[at + kIndex], r.Fields)), ...);
    }
    (std::make_index_sequence<kPattern.size()>());
    if (fits) {
      at += kPattern.size();
      return true;
    }
  }
  CivilFields scratch;
  std::size_t i = 0;
  while (at + i < text.size() && Fits(kPattern[i], text[at + i], scratch)) ++i;
  r.Fault = {Problem::Expected, &kLayout, "", static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(at + i), 0};
  return false;
}

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
  const std::int64_t seconds =
      civil::SecondsFromCivil(f.Year, f.Month, f.Day, f.Hour, f.Minute, leap ? 59 : f.Second) - offset_seconds;
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

// The refusal of a strict reader whose errors for a departure from the
// layout, a field that does not exist, a weekday, a zone or an offset, and an
// instant outside the range are these.
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
// wrong, ": " and the text.
std::string StrictMessage(std::string_view head, const StrictReading& reading, std::string_view text);

// The message of each strict reader's refusal of `text`, which it reads again
// (an RFC 850 year against the system clock).
std::string Iso8601StrictMessage(std::string_view text);
std::string HttpStrictMessage(std::string_view text);
std::string MailDateMessage(std::string_view text);
std::string DurationStrictMessage(std::string_view text);

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_TEXT_STRICT_READING_H_
