// Internal: proleptic Gregorian calendar arithmetic on day and second counts,
// as constexpr integer code.
//
// Both directions are the Euclidean affine functions of Cassio Neri and
// Lorenz Schneider's "Euclidean affine functions and their application to
// calendar algorithms", from which their constants come: multiplications and
// shifts rather than signed divisions. Both count on one calendar, whose years
// start on March 1st so that a leap day ends its year, from the March of the
// year -kShiftYears, a whole number of 400-year eras before 1970: every count
// on it is unsigned and every intermediate fits 32 bits, its range noted
// beside it, for days from -kShiftDays (year -32800) to 2^30 - kShiftDays
// (about year 2.9 million).
#ifndef ORVIK_CHRONO_SRC_CIVIL_CIVIL_H_
#define ORVIK_CHRONO_SRC_CIVIL_CIVIL_H_

#include <cstdint>

#include "civil/time_units.h"

namespace orvik::chrono::internal::civil {

inline constexpr std::int64_t kDaysPerEra = 146097;  // 400 years
inline constexpr std::int64_t kShiftEras = 82;
inline constexpr std::int64_t kShiftYears = 400 * kShiftEras;
// 719468 days from 0000-03-01 to 1970-01-01, and the eras before year 0.
inline constexpr std::int64_t kShiftDays = 719468 + kShiftEras * kDaysPerEra;

// 0 for Sunday; 1970-01-01 was a Thursday, and day -kShiftDays a Wednesday,
// so the days since then plus 3 leave the weekday by 7. The remainder by 7 by
// multiplication alone: a count times ceil(2^64 / 7),
// which is (2^64 + 5) / 7, leaves modulo 2^64 its remainder r by 7 times that
// multiplier plus 5 for every 7 of the quotient, so its top three bits are
// floor(8r / 7 + e) with e under 1 / 7 for any count under 2^61 / 40: r.
constexpr unsigned WeekdayFromDays(std::int64_t days) {
  constexpr std::uint64_t kSeventh = 0xFFFFFFFFFFFFFFFFU / 7 + 1;
  const std::uint32_t count = static_cast<std::uint32_t>(days + kShiftDays) + 3;  // [3, 2^30 + 3)
  return static_cast<unsigned>((std::uint64_t{count} * kSeventh) >> 61U);
}

struct Date {
  std::int64_t Year;
  unsigned Month;      // 1 to 12
  unsigned Day;        // 1 to 31
  unsigned DayOfYear;  // 0 for January 1st
  // Year is 100 * Century + YearOfCentury, YearOfCentury from 0 to 99: a
  // year from 0 to 9999 in its two pairs of digits.
  std::int64_t Century;
  unsigned YearOfCentury;
};

// The date of a day count since 1970-01-01. The century and the year of the
// century are kept in 64 bits, as tables of digits are indexed by them.
constexpr Date CivilFromDays(std::int64_t days) {
  constexpr auto kEraDays = static_cast<std::uint32_t>(kDaysPerEra);
  const auto shifted = static_cast<std::uint32_t>(days + kShiftDays);  // [0, 2^30)
  const std::uint32_t quarter_days = 4 * shifted + 3;
  std::uint64_t century = quarter_days / kEraDays;                                    // [0, 29398]
  const std::uint32_t quarter_days_of_century = quarter_days % kEraDays / 4 * 4 + 3;  // [3, 146099]
  const std::uint64_t scaled = std::uint64_t{2939745} * quarter_days_of_century;
  std::uint64_t year_of_century = scaled >> 32U;                                       // [0, 99]
  const std::uint32_t day_of_year = static_cast<std::uint32_t>(scaled) / 2939745 / 4;  // [0, 365] from March
  const std::uint32_t month_and_day = 2141 * day_of_year + 197913;                     // [197913, 979378]
  std::uint32_t month = month_and_day >> 16U;                                          // [3, 14]
  const std::uint32_t day = (month_and_day & 0xFFFFU) / 2141 + 1;                      // [1, 31]
  unsigned day_of_civil_year = 0;
  if (day_of_year < 306) [[likely]] {
    // The year from March holds the February before it, so a leap day falls
    // before March 1st when the year divides by 4, and by 400 at a century:
    // the shift is a whole number of eras, so the shifted counts tell, and
    // a century's year divides by 400 where its number divides by 4. Three
    // years in four are told by the first test.
    const bool leap = (year_of_century & 3U) == 0 && (year_of_century != 0 || (century & 3U) == 0);
    day_of_civil_year = day_of_year + 59 + (leap ? 1U : 0U);
  } else {
    // January and February, of the year after the one from March.
    day_of_civil_year = day_of_year - 306;
    month -= 12;
    if (++year_of_century == 100) {
      year_of_century = 0;
      ++century;
    }
  }
  const std::int64_t civil_century = static_cast<std::int64_t>(century) - kShiftYears / 100;
  return {100 * civil_century + static_cast<std::int64_t>(year_of_century),
          month,
          day,
          day_of_civil_year,
          civil_century,
          static_cast<unsigned>(year_of_century)};
}

// A seconds count since the epoch as its day and the second of that day.
struct DayAndSecond {
  std::int64_t Days;
  int Second;  // [0, 86399]
};

// Counted from the calendar's first day, the division is unsigned.
constexpr DayAndSecond SplitDays(std::int64_t seconds) {
  const auto shifted = static_cast<std::uint64_t>(seconds + kShiftDays * kSecondsPerDay);
  return {static_cast<std::int64_t>(shifted / kSecondsPerDay) - kShiftDays, static_cast<int>(shifted % kSecondsPerDay)};
}

struct MinuteAndSecond {
  unsigned Minute;  // [0, 59]
  unsigned Second;  // [0, 59]
};

// The minute and second of a second of the hour, [0, 3599], by multiply-shift:
// 2185 / 2^17 exceeds 1 / 60 by 28 / (60 * 2^17), which keeps every quotient
// whole (3599 * 28 < 2^17).
constexpr MinuteAndSecond SplitHour(unsigned second_of_hour) {
  const unsigned minute = second_of_hour * 2185U >> 17U;
  return {minute, second_of_hour - minute * static_cast<unsigned>(kSecondsPerMinute)};
}

struct TimeOfDay {
  unsigned Hour;    // [0, 23]
  unsigned Minute;  // [0, 59]
  unsigned Second;  // [0, 59]
};

// The hour, minute and second of a second of the day, [0, 86399], by
// multiply-shift: 37283 / 2^27 exceeds 1 / 3600 by 1072 / (3600 * 2^27),
// which keeps the hours of a day's seconds whole (86399 * 1072 < 2^27).
constexpr TimeOfDay TimeOfDayFromSeconds(unsigned second_of_day) {
  const unsigned hour = second_of_day * 37283U >> 27U;  // under 2^32
  const MinuteAndSecond rest = SplitHour(second_of_day - hour * static_cast<unsigned>(kSecondsPerHour));
  return {hour, rest.Minute, rest.Second};
}

// Seconds since the epoch of a UTC date and time of day in POSIX time (no
// leap seconds). Every field carries into the next unit, in either direction:
// month 13 is January of the next year, day 0 the last day of the month
// before, hour 24 midnight of the next day. Years, with the months carried
// into them, from -kShiftYears + 1 to 2.9 million.
constexpr std::int64_t SecondsFromCivil(std::int64_t year, int month, int day, int hour, int minute, int second) {
  // Months since the calendar's first March, then years and months from March.
  const auto months = static_cast<std::uint32_t>((year + kShiftYears) * 12 + month - 3);
  const std::uint32_t march_year = months / 12;       // [0, 2.9M]
  const std::uint32_t march_month = months % 12 + 3;  // [3, 14]
  // 365 days a year, a leap day every fourth year but not every hundredth
  // unless every four hundredth: 1461 / 4 = 365.25.
  const std::uint32_t days_before_year = 1461 * march_year / 4 - march_year / 100 + march_year / 400;  // [0, 2^30)
  const std::uint32_t days_before_month = (979 * march_month - 2919) / 32;  // [0, 337] from March 1st
  const std::int64_t days = std::int64_t{days_before_year} + days_before_month - kShiftDays + day - 1;
  return days * kSecondsPerDay + std::int64_t{hour} * kSecondsPerHour + std::int64_t{minute} * kSecondsPerMinute +
         second;
}

constexpr bool IsLeapYear(std::int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

// The days from 1970-01-01 to the date, its fields carried as SecondsFromCivil
// carries them (day 1 of month 13 is January 1st of the next year).
constexpr std::int64_t DayOf(std::int64_t year, int month, int day) {
  return SecondsFromCivil(year, month, day, 0, 0, 0) / kSecondsPerDay;
}

// The days of `month` (1 to 12) of `year`: 30 or 31 alternating from March,
// as from August again, and February's 28 or 29.
constexpr unsigned DaysInMonth(std::int64_t year, unsigned month) {
  if (month == 2) return IsLeapYear(year) ? 29 : 28;
  return 30 + ((month ^ (month >> 3U)) & 1U);
}

static_assert(SecondsFromCivil(1970, 1, 1, 0, 0, 0) == 0 && DayOf(1969, 12, 31) == -1 && DayOf(2000, 3, 1) == 11017);
static_assert(DaysInMonth(2024, 2) == 29 && DaysInMonth(1900, 2) == 28 && DaysInMonth(2000, 2) == 29);
static_assert(DaysInMonth(2024, 1) == 31 && DaysInMonth(2024, 4) == 30 && DaysInMonth(2024, 7) == 31);
static_assert(DaysInMonth(2024, 8) == 31 && DaysInMonth(2024, 9) == 30 && DaysInMonth(2024, 12) == 31);
static_assert(SecondsFromCivil(2000, 3, 1, 0, 0, 0) == 11017 * kSecondsPerDay);
static_assert(SecondsFromCivil(1969, 13, 0, 24, 0, -1) == -1);  // 1969-12-31T24:00:-1
static_assert(CivilFromDays(-1).Year == 1969 && CivilFromDays(-1).Month == 12 && CivilFromDays(-1).Day == 31);
static_assert(CivilFromDays(11016).Month == 2 && CivilFromDays(11016).Day == 29);
static_assert(CivilFromDays(-106752).Year == 1677 && CivilFromDays(-106752).Month == 9);
static_assert(CivilFromDays(106751).Year == 2262 && CivilFromDays(106751).Day == 11);
static_assert(CivilFromDays(-kShiftDays).Year == -kShiftYears && CivilFromDays(-kShiftDays).Month == 3);
static_assert(WeekdayFromDays(0) == 4 && WeekdayFromDays(-1) == 3 && WeekdayFromDays(-kShiftDays) == 3);
static_assert(WeekdayFromDays((1 << 30) - kShiftDays - 1) == static_cast<unsigned>(((1 << 30) + 2) % 7));
static_assert(TimeOfDayFromSeconds(86399).Hour == 23 && TimeOfDayFromSeconds(86399).Minute == 59 &&
              TimeOfDayFromSeconds(86399).Second == 59 && TimeOfDayFromSeconds(3599).Minute == 59 &&
              TimeOfDayFromSeconds(3600).Hour == 1 && TimeOfDayFromSeconds(3600).Second == 0);
static_assert(CivilFromDays(11016).DayOfYear == 59 && CivilFromDays(11017).DayOfYear == 60);  // 2000, leap
static_assert(CivilFromDays(-25508).DayOfYear == 59 && CivilFromDays(-1).DayOfYear == 364);   // 1900, not
static_assert(CivilFromDays(0).DayOfYear == 0 && CivilFromDays(11322).DayOfYear == 365);

}  // namespace orvik::chrono::internal::civil

#endif  // ORVIK_CHRONO_SRC_CIVIL_CIVIL_H_
