// Checks shared by the strict readers' fuzz targets. A failed check prints
// what it found and aborts (see message_checks.h).
#ifndef ORVIK_CHRONO_FUZZ_STRICT_CHECKS_H_
#define ORVIK_CHRONO_FUZZ_STRICT_CHECKS_H_

#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "civil/civil.h"
#include "civil/time_units.h"
#include "message_checks.h"

namespace orvik::chrono::fuzz {

// The bytes of a text in an allocation of their own, so that AddressSanitizer
// reports any read past the view's end.
class Alone {
 public:
  explicit Alone(std::string_view text) : bytes_(new char[text.size()]), size_(text.size()) {
    if (size_ != 0) std::memcpy(bytes_.get(), text.data(), size_);
  }
  [[nodiscard]] std::string_view View() const { return {bytes_.get(), size_}; }

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t size_;
};

// `read` of the text alone, which must read the same where more bytes follow
// the view; digits do, that would lengthen a last field.
template <typename Read>
auto ReadAlone(const Alone& text, Read read) {
  const std::string longer = std::string(text.View()) + "0123456789";
  const auto alone = read(text.View());
  const auto cut = read(std::string_view(longer.data(), text.View().size()));
  if (alone.error != cut.error || !(alone.value == cut.value)) {
    Fail("the reading depends on the bytes after the view", text.View());
  }
  return alone;
}

// A refusal must be one of `errors`, and its message `head`, what was found,
// ": " and the text, or exactly one of `fixed` (messages that quote no text).
inline void CheckRefusal(ParseError error, std::initializer_list<ParseError> errors, std::string_view head,
                         const Alone& text, std::initializer_list<std::string_view> fixed = {}) {
  bool known = false;
  for (const ParseError e : errors) known = known || e == error;
  if (!known) Fail("a refusal of another reader", text.View(), std::to_string(static_cast<int>(error)));
  const std::string message = ErrorMessage(error, text.View());
  for (const std::string_view f : fixed) {
    if (message == f) return;
  }
  const std::string tail = ": " + std::string(text.View());
  if (message.size() <= head.size() + tail.size() || !message.starts_with(head) || !message.ends_with(tail)) {
    Fail("the message is not its head, what was found, ': ' and the text", text.View(), message);
  }
}

// The reading of the text by `read`, alone and cut from a longer buffer: an
// acceptance checked by `accepted`, a refusal as CheckRefusal checks it.
template <typename Read, typename Accepted>
auto CheckReading(const Alone& text, Read read, Accepted accepted, std::initializer_list<ParseError> errors,
                  std::string_view head, std::initializer_list<std::string_view> fixed = {}) {
  const auto reading = ReadAlone(text, read);
  if (reading) {
    accepted(reading.value, text.View());
  } else {
    CheckRefusal(reading.error, errors, head, text, fixed);
  }
  return reading;
}

// The instant `offset` east of UTC, where a time point holds it.
inline std::optional<TimePoint> Local(const Timestamp& read) {
  std::int64_t local = 0;
  if (__builtin_add_overflow(read.instant.time_since_epoch().count(), std::chrono::nanoseconds(read.offset).count(),
                             &local)) {
    return std::nullopt;
  }
  return TimePoint(std::chrono::nanoseconds(local));
}

// An offset of whole minutes as texts write it: `sign`, the hours in two
// digits, then `separator` and the minutes unless `hours_only`.
inline std::string OffsetText(std::chrono::seconds offset, char sign, std::string_view separator = {},
                              bool hours_only = false) {
  const auto minutes = static_cast<int>(std::labs(offset.count()) / 60 % (24 * 60));
  char digits[sizeof("0000")];
  std::snprintf(digits, sizeof digits, "%02d%02d", minutes / 60, minutes % 60);
  std::string text = std::string(1, sign).append(digits, 2);
  return hours_only ? text : text.append(separator).append(digits + 2);
}

// Whether `instant` is the last nanosecond of 23:59:59 UTC: how the readers
// read second 60. On which days they do is the zone test's, against
// tzdata's list.
inline bool IsLeapSecondReading(TimePoint instant) {
  const internal::FlooredTime floored = internal::FloorToSecond(instant);
  return floored.Nanoseconds == internal::kNanosecondsPerSecond - 1 &&
         internal::civil::SplitDays(floored.Seconds).Second == internal::kSecondsPerDay - 1;
}

// The text `written` with its seconds, two digits at `at`, made "60": second
// 60 as a text that the readers read at IsLeapSecondReading writes it.
inline std::string AtSecond60(std::string written, std::size_t at) { return written.replace(at, 2, "60"); }

}  // namespace orvik::chrono::fuzz

#endif  // ORVIK_CHRONO_FUZZ_STRICT_CHECKS_H_
