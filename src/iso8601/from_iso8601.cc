// SplitIso8601 and FromIso8601: ISO 8601 timestamp text to an instant and the
// UTC offset that the text carried.
//
// The text is read by sscanf conversions, and the number of values that they
// assign both decides acceptance and names the first field that failed. The
// text's length decides how the fraction is scaled to nanoseconds. Every field
// is scanned into an unsigned object and converted explicitly afterwards, and
// the instant is formed in 128 bits, so no text leads to undefined behaviour.
//
// In front of that general reading, a fast one takes the canonical layouts
// with plain digit reads and calendar arithmetic. It shares every step after
// the fields are read (offset, fraction scaling, instant, range) and hands
// any text that it does not take, refusals included, to the general reading.
#include "iso8601/from_iso8601.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

#include "calendar/civil.h"
#include "calendar/convert.h"
#include "calendar/digits.h"

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

std::int64_t WallClockSeconds(const Fields& fields) {
  std::tm tm{};
  tm.tm_year = static_cast<int>(fields.Year) - 1900;
  tm.tm_mon = static_cast<int>(fields.Month) - 1;
  tm.tm_mday = static_cast<int>(fields.Day);
  tm.tm_hour = static_cast<int>(fields.Hour);
  tm.tm_min = static_cast<int>(fields.Minute);
  tm.tm_sec = static_cast<int>(fields.Second);
  tm.tm_isdst = 0;
  return civil::SecondsFromFields(tm);  // normalises fields out of range, such as month 13
}

std::int64_t OffsetMinutes(const Fields& fields) {
  const std::int64_t offset = std::int64_t{static_cast<std::int32_t>(fields.OffsetHours)} * 60 + fields.OffsetMinutes;
  return fields.Designator == '-' ? -offset : offset;
}

// The instant of the fields, given the seconds of their wall-clock time; false
// when it lies outside the time point's range.
bool ToInstant(const Fields& fields, std::int64_t wall_clock_seconds, std::size_t text_length, Iso8601Instant& out) {
  const std::int64_t offset = OffsetMinutes(fields);
  const Int128 instant = Int128{wall_clock_seconds} * kNanosecondsPerSecond -
                         Int128{offset} * 60 * kNanosecondsPerSecond +
                         FractionNanoseconds(fields.Fraction, text_length);
  if (instant < std::numeric_limits<std::int64_t>::min() || instant > std::numeric_limits<std::int64_t>::max()) {
    return false;
  }
  out = {TimePoint(std::chrono::nanoseconds(static_cast<std::int64_t>(instant))), std::chrono::minutes(offset)};
  return true;
}

// Full-width date and time fields at fixed places ('9' stands for a digit),
// and the offset form that the general reading takes in full after them when
// no fraction follows.
struct CanonicalLayout {
  std::string_view DateTime;
  std::array<std::size_t, 5> TwoDigitFieldsAt;  // month, day, hour, minutes, seconds
  bool OffsetWithColon;
};

constexpr CanonicalLayout kCanonicalExtended{"9999-99-99T99:99:99", {5, 8, 11, 14, 17}, true};
constexpr CanonicalLayout kCanonicalBasic{"99999999T999999", {4, 6, 9, 11, 13}, false};

bool ReadDateTime(std::string_view text, const CanonicalLayout& layout, Fields& fields) {
  if (text.size() <= layout.DateTime.size()) return false;
  for (std::size_t i = 0; i < layout.DateTime.size(); ++i) {
    if (layout.DateTime[i] != '9' && text[i] != layout.DateTime[i]) return false;
  }
  const char* at = text.data();
  const auto& fields_at = layout.TwoDigitFieldsAt;
  return digits::Read(at, 4, &fields.Year) && digits::Read(at + fields_at[0], 2, &fields.Month) &&
         digits::Read(at + fields_at[1], 2, &fields.Day) && digits::Read(at + fields_at[2], 2, &fields.Hour) &&
         digits::Read(at + fields_at[3], 2, &fields.Minute) && digits::Read(at + fields_at[4], 2, &fields.Second);
}

