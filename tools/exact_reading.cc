#include "exact_reading.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "calendar/civil.h"
#include "calendar/time_units.h"
#include "cli_messages.h"
#include "http/names.h"
#include "text/digits.h"

namespace orvik::chrono::cli {
namespace {

using internal::digits::IsDigit;
using internal::digits::WriteFour;
using internal::digits::WriteNine;
using internal::digits::WriteTwo;

constexpr std::size_t kFractionDigits = 9;
constexpr std::int64_t kMinutesPerDay = 24 * internal::kMinutesPerHour;

// A text written back: long enough for every layout, with a longest zone.
struct Written {
  char Text[64];
  char* End = Text;

  void Add(std::string_view part) {
    std::memcpy(End, part.data(), part.size());
    End += part.size();
  }
  template <std::size_t N>
  void Add(const char (&part)[N]) {
    std::memcpy(End, part, N - 1);
    End += N - 1;
  }
  [[nodiscard]] std::string_view View() const { return {Text, static_cast<std::size_t>(End - Text)}; }
};

// The calendar fields and fraction of a wall-clock time.
struct WallClock {
  unsigned Year;
  unsigned Month;  // 1 to 12
  unsigned Day;
  unsigned Hour;
  unsigned Minute;
  unsigned Second;
  unsigned Nanoseconds;
};

// The wall clock `offset_minutes` east of UTC at `instant`, whose fields are
// the text's own, from the library's calendar arithmetic (the cached
// ToCalendarTime would fill an hour for every line of a file of scattered
// instants). Counted in seconds, it also holds a wall clock past the time
// point's range, which no time point shifted by the offset, and so no
// FormatIso8601, can write.
WallClock WallClockAt(TimePoint instant, std::int64_t offset_minutes) {
  const internal::FlooredTime floored = internal::FloorToSecond(instant);
  const internal::civil::DayAndSecond split =
      internal::civil::SplitDays(floored.Seconds + offset_minutes * internal::kSecondsPerMinute);
  const internal::civil::Date date = internal::civil::CivilFromDays(split.Days);
  const auto second = static_cast<unsigned>(split.Second);
  return {static_cast<unsigned>(date.Year),
          date.Month,
          date.Day,
          second / 3600,
          second / 60 % 60,
          second % 60,
          floored.Nanoseconds};
}

void AddTwo(Written& w, unsigned value) { w.End = WriteTwo(w.End, value); }

void AddClock(Written& w, const WallClock& c, std::string_view separator) {
  AddTwo(w, c.Hour);
  w.Add(separator);
  AddTwo(w, c.Minute);
  w.Add(separator);
  AddTwo(w, c.Second);
}

// An offset as the text wrote it: +hh:mm, +hhmm or +hh (`form` is the text's
// zone); '-' for zero only where the text had it.
void AddOffset(Written& w, std::int64_t minutes, std::string_view form) {
  const bool colon = form.size() == sizeof("+05:30") - 1;
  const std::int64_t size = minutes < 0 ? -minutes : minutes;
  *w.End++ = minutes < 0 || (minutes == 0 && form.starts_with('-')) ? '-' : '+';
  if (size >= kMinutesPerDay) {
    w.Add("??");  // no such offset: never the text
    return;
  }
  AddTwo(w, static_cast<unsigned>(size / internal::kMinutesPerHour));
  if (form.size() == sizeof("+05") - 1 && size % internal::kMinutesPerHour == 0) return;
  if (colon) *w.End++ = ':';
  AddTwo(w, static_cast<unsigned>(size % internal::kMinutesPerHour));
}

// The text and the text written back differ: the first differing run of
// digits or letters in each, and what the instant is.
std::string NotAsWrittenMessage(std::string_view text, std::string_view written) {
  // 1 for a digit, 2 for a letter, 0 for anything else or beyond the text.
  const auto kind = [](std::string_view s, std::size_t i) {
    const char c = i < s.size() ? s[i] : '\0';
    return IsDigit(c) ? 1 : (c | 0x20) >= 'a' && (c | 0x20) <= 'z' ? 2 : 0;
  };
  // Whether a run of digits or of letters goes on across `i - 1` and `i`.
  const auto joined = [&](std::size_t i, std::size_t j) {
    const int before = kind(text, i - 1);
    return before != 0 && (before == kind(text, i) || before == kind(written, j));
  };
  const std::size_t shorter = std::min(text.size(), written.size());
  std::size_t begin = 0;
  while (begin < shorter && text[begin] == written[begin]) ++begin;
  // Both texts end in their last `tail` bytes alike, after `begin`.
  std::size_t tail = 0;
  while (tail < shorter - begin && text[text.size() - 1 - tail] == written[written.size() - 1 - tail]) ++tail;
  while (begin > 0 && joined(begin, begin)) --begin;
  while (tail > 0 && kind(text, text.size() - tail) != 0 &&
         (kind(text, text.size() - tail) == kind(text, text.size() - tail - 1) ||
          kind(text, text.size() - tail) == kind(written, written.size() - tail - 1))) {
    --tail;
  }
  std::string message(kNotAsWritten);
  message.append(1, '"').append(text.substr(begin, text.size() - tail - begin)).append(1, '"');
  message.append(kWouldBeReadAs);
  message.append(1, '"').append(written.substr(begin, written.size() - tail - begin)).append(1, '"');
  return message.append(" (").append(written).append(")").append(kLenientAllows).append(text);
}

Reading<TimePoint> Accepted(TimePoint t) { return {t, ParseError::None, {}}; }

// A refusal with kNotAsWritten of a text that writes back as `w`.
Reading<TimePoint> NotAsWritten(const Written& w, ExactScratch& scratch) {
  const std::string_view written = w.View();
  std::memcpy(scratch.Written, written.data(), written.size());
  scratch.WrittenSize = written.size();
  return {{}, ParseError::None, kNotAsWritten};
}

template <typename T>
Reading<TimePoint> RefusedAs(const Reading<T>& refused) {
  return {{}, refused.Error, refused.OwnRefusal};
}

// Two digits at `at` as a number; 100 when either is not a digit.
unsigned TwoDigits(std::string_view text, std::size_t at) {
  const unsigned high = static_cast<unsigned char>(text[at]) - unsigned{'0'};
  const unsigned low = static_cast<unsigned char>(text[at + 1]) - unsigned{'0'};
  return high < 10 && low < 10 ? high * 10 + low : 100;
}

// Whether a date and time read from two-digit fields can have carried into
// the next unit: not when each is in its range and the day is at most 28.
// Where none can, the text that the library accepted writes back as itself,
// and writing it is skipped.
bool NoCarry(unsigned day, unsigned hour, unsigned minute, unsigned second) {
  return day >= 1 && day <= 28 && hour <= 23 && minute <= 59 && second <= 59;
}

// ISO 8601 ------------------------------------------------------------------

enum class ZoneForm { Z, Colon, Plain, HoursOnly, Other };

struct IsoShape {
  bool Extended;
  std::size_t Head;       // date and time before any fraction
  std::size_t Fraction;   // digits after '.', 0 when there is none
  std::string_view Zone;  // what follows the fraction
  ZoneForm Form;
};

ZoneForm FormOf(std::string_view zone) {
  if (zone == "Z") return ZoneForm::Z;
  if (zone.empty() || (zone[0] != '+' && zone[0] != '-')) return ZoneForm::Other;
  const auto digits = [&](std::size_t at) { return IsDigit(zone[at]) && IsDigit(zone[at + 1]); };
  if (zone.size() == 3 && digits(1)) return ZoneForm::HoursOnly;
  if (zone.size() == 5 && digits(1) && digits(3)) return ZoneForm::Plain;
  if (zone.size() == 6 && digits(1) && zone[3] == ':' && digits(4)) return ZoneForm::Colon;
  return ZoneForm::Other;
}

IsoShape ShapeOf(std::string_view text) {
  IsoShape s{text[4] == '-', 0, 0, {}, ZoneForm::Other};
  s.Head = s.Extended ? sizeof("2024-03-05T07:08:09") - 1 : sizeof("20240305T070809") - 1;
  if (text.size() < s.Head) return s;
  std::size_t end = s.Head;
  if (text[end] == '.') {
    while (end + 1 < text.size() && IsDigit(text[end + 1])) ++end;
    s.Fraction = end - s.Head;
    if (s.Fraction == 0 || s.Fraction > kFractionDigits) return s;
    ++end;
  }
  s.Zone = text.substr(end);
  s.Form = FormOf(s.Zone);
  return s;
}

// Whether the library's rules read the text as it is meant: a fraction of
// three, six or nine digits (or none) and 'Z' or the layout's own offset form.
bool ReadAsMeant(const IsoShape& s) {
  const bool fraction = s.Fraction % 3 == 0 && s.Fraction <= kFractionDigits;
  return fraction && (s.Form == ZoneForm::Z || s.Form == (s.Extended ? ZoneForm::Colon : ZoneForm::Plain));
}

// The text with nine fraction digits and the layout's own offset form.
const std::string& RewriteIso(std::string_view text, const IsoShape& s, std::string& scratch) {
  scratch.assign(text.substr(0, s.Head));
  scratch += '.';
  scratch.append(text.substr(s.Head + 1, s.Fraction)).append(kFractionDigits - s.Fraction, '0');
  if (s.Form == ZoneForm::Z) return scratch += 'Z';
  scratch.append(s.Zone.substr(0, 3));
  if (s.Extended) scratch += ':';
  return scratch.append(s.Form == ZoneForm::HoursOnly ? "00" : s.Zone.substr(s.Zone.size() - 2));
}

void WriteIsoBack(Written& w, TimePoint instant, std::int64_t offset, const IsoShape& s) {
  const WallClock c = WallClockAt(instant, offset);
  const std::string_view date = s.Extended ? "-" : "";
  w.End = WriteFour(w.End, c.Year);
  w.Add(date);
  AddTwo(w, c.Month);
  w.Add(date);
  AddTwo(w, c.Day);
  *w.End++ = 'T';
  AddClock(w, c, s.Extended ? ":" : "");
  char fraction[kFractionDigits];
  WriteNine(fraction, c.Nanoseconds);
  std::size_t digits = kFractionDigits;
  while (digits > s.Fraction && fraction[digits - 1] == '0') --digits;
  if (digits > 0) {
    *w.End++ = '.';
    w.Add({fraction, digits});
  }
  if ((s.Form == ZoneForm::Z || s.Form == ZoneForm::Other) && offset == 0) return w.Add("Z");
  const bool own = s.Form == ZoneForm::Other || s.Form == ZoneForm::Z;
  AddOffset(w, offset, own ? std::string_view(s.Extended ? "+05:30" : "+0530") : s.Zone);
}

// A text of full-width digits whose fields cannot carry and whose offset is
// under a day with minutes under an hour.
bool WritesBackAsItself(std::string_view text, const IsoShape& s) {
  if (s.Form == ZoneForm::Other) return false;  // nor may the text hold the whole date and time
  // Where the month, the day, the hour, the minutes and the seconds start.
  static constexpr std::size_t kExtended[] = {5, 8, 11, 14, 17};
  static constexpr std::size_t kBasic[] = {4, 6, 9, 11, 13};
  const std::size_t* const at = s.Extended ? kExtended : kBasic;
  const unsigned month = TwoDigits(text, at[0]);
  if (TwoDigits(text, 0) > 99 || TwoDigits(text, 2) > 99 || month < 1 || month > 12 ||
      !NoCarry(TwoDigits(text, at[1]), TwoDigits(text, at[2]), TwoDigits(text, at[3]), TwoDigits(text, at[4]))) {
    return false;
  }
  if (s.Form == ZoneForm::Z) return true;
  const unsigned minutes = s.Form == ZoneForm::HoursOnly ? 0 : TwoDigits(s.Zone, s.Zone.size() - 2);
  return TwoDigits(s.Zone, 1) <= 23 && minutes <= 59;
}

Reading<TimePoint> ReadIsoExactly(std::string_view text, ExactScratch& scratch) {
  if (text.size() < sizeof("2020-") - 1) return ReadInstant(text, InputKind::Iso);  // too short
  const IsoShape shape = ShapeOf(text);
  Reading<std::pair<TimePoint, std::chrono::minutes>> read;
  if (shape.Form == ZoneForm::Other || ReadAsMeant(shape)) {
    read = SplitIso(text);
  } else {
    read = SplitIso(RewriteIso(text, shape, scratch.Rewritten));
    scratch.RewrittenRefused = !read;
    // The library's words on the text as given where it refuses that too,
    // but for an instant outside the range, which the rewritten text says.
    if (!read && read.Error != ParseError::Iso8601OutsideRange) {
      const auto as_given = SplitIso(text);
      if (!as_given) {
        read = as_given;
        scratch.RewrittenRefused = false;
      }
    }
  }
  if (!read) return RefusedAs(read);
  const TimePoint instant = read.Value.first;
  if (WritesBackAsItself(text, shape)) return Accepted(instant);
  Written w;
  WriteIsoBack(w, instant, read.Value.second.count(), shape);
  return w.View() == text ? Accepted(instant) : NotAsWritten(w, scratch);
}

// HTTP dates ----------------------------------------------------------------

enum class HttpForm { ImfFixdate, Rfc850, Asctime };

struct HttpShape {
  HttpForm Form;
  std::size_t Weekday;  // letters of the weekday's name
  bool ShortDay;        // the day in one digit, or space-padded in asctime
};

HttpShape ShapeOf(std::string_view text, std::size_t weekday) {
  const auto at = [&](std::size_t i) { return i < text.size() ? text[i] : '\0'; };
  if (at(weekday) != ',') return {HttpForm::Asctime, weekday, at(8) == ' '};
  std::size_t day = weekday + 2;
  while (IsDigit(at(day))) ++day;
  if (at(day) == '-') return {HttpForm::Rfc850, weekday, false};
  return {HttpForm::ImfFixdate, weekday, day == weekday + 3};
}

// The day of an IMF-fixdate, `two` digits, as the text's layout writes it.
void AddDay(Written& w, std::string_view two, bool short_day, char pad) {
  if (!short_day || two[0] != '0') return w.Add(two);
  if (pad != '\0') *w.End++ = pad;
  *w.End++ = two[1];
}

// The weekday's full name, for the abbreviation that an IMF-fixdate writes.
std::string_view FullWeekday(std::string_view abbreviation) {
  for (const std::string_view name : internal::kWeekdayNames) {
    if (name.starts_with(abbreviation)) return name;
  }
  return abbreviation;
}

// The date and the time of `fixdate`, the instant's IMF-fixdate, as the text's
// layout writes them, without a zone.
void WriteHttpBack(Written& w, std::string_view fixdate, const HttpShape& s) {
  const std::string_view weekday = fixdate.substr(0, internal::kAbbreviationLength);
  const std::string_view day = fixdate.substr(sizeof("Sun, ") - 1, 2);
  const std::string_view month = fixdate.substr(sizeof("Sun, 06 ") - 1, internal::kAbbreviationLength);
  const std::string_view year = fixdate.substr(sizeof("Sun, 06 Nov ") - 1, 4);
  const std::string_view clock = fixdate.substr(sizeof("Sun, 06 Nov 1994 ") - 1, sizeof("08:49:37") - 1);
  w.Add(s.Weekday > internal::kAbbreviationLength ? FullWeekday(weekday) : weekday);
  switch (s.Form) {
    case HttpForm::ImfFixdate:
      w.Add(", ");
      AddDay(w, day, s.ShortDay, '\0');
      w.Add(" ");
      w.Add(month);
      w.Add(" ");
      w.Add(year);
      break;
    case HttpForm::Rfc850:
      w.Add(", ");
      w.Add(day);
      w.Add("-");
      w.Add(month);
      w.Add("-");
      w.Add(year.substr(2));
      break;
    case HttpForm::Asctime:
      w.Add(" ");
      w.Add(month);
      w.Add(" ");
      AddDay(w, day, s.ShortDay, ' ');
      break;
  }
  w.Add(" ");
  w.Add(clock);
  if (s.Form != HttpForm::Asctime) return;
  w.Add(" ");
  w.Add(year);
}

// The minutes east of UTC of a zone after an HTTP date: none (an HTTP date is
// GMT), GMT, UT, UTC or, after the layouts of mail dates, a numeric +hhmm /
// -hhmm. False otherwise.
bool ZoneMinutes(std::string_view zone, HttpForm form, std::int64_t& minutes) {
  minutes = 0;
  if (zone.empty() || zone == " GMT" || zone == " UTC" || zone == " UT") return true;
  if (form == HttpForm::Asctime || zone.size() != sizeof(" +0530") - 1 || zone[0] != ' ' ||
      (zone[1] != '+' && zone[1] != '-')) {
    return false;
  }
  const unsigned hours = TwoDigits(zone, 2);
  const unsigned rest = TwoDigits(zone, 4);
  if (hours > 23 || rest > 59) return false;
  minutes = (zone[1] == '-' ? -1 : 1) * (hours * internal::kMinutesPerHour + rest);
  return true;
}

// A layout of fixed width, checked a word at a time: in its pattern '?' is
// any byte, '9' a digit and any other byte itself.
template <std::size_t kSize>
class FixedLayout {
 public:
  using Word = std::uint64_t;
  static_assert(kSize >= sizeof(Word), "the last word lies inside the text");

