// ToIso8601: a time point as ISO 8601 text in the extended or basic layout.
//
// The layouts with a fraction show the second that holds t (floored toward
// minus infinity) and the nanoseconds from that second's start, so the text
// names t exactly, before 1970 as after. The layout without a fraction shows
// ToCalendarTime's second.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

#include "calendar/calendar_time.h"
#include "calendar/convert.h"

namespace orvik::chrono {
namespace {

struct FlooredTime {
  long Seconds;
  long long Nanoseconds;  // 0 to 999999999
};

// Never forms Seconds * 1e9, which does not fit for the smallest time point.
FlooredTime FloorToSecond(TimePoint t) {
  const std::int64_t count = t.time_since_epoch().count();
  FlooredTime floored{count / kNanosecondsPerSecond, count % kNanosecondsPerSecond};
  if (floored.Nanoseconds < 0) {
    --floored.Seconds;
    floored.Nanoseconds += kNanosecondsPerSecond;
  }
  return floored;
}

// "Z" for UTC and for a local offset of zero, otherwise the offset as +hh:mm.
void AppendZoneDesignator(const std::tm& tm, TimeZone zone, std::string& out) {
  if (zone == TimeZone::UTC) {
    out += 'Z';
    return;
  }
  char buffer[sizeof("+0530")] = {};
  const std::string_view offset(buffer, std::strftime(buffer, sizeof(buffer), "%z", &tm));
  if (offset.size() < 2 || offset == "+0000" || offset == "-0000") {
    out += 'Z';
    return;
  }
  const std::size_t minutes_at = offset.size() - 2;
  out.append(offset.substr(0, minutes_at)).append(1, ':').append(offset.substr(minutes_at));
}

}  // namespace

std::string ToIso8601(TimePoint t, Iso8601Format format, TimeZone zone) {
  std::tm tm{};
  const char* date_time_layout = nullptr;
  bool with_fraction = false;
  long long nanoseconds = 0;
  switch (format) {
    case Iso8601Format::Extended:
      tm = ToCalendarTime(t, zone);
      date_time_layout = "%FT%T";
      break;
    case Iso8601Format::ExtendedNanoseconds:
    case Iso8601Format::BasicNanoseconds: {
      const FlooredTime floored = FloorToSecond(t);
      tm = CalendarTimeOfSecond(floored.Seconds, zone);
      date_time_layout = format == Iso8601Format::BasicNanoseconds ? "%Y%m%dT%H%M%S" : "%FT%T";
      with_fraction = true;
      nanoseconds = floored.Nanoseconds;
      break;
    }
    default:
      // An unknown layout writes the zone designator alone.
      tm = ToCalendarTime(t, zone);
      break;
  }

  std::array<char, 32> date_time{};
  if (date_time_layout != nullptr) {
    const std::size_t length = std::strftime(date_time.data(), date_time.size(), date_time_layout, &tm);
    if (with_fraction) {
      char* fraction = &date_time.at(length);
      std::snprintf(fraction, date_time.size() - length, ".%09lld", nanoseconds);
    }
  }

  std::string result;
  result.reserve(date_time.size() + sizeof("+05:30"));
  result.append(date_time.data());
  AppendZoneDesignator(tm, zone, result);
  return result;
}

std::string ToIso8601(TimePoint t, TimeZone zone) { return ToIso8601(t, Iso8601Format::ExtendedNanoseconds, zone); }

}  // namespace orvik::chrono
