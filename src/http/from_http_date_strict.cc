// TryFromHttpDateStrict: an HTTP date of RFC 9110, read only as written.
//
// The weekday tells the layout: an abbreviation and ',' an IMF-fixdate, a
// full name and ',' an RFC 850 date, an abbreviation and ' ' an asctime date.
// Each is read in one pass, its names in their exact case; the fields are
// checked, and the weekday against the date, once the text has its layout.
#include <orvik/chrono/chrono.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "calendar/civil.h"
#include "calendar/time_units.h"
#include "http/names.h"
#include "messages.h"
#include "text/strict_reading.h"

namespace orvik::chrono {
namespace internal {
namespace {

enum Expected : std::uint8_t {
  kWeekday,
  kAfterWeekday,
  kCommaAfterWeekday,
  kSpaceAfterComma,
  kDay,
  kAsctimeDay,
  kSpaceBeforeMonth,
  kDashBeforeMonth,
  kMonth,
  kSpaceBeforeYear,
  kDashBeforeYear,
  kSpaceBeforeDay,
  kYear,
  kTwoDigitYear,
  kSpaceBeforeTime,
  kHour,
  kColonBeforeMinutes,
  kMinutes,
  kColonBeforeSeconds,
  kSeconds,
  kSpaceBeforeYearAfterTime,
  kGmt,
  kEnd,
};

constexpr std::string_view kExpected[] = {
    "a weekday, Sun to Sat or Sunday to Saturday",
    "',' (IMF-fixdate) or ' ' (asctime) after the weekday",
    "',' after the weekday",
    "' ' after the ','",
    "the day in two digits",
    "the day in two digits, or a space and one digit",
    "' ' and the month after the day",
    "'-' and the month after the day",
    "a month, Jan to Dec",
    "' ' and the year after the month",
    "'-' and the year after the month",
    "' ' and the day after the month",
    "the year in four digits",
    "the year in two digits",
    "' ' and the time after the date",
    "the hour in two digits",
    "':' and the minutes after the hour",
    "the minutes in two digits",
    "':' and the seconds after the minutes",
    "the seconds in two digits",
    "' ' and the year after the time",
    "' GMT' after the time",
    "the end of the text",
};

constexpr StrictErrors kErrors{ParseError::HttpStrictLayout, ParseError::HttpStrictNonexistent,
                               ParseError::HttpStrictWeekday, ParseError::HttpStrictLayout,
                               ParseError::HttpStrictOutsideRange};

enum class Layout : std::uint8_t { ImfFixdate, Rfc850, Asctime };

constexpr std::string_view kGmtZone = " GMT";

// The weekday's name and the layout that it starts, or nullopt.
std::optional<int> ReadWeekday(Cursor<Expected>& c, Layout& layout) {
  const std::size_t end = LettersFrom(c.Text, 0);
  if (end < kAbbreviationLength) return std::nullopt;
  const std::optional<int> weekday = WeekdayOfKey(AbbreviationAt<false>(c.Text, 0));
  if (!weekday || (end != kAbbreviationLength && c.Text.substr(0, end) != kWeekdayNames[*weekday])) {
    return std::nullopt;
  }
  c.At = end;
  if (end != kAbbreviationLength) {
    layout = Layout::Rfc850;
    return c.Char(',', kCommaAfterWeekday) ? weekday : std::nullopt;
  }
  layout = IsAt(c.Text, end, ' ') ? Layout::Asctime : Layout::ImfFixdate;
  return c.Char(layout == Layout::Asctime ? ' ' : ',', kAfterWeekday) ? weekday : std::nullopt;
}

bool ReadMonth(Cursor<Expected>& c, int& month) {
  c.Wanted = kMonth;
  if (c.Text.size() - c.At < kAbbreviationLength) return false;
  const std::optional<int> index = MonthOfKey(AbbreviationAt<false>(c.Text, c.At));
  if (!index) return false;
  month = *index + 1;
  c.At += kAbbreviationLength;
  return true;
}

bool ReadTime(Cursor<Expected>& c, CivilFields& f) {
  return c.Digits<2>(f.Hour, kHour) && c.Char(':', kColonBeforeMinutes) && c.Digits<2>(f.Minute, kMinutes) &&
         c.Char(':', kColonBeforeSeconds) && c.Digits<2>(f.Second, kSeconds);
}

// Day, month, year and time of day after the weekday, and the zone.
bool ReadDate(Cursor<Expected>& c, Layout layout, CivilFields& f) {
  switch (layout) {
    case Layout::ImfFixdate:
      return c.Char(' ', kSpaceAfterComma) && c.Digits<2>(f.Day, kDay) && c.Char(' ', kSpaceBeforeMonth) &&
             ReadMonth(c, f.Month) && c.Char(' ', kSpaceBeforeYear) && c.Digits<4>(f.Year, kYear) &&
             c.Char(' ', kSpaceBeforeTime) && ReadTime(c, f);
    case Layout::Rfc850:
      return c.Char(' ', kSpaceAfterComma) && c.Digits<2>(f.Day, kDay) && c.Char('-', kDashBeforeMonth) &&
             ReadMonth(c, f.Month) && c.Char('-', kDashBeforeYear) && c.Digits<2>(f.Year, kTwoDigitYear) &&
             c.Char(' ', kSpaceBeforeTime) && ReadTime(c, f);
    case Layout::Asctime:
      if (!ReadMonth(c, f.Month) || !c.Char(' ', kSpaceBeforeDay)) return false;
      if (c.Char(' ', kAsctimeDay) ? !c.Digits<1>(f.Day, kAsctimeDay) : !c.Digits<2>(f.Day, kAsctimeDay)) {
        return false;
      }
      return c.Char(' ', kSpaceBeforeTime) && ReadTime(c, f) && c.Char(' ', kSpaceBeforeYearAfterTime) &&
             c.Digits<4>(f.Year, kYear);
  }
  return false;
}

bool ReadZone(Cursor<Expected>& c, Layout layout) {
  c.Wanted = kGmt;
  if (layout != Layout::Asctime) {
    if (c.Text.substr(c.At, kGmtZone.size()) != kGmtZone) return false;
    c.At += kGmtZone.size();
  }
  c.Wanted = kEnd;
  return c.At == c.Text.size();
}

// The year of two digits `f.Year` that lies no more than 50 years after
// `now`, and after `now` minus 50 years, the times compared field by field as
// the calendar orders them: 29 February of a year that has none lies before
// 1 March, where a count of seconds would carry it.
int CenturyYear(const CivilFields& f, TimePoint now) {
  const civil::DayAndSecond split = civil::SplitDays(FloorToSecond(now).Seconds);
  const civil::Date today = civil::CivilFromDays(split.Days);
  const std::int64_t time = f.Hour * kSecondsPerHour + f.Minute * kSecondsPerMinute + f.Second;
  const auto limit = std::tuple(today.Year + 50, static_cast<int>(today.Month), static_cast<int>(today.Day),
                                std::int64_t{split.Second});
  const auto after_limit = [&](std::int64_t year) { return std::tuple(year, f.Month, f.Day, time) > limit; };
  std::int64_t year = today.Year - today.Year % 100 + f.Year;
  if (after_limit(year)) {
    year -= 100;
  } else if (!after_limit(year + 100)) {
    year += 100;
  }
  return static_cast<int>(year);
}

[[gnu::always_inline]] inline ParseResult<Timestamp> ReadStrict(std::string_view text, TimePoint now,
                                                                StrictReading& r) {
  Cursor<Expected> c{text};
  Layout layout = Layout::ImfFixdate;
  const std::optional<int> weekday = ReadWeekday(c, layout);
  if (!weekday || !ReadDate(c, layout, r.Fields) || !ReadZone(c, layout)) {
    const bool name = c.Wanted == kWeekday || c.Wanted == kMonth;
    r.Fault = {Problem::Expected, c.Wanted, static_cast<std::uint32_t>(c.At),
               static_cast<std::uint32_t>(name ? LettersFrom(text, c.At) : 0)};
    return {{}, kErrors.Layout};
  }
  if (layout == Layout::Rfc850) r.Fields.Year = CenturyYear(r.Fields, now);
  Timestamp read;
  Problem problem = FormTimestamp(r.Fields, 0, read);
  if (problem == Problem::None || problem == Problem::OutsideRange) {
    if (WeekdayOf(r.Fields) != static_cast<unsigned>(*weekday)) {
      problem = Problem::Weekday;
      read = {};
      r.Fault.Size = static_cast<std::uint32_t>(text.find_first_of(", "));
    }
  }
  r.Fault.What = problem;
  return {read, ErrorOf(problem, kErrors)};
}

}  // namespace

std::string HttpStrictMessage(std::string_view text) {
  StrictReading reading;
  ReadStrict(text, std::chrono::system_clock::now(), reading);
  return StrictMessage(kHttpStrictHead, reading, kExpected, text);
}

}  // namespace internal

ParseResult<Timestamp> TryFromHttpDateStrict(std::string_view text, TimePoint now) noexcept {
  internal::StrictReading reading;
  return internal::ReadStrict(text, now, reading);
}

ParseResult<Timestamp> TryFromHttpDateStrict(std::string_view text) noexcept {
  return TryFromHttpDateStrict(text, std::chrono::system_clock::now());
}

}  // namespace orvik::chrono
