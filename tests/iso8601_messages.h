// The heads of the messages that the ISO 8601 readers refuse text with; each
// is followed by the whole text. Shared by the unit tests and the fuzzer.
#ifndef ORVIK_CHRONO_TESTS_ISO8601_MESSAGES_H_
#define ORVIK_CHRONO_TESTS_ISO8601_MESSAGES_H_

#include <string_view>

namespace orvik::chrono::iso8601_messages {

inline constexpr std::string_view kNoDetail = "Failed to parse ISO 8601 string: ";
inline constexpr std::string_view kFormat = "Failed to parse ISO 8601 string: invalid ISO8601 format: ";
inline constexpr std::string_view kYear = "Failed to parse ISO 8601 string: error converting the year: ";
inline constexpr std::string_view kMonth = "Failed to parse ISO 8601 string: error converting the month: ";
inline constexpr std::string_view kDay = "Failed to parse ISO 8601 string: error converting the day: ";
inline constexpr std::string_view kHour = "Failed to parse ISO 8601 string: error converting the hour: ";
inline constexpr std::string_view kMinutes = "Failed to parse ISO 8601 string: error converting the minutes: ";
inline constexpr std::string_view kSeconds = "Failed to parse ISO 8601 string: error converting the seconds: ";
inline constexpr std::string_view kOffset = "Failed to parse ISO 8601 string: failed to parse the offset: ";
inline constexpr std::string_view kBefore1900 = "Failed to parse ISO 8601 string, the year is before 1900: ";
inline constexpr std::string_view kOutside =
    "Failed to parse ISO 8601 string, the instant is outside the time point range: ";

}  // namespace orvik::chrono::iso8601_messages

#endif  // ORVIK_CHRONO_TESTS_ISO8601_MESSAGES_H_
