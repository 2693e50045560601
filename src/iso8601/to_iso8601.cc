// FormatIso8601 and ToIso8601: a time point as ISO 8601 text in the extended
// or basic layout.
//
// The layouts with a fraction show the second that holds t (floored toward
// minus infinity) and the nanoseconds from that second's start, so the text
// names t exactly, before 1970 as after. The layout without a fraction shows
// ToCalendarTime's second.
//
// In UTC the layouts with a fraction take their fields from POSIX arithmetic
// and write their text eight bytes at a time; the others take them from the
// hour cache and write it a field at a time. Either writes into the caller's
// buffer, or a local one that ToIso8601 copies into its result string, the
// only allocation.
#include "iso8601/to_iso8601.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "calendar/calendar_time.h"
#include "calendar/convert.h"
#include "civil/civil.h"
#include "civil/instant.h"
#include "civil/time_units.h"
#include "messages.h"
#include "text/digits.h"
#include "zone/named_zone.h"

namespace orvik::chrono {
namespace internal {
namespace {

// Calendar fields of a time point: a four-digit year, every other field 0 to 60.
unsigned Field(int value) { return static_cast<unsigned>(value); }

// YYYY-MM-DDThh:mm:ss (extended) or YYYYMMDDThhmmss (basic).
char* WriteDateTime(const std::tm& tm, bool extended, char* out) {
  out = digits::WriteFour(out, Field(tm.tm_year + 1900));
  if (extended) *out++ = '-';
  out = digits::WriteTwo(out, Field(tm.tm_mon + 1));
  if (extended) *out++ = '-';
  out = digits::WriteTwo(out, Field(tm.tm_mday));
  *out++ = 'T';
  out = digits::WriteTwo(out, Field(tm.tm_hour));
  if (extended) *out++ = ':';
  out = digits::WriteTwo(out, Field(tm.tm_min));
  if (extended) *out++ = ':';
  return digits::WriteTwo(out, Field(tm.tm_sec));
}

char* WriteZoneDesignator(const std::tm& tm, TimeZone zone, char* out) {
  if (zone != TimeZone::UTC) return WriteLocalZoneDesignator(tm, out);
  *out = 'Z';
  return out + 1;
}

}  // namespace

char* WriteLocalZoneDesignator(const std::tm& tm, char* out) {
  // "%z" writes nothing when summer time is unknown, and reads the offset as
  // an int of seconds east of UTC.
  if (tm.tm_isdst >= 0) {
    const std::int64_t seconds_east = static_cast<int>(tm.tm_gmtoff);
    const std::int64_t minutes = (seconds_east < 0 ? -seconds_east : seconds_east) / kSecondsPerMinute;
    // "+hhmm" holds at most 99 hours.
    if (minutes != 0 && minutes < 100 * kMinutesPerHour) {
      *out++ = seconds_east < 0 ? '-' : '+';
      out = digits::WriteTwo(out, static_cast<unsigned>(minutes / kMinutesPerHour));
      *out++ = ':';
      return digits::WriteTwo(out, static_cast<unsigned>(minutes % kMinutesPerHour));
    }
  }
  *out = 'Z';
  return out + 1;
}

namespace {

// The text of a layout with nanoseconds in UTC, from the floored second's
// fields by POSIX arithmetic, as the hour cache would give them: a word of
// eight bytes at a time, the last over the third's end.
template <bool kExtended>
[[gnu::always_inline]] inline char* WriteUtcNanoseconds(char* out, TimePoint t) {
  using digits::Template;
  using digits::TextWord;
  using digits::TwoDigits;
  const FlooredTime floored = FloorToSecond(t);
  const civil::DayAndSecond split = civil::SplitDays(floored.Seconds);
  const civil::TimeOfDay time = civil::TimeOfDayFromSeconds(static_cast<unsigned>(split.Second));
  const civil::Date date = civil::CivilFromDays(split.Days);
  constexpr unsigned kHundredMillion = 100'000'000;
  const TextWord first = '0' + floored.Nanoseconds / kHundredMillion;
  const TextWord rest = digits::EightDigits(floored.Nanoseconds % kHundredMillion);
  const TextWord century = TwoDigits(static_cast<unsigned>(date.Century));  // a four-digit year
  constexpr std::size_t kSize =
      kExtended ? sizeof("2024-03-05T07:08:09.012345678Z") - 1 : sizeof("20240305T070809.012345678Z") - 1;
  if constexpr (kExtended) {
    digits::Store(out,
                  Template("____-__-") | century | TwoDigits(date.YearOfCentury) << 16U | TwoDigits(date.Month) << 40U);
    digits::Store(out + 8, Template("__T__:__") | TwoDigits(date.Day) | TwoDigits(time.Hour) << 24U |
                               TwoDigits(time.Minute) << 48U);
    digits::Store(out + 16, Template(":__.____") | TwoDigits(time.Second) << 8U | first << 32U | rest << 40U);
  } else {
    digits::Store(out, century | TwoDigits(date.YearOfCentury) << 16U | TwoDigits(date.Month) << 32U |
                           TwoDigits(date.Day) << 48U);
    digits::Store(out + 8, Template("T______.") | TwoDigits(time.Hour) << 8U | TwoDigits(time.Minute) << 24U |
                               TwoDigits(time.Second) << 40U);
    digits::Store(out + 16, first | rest << 8U);
  }
  digits::Store(out + kSize - 8, Template("_______Z") | rest >> 8U);
  return out + kSize;
}

}  // namespace

// WriteIso8601 through the hour cache. Out of line, so that the text in UTC
// takes no frame for it.
[[gnu::noinline]] char* WriteIso8601FromCache(char* out, TimePoint t, Iso8601Format format, TimeZone zone) {
  std::tm tm;
  switch (format) {
    case Iso8601Format::Extended:
      if (!TryCalendarTime(t, zone, tm)) return nullptr;
      return WriteZoneDesignator(tm, zone, WriteDateTime(tm, /*extended=*/true, out));
    case Iso8601Format::ExtendedNanoseconds:
    case Iso8601Format::BasicNanoseconds: {
      const FlooredTime floored = FloorToSecond(t);
      if (!TryCalendarTimeOfSecond(floored.Seconds, zone, tm)) return nullptr;
      out = WriteDateTime(tm, format == Iso8601Format::ExtendedNanoseconds, out);
      *out++ = '.';
      return WriteZoneDesignator(tm, zone, digits::WriteNine(out, floored.Nanoseconds));
    }
    default:
      // An unknown layout writes the zone designator alone.
      if (!TryCalendarTime(t, zone, tm)) return nullptr;
      return WriteZoneDesignator(tm, zone, out);
  }
}

// Writes the text to `out` and returns its end; nullptr, having written
// nothing, where ToCalendarTime throws.
[[gnu::always_inline]] inline char* WriteIso8601(char* out, TimePoint t, Iso8601Format format, TimeZone zone) {
  if (zone == TimeZone::UTC) {
    if (format == Iso8601Format::ExtendedNanoseconds) return WriteUtcNanoseconds<true>(out, t);
    if (format == Iso8601Format::BasicNanoseconds) return WriteUtcNanoseconds<false>(out, t);
  }
  return WriteIso8601FromCache(out, t, format, zone);
}

// In a zone by name: every layout shows the second that holds `t`, and the
// offset with its seconds where it has them; an offset of 0 as 'Z' where
// `zero_as_z`, otherwise as "+00:00". Nothing where the zone counts leap
// seconds.
char* WriteIso8601(char* out, TimePoint t, Iso8601Format format, Zone zone, bool zero_as_z) {
  const FlooredTime floored = FloorToSecond(t);
  if (CountsLeapSeconds(zone, floored.Seconds)) return nullptr;
  std::tm tm;
  NamedFromSeconds(floored.Seconds, zone, tm);
  const bool extended = format != Iso8601Format::BasicNanoseconds;
  if (format == Iso8601Format::Extended || format == Iso8601Format::ExtendedNanoseconds || !extended) {
    out = WriteDateTime(tm, extended, out);
    if (format != Iso8601Format::Extended) {
      *out++ = '.';
      out = digits::WriteNine(out, floored.Nanoseconds);
    }
  }
  if (tm.tm_gmtoff == 0 && zero_as_z) {
    *out = 'Z';
    return out + 1;
  }
  return WriteOffset(out, tm.tm_gmtoff, extended);
}

// The name that an RFC 9557 suffix gives `zone`: a tz database name, "UTC",
// or a fixed offset of whole minutes; empty for the others.
std::string_view SuffixName(Zone zone) {
  const zone::NamedZone* const entry = zone.Entry();
  if (entry == nullptr || entry->Kind == zone::NamedKind::File) return zone.Name();
  const bool minutes = entry->Name.size() == sizeof("+05:30") - 1;
  return entry->Kind == zone::NamedKind::FixedOffset && minutes ? entry->Name : std::string_view();
}

}  // namespace internal

char* FormatIso8601(char* out, TimePoint t, Iso8601Format format, Zone zone) noexcept {
  return internal::WriteIso8601(out, t, format, zone, /*zero_as_z=*/true);
}

char* FormatIso8601WithZoneName(char* out, TimePoint t, Iso8601Format format, Zone zone) noexcept {
  const std::string_view name = internal::SuffixName(zone);
  if (name.empty()) return nullptr;
  out = internal::WriteIso8601(out, t, format, zone, /*zero_as_z=*/false);
  if (out == nullptr) return nullptr;
  *out++ = '[';
  out = std::copy(name.begin(), name.end(), out);
  *out = ']';
  return out + 1;
}

std::string ToIso8601WithZoneName(TimePoint t, Iso8601Format format, Zone zone) {
  char text[kMaxIso8601WithZoneNameSize];
  const char* const end = FormatIso8601WithZoneName(text, t, format, zone);
  if (end == nullptr) {
    const bool named = !internal::SuffixName(zone).empty();
    internal::ThrowMessage<std::invalid_argument>(
        {internal::kZoneHead, zone.Name(), named ? internal::kCountsLeapSeconds : internal::kNoSuffixName});
  }
  return {static_cast<const char*>(text), end};
}

std::string ToIso8601(TimePoint t, Iso8601Format format, Zone zone) {
  char text[kMaxIso8601InZoneSize];
  const char* const end = FormatIso8601(text, t, format, zone);
  if (end == nullptr) {
    internal::ThrowMessage<std::invalid_argument>({internal::kZoneHead, zone.Name(), internal::kCountsLeapSeconds});
  }
  return {static_cast<const char*>(text), end};
}

char* FormatIso8601(char* out, TimePoint t, Iso8601Format format, TimeZone zone) noexcept {
  return internal::WriteIso8601(out, t, format, zone);
}

std::string ToIso8601(TimePoint t, Iso8601Format format, TimeZone zone) {
  char text[kMaxIso8601Size];
  const char* const end = FormatIso8601(text, t, format, zone);
  if (end == nullptr) internal::ThrowNoCalendarTime(zone);
  return {static_cast<const char*>(text), end};
}

std::string ToIso8601(TimePoint t, TimeZone zone) { return ToIso8601(t, Iso8601Format::ExtendedNanoseconds, zone); }

}  // namespace orvik::chrono
