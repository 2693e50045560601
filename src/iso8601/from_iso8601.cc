// SplitIso8601 and FromIso8601: ISO 8601 timestamp text to an instant and the
// UTC offset that the text carried.
//
// The text is read by sscanf conversions, and the number of values that they
// assign both decides acceptance and names the first field that failed. The
// text's length decides how the fraction is scaled to nanoseconds. Every field
// is scanned into an unsigned object and converted explicitly afterwards, and
// the instant is formed in 128 bits, so no text leads to undefined behaviour.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

#include "calendar/convert.h"

namespace orvik::chrono {
namespace {

__extension__ typedef __int128 Int128;  // NOLINT(modernize-use-using): __extension__ needs the typedef form

constexpr std::string_view kFailedToParse = "Failed to parse ISO 8601 string: ";
constexpr std::string_view kYearBefore1900 = "Failed to parse ISO 8601 string, the year is before 1900: ";
constexpr std::string_view kOutsideRange =
    "Failed to parse ISO 8601 string, the instant is outside the time point range: ";

// What failed, by the number of values read.
constexpr std::array<std::string_view, 12> kDetailByValuesRead = {
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

struct Layout {
  // Date, time, fraction and designator, then nothing, "%2u:%2u" or "%2u%2u".
  const char* EndingInZ;
  const char* ColonOffset;
  const char* PlainOffset;
  // Designator and offset of a text without a fraction, read from DesignatorIndex.
  const char* DesignatorScan;
  std::size_t DesignatorIndex;
};

constexpr Layout kExtended{"%4u-%2u-%2uT%2u:%2u:%2u.%9u%c", "%4u-%2u-%2uT%2u:%2u:%2u.%9u%c%2u:%2u",
                           "%4u-%2u-%2uT%2u:%2u:%2u.%9u%c%2u%2u", "%c%2u:%2u", sizeof("2020-01-01T00:00:00") - 1};
constexpr Layout kBasic{"%4u%2u%2uT%2u%2u%2u.%9u%c", "%4u%2u%2uT%2u%2u%2u.%9u%c%2u:%2u",
                        "%4u%2u%2uT%2u%2u%2u.%9u%c%2u%2u", "%c%2u%2u", sizeof("20200101T000000") - 1};

// sscanf's %u conversions need unsigned int destinations; the fields are
// converted explicitly where a signed value is meant.
struct Fields {
  unsigned int Year = 0;
  unsigned int Month = 0;
  unsigned int Day = 0;
  unsigned int Hour = 0;
  unsigned int Minute = 0;
  unsigned int Second = 0;
  unsigned int Fraction = 0;
  char Designator = '\0';
  unsigned int OffsetHours = 0;
  unsigned int OffsetMinutes = 0;
};

template <typename Exception>
[[noreturn]] void Fail(std::string_view message, std::string_view detail, const std::string& text) {
  std::string what;
  what.reserve(message.size() + detail.size() + text.size());
  what.append(message).append(detail).append(text);
  throw Exception(what);
}

// Scans `text` into `fields` and returns the number of values read, -1 when
// the text holds nothing to read.
int Scan(const std::string& text, const Layout& layout, Fields& fields) {
  const char* format = layout.EndingInZ;
  if (text.back() != 'Z') format = text[text.size() - 3] == ':' ? layout.ColonOffset : layout.PlainOffset;
  const int values_read =
      std::sscanf(text.c_str(), format, &fields.Year, &fields.Month, &fields.Day, &fields.Hour, &fields.Minute,
                  &fields.Second, &fields.Fraction, &fields.Designator, &fields.OffsetHours, &fields.OffsetMinutes);
  if (values_read != 6) return values_read;

  // No fraction: the designator stands where it follows full-width fields. A
  // text that ends before that reads as one that ends there.
  if (text.size() <= layout.DesignatorIndex) return 6;
  const int offset_values_read = std::sscanf(&text[layout.DesignatorIndex], layout.DesignatorScan, &fields.Designator,
                                             &fields.OffsetHours, &fields.OffsetMinutes);
  return offset_values_read == EOF ? 6 : 7 + offset_values_read;
}

bool Accepted(int values_read, char designator) {
  if (values_read == 8) return designator == 'Z';
  return (values_read == 9 || values_read == 10) && (designator == '+' || designator == '-');
}

// A three- or six-digit fraction is told by the length of the whole text.
unsigned int FractionNanoseconds(unsigned int fraction, std::size_t text_length) {
  switch (text_length) {
    case 23:
    case 27:
    case 32:
      return fraction * 1000U;
    case 20:
    case 24:
    case 29:
      return fraction * 1000000U;
    default:
      return fraction;
  }
}

std::time_t WallClockSeconds(const Fields& fields) {
  std::tm tm{};
  tm.tm_year = static_cast<int>(fields.Year) - 1900;
  tm.tm_mon = static_cast<int>(fields.Month) - 1;
  tm.tm_mday = static_cast<int>(fields.Day);
  tm.tm_hour = static_cast<int>(fields.Hour);
  tm.tm_min = static_cast<int>(fields.Minute);
  tm.tm_sec = static_cast<int>(fields.Second);
  tm.tm_isdst = 0;
  return timegm(&tm);  // normalises fields out of range, such as month 13
}

std::int64_t OffsetMinutes(const Fields& fields) {
  const std::int64_t offset = std::int64_t{static_cast<std::int32_t>(fields.OffsetHours)} * 60 + fields.OffsetMinutes;
  return fields.Designator == '-' ? -offset : offset;
}

}  // namespace

std::pair<TimePoint, std::chrono::minutes> SplitIso8601(const std::string& text) {
  const Layout& layout = text.at(4) == '-' ? kExtended : kBasic;
  Fields fields;
  const int values_read = Scan(text, layout, fields);
  if (!Accepted(values_read, fields.Designator)) {
    const int detail = values_read + 1;
    Fail<std::invalid_argument>(kFailedToParse, kDetailByValuesRead.at(static_cast<std::size_t>(detail)), text);
  }
  if (static_cast<int>(fields.Year) <= 1899) Fail<std::invalid_argument>(kYearBefore1900, {}, text);

  const std::int64_t offset = OffsetMinutes(fields);
  const Int128 instant = Int128{WallClockSeconds(fields)} * kNanosecondsPerSecond -
                         Int128{offset} * 60 * kNanosecondsPerSecond +
                         FractionNanoseconds(fields.Fraction, text.size());
  if (instant < std::numeric_limits<std::int64_t>::min() || instant > std::numeric_limits<std::int64_t>::max()) {
    Fail<std::out_of_range>(kOutsideRange, {}, text);
  }
  return {TimePoint(std::chrono::nanoseconds(static_cast<std::int64_t>(instant))), std::chrono::minutes(offset)};
}

TimePoint FromIso8601(const std::string& text) { return SplitIso8601(text).first; }

}  // namespace orvik::chrono
