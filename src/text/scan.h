// Internal: reads a text against a scanf-style format that is fixed at
// compile time, by the rules of libc's sscanf for the directives that the
// library's formats use:
//
//   %Nu     white space skipped, then an optional sign and decimal digits, N
//           characters at most (the sign counts); a '-' stores the value
//           negated as an unsigned number, into an unsigned int or the same
//           bits into an int; no digit is a matching failure.
//   %N[set] 1 to N characters of the set, stored with a terminating NUL; no
//           white space is skipped; none is a matching failure.
//   %c      exactly one character, white space not skipped.
//   blank   any run of white space in the text, none included.
//   other   the same character in the text.
//
// The text is a view read up to its first NUL or its end, whichever comes
// first, as sscanf reads a C string: no byte past the view's end is read, so
// the view need not be NUL-terminated. White space is what the C locale counts
// as such, ' ' and '\t' to '\r': the library reads its texts in no other locale.
//
// Scan returns the number of values assigned, or EOF when the text ends
// before the first of them, and where the last value read ends. The compiler
// parses the format into one inlined step per directive: a malformed format,
// one that does not end with a conversion (text after it would never be
// read), a destination of the wrong type or a set buffer too small for its
// width does not compile. Where each directive takes its full span (a number
// all its width in digits, a set all its width in members, a blank exactly
// its own count of white space), each starts at a place that the format
// fixes: those that do so from the start are read there, with no cursor and
// no check of the text's length between them, and read what one by one they
// would; the rest run one by one from where the first that does not starts.
#ifndef ORVIK_CHRONO_SRC_TEXT_SCAN_H_
#define ORVIK_CHRONO_SRC_TEXT_SCAN_H_

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
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

struct ScanResult {
  int Count;                 // as sscanf returns it
  std::size_t ValuesLength;  // the characters up to the end of the last value read; 0 when none was
};

namespace scan {

enum class Kind : std::uint8_t { Number, Set, Character, Space, Literal };

struct Directive {
  Kind Type = Kind::Literal;
  unsigned Width = 0;               // Number and Set
  char Literal = '\0';              // Literal
  std::array<bool, 256> Members{};  // Set: whether each byte value is one
  std::size_t Destination = 0;      // the conversions before it: the index of a conversion's destination
  std::size_t FullSpan = 1;         // the characters it takes at full span: a conversion's width, a blank's count
  std::size_t Offset = 0;           // where it starts when each directive before it takes its full span

