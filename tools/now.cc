// Prints the calendar time of now in the process's zone and in UTC.
#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstdio>

namespace {

void Print(const char* label, const std::tm& tm) {
  std::printf("%-6s %04d-%02d-%02d %02d:%02d:%02d %s (UTC%+ld s, isdst %d)\n", label, tm.tm_year + 1900, tm.tm_mon + 1,
              tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_zone, tm.tm_gmtoff, tm.tm_isdst);
}

}  // namespace

int main() {
  const orvik::chrono::TimePoint now = std::chrono::system_clock::now();
  Print("local", orvik::chrono::ToCalendarTime(now, orvik::chrono::TimeZone::Local));
  Print("utc", orvik::chrono::ToCalendarTime(now, orvik::chrono::TimeZone::UTC));
}
