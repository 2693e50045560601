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

void Append(std::string& message, std::initializer_list<std::string_view> parts) {
  for (const std::string_view part : parts) message += part;
}

// What stands where the text departs from its layout: a name, whole, or one byte.
void AppendFound(std::string& message, std::string_view text, const ReadingFault& fault) {
  if (fault.At >= text.size()) {
    message += "the end of the text";
    return;
  }
  Append(message, {"'", text.substr(fault.At, std::max<std::size_t>(fault.Size, 1)), "'"});
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
void AppendExpected(std::string& message, const Layout& layout, std::size_t index) {
  constexpr std::string_view kCounts[] = {"", "one", "two", "three", "four"};
  const std::string_view text = layout.Text;
  const char pattern = text[index];
  std::size_t begin = index;
  std::size_t end = index + 1;
  const auto widen = [&](auto belongs) {
    while (begin > 0 && belongs(text[begin - 1])) --begin;
    while (end < text.size() && belongs(text[end])) ++end;
  };
  if (pattern == 'n') {
    message += "a month, Jan to Dec";
  } else if (pattern == '_') {
    message += "the day in two digits, or a space and one digit";
  } else if (!IsLiteralPattern(pattern) && pattern != '?') {
    widen([pattern](char c) { return c == pattern; });
    Append(message, {"the ", FieldName(pattern), " in ", kCounts[end - begin], " digits"});
  } else {
    if (pattern == '?') {
      message += "'T', 't' or a space";
    } else {
      widen(IsLiteralPattern);
      Append(message, {"'", text.substr(begin, end - begin), "'"});
    }
    const std::string_view before = begin > 0 ? FieldName(text[begin - 1]) : layout.After;
    if (!before.empty()) Append(message, {" after the ", before});
  }
}

std::string_view MonthName(int month) { return kMonthNames[static_cast<std::size_t>(month - 1)]; }

std::string WeekdayProblem(const StrictReading& r, std::string_view text) {
  const CivilFields& f = r.Fields;
  return JoinMessage({text.substr(r.Fault.At, r.Fault.Size), kIsNotTheWeekdayOf, Number(f.Day), " ",
                      MonthName(f.Month).substr(0, kAbbreviationLength), " ", std::to_string(f.Year), ", a ",
                      kWeekdayNames[WeekdayOf(f)]});
}

// Appends to `message` what is wrong with `text`: built in place where a text
// departs from its layout, the one refusal that a column of bad texts repeats.
void AppendExpectedAndFound(std::string& message, const StrictReading& r, std::string_view text) {
  message += "expected ";
  if (r.Fault.In != nullptr) {
    AppendExpected(message, *r.Fault.In, r.Fault.Index);
  } else {
    message += r.Fault.Expected;
  }
  message += ", found ";
  AppendFound(message, text, r.Fault);
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
    case Problem::Expected:  // StrictMessage builds it in place
    case Problem::None:
      break;
  }
  return {};
}

}  // namespace

std::string StrictMessage(std::string_view head, const StrictReading& reading, std::string_view text) {
  if (reading.Fault.What != Problem::Expected) return JoinMessage({head, Describe(reading, text), ": ", text});
  constexpr std::size_t kLongestDescription = 160;
  std::string message;
  message.reserve(head.size() + kLongestDescription + text.size());
  message += head;
  AppendExpectedAndFound(message, reading, text);
  Append(message, {": ", text});
  return message;
}

}  // namespace orvik::chrono::internal
