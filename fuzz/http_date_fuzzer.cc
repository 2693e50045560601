// FromHttpDate on arbitrary bytes: every refusal must be one of the
// documented exceptions with its exact message, every accepted text must name
// a whole second that formats and reads back unchanged, and TryFromHttpDate
// must end as FromHttpDate does.
#include <orvik/chrono/chrono.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "civil/names.h"
#include "civil/time_units.h"
#include "message_checks.h"

namespace orvik::chrono::fuzz {
namespace {

using namespace internal;

// The messages of FromHttpDate, as its header spells them.
constexpr std::string_view kUnreadable = "Failed to interpret date string as HTTP timestamp: ";
constexpr std::string_view kOutsideRange =
    "Failed to interpret date string as HTTP timestamp, the instant is outside the time point range: ";
constexpr std::string_view kNameTail = "' of the HTTP timestamp: ";

struct NameError {
  std::string_view Head;
  std::string_view Letters;  // that a scanned name may hold
  std::size_t MaxLength;
  bool (*Known)(std::string_view name);  // a name that must not be refused
};

bool KnownMonth(std::string_view name) {
  return std::ranges::any_of(kMonthNames,
                             [name](std::string_view month) { return name == month.substr(0, kAbbreviationLength); });
}

bool KnownWeekday(std::string_view name) {
  return std::ranges::any_of(kWeekdayNames, [name](std::string_view weekday) {
    return name == weekday || name == weekday.substr(0, kAbbreviationLength);
  });
}

constexpr NameError kMonthError{"Failed to parse the month '", "ADFJMNOSabceglnoprtuvy", 3, KnownMonth};
constexpr NameError kWeekdayError{"Failed to parse the weekday '", "FMSTWadehinorstuy", 9, KnownWeekday};

// The name that a name error quotes, or an empty view if `what` is not that
// error for `text`.
std::string_view QuotedName(std::string_view what_head, const NameError& error, const std::string& text,
                            const char* what) {
  if (!what_head.starts_with(error.Head)) return {};
  const std::size_t name_end = what_head.find_first_not_of(error.Letters, error.Head.size());
  if (name_end == std::string_view::npos) return {};
  const std::string_view name = what_head.substr(error.Head.size(), name_end - error.Head.size());
  if (name.empty() || name.size() > error.MaxLength) return {};
  const std::string_view head = what_head.substr(0, name_end + kNameTail.size());
  if (!head.ends_with(kNameTail) || !IsHeadThenText(what, head, text)) return {};
  if (error.Known(name)) Fail("a known name was refused", text, what);
  return name;
}

void CheckMessage(Outcome outcome, const char* what, const std::string& text) {
  if (outcome == Outcome::OutOfRange) {
    if (!IsHeadThenText(what, kOutsideRange, text)) Fail("undocumented out_of_range message", text, what);
    return;
  }
  if (IsHeadThenText(what, kUnreadable, text)) return;
  const std::string_view what_head = what;  // up to the first NUL, which the quoted text may hold
  if (!QuotedName(what_head, kMonthError, text, what).empty()) return;
  const std::string_view weekday = QuotedName(what_head, kWeekdayError, text, what);
  // Every layout starts with the weekday, read from the first byte on.
  if (weekday.empty() || !std::string_view(text).starts_with(weekday)) {
    Fail("undocumented invalid_argument message", text, what);
  }
}

}  // namespace
}  // namespace orvik::chrono::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvik::chrono;
  using namespace orvik::chrono::fuzz;
  const std::string text(reinterpret_cast<const char*>(data), size);

  CheckBothFaces(text, FromHttpDate, TryFromHttpDate);
  TimePoint t;
  const Outcome outcome = RunExpectingDocumentedErrors(
      text, [&] { t = FromHttpDate(text); },
      [&](Outcome refusal, const char* what) { CheckMessage(refusal, what, text); });
  if (outcome != Outcome::Returned) return 0;

  if (t.time_since_epoch().count() % internal::kNanosecondsPerSecond != 0) Fail("not a whole second", text);
  const std::string formatted = ToHttpDate(t);
  if (FromHttpDate(formatted) != t) Fail("the formatted instant reads back differently", text, formatted);
  return 0;
}
