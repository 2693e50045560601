// Internal: the days of UTC that ended with a leap second, 23:59:60.
#ifndef ORVIK_CHRONO_SRC_CIVIL_LEAP_SECONDS_H_
#define ORVIK_CHRONO_SRC_CIVIL_LEAP_SECONDS_H_

#include <algorithm>
#include <array>
#include <cstdint>

#include "civil/civil.h"
#include "civil/time_units.h"

namespace orvik::chrono::internal {

// Every positive leap second that the IERS has announced; none was negative.
inline constexpr std::array<std::int64_t, 27> kLeapSecondDays = {
    civil::DayOf(1972, 6, 30),  civil::DayOf(1972, 12, 31), civil::DayOf(1973, 12, 31), civil::DayOf(1974, 12, 31),
    civil::DayOf(1975, 12, 31), civil::DayOf(1976, 12, 31), civil::DayOf(1977, 12, 31), civil::DayOf(1978, 12, 31),
    civil::DayOf(1979, 12, 31), civil::DayOf(1981, 6, 30),  civil::DayOf(1982, 6, 30),  civil::DayOf(1983, 6, 30),
    civil::DayOf(1985, 6, 30),  civil::DayOf(1987, 12, 31), civil::DayOf(1989, 12, 31), civil::DayOf(1990, 12, 31),
    civil::DayOf(1992, 6, 30),  civil::DayOf(1993, 6, 30),  civil::DayOf(1994, 6, 30),  civil::DayOf(1995, 12, 31),
    civil::DayOf(1997, 6, 30),  civil::DayOf(1998, 12, 31), civil::DayOf(2005, 12, 31), civil::DayOf(2008, 12, 31),
    civil::DayOf(2012, 6, 30),  civil::DayOf(2015, 6, 30),  civil::DayOf(2016, 12, 31)};

// Whether the day `days` since 1970-01-01 ended with a leap second.
constexpr bool EndsWithLeapSecond(std::int64_t days) {
  return std::binary_search(kLeapSecondDays.begin(), kLeapSecondDays.end(), days);
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_CIVIL_LEAP_SECONDS_H_
