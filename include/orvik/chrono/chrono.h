// orvik-chrono: conversions between the system clock's nanosecond time points
// and calendar time, ISO 8601 timestamps, HTTP and mail dates and ISO 8601
// durations.
//
// This header is the contract: each function's comment states what it accepts,
// what it returns and every refusal, with its exact message text ("..." + text
// means that the message ends with the whole argument text).
//
// Where to start. To read a date, the strict readers (TryFromIso8601Strict,
// TryFromHttpDateStrict, TryFromMailDate, duration::TryFromIso8601Strict):
// they accept a text only as its standard means it and say why they refuse
// one. To write one, FormatIso8601 and FormatHttpDate, or ToIso8601 and
// ToHttpDate; for calendar fields, ToCalendarTime. For a zone other than
// the process's own, LoadZone and the functions that take a Zone, and for a
// wall-clock time's instant, TryFromCivil. For any other layout, a format
// string compiled once by CompileLayout, read by TryFromLayout and written by
// FormatLayout or ToLayout. The compatible readers at
// the end (FromIso8601, FromHttpDate, duration::FromIso8601 and their Try
// faces) keep the results of an older interface, quirks included: they carry
// 30 February into March and read "07:08:09.5Z" as 5 ns past the second.
//
// Guarantees:
// - Exact: every conversion is integer arithmetic over the whole TimePoint
//   range; a UTC conversion is POSIX time (days of 86400 seconds) whatever TZ
//   is, and a local one is what localtime_r gives for the second concerned,
//   every std::tm member included.
// - Any thread may call any function at any time, and none takes a lock. The
//   calendar cache of ToCalendarTime (and so of the local writers) belongs to
//   the calling thread; the one thing that threads share is the lists of zones
//   read (for Local, and those loaded as a Zone), which a thread extends by
//   one atomic exchange and which are never freed.
// - The Try readers and the Format writers are noexcept and allocate nothing.
//   The other functions throw the standard library's exceptions with fixed
//   English messages, and std::bad_alloc where they allocate. A refusal
//   changes nothing and logs nothing.
// - The library depends on the C++ standard library and libc alone, and may be
//   linked or loaded with dlopen. This header compiles as C++17 and later.
//
// Limits:
// - Local time follows the process's zone (TZ, or /etc/localtime). The library
//   reads the zone that localtime_r reads into a table of its own, once per
//   value of TZ: 22 to 32 kilobytes kept for the process's life, the one
//   allocation that a local conversion may make (where it fails, the call
//   answers through localtime_r). A thread sees a new TZ at its next local
//   conversion that its calendar cache does not serve, and a replaced
//   /etc/localtime within a second; like getenv, this needs that no other
//   thread calls setenv, putenv or unsetenv during a call. CurrentLocalZone
//   tells which zone is in force. How a change is seen, and the zones left to
//   localtime_r itself (a setuid program, a malformed or oversized TZif file,
//   a rule that glibc completes from its posixrules file): docs/local-time.md.
// - Under a right/ zone, which counts leap seconds, local text counts them
//   while every reader reads POSIX time: it reads back as an instant earlier
//   by the leap seconds inserted before it.
#ifndef ORVIK_CHRONO_CHRONO_H_
#define ORVIK_CHRONO_CHRONO_H_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#define ORVIK_CHRONO_VERSION_MAJOR 1
#define ORVIK_CHRONO_VERSION_MINOR 1
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

// --------------------------------------------------------------------------
// Reading a date: the strict readers

// The strict readers: a text is accepted only where it is one that its
// standard defines, and read as the instant that the standard means, or
// refused with a ParseError whose ErrorMessage says what the text holds and
// what was expected. They read the whole view, NULs included, never past it,
// accept no white space or other text around the value (but the comments and
// folding white space of mail dates), are noexcept and allocate nothing.
// Each has an overload that takes a `message`: where the reader refuses the
// text, it appends to `message` what ErrorMessage gives for the refusal, from
// the one reading (but duration::TryFromIso8601Strict's DurationNotSupported
// and DurationOutOfRange, below), and it may throw std::bad_alloc; a caller that tells every
// refusal reads each text once and reuses one string's memory.
//
// Second 60 is read only where UTC inserted a leap second (at 23:59:60 UTC on
// the 27 days from 1972-06-30 to 2016-12-31 that end with one), as the last
// nanosecond of 23:59:59 UTC: time points count no leap seconds, and this keeps
// the order of the texts around it. Elsewhere second 60 does not exist.

// An instant and the UTC offset that its text wrote, in seconds east of UTC:
// +05:30 is 19800 s, "Z", GMT and "-00:00" are 0.
struct Timestamp {
  TimePoint instant{};
  std::chrono::seconds offset{};

  friend constexpr bool operator==(const Timestamp& a, const Timestamp& b) {
    return a.instant == b.instant && a.offset == b.offset;
  }
  friend constexpr bool operator!=(const Timestamp& a, const Timestamp& b) { return !(a == b); }
};

