// Internal: the library's one conversion of a seconds count to calendar time.
#ifndef ORVIK_CHRONO_SRC_CALENDAR_CONVERT_H_
#define ORVIK_CHRONO_SRC_CALENDAR_CONVERT_H_

#include <orvik/chrono/chrono.h>

#include <atomic>
#include <cstdint>
#include <ctime>

#include "civil/civil.h"
#include "civil/time_units.h"
#include "zone/local_zone.h"
#include "zone/named_zone.h"

namespace orvik::chrono::internal {

// libc's own abbreviation text for UTC, where gmtime_r points tm_zone: a
// std::tm kept after this library is unloaded still points at valid text.
// Found at the first call and kept; a race stores the same pointer twice.
inline std::atomic<const char*> utc_abbreviation{nullptr};

[[gnu::noinline, gnu::cold]] inline const char* FindUtcAbbreviation() {
  std::tm tm{};
  const std::time_t zero = 0;
  gmtime_r(&zero, &tm);
  utc_abbreviation.store(tm.tm_zone, std::memory_order_relaxed);
  return tm.tm_zone;
}

// nullptr before the first call of UtcAbbreviation.
inline const char* FoundUtcAbbreviation() { return utc_abbreviation.load(std::memory_order_relaxed); }

inline const char* UtcAbbreviation() {
  const char* const found = FoundUtcAbbreviation();
  return found != nullptr ? found : FindUtcAbbreviation();
}

// Sets tm_sec, tm_min and tm_hour of `out` to those of a second of the day;
// returns the second of the hour.
inline unsigned TimeOfDayFields(int second_of_day, std::tm& out) {
  const auto second = static_cast<unsigned>(second_of_day);
  const civil::TimeOfDay time = civil::TimeOfDayFromSeconds(second);
  out.tm_sec = static_cast<int>(time.Second);
  out.tm_min = static_cast<int>(time.Minute);
  out.tm_hour = static_cast<int>(time.Hour);
  return second - time.Hour * static_cast<unsigned>(kSecondsPerHour);
}

// Sets tm_mday, tm_mon, tm_year, tm_wday and tm_yday of `out` to those of a
// day count since 1970-01-01.
inline void DateFields(std::int64_t days, std::tm& out) {
  out.tm_wday = static_cast<int>(civil::WeekdayFromDays(days));
  const civil::Date date = civil::CivilFromDays(days);
  out.tm_mday = static_cast<int>(date.Day);
  out.tm_mon = static_cast<int>(date.Month) - 1;
  out.tm_year = static_cast<int>(date.Year - 1900);
  out.tm_yday = static_cast<int>(date.DayOfYear);
}

// Sets the calendar members of `out`, tm_sec to tm_yday, to those of a
// seconds count in POSIX time (no leap seconds). Member by member, so that no
// temporary std::tm is copied.
inline void CalendarFields(std::int64_t seconds, std::tm& out) {
  const civil::DayAndSecond split = civil::SplitDays(seconds);
  TimeOfDayFields(split.Second, out);
  DateFields(split.Days, out);
}

// Sets every member of `out` but the calendar ones to UTC's: tm_zone to
// `abbreviation`, UtcAbbreviation().
inline void UtcZoneFields(std::tm& out, const char* abbreviation) {
  out.tm_isdst = 0;
  out.tm_gmtoff = 0;
  out.tm_zone = abbreviation;
}

// Sets every member of `out` to the UTC calendar time of a seconds count in
// POSIX time, as gmtime_r sets them outside the zones that count leap seconds;
// tm_zone to `abbreviation`, UtcAbbreviation().
inline void UtcFromSeconds(std::int64_t seconds, std::tm& out, const char* abbreviation = UtcAbbreviation()) {
  UtcZoneFields(out, abbreviation);
  CalendarFields(seconds, out);
}

// The zones that a conversion takes: Local and UTC.
constexpr bool IsKnownZone(TimeZone zone) { return zone == TimeZone::Local || zone == TimeZone::UTC; }

// Throws why no calendar time of `zone` was given: std::invalid_argument
// kUnknownTimeZone for a zone other than Local and UTC, else
// std::runtime_error kLocalTimeFailed (messages.h).
[[noreturn]] void ThrowNoCalendarTime(TimeZone zone);

// Fills every member of `out` for `seconds`, which `shift` reads.
inline void FromShift(std::int64_t seconds, const zone::Shift& shift, std::tm& out) {
  CalendarFields(seconds + shift.Add, out);
  out.tm_sec += shift.LeapSecond;
  out.tm_isdst = shift.IsDst;
  out.tm_gmtoff = shift.Offset;
  out.tm_zone = shift.Abbreviation;
}

// Fills every member of `out` with the calendar time of `seconds`, from
// kFirstSecond to kLastSecond, in a zone by name: from its table, or as UTC
// for Zone::Utc().
inline void NamedFromSeconds(std::int64_t seconds, Zone zone, std::tm& out) {
  const zone::NamedZone* const entry = zone.Entry();
  if (entry == nullptr) {
    UtcFromSeconds(seconds, out);
  } else {
    FromShift(seconds, zone::ShiftIn(*entry, seconds), out);
  }
}

// Whether `zone` counts leap seconds at `seconds`: its fields lag UTC's plus
// its offset by the leap seconds inserted so far, or show a leap second as
// second 60, so that no text of them with their offset names the instant.
inline bool CountsLeapSeconds(Zone zone, std::int64_t seconds) {
  const zone::NamedZone* const entry = zone.Entry();
  if (entry == nullptr) return false;
  const zone::Shift& shift = zone::ShiftIn(*entry, seconds);
  return shift.Add != shift.Offset || shift.LeapSecond != 0;
}

// Fills `out` through localtime_r, every member as libc leaves it; false
// when it fails.
bool LocalFromLibc(long seconds, std::tm& out) noexcept;

// Fills `out` with the local time of `seconds` from `zone`'s table, exactly
// as localtime_r gives it, or through localtime_r where the zone leaves it to
// libc or could not be read (nullptr); false when localtime_r fails.
inline bool LocalFromSeconds(long seconds, std::tm& out, const zone::Zone* zone) noexcept {
  const zone::Shift* const shift = zone == nullptr ? nullptr : zone::ShiftAt(*zone, seconds);
  if (shift == nullptr) [[unlikely]] {
    return LocalFromLibc(seconds, out);
  }
  FromShift(seconds, *shift, out);
  return true;
}

// Fills `out` with the calendar time of `seconds` in `zone`, Local or UTC:
// UTC by POSIX arithmetic (no leap seconds, whatever the zone setting), local
// time as localtime_r gives it, in the zone that the thread's `seen` follows.
// False when localtime_r fails. Inline, so that a miss is arithmetic and a
// lookup.
inline bool Convert(long seconds, std::tm& out, TimeZone zone, zone::ZoneSeen& seen) noexcept {
  if (zone == TimeZone::UTC) {
    UtcFromSeconds(seconds, out);
    return true;
  }
  return LocalFromSeconds(seconds, out, zone::ZoneInForce(seen));
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_CALENDAR_CONVERT_H_