  // Whether it stores a value: a conversion rather than a blank or a literal.
  [[nodiscard]] constexpr bool IsConversion() const { return Type != Kind::Space && Type != Kind::Literal; }
};

[[gnu::always_inline]] constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reached only by a malformed format; a call of it is no constant expression,
// so the format fails to compile.
inline void MalformedFormat() {}

// The directive that starts at `text[at]`; advances `at` past it.
consteval Directive ParseOne(const char* text, std::size_t& at) {
  Directive directive;
  const char c = text[at++];
  if (static_cast<unsigned char>(c) > 127) MalformedFormat();
  if (IsSpace(c)) {
    for (; IsSpace(text[at]); ++at) ++directive.FullSpan;
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
    directive.FullSpan = directive.Width;
  } else if (conversion == '[' && directive.Width >= 1 && text[at] != ']') {
    directive.Type = Kind::Set;
    directive.FullSpan = directive.Width;
    // Only plain members: no negation, no ranges, no ']'.
    for (; text[at] != ']'; ++at) {
      const char member = text[at];
      if (member == '\0' || member == '^' || member == '-' || static_cast<unsigned char>(member) > 127) {
        MalformedFormat();
      }
      directive.Members.at(static_cast<unsigned char>(member)) = true;
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
  std::size_t offset = 0;
  std::size_t at = 0;
  for (Directive& directive : directives) {
    directive = ParseOne(kFormat.Text, at);
    directive.Destination = conversions;
    directive.Offset = offset;
    if (directive.IsConversion()) ++conversions;
    offset += directive.FullSpan;
  }
  if (directives.empty() || !directives.back().IsConversion()) MalformedFormat();
  return directives;
}

template <ScanFormat kFormat>
inline constexpr auto kDirectives = ParseFormat<kFormat>();

template <ScanFormat kFormat>
inline constexpr std::size_t kConversions = kDirectives<kFormat>.back().Destination + 1;

struct Cursor {
  const char* At;
  const char* End;        // one past the view's last byte, never read
  const char* ValuesEnd;  // just after the last value read
  bool EndOfText;         // the text ended where the failing directive needed a character
};

// The byte at `at`, or a NUL at the view's end: the text ends at either.
[[gnu::always_inline]] inline char ByteAt(const char* at, const char* end) { return at < end ? *at : '\0'; }

// Fails the directive at the cursor: an input failure when the text ends there.
[[gnu::always_inline]] inline bool Fail(Cursor& cursor) {
  cursor.EndOfText = ByteAt(cursor.At, cursor.End) == '\0';
  return false;
}

// Whether the kWidth (1 to 9) bytes at `at` are all digits; stores their
// value if so. Three to eight are loaded as one word, the first its lowest byte.
template <unsigned kWidth, typename Number>
[[gnu::always_inline]] inline bool ReadDigits(const char* at, Number& destination) {
  static_assert(std::endian::native == std::endian::little, "the first byte loaded is the lowest");
  if constexpr (kWidth <= 2) {
    const unsigned first = static_cast<unsigned char>(at[0]) - unsigned{'0'};
    const unsigned last = static_cast<unsigned char>(at[kWidth - 1]) - unsigned{'0'};
    if ((first >= 10) | (last >= 10)) return false;
    destination = static_cast<Number>(kWidth == 1 ? first : first * 10 + last);
  } else if constexpr (kWidth == 9) {
    unsigned eight = 0;
    if (!ReadDigits<8>(at, eight) || !digits::IsDigit(at[8])) return false;
    destination = static_cast<Number>(eight * 10 + static_cast<unsigned>(at[8] - '0'));
  } else {
    // Four digits or fewer fit a 32-bit word.
    using Word = std::conditional_t<(kWidth <= 4), std::uint32_t, std::uint64_t>;
    constexpr unsigned kBytes = sizeof(Word);
    constexpr Word kUsed =
        kWidth == kBytes ? static_cast<Word>(~Word{0}) : static_cast<Word>((Word{1} << (8 * kWidth)) - 1);
    Word bytes = 0;
    std::memcpy(&bytes, at, kWidth);
    if ((digits::NonDigits(bytes) & kUsed) != 0) return false;
    // Leading zero digits in the low bytes.
    destination = static_cast<Number>(digits::DigitsValue(
        static_cast<Word>((bytes - (static_cast<Word>(0x30 * digits::kOnes) & kUsed)) << (8 * (kBytes - kWidth)))));
  }
  return true;
}

// Where a number read more slowly leaves the text.
struct SlowNumber {
  const char* At;
  unsigned Value;
  bool Read;
  bool EndOfText;
};

// A number after white space or with a sign, or no number at all. Reads no
// character after the first that ends it.
[[gnu::noinline]] inline SlowNumber ReadNumberSlowly(const char* at, const char* text_end, unsigned width) {
  while (IsSpace(ByteAt(at, text_end))) ++at;
  const char sign = ByteAt(at, text_end);
  const unsigned first = sign == '-' || sign == '+' ? 1 : 0;  // the sign takes one place of the width
  unsigned value = 0;
  unsigned end = first;
  for (; end < width && digits::IsDigit(ByteAt(at + end, text_end)); ++end) {
    value = value * 10 + static_cast<unsigned>(at[end] - '0');
  }
  if (end == first) return {at, 0, false, sign == '\0'};
  return {at + end, sign == '-' ? 0U - value : value, true, false};
}

// The characters that a directive of width kWidth may read at the cursor:
// its width, or fewer where the view ends.
template <unsigned kWidth>
[[gnu::always_inline]] inline unsigned Limit(const Cursor& cursor) {
  return static_cast<unsigned>(std::min<std::ptrdiff_t>(kWidth, cursor.End - cursor.At));
}

// Reads a number of fewer than kWidth digits, or one after white space or
// with a sign, from the cursor.
template <unsigned kWidth, typename Number>
[[gnu::always_inline]] inline bool ReadShortNumber(Cursor& cursor, Number& destination) {
  if (digits::IsDigit(ByteAt(cursor.At, cursor.End))) {
    unsigned value = 0;
    unsigned taken = 0;
    const unsigned limit = Limit<kWidth>(cursor);
    for (; taken < limit; ++taken) {
      if (!digits::IsDigit(cursor.At[taken])) break;
      value = value * 10 + static_cast<unsigned>(cursor.At[taken] - '0');
    }
    destination = static_cast<Number>(value);
    cursor.At += taken;
    return true;
  }
  const SlowNumber slow = ReadNumberSlowly(cursor.At, cursor.End, kWidth);
  if (slow.Read) destination = static_cast<Number>(slow.Value);
  cursor.At = slow.At;
  cursor.EndOfText = slow.EndOfText;
  return slow.Read;
}

// Stores the kWidth characters at `at` and a NUL after them as one copy of
// kWidth + 1 bytes, which the name lookups then read as one key. A short run
// is gathered in a word whose other bytes are NULs and stored whole, so that
// the key is written in one piece, as it is read.
template <unsigned kWidth, std::size_t kSize>
[[gnu::always_inline]] inline void StoreRun(const char* at, char (&destination)[kSize]) {
  if constexpr (kWidth < sizeof(std::uint64_t) && std::endian::native == std::endian::little) {
    std::uint64_t run = 0;
    for (unsigned i = 0; i < kWidth; ++i) run |= std::uint64_t{static_cast<unsigned char>(at[i])} << (8 * i);
    std::memcpy(destination, &run, kWidth + 1);
  } else {
    char run[kWidth + 1];
    std::memcpy(run, at, kWidth);
    run[kWidth] = '\0';
    std::memcpy(destination, run, sizeof run);
  }
}

// Reads a run of set members shorter than kSet.Width from the cursor.
template <Directive kSet, std::size_t kSize>
[[gnu::always_inline]] inline bool ReadShortSet(Cursor& cursor, char (&destination)[kSize]) {
  static_assert(kSize > kSet.Width, "%N[...] stores into a char array of more than N characters");
  unsigned taken = 0;
  const unsigned limit = Limit<kSet.Width>(cursor);
  for (; taken < limit; ++taken) {
    if (!kSet.Members[static_cast<unsigned char>(cursor.At[taken])]) break;
    destination[taken] = cursor.At[taken];
  }
  if (taken == 0) return Fail(cursor);
  destination[taken] = '\0';
  cursor.At += taken;
  return true;
}

// Reads directive kIndex of kFormat at `at` if it takes its full span there,
// which lies inside the view, and stores what it takes; returns whether it did.
template <ScanFormat kFormat, std::size_t kIndex, typename Destinations>
[[gnu::always_inline]] inline bool ReadFullSpan(const char* at, Cursor& cursor, const Destinations& destinations) {
  static constexpr Directive kDirective = kDirectives<kFormat>[kIndex];
  bool taken = true;
  if constexpr (kDirective.Type == Kind::Space) {
    // A longer run would move what follows, unless a number follows: it
    // skips white space itself. The format ends with a conversion, so the
    // byte after the run lies inside the span of what follows.
    for (std::size_t i = 0; i < kDirective.FullSpan; ++i) taken &= IsSpace(at[i]);
    return taken && (kDirectives<kFormat>[kIndex + 1].Type == Kind::Number || !IsSpace(at[kDirective.FullSpan]));
  } else if constexpr (kDirective.Type == Kind::Literal) {
    return *at == kDirective.Literal;
  } else {
    auto& destination = std::get<kDirective.Destination>(destinations);
    using Destination = std::remove_reference_t<decltype(destination)>;
    if constexpr (kDirective.Type == Kind::Character) {
      static_assert(std::is_same_v<Destination, char>, "%c stores into a char");
      taken = *at != '\0';
      if (taken) destination = *at;
    } else if constexpr (kDirective.Type == Kind::Set) {
#pragma GCC unroll 9
      for (unsigned i = 0; i < kDirective.Width; ++i) taken &= kDirective.Members[static_cast<unsigned char>(at[i])];
      if (taken) StoreRun<kDirective.Width>(at, destination);
    } else {
      static_assert(std::is_same_v<Destination, unsigned> || std::is_same_v<Destination, int>,
                    "%u stores into an unsigned int, or its bits into an int");
      taken = ReadDigits<kDirective.Width>(at, destination);
    }
    if (taken) cursor.ValuesEnd = at + kDirective.FullSpan;
    return taken;
  }
}

// Runs directive kIndex of kFormat at the cursor and moves it past what the
// directive took; false stops the scan.
template <ScanFormat kFormat, std::size_t kIndex, typename Destinations>
[[gnu::always_inline]] inline bool Step(Cursor& cursor, const Destinations& destinations) {
  static constexpr Directive kDirective = kDirectives<kFormat>[kIndex];
  if constexpr (kDirective.Type == Kind::Space) {
    while (IsSpace(ByteAt(cursor.At, cursor.End))) ++cursor.At;
    return true;
  } else if constexpr (kDirective.Type == Kind::Literal || kDirective.Type == Kind::Character) {
    // Another character, or the end, fails it.
    if (cursor.At == cursor.End || !ReadFullSpan<kFormat, kIndex>(cursor.At, cursor, destinations)) {
      return Fail(cursor);
    }
    ++cursor.At;
  } else if (cursor.End - cursor.At >= static_cast<std::ptrdiff_t>(kDirective.Width) &&
             ReadFullSpan<kFormat, kIndex>(cursor.At, cursor, destinations)) {
    cursor.At += kDirective.Width;
  } else if constexpr (kDirective.Type == Kind::Set) {
    if (!ReadShortSet<kDirective>(cursor, std::get<kDirective.Destination>(destinations))) return false;
  } else if (!ReadShortNumber<kDirective.Width>(cursor, std::get<kDirective.Destination>(destinations))) {
    return false;
  }
  if constexpr (kDirective.IsConversion()) cursor.ValuesEnd = cursor.At;
  return true;
}

// Runs the directives in order until one fails; returns as sscanf returns.
template <ScanFormat kFormat, typename Destinations, std::size_t... kIndex>
[[gnu::always_inline]] inline int Run(Cursor& cursor, const Destinations& destinations,
                                      std::index_sequence<kIndex...> /*directives*/) {
  constexpr auto& kAll = kDirectives<kFormat>;
  std::size_t next = 0;  // the first directive not yet run
  if (cursor.End - cursor.At >= static_cast<std::ptrdiff_t>(kAll.back().Offset + kAll.back().FullSpan)) {
    const char* const text = cursor.At;
    (void)(... && (ReadFullSpan<kFormat, kIndex>(text + kAll[kIndex].Offset, cursor, destinations) && (++next, true)));
    if (next == kAll.size()) return static_cast<int>(kConversions<kFormat>);
    cursor.At = text + kAll[next].Offset;
  }
  auto assigned = static_cast<int>(kConversions<kFormat>);
  (void)(... && (kIndex < next || Step<kFormat, kIndex>(cursor, destinations) ||
                 (assigned = static_cast<int>(kAll[kIndex].Destination), false)));
  return cursor.EndOfText && assigned == 0 ? EOF : assigned;
}

}  // namespace scan

// Reads `text` against kFormat into `destinations`, one per conversion in
// format order.
template <ScanFormat kFormat, typename... Destinations>
[[gnu::always_inline]] inline ScanResult Scan(std::string_view text, Destinations&... destinations) {
  static_assert(scan::kConversions<kFormat> == sizeof...(Destinations), "one destination per conversion");
  const char* const begin = text.data();
  scan::Cursor cursor{begin, begin + text.size(), begin, false};
  const int count = scan::Run<kFormat>(cursor, std::tie(destinations...),
                                       std::make_index_sequence<scan::kDirectives<kFormat>.size()>{});
  return {count, static_cast<std::size_t>(cursor.ValuesEnd - begin)};
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_TEXT_SCAN_H_
