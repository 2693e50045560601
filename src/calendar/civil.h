// Internal: proleptic Gregorian calendar arithmetic on day and second counts,
// as constexpr integer code without libc. Every function is exact for any
// count a time point can produce (years 1677 to 2262) and far beyond: the
// intermediates are noted with their ranges for |days| < 2^40.
#ifndef ORVIK_CHRONO_SRC_CALENDAR_CIVIL_H_
#define ORVIK_CHRONO_SRC_CALENDAR_CIVIL_H_

#include <cstdint>
#include <ctime>

#include "calendar/time_units.h"

namespace orvik::chrono {
namespace internal::civil {

// The parsers still name the unit from here.
using internal::kSecondsPerDay;

// Days from 0000-03-01 to 1970-01-01: counting from March puts the leap day
// at the end of each year.
inline constexpr std::int64_t kEpochShift = 719468;
inline constexpr std::int64_t kDaysPerEra = 146097;  // 400 years

struct Date {
  std::int64_t year;
  unsigned month;  // 1 to 12
  unsigned day;    // 1 to 31
};

// Floor division and its non-negative remainder.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b < 0 ? 1 : 0); }
constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b) { return a - FloorDiv(a, b) * b; }

// Days since 1970-01-01 of a date; month 1 to 12, day 1 to 31 (a day past the
// month's end counts on into the next month).
constexpr std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = FloorDiv(y, 400);
  const auto year_of_era = static_cast<unsigned>(y - era * 400);                                      // [0, 399]
  const unsigned month_from_march = month > 2 ? month - 3 : month + 9;                                // [0, 11]
  const unsigned day_of_year = (153 * month_from_march + 2) / 5 + day - 1;                            // [0, 365]
  const unsigned day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;  // [0, 146096]
  return era * kDaysPerEra + day_of_era - kEpochShift;
}

constexpr Date CivilFromDays(std::int64_t days) {
  const std::int64_t shifted = days + kEpochShift;
  const std::int64_t era = FloorDiv(shifted, kDaysPerEra);
  const auto day_of_era = static_cast<unsigned>(shifted - era * kDaysPerEra);  // [0, 146096]
  const unsigned year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;                // [0, 399]
  const unsigned day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);  // [0, 365]
  const unsigned month_from_march = (5 * day_of_year + 2) / 153;                                        // [0, 11]
  const unsigned day = day_of_year - (153 * month_from_march + 2) / 5 + 1;                              // [1, 31]
  const unsigned month = month_from_march < 10 ? month_from_march + 3 : month_from_march - 9;           // [1, 12]
  return {era * 400 + year_of_era + (month <= 2 ? 1 : 0), month, day};
}

// 0 for Sunday; 1970-01-01 was a Thursday.
constexpr unsigned WeekdayFromDays(std::int64_t days) { return static_cast<unsigned>(FloorMod(days + 4, 7)); }

constexpr bool IsLeapYear(std::int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

// Month 1 to 12.
constexpr unsigned DaysInMonth(std::int64_t year, unsigned month) {
  constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// 0 for January 1st.
constexpr unsigned DayOfYear(const Date& date) {
  constexpr unsigned kBeforeMonth[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const unsigned leap = date.month > 2 && IsLeapYear(date.year) ? 1 : 0;
  return kBeforeMonth[date.month - 1] + leap + date.day - 1;
}

// Seconds since the epoch of broken-down UTC fields, as timegm computes them
// in POSIX time (no leap seconds): fields out of range carry into the next
// unit, in either direction (month 13 is January of the next year, day 0 the
// last day of the month before, hour 24 midnight of the next day). Exact for
// every value of every int field.
constexpr std::int64_t SecondsFromFields(const std::tm& tm) {
  const std::int64_t months = std::int64_t{tm.tm_year} * 12 + tm.tm_mon;  // since January 1900
  const std::int64_t year = 1900 + FloorDiv(months, 12);
  const auto month = static_cast<unsigned>(FloorMod(months, 12)) + 1;
  const std::int64_t days = DaysFromCivil(year, month, 1) + tm.tm_mday - 1;
  return days * kSecondsPerDay + std::int64_t{tm.tm_hour} * kSecondsPerHour +
         std::int64_t{tm.tm_min} * kSecondsPerMinute + tm.tm_sec;
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

// UTC calendar time of a seconds count in POSIX time (no leap seconds), every
// member as gmtime_r sets it outside the zones that count leap seconds. Years
// must fit tm_year.
inline std::tm UtcFromSeconds(std::int64_t seconds) {
  const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const auto second_of_day = static_cast<int>(seconds - days * kSecondsPerDay);  // [0, 86399]
  const Date date = CivilFromDays(days);
  std::tm tm{};
  tm.tm_year = static_cast<int>(date.year - 1900);
  tm.tm_mon = static_cast<int>(date.month) - 1;
  tm.tm_mday = static_cast<int>(date.day);
  tm.tm_hour = second_of_day / static_cast<int>(kSecondsPerHour);
  tm.tm_min = second_of_day / static_cast<int>(kSecondsPerMinute) % static_cast<int>(kMinutesPerHour);
  tm.tm_sec = second_of_day % static_cast<int>(kSecondsPerMinute);
  tm.tm_wday = static_cast<int>(WeekdayFromDays(days));
  tm.tm_yday = static_cast<int>(DayOfYear(date));
  tm.tm_zone = UtcAbbreviation();
  return tm;
}

static_assert(DaysFromCivil(1970, 1, 1) == 0);
static_assert(DaysFromCivil(2000, 3, 1) == 11017);
static_assert(DaysFromCivil(1677, 9, 21) == -106752);
static_assert(CivilFromDays(-1).year == 1969 && CivilFromDays(-1).month == 12 && CivilFromDays(-1).day == 31);
static_assert(CivilFromDays(11016).month == 2 && CivilFromDays(11016).day == 29);
static_assert(DaysInMonth(2000, 2) == 29 && DaysInMonth(1900, 2) == 28 && DaysInMonth(2024, 12) == 31);
static_assert(WeekdayFromDays(0) == 4 && WeekdayFromDays(-1) == 3);

}  // namespace internal::civil

// The parsers still name the calendar arithmetic from here.
namespace civil = internal::civil;

}  // namespace orvik::chrono

#endif  // ORVIK_CHRONO_SRC_CALENDAR_CIVIL_H_
