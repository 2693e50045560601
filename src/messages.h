// Internal: every message that the library refuses text or a conversion
// with, once. The ISO 8601 and HTTP messages are followed by the
// whole text.
#ifndef ORVIK_CHRONO_SRC_MESSAGES_H_
#define ORVIK_CHRONO_SRC_MESSAGES_H_

#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

namespace orvik::chrono::internal {

inline constexpr std::string_view kUnknownTimeZone = "Unknown timezone type";
inline constexpr std::string_view kLocalTimeFailed = "Failed to convert the timestamp to local time";

inline constexpr std::string_view kIso8601Head = "Failed to parse ISO 8601 string: ";
// What failed, after kIso8601Head and before the text.
inline constexpr std::string_view kIso8601Nothing = "invalid ISO8601 format: ";
inline constexpr std::string_view kIso8601Year = "error converting the year: ";
inline constexpr std::string_view kIso8601Month = "error converting the month: ";
inline constexpr std::string_view kIso8601Day = "error converting the day: ";
inline constexpr std::string_view kIso8601Hour = "error converting the hour: ";
inline constexpr std::string_view kIso8601Minutes = "error converting the minutes: ";
inline constexpr std::string_view kIso8601Seconds = "error converting the seconds: ";
inline constexpr std::string_view kIso8601Offset = "failed to parse the offset: ";
inline constexpr std::string_view kIso8601Designator;  // no detail
inline constexpr std::string_view kIso8601YearBefore1900 = "Failed to parse ISO 8601 string, the year is before 1900: ";
inline constexpr std::string_view kIso8601OutsideRange =
    "Failed to parse ISO 8601 string, the instant is outside the time point range: ";
// std::string::at's message, by which the reader once refused a text too short
// to have a fifth character, kept: then the text's length and kIso8601AtTail.
inline constexpr std::string_view kIso8601AtHead = "basic_string::at: __n (which is 4) >= this->size() (which is ";
inline constexpr std::string_view kIso8601AtTail = ")";

inline constexpr std::string_view kHttpUnreadable = "Failed to interpret date string as HTTP timestamp: ";
// A name error is its head, the name as read, kHttpNameTail and the text.
inline constexpr std::string_view kHttpMonthHead = "Failed to parse the month '";
inline constexpr std::string_view kHttpWeekdayHead = "Failed to parse the weekday '";
inline constexpr std::string_view kHttpNameTail = "' of the HTTP timestamp: ";
inline constexpr std::string_view kHttpOutsideRange =
    "Failed to interpret date string as HTTP timestamp, the instant is outside the time point range: ";

inline constexpr std::string_view kDurationInvalid = "Invalid ISO8601 duration format";
inline constexpr std::string_view kDurationNotSupported = "Durations with year/month/day components are not supported";
// std::stoi's message for a number beyond int, kept for a digit run beyond it.
inline constexpr std::string_view kDurationRunOutOfRange = "stoi";
inline constexpr std::string_view kDurationOutOfRange = "ISO8601 duration out of range";

// The strict readers' messages: a head, what the text holds or what was
// expected where, ": " and the text.
inline constexpr std::string_view kIso8601StrictHead = "Not an ISO 8601 timestamp, ";
inline constexpr std::string_view kHttpStrictHead = "Not an HTTP date, ";
inline constexpr std::string_view kMailDateHead = "Not a mail date, ";
inline constexpr std::string_view kDurationStrictHead = "Not an ISO 8601 duration, ";
// After a field's name and value, or a zone's text.
inline constexpr std::string_view kDoesNotExist = " does not exist";
inline constexpr std::string_view kZoneUnknown = " has no known offset";
// After the weekday written, then the date and its weekday.
inline constexpr std::string_view kIsNotTheWeekdayOf = " is not the weekday of ";
inline constexpr std::string_view kNotALeapSecond = "second 60 is not a leap second of UTC";
// What the strict readers expect where a text departs from its layout, as a
// message says it after "expected ", where more than one reader expects it.
inline constexpr char kMonthPrompt[] = "a month, Jan to Dec";
inline constexpr char kWeekdayPrompt[] = "a weekday, Sun to Sat or Sunday to Saturday";
inline constexpr char kWeekdayOrDayPrompt[] = "a weekday, Sun to Sat, or the day";
// Around an offset with seconds, such as +00:19:32.
inline constexpr std::string_view kOffsetWithSeconds = "an offset with seconds, ";
inline constexpr std::string_view kOffsetSecondsNotRead =
    ", is not ISO 8601 or RFC 3339, whose offsets end at the minutes";
// What the strict duration reader says of the refusals that the compatible
// reader gives too, whose messages ErrorMessage keeps.
inline constexpr std::string_view kDateUnitsNotRead = "years, months, weeks and days are not read";
inline constexpr std::string_view kTotalOutsideRange =
    "the total is outside the range of nanoseconds, up to PT2562047H47M16.854775807S";
inline constexpr std::string_view kStrictOutsideRange =
    "the instant is outside the time point range, 1677-09-21T00:12:43.145224192Z to 2262-04-11T23:47:16.854775807Z";

// What a strict refusal means, told by its ParseError alone, where reading
// the text again does not refuse it so.
inline constexpr std::string_view kDepartsFromLayout = "the text departs from its layout";
inline constexpr std::string_view kNonexistent = "a date or a time of day that does not exist";
inline constexpr std::string_view kOffsetOutOfRange = "an offset of 24 hours or more, or of 60 minutes or more";
inline constexpr std::string_view kWrongWeekday = "a weekday that is not the date's";
inline constexpr std::string_view kWrongWeekdayOrDayOfYear = "a weekday or a day of the year that is not the date's";
inline constexpr std::string_view kNamesNoInstant =
    "a format that names no instant, or has no year and no reference instant was given";
inline constexpr std::string_view kZoneWithoutOffset =
    "a zone without a known offset, or an offset of 24 hours or more";

// TryFromIso8601Strict in a zone: an RFC 9557 suffix, and an offset that is
// not its zone's.
inline constexpr std::string_view kSuffixExpected = "'[', a zone name or a key=value, and ']' after the time";
inline constexpr std::string_view kCountsLeapSeconds =
    "' counts leap seconds: ISO 8601 text of its local time would name another instant";
inline constexpr std::string_view kNoSuffixName = "' has no name that an RFC 9557 suffix holds";
inline constexpr std::string_view kOffsetSecondsRange = "the offset's seconds, 00 to 59";
inline constexpr std::string_view kSuffixOffset = "a zone's offset as +hh:mm, hours 00 to 23";
inline constexpr std::string_view kSuffixKeyExpected = "a key=value after a zone name";
inline constexpr std::string_view kSuffixKeySyntax =
    "a key of 'a' to 'z', digits and '-', '=' and values of letters and digits joined by '-'";
inline constexpr std::string_view kSuffixPrivateKey = "a key that does not start with '_'";
inline constexpr std::string_view kSuffixCriticalKey = "no critical key but u-ca=iso8601";
inline constexpr std::string_view kOffsetHead = "offset ";
inline constexpr std::string_view kIsNotOffsetOf = " is not the offset of ";
inline constexpr std::string_view kAtThatInstant = " at that instant, ";

// Why a zone was not loaded: ZoneErrorMessage's words, around the name (its
// bytes outside printable ASCII as \xhh) and the zone directory.
inline constexpr std::string_view kZoneNameTooLongHead = "a zone name of ";
inline constexpr std::string_view kZoneNameTooLongTail = " bytes, more than 255";
inline constexpr std::string_view kNotAZoneName =
    "not a zone name (components of letters, digits, '_', '-' and '+' joined by '/'): '";
inline constexpr std::string_view kNoZoneNamed = "no zone named '";
inline constexpr std::string_view kZoneHead = "zone '";
inline constexpr std::string_view kLeadsOutside = "' leads outside ";
inline constexpr std::string_view kUnder = "' under ";
inline constexpr std::string_view kNoZoneFile = " is no TZif file of at most 1 MiB that this library reads";
inline constexpr std::string_view kCannotReadZone = "cannot read zone '";
inline constexpr std::string_view kNotARule = "not a POSIX TZ rule with its changes stated: '";
inline constexpr std::string_view kOffsetOfHead = "an offset of ";
inline constexpr std::string_view kOffsetOfTail = " seconds, 24 hours or more";
inline constexpr std::string_view kOutOfMemoryLoading = "out of memory loading zone '";

// A wall-clock time refused: told by its ParseError alone after the head,
// or, with the time and the zone, as TryFromCivil's message says it.
inline constexpr std::string_view kCivilTimeHead = "Not a wall-clock time, ";
inline constexpr std::string_view kSkippedByChange = "a time skipped by a change of offset";
inline constexpr std::string_view kOccursTwice = "a time that occurs twice";
inline constexpr std::string_view kDoesNotExistIn = " does not exist in ";
inline constexpr std::string_view kSkippedFrom = ", skipped from ";
inline constexpr std::string_view kSkippedTo = " to ";
inline constexpr std::string_view kOccursTwiceIn = " occurs twice in ";
inline constexpr std::string_view kOccursAt = ", at ";
inline constexpr std::string_view kAndAt = " and at ";
inline constexpr std::string_view kCivilIn = " in ";

// Layouts by format string: a format refused, what keeps one from reading,
// and the reading's head, detail parts and prompts.
inline constexpr std::string_view kFormatHead = "Not a format, ";
inline constexpr std::string_view kUnknownDirective = "unknown directive ";
inline constexpr std::string_view kPercentEndsFormat = "a '%' that ends the format";
inline constexpr std::string_view kFlagHead = "flag '";
inline constexpr std::string_view kFlagDoesNotApply = "' does not apply to ";
inline constexpr std::string_view kFormatSizeHead = "a format of ";
inline constexpr std::string_view kFormatSizeTail = " bytes, more than 1024";
inline constexpr std::string_view kAt = " at ";
inline constexpr std::string_view kFormatHasNoDate = "the format has no date";
inline constexpr std::string_view kFormatGivesThe = "the format gives the ";
inline constexpr std::string_view kTwiceAt = " twice, at ";
inline constexpr std::string_view kAndAtPosition = " and at ";
inline constexpr std::string_view kHasNo = " has no ";
inline constexpr std::string_view kGoesWithNoField = " goes with no date or time field";
inline constexpr std::string_view kNoYearNoReference = "the format has no year, and no reference instant was given";
inline constexpr std::string_view kLayoutReadHead = "Not a date of format '";
inline constexpr std::string_view kLayoutReadHeadEnd = "', ";
inline constexpr std::string_view kLayoutFallbackHead = "Not a date of the format, ";
inline constexpr std::string_view kFor = " for ";
inline constexpr std::string_view kTheEndOfTheText = "the end of the text";
inline constexpr std::string_view kOfTheYearIsNotThatOf = " of the year is not that of ";
inline constexpr std::string_view kNotTheMonthOrDayWritten = ", not the month or day written";
inline constexpr std::string_view kLayoutLeapSeconds =
    "' counts leap seconds: text of its local time would name another instant";

// Appends `parts` to `message`, its memory grown once.
inline void AppendParts(std::string& message, std::initializer_list<std::string_view> parts) {
  const std::size_t begin = message.size();
  std::size_t size = begin;
  for (const std::string_view part : parts) size += part.size();
  message.resize(size);
  char* at = message.data() + begin;
  for (const std::string_view part : parts) {
    if (part.empty()) continue;  // whose data may be null
    std::memcpy(at, part.data(), part.size());
    at += part.size();
  }
}

// The message made of `parts` one after the other: a message, its details
// and the text refused.
inline std::string JoinMessage(std::initializer_list<std::string_view> parts) {
  std::string message;
  AppendParts(message, parts);
  return message;
}

// Throws Exception with JoinMessage(parts). Out of line and cold, so that the
// callers keep their fast paths short.
template <typename Exception>
[[noreturn, gnu::cold, gnu::noinline]] void ThrowMessage(std::initializer_list<std::string_view> parts) {
  throw Exception(JoinMessage(parts));
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_MESSAGES_H_