// Why a Try reader refused a text. Each value of a compatible reader stands
// for one refusal of the throwing reader of the same format, whose exception
// and message ThrowParseError and ErrorMessage give; those of the strict
// readers, which have no throwing face, are thrown the same way.
enum class ParseError : std::uint8_t {
  None,  // accepted
  // SplitIso8601 and FromIso8601, "Failed to parse ISO 8601 string: " + detail:
  Iso8601Unreadable,      // "invalid ISO8601 format: ", nothing could be read
  Iso8601Year,            // "error converting the year: "
  Iso8601Month,           // "error converting the month: "
  Iso8601Day,             // "error converting the day: "
  Iso8601Hour,            // "error converting the hour: "
  Iso8601Minutes,         // "error converting the minutes: "
  Iso8601Seconds,         // "error converting the seconds: "
  Iso8601Offset,          // "failed to parse the offset: "
  Iso8601Designator,      // "", a designator that fits no offset read
  Iso8601YearBefore1900,  // the year is before 1900
  Iso8601OutsideRange,    // the instant is outside the time point range
  Iso8601TooShort,        // four characters or fewer
  // FromHttpDate:
  HttpUnreadable,    // no layout matches
  HttpMonth,         // the month is no English abbreviation
  HttpWeekday,       // the weekday is no English name or abbreviation
  HttpOutsideRange,  // the instant is outside the time point range
  // duration::FromIso8601:
  DurationInvalid,         // "Invalid ISO8601 duration format"
  DurationNotSupported,    // "Durations with year/month/day components are not supported"
  DurationNumberTooLarge,  // "stoi", a run of digits above 2147483647
  DurationOutOfRange,      // "ISO8601 duration out of range"
  // The strict readers, whose messages are a head, a detail that names what
  // the text holds and what was expected, ": " and the text:
  // TryFromIso8601Strict, "Not an ISO 8601 timestamp, " + detail:
  Iso8601StrictLayout,        // such as "expected 'T', 't' or a space after the day, found '/'"
  Iso8601StrictNonexistent,   // such as "day 30 does not exist in February 2024"
  Iso8601StrictOffset,        // such as "offset hours 24 exceed 23"
  Iso8601StrictOutsideRange,  // "the instant is outside the time point range, 1677-09-21T00:12:43.145224192Z to
                              // 2262-04-11T23:47:16.854775807Z"
  // TryFromHttpDateStrict, "Not an HTTP date, " + detail:
  HttpStrictLayout,        // such as "expected ' GMT' after the seconds, found 'U'"
  HttpStrictNonexistent,   // such as "day 31 does not exist in November 1994"
  HttpStrictWeekday,       // such as "Mon is not the weekday of 06 Nov 1994, a Sunday"
  HttpStrictOutsideRange,  // as Iso8601StrictOutsideRange
  // TryFromMailDate, "Not a mail date, " + detail:
  MailDateLayout,
  MailDateNonexistent,
  MailDateWeekday,
  MailDateZone,  // an offset of 24 hours or more, or a zone whose offset is unknown, such as "zone 'CET' has no known
                 // offset"
  MailDateOutsideRange,
  // duration::TryFromIso8601Strict, "Not an ISO 8601 duration, " + detail;
  // it also refuses with DurationNotSupported and DurationOutOfRange, whose
  // message from its `message` overload is "Not an ISO 8601 duration, years,
  // months, weeks and days are not read: " + text and "Not an ISO 8601
  // duration, the total is outside the range of nanoseconds, up to
  // PT2562047H47M16.854775807S: " + text, where ErrorMessage keeps those of
  // duration::FromIso8601:
  DurationStrictLayout,
  // TryFromCivil and LookUpCivilTime, whose `message` overload says, for
  // example, "day 30 does not exist in February 2024"; ErrorMessage gives
  // "Not a wall-clock time, " + what the error means + ": " + text:
  CivilNonexistent,   // a field that does not exist: "a date or a time of day that does not exist"
  CivilSkipped,       // Disambiguation::Reject in a gap: "a time skipped by a change of offset"
  CivilRepeated,      // Disambiguation::Reject in a fold: "a time that occurs twice"
  CivilOutsideRange,  // as Iso8601StrictOutsideRange (std::out_of_range from ThrowParseError)
  // TryFromLayout, "Not a date of format '" + format + "', " + detail (its
  // wall-clock refusals are the Civil... values above); ErrorMessage, which
  // knows no format, says "Not a date of the format, " + what the error means:
  LayoutMismatch,      // such as "expected a month name at 3 for %b, found 'Mrz'"
  LayoutNonexistent,   // such as "day 30 does not exist in February 2024"
  LayoutWeekday,       // a weekday or a day of the year that is not the date's
  LayoutZone,          // an offset of 24 hours or more, or a zone name whose offset is unknown
  LayoutOutsideRange,  // as Iso8601StrictOutsideRange
  LayoutIncomplete,    // the format names no instant, or has no year and no reference instant was given
};

// What a Try reader returns: the value read, or the reason for the refusal
// and a value-initialised `value`.
template <typename T>
struct ParseResult {
  T value{};
  ParseError error = ParseError::None;

  // Whether the text was accepted.
  constexpr explicit operator bool() const noexcept { return error == ParseError::None; }
};

// An RFC 3339 / ISO 8601 timestamp, in the extended or the basic layout, date
// and time of day in the same one:
//   2024-03-05T07:08:09Z            20240305T070809Z
//   2024-03-05 07:08:09.5+05:30     20240305t123809,012345678+05:30
//   2024-03-05T07:08:09.123456+00   2024-03-05 07:08:09.123456 UTC
// - a four-digit year from 0000, month 01 to 12, the days of that month,
//   hour 00 to 23, minutes and seconds 00 to 59 (60 as above);
// - 'T', 't' or one space between date and time;
// - an optional fraction of 1 to 9 digits after '.' or ',';
// - a zone: 'Z', 'z', an offset +hh:mm, +hhmm or +hh (or '-') under 24 hours
//   with minutes under 60, in either layout, or " UTC" (as BigQuery writes).
// Refused: reduced precision (07:08Z), week and ordinal dates, a missing zone
// (local time names no instant), years of more or fewer than four digits, an
// offset with seconds (+00:19:32, with a message that names it).
// Where it accepts a text, TrySplitIso8601 gives the same instant and offset
// when the text has 'T' and 'Z' or the layout's own offset form (+hh:mm
// extended, +hhmm basic), a fraction of 3, 6 or 9 digits after '.' or none,
// a year from 1900 and a second other than 60.
ORVIK_CHRONO_API ParseResult<Timestamp> TryFromIso8601Strict(std::string_view text) noexcept;
ORVIK_CHRONO_API ParseResult<Timestamp> TryFromIso8601Strict(std::string_view text, std::string& message);

// An HTTP date of RFC 9110, in UTC (offset 0), names in their exact case:
//   IMF-fixdate  "Sun, 06 Nov 1994 08:49:37 GMT"
//   RFC 850      "Sunday, 06-Nov-94 08:49:37 GMT"
//   asctime      "Sun Nov  6 08:49:37 1994"
// The weekday must be the date's, " GMT" ends the first two layouts, and
// asctime has no zone. RFC 850's two-digit year is the year with those last
// two digits that lies no more than 50 years after `now`, and after `now`
// minus 50 years: at 2026-12-07, "94" is 1994 and "24" 2024. The overload
// without `now` reads the system clock at every call; a caller that reads
// many dates passes one instant. Where it accepts a text, TryFromHttpDate
// gives the same instant, but for an RFC 850 year that is not 19yy or a
// second 60.
ORVIK_CHRONO_API ParseResult<Timestamp> TryFromHttpDateStrict(std::string_view text, TimePoint now) noexcept;
ORVIK_CHRONO_API ParseResult<Timestamp> TryFromHttpDateStrict(std::string_view text) noexcept;
ORVIK_CHRONO_API ParseResult<Timestamp> TryFromHttpDateStrict(std::string_view text, TimePoint now,
                                                              std::string& message);

// A date of Internet mail, RFC 5322 section 3.3 with its obsolete forms:
//   "Tue, 5 Mar 2024 07:08:09 -0800 (PST)"   "05 Mar 24 07:08 EST"
// - an optional weekday and ',', which must be the date's;
// - a day of one or two digits, a month abbreviation, a year of four or more
//   digits (two digits: 00 to 49 are 20yy, 50 to 99 19yy; three: 1900 + yyy);
// - hours and minutes, optional seconds (second 60 as above);
// - a zone +hhmm or -hhmm under 24 hours, or UT, GMT, UTC (0), EST, EDT, CST,
//   CDT, MST, MDT, PST or PDT. The one-letter military zones and other names
//   are refused: their offsets are unknown.
// Names in any case; white space, folded lines and comments in parentheses
// between the parts and around the value.
ORVIK_CHRONO_API ParseResult<Timestamp> TryFromMailDate(std::string_view text) noexcept;
ORVIK_CHRONO_API ParseResult<Timestamp> TryFromMailDate(std::string_view text, std::string& message);

