#include "text/strict_reading.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "http/names.h"
#include "messages.h"

namespace orvik::chrono::internal {
namespace {

// A field as the message shows it: two digits at least, as texts write them.
std::string Number(int value) {
  return value >= 0 && value < 10 ? std::string{'0', static_cast<char>('0' + value)} : std::to_string(value);
}

// What stands where the text departs from its layout: a name, whole, or one byte.
std::string Found(std::string_view text, const ReadingFault& fault) {
  if (fault.At >= text.size()) return "the end of the text";
  return JoinMessage({"'", text.substr(fault.At, std::max<std::size_t>(fault.Size, 1)), "'"});
}

std::string_view MonthName(int month) { return kMonthNames[static_cast<std::size_t>(month - 1)]; }

std::string WeekdayProblem(const StrictReading& r, std::string_view text) {
  const CivilFields& f = r.Fields;
  return JoinMessage({text.substr(r.Fault.At, r.Fault.Size), kIsNotTheWeekdayOf, Number(f.Day), " ",
                      MonthName(f.Month).substr(0, kAbbreviationLength), " ", std::to_string(f.Year), ", a ",
                      kWeekdayNames[WeekdayOf(f)]});
}

std::string Describe(const StrictReading& r, std::span<const std::string_view> expected, std::string_view text) {
  const CivilFields& f = r.Fields;
  switch (r.Fault.What) {
    case Problem::Expected:
      return JoinMessage({"expected ", expected[r.Fault.Expected], ", found ", Found(text, r.Fault)});
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
    case Problem::None:
      break;
  }
  return {};
}

}  // namespace

std::string StrictMessage(std::string_view head, const StrictReading& reading,
                          std::span<const std::string_view> expected, std::string_view text) {
  return JoinMessage({head, Describe(reading, expected, text), ": ", text});
}

}  // namespace orvik::chrono::internal
