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

namespace scan {

enum class Kind : std::uint8_t { Number, Set, Character, Space, Literal };

struct Directive {
  Kind Type = Kind::Literal;
  unsigned Width = 0;          // Number and Set
  char Literal = '\0';         // Literal
  std::uint64_t SetLow = 0;    // Set: its characters 0 to 63, one bit each
  std::uint64_t SetHigh = 0;   // and 64 to 127
  std::size_t Conversion = 0;  // the conversions before it: a conversion's destination
  std::size_t Span = 1;        // the characters it takes at full width; a blank: as many as it has

  // Whether it stores a value: a conversion rather than a blank or a literal.
  [[nodiscard]] constexpr bool IsConversion() const { return Type != Kind::Space && Type != Kind::Literal; }
};

[[gnu::always_inline]] constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The tests and actions of a run of characters, as function objects that
// the compiler inlines however large the function they are passed to.
struct IsDigit {
  [[gnu::always_inline]] bool operator()(char c) const { return digits::IsDigit(c); }
};

struct IsWhiteSpace {
  [[gnu::always_inline]] bool operator()(char c) const { return IsSpace(c); }
};

// Appends a digit to a number.
struct AppendDigit {
  unsigned& Value;
  [[gnu::always_inline]] void operator()(char c) const { Value = Value * 10 + static_cast<unsigned>(c - '0'); }
};

// Stores a character and moves past it.
struct StoreCharacter {
  char*& Out;
  [[gnu::always_inline]] void operator()(char c) const { *Out++ = c; }
};

// Reached only by a malformed format; a call of it is no constant expression,
// so the format fails to compile.
inline void MalformedFormat() {}

// The directive that starts at `text[at]`; advances `at` past it.
consteval Directive ParseOne(const char* text, std::size_t& at) {
  Directive directive;
  const char c = text[at++];
  if (static_cast<unsigned char>(c) > 127) MalformedFormat();
  if (IsSpace(c)) {
    for (; IsSpace(text[at]); ++at) ++directive.Span;
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
    directive.Span = directive.Width;
  } else if (conversion == '[' && directive.Width >= 1 && text[at] != ']') {
    directive.Type = Kind::Set;
    directive.Span = directive.Width;
    // Only plain members: no negation, no ranges, no ']'.
    for (; text[at] != ']'; ++at) {
      const char member = text[at];
      if (member == '\0' || member == '^' || member == '-' || static_cast<unsigned char>(member) > 127) {
        MalformedFormat();
      }
      const auto code = static_cast<unsigned char>(member);
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
consteval auto ParseAll() {
  std::array<Directive, CountDirectives<kFormat>()> directives{};
  std::size_t conversions = 0;
  std::size_t at = 0;
  for (Directive& directive : directives) {
    directive = ParseOne(kFormat.Text, at);
    directive.Conversion = conversions;
    if (directive.IsConversion()) ++conversions;
  }
  return directives;
}

// The directives up to the last conversion. White space and literals after
// it can only end the scan, which returns the same count of values either
// way, so they are not run. A format without conversions keeps them all: its
// result tells EOF from 0.
template <ScanFormat kFormat>
consteval std::size_t CountRunDirectives() {
  constexpr auto kAll = ParseAll<kFormat>();
  std::size_t run = kAll.size();
  while (run > 0 && !kAll.at(run - 1).IsConversion()) --run;
  return run == 0 ? kAll.size() : run;
}

template <ScanFormat kFormat>
consteval auto ParseFormat() {
  constexpr auto kAll = ParseAll<kFormat>();
  std::array<Directive, CountRunDirectives<kFormat>()> directives{};
  for (std::size_t i = 0; i < directives.size(); ++i) directives.at(i) = kAll.at(i);
  return directives;
}

template <ScanFormat kFormat>
inline constexpr auto kDirectives = ParseFormat<kFormat>();

template <ScanFormat kFormat>
consteval std::size_t CountConversions() {
  std::size_t count = 0;
  for (const Directive& directive : kDirectives<kFormat>) count += directive.IsConversion() ? 1U : 0U;
  return count;
}

// Where each directive starts when every one before it takes its full span.
template <ScanFormat kFormat>
consteval auto FullSpanOffsets() {
  std::array<std::size_t, kDirectives<kFormat>.size() + 1> offsets{};
  for (std::size_t i = 0; i < kDirectives<kFormat>.size(); ++i) {
    offsets.at(i + 1) = offsets.at(i) + kDirectives<kFormat>.at(i).Span;
  }
  return offsets;
}

template <ScanFormat kFormat>
inline constexpr auto kFullSpanOffsets = FullSpanOffsets<kFormat>();

struct Cursor {
  const char* At;
  const char* End;        // the text's terminating NUL: every byte before it can be read
  bool InputFailure;      // the text ended where the directive needed a character
  const char* ValuesEnd;  // just after the last value read
};

// A set's members as one flag per byte value, looked up in one load.
template <Directive kSet>
inline constexpr auto kSetMembers = [] {
  std::array<bool, 256> members{};
  for (unsigned code = 0; code < 64; ++code) {
    members.at(code) = ((kSet.SetLow >> code) & 1) != 0;
    members.at(code + 64) = ((kSet.SetHigh >> code) & 1) != 0;
  }
  return members;
}();

template <Directive kSet>
[[gnu::always_inline]] inline bool InSet(char c) {
  return kSetMembers<kSet>[static_cast<unsigned char>(c)];
}

template <Directive kSet>
struct InSetOf {
  [[gnu::always_inline]] bool operator()(char c) const { return InSet<kSet>(c); }
};

// Hands `take` the characters from `at` on that `accept` takes, one per
// place in kAt, and returns how many it took. It reads no character after the
// first one refused, so never past the end.
template <typename Accept, typename Take, std::size_t... kAt>
[[gnu::always_inline]] inline std::size_t TakeEach(const char* at, Accept accept, Take take,
                                                   std::index_sequence<kAt...> /*places*/) {
  std::size_t taken = 0;
  (void)(... && (accept(at[kAt]) && (take(at[kAt]), ++taken, true)));
  return taken;
}

// Takes the characters from `at` on that `accept` takes, at most kWidth,
// each handed to `take`, and advances `at` past them; unrolled.
template <unsigned kWidth, typename Accept, typename Take>
[[gnu::always_inline]] inline void TakeRun(const char*& at, Accept accept, Take take) {
  at += TakeEach(at, accept, take, std::make_index_sequence<kWidth>{});
}

// Each of these reads the text at `at` for one directive, advances `at` past
// what it took, and returns false on a failure, setting `end_of_text` when the
// failure is that the text ended.
template <char kLiteral>
[[gnu::always_inline]] inline bool Match(const char*& at, bool& end_of_text) {
  if (*at == kLiteral) {
    ++at;
    return true;
  }
  end_of_text = *at == '\0';
  return false;
}

[[gnu::always_inline]] inline bool ReadCharacter(const char*& at, char& destination, bool& end_of_text) {
  end_of_text = *at == '\0';
  if (end_of_text) return false;
  destination = *at++;
  return true;
}

template <Directive kSet, std::size_t kSize>
[[gnu::always_inline]] inline bool ReadSet(const char*& at, char (&destination)[kSize], bool& end_of_text) {
  static_assert(kSize > kSet.Width, "%N[...] stores into a char array of more than N characters");
  const char* const first = at;
  char* out = destination;
  TakeRun<kSet.Width>(at, InSetOf<kSet>{}, StoreCharacter{out});
  if (at == first) {
    end_of_text = *at == '\0';  // the set holds no NUL
    return false;
  }
  *out = '\0';
  return true;
}

// The value of the kCount (2 to 8) bytes at `at`, if they are all digits,
// read at once.
template <unsigned kCount>
[[gnu::always_inline]] inline bool ReadDigitsAtOnce(const char* at, unsigned& value) {
  if constexpr (kCount == 2) {
    const unsigned tens = static_cast<unsigned char>(at[0]) - unsigned{'0'};
    const unsigned ones = static_cast<unsigned char>(at[1]) - unsigned{'0'};
    value = tens * 10 + ones;
    return (tens < 10) & (ones < 10);
  }
  // Four digits or fewer fit a 32-bit word, and take one step less.
  using Word = std::conditional_t<(kCount <= 4), std::uint32_t, std::uint64_t>;
  constexpr unsigned kBytes = sizeof(Word);
  constexpr Word kOnes = static_cast<Word>(0x0101010101010101);
  constexpr Word kUsed =
      kCount == kBytes ? static_cast<Word>(~Word{0}) : static_cast<Word>((Word{1} << (8 * kCount)) - 1);
  Word bytes = 0;
  std::memcpy(&bytes, at, kCount);  // little endian: the first digit is the lowest byte
  // '0' to '9' are the bytes 0x30 to 0x39: a high nibble of 3, also after adding 6.
  constexpr Word kHighNibbles = (0xf0 * kOnes) & kUsed;
  constexpr Word kZeros = (0x30 * kOnes) & kUsed;
  if ((bytes & kHighNibbles) != kZeros || ((bytes + ((6 * kOnes) & kUsed)) & kHighNibbles) != kZeros) return false;
  // Leading zero digits in the low bytes, then pairs, quads and the eight.
  Word digits = static_cast<Word>((bytes - kZeros) << (8 * (kBytes - kCount)));
  digits = (digits * 10 + (digits >> 8)) & static_cast<Word>(0x00ff00ff00ff00ff);
  digits = (digits * 100 + (digits >> 16)) & static_cast<Word>(0x0000ffff0000ffff);
  if constexpr (kBytes == 8) digits = (digits * 10000 + (digits >> 32)) & 0xffffffff;
  value = static_cast<unsigned>(digits);
  return true;
}

// The value of the kWidth bytes at `at`, if they are all digits.
template <unsigned kWidth>
[[gnu::always_inline]] inline bool ReadDigits(const char* at, unsigned& destination) {
  if constexpr (kWidth == 1) {
    if (!digits::IsDigit(*at)) return false;
    destination = static_cast<unsigned>(*at - '0');
    return true;
  } else if constexpr (kWidth <= 8) {
    unsigned value = 0;
    if (!ReadDigitsAtOnce<kWidth>(at, value)) return false;
    destination = value;
    return true;
  } else {
    unsigned value = 0;
    if (!ReadDigitsAtOnce<8>(at, value) || !digits::IsDigit(at[8])) return false;
    destination = value * 10 + static_cast<unsigned>(at[8] - '0');
    return true;
  }
}

// A number of kWidth digits with kWidth bytes to read before the end: the
// common case, read without a branch per digit.
template <unsigned kWidth>
[[gnu::always_inline]] inline bool ReadFullWidth(const char*& at, const char* end, unsigned& destination) {
  if (end - at < static_cast<std::ptrdiff_t>(kWidth) || !ReadDigits<kWidth>(at, destination)) return false;
  at += kWidth;
  return true;
}

// Where a number read more slowly leaves the text.
struct SlowNumber {
  const char* At;
  bool Read;
  bool EndOfText;
};

// Any other number: after white space, with a sign, shorter than the width.
template <unsigned kWidth>
[[gnu::noinline]] SlowNumber ReadNumberSlowly(const char* at, unsigned& destination) {
  unsigned value = 0;
  const AppendDigit take{value};
  while (IsSpace(*at)) ++at;
  const bool end_of_text = *at == '\0';
  const bool negative = *at == '-';
  const bool signed_number = negative || *at == '+';
  if (signed_number) ++at;  // the sign takes one place of the width
  const char* const first_digit = at;
  if (!signed_number) {
    TakeRun<kWidth>(at, IsDigit{}, take);
  } else if constexpr (kWidth > 1) {
    TakeRun<kWidth - 1>(at, IsDigit{}, take);
  }
  if (at == first_digit) return {at, false, end_of_text};
  destination = negative ? 0U - value : value;
  return {at, true, false};
}

template <unsigned kWidth>
[[gnu::always_inline]] inline bool ReadNumber(const char*& at, const char* end, unsigned& destination,
                                              bool& end_of_text) {
  if (ReadFullWidth<kWidth>(at, end, destination)) return true;
  if (digits::IsDigit(*at)) {  // fewer digits, or near the end; no white space, no sign
    unsigned value = 0;
    TakeRun<kWidth>(at, IsDigit{}, AppendDigit{value});
    destination = value;
    return true;
  }
  const SlowNumber slow = ReadNumberSlowly<kWidth>(at, destination);
  at = slow.At;
  end_of_text = slow.EndOfText;
  return slow.Read;
}

// Whether `accept` takes the character at each place in kAt.
template <typename Accept, std::size_t... kAt>
[[gnu::always_inline]] inline bool AllAt(const char* at, Accept accept, std::index_sequence<kAt...> /*places*/) {
  return (... && accept(at[kAt]));
}

// Whether `accept` takes all kCount characters at `at`.
template <std::size_t kCount, typename Accept>
[[gnu::always_inline]] inline bool AllOf(const char* at, Accept accept) {
  return AllAt(at, accept, std::make_index_sequence<kCount>{});
}

// Runs directive kIndex of kFormat at the place where it starts when every
// directive from kFirst, which starts at `text`, took its full span, and
// succeeds only where the directive takes its own full span there, exactly as
// Step would: a number of all its width in digits, a set's width of its
// characters, one character, the literal, or a blank's own count of white
// space and no more (any more is left to a number that follows). Reads no
// byte past the text's NUL; stores only on success.
template <ScanFormat kFormat, std::size_t kFirst, std::size_t kIndex, bool kLongEnough, typename Destinations>
[[gnu::always_inline]] inline bool FullSpanStep(const char* text, std::size_t size, const Destinations& destinations) {
  static constexpr Directive kDirective = kDirectives<kFormat>[kIndex];
  static constexpr std::size_t kAt = kFullSpanOffsets<kFormat>[kIndex] - kFullSpanOffsets<kFormat>[kFirst];
  if (!kLongEnough && size < kAt + kDirective.Span) return false;
  const char* const at = text + kAt;
  if constexpr (kDirective.Type == Kind::Space) {
    // A number skips white space itself, so one that follows reads from the
    // same byte wherever in a longer run the blank stops.
    constexpr bool kNumberNext =
        kIndex + 1 < kDirectives<kFormat>.size() && kDirectives<kFormat>[kIndex + 1].Type == Kind::Number;
    return AllOf<kDirective.Span>(at, IsWhiteSpace{}) && (kNumberNext || !IsSpace(at[kDirective.Span]));
  } else if constexpr (kDirective.Type == Kind::Literal) {
    return *at == kDirective.Literal;
  } else {
    auto& destination = std::get<kDirective.Conversion>(destinations);
    if constexpr (kDirective.Type == Kind::Character) {
      if (*at == '\0') return false;
      destination = *at;
      return true;
    } else if constexpr (kDirective.Type == Kind::Set) {
      if (!AllOf<kDirective.Width>(at, InSetOf<kDirective>{})) return false;
      // The byte after the run is readable (at the latest the NUL), so the
      // run and its terminator go out as one store.
      char run[kDirective.Width + 1];
      std::memcpy(run, at, sizeof run);
      run[kDirective.Width] = '\0';
      std::memcpy(destination, run, sizeof run);
      return true;
    } else {
      return ReadDigits<kDirective.Width>(at, destination);
    }
  }
}

// Runs directive kIndex of kFormat wherever the text has left the cursor;
// false stops the scan.
template <ScanFormat kFormat, std::size_t kIndex, typename Destinations>
[[gnu::always_inline]] inline bool Step(Cursor& cursor, const Destinations& destinations) {
  static constexpr Directive kDirective = kDirectives<kFormat>[kIndex];
  if constexpr (kDirective.Type == Kind::Space) {
    while (IsSpace(*cursor.At)) ++cursor.At;
    return true;
  } else if constexpr (kDirective.Type == Kind::Literal) {
    return Match<kDirective.Literal>(cursor.At, cursor.InputFailure);
  } else {
    auto& destination = std::get<kDirective.Conversion>(destinations);
    using Destination = std::remove_reference_t<decltype(destination)>;
    bool read = false;
    if constexpr (kDirective.Type == Kind::Character) {
      static_assert(std::is_same_v<Destination, char>, "%c stores into a char");
      read = ReadCharacter(cursor.At, destination, cursor.InputFailure);
    } else if constexpr (kDirective.Type == Kind::Set) {
      read = ReadSet<kDirective>(cursor.At, destination, cursor.InputFailure);
    } else {
      static_assert(std::is_same_v<Destination, unsigned>, "%u stores into an unsigned int");
      read = ReadNumber<kDirective.Width>(cursor.At, cursor.End, destination, cursor.InputFailure);
    }
    if (read) cursor.ValuesEnd = cursor.At;
    return read;
  }
}

// For each directive j from kFirst on, where the last value among the
// directives from kFirst up to j ends when each took its full span, counted
// from where kFirst starts: 0 when none is a value.
template <ScanFormat kFormat, std::size_t kFirst>
consteval auto FullSpanValuesEnds() {
  constexpr auto& kAll = kDirectives<kFormat>;
  constexpr auto& kOffsets = kFullSpanOffsets<kFormat>;
  std::array<std::size_t, kAll.size() + 1> ends{};
  for (std::size_t i = kFirst; i < kAll.size(); ++i) {
    ends.at(i + 1) = kAll.at(i).IsConversion() ? kOffsets.at(i + 1) - kOffsets.at(kFirst) : ends.at(i);
  }
  return ends;
}

template <ScanFormat kFormat, std::size_t kFirst>
inline constexpr auto kFullSpanValuesEnds = FullSpanValuesEnds<kFormat, kFirst>();

// The result of a scan that stopped at directive `index`: the values
// assigned before it, or EOF where the text ended before the first.
template <ScanFormat kFormat>
[[gnu::always_inline]] inline int StoppedAt(std::size_t index, bool end_of_text) {
  const auto assigned = static_cast<int>(kDirectives<kFormat>[index].Conversion);
  return end_of_text && assigned == 0 ? EOF : assigned;
}

// The index of the first directive from kFirst that does not take its full
// span when each before it did, the directives kFirst + kRest starting at
// `text`; the number of directives when none fails.
template <ScanFormat kFormat, std::size_t kFirst, typename Destinations, std::size_t... kRest>
[[gnu::always_inline]] inline std::size_t FullSpanRun(const char* text, std::size_t size,
                                                      const Destinations& destinations,
                                                      std::index_sequence<kRest...> /*directives*/) {
  constexpr auto& kOffsets = kFullSpanOffsets<kFormat>;
  std::size_t full_span = kFirst;
  // A text as long as all full spans needs no check of its length on the way.
  if (size >= kOffsets.back() - kOffsets[kFirst]) {
    (void)(... &&
           (FullSpanStep<kFormat, kFirst, kFirst + kRest, true>(text, size, destinations) && (++full_span, true)));
  } else {
    (void)(... &&
           (FullSpanStep<kFormat, kFirst, kFirst + kRest, false>(text, size, destinations) && (++full_span, true)));
  }
  return full_span;
}

// The order in which AllAtFullSpan checks directives: literals, blanks,
// conversions. A text that differs mostly differs in its separators, and
// they store nothing.
constexpr int CheckRound(Kind kind) { return kind == Kind::Literal ? 0 : kind == Kind::Space ? 1 : 2; }

template <ScanFormat kFormat, int kRound, typename Destinations, std::size_t... kIndex>
[[gnu::always_inline]] inline bool RoundAtFullSpan(const char* text, std::size_t size, const Destinations& destinations,
                                                   std::index_sequence<kIndex...> /*directives*/) {
  return (... && (CheckRound(kDirectives<kFormat>[kIndex].Type) != kRound ||
                  FullSpanStep<kFormat, 0, kIndex, true>(text, size, destinations)));
}

// Whether every directive of kFormat takes its full span at `text`, of
// `size` characters.
template <ScanFormat kFormat, typename Destinations>
[[gnu::always_inline]] inline bool AllAtFullSpan(const char* text, std::size_t size, const Destinations& destinations) {
  constexpr auto kAll = std::make_index_sequence<kDirectives<kFormat>.size()>{};
  return size >= kFullSpanOffsets<kFormat>.back() && RoundAtFullSpan<kFormat, 0>(text, size, destinations, kAll) &&
         RoundAtFullSpan<kFormat, 1>(text, size, destinations, kAll) &&
         RoundAtFullSpan<kFormat, 2>(text, size, destinations, kAll);
}

// Runs the directives from kFirst on at full span from the cursor, moves the
// cursor past those that succeed in a row, and returns the index of the
// first that does not (the number of directives when none fails).
template <ScanFormat kFormat, std::size_t kFirst, typename Destinations>
[[gnu::always_inline]] inline std::size_t FullSpanFrom(Cursor& cursor, const Destinations& destinations) {
  constexpr auto& kAll = kDirectives<kFormat>;
  constexpr auto& kOffsets = kFullSpanOffsets<kFormat>;
  const char* const text = cursor.At;
  const auto size = static_cast<std::size_t>(cursor.End - text);
  const std::size_t full_span =
      FullSpanRun<kFormat, kFirst>(text, size, destinations, std::make_index_sequence<kAll.size() - kFirst>{});
  cursor.At = text + (kOffsets[full_span] - kOffsets[kFirst]);
  // With no value among them, the last value is the set just before kFirst,
  // which ended at `text`, or none at all when kFirst is 0.
  cursor.ValuesEnd = text + kFullSpanValuesEnds<kFormat, kFirst>[full_span];
  return full_span;
}

// Whether the scan is over once the directives up to `next` succeeded: all of
// them did, or one by one the scan would stop at the same byte, a literal.
// Sets `result` when it is.
template <ScanFormat kFormat>
[[gnu::always_inline]] inline bool Ended(const Cursor& cursor, std::size_t next, int& result) {
  constexpr auto& kAll = kDirectives<kFormat>;
  if (next == kAll.size()) {
    result = static_cast<int>(CountConversions<kFormat>());
    return true;
  }
  if (kAll[next].Type != Kind::Literal) return false;
  result = StoppedAt<kFormat>(next, *cursor.At == '\0');
  return true;
}

// Runs the directives from `next` (at least kIndex) one by one. After a set,
// whose length varies, the rest are tried at full span again from where it
// ended, and those that fail then run one by one from there.
template <ScanFormat kFormat, std::size_t kIndex, typename Destinations>
[[gnu::always_inline]] inline int StepFrom(Cursor& cursor, const Destinations& destinations, std::size_t next) {
  constexpr auto& kAll = kDirectives<kFormat>;
  if constexpr (kIndex == kAll.size()) {
    return static_cast<int>(CountConversions<kFormat>());
  } else {
    if (kIndex >= next) {
      if (!Step<kFormat, kIndex>(cursor, destinations)) return StoppedAt<kFormat>(kIndex, cursor.InputFailure);
      if constexpr (kAll[kIndex].Type == Kind::Set && kIndex + 1 < kAll.size()) {
        next = FullSpanFrom<kFormat, kIndex + 1>(cursor, destinations);
        if (int result = 0; Ended<kFormat>(cursor, next, result)) return result;
      }
    }
    return StepFrom<kFormat, kIndex + 1>(cursor, destinations, next);
  }
}

// Runs every directive from the cursor: first at the places where they start
// when each takes its full span, the common case, at offsets known to the
// compiler. Those that succeed in a row read what they would have read one by
// one; the rest then run one by one from where they stopped.
template <ScanFormat kFormat, typename Destinations>
[[gnu::always_inline]] inline int Run(Cursor& cursor, const Destinations& destinations) {
  const std::size_t next = FullSpanFrom<kFormat, 0>(cursor, destinations);
  if (int result = 0; Ended<kFormat>(cursor, next, result)) return result;
  return StepFrom<kFormat, 0>(cursor, destinations, next);
}

}  // namespace scan

// Scan below, also telling in `values_end` how many characters of the text
// precede the end of the last value read (0 when none was).
template <ScanFormat kFormat, typename... Destinations>
[[gnu::always_inline]] inline int ScanToValuesEnd(std::string_view text, std::size_t& values_end,
                                                  Destinations&... destinations) {
  static_assert(scan::CountConversions<kFormat>() == sizeof...(Destinations), "one destination per conversion");
  scan::Cursor cursor{text.data(), text.data() + text.size(), false, text.data()};
  const int count = scan::Run<kFormat>(cursor, std::tie(destinations...));
  values_end = static_cast<std::size_t>(cursor.ValuesEnd - text.data());
  return count;
}

// Whether every directive of kFormat takes its full span from the start of
// `text`, each number all its width in digits, each set its width of
// characters, each blank its own count of white space. Then Scan would
// assign every value, the destinations hold the values that it would store
// and `values_end` is set as ScanToValuesEnd sets it; otherwise some
// destinations may have been written.
template <ScanFormat kFormat, typename... Destinations>
[[gnu::always_inline]] inline bool ScanAtFullSpan(std::string_view text, std::size_t& values_end,
                                                  Destinations&... destinations) {
  static_assert(scan::CountConversions<kFormat>() == sizeof...(Destinations), "one destination per conversion");
  if (!scan::AllAtFullSpan<kFormat>(text.data(), text.size(), std::tie(destinations...))) return false;
  values_end = scan::kFullSpanValuesEnds<kFormat, 0>.back();
  return true;
}

// Reads `text` (up to its first NUL) against kFormat into `destinations`, one
// per conversion in format order; returns as sscanf returns. The byte after
// the text must be a NUL, as in a std::string's buffer.
template <ScanFormat kFormat, typename... Destinations>
[[gnu::always_inline]] inline int Scan(std::string_view text, Destinations&... destinations) {
  std::size_t values_end = 0;
  return ScanToValuesEnd<kFormat>(text, values_end, destinations...);
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_TEXT_SCAN_H_