namespace duration {
// An ISO 8601 duration of hours, minutes and seconds: "PT" then at least one
// of a number and 'H', a number and 'M', a number and 'S', in that order, each
// at most once ("PT1H30M15S", "PT90M", "PT0S"). The seconds' number may have a
// fraction of 1 to 9 digits after '.' or ',' ("PT8H6M12.345S", as Java
// writes it), a digit before the decimal sign; the hours and minutes have
// none. Refused: DurationNotSupported for years, months, weeks or days ("P1D",
// "P1Y"), DurationOutOfRange for a total beyond the signed 64-bit range of
// nanoseconds, DurationStrictLayout for anything else. Where it accepts a
// text, duration::TryFromIso8601 gives the same duration when each number is
// at most 2147483647 and there is no fraction; it refuses a fraction.
ORVIK_CHRONO_API ParseResult<std::chrono::nanoseconds> TryFromIso8601Strict(std::string_view text) noexcept;
ORVIK_CHRONO_API ParseResult<std::chrono::nanoseconds> TryFromIso8601Strict(std::string_view text,
                                                                            std::string& message);
}  // namespace duration

// The message that the throwing reader carries when it refuses `text` for
// `error`: exactly its what(), with `text` in full where the message quotes it
// (an HTTP name error reads the name from `text` again). For a strict
// reader's error, the message that the strict reader's `message` overload
// gives, from reading `text` again, an RFC 850 year against `now` (the
// overload without it reads the system clock). Where that reading does not
// refuse `text` for `error` (an error of another text, or of another `now`),
// the reader's head, what `error` means and the text, such as
// "Not an HTTP date, a weekday that is not the date's: " + text. Never empty
// for a refusal; "" for ParseError::None and for a value no reader gives.
// May throw std::bad_alloc.
ORVIK_CHRONO_API std::string ErrorMessage(ParseError error, std::string_view text);
ORVIK_CHRONO_API std::string ErrorMessage(ParseError error, std::string_view text, TimePoint now);

// Throws what the throwing reader throws when it refuses `text` for `error`:
// std::out_of_range for Iso8601OutsideRange, Iso8601TooShort,
// HttpOutsideRange, DurationNumberTooLarge, DurationOutOfRange and the strict
// readers' ...OutsideRange, std::invalid_argument for every other value (an
// empty message for None), with ErrorMessage(error, text).
[[noreturn]] ORVIK_CHRONO_API void ThrowParseError(ParseError error, std::string_view text);

// --------------------------------------------------------------------------
// Writing a date

// The Format writers write into the caller's memory, noexcept, and allocate
// nothing; ToIso8601 and ToHttpDate each write the same text into a
// std::string.

// Selects the process's local time zone (as localtime_r sees it) or UTC.
// Every function that takes a TimeZone refuses any other value with
// std::invalid_argument "Unknown timezone type".
enum class TimeZone : std::int32_t { Local = 0, UTC = 1 };

// Layouts written by ToIso8601:
//   Extended             2024-03-05T07:08:09Z
//   ExtendedNanoseconds  2024-03-05T07:08:09.012345678Z
//   BasicNanoseconds     20240305T070809.012345678Z
enum class Iso8601Format : std::int32_t { Extended = 0, ExtendedNanoseconds = 1, BasicNanoseconds = 2 };

// The longest text that FormatIso8601 writes and the text that FormatHttpDate
// writes, in characters; no terminating NUL is written.
inline constexpr std::size_t kMaxIso8601Size = sizeof("2024-03-05T07:08:09.012345678+05:30") - 1;
inline constexpr std::size_t kHttpDateSize = sizeof("Sun, 06 Nov 1994 08:49:37 GMT") - 1;

// Writes ToIso8601(t, format, zone) to `out`, which has room for
// kMaxIso8601Size characters, and returns one past its last character.
// Returns nullptr, having written nothing, where ToIso8601 throws: for any
// other `zone`, or when localtime_r fails (it does not for any second of the
// TimePoint range).
ORVIK_CHRONO_API char* FormatIso8601(char* out, TimePoint t, Iso8601Format format, TimeZone zone) noexcept;

// Writes ToHttpDate(t), kHttpDateSize characters, to `out` and returns one
// past its last character.
ORVIK_CHRONO_API char* FormatHttpDate(char* out, TimePoint t) noexcept;

// ISO 8601 text of `t` in `zone`, for any `t`, in the layout `format`
// (see Iso8601Format; t = 1709622489012345678 ns):
//   UTC                    2024-03-05T07:08:09.012345678Z
//   Local, zone at +05:30  2024-03-05T12:38:09.012345678+05:30
// The text ends in "Z" for UTC and for a local offset under a minute, otherwise in
// the local offset as strftime's %z writes it with a colon before the minutes
// ("+05:30", "-08:00"), in the basic layout too. Extended shows the second that
// ToCalendarTime shows. The layouts with a fraction name `t` exactly: the
// second that holds it (floored, also before 1970) and the nine digits of
// nanoseconds since that second's start, so FromIso8601 reads every such text
// from 1900 on back to `t`. Any other `format` value writes the ending alone
// ("Z" or "+05:30").
//
// Throws std::invalid_argument "Unknown timezone type" for any other `zone`,
// and whatever ToCalendarTime throws.
ORVIK_CHRONO_API std::string ToIso8601(TimePoint t, Iso8601Format format, TimeZone zone);
// ToIso8601(t, Iso8601Format::ExtendedNanoseconds, zone), with its exceptions.
ORVIK_CHRONO_API std::string ToIso8601(TimePoint t, TimeZone zone);

// The IMF-fixdate of `t`, for any `t`: always 29 ASCII characters such as
// "Sun, 06 Nov 1994 08:49:37 GMT", in UTC whatever the process's zone or
// global locale. `t` is cut to its whole second toward zero (before 1970 a
// fraction moves toward the epoch). Throws nothing but std::bad_alloc.
ORVIK_CHRONO_API std::string ToHttpDate(TimePoint t);

// --------------------------------------------------------------------------
// Calendar time

