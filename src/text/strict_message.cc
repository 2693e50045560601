#include <cstddef>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

#include "civil/names.h"
#include "messages.h"
#include "text/strict_reading.h"

namespace orvik::chrono::internal {
namespace {

// A field as the message shows it: two digits at least, as texts write them.
std::string Number(int value) {
  char text[sizeof("-2147483648")];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

// The bytes from `at` on that a message shows as what was found: a name
// whole, or else one character, a UTF-8 lead byte with the continuation bytes
// after it, so that the message of a UTF-8 text is UTF-8 too.
std::string_view FoundAt(std::string_view text, std::size_t at, std::size_t name_size) {
  constexpr std::size_t kLongestSequence = 4;
  if (name_size > 0) return text.substr(at, name_size);
  std::size_t size = 1;
  if (static_cast<unsigned char>(text[at]) >= 0xc0) {
    while (size < kLongestSequence && at + size < text.size() &&
           (static_cast<unsigned char>(text[at + size]) & 0xc0) == 0x80) {
      ++size;
    }
  }
  return text.substr(at, size);
}

std::string_view MonthName(int month) { return kMonthNames[static_cast<std::size_t>(month - 1)]; }

std::string WeekdayProblem(const StrictReading& r, std::string_view text) {
  const CivilFields& f = r.Fields;
  return JoinMessage({text.substr(r.Fault.At, r.Fault.Size), kIsNotTheWeekdayOf, Number(f.Day), " ",
                      MonthName(f.Month).substr(0, kAbbreviationLength), " ", std::to_string(f.Year), ", a ",
                      kWeekdayNames[WeekdayOf(f)]});
}

std::string Describe(const StrictReading& r, std::string_view text) {
  switch (r.Fault.What) {
    case Problem::OffsetHours:
      return JoinMessage({"offset hours ", Number(r.OffsetHours), " exceed 23"});
    case Problem::OffsetMinutes:
      return JoinMessage({"offset minutes ", Number(r.OffsetMinutes), " exceed 59"});
    case Problem::OffsetWithSeconds:
      return JoinMessage({kOffsetWithSeconds, text.substr(r.Fault.At, r.Fault.Size), kOffsetSecondsNotRead});
    case Problem::Weekday:
      return WeekdayProblem(r, text);
    case Problem::Zone:
      return JoinMessage({"zone '", text.substr(r.Fault.At, r.Fault.Size), "'", kZoneUnknown});
    default:
      return FieldMessage(r.Fault.What, r.Fields);
  }
}

}  // namespace

std::string FieldMessage(Problem problem, const CivilFields& f) {
  switch (problem) {
    case Problem::Month:
      return JoinMessage({"month ", Number(f.Month), kDoesNotExist});
    case Problem::Day:
      return JoinMessage(
          {"day ", Number(f.Day), kDoesNotExist, " in ", MonthName(f.Month), " ", std::to_string(f.Year)});
    case Problem::Hour:
      return JoinMessage({"hour ", Number(f.Hour), kDoesNotExist});
    case Problem::Minute:
      return JoinMessage({"minute ", Number(f.Minute), kDoesNotExist});
    case Problem::Second:
      return JoinMessage({"second ", Number(f.Second), kDoesNotExist});
    case Problem::Nanosecond:
      return JoinMessage({"nanosecond ", std::to_string(f.Nanoseconds), kDoesNotExist});
    case Problem::LeapSecond:
      return std::string(kNotALeapSecond);
    case Problem::OutsideRange:
      return std::string(kStrictOutsideRange);
    default:  // told by the reading that found them, not by the fields
      return {};
  }
}

void AppendStrictMessage(std::string& message, std::string_view head, const StrictReading& reading,
                         std::string_view text) {
  const ReadingFault& fault = reading.Fault;
  if (fault.What != Problem::Expected) {
    AppendParts(message, {head, Describe(reading, text), ": ", text});
  } else if (fault.At >= text.size()) {
    AppendParts(message, {head, "expected ", fault.Expected, ", found the end of the text: ", text});
  } else {
    AppendParts(message,
                {head, "expected ", fault.Expected, ", found '", FoundAt(text, fault.At, fault.Size), "': ", text});
  }
}

}  // namespace orvik::chrono::internal
