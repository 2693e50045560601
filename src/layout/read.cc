// TryFromLayout: a text read by the steps of a compiled format, then its
// fields checked and turned into an instant, at the offset that it writes or
// as wall-clock time in a zone.
#include "layout/read.h"

#include <orvik/chrono/chrono.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/convert.h"
#include "calendar/disambiguation.h"
#include "civil/civil.h"
#include "civil/instant.h"
#include "civil/names.h"
#include "civil/time_units.h"
#include "layout/program.h"
#include "messages.h"
#include "text/strict_reading.h"
#include "zone/named_zone.h"

namespace orvik::chrono {
namespace internal::layout {
namespace {

// %y without %C: 69 to 99 are 19yy, 00 to 68 20yy.
constexpr int kPivotYear = 69;
constexpr std::size_t kMaxEpochDigits = 19;
constexpr std::size_t kMaxZoneNameSize = 32;

// Why a text was refused beyond what StrictReading's Problem says.
enum class Refusal : std::uint8_t {
  None,
  Strict,           // Reading.Fault says it
  DayOfYear,        // the day of the year given is not the date's
  PartOfDayOfYear,  // a month or a day given is not the day of the year's
  NoSuchDayOfYear,  // past the year's last day, or 0
  NoYear,           // no year and no reference
  Unreadable,       // the format names no instant
  Civil,            // a wall-clock time that the rule refuses
};

// Everything a reading found: the fields as written, where the names stand,
// and why it stopped.
struct Reading {
  StrictReading Strict;  // the fields, the offset's parts and the fault
  int Century = 0;
  int YearOfCentury = 0;
  int DayOfYear = 0;
  int Hour12 = 0;
  bool Pm = false;
  int Weekday = 0;
  std::uint32_t WeekdayAt = 0;
  std::uint32_t WeekdaySize = 0;
  std::int64_t Offset = 0;
  std::uint32_t ZoneAt = 0;
  std::uint32_t ZoneSize = 0;
  bool ZoneIsOffset = false;
  std::int64_t Epoch = 0;
  const Step* Failed = nullptr;  // the step that the text departs from; nullptr for its end
  char LiteralByte = '\0';       // of the format's own bytes, the one that the text lacks
  bool LiteralFailed = false;
  bool SpaceFailed = false;  // the white space after a directive
  Refusal Why = Refusal::None;
  ParseError Error = ParseError::None;

