// TryFromMailDate: a date of Internet mail, RFC 5322 section 3.3 with the
// obsolete forms of its section 4.3, read only as written.
//
// The layout that RFC 5322 recommends, one space between the parts, is read
// first as a layout of fixed width; any other text in one pass from the first
// byte to the last. Comments and folding white space are passed over wherever
// they may stand; where the layout separates two parts (day, month, year,
// time of day and zone) at least one blank or comment must stand between
// them. The zone, the fields and the weekday are checked once the whole text
// has its layout, in that order.
#include <orvik/chrono/chrono.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "civil/instant.h"
#include "civil/names.h"
#include "civil/time_units.h"
#include "messages.h"
#include "text/pattern.h"
#include "text/strict_reading.h"

namespace orvik::chrono {
namespace internal {
namespace {

// What the reading expects where a text departs from the layout.
constexpr const char* kWeekdayOrDay = kWeekdayOrDayPrompt;
constexpr const char* kComma = "',' after the weekday";
constexpr const char* kDay = "the day in one or two digits";
constexpr const char* kSeparatorBeforeMonth = "white space or a comment, and the month after the day";
constexpr const char* kMonth = kMonthPrompt;
constexpr const char* kSeparatorBeforeYear = "white space or a comment, and the year after the month";
constexpr const char* kYear = "the year in two or more digits";
constexpr const char* kSeparatorBeforeTime = "white space or a comment, and the time after the year";
constexpr const char* kHour = "the hour in two digits";
constexpr const char* kColonBeforeMinutes = "':' and the minutes after the hour";
constexpr const char* kMinutes = "the minutes in two digits";
constexpr const char* kSecondsOrZone =
    "':' and the seconds, or white space or a comment and the zone, after the minutes";
constexpr const char* kSeconds = "the seconds in two digits";
constexpr const char* kSeparatorBeforeZone = "white space or a comment, and the zone after the seconds";
constexpr const char* kZone = "a zone: +hhmm, -hhmm, UT, GMT, UTC, EST, EDT, CST, CDT, MST, MDT, PST or PDT";
constexpr const char* kOffset = "the offset's hours and minutes in four digits";
constexpr const char* kEnd = "a comment or the end of the text after the zone";
constexpr const char* kCommentText = "the comment's text or ')' closing it";

constexpr StrictErrors kErrors{ParseError::MailDateLayout, ParseError::MailDateNonexistent, ParseError::MailDateWeekday,
                               ParseError::MailDateZone, ParseError::MailDateOutsideRange};

// A year of this many or more is held as this: it is outside the time point
// range, and no int overflows.
constexpr int kYearCap = 100'000;

// What a reading holds beside the fields: the weekday, if written, and where
// the zone's name stands (Size 0 for an offset).
struct Marks {
  std::optional<int> Weekday;
  std::uint32_t WeekdayAt = 0;
  std::uint32_t WeekdaySize = 0;
  std::uint32_t ZoneAt = 0;
  std::uint32_t ZoneSize = 0;
  bool West = false;
};

// Where a reading stands: the text, the place, and what the reader expects
// there.
struct MailCursor {
  std::string_view Text;
  std::size_t At = 0;
  const char* Wanted = kWeekdayOrDay;

