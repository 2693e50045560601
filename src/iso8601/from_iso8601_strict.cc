// TryFromIso8601Strict: an RFC 3339 / ISO 8601 timestamp, read only as
// written.
//
// One pass from the first byte to the last: the layout is told by the byte
// after the year ('-' extended, a digit basic) and holds for the time of day;
// every part is checked where it stands, so a refusal names the first byte
// that departs from the layout. The fields are checked once the whole text has
// its layout.
#include <orvik/chrono/chrono.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/time_units.h"
#include "messages.h"
#include "text/strict_reading.h"

namespace orvik::chrono {
namespace internal {
namespace {

// What the reading expects where a text departs from the layout.
enum Expected : std::uint8_t {
  kYear,
  kMonthOrDash,
  kMonth,
  kDashBeforeDay,
  kDay,
  kDateTimeSeparator,
  kHour,
  kColonBeforeMinutes,
  kMinutes,
  kColonBeforeSeconds,
  kSeconds,
  kFraction,
  kFractionEnd,
  kZone,
  kOffsetHours,
  kOffsetMinutes,
  kEnd,
};

constexpr std::string_view kExpected[] = {
    "a year of four digits",
    "'-' or the month after the year",
    "the month in two digits",
    "'-' and the day after the month",
    "the day in two digits",
    "'T', 't' or a space after the date",
    "the hour in two digits",
    "':' and the minutes after the hour",
    "the minutes in two digits",
    "':' and the seconds after the minutes",
    "the seconds in two digits",
    "one to nine digits of a fraction after the decimal sign",
    "a zone after at most nine digits of a fraction",
    "a zone after the time: Z, z, +hh:mm, +hhmm, +hh or ' UTC'",
    "the offset's hours in two digits",
    "the offset's minutes in two digits",
    "the end of the text after the zone",
};

constexpr StrictErrors kErrors{ParseError::Iso8601StrictLayout, ParseError::Iso8601StrictNonexistent,
                               ParseError::Iso8601StrictLayout, ParseError::Iso8601StrictOffset,
                               ParseError::Iso8601StrictOutsideRange};

constexpr std::string_view kUtc = " UTC";
constexpr int kFractionDigits = 9;
constexpr unsigned kScale[kFractionDigits + 1] = {1'000'000'000, 100'000'000, 10'000'000, 1'000'000, 100'000,
                                                  10'000,        1'000,       100,        10,        1};

// Reads the fraction's digits after its decimal sign into nanoseconds.
bool ReadFraction(std::string_view text, std::size_t& at, unsigned& nanoseconds, Expected& expected) {
  const std::size_t first = at;
  unsigned value = 0;
  for (; at < text.size() && at - first <= kFractionDigits; ++at) {
    const unsigned digit = static_cast<unsigned char>(text[at]) - unsigned{'0'};
    if (digit > 9) break;
    value = value * 10 + digit;
  }
  const std::size_t digits = at - first;
  expected = digits == 0 ? kFraction : kFractionEnd;
  if (digits == 0) return false;
  if (digits > kFractionDigits) {
    at = first + kFractionDigits;
    return false;
  }
  nanoseconds = value * kScale[digits];
  return true;
}

// Reads the zone at `at` to the end of the text: its offset in `r`, negative
// hours for a '-', or false and what was expected.
bool ReadZone(std::string_view text, std::size_t& at, StrictReading& r, bool& west, Expected& expected) {
  const char first = at < text.size() ? text[at] : '\0';
  if (first == 'Z' || first == 'z') {
    ++at;
  } else if (first == '+' || first == '-') {
    west = first == '-';
    ++at;
    expected = kOffsetHours;
    if (!ReadDigits<2>(text, at, r.OffsetHours)) return false;
    if (at < text.size()) {
      Take(text, at, ':');
      expected = kOffsetMinutes;
      if (!ReadDigits<2>(text, at, r.OffsetMinutes)) return false;
    }
  } else if (text.substr(at) == kUtc) {
    at = text.size();
  } else {
    expected = kZone;
    return false;
  }
  expected = kEnd;
  return at == text.size();
}

// Reads the date and time of day into `r`; false, with what was expected at
// `at`, where the text departs from the layout.
bool ReadLayout(std::string_view text, std::size_t& at, StrictReading& r, bool& west, Expected& expected) {
  CivilFields& f = r.Fields;
  expected = kYear;
  if (!ReadDigits<4>(text, at, f.Year)) return false;
  const bool extended = Take(text, at, '-');
  expected = extended ? kMonth : kMonthOrDash;
  if (!ReadDigits<2>(text, at, f.Month)) return false;
  expected = kDashBeforeDay;
  if (extended && !Take(text, at, '-')) return false;
  expected = kDay;
  if (!ReadDigits<2>(text, at, f.Day)) return false;
  expected = kDateTimeSeparator;
  if (!Take(text, at, 'T') && !Take(text, at, 't') && !Take(text, at, ' ')) return false;
  expected = kHour;
  if (!ReadDigits<2>(text, at, f.Hour)) return false;
  expected = kColonBeforeMinutes;
  if (extended && !Take(text, at, ':')) return false;
  expected = kMinutes;
  if (!ReadDigits<2>(text, at, f.Minute)) return false;
  expected = kColonBeforeSeconds;
  if (extended && !Take(text, at, ':')) return false;
  expected = kSeconds;
  if (!ReadDigits<2>(text, at, f.Second)) return false;
  if ((IsAt(text, at, '.') || IsAt(text, at, ',')) && !ReadFraction(text, ++at, f.Nanoseconds, expected)) {
    return false;
  }
  return ReadZone(text, at, r, west, expected);
}

[[gnu::always_inline]] inline ParseResult<Timestamp> ReadStrict(std::string_view text, StrictReading& r) {
  std::size_t at = 0;
  bool west = false;
  Expected expected = kYear;
  if (!ReadLayout(text, at, r, west, expected)) {
    r.Fault = {Problem::Expected, expected, static_cast<std::uint32_t>(at), 0};
    return {{}, kErrors.Layout};
  }
  Problem problem = r.OffsetHours > 23     ? Problem::OffsetHours
                    : r.OffsetMinutes > 59 ? Problem::OffsetMinutes
                                           : Problem::None;
  const std::int64_t offset = (r.OffsetHours * kSecondsPerHour + r.OffsetMinutes * kSecondsPerMinute) * (west ? -1 : 1);
  Timestamp read;
  if (problem == Problem::None) problem = FormTimestamp(r.Fields, offset, read);
  r.Fault.What = problem;
  return {read, ErrorOf(problem, kErrors)};
}

}  // namespace

std::string Iso8601StrictMessage(std::string_view text) {
  StrictReading reading;
  ReadStrict(text, reading);
  return StrictMessage(kIso8601StrictHead, reading, kExpected, text);
}

}  // namespace internal

ParseResult<Timestamp> TryFromIso8601Strict(std::string_view text) noexcept {
  internal::StrictReading reading;
  return internal::ReadStrict(text, reading);
}

}  // namespace orvik::chrono