  bool Departs(const Step* step, std::size_t at, std::size_t size = 0) {
    Failed = step;
    Why = Refusal::Strict;
    return Strict.Refuse({}, at, size);
  }
};

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads `min` to `max` digits (at most nine) at `at` into `value`.
[[gnu::always_inline]] inline bool TakeNumber(std::string_view text, std::size_t& at, std::size_t min, std::size_t max,
                                              int& value) {
  std::size_t count = 0;
  int read = 0;
  while (count < max && at + count < text.size() && digits::IsDigit(text[at + count])) {
    read = read * 10 + (text[at + count] - '0');
    ++count;
  }
  if (count < min) return false;
  at += count;
  value = read;
  return true;
}

// Two-digit fields: two digits, or one that no digit follows.
[[gnu::always_inline]] inline bool TakeTwo(std::string_view text, std::size_t& at, int& value) {
  if (text.size() - at >= 2) {
    const unsigned first = static_cast<unsigned char>(text[at]) - unsigned{'0'};
    const unsigned second = static_cast<unsigned char>(text[at + 1]) - unsigned{'0'};
    if (first < 10 && second < 10) {
      value = static_cast<int>(first * 10 + second);
      at += 2;
      return true;
    }
  }
  return TakeNumber(text, at, 1, 1, value);
}

char Lower(char c) { return static_cast<char>(c | 0x20); }

// The name among `names` that the text holds at `at` in any case: its
// three-letter abbreviation, found by its key among `keys`, and the rest of
// the whole name where the text goes on with it.
template <auto kIndexOf, std::size_t kCount>
[[gnu::always_inline]] inline std::optional<int> TakeName(std::string_view text, std::size_t& at,
                                                          const std::string_view (&names)[kCount]) {
  if (text.size() - at < kAbbreviationLength) return std::nullopt;
  const std::optional<int> index = kIndexOf(AbbreviationAt<true>(text, at));
  if (!index) return std::nullopt;
  const std::string_view name = names[*index];
  std::size_t same = kAbbreviationLength;
  while (same < name.size() && at + same < text.size() && Lower(text[at + same]) == name[same]) ++same;
  at += same == name.size() ? same : kAbbreviationLength;
  return index;
}

// The letters at `at`, as a name that was not read shows them.
std::size_t LettersAt(std::string_view text, std::size_t at) {
  std::size_t size = 0;
  while (at + size < text.size() && size < kMaxZoneNameSize && IsLetter(text[at + size])) ++size;
  return size;
}

// +hh, +hhmm, +hh:mm, +hhmmss, +hh:mm:ss or 'Z' into r.Offset.
bool TakeOffset(std::string_view text, std::size_t& at, const Step* step, Reading& r) {
  const std::size_t start = at;
  if (Take(text, at, 'Z') || Take(text, at, 'z')) {
    r.Offset = 0;
    return true;
  }
  const bool west = IsAt(text, at, '-');
  if (!west && !IsAt(text, at, '+')) return r.Departs(step, at);
  ++at;
  // The offset that logs write most, +hhmm and nothing after it that an
  // offset may have.
  if (std::size_t after = at; text.size() - at >= 4 && (text.size() - at == 4 || !digits::IsDigit(text[at + 4]))) {
    int hours = 0;
    int minutes = 0;
    if (TakeTwo(text, after, hours) && after == at + 2 && TakeTwo(text, after, minutes) && after == at + 4 &&
        hours < 24 && minutes < 60) {
      at = after;
      r.Offset = hours * kSecondsPerHour + minutes * kSecondsPerMinute;
      r.Offset = west ? -r.Offset : r.Offset;
      return true;
    }
  }
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  if (!TakeDigits<2>(text, at, hours)) return r.Departs(step, at);
  const bool colon = Take(text, at, ':');
  const auto more = [&] { return colon ? Take(text, at, ':') : at < text.size() && digits::IsDigit(text[at]); };
  if (colon || (at < text.size() && digits::IsDigit(text[at]))) {
    if (!TakeDigits<2>(text, at, minutes)) return r.Departs(step, at);
    if (more()) {
      if (!TakeDigits<2>(text, at, seconds)) return r.Departs(step, at);
      if (seconds > 59) return r.Departs(step, at - 2);
    }
  }
  r.Strict.OffsetHours = hours;
  r.Strict.OffsetMinutes = minutes;
  const Problem problem = OffsetSeconds(hours, minutes, west, r.Offset);
  if (problem != Problem::None) [[unlikely]] {
    r.Strict.Fault = {problem, {}, static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(at - start)};
    r.Why = Refusal::Strict;
    return false;
  }
  r.Offset += west ? -seconds : seconds;
  return true;
}

// A zone's name: letters, or a numeric abbreviation read as its offset.
bool TakeZoneName(std::string_view text, std::size_t& at, const Step* step, Reading& r) {
  r.ZoneAt = static_cast<std::uint32_t>(at);
  if (IsAt(text, at, '+') || IsAt(text, at, '-')) {
    r.ZoneIsOffset = true;
    return TakeOffset(text, at, step, r);
  }
  const std::size_t size = LettersAt(text, at);
  if (size == 0) return r.Departs(step, at);
  r.ZoneSize = static_cast<std::uint32_t>(size);
  at += size;
  return true;
}

// Seconds since the epoch: an optional '-' and up to 19 digits.
bool TakeEpoch(std::string_view text, std::size_t& at, const Step* step, Reading& r) {
  const bool negative = Take(text, at, '-');
  const std::size_t start = at;
  std::uint64_t value = 0;
  while (at < text.size() && at - start < kMaxEpochDigits && digits::IsDigit(text[at])) {
    value = value * 10 + static_cast<unsigned>(text[at++] - '0');
  }
  if (at == start) return r.Departs(step, at);
  // Beyond the time point range, and no int64_t overflows.
  constexpr std::uint64_t kCap = 1'000'000'000'000;
  value = value > kCap ? kCap : value;
  r.Epoch = negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
  return true;
}

// A fraction of the second: 1 to 9 digits, or exactly step.Width.
bool TakeFraction(std::string_view text, std::size_t& at, const Step* step, Reading& r) {
  const std::size_t min = step->Whole ? step->Width : 1;
  const std::size_t max = step->Whole ? step->Width : 9;
  const std::size_t start = at;
  int value = 0;
  if (!TakeNumber(text, at, min, max, value)) return r.Departs(step, at);
  static constexpr int kScale[] = {1, 100'000'000, 10'000'000, 1'000'000, 100'000, 10'000, 1'000, 100, 10, 1};
  r.Strict.Fields.Nanoseconds = value * kScale[at - start];
  return true;
}

// Reads one step at `at` and moves past it.
bool ReadStep(std::string_view text, std::size_t& at, const Program& p, const Step& step, Reading& r) {
  CivilFields& f = r.Strict.Fields;
  // Padded with spaces, a number has them before its digits, as many as its
  // width leaves.
  const auto number = [&](std::size_t min, std::size_t max, int& value) {
    for (std::size_t spaces = 1; step.Padding == Pad::Space && spaces < max && IsAt(text, at, ' '); ++spaces) ++at;
    return TakeNumber(text, at, min, max, value) || r.Departs(&step, at);
  };
  switch (step.Kind) {
    case Op::Literal: {
      const std::string_view literal = p.LiteralOf(step);
      if (literal.size() == 1 && at < text.size() && text[at] == literal[0]) {
        ++at;
        return true;
      }
      for (const char c : literal) {
        if (!Take(text, at, c)) {
          r.LiteralByte = c;
          r.LiteralFailed = true;
          return r.Departs(&step, at);
        }
      }
      return true;
    }
    case Op::Space:
      if (at >= text.size() || !IsSpace(text[at])) return r.Departs(&step, at);
      while (at < text.size() && IsSpace(text[at])) ++at;
      return true;
    case Op::Year:
      return TakeDigits<4>(text, at, f.Year) || r.Departs(&step, at);
    case Op::Century:
      return step.Padding == Pad::Zero ? TakeDigits<2>(text, at, r.Century) || r.Departs(&step, at)
                                       : number(1, 2, r.Century);
    case Op::YearOfCentury:
      return step.Padding == Pad::Zero ? TakeDigits<2>(text, at, r.YearOfCentury) || r.Departs(&step, at)
                                       : number(1, 2, r.YearOfCentury);
    case Op::Month:
      return (step.Padding != Pad::Space && TakeTwo(text, at, f.Month)) || number(1, 2, f.Month);
    case Op::Day:
      return (step.Padding != Pad::Space && TakeTwo(text, at, f.Day)) || number(1, 2, f.Day);
    case Op::DayOfYear:
      return number(1, 3, r.DayOfYear);
    case Op::Hour:
      return (step.Padding != Pad::Space && TakeTwo(text, at, f.Hour)) || number(1, 2, f.Hour);
    case Op::Hour12:
      return number(1, 2, r.Hour12);
    case Op::Minute:
      return (step.Padding != Pad::Space && TakeTwo(text, at, f.Minute)) || number(1, 2, f.Minute);
    case Op::Second:
      return (step.Padding != Pad::Space && TakeTwo(text, at, f.Second)) || number(1, 2, f.Second);
    case Op::Epoch:
      return TakeEpoch(text, at, &step, r);
    case Op::Fraction:
      return TakeFraction(text, at, &step, r);
    case Op::AmPm: {
      if (text.size() - at < 2 || Lower(text[at + 1]) != 'm' || (Lower(text[at]) != 'a' && Lower(text[at]) != 'p')) {
        return r.Departs(&step, at, LettersAt(text, at));
      }
      r.Pm = Lower(text[at]) == 'p';
      at += 2;
      return true;
    }
    case Op::WeekdayName: {
      const std::size_t start = at;
      const std::optional<int> weekday = TakeName<WeekdayOfKey>(text, at, kWeekdayNames);
      if (!weekday) return r.Departs(&step, at, LettersAt(text, at));
      r.Weekday = *weekday;
      r.WeekdayAt = static_cast<std::uint32_t>(start);
      r.WeekdaySize = static_cast<std::uint32_t>(at - start);
      return true;
    }
    case Op::MonthName: {
      const std::optional<int> month = TakeName<MonthOfKey>(text, at, kMonthNames);
      if (!month) return r.Departs(&step, at, LettersAt(text, at));
      f.Month = *month + 1;
      return true;
    }
    case Op::Offset:
      return TakeOffset(text, at, &step, r);
    case Op::ZoneName:
      return TakeZoneName(text, at, &step, r);
  }
  return false;
}

// The `count` digits at `at`, which the text holds, into `value`.
[[gnu::always_inline]] inline bool DigitsAt(const char* at, std::size_t count, int& value) {
  unsigned read = 0;  // unsigned: bytes that are no digits wrap it, never overflow it
  bool digits = true;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned digit = static_cast<unsigned char>(at[i]) - unsigned{'0'};
    digits = digits && digit < 10;
    read = read * 10 + digit;
  }
  value = static_cast<int>(read);  // under 10^9 where they are digits; wrapped, and unused, where not
  return digits;
}

// A two-digit field at `at`: two digits, or with `pad` Space a space and one.
[[gnu::always_inline]] inline bool TwoAt(const char* at, Pad pad, int& value) {
  if (pad == Pad::Space && at[0] == ' ') return DigitsAt(at + 1, 1, value);
  return DigitsAt(at, 2, value);
}

// Reads the directive of `step` at `at` in a text of the format's shape,
// which holds its bytes; false where the steps must read it.
[[gnu::always_inline]] inline bool ReadSlot(std::string_view text, std::size_t at, const Slot& step, Reading& r) {
  CivilFields& f = r.Strict.Fields;
  const char* const s = text.data() + at;
  switch (step.Kind) {
    case Op::Year:
      return DigitsAt(s, 4, f.Year);
    case Op::Century:
      return DigitsAt(s, 2, r.Century);
    case Op::YearOfCentury:
      return DigitsAt(s, 2, r.YearOfCentury);
    case Op::Month:
      return TwoAt(s, step.Padding, f.Month);
    case Op::Day:
      return TwoAt(s, step.Padding, f.Day);
    case Op::Hour:
      return TwoAt(s, step.Padding, f.Hour);
    case Op::Hour12:
      return TwoAt(s, step.Padding, r.Hour12);
    case Op::Minute:
      return TwoAt(s, step.Padding, f.Minute);
    case Op::Second:
      return TwoAt(s, step.Padding, f.Second);
    case Op::DayOfYear:
      return DigitsAt(s, 3, r.DayOfYear);
    case Op::Fraction: {
      static constexpr int kScale[] = {1, 100'000'000, 10'000'000, 1'000'000, 100'000, 10'000, 1'000, 100, 10, 1};
      int value = 0;
      if (!DigitsAt(s, step.Width, value)) return false;
      f.Nanoseconds = value * kScale[step.Width];
      return true;
    }
    case Op::AmPm:
      if (Lower(s[1]) != 'm' || (Lower(s[0]) != 'a' && Lower(s[0]) != 'p')) return false;
      r.Pm = Lower(s[0]) == 'p';
      return true;
    case Op::WeekdayName: {
      const std::optional<int> weekday = WeekdayOfKey(AbbreviationAt<true>(text, at));
      r.Weekday = weekday.value_or(0);
      r.WeekdayAt = static_cast<std::uint32_t>(at);
      r.WeekdaySize = kAbbreviationLength;
      return weekday.has_value();
    }
    case Op::MonthName: {
      const std::optional<int> month = MonthOfKey(AbbreviationAt<true>(text, at));
      f.Month = month.value_or(0) + 1;
      return month.has_value();
    }
    case Op::Offset: {
      int hours = 0;
      int minutes = 0;
      const std::size_t colon = step.Whole ? 1 : 0;
      if ((s[0] != '+' && s[0] != '-') || (colon == 1 && s[3] != ':') || !DigitsAt(s + 1, 2, hours) ||
          !DigitsAt(s + 3 + colon, 2, minutes) || hours > 23 || minutes > 59) {
        return false;
      }
      r.Offset = hours * kSecondsPerHour + minutes * kSecondsPerMinute;
      r.Offset = s[0] == '-' ? -r.Offset : r.Offset;
      return true;
    }
    default:
      return false;
  }
}

// Reads a text of the format's shape: its own bytes in place, and each
// directive at its place.
bool ReadShape(std::string_view text, const Program& p, Reading& r) {
  const Shape& shape = p.Fixed;
  std::uint64_t differ = 0;
  for (std::size_t i = 0; i < shape.Words.size(); ++i) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + i * sizeof word, sizeof word);
    differ |= (word & shape.Masks[i]) ^ shape.Words[i];
  }
  if (differ != 0) return false;
  for (std::size_t i = shape.OwnPastWords; i < shape.Own.size(); ++i) {
    if (text[shape.Own[i]] != shape.Template[shape.Own[i]]) return false;
  }
  for (const Slot& slot : shape.Slots) {
    if (!ReadSlot(text, slot.At, slot, r)) return false;
  }
  return true;
}

// The year of a text without one: the reference's year in `zone`, or the
// one before where the time would lie more than a day after the reference.
// Out of line, so that the calendar arithmetic of formats without a year
// takes no registers from the reading of the others.
[[gnu::noinline]] int YearFromReference(const Program& p, const Reading& r, Zone zone, TimePoint reference) {
  const std::int64_t seconds = FloorToSecond(reference).Seconds;
  std::tm tm;
  NamedFromSeconds(seconds, zone, tm);
  const int year = tm.tm_year + 1900;
  const std::int64_t local_reference = seconds + tm.tm_gmtoff;
  const CivilFields& f = r.Strict.Fields;
  const std::int64_t local = p.Has(kMonth) ? civil::SecondsFromCivil(year, f.Month, f.Day, f.Hour, f.Minute, f.Second)
                                           : (civil::DayOf(year, 1, 1) + r.DayOfYear - 1) * kSecondsPerDay;
  return local > local_reference + kSecondsPerDay ? year - 1 : year;
}

// The wall-clock time of `f`, a leap second as the second before it.
CivilTime CivilOf(const CivilFields& f) {
  return {f.Year, f.Month, f.Day, f.Hour, f.Minute, std::min(f.Second, 59), f.Nanoseconds};
}

// The instant of the wall-clock time `f` in `zone` under `rule`.
ParseResult<ZonedTimestamp> WallClock(const CivilFields& f, Zone zone, Disambiguation rule, Reading& r) {
  const bool leap = f.Second == 60;
  const ParseResult<CivilTimeLookup> lookup = LookUpCivilTime(CivilOf(f), zone);
  if (!lookup) {
    r.Strict.Fault.What = Problem::OutsideRange;
    r.Why = Refusal::Strict;
    return {{}, ParseError::LayoutOutsideRange};
  }
  const ParseResult<Timestamp> picked = PickInstant(lookup.value, rule);
  if (!picked) {
    r.Why = Refusal::Civil;
    return {{}, picked.error};
  }
  ZonedTimestamp out{picked.value, zone, false, true, lookup.value.kind};
  if (leap) {
    const FlooredTime floored = FloorToSecond(out.timestamp.instant);
    const civil::DayAndSecond split = civil::SplitDays(floored.Seconds);
    if (split.Second != kSecondsPerDay - 1 || !EndsWithLeapSecond(split.Days)) {
      r.Strict.Fault.What = Problem::LeapSecond;
      r.Why = Refusal::Strict;
      return {{}, ParseError::LayoutNonexistent};
    }
    out.timestamp.instant =
        TimePoint(std::chrono::seconds(floored.Seconds) + std::chrono::nanoseconds(kNanosecondsPerSecond - 1));
  }
  return {out, ParseError::None};
}

// The offset that the zone name read stands for at the wall-clock time `f`:
// an abbreviation that `zone` shows then, else a name of a known offset.
bool ZoneNameOffset(std::string_view text, const CivilFields& f, Zone zone, Disambiguation rule, Reading& r) {
  if (r.ZoneIsOffset) return true;
  const std::string_view name = text.substr(r.ZoneAt, r.ZoneSize);
  if (const zone::NamedZone* entry = zone.Entry(); entry != nullptr) {
    const int second = std::min(f.Second, 59);  // a leap second shows the offset of the second before
    const std::int64_t local = civil::SecondsFromCivil(f.Year, f.Month, f.Day, f.Hour, f.Minute, second);
    const zone::WallClock wall = zone::FindWallClock(*entry->Table, local);
    const bool before = wall.Before != nullptr && name == wall.Before->Abbreviation;
    const bool after = wall.After != nullptr && name == wall.After->Abbreviation;
    if (before || after) {
      // Both sides of a change that keeps its name: the rule picks.
      const bool later = before && after ? rule == Disambiguation::Later : after;
      r.Offset = (later ? wall.After : wall.Before)->Offset;
      return true;
    }
  }
  if (name == "Z") {
    r.Offset = 0;
    return true;
  }
  if (const std::optional<int> hours = KnownZoneHours(name)) {
    r.Offset = *hours * kSecondsPerHour;
    return true;
  }
  r.Strict.Fault = {Problem::Zone, {}, r.ZoneAt, r.ZoneSize};
  r.Why = Refusal::Strict;
  return false;
}

// The offset that the zone name read after %s stands for: the abbreviation
// that `zone` shows at that second, else a name of a known offset.
bool EpochZoneOffset(std::string_view text, Zone zone, Reading& r) {
  if (r.ZoneIsOffset) return true;
  const std::string_view name = text.substr(r.ZoneAt, r.ZoneSize);
  if (const zone::NamedZone* entry = zone.Entry();
      entry != nullptr && r.Epoch >= zone::kFirstSecond && r.Epoch <= zone::kLastSecond) {
    if (const zone::Shift& shift = zone::ShiftIn(*entry, r.Epoch); name == shift.Abbreviation) {
      r.Offset = shift.Offset;
      return true;
    }
  }
  return ZoneNameOffset(text, {}, Zone::Utc(), Disambiguation::Compatible, r);
}

constexpr StrictErrors kErrors{ParseError::LayoutMismatch, ParseError::LayoutNonexistent, ParseError::LayoutWeekday,
                               ParseError::LayoutZone, ParseError::LayoutOutsideRange};

ParseResult<ZonedTimestamp> Refuse(Reading& r, Problem problem) {
  r.Strict.Fault.What = problem;
  r.Why = Refusal::Strict;
  return {{}, ErrorOf(problem, kErrors)};
}

// The instant that the fields read name.
ParseResult<ZonedTimestamp> Finish(std::string_view text, const Program& p, Zone zone, Disambiguation rule,
                                   const TimePoint* reference, Reading& r) {
  CivilFields& f = r.Strict.Fields;
  const bool offset = p.Has(kOffset | kZoneName);
  if (p.Has(kEpoch)) {
    if (p.Has(kZoneName) && !EpochZoneOffset(text, zone, r)) return {{}, ParseError::LayoutZone};
    ZonedTimestamp out{{{}, std::chrono::seconds(r.Offset)}, zone, false, false, CivilTimeKind::Unique};
    if (!FormInstant(r.Epoch, f.Nanoseconds, out.timestamp.instant)) return Refuse(r, Problem::OutsideRange);
    return {out, ParseError::None};
  }
  if (p.Has(kYearOfCentury)) {
    f.Year = p.Has(kCentury) ? 100 * r.Century + r.YearOfCentury
                             : (r.YearOfCentury < kPivotYear ? 2000 : 1900) + r.YearOfCentury;
  } else if (!p.Has(kYear)) {
    if (reference == nullptr) {
      r.Why = Refusal::NoYear;
      return {{}, ParseError::LayoutIncomplete};
    }
    f.Year = YearFromReference(p, r, zone, *reference);
  }
  if (p.Has(kDayOfYear)) {
    const int days_in_year = civil::IsLeapYear(f.Year) ? 366 : 365;
    if (r.DayOfYear < 1 || r.DayOfYear > days_in_year) {
      r.Why = Refusal::NoSuchDayOfYear;
      return {{}, ParseError::LayoutNonexistent};
    }
    if (!p.Has(kMonth) || !p.Has(kDay)) {
      // The date is the day of the year's, and a month or a day given must be its.
      const civil::Date date = civil::CivilFromDays(civil::DayOf(f.Year, 1, 1) + r.DayOfYear - 1);
      const bool month = !p.Has(kMonth) || f.Month == static_cast<int>(date.Month);
      const bool day = !p.Has(kDay) || f.Day == static_cast<int>(date.Day);
      f.Month = static_cast<int>(date.Month);
      f.Day = static_cast<int>(date.Day);
      if (!month || !day) {
        r.Why = Refusal::PartOfDayOfYear;
        return {{}, ParseError::LayoutWeekday};
      }
    }
  }
  if (p.Has(kHour12)) {
    if (r.Hour12 < 1 || r.Hour12 > 12) {
      f.Hour = r.Hour12;
      return Refuse(r, Problem::Hour);
    }
    f.Hour = r.Hour12 % 12 + (r.Pm ? 12 : 0);
  }
  if (const Problem problem = CheckFields(f); problem != Problem::None) return Refuse(r, problem);
  if (p.Has(kDayOfYear | kWeekday)) {
    const std::int64_t days = civil::DayOf(f.Year, f.Month, f.Day);
    if (p.Has(kDayOfYear) && static_cast<int>(civil::CivilFromDays(days).DayOfYear) + 1 != r.DayOfYear) {
      r.Why = Refusal::DayOfYear;
      return {{}, ParseError::LayoutWeekday};
    }
    if (p.Has(kWeekday) && civil::WeekdayFromDays(days) != static_cast<unsigned>(r.Weekday)) {
      r.Strict.Fault.At = r.WeekdayAt;
      r.Strict.Fault.Size = r.WeekdaySize;
      return Refuse(r, Problem::Weekday);
    }
  }
  if (!offset) return WallClock(f, zone, rule, r);
  if (p.Has(kZoneName) && !ZoneNameOffset(text, f, zone, rule, r)) return {{}, ParseError::LayoutZone};
  ZonedTimestamp out{{}, zone, false, false, CivilTimeKind::Unique};
  std::int64_t unused_days = 0;
  if (const Problem problem = FormCheckedTimestamp(f, r.Offset, out.timestamp, unused_days); problem != Problem::None) {
    return Refuse(r, problem);
  }
  return {out, ParseError::None};
}

ParseResult<ZonedTimestamp> Read(std::string_view text, const Layout& layout, Zone zone, Disambiguation rule,
                                 const TimePoint* reference, Reading& r, bool at_fixed_places = true) {
  const Program& p = layout.Program() == nullptr ? EmptyProgram() : *layout.Program();
  if (p.Problem != Unread::None) {
    r.Why = Refusal::Unreadable;
    return {{}, ParseError::LayoutIncomplete};
  }
  r.Strict.Fields.Month = 1;
  r.Strict.Fields.Day = 1;
  if (at_fixed_places && p.Fixed.Fixed && text.size() == p.Fixed.Size) {
    if (ReadShape(text, p, r)) return Finish(text, p, zone, rule, reference, r);
    r = Reading();
    r.Strict.Fields.Month = 1;
    r.Strict.Fields.Day = 1;
  }
  std::size_t at = 0;
  for (const Step& step : p.Steps) {
    if (!ReadStep(text, at, p, step, r)) return {{}, ParseError::LayoutMismatch};
    if (step.Then != '\0') {
      if (step.ThenSpace) {
        if (at >= text.size() || !IsSpace(text[at])) {
          r.Departs(&step, at);
          r.SpaceFailed = true;
          return {{}, ParseError::LayoutMismatch};
        }
        while (at < text.size() && IsSpace(text[at])) ++at;
      } else if (at < text.size() && text[at] == step.Then) {
        ++at;
      } else {
        r.LiteralByte = step.Then;
        r.Departs(&step, at);
        r.LiteralFailed = true;
        return {{}, ParseError::LayoutMismatch};
      }
    }
  }
  if (at != text.size()) {
    r.Departs(nullptr, at);
    return {{}, ParseError::LayoutMismatch};
  }
  return Finish(text, p, zone, rule, reference, r);
}

// What the text should hold where a step stands, as a message says it
// after "expected ".
std::string_view Prompt(Op kind) {
  switch (kind) {
    case Op::Space:
      return "white space";
    case Op::Year:
      return "a year in four digits";
    case Op::Century:
      return "a century in two digits";
    case Op::YearOfCentury:
      return "a year in two digits";
    case Op::Month:
      return "a month in one or two digits";
    case Op::Day:
      return "a day in one or two digits";
    case Op::DayOfYear:
      return "a day of the year in one to three digits";
    case Op::Hour:
    case Op::Hour12:
      return "an hour in one or two digits";
    case Op::Minute:
      return "minutes in one or two digits";
    case Op::Second:
      return "seconds in one or two digits";
    case Op::Epoch:
      return "a count of seconds";
    case Op::Fraction:
      return "the fraction's digits";
    case Op::AmPm:
      return "AM or PM";
    case Op::WeekdayName:
      return "a weekday name";
    case Op::MonthName:
      return "a month name";
    case Op::Offset:
      return "an offset such as +0100, +01:00 or Z";
    case Op::ZoneName:
      return "a zone name such as UTC or CET";
    case Op::Literal:
      break;
  }
  return {};
}

std::string ThreeDigits(int value) {
  const char text[] = {static_cast<char>('0' + value / 100 % 10), static_cast<char>('0' + value / 10 % 10),
                       static_cast<char>('0' + value % 10)};
  return {text, sizeof text};
}

// "05 Mar 2024", as the messages show a date.
std::string DateShown(const CivilFields& f) {
  return JoinMessage({ThreeDigits(f.Day).substr(1), " ", kMonthNames[f.Month - 1].substr(0, kAbbreviationLength), " ",
                      std::to_string(f.Year)});
}

void AppendMessage(std::string& message, std::string_view text, const Layout& layout, Zone zone, Disambiguation rule,
                   Reading& r) {
  const Program& p = layout.Program() == nullptr ? EmptyProgram() : *layout.Program();
  std::string head(kLayoutReadHead);
  head.append(p.Format).append(kLayoutReadHeadEnd);
  const CivilFields& f = r.Strict.Fields;
  switch (r.Why) {
    case Refusal::Strict:
      if (r.Strict.Fault.What == Problem::Expected) {
        // Where the text departs, and for which directive.
        const std::size_t at = r.Strict.Fault.At;
        std::string expected;
        if (r.Failed == nullptr) {
          expected = JoinMessage({kTheEndOfTheText, kAt, std::to_string(at)});
        } else if (r.LiteralFailed) {
          expected = JoinMessage({"'", std::string_view(&r.LiteralByte, 1), "'", kAt, std::to_string(at)});
        } else if (r.SpaceFailed || p.Format[r.Failed->At] != '%') {  // white space of the format's own
          expected = JoinMessage({Prompt(r.SpaceFailed ? Op::Space : r.Failed->Kind), kAt, std::to_string(at)});
        } else {
          expected = JoinMessage({Prompt(r.Failed->Kind), kAt, std::to_string(at), kFor, p.Directive(*r.Failed)});
        }
        r.Strict.Fault.Expected = expected;
        AppendStrictMessage(message, head, r.Strict, text);
        return;
      }
      AppendStrictMessage(message, head, r.Strict, text);
      return;
    case Refusal::DayOfYear: {
      const civil::Date date = civil::CivilFromDays(civil::DayOf(f.Year, f.Month, f.Day));
      AppendParts(message, {head, "day ", ThreeDigits(r.DayOfYear), kOfTheYearIsNotThatOf, DateShown(f), ", day ",
                            ThreeDigits(static_cast<int>(date.DayOfYear) + 1), ": ", text});
      return;
    }
    case Refusal::PartOfDayOfYear:
      AppendParts(message, {head, "day ", ThreeDigits(r.DayOfYear), " of the year is ", DateShown(f),
                            kNotTheMonthOrDayWritten, ": ", text});
      return;
    case Refusal::NoSuchDayOfYear:
      AppendParts(message, {head, "day ", ThreeDigits(r.DayOfYear), " of the year", kDoesNotExist, " in ",
                            std::to_string(f.Year), ": ", text});
      return;
    case Refusal::NoYear:
      AppendParts(message, {head, kNoYearNoReference, ": ", text});
      return;
    case Refusal::Unreadable:
      AppendParts(message, {head, LayoutReadingProblem(layout), ": ", text});
      return;
    case Refusal::Civil:
      AppendParts(message, {head});
      TryFromCivil(CivilOf(r.Strict.Fields), zone, rule, message);
      AppendParts(message, {": ", text});
      return;
    case Refusal::None:
      return;
  }
}

}  // namespace

ParseResult<ZonedTimestamp> ReadBySteps(std::string_view text, const Layout& layout, Zone zone, Disambiguation rule,
                                        const TimePoint* reference, std::string& message) {
  Reading reading;
  const ParseResult<ZonedTimestamp> result = Read(text, layout, zone, rule, reference, reading, false);
  if (!result) AppendMessage(message, text, layout, zone, rule, reading);
  return result;
}

}  // namespace internal::layout

