// ToIso8601: a time point as ISO 8601 text in the extended or basic layout.
//
// The layouts with a fraction show the second that holds t (floored toward
// minus infinity) and the nanoseconds from that second's start, so the text
// names t exactly, before 1970 as after. The layout without a fraction shows
// ToCalendarTime's second.
//
// The calendar fields come from the hour cache; the text is written digit by
// digit into one local buffer, so the result string is the only allocation.
#include "iso8601/to_iso8601.h"

#include <cstdint>
#include <string>

#include "calendar/calendar_time.h"
#include "calendar/time_units.h"
#include "text/digits.h"

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

}  // namespace internal

std::string ToIso8601(TimePoint t, Iso8601Format format, TimeZone zone) {
  using internal::WriteDateTime;
  using internal::WriteZoneDesignator;
  char text[sizeof("2024-03-05T07:08:09.012345678+05:30") - 1];
  char* end = text;
  switch (format) {
    case Iso8601Format::Extended: {
      const std::tm tm = ToCalendarTime(t, zone);
      end = WriteZoneDesignator(tm, zone, WriteDateTime(tm, /*extended=*/true, end));
      break;
    }
    case Iso8601Format::ExtendedNanoseconds:
    case Iso8601Format::BasicNanoseconds: {
      const internal::FlooredTime floored = internal::FloorToSecond(t);
      const std::tm tm = internal::CalendarTimeOfSecond(floored.Seconds, zone);
      end = WriteDateTime(tm, format == Iso8601Format::ExtendedNanoseconds, end);
      *end++ = '.';
      end = WriteZoneDesignator(tm, zone, internal::digits::WriteNine(end, floored.Nanoseconds));
      break;
    }
    default:
      // An unknown layout writes the zone designator alone.
      end = WriteZoneDesignator(ToCalendarTime(t, zone), zone, end);
      break;
  }
  return {text, end};
}

std::string ToIso8601(TimePoint t, TimeZone zone) { return ToIso8601(t, Iso8601Format::ExtendedNanoseconds, zone); }

}  // namespace orvik::chrono
