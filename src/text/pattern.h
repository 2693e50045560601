// Internal: byte patterns, the layouts of fixed width that the strict readers
// check a text against, a word at a time, and what a text departing from one
// should hold where it departs, for messages.
#ifndef ORVIK_CHRONO_SRC_TEXT_PATTERN_H_
#define ORVIK_CHRONO_SRC_TEXT_PATTERN_H_

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "messages.h"
#include "text/digits.h"
#include "text/scan.h"
#include "text/strict_reading.h"

namespace orvik::chrono::internal {

// A byte pattern: a layout of fixed width, whose every byte stands for itself
// but
//   y o d h i s  a digit of the year, month, day, hour, minutes or seconds;
//   f            a digit of the nanoseconds;
//   u v          a digit of the offset's hours or minutes;
//   +            '+' or '-', the offset's sign;
//   ?            'T', 't' or ' ', between a date and a time of day;
//   _            ' ' or a digit, a day of one digit padded with a space;
//   n            a byte of a month's abbreviation, which the reader looks up.
// After names what comes before the layout in a text, for messages.
struct BytePattern {
  std::string_view Text;
  std::string_view After;
};

constexpr bool IsDigitSymbol(char symbol) {
  return std::string_view("yodhisfuv").find(symbol) != std::string_view::npos;
}
constexpr bool IsLiteralSymbol(char symbol) {
  return !IsDigitSymbol(symbol) && std::string_view("?_n+").find(symbol) == std::string_view::npos;
}

template <char kSymbol>
[[gnu::always_inline]] inline int& FieldOf(StrictReading& r) {
  if constexpr (kSymbol == 'y') return r.Fields.Year;
  if constexpr (kSymbol == 'o') return r.Fields.Month;
  if constexpr (kSymbol == 'd' || kSymbol == '_') return r.Fields.Day;
  if constexpr (kSymbol == 'h') return r.Fields.Hour;
  if constexpr (kSymbol == 'i') return r.Fields.Minute;
  if constexpr (kSymbol == 's') return r.Fields.Second;
  if constexpr (kSymbol == 'f') return r.Fields.Nanoseconds;
  if constexpr (kSymbol == 'u') return r.OffsetHours;
  if constexpr (kSymbol == 'v') return r.OffsetMinutes;
}

// Whether byte `c` fits byte `kSymbol` of a BytePattern; a digit is added to its
// field. kChecked: the layout's digits and literal bytes have been checked
// and read already, and a month's letters are left to its lookup.
template <char kSymbol, bool kChecked = false>
[[gnu::always_inline]] inline bool Fits(char c, StrictReading& r) {
  const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
  if constexpr (kSymbol == '?') return c == 'T' || c == 't' || c == ' ';
  if constexpr (kSymbol == '+') return c == '+' || c == '-';
  if constexpr (kSymbol == '_') {
    FieldOf<'_'>(r) = digit < 10 ? static_cast<int>(digit) : 0;
    return c == ' ' || digit < 10;
  }
  if constexpr (kChecked) return true;
  if constexpr (kSymbol == 'n') return static_cast<unsigned char>((c | 0x20) - 'a') < 26;
  if constexpr (IsDigitSymbol(kSymbol)) {
    FieldOf<kSymbol>(r) = FieldOf<kSymbol>(r) * 10 + static_cast<int>(digit);
    return digit < 10;
  }
  return c == kSymbol;
}

// A field's digits in a BytePattern.
struct DigitRun {
  std::size_t Offset;
  std::size_t Width;
  char Field;
};

template <const BytePattern& kPattern>
consteval std::size_t CountRuns() {
  std::size_t runs = 0;
  for (std::size_t i = 0; i < kPattern.Text.size(); ++i) {
    runs += IsDigitSymbol(kPattern.Text[i]) && (i == 0 || kPattern.Text[i - 1] != kPattern.Text[i]) ? 1U : 0U;
  }
  return runs;
}

template <const BytePattern& kPattern>
consteval auto DigitRuns() {
  std::array<DigitRun, CountRuns<kPattern>()> runs{};
  std::size_t run = 0;
  for (std::size_t i = 0; i < kPattern.Text.size(); ++i) {
    const char symbol = kPattern.Text[i];
    if (!IsDigitSymbol(symbol)) continue;
    if (i > 0 && kPattern.Text[i - 1] == symbol) {
      ++runs.at(run - 1).Width;
    } else {
      runs.at(run++) = {i, 1, symbol};
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
struct PatternWord {
  std::uint64_t Bytes;
  std::uint64_t Mask;
  std::uint64_t Six;
  std::size_t Offset;
};

// The words of kPattern, every eight bytes, the last ending with the layout,
// of eight bytes or more.
template <const BytePattern& kPattern>
consteval auto PatternWords() {
  constexpr std::size_t kSize = kPattern.Text.size();
  static_assert(kSize >= sizeof(std::uint64_t), "a layout is a word or more");
  std::array<PatternWord, (kSize + 7) / 8> words{};
  for (std::size_t w = 0; w < words.size(); ++w) {
    const std::size_t offset = std::min(w * 8, kSize - 8);
    std::array<std::array<unsigned char, 8>, 3> parts{};
    for (std::size_t b = 0; b < 8; ++b) {
      const char symbol = kPattern.Text[offset + b];
      const bool digit = IsDigitSymbol(symbol);
      parts[0].at(b) = IsLiteralSymbol(symbol) ? static_cast<unsigned char>(symbol) : digit ? '0' : 0;
      parts[1].at(b) = IsLiteralSymbol(symbol) ? 0xFF : digit ? 0xF0 : 0;
      parts[2].at(b) = digit ? 6 : 0;
    }
    words.at(w) = {std::bit_cast<std::uint64_t>(parts[0]), std::bit_cast<std::uint64_t>(parts[1]),
                   std::bit_cast<std::uint64_t>(parts[2]), offset};
  }
  return words;
}

// The first word of kPattern that holds the whole of a run, or none.
template <const BytePattern& kPattern>
consteval std::size_t WordOf(DigitRun run) {
  std::size_t w = 0;
  for (const auto words = PatternWords<kPattern>(); w < words.size(); ++w) {
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
template <PatternWord kWord>
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
  const std::uint64_t pairs = digits::PairValues(digits);
  const auto byte = [](std::uint64_t bytes, std::size_t i) { return static_cast<int>((bytes >> (8 * i)) & 0xFF); };
  static_assert(kWidth == 1 || kWidth == 2 || kWidth == 4, "a short run of one, two or four digits");
  if constexpr (kWidth == 1) return byte(digits, at);
  if constexpr (kWidth == 2) return byte(pairs, at);
  return byte(pairs, at) * 100 + byte(pairs, at + 2);
}

// Reads the digits of kRun into its field, after any digit before them;
// false where the digits of a run that no word holds whole do not fit.
template <const BytePattern& kPattern, DigitRun kRun, std::size_t kWords>
[[gnu::always_inline]] inline bool ReadRun(const char* text, const std::array<std::uint64_t, kWords>& words,
                                           StrictReading& r) {
  int scale = 1;
  for (std::size_t i = 0; i < kRun.Width; ++i) scale *= 10;
  int& field = FieldOf<kRun.Field>(r);
  if constexpr (kRun.Width <= kShortRun && WordOf<kPattern>(kRun) < kWords) {
    constexpr std::size_t kWord = WordOf<kPattern>(kRun);
    field =
        field * scale + ShortRunValue<kRun.Width>(words[kWord], kRun.Offset - PatternWords<kPattern>()[kWord].Offset);
    return true;
  } else {
    unsigned value = 0;
    const bool digits = scan::ReadDigits<static_cast<unsigned>(kRun.Width)>(text + kRun.Offset, value);
    field = field * scale + static_cast<int>(value);
    return digits;
  }
}

template <const BytePattern& kPattern, std::size_t... kWord, std::size_t... kRun>
[[gnu::always_inline]] inline bool WordsFit(const char* text, StrictReading& r, std::index_sequence<kWord...> /*words*/,
                                            std::index_sequence<kRun...> /*runs*/) {
  static constexpr auto kWords = PatternWords<kPattern>();
  static constexpr auto kRuns = DigitRuns<kPattern>();
  const std::array<std::uint64_t, sizeof...(kWord)> words = {LoadWord(text + kWords[kWord].Offset)...};
  const bool runs = (static_cast<unsigned>(ReadRun<kPattern, kRuns[kRun]>(text, words, r)) & ...) != 0;
  return ((Misfits<kWords[kWord]>(words[kWord]) | ...) == 0) & runs;
}

// Whether every byte of `text`, which is as long as kPattern, fits it: the
// literal bytes and digits a word at a time, each field's digits at once,
// and the rest byte by byte.
template <const BytePattern& kPattern, std::size_t... kIndex>
[[gnu::always_inline]] inline bool FitsAll(const char* text, StrictReading& r,
                                           std::index_sequence<kIndex...> /*bytes*/) {
  const bool others = (static_cast<unsigned>(Fits<kPattern.Text[kIndex], true>(text[kIndex], r)) & ...) != 0;
  const bool words = WordsFit<kPattern>(text, r, std::make_index_sequence<PatternWords<kPattern>().size()>(),
                                        std::make_index_sequence<DigitRuns<kPattern>().size()>());
  return others & words;
}

// The field that byte `symbol` of a BytePattern belongs to; empty for a literal.
constexpr std::string_view FieldName(char symbol) {
  switch (symbol) {
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

// What byte `index` of `pattern` stands for: a field's digits, a name, the
// separator of date and time, or the run of literal bytes around it, then
// what comes before those two.
consteval ExpectedText ExpectedAt(const BytePattern& pattern, std::size_t index) {
  constexpr std::string_view kCounts[] = {"", "one", "two", "three", "four"};
  const std::string_view text = pattern.Text;
  const char symbol = text[index];
  std::size_t begin = index;
  std::size_t end = index + 1;
  const auto widen = [&](auto belongs) {
    while (begin > 0 && belongs(text[begin - 1])) --begin;
    while (end < text.size() && belongs(text[end])) ++end;
  };
  ExpectedText expected;
  if (symbol == 'n') {
    expected.Add(kMonthPrompt);
  } else if (symbol == '_' || (symbol == 'd' && index > 0 && text[index - 1] == '_')) {
    expected.Add("the day in two digits, or a space and one digit");
  } else if (!IsLiteralSymbol(symbol) && symbol != '?') {
    widen([symbol](char c) { return c == symbol; });
    expected.Add("the ");
    expected.Add(FieldName(symbol));
    expected.Add(" in ");
    expected.Add(kCounts[end - begin]);
    expected.Add(" digits");
  } else {
    if (symbol == '?') {
      expected.Add("'T', 't' or a space");
    } else {
      widen(IsLiteralSymbol);
      expected.Add("'");
      expected.Add(text.substr(begin, end - begin));
      expected.Add("'");
    }
    const std::string_view before = begin > 0 ? FieldName(text[begin - 1]) : pattern.After;
    if (!before.empty()) {
      expected.Add(" after the ");
      expected.Add(before);
    }
  }
  return expected;
}

// ExpectedAt for each byte of kPattern.
template <const BytePattern& kPattern>
consteval auto ExpectedTexts() {
  std::array<ExpectedText, kPattern.Text.size()> texts{};
  for (std::size_t i = 0; i < texts.size(); ++i) texts.at(i) = ExpectedAt(kPattern, i);
  return texts;
}

template <const BytePattern& kPattern>
inline constexpr auto kExpectedTexts = ExpectedTexts<kPattern>();

// The first byte of `text` from `at` on that does not fit kPattern: the bytes
// are checked in order up to it.
template <const BytePattern& kPattern, std::size_t... kIndex>
std::size_t FirstMisfit(std::string_view text, std::size_t at, std::index_sequence<kIndex...> /*bytes*/) {
  StrictReading scratch;
  std::size_t fitting = 0;
  static_cast<void>((
      ... && (at + kIndex < text.size() && Fits<kPattern.Text[kIndex]>(text[at + kIndex], scratch) && ++fitting != 0)));
  return fitting;
}

// Records the fault at the first byte of `text` from `at` on that does not
// fit kPattern, where some byte does not; false, for the reader to return.
template <const BytePattern& kPattern>
bool RefuseMisfit(std::string_view text, std::size_t at, StrictReading& r) {
  const std::size_t misfit = FirstMisfit<kPattern>(text, at, std::make_index_sequence<kPattern.Text.size()>());
  r.Fault = {Problem::Expected, kExpectedTexts<kPattern>[misfit].View(), static_cast<std::uint32_t>(at + misfit), 0};
  return false;
}

// Reads kPattern at `at` into `r.Fields` and moves past it; false, with the
// fault at the first byte that does not fit, where one does not. A text long
// enough is checked whole before its first misfit is looked for.
template <const BytePattern& kPattern>
[[gnu::always_inline]] inline bool ReadPattern(std::string_view text, std::size_t& at, StrictReading& r) {
  constexpr auto kBytes = std::make_index_sequence<kPattern.Text.size()>();
  if (text.size() - at >= kPattern.Text.size() && FitsAll<kPattern>(text.data() + at, r, kBytes)) {
    at += kPattern.Text.size();
    return true;
  }
  return RefuseMisfit<kPattern>(text, at, r);
}

// Whether the whole text is kPattern, read into `r`; a text that is not is
// left for a reading that can tell what departs from its layout.
template <const BytePattern& kPattern>
[[gnu::always_inline]] inline bool IsWholePattern(std::string_view text, StrictReading& r) {
  constexpr auto kBytes = std::make_index_sequence<kPattern.Text.size()>();
  return text.size() == kPattern.Text.size() && FitsAll<kPattern>(text.data(), r, kBytes);
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_TEXT_PATTERN_H_