// Calendar time of `t` in `zone`, for any `t`.
//
// The second shown is `t`'s whole second cut toward zero; a time point before
// 1970 that falls inside a second shows the second below it, unless the cut
// second starts an hour (-1.5 s shows 23:59:58, -0.5 s shows 00:00:00).
// Local: every member exactly as localtime_r gives it for that second,
// tm_gmtoff, tm_isdst and tm_zone (libc's own text) included, leap seconds of
// the right/ zones included. UTC: POSIX time (no leap seconds) whatever the
// zone setting, so UTC results never depend on TZ: the calendar fields of that
// second, tm_gmtoff 0, tm_isdst 0, tm_zone pointing at libc's own "GMT".
//
// Each thread has a cache of its own, of one hour in each zone, that answers
// the thread's repeated calls in that hour without calling libc, locking,
// allocating or touching memory of another thread; a call that it does not
// serve costs one conversion (a lookup in the zone's table for Local, and the
// check of the zone in force), and a thread's stream
// of calls is cached from its second call at another second of one quarter
// hour (a second asked for twice in a row is no stream). The cache takes
// a local hour when localtime_r agrees at both its ends on one offset and sixty
// minutes of sixty seconds, so a hand-written TZ rule that changes the offset
// and changes it back inside one hour (no zone of the tz database does) is
// answered inside that hour at the offset of its ends. Inside a second before
// 1970, the second above is looked up only where it may start an hour: where
// the second below ends an hour or has an offset of other than whole hours. So
// a hand-written TZ rule that changes from an offset of whole hours to one of
// other than whole hours (no zone of the tz database does before 1970) at a
// second that then starts an hour shows, inside the second before it, the
// second below.
//
// After the process changes its zone (TZ, with or without tzset, while no
// other thread converts), a Local call inside the calling thread's cached
// local hour may answer for the old zone until that thread's first Local call
// that its cache does not serve; from that call on, every Local call of that
// thread answers for the new zone. Each thread's window is its own: UTC calls
// neither end nor extend it, nor do other threads' calls. This library calls
// neither tzset nor mktime.
//
// Throws:
//   std::invalid_argument "Unknown timezone type" for any other `zone`;
//   std::runtime_error "Failed to convert the timestamp to local time" if
//     localtime_r fails where it is called (it does not for any second of the
//     TimePoint range).
ORVIK_CHRONO_API std::tm ToCalendarTime(TimePoint t, TimeZone zone);

// Where TimeZone::Local's answers come from.
enum class LocalZoneSource : std::uint8_t {
  TzifFile,    // a TZif file; Name is its path ("/usr/share/zoneinfo/Europe/Berlin")
  PosixRule,   // TZ is a POSIX rule, read whole; Name is the rule ("CET-1CEST,M3.5.0,M10.5.0/3")
  Unreadable,  // TZ names nothing readable (Name is TZ's value, or "/etc/localtime" when
               // TZ is unset), and glibc's fallback is in force: UTC when no name is given
               // (TZ unset without a readable /etc/localtime, or ":"), otherwise the part of
               // the name that reads as a rule ("Invalid/Zone": UTC, abbreviation "Invalid")
  Libc,        // a case left to localtime_r (see "Local time" above); Name as for Unreadable,
               // empty if the zone could not be read for want of memory
};

struct LocalZone {
  LocalZoneSource Source;
  std::string_view Name;  // valid for the process's life
};

// What TimeZone::Local means now for a thread that has not converted yet:
// the zone that TZ names, read if no thread has read it (see "Local time").
// Throws nothing.
ORVIK_CHRONO_API LocalZone CurrentLocalZone() noexcept;

// The time point of a whole-seconds count such as a file's st_mtime: `seconds`
// x 1000000000 nanoseconds, exact for -9223372036 to 9223372036. Outside that
// range the result is the low 64 bits of the product. Throws nothing.
ORVIK_CHRONO_API TimePoint FileTimePointToSystemTimePoint(long seconds);

// --------------------------------------------------------------------------
// Zones by name

namespace internal::zone {
struct NamedZone;
}  // namespace internal::zone

// A zone of the tz database, a fixed offset or a POSIX rule, for any thread:
// a pointer to a table that is read once and kept for the process's life, so
// a Zone is copied freely and its conversions take no lock and allocate
// nothing. A default-constructed Zone is Zone::Utc().
//
// Memory: one table (22 to 32 kilobytes) per distinct file of the zone
// directory that is loaded (names that are links to one file share it), per
// fixed offset and per POSIX rule, and a few bytes per name; none is freed. A
// name is read once per process and directory: a tzdata update during the
// process's life is not seen.
class Zone {
 public:
  constexpr Zone() noexcept = default;

  // UTC as TimeZone::UTC converts it: POSIX time, named "UTC".
  static constexpr Zone Utc() noexcept { return {}; }

  // The name that the zone was loaded by ("Europe/Berlin", "US/Eastern"),
  // the fixed offset ("+05:30", "-00:00:30") or the rule's text; "UTC" for
  // Zone::Utc(). Valid for the process's life.
  [[nodiscard]] ORVIK_CHRONO_API std::string_view Name() const noexcept;

  // Equal where loaded by the same call with the same name (a name under the
  // same zone directory); a name and a link to its file are two zones.
  friend constexpr bool operator==(Zone a, Zone b) noexcept { return a.entry_ == b.entry_; }
  friend constexpr bool operator!=(Zone a, Zone b) noexcept { return a.entry_ != b.entry_; }

  // For the library's own use.
  explicit constexpr Zone(const internal::zone::NamedZone* entry) noexcept : entry_(entry) {}
  [[nodiscard]] constexpr const internal::zone::NamedZone* Entry() const noexcept { return entry_; }

 private:
  const internal::zone::NamedZone* entry_ = nullptr;
};

// Why a zone was not loaded; ZoneErrorMessage(error, name) words it, with
// `directory` $TZDIR or /usr/share/zoneinfo and the name's bytes outside
// printable ASCII written as \xhh:
enum class ZoneError : std::uint8_t {
  None,
  NameTooLong,       // "a zone name of " + size + " bytes, more than 255"
  NotAName,          // "not a zone name (components of letters, digits, '_', '-' and '+' joined by '/'): '"
                     //   + name + "'"
  NotFound,          // "no zone named '" + name + "' under " + directory
  OutsideDirectory,  // "zone '" + name + "' leads outside " + directory
  NotZoneFile,       // "zone '" + name + "' under " + directory + " is no TZif file of at most 1 MiB that this
                     //   library reads" (a FIFO, a device, a directory, another file or a malformed one)
  Unreadable,        // "cannot read zone '" + name + "' under " + directory
  NotARule,          // "not a POSIX TZ rule with its changes stated: '" + name + "'"
  OffsetOutOfRange,  // "an offset of " + name + " seconds, 24 hours or more"
  OutOfMemory,       // "out of memory loading zone '" + name + "'"
};

// A loaded zone, or why none was loaded (`zone` then UTC).
struct ZoneLoad {
  Zone zone{};
  ZoneError error = ZoneError::None;

  constexpr explicit operator bool() const noexcept { return error == ZoneError::None; }
};

// The zone that the tz database names `name` ("Europe/Berlin",
// "America/Argentina/Buenos_Aires", "UTC", "Etc/GMT+5"), read from the
// directory that $TZDIR names (secure_getenv: ignored in a setuid program) or
// else /usr/share/zoneinfo. Never glibc's fallback: a name that names no zone
// file is refused, neither read as a rule nor taken as UTC.
// - The whole view is checked before any C string is made: at most 255 bytes,
//   components of ASCII letters, digits, '_', '-' and '+' joined by single
//   '/', none of them "." or "..", no '/' at either end, no NUL.
// - The file is opened beneath the directory (openat2 with RESOLVE_BENEATH),
//   so the directory's own relative links ("US/Eastern" to
//   "../America/New_York") are followed and a link that leads out of it is
//   refused; it must be a regular file of at most 1 MiB (a FIFO is opened
//   without blocking and refused). On kernels without openat2 (before Linux
//   5.6), or where a filter refuses it, every component is opened without
//   following links: every link is refused, as Unreadable where it is the
//   last component and as NotFound where it stands for a directory.
// - A name loaded before under the same directory is found without a lock,
//   a system call or an allocation. A refused name is read again at each call.
// Refusals: every ZoneError but NotARule and OffsetOutOfRange.
ORVIK_CHRONO_API ZoneLoad TryLoadZone(std::string_view name) noexcept;

