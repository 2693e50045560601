// Internal: reads a NUL-terminated text against a scanf-style format that is
// fixed at compile time, by the rules of libc's sscanf for the directives that
// the library's formats use:
//
//   %Nu     white space skipped, then an optional sign and decimal digits, N
//           characters at most (the sign counts); a '-' stores the value
//           negated as an unsigned number; no digit is a matching failure.
//   %N[set] 1 to N characters of the set, stored with a terminating NUL; no
//           white space is skipped; none is a matching failure.
//   %c      exactly one character, white space not skipped.
//   blank   any run of white space in the text, none included.
//   other   the same character in the text.
//
// Scan returns the number of values assigned, or EOF when the text ends
// before the first of them. The format is parsed once, by the compiler, into
// one inlined step per directive: a malformed format, a destination of the
// wrong type or a set buffer too small for its width does not compile.
#ifndef ORVIK_CHRONO_SRC_TEXT_SCAN_H_
#define ORVIK_CHRONO_SRC_TEXT_SCAN_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <tuple>
#include <type_traits>
#include <utility>

#include "text/digits.h"

namespace orvik::chrono::internal {

// A format as a template argument: Scan<"%2u:%2u">(text, hours, minutes).
template <std::size_t kSize>
struct ScanFormat {
  char Text[kSize] = {};

