#include "duration/from_iso8601.h"

#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "calendar/digits.h"
#include "duration/errors.h"

namespace orvik::chrono::duration {

void ThrowNotSupported() { throw std::invalid_argument("Durations with year/month/day components are not supported"); }

void ThrowInvalidFormat() { throw std::invalid_argument("Invalid ISO8601 duration format"); }

namespace {

constexpr std::int64_t kNanosecondsPerHour = std::chrono::nanoseconds(std::chrono::hours(1)).count();
constexpr std::int64_t kNanosecondsPerMinute = std::chrono::nanoseconds(std::chrono::minutes(1)).count();
constexpr std::int64_t kNanosecondsPerSecond = std::chrono::nanoseconds(std::chrono::seconds(1)).count();

// Adds value × unit to *total; false, with *total unspecified, when the
// product or the sum leaves the signed 64-bit range.
bool AddScaled(std::int64_t* total, std::int64_t value, std::int64_t unit) {
  std::int64_t product = 0;
  return !__builtin_mul_overflow(value, unit, &product) && !__builtin_add_overflow(*total, product, total);
}

}  // namespace

std::chrono::nanoseconds FromIso8601General(const std::string& text) {
  const std::size_t length = text.size();
  if (length <= 2) ThrowInvalidFormat();
  std::int64_t total = 0;
  bool in_time = false;
  // An overflow is only reported once the whole text has been read, so that a
  // malformed text keeps its own error whatever came before the fault.
  bool fits = true;
  // The first character stands for the leading 'P' and is not looked at.
  for (std::size_t i = 1;; ++i) {
    const std::size_t run_start = i;
    while (i < length && digits::IsDigit(text[i])) ++i;
    if (i == length) ThrowInvalidFormat();
    // Converted before the designator is looked at: a run beyond int fails
    // with std::stoi's std::out_of_range even ahead of a refused designator.
    const int value = i == run_start ? 0 : std::stoi(text.substr(run_start, i - run_start));
    switch (text[i]) {
      case 'P':
        break;
      case 'T':
        in_time = true;
        break;
      case 'H':
        fits = fits && AddScaled(&total, value, kNanosecondsPerHour);
        break;
      case 'M':
        if (!in_time) ThrowNotSupported();  // a month
        fits = fits && AddScaled(&total, value, kNanosecondsPerMinute);
        break;
      case 'S':
        fits = fits && AddScaled(&total, value, kNanosecondsPerSecond);
        break;
      case 'D':
      case 'Y':
        ThrowNotSupported();
      default:
        ThrowInvalidFormat();
    }
    if (i == length - 1) break;
  }
  if (!fits) throw std::out_of_range("ISO8601 duration out of range");
  return std::chrono::nanoseconds(total);
}

// The same walk as the general path, with the runs short enough to convert
// digit by digit: nine digits never exceed the range of int.
std::optional<std::chrono::nanoseconds> FromIso8601Fast(std::string_view text) {
  const std::size_t length = text.size();
  if (length <= 2) return std::nullopt;
  std::int64_t total = 0;
  bool in_time = false;
  for (std::size_t i = 1;; ++i) {
    const std::size_t run_end = i + 9;
    std::int64_t value = 0;
    for (; i < length && digits::IsDigit(text[i]); ++i) {
      if (i == run_end) return std::nullopt;
      value = value * 10 + (text[i] - '0');
    }
    if (i == length) return std::nullopt;
    std::int64_t unit = 0;
    switch (text[i]) {
      case 'P':
        break;
      case 'T':
        in_time = true;
        break;
      case 'H':
        unit = kNanosecondsPerHour;
        break;
      case 'M':
        if (!in_time) return std::nullopt;
        unit = kNanosecondsPerMinute;
        break;
      case 'S':
        unit = kNanosecondsPerSecond;
        break;
      default:
        return std::nullopt;
    }
    if (!AddScaled(&total, value, unit)) return std::nullopt;
    if (i == length - 1) return std::chrono::nanoseconds(total);
  }
}

std::chrono::nanoseconds FromIso8601(const std::string& text) {
  if (const std::optional<std::chrono::nanoseconds> d = FromIso8601Fast(text)) return *d;
  return FromIso8601General(text);
}

}  // namespace orvik::chrono::duration