// TryLoadZone's zone; throws std::invalid_argument with
// ZoneErrorMessage(error, name) where it refuses, such as "no zone named
// 'Europe/Berln' under /usr/share/zoneinfo", and std::bad_alloc for
// OutOfMemory.
ORVIK_CHRONO_API Zone LoadZone(std::string_view name);

// A zone of one offset, `offset` seconds east of UTC, named as ISO 8601
// writes it ("+05:30", "-08:00", "+00:19:32" with seconds; "+00:00" for 0).
// Refused with OffsetOutOfRange at 24 hours or more either way, or
// OutOfMemory. Each distinct offset is one table.
ORVIK_CHRONO_API ZoneLoad TryFixedOffsetZone(std::chrono::seconds offset) noexcept;

// A zone of a POSIX TZ rule such as "CET-1CEST,M3.5.0,M10.5.0/3" or
// "<+0530>-5:30", read as glibc reads TZ: refused with NotARule unless the
// whole text is read as a rule and a rule with summer time states its changes
// (glibc completes "EST5EDT" from a file); or OutOfMemory. Each distinct text
// is one table.
ORVIK_CHRONO_API ZoneLoad TryPosixRuleZone(std::string_view rule) noexcept;

// The message of a refusal of `name` (of the offset in seconds for
// OffsetOutOfRange) for `error`, as listed at ZoneError; "" for None and for
// a value no call gives. May throw std::bad_alloc.
ORVIK_CHRONO_API std::string ZoneErrorMessage(ZoneError error, std::string_view name);

// Calendar time of `t` in `zone`, for any `t`: the second that holds `t`
// (floored, also before 1970), every member as localtime_r gives it under
// TZ set to the zone's file or rule, tm_zone pointing at the table's
// abbreviation text (valid for the process's life), leap seconds of the
// right/ zones included. Zone::Utc() gives what ToCalendarTime(t,
// TimeZone::UTC) gives for that second. No cache, lock or allocation.
ORVIK_CHRONO_API std::tm ToCalendarTime(TimePoint t, Zone zone) noexcept;

// The longest text that FormatIso8601 writes in a Zone.
inline constexpr std::size_t kMaxIso8601InZoneSize = sizeof("2024-03-05T07:08:09.012345678+00:19:32") - 1;

// Writes ToIso8601(t, format, zone) to `out`, which has room for
// kMaxIso8601InZoneSize characters, and returns one past its last character;
// returns nullptr, having written nothing, where ToIso8601 throws.
ORVIK_CHRONO_API char* FormatIso8601(char* out, TimePoint t, Iso8601Format format, Zone zone) noexcept;

// ISO 8601 text of `t` in `zone`, the layouts of TimeZone's ToIso8601 with the
// second that ToCalendarTime(t, zone) shows: every layout names the second
// that holds `t`. The text ends in "Z" where the offset is 0, otherwise in the
// offset as Python's isoformat writes it, so that the text names `t`
// exactly: "+05:30", or with its seconds "+00:19:32" (Amsterdam before 1937,
// which RFC 3339 readers refuse); in the basic layout "+0530" and "+001932".
// Any other `format` value writes the ending alone. Throws
// std::invalid_argument "zone '" + name + "' counts leap seconds: ISO 8601
// text of its local time would name another instant" where `zone` counts leap
// seconds at `t` (a right/ zone from 1972 on, whose fields lag UTC's plus the
// offset and show a leap second as second 60), and std::bad_alloc.
ORVIK_CHRONO_API std::string ToIso8601(TimePoint t, Iso8601Format format, Zone zone);

// The longest text that FormatIso8601WithZoneName writes: a zone name has at
// most 255 bytes.
inline constexpr std::size_t kMaxIso8601WithZoneNameSize = kMaxIso8601InZoneSize + sizeof("[]") - 1 + 255;

// ToIso8601(t, format, zone) followed by the zone's name as an RFC 9557
// suffix, as Java's ZonedDateTime and Temporal write it, which
// TryFromIso8601Strict(text, zone, rule) reads back to `t`'s second (all of
// `t` with a fraction) and the zone of that name:
//   "2024-03-05T08:08:09.000000000+01:00[Europe/Berlin]"
//   "2024-03-05T07:08:09+00:00[Europe/London]"   (never "Z": it would say the local time is unknown)
//   "2024-03-05T12:38:09+05:30[+05:30]"          (a fixed offset)
//   "2024-03-05T07:08:09+00:00[UTC]"             (Zone::Utc())
// Writes to `out`, which has room for kMaxIso8601WithZoneNameSize
// characters, and returns one past its last character; returns nullptr,
// having written nothing, where ToIso8601 throws and for a zone that no
// suffix names: a POSIX rule, and a fixed offset with seconds.
ORVIK_CHRONO_API char* FormatIso8601WithZoneName(char* out, TimePoint t, Iso8601Format format, Zone zone) noexcept;

// FormatIso8601WithZoneName's text; throws std::invalid_argument "zone '" +
// name + "' has no name that an RFC 9557 suffix holds", or ToIso8601's,
// where it returns nullptr, and std::bad_alloc.
ORVIK_CHRONO_API std::string ToIso8601WithZoneName(TimePoint t, Iso8601Format format, Zone zone);

// --------------------------------------------------------------------------
// Wall-clock time in a zone

// A date and a time of day as a clock on the wall shows it: month 1 to 12,
// the days of that month, hour 0 to 23, minute and second 0 to 59,
// nanosecond 0 to 999999999.
struct CivilTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int nanosecond = 0;
};

// Whether a zone shows a wall-clock time once, never (a gap, skipped where
// the offset grows) or twice (a fold, where it shrinks).
enum class CivilTimeKind : std::uint8_t { Unique, Skipped, Repeated };

// Every answer for a wall-clock time in a zone. Unique: `before` and `after`
// are the one instant and its offset, `change` the epoch. Skipped and
// Repeated: the time read at the offset in force before the change and at the
// offset after it, and the change's instant. In a gap `before` is the later
// instant (2024-03-10 02:30 in America/New_York: 07:30Z at -05:00, 06:30Z at
// -04:00, change 07:00Z); in a fold the earlier one.
struct CivilTimeLookup {
  CivilTimeKind kind = CivilTimeKind::Unique;
  Timestamp before{};
  Timestamp after{};
  TimePoint change{};
};

