// Internal: proleptic Gregorian calendar arithmetic on day and second counts,
// as constexpr integer code without libc. Every function is exact for any
// count a time point can produce (years 1677 to 2262) and far beyond: the
// intermediates are noted with their ranges for |days| < 2^40, except where a
// narrower range is stated.
#ifndef ORVIK_CHRONO_SRC_CALENDAR_CIVIL_H_
#define ORVIK_CHRONO_SRC_CALENDAR_CIVIL_H_

#include <cstdint>
#include <ctime>

#include "calendar/time_units.h"

namespace orvik::chrono::internal::civil {

// Days from 0000-03-01 to 1970-01-01: counting from March puts the leap day
// at the end of each year.
inline constexpr std::int64_t kEpochShift = 719468;
inline constexpr std::int64_t kDaysPerEra = 146097;  // 400 years

struct Date {
  std::int64_t Year;
  unsigned Month;  // 1 to 12
  unsigned Day;    // 1 to 31
};

// Floor division.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b < 0 ? 1 : 0); }

// DaysFromCivil counts years from kYearShift years before year 0, a whole
// number of 400-year eras, so that every intermediate is unsigned for every
// year from -kYearShift on: far beyond what an int tm_year can hold.
inline constexpr std::int64_t kYearShift = std::int64_t{400} << 23;

// Days since 1970-01-01 of a date; month 1 to 12, day 1 to 31 (a day past the
// month's end counts on into the next month). Years from -kYearShift to
// kYearShift. By the Euclidean affine functions of Neri and Schneider: two
// multiplications and shifts rather than signed divisions.
constexpr std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  const bool january_or_february = month <= 2;
  // The year from March 1st, so that a leap day ends it.
  const std::uint64_t march_year = static_cast<std::uint64_t>(year + kYearShift) - (january_or_february ? 1 : 0);
  const std::uint64_t march_month = january_or_february ? month + 12 : month;  // [3, 14]
  const std::uint64_t century = march_year / 100;
  // 365 days a year, a leap day every fourth year but not every hundredth
  // unless every four hundredth: 1461 / 4 = 365.25.
  const std::uint64_t days_before_year = 1461 * march_year / 4 - century + century / 4;
  const std::uint64_t days_before_month = (979 * march_month - 2919) / 32;  // [0, 337] from March 1st
  constexpr std::uint64_t kEpoch = 1461 * (1969 + kYearShift) / 4 - (1969 + kYearShift) / 100 +
                                   (1969 + kYearShift) / 400 + (979 * 13 - 2919) / 32;  // 1970-01-01
  return static_cast<std::int64_t>(days_before_year + days_before_month + day - 1 - kEpoch);
}

// CivilFromDays counts on a calendar that starts on March 1st of the year
// -32800, a whole number of 400-year eras before 1970, so that every
// intermediate is unsigned and fits 32 bits: it is exact for days from
// kMinCivilDays to kMaxCivilDays (years -32800 to about 2.9 million).
inline constexpr std::int64_t kCivilShiftEras = 82;
inline constexpr std::int64_t kCivilShiftDays = kEpochShift + kCivilShiftEras * kDaysPerEra;
inline constexpr std::int64_t kMinCivilDays = -kCivilShiftDays;
inline constexpr std::int64_t kMaxCivilDays = (UINT32_MAX - 3) / 4 - kCivilShiftDays;

// A date with its day of the year.
struct CivilDay {
  Date Civil;
  unsigned DayOfYear;  // 0 for January 1st
};

// The date of a day count, by the Euclidean affine functions of Neri and
// Schneider: each step is a multiplication and a shift rather than a division.
constexpr CivilDay CivilDayFromDays(std::int64_t days) {
  constexpr auto kEraDays = static_cast<std::uint32_t>(kDaysPerEra);
  const auto shifted = static_cast<std::uint32_t>(days + kCivilShiftDays);
  const std::uint32_t quarter_days = 4 * shifted + 3;
  const std::uint32_t century = quarter_days / kEraDays;
  const std::uint32_t quarter_days_of_century = quarter_days % kEraDays / 4 * 4 + 3;
  const std::uint64_t scaled = std::uint64_t{2939745} * quarter_days_of_century;
  const auto year_of_century = static_cast<std::uint32_t>(scaled >> 32U);              // [0, 99]
  const std::uint32_t day_of_year = static_cast<std::uint32_t>(scaled) / 2939745 / 4;  // [0, 365] from March
  const std::uint32_t month_and_day = 2141 * day_of_year + 197913;
  const std::uint32_t month = month_and_day >> 16U;                // [3, 14]
  const std::uint32_t day = (month_and_day & 0xFFFFU) / 2141 + 1;  // [1, 31]
  const bool january_or_february = day_of_year >= 306;
  const std::int64_t year = std::int64_t{100} * century + year_of_century - 400 * kCivilShiftEras;
  // The year from March holds the February before it, so a leap day falls
  // before March 1st when the year divides by 4, and by 400 at a century:
  // the shift is a whole number of eras, so the shifted counts tell.
  // Flags as 0 or 1 combined with &, not &&: random years would mispredict a branch.
  const unsigned leap = (year_of_century % 4 == 0 ? 1U : 0U) & (year_of_century != 0 || century % 4 == 0 ? 1U : 0U);
  const unsigned day_of_civil_year = january_or_february ? day_of_year - 306 : day_of_year + 59 + leap;
  return {{year + (january_or_february ? 1 : 0), january_or_february ? month - 12 : month, day}, day_of_civil_year};
}

constexpr Date CivilFromDays(std::int64_t days) { return CivilDayFromDays(days).Civil; }

