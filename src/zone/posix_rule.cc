#include "zone/posix_rule.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "civil/civil.h"
#include "civil/time_units.h"

namespace orvik::chrono::internal::zone {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An abbreviation: three letters or more, or three or more letters, digits
// and signs between '<' and '>'.
bool ReadName(const char*& p, std::string_view& name) {
  const char* start = p;
  const char* end = p;
  while (IsLetter(*end)) ++end;
  const char* next = end;
  if (end - start < 3) {
    if (*p != '<') return false;
    start = end = p + 1;
    while (IsLetter(*end) || IsDigit(*end) || *end == '+' || *end == '-') ++end;
    if (*end != '>' || end - start < 3) return false;
    next = end + 1;
  }
  name = {start, static_cast<std::size_t>(end - start)};
  p = next;
  return true;
}

// "hh[:mm[:ss]]", each number as sscanf's "%hu" reads it (after white space
// and a sign, modulo 2^16): glibc reads these fields with sscanf, whose
// answers are the ones to give. Fields not read keep what they hold.
struct Clock {
  unsigned short Hours;
  unsigned short Minutes = 0;
  unsigned short Seconds = 0;
  int Length = 0;  // the characters read
  int Fields = 0;  // as sscanf returns it
};

Clock ReadClock(const char* p, unsigned short hours) {
  Clock clock{hours};
  // NOLINTNEXTLINE(cert-err34-c): sscanf's own reading is the one wanted, overflow included.
  clock.Fields = std::sscanf(p, "%hu%n:%hu%n:%hu%n", &clock.Hours, &clock.Length, &clock.Minutes, &clock.Length,
                             &clock.Seconds, &clock.Length);
  return clock;
}

// "[+|-]hh[:mm[:ss]]", west of UTC unless '-': hours clamped to 24, minutes
// and seconds to 59. The standard side needs a sign or a digit; summer time
// without an offset is an hour east of standard time.
bool ReadOffset(const char*& p, Side& side, const Side& standard) {
  const bool is_standard = &side == &standard;
  if (is_standard && *p != '+' && *p != '-' && !IsDigit(*p)) return false;
  const bool east = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  const Clock clock = ReadClock(p, 0);
  if (clock.Fields <= 0) {
    if (is_standard) return false;
    side.Offset = standard.Offset + static_cast<std::int32_t>(kSecondsPerHour);
    return true;
  }
  const auto offset = std::min<std::int32_t>(clock.Hours, 24) * static_cast<std::int32_t>(kSecondsPerHour) +
                      std::min<std::int32_t>(clock.Minutes, 59) * static_cast<std::int32_t>(kSecondsPerMinute) +
                      std::min<std::int32_t>(clock.Seconds, 59);
  side.Offset = east ? offset : -offset;
  p += clock.Length;
  return true;
}

// ",date[/time]", the comma optional. With nothing left, the dates of the
// United States since 2007: summer time from the second Sunday of March to
// the first Sunday of November. The time defaults to 02:00 and may be
// negative or beyond a day. Each field is stored as soon as it is read.
bool ReadChange(const char*& p, Side& side, bool starts_summer) {
  if (*p == ',') ++p;
  if (*p == 'J' || IsDigit(*p)) {
    side.Rule = *p == 'J' ? DayRule::Julian : DayRule::DayOfYear;
    if (side.Rule == DayRule::Julian && !IsDigit(*++p)) return false;
    char* end = nullptr;
    const unsigned long day = std::strtoul(p, &end, 10);
    if (end == p || day > 365 || (side.Rule == DayRule::Julian && day == 0)) return false;
    side.Day = static_cast<std::uint16_t>(day);
    p = end;
  } else if (*p == 'M') {
    side.Rule = DayRule::MonthWeekDay;
    int length = 0;
    // NOLINTNEXTLINE(cert-err34-c): as glibc reads it, fields stored as far as they are read.
    if (std::sscanf(p, "M%hu.%hu.%hu%n", &side.Month, &side.Week, &side.Day, &length) != 3 || side.Month < 1 ||
        side.Month > 12 || side.Week < 1 || side.Week > 5 || side.Day > 6) {
      return false;
    }
    p += length;
  } else if (*p == '\0') {
    side.Rule = DayRule::MonthWeekDay;
    side.Month = starts_summer ? 3 : 11;
    side.Week = starts_summer ? 2 : 1;
    side.Day = 0;
  } else {
    return false;
  }
  if (*p != '\0' && *p != '/' && *p != ',') return false;
  if (*p != '/') {
    side.Time = 2 * static_cast<std::int32_t>(kSecondsPerHour);
  } else {
    if (*++p == '\0') return false;
    const bool negative = *p == '-';
    if (negative) ++p;
    const Clock clock = ReadClock(p, 2);
    p += clock.Length;
    const int time = clock.Hours * static_cast<int>(kSecondsPerHour) +
                     clock.Minutes * static_cast<int>(kSecondsPerMinute) + clock.Seconds;
    side.Time = negative ? -time : time;
  }
  return true;
}

// The days from 1970-01-01 to the first day of `month`.
std::int64_t FirstDayOf(std::int64_t year, int month) { return civil::DayOf(year, month, 1); }

}  // namespace

