// Internal: the fields of a date and a time of day, the rules that make them
// exist (leap seconds included) and an offset valid, and the instant that they
// name with it.
#ifndef ORVIK_CHRONO_SRC_CIVIL_INSTANT_H_
#define ORVIK_CHRONO_SRC_CIVIL_INSTANT_H_

#include <orvik/chrono/chrono.h>

#include <array>
#include <chrono>
#include <cstdint>

#include "civil/civil.h"
#include "civil/leap_seconds.h"
#include "civil/time_units.h"

namespace orvik::chrono::internal {

// A date and time of day as a text wrote them, each field in an int: the
// strict readers take at most four digits a field, and cap a longer year.
struct CivilFields {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Nanoseconds = 0;
};

// Why a date, a time of day and an offset name no instant, or why their
// text names none: Expected and Zone are found by a reading of the text.
enum class Problem : std::uint8_t {
  None,
  Expected,  // the text departs from its layout
  Month,     // a field that does not exist
  Day,
  Hour,
  Minute,
  Second,
  LeapSecond,         // second 60 where UTC inserted none
  OffsetHours,        // 24 or more
  OffsetMinutes,      // 60 or more
  OffsetWithSeconds,  // an offset with seconds, which no ISO 8601 text has
  Weekday,            // the weekday written is not the date's
  Zone,               // the zone written has no known offset
  OutsideRange,       // the instant is outside the time point range
  Nanosecond,         // a wall-clock time's nanosecond outside 0 to 999999999
};

// The offset of `hours` and `minutes`, west of UTC where `west`, in seconds
// east of UTC into `seconds`: an offset is under 24 hours, with minutes under 60.
constexpr Problem OffsetSeconds(int hours, int minutes, bool west, std::int64_t& seconds) {
  if (hours > 23) return Problem::OffsetHours;
  if (minutes > 59) return Problem::OffsetMinutes;
  seconds = (hours * kSecondsPerHour + minutes * kSecondsPerMinute) * (west ? -1 : 1);
  return Problem::None;
}

// Writes an offset of `seconds_east` (under 100 hours either way) as
// ISO 8601 writes it: +hh:mm, or +hh:mm:ss where it has seconds; in the basic
// layout (not `extended`) +hhmm or +hhmmss. Returns the end; at most
// sizeof("+hh:mm:ss") - 1 characters.
constexpr char* WriteOffset(char* out, std::int64_t seconds_east, bool extended) {
  const std::int64_t size = seconds_east < 0 ? -seconds_east : seconds_east;
  const auto two = [&out](std::int64_t value) {
    *out++ = static_cast<char>('0' + value / 10);
    *out++ = static_cast<char>('0' + value % 10);
  };
  *out++ = seconds_east < 0 ? '-' : '+';
  two(size / kSecondsPerHour);
  if (extended) *out++ = ':';
  two(size / kSecondsPerMinute % kMinutesPerHour);
  if (size % kSecondsPerMinute != 0) {
    if (extended) *out++ = ':';
    two(size % kSecondsPerMinute);
  }
  return out;
}

// Problem::Weekday where the fields name a date (`problem` is None or
// OutsideRange) whose day `days` is not on `weekday` (0 for Sunday);
// otherwise `problem`.
constexpr Problem CheckWeekday(Problem problem, std::int64_t days, int weekday) {
  const bool date = problem == Problem::None || problem == Problem::OutsideRange;
  return date && civil::WeekdayFromDays(days) != static_cast<unsigned>(weekday) ? Problem::Weekday : problem;
}

// 0 for Sunday: the weekday of the date that `f` names.
inline unsigned WeekdayOf(const CivilFields& f) { return civil::WeekdayFromDays(civil::DayOf(f.Year, f.Month, f.Day)); }

// Problem::None where `f` names a date and a time of day that exist (second
// 60 here too, which only a leap second of UTC may be), or the first field
// that does not.
constexpr Problem CheckFields(const CivilFields& f) {
  if (f.Month < 1 || f.Month > 12) return Problem::Month;
  if (f.Day < 1 || f.Day > static_cast<int>(civil::DaysInMonth(f.Year, static_cast<unsigned>(f.Month)))) {
    return Problem::Day;
  }
  if (f.Hour < 0 || f.Hour > 23) return Problem::Hour;
  if (f.Minute < 0 || f.Minute > 59) return Problem::Minute;
  if (f.Second < 0 || f.Second > 60) return Problem::Second;
  if (f.Nanoseconds < 0 || f.Nanoseconds >= kNanosecondsPerSecond) return Problem::Nanosecond;
  return Problem::None;
}

// The time point `seconds` + `nanoseconds` (0 to 999999999) after the epoch
// into `out`; false where it is outside the time point range. Before a
// negative count a second is moved from the seconds to the nanoseconds, so
// that a step overflows only where the instant does.
constexpr bool FormInstant(std::int64_t seconds, std::int64_t nanoseconds, TimePoint& out) {
  const std::int64_t borrowed = seconds < 0 ? 1 : 0;
  std::int64_t instant = 0;
  if (__builtin_mul_overflow(seconds + borrowed, kNanosecondsPerSecond, &instant) ||
      __builtin_add_overflow(instant, nanoseconds - borrowed * kNanosecondsPerSecond, &instant)) {
    return false;
  }
  out = TimePoint(std::chrono::nanoseconds(instant));
  return true;
}

// The fields of a text in a layout that writers use most, read at fixed
// places and found in their bounds: month 1 to 12, day 1 to 31, hour 0 to
// 23, minutes and seconds 0 to 59 (no leap second); the offset in seconds
// east of UTC, under a day either way.
struct InnerFields {
  unsigned Year;
  unsigned Month;
  unsigned Day;
  unsigned Hour;
  unsigned Minute;
  unsigned Second;
  unsigned Nanoseconds;  // 0 to 999999999
  std::int32_t Offset;
};

// The years whose every date and time of day, at any offset under a day,
// names an instant inside the time point range (1677-09-21 to 2262-04-11).
inline constexpr unsigned kFirstInnerYear = 1678;
inline constexpr unsigned kLastInnerYear = 2261;

// Each inner year: the days from 1970-01-01 to its first day, times 2, plus
// 1 for a leap year.
struct InnerYear {
  static constexpr std::int32_t Of(unsigned year) {
    return static_cast<std::int32_t>(civil::DayOf(year, 1, 1) * 2 + (civil::IsLeapYear(year) ? 1 : 0));
  }
  static constexpr std::int32_t FirstDay(std::int32_t entry) { return entry >> 1; }
  static constexpr unsigned Leap(std::int32_t entry) { return static_cast<unsigned>(entry) & 1U; }
};
inline constexpr auto kInnerYears = [] {
  std::array<std::int32_t, kLastInnerYear - kFirstInnerYear + 1> years{};
  for (unsigned year = kFirstInnerYear; year <= kLastInnerYear; ++year) {
    years.at(year - kFirstInnerYear) = InnerYear::Of(year);
  }
  return years;
}();
// For each month (1 to 12) of a common year and of a leap year, at 16 times
// the leap plus the month: the days before it, and 2^16 times its days.
inline constexpr auto kMonths = [] {
  constexpr unsigned kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  std::array<std::uint32_t, 32> months{};
  for (unsigned leap = 0; leap < 2; ++leap) {
    unsigned before = 0;
    for (unsigned month = 1; month <= 12; ++month) {
      const unsigned days = kDays[month] + (month == 2 ? leap : 0);
      months.at(16 * leap + month) = before | days << 16U;
      before += days;
    }
  }
  return months;
}();
static_assert(kMonths[16 + 12] == (335 | 31U << 16U) && kMonths[3] == (59 | 31U << 16U) && kMonths[18] >> 16U == 29);

// Forms the instant of `f` into `out`, and the days from 1970-01-01 to its
// date into `days`, where its day exists in its month and its year is inner;
// false otherwise, with nothing formed, for a reading that can tell why.
// Where it forms one, FormTimestamp forms the same.
[[gnu::always_inline]] inline bool FormInnerTimestamp(const InnerFields& f, Timestamp& out, std::int64_t& days) {
  const unsigned year = f.Year - kFirstInnerYear;
  if (year > kLastInnerYear - kFirstInnerYear) return false;
  const std::int32_t entry = kInnerYears[year];
  const std::uint32_t month = kMonths[16 * InnerYear::Leap(entry) + f.Month];
  if (f.Day > month >> 16U) return false;
  const unsigned day_of_year = (month & 0xFFFFU) + f.Day - 1;
  days = InnerYear::FirstDay(entry) + static_cast<std::int32_t>(day_of_year);
  const std::int64_t seconds =
      days * kSecondsPerDay + (f.Hour * kSecondsPerHour + f.Minute * kSecondsPerMinute + f.Second) - f.Offset;
  out.instant = TimePoint(std::chrono::nanoseconds(seconds * kNanosecondsPerSecond + f.Nanoseconds));
  out.offset = std::chrono::seconds(f.Offset);
  return true;
}

static_assert(kInnerYears[1970 - kFirstInnerYear] == 0 && kInnerYears[2000 - kFirstInnerYear] == 10957 * 2 + 1);

// Checks that `f` names a date and a time of day that exist and forms their
// instant, `offset_seconds` east of UTC, into `out`, and the count of days
// from 1970-01-01 to the date into `days` once the fields exist.
[[gnu::always_inline]] inline Problem FormCheckedTimestamp(const CivilFields& f, std::int64_t offset_seconds,
                                                           Timestamp& out, std::int64_t& days);

// FormInnerTimestamp of `f` where its fields are in their bounds and the
// offset under a day; false, with nothing formed, otherwise.
[[gnu::always_inline]] inline bool FormInner(const CivilFields& f, std::int64_t offset_seconds, Timestamp& out,
                                             std::int64_t& days) {
  // 1 where a field is below its bound, so that the bounds are checked at once.
  const auto below = [](std::int64_t value, std::int64_t bound) {
    return static_cast<std::uint64_t>(value) < static_cast<std::uint64_t>(bound) ? 1U : 0U;
  };
  const unsigned bounded = below(f.Month - 1, 12) & below(f.Day - 1, 31) & below(f.Hour, 24) & below(f.Minute, 60) &
                           below(f.Second, 60) & below(f.Nanoseconds, kNanosecondsPerSecond) &
                           below(offset_seconds + kSecondsPerDay - 1, 2 * kSecondsPerDay - 1);
  return bounded != 0 &&
         FormInnerTimestamp(
             {static_cast<unsigned>(f.Year), static_cast<unsigned>(f.Month), static_cast<unsigned>(f.Day),
              static_cast<unsigned>(f.Hour), static_cast<unsigned>(f.Minute), static_cast<unsigned>(f.Second),
              static_cast<unsigned>(f.Nanoseconds), static_cast<std::int32_t>(offset_seconds)},
             out, days);
}

[[gnu::always_inline]] inline Problem FormTimestamp(const CivilFields& f, std::int64_t offset_seconds, Timestamp& out,
                                                    std::int64_t& days) {
  if (FormInner(f, offset_seconds, out, days)) return Problem::None;
  if (const Problem problem = CheckFields(f); problem != Problem::None) return problem;
  return FormCheckedTimestamp(f, offset_seconds, out, days);
}

// FormTimestamp for fields that CheckFields found to exist.
[[gnu::always_inline]] inline Problem FormCheckedTimestamp(const CivilFields& f, std::int64_t offset_seconds,
                                                           Timestamp& out, std::int64_t& days) {
  const bool leap = f.Second == 60;
  days = civil::DayOf(f.Year, f.Month, f.Day);
  const std::int64_t seconds = days * kSecondsPerDay + f.Hour * kSecondsPerHour + f.Minute * kSecondsPerMinute +
                               (leap ? 59 : f.Second) - offset_seconds;
  std::int64_t nanoseconds = f.Nanoseconds;
  if (leap) {
    const civil::DayAndSecond split = civil::SplitDays(seconds);
    if (split.Second != kSecondsPerDay - 1 || !EndsWithLeapSecond(split.Days)) return Problem::LeapSecond;
    nanoseconds = kNanosecondsPerSecond - 1;
  }
  if (!FormInstant(seconds, nanoseconds, out.instant)) return Problem::OutsideRange;
  out.offset = std::chrono::seconds(offset_seconds);
  return Problem::None;
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_CIVIL_INSTANT_H_
