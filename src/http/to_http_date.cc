#include <orvik/chrono/chrono.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "calendar/civil.h"
#include "calendar/convert.h"
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
  using internal::kMonthNames;
  using internal::kWeekdayNames;
  using internal::WriteAbbreviation;

  const std::int64_t seconds = t.time_since_epoch().count() / kNanosecondsPerSecond;  // truncated toward zero
  const std::int64_t days = civil::FloorDiv(seconds, civil::kSecondsPerDay);
  const auto second_of_day = static_cast<unsigned>(seconds - days * civil::kSecondsPerDay);
  const civil::Date date = civil::CivilFromDays(days);

  // Every year of a time point has four digits, so every field has its fixed
  // place and the text its fixed length.
  char text[sizeof("Sun, 06 Nov 1994 08:49:37 GMT")];
  char* out = WriteAbbreviation(text, kWeekdayNames[civil::WeekdayFromDays(days)]);
  *out++ = ',';
  *out++ = ' ';
  out = digits::WriteTwo(out, date.day);
  *out++ = ' ';
  out = WriteAbbreviation(out, kMonthNames[date.month - 1]);
  *out++ = ' ';
  out = digits::WriteFour(out, static_cast<unsigned>(date.year));
  *out++ = ' ';
  out = digits::WriteTwo(out, second_of_day / 3600);
  *out++ = ':';
  out = digits::WriteTwo(out, second_of_day / 60 % 60);
  *out++ = ':';
  out = digits::WriteTwo(out, second_of_day % 60);
  std::memcpy(out, " GMT", 4);
  return {text, sizeof(text) - 1};
}

}  // namespace orvik::chrono