  bool Char(char c, const char* expected) {
    Wanted = expected;
    return Take(Text, At, c);
  }
  template <std::size_t kCount>
  bool Digits(int& value, const char* expected) {
    Wanted = expected;
    return TakeDigits<kCount>(Text, At, value);
  }
};

// The count of letters from `at` on: a name, whole.
std::size_t LettersFrom(std::string_view text, std::size_t at) {
  std::size_t end = at;
  while (end < text.size() && IsLetter(text[end])) ++end;
  return end - at;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A CRLF at `at` that folds the line: a blank follows it.
bool IsFold(std::string_view text, std::size_t at) {
  return text.size() - at > 2 && text[at] == '\r' && text[at + 1] == '\n' && IsBlank(text[at + 2]);
}

// Where a pass over white space and comments ended, and whether every
// comment in it was whole.
struct Passed {
  std::size_t At;
  bool Whole;
};

// Passes over a comment from its '(' on, nested comments, quoted pairs and
// folds within; not Whole at the first byte that cannot stand in it, or at
// the end of the text before it closes. ASCII but NUL, CR and LF stands in a
// comment, and a backslash quotes any ASCII byte.
Passed PassComment(std::string_view text, std::size_t at) {
  std::size_t depth = 0;
  do {
    if (at >= text.size()) return {at, false};
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte == '(') {
      ++depth;
    } else if (byte == ')') {
      --depth;
    } else if (byte == '\\') {
      if (++at == text.size() || static_cast<unsigned char>(text[at]) > 0x7f) return {at, false};
    } else if (IsFold(text, at)) {
      at += 2;
    } else if (byte == 0 || byte == '\r' || byte == '\n' || byte > 0x7f) {
      return {at, false};
    }
    ++at;
  } while (depth != 0);
  return {at, true};
}

// Passes over blanks, folds and comments.
[[gnu::noinline]] Passed PassFoldsAndComments(std::string_view text, std::size_t at) {
  while (at < text.size()) {
    if (IsBlank(text[at])) {
      ++at;
    } else if (IsFold(text, at)) {
      at += 3;
    } else if (text[at] == '(') {
      const Passed comment = PassComment(text, at);
      if (!comment.Whole) return comment;
      at = comment.At;
    } else {
      break;
    }
  }
  return {at, true};
}

// Moves past comments and folding white space; false where a comment departs
// from its layout. Spaces, the common case, are passed over here.
[[gnu::always_inline]] inline bool SkipCfws(MailCursor& c) {
  while (IsAt(c.Text, c.At, ' ')) ++c.At;
  if (c.At == c.Text.size() || (c.Text[c.At] != '\t' && c.Text[c.At] != '\r' && c.Text[c.At] != '(')) return true;
  const Passed passed = PassFoldsAndComments(c.Text, c.At);
  c.At = passed.At;
  c.Wanted = kCommentText;
  return passed.Whole;
}

// Moves past comments and folding white space that must be there.
[[gnu::always_inline]] inline bool Separator(MailCursor& c, const char* expected) {
  const std::size_t start = c.At;
  if (!SkipCfws(c)) return false;
  c.Wanted = expected;
  return c.At != start;
}

// A weekday or month abbreviation in any case: its index in `find`'s table.
template <typename Find>
bool ReadAbbreviation(MailCursor& c, const char* expected, Find find, std::optional<int>& index) {
  c.Wanted = expected;
  if (LettersFrom(c.Text, c.At) != kAbbreviationLength) return false;
  index = find(AbbreviationAt<true>(c.Text, c.At));
  if (!index) return false;
  c.At += kAbbreviationLength;
  return true;
}

// Two digits are 20yy below 50 and 19yy from 50 on, three 1900 + yyy, four or
// more the year as written.
bool ReadYear(MailCursor& c, int& year) {
  c.Wanted = kYear;
  const std::size_t first = c.At;
  int value = 0;
  for (; c.At < c.Text.size(); ++c.At) {
    const unsigned digit = static_cast<unsigned char>(c.Text[c.At]) - unsigned{'0'};
    if (digit > 9) break;
    value = value >= kYearCap / 10 ? kYearCap : value * 10 + static_cast<int>(digit);
  }
  switch (c.At - first) {
    case 0:
    case 1:
      return false;
    case 2:
      year = value < 50 ? 2000 + value : 1900 + value;
      return true;
    case 3:
      year = 1900 + value;
      return true;
    default:
      year = value;
      return true;
  }
}

// Hours, minutes and optional seconds, then the separator before the zone.
bool ReadTime(MailCursor& c, CivilFields& f) {
  if (!c.Digits<2>(f.Hour, kHour) || !SkipCfws(c) || !c.Char(':', kColonBeforeMinutes) || !SkipCfws(c) ||
      !c.Digits<2>(f.Minute, kMinutes)) {
    return false;
  }
  const std::size_t after_minutes = c.At;
  if (!SkipCfws(c)) return false;
  if (!c.Char(':', kSecondsOrZone)) return c.At != after_minutes;
  return SkipCfws(c) && c.Digits<2>(f.Second, kSeconds) && Separator(c, kSeparatorBeforeZone);
}

// An offset's hours and minutes into `r`, or a name's place into `m`.
bool ReadZone(MailCursor& c, StrictReading& r, Marks& m) {
  c.Wanted = kZone;
  const std::size_t letters = LettersFrom(c.Text, c.At);
  if (letters != 0) {
    m.ZoneAt = static_cast<std::uint32_t>(c.At);
    m.ZoneSize = static_cast<std::uint32_t>(letters);
    c.At += letters;
    return true;
  }
  m.West = IsAt(c.Text, c.At, '-');
  return (c.Char('+', kZone) || c.Char('-', kZone)) && c.Digits<2>(r.OffsetHours, kOffset) &&
         c.Digits<2>(r.OffsetMinutes, kOffset);
}

bool ReadMailDate(MailCursor& c, StrictReading& r, Marks& m) {
  CivilFields& f = r.Fields;
  c.Wanted = kWeekdayOrDay;
  if (!SkipCfws(c)) return false;
  if (c.At < c.Text.size() && IsLetter(c.Text[c.At])) {
    m.WeekdayAt = static_cast<std::uint32_t>(c.At);
    m.WeekdaySize = kAbbreviationLength;
    if (!ReadAbbreviation(c, kWeekdayOrDay, WeekdayOfKey, m.Weekday) || !SkipCfws(c) || !c.Char(',', kComma) ||
        !SkipCfws(c)) {
      return false;
    }
  }
  if (!c.Digits<1>(f.Day, m.Weekday ? kDay : kWeekdayOrDay)) return false;
  int second_digit = 0;
  if (TakeDigits<1>(c.Text, c.At, second_digit)) f.Day = f.Day * 10 + second_digit;
  std::optional<int> month;
  if (!Separator(c, kSeparatorBeforeMonth) || !ReadAbbreviation(c, kMonth, MonthOfKey, month)) return false;
  f.Month = *month + 1;
  if (!Separator(c, kSeparatorBeforeYear) || !ReadYear(c, f.Year) || !Separator(c, kSeparatorBeforeTime) ||
      !ReadTime(c, f) || !ReadZone(c, r, m) || !SkipCfws(c)) {
    return false;
  }
  c.Wanted = kEnd;
  return c.At == c.Text.size();
}

// The layout that RFC 5322 recommends and that mailers write, one space
// between the parts, with a day of two digits or one:
// "Tue, 05 Mar 2024 07:08:09 +0000". Read whole at once, such a text gives
// the reading that ReadMailDate gives; any other text is left to it.
constexpr BytePattern kCanonical{"nnn, dd nnn yyyy hh:ii:ss +uuvv", ""};
constexpr BytePattern kCanonicalShortDay{"nnn, d nnn yyyy hh:ii:ss +uuvv", ""};

template <const BytePattern& kPattern>
[[gnu::always_inline]] inline bool IsCanonical(std::string_view text, StrictReading& r, Marks& m) {
  constexpr std::size_t kMonthAt = kPattern.Text.find('n', kAbbreviationLength);
  if (!IsWholePattern<kPattern>(text, r)) return false;
  m.Weekday = WeekdayOfKey(AbbreviationAt<true>(text, 0));
  m.WeekdaySize = kAbbreviationLength;
  const std::optional<int> month = MonthOfKey(AbbreviationAt<true>(text, kMonthAt));
  r.Fields.Month = month.value_or(0) + 1;
  m.West = text[kPattern.Text.find('+')] == '-';
  return m.Weekday && month;
}

// The offset of a named zone, in seconds east of UTC, or Problem::Zone.
[[gnu::noinline]] Problem NamedZoneOffset(std::string_view name, std::int64_t& offset) {
  const std::optional<int> hours = KnownZoneHours(name);
  if (!hours) return Problem::Zone;
  offset = *hours * kSecondsPerHour;
  return Problem::None;
}

// The offset of the zone read, in seconds east of UTC, or why it has none.
[[gnu::always_inline]] inline Problem ZoneOffset(std::string_view text, const StrictReading& r, const Marks& m,
                                                 std::int64_t& offset) {
  if (m.ZoneSize != 0) return NamedZoneOffset(text.substr(m.ZoneAt, m.ZoneSize), offset);
  return OffsetSeconds(r.OffsetHours, r.OffsetMinutes, m.West, offset);
}

[[gnu::always_inline]] inline ParseResult<Timestamp> ReadStrict(std::string_view text, StrictReading& r) {
  MailCursor c{text};
  Marks m;
  if (!IsCanonical<kCanonical>(text, r, m) && !IsCanonical<kCanonicalShortDay>(text, r, m) &&
      !ReadMailDate(c, r = {}, m = {})) {
    const bool name = c.Wanted == kWeekdayOrDay || c.Wanted == kMonth;
    r.Refuse(c.Wanted, c.At, name ? LettersFrom(text, c.At) : 0);
    return {{}, kErrors.Layout};
  }
  std::int64_t offset = 0;
  Timestamp read;
  std::int64_t days = 0;
  Problem problem = ZoneOffset(text, r, m, offset);
  if (problem == Problem::Zone) r.Fault = {problem, {}, m.ZoneAt, m.ZoneSize};
  if (problem == Problem::None) problem = FormTimestamp(r.Fields, offset, read, days);
  if (m.Weekday && r.Fields.Year < kYearCap && CheckWeekday(problem, days, *m.Weekday) == Problem::Weekday) {
    problem = Problem::Weekday;
    read = {};
    r.Fault = {problem, {}, m.WeekdayAt, m.WeekdaySize};
  }
  return Outcome(r, problem, read, kErrors);
}

}  // namespace
}  // namespace internal

ParseResult<Timestamp> TryFromMailDate(std::string_view text) noexcept {
  return internal::ReadAlone<internal::ReadStrict>(text);
}

ParseResult<Timestamp> TryFromMailDate(std::string_view text, std::string& message) {
  return internal::ReadWithMessage<internal::ReadStrict>(text, message, internal::kMailDateHead);
}

}  // namespace orvik::chrono
