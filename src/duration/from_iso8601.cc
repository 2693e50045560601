#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "duration/errors.h"

namespace orvik::chrono::duration {

void ThrowNotSupported() { throw std::invalid_argument("Durations with year/month/day components are not supported"); }

void ThrowInvalidFormat() { throw std::invalid_argument("Invalid ISO8601 duration format"); }

namespace {

constexpr std::int64_t kNanosecondsPerHour = std::chrono::nanoseconds(std::chrono::hours(1)).count();
constexpr std::int64_t kNanosecondsPerMinute = std::chrono::nanoseconds(std::chrono::minutes(1)).count();
constexpr std::int64_t kNanosecondsPerSecond = std::chrono::nanoseconds(std::chrono::seconds(1)).count();

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Adds value × unit to *total; false, with *total unspecified, when the
// product or the sum leaves the signed 64-bit range.
bool AddScaled(std::int64_t* total, int value, std::int64_t unit) {
  std::int64_t product = 0;
  return !__builtin_mul_overflow(static_cast<std::int64_t>(value), unit, &product) &&
         !__builtin_add_overflow(*total, product, total);
}

}  // namespace

std::chrono::nanoseconds FromIso8601(const std::string& text) {
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
    while (i < length && IsDigit(text[i])) ++i;
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

}  // namespace orvik::chrono::duration
