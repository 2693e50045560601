// SplitIso8601 and FromIso8601 on arbitrary bytes: both must agree, every
// refusal must be one of the documented exceptions with its exact message,
// a text of ToIso8601's UTC shape must read as libc reads its fields, and
// TrySplitIso8601 and TryFromIso8601 must end as they do.
#include <orvik/chrono/chrono.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <utility>

#include "message_checks.h"

namespace orvik::chrono::fuzz {
namespace {

// The messages of SplitIso8601, as its header spells them.
constexpr std::string_view kUnreadable = "Failed to parse ISO 8601 string: ";
constexpr std::string_view kYearBefore1900 = "Failed to parse ISO 8601 string, the year is before 1900: ";
constexpr std::string_view kOutsideRange =
    "Failed to parse ISO 8601 string, the instant is outside the time point range: ";
// Stands for std::string::at's own message, which quotes no text.
constexpr std::string_view kTooShort = "basic_string::at: ";

// Checks the message of one refusal and returns the head that it carries.
std::string_view CheckedHead(Outcome outcome, const char* what, const std::string& text) {
  if (text.size() <= sizeof("2020") - 1) {
    const std::string expected =
        "basic_string::at: __n (which is 4) >= this->size() (which is " + std::to_string(text.size()) + ")";
    if (outcome != Outcome::OutOfRange || what != expected) Fail("a short text must fail at index 4", text, what);
    return kTooShort;
  }
  if (outcome == Outcome::OutOfRange) {
    if (!IsHeadThenText(what, kOutsideRange, text)) Fail("undocumented message", text, what);
    return kOutsideRange;
  }
  if (IsHeadThenText(what, kYearBefore1900, text)) return kYearBefore1900;
  const std::string_view what_view = what;
  if (what_view.starts_with(kUnreadable)) {
    for (const std::string_view detail :
         {"invalid ISO8601 format: ", "error converting the year: ", "error converting the month: ",
          "error converting the day: ", "error converting the hour: ", "error converting the minutes: ",
          "error converting the seconds: ", "failed to parse the offset: ", ""}) {
      const std::string_view head = what_view.substr(0, kUnreadable.size() + detail.size());
      if (head.ends_with(detail) && IsHeadThenText(what, head, text)) return detail;
    }
  }
  Fail("undocumented message", text, what);
}

// A text of the shape that ToIso8601 writes in UTC, its fields read by sscanf
// and its instant by timegm, both libc's: what SplitIso8601 must give, fields
// out of range carried over alike. Any accepted text's instant, written by
// FormatIso8601 from 1900 on, reads back as itself.
void CheckValue(const std::string& text, Outcome outcome, const std::pair<TimePoint, std::chrono::minutes>& split) {
  constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd.dddddddddZ";
  const bool shaped = text.size() == kShape.size() &&
                      std::equal(kShape.begin(), kShape.end(), text.begin(),
                                 [](char shape, char c) { return shape == 'd' ? c >= '0' && c <= '9' : c == shape; });
  std::tm fields{};
  long nanoseconds = 0;
  if (shaped &&
      std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d.%9ldZ", &fields.tm_year, &fields.tm_mon, &fields.tm_mday,
                  &fields.tm_hour, &fields.tm_min, &fields.tm_sec, &nanoseconds) == 7 &&
      fields.tm_year >= 1900) {
    fields.tm_year -= 1900;
    fields.tm_mon -= 1;
    const Int128 expected = Int128{timegm(&fields)} * 1000000000 + nanoseconds;
    const bool in_range = expected >= INT64_MIN && expected <= INT64_MAX;
    if ((outcome == Outcome::Returned) != in_range ||
        (in_range && (split.first.time_since_epoch().count() != expected || split.second.count() != 0))) {
      Fail("the reading differs from sscanf's fields and timegm", text);
    }
  }
  if (outcome != Outcome::Returned) return;
  char buffer[kMaxIso8601Size];
  const char* end = FormatIso8601(buffer, split.first, Iso8601Format::ExtendedNanoseconds, TimeZone::UTC);
  const std::string_view written(buffer, static_cast<std::size_t>(end - buffer));
  const ParseResult<TimePoint> again = TryFromIso8601(written);
  if (written.substr(0, 4) >= "1900" && (!again || again.value != split.first)) {
    Fail("the instant written by FormatIso8601 reads back otherwise", text, written);
  }
}

}  // namespace
}  // namespace orvik::chrono::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvik::chrono;
  using namespace orvik::chrono::fuzz;
  const std::string text(reinterpret_cast<const char*>(data), size);

  std::pair<TimePoint, std::chrono::minutes> split;
  std::string_view split_head;
  const Outcome split_outcome = RunExpectingDocumentedErrors(
      text, [&] { split = SplitIso8601(text); },
      [&](Outcome outcome, const char* what) { split_head = CheckedHead(outcome, what, text); });

  TimePoint from;
  std::string_view from_head;
  const Outcome from_outcome = RunExpectingDocumentedErrors(
      text, [&] { from = FromIso8601(text); },
      [&](Outcome outcome, const char* what) { from_head = CheckedHead(outcome, what, text); });

  if (split_outcome != from_outcome || split_head != from_head) {
    Fail("FromIso8601 and SplitIso8601 end differently", text);
  }
  if (split_outcome == Outcome::Returned && from != split.first) {
    Fail("FromIso8601 is not the instant of SplitIso8601", text);
  }

  CheckValue(text, split_outcome, split);
  CheckBothFaces(text, SplitIso8601, TrySplitIso8601);
  CheckBothFaces(text, FromIso8601, TryFromIso8601);
  return 0;
}
