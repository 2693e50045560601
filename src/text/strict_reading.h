// Internal: the state of a strict reading (the fields read, and what
// departed from the text's layout first), the steps that take a text's bytes
// one field at a time, and the message of a strict reader's refusal.
#ifndef ORVIK_CHRONO_SRC_TEXT_STRICT_READING_H_
#define ORVIK_CHRONO_SRC_TEXT_STRICT_READING_H_

#include <orvik/chrono/chrono.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "civil/instant.h"
#include "text/digits.h"

namespace orvik::chrono::internal {

// What a strict reading found wrong first, and where.
struct ReadingFault {
  Problem What = Problem::None;
  std::string_view Expected;  // what the text should hold at At, as a message says it after "expected "
  std::uint32_t At = 0;
  std::uint32_t Size = 0;  // of a name or zone at At
};

// What a strict reader read of a text, as far as it read it.
struct StrictReading {
  CivilFields Fields;
  int OffsetHours = 0;
  int OffsetMinutes = 0;
  ReadingFault Fault;

  // Records a departure from the text's layout at `at`, where the text should
  // hold `expected`; false, for the reader to return.
  bool Refuse(std::string_view expected, std::size_t at, std::size_t size = 0) {
    Fault = {Problem::Expected, expected, static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(size)};
    return false;
  }
};

inline bool IsAt(std::string_view text, std::size_t at, char c) { return at < text.size() && text[at] == c; }

// Moves past `c` where it stands at `at`.
inline bool Take(std::string_view text, std::size_t& at, char c) {
  if (!IsAt(text, at, c)) return false;
  ++at;
  return true;
}

// Reads the `kCount` digits at `at` into `value` and moves `at` past them;
// false, with `at` at the first byte that is no digit, where there are fewer.
template <std::size_t kCount>
[[gnu::always_inline]] inline bool TakeDigits(std::string_view text, std::size_t& at, int& value) {
  if (text.size() - at >= kCount) {
    int read = 0;
    bool digits = true;
    for (std::size_t i = 0; i < kCount; ++i) {
      const unsigned digit = static_cast<unsigned char>(text[at + i]) - unsigned{'0'};
      digits = digits && digit < 10;
      read = read * 10 + static_cast<int>(digit);
    }
    if (digits) {
      at += kCount;
      value = read;
      return true;
    }
  }
  for (std::size_t end = at + kCount; at < text.size() && at < end && digits::IsDigit(text[at]);) ++at;
  return false;
}

inline bool TakeDecimalSign(std::string_view text, std::size_t& at) {
  return Take(text, at, '.') || Take(text, at, ',');
}

inline bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The refusal of a strict reader whose errors for a departure from the
// layout, a field that does not exist, a weekday, a zone or an offset, and an
// instant outside the range are these.
struct StrictErrors {
  ParseError Layout;
  ParseError Nonexistent;
  ParseError Weekday;
  ParseError Zone;
  ParseError OutsideRange;
};

constexpr ParseError ErrorOf(Problem problem, const StrictErrors& errors) {
  switch (problem) {
    case Problem::None:
      return ParseError::None;
    case Problem::Expected:
      return errors.Layout;
    case Problem::Weekday:
      return errors.Weekday;
    case Problem::Zone:
    case Problem::OffsetHours:
    case Problem::OffsetMinutes:
      return errors.Zone;
    case Problem::OutsideRange:
      return errors.OutsideRange;
    default:
      return errors.Nonexistent;
  }
}

// What `problem` says of the fields `f`, where the fields alone tell it (a
// field that does not exist, a second 60 that is no leap second, an instant
// outside the range), such as "day 30 does not exist in February 2024";
// otherwise "".
std::string FieldMessage(Problem problem, const CivilFields& f);

// Appends the message of a strict reader's refusal of `text` to `message`:
// `head`, what `reading` found wrong, ": " and the text.
void AppendStrictMessage(std::string& message, std::string_view head, const StrictReading& reading,
                         std::string_view text);

// What a strict reading gives once its fields formed `read`, or did not for
// `problem`.
inline ParseResult<Timestamp> Outcome(StrictReading& r, Problem problem, const Timestamp& read,
                                      const StrictErrors& errors) {
  r.Fault.What = problem;
  return {read, ErrorOf(problem, errors)};
}

// A strict reader's face without a message: kRead(text, args..., reading)
// reads.
template <auto kRead, typename... Args>
[[gnu::always_inline]] inline auto ReadAlone(std::string_view text, Args... args) noexcept {
  StrictReading reading;
  return kRead(text, args..., reading);
}

// A strict reader's face with a message: kRead(text, args..., reading) reads,
// and a refusal's message, from that one reading, is appended to `message`.
template <auto kRead, typename... Args>
auto ReadWithMessage(std::string_view text, std::string& message, std::string_view head, Args... args) {
  StrictReading reading;
  const auto result = kRead(text, args..., reading);
  if (!result) AppendStrictMessage(message, head, reading, text);
  return result;
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_TEXT_STRICT_READING_H_
