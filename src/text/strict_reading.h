// Internal: what the strict readers share: the fields that a text names, the
// layouts of fixed width that they check a text against, the check that the
// fields name a time that exists and the instant that they form, and what a
// reading found wrong, for the message of its refusal.
#ifndef ORVIK_CHRONO_SRC_TEXT_STRICT_READING_H_
#define ORVIK_CHRONO_SRC_TEXT_STRICT_READING_H_

#include <orvik/chrono/chrono.h>

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "calendar/civil.h"
#include "calendar/leap_seconds.h"
#include "calendar/time_units.h"
#include "text/digits.h"
#include "text/scan.h"

namespace orvik::chrono::internal {

// A date and time of day as a text wrote them, each field in an int: the
// readers take at most four digits a field, and cap a longer year.
struct CivilFields {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Nanoseconds = 0;
};

// A layout of fixed width, whose every byte stands for itself but
//   y o d h i s  a digit of the year, month, day, hour, minutes or seconds;
//   f            a digit of the nanoseconds;
//   u v          a digit of the offset's hours or minutes;
//   +            '+' or '-', the offset's sign;
//   ?            'T', 't' or ' ', between a date and a time of day;
//   _            ' ' or a digit, a day of one digit padded with a space;
//   n            a byte of a month's abbreviation, which the reader looks up.
// After names what comes before the layout in a text, for messages.
struct Layout {
  std::string_view Text;
  std::string_view After;
};

// What a strict reading found wrong first.
enum class Problem : std::uint8_t {
  None,
  Expected,  // the text departs from its layout at ReadingFault::At
  Month,     // a field that does not exist
  Day,
  Hour,
  Minute,
  Second,
  LeapSecond,     // second 60 where UTC inserted none
  OffsetHours,    // 24 or more
  OffsetMinutes,  // 60 or more
  Weekday,        // the weekday written at At, Size bytes, is not the date's
  Zone,           // the zone written at At, Size bytes, has no known offset
  OutsideRange,   // the instant is outside the time point range
};

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