PosixRule ReadPosixRule(const char* text) {
  PosixRule rule;
  const char* p = text;
  if (!ReadName(p, rule.Standard.Name) || !ReadOffset(p, rule.Standard, rule.Standard)) return rule;
  if (*p == '\0') {
    rule.Summer.Name = rule.Standard.Name;
    rule.Summer.Offset = rule.Standard.Offset;
    rule.Whole = true;
    return rule;
  }
  // The changes are read even when no summer name is: glibc then computes
  // with a summer side of offset 0 and an empty name.
  if (ReadName(p, rule.Summer.Name)) {
    ReadOffset(p, rule.Summer, rule.Standard);
    if (*p == '\0' || (p[0] == ',' && p[1] == '\0')) {
      rule.WantsPosixRules = true;
      return rule;
    }
  }
  rule.Whole = ReadChange(p, rule.Standard, true) && ReadChange(p, rule.Summer, false) && *p == '\0' &&
               !rule.Summer.Name.empty();
  return rule;
}

bool IsComputable(const PosixRule& rule) {
  const auto month_ok = [](const Side& side) {
    return side.Rule != DayRule::MonthWeekDay || (side.Month >= 1 && side.Month <= 12);
  };
  return !rule.WantsPosixRules && month_ok(rule.Standard) && month_ok(rule.Summer);
}

// glibc counts the days from January 1st of `year` after 1970, and from
// 1970-01-01 for every year up to 1970 (while it takes leap years and
// weekdays from `year` itself): before 1970 a rule's changes fall in 1970.
std::int64_t ChangeOf(const Side& side, std::int64_t year) {
  const std::int64_t base = year > 1970 ? FirstDayOf(year, 1) : 0;
  std::int64_t day = 0;
  switch (side.Rule) {
    case DayRule::Julian:
      day = side.Day - 1 + (side.Day >= 60 && civil::IsLeapYear(year) ? 1 : 0);
      break;
    case DayRule::DayOfYear:
      day = side.Day;
      break;
    case DayRule::MonthWeekDay: {
      const std::int64_t first = FirstDayOf(year, side.Month);
      const std::int64_t length = FirstDayOf(year, side.Month + 1) - first;
      std::int64_t in_month = side.Day - static_cast<std::int64_t>(civil::WeekdayFromDays(first));
      if (in_month < 0) in_month += 7;
      for (unsigned week = 1; week < side.Week && in_month + 7 < length; ++week) in_month += 7;
      day = first - FirstDayOf(year, 1) + in_month;
      break;
    }
  }
  return (base + day) * kSecondsPerDay + side.Time - side.Offset;
}

// Both changes of the instant's UTC year, so a summer time that spans the
// new year is the time outside the two changes: a change that crosses the
// new year in UTC leaves the days it crosses on the other side.
bool IsSummer(const PosixRule& rule, std::int64_t t, std::int64_t year) {
  const std::int64_t starts = ChangeOf(rule.Standard, year);
  const std::int64_t ends = ChangeOf(rule.Summer, year);
  return starts > ends ? t < ends || t >= starts : t >= starts && t < ends;
}

}  // namespace orvik::chrono::internal::zone