// 0 for Sunday; 1970-01-01 was a Thursday, and the first day that
// CivilFromDays takes a Wednesday. Days from kMinCivilDays on.
constexpr unsigned WeekdayFromDays(std::int64_t days) {
  return static_cast<unsigned>(static_cast<std::uint64_t>(days - kMinCivilDays + 3) % 7);
}

constexpr bool IsLeapYear(std::int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

// Month 1 to 12.
constexpr unsigned DaysInMonth(std::int64_t year, unsigned month) {
  constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Seconds since the epoch of a UTC date and time of day in POSIX time (no
// leap seconds); month 1 to 12, the other fields any int, carrying into the
// next unit in either direction (day 0 is the last day of the month before,
// hour 24 midnight of the next day). Years from -kYearShift to kYearShift.
constexpr std::int64_t SecondsFromCivil(std::int64_t year, unsigned month, int day, int hour, int minute, int second) {
  const std::int64_t days = DaysFromCivil(year, month, 1) + day - 1;
  return days * kSecondsPerDay + std::int64_t{hour} * kSecondsPerHour + std::int64_t{minute} * kSecondsPerMinute +
         second;
}

// Seconds since the epoch of broken-down UTC fields, as timegm computes them
// in POSIX time: fields out of range carry into the next unit, in either
// direction (month 13 is January of the next year). Exact for every value of
// every int field.
constexpr std::int64_t SecondsFromFields(const std::tm& tm) {
  // Months since January of year -kYearShift, never negative: floor division
  // is unsigned division.
  const auto months = static_cast<std::uint64_t>(std::int64_t{tm.tm_year} * 12 + tm.tm_mon + (kYearShift + 1900) * 12);
  const std::uint64_t years = months / 12;
  const auto month = static_cast<unsigned>(months - years * 12) + 1;
  return SecondsFromCivil(static_cast<std::int64_t>(years) - kYearShift, month, tm.tm_mday, tm.tm_hour, tm.tm_min,
                          tm.tm_sec);
}

// libc's own abbreviation text for UTC, where gmtime_r points tm_zone: a
// std::tm kept after this library is unloaded still points at valid text.
inline const char* UtcAbbreviation() {
  static const char* const abbreviation = [] {
    std::tm tm{};
    const std::time_t zero = 0;
    gmtime_r(&zero, &tm);
    return tm.tm_zone;
  }();
  return abbreviation;
}

// Sets every member of `out` to the UTC calendar time of a seconds count in
// POSIX time (no leap seconds), as gmtime_r sets them outside the zones that
// count leap seconds. Member by member, so that no temporary std::tm is copied.
// Seconds from kMinCivilDays * kSecondsPerDay on; years must fit tm_year.
inline void UtcFromSeconds(std::int64_t seconds, std::tm& out) {
  // Counted from the first day CivilFromDays takes, the division is unsigned.
  const auto shifted = static_cast<std::uint64_t>(seconds + kCivilShiftDays * kSecondsPerDay);
  const std::int64_t days = static_cast<std::int64_t>(shifted / kSecondsPerDay) - kCivilShiftDays;
  const auto second_of_day = static_cast<int>(shifted % kSecondsPerDay);  // [0, 86399]
  const CivilDay civil_day = CivilDayFromDays(days);
  const Date& date = civil_day.Civil;
  out.tm_sec = second_of_day % static_cast<int>(kSecondsPerMinute);
  out.tm_min = second_of_day / static_cast<int>(kSecondsPerMinute) % static_cast<int>(kMinutesPerHour);
  out.tm_hour = second_of_day / static_cast<int>(kSecondsPerHour);
  out.tm_mday = static_cast<int>(date.Day);
  out.tm_mon = static_cast<int>(date.Month) - 1;
  out.tm_year = static_cast<int>(date.Year - 1900);
  out.tm_wday = static_cast<int>(WeekdayFromDays(days));
  out.tm_yday = static_cast<int>(civil_day.DayOfYear);
  out.tm_isdst = 0;
  out.tm_gmtoff = 0;
  out.tm_zone = UtcAbbreviation();
}

static_assert(DaysFromCivil(1970, 1, 1) == 0);
static_assert(DaysFromCivil(2000, 3, 1) == 11017);
static_assert(DaysFromCivil(1677, 9, 21) == -106752);
static_assert(CivilFromDays(-1).Year == 1969 && CivilFromDays(-1).Month == 12 && CivilFromDays(-1).Day == 31);
static_assert(CivilFromDays(11016).Month == 2 && CivilFromDays(11016).Day == 29);
static_assert(CivilFromDays(-106752).Year == 1677 && CivilFromDays(-106752).Month == 9);
static_assert(CivilFromDays(106751).Year == 2262 && CivilFromDays(106751).Day == 11);
static_assert(CivilFromDays(kMinCivilDays).Year == -32800 && CivilFromDays(kMinCivilDays).Month == 3);
static_assert(DaysInMonth(2000, 2) == 29 && DaysInMonth(1900, 2) == 28 && DaysInMonth(2024, 12) == 31);
static_assert(WeekdayFromDays(0) == 4 && WeekdayFromDays(-1) == 3);
static_assert(CivilDayFromDays(11016).DayOfYear == 59 && CivilDayFromDays(11017).DayOfYear == 60);  // 2000, leap
static_assert(CivilDayFromDays(-25508).DayOfYear == 59 && CivilDayFromDays(-1).DayOfYear == 364);   // 1900, not
static_assert(CivilDayFromDays(0).DayOfYear == 0 && CivilDayFromDays(11322).DayOfYear == 365);

}  // namespace orvik::chrono::internal::civil

#endif  // ORVIK_CHRONO_SRC_CALENDAR_CIVIL_H_