  // A departure from the text's layout at `at`: false, for the reader to return.
  bool Expect(std::string_view expected, std::size_t at, std::size_t size = 0) {
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

inline constexpr std::size_t kFractionDigits = 9;
inline constexpr unsigned kFractionScale[kFractionDigits + 1] = {
    1'000'000'000, 100'000'000, 10'000'000, 1'000'000, 100'000, 10'000, 1'000, 100, 10, 1};

// Reads the digits of a fraction after its decimal sign, one to nine, as
// nanoseconds into `nanoseconds` and moves past them; false, with the fault,
// where there is no digit, or where a tenth one stands, at which the text
// should hold what `after_nine` says.
inline bool ReadFraction(std::string_view text, std::size_t& at, std::string_view after_nine, int& nanoseconds,
                         StrictReading& r) {
  unsigned value = 0;
  std::size_t digits = digits::ReadLeadingDigits(text.data() + at, text.size() - at, value);
  if (digits == kFractionDigits - 1 && at + digits < text.size() && digits::IsDigit(text[at + digits])) {
    value = value * 10 + static_cast<unsigned>(text[at + digits] - '0');
    ++digits;
  }
  at += digits;
  if (digits == 0) return r.Expect("one to nine digits of a fraction after the decimal sign", at);
  if (at < text.size() && digits::IsDigit(text[at])) return r.Expect(after_nine, at);
  nanoseconds = static_cast<int>(value * kFractionScale[digits]);
  return true;
}

constexpr bool IsDigitPattern(char pattern) {
  return std::string_view("yodhisfuv").find(pattern) != std::string_view::npos;
}
constexpr bool IsLiteralPattern(char pattern) {
  return !IsDigitPattern(pattern) && std::string_view("?_n+").find(pattern) == std::string_view::npos;
}

template <char kPattern>
[[gnu::always_inline]] inline int& FieldOf(StrictReading& r) {
  if constexpr (kPattern == 'y') return r.Fields.Year;
  if constexpr (kPattern == 'o') return r.Fields.Month;
  if constexpr (kPattern == 'd' || kPattern == '_') return r.Fields.Day;
  if constexpr (kPattern == 'h') return r.Fields.Hour;
  if constexpr (kPattern == 'i') return r.Fields.Minute;
  if constexpr (kPattern == 's') return r.Fields.Second;
  if constexpr (kPattern == 'f') return r.Fields.Nanoseconds;
  if constexpr (kPattern == 'u') return r.OffsetHours;
  if constexpr (kPattern == 'v') return r.OffsetMinutes;
}

// Whether byte `c` fits byte `kPattern` of a Layout; a digit is added to its
// field. kChecked: the layout's digits and literal bytes have been checked
// and read already, and a month's letters are left to its lookup.
template <char kPattern, bool kChecked = false>
[[gnu::always_inline]] inline bool Fits(char c, StrictReading& r) {
  const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
  if constexpr (kPattern == '?') return c == 'T' || c == 't' || c == ' ';
  if constexpr (kPattern == '+') return c == '+' || c == '-';
  if constexpr (kPattern == '_') {
    FieldOf<'_'>(r) = digit < 10 ? static_cast<int>(digit) : 0;
    return c == ' ' || digit < 10;
  }
  if constexpr (kChecked) return true;
  if constexpr (kPattern == 'n') return static_cast<unsigned char>((c | 0x20) - 'a') < 26;
  if constexpr (IsDigitPattern(kPattern)) {
    FieldOf<kPattern>(r) = FieldOf<kPattern>(r) * 10 + static_cast<int>(digit);
    return digit < 10;
  }
  return c == kPattern;
}

// A field's digits in a Layout.
struct DigitRun {
  std::size_t Offset;
  std::size_t Width;
  char Field;
};

template <const Layout& kLayout>
consteval std::size_t CountRuns() {
  std::size_t runs = 0;
  for (std::size_t i = 0; i < kLayout.Text.size(); ++i) {
    runs += IsDigitPattern(kLayout.Text[i]) && (i == 0 || kLayout.Text[i - 1] != kLayout.Text[i]) ? 1U : 0U;
  }
  return runs;
}

template <const Layout& kLayout>
consteval auto DigitRuns() {
  std::array<DigitRun, CountRuns<kLayout>()> runs{};
  std::size_t run = 0;
  for (std::size_t i = 0; i < kLayout.Text.size(); ++i) {
    const char pattern = kLayout.Text[i];
    if (!IsDigitPattern(pattern)) continue;
    if (i > 0 && kLayout.Text[i - 1] == pattern) {
      ++runs.at(run - 1).Width;
    } else {
      runs.at(run++) = {i, 1, pattern};
    }
  }
  return runs;
}

// A run of this many digits or fewer is read from a word that holds it whole,
// where one does.
constexpr std::size_t kShortRun = 4;

// Eight bytes of a layout from Offset on, which a fitting text holds under
// Mask: its literal bytes whole and the high half, 3, of each digit, which
// stays 3 with Six added.
struct LayoutWord {
  std::uint64_t Bytes;
  std::uint64_t Mask;
  std::uint64_t Six;
  std::size_t Offset;
};

// The words of kLayout, every eight bytes, the last ending with the layout,
// of eight bytes or more.
template <const Layout& kLayout>
consteval auto LayoutWords() {
  constexpr std::size_t kSize = kLayout.Text.size();
  static_assert(kSize >= sizeof(std::uint64_t), "a layout is a word or more");
  std::array<LayoutWord, (kSize + 7) / 8> words{};
  for (std::size_t w = 0; w < words.size(); ++w) {
    const std::size_t offset = std::min(w * 8, kSize - 8);
    std::array<std::array<unsigned char, 8>, 3> parts{};
    for (std::size_t b = 0; b < 8; ++b) {
      const char pattern = kLayout.Text[offset + b];
      const bool digit = IsDigitPattern(pattern);
      parts[0].at(b) = IsLiteralPattern(pattern) ? static_cast<unsigned char>(pattern) : digit ? '0' : 0;
      parts[1].at(b) = IsLiteralPattern(pattern) ? 0xFF : digit ? 0xF0 : 0;
      parts[2].at(b) = digit ? 6 : 0;
    }
    words.at(w) = {std::bit_cast<std::uint64_t>(parts[0]), std::bit_cast<std::uint64_t>(parts[1]),
                   std::bit_cast<std::uint64_t>(parts[2]), offset};
  }
  return words;
}

// The first word of kLayout that holds the whole of a run, or none.
template <const Layout& kLayout>
consteval std::size_t WordOf(DigitRun run) {
  std::size_t w = 0;
  for (const auto words = LayoutWords<kLayout>(); w < words.size(); ++w) {
    if (words.at(w).Offset <= run.Offset && run.Offset + run.Width <= words.at(w).Offset + 8) break;
  }
  return w;
}

inline std::uint64_t LoadWord(const char* text) {
  std::uint64_t word = 0;
  std::memcpy(&word, text, sizeof word);
  return word;
}

// The bytes of `word` that depart from kWord. A carry out of a digit's byte
// comes only from one that is no digit, and a departure stands before it.
template <LayoutWord kWord>
[[gnu::always_inline]] inline std::uint64_t Misfits(std::uint64_t word) {
  return ((word ^ kWord.Bytes) | ((word + kWord.Six) ^ kWord.Bytes)) & kWord.Mask;
}

// The value of the digits of a short run at byte `at` of a word whose digits
// fit: each byte's low half is its digit, and ten times a byte added to the
// byte above it stays below 256, the pair's value.
template <std::size_t kWidth>
[[gnu::always_inline]] inline int ShortRunValue(std::uint64_t word, std::size_t at) {
  constexpr std::uint64_t kLowHalves = 0x0F0F0F0F0F0F0F0F;
  const std::uint64_t digits = word & kLowHalves;
  const std::uint64_t pairs = digits * 10 + (digits >> 8U);
  const auto byte = [](std::uint64_t bytes, std::size_t i) { return static_cast<int>((bytes >> (8 * i)) & 0xFF); };
  static_assert(kWidth == 1 || kWidth == 2 || kWidth == 4, "a short run of one, two or four digits");
  if constexpr (kWidth == 1) return byte(digits, at);
  if constexpr (kWidth == 2) return byte(pairs, at);
  return byte(pairs, at) * 100 + byte(pairs, at + 2);
}

// Reads the digits of kRun into its field, after any digit before them;
// false where the digits of a run that no word holds whole do not fit.
template <const Layout& kLayout, DigitRun kRun, std::size_t kWords>
[[gnu::always_inline]] inline bool ReadRun(const char* text, const std::array<std::uint64_t, kWords>& words,
                                           StrictReading& r) {
  int scale = 1;
  for (std::size_t i = 0; i < kRun.Width; ++i) scale *= 10;
  int& field = FieldOf<kRun.Field>(r);
  if constexpr (kRun.Width <= kShortRun && WordOf<kLayout>(kRun) < kWords) {
    constexpr std::size_t kWord = WordOf<kLayout>(kRun);
    field = field * scale + ShortRunValue<kRun.Width>(words[kWord], kRun.Offset - LayoutWords<kLayout>()[kWord].Offset);
    return true;
  } else {
    unsigned value = 0;
    const bool digits = scan::ReadDigits<static_cast<unsigned>(kRun.Width)>(text + kRun.Offset, value);
    field = field * scale + static_cast<int>(value);
    return digits;
  }
}

template <const Layout& kLayout, std::size_t... kWord, std::size_t... kRun>
[[gnu::always_inline]] inline bool WordsFit(const char* text, StrictReading& r, std::index_sequence<kWord...> /*words*/,
                                            std::index_sequence<kRun...> /*runs*/) {
  static constexpr auto kWords = LayoutWords<kLayout>();
  static constexpr auto kRuns = DigitRuns<kLayout>();
  const std::array<std::uint64_t, sizeof...(kWord)> words = {LoadWord(text + kWords[kWord].Offset)...};
  const bool runs = (static_cast<unsigned>(ReadRun<kLayout, kRuns[kRun]>(text, words, r)) & ...) != 0;
  return ((Misfits<kWords[kWord]>(words[kWord]) | ...) == 0) & runs;
}

// Whether every byte of `text`, which is as long as kLayout, fits it: the
// literal bytes and digits a word at a time, each field's digits at once,
// and the rest byte by byte.
template <const Layout& kLayout, std::size_t... kIndex>
[[gnu::always_inline]] inline bool FitsAll(const char* text, StrictReading& r,
                                           std::index_sequence<kIndex...> /*bytes*/) {
  const bool others = (static_cast<unsigned>(Fits<kLayout.Text[kIndex], true>(text[kIndex], r)) & ...) != 0;
  const bool words = WordsFit<kLayout>(text, r, std::make_index_sequence<LayoutWords<kLayout>().size()>(),
                                       std::make_index_sequence<DigitRuns<kLayout>().size()>());
  return others & words;
}

// The field that byte `pattern` of a Layout belongs to; empty for a literal.
constexpr std::string_view FieldName(char pattern) {
  switch (pattern) {
    case 'y':
      return "year";
    case 'o':
    case 'n':
      return "month";
    case 'd':
    case '_':
      return "day";
    case 'h':
      return "hour";
    case 'i':
      return "minutes";
    case 's':
      return "seconds";
    default:
      return {};
  }
}

// What a text should hold where it departs from a layout, as a message says
// it after "expected ".
struct ExpectedText {
  std::array<char, 64> Bytes{};
  std::size_t Size = 0;

  constexpr void Add(std::string_view part) {
    for (const char c : part) Bytes.at(Size++) = c;
  }
  [[nodiscard]] constexpr std::string_view View() const { return {Bytes.data(), Size}; }
};

// What byte `index` of `layout` stands for: a field's digits, a name, the
// separator of date and time, or the run of literal bytes around it, then
// what comes before those two.
consteval ExpectedText ExpectedAt(const Layout& layout, std::size_t index) {
  constexpr std::string_view kCounts[] = {"", "one", "two", "three", "four"};
  const std::string_view text = layout.Text;
  const char pattern = text[index];
  std::size_t begin = index;
  std::size_t end = index + 1;
  const auto widen = [&](auto belongs) {
    while (begin > 0 && belongs(text[begin - 1])) --begin;
    while (end < text.size() && belongs(text[end])) ++end;
  };
  ExpectedText expected;
  if (pattern == 'n') {
    expected.Add("a month, Jan to Dec");
  } else if (pattern == '_' || (pattern == 'd' && index > 0 && text[index - 1] == '_')) {
    expected.Add("the day in two digits, or a space and one digit");
  } else if (!IsLiteralPattern(pattern) && pattern != '?') {
    widen([pattern](char c) { return c == pattern; });
    expected.Add("the ");
    expected.Add(FieldName(pattern));
    expected.Add(" in ");
    expected.Add(kCounts[end - begin]);
    expected.Add(" digits");
  } else {
    if (pattern == '?') {
      expected.Add("'T', 't' or a space");
    } else {
      widen(IsLiteralPattern);
      expected.Add("'");
      expected.Add(text.substr(begin, end - begin));
      expected.Add("'");
    }
    const std::string_view before = begin > 0 ? FieldName(text[begin - 1]) : layout.After;
    if (!before.empty()) {
      expected.Add(" after the ");
      expected.Add(before);
    }
  }
  return expected;
}

// ExpectedAt for each byte of kLayout.
template <const Layout& kLayout>
consteval auto ExpectedTexts() {
  std::array<ExpectedText, kLayout.Text.size()> texts{};
  for (std::size_t i = 0; i < texts.size(); ++i) texts.at(i) = ExpectedAt(kLayout, i);
  return texts;
}

template <const Layout& kLayout>
inline constexpr auto kExpectedTexts = ExpectedTexts<kLayout>();

// The first byte of `text` from `at` on that does not fit kLayout: the bytes
// are checked in order up to it.
template <const Layout& kLayout, std::size_t... kIndex>
std::size_t FirstMisfit(std::string_view text, std::size_t at, std::index_sequence<kIndex...> /*bytes*/) {
  StrictReading scratch;
  std::size_t fitting = 0;
  static_cast<void>(
      (... && (at + kIndex < text.size() && Fits<kLayout.Text[kIndex]>(text[at + kIndex], scratch) && ++fitting != 0)));
  return fitting;
}

// Reads kLayout at `at` into `r.Fields` and moves past it; false, with the
// fault at the first byte that does not fit, where one does not. A text long
// enough is checked whole before its first misfit is looked for.
template <const Layout& kLayout>
[[gnu::always_inline]] inline bool ReadLayout(std::string_view text, std::size_t& at, StrictReading& r) {
  constexpr auto kBytes = std::make_index_sequence<kLayout.Text.size()>();
  if (text.size() - at >= kLayout.Text.size() && FitsAll<kLayout>(text.data() + at, r, kBytes)) {
    at += kLayout.Text.size();
    return true;
  }
  const std::size_t misfit = FirstMisfit<kLayout>(text, at, kBytes);
  r.Fault = {Problem::Expected, kExpectedTexts<kLayout>[misfit].View(), static_cast<std::uint32_t>(at + misfit), 0};
  return false;
}

// Whether the text from `at` on is kLayout whole, read into `r`; a text that
// is not is left for a reading that can tell what departs from its layout.
template <const Layout& kLayout>
[[gnu::always_inline]] inline bool IsWhole(std::string_view text, std::size_t at, StrictReading& r) {
  constexpr auto kBytes = std::make_index_sequence<kLayout.Text.size()>();
  return text.size() - at == kLayout.Text.size() && FitsAll<kLayout>(text.data() + at, r, kBytes);
}

inline bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// 0 for Sunday: the weekday of the date that `f` names.
inline unsigned WeekdayOf(const CivilFields& f) { return civil::WeekdayFromDays(DayOf(f.Year, f.Month, f.Day)); }

// Checks that `f` names a date and a time of day that exist and forms their
// instant, `offset_seconds` east of UTC, into `out`, and the count of days
// from 1970-01-01 to the date into `days` once the fields exist.
[[gnu::always_inline]] inline Problem FormTimestamp(const CivilFields& f, std::int64_t offset_seconds, Timestamp& out,
                                                    std::int64_t& days) {
  if (f.Month < 1 || f.Month > 12) return Problem::Month;
  if (f.Day < 1 || f.Day > static_cast<int>(civil::DaysInMonth(f.Year, static_cast<unsigned>(f.Month)))) {
    return Problem::Day;
  }
  if (f.Hour > 23) return Problem::Hour;
  if (f.Minute > 59) return Problem::Minute;
  if (f.Second > 60) return Problem::Second;
  const bool leap = f.Second == 60;
  days = DayOf(f.Year, f.Month, f.Day);
  const std::int64_t seconds = days * kSecondsPerDay + f.Hour * kSecondsPerHour + f.Minute * kSecondsPerMinute +
                               (leap ? 59 : f.Second) - offset_seconds;
  std::int64_t nanoseconds = f.Nanoseconds;
  if (leap) {
    const civil::DayAndSecond split = civil::SplitDays(seconds);
    if (split.Second != kSecondsPerDay - 1 || !EndsWithLeapSecond(split.Days)) return Problem::LeapSecond;
    nanoseconds = kNanosecondsPerSecond - 1;
  }
  // Before a negative count a second is moved from the seconds to the
  // nanoseconds, so that a step overflows only where the instant does.
  const std::int64_t borrowed = seconds < 0 ? 1 : 0;
  std::int64_t instant = 0;
  if (__builtin_mul_overflow(seconds + borrowed, kNanosecondsPerSecond, &instant) ||
      __builtin_add_overflow(instant, nanoseconds - borrowed * kNanosecondsPerSecond, &instant)) {
    return Problem::OutsideRange;
  }
  out = {TimePoint(std::chrono::nanoseconds(instant)), std::chrono::seconds(offset_seconds)};
  return Problem::None;
}

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

// Appends the message of a strict reader's refusal of `text` to `message`:
// `head`, what `reading` found wrong, ": " and the text.
void AppendStrictMessage(std::string& message, std::string_view head, const StrictReading& reading,
                         std::string_view text);

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_TEXT_STRICT_READING_H_
