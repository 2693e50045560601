#include <orvik/chrono/chrono.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "calendar/civil.h"
#include "calendar/time_units.h"
#include "http/names.h"
#include "text/digits.h"

namespace orvik::chrono {
namespace internal {
namespace {

// Copies the three letters that abbreviate `name` and returns the end.
char* WriteAbbreviation(char* out, std::string_view name) {
  std::memcpy(out, name.data(), kAbbreviationLength);
  return out + kAbbreviationLength;
}

}  // namespace
}  // namespace internal

std::string ToHttpDate(TimePoint t) {
  using namespace internal;
  const std::int64_t seconds = TruncatedSeconds(t);
  const auto [days, second_of_day] = civil::SplitDays(seconds);
  const civil::Date date = civil::CivilFromDays(days);

  // Every year of a time point has four digits, so every field has its fixed
  // place and the text its fixed length.
  char text[sizeof("Sun, 06 Nov 1994 08:49:37 GMT")];
  char* out = WriteAbbreviation(text, kWeekdayNames[civil::WeekdayFromDays(days)]);
  *out++ = ',';
  *out++ = ' ';
  out = digits::WriteTwo(out, date.Day);
  *out++ = ' ';
  out = WriteAbbreviation(out, kMonthNames[date.Month - 1]);
  *out++ = ' ';
  out = digits::WriteFour(out, static_cast<unsigned>(date.Year));
  *out++ = ' ';
  out = digits::WriteTwo(out, static_cast<unsigned>(second_of_day / kSecondsPerHour));
  *out++ = ':';
  out = digits::WriteTwo(out, static_cast<unsigned>(second_of_day / kSecondsPerMinute % kMinutesPerHour));
  *out++ = ':';
  out = digits::WriteTwo(out, static_cast<unsigned>(second_of_day % kSecondsPerMinute));
  std::memcpy(out, " GMT", sizeof(" GMT") - 1);
  return {text, sizeof(text) - 1};
}

}  // namespace orvik::chrono