// How TryFromCivil picks one instant where a zone shows a time never or
// twice, as Temporal and jiff define it. Compatible: a fold's earlier
// instant, and a gap's time moved forward by the gap's length (02:30 in a gap
// from 02:00 to 03:00 is 03:30 after it). Earlier and Later: the earlier or
// the later of the two instants that read the time at the offsets before and
// after the change. Reject: a refusal. Python's zoneinfo gives Compatible
// for fold=0; for fold=1, Earlier in a gap and Later in a fold.
enum class Disambiguation : std::uint8_t { Compatible, Earlier, Later, Reject };

// The instants at which `zone` shows `time`. Refused: CivilNonexistent for a
// field out of its range (nothing is carried: 30 February does not exist),
// CivilOutsideRange where an instant is outside the time point range. In a
// right/ zone, which counts leap seconds, 23:59:59 before a leap second is
// shown twice and 23:59:60 cannot be asked for.
ORVIK_CHRONO_API ParseResult<CivilTimeLookup> LookUpCivilTime(const CivilTime& time, Zone zone) noexcept;

// The instant at which `zone` shows `time`, and the zone's offset at that
// instant (in a gap, the offset after the change for Compatible and Later,
// before it for Earlier), chosen by `disambiguation`; refused as LookUpCivilTime refuses, and under Reject with
// CivilSkipped or CivilRepeated. The overload with `message` appends the
// refusal's message, such as
//   "day 30 does not exist in February 2024"
//   "2024-03-10 02:30:00 does not exist in America/New_York, skipped from -05:00 to -04:00"
//   "2024-11-03 01:30:00 occurs twice in America/New_York, at -04:00 and at -05:00"
//   "2262-04-12 00:00:00 in UTC: the instant is outside the time point range,
//    1677-09-21T00:12:43.145224192Z to 2262-04-11T23:47:16.854775807Z"
// (a nanosecond other than 0 is shown as nine digits after a '.'), and may
// throw std::bad_alloc.
ORVIK_CHRONO_API ParseResult<Timestamp> TryFromCivil(const CivilTime& time, Zone zone,
                                                     Disambiguation disambiguation) noexcept;
ORVIK_CHRONO_API ParseResult<Timestamp> TryFromCivil(const CivilTime& time, Zone zone, Disambiguation disambiguation,
                                                     std::string& message);

// What TryFromIso8601Strict read in a zone: the instant and its offset, the
// zone it was read in (the suffix's, or else the zone given), whether the
// text named that zone, and whether the text was wall-clock time, with how the
// zone shows it (Unique for a text with an offset; Skipped and Repeated only
// under a rule other than Reject).
struct ZonedTimestamp {
  Timestamp timestamp{};
  Zone zone{};
  bool zone_named = false;
  bool wall_clock = false;
  CivilTimeKind kind = CivilTimeKind::Unique;
};

// TryFromIso8601Strict's reading in a zone. A text with 'Z', an offset or
// " UTC" gives what TryFromIso8601Strict gives, whatever `zone`; a text
// without one, such as "2024-03-05 07:08:09" or "20240305T070809,123", is
// wall-clock time in `zone`, TryFromCivil's instant under `rule` and its
// refusal (Civil...). Here alone a time of day may end after its minutes,
// "2024-03-05T07:08" or "2024-03-05T07:08+01:00", with second 0, as Java's
// LocalDateTime writes whole minutes (TryFromIso8601Strict refuses them), and
// an offset may have seconds, "+00:19:32" (basic "+001932"), as ISO 8601
// text in a Zone writes local mean time.
// An RFC 9557 suffix may follow: a zone first, "[Europe/Berlin]" or
// "[!Europe/Berlin]", a name loaded by TryLoadZone (refused with
// Iso8601StrictOffset) or an offset "[+01:00]" ("+hh:mm", a fixed offset
// zone), in which a text without an offset is read instead of `zone`, and
// which a written offset must be that instant's offset of, critical or not,
// unless it is 'Z' or "-00:00", which name the instant alone
// (Iso8601StrictOffset); then keys, "[u-ca=iso8601]", others ignored, but a
// critical one ("[!key=value]") other than u-ca=iso8601 and one starting
// with '_' refused (Iso8601StrictLayout). Every message of the overload with
// `message` starts with "Not an ISO 8601 timestamp, ", followed by what
// TryFromIso8601Strict, ZoneErrorMessage or TryFromCivil says, or "offset
// +01:00 is not the offset of Europe/Berlin at that instant, +02:00", then
// ": " and the text.
ORVIK_CHRONO_API ParseResult<ZonedTimestamp> TryFromIso8601Strict(std::string_view text, Zone zone,
                                                                  Disambiguation rule) noexcept;
ORVIK_CHRONO_API ParseResult<ZonedTimestamp> TryFromIso8601Strict(std::string_view text, Zone zone, Disambiguation rule,
                                                                  std::string& message);

// --------------------------------------------------------------------------
// Layouts by format string

namespace internal::layout {
struct Program;
}  // namespace internal::layout

// A format string compiled once, as strftime and strptime read it in the C
// locale, then used to write and to read any number of texts from any thread:
// an immutable program that copies share. A default-constructed Layout is
// the empty format.
//
// Directives (the width written; on reading, the digits taken):
//   %Y  year, 4 digits (the time point range is 1677 to 2262)
//   %C  century, 2 digits; %y  year of the century, 2 digits. On reading, %y
//       without %C is 1969 to 2068 as POSIX, glibc and Python read it (69 to
//       99 are 19yy, 00 to 68 20yy), a third rule beside RFC 850's window
//       (TryFromHttpDateStrict) and the mail rule (TryFromMailDate);
//       %C%y is the year 100 x C + y
//   %m  month 01-12;  %d  day 01-31;  %e  day, padded with a space (" 5")
//   %j  day of the year 001-366
//   %H  hour 00-23;  %I  hour 01-12, with %p "AM" or "PM"
//   %M  minute 00-59;  %S  second 00-60 (60 only where the zone shows a
//       leap second; read as the strict readers read second 60)
//   %N  nanoseconds, 9 digits; %1N to %9N the first 1 to 9 digits (cut, not
//       rounded). %f  microseconds, 6 digits, as Python writes it
//   %a %A  weekday, "Tue" and "Tuesday";  %b %h %B  month, "Mar" and "March"
//   %z  offset +hhmm (+hhmmss where it has seconds);  %:z  +hh:mm (+hh:mm:ss)
//   %Z  the zone's abbreviation ("CET", "EST", "+0530"); "UTC" for Zone::Utc()
//       and TimeZone::UTC
//   %s  seconds since the epoch, floored (-1 for 1969-12-31T23:59:59.5Z)
//   %F  %Y-%m-%d;  %T  %H:%M:%S;  %D  %m/%d/%y;  %R  %H:%M
//   %n  newline;  %t  tab;  %%  '%'
// Flags between '%' and a numeric directive (%Y %C %y %m %d %e %j %H %I %M
// %S %s), as GNU's: '-' no padding ("%-d" writes "5"), '_' spaces ("%_m"
// writes " 3"), '0' zeros ("%0e" writes "05"). Any other byte stands for
// itself.
//
// Reading is strict, the whole text and nothing around it:
// - numbers: %Y takes four digits, %C and %y two (with '-' or '_' one or
//   two), %m %d %e %H %I %M %S one or two digits, %j one to three; padded
//   with spaces (%e, the '_' flag) a number may have as many spaces before
//   its digits as its width leaves (" 5", "  5" for %_j). %s takes an
//   optional '-' and one to 19 digits, %N and %f one to nine digits (%3N
//   exactly three), a fraction of the second as its digits say it;
// - names in any case, the abbreviation or the full name for each of %a %A,
//   and of %b %h %B; %p "AM" or "PM" in any case;
// - %z and %:z: +hh, +hhmm, +hh:mm, +hhmmss, +hh:mm:ss (or '-') under 24
//   hours, or 'Z'; %Z: an abbreviation that `zone` shows at that wall-clock
//   time ("CET" or "CEST" with Europe/Berlin, which also picks the instant of
//   a time shown twice), else Z, or UTC, GMT, UT and the US names EST, EDT,
//   CST, CDT, MST, MDT, PST, PDT in any case (with their offsets), or a numeric
//   abbreviation "+0530" or "-03"; any other name is refused;
// - white space in the format, a run of spaces, tabs, newlines, vertical
//   tabs, form feeds, carriage returns, %n and %t, matches one or more of
//   those characters, and any other byte of the format matches itself, case
//   included;
// - every field must exist (no 30 February, no hour 24), a weekday or a day of
//   the year given must be the date's; a field left out is 0 (a date alone is
//   midnight, a time without seconds has second 0).
// A format reads instants where it has a date (a year or a reference instant
// to take it from, and a month and day or a day of the year) or %s, and
// gives each field once; %I goes with %p, %C with %y, %M with an hour and %S
// with minutes, and %s only with %N, %f, %z, %:z and %Z. LayoutReadingProblem
// says what keeps a format from reading.
class Layout {
 public:
  Layout() noexcept = default;

