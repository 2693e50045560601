// Internal: the days of UTC that ended with a leap second, 23:59:60.
#ifndef ORVIK_CHRONO_SRC_CALENDAR_LEAP_SECONDS_H_
#define ORVIK_CHRONO_SRC_CALENDAR_LEAP_SECONDS_H_

#include <algorithm>
#include <array>
#include <cstdint>

#include "calendar/civil.h"
#include "calendar/time_units.h"

namespace orvik::chrono::internal {

constexpr std::int64_t DayOf(int year, int month, int day) {
  return civil::SecondsFromCivil(year, month, day, 0, 0, 0) / kSecondsPerDay;
}

// Every positive leap second that the IERS has announced; none was negative.
inline constexpr std::array<std::int64_t, 27> kLeapSecondDays = {
    DayOf(1972, 6, 30),  DayOf(1972, 12, 31), DayOf(1973, 12, 31), DayOf(1974, 12, 31), DayOf(1975, 12, 31),
    DayOf(1976, 12, 31), DayOf(1977, 12, 31), DayOf(1978, 12, 31), DayOf(1979, 12, 31), DayOf(1981, 6, 30),
    DayOf(1982, 6, 30),  DayOf(1983, 6, 30),  DayOf(1985, 6, 30),  DayOf(1987, 12, 31), DayOf(1989, 12, 31),
    DayOf(1990, 12, 31), DayOf(1992, 6, 30),  DayOf(1993, 6, 30),  DayOf(1994, 6, 30),  DayOf(1995, 12, 31),
    DayOf(1997, 6, 30),  DayOf(1998, 12, 31), DayOf(2005, 12, 31), DayOf(2008, 12, 31), DayOf(2012, 6, 30),
    DayOf(2015, 6, 30),  DayOf(2016, 12, 31)};

// Whether the day `days` since 1970-01-01 ended with a leap second.
constexpr bool EndsWithLeapSecond(std::int64_t days) {
  return std::binary_search(kLeapSecondDays.begin(), kLeapSecondDays.end(), days);
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_CALENDAR_LEAP_SECONDS_H_
