// orvik-chrono: conversions between the system clock's nanosecond time points
// and calendar time, ISO 8601 timestamps, HTTP dates and ISO 8601 durations.
//
// Every function is a pure conversion of its arguments and of the process's
// local time-zone setting; any thread may call any function at any time.
// Failures are reported by exceptions of the standard library's types.
#ifndef ORVIK_CHRONO_CHRONO_H_
#define ORVIK_CHRONO_CHRONO_H_

#include <chrono>
#include <cstdint>
#include <ctime>
#include <string>
#include <utility>

#define ORVIK_CHRONO_VERSION_MAJOR 1
#define ORVIK_CHRONO_VERSION_MINOR 0
#define ORVIK_CHRONO_VERSION_PATCH 0

#if defined(__GNUC__)
#define ORVIK_CHRONO_API __attribute__((visibility("default")))
#else
#define ORVIK_CHRONO_API
#endif

namespace orvik::chrono {

// A signed 64-bit count of nanoseconds since 1970-01-01T00:00:00Z:
// 1677-09-21T00:12:43.145224192Z to 2262-04-11T23:47:16.854775807Z.
using TimePoint = std::chrono::time_point<std::chrono::system_clock, std::chrono::nanoseconds>;

// Selects the process's local time zone (as localtime_r sees it) or UTC.
// Any other value is refused with std::invalid_argument "Unknown timezone type".
enum class TimeZone : std::int32_t { Local = 0, UTC = 1 };

// Layouts written by ToIso8601:
//   Extended             2024-03-05T07:08:09Z
//   ExtendedNanoseconds  2024-03-05T07:08:09.012345678Z
//   BasicNanoseconds     20240305T070809.012345678Z
enum class Iso8601Format : std::int32_t { Extended = 0, ExtendedNanoseconds = 1, BasicNanoseconds = 2 };

// Calendar time of `t` in `zone` for the second shown, served from a one-hour
// cache. UTC is POSIX time (no leap seconds) whatever the zone setting, so
// UTC results never depend on TZ; tm_zone points at libc's own "GMT". Local
// results are exactly localtime_r's, leap seconds of the right/ zones
// included. A time point before 1970 with a fraction of a second shows the
// second below it, unless its truncated second starts an hour. After the zone
// setting changes (TZ and tzset), a Local call inside the cached hour may
// answer for the old setting until a call that the cache does not serve.
ORVIK_CHRONO_API std::tm ToCalendarTime(TimePoint t, TimeZone zone);

// The time point of a whole-seconds count such as a file's time stamp.
// Exact for -9223372036 to 9223372036; outside that range the product wraps.
ORVIK_CHRONO_API TimePoint FileTimePointToSystemTimePoint(long seconds);

// ISO 8601 text of `t` in `zone`, ending in "Z" or a +hh:mm offset.
ORVIK_CHRONO_API std::string ToIso8601(TimePoint t, Iso8601Format format, TimeZone zone);
// The same with Iso8601Format::ExtendedNanoseconds.
ORVIK_CHRONO_API std::string ToIso8601(TimePoint t, TimeZone zone);

// Reads an ISO 8601 timestamp in the extended or basic layout and returns the
// instant with the UTC offset that the text carried.
ORVIK_CHRONO_API std::pair<TimePoint, std::chrono::minutes> SplitIso8601(const std::string& text);
// The instant alone.
ORVIK_CHRONO_API TimePoint FromIso8601(const std::string& text);

// The IMF-fixdate of `t`, such as "Sun, 06 Nov 1994 08:49:37 GMT".
ORVIK_CHRONO_API std::string ToHttpDate(TimePoint t);
// Reads an IMF-fixdate, RFC 850 or asctime date as a UTC instant.
ORVIK_CHRONO_API TimePoint FromHttpDate(const std::string& text);

namespace duration {
// Reads an ISO 8601 duration of hours, minutes and seconds, such as "PT1H30M15S".
ORVIK_CHRONO_API std::chrono::nanoseconds FromIso8601(const std::string& text);
}  // namespace duration

}  // namespace orvik::chrono

#endif  // ORVIK_CHRONO_CHRONO_H_
