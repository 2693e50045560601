// FormatHttpDate and ToHttpDate: a time point as an IMF-fixdate in UTC.
#include <orvik/chrono/chrono.h>

#include <array>
#include <cstddef>
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

using digits::TextWord;

// The first two words' constant bytes with each weekday's or month's
// abbreviation in its place.
template <std::size_t kCount>
constexpr std::array<TextWord, kCount> WordsOf(const std::array<AbbreviationKey, kCount>& keys,
                                               std::string_view pattern) {
  std::array<TextWord, kCount> words{};
  for (std::size_t i = 0; i < kCount; ++i) words.at(i) = digits::Template(pattern) | digits::TextOrder(keys.at(i));
  return words;
}
constexpr auto kWeekdayWords = WordsOf(kWeekdayKeys, "___, __ ");
constexpr auto kMonthWords = WordsOf(kMonthKeys, "___ ____");

// Writes the kHttpDateSize characters of `t`'s IMF-fixdate and returns their end.
[[gnu::always_inline]] inline char* WriteHttpDate(char* out, TimePoint t) {
  // Every year of a time point has four digits, so every field has its fixed
  // place and the text its fixed length: "Sun, 06 Nov 1994 08:49:37 GMT" in
  // three words and the constant bytes between and after them. The time of
  // day is written first, so that its fields are not kept across the date's.
  using digits::Template;
  using digits::TwoDigits;
  const civil::DayAndSecond split = civil::SplitDays(TruncatedSeconds(t));
  const civil::TimeOfDay time = civil::TimeOfDayFromSeconds(static_cast<unsigned>(split.Second));
  out[16] = ' ';
  digits::Store(out + 17, Template("__:__:__") | TwoDigits(time.Hour) | TwoDigits(time.Minute) << 24U |
                              TwoDigits(time.Second) << 48U);
  std::memcpy(out + 25, " GMT", sizeof(" GMT") - 1);
  const civil::Date date = civil::CivilFromDays(split.Days);
  digits::Store(out, kWeekdayWords[civil::WeekdayFromDays(split.Days)] | TwoDigits(date.Day) << 40U);
  digits::Store(out + 8, kMonthWords[std::size_t{date.Month} - 1] |
                             TwoDigits(static_cast<unsigned>(date.Century)) << 32U |
                             TwoDigits(date.YearOfCentury) << 48U);
  return out + kHttpDateSize;
}

}  // namespace
}  // namespace internal

char* FormatHttpDate(char* out, TimePoint t) noexcept { return internal::WriteHttpDate(out, t); }

std::string ToHttpDate(TimePoint t) {
  char text[kHttpDateSize];
  return {text, internal::WriteHttpDate(text, t)};
}

}  // namespace orvik::chrono