  // The format string it was compiled from.
  [[nodiscard]] ORVIK_CHRONO_API std::string_view Format() const noexcept;
  // The longest text FormatLayout writes with it, for a zone abbreviation of
  // at most kMaxLayoutAbbreviationSize characters.
  [[nodiscard]] ORVIK_CHRONO_API std::size_t MaxSize() const noexcept;

  // For the library's own use.
  explicit Layout(std::shared_ptr<const internal::layout::Program> program) noexcept : program_(std::move(program)) {}
  [[nodiscard]] const internal::layout::Program* Program() const noexcept { return program_.get(); }

 private:
  std::shared_ptr<const internal::layout::Program> program_;
};

// The longest zone abbreviation that Layout::MaxSize counts on: longer ones
// (a POSIX rule may name any) need a larger buffer.
inline constexpr std::size_t kMaxLayoutAbbreviationSize = 15;

// Compiles `format` into `out` and returns true; or appends why it is refused
// to `message` and returns false, `out` unchanged: "unknown directive %Q at
// 4" (positions count bytes from 0), "a '%' that ends the format at 7",
// "flag '-' does not apply to %a at 3", "a format of 1500 bytes, more than
// 1024". Allocates the program; may throw std::bad_alloc.
ORVIK_CHRONO_API bool TryCompileLayout(std::string_view format, Layout& out, std::string& message);

// TryCompileLayout's layout; throws std::invalid_argument "Not a format, " +
// its message + ": " + format.
ORVIK_CHRONO_API Layout CompileLayout(std::string_view format);

// What keeps `layout` from reading instants, "" where nothing does: "the
// format has no date", "the format gives the month twice, at 3 and at 9",
// "%I at 9 has no %p", "%p at 9 has no %I", "%C at 0 has no %y", "%M at 3 has
// no hour", "%S at 6 has no minutes", "%s at 0 goes with no date or time
// field". A format without a year but with a month and a day reads with a
// reference instant only. May throw std::bad_alloc.
ORVIK_CHRONO_API std::string LayoutReadingProblem(const Layout& layout);

// Whether `layout` reads wall-clock time, which names an instant only in a
// zone: it has no %z, %:z, %Z or %s.
ORVIK_CHRONO_API bool LayoutReadsWallClock(const Layout& layout) noexcept;

// The instant that `text` names in `layout`, as ZonedTimestamp: with an
// offset (%z, %:z, %Z) or %s, the instant it names (the offset written, 0 for
// %s without one); otherwise wall-clock time in `zone`, TryFromCivil's
// instant under `rule`, with `wall_clock` and `kind` set. `zone` is the zone
// given, `zone_named` false. Refused with LayoutIncomplete where the layout
// names no instant or has no year.
ORVIK_CHRONO_API ParseResult<ZonedTimestamp> TryFromLayout(std::string_view text, const Layout& layout, Zone zone,
                                                           Disambiguation rule) noexcept;
// The same, a layout without a year (syslog's "%b %e %H:%M:%S") read in the
// year that puts its time within the year before `reference`: the
// reference's year in `zone`, or the one before where the time would be more
// than a day after the reference (a day allowed for clocks that run ahead).
// A 29 February in a year without one is refused. A layout with a year
// ignores `reference`.
ORVIK_CHRONO_API ParseResult<ZonedTimestamp> TryFromLayout(std::string_view text, const Layout& layout, Zone zone,
                                                           Disambiguation rule, TimePoint reference) noexcept;
// The two readings with a refusal's message appended to `message`:
// "Not a date of format '" + format + "', " + detail + ": " + text, the detail
// such as
//   "expected a month name at 3 for %b, found 'Mrz'"
//   "expected '/' at 2, found '-'"
//   "expected the end of the text at 20, found ' '"
//   "day 30 does not exist in February 2024"
//   "Mon is not the weekday of 05 Mar 2024, a Tuesday"
//   "day 066 of the year is not that of 05 Mar 2024, day 065"
//   "zone 'CEST' has no known offset"
//   "2024-03-10 02:30:00 does not exist in America/New_York, skipped from -05:00 to -04:00"
// May throw std::bad_alloc.
ORVIK_CHRONO_API ParseResult<ZonedTimestamp> TryFromLayout(std::string_view text, const Layout& layout, Zone zone,
                                                           Disambiguation rule, std::string& message);
ORVIK_CHRONO_API ParseResult<ZonedTimestamp> TryFromLayout(std::string_view text, const Layout& layout, Zone zone,
                                                           Disambiguation rule, TimePoint reference,
                                                           std::string& message);

// Writes `t` in `zone` as `layout` lays it out to `out`, which has room for
// `size` characters, and returns one past its last character (no NUL is
// written); `size` of layout.MaxSize() always suffices. Returns nullptr,
// with the bytes of `out` unspecified, where the text does not fit, and
// where `zone` counts leap seconds at `t` (as FormatIso8601 in a Zone).
// Every field is of the second that holds `t` (floored), %N and %f of the
// nanoseconds from its start, so that a text written and read back with the
// same layout and zone names the same instant where the layout holds the
// fields to name it. No allocation, lock or cache.
ORVIK_CHRONO_API char* FormatLayout(char* out, std::size_t size, TimePoint t, const Layout& layout, Zone zone) noexcept;
// The same in the process's zone (the fields and abbreviation that
// ToCalendarTime gives, through the thread's cache) or in UTC; nullptr also
// where ToCalendarTime throws.
ORVIK_CHRONO_API char* FormatLayout(char* out, std::size_t size, TimePoint t, const Layout& layout,
                                    TimeZone zone) noexcept;

