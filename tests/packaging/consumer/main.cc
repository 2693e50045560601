// A program built against an installed orvik-chrono.
#include <orvik/chrono/chrono.h>

#include <cstdio>

int main() {
  const auto t = orvik::chrono::FileTimePointToSystemTimePoint(1709622489);
  const std::tm tm = orvik::chrono::ToCalendarTime(t, orvik::chrono::TimeZone::UTC);
  std::printf("%d.%d.%d %04d-%02d-%02d %02d:%02d:%02d\n", ORVIK_CHRONO_VERSION_MAJOR, ORVIK_CHRONO_VERSION_MINOR,
              ORVIK_CHRONO_VERSION_PATCH, tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
              tm.tm_sec);
  return tm.tm_hour == 7 && tm.tm_min == 8 && tm.tm_sec == 9 ? 0 : 1;
}