// Reads an optional fraction of 3, 6 or 9 digits at `at`, and advances `at`
// past it.
bool ReadFraction(std::string_view text, std::size_t& at, Fields& fields) {
  if (text[at] != '.') return true;
  const std::size_t first_digit = at + 1;
  std::size_t end = first_digit;
  while (end < text.size() && end - first_digit < 10 && digits::IsDigit(text[end])) ++end;
  const std::size_t count = end - first_digit;
  if (count != 3 && count != 6 && count != 9) return false;
  at = end;
  return digits::Read(text.data() + first_digit, count, &fields.Fraction);
}

// "Z", or a sign and hh:mm or hhmm, ending the text. The general reading
// chooses the offset's form by the character three before the end when a
// fraction was read, and by the layout when none was.
bool ReadDesignator(std::string_view text, std::size_t at, bool after_fraction, const CanonicalLayout& layout,
                    Fields& fields) {
  fields.Designator = text[at];
  const std::string_view offset = text.substr(at + 1);
  if (fields.Designator == 'Z') return offset.empty();
  if (fields.Designator != '+' && fields.Designator != '-') return false;
  const bool colon_form = offset.size() == sizeof("05:30") - 1 && offset[2] == ':';
  const bool plain_form = offset.size() == sizeof("0530") - 1;
  if (colon_form && (after_fraction || layout.OffsetWithColon)) {
    return digits::Read(offset.data(), 2, &fields.OffsetHours) && digits::Read(&offset[3], 2, &fields.OffsetMinutes);
  }
  if (plain_form && (after_fraction || !layout.OffsetWithColon)) {
    return digits::Read(offset.data(), 2, &fields.OffsetHours) && digits::Read(&offset[2], 2, &fields.OffsetMinutes);
  }
  return false;
}

// Fields that timegm would take as they are: no month 13, 30 February or hour 24.
bool WithinCalendarRanges(const Fields& fields) {
  return fields.Year >= 1900 && fields.Month >= 1 && fields.Month <= 12 && fields.Day >= 1 &&
         fields.Day <= civil::DaysInMonth(fields.Year, fields.Month) && fields.Hour < 24 && fields.Minute < 60 &&
         fields.Second < 60;
}

}  // namespace

Iso8601Instant SplitIso8601General(const std::string& text) {
  const Layout& layout = text.at(4) == '-' ? kExtended : kBasic;
  Fields fields;
  const int values_read = Scan(text, layout, fields);
  if (!Accepted(values_read, fields.Designator)) {
    const int detail = values_read + 1;
    Fail<std::invalid_argument>(kFailedToParse, kDetailByValuesRead.at(static_cast<std::size_t>(detail)), text);
  }
  if (static_cast<int>(fields.Year) <= 1899) Fail<std::invalid_argument>(kYearBefore1900, {}, text);

  Iso8601Instant result;
  if (!ToInstant(fields, WallClockSeconds(fields), text.size(), result)) {
    Fail<std::out_of_range>(kOutsideRange, {}, text);
  }
  return result;
}

std::optional<Iso8601Instant> SplitIso8601Fast(std::string_view text) {
  // The general reading tells the layouts apart by the fifth character too.
  const CanonicalLayout& layout = text.size() > 4 && text[4] == '-' ? kCanonicalExtended : kCanonicalBasic;
  Fields fields;
  if (!ReadDateTime(text, layout, fields)) return std::nullopt;
  std::size_t at = layout.DateTime.size();
  if (!ReadFraction(text, at, fields) || at == text.size()) return std::nullopt;
  const bool after_fraction = at != layout.DateTime.size();
  if (!ReadDesignator(text, at, after_fraction, layout, fields) || !WithinCalendarRanges(fields)) return std::nullopt;

  const std::int64_t days = civil::DaysFromCivil(fields.Year, fields.Month, fields.Day);
  const std::int64_t wall_clock_seconds =
      days * civil::kSecondsPerDay + (std::int64_t{fields.Hour} * 60 + fields.Minute) * 60 + fields.Second;
  Iso8601Instant result;
  if (!ToInstant(fields, wall_clock_seconds, text.size(), result)) return std::nullopt;
  return result;
}

std::pair<TimePoint, std::chrono::minutes> SplitIso8601(const std::string& text) {
  if (const std::optional<Iso8601Instant> fast = SplitIso8601Fast(text)) return *fast;
  return SplitIso8601General(text);
}

TimePoint FromIso8601(const std::string& text) { return SplitIso8601(text).first; }

}  // namespace orvik::chrono