ParseResult<ZonedTimestamp> TryFromLayout(std::string_view text, const Layout& layout, Zone zone,
                                          Disambiguation rule) noexcept {
  internal::layout::Reading reading;
  return internal::layout::Read(text, layout, zone, rule, nullptr, reading);
}

ParseResult<ZonedTimestamp> TryFromLayout(std::string_view text, const Layout& layout, Zone zone, Disambiguation rule,
                                          TimePoint reference) noexcept {
  internal::layout::Reading reading;
  return internal::layout::Read(text, layout, zone, rule, &reference, reading);
}

ParseResult<ZonedTimestamp> TryFromLayout(std::string_view text, const Layout& layout, Zone zone, Disambiguation rule,
                                          std::string& message) {
  internal::layout::Reading reading;
  const ParseResult<ZonedTimestamp> result = internal::layout::Read(text, layout, zone, rule, nullptr, reading);
  if (!result) internal::layout::AppendMessage(message, text, layout, zone, rule, reading);
  return result;
}

ParseResult<ZonedTimestamp> TryFromLayout(std::string_view text, const Layout& layout, Zone zone, Disambiguation rule,
                                          TimePoint reference, std::string& message) {
  internal::layout::Reading reading;
  const ParseResult<ZonedTimestamp> result = internal::layout::Read(text, layout, zone, rule, &reference, reading);
  if (!result) internal::layout::AppendMessage(message, text, layout, zone, rule, reading);
  return result;
}

}  // namespace orvik::chrono