// FormatLayout's text. Throws std::invalid_argument "zone '" + name + "'
// counts leap seconds: text of its local time would name another instant",
// what ToCalendarTime throws for a TimeZone, and std::bad_alloc.
ORVIK_CHRONO_API std::string ToLayout(TimePoint t, const Layout& layout, Zone zone);
ORVIK_CHRONO_API std::string ToLayout(TimePoint t, const Layout& layout, TimeZone zone);

// --------------------------------------------------------------------------
// The compatible readers

// They read what an older interface read, with its results and messages:
// fields out of range carry into the next unit, anything after the last
// field of an HTTP date is ignored, and an ISO 8601 fraction's scale follows
// the text's length. Each throws; each has a Try face that returns the
// ParseError of the exception instead.

// Reads an ISO 8601 timestamp and returns its instant and the UTC offset that
// it carried, in minutes east of UTC (0 for "Z").
//
// Accepts the extended layout (its fifth character is '-') such as
// "2020-01-01T05:30:00.123+05:30", or the basic one such as
// "20200101T053000.123+0530": a year of up to four digits, 1900 or later, month, day, hour,
// minutes, seconds, an optional fraction, then "Z" or an offset "+hh:mm",
// "+hhmm" or "+hh" (or '-'). Fields out of range are normalised: month 13 is
// January of the next year, 30 February is 1 March, hour 24 the next midnight.
// The fraction's scale follows the text's length: a text of 20, 24 or 29
// characters holds milliseconds, of 23, 27 or 32 microseconds, any other
// nanoseconds, so fractions of 3, 6 and 9 digits read as meant when the text
// ends in "Z" or in its layout's own offset form (+hh:mm extended, +hhmm basic).
//
// Throws:
//   std::invalid_argument "Failed to parse ISO 8601 string: " + detail + text,
//     the detail naming the first field that could not be read:
//     "invalid ISO8601 format: " (nothing could be read),
//     "error converting the year: ", "error converting the month: ",
//     "error converting the day: ", "error converting the hour: ",
//     "error converting the minutes: ", "error converting the seconds: ",
//     "failed to parse the offset: " (nothing after the seconds or the
//     fraction, or offset hours alone after a character other than '+' and
//     '-'), or "" (a designator other than 'Z' with no offset after it, or
//     offset hours and minutes after a character other than '+' and '-');
//   std::invalid_argument
//     "Failed to parse ISO 8601 string, the year is before 1900: " + text;
//   std::out_of_range "Failed to parse ISO 8601 string, the instant is outside
//     the time point range: " + text;
//   std::out_of_range "basic_string::at: __n (which is 4) >= this->size()
//     (which is N)", N the text's length, for a text of four characters or
//     fewer (std::string::at(4) chooses the layout).
ORVIK_CHRONO_API std::pair<TimePoint, std::chrono::minutes> SplitIso8601(const std::string& text);
// SplitIso8601(text).first: the instant alone, with SplitIso8601's exceptions.
ORVIK_CHRONO_API TimePoint FromIso8601(const std::string& text);

// Reads an HTTP date as a UTC instant, whatever the process's zone:
//   IMF-fixdate  "Sun, 06 Nov 1994 08:49:37 GMT"
//   RFC 850      "Sunday, 06-Nov-94 08:49:37 GMT" (year 19yy)
//   asctime      "Sun Nov  6 08:49:37 1994"
// Names are English with exact capitals; the weekday is checked but not
// compared with the date; fields out of range carry over (31 November is
// 1 December); anything after the last field (the seconds; in asctime the
// year) is ignored, and the text is read up to its first NUL.
//
// Throws std::invalid_argument with, in this order of precedence:
//   "Failed to interpret date string as HTTP timestamp: " + text
//     (no layout matches);
//   "Failed to parse the month '" + name + "' of the HTTP timestamp: " + text;
//   "Failed to parse the weekday '" + name + "' of the HTTP timestamp: " + text;
// and std::out_of_range "Failed to interpret date string as HTTP timestamp,
// the instant is outside the time point range: " + text.
ORVIK_CHRONO_API TimePoint FromHttpDate(const std::string& text);

namespace duration {
// Reads an ISO 8601 duration of hours, minutes and seconds, such as
// "PT1H30M15S" (5415 s). The first character stands for 'P' and is not
// examined; then come runs of digits, each ended by a designator: 'H' and 'S'
// count anywhere, 'M' counts as minutes only after a 'T', 'P' and 'T' drop
// their digits; components repeat and add up, and an empty run is 0.
//
// Throws:
//   std::invalid_argument "Invalid ISO8601 duration format" for a text of two
//     characters or fewer, one that ends in digits, or any other character;
//   std::invalid_argument "Durations with year/month/day components are not
//     supported" for 'Y', 'D', or 'M' before any 'T';
//   std::out_of_range "stoi" for a run of digits above 2147483647;
//   std::out_of_range "ISO8601 duration out of range" for a total beyond
//     the signed 64-bit range of nanoseconds.
ORVIK_CHRONO_API std::chrono::nanoseconds FromIso8601(const std::string& text);
}  // namespace duration

// The Try readers read `text` up to its first NUL or its end, without reading
// past either, and give for any view what the throwing reader gives for a
// std::string of the same bytes: its value, or the ParseError of its
// exception. Where that reader counts the text's length or quotes the text,
// it is the whole view, bytes after a NUL included: an ISO 8601 fraction's
// scale, Iso8601TooShort for a view of four bytes or fewer, ErrorMessage.

// SplitIso8601 without exceptions: the instant and the offset in minutes east
// of UTC, or the ParseError of its refusal (Iso8601...).
ORVIK_CHRONO_API ParseResult<std::pair<TimePoint, std::chrono::minutes>> TrySplitIso8601(
    std::string_view text) noexcept;
// FromIso8601 without exceptions: TrySplitIso8601's instant, or its ParseError.
ORVIK_CHRONO_API ParseResult<TimePoint> TryFromIso8601(std::string_view text) noexcept;
// FromHttpDate without exceptions: the instant, or the ParseError of its
// refusal (Http...).
ORVIK_CHRONO_API ParseResult<TimePoint> TryFromHttpDate(std::string_view text) noexcept;

namespace duration {
// duration::FromIso8601 without exceptions: the duration, or the ParseError
// of its refusal (Duration...).
ORVIK_CHRONO_API ParseResult<std::chrono::nanoseconds> TryFromIso8601(std::string_view text) noexcept;
}  // namespace duration

}  // namespace orvik::chrono

#endif  // ORVIK_CHRONO_CHRONO_H_
