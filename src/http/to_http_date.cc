// FormatHttpDate and ToHttpDate: a time point as an IMF-fixdate in UTC.
#include <orvik/chrono/chrono.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "civil/civil.h"
#include "civil/names.h"
#include "civil/time_units.h"
#include "text/digits.h"

namespace orvik::chrono {
namespace internal {
namespace {

// Copies the three letters that abbreviate `name` and returns the end.
char* WriteAbbreviation(char* out, std::string_view name) {
  std::memcpy(out, name.data(), kAbbreviationLength);
  return out + kAbbreviationLength;
}

// Writes the kHttpDateSize characters of `t`'s IMF-fixdate and returns their end.
[[gnu::always_inline]] inline char* WriteHttpDate(char* out, TimePoint t) {
  const std::int64_t seconds = TruncatedSeconds(t);
  const auto [days, second_of_day] = civil::SplitDays(seconds);
  const civil::Date date = civil::CivilFromDays(days);

  // Every year of a time point has four digits, so every field has its fixed
  // place and the text its fixed length.
  out = WriteAbbreviation(out, kWeekdayNames[civil::WeekdayFromDays(days)]);
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
  return out + sizeof(" GMT") - 1;
}

}  // namespace
}  // namespace internal

char* FormatHttpDate(char* out, TimePoint t) noexcept { return internal::WriteHttpDate(out, t); }

std::string ToHttpDate(TimePoint t) {
  char text[kHttpDateSize];
  return {text, internal::WriteHttpDate(text, t)};
}

}  // namespace orvik::chrono