  consteval ScanFormat(const char (&text)[kSize]) {  // NOLINT(google-explicit-constructor): literals convert
    for (std::size_t i = 0; i < kSize; ++i) Text[i] = text[i];
  }
  consteval ScanFormat() = default;
};

// The two formats one after the other.
template <std::size_t kLeft, std::size_t kRight>
consteval ScanFormat<kLeft + kRight - 1> operator+(const ScanFormat<kLeft>& left, const ScanFormat<kRight>& right) {
  ScanFormat<kLeft + kRight - 1> joined;
  for (std::size_t i = 0; i + 1 < kLeft; ++i) joined.Text[i] = left.Text[i];
  for (std::size_t i = 0; i < kRight; ++i) joined.Text[kLeft - 1 + i] = right.Text[i];
  return joined;
}

// A format followed by a literal's text.
template <std::size_t kLeft, std::size_t kRight>
consteval ScanFormat<kLeft + kRight - 1> operator+(const ScanFormat<kLeft>& left, const char (&right)[kRight]) {
  return left + ScanFormat<kRight>(right);
}

namespace scan {

enum class Kind : std::uint8_t { Number, Set, Character, Space, Literal };

struct Directive {
  Kind Type = Kind::Literal;
  unsigned Width = 0;          // Number and Set
  char Literal = '\0';         // Literal
  std::uint64_t SetLow = 0;    // Set: its characters 0 to 63, one bit each
  std::uint64_t SetHigh = 0;   // and 64 to 127
  std::size_t Conversion = 0;  // Number, Set and Character: which destination
};

constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reached only by a malformed format; a call of it is no constant expression,
// so the format fails to compile.
inline void MalformedFormat() {}

// The directive that starts at `text[at]`; advances `at` past it.
consteval Directive ParseOne(const char* text, std::size_t& at) {
  Directive directive;
  const char c = text[at++];
  if (static_cast<unsigned char>(c) > 127) MalformedFormat();
  if (IsSpace(c)) {
    while (IsSpace(text[at])) ++at;
    directive.Type = Kind::Space;
    return directive;
  }
  if (c != '%') {
    directive.Literal = c;
    return directive;
  }
  while (digits::IsDigit(text[at])) directive.Width = directive.Width * 10 + static_cast<unsigned>(text[at++] - '0');
  const char conversion = text[at++];
  if (conversion == 'c' && directive.Width == 0) {
    directive.Type = Kind::Character;
  } else if (conversion == 'u' && directive.Width >= 1 && directive.Width <= 9) {
    directive.Type = Kind::Number;  // nine digits always fit an unsigned int
  } else if (conversion == '[' && directive.Width >= 1 && text[at] != ']') {
    directive.Type = Kind::Set;
    // Only plain members: no negation, no ranges, no ']'.
    for (; text[at] != ']'; ++at) {
      const char member = text[at];
      if (member == '\0' || member == '^' || member == '-' || static_cast<unsigned char>(member) > 127) {
        MalformedFormat();
      }
      const auto code = static_cast<unsigned>(member);
      (code < 64 ? directive.SetLow : directive.SetHigh) |= std::uint64_t{1} << (code % 64);
    }
    ++at;
  } else {
    MalformedFormat();
  }
  return directive;
}

template <ScanFormat kFormat>
consteval std::size_t CountDirectives() {
  std::size_t count = 0;
  for (std::size_t at = 0; kFormat.Text[at] != '\0'; ++count) ParseOne(kFormat.Text, at);
  return count;
}

template <ScanFormat kFormat>
consteval auto ParseFormat() {
  std::array<Directive, CountDirectives<kFormat>()> directives{};
  std::size_t conversions = 0;
  std::size_t at = 0;
  for (Directive& directive : directives) {
    directive = ParseOne(kFormat.Text, at);
    if (directive.Type != Kind::Space && directive.Type != Kind::Literal) directive.Conversion = conversions++;
  }
  return directives;
}

template <ScanFormat kFormat>
inline constexpr auto kDirectives = ParseFormat<kFormat>();

template <ScanFormat kFormat>
consteval std::size_t CountConversions() {
  std::size_t count = 0;
  for (const Directive& directive : kDirectives<kFormat>) {
    if (directive.Type != Kind::Space && directive.Type != Kind::Literal) ++count;
  }
  return count;
}

struct Cursor {
  const char* At;
  int Assigned;
  bool InputFailure;  // the text ended where the directive needed a character
};

constexpr bool InSet(const Directive& set, char c) {
  const auto code = static_cast<unsigned char>(c);
  if (code < 64) return ((set.SetLow >> code) & 1) != 0;
  return code < 128 && ((set.SetHigh >> (code - 64)) & 1) != 0;
}

// Converts the text at `at`, which is not its end, into `destination` and
// advances `at` past what it read; false on a matching failure.
template <Directive kDirective, typename Destination>
inline bool Convert(const char*& at, Destination& destination) {
  if constexpr (kDirective.Type == Kind::Character) {
    static_assert(std::is_same_v<Destination, char>, "%c stores into a char");
    destination = *at++;
    return true;
  } else if constexpr (kDirective.Type == Kind::Set) {
    static_assert(
        std::is_same_v<std::remove_extent_t<Destination>, char> && std::extent_v<Destination> > kDirective.Width,
        "%N[...] stores into a char array of more than N characters");
    unsigned count = 0;
    while (count < kDirective.Width && InSet(kDirective, at[count])) {
      destination[count] = at[count];
      ++count;
    }
    if (count == 0) return false;
    destination[count] = '\0';
    at += count;
    return true;
  } else {
    static_assert(std::is_same_v<Destination, unsigned>, "%u stores into an unsigned int");
    const char* const end = at + kDirective.Width;
    const bool negative = *at == '-';
    if (negative || *at == '+') ++at;
    const char* const first_digit = at;
    unsigned value = 0;
    while (at != end && digits::IsDigit(*at)) value = value * 10 + static_cast<unsigned>(*at++ - '0');
    if (at == first_digit) return false;
    destination = negative ? 0U - value : value;
    return true;
  }
}

// Runs directive kIndex of kFormat; false stops the scan.
template <ScanFormat kFormat, std::size_t kIndex, typename Destinations>
inline bool Step(Cursor& cursor, const Destinations& destinations) {
  static constexpr const Directive& kDirective = kDirectives<kFormat>[kIndex];
  if constexpr (kDirective.Type == Kind::Space) {
    while (IsSpace(*cursor.At)) ++cursor.At;
    return true;
  } else {
    const char* at = cursor.At;
    if constexpr (kDirective.Type == Kind::Number) {
      while (IsSpace(*at)) ++at;
    }
    if (*at == '\0') {
      cursor.InputFailure = true;
      return false;
    }
    if constexpr (kDirective.Type == Kind::Literal) {
      if (*at != kDirective.Literal) return false;
      cursor.At = at + 1;
      return true;
    } else {
      if (!Convert<kDirective>(at, std::get<kDirective.Conversion>(destinations))) return false;
      cursor.At = at;
      ++cursor.Assigned;
      return true;
    }
  }
}

template <ScanFormat kFormat, typename Destinations, std::size_t... kIndex>
inline int Run(const char* text, const Destinations& destinations, std::index_sequence<kIndex...> /*directives*/) {
  Cursor cursor{text, 0, false};
  (void)(... && Step<kFormat, kIndex>(cursor, destinations));
  return cursor.InputFailure && cursor.Assigned == 0 ? EOF : cursor.Assigned;
}

}  // namespace scan

// Reads `text` (up to its first NUL) against kFormat into `destinations`, one
// per conversion in format order; returns as sscanf returns.
template <ScanFormat kFormat, typename... Destinations>
inline int Scan(const char* text, Destinations&... destinations) {
  static_assert(scan::CountConversions<kFormat>() == sizeof...(Destinations), "one destination per conversion");
  return scan::Run<kFormat>(text, std::tie(destinations...),
                            std::make_index_sequence<scan::kDirectives<kFormat>.size()>{});
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_TEXT_SCAN_H_