  consteval explicit FixedLayout(const char (&pattern)[kSize + 1]) {
    for (std::size_t w = 0; w < kWords; ++w) {
      std::array<unsigned char, sizeof(Word)> literal{};
      std::array<unsigned char, sizeof(Word)> literal_mask{};
      std::array<unsigned char, sizeof(Word)> digit{};
      for (std::size_t b = 0; b < sizeof(Word); ++b) {
        const char c = pattern[Offset(w) + b];
        literal.at(b) = c == '?' || c == '9' ? 0 : static_cast<unsigned char>(c);
        literal_mask.at(b) = c == '?' || c == '9' ? 0 : 0xFF;
        digit.at(b) = c == '9' ? 1 : 0;
      }
      literals_.at(w) = std::bit_cast<Word>(literal);
      literal_masks_.at(w) = std::bit_cast<Word>(literal_mask);
      digits_.at(w) = std::bit_cast<Word>(digit);
    }
  }

  // A byte is a digit when its high half is 3 and stays 3 with 6 added; a
  // carry out of a byte comes only from one that fails the first test.
  [[nodiscard]] bool Matches(std::string_view text) const {
    if (text.size() != kSize) return false;
    Word wrong = 0;
    for (std::size_t w = 0; w < kWords; ++w) {
      Word word = 0;
      std::memcpy(&word, text.data() + Offset(w), sizeof word);
      const Word high_halves = digits_[w] * 0xF0;
      const Word threes = digits_[w] * 0x30;
      wrong |= ((word ^ literals_[w]) & literal_masks_[w]) | ((word & high_halves) ^ threes) |
               (((word + digits_[w] * 6) & high_halves) ^ threes);
    }
    return wrong == 0;
  }

