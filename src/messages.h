// Internal: every message that the library refuses text or a conversion
// with, once. The ISO 8601 and HTTP messages are followed by the
// whole text.
#ifndef ORVIK_CHRONO_SRC_MESSAGES_H_
#define ORVIK_CHRONO_SRC_MESSAGES_H_

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

namespace orvik::chrono::internal {

inline constexpr std::string_view kUnknownTimeZone = "Unknown timezone type";
inline constexpr std::string_view kLocalTimeFailed = "Failed to convert the timestamp to local time";

inline constexpr std::string_view kIso8601Unreadable = "Failed to parse ISO 8601 string: ";
// What failed, after kIso8601Unreadable, by the number of values read (index
// 0 for EOF, -1): the first value that could not be read.
inline constexpr std::array<std::string_view, 12> kIso8601DetailByValuesRead = {
    "invalid ISO8601 format: ",        // -1: nothing to read
    "error converting the year: ",     // 0
    "error converting the month: ",    // 1
    "error converting the day: ",      // 2
    "error converting the hour: ",     // 3
    "error converting the minutes: ",  // 4
    "error converting the seconds: ",  // 5
    "failed to parse the offset: ",    // 6: no designator
    "failed to parse the offset: ",    // 7: a fraction, no designator
    "",                                // 8: not Z, and no offset
    "failed to parse the offset: ",    // 9: an offset hour, not after + or -
    "",                                // 10: an offset, not after + or -
};
inline constexpr std::string_view kIso8601YearBefore1900 = "Failed to parse ISO 8601 string, the year is before 1900: ";
inline constexpr std::string_view kIso8601OutsideRange =
    "Failed to parse ISO 8601 string, the instant is outside the time point range: ";

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

// Throws Exception with the message made of `parts` one after the other: a
// message, its details and the text refused. Out of line and cold, so that
// the readers that call it keep their fast paths short.
template <typename Exception>
[[noreturn, gnu::cold, gnu::noinline]] void ThrowMessage(std::initializer_list<std::string_view> parts) {
  std::string message;
  std::size_t size = 0;
  for (const std::string_view part : parts) size += part.size();
  message.reserve(size);
  for (const std::string_view part : parts) message.append(part);
  throw Exception(message);
}

}  // namespace orvik::chrono::internal

#endif  // ORVIK_CHRONO_SRC_MESSAGES_H_
