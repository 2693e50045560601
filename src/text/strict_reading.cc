#include "text/strict_reading.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

#include "http/names.h"
#include "messages.h"

namespace orvik::chrono::internal {
namespace {

// A field as the message shows it: two digits at least, as texts write them.
std::string Number(int value) {
  char text[sizeof("-2147483648")];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string_view MonthName(int month) { return kMonthNames[static_cast<std::size_t>(month - 1)]; }

std::string WeekdayProblem(const StrictReading& r, std::string_view text) {
  const CivilFields& f = r.Fields;
  return JoinMessage({text.substr(r.Fault.At, r.Fault.Size), kIsNotTheWeekdayOf, Number(f.Day), " ",
                      MonthName(f.Month).substr(0, kAbbreviationLength), " ", std::to_string(f.Year), ", a ",
                      kWeekdayNames[WeekdayOf(f)]});
}

std::string Describe(const StrictReading& r, std::string_view text) {
  const CivilFields& f = r.Fields;
  switch (r.Fault.What) {
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
    case Problem::LeapSecond:
      return std::string(kNotALeapSecond);
    case Problem::OffsetHours:
      return JoinMessage({"offset hours ", Number(r.OffsetHours), " exceed 23"});
    case Problem::OffsetMinutes:
      return JoinMessage({"offset minutes ", Number(r.OffsetMinutes), " exceed 59"});
    case Problem::Weekday:
      return WeekdayProblem(r, text);
    case Problem::Zone:
      return JoinMessage({"zone '", text.substr(r.Fault.At, r.Fault.Size), "'", kZoneUnknown});
    case Problem::OutsideRange:
      return std::string(kStrictOutsideRange);
    case Problem::Expected:  // AppendStrictMessage builds it in place
    case Problem::None:
      break;
  }
  return {};
}

}  // namespace

void AppendStrictMessage(std::string& message, std::string_view head, const StrictReading& reading,
                         std::string_view text) {
  const ReadingFault& fault = reading.Fault;
  if (fault.What != Problem::Expected) {
    AppendParts(message, {head, Describe(reading, text), ": ", text});
  } else if (fault.At >= text.size()) {
    AppendParts(message, {head, "expected ", fault.Expected, ", found the end of the text: ", text});
  } else {
    // A name whole, or one byte.
    const std::string_view found = text.substr(fault.At, std::max<std::size_t>(fault.Size, 1));
    AppendParts(message, {head, "expected ", fault.Expected, ", found '", found, "': ", text});
  }
}

}  // namespace orvik::chrono::internal