 private:
  static constexpr std::size_t kWords = (kSize + sizeof(Word) - 1) / sizeof(Word);
  // The last word ends with the text.
  static constexpr std::size_t Offset(std::size_t w) { return std::min(w * sizeof(Word), kSize - sizeof(Word)); }

  std::array<Word, kWords> literals_{};
  std::array<Word, kWords> literal_masks_{};
  std::array<Word, kWords> digits_{};  // 1 in each byte that holds a digit
};

// Whether `text`, which the library read as `instant`, is the IMF-fixdate that
// FormatHttpDate writes for it, shown without writing it: a text of that
// layout whose fields cannot carry is read into the very day, month, year and
// time that it says, and so writes back as itself but for the weekday, which
// is the one compared. Digits compared as text compare as numbers.
bool FixdateWritesBackAsItself(std::string_view text, TimePoint instant) {
  static constexpr FixedLayout<kHttpDateSize> kFixdate("???, 99 ??? 9999 99:99:99 GMT");
  if (!kFixdate.Matches(text)) return false;
  const auto two = [&](std::size_t at) { return text.substr(at, 2); };
  // Flags combined with &, not &&: every test is cheap and all of them
  // usually hold, so none is worth skipping.
  const auto flag = [](bool holds) { return holds ? 1U : 0U; };
  const unsigned no_carry = flag(two(5) >= "01") & flag(two(5) <= "28") & flag(two(17) <= "23") &
                            flag(text[20] <= '5') & flag(text[23] <= '5');
  const std::int64_t days = internal::civil::SplitDays(internal::FloorToSecond(instant).Seconds).Days;
  // The weekday's three letters, loaded as one word with the ',' after them
  // and masked: the key is read straight from the text, not built first.
  constexpr auto kLetters = internal::KeyOf<internal::AbbreviationKey>("\xFF\xFF\xFF");
  internal::AbbreviationKey weekday = 0;
  std::memcpy(&weekday, text.data(), sizeof weekday);
  return (no_carry & flag((weekday & kLetters) == internal::kWeekdayKeys[internal::civil::WeekdayFromDays(days)])) != 0;
}

// The instant that an HTTP date which the library read as `wall` says, or
// why it says none, by writing `wall` back in the text's layout.
Reading<TimePoint> WriteHttpBackAndCompare(std::string_view text, TimePoint wall, ExactScratch& scratch) {
  char fixdate[kHttpDateSize];
  FormatHttpDate(fixdate, wall);
  if (text == std::string_view(fixdate, kHttpDateSize)) return Accepted(wall);  // as HTTP writes it
  std::size_t weekday = 0;
  while (weekday < text.size() && text[weekday] != ',' && text[weekday] != ' ') ++weekday;
  const HttpShape shape = ShapeOf(text, weekday);
  Written w;
  WriteHttpBack(w, {fixdate, kHttpDateSize}, shape);
  const std::string_view values = w.View();
  const std::string_view zone = text.substr(std::min(values.size(), text.size()));
  std::int64_t minutes = 0;
  if (!ZoneMinutes(zone, shape.Form, minutes)) {
    if (shape.Form != HttpForm::Asctime) w.Add(" GMT");
  } else {
    w.Add(zone);
  }
  if (w.View() != text) return NotAsWritten(w, scratch);
  std::int64_t instant = 0;
  const std::int64_t shift = minutes * internal::kSecondsPerMinute * internal::kNanosecondsPerSecond;
  if (__builtin_sub_overflow(wall.time_since_epoch().count(), shift, &instant)) {
    return {{}, ParseError::None, kInstantOutsideRange};
  }
  return Accepted(TimePoint(std::chrono::nanoseconds(instant)));
}

// One object returned on every path, so that the reading lands where the
// caller wants it, not copied there from a slot just written.
Reading<TimePoint> ReadHttpExactly(std::string_view text, ExactScratch& scratch) {
  Reading<TimePoint> read = ReadInstant(text, InputKind::Http);
  if (read && !FixdateWritesBackAsItself(text, read.Value)) read = WriteHttpBackAndCompare(text, read.Value, scratch);
  return read;
}

}  // namespace

Reading<TimePoint> ReadExactly(std::string_view text, InputKind kind, ExactScratch& scratch) {
  if (kind == InputKind::Auto) kind = DetectKind(text);
  scratch.RewrittenRefused = false;
  switch (kind) {
    case InputKind::Iso:
      return ReadIsoExactly(text, scratch);
    case InputKind::Http:
      return ReadHttpExactly(text, scratch);
    default:
      return ReadInstant(text, kind);
  }
}

std::string ExactRefusalMessage(const Reading<TimePoint>& reading, std::string_view text, const ExactScratch& scratch) {
  if (reading.OwnRefusal == kNotAsWritten) {
    return NotAsWrittenMessage(text, {scratch.Written, scratch.WrittenSize});
  }
  return RefusalMessage(reading, scratch.RewrittenRefused ? std::string_view(scratch.Rewritten) : text);
}

}  // namespace orvik::chrono::cli
