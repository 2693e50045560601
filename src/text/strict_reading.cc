#include "text/strict_reading.h"

#include <algorithm>
#include <cstdio>
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

// What stands where the text departs from its layout: a name, whole, or one byte.
std::string Found(std::string_view text, const ReadingFault& fault) {
  if (fault.At >= text.size()) return "the end of the text";
  return JoinMessage({"'", text.substr(fault.At, std::max<std::size_t>(fault.Size, 1)), "'"});
}

// The field that byte `pattern` of a Layout belongs to; empty for a literal.
std::string_view FieldName(char pattern) {
  switch (pattern) {
    case 'y':
      return "year";
    case 'o':
    case 'n':
      return "month";
    case 'd':
    case '_':
      return "day";
    case 'h':
      return "hour";
    case 'i':
      return "minutes";
    case 's':
      return "seconds";
    default:
      return {};
  }
}

// What byte `index` of `layout` stands for: a field's digits, a name, the
// separator of date and time, or the run of literal bytes around it, then
// what comes before those two.
std::string ExpectedIn(const Layout& layout, std::size_t index) {
  constexpr std::string_view kCounts[] = {"", "one", "two", "three", "four"};
  const std::string_view text = layout.Text;
  const char pattern = text[index];
  std::size_t begin = index;
  std::size_t end = index + 1;
  const auto widen = [&](auto belongs) {
    while (begin > 0 && belongs(text[begin - 1])) --begin;
    while (end < text.size() && belongs(text[end])) ++end;
  };
  if (pattern == 'n') return "a month, Jan to Dec";
  if (pattern == '_') return "the day in two digits, or a space and one digit";
  if (!IsLiteralPattern(pattern) && pattern != '?') {
    widen([pattern](char c) { return c == pattern; });
    return JoinMessage({"the ", FieldName(pattern), " in ", kCounts[end - begin], " digits"});
  }
  std::string expected = "'T', 't' or a space";
  if (pattern != '?') {
    widen(IsLiteralPattern);
    expected = JoinMessage({"'", text.substr(begin, end - begin), "'"});
  }
  const std::string_view before = begin > 0 ? FieldName(text[begin - 1]) : layout.After;
  return before.empty() ? expected : JoinMessage({expected, " after the ", before});
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
    case Problem::Expected:
      return JoinMessage({"expected ",
                          r.Fault.In != nullptr ? ExpectedIn(*r.Fault.In, r.Fault.Index) : r.Fault.Expected, ", found ",
                          Found(text, r.Fault)});
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

std::string StrictMessage(std::string_view head, const StrictReading& reading, std::string_view text) {
  return JoinMessage({head, Describe(reading, text), ": ", text});
}

}  // namespace orvik::chrono::internal
